-- Engineering database br.mdb. Built by mkdb from this file and the CSV files
-- beside it (one CSV per table, named after the table). Units: see README.md.

-- Liquid properties per 1 degC interval [min_T, max_T): density R kg/m3, specific
-- heat cP kJ/(kg.degC), conductivity L W/(m.degC), viscosity V mPa.s. The water
-- table also carries saturated steam at the row's whole degree: latent heat Ic
-- kJ/kg, vapour density Rz kg/m3, Cpz kJ/(kg.degC), Lz W/(m.degC), Vz mPa.s.
create table "water" (min_T real, max_T real, R real, cP real, L real, V real,
  Ic real, Rz real, Cpz real, Lz real, Vz real);
create table "glycol" (min_T real, max_T real, R real, cP real, L real, V real);
create table "VG10" (min_T real, max_T real, R real, cP real, L real, V real);
create table "VG22" (min_T real, max_T real, R real, cP real, L real, V real);
create table "VG32" (min_T real, max_T real, R real, cP real, L real, V real);
create table "VG46" (min_T real, max_T real, R real, cP real, L real, V real);
create table "VG68" (min_T real, max_T real, R real, cP real, L real, V real);
create table "VG100" (min_T real, max_T real, R real, cP real, L real, V real);
create table "VG150" (min_T real, max_T real, R real, cP real, L real, V real);
create table "VG220" (min_T real, max_T real, R real, cP real, L real, V real);
create table "VG320" (min_T real, max_T real, R real, cP real, L real, V real);
create table "VG460" (min_T real, max_T real, R real, cP real, L real, V real);
create table "SAE10" (min_T real, max_T real, R real, cP real, L real, V real);
create table "SAE20" (min_T real, max_T real, R real, cP real, L real, V real);
create table "SAE30" (min_T real, max_T real, R real, cP real, L real, V real);
create table "SAE40" (min_T real, max_T real, R real, cP real, L real, V real);
create table "SAE50" (min_T real, max_T real, R real, cP real, L real, V real);
create table "SAE60" (min_T real, max_T real, R real, cP real, L real, V real);
create table "SAE70" (min_T real, max_T real, R real, cP real, L real, V real);
-- Ethylene (EG) and propylene (PG) glycol in water, 10..60 mass-%: one row per
-- degree from the first whole degree above the freezing point to 100 degC.
create table "EG10" (min_T real, max_T real, R real, cP real, L real, V real);
create table "EG15" (min_T real, max_T real, R real, cP real, L real, V real);
create table "EG20" (min_T real, max_T real, R real, cP real, L real, V real);
create table "EG25" (min_T real, max_T real, R real, cP real, L real, V real);
create table "EG30" (min_T real, max_T real, R real, cP real, L real, V real);
create table "EG35" (min_T real, max_T real, R real, cP real, L real, V real);
create table "EG40" (min_T real, max_T real, R real, cP real, L real, V real);
create table "EG45" (min_T real, max_T real, R real, cP real, L real, V real);
create table "EG50" (min_T real, max_T real, R real, cP real, L real, V real);
create table "EG55" (min_T real, max_T real, R real, cP real, L real, V real);
create table "EG60" (min_T real, max_T real, R real, cP real, L real, V real);
create table "PG10" (min_T real, max_T real, R real, cP real, L real, V real);
create table "PG15" (min_T real, max_T real, R real, cP real, L real, V real);
create table "PG20" (min_T real, max_T real, R real, cP real, L real, V real);
create table "PG25" (min_T real, max_T real, R real, cP real, L real, V real);
create table "PG30" (min_T real, max_T real, R real, cP real, L real, V real);
create table "PG35" (min_T real, max_T real, R real, cP real, L real, V real);
create table "PG40" (min_T real, max_T real, R real, cP real, L real, V real);
create table "PG45" (min_T real, max_T real, R real, cP real, L real, V real);
create table "PG50" (min_T real, max_T real, R real, cP real, L real, V real);
create table "PG55" (min_T real, max_T real, R real, cP real, L real, V real);
create table "PG60" (min_T real, max_T real, R real, cP real, L real, V real);

-- Freezing point T_f degC of a medium table tbl, where it has one.
create table "media" (tbl text, T_f real);

-- Continuous service range T_min..T_max degC of a gasket or port-lining
-- elastomer, and whether it suits water, steam, glycol, mineral oil (1 or 0).
create table "gaskets" (material text, T_min real, T_max real, water real, steam real, glycol real, oil real);

-- Plate conductivity W/(m.degC) per interval (min_t, max_t].
create table "BPDRXS" (min_t real, max_t real, SUS304 real, SUS316 real);

-- Frame length L, width B, height H (mm) per model Br and area interval (min_f, max_f] m2.
create table "br_wx" (Br text, min_f real, max_f real, L real, B real, H real);

-- The case record of the last run (one row).
create table "br_prn" ("mc_h" text, "mc_c" text, "Qc" real, "Qh" real, "G" real, "Tc1" real, "Tc2" real, "Th1" real, "Th2" real, "Tc" real, "Th" real, "Rc" real, "Rh" real, "Rz" real, "Cpc" real, "Cph" real, "Cpz" real, "Lc" real, "Lh" real, "Lz" real, "Vc" real, "Vh" real, "Vz" real, "Prc" real, "Prh" real, "Wq" real, "TM" real, "RHC" real, "K" real, "GF" real, "Br" text, "F" real, "m" real, "N" real, "Dh" text, "Dz" text, "CZ" text, "YB" text, "Wlc" real, "Wlh" real, "WC" real, "WH" real, "REC" real, "REH" real, "Pc1" real, "Ph1" real, "Pc2" real, "Ph2" real, "Pc3" real, "Ph3" real, "Taoh" real, "Taoc" real, "PG1" real, "PG" real, "Bpc" text, "BPH" real, "Dpc" text, "D1" real, "D2" real, "L" text, "B" text, "H" text, "W" real, "NUM" real, "Y1" real, "Y2" real, "Y" real, "jh" text, "jc" text, "ch" text, "cc" text);

-- Record source of the window's data control; never read.
create table "br_cs" (id integer);
