#!/usr/bin/python3
"""Writes data/BPDRXS.csv: thermal conductivity of the plate steels SUS304 and SUS316.

Source: Incropera, DeWitt, Bergman, Lavine, Fundamentals of Heat and Mass
Transfer, Table A.1 (thermophysical properties of selected metallic solids,
from the TPRC data), AISI 304 and AISI 316, W/(m.K) against T in K. The table
values are interpolated linearly in T. AISI 316 is tabulated from 300 K only;
below 300 K (26.85 degC) its line through 300 K and 400 K is extended.

Rows of 10 degC, min_t exclusive, max_t inclusive, from -50 to 400 degC; each
row holds the conductivity at the middle of its interval, so no temperature in
the row is more than 5 K from the point the value belongs to.
"""
import tablegen

T_FIRST, T_LAST, STEP = -50, 400, 10

# (T in K, k in W/(m.K))
AISI_304 = [(100, 9.2), (200, 12.6), (300, 14.9), (400, 16.6), (600, 19.8), (800, 22.6)]
AISI_316 = [(300, 13.4), (400, 15.2), (600, 18.3), (800, 21.3), (1000, 24.2)]


def conductivity(table, t_c):
    t = t_c + 273.15
    # The first or last segment is extended outside the table.
    for i in range(len(table) - 1):
        (t0, k0), (t1, k1) = table[i], table[i + 1]
        if t <= t1 or i == len(table) - 2:
            return k0 + (k1 - k0) * (t - t0) / (t1 - t0)
    raise AssertionError


def rows():
    out = []
    for lo in range(T_FIRST, T_LAST, STEP):
        mid = lo + STEP / 2.0
        out.append([lo, lo + STEP, round(conductivity(AISI_304, mid), 2), round(conductivity(AISI_316, mid), 2)])
    return out


def main():
    print(tablegen.write_csv("BPDRXS", ["min_t", "max_t", "SUS304", "SUS316"], rows()))


if __name__ == "__main__":
    main()
