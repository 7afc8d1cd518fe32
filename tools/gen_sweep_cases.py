#!/usr/bin/python3
"""Writes COUNT seeded cases as JSON Lines that cover every medium, mode and type.

  tools/gen_sweep_cases.py [--count N] [--seed S] > cases.jsonl

Unlike gen_batch_cases.py, which mimics a sales engineer's list, this draws
evenly over what the engines distinguish: every hot and cold medium of the
lists, automatic and manual design, check and simulation, every model and
channel type (the mixed HM and ML included), plate material and thickness,
passes, fouling or margin, duty or flows, flow units and a few cases the
program must refuse. The same seed gives the same file: it is the fixed input
on which two builds must give byte-identical results.
"""
import argparse
import json
import random

OILS = ["Oil ISO VG10", "Oil ISO VG22", "Oil ISO VG32", "Oil ISO VG46", "Oil ISO VG68",
        "Oil ISO VG100", "Oil ISO VG150", "Oil ISO VG220", "Oil ISO VG320", "Oil ISO VG460",
        "Oil SAE10", "Oil SAE20", "Oil SAE30", "Oil SAE40", "Oil SAE50", "Oil SAE60", "Oil SAE70"]
GLYCOLS = ["%s glycol %d%%" % (g, p) for g in ("Ethylene", "Propylene") for p in range(10, 61, 5)]
HOT = ["Water", "Steam"] + OILS + GLYCOLS
COLD = ["Water", "25% Glycol"] + OILS + GLYCOLS
MODELS = ["PX32", "PX50B", "PX50M", "PX65B", "PX65M", "PX65L", "PX100B", "PX100M", "PX100L",
          "PX150B", "PX150M", "PX150S", "PX200B", "PX200M", "PX200S", "PX250B", "PX250M",
          "PX250S", "PX350B", "PX350M", "PX350S", "PX450M"]
TYPES = ["H", "HM", "M", "ML", "L"]
UNITS = ["m3/h", "t/h", "kg/s"]


def temperatures(r, hot, c):
    if hot == "Steam":
        c["Txt_Th1"] = str(r.choice([105, 110, 120, 133, 143, 158]))
        tci = r.choice([5, 10, 20, 40, 60, 70])
        c["Txt_Tc1"] = str(tci)
        c["Txt_Tc2"] = str(tci + r.choice([5, 10, 20, 30]))
        return
    tci = r.choice([-5, 0, 5, 10, 20, 30, 40, 50, 60])
    tco = tci + r.choice([3, 5, 8, 10, 15, 20, 30])
    thi = tco + r.choice([2, 5, 10, 15, 20, 30, 50])
    tho = tci + r.choice([1, 3, 5, 8, 10, 20])
    if tho >= thi:
        tho = thi - 2
    c.update({"Txt_Th1": str(thi), "Txt_Th2": str(tho), "Txt_Tc1": str(tci), "Txt_Tc2": str(tco)})


def one_case(r, i):
    hot = r.choice(HOT)
    cold = r.choice(COLD)
    c = {"name": "sweep %05d" % (i + 1), "Com_jh": hot, "Com_jc": cold}
    temperatures(r, hot, c)
    mode = r.choice(["auto", "manual", "manual", "check", "check", "simulate"])
    c["Txt_Ph"] = str(r.choice([10, 20, 30, 50, 80, 100, 150]))
    c["Txt_Pc"] = str(r.choice([10, 20, 30, 50, 80, 100, 150]))
    c["Com_bpc"] = r.choice(["SUS304", "SUS316"])
    c["Com_bph"] = r.choice(["0.5mm", "0.6mm", "0.7mm"])
    if r.random() < 0.3:
        c["flow_unit_h"] = r.choice(UNITS)
        c["flow_unit_c"] = r.choice(UNITS)
    if mode in ("auto", "manual"):
        c["calc"] = "design"
        c["selection"] = mode
        c["Txt_N"] = str(r.choice([1, 1, 1, 2, 3, 4]) if hot != "Steam" else 1)
        if r.random() < 0.25:
            c["Txt_Rhc"] = str(r.choice([0.00002, 0.00005, 0.0001, 0.00015])
                               if hot != "Steam" else r.choice([0.0001, 0.001, 0.01]))
        else:
            c["Txt_GF1"] = str(r.choice([0, 5, 10, 15, 25]))
    else:
        c["selection"] = "manual"
        c["calc"] = mode
        c["Txt_nh"] = str(r.randint(1, 60))
        c["Txt_nl"] = str(r.choice([0, 0, r.randint(1, 60)]))
        c["Txt_N"] = "1"
    if mode != "auto":
        c["com_br"] = r.choice(MODELS)
        c["com_zh"] = r.choice(TYPES)
    if mode == "simulate":
        for k in ("Txt_Th2", "Txt_Tc2"):
            c.pop(k, None)
        c["Txt_Qh"] = str(r.choice([0.5, 2, 5, 10, 22.1, 50, 120]))
        c["Txt_Qc"] = str(r.choice([0.5, 2, 5, 10, 29.1, 50, 120]))
    elif r.random() < 0.8:
        c["Txt_Wq"] = str(r.choice([5, 20, 60, 150, 500, 1500, 3000, 8000]))
    else:
        c["Txt_Qh" if r.random() < 0.5 else "Txt_Qc"] = str(r.choice([1, 5, 20, 80, 300]))
    refuse = r.random()
    if refuse < 0.02 and "Txt_Th2" in c:
        c["Txt_Th2"] = str(int(c["Txt_Th1"]) + 10)
    elif refuse < 0.03:
        c.pop("Txt_Wq", None)
    return c


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--count", type=int, default=2000)
    ap.add_argument("--seed", type=int, default=1)
    args = ap.parse_args()
    r = random.Random(args.seed)
    for i in range(args.count):
        print(json.dumps(one_case(r, i), ensure_ascii=False))


if __name__ == "__main__":
    main()
