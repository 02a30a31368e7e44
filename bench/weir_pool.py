#!/usr/bin/env python3
"""A weir pool: the example basin's reservoir as a pool of 100 m3 (50 m2,
2 m deep) passing 1000 m3/s, flushed about 2.6e7 times a month, for ten
years (the example's two in turn), with every option on and the
equilibrium temperature (model 1) or the surface heat balance (model 2), as
drawn_down_reservoir.py builds its basins. Runs the program --repeat times on
each and prints the wall and user time of the run (the median and every
run), then the lines of the run log (its months integrated with finer
sub-steps and its months mixed).

    python3 bench/weir_pool.py [--binary build/tornal] [--repeat 5]

It is a measure, not a test: it prints figures."""

import argparse
import os
import shutil
import statistics
import sys
import tempfile

import bench
import drawn_down_reservoir as drawn

# Levels (m), areas (ha) and volumes (hm3) of a pool of 50 m2 with upright
# walls: 100 m3 stand 2 m deep.
POOL = (" ".join("%d" % (500 + k) for k in range(10)), " ".join(["0.005"] * 10),
        " ".join("%g" % (5e-5 * k) for k in range(10)))
VOLUME = 1e-4  # hm3 at the end of every month
INFLOW = 1000.0 * 86400 * 30 / 1e6  # hm3 in a month of 30 days
YEARS = 10


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--binary", default=os.path.join(drawn.ROOT, "build", "tornal"))
    ap.add_argument("--repeat", type=int, default=5)
    args = ap.parse_args()
    binary = os.path.abspath(args.binary)
    for model in (1, 2):
        folder = tempfile.mkdtemp(prefix="tornal-weir-")
        try:
            drawn.write_case(folder, POOL, [VOLUME] * 12, [INFLOW] * 12, model, False, YEARS, 0.0, 0.0)
            walls, users = [], []
            for _ in range(args.repeat):
                wall, usage, _ = bench.run_once(binary, folder)
                walls.append(wall)
                users.append(usage.ru_utime)
            print("weir pool of %g m3 passing %g m3/s (%.2g flushes a month), %d years, temperature model %d" %
                  (VOLUME * 1e6, INFLOW * 1e6 / (86400 * 30), INFLOW / VOLUME, YEARS, model))
            for name, t in (("wall", walls), ("user", users)):
                print("  %s time: %.3f s (median of %s)" % (name, statistics.median(t), ", ".join("%.3f" % x for x in t)))
            print("  run log:")
            for l in drawn.log_lines(folder):
                print("   |" + l)
            print()
        finally:
            shutil.rmtree(folder)
    return 0


if __name__ == "__main__":
    sys.exit(main())
