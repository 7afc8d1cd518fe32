"""Melinder's correlations for aqueous secondary coolants.

A. Melinder, Properties of Secondary Working Fluids for Indirect Systems, 2nd ed.,
International Institute of Refrigeration, 2010. Each property is

    f(x, T) = sum c_ij (x - x_m)^i (T - T_m)^j

over 18 exponent pairs, x in mass-%, T in degC, valid from the freezing point to
100 degC and 0..60 mass-%. The coefficient files hold one row per (i, j) with the
columns Tf_C (the freezing point uses only the j = 0 terms), rho_kg_m3,
cp_J_kgK, k_W_mK and ln_mu_mPas.
"""
import math
import os

import tablegen

T_VALID_MAX = 100


class Fluid:
    def __init__(self, coefficient_file, x_m, t_m):
        rows = tablegen.read_csv(os.path.join(tablegen.TOOLS_DIR, coefficient_file))
        self.coeffs = [(int(r["i_pow_x"]), int(r["j_pow_T"]),
                        {k: float(v) for k, v in r.items() if k not in ("i_pow_x", "j_pow_T")})
                       for r in rows]
        self.x_m, self.t_m = x_m, t_m

    def value(self, column, x, t):
        return sum(c[column] * (x - self.x_m) ** i * (t - self.t_m) ** j for i, j, c in self.coeffs)

    def freezing_point(self, x):
        return sum(c["Tf_C"] * (x - self.x_m) ** i for i, j, c in self.coeffs if j == 0)

    def props(self, x, t):
        """(R kg/m3, cP kJ/(kg.K), L W/(m.K), V mPa.s) at x mass-% and t degC."""
        return (self.value("rho_kg_m3", x, t),
                self.value("cp_J_kgK", x, t) / 1000.0,
                self.value("k_W_mK", x, t),
                math.exp(self.value("ln_mu_mPas", x, t)))

    def check(self, name, points):
        """Stops unless the coefficients reproduce the published check values
        [(x, t or None for the freezing point, column, expected)] to their last
        printed digit."""
        for x, t, column, expected in points:
            if t is None:
                got = self.freezing_point(x)
            elif column == "mu_mPas":
                got = math.exp(self.value("ln_mu_mPas", x, t))
            else:
                got = self.value(column, x, t)
                if column == "cp_J_kgK":
                    got /= 1000.0
            if abs(got - expected) > 0.5 * 10 ** -decimals(expected) + 1e-9:
                raise SystemExit("%s coefficients do not reproduce %s at x=%s, T=%s: %r, not %r"
                                 % (name, column, x, t, got, expected))


def decimals(value):
    text = repr(value)
    return len(text.split(".")[1]) if "." in text else 0


# Ethylene glycol (monoethylene glycol, "MEG").
MEG = Fluid("melinder2010_meg.csv", 30.8462, 31.728)
# Propylene glycol (monopropylene glycol, "MPG").
MPG = Fluid("melinder2010_mpg.csv", 30.7031, 32.7083)
