"""What the input files of a run ask the program to compute, at least.

The mutation driver's judge asks this of a run that its limit cut: a run
whose input asks for more work than the limit allows is long because of its
input, not hung, whatever the optimised build's run of it did (which may
not have ended either). The work is read from the input files as the
program reads them (the free-format records of the run configuration, the
network data file and the quality data file, in their order; the kinetic
section of the last by the layout of kinetic_section.txt), and counted in
units whose least cost on the sanitizer build was measured:

  a segment-month of a reach, per constituent: the steady solve of every
      segment of every modelled reach (report flag neither -1 nor 2) in
      every month, NUMSEGMENTOS = INT(LCOND / INCRX) (1 for a reach shorter
      than one step);
  a sub-step-month of a reservoir, per constituent: INT(INCRETIEM) sub-steps
      of every reservoir in every month;
  a row of the partial results of a reservoir (INRESPAREMB 1), per
      constituent: one every ACUMULACIONRESULTADOSPARCIALES(2) sub-steps, and
      one of "balances.csv" every sub-step when the coefficients file switches
      the balances on;
  a number of a row of the partial results of a reach (a modelled reach
      whose INRESPARCOND is 1, in a run without "NivelesRQ.dat", which counts
      risk levels instead): a row every ACUMULACIONRESULTADOSPARCIALES(1)
      segments below the last one in every month, INT((NUMSEGMENTOS - 1) /
      ACUMULACIONRESULTADOSPARCIALES(1)) (none when it is below 1), each of
      five numbers of flow and hydraulics (seven with the oxygen model's Ka
      and Osat) and one per constituent. A month in which the reach is dry
      writes none; its flows are in the results of the allocation model,
      which this reader does not read, so that such rows are counted too.

Work that no input file tells (reservoir months integrated again with finer
sub-steps, a reach's growth path, oxygen passes) is not counted: the least
work is a bound from below, and the time of the same input's run of the
optimised build tells the rest (fuzz.py).

Files that the program would refuse, or that this reader cannot follow, ask
for nothing that can be told: work() gives None for them.
"""

import os
import re

INTEGER = re.compile(r"[-+]?\d+\Z")
REAL = re.compile(r"[-+]?(?:\d+\.?\d*|\.\d+)(?:[EeDdQq][-+]?\d+|[-+]\d+)?\Z")

# The least cost of a unit of work, in seconds, on the sanitizer build: half
# the cost measured on the example basin with 100 times its segments, and
# with 100 times its sub-steps with and without its partial and balance
# files.
COST_SEGMENT_MONTH = 0.17e-6
COST_SUBSTEP_MONTH = 0.3e-6
COST_PARTIAL_ROW = 2e-6
COST_BALANCE_ROW = 6e-6
# A number of a row of the partial results of a reach: half the least cost
# measured on the sanitizer build that .ci/run makes (a Debug build), as the
# time of the process (user and system) of a run with the rows less that of
# the same run without them (INRESPARCOND 0), with 49,999 rows a month in 24
# months: a reach of the example basin (17 numbers a row) and the first reach
# of the generated basins A and C (18 and 13) cut into 50,000 segments took
# 1.7e-6 to 2.3e-6 s a number.
COST_REACH_PARTIAL_NUMBER = 0.8e-6
# The numbers of a row of the partial results of a reach besides its
# concentrations, without and with the oxygen model.
REACH_PARTIAL_COLUMNS = 5
REACH_PARTIAL_OXYGEN_COLUMNS = 2
# The most segments of a reach and sub-steps of a reservoir month: beyond
# them the program refuses the data.
MAX_SEGMENTS = 1.0e6
MAX_SUBSTEPS = 100000.0


class Refused(Exception):
    """A record that the program would not read (its read error or an end of
    file where the record should stand)."""


class EndOfFile(Refused):
    """The end of the file where a record should stand."""


class Records:
    """A file read by free-format statements as the program reads it: each
    statement starts on a new line and takes its items across as many lines
    as it needs; blanks, tabs and commas separate items, a slash ends the
    statement, quoted texts are read whole, r*v repeats a value; the rest of
    the last line is passed over; a statement without items (a heading)
    passes over one line."""

    def __init__(self, data):
        text = data.decode("latin-1")
        lines = text.split("\n")
        if lines and lines[-1] == "":
            lines.pop()
        self.lines = [l[:-1] if l.endswith("\r") else l for l in lines]
        self.next = 0

    def heading(self, count=1):
        for _ in range(count):
            if self.next >= len(self.lines):
                raise EndOfFile()
            self.next += 1

    def read(self, kinds):
        """The items of one statement, by kind: 'i' integer, 'r' real, 't'
        text; None for an item that a slash or a null item leaves unread."""
        if not kinds:
            self.heading()
            return []
        state = {"line": self.next, "col": 0, "comma": False, "slash": False, "repeat": 0, "token": None}
        values = []
        for kind in kinds:
            token = self._token(state)
            if token is _SLASH:
                values += [None] * (len(kinds) - len(values))
                break
            values.append(None if token is None else _value(kind, token))
        self.next = state["line"] + 1
        return values

    def _token(self, s):
        """The next item: its text, None for a null item, _SLASH at a slash."""
        if s["slash"]:
            return _SLASH
        if s["repeat"] > 0:
            s["repeat"] -= 1
            return s["token"]
        while True:
            if s["line"] >= len(self.lines):
                raise EndOfFile()
            line = self.lines[s["line"]]
            while s["col"] < len(line) and line[s["col"]] in " \t":
                s["col"] += 1
            if s["col"] >= len(line):
                s["line"] += 1
                s["col"] = 0
                continue
            c = line[s["col"]]
            if c == ",":
                s["col"] += 1
                if s["comma"]:
                    s["comma"] = False
                    continue
                return None
            if c == "/":
                s["slash"] = True
                return _SLASH
            if c in "'\"":
                text = self._quoted(s)
                self._after(s, True)
                return ("q", text)
            start = s["col"]
            while s["col"] < len(line) and line[s["col"]] not in " \t,/":
                s["col"] += 1
            word = line[start:s["col"]]
            star = word.find("*")
            if star > 0 and word[:star].isdigit():
                count = int(word[:star][:9]) if star <= 9 else 0
                if count <= 0:
                    raise Refused("repeat count")
                rest = word[star + 1:]
                value = None if rest == "" else ("w", rest)
                if rest[:1] in ("'", '"'):
                    s["col"] = start + star + 1
                    value = ("q", self._quoted(s))
                    self._after(s, True)
                else:
                    self._after(s, False)
                s["repeat"] = count - 1
                s["token"] = value
                return value
            self._after(s, False)
            return ("w", word)

    def _quoted(self, s):
        quote = self.lines[s["line"]][s["col"]]
        s["col"] += 1
        out = []
        while True:
            line = self.lines[s["line"]]
            while s["col"] < len(line):
                c = line[s["col"]]
                s["col"] += 1
                if c == quote:
                    if s["col"] < len(line) and line[s["col"]] == quote:
                        out.append(quote)
                        s["col"] += 1
                        continue
                    return "".join(out)
                out.append(c)
            s["line"] += 1
            s["col"] = 0
            if s["line"] >= len(self.lines):
                raise EndOfFile()

    def _after(self, s, quoted):
        line = self.lines[s["line"]]
        if quoted and s["col"] < len(line) and line[s["col"]] not in " \t,/":
            raise Refused("text after a quote")
        while s["col"] < len(line) and line[s["col"]] in " \t":
            s["col"] += 1
        s["comma"] = True
        if s["col"] < len(line) and line[s["col"]] == ",":
            s["col"] += 1
            s["comma"] = False


_SLASH = object()


def _value(kind, token):
    quoted, text = token
    if kind == "t":
        return text
    if quoted == "q":
        raise Refused("quoted number")
    if kind == "i":
        if not INTEGER.match(text) or not -2 ** 31 <= int(text) < 2 ** 31:
            raise Refused("integer")
        return int(text)
    if not REAL.match(text):
        raise Refused("real")
    spelled = re.sub(r"[DdQq]", "e", text)
    if "e" not in spelled.lower():
        spelled = re.sub(r"(?<=[\d.])([-+])(?=\d+\Z)", r"e\1", spelled)
    try:
        v = float(spelled)
    except OverflowError:
        raise Refused("real beyond double")
    if v in (float("inf"), float("-inf")):
        raise Refused("real beyond double")
    return v


def _or0(v):
    return 0 if v is None else v


class _Basin:
    """The counts and data of a basin that its work depends on."""

    def __init__(self, files):
        self.files = files

    def configuration(self):
        r = Records(self.files["VekArch.cal"])
        try:
            label = r.read("tr")
            version = 1.0 if label[1] is None else label[1]
        except Refused:
            version = 1.0
        paths = {}
        for record in range(2, 23):
            if record in (5, 9, 14, 19, 21):
                r.heading()
            elif record in (15, 17, 22):
                r.read("i")
            else:
                paths[record] = (r.read("t")[0] or "").strip()
        self.version = int(version * 10.0 + 1e-6)
        return paths

    def network(self, data):
        r = Records(data)
        r.read("t")
        years = _or0(r.read("ii")[0])
        r.read("iiiii")
        r.read("t")
        counts = [_or0(v) for v in r.read("i" * 16)]
        if years < 0 or min(counts[:14]) < 0:
            raise Refused("negative count")
        self.years = years
        self.reservoirs = counts[1]
        self.reaches = sum(counts[2:7])

    def quality(self, data):
        r = Records(data)
        nc, ne = self.reaches, self.reservoirs
        r.read("t")
        r.read("t")
        r.heading()
        opts = [_or0(v) for v in r.read("iiiii" if self.version == 10 else "iiiiii")]
        OT, N1, OO, ON, OF = opts[:5]
        MT = 1 if self.version == 10 else opts[5]
        self.constituents = OT + N1 + 2 * OO + 3 * (ON + OF)
        self.oxygen = OO == 1

        def values(kind, n, count=1):
            for _ in range(count):
                r.read(kind * n)

        if OT == 0:
            r.heading(2)
            values("r", nc), values("i", nc), values("r", nc)
            if ne > 0:
                r.heading()
                values("r", ne), values("i", ne), values("r", ne), values("i", ne), values("r", ne)
        elif OT == 1:
            r.read("t")
            if MT == 1:
                r.heading()
                values("r", nc), values("i", nc), values("r", nc)
                if ne > 0:
                    r.heading()
                    values("r", ne), values("i", ne), values("r", ne), values("i", ne), values("r", ne)
            elif MT == 2:
                r.heading()
                for _ in range(5):
                    values("r", nc), values("i", nc)
                if ne > 0:
                    r.heading()
                    for _ in range(5):
                        values("r", ne), values("i", ne)
                    values("r", ne)
        if N1 > 0:
            r.heading()
            values("r", N1)
            for _ in range(N1):
                r.read("t")
                r.heading()
                values("r", nc, 2)
                if ne > 0:
                    r.heading()
                    values("r", ne, 2)
        if OO == 1:
            groups = kinetic_groups(OO, ON, OF)
            r.heading(3)
            for _, kind in kinetic_records(groups, 1):
                values(kind, nc)
            if ne > 0:
                r.heading(2)
                for _, kind in kinetic_records(groups, 2):
                    values(kind, ne)
        r.heading(3)
        inrescond = [_or0(v) for v in r.read("i" * nc)]
        inresparcond = [_or0(v) for v in r.read("i" * nc)]
        r.read("r" * nc)
        lcond = [_or0(v) for v in r.read("r" * nc)]
        incrx = [_or0(v) for v in r.read("r" * nc)]
        self.segments, self.reach_partial = [], []
        for i in range(nc):
            if inrescond[i] in (-1, 2):
                continue
            ratio = lcond[i] / incrx[i] if incrx[i] > 0 else 0.0
            if ratio > MAX_SEGMENTS:
                raise Refused("too many segments")
            self.segments.append(int(ratio) if ratio >= 1.0 else 1)
            self.reach_partial.append(inresparcond[i] == 1)
        values("i", nc), values("r", nc, 6)
        self.substeps, self.partial = [], []
        if ne > 0:
            r.heading(2)
            values("i", ne, 2)
            self.partial = [_or0(v) == 1 for v in r.read("i" * ne)]
            values("r", ne), values("i", ne), values("r", ne)
            for v in r.read("r" * ne):
                v = _or0(v)
                if not 1.0 <= v <= MAX_SUBSTEPS:
                    raise Refused("sub-steps")
                self.substeps.append(int(v))


    def coefficients(self, data):
        """The balances option and the steps of the partial rows of reaches
        and of reservoirs, as the program reads them (defaults 0, 1 and
        1)."""
        r = Records(data)
        self.balances, self.reach_step, self.step = 0, 1, 1
        if self.version <= 11:
            try:
                for kinds in FIXED_COEFFICIENTS:
                    r.read(kinds)
                r.heading()
                self.balances = _or0(r.read("i")[0])
            except EndOfFile:
                pass
            return
        while True:
            try:
                word = r.read("t")[0]
            except EndOfFile:
                return
            kinds = TAGGED_COEFFICIENTS.get((word or "")[:255].rstrip())
            if kinds is None:
                continue
            try:
                got = [r.read(k) for k in kinds]
            except EndOfFile:
                return
            if word == "<OPCIONBALANCES>":
                self.balances = got[0][0] if got[0][0] is not None else 0
            elif word == "<ACUMULACIONRESULTADOSPARCIALES>":
                self.reach_step = got[0][0] if got[0][0] is not None else 1
                self.step = got[0][1] if got[0][1] is not None else 1


# The option groups of the kinetic constants (GrupoCinetico): the whole
# section with the oxygen option, the nitrogen and phytoplankton groups with
# their own option too.
KINETIC_GROUPS = ("OXIGENO", "NITROGENO", "FITOPLANCTON")


def _kinetic_section():
    """The lines of kinetic_section.txt: (group, reach record, reservoir
    record) of every kinetic constant in the order of the file."""
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "kinetic_section.txt")
    with open(path, encoding="latin-1") as f:
        rows = [line.split() for line in f if line.strip() and not line.startswith("#")]
    if not rows or any(len(row) != 3 or row[0] not in KINETIC_GROUPS for row in rows):
        raise ValueError("kinetic_section.txt: a line is not one of the groups that the options select "
                         "(work.py: the kinetic section) and two records")
    return rows


# The kinetic section of the quality data file, from the program's table of
# kinetic constants (CONSTANTESCINETICAS) through kinetic_section.txt, which
# a test of the program holds equal to it.
KINETIC_SECTION = _kinetic_section()


def kinetic_groups(OO, ON, OF):
    """The option groups of the kinetic constants in a file of options
    OPCIONOXIGENO OO, OPCIONNITROGENO ON and OPCIONFITOPLANCTON OF."""
    if OO != 1:
        return set()
    return {"OXIGENO"} | ({"NITROGENO"} if ON == 1 else set()) | ({"FITOPLANCTON"} if OF == 1 else set())


def kinetic_records(groups, side):
    """The records of a block of the kinetic section, each of one value per
    element: the reaches' block (side 1) or the reservoirs' (side 2), of the
    option groups given; (name of the array, 'r' for a value or 'i' for
    curve numbers) each."""
    records = []
    for row in KINETIC_SECTION:
        if row[0] in groups and row[side] != "-":
            value, _, curve = row[side].partition("+")
            records += [(value, "r")] + ([(curve, "i")] if curve else [])
    return records


# The value records of the coefficients file: the tagged sections and the
# fixed layout up to the record before the balances option.
TAGGED_COEFFICIENTS = {
    "<UNIDADES>": ["rr"], "<ERROR>": ["r"], "<CARACTERISTICASDELAGUA>": ["rr"], "<DISPERSIONEMBALSES>": ["rr"],
    "<CONDUCCIONES>": ["rrr"], "<EMBALSES>": ["rrr"], "<TECTAS>": ["r" * 8], "<ESTEQUIMETRICOS>": ["r" * 6],
    "<UNIDADESESTEQUIOMETRICAS>": ["r" * 5], "<OSAT>": ["rrr"], "<COEFTETERMOCLINA>": ["r"],
    "<CTELIMITACIONNUTRIENTES>": ["r" * 5], "<FACTORPREFERENCIA>": ["rr"], "<OPCIONBALANCES>": ["i"],
    "<CONSTANTESMODTEMPERATURA>": ["r" * 5, "i"], "<FITOENELHIPO>": ["r"], "<FLUJOSEDIMENTOSNOANOXIA>": ["i"],
    "<ACUMULACIONRESULTADOSPARCIALES>": ["ii"],
}
FIXED_COEFFICIENTS = ["", "", "rr", "", "r", "", "rr", "", "rr", "", "", "rrr", "", "rrr", "", "r" * 8, "",
                      "r" * 6, "", "r" * 5, "", "rrr", "", "r", "", "r" * 5, "", "rr"]


def work(files):
    """The least time, in seconds on the sanitizer build, that the input of
    a run asks for; None when it cannot be told."""
    try:
        b = _Basin(files)
        paths = b.configuration()
        b.network(files[paths[2]])
        b.quality(files[paths[6]])
        b.coefficients(files[paths[8]])
    except (Refused, KeyError, ZeroDivisionError, OverflowError, ValueError):
        return None
    seconds = sum(b.segments) * COST_SEGMENT_MONTH
    for substeps, partial in zip(b.substeps, b.partial):
        seconds += substeps * COST_SUBSTEP_MONTH
        if partial:
            seconds += substeps * COST_BALANCE_ROW * (b.balances == 1)
            seconds += (substeps // b.step if b.step >= 1 else 0) * COST_PARTIAL_ROW
    seconds *= max(b.constituents, 1)
    # The rows of the partial results of reaches, costed by their numbers (a
    # risk run writes none).
    if "NivelesRQ.dat" not in files and b.reach_step >= 1:
        rows = sum((n - 1) // b.reach_step for n, partial in zip(b.segments, b.reach_partial) if partial)
        numbers = REACH_PARTIAL_COLUMNS + REACH_PARTIAL_OXYGEN_COLUMNS * b.oxygen + max(b.constituents, 0)
        seconds += rows * numbers * COST_REACH_PARTIAL_NUMBER
    return seconds * 12 * b.years
