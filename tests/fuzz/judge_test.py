#!/usr/bin/env python3
"""The fuzzer's judge on runs of the program that it once misjudged.

Usage: judge_test.py PROGRAM

Each row changes one input file of a basin of basins.py and runs the program
in a fresh folder with the fuzzer's time limit. A row of "time" holds the
work estimate (work.py, with the run log that the run wrote) against the
time the run took: a run that ends took no longer than its estimate, and a
run that the limit cuts is judged a long run, never a hang. The rows are
runs whose reservoir months are refined to counts finer than the first one
noted. A row of a verdict holds the judge's verdict of the run.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import basins  # noqa: E402
import fuzz  # noqa: E402
import work  # noqa: E402

EXAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples")
LIMIT = 20.0  # seconds, the fuzzer's time limit

ROWS = [
    # (what, basin, file, text, its replacement, what is held)
    ("generated basin A, <EMBALSES> 0.05 100 2.0: every month refined, to 15,360 sub-steps",
     "generated-A", "coeficientes.dat", b"<EMBALSES>\n0.05 0.01 2.0\n", b"<EMBALSES>\n0.05 100 2.0\n", "time"),
    ("generated basin A, a half-saturation constant of -1: months refined to 61,440 after one of 120",
     "generated-A", "coeficientes.dat", b"0.5 0.6 0.02 0.003 0.1", b"0.5 0.6 0.02 -1 0.1", "time"),
    ("the example, 0.5 0.5 after <TECTAS>: months refined to 30,720 after one of 3,840",
     "example", "coeficientes.dat", b"<TECTAS>\r\n", b"<TECTAS>\r\n0.5   0.5\r\n", "time"),
    ("the example, a constituent named 'Coliformes totales del tram***x', cut to 30 characters",
     "example", "calidad.dat", b"'Coliformes totales'", b"'Coliformes totales del tram***x'", "ok-end"),
]


def run(program, is_asan, files, folder):
    """Status, console, error output, whether the limit cut it, seconds."""
    for name, data in files.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
    env = dict(os.environ, ASAN_OPTIONS="detect_leaks=0", UBSAN_OPTIONS="halt_on_error=1")
    start = time.monotonic()
    try:
        p = subprocess.run([program], cwd=folder, stdin=subprocess.DEVNULL, capture_output=True, timeout=LIMIT,
                           env=env)
        return p.returncode, p.stdout, p.stderr, False, time.monotonic() - start
    except subprocess.TimeoutExpired as e:
        return -9, e.stdout or b"", e.stderr or b"", True, time.monotonic() - start


def main():
    program = os.path.abspath(sys.argv[1])
    with open(program, "rb") as f:
        content = f.read()
        is_asan = b"__asan_init" in content or b"libasan" in content
    all_basins = basins.all_basins(EXAMPLES)
    failures = 0
    for what, basin, name, text, replacement, held in ROWS:
        original = all_basins[basin]
        files = dict(original)
        if files[name].count(text) != 1:
            print("FAIL %s: %r is not once in %s" % (what, text, name))
            failures += 1
            continue
        files[name] = files[name].replace(text, replacement)
        folder = tempfile.mkdtemp(prefix="tornal-judge-")
        try:
            status, out, err, cut, seconds = run(program, is_asan, files, folder)
            log = fuzz.find_log(folder, files)
            verdict = fuzz.judge(folder, files, original, status, out, err, cut, LIMIT, is_asan)
            if held == "time":
                # The judge's scale of the estimate for the build.
                asked = (work.work(files, log) or 0.0) * (1.0 if is_asan else 0.25)
                ok = verdict == "ok-long-run" if cut else asked >= seconds
                seen = "%s, estimate %.1f s, %s %.1f s" % (verdict, asked, "cut at" if cut else "took", seconds)
            else:
                ok = verdict == held
                seen = "%s (status %d)" % (verdict, status)
        finally:
            shutil.rmtree(folder, ignore_errors=True)
        print("%s %s: %s" % ("ok  " if ok else "FAIL", what, seen))
        failures += not ok
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
