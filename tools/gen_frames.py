#!/usr/bin/python3
"""Writes data/br_wx.csv: frame length L, width B and height H (mm) per model and area interval.

No maker's drawing stands behind these numbers; they follow from the plate
geometry of the catalogue by the rule below, and are meant as outline sizes of
the right order for layout, not as drawings.

Plate (D = port diameter mm, A = plate area m2):
  width       Wp = 3 D + 120         two ports side by side, each with a gasket land of
                                     half a port diameter on either side, and 60 mm of
                                     edge gasket and hanger on each edge
  height      Hp = A / (1.15 * 3 D) + 2 (1.5 D + 60)
                                     corrugated field of the heat-transfer width 3 D with an
                                     area enlargement of 1.15, plus a port zone at each end
Frame:
  width       B = Wp + 2 (0.3 D + 40)      tightening bolts on both sides
  height      H = Hp + 0.4 D + 200         carrying bar above, guide bar and feet below
  length      L = 300 + 4 D + 1.5 P        frame plate, pressure plate and support column
                                           (300 + 4 D), the plate pack P of the most plates the
                                           frame holds, and half of P again as free length on
                                           the carrying bar to open the pack
              rounded up to the next 100 mm.
  P = n (0.7 + 1000 d_e / 2): n plates of the thickest plate offered (0.7 mm) at the
  pitch the program itself uses for the pack length (plate plus half the equivalent
  diameter).

A pack of n plates has the area A (n - 2). Rows group the plate counts that need
the same frame length; the boundary between two rows lies at an even multiple of
A, halfway between the areas of two possible packs, so no computed area falls on a
boundary. The rows start at 0 and end above 1.1 times the model's maximum pack area.
"""
import math

import tablegen

PLATE_THICKNESS_MAX = 0.7  # mm
LENGTH_STEP = 100.0  # mm
AREA_BEYOND = 1.10

# Catalogue data: model, port diameter mm, plate area m2, equivalent diameter m, maximum pack area m2.
MODELS = [
    ("PX32", 32, 0.029, 0.005, 1.312),
    ("PX50B", 50, 0.13, 0.004, 24),
    ("PX50M", 50, 0.13, 0.006, 15.82),
    ("PX65B", 65, 0.16, 0.004, 40.5),
    ("PX65M", 65, 0.16, 0.006, 26.8),
    ("PX65L", 65, 0.25, 0.004, 63.2),
    ("PX100B", 100, 0.21, 0.005, 66.48),
    ("PX100M", 100, 0.21, 0.008, 39.38),
    ("PX100L", 100, 0.45, 0.004, 211.5),
    ("PX150B", 150, 0.56, 0.005, 290.78),
    ("PX150M", 150, 0.56, 0.008, 174.22),
    ("PX150S", 150, 0.24, 0.008, 100),
    ("PX200B", 200, 0.79, 0.005, 506.2),
    ("PX200M", 200, 0.79, 0.008, 337.45),
    ("PX200S", 200, 0.45, 0.008, 198.5),
    ("PX250B", 250, 1.33, 0.005, 1021.5),
    ("PX250M", 250, 1.33, 0.008, 676.5),
    ("PX250S", 250, 0.5, 0.008, 254.3),
    ("PX350B", 350, 1.9, 0.005, 2058.48),
    ("PX350M", 350, 1.9, 0.008, 1372.3),
    ("PX350S", 350, 0.77, 0.008, 556.2),
    ("PX450M", 450, 2.65, 0.008, 2200),
]


def plate_size(d, area):
    width = 3 * d + 120
    height = area * 1e6 / (1.15 * 3 * d) + 2 * (1.5 * d + 60)
    return width, height


def frame_length(d, d_e, plates):
    pack = plates * (PLATE_THICKNESS_MAX + 1000 * d_e / 2)
    return LENGTH_STEP * math.ceil((300 + 4 * d + 1.5 * pack) / LENGTH_STEP)


def model_rows(code, d, area, d_e, max_area):
    width, height = plate_size(d, area)
    b = round(width + 2 * (0.3 * d + 40))
    h = round(height + 0.4 * d + 200)
    rows = []
    lower = 0.0
    n = 3  # the smallest pack: one channel on each side
    while True:
        length = frame_length(d, d_e, n)
        # Every plate count (odd) that still fits this length.
        while frame_length(d, d_e, n + 2) == length:
            n += 2
        upper = area * (n - 1)
        rows.append([code, fmt_area(lower), fmt_area(upper), length, b, h])
        if area * (n - 2) >= AREA_BEYOND * max_area:
            return rows
        lower = upper
        n += 2


def fmt_area(a):
    # Products of two short decimals: rounding removes the binary noise only.
    return "%.10g" % round(a, 6)


def main():
    rows = []
    for m in MODELS:
        rows.extend(model_rows(*m))
    print(tablegen.write_csv("br_wx", ["Br", "min_f", "max_f", "L", "B", "H"], rows))


if __name__ == "__main__":
    main()
