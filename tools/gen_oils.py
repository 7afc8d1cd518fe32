#!/usr/bin/python3
"""Writes data/VG10.csv ... data/VG460.csv and data/SAE10.csv ... data/SAE70.csv.

One plausible paraffinic mineral oil per grade, viscosity index 100.

Grade basis (kinematic viscosity, mm2/s):
  VG grades     ISO 3448 mid-point at 40 degC.
  SAE 20..60    mid-range of the SAE J300 limits at 100 degC.
  SAE 10, 70    mid-range of the January 1939 SAE crankcase classes (Saybolt
                seconds at 130 degF and 210 degF, converted with ASTM D2161);
                these grades are not in the current J300.
The other viscosity follows from viscosity index 100: by ASTM D2270 an oil of
VI 100 has KV40 = H(KV100), H from D2270 Table 1 (astm_d2270_table1.csv).

Viscosity-temperature: ASTM D341 (Walther), T in K, nu in mm2/s
    log10(log10 Z) = A - B log10 T,  Z = nu + 0.7 + exp(-1.47 - 1.84 nu - 0.51 nu^2)
with A and B through KV40 and KV100.

Density at 15 degC from the viscosity-gravity constant (ASTM D2501, 40 degC form),
VGC = 0.81 for paraffinic oils:
    SG = VGC (0.94 - 0.109 log10(KV40 - 5.5)) + 0.0664 + 0.1154 log10(KV40 - 5.5),
    rho15 = 999.0 SG
Thermal expansion: API MPMS 11.1-1980 Table 54D (lubricating oils), K0 = 0, K1 = 0.6278:
    alpha15 = K1 / rho15,  rho(t) = rho15 exp(-alpha15 dt (1 + 0.8 alpha15 dt)),  dt = t - 15
Specific heat and conductivity: Cragoe, US Bureau of Standards Misc. Publ. 97 (1929),
d = SG 60/60 degF:
    cP = (1.6848 + 0.003391 t) / sqrt(d)   kJ/(kg.K)
    L  = (0.11726 / d) (1 - 0.00054 t)     W/(m.K)
Dynamic viscosity V = nu rho / 1000 mPa.s.
"""
import math
import os

import tablegen

VGC = 0.81
API_K1 = 0.6278
WATER_15C = 999.0  # kg/m3, the reference of SG 60/60 degF

VG_GRADES = [("VG10", 10), ("VG22", 22), ("VG32", 32), ("VG46", 46), ("VG68", 68),
             ("VG100", 100), ("VG150", 150), ("VG220", 220), ("VG320", 320), ("VG460", 460)]
# SAE J300 KV100 limits (min, max exclusive), mm2/s.
SAE_J300 = [("SAE20", 6.9, 9.3), ("SAE30", 9.3, 12.5), ("SAE40", 12.5, 16.3),
            ("SAE50", 16.3, 21.9), ("SAE60", 21.9, 26.1)]
# January 1939 SAE crankcase classes: Saybolt Universal Seconds limits at a temperature in degF.
SAE_1939 = [("SAE10", 130.0, 90.0, 120.0), ("SAE70", 210.0, 125.0, 150.0)]


def load_d2270():
    rows = tablegen.read_csv(os.path.join(tablegen.TOOLS_DIR, "astm_d2270_table1.csv"))
    return [(float(r["KV100_mm2s"]), float(r["L_KV40_mm2s_VI0"]), float(r["H_KV40_mm2s_VI100"])) for r in rows]


D2270 = load_d2270()


def interp(x, xs, ys):
    for i in range(len(xs) - 1):
        if xs[i] <= x <= xs[i + 1]:
            return ys[i] + (ys[i + 1] - ys[i]) * (x - xs[i]) / (xs[i + 1] - xs[i])
    raise ValueError("%s outside the table" % x)


def kv40_at_vi100(kv100):
    return interp(kv100, [r[0] for r in D2270], [r[2] for r in D2270])


def kv100_at_vi100(kv40):
    return interp(kv40, [r[2] for r in D2270], [r[0] for r in D2270])


def viscosity_index(kv40, kv100):
    ys = [r[0] for r in D2270]
    low, high = interp(kv100, ys, [r[1] for r in D2270]), interp(kv100, ys, [r[2] for r in D2270])
    if kv40 >= high:
        return 100.0 * (low - kv40) / (low - high)
    n = (math.log10(high) - math.log10(kv40)) / math.log10(kv100)
    return (10 ** n - 1) / 0.00715 + 100


# ASTM D341-09 Z form and its inverse.
def walther_z(nu):
    return nu + 0.7 + math.exp(-1.47 - 1.84 * nu - 0.51 * nu * nu)


def walther_nu(z):
    y = z - 0.7
    return y - math.exp(-0.7487 - 3.295 * y + 0.6119 * y * y - 0.3193 * y ** 3)


def walther_line(kv40, kv100):
    y1 = math.log10(math.log10(walther_z(kv40)))
    y2 = math.log10(math.log10(walther_z(kv100)))
    x1, x2 = math.log10(313.15), math.log10(373.15)
    b = (y1 - y2) / (x2 - x1)
    return y1 + b * x1, b


def walther_kv(a, b, t):
    return walther_nu(10 ** (10 ** (a - b * math.log10(t + 273.15))))


# ASTM D2161: Saybolt Universal Seconds from kinematic viscosity.
def sus(nu, t_f):
    at100 = 4.6324 * nu + (1.0 + 0.03264 * nu) / ((3930.2 + 262.7 * nu + 23.97 * nu ** 2 + 1.646 * nu ** 3) * 1e-5)
    return at100 * (1 + 0.000061 * (t_f - 100))


def bisect(f, lo, hi):
    flo = f(lo)
    for _ in range(200):
        mid = 0.5 * (lo + hi)
        fm = f(mid)
        if (fm > 0) == (flo > 0):
            lo, flo = mid, fm
        else:
            hi = mid
    return 0.5 * (lo + hi)


def kv_from_sus(seconds, t_f):
    return bisect(lambda nu: sus(nu, t_f) - seconds, 1.0, 500.0)


def basis_1939(t_f, sus_min, sus_max):
    """(KV40, KV100) of the VI 100 oil through the class mid-point at t_f."""
    t_c = (t_f - 32) / 1.8
    target = 0.5 * (kv_from_sus(sus_min, t_f) + kv_from_sus(sus_max, t_f))

    def miss(kv100):
        kv40 = kv40_at_vi100(kv100)
        a, b = walther_line(kv40, kv100)
        return walther_kv(a, b, t_c) - target

    kv100 = bisect(miss, 2.0, 70.0)
    return kv40_at_vi100(kv100), kv100


def grade_basis():
    out = [(name, kv40, kv100_at_vi100(kv40)) for name, kv40 in VG_GRADES]
    for name, t_f, lo, hi in SAE_1939[:1]:
        out.append((name,) + basis_1939(t_f, lo, hi))
    for name, lo, hi in SAE_J300:
        kv100 = 0.5 * (lo + hi)
        out.append((name, kv40_at_vi100(kv100), kv100))
    for name, t_f, lo, hi in SAE_1939[1:]:
        out.append((name,) + basis_1939(t_f, lo, hi))
    return out


def specific_gravity(kv40):
    g = math.log10(kv40 - 5.5)
    return VGC * (0.94 - 0.109 * g) + 0.0664 + 0.1154 * g


class Oil:
    def __init__(self, name, kv40, kv100):
        self.name, self.kv40, self.kv100 = name, kv40, kv100
        self.a, self.b = walther_line(kv40, kv100)
        self.sg = specific_gravity(kv40)
        self.rho15 = WATER_15C * self.sg
        self.alpha15 = API_K1 / self.rho15

    def density(self, t):
        dt = t - 15.0
        return self.rho15 * math.exp(-self.alpha15 * dt * (1 + 0.8 * self.alpha15 * dt))

    def kinematic(self, t):
        return walther_kv(self.a, self.b, t)

    def props(self, t):
        rho = self.density(t)
        cp = (1.6848 + 0.003391 * t) / math.sqrt(self.sg)
        k = (0.11726 / self.sg) * (1 - 0.00054 * t)
        return rho, cp, k, self.kinematic(t) * rho / 1000.0


def oils():
    return [Oil(*b) for b in grade_basis()]


def main():
    print("%-6s %9s %8s %6s %9s %8s %7s %7s" % ("grade", "KV40", "KV100", "VI", "A", "B", "rho15", "SG"))
    for oil in oils():
        print("%-6s %9.3f %8.3f %6.1f %9.6f %8.6f %7.1f %7.4f" % (
            oil.name, oil.kv40, oil.kv100, viscosity_index(oil.kv40, oil.kv100), oil.a, oil.b, oil.rho15, oil.sg))
        print(tablegen.write_csv(oil.name, tablegen.PROPERTY_COLUMNS, tablegen.property_rows(oil.props)))


if __name__ == "__main__":
    main()
