#!/usr/bin/env python3
"""Seeded sweep of how packs are rated, through pheselect-cli.

  rating_sweep.py [--cli build/bin/pheselect-cli] [--mixed 500] [--n 1000] [--seed 1]

1. Manual HM/ML designs (every model, both mixed types, water, glycol and oil,
   20-5,000 kW): the check of the designed pack must agree on the margin
   within 1 point and on both pressure drops within 1 %; every pack of both
   kinds is rated again here, group by group, from its per-group state
   (flows from the velocities, areas by channel share, films), and its margin
   must agree within 1 point.
2. Cases of every kind (automatic, manual, HM/ML, steam): no design's
   untruncated margin below the asked one (packs stopped at 700 channels
   aside); a steam design with more fouling needs no less area; per-unit steam
   mass flow x units = total; the heat balances printed on each case's sheet
   (its PDF read back as text) close within 0.5 %.
"""
import argparse
import concurrent.futures
import json
import math
import os
import random
import re
import shutil
import subprocess
import tempfile

from sweep_runs import liquid_temps

MODELS = ["PX32", "PX50B", "PX50M", "PX65B", "PX65M", "PX65L", "PX100B", "PX100M", "PX100L",
          "PX150B", "PX150M", "PX150S", "PX200B", "PX200M", "PX200S", "PX250B", "PX250M", "PX250S",
          "PX350M", "PX350B", "PX350S", "PX450M"]
HOT = ["Water", "Water", "Oil ISO VG22", "Oil ISO VG46", "Oil SAE30"]
COLD = ["Water", "25% Glycol"]


def blank():
    return {k: "" for k in ["Txt_Wq", "Txt_Qh", "Txt_Qc", "Txt_Th1", "Txt_Th2", "Txt_Tc1", "Txt_Tc2",
                            "Txt_nh", "Txt_nl"]}


def common(rng, c, passes=True):
    c["Txt_GF1"] = str(rng.choice([0, 0, 5, 10, 20]))
    c["Txt_Rhc"] = rng.choice(["0", "0", "0.00002", "0.00005", "0.0001"])
    c["Txt_N"] = rng.choice(["1", "1", "1", "2", "3"]) if passes else "1"
    c["Txt_Ph"] = str(rng.choice([20, 30, 50, 70, 100]))
    c["Txt_Pc"] = str(rng.choice([20, 30, 50, 70, 100]))


def mixed_case(rng):
    c = blank()
    c["Com_jh"] = rng.choice(HOT)
    c["Com_jc"] = rng.choice(COLD)
    liquid_temps(rng, c)
    c["Txt_Wq"] = str(round(math.exp(rng.uniform(math.log(20), math.log(5000)))))
    common(rng, c)
    c.update(selection="manual", calc="design", com_br=rng.choice(MODELS), com_zh=rng.choice(["HM", "ML"]))
    return c


def any_case(rng):
    c = blank()
    steam = rng.random() < 0.25
    c["Com_jh"] = "Steam" if steam else rng.choice(HOT)
    c["Com_jc"] = rng.choice(COLD)
    if steam:
        th1 = rng.randint(105, 160)
        tc1 = rng.randint(5, 60)
        tc2 = rng.randint(tc1 + 5, th1 - 5)
        c.update(Txt_Th1=str(th1), Txt_Tc1=str(tc1), Txt_Tc2=str(tc2))
        c["Txt_Wq"] = str(round(math.exp(rng.uniform(math.log(20), math.log(200000)))))
    else:
        liquid_temps(rng, c)
        c["Txt_Wq"] = str(round(math.exp(rng.uniform(math.log(10), math.log(20000)))))
        balance_kind(rng, c)
    common(rng, c, passes=not steam)
    mode = rng.choice(["auto", "auto", "manual"])
    kinds = ["H", "M", "L"] if steam else ["H", "M", "L", "HM", "ML"]
    c.update(selection=mode, calc="design", com_br=rng.choice(MODELS), com_zh=rng.choice(kinds))
    return c


def balance_kind(rng, c):
    """Every way the heat balance closes: the duty from a flow, a flow from
    the duty, or an outlet searched from the duty and a flow."""
    kind = rng.choice(["flows", "flows", "duty_h", "duty_c", "out_h", "out_c"])
    wq = float(c["Txt_Wq"])
    rho_cp = 4.1 * 1000 / 3.6 / 1000  # a water-like kW per (m3/h K), for a flow that fits
    dth = float(c["Txt_Th1"]) - float(c["Txt_Th2"])
    dtc = float(c["Txt_Tc2"]) - float(c["Txt_Tc1"])
    if kind == "duty_h":
        c.update(Txt_Wq="", Txt_Qh=f"{wq / (rho_cp * dth):.1f}")
    elif kind == "duty_c":
        c.update(Txt_Wq="", Txt_Qc=f"{wq / (rho_cp * dtc):.1f}")
    elif kind == "out_h":
        # a hot flow for a drop a little larger than the one given, outlet found
        c.update(Txt_Qh=f"{wq / (rho_cp * dth * 0.9):.1f}", Txt_Th2="")
    elif kind == "out_c":
        c.update(Txt_Qc=f"{wq / (rho_cp * dtc * 0.9):.1f}", Txt_Tc2="")


def run_session(cli, db, cases):
    with tempfile.NamedTemporaryFile("w", suffix=".json", delete=False) as f:
        json.dump({"runs": cases}, f)
    try:
        out = subprocess.run([cli, "--case", f.name, "--db", db], capture_output=True, text=True, timeout=3600)
        return json.loads(out.stdout)
    finally:
        os.unlink(f.name)


def run_all(cli, cases, jobs=2, chunk=50):
    chunks = [cases[i:i + chunk] for i in range(0, len(cases), chunk)]
    dbs = []
    for _ in range(jobs):
        p = tempfile.mktemp(suffix=".mdb")
        shutil.copy(os.path.join(os.path.dirname(cli), "br.mdb"), p)
        dbs.append(p)
    with concurrent.futures.ThreadPoolExecutor(jobs) as ex:
        parts = list(ex.map(lambda t: run_session(cli, dbs[t[0] % jobs], t[1]), enumerate(chunks)))
    for p in dbs:
        os.unlink(p)
    return [o for part in parts for o in part]


def num(text):
    return float(text) if text not in ("", None) else 0.0


# ---- an independent rating of a mixed pack from its per-group state ----

def group_heat(st, ua, ch, cc):
    """Counter-current group solved for its hot outlet by UA*LMTD = Ch*(Th1-Th2)."""
    if ua <= 0 or ch <= 0:
        return 0.0
    lo, hi = st["t_c_in"], st["t_h_in"]
    for _ in range(200):
        th2 = (lo + hi) / 2
        q = ch * (st["t_h_in"] - th2)
        dt1 = st["t_h_in"] - (st["t_c_in"] + q / cc)
        dt2 = th2 - st["t_c_in"]
        if dt1 <= 0 or dt2 <= 0:
            lo = th2
            continue
        lm = dt1 if abs(dt1 - dt2) < 1e-9 * dt1 else (dt1 - dt2) / math.log(dt1 / dt2)
        if ua * lm > q:
            hi = th2
        else:
            lo = th2
    return ch * (st["t_h_in"] - (lo + hi) / 2)


def pack_heat(st, f, fouling):
    n = st["channels_hm"] + st["channels_ml"]
    area = st["plate_area"] * (2 * st["passes"] * n - 1)
    rw = st["plate_thickness"] * 0.001 / st["lambda_plate"]
    q = 0.0
    for k in ("1", "2"):
        nk = st["channels_hm"] if k == "1" else st["channels_ml"]
        kk = 0.95 / (1 / st["alpha_h" + k] + 1 / st["alpha_c" + k] + rw + fouling)
        ch = 3600 * st["channel_area"] * nk * st["v_h" + k] * st["rho_h"] * st["cp_h"] / 3.6
        cc = 3600 * st["channel_area"] * nk * st["v_c" + k] * st["rho_c"] * st["cp_c"] / 3.6
        q += group_heat(st, f * kk * area * nk / n, ch, cc)
    return q


def hand_margin(st, fouling):
    lo, hi = 0.001, 1000.0
    for _ in range(100):
        f = math.sqrt(lo * hi)
        if pack_heat(st, f, fouling) < st["duty"]:
            lo = f
        else:
            hi = f
    return 100 * (1 / math.sqrt(lo * hi) - 1)


def untruncated_margin(case, st):
    """The margin the accepted pack has with the entered fouling."""
    fouling = num(case["Txt_Rhc"])
    if st["channels_hm"] > 0 and st["channels_ml"] > 0:
        return hand_margin(st, fouling)
    rw = st["plate_thickness"] * 0.001 / st["lambda_plate"]
    k = 0.95 / (1 / st["alpha_h"] + 1 / st["alpha_c"] + rw + fouling)
    return 100 * (k / st["k_service"] - 1)


def mixed_part(cli, rng, n):
    cases = [mixed_case(rng) for _ in range(n)]
    designs = run_all(cli, cases)
    checks, idx = [], []
    for i, (c, o) in enumerate(zip(cases, designs)):
        if o["report"] is None:
            continue
        ctl = o["controls"]
        k = dict(c)
        k.update(calc="check", com_br=ctl["com_br"], com_zh=ctl["com_zh"], Txt_nh=ctl["Txt_nh"],
                 Txt_nl=ctl["Txt_nl"], Txt_GF1="", Txt_Rhc="")
        checks.append(k)
        idx.append(i)
    rated = run_all(cli, checks)
    worst_m, worst_dp, worst_hand = (0, None), (0, None), (0, None)
    genuinely, one_kind, at_limit = 0, 0, 0
    for i, r in zip(idx, rated):
        c, d = cases[i], designs[i]
        ctl, st = d["controls"], d["state"]
        if st["channels"] >= 700:
            at_limit += 1
        if r["report"] is None:
            worst_m = (99, (c, "check refused", [m["text"] for m in r["messages"]]))
            continue
        dm = abs(num(ctl["Txt_GF"]) - num(r["controls"]["Txt_GF"]))
        if dm > worst_m[0]:
            worst_m = (dm, (c, ctl["Txt_GF"], r["controls"]["Txt_GF"]))
        for box in ("Txt_Ph1", "Txt_Pc1"):
            x, y = num(ctl[box]), num(r["controls"][box])
            rel = abs(x - y) / max(abs(x), 1e-9) * 100
            if rel > worst_dp[0]:
                worst_dp = (rel, (c, box, x, y))
        if ctl["com_zh"] in ("HM", "ML"):
            genuinely += 1
            hm = hand_margin(st, 0)
            dh = abs(hm - st["margin"])
            if dh > worst_hand[0]:
                worst_hand = (dh, (c, st["margin"], hm))
        else:
            one_kind += 1
    print(f"{n} manual HM/ML designs, {len(idx)} with a result: {genuinely} of both kinds, {one_kind} of one kind "
          f"(designed as that type), {at_limit} at 700 channels")
    print(f"  design then check: largest margin difference {worst_m[0]:g} points, "
          f"largest pressure-drop difference {worst_dp[0]:.3f} %")
    print(f"  independent group-by-group rating of the {genuinely} mixed packs: largest margin difference "
          f"{worst_hand[0]:.3f} points")
    for name, w in (("margin", worst_m), ("dp", worst_dp), ("hand", worst_hand)):
        if w[1] and w[0] > 0.5:
            print(f"  worst {name}:", json.dumps(w[1], ensure_ascii=False)[:500])


NUM = r"(-?[0-9]+(?:\.[0-9]+)?)"
SHEET_LINES = {
    # caption's formula -> the factors it multiplies and the divisor
    "hot": re.compile(r"Q = Vh·ρh·cph·\(Th1 − Th2\) / 3600 = " + " × ".join([NUM] * 4) + r" / 3600 = " + NUM),
    "steam": re.compile(r"Q = G·r / 3600 = " + NUM + " × " + NUM + r" / 3600 = " + NUM),
    "cold": re.compile(r"Q = Vc·ρc·cpc·\(Tc2 − Tc1\) / 3600 = " + " × ".join([NUM] * 4) + r" / 3600 = " + NUM),
    "kal": re.compile(r"Q = K·A·ΔTm = " + " × ".join([NUM] * 3) + r" = " + NUM + r" kW\s*\(" + NUM + r" kW\)"),
}


def sheet_text(cli, case):
    """The calculation sheet of one case, as the PDF's text."""
    with tempfile.TemporaryDirectory() as d:
        cf, pdf, db = os.path.join(d, "case.json"), os.path.join(d, "sheet.pdf"), os.path.join(d, "br.mdb")
        shutil.copy(os.path.join(os.path.dirname(cli), "br.mdb"), db)
        with open(cf, "w") as f:
            json.dump(case, f)
        subprocess.run([cli, "--case", cf, "--db", db, "--sheet", pdf], capture_output=True, timeout=600)
        if not os.path.exists(pdf):
            return None
        return subprocess.run(["pdftotext", "-raw", pdf, "-"], capture_output=True, text=True).stdout


def balance_errors(text):
    """Relative misfits, in %, of the heat balances the sheet prints: each
    side's heat worked out again from the printed factors, and K·A·ΔTm, against
    the duty the sheet prints; None when a line is missing."""
    found = {k: r.search(text) for k, r in SHEET_LINES.items()}
    if not found["kal"] or not found["cold"] or not (found["hot"] or found["steam"]):
        return None
    duty = float(found["kal"].group(5))
    hot = found["hot"] or found["steam"]
    errs = []
    for m, n in ((hot, 4 if found["hot"] else 2), (found["cold"], 4), (found["kal"], 3)):
        x = math.prod(float(m.group(i + 1)) for i in range(n)) / (3600 if m is not found["kal"] else 1000)
        errs.append(abs(x - duty) / duty * 100)
    return errs


def every_kind_part(cli, rng, n):
    cases = [any_case(rng) for _ in range(n)]
    outs = run_all(cli, cases)
    short, judged, worst_short = 0, 0, (0, None)
    worst_bal = {1: (0, None), 2: (0, None)}
    steam_units, steam_unit_bad = 0, 0
    refoul, sheets = [], []
    for c, o in zip(cases, outs):
        if o["report"] is None:
            continue
        st = o["state"]
        if st["channels"] < 700:
            judged += 1
            m = untruncated_margin(c, st)
            if m < num(c["Txt_GF1"]) - 1e-9:
                short += 1
                if num(c["Txt_GF1"]) - m > worst_short[0]:
                    worst_short = (num(c["Txt_GF1"]) - m, (c, m))
        sheets.append((c, st["hot_kind"]))
        if st["hot_kind"] == 2:
            total = 3.6 * st["duty"] * st["units"] / st["latent_heat"]
            if st["units"] > 1:
                steam_units += 1
            if abs(st["steam_flow"] * st["units"] - total) > 1e-6 * total or \
                    abs(st["steam_flow"] - st["flow_h"] * st["rho_steam"]) > 1e-6 * st["steam_flow"]:
                steam_unit_bad += 1
            if st["units"] == 1 and st["channels"] < 700:
                m = dict(c)
                m.update(selection="manual", com_br=o["controls"]["com_br"], com_zh=o["controls"]["com_zh"],
                         Txt_Rhc=f"{num(c['Txt_Rhc']) + 0.0002:.6f}")
                refoul.append((o, m))
    with concurrent.futures.ThreadPoolExecutor(2) as ex:
        texts = list(ex.map(lambda ck: sheet_text(cli, ck[0]), sheets))
    unread = 0
    for (c, kind), text in zip(sheets, texts):
        errs = balance_errors(text) if text else None
        if errs is None:
            unread += 1
            continue
        if max(errs) > worst_bal[kind][0]:
            worst_bal[kind] = (max(errs), (c, errs))
    redone = run_all(cli, [m for _, m in refoul])
    shrank = [(m, o["state"]["area"], r["state"]["area"]) for (o, m), r in zip(refoul, redone)
              if r["report"] is not None and r["state"]["area"] < o["state"]["area"] - 1e-9]
    print(f"{n} cases of every kind, {sum(o['report'] is not None for o in outs)} with a result")
    print(f"  {judged} designs below 700 channels: {short} with an untruncated margin below the asked one"
          + (f" (worst {worst_short[0]:.3f} points short)" if short else ""))
    print(f"  heat balances printed on {len(sheets) - unread} sheets (hot side, cold side, K·A·ΔTm worked out "
          f"from the printed factors against the printed duty): largest misfit {worst_bal[2][0]:.4f} % with "
          f"steam, {worst_bal[1][0]:.4f} % with a liquid; {unread} sheets missing or unreadable")
    print(f"  steam: {len(refoul)} single-unit designs redone with 0.0002 more fouling, {len(shrank)} need less area; "
          f"{steam_units} split steam cases, {steam_unit_bad} whose per-unit steam flow x units misses the total")
    for w in (worst_short, worst_bal[1], worst_bal[2]):
        if w[1] and w[0] > 0.5:
            print("  worst:", json.dumps(w[1], ensure_ascii=False)[:500])
    for m, a0, a1 in shrank[:3]:
        print("  less area:", json.dumps(m, ensure_ascii=False)[:300], a0, a1)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", default="build/bin/pheselect-cli")
    ap.add_argument("--mixed", type=int, default=500)
    ap.add_argument("--n", type=int, default=1000)
    ap.add_argument("--seed", type=int, default=1)
    a = ap.parse_args()
    rng = random.Random(a.seed)
    if a.mixed:
        mixed_part(a.cli, rng, a.mixed)
    if a.n:
        every_kind_part(a.cli, rng, a.n)


if __name__ == "__main__":
    main()
