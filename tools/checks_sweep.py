#!/usr/bin/env python3
"""Seeded sweep of the engineering checks: the same cases through two builds.

  checks_sweep.py --before OLD/pheselect-cli [--after build/bin/pheselect-cli]
                  [--n 1000] [--seed 1] [--show 3]

The cases are the example files plus seeded ordinary cases of sweep_runs.py,
n in all, run as one batch by each program (each on a copy of its own br.mdb).
Reports: cases whose numbers differ where both give a result (must be 0);
cases refused before whose last message changed (must be 0); cases that ran
before and are refused now, by reason; and how many results get each of the
new warnings. --show prints that many warned cases in full, to look at.
"""
import argparse
import collections
import glob
import json
import os
import random
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import sweep_runs  # noqa: E402

# Message beginnings of the engineering checks, by rule.
NEW_REFUSALS = {
    "boiling": "最高温度",
    "freezing": "最低温度",
    "steam above the design pressure": "蒸汽在",
    "flow too small": "太小：任何型号的单个流道",
}
NEW_WARNINGS = {
    "gasket/lining temperature": "的连续使用温度为",
    "gasket/lining unfit for the medium": "不适用于",
    "slow channels": "板间流速",
    "Reynolds below the correlation band": "雷诺数 Re=",
    "fouling search at its cap": "污垢系数搜索已达到步数上限",
}


def kind(text, table):
    for name, part in table.items():
        if part in text:
            return name
    return None


def batch(cli, cases, work, tag):
    db = os.path.join(work, tag + ".mdb")
    shutil.copy(os.path.join(os.path.dirname(cli), "br.mdb"), db)
    src = os.path.join(work, "cases.jsonl")
    out = os.path.join(work, tag + ".jsonl")
    subprocess.run([cli, "--batch", src, "--out", out, "--jobs", "2", "--db", db],
                   capture_output=True, text=True, timeout=3600)
    with open(out, encoding="utf-8") as f:
        return [json.loads(line) for line in f if line.strip()]


def numbers(row):
    return {k: v for k, v in row.items() if k not in ("name", "status", "messages")}


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--before", required=True)
    ap.add_argument("--after", default="build/bin/pheselect-cli")
    ap.add_argument("--n", type=int, default=1000)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--show", type=int, default=3)
    a = ap.parse_args()

    here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    cases = []
    for path in sorted(glob.glob(os.path.join(here, "examples", "*.json"))):
        with open(path, encoding="utf-8") as f:
            c = json.load(f)
        c["name"] = os.path.basename(path)
        cases.append(c)
    rng = random.Random(a.seed)
    while len(cases) < a.n:
        c = sweep_runs.gen_case(rng)
        c["name"] = "case %d" % len(cases)
        cases.append(c)

    work = tempfile.mkdtemp()
    try:
        with open(os.path.join(work, "cases.jsonl"), "w", encoding="utf-8") as f:
            for c in cases:
                f.write(json.dumps(c, ensure_ascii=False) + "\n")
        old = batch(a.before, cases, work, "before")
        new = batch(a.after, cases, work, "after")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    assert len(old) == len(new) == len(cases), (len(old), len(new))

    changed, refusal_changed, newly_refused = [], [], collections.Counter()
    warned = collections.Counter()
    examples = collections.defaultdict(list)
    ran_before = ran_after = 0
    for c, o, n in zip(cases, old, new):
        o_ok = o["status"] in ("ok", "warning")
        n_ok = n["status"] in ("ok", "warning")
        ran_before += o_ok
        ran_after += n_ok
        if o_ok and n_ok and numbers(o) != numbers(n):
            changed.append(c["name"])
        if not o_ok and (n_ok or o["messages"][-1:] != n["messages"][-1:]):
            refusal_changed.append((c["name"], o["messages"][-1:], n["messages"][-1:]))
        if o_ok and not n_ok:
            newly_refused[kind(n["messages"][-1], NEW_REFUSALS) or n["messages"][-1]] += 1
        if n_ok:
            kinds = {kind(m, NEW_WARNINGS) for m in n["messages"] if m not in o["messages"]} - {None}
            for k in kinds:
                warned[k] += 1
                examples[k].append((c, n))

    print(f"{len(cases)} cases: {ran_before} with a result before, {ran_after} after")
    print(f"numbers differing where both give a result: {len(changed)} {changed[:5]}")
    print(f"refused before, now with another message or none: {len(refusal_changed)}")
    for r in refusal_changed[:5]:
        print("  ", r)
    print("ran before, refused now:")
    for k, v in newly_refused.most_common():
        print(f"  {v:5d}  {k}")
    print("results with each new warning:")
    for k in NEW_WARNINGS:
        print(f"  {warned[k]:5d}  {k}")
    shown = 0
    for k in NEW_WARNINGS:
        if shown >= a.show or not examples[k]:
            continue
        c, n = examples[k][len(examples[k]) // 2]
        print(f"\n[{k}] {json.dumps(c, ensure_ascii=False)}")
        print("   " + "\n   ".join(n["messages"]))
        print("   " + json.dumps(numbers(n), ensure_ascii=False))
        shown += 1


if __name__ == "__main__":
    main()
