#!/usr/bin/env python3
"""Seeded sweep of realistic cases through pheselect-cli.

  sweep_runs.py [--cli build/bin/pheselect-cli] [--n 1000] [--seed 1]

1. Runs every case in one session ({"runs": [...]}) and again each in a fresh
   session, and counts the cases whose result boxes or messages differ: a run
   must depend on its own inputs only.
2. Rates every single-type design of the sweep with a check calculation of the
   pack it produced and reports the largest margin and pressure-drop
   differences (margin in whole points, pressure drops in %).
Every case sets every input box, so nothing is inherited from the box texts of
the run before it.
"""
import argparse
import concurrent.futures
import json
import os
import random
import shutil
import subprocess
import tempfile
import threading

HOT_LIQUIDS = ["Water", "Oil ISO VG22", "Oil ISO VG46", "Oil ISO VG68", "Oil ISO VG220", "Oil SAE30"]
COLD = ["Water", "25% Glycol"]
MODELS = ["PX32", "PX50B", "PX50M", "PX65B", "PX65M", "PX65L", "PX100B", "PX100M", "PX100L",
          "PX150B", "PX150M", "PX150S", "PX200B", "PX200M", "PX250B", "PX350M", "PX450M"]
RESULTS = ["Txt_D1", "Txt_D2", "Txt_K", "Txt_GF", "Txt_RHC1", "Txt_F", "Txt_TM", "Txt_Ph1", "Txt_Ph2",
           "Txt_Pc1", "Txt_Pc2", "Txt_Wlh", "Txt_Wlc", "Txt_W", "Txt_H", "Txt_Y", "Txt_nh", "Txt_nl",
           "com_br", "com_zh", "Txt_Wq", "Txt_Qh", "Txt_Qc", "Txt_Th1", "Txt_Th2", "Txt_Tc1", "Txt_Tc2"]


# Liquid temperatures of a seeded case, hot above cold at both ends; an oil
# cools over less.
def liquid_temps(rng, c):
    oil = c["Com_jh"].startswith("Oil")
    th1 = rng.randint(50, 140)
    th2 = rng.randint(max(15, th1 - (40 if oil else 60)), th1 - 3)
    tc1 = rng.randint(5, th2 - 2)
    tc2 = rng.randint(tc1 + 2, th1 - 2)
    c.update(Txt_Th1=str(th1), Txt_Th2=str(th2), Txt_Tc1=str(tc1), Txt_Tc2=str(tc2))


def fmt(x):
    return ("%.1f" % x).rstrip("0").rstrip(".")


def gen_case(rng):
    c = {k: "" for k in ["Txt_Wq", "Txt_Qh", "Txt_Qc", "Txt_Th1", "Txt_Th2", "Txt_Tc1", "Txt_Tc2",
                         "Txt_nh", "Txt_nl"]}
    steam = rng.random() < 0.2
    c["Com_jh"] = "Steam" if steam else rng.choice(HOT_LIQUIDS)
    c["Com_jc"] = rng.choice(COLD)
    mode = rng.choice(["auto", "auto", "manual", "check"])
    kind = rng.choice(["H", "M", "L"] if steam else ["H", "M", "L", "H", "M", "L", "HM", "ML"])
    if steam:
        th1 = rng.randint(105, 160)
        tc1 = rng.randint(5, 60)
        tc2 = rng.randint(tc1 + 5, th1 - 5)
        c.update(Txt_Th1=str(th1), Txt_Tc1=str(tc1), Txt_Tc2=str(tc2), Txt_Wq=str(rng.randint(20, 3000)))
    else:
        liquid_temps(rng, c)
        way = rng.random()
        if way < 0.6:
            c["Txt_Wq"] = str(rng.randint(10, 3000))
        elif way < 0.8:
            c["Txt_Qh"] = fmt(rng.uniform(2, 200))
        else:  # the cold outlet is left to the balance, the cold flow near what it needs
            qh = rng.uniform(2, 200)
            heat_ratio = (0.45 if oil else 1.0) / (0.92 if c["Com_jc"] == "25% Glycol" else 1.0)
            c["Txt_Qh"] = fmt(qh)
            c["Txt_Qc"] = fmt(qh * heat_ratio * (th1 - th2) / (tc2 - tc1) * rng.uniform(0.9, 1.5))
            c["Txt_Tc2"] = ""
    c["Txt_GF1"] = str(rng.choice([0, 5, 10, 15, 20]))
    c["Txt_Rhc"] = rng.choice(["0", "0", "0.00002", "0.00005", "0.0001"])
    c["Txt_N"] = "1" if steam else rng.choice(["1", "1", "1", "2", "3"])
    c["Txt_Ph"] = str(rng.choice([20, 30, 50, 70, 100]))
    c["Txt_Pc"] = str(rng.choice([20, 30, 50, 70, 100]))
    c["selection"] = "auto" if mode == "auto" else "manual"
    c["calc"] = "check" if mode == "check" else "design"
    c["com_br"] = rng.choice(MODELS)
    c["com_zh"] = kind
    if mode == "check":
        c["Txt_nh"] = str(rng.randint(1, 60))
        c["Txt_nl"] = str(rng.randint(0, 30)) if kind in ("HM", "ML") else "0"
    return c


_dbs = threading.local()


def run(cli, doc):
    # One database copy per thread: every run stores its case record.
    if not hasattr(_dbs, "path"):
        _dbs.path = tempfile.mktemp(suffix=".mdb")
        shutil.copy(os.path.join(os.path.dirname(cli), "br.mdb"), _dbs.path)
    with tempfile.NamedTemporaryFile("w", suffix=".json", delete=False) as f:
        json.dump(doc, f)
    try:
        out = subprocess.run([cli, "--case", f.name, "--db", _dbs.path], capture_output=True,
                             text=True, timeout=600)
        if not out.stdout.strip():
            raise RuntimeError(f"no output (exit {out.returncode}): {out.stderr.strip()}")
        return json.loads(out.stdout)
    finally:
        os.unlink(f.name)


def seen(out):
    # A refused run shows no result of its own (the boxes keep what was there).
    boxes = {k: out["controls"].get(k) for k in RESULTS} if out["report"] is not None else None
    return (boxes, [m["text"] for m in out["messages"]])


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", default="build/bin/pheselect-cli")
    ap.add_argument("--n", type=int, default=1000)
    ap.add_argument("--seed", type=int, default=1)
    a = ap.parse_args()
    rng = random.Random(a.seed)
    cases = [gen_case(rng) for _ in range(a.n)]

    session = run(a.cli, {"runs": cases})
    with concurrent.futures.ThreadPoolExecutor(os.cpu_count()) as ex:
        fresh = list(ex.map(lambda c: run(a.cli, c), cases))
    diffs = [i for i in range(a.n) if seen(session[i]) != seen(fresh[i])]
    results = sum(1 for o in fresh if o["report"] is not None)
    print(f"{a.n} cases, {results} with a result; session vs fresh: {len(diffs)} differ")
    for i in diffs[:5]:
        print(" ", json.dumps(cases[i], ensure_ascii=False))
        s, f = seen(session[i]), seen(fresh[i])
        print("   session:", s)
        print("   fresh:  ", f)

    checks = []
    for c, o in zip(cases, fresh):
        ctl = o["controls"]
        single = c["selection"] == "auto" or c["com_zh"] in ("H", "M", "L")
        if c["calc"] != "design" or o["report"] is None or not single:
            continue
        if o["state"]["units"] != 1 or not ctl["Txt_F"]:
            continue
        k = dict(c)
        k.update(selection="manual", calc="check", com_br=ctl["com_br"], com_zh=ctl["com_zh"],
                 Txt_nh=str(int(ctl["Txt_nh"]) + int(ctl["Txt_nl"])), Txt_nl="0")
        checks.append((c, o, k))
    with concurrent.futures.ThreadPoolExecutor(os.cpu_count()) as ex:
        rated = list(ex.map(lambda t: run(a.cli, t[2]), checks))
    worst = {"margin": (0, None), "dp": (0, None)}
    for (c, d, k), r in zip(checks, rated):
        if r["report"] is None:
            worst["margin"] = (99, (c, "check refused", [m["text"] for m in r["messages"]]))
            continue
        dm = abs(float(d["controls"]["Txt_GF"]) - float(r["controls"]["Txt_GF"]))
        if dm > worst["margin"][0]:
            worst["margin"] = (dm, (c, d["controls"]["Txt_GF"], r["controls"]["Txt_GF"]))
        for box in ("Txt_Ph1", "Txt_Pc1"):
            x, y = float(d["controls"][box]), float(r["controls"][box])
            rel = abs(x - y) / max(abs(x), 1e-9) * 100
            if rel > worst["dp"][0]:
                worst["dp"] = (rel, (c, box, x, y))
    print(f"design then check on {len(checks)} single-type designs: "
          f"largest margin difference {worst['margin'][0]:g} points, "
          f"largest pressure-drop difference {worst['dp'][0]:.3f} %")
    for k in worst:
        if worst[k][1]:
            print(f"  worst {k}:", json.dumps(worst[k][1], ensure_ascii=False)[:600])

    # The fouling capacity shown, entered as fouling with margin 0, needs no
    # more channels than the pack that showed it (one more for the grid).
    # Liquid designs take fouling below 0.0002 only.
    refoul = []
    for c, d, k in checks:
        cap = float(d["controls"]["Txt_RHC1"])
        if cap <= 0 or (c["Com_jh"] != "Steam" and cap >= 0.0002):
            continue
        m = dict(c)
        m.update(selection="manual", com_br=d["controls"]["com_br"], com_zh=d["controls"]["com_zh"],
                 Txt_Rhc=d["controls"]["Txt_RHC1"], Txt_GF1="0")
        refoul.append((d, m))
    with concurrent.futures.ThreadPoolExecutor(os.cpu_count()) as ex:
        redone = list(ex.map(lambda t: run(a.cli, t[1]), refoul))
    channels = lambda o: int(o["controls"]["Txt_nh"] or 0) + int(o["controls"]["Txt_nl"] or 0)
    over = [(m, channels(d), channels(r)) for (d, m), r in zip(refoul, redone)
            if r["report"] is None or channels(r) > channels(d) + 1]
    print(f"capacity entered as fouling on {len(refoul)} designs: {len(over)} need more than one extra channel")
    for m, n0, n1 in over[:3]:
        print("  ", json.dumps(m, ensure_ascii=False), n0, n1)


if __name__ == "__main__":
    main()
