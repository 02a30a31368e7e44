"""Basins that the mutation driver starts from.

The example basin of examples/ as it stands (its input files only), and
generated basins whose network has an element of every kind (a reservoir,
reaches of the five types, a demand with its intake, a return, a hydro plant,
a recharge, an inflow, an aquifer and a pumping element), in three variants
that together take every option of the quality data: the temperature as
data, the equilibrium temperature and the surface heat balance, first-order
pollutants, oxygen, nitrogen and phytoplankton, indicators, balances,
calibration of a reach (both modes) and of a reservoir, the optional files
(loop cuts, advanced options with all four sections, risk levels and
compliance criteria) and both layouts of the coefficients file.

Each basin is a dict: file name -> bytes (Latin-1 text).
"""

import os

import work

EOL = "\n"


def _bytes(lines, eol=EOL):
    return (eol.join(lines) + eol).encode("latin-1")


def example_basin(examples_dir):
    """The input files of the example basin: VekArch.cal, the files it names
    as inputs and the optional files with fixed names that are present."""
    folder = os.path.join(examples_dir, "basin")
    with open(os.path.join(folder, "VekArch.cal"), "rb") as f:
        vek = f.read()
    records = vek.decode("latin-1").splitlines()
    names = {"VekArch.cal", "bucle.avz", "tornal.avz", "NivelesRQ.dat", "Criterios.txt"}
    for r in (2, 3, 4, 6, 7, 8, 16, 18):
        if r <= len(records):
            names.add(records[r - 1].strip().strip("'\""))
    files = {}
    for name in sorted(names):
        path = os.path.join(folder, name)
        if name and os.path.isfile(path):
            with open(path, "rb") as f:
                files[name] = f.read()
    return files


# The generated network: nodes 1 to 7.
#   inflow -> 1 -T1 Alto-> 2 (reservoir) -T1 Medio-> 3 -T2-> 4 -T3-> 5 -T4-> 6 -T5-> 7
#   plant 2 -> 3 with the reservoir; intake at 3 returning to node 5;
#   recharge at 6; pumping from the aquifer into 6.
NC = 6  # reaches
NE = 1  # reservoirs
NY = 2  # years


def _row(n, v):
    return " ".join([v] * n)


def red_dat():
    L = []
    L += ["'Cuenca generada con todos los elementos'", "%d 2000" % NY, "0 0 0 0 0", "'Generada'"]
    # nodes, reservoirs, T1..T5, inflows, demands, plants, recharges, aquifers, pumping, returns
    L += ["7 1 2 1 1 1 1 1 1 1 1 1 1 1 0 0"]
    L += ["'Embalse Generado'", "2 3 1 1", "1", "0.0 0.0 0.0 1 0", "50.0", "40.0",
          _row(12, "100"), _row(12, "80"), _row(12, "10"),
          "500 505 510 515 520 525 530 535 540 545",
          "0.0 0.5 1.2 2.0 2.9 3.9 5.0 6.2 7.5 8.9",
          "0 1 4 9 16 26 40 56 76 100",
          "0.2 0.1 0.05 0.05 0.05 0.1 0.2 0.3 0.5 0.6 0.5 0.3"]
    for name, a, b in (("Rio Alto", 1, 2), ("Rio Medio", 2, 3)):
        L += ["'%s' 0.0 0 0" % name, "%d %d 1 0 0.0" % (a, b), _row(13, "0"), _row(12, "999")]
    L += ["'Canal'", "3 4 1", _row(13, "0"), _row(12, "999"), "1 0 0.1 0 0"]
    L += ["'Tramo del Acuifero'", "4 5 1", _row(13, "0"), _row(12, "999"), "1 0 0"]
    L += ["'Trasvase' 99.5", "5 6 1 0 0.0", _row(13, "0"), _row(12, "999"), "100.5 90.5", "texto", "'otro' 1 2",
          "3.5"]
    L += ["'Salto'", "6 7", "80.5 70.5", "texto", "1", "x/y"]
    L += ["'Regadio'", "0.2 0.1 0.1 0.1 0.1 0.3 0.6 1.0 1.5 2.0 1.8 0.8", "0 0 0 0 0.0 0.0", "90 80 70 60 50",
          "1", "'Toma del Regadio'", "3 0.0", "8.6 0.6 0.4", "1 0 0", "1", _row(12, "1")]
    L += ["'Retorno del Regadio'", "5"]
    L += ["'Central Pie de Presa'", "2 3 0.0 30.0 1", _row(12, "2"), "1 45.0 0.8", "498.0"]
    L += ["'Recarga'", "6 1 0 3.5"]
    L += ["'Aportacion Alta'", "1 4"]
    L += ["'Acuifero del Llano'", "8"]
    L += ["'Bombeo'", "1 0 0 0.5 1.5 6 4 9.5"]
    return _bytes(L)


def red_xml():
    return _bytes(['<?xml version="1.0" encoding="ISO-8859-1"?>', "<KELMAR>", "  <NACU>", "    1", "  </NACU>",
                   "  <NPCS>", "    0", "  </NPCS>", "</KELMAR>"])


def resultados_dat():
    """Full layout: 3 values, then inflow, 8 reservoir blocks, T1 (2), T2 and
    its loss, T3 and its exchange, T4 and its maximum, T5, demand blocks,
    intake, return, 3 plant blocks, pumping, recharge, then plant, 2 x
    aquifer and the control parcels (none)."""
    rows = []
    for y in range(1, NY + 1):
        for mes in range(1, 13):
            q = 5.0 + 3.0 * ((mes + y) % 4)
            v = [1, mes, 0, q]
            v += [q, 0.0, 50.5 - 0.1 * mes, 522.7, q - 0.5, 0.0, 0.02, 0.05]
            v += [q, q - 0.5]                    # T1
            v += [q + 1.0, 0.1 * q]              # T2 and loss
            v += [0.9 * q, -0.2 if mes % 2 else 0.3]  # T3 and exchange
            v += [0.8 * q, 100.0]                # T4 and maximum
            v += [0.7 * q]                       # T5
            v += [0.2, 0.2, 0.0, 0.0, 0.2]       # demand blocks, intake
            v += [0.12]                          # return
            v += [2.0, 2.0, 45.0]                # plant
            v += [0.5]                           # pumping
            v += [0.3]                           # recharge
            v += [0.0, 0.0, 0.0]
            rows.append(" ".join("%.4f" % x if isinstance(x, float) else str(x) for x in v))
    return _bytes(rows)


def _options(v):
    return {
        # version, OT, N1, OO, ON, OF, MT, coefficient layout, risk run
        "A": dict(version="1.4", OT=1, N1=2, OO=1, ON=1, OF=1, MT=2, tagged=True),
        "B": dict(version="1.1", OT=0, N1=1, OO=1, ON=1, OF=1, MT=0, tagged=False),
        "C": dict(version="1.0", OT=1, N1=0, OO=1, ON=1, OF=0, MT=1, tagged=False),
    }[v]


def constituents(o):
    return o["OT"] + o["N1"] + 2 * o["OO"] + 3 * (o["ON"] + o["OF"])


def _vals(n, base, step):
    return " ".join("%g" % (base + step * k) for k in range(1, n + 1))


# The value of every kinetic constant (and curve number) of the generated
# basins, by its array: the kinetic section is laid out in the order of the
# program's table (work.py, kinetic_section.txt), so that a constant more
# stops the driver here until it is given a value.
KINETIC_VALUES = {
    "KACOND": "-1.0", "KDCOND": "0.25", "VSLCOND": "0.1", "KNOACOND": "0.1", "VSNOCOND": "0.05",
    "KNAICOND": "0.2", "KNO3COND": "0.1", "KMAXGROWCOND": "2.0", "KRESPCOND": "0.1", "VSALGCOND": "0.2",
    "KFOSFCOND": "0.1", "VSFOSFCOND": "0.05", "KFOSFACOND": "0.05", "KECOND": "0.5", "IOCON": "300.0",
    "CURVAIOCON": "2", "FLUMCON": "0.5", "CURVAFLUMCON": "1", "ISATCOND": "250.0", "ALFAFITOCOND": "0.01",
    "KAEMB": "-1.0", "UWEM": "3.0", "CURVAUWEM": "1", "KDEMB": "0.1", "VSLEMB": "0.15", "KNOAEMB": "0.1",
    "VSNOEMB": "0.05", "KNAIEMB": "0.2", "KNO3EMB": "0.1", "KMAXGROWEMB": "1.8", "KRESPEMB": "0.1",
    "VSALGEMB": "0.2", "KFOSFEMB": "0.1", "VSFOSFEMB": "0.05", "KFOSFAEMB": "0.05", "KEEMB": "0.4",
    "IOEM": "300.0", "CURVAIOEM": "2", "FLUMEM": "0.5", "CURVAFLUMEM": "1", "ISATEMB": "250.0",
    "ALFAFITOEMB": "0.02",
}


def calidad_dat(o):
    n = constituents(o)
    L = ["'Cuenca generada'", "'Todas las opciones'", "Opciones"]
    opts = "%d %d %d %d %d" % (o["OT"], o["N1"], o["OO"], o["ON"], o["OF"])
    if o["version"] != "1.0":
        opts += " %d" % o["MT"]
    L.append(opts)
    mt = 1 if o["version"] == "1.0" else o["MT"]
    if o["OT"] == 0:
        L += ["Temperatura dada", "Conducciones", _row(NC, "15.0"), _row(NC, "2"), _row(NC, "30.0"),
              "Embalses", "15.0", "2", "9.0", "1", "25.0"]
    elif o["OT"] == 1:
        L.append("'Temperatura'")
        if mt == 1:
            L += ["Conducciones", _row(NC, "15.0"), _row(NC, "2"), _row(NC, "30.0"),
                  "Embalses", "15.0", "2", "5.0", "1", "25.0"]
        elif mt == 2:
            L += ["Balance de calor: conducciones"]
            for v, c in (("250.0", "2"), ("15.0", "2"), ("60.0", "1"), ("0.4", "1"), ("2.0", "1")):
                L += [_row(NC, v), _row(NC, c)]
            L += ["Balance de calor: embalses"]
            for v, c in (("250.0", "2"), ("15.0", "2"), ("60.0", "1"), ("0.4", "1"), ("2.0", "1")):
                L += [v, c]
            L += ["0.5"]
    if o["N1"] > 0:
        L += ["Primer orden", _vals(o["N1"], 1.05, 0.01)]
        for k in range(1, o["N1"] + 1):
            L += ["'Contaminante %d'" % k, "Conducciones", _row(NC, "0.8"), _row(NC, "%g" % (0.05 * k)),
                  "Embalses", "0.5", "%g" % (0.1 * k)]
    if o["OO"] == 1:
        groups = work.kinetic_groups(o["OO"], o["ON"], o["OF"])
        L += ["Cineticas", "de las", "conducciones"]
        L += [_row(NC, KINETIC_VALUES[name]) for name, _ in work.kinetic_records(groups, 1)]
        L += ["Cineticas", "de los embalses"]
        L += [KINETIC_VALUES[name] for name, _ in work.kinetic_records(groups, 2)]
    L += ["Datos", "de las", "conducciones", _row(NC, "1"), "1 0 0 0 0 0", _row(NC, "10.0"),
          "12000.0 8500.0 15000.0 6000.0 5000.0 4000.0", _row(NC, "500.0"), "1 1 1 2 1 2",
          "0.035 0.035 0.04 0.25 0.035 0.25", "15.0 20.0 25.0 0.4 15.0 0.4", "0.002 0.0015 0.001 0.3 0.002 0.3",
          "2.0 2.0 2.5 0.45 2.0 0.45", _row(NC, "500.0"), _row(NC, "0.0")]
    L += ["Datos", "de los embalses", "1", "1", "1", "0.1", "1", "40.0", "30.0", "0.8", "1", "0.3", "1", "8.0",
          "3"]
    L += ["Vertidos difusos", "1", "Nombre", "'Escorrentia'", "3 " + _vals(n, 1000.0, 100.0)]
    L += ["Sedimentos", "1", "Embalse", "1 " + _vals(n, -0.5, 0.05)]
    L += ["'Concentraciones iniciales'", "Acuiferos", "valores", _vals(n, 1.0, 0.5),
          "Embalses", "valores", _vals(n, 2.0, 0.5), "Hipolimnion", "valores", _vals(n, 3.0, 0.5),
          "Depuracion", "Retornos", "valores", "-1 " + _vals(n - 1, 10.0, 1.0),
          "Tomas", "valores", _row(n - 1, "-1") + " 7.5"]
    L += ["Indicadores", "1", "Nombre", "'Indicador'", "1 2 1", _vals(n, 1.0, 1.0)]
    L += ["Curvas temporales", "3", "Nombre y factores", "'Constante'", _row(12, "1.00"), "'Estacional'",
          "0.85 0.60 0.45 0.40 0.45 0.60 0.75 0.95 1.15 1.30 1.30 1.10", "'Termoclina'",
          "0.90 0.40 0.00 0.00 0.00 0.00 0.30 0.60 0.90 1.10 1.20 1.10"]
    return _bytes(L)


def aportaciones_dat(o):
    L = ["Calidad de las aportaciones", "Cabecera", "Cabecera", "(Aportacion Alta)"]
    for k in range(1, constituents(o) + 1):
        L += ["Constituyente %d" % k, "Anyo Mes"]
        for y in range(1, NY + 1):
            for mes in range(1, 13):
                L.append("%d %d %g" % (1999 + y, mes, 10.0 * k + 0.1 * mes + 0.05 * (y - 1)))
        L.append("Fin")
    return _bytes(L)


_COEF = [
    ("<UNIDADES>", "1000000.0 30.0"), ("<ERROR>", "0.0001"), ("<CARACTERISTICASDELAGUA>", "1000.0 4186.0"),
    ("<DISPERSIONEMBALSES>", "0.05 0.5"), ("<CONDUCCIONES>", "100 0.0 0.0"), ("<EMBALSES>", "0.05 0.01 2.0"),
    ("<TECTAS>", "1.024 1.047 1.047 1.083 1.045 1.066 1.080 1.047"),
    ("<ESTEQUIMETRICOS>", "4.57 1.14 1.6 2.0 0.08 0.015"),
    ("<UNIDADESESTEQUIOMETRICAS>", "0.23 0.7765 0.2259 1.0 0.3261"), ("<OSAT>", "14.652 0.41022 0.007991"),
    ("<COEFTETERMOCLINA>", "0.8"), ("<CTELIMITACIONNUTRIENTES>", "0.5 0.6 0.02 0.003 0.1"),
    ("<FACTORPREFERENCIA>", "0.6 0.4"), ("<OPCIONBALANCES>", "1"),
]
_COEF_TAIL = [("<FITOENELHIPO>", "0.7"), ("<FLUJOSEDIMENTOSNOANOXIA>", "1")]


def coeficientes_dat(o):
    if o["tagged"]:
        L = ["Coeficientes"]
        for tag, v in _COEF:
            L += ["Cabecera", tag, v]
        L += ["Cabecera", "<CONSTANTESMODTEMPERATURA>", "1.17E-7 0.97 19.0 0.95 2.0", "0"]
        for tag, v in _COEF_TAIL:
            L += ["Cabecera", tag, v]
        L += ["Cabecera", "<ACUMULACIONRESULTADOSPARCIALES>", "1 1"]
        return _bytes(L)
    # Fixed layout: two headings before the units and before the reaches, one
    # before every other group, the humidity option with a heading of its own.
    L = ["Coeficientes"]
    for tag, v in _COEF:
        L.append("Cabecera " + tag)
        if tag == "<CONDUCCIONES>":
            L.append("Cabecera")
        L.append(v)
    L += ["Cabecera", "1.17E-7 0.97 19.0 0.95 2.0", "Cabecera", "1"]
    for tag, v in _COEF_TAIL:
        L += ["Cabecera " + tag, v]
    return _bytes(L)


def calibracion_conduccion(o, con_caudal):
    n = constituents(o)
    L = ["2"]
    for y in range(1, NY + 1):
        for mes in range(1, 13):
            L.append(("%g " % (5.0 + mes) if con_caudal else "") + _vals(n, 1.0, 0.5))
    return _bytes(L)


def calibracion_embalse(o):
    n = constituents(o)
    L = ["1"]
    for y in range(1, NY + 1):
        for mes in range(1, 13):
            L.append("50.0 4.0 0.02 0.05 0.0 " + _vals(n, 2.0, 0.5))
    return _bytes(L)


def tornal_avz(o):
    n = constituents(o)
    meses = 12 * NY
    L = ["Opciones avanzadas", "<CURVAS_TEMPORALES>"]
    L += [" ".join("%.2f" % (1.0 + 0.01 * ((t + c) % 5)) for c in range(3)) for t in range(meses)]
    L += ["<CONTDIF_TEMPORAL>", "1", "3"] + [_vals(n, 1000.0, 10.0) for _ in range(meses)]
    L += ["<SED_EMB_TEMPORAL>", "1", "1"] + [_vals(n, -0.5, 0.01) for _ in range(meses)]
    # Reach constants of codes 2 (organic decay) and 1 (reaeration); one
    # reservoir constant of code 3.
    L += ["<CTES_TEMPORALES>", "2 1", "1 2", "2 1"] + ["0.3 -1.0" for _ in range(meses)]
    L += ["1", "3"] + ["0.12" for _ in range(meses)]
    return _bytes(L)


def bucle_avz():
    # The plant closes no loop here: it is listed, as a basin with a loop would.
    return _bytes(["Cortes de bucles", "<CENTRALES_CONTAMINADOS>", "1", "1", "<CONDUCCIONEST5_CONTAMINADAS>", "0"])


def niveles_rq(o):
    L = ["Niveles de riesgo", str(constituents(o))]
    for k in range(1, constituents(o) + 1):
        L += ["'Constituyente %d'" % k, "3", "%g" % (10.0 * k), "%g" % (20.0 * k), "----"]
    return _bytes(L)


def criterios_txt(o):
    n = constituents(o)
    L = ["Criterios", "Constituyente y meses", "()"]
    L += ["%d 2 2 3" % k for k in range(1, n + 1)]
    L += ["Umbrales", "()"]
    L += ["%d 1000.0 0.0" % k for k in range(1, n + 1)]
    L += ["Sequias", "1", "20 22"]
    return _bytes(L)


def vekarch(o, calib_cond, calib_emb):
    return _bytes([
        "VERSION %s" % o["version"], "'red.dat'", "'red.xml'", "'resultados.dat'", "Archivos de calidad",
        "'calidad.dat'", "'aportaciones.dat'", "'coeficientes.dat'", "Archivos de resultados",
        "'conducciones_parcial.csv'", "'embalses_parcial.csv'", "'resultados.xml'", "'graficos.txt'",
        "Calibracion", str(calib_cond), "'calibracion_conduccion.dat'", str(calib_emb), "'calibracion_embalse.dat'",
        "Registro", "'tornal.log'", "Reservado", "0"])


def generated_basin(variant):
    """Variant A: version 1.4, tagged coefficients, heat balance, two
    pollutants, every kinetic option, reach calibration with flow, reservoir
    calibration, all optional files but the risk levels. Variant B: version
    1.1, fixed coefficients, temperature as data, risk run with the risk
    levels, reach calibration of concentrations only. Variant C: version 1.0
    (five options), equilibrium temperature, oxygen and nitrogen."""
    o = _options(variant)
    files = {
        "red.dat": red_dat(), "red.xml": red_xml(), "resultados.dat": resultados_dat(),
        "calidad.dat": calidad_dat(o), "aportaciones.dat": aportaciones_dat(o),
        "coeficientes.dat": coeficientes_dat(o),
    }
    if variant == "A":
        files["VekArch.cal"] = vekarch(o, 1, 1)
        files["calibracion_conduccion.dat"] = calibracion_conduccion(o, True)
        files["calibracion_embalse.dat"] = calibracion_embalse(o)
        files["tornal.avz"] = tornal_avz(o)
        files["bucle.avz"] = bucle_avz()
        files["Criterios.txt"] = criterios_txt(o)
    elif variant == "B":
        files["VekArch.cal"] = vekarch(o, 2, 0)
        files["calibracion_conduccion.dat"] = calibracion_conduccion(o, False)
        files["NivelesRQ.dat"] = niveles_rq(o)
        files["tornal.avz"] = tornal_avz(o)
    else:
        files["VekArch.cal"] = vekarch(o, 0, 0)
        files["Criterios.txt"] = criterios_txt(o)
    return files


def all_basins(examples_dir):
    basins = {"example": example_basin(examples_dir)}
    for v in "ABC":
        basins["generated-" + v] = generated_basin(v)
    return basins
