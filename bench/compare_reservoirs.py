#!/usr/bin/env python3
"""Compares the reservoirs of two or three runs of one basin: the reservoir
columns of TablaCal.txt, both layers, constituent by constituent, of a
candidate run and an optional baseline run against a reference run (the same
basin at many sub-steps, say). For each constituent it prints the sum over
the reservoir-months (both layers) of |value - reference| of the candidate
and of the baseline, their ratio, the largest such difference of the
candidate (and of the baseline), and whether the candidate's columns are
those of the reference to the byte.

    compare_reservoirs.py CANDIDATE REFERENCE [BASELINE] [--check] [--same-as FOLDER] [--agree]

Each argument is a run folder (it holds TablaCal.txt and TablaCal.dir). The
columns are found by the labels of TablaCal.dir: those of the blocks
"Embalse_Ep_" (upper layer) and "Embalse_Hip_" (lower layer, 0 in a
one-layer month), the constituent being the label's text after its last "_"
(so constituent names must hold no "_"). Values are compared as written
(F20.5); a field of asterisks counts as an infinite error.

--check (needs BASELINE) also judges the candidate by these bounds, and the
exit status is 1 if any fails:
  - oxygen ("Oxígeno Disuelto") within 0.01 mg/l of the reference in every
    reservoir-month, both layers;
  - the summed error of DBO5, Amonio and Nitratos at most 1 % of the
    baseline's;
  - Temperatura and the first-order pollutants (every constituent before
    DBO5) written as in --same-as (default: BASELINE), byte for byte;
  - every other constituent's summed error at most 1.03 times the
    baseline's plus 0.001 per reservoir-month (reservoirs times months).

--agree judges whether the candidate agrees with the reference in every
reservoir-month, both layers: oxygen within 0.02 mg/l and DBO5 within 2 %
of the reference's (and half a unit of the last decimal written); the exit
status is 1 if not. For the same basin with other half-saturation constants,
say.

The reference and the runs compared must be of the same basin (the same
labels and months)."""

import argparse
import math
import os
import sys

OXYGEN = "Oxígeno Disuelto"
NITROGEN_AND_BOD = ("DBO5", "Amonio", "Nitratos")
LAYERS = ("Embalse_Ep_", "Embalse_Hip_")


def labels(folder):
    """The column labels of TablaCal.dir, quotes removed (a long label,
    written over several lines, joined)."""
    text = open(os.path.join(folder, "TablaCal.dir"), encoding="latin-1").read()
    return [p.strip() for p in " ".join(text.splitlines()).split('"')[1::2]]


def table(folder, width):
    """The rows of TablaCal.txt as lists of `width` fields (a row of more than
    5000 values spans several lines)."""
    fields = []
    for line in open(os.path.join(folder, "TablaCal.txt"), encoding="latin-1", newline=""):
        fields += [f.strip() for f in line.rstrip("\r\n").split("\t")[:-1]]
    if width == 0 or len(fields) % width:
        sys.exit("%s: TablaCal.txt does not hold rows of %d values" % (folder, width))
    return [fields[i:i + width] for i in range(0, len(fields), width)]


def number(field):
    try:
        return float(field)
    except ValueError:
        return math.inf  # asterisks


class Run:
    """The reservoir columns of a run: for each constituent (in the order of
    the table) the list of its column numbers, both layers."""

    def __init__(self, folder):
        self.folder = folder
        self.labels = labels(folder)
        self.rows = table(folder, len(self.labels))
        self.columns, self.reservoirs = {}, set()
        for j, label in enumerate(self.labels):
            prefix = next((p for p in LAYERS if label.startswith(p)), None)
            if prefix:
                element, constituent = label[len(prefix):].rsplit("_", 1)
                self.columns.setdefault(constituent, []).append(j)
                self.reservoirs.add(element)

    def errors(self, ref, constituent):
        """The sum and the largest |value - reference| of a constituent, and
        whether its fields are those of the reference."""
        total, largest, same = 0.0, 0.0, True
        for row, ref_row in zip(self.rows, ref.rows):
            for j in self.columns[constituent]:
                d = abs(number(row[j]) - number(ref_row[j])) if row[j] != ref_row[j] else 0.0
                total += d
                largest = max(largest, d)
                same = same and row[j] == ref_row[j]
        return total, largest, same

    def worst(self, ref, constituent, share, tolerance):
        """The reservoir-months (both layers) of a constituent further from the
        reference than share x |reference| + tolerance: their count and the
        worst of them as (excess, month, label, value, reference)."""
        count, worst = 0, None
        for m, (row, ref_row) in enumerate(zip(self.rows, ref.rows), 1):
            for j in self.columns[constituent]:
                v, r = number(row[j]), number(ref_row[j])
                excess = abs(v - r) - share * abs(r) - tolerance
                if not excess <= 0:
                    count += 1
                    if worst is None or not excess <= worst[0]:
                        worst = (excess, m, self.labels[j], row[j], ref_row[j])
        return count, worst


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("candidate")
    ap.add_argument("reference")
    ap.add_argument("baseline", nargs="?")
    ap.add_argument("--check", action="store_true", help="judge the candidate by the bounds above")
    ap.add_argument("--same-as", help="the run whose temperature and first-order pollutants the candidate keeps")
    ap.add_argument("--agree", action="store_true", help="judge the agreement of every month as above")
    a = ap.parse_args()
    if a.check and not a.baseline:
        ap.error("--check needs a baseline")

    ref = Run(a.reference)
    runs = [Run(f) for f in (a.candidate, a.baseline) if f]
    for r in runs:
        if r.labels != ref.labels or len(r.rows) != len(ref.rows):
            sys.exit("%s and %s are not runs of the same basin" % (r.folder, ref.folder))
    cand, base = runs[0], (runs[1] if len(runs) > 1 else None)
    constituents = list(ref.columns)
    reservoir_months = len(ref.reservoirs) * len(ref.rows)

    print("%d reservoirs, %d months (%d reservoir-months); |candidate - reference| and |baseline - reference|"
          " summed over both layers" % (len(ref.reservoirs), len(ref.rows), reservoir_months))
    print("%-22s %14s %14s %9s %11s %11s %s" %
          ("constituent", "candidate sum", "baseline sum", "ratio", "cand. max", "base. max", "cand.=ref"))
    err = {}
    for c in constituents:
        err[c] = cand.errors(ref, c), (base.errors(ref, c) if base else None)
        (cs, cm, same), b = err[c]
        ratio = "-" if not b else ("%.4f" % (cs / b[0]) if b[0] > 0 else ("1" if cs == 0 else "inf"))
        print("%-22s %14.5f %14s %9s %11.5f %11s %s" %
              (c, cs, "%.5f" % b[0] if b else "-", ratio, cm, "%.5f" % b[1] if b else "-", "yes" if same else "no"))

    if a.agree:
        print()
        fails = 0
        for c, share, tolerance in ((OXYGEN, 0.0, 0.02 + 5e-6), ("DBO5", 0.02, 5e-6)):
            count, worst = cand.worst(ref, c, share, tolerance)
            fails += count
            print("%s  %s within %s: %d reservoir-months (layers) outside%s" %
                  ("FAIL" if count else "pass", c, "0.02 mg/l" if share == 0 else "2 %", count,
                   "; the worst: month %d, %s, %s against %s" % worst[1:] if worst else ""))
        if not a.check:
            return 1 if fails else 0
    if not a.check:
        return 0
    same_as = Run(a.same_as) if a.same_as else base
    fails = 0

    def verdict(ok, what):
        nonlocal fails
        fails += not ok
        print("%s  %s" % ("pass" if ok else "FAIL", what))

    print()
    first_order = constituents[:constituents.index("DBO5")] if "DBO5" in constituents else constituents
    for c in constituents:
        (cs, cm, _), (bs, _, _) = err[c]
        if c == OXYGEN:
            verdict(cm <= 0.01, "%s: largest error %.5f <= 0.01 mg/l" % (c, cm))
        elif c in NITROGEN_AND_BOD:
            verdict(cs <= 0.01 * bs, "%s: summed error %.5f <= 1 %% of baseline's %.5f" % (c, cs, bs))
        elif c in first_order:
            verdict(cand.errors(same_as, c)[2], "%s: byte for byte that of %s" % (c, same_as.folder))
        else:
            bound = 1.03 * bs + 0.001 * reservoir_months
            verdict(cs <= bound, "%s: summed error %.5f <= 1.03 x %.5f + 0.001 x %d = %.5f" %
                    (c, cs, bs, reservoir_months, bound))
    print("%s: %d of %d bounds fail" % ("FAIL" if fails else "pass", fails, len(constituents)))
    return 1 if fails else 0


if __name__ == "__main__":
    sys.exit(main())
