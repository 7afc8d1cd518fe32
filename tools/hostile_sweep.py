#!/usr/bin/env python3
"""Seeded sweep of hostile case files through pheselect-cli.

Each case is run in its own process on a scratch copy of the database whose
case record table is emptied first. A case fails the sweep when the program
does not end within the time limit or with status 0, ends without a result and
without a message, shows a NaN, an infinity or a negative area, K, pressure
drop or flow, or stores a case record for a run that showed no result.

    tools/hostile_sweep.py [--cli build/bin/pheselect-cli] [--db build/bin/br.mdb]
                           [--seed 12] [--cases 2000] [--limit 1.0] [--in-range]

A run fails that takes more than --limit seconds of processor time (the clock
is what a busy machine makes of it) or does not end within five times that
(at least 30 s).

--in-range draws only accepted inputs over the whole allowed ranges (duties to
10,000,000 kW, flows to 1,000,000 m3/h, pressure drops 0.001 to 1000 kPa, 1 to
10 passes, 0 to 700 channels), each run with the alternatives and curves the
window computes after it, to find the slowest run a user may start.
"""
import argparse
import json
import math
import os
import random
import resource
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import time

HOSTILE = ["-0", "-1e-9", "-1", "0.5", "2.5", "7.5", "-2", "1e-9", "0", "abc", "nan",
           "3.5e38", "1e39", "1e400", "0.0005", "0.0002", "5OO", "1,500", "60,5",
           "1e308", "-1e308", "inf", "-inf", "0x10", "--5", "１２", "－５．５", " 1 2 ",
           "", " ", "12abc", ".", "1e", "701", "1000.1", "1e7", "100.5", "-40", "300"]

PLAUSIBLE = {
    "Txt_Th1": ["90", "120", "133", "60", "150", "105"],
    "Txt_Th2": ["70", "45", "", "80"],
    "Txt_Tc1": ["50", "20", "30", "", "0"],
    "Txt_Tc2": ["65", "36", "90", ""],
    "Txt_Qh": ["", "20", "50"],
    "Txt_Qc": ["", "30", "80"],
    "Txt_Ph": ["50", "30", "80"],
    "Txt_Pc": ["50", "30", "80"],
    "Txt_Wq": ["500", "60", "800", ""],
    "Txt_GF1": ["10", "0", "5"],
    "Txt_Rhc": ["", "0", "0.0001"],
    "Txt_N": ["1", "2", "3"],
    "Txt_nh": ["10", "0", "5"],
    "Txt_nl": ["12", "0", "3"],
}

BASES = [
    {"Com_jh": "Water", "Com_jc": "Water", "Txt_Th1": "90", "Txt_Th2": "70", "Txt_Tc1": "50",
     "Txt_Tc2": "65", "Txt_Wq": "500", "Txt_GF1": "10", "Txt_Ph": "50", "Txt_Pc": "50",
     "Txt_N": "1", "selection": "auto", "calc": "design"},
    {"Com_jh": "Steam", "Com_jc": "Water", "Txt_Th1": "133", "Txt_Tc1": "60", "Txt_Tc2": "90",
     "Txt_Wq": "800", "Txt_GF1": "10", "Txt_Ph": "30", "Txt_Pc": "50", "selection": "auto",
     "calc": "design"},
    {"Com_jh": "Oil ISO VG46", "Com_jc": "Water", "Txt_Th1": "60", "Txt_Th2": "45",
     "Txt_Tc1": "30", "Txt_Tc2": "36", "Txt_Wq": "60", "Txt_GF1": "10", "Txt_Ph": "80",
     "Txt_Pc": "50", "selection": "auto", "calc": "design"},
    {"Com_jh": "Water", "Com_jc": "Water", "Txt_Th1": "90", "Txt_Th2": "70", "Txt_Tc1": "50",
     "Txt_Tc2": "65", "Txt_Wq": "500", "Txt_Ph": "50", "Txt_Pc": "50", "selection": "manual",
     "calc": "check", "com_br": "PX100B", "com_zh": "HM", "Txt_nh": "10", "Txt_nl": "12"},
    {"Com_jh": "Water", "Com_jc": "Water", "Txt_Th1": "90", "Txt_Th2": "70", "Txt_Tc1": "50",
     "Txt_Tc2": "65", "Txt_Wq": "500", "Txt_GF1": "5", "Txt_Ph": "50", "Txt_Pc": "50",
     "selection": "manual", "calc": "design", "com_br": "PX100B", "com_zh": "HM"},
]

MEDIA_H = ["Water", "Steam", "Oil ISO VG46", "Oil SAE30"]
MEDIA_C = ["Water", "25% Glycol", "Oil ISO VG10"]
MODELS = ["PX32", "PX50B", "PX100B", "PX150M", "PX450M"]
TYPES = ["H", "HM", "M", "ML", "L"]

# Result boxes that must never show a non-finite or negative number.
NON_NEGATIVE = ["Txt_F", "Txt_K", "Txt_Ph1", "Txt_Ph2", "Txt_Pc1", "Txt_Pc2", "Txt_Qh",
                "Txt_Qc", "Txt_Wq", "Txt_Wlh", "Txt_Wlc"]


INPUTS = {"Txt_Qh", "Txt_Qc", "Txt_Wq"}


def make_case(rng):
    mode = rng.random()
    if mode < 0.4:
        # A sound case with one to three boxes made hostile.
        case = dict(rng.choice(BASES))
        for box in rng.sample(sorted(PLAUSIBLE), rng.randint(1, 3)):
            case[box] = rng.choice(HOSTILE)
        return case
    if mode < 0.6:
        # A sound case with one box varied among plausible texts, so that
        # many runs reach the engines and show results.
        case = dict(rng.choice(BASES))
        box = rng.choice(sorted(PLAUSIBLE))
        case[box] = rng.choice(PLAUSIBLE[box])
        return case
    # Every box drawn at random, hostile or plausible.
    case = {"Com_jh": rng.choice(MEDIA_H), "Com_jc": rng.choice(MEDIA_C),
            "selection": rng.choice(["auto", "manual"]), "calc": rng.choice(["design", "check"])}
    if case["selection"] == "manual" or case["calc"] == "check":
        case["com_br"] = rng.choice(MODELS)
        case["com_zh"] = rng.choice(TYPES)
    for box, values in PLAUSIBLE.items():
        case[box] = rng.choice(HOSTILE if rng.random() < 0.4 else values)
    return case


ALL_MODELS = ["PX32", "PX50B", "PX50M", "PX65B", "PX65M", "PX65L", "PX100B", "PX100M",
              "PX100L", "PX150B", "PX150M", "PX150S", "PX200B", "PX200M", "PX200S", "PX250B",
              "PX250M", "PX250S", "PX350B", "PX350M", "PX350S", "PX450M"]


def log_uniform(rng, low, high):
    return low * (high / low) ** rng.random()


def number(v):
    return "%.6g" % v


def make_in_range_case(rng):
    """A case every box of which holds an accepted value; big duties and flows
    and tight pressure drops are drawn as often as ordinary ones."""
    steam = rng.random() < 0.2
    hot = "Steam" if steam else rng.choice(["Water", "Oil ISO VG46", "Oil SAE30",
                                            "Ethylene glycol 30%"])
    cold = rng.choice(["Water", "25% Glycol", "Oil ISO VG10"])
    tc1 = rng.uniform(5, 60)
    tc2 = tc1 + rng.uniform(2, 40)
    case = {"Com_jh": hot, "Com_jc": cold, "Txt_Tc1": number(tc1), "Txt_Tc2": number(tc2)}
    if steam:
        case["Txt_Th1"] = number(rng.uniform(tc2 + 5, 175))
    else:
        th1 = rng.uniform(tc2 + 2, min(tc2 + 60, 98))
        case["Txt_Th1"] = number(th1)
        case["Txt_Th2"] = number(rng.uniform(tc1 + 1, th1 - 1))
    if rng.random() < 0.7:
        case["Txt_Wq"] = number(log_uniform(rng, 1, 1e7))
    else:
        case["Txt_Tc2"] = ""
        case["Txt_Qh" if not steam else "Txt_Wq"] = number(log_uniform(rng, 0.5, 1e6 if not steam else 1e7))
        case["Txt_Qc"] = number(log_uniform(rng, 0.5, 1e6))
    case["Txt_Ph"] = number(log_uniform(rng, 0.001, 1000))
    case["Txt_Pc"] = number(log_uniform(rng, 0.001, 1000))
    case["Txt_N"] = str(rng.randint(1, 10))
    case["Txt_GF1"] = number(rng.uniform(0, 100))
    case["Txt_Rhc"] = number(rng.uniform(0, 0.00019))
    mode = rng.random()
    if mode < 0.4:
        case.update({"selection": "auto", "calc": "design"})
    elif mode < 0.7:
        case.update({"selection": "manual", "calc": "design", "com_br": rng.choice(ALL_MODELS),
                     "com_zh": rng.choice(TYPES)})
    else:
        case.update({"selection": "manual", "calc": "check", "com_br": rng.choice(ALL_MODELS),
                     "com_zh": rng.choice(TYPES), "Txt_nh": str(rng.randint(1, 700)),
                     "Txt_nl": str(rng.randint(0, 700))})
    return case


def bad_number(text):
    """Why a shown result text is not acceptable, or None."""
    if text == "":
        return None
    try:
        v = float(text)
    except ValueError:
        return "not a number"
    if not math.isfinite(v):
        return "not finite"
    if v < 0:
        return "negative"
    return None


def sessions(args):
    """The same cases as {"runs": [...]} sessions: the state carried from one
    run to the next must not make a later run hang, crash or show garbage."""
    rng = random.Random(args.seed)
    work = tempfile.mkdtemp(prefix="phe_sweep_")
    db = os.path.join(work, "br.mdb")
    shutil.copy(args.db, db)
    case_path = os.path.join(work, "runs.json")
    failures = 0
    done = 0
    try:
        while done < args.cases:
            n = min(args.session, args.cases - done)
            with open(case_path, "w", encoding="utf-8") as f:
                json.dump({"runs": [make_case(rng) for _ in range(n)]}, f, ensure_ascii=False)
            t0 = time.monotonic()
            p = subprocess.run([args.cli, "--case", case_path, "--db", db], capture_output=True,
                               timeout=args.limit * n)
            took = time.monotonic() - t0
            # 1: a run of the session was refused (its JSON is still printed).
            if p.returncode not in (0, 1):
                failures += 1
                print("session at case %d: exit %d" % (done, p.returncode))
            else:
                for k, out in enumerate(json.loads(p.stdout)):
                    # A refused run leaves the typed texts in the input boxes.
                    for box in [b for b in NON_NEGATIVE if b not in INPUTS]:
                        bad = bad_number(out["controls"].get(box, ""))
                        if bad:
                            failures += 1
                            print("session run %d: %s %s" % (done + k, box, bad))
            print("%d runs in %.2f s" % (n, took))
            done += n
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print("%d failures" % failures)
    return 1 if failures else 0


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", default="build/bin/pheselect-cli")
    ap.add_argument("--db", default="build/bin/br.mdb")
    ap.add_argument("--seed", type=int, default=12)
    ap.add_argument("--cases", type=int, default=2000)
    ap.add_argument("--limit", type=float, default=1.0, help="seconds per run")
    ap.add_argument("--in-range", action="store_true",
                    help="accepted inputs only, over the whole allowed ranges")
    ap.add_argument("--session", type=int, default=0,
                    help="instead: sessions of this many runs in one process each")
    args = ap.parse_args()
    if args.session:
        return sessions(args)
    draw = make_in_range_case if args.in_range else make_case
    hang = max(args.limit * 5, 30)

    rng = random.Random(args.seed)
    work = tempfile.mkdtemp(prefix="phe_sweep_")
    db = os.path.join(work, "br.mdb")
    shutil.copy(args.db, db)
    case_path = os.path.join(work, "case.json")
    failures = []
    counts = {"result": 0, "refused": 0}
    slowest = 0.0
    times = []
    try:
        for n in range(args.cases):
            case = draw(rng)
            with open(case_path, "w", encoding="utf-8") as f:
                json.dump(case, f, ensure_ascii=False)
            con = sqlite3.connect(db)
            con.execute("delete from br_prn")
            con.commit()
            con.close()
            t0 = time.monotonic()
            cpu0 = resource.getrusage(resource.RUSAGE_CHILDREN)
            try:
                # In range, the run does what the window does after it.
                extra = ["--alternatives", "--curves"] if args.in_range else []
                p = subprocess.run([args.cli, "--case", case_path, "--db", db] + extra,
                                   capture_output=True, timeout=hang)
            except subprocess.TimeoutExpired:
                failures.append((n, case, "no end within %.0f s" % hang))
                continue
            took = time.monotonic() - t0
            cpu1 = resource.getrusage(resource.RUSAGE_CHILDREN)
            # Processor time, which a busy machine does not inflate as it does the clock.
            cpu = (cpu1.ru_utime - cpu0.ru_utime) + (cpu1.ru_stime - cpu0.ru_stime)
            slowest = max(slowest, took)
            times.append((cpu, took, n, case))
            why = []
            if cpu > args.limit:
                why.append("took %.2f s of processor time" % cpu)
            # 0: a result; 1: refused with a message.
            if p.returncode not in (0, 1):
                why.append("exit %d: %s" % (p.returncode, p.stderr.decode(errors="replace")[:200]))
            else:
                out = json.loads(p.stdout)
                shown = out["controls"]
                finished = shown.get("Txt_K", "") != ""
                con = sqlite3.connect(db)
                stored = con.execute("select count(*) from br_prn").fetchone()[0]
                con.close()
                if finished:
                    counts["result"] += 1
                    for box in NON_NEGATIVE:
                        bad = bad_number(shown.get(box, ""))
                        if bad:
                            why.append("%s shows %r (%s)" % (box, shown[box][:40], bad))
                else:
                    counts["refused"] += 1
                    if not out["messages"]:
                        why.append("neither a result nor a message")
                    if stored or out["report"] is not None:
                        why.append("case record stored for a refused run")
            if why:
                failures.append((n, case, "; ".join(why)))
    finally:
        shutil.rmtree(work, ignore_errors=True)

    print("seed %d: %d cases, %d with a result, %d refused with a message, slowest %.3f s"
          % (args.seed, args.cases, counts["result"], counts["refused"], slowest))
    cpus = sorted(t[0] for t in times)
    if cpus:
        print("processor time per case: median %.3f s, slowest %.3f s"
              % (cpus[len(cpus) // 2], cpus[-1]))
    for cpu, took, n, case in sorted(times, key=lambda t: -t[0])[:3]:
        print("slow: case %d %.3f s processor, %.3f s clock %s"
              % (n, cpu, took, json.dumps(case, ensure_ascii=False)))
    for n, case, why in failures[:20]:
        print("case %d: %s\n  %s" % (n, why, json.dumps(case, ensure_ascii=False)))
    print("%d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
