#!/usr/bin/env python3
"""A low-flow sweep of the surface heat balance (temperature model 2) of the
reaches: one reach per case, every option on, the monthly weather of a
Mediterranean lowland (make_basin.WEATHER), a river inflow and an outfall of
BOD 200 and NH4 40 mg/l at its head, over a grid of

    channels  three Manning trapezoids and three power laws of the flow
    lengths   5, 20 and 50 km in segments of 1 km
    flows     summer flows (July to September) of 1 m3/s, 0.1 m3/s, 5 l/s and 1 l/s

and a lowland river of 50 km at 0.2 m/s and 2 m3/s the whole year. It runs a
tornal binary on each case and reports its exit status, whether every
reach-month outlet is finite (read from TablaCal.txt, where asterisks, a value
that is not a number or does not fit its field, count as not finite) and
whether every outlet temperature lies between the inflow temperature and the
equilibrium temperature of its month (the root of the surface heat flux,
found here by bisection). The column g is lambda x tau / (rho cp Y) of the
reach in July. The last line is the summary; the exit status is 0 when no
case stops, is not finite or out of range.

    python3 bench/sweep_heat.py --binary build/tornal [--jobs 4] [--years 2] [--tol 0.01] [--keep DIR]

Without --binary it builds build-release/tornal as bench.py does."""

import argparse
import concurrent.futures
import math
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import make_basin  # noqa: E402

# The channels: (name, TIPOHID, the four hydraulic coefficients). Manning
# (1): roughness, bottom width m, bed slope, side slope. Power laws (2):
# U = a Q^b m/s and Y = c Q^d m with Q in m3/s.
CHANNELS = [
    ("manning-brook", 1, (0.040, 2.0, 0.004, 1.5)),
    ("manning-stream", 1, (0.035, 6.0, 0.0015, 2.0)),
    ("manning-plain", 1, (0.030, 15.0, 0.0005, 2.0)),
    ("power-steep", 2, (0.50, 0.40, 0.35, 0.40)),
    ("power-mid", 2, (0.35, 0.40, 0.45, 0.40)),
    ("power-slow", 2, (0.20, 0.40, 0.60, 0.40)),
]
LENGTHS_KM = [5, 20, 50]
SUMMER_FLOWS = [1.0, 0.1, 0.005, 0.001]  # m3/s
# The reach flow of each month over the summer flow, October first: a
# Mediterranean regime, wet winter, dry July to September.
REGIME = [1.5, 2.5, 4.0, 5.0, 5.0, 4.0, 3.0, 2.0, 1.5, 1.0, 1.0, 1.0]
# The lowland river: 0.2 m/s and 0.5 m deep at 2 m3/s (20 m wide), every month.
LOWLAND = ("lowland-river", 2, (0.2 / 2.0 ** 0.4, 0.40, 0.5 / 2.0 ** 0.4, 0.40))
LOWLAND_FLOW = 2.0
SEGMENT_M = 1000.0

# The temperature of the inflows (the river and the outfall alike), degC,
# October first.
INFLOW_TEMPERATURE = [17.0, 13.0, 10.0, 9.0, 10.0, 12.0, 14.0, 17.0, 20.0, 22.0, 22.0, 20.0]
# The other constituents, in the order of the constituent list after the
# temperature: one first-order pollutant, BOD, oxygen, organic nitrogen,
# ammonium, nitrate, chlorophyll, organic phosphorus, phosphate.
RIVER_QUALITY = [100.0, 2.0, 9.0, 0.3, 0.05, 2.0, 0.005, 0.02, 0.03]
OUTFALL_QUALITY = [1.0e5, 200.0, 1.0, 15.0, 40.0, 1.0, 0.0, 3.0, 6.0]
NC = 1 + len(RIVER_QUALITY)

HM3_PER_MONTH = 86400.0 * 30.0 / 1.0e6  # a flow of 1 m3/s in hm3 per month of 30 days
RHO_CP = 1000.0 * 4186.0  # the water of the coefficients file, J/m3/K


# ---- the surface heat flux and the equilibrium temperature

def heat_flux(tw, hsw, tair, wind, hr, nub):
    """The net surface heat flux into the water, W/m2, as the program
    computes it (relative humidity in percent)."""
    c1, c2, c3, c4, c5 = (float(v) for v in make_basin.HEAT_CONSTANTS.split())
    es = lambda t: 4.596 * math.exp(17.27 * t / (t + 237.3))
    ea = hr * es(tair) / 100.0
    fu = c3 + c4 * wind ** c5
    return 0.48458 * (fu * (-(es(tw) - ea) - 0.47 * (tw - tair)) + c1 * 0.97 * (tair + 273.0) ** 4 * 0.6 *
                      (1.0 + 0.17 * nub * nub) - c2 * c1 * (tw + 273.0) ** 4) + hsw


def month_weather():
    """The weather of month m (1 = October) as the heat_flux arguments after
    the water temperature."""
    w = make_basin.weather_series()
    names = [name for name, _ in make_basin.WEATHER]
    hsw, tair, hr, nub, wind = (w[n] for n in names)
    return [(hsw[m], tair[m], wind[m], hr[m], nub[m]) for m in range(12)]


def equilibrium_temperature(weather):
    """The root of the heat flux (it falls with the water temperature), by
    bisection between -50 and 100 degC."""
    lo, hi = -50.0, 100.0
    for _ in range(200):
        mid = 0.5 * (lo + hi)
        if heat_flux(mid, *weather) > 0.0:
            lo = mid
        else:
            hi = mid
    return 0.5 * (lo + hi)


def exchange_coefficient(t, weather):
    """lambda = -dH/dT at t, W/m2/K (central difference)."""
    return -(heat_flux(t + 0.01, *weather) - heat_flux(t - 0.01, *weather)) / 0.02


# ---- the hydraulics, for the report of g

def depth_velocity(tipo, coef, q):
    """Depth (m) and velocity (m/s) of the channel at the flow q (m3/s)."""
    if tipo == 2:
        a, b, c, d = coef
        return c * q ** d, a * q ** b
    n, width, slope, side = coef
    flow = lambda y: math.sqrt(slope) / n * ((side * y + width) * y) ** (5.0 / 3.0) / (
        width + 2.0 * y * math.sqrt(1.0 + side * side)) ** (2.0 / 3.0)
    lo, hi = 0.0, 50.0
    for _ in range(200):
        mid = 0.5 * (lo + hi)
        lo, hi = (mid, hi) if flow(mid) < q else (lo, mid)
    y = 0.5 * (lo + hi)
    return y, q / ((side * y + width) * y)


def g_factor(tipo, coef, q, length_m, weather):
    """g = lambda x tau / (rho cp Y) of the reach at flow q: above about 2.7
    the passes of the heat balance that keep the flux on the right side
    diverge."""
    y, u = depth_velocity(tipo, coef, q)
    lam = exchange_coefficient(equilibrium_temperature(weather), weather)
    return lam * (length_m / u) / (RHO_CP * y)


# ---- one case

class Case:
    def __init__(self, name, tipo, coef, length_km, summer_flow, regime):
        self.name, self.tipo, self.coef = name, tipo, coef
        self.length_km, self.summer_flow, self.regime = length_km, summer_flow, regime
        self.label = "%s %d km %g m3/s" % (name, length_km, summer_flow)


def grid():
    cases = []
    for q in SUMMER_FLOWS:
        for name, tipo, coef in CHANNELS:
            for km in LENGTHS_KM:
                cases.append(Case(name, tipo, coef, km, q, REGIME))
    name, tipo, coef = LOWLAND
    cases.append(Case(name, tipo, coef, 50, LOWLAND_FLOW, [1.0] * 12))
    return cases


def write_case(folder, case, years, outfall_share):
    os.makedirs(folder, exist_ok=True)
    out = lambda name: os.path.join(folder, name)
    w = make_basin.write

    # The network: node 2 (the head, with the river and the outfall) drains
    # by the reach to node 1.
    w(out("red.dat"), ["'Barrido de balance de calor'", "%d 1980" % years, "0 0 0 0 0", "'Barrido'",
                       "2 0 1 0 0 0 0 2 0 0 0 0 0 0 0 0",
                       "'Tramo' 0.0 0 0", "2 1 1 0 0.0", " ".join(["0"] * 13), " ".join(["999"] * 12),
                       "'Rio'", "2 1", "'Vertido'", "2 2"])
    w(out("red.xml"), ['<?xml version="1.0" encoding="ISO-8859-1"?>', "<KELMAR>", "</KELMAR>"])

    # Monthly flows, hm3 per month: the reach carries regime x summer flow,
    # of which the outfall a constant share of the summer flow.
    outfall = outfall_share * case.summer_flow
    rows = []
    for t in range(1, 12 * years + 1):
        y, mes = (t - 1) // 12 + 1, (t - 1) % 12 + 1
        reach = case.regime[mes - 1] * case.summer_flow
        rows.append("%d %d 0 %.10f %.10f %.10f" % (y, mes, (reach - outfall) * HM3_PER_MONTH,
                                                   outfall * HM3_PER_MONTH, reach * HM3_PER_MONTH))
    w(out("resultados.dat"), rows)

    n1, n2, n3, n4 = case.coef
    reach_data = ["1", "1", "1.0", "%.1f" % (1000.0 * case.length_km), "%.1f" % SEGMENT_M, str(case.tipo),
                  repr(n1), repr(n2), repr(n3), repr(n4), "100.0", "0.0"]
    w(out("calidad.dat"), make_basin.quality_lines(1, 0, 1, True, True, reach_data, photoperiod="0.5"))

    lines = ["Calidad de las aportaciones", "barrido", "(rio y vertido)", "bloques"]
    for c in range(1, NC + 1):
        lines += ["Constituyente %d" % c, "Ano Mes valores"]
        for t in range(1, 12 * years + 1):
            y, mes = 1980 + (t - 1) // 12, (t - 1) % 12 + 1
            if c == 1:
                river = effluent = INFLOW_TEMPERATURE[mes - 1]
            else:
                river, effluent = RIVER_QUALITY[c - 2], OUTFALL_QUALITY[c - 2]
            lines.append("%d %d %r %r" % (y, mes, river, effluent))
        lines.append("fin")
    w(out("aportaciones.dat"), lines)
    w(out("coeficientes.dat"), make_basin.COEFFICIENTS)
    w(out("VekArch.cal"), make_basin.VEKARCH)


def read_outlets(folder):
    """The outlet of the reach per month of the run from TablaCal.txt: a list
    of rows of NC values (None where a value is not a finite number)."""
    names = [l.strip().strip('"') for l in open(os.path.join(folder, "TablaCal.dir"), encoding="latin-1")]
    cols = [i for i, n in enumerate(names) if n.startswith("Rio_T1_Tramo_")]
    rows = []
    for line in open(os.path.join(folder, "TablaCal.txt"), encoding="latin-1"):
        fields = line.split()
        row = []
        for i in cols:
            try:
                v = float(fields[i])
                row.append(v if math.isfinite(v) else None)
            except (ValueError, IndexError):
                row.append(None)
        rows.append(row)
    return rows


def stop_reason(folder):
    """The first line of the run log after the reading lines that tells why
    the run stopped."""
    try:
        log = open(os.path.join(folder, "tornal.log"), encoding="latin-1").read().splitlines()
    except FileNotFoundError:
        return "no run log"
    lines = [l.strip() for l in log if l.strip() and not l.strip().startswith("-")]
    for l in lines:
        low = l.lower()
        if "inestabilidad" in low or "no ha convergido" in low or "error" in low or "no finito" in low:
            return l
    return lines[-1] if lines else "empty run log"


def run_case(binary, case, work, years, outfall_share, tol, teq, timeout):
    folder = os.path.join(work, case.label.replace(" ", "_").replace("/", "_"))
    shutil.rmtree(folder, ignore_errors=True)
    write_case(folder, case, years, outfall_share)
    try:
        proc = subprocess.run([binary], cwd=folder, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=timeout)
        status = proc.returncode
    except subprocess.TimeoutExpired:
        status = "timeout"
    r = dict(case=case, status=status, finite=None, months=0, out_of_range=0, worst=0.0, reason="")
    if status != 0:
        r["reason"] = stop_reason(folder)
        return r
    rows = read_outlets(folder)
    r["months"] = len(rows)
    r["finite"] = all(v is not None for row in rows for v in row)
    for t, row in enumerate(rows):
        mes = t % 12
        tout = row[0]
        tin = INFLOW_TEMPERATURE[mes]
        lo, hi = min(tin, teq[mes]), max(tin, teq[mes])
        excess = float("inf") if tout is None else max(lo - tout, tout - hi, 0.0)
        if excess > tol:
            r["out_of_range"] += 1
        r["worst"] = max(r["worst"], excess)
    return r


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--binary", help="the tornal program to run (default: build build-release/tornal)")
    ap.add_argument("--years", type=int, default=2)
    ap.add_argument("--jobs", type=int, default=4)
    ap.add_argument("--tol", type=float, default=0.01,
                    help="degC an outlet may lie beyond the inflow-equilibrium interval (the tables print 5 decimals)")
    ap.add_argument("--outfall-share", type=float, default=0.1, help="outfall flow over the summer flow")
    ap.add_argument("--timeout", type=float, default=120.0, help="seconds per run")
    ap.add_argument("--keep", help="write the cases in this folder and keep them")
    a = ap.parse_args()

    if a.binary:
        binary = os.path.abspath(a.binary)
    else:
        import bench
        binary = bench.build()
    work = os.path.abspath(a.keep) if a.keep else tempfile.mkdtemp(prefix="tornal-sweep-")
    weather = month_weather()
    teq = [equilibrium_temperature(w) for w in weather]
    print("equilibrium temperature by month (Oct..Sep): " + " ".join("%.2f" % t for t in teq))
    print("inflow temperature by month (Oct..Sep):      " + " ".join("%.2f" % t for t in INFLOW_TEMPERATURE))
    july = weather[9]
    try:
        cases = grid()
        with concurrent.futures.ThreadPoolExecutor(max_workers=a.jobs) as pool:
            results = list(pool.map(lambda c: run_case(binary, c, work, a.years, a.outfall_share, a.tol, teq,
                                                       a.timeout), cases))
    finally:
        if not a.keep:
            shutil.rmtree(work, ignore_errors=True)

    print("%-36s %6s %6s %6s %9s %8s  %s" % ("case", "g-Jul", "exit", "finite", "out/mon", "worst", "stop"))
    for r in results:
        c = r["case"]
        g = g_factor(c.tipo, c.coef, c.regime[9] * c.summer_flow, 1000.0 * c.length_km, july)
        finite = "-" if r["finite"] is None else ("yes" if r["finite"] else "NO")
        out = "-" if r["status"] != 0 else "%d/%d" % (r["out_of_range"], r["months"])
        worst = "-" if r["status"] != 0 else "%.3f" % r["worst"]
        print("%-36s %6.2f %6s %6s %9s %8s  %s" % (c.label, g, r["status"], finite, out, worst, r["reason"]))

    print("stops by summer flow: " + ", ".join(
        "%g m3/s %d/%d" % (q, sum(1 for r in results if r["case"].summer_flow == q and r["status"] != 0),
                           sum(1 for r in results if r["case"].summer_flow == q))
        for q in SUMMER_FLOWS + [LOWLAND_FLOW]))
    stops = sum(1 for r in results if r["status"] != 0)
    nonfinite = sum(1 for r in results if r["finite"] is False)
    bad_cases = sum(1 for r in results if r["status"] == 0 and r["out_of_range"] > 0)
    bad_months = sum(r["out_of_range"] for r in results)
    months = sum(r["months"] for r in results)
    print("summary: %d cases, %d stops, %d with a non-finite outlet, %d out of range (%d of %d reach-months "
          "beyond %.3g degC)" % (len(results), stops, nonfinite, bad_cases, bad_months, months, a.tol))
    sys.exit(0 if stops == 0 and nonfinite == 0 and bad_cases == 0 else 1)


if __name__ == "__main__":
    main()
