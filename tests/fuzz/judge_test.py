#!/usr/bin/env python3
"""The fuzzer's judge on runs that it once misjudged or that bound its limits.

Usage: judge_test.py PROGRAM

The judge is a function of what a run leaves: its status, its run log and
result files, how its limit cut it, and the processor seconds of it and of
the same input's run of the optimised build. Each row of TIMES changes one
input file of a basin of basins.py and gives those seconds, as they were
measured once (the sanitizer build that .ci/run makes and the README build,
at the program of the rows' date), and the run log that the run wrote: no
row reads a clock. A row of "no hang" holds a run of the build under test
given the campaign's limit for its optimised run: it ends within the limit,
or the judge takes it for a long run. A row of a verdict holds the judge's
verdict of the run cut at its limit. Each row of RUNS runs PROGRAM on a
changed basin, with no limit, and holds the judge's verdict of its files.
"""

import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import basins  # noqa: E402
import fuzz  # noqa: E402

EXAMPLES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples")

# The run log of the example, 0.5 0.5 after <TECTAS>, cut on the sanitizer
# build after the first month of its reservoir refined to finer sub-steps
# (the lines after its header).
FIRST_REFINED_MONTH = (" El cálculo del embalse diverge con el diferencial de cálculo dado\n Embalse:\n"
                       " Embalse Mayor\n Año, Mes:           1           1\n"
                       " Se integra el mes con subpasos más finos, número de subpasos:        3840\n"
                       ).encode("latin-1")
TECTAS = ("coeficientes.dat", b"<TECTAS>\r\n", b"<TECTAS>\r\n0.5   0.5\r\n")
KFOSFCOND = ("calidad.dat", b"     0.1      0.1      0.1      0.1    KFOSFCOND",
             b"     0.1    -30.1      0.1      0.1    KFOSFCOND")
EMBALSES = ("coeficientes.dat", b"<EMBALSES>\n0.05 0.01 2.0\n", b"<EMBALSES>\n0.05 100 2.0\n")
A_MILLION_SEGMENTS = ("calidad.dat", b"   500.0    500.0    500.0    250.0    INCRX",
                      b"   500.0    0.0085    500.0    250.0    INCRX")
UNCHANGED = (None, None, None)

# (what, basin, (file, text, its replacement), run log, seconds of the
# optimised run or "cut" at its limit, seconds of the run under test or
# "cut" at its limit or "wait" with its time unspent, what is held)
TIMES = [
    ("the example with reach 2's KFOSFCOND at -30.1 (a growth path in 18 months), the least and the most "
     "times measured", "example", KFOSFCOND, b"", 0.65, 32.0, "no hang"),
    ("the example, 0.5 0.5 after <TECTAS>: months refined to 30,720 after one of 3,840", "example", TECTAS, b"",
     1.44, 25.3, "no hang"),
    ("generated basin A, <EMBALSES> 0.05 100 2.0: every month refined, to 15,360 sub-steps", "generated-A",
     EMBALSES, b"", 5.02, 95.3, "no hang"),
    ("the example, cut after its first refined month, whose optimised run ended in 0.9 s", "example", TECTAS,
     FIRST_REFINED_MONTH, 0.9, "cut", "hang"),
    ("the example, cut after its first refined month, whose optimised run ended in 0.3 s", "example", TECTAS,
     FIRST_REFINED_MONTH, 0.3, "cut", "hang"),
    ("the example, whose optimised run did not end either", "example", UNCHANGED, b"", "cut", "cut", "hang"),
    ("the example with reach 2 in a million segments (65 s of the optimised build), which did not end",
     "example", A_MILLION_SEGMENTS, b"", "cut", "cut", "ok-long-run"),
    ("the example, a run that waits, its processor time unspent", "example", UNCHANGED, b"", 0.05, "wait",
     "hang"),
]

# (what, basin, (file, text, its replacement), verdict)
RUNS = [
    ("the example, a constituent named 'Coliformes totales del tram***x', cut to 30 characters", "example",
     ("calidad.dat", b"'Coliformes totales'", b"'Coliformes totales del tram***x'"), "ok-end"),
]

HEADER = b" Numero de versio:  1.39999998    \n"


def changed(all_basins, basin, change):
    """The input files of the basin with the change, or a note of why the
    change does not apply."""
    files = dict(all_basins[basin])
    name, text, replacement = change
    if name is None:
        return files, None
    if files[name].count(text) != 1:
        return None, "%r is not once in %s" % (text, name)
    files[name] = files[name].replace(text, replacement)
    return files, None


def judge_times(files, original, log, release_seconds, seconds):
    """The judge's verdict of a run given the campaign's limits (None: the
    run ends within its limit), in a folder holding the inputs and the run
    log."""
    if release_seconds == "cut":
        release = fuzz.Run(-9, fuzz.RELEASE_TIMEOUT, "time", fuzz.RELEASE_TIMEOUT)
    else:
        release = fuzz.Run(0, release_seconds, None, fuzz.RELEASE_TIMEOUT)
    limit = fuzz.sanitizer_limit(release, fuzz.TIMEOUT)
    if seconds == "wait":
        run = fuzz.Run(-9, 0.01, "wait", limit)
    elif seconds == "cut" or seconds > limit:
        run = fuzz.Run(-24, limit, "time", limit)
    else:
        return None, limit
    folder = tempfile.mkdtemp(prefix="tornal-judge-")
    try:
        for name, data in dict(files, **{"tornal.log": HEADER + log}).items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)
        return fuzz.judge(folder, files, original, run, b"", b"", release), limit
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def main():
    program = os.path.abspath(sys.argv[1])
    all_basins = basins.all_basins(EXAMPLES)
    failures = 0
    for what, basin, change, log, release_seconds, seconds, held in TIMES:
        files, why = changed(all_basins, basin, change)
        if files is None:
            ok, seen = False, why
        else:
            verdict, limit = judge_times(files, all_basins[basin], log, release_seconds, seconds)
            ok = verdict != "hang" if held == "no hang" else verdict == held
            seen = "%s, limit %d s" % (verdict or "ends", limit)
        print("%s %s: %s" % ("ok  " if ok else "FAIL", what, seen))
        failures += not ok
    for what, basin, change, held in RUNS:
        files, why = changed(all_basins, basin, change)
        if files is None:
            print("FAIL %s: %s" % (what, why))
            failures += 1
            continue
        folder = tempfile.mkdtemp(prefix="tornal-judge-")
        try:
            for name, data in files.items():
                with open(os.path.join(folder, name), "wb") as f:
                    f.write(data)
            p = subprocess.run([program], cwd=folder, stdin=subprocess.DEVNULL, capture_output=True,
                               env=dict(os.environ, ASAN_OPTIONS="detect_leaks=0"))
            run = fuzz.Run(p.returncode, None, None, None)
            verdict = fuzz.judge(folder, files, all_basins[basin], run, p.stdout, p.stderr, None)
        finally:
            shutil.rmtree(folder, ignore_errors=True)
        ok = verdict == held
        print("%s %s: %s (status %d)" % ("ok  " if ok else "FAIL", what, verdict, p.returncode))
        failures += not ok
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
