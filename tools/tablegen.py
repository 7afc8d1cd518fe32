"""Shared helpers of the table generators: where the tables go and how they are written.

Numbers are written with Python's own formatting, which never depends on the
system locale, so "." is always the decimal point.
"""
import os

DATA_DIR = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data"))
TOOLS_DIR = os.path.dirname(os.path.abspath(__file__))

# Every medium table holds one row per whole degree from T_FIRST to T_LAST
# (min_T inclusive, max_T = min_T + 1 exclusive). A lookup at T reads the rows
# of trunc(T) and trunc(T) + 1, so these rows answer every temperature from
# -10.999 to 250.999 degC.
T_FIRST = -10
T_LAST = 251

PROPERTY_COLUMNS = ["min_T", "max_T", "R", "cP", "L", "V"]


def fmt(value, digits=6):
    """General format with the given significant digits; None is an empty cell (NULL)."""
    if value is None:
        return ""
    text = "%.*g" % (digits, value)
    if "e" in text:
        raise ValueError("value %r needs exponent notation" % value)
    return text


def write_csv(name, header, rows):
    path = os.path.join(DATA_DIR, name + ".csv")
    with open(path, "w", encoding="ascii", newline="\n") as out:
        out.write(",".join(header) + "\n")
        for row in rows:
            if len(row) != len(header):
                raise ValueError("%s: row %r does not match the header" % (name, row))
            out.write(",".join(cell if isinstance(cell, str) else fmt(cell) for cell in row) + "\n")
    return path


def read_csv(path):
    """Rows of a small CSV file as dicts of text cells."""
    with open(path, encoding="ascii") as f:
        lines = [line.strip() for line in f if line.strip()]
    header = lines[0].split(",")
    return [dict(zip(header, line.split(","))) for line in lines[1:]]


def property_rows(props):
    """Rows of a medium table from props(T) -> (R, cP, L, V) for every whole degree."""
    rows = []
    for t in range(T_FIRST, T_LAST + 1):
        r, cp, k, v = props(t)
        rows.append([t, t + 1, r, cp, k, v])
    return rows
