#!/usr/bin/env python3
"""Basin folders for measuring the reservoir's oxygen and its cost, written
from the example basin as drawn_down_reservoir.py writes its cases:

    reservoir_cases.py pond DIR [--k 0.05] [--years 2]
        a pond 2.5 m deep on 10 ha (0.25 hm3, upright walls), one layer,
        under the surface heat balance, fed by a stream of 0.0138 m3/s and
        an outfall of 0.05 m3/s (coliforms 1e6, DBO5 250 mg/l, ammonium
        40 mg/l N, no oxygen) and releasing both; organic matter decays by
        0.3 a day. --k sets both oxygen half-saturation constants (BOD decay
        and nitrification, CTELIMITACIONNUTRIENTES 1 and 2 of the
        coefficients file); without it they stay at the example's 0.5 and 0.6.
    reservoir_cases.py outfall DIR --load 3.4e38 [--constituent "Coliformes totales"]
        the example basin whose reservoir receives water carrying `load`
        of the constituent in every month: the inflow above it is given
        that concentration and Rio Alto passes it on as it comes.
    reservoir_cases.py substeps DIR N
        sets every reservoir's sub-steps (INCRETIEM of the quality data
        file) of the basin in DIR to N.
    reservoir_cases.py halfsat DIR K
        sets both oxygen half-saturation constants of the basin in DIR to K.

The program is then run in DIR with no arguments."""

import argparse
import os
import shutil

import drawn_down_reservoir as drawn

# The pond: levels (m), areas (ha) and volumes (hm3); 0.1 hm3 a metre.
POND = (" ".join("%d" % (500 + k) for k in range(10)), " ".join(["10"] * 10),
        " ".join("%g" % (0.1 * k) for k in range(10)))
POND_VOLUME = 0.25
STREAM, OUTFALL = 0.0138, 0.05  # m3/s
OUTFALL_WATER = {"Coliformes totales": 1e6, "DBO5": 250.0, "Oxígeno Disuelto": 0.0, "Amonio": 40.0}


def edit(path, change):
    """The file's lines passed through change(lines), which edits them in
    place; the file keeps its line ends (LF or CR LF)."""
    eol = "\r\n" if b"\r\n" in open(path, "rb").read() else "\n"
    lines = open(path, encoding="latin-1").read().split("\n")
    change(lines)
    open(path, "w", encoding="latin-1", newline=eol).write("\n".join(lines))


def set_record(path, label, values):
    """The record `label` of the example's quality data file (its trailing
    label kept) given `values` in place of its numbers."""
    def change(lines):
        i = next(k for k, l in enumerate(lines) if label in l.split())
        lines[i] = values + "    " + lines[i][lines[i].index(label):]
    edit(path, change)


def inflow_quality(folder, change):
    """Each monthly value of the inflow quality file passed through
    change(constituent, value)."""
    def values(lines):
        block = None
        for k, l in enumerate(lines):
            f = l.split()
            if f and f[0].isdigit() and block:
                new = [change(block, float(v)) for v in f[2:]]
                if new != [float(v) for v in f[2:]]:
                    lines[k] = "%s %s %s" % (f[0], f[1], " ".join("%.6g" % v for v in new))
            elif l.startswith("Fin de"):
                block = None
            elif block is None and "(" in l and k > 3:  # a block's heading, "DBO5 (mg/l)"
                block = l[:l.index("(")].strip()
    edit(os.path.join(folder, "aportaciones.dat"), values)


def substeps(folder, n):
    def change(lines):
        # INCRETIEM is the 9th record of the reservoir data, one value per
        # reservoir (with its label after them in the example's file).
        i = next(k for k, l in enumerate(lines) if l.startswith("Datos de los embalses")) + 8
        f = lines[i].split()
        count = f.index("INCRETIEM") if "INCRETIEM" in f else len(f)
        lines[i] = " ".join([str(n)] * count) + ("    INCRETIEM" if "INCRETIEM" in f else "")
    edit(os.path.join(folder, "calidad.dat"), change)


def pond(folder, k, years):
    inflow = (STREAM + OUTFALL) * 86400 * 30 / 1e6  # hm3 a month
    drawn.write_case(folder, POND, [POND_VOLUME] * 12, [inflow] * 12, 2, False, years, 0.0, 0.0)
    share = OUTFALL / (STREAM + OUTFALL)
    inflow_quality(folder, lambda c, v: v + share * (OUTFALL_WATER[c] - v) if c in OUTFALL_WATER else v)
    set_record(os.path.join(folder, "calidad.dat"), "KDEMB", "     0.3")
    if k is not None:
        halfsat(folder, k)


def halfsat(folder, k):
    def change(lines):
        i = lines.index("<CTELIMITACIONNUTRIENTES>") + 1
        lines[i] = " ".join(["%g" % k, "%g" % k] + lines[i].split()[2:])
    edit(os.path.join(folder, "coeficientes.dat"), change)


def outfall(folder, load, constituent):
    for f in os.listdir(drawn.EXAMPLE):
        shutil.copy(os.path.join(drawn.EXAMPLE, f), folder)
    inflow_quality(folder, lambda c, v: load if c == constituent else v)
    set_record(os.path.join(folder, "calidad.dat"), "INRESCOND", "       2        1        1        1")


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = ap.add_subparsers(dest="case", required=True)
    p = sub.add_parser("pond")
    p.add_argument("folder")
    p.add_argument("--k", type=float, help="both oxygen half-saturation constants")
    p.add_argument("--years", type=int, default=2)
    o = sub.add_parser("outfall")
    o.add_argument("folder")
    o.add_argument("--load", type=float, required=True)
    o.add_argument("--constituent", default="Coliformes totales")
    s = sub.add_parser("substeps")
    s.add_argument("folder")
    s.add_argument("n", type=int)
    h = sub.add_parser("halfsat")
    h.add_argument("folder")
    h.add_argument("k", type=float)
    a = ap.parse_args()
    if a.case in ("pond", "outfall"):
        os.makedirs(a.folder, exist_ok=True)
    if a.case == "pond":
        pond(a.folder, a.k, a.years)
    elif a.case == "outfall":
        outfall(a.folder, a.load, a.constituent)
    elif a.case == "substeps":
        substeps(a.folder, a.n)
    else:
        halfsat(a.folder, a.k)


if __name__ == "__main__":
    main()
