#!/usr/bin/env python3
"""The benchmark of a whole run: builds the program in Release (build-release/,
4 jobs), writes a synthetic basin (make_basin.py), runs the program on it and
prints the wall, cpu and user time of the run, the bytes of its output files,
the time to copy those files (read and write of the same bytes), the ratio of
the two, the peak memory of the run and the size of the result arrays it
holds. Each figure is the median of --repeat runs.

    python3 bench/bench.py                 # light basin: 500 reaches, 50 years
    python3 bench/bench.py --basin full    # every option on, a reservoir every 10th node
    python3 bench/bench.py --basin full-heat  # the same with the surface heat balance
    python3 bench/bench.py --basin scaling # cost per reach-month, 500 against 8000 reaches

It is not a test: the machine's load moves the figures; compare ratios
measured in the same run."""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

# The files a run writes (the run log is removed before every run, since it
# is appended to).
OUTPUTS = ["resultados.xml", "graficos.txt", "TablaCal.txt", "TablaCal.dir", "conducciones_parcial.csv",
           "embalses_parcial.csv", "balances.csv", "Criterios.csv", "tornal.log"]

BASINS = {
    "light": dict(reaches=500, years=50, segments=5, pollutants=12, reservoir_every=0, kinetics="light"),
    "full": dict(reaches=500, years=50, segments=5, pollutants=12, reservoir_every=10, kinetics="full"),
    "full-heat": dict(reaches=500, years=50, segments=5, pollutants=12, reservoir_every=10, kinetics="full",
                      temperature_model=2),
}


def build():
    b = os.path.join(ROOT, "build-release")
    subprocess.run(["cmake", "-S", ROOT, "-B", b, "-DCMAKE_BUILD_TYPE=Release"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", b, "-j4", "--target", "tornal"], check=True, stdout=subprocess.DEVNULL)
    return os.path.join(b, "tornal")


def make_basin(folder, p):
    subprocess.run([sys.executable, os.path.join(HERE, "make_basin.py"), folder, "--reaches", str(p["reaches"]),
                    "--years", str(p["years"]), "--segments", str(p["segments"]), "--pollutants",
                    str(p["pollutants"]), "--reservoir-every", str(p["reservoir_every"]), "--kinetics",
                    p["kinetics"], "--temperature-model", str(p.get("temperature_model", 1))], check=True)


def result_array_bytes(p):
    """The result arrays of the run: the node, reach and reservoir-layer
    concentrations at inflow and outflow, and the two layer volumes, in
    doubles (this basin has no plants, intakes or returns)."""
    nodes = p["reaches"] + 1
    reservoirs = nodes // p["reservoir_every"] if p["reservoir_every"] > 0 else 0
    nc = p["pollutants"] + (9 if p["kinetics"] == "full" else 0)
    months = 12 * p["years"]
    return 8 * months * ((2 * nodes + 2 * p["reaches"] + 2 * reservoirs) * nc + 2 * reservoirs)


def run_once(binary, folder):
    for f in OUTPUTS:
        try:
            os.remove(os.path.join(folder, f))
        except FileNotFoundError:
            pass
    t0 = time.perf_counter()
    proc = subprocess.Popen([binary], cwd=folder, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - t0
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit("the run failed; see %s/tornal.log" % folder)
    files = [os.path.join(folder, f) for f in OUTPUTS if os.path.exists(os.path.join(folder, f))]
    return wall, usage, files


def copy_time(files, scratch):
    """Wall and cpu (user + system) time of reading the files and writing
    them to new files in the empty folder scratch, as the run writes its
    output to new files (a copy into the files of a previous copy would first
    free their blocks on truncation, a cost the run does not pay)."""
    t0, c0 = time.perf_counter(), os.times()
    for f in files:
        with open(f, "rb") as src, open(os.path.join(scratch, os.path.basename(f)), "xb") as dst:
            shutil.copyfileobj(src, dst, 1 << 20)
    c1 = os.times()
    return time.perf_counter() - t0, (c1.user - c0.user) + (c1.system - c0.system)


def measure(binary, p, repeat, work):
    folder = os.path.join(work, "basin")
    make_basin(folder, p)
    walls, cpus, users, peaks, copies, copy_cpus = [], [], [], [], [], []
    files = []
    for _ in range(repeat):
        wall, usage, files = run_once(binary, folder)
        walls.append(wall)
        cpus.append(usage.ru_utime + usage.ru_stime)
        users.append(usage.ru_utime)
        peaks.append(usage.ru_maxrss * 1024)
        # The previous copy is removed before the clock starts, as the run's
        # outputs are removed before each run.
        scratch = os.path.join(work, "copy")
        shutil.rmtree(scratch, ignore_errors=True)
        os.makedirs(scratch)
        copy_wall, copy_cpu = copy_time(files, scratch)
        copies.append(copy_wall)
        copy_cpus.append(copy_cpu)
    out_bytes = sum(os.path.getsize(f) for f in files)
    return dict(wall=statistics.median(walls), cpu=statistics.median(cpus), user=statistics.median(users),
                copy=statistics.median(copies), copy_cpu=statistics.median(copy_cpus), peak=statistics.median(peaks),
                bytes=out_bytes, arrays=result_array_bytes(p), walls=walls)


def mb(n):
    return "%.1f MB" % (n / 1e6)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--basin", choices=list(BASINS) + ["scaling"], default="light")
    ap.add_argument("--repeat", type=int, default=3)
    ap.add_argument("--binary", help="run this program instead of building build-release/tornal")
    ap.add_argument("--work", help="folder for the basin (default: a temporary folder, removed at the end)")
    a = ap.parse_args()

    binary = os.path.abspath(a.binary) if a.binary else build()
    work = a.work or tempfile.mkdtemp(prefix="tornal-bench-")
    try:
        if a.basin == "scaling":
            per = {}
            for reaches in (500, 8000):
                p = dict(BASINS["light"], reaches=reaches, years=4)
                r = measure(binary, p, a.repeat, os.path.join(work, str(reaches)))
                per[reaches] = r["wall"] / (reaches * 12 * p["years"])
                print("%5d reaches, 4 years: %.3f s (median of %s), %.1f us per reach-month" %
                      (reaches, r["wall"], ", ".join("%.3f" % w for w in r["walls"]), 1e6 * per[reaches]))
            print("cost per reach-month, 8000 against 500 reaches: %.2f" % (per[8000] / per[500]))
            return
        p = BASINS[a.basin]
        r = measure(binary, p, a.repeat, work)
        print("basin: %s (%s)" % (a.basin, ", ".join("%s=%s" % kv for kv in p.items())))
        print("run wall time:      %.3f s (median of %s)" % (r["wall"], ", ".join("%.3f" % w for w in r["walls"])))
        print("run cpu time:       %.3f s (user + system)" % r["cpu"])
        print("run user time:      %.3f s" % r["user"])
        print("output bytes:       %s" % mb(r["bytes"]))
        print("copy of the output: %.3f s" % r["copy"])
        print("copy cpu time:      %.3f s (user + system)" % r["copy_cpu"])
        print("run / copy:         %.2f (wall), %.2f (cpu)" % (r["wall"] / r["copy"], r["cpu"] / max(r["copy_cpu"], 1e-3)))
        print("peak memory:        %s" % mb(r["peak"]))
        print("result arrays:      %s" % mb(r["arrays"]))
        print("peak / arrays:      %.2f" % (r["peak"] / r["arrays"]))
    finally:
        if not a.work:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
