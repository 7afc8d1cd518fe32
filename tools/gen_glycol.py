#!/usr/bin/python3
"""Writes data/glycol.csv: 25 mass-% monoethylene glycol in water.

-10..100 degC: the correlations of A. Melinder, Properties of Secondary Working
Fluids for Indirect Systems, 2nd ed., IIR 2010 (ethylene glycol), valid from the
freezing point (-10.97 degC at 25 %) to 100 degC:

    f(x, T) = sum c_ij (x - x_m)^i (T - T_m)^j,   x_m = 30.8462 mass-%, T_m = 31.728 degC

with the coefficients in melinder2010_meg.csv (cp in J/(kg.K), viscosity as ln(mPa.s)).

Above 100 degC the correlations have no data. There each property keeps the
ratio to saturated liquid water (IAPWS, as in water.csv) that it has at 100 degC:

    p(T) = p_Melinder(100) * p_water(T) / p_water(100)

A polynomial in T extrapolates badly over 150 K; the ratio follows the shape of
water, the solvent of a 25 % solution.
"""
import math
import os

import gen_water
import tablegen

X_MASS = 25.0
X_M, T_M = 30.8462, 31.728
T_VALID_MAX = 100


def load_coefficients():
    rows = tablegen.read_csv(os.path.join(tablegen.TOOLS_DIR, "melinder2010_meg.csv"))
    return [(int(r["i_pow_x"]), int(r["j_pow_T"]),
             {k: float(v) for k, v in r.items() if k not in ("i_pow_x", "j_pow_T")}) for r in rows]


COEFFS = load_coefficients()


def melinder(column, x, t):
    return sum(c[column] * (x - X_M) ** i * (t - T_M) ** j for i, j, c in COEFFS)


def melinder_props(t, x=X_MASS):
    return (melinder("rho_kg_m3", x, t),
            melinder("cp_J_kgK", x, t) / 1000.0,
            melinder("k_W_mK", x, t),
            math.exp(melinder("ln_mu_mPas", x, t)))


def props(t):
    if t <= T_VALID_MAX:
        return melinder_props(t)
    anchor = melinder_props(T_VALID_MAX)
    water_anchor = gen_water.liquid(T_VALID_MAX)
    water = gen_water.liquid(t)
    return tuple(a * w / wa for a, w, wa in zip(anchor, water, water_anchor))


def main():
    # The published check values of the transcription, before anything is written.
    for (x, t, col, expect) in ((25, 20, "rho_kg_m3", 1031.05), (26, 20, "rho_kg_m3", 1032.45),
                                (21, 0, "rho_kg_m3", 1030.65)):
        got = melinder(col, x, t)
        if abs(got - expect) > 0.01:
            raise SystemExit("Melinder coefficients do not reproduce %s at x=%s, T=%s: %s" % (col, x, t, got))
    print(tablegen.write_csv("glycol", tablegen.PROPERTY_COLUMNS, tablegen.property_rows(props)))


if __name__ == "__main__":
    main()
