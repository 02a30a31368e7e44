#!/usr/bin/env python3
"""Writes a synthetic basin for the benchmark: a binary tree of type-1 reaches
draining to node 1, an inflow at every head node, optionally a reservoir every
k-th node, and the quality data of either light kinetics (temperature given as
data, first-order pollutants that neither decay nor settle) or every option on
(simulated temperature, first-order pollutants, oxygen, nitrogen and
phytoplankton). With every option on the temperature model is the equilibrium
temperature (1) or the surface heat balance (2) under the monthly weather of a
Mediterranean lowland (WEATHER).

    make_basin.py DIR --reaches 500 --years 50 --segments 5 --pollutants 12
                  [--reservoir-every 10] [--kinetics light|full] [--temperature-model 1|2]

The folder gets VekArch.cal and every input file it names; the program is then
run in it with no arguments."""

import argparse
import os


# The monthly weather of a Mediterranean lowland (a coastal plain of eastern
# Spain), October first as the hydrological year: short-wave radiation
# absorbed by the water (W/m2, the daily mean), air temperature (degC),
# relative humidity (%), cloud cover (fraction of the sky) and wind speed
# (m/s), in the order of the heat-balance records of the quality data file.
WEATHER = [
    ("Radiacion", [130.0, 90.0, 75.0, 85.0, 115.0, 165.0, 200.0, 240.0, 270.0, 280.0, 240.0, 180.0]),
    ("Temperatura del aire", [18.5, 13.5, 10.5, 10.0, 11.0, 13.0, 15.0, 18.5, 22.5, 25.5, 26.0, 23.0]),
    ("Humedad relativa", [68.0, 68.0, 67.0, 65.0, 63.0, 61.0, 60.0, 60.0, 60.0, 60.0, 63.0, 66.0]),
    ("Nubosidad", [0.45, 0.50, 0.50, 0.45, 0.45, 0.45, 0.45, 0.40, 0.25, 0.15, 0.20, 0.35]),
    ("Viento", [2.5, 2.8, 3.0, 3.0, 3.0, 3.2, 3.0, 2.8, 2.6, 2.5, 2.4, 2.4]),
]
# The heat-balance constants of the coefficients file (Stefan-Boltzmann in
# cal/cm2/day/K4, water emissivity, the wind function 19 + 0.95 U^2 in
# cal/cm2/day/mmHg) and the humidity given as relative humidity (0).
HEAT_CONSTANTS = "1.17E-7 0.97 19.0 0.95 2.0"
HUMIDITY_OPTION = "0"


def weather_curves():
    """The weather as the quality data file gives it: per variable of
    WEATHER its base value (the annual mean) and the twelve factors of its
    time curve, as written; the program's series is base x factor."""
    out = []
    for name, months in WEATHER:
        base = "%.4f" % (sum(months) / 12.0)
        out.append((name, base, ["%.6f" % (v / float(base)) for v in months]))
    return out


def weather_series():
    """The monthly values the program builds from weather_curves(), October
    first: {name: [12 values]}."""
    return {name: [float(base) * float(f) for f in factors] for name, base, factors in weather_curves()}


def fmt(v):
    return "%.4f" % v


def write(path, lines):
    with open(path, "w", encoding="latin-1", newline="\n") as f:
        f.write("\n".join(lines))
        f.write("\n")


# The coefficients file (version 1.4 tags): flows in hm3 per month of 30
# days, the heat-balance constants, no balances file.
COEFFICIENTS = [
    "Coeficientes", "", "Unidades", "<UNIDADES>", "1000000.0   30.0", "Error", "<ERROR>", "0.0001",
    "Agua", "<CARACTERISTICASDELAGUA>", "1000.0   4186.0", "Dispersion", "<DISPERSIONEMBALSES>", "0.05   0.5",
    "Conducciones", "<CONDUCCIONES>", "100   0.0   0.0", "Embalses", "<EMBALSES>", "0.05   0.01   2.0",
    "Tectas", "<TECTAS>", "1.024 1.047 1.047 1.083 1.045 1.066 1.080 1.047",
    "Esteq", "<ESTEQUIMETRICOS>", "4.57 1.14 1.6 2.0 0.08 0.015",
    "Unidades", "<UNIDADESESTEQUIOMETRICAS>", "0.23 0.7765 0.2259 1.0 0.3261",
    "OSAT", "<OSAT>", "14.652 0.41022 0.007991", "Termoclina", "<COEFTETERMOCLINA>", "0.8",
    "Semisaturacion", "<CTELIMITACIONNUTRIENTES>", "0.5 0.6 0.02 0.003 0.1",
    "Preferencia", "<FACTORPREFERENCIA>", "0.5 0.5", "Balances", "<OPCIONBALANCES>", "0",
    "Calor", "<CONSTANTESMODTEMPERATURA>", HEAT_CONSTANTS, HUMIDITY_OPTION,
    "Fito", "<FITOENELHIPO>", "1.0", "Sedimentos", "<FLUJOSEDIMENTOSNOANOXIA>", "0",
    "Acumulacion", "<ACUMULACIONRESULTADOSPARCIALES>", "1 1"]

# The run configuration: the file names that make_basin writes.
VEKARCH = [
    "VERSION 1.4", "'red.dat'", "'red.xml'", "'resultados.dat'", "Archivos de calidad", "'calidad.dat'",
    "'aportaciones.dat'", "'coeficientes.dat'", "Archivos de resultados", "'conducciones_parcial.csv'",
    "'embalses_parcial.csv'", "'resultados.xml'", "'graficos.txt'", "Calibracion", "0",
    "'calibracion_conduccion.dat'", "0", "'calibracion_embalse.dat'", "Registro", "'tornal.log'", "Reservado", "0"]


def quality_lines(N, NE, P, full, heat, reach_data, photoperiod="12.0"):
    """The quality data file of N reaches, NE reservoirs and P first-order
    pollutants: light kinetics, or every option on (full) with the
    equilibrium temperature or the heat balance (heat). reach_data holds the
    twelve records of the reach data (INRESCOND to COEFTESHIDR column 6)."""
    curve = lambda n: " ".join(["1"] * n)
    vals = lambda v, n: " ".join([v] * n)
    C = ["'Cuenca sintetica'", "'Cuenca sintetica para medir el programa'", "Opciones"]
    # The time curves: 1 constant, then with the heat balance one per
    # variable of the weather (2 to 6, in the order of WEATHER).
    curves = [("Constante", ["1.00"] * 12)]
    if full and heat:
        C += ["1 %d 1 1 1 2" % P, "'Balance de calor'", "Conducciones"]
        for k, (_, base, _) in enumerate(weather_curves(), 2):
            C += [vals(base, N), vals(str(k), N)]
        if NE:
            C += ["Embalses"]
            for k, (_, base, _) in enumerate(weather_curves(), 2):
                C += [vals(base, NE), vals(str(k), NE)]
            C += [vals("0.5", NE)]  # extinction coefficient of the heat, 1/m
        curves += [(name, factors) for name, _, factors in weather_curves()]
    elif full:
        C += ["1 %d 1 1 1 1" % P, "'Temperatura de equilibrio'", "Conducciones",
              vals("15.0", N), curve(N), vals("30.0", N)]
        if NE:
            C += ["Embalses", vals("15.0", NE), curve(NE), vals("5.0", NE), curve(NE), vals("25.0", NE)]
    else:
        C += ["0 %d 0 0 0 0" % P, "Temperatura como dato", "Conducciones",
              vals("15.0", N), curve(N), vals("30.0", N)]
        if NE:
            C += ["Embalses", vals("15.0", NE), curve(NE), vals("10.0", NE), curve(NE), vals("25.0", NE)]
    if P > 0:
        C += ["Theta", vals("1.07", P)]
        k_cond, k_emb = ("0.5", "0.1") if full else ("0.0", "0.0")
        for k in range(1, P + 1):
            C += ["'Contaminante %02d'" % k, "Conducciones", vals(k_cond, N), vals(k_emb, N)]
            if NE:
                C += ["Embalses", vals(k_cond, NE), vals(k_emb, NE)]
    if full:
        C += ["Cineticas", "1", "2", vals("-1.0", N), vals("0.25", N), vals("0.1", N)]
        C += [vals(v, N) for v in ("0.1", "0.05", "0.3", "0.1")]  # nitrogen
        for v in ("1.5", "0.1", "0.2", "0.1", "0.05", "0.3", "0.5", "300.0"):
            C.append(vals(v, N))
        C += [curve(N), vals(photoperiod, N), curve(N), vals("250.0", N), vals("10.0", N)]
        if NE:
            C += ["Embalses", "1", vals("-1.0", NE), vals("3.0", NE), curve(NE), vals("0.1", NE), vals("0.1", NE)]
            C += [vals(v, NE) for v in ("0.1", "0.05", "0.3", "0.1")]
            for v in ("1.5", "0.1", "0.2", "0.1", "0.05", "0.3", "0.5", "300.0"):
                C.append(vals(v, NE))
            C += [curve(NE), vals("12.0", NE), curve(NE), vals("250.0", NE), vals("10.0", NE)]
    C += ["Datos de las conducciones", "1", "2"] + reach_data
    if NE:
        C += ["Datos de los embalses", "1", vals("1", NE), vals("0", NE), vals("0", NE), vals("0.1", NE), curve(NE),
              vals("40.0", NE), vals("30.0", NE), vals("0.8", NE), curve(NE), vals("0.3", NE), curve(NE),
              vals("8.0", NE), curve(NE)]
    NC = (1 if full else 0) + P + (8 if full else 0)
    C += ["Vertidos difusos", "0", "Nombre y carga", "Flujos de sedimentos", "0", "Embalse y flujo"]
    C += ["'Concentraciones iniciales'", "Acuiferos", "valores"]
    C += ["Embalses epilimnion", "valores"] + [vals("5.0", NC)] * NE
    C += ["Embalses hipolimnion", "valores"] + [vals("4.0", NC)] * NE
    C += ["Depuracion", "Retornos", "valores", "Tomas", "valores"]
    C += ["Indicadores", "0", "Nombre", "Curvas temporales", str(len(curves)), "Nombre y factores"]
    for name, factors in curves:
        C += ["'%s'" % name, " ".join(factors)]
    return C


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("folder")
    ap.add_argument("--reaches", type=int, default=500)
    ap.add_argument("--years", type=int, default=50)
    ap.add_argument("--segments", type=int, default=5)
    ap.add_argument("--pollutants", type=int, default=12)
    ap.add_argument("--reservoir-every", type=int, default=0, help="a reservoir at every node multiple of k (0: none)")
    ap.add_argument("--kinetics", choices=["light", "full"], default="light")
    ap.add_argument("--temperature-model", type=int, choices=[1, 2], default=1,
                    help="with --kinetics full: 1 equilibrium temperature, 2 surface heat balance")
    a = ap.parse_args()
    if a.temperature_model == 2 and a.kinetics != "full":
        ap.error("--temperature-model 2 needs --kinetics full")

    N, Y, S, P = a.reaches, a.years, a.segments, a.pollutants
    full = a.kinetics == "full"
    os.makedirs(a.folder, exist_ok=True)
    out = lambda name: os.path.join(a.folder, name)

    # Nodes 1 .. N+1; reach i goes from node i+1 to node (i+1)//2, so that
    # node 1 is the outlet and the nodes without a reach ending at them are
    # the heads.
    nodes = N + 1
    has_upstream = [False] * (nodes + 2)
    for i in range(1, N + 1):
        has_upstream[(i + 1) // 2] = True
    heads = [n for n in range(1, nodes + 1) if not has_upstream[n]]
    reservoirs = [n for n in range(1, nodes + 1) if a.reservoir_every > 0 and n % a.reservoir_every == 0]
    NAP, NE = len(heads), len(reservoirs)

    # Monthly flows: each inflow varies with the month and its number; a
    # reach carries every inflow upstream of it.
    def qapo(k, t):
        return 1.0 + 0.25 * ((k * 7 + t) % 11)

    months = 12 * Y

    # ---- network data file
    L = ["'Cuenca sintetica'", "%d 1980" % Y, "0 0 0 0 0", "'Sintetica'",
         "%d %d %d 0 0 0 0 %d 0 0 0 0 0 0 0 0" % (nodes, NE, N, NAP)]
    for e, n in enumerate(reservoirs, 1):
        L += ["'Embalse %04d'" % e, "%d %d 1 1" % (n, n), "1", "0.0 0.0 0.0 1 0", "50.0", "40.0",
              " ".join(["100"] * 12), " ".join(["80"] * 12), " ".join(["10"] * 12),
              "500 505 510 515 520 525 530 535 540 545",
              "0.0 0.5 1.2 2.0 2.9 3.9 5.0 6.2 7.5 8.9",
              "0 1 4 9 16 26 40 56 76 100",
              "0.2 0.1 0.05 0.05 0.05 0.1 0.2 0.3 0.5 0.6 0.5 0.3"]
    for i in range(1, N + 1):
        L += ["'Rio %05d' 0.0 0 0" % i, "%d %d 1 0 0.0" % (i + 1, (i + 1) // 2),
              " ".join(["0"] * 13), " ".join(["999"] * 12)]
    for k, n in enumerate(heads, 1):
        L += ["'Aportacion %05d'" % k, "%d %d" % (n, k)]
    write(out("red.dat"), L)
    write(out("red.xml"), ['<?xml version="1.0" encoding="ISO-8859-1"?>', "<KELMAR>", "</KELMAR>"])

    # ---- monthly results of the allocation model (full layout)
    head_of = {n: k for k, n in enumerate(heads, 1)}
    # The inflows upstream of each node, as index lists (children 2n, 2n+1).
    up = [[] for _ in range(nodes + 2)]
    for n in range(nodes, 0, -1):
        if n in head_of:
            up[n].append(head_of[n])
        for c in (2 * n, 2 * n + 1):
            if c <= nodes:
                up[n].extend(up[c])
    with open(out("resultados.dat"), "w", newline="\n") as f:
        for t in range(1, months + 1):
            y, mes = (t - 1) // 12 + 1, (t - 1) % 12 + 1
            q = [qapo(k, t) for k in range(1, NAP + 1)]
            row = [str(y), str(mes), "0"] + [fmt(v) for v in q]
            for blk in range(9):  # reservoir blocks: volumes and flows
                row += [fmt(60.0 + 0.5 * ((e + t + blk) % 9)) for e in range(1, NE + 1)]
            row += [fmt(sum(q[k - 1] for k in up[i + 1])) for i in range(1, N + 1)]
            f.write(" ".join(row) + "\n")

    # ---- quality data file
    reach_data = ["1", "0", "10.0", "%.1f" % (1000.0 * S), "1000.0", "1", "0.035", "15.0", "0.002", "2.0", "500.0",
                  "0.0"]
    NC = (1 if full else 0) + P + (8 if full else 0)
    write(out("calidad.dat"), quality_lines(N, NE, P, full, a.temperature_model == 2,
                                            [" ".join([v] * N) for v in reach_data]))

    # ---- quality of inflows: one block per constituent
    with open(out("aportaciones.dat"), "w", newline="\n") as f:
        f.write("Calidad de las aportaciones\nsintetica\n(todas)\nbloques\n")
        for c in range(1, NC + 1):
            f.write("Constituyente %d\nAno Mes valores\n" % c)
            for t in range(1, months + 1):
                y, mes = 1980 + (t - 1) // 12, (t - 1) % 12 + 1
                row = ["%d %d" % (y, mes)]
                row += ["%.2f" % (1.0 + c + 0.37 * ((k * 3 + t * (c + 1)) % 13)) for k in range(1, NAP + 1)]
                f.write(" ".join(row) + "\n")
            f.write("fin\n")

    # ---- coefficients (version 1.4 tags) and the run configuration
    write(out("coeficientes.dat"), COEFFICIENTS)
    write(out("VekArch.cal"), VEKARCH)

if __name__ == "__main__":
    main()
