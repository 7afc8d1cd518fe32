#!/usr/bin/python3
"""Compares the generated tables in data/ with independent reference values.

    compare_reference.py REFERENCE_DIR

REFERENCE_DIR holds CSV files of reference points (IAPWS liquid and steam values
every 5 degC, Melinder 25 % glycol, an ASHRAE-based glycol table, derived oil
properties, steel conductivities); see the column names read below. Prints the
largest relative deviation per table and property. Values are read the way the
program reads them: the row whose interval holds the temperature.
"""
import os
import sys

import tablegen


def load_table(name):
    return [{k: (float(v) if v != "" and k != "Br" else v) for k, v in r.items()}
            for r in tablegen.read_csv(os.path.join(tablegen.DATA_DIR, name + ".csv"))]


def row_at(rows, t):
    """Property row by the program's rule min_T <= t < max_T (t a whole degree here)."""
    for r in rows:
        if r["min_T"] <= t < r["max_T"]:
            return r
    raise KeyError(t)


def steel_at(rows, t):
    for r in rows:
        if r["min_t"] < t <= r["max_t"]:
            return r
    raise KeyError(t)


class Worst:
    def __init__(self, label):
        self.label, self.items = label, {}

    def add(self, prop, t, got, ref):
        dev = 100.0 * (got - ref) / ref
        if prop not in self.items or abs(dev) > abs(self.items[prop][0]):
            self.items[prop] = (dev, t, got, ref)

    def show(self):
        for prop, (dev, t, got, ref) in self.items.items():
            print("  %-28s %-5s %+7.3f %%  at %6s degC  (table %.6g, reference %.6g)" % (
                self.label, prop, dev, t, got, ref))


def main(ref_dir):
    def number(v):
        try:
            return float(v)
        except ValueError:
            return v

    def ref(name):
        return [{k: number(v) for k, v in r.items()} for r in tablegen.read_csv(os.path.join(ref_dir, name))]

    props = [("R", "R_kg_m3"), ("cP", "cP_kJ_kgC"), ("L", "L_W_mC"), ("V", "V_mPa_s")]
    steam = [("Ic", "Ic_kJ_kg"), ("Rz", "Rz_kg_m3"), ("Cpz", "Cpz_kJ_kgC"), ("Lz", "Lz_W_mC"), ("Vz", "Vz_mPa_s")]

    water = load_table("water")
    w = Worst("water (IAPWS)")
    for p in ref("water_liquid_1atm_5C.csv"):
        for col, rcol in props:
            w.add(col, p["T_C"], row_at(water, p["T_C"])[col], p[rcol])
    for p in ref("water_liquid_sat_5C.csv"):
        if p["T_C"] >= 100:
            for col, rcol in props:
                w.add(col, p["T_C"], row_at(water, p["T_C"])[col], p[rcol])
    s = Worst("saturated steam (IAPWS)")
    for p in ref("water_steam_sat_1C.csv"):
        if 100 <= p["T_C"] <= 200:
            for col, rcol in steam + props:
                s.add(col, p["T_C"], row_at(water, p["T_C"])[col], p[rcol])
    print("Water, 0..200 degC, against IAPWS reference points")
    w.show()
    s.show()

    glycol = load_table("glycol")
    g = Worst("glycol (Melinder 2010)")
    for p in ref("glycol25_mass_melinder2010.csv"):
        if p["extrapolated"] == 0:
            for col, rcol in props:
                g.add(col, p["T_C"], row_at(glycol, p["T_C"])[col], p[rcol])
    e = Worst("glycol (EnergyPlus 25 %)")
    for p in ref("glycol_eplus_ashrae_20_30.csv"):
        if p["R25_kg_m3"] != "":
            for col, rcol in (("R", "R25_kg_m3"), ("cP", "cP25_kJ_kgC"), ("L", "L25_W_mC"), ("V", "V25_mPa_s")):
                e.add(col, p["T_C"], row_at(glycol, p["T_C"])[col], p[rcol])
    ex = Worst("glycol >100 (EnergyPlus)")
    for p in ref("glycol_eplus_ashrae_20_30.csv"):
        if p["T_C"] > 100:
            for col, rcol in (("R", "R25_kg_m3"), ("cP", "cP25_kJ_kgC"), ("L", "L25_W_mC"), ("V", "V25_mPa_s")):
                ex.add(col, p["T_C"], row_at(glycol, p["T_C"])[col], p[rcol])
    print("25 % glycol")
    g.show()
    e.show()
    ex.show()

    print("Oils, kinematic viscosity V/R*1000 at the defining temperature")
    for p in ref("oil_iso3448_vg_grades.csv"):
        t = load_table(p["grade"])
        r = row_at(t, 40)
        nu = r["V"] / r["R"] * 1000
        print("  %-6s KV40  %8.3f mm2/s  limits %g..%g  (%+.3f %% from mid-point)" % (
            p["grade"], nu, p["KV40_min_mm2s"], p["KV40_max_mm2s"], 100 * (nu / p["KV40_mid_mm2s"] - 1)))
    for name, lo, hi in (("SAE20", 6.9, 9.3), ("SAE30", 9.3, 12.5), ("SAE40", 12.5, 16.3),
                         ("SAE50", 16.3, 21.9), ("SAE60", 21.9, 26.1)):
        r = row_at(load_table(name), 100)
        print("  %-6s KV100 %8.3f mm2/s  J300 limits %g..<%g" % (name, r["V"] / r["R"] * 1000, lo, hi))
    for p in ref("oil_sae_1939_crankcase_classes.csv"):
        if p["grade"] in ("SAE10", "SAE70"):
            r = row_at(load_table(p["grade"]), 100)
            print("  %-6s KV100 %8.3f mm2/s  1939 class as KV100 at VI 100: %s..%s" % (
                p["grade"], r["V"] / r["R"] * 1000, p["KV100_min_mm2s_if_VI100"], p["KV100_max_mm2s_if_VI100"]))
    o = Worst("oils (derived yardstick)")
    for p in ref("oil_properties_derived.csv"):
        r = row_at(load_table(p["grade"]), p["T_C"])
        for col, rcol in props:
            o.add(col, "%s %d" % (p["grade"], p["T_C"]), r[col], p[rcol])
    o.show()

    steel = load_table("BPDRXS")
    st = Worst("steel (Incropera A.1)")
    kim = Worst("steel (Kim 1975)")
    for p in ref("steel_conductivity.csv"):
        r = steel_at(steel, p["T_C"]) if p["T_C"] > -50 else steel[0]
        st.add("SUS304", p["T_C"], r["SUS304"], p["SUS304_incropera_W_mC"])
        st.add("SUS316", p["T_C"], r["SUS316"], p["SUS316_incropera_W_mC"])
        kim.add("SUS304", p["T_C"], r["SUS304"], p["kim1975_304_316_W_mC"])
        kim.add("SUS316", p["T_C"], r["SUS316"], p["kim1975_304_316_W_mC"])
    print("Plate steels")
    st.show()
    kim.show()


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
