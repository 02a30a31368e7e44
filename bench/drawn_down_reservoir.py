#!/usr/bin/env python3
"""A reservoir drawn down through a dry summer: the example basin with its
reservoir of 100 hm3 emptied to 0.2 % (0.2 hm3) in August and held there through September, over a flat
bottom that leaves 9 cm of water (curve A) or 44 cm (curve B), with every
option on and the equilibrium temperature (model 1) or the surface heat
balance (model 2). Runs the program on each case and prints, month by
month, the reservoir's depth, its temperature and oxygen, the temperature
of the reach below it and the equilibrium temperature of the month, then
the lines of the run log that name the reservoir's months. The reach
above the reservoir passes its inflow on unchanged, so that the reservoir
alone is measured; with the heat balance the basin is run once more with
every reach passing its water on unchanged (the reach model's own heat
balance apart).

    python3 bench/drawn_down_reservoir.py [--binary build/tornal]

It is a measure, not a test: it prints figures."""

import argparse
import math
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
EXAMPLE = os.path.join(ROOT, "examples", "basin")

# Levels (m), areas (ha) and volumes (hm3) of the two curves.
VOLUMES = "0 0.2 1 5 10 20 40 60 80 100"
CURVES = {
    "A": ("500 500.09 500.44 502 504 508 515 522 528 534", "220 225 240 300 320 350 400 450 500 550", VOLUMES),
    "B": ("500 500.44 502 507 512 518 525 531 536 540", "45 46 55 90 110 150 250 320 380 420", VOLUMES),
}
# The end volume of every month (October to September) and the month's inflow.
VOLFIN = [60, 62, 65, 70, 75, 78, 76, 65, 45, 12, 0.2, 0.2]
INFLOW = [62, 8, 8, 8, 8, 8, 6, 4, 2, 1, 0.5, 0.3]
EVAP, FILTR = 0.02, 0.05
# Heat balance of the reaches and the reservoir (W/m2, degC, %, cloud, m/s),
# each with its time curve, and the extinction that splits the reservoir's
# heat between its layers.
HEAT = [("250.0", "4"), ("20.0", "2"), ("60.0", "1"), ("0.3", "1"), ("2.0", "1")]
KEEMBTEMP = "0.5"
MONTHS = ["Oct", "Nov", "Dic", "Ene", "Feb", "Mar", "Abr", "May", "Jun", "Jul", "Ago", "Sep"]


def red_dat(curve, volfin, years):
    """The network data file: the reservoir's curve (levels, areas and
    volumes), its start volume (the end volume of the last month) and the
    years of the run."""
    lines = open(os.path.join(EXAMPLE, "red.dat"), encoding="latin-1").read().split("\n")
    lines[1] = "%d %s" % (years, lines[1].split()[1])
    i = next(k for k, l in enumerate(lines) if l.startswith("500 505 510"))
    lines[i:i + 3] = curve
    j = next(k for k, l in enumerate(lines) if l.strip() == "50.0")
    lines[j] = "%g" % volfin[-1]
    return "\n".join(lines)


def over_years(text, years):
    """A file of the example's two years carried over `years` years: each run
    of rows that begin with a year (1 and 2 in the monthly results, 2000 and
    2001 in the quality of inflows) is written year after year, the rows of
    the example's two years in turn."""
    out, rows = [], []
    for line in text.split("\n") + [""]:
        year = line.split()[0] if line.split() else ""
        if year.isdigit():
            rows.append((int(year), line[len(year):]))
            continue
        first = rows[0][0] if rows else 0
        out += ["%d%s" % (first + y, rest) for y in range(years) for n, rest in rows if n == first + y % 2]
        rows = []
        out.append(line)
    return "\n".join(out[:-1])


def resultados_dat(volfin, inflow, evap, filtr):
    out = []
    for line in open(os.path.join(EXAMPLE, "resultados.dat"), encoding="latin-1").read().split("\n"):
        v = line.split()
        if not v:
            out.append(line)
            continue
        y, mes = int(v[0]), int(v[1])
        prev = volfin[mes - 2] if mes > 1 else volfin[-1]
        release = inflow[mes - 1] - (volfin[mes - 1] - prev) - evap - filtr
        v[4] = "%.4f" % inflow[mes - 1]          # inflow of the reservoir
        v[6] = "%.4f" % volfin[mes - 1]          # end volume
        v[8] = "%.4f" % release                  # release
        v[9] = "0.0000"                          # spill
        v[10] = "%.4f" % evap
        v[11] = "%.4f" % filtr
        v[12] = "%.4f" % inflow[mes - 1]          # Rio Alto, into the reservoir
        v[13] = "%.4f" % release                  # Rio Medio, below it
        out.append(" ".join(v))
    return "\n".join(out)


def calidad_dat(model, passing):
    lines = open(os.path.join(EXAMPLE, "calidad.dat"), encoding="latin-1").read().split("\n")
    # Rio Alto passes its inflow to the reservoir as it comes (its report
    # flag 2), so that the reservoir alone is measured; with `passing` every
    # reach does.
    r = next(k for k, l in enumerate(lines) if l.rstrip().endswith("INRESCOND"))
    lines[r] = ("       2        2        2        2" if passing else "       2        1        1        1") + \
        "    INRESCOND"
    i = next(k for k, l in enumerate(lines) if l.startswith("1 1 1 1 1 1"))
    if model == 1:
        return "\n".join(lines)
    lines[i] = "1 1 1 1 1 2    2: balance de calor"
    j = next(k for k, l in enumerate(lines) if "KETEMB" in l)
    heat = ["Balance de calor: conducciones"]
    for v, c in HEAT:
        heat += [" ".join([v] * 4), " ".join([c] * 4)]
    heat += ["Balance de calor: embalses"]
    for v, c in HEAT:
        heat += [v, c]
    heat += [KEEMBTEMP]
    return "\n".join(lines[:i + 2] + heat + lines[j + 1:])


def equilibrium(model, mes):
    """The equilibrium temperature of the month: TEEM by its seasonal curve,
    or the root of the net heat flux (the coefficients of the example)."""
    season = [0.85, 0.60, 0.45, 0.40, 0.45, 0.60, 0.75, 0.95, 1.15, 1.30, 1.30, 1.10][mes - 1]
    if model == 1:
        return 15.0 * season
    radiation = [0.65, 0.45, 0.35, 0.40, 0.55, 0.75, 0.95, 1.15, 1.30, 1.35, 1.25, 0.95][mes - 1]
    hsw, tair, hr, nub, u = 250.0 * radiation, 20.0 * season, 60.0, 0.3, 2.0
    es = lambda t: 4.596 * math.exp(17.27 * t / (t + 237.3))
    fu = 19.0 + 0.95 * u ** 2.0
    def h(tw):
        evap = fu * (-(es(tw) - hr * es(tair) / 100.0) - 0.47 * (tw - tair))
        atm = 1.17e-7 * 0.97 * (tair + 273.0) ** 4 * 0.6 * (1.0 + 0.17 * nub * nub)
        water = 0.97 * 1.17e-7 * (tw + 273.0) ** 4
        return 0.48458 * (evap + atm - water) + hsw
    lo, hi = -20.0, 60.0
    for _ in range(100):
        mid = 0.5 * (lo + hi)
        lo, hi = (mid, hi) if h(mid) > 0 else (lo, mid)
    return 0.5 * (lo + hi)


def depth(curve, vol):
    levels, _, volumes = CURVES[curve]
    levels = [float(x) for x in levels.split()]
    vols = [float(x) for x in volumes.split()]
    for k in range(1, 10):
        if vol <= vols[k]:
            return levels[k - 1] + (vol - vols[k - 1]) * (levels[k] - levels[k - 1]) / (vols[k] - vols[k - 1]) - 500
    return levels[-1] - 500


def write_case(folder, curve, volfin, inflow, model, passing, years=2, evap=EVAP, filtr=FILTR):
    """The example basin in folder with its reservoir on curve (levels, areas
    and volumes) holding volfin at the end of each month (October to
    September) and receiving inflow, losing evap and filtr, over `years`
    years (the example's two in turn)."""
    for f in os.listdir(EXAMPLE):
        shutil.copy(os.path.join(EXAMPLE, f), folder)
    aportaciones = open(os.path.join(EXAMPLE, "aportaciones.dat"), encoding="latin-1").read()
    for name, text in (("red.dat", red_dat(curve, volfin, years)),
                       ("resultados.dat", over_years(resultados_dat(volfin, inflow, evap, filtr), years)),
                       ("aportaciones.dat", over_years(aportaciones, years)),
                       ("calidad.dat", calidad_dat(model, passing))):
        open(os.path.join(folder, name), "w", encoding="latin-1", newline="\r\n").write(text)


def log_lines(folder):
    """The run log less its header, its date and its time."""
    log = open(os.path.join(folder, "tornal.log"), encoding="latin-1").read().split("\n")
    keep = [l for l in log if l.strip() and not l.startswith(" Fecha") and not l.startswith(" Hora")]
    return keep[3:]


def run_case(binary, curve, model, passing):
    folder = tempfile.mkdtemp(prefix="tornal-drawn-")
    try:
        write_case(folder, CURVES[curve], VOLFIN, INFLOW, model, passing)
        status = subprocess.run([binary], cwd=folder, stdout=subprocess.DEVNULL).returncode
        values = {}
        if os.path.exists(os.path.join(folder, "graficos.txt")):
            for line in open(os.path.join(folder, "graficos.txt"), encoding="latin-1"):
                f = line.split(";")
                if len(f) >= 4 and f[2] in ("Embalse Mayor", "Rio Medio"):
                    values[(f[0], f[1], f[2])] = f[3].strip()
        return status, values, log_lines(folder)
    finally:
        shutil.rmtree(folder)


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--binary", default=os.path.join(ROOT, "build", "tornal"))
    args = ap.parse_args()
    binary = os.path.abspath(args.binary)
    for curve in "AB":
        for model, passing in ((1, False), (2, False), (2, True)):
            status, values, log = run_case(binary, curve, model, passing)
            print("curve %s (%.2f m in September), temperature model %d, reaches %s: exit %d" %
                  (curve, depth(curve, VOLFIN[-1]), model, "passing" if passing else "computed", status))
            print("  month     depth   T eq.   T res.   O2 res.   T reach below")
            for y in (1, 2):
                for mes in range(1, 13):
                    label = "%s-%d" % (MONTHS[mes - 1], 2000 + y - (1 if mes <= 3 else 0))
                    get = lambda c, e: values.get((c, label, e), "-")
                    print("  %-8s %6.2f %7.2f %8s %9s %9s" % (
                        label, depth(curve, VOLFIN[mes - 1]), equilibrium(model, mes),
                        get("Temperatura", "Embalse Mayor"), get("Oxígeno Disuelto", "Embalse Mayor"),
                        get("Temperatura", "Rio Medio")))
            print("  run log:")
            for l in log:
                print("   |" + l)
            print()
    return 0


if __name__ == "__main__":
    sys.exit(main())
