#!/usr/bin/env python3
"""Writes the checked copies of the end-to-end tests anew from a build.

Each folder of tests/e2e/expected/ is the output of one whole run, laid out
exactly as the tests lay it out (tests/e2e/e2e_util.h, copy_example and
overlay_inputs):

  basin       the example basin (examples/basin) with input/basin over it
              (its compliance criteria, Criterios.txt):
              example_outputs_test.cpp
  basin-heat  the same with input/basin-heat over both (the surface heat
              balance and a dry second summer): heat_balance_basin_test.cpp

For each, the script copies the input files into a fresh temporary folder
(the run configuration VekArch.cal, the files its records name and the
optional files with fixed names; never what an earlier run of the example
left there), lays the variant's files over them, runs the program there and
writes the result files that the tests compare (RESULT_FILES of
e2e_util.h) over the checked copies. Review the change with `git diff
tests/e2e/expected` before committing it: an intended change of results is
this command and a reviewed diff.

    python3 tests/e2e/regenerate_expected.py --binary build/tornal
    python3 tests/e2e/regenerate_expected.py --binary build/tornal basin-heat
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

E2E = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(E2E, "..", ".."))
EXAMPLES = os.path.join(ROOT, "examples")

# The runs of the checked copies: the example basin and the folders of
# tests/e2e/input laid over it, in this order.
VARIANTS = {
    "basin": ("basin", ["input/basin"]),
    "basin-heat": ("basin", ["input/basin", "input/basin-heat"]),
}

# Optional input files with fixed names, looked for in the working folder.
FIXED_INPUTS = ["VekArch.cal", "bucle.avz", "tornal.avz", "NivelesRQ.dat", "Criterios.txt"]
# Records of VekArch.cal that name input files: the network data file, the
# XML data file, the monthly results, the three quality files and the two
# calibration files.
INPUT_RECORDS = [2, 3, 4, 6, 7, 8, 16, 18]


def result_files():
    """The result files that the tests compare: RESULT_FILES of e2e_util.h."""
    with open(os.path.join(E2E, "e2e_util.h"), encoding="utf-8") as f:
        text = f.read()
    m = re.search(r"RESULT_FILES\[\]\s*=\s*\{(.*?)\};", text, re.S)
    if not m:
        sys.exit("RESULT_FILES not found in tests/e2e/e2e_util.h")
    return re.findall(r'"([^"]*)"', m.group(1))


def record_path(line):
    """The path of a record of VekArch.cal: its first quoted text, or its
    first word when it is not quoted."""
    line = line.strip()
    for q in ("'", '"'):
        if line.startswith(q):
            end = line.find(q, 1)
            return line[1:end] if end > 0 else line[1:]
    return re.split(r"[\s,/]", line, maxsplit=1)[0] if line else ""


def copy_example(name, work):
    """The input files of the example `name` into `work`, as copy_example of
    e2e_util.h copies them (one record a line, as the examples write it)."""
    source = os.path.join(EXAMPLES, name)
    with open(os.path.join(source, "VekArch.cal"), encoding="latin-1") as f:
        lines = f.read().splitlines()
    inputs = list(FIXED_INPUTS)
    inputs += [record_path(lines[r - 1]) for r in INPUT_RECORDS if r <= len(lines)]
    for e in inputs:
        path = os.path.join(source, e)
        if not e or os.path.isabs(e) or not os.path.isfile(path):
            continue
        target = os.path.join(work, e)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(path, target)


def overlay_inputs(folder, work):
    """Every file of `folder` over the file of the same name in `work`."""
    for e in sorted(os.listdir(folder)):
        path = os.path.join(folder, e)
        if os.path.isfile(path):
            shutil.copyfile(path, os.path.join(work, e))


def regenerate(binary, variant, names):
    example, overlays = VARIANTS[variant]
    expected = os.path.join(E2E, "expected", variant)
    with tempfile.TemporaryDirectory(prefix="tornal-expected-") as work:
        copy_example(example, work)
        for o in overlays:
            overlay_inputs(os.path.join(E2E, o), work)
        run = subprocess.run([binary], cwd=work, stdin=subprocess.DEVNULL, capture_output=True)
        if run.returncode != 0:
            log = os.path.join(work, "tornal.log")
            tail = open(log, encoding="latin-1").read()[-2000:] if os.path.exists(log) else ""
            sys.exit(f"{variant}: the run ended with status {run.returncode}\n"
                     f"{run.stdout.decode('utf-8', 'replace')}{tail}")
        missing = [n for n in names if not os.path.isfile(os.path.join(work, n))]
        if missing:
            sys.exit(f"{variant}: the run wrote no {', '.join(missing)}")
        os.makedirs(expected, exist_ok=True)
        for n in names:
            shutil.copyfile(os.path.join(work, n), os.path.join(expected, n))
    print(f"{os.path.relpath(expected, ROOT)}: {len(names)} files written")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--binary", required=True, help="the tornal program to run (e.g. build/tornal)")
    parser.add_argument("variants", nargs="*", metavar="folder",
                        help="the folders of tests/e2e/expected to write: " + ", ".join(sorted(VARIANTS)) +
                        " (all when none is named)")
    args = parser.parse_args()
    for v in args.variants:
        if v not in VARIANTS:
            parser.error(f"{v}: no such folder of checked copies ({', '.join(sorted(VARIANTS))})")
    binary = os.path.abspath(args.binary)
    if not os.access(binary, os.X_OK):
        sys.exit(f"{args.binary}: no program to run")
    # A folder of checked copies that no run here writes would be left
    # stale without notice: it must be named in VARIANTS first.
    expected = os.path.join(E2E, "expected")
    unknown = sorted(set(os.listdir(expected) if os.path.isdir(expected) else []) - set(VARIANTS))
    if unknown:
        sys.exit(f"tests/e2e/expected/{unknown[0]}: no run of this script writes it (see VARIANTS)")
    names = result_files()
    for v in args.variants or sorted(VARIANTS):
        regenerate(binary, v, names)


if __name__ == "__main__":
    main()
