#!/usr/bin/env python3
"""Writes the checked copies of the end-to-end tests anew from a build.

Each folder of tests/e2e/expected/ is the output of one whole run, laid out
as tests/e2e/layout.txt says; the tests read that file too
(tests/e2e/e2e_util.h: e2e_layout, copy_example, lay_out_run), so that
both lay out a run alike. For each run of the layout, the script copies the
input files of its example into a fresh temporary folder (the input files
with fixed names, among them the run configuration VekArch.cal, and the
files that its input records name; never what an earlier run of the example
left there), lays the run's folders over them, runs the program there and
writes the result files of the layout over the checked copies. Review the
change with `git diff tests/e2e/expected` before committing it: an intended
change of results is this command and a reviewed diff.

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
LAYOUT = os.path.join(E2E, "layout.txt")


class Layout:
    """tests/e2e/layout.txt: the input files with fixed names, the records of
    the run configuration that name input files, the result files compared
    and the runs (name: example and the folders laid over it), read as
    e2e_layout of e2e_util.h reads them."""

    def __init__(self, path):
        self.fixed, self.records, self.results, self.runs = [], [], [], {}
        with open(path, encoding="utf-8") as f:
            for n, line in enumerate(f, 1):
                words = line.split()
                if not words or words[0].startswith("#"):
                    continue
                key, words = words[0], words[1:]
                where = f"{os.path.relpath(path, ROOT)} line {n}"
                if key == "fixed":
                    self.fixed += words
                elif key == "records":
                    for r in words:
                        if not r.isdigit() or len(r) > 3 or int(r) < 1:
                            sys.exit(f"{where}: '{r}' is no record number")
                        self.records.append(int(r))
                elif key == "results":
                    self.results += words
                elif key == "run":
                    if len(words) < 2:
                        sys.exit(f"{where}: a run needs its name and its example")
                    if words[0] in self.runs:
                        sys.exit(f"{where}: run {words[0]} named twice")
                    self.runs[words[0]] = (words[1], words[2:])
                else:
                    sys.exit(f"{where}: unknown key '{key}'")
        if not (self.fixed and self.records and self.results and self.runs):
            sys.exit(f"{os.path.relpath(path, ROOT)}: fixed, records, results and run are all needed")


def record_path(line):
    """The path of a record of VekArch.cal: its first quoted text, or its
    first word when it is not quoted."""
    line = line.strip()
    for q in ("'", '"'):
        if line.startswith(q):
            end = line.find(q, 1)
            return line[1:end] if end > 0 else line[1:]
    return re.split(r"[\s,/]", line, maxsplit=1)[0] if line else ""


def input_paths(layout, lines):
    """The paths that the layout's records of a run configuration name, read
    as copy_example of e2e_util.h reads them, one statement a record: a record
    read for its path passes over blank lines before it; any other record is
    one line."""
    paths, n = [], 0
    for r in range(1, max(layout.records) + 1):
        if r in layout.records:
            while n < len(lines) and not lines[n].strip():
                n += 1
            if n < len(lines):
                paths.append(record_path(lines[n]))
        n += 1
    return paths


def copy_example(layout, name, work):
    """The input files of the example `name` into `work`, as copy_example of
    e2e_util.h copies them."""
    source = os.path.join(EXAMPLES, name)
    with open(os.path.join(source, "VekArch.cal"), encoding="latin-1") as f:
        lines = f.read().splitlines()
    for e in list(layout.fixed) + input_paths(layout, lines):
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


def regenerate(binary, layout, run_name):
    example, overlays = layout.runs[run_name]
    names = layout.results
    expected = os.path.join(E2E, "expected", run_name)
    with tempfile.TemporaryDirectory(prefix="tornal-expected-") as work:
        copy_example(layout, example, work)
        for o in overlays:
            overlay_inputs(os.path.join(E2E, o), work)
        run = subprocess.run([binary], cwd=work, stdin=subprocess.DEVNULL, capture_output=True)
        if run.returncode != 0:
            log = os.path.join(work, "tornal.log")
            tail = open(log, encoding="latin-1").read()[-2000:] if os.path.exists(log) else ""
            sys.exit(f"{run_name}: the run ended with status {run.returncode}\n"
                     f"{run.stdout.decode('utf-8', 'replace')}{tail}")
        missing = [n for n in names if not os.path.isfile(os.path.join(work, n))]
        if missing:
            sys.exit(f"{run_name}: the run wrote no {', '.join(missing)}")
        os.makedirs(expected, exist_ok=True)
        for n in names:
            shutil.copyfile(os.path.join(work, n), os.path.join(expected, n))
    print(f"{os.path.relpath(expected, ROOT)}: {len(names)} files written")


def main():
    layout = Layout(LAYOUT)
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--binary", required=True, help="the tornal program to run (e.g. build/tornal)")
    parser.add_argument("runs", nargs="*", metavar="run",
                        help="the runs of tests/e2e/layout.txt to write: " + ", ".join(sorted(layout.runs)) +
                        " (all when none is named)")
    args = parser.parse_args()
    for v in args.runs:
        if v not in layout.runs:
            parser.error(f"{v}: no such run in tests/e2e/layout.txt ({', '.join(sorted(layout.runs))})")
    binary = os.path.abspath(args.binary)
    if not os.access(binary, os.X_OK):
        sys.exit(f"{args.binary}: no program to run")
    # A folder of checked copies that no run here writes would be left
    # stale without notice: it must be a run of the layout first.
    expected = os.path.join(E2E, "expected")
    unknown = sorted(set(os.listdir(expected) if os.path.isdir(expected) else []) - set(layout.runs))
    if unknown:
        sys.exit(f"tests/e2e/expected/{unknown[0]}: no run of tests/e2e/layout.txt writes it")
    for v in args.runs or sorted(layout.runs):
        regenerate(binary, layout, v)


if __name__ == "__main__":
    main()
