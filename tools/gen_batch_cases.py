#!/usr/bin/python3
"""Writes COUNT generated cases as JSON Lines, for `pheselect-cli --batch`.

  tools/gen_batch_cases.py [--count N] [--seed S] [--csv] > cases.jsonl

The same seed gives the same file. The mix is what a sales engineer's list
looks like: mostly automatic designs of water, glycol and oil coolers and steam
heaters, some manual designs and checks of a named model, and a few cases the
program must refuse (outlet above inlet, missing flows).
"""
import argparse
import csv
import json
import random
import sys

OILS = ["Oil ISO VG10", "Oil ISO VG22", "Oil ISO VG32", "Oil ISO VG46", "Oil ISO VG68",
        "Oil ISO VG100", "Oil SAE10", "Oil SAE20", "Oil SAE30"]
MODELS = ["PX32", "PX50B", "PX65B", "PX100B", "PX100M", "PX150B", "PX200M", "PX250B"]
TYPES = ["H", "HM", "M", "ML", "L"]
COLUMNS = ["name", "selection", "calc", "Com_jh", "Com_jc", "Txt_Th1", "Txt_Th2", "Txt_Tc1",
           "Txt_Tc2", "Txt_Qh", "Txt_Qc", "Txt_Ph", "Txt_Pc", "Txt_Wq", "Txt_GF1", "Txt_N",
           "com_br", "com_zh", "Txt_nh", "Txt_nl"]


def liquid_case(r, hot, cold):
    tci = r.choice([5, 10, 20, 25, 30, 40, 50])
    tco = tci + r.choice([5, 8, 10, 15, 20])
    thi = tco + r.choice([5, 10, 15, 20, 30])
    tho = tci + r.choice([3, 5, 8, 10])
    if tho >= thi:
        tho = thi - 5
    return {"Com_jh": hot, "Com_jc": cold, "Txt_Th1": str(thi), "Txt_Th2": str(tho),
            "Txt_Tc1": str(tci), "Txt_Tc2": str(tco)}


def one_case(r, i):
    kind = r.random()
    if kind < 0.45:
        c = liquid_case(r, "Water", "Water")
    elif kind < 0.60:
        c = liquid_case(r, "Water", "25% Glycol")
    elif kind < 0.80:
        c = liquid_case(r, r.choice(OILS), "Water")
    else:
        tci = r.choice([10, 40, 60, 70])
        c = {"Com_jh": "Steam", "Com_jc": "Water", "Txt_Th1": str(r.choice([110, 120, 133, 143])),
             "Txt_Tc1": str(tci), "Txt_Tc2": str(tci + r.choice([10, 20, 30]))}
    c["Txt_Wq"] = str(r.choice([20, 50, 100, 250, 500, 800, 1500, 3000]))
    c["Txt_Ph"] = str(r.choice([30, 50, 80, 100]))
    c["Txt_Pc"] = str(r.choice([30, 50, 80, 100]))
    c["Txt_GF1"] = str(r.choice([0, 5, 10, 15]))
    mode = r.random()
    if mode < 0.75:
        c.update({"selection": "auto", "calc": "design"})
    elif mode < 0.90:
        c.update({"selection": "manual", "calc": "design", "com_br": r.choice(MODELS),
                  "com_zh": r.choice(TYPES)})
    else:
        c.update({"selection": "manual", "calc": "check", "com_br": r.choice(MODELS),
                  "com_zh": "HM", "Txt_nh": str(r.randint(5, 40)), "Txt_nl": str(r.randint(0, 40))})
    refuse = r.random()
    if refuse < 0.02:
        c["Txt_Th2"] = str(int(c["Txt_Th1"]) + 10)  # hot outlet above inlet
    elif refuse < 0.03:
        c["Txt_Wq"] = ""  # neither duty nor flows
    c["name"] = "case %05d" % (i + 1)
    return c


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--count", type=int, default=1000)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--csv", action="store_true", help="write CSV instead of JSON Lines")
    args = ap.parse_args()
    r = random.Random(args.seed)
    cases = [one_case(r, i) for i in range(args.count)]
    if args.csv:
        w = csv.DictWriter(sys.stdout, fieldnames=COLUMNS, lineterminator="\n")
        w.writeheader()
        for c in cases:
            w.writerow(c)
    else:
        for c in cases:
            sys.stdout.write(json.dumps(c, ensure_ascii=False) + "\n")


if __name__ == "__main__":
    main()
