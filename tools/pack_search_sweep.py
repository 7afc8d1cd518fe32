#!/usr/bin/env python3
"""Seeded sweep of automatic design against every candidate run by hand.

  pack_search_sweep.py [--cli build/bin/pheselect-cli] [--n 500] [--seed 1] [--jobs 2]

Generates n automatic design cases (every hot medium, steam included, both
cold media, 1-4 passes, duties large enough to split over units), runs each
with --alternatives, then runs every row of every table as a manual design
(its model, channel type, passes and unit count) in one batch. Checks:
  1. the answer is the cheapest pack at the entered passes whose manual design
     shows no warning (by total price, then total area, then units), whenever
     one exists; otherwise the answer is the family rule's pick;
  2. every row marked "fits" shows no warning as a manual design, and every
     row whose manual design shows none is marked "fits";
  3. each row's designation is the one its manual design gets.
The notice of a split into units is no warning. Prints the failures and how
often, and by how much in price, the answer differs from the rule's pick.
Exit status 1 when a check fails.
"""
import argparse
import json
import os
import random
import re
import shutil
import statistics
import subprocess
import sys
import tempfile

def media_lists():
    """The oils and glycols of the window's medium lists, as the program lists them."""
    src = open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "ui", "layout.h")).read()
    def names(var):
        body = re.search(var + r" = \{(.*?)\};", src, re.S).group(1)
        return re.findall(r'"([^"]+)"', body)
    return names("kOils"), names("kGlycols")


OILS, GLYCOLS = media_lists()
SPLIT_NOTICE = "流量超过单台换热器的处理能力"


def gen_case(rng):
    cold = rng.random()
    c = {"Com_jc": "Water" if cold < 0.5 else "25% Glycol" if cold < 0.65 else rng.choice(GLYCOLS),
         "selection": "auto", "calc": "design",
         "Txt_GF1": str(rng.choice([0, 5, 10, 15, 20])),
         "Txt_Ph": str(rng.choice([20, 30, 50, 70, 100])), "Txt_Pc": str(rng.choice([20, 30, 50, 70, 100])),
         "Txt_Qh": "", "Txt_Qc": "", "Txt_Wq": ""}
    pick = rng.random()
    hot = ("Water" if pick < 0.3 else "Steam" if pick < 0.45 else rng.choice(OILS) if pick < 0.7
           else rng.choice(GLYCOLS))
    c["Com_jh"] = hot
    big = rng.random() < 0.2  # beyond one unit's flows
    if hot == "Steam":
        th1 = rng.randint(105, 160)
        tc1 = rng.randint(5, 60)
        tc2 = rng.randint(tc1 + 5, th1 - 5)
        c.update(Txt_Th1=str(th1), Txt_Th2="", Txt_Tc1=str(tc1), Txt_Tc2=str(tc2), Txt_N="1",
                 Txt_Rhc=rng.choice(["0", "0.00005", "0.0001"]))
        c["Txt_Wq"] = str(rng.randint(30000, 120000) if big else rng.randint(20, 5000))
    else:
        oil = hot.startswith("Oil")
        th1 = rng.randint(45, 140)
        th2 = rng.randint(max(15, th1 - (40 if oil else 60)), th1 - 3)
        tc1 = rng.randint(5, th2 - 2)
        tc2 = rng.randint(tc1 + 2, th1 - 2)
        c.update(Txt_Th1=str(th1), Txt_Th2=str(th2), Txt_Tc1=str(tc1), Txt_Tc2=str(tc2),
                 Txt_N=str(rng.randint(1, 4)), Txt_Rhc=rng.choice(["0", "0", "0.00002", "0.00005"]))
        c["Txt_Wq"] = str(rng.randint(20000, 60000) if big else rng.randint(10, 4000))
    return c


def cli_json(cli, db, doc, extra=()):
    with tempfile.NamedTemporaryFile("w", suffix=".json", delete=False) as f:
        json.dump(doc, f)
    try:
        out = subprocess.run([cli, "--case", f.name, "--db", db, *extra], capture_output=True, text=True,
                             timeout=3600)
        return json.loads(out.stdout)
    finally:
        os.unlink(f.name)


def key(r):
    return (r["price_total"], r["area_total"], r["units"])


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cli", default="build/bin/pheselect-cli")
    ap.add_argument("--n", type=int, default=500)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--jobs", type=int, default=2)
    a = ap.parse_args()
    rng = random.Random(a.seed)
    work = tempfile.mkdtemp(prefix="pack_sweep_")
    db = os.path.join(work, "br.mdb")
    shutil.copy(os.path.join(os.path.dirname(a.cli), "br.mdb"), db)

    cases = [gen_case(rng) for _ in range(a.n)]
    tables = []
    for i in range(0, len(cases), 50):
        out = cli_json(a.cli, db, {"runs": cases[i:i + 50]}, ["--alternatives"])
        outs = out if isinstance(out, list) else out.get("runs", [out])
        tables.extend(outs)
    assert len(tables) == len(cases), (len(tables), len(cases))

    # Every row of every table as a manual design, in one batch.
    manual = os.path.join(work, "manual.jsonl")
    with open(manual, "w") as f:
        for i, (c, t) in enumerate(zip(cases, tables)):
            for j, r in enumerate(t.get("alternatives", [])):
                m = dict(c, selection="manual", com_br=r["model"], com_zh=r["type"],
                         Txt_N="%d" % r["passes"], Txt_NUM1="%d" % r["units"], name="%d/%d" % (i, j))
                f.write(json.dumps(m, ensure_ascii=False) + "\n")
    rows_out = os.path.join(work, "manual_out.jsonl")
    subprocess.run([a.cli, "--batch", manual, "--out", rows_out, "--jobs", str(a.jobs), "--db", db],
                   capture_output=True, timeout=36000)
    by_name = {}
    with open(rows_out) as f:
        for line in f:
            row = json.loads(line)
            by_name[row["name"]] = row

    failures = []
    designed = changed = fitting_cases = split_cases = 0
    savings = []
    mended = []  # the rule's pick broke a rule, the answer fits
    for i, (c, t) in enumerate(zip(cases, tables)):
        rows = t.get("alternatives", [])
        if not rows:
            continue
        designed += 1
        entered = 1 if c["Com_jh"] == "Steam" else float(c["Txt_N"])
        if any(r["units"] > 1 for r in rows):
            split_cases += 1
        clean = []
        for j, r in enumerate(rows):
            m = by_name.get("%d/%d" % (i, j))
            if m is None or m["status"] == "refused":
                failures.append((i, "row %d refused as a manual design" % j))
                continue
            warned = [x for x in m["messages"] if not x.startswith(SPLIT_NOTICE)]
            if m["designation"] != r["designation"]:
                failures.append((i, "row %d: %s, manual gives %s" % (j, r["designation"], m["designation"])))
            if (r["status"] == "fits") != (not warned):
                failures.append((i, "row %d %s-%s %d/%d marked %s, manual warns %s" % (
                    j, r["model"], r["type"], r["passes"], r["units"], r["status"], warned[:1])))
            if not warned:
                clean.append(r)
        answer = [r for r in rows if r["chosen"]]
        rule = [r for r in rows if r["rule_choice"]]
        if len(answer) != 1 or len(rule) != 1:
            failures.append((i, "%d answers, %d rule picks" % (len(answer), len(rule))))
            continue
        at_entered = [r for r in clean if r["passes"] == entered]
        if at_entered:
            fitting_cases += 1
            best = min(at_entered, key=key)
            if key(best) != key(answer[0]):
                failures.append((i, "answer %s at %s, cheapest clean %s at %s" % (
                    answer[0]["designation"], answer[0]["price_total"], best["designation"], best["price_total"])))
        elif not answer[0]["rule_choice"]:
            failures.append((i, "nothing fits at the entered passes, yet the answer is not the rule's pick"))
        if answer[0] is not rule[0]:
            changed += 1
            if rule[0]["status"] != "fits":
                mended.append(rule[0]["status"])
            elif rule[0]["price_total"] > 0:
                savings.append(100 * (rule[0]["price_total"] - answer[0]["price_total"]) / rule[0]["price_total"])

    print("cases %d, designed %d (with a split %d), a clean pack at the entered passes in %d" % (
        len(cases), designed, split_cases, fitting_cases))
    print("manual designs run: %d" % len(by_name))
    print("answer differs from the rule's pick in %d of %d cases" % (changed, designed))
    print("  of these, the rule's pick broke a rule in %d (%s)" % (
        len(mended), ", ".join("%s %d" % (k, mended.count(k)) for k in sorted(set(mended)))))
    if savings:
        q = statistics.quantiles(savings, n=10) if len(savings) > 1 else savings
        print("  the rule's pick fitted too in %d; the answer is cheaper by %%: median %.1f, p10 %.1f, p90 %.1f, "
              "min %.1f, max %.1f" % (len(savings), statistics.median(savings), q[0], q[-1], min(savings),
                                       max(savings)))
    print("failures: %d" % len(failures))
    for i, f in failures[:20]:
        print("  case %d: %s\n    %s" % (i, f, json.dumps(cases[i], ensure_ascii=False)))
    shutil.rmtree(work, ignore_errors=True)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
