#!/usr/bin/python3
"""Writes data/water.csv: liquid water and saturated steam from the IAPWS formulations.

Computed with Debian's python3-iapws (class IAPWS95):
  density, specific heat      IAPWS-95 (IAPWS R6-95(2018))
  viscosity                   IAPWS 2008 (R12-08), critical enhancement included
  thermal conductivity        IAPWS 2011 (R15-11), critical enhancement included

Liquid rows below 100 degC are at 101.325 kPa, from 100 degC up the saturated
liquid (the condensate). Rows below 0 degC are metastable supercooled liquid at
101.325 kPa, where IAPWS-95 and the transport formulations are extrapolated.
The rows 100..200 degC also carry the saturated vapour at the row's whole degree.
"""
import warnings

from iapws import IAPWS95

import tablegen

P_ATM = 0.101325  # MPa
STEAM_FIRST, STEAM_LAST = 100, 200


def liquid(t):
    """(R kg/m3, cP kJ/(kg.K), L W/(m.K), V mPa.s) of liquid water at t degC."""
    with warnings.catch_warnings():
        # IAPWS-95 warns when it leaves its validated range (the supercooled rows).
        warnings.simplefilter("ignore")
        if t < 100:
            w = IAPWS95(T=t + 273.15, P=P_ATM)
        else:
            w = IAPWS95(T=t + 273.15, x=0)
    if w.phase not in ("Liquid", "Saturated liquid") or w.rho < 700:
        raise RuntimeError("no liquid state at %s degC" % t)
    return w.rho, w.cp, w.k, w.mu * 1000.0


def steam(t):
    """(Ic kJ/kg, Rz kg/m3, Cpz kJ/(kg.K), Lz W/(m.K), Vz mPa.s) of saturated vapour at t degC."""
    liq = IAPWS95(T=t + 273.15, x=0)
    vap = IAPWS95(T=t + 273.15, x=1)
    return vap.h - liq.h, vap.rho, vap.cp, vap.k, vap.mu * 1000.0


def rows():
    out = []
    for row in tablegen.property_rows(liquid):
        t = row[0]
        out.append(row + (list(steam(t)) if STEAM_FIRST <= t <= STEAM_LAST else [None] * 5))
    return out


def main():
    header = tablegen.PROPERTY_COLUMNS + ["Ic", "Rz", "Cpz", "Lz", "Vz"]
    print(tablegen.write_csv("water", header, rows()))


if __name__ == "__main__":
    main()
