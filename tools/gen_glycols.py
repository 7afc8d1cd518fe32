#!/usr/bin/python3
"""Writes data/EG10.csv ... EG60.csv, PG10.csv ... PG60.csv and data/media.csv.

Ethylene and propylene glycol in water, 10..60 mass-% in steps of 5, from
Melinder's correlations (see melinder.py). Each table holds one row per whole
degree from the first whole degree above the solution's freezing point to
100 degC, the range of the correlations; nothing is extrapolated.

data/media.csv keeps the freezing point of every medium table that has one, so
the range check can name it: water 0 degC, the 25 % glycol and the tables here
from the correlations.
"""
import math

import melinder
import tablegen

CONCENTRATIONS = range(10, 61, 5)
FLUIDS = (("EG", melinder.MEG), ("PG", melinder.MPG))

# The check values of the two transcriptions (x mass-%, T degC or None for the
# freezing point, column, value as published).
MEG_CHECKS = [
    (25, 20, "rho_kg_m3", 1031.05), (25, 20, "cp_J_kgK", 3.8107), (25, 20, "k_W_mK", 0.4859),
    (25, 20, "mu_mPas", 1.899), (25, 0, "rho_kg_m3", 1037.02), (25, 0, "cp_J_kgK", 3.7629),
    (25, 0, "k_W_mK", 0.4648), (25, 0, "mu_mPas", 3.698), (25, 80, "rho_kg_m3", 998.92),
    (25, 80, "cp_J_kgK", 3.9441), (25, 80, "k_W_mK", 0.5405), (25, 80, "mu_mPas", 0.579),
    (26, 20, "rho_kg_m3", 1032.45), (21, 0, "rho_kg_m3", 1030.65), (25, None, "Tf_C", -10.97),
]
MPG_CHECKS = [
    (20, None, "Tf_C", -7.17), (20, 20, "rho_kg_m3", 1014.78), (20, 20, "cp_J_kgK", 3.9768),
    (20, 20, "k_W_mK", 0.4922), (20, 20, "mu_mPas", 2.030),
    (30, None, "Tf_C", -12.79), (30, 0, "rho_kg_m3", 1031.56), (30, 0, "cp_J_kgK", 3.8026),
    (30, 0, "k_W_mK", 0.4285), (30, 0, "mu_mPas", 7.117),
    (30, 20, "rho_kg_m3", 1023.78), (30, 20, "cp_J_kgK", 3.8570), (30, 20, "k_W_mK", 0.4444),
    (30, 20, "mu_mPas", 2.965), (30, 80, "rho_kg_m3", 987.60), (30, 80, "cp_J_kgK", 4.0122),
    (30, 80, "k_W_mK", 0.4922), (30, 80, "mu_mPas", 0.701),
    (40, None, "Tf_C", -20.57), (40, 20, "rho_kg_m3", 1032.27), (40, 20, "cp_J_kgK", 3.7067),
    (40, 20, "k_W_mK", 0.4003), (40, 20, "mu_mPas", 4.384),
    (50, None, "Tf_C", -32.19), (50, 40, "rho_kg_m3", 1025.37), (50, 40, "cp_J_kgK", 3.6070),
    (50, 40, "k_W_mK", 0.3695), (50, 40, "mu_mPas", 2.914),
]


def table_name(prefix, x):
    return "%s%d" % (prefix, x)


def first_degree(t_freeze):
    """The first whole degree above the freezing point."""
    return math.floor(t_freeze) + 1


def freezing_point(fluid, x):
    """As kept in media.csv; the table starts above this value."""
    return round(fluid.freezing_point(x), 2)


def rows(fluid, x):
    out = []
    for t in range(first_degree(freezing_point(fluid, x)), melinder.T_VALID_MAX + 1):
        r, cp, k, v = fluid.props(x, t)
        out.append([t, t + 1, r, cp, k, v])
    return out


def main():
    melinder.MEG.check("ethylene glycol", MEG_CHECKS)
    melinder.MPG.check("propylene glycol", MPG_CHECKS)
    media = [["water", 0.0], ["glycol", round(melinder.MEG.freezing_point(25.0), 2)]]
    for prefix, fluid in FLUIDS:
        for x in CONCENTRATIONS:
            name = table_name(prefix, x)
            print(tablegen.write_csv(name, tablegen.PROPERTY_COLUMNS, rows(fluid, x)))
            media.append([name, freezing_point(fluid, x)])
    print(tablegen.write_csv("media", ["tbl", "T_f"], media))


if __name__ == "__main__":
    main()
