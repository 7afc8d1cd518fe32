#!/usr/bin/python3
"""Writes data/glycol.csv: 25 mass-% monoethylene glycol in water.

-10..100 degC: the correlations of A. Melinder, Properties of Secondary Working
Fluids for Indirect Systems, 2nd ed., IIR 2010 (ethylene glycol), valid from the
freezing point (-10.97 degC at 25 %) to 100 degC:

    f(x, T) = sum c_ij (x - x_m)^i (T - T_m)^j,   x_m = 30.8462 mass-%, T_m = 31.728 degC

with the coefficients in melinder2010_meg.csv (see melinder.py).

Above 100 degC the correlations have no data. There each property keeps the
ratio to saturated liquid water (IAPWS, as in water.csv) that it has at 100 degC:

    p(T) = p_Melinder(100) * p_water(T) / p_water(100)

A polynomial in T extrapolates badly over 150 K; the ratio follows the shape of
water, the solvent of a 25 % solution.
"""
import gen_water
import melinder
import tablegen

X_MASS = 25.0
T_VALID_MAX = melinder.T_VALID_MAX


def melinder_props(t, x=X_MASS):
    return melinder.MEG.props(x, t)


def props(t):
    if t <= T_VALID_MAX:
        return melinder_props(t)
    anchor = melinder_props(T_VALID_MAX)
    water_anchor = gen_water.liquid(T_VALID_MAX)
    water = gen_water.liquid(t)
    return tuple(a * w / wa for a, w, wa in zip(anchor, water, water_anchor))


def main():
    # The published check values of the transcription, before anything is written.
    melinder.MEG.check("ethylene glycol", [(25, 20, "rho_kg_m3", 1031.05), (26, 20, "rho_kg_m3", 1032.45),
                                           (21, 0, "rho_kg_m3", 1030.65)])
    print(tablegen.write_csv("glycol", tablegen.PROPERTY_COLUMNS, tablegen.property_rows(props)))


if __name__ == "__main__":
    main()
