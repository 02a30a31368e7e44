#!/usr/bin/env python3
"""Mutation driver of tornal: runs the program on mutated input files.

Every run takes one of the basins of basins.py (the example basin and the
generated basins with every element kind, every option, the optional files
and both coefficient layouts), mutates one or two of its input files, runs
the program (meant to be the sanitizer build) in a fresh folder with a time
and a memory limit, and judges the outcome. A failure is:

  crash     a signal, or a report of AddressSanitizer, LeakSanitizer or
            UndefinedBehaviorSanitizer (float-cast-overflow included)
  hang      no end within the processor time that the same input asks of
            the optimised build: every input is run first by the optimised
            build (--release, build/tornal), with a limit of
            --release-timeout seconds of processor time, and then by the
            build under test (meant to be the sanitizer build) with
            SANITIZER_FACTOR times the processor time that the optimised
            run took, plus SANITIZER_START (at most --timeout seconds). A
            run cut at that limit is a hang; one cut at --timeout, below
            what the optimised run explains, is "ok-long-run", and so is
            one whose input asks for more than its limit at the least
            (work.py: the segments x months of the reaches and the
            sub-steps x months of the reservoirs, with the rows of the
            partial result files of both, at their least cost on the
            sanitizer build: a bound from below, which needs no run). A
            run whose optimised run did not end within its limit either
            is a hang, unless its input asks for more than its limit so.
            A run that neither ends nor spends its processor time within
            WAIT_FACTOR times its limit (plus WAIT_MARGIN) waits for
            something that never comes: a hang too
  memory    the memory exhausted (the sanitizer's limits, or the run log's
            line of a failed allocation)
  status    an exit status other than 0 and 1
  silent    an exit 1 without a line in the run log after its header, when
            the run log could be opened
  nonfinite an exit 0 whose result files hold a non-finite value (NaN,
            Infinity, or asterisks that the mutated numbers do not explain)
            and whose run log has no warning of it (asterisks inside a
            text that the inputs define and a result file copies, whole
            or cut to its field, a reach named 'Rio***' say, are no
            field). The run log names every result file that holds a
            field of asterisks ("Campo con asteriscos ...", then
            "Archivo: " and the file):
            "ok-asterisks-named" when it names every file that holds
            asterisks. Asterisks in a file it does not name fill a field
            Fw.d too narrow for its value, of magnitude 10^(w-d-2) at least
            (w is the run of asterisks, d the decimals of the file's other
            fields of that width, 0 when none); a mutation that scaled a
            number of the input by the orders of magnitude that a result of
            up to a thousand lacks to fill the field (w-d-5, 1 at least)
            explains them, field by field; "ok-asterisks-large-input" when
            every such field is explained

The cases of failures are kept in the output folder with a note. Each run
draws its mutations from its own generator seeded with (seed, run number),
so a campaign is the same whatever its parallelism.

The times are the processor time of each run (user and system, of all its
threads), which the machine's other work changes little, and the judge
reads them as given: it reads no clock.

Short campaign (CI):  tests/fuzz/fuzz.py --binary build-sanitize/tornal --release build/tornal --runs 3000
Long campaign:        tests/fuzz/fuzz.py --binary build-sanitize/tornal --release build/tornal --runs 100000 \
                          --jobs 4 --seed 7
"""

import argparse
import collections
import concurrent.futures
import difflib
import math
import os
import random
import re
import resource
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import basins  # noqa: E402
import work  # noqa: E402

# A number as the reader takes it, the exponent given by a letter (E, D, Q)
# or by its sign alone (1.0+5).
NUMBER = re.compile(rb"[-+]?(?:\d+\.?\d*|\.\d+)(?:[EeDdQq][-+]?\d+|[-+]\d+)?")
SIGN_EXPONENT = re.compile(rb"(?<=[\d.])([-+])(?=\d+$)")

# Values that a numeric token may be replaced with; those marked large can
# make finite results too wide for their fields (asterisks with no fault).
INTERESTING = [
    (b"0", False), (b"-1", False), (b"1", False), (b"2", False), (b"-999", False), (b"0.0", False),
    (b"-0.5", False), (b"1.5", False), (b"12", False), (b"100", False), (b"-2147483648", False),
    (b"2147483647", True), (b"2147483648", True), (b"999999999", True), (b"10000000", True), (b"1e308", True),
    (b"-1e308", True), (b"1.0E+400", True), (b"1.0D400", True), (b"3.4E38", True), (b"1e39", True),
    (b"1e-320", True), (b"1E-45", True), (b"NaN", False), (b"Inf", False), (b"1.0E+30", True), (b"5*", False),
    (b"3*2", False), (b"/", False), (b",", False), (b"''", False), (b"1.5.2", False), (b"+", False),
]
SPECIAL_BYTES = b"0123456789-+.EeDd/,*' \t\n\r\"<>x"

# Console messages of the stops that come before the run log is open.
BEFORE_LOG = ("Falta el archivo Vekarch.cal", "Error en la lectura del archivo Vekarch.cal",
              "Error en el archivo Vekarch.cal", "Error en el acceso al archivo de registro")
SANITIZER = (b"ERROR: AddressSanitizer", b"ERROR: LeakSanitizer", b"runtime error:", b"SUMMARY: UndefinedBehavior",
             b"AddressSanitizer:DEADLYSIGNAL")
OUT_OF_MEMORY = (b"rss limit exhausted", b"out of memory", b"allocation-size-too-big", b"malloc limit",
                 b"requested allocation size")
NONFINITE_TEXT = re.compile(rb"(?i)(?<![a-z])(nan|-?inf|-?infinity)(?![a-z])")
ASTERISKS = re.compile(rb"\*{3,}")
# A text of an input file that a result file may copy (a name): a quoted text
# whole, or a word between the separators of the input formats.
INPUT_TEXT = re.compile(rb"'([^'\r\n]*)'|\"([^\"\r\n]*)\"|([^\s'\",/<>;=]+)")
# A number field written in fixed form, its decimals in the group, and a
# number with its leading blanks in a line of blank-separated fields.
PLAIN_NUMBER = re.compile(rb"[-+]?(?=\.?\d)\d*\.?(\d*)")
FIXED_FIELD = re.compile(rb" *[^ ]+")
# Warnings of the run log that account for non-finite or overflowing results.
WARNINGS = ("Resultado no finito".encode("latin-1"), b"Posible error numerico",
            "superado el valor máximo".encode("latin-1"))
# The run log's warning of a field of asterisks: its first line, then the
# file (a text longer than a line goes on in the lines after it) up to the
# record.
ASTERISK_FIELD = b" Campo con asteriscos "
ASTERISK_FILE = b" Archivo: "
ASTERISK_RECORD = b" Registro:"


def numbers(data):
    out = []
    for m in NUMBER.finditer(data):
        try:
            text = re.sub(rb"[DdQq]", b"e", m.group())
            if b"e" not in text.lower():
                text = SIGN_EXPONENT.sub(rb"e\1", text)
            out.append(abs(float(text)))
        except (ValueError, OverflowError):
            out.append(float("inf"))
    return out


def mutate_file(rng, data, notes):
    """One mutation of one file's bytes."""
    kind = rng.randrange(10)
    lines = data.split(b"\n")
    if kind == 0 and data:  # replace a byte
        i = rng.randrange(len(data))
        b = rng.choice(SPECIAL_BYTES) if rng.random() < 0.8 else rng.randrange(256)
        notes.append("byte %d -> %r" % (i, bytes([b])))
        return data[:i] + bytes([b]) + data[i + 1:]
    if kind == 1 and data:  # delete a span
        i = rng.randrange(len(data))
        n = rng.randint(1, 20)
        notes.append("delete %d bytes at %d" % (n, i))
        return data[:i] + data[i + n:]
    if kind == 2 and len(lines) > 1:  # delete a line
        i = rng.randrange(len(lines))
        notes.append("delete line %d" % (i + 1))
        return b"\n".join(lines[:i] + lines[i + 1:])
    if kind == 3 and lines:  # duplicate a line
        i = rng.randrange(len(lines))
        j = rng.randrange(len(lines) + 1)
        notes.append("copy line %d before line %d" % (i + 1, j + 1))
        return b"\n".join(lines[:j] + [lines[i]] + lines[j:])
    if kind == 4 and len(lines) > 1:  # swap two lines
        i, j = rng.randrange(len(lines)), rng.randrange(len(lines))
        lines[i], lines[j] = lines[j], lines[i]
        notes.append("swap lines %d and %d" % (i + 1, j + 1))
        return b"\n".join(lines)
    if kind == 5 and data:  # truncate
        i = rng.randrange(len(data))
        notes.append("truncate at %d" % i)
        return data[:i]
    if kind == 6:  # insert bytes
        i = rng.randrange(len(data) + 1)
        ins = bytes(rng.choice(SPECIAL_BYTES) for _ in range(rng.randint(1, 8)))
        notes.append("insert %r at %d" % (ins, i))
        return data[:i] + ins + data[i:]
    # kinds 7 to 9: replace a numeric token
    ms = list(NUMBER.finditer(data))
    if not ms:
        return data
    m = rng.choice(ms)
    if rng.random() < 0.75:
        value, _ = rng.choice(INTERESTING)
    else:
        value = str(rng.choice([rng.randint(-5, 30), rng.randint(-10 ** 9, 10 ** 9),
                                rng.uniform(-1e3, 1e3)])).encode()
    notes.append("number %r at %d -> %r" % (m.group(), m.start(), value))
    return data[:m.start()] + value + data[m.end():]


def safe_configuration(data):
    """A run configuration whose paths stay inside the run's folder."""
    return b"/" not in data and b"\\" not in data and b".." not in data and b":" not in data


def mutate(rng, basin):
    files = dict(basin)
    notes = []
    names = sorted(files)
    for _ in range(1 if rng.random() < 0.7 else 2):
        name = rng.choice(names)
        if rng.random() < 0.02:
            notes.append("%s: removed" % name)
            files.pop(name, None)
            names = sorted(files)
            if not names:
                break
            continue
        for _attempt in range(20):
            sub = []
            data = files[name]
            for _k in range(rng.choice([1, 1, 1, 2, 3])):
                data = mutate_file(rng, data, sub)
            if name != "VekArch.cal" or safe_configuration(data):
                break
        else:
            continue
        files[name] = data
        notes += ["%s: %s" % (name, s) for s in sub]
    return files, notes


def orders_moved(original, mutated):
    """The most orders of magnitude by which the mutations scaled a number of
    the input files: each number of a mutated file against the number that
    stood in its place (the numbers of the two files aligned), a number that
    stood in no number's place against 1. Zero scales nothing."""
    most = 0.0
    for name, data in mutated.items():
        before = original.get(name, b"")
        if data == before:
            continue
        old = [m.group() for m in NUMBER.finditer(before)]
        new = [m.group() for m in NUMBER.finditer(data)]
        old_values, new_values = numbers(before), numbers(data)
        matcher = difflib.SequenceMatcher(None, old, new, autojunk=False)
        for op, i1, i2, j1, j2 in matcher.get_opcodes():
            if op == "equal" or op == "delete":
                continue
            for k in range(j2 - j1):
                x = new_values[j1 + k]
                y = old_values[i1 + k] if op == "replace" and i1 + k < i2 else 1.0
                if x == 0.0 or y == 0.0:
                    continue
                if math.isinf(x) or math.isinf(y):
                    return math.inf
                most = max(most, abs(math.log10(x / y)))
    return most


def field_formats(data):
    """(width, decimals) of the number fields of a result file: the fields
    between semicolons or tabs, or else each number with its leading blanks."""
    formats = set()
    for line in data.split(b"\n"):
        line = line.rstrip(b"\r")
        pieces = re.split(rb"[;\t]", line) if (b";" in line or b"\t" in line) else FIXED_FIELD.findall(line)
        for piece in pieces:
            m = PLAIN_NUMBER.fullmatch(piece.strip())
            if m:
                formats.add((len(piece), len(m.group(1))))
    return formats


# The orders of magnitude of the results of a sound run (up to a thousand:
# masses of the balances, dispersions, rates corrected for temperature).
RESULT_ORDERS = 3


def unexplained_asterisks(data, moved):
    """Whether a run of asterisks of a result file stands for a value larger
    than the scaling of the mutated numbers explains (`moved` orders of
    magnitude)."""
    formats = None
    for m in ASTERISKS.finditer(data):
        run = len(m.group())
        if formats is None:
            formats = field_formats(data)
        # The run fills one field, or fields side by side, of a width that
        # the file's numbers show; of those the one that holds the largest
        # values. A width no number of the file shows: the run, no decimals.
        fields = [(w, d) for (w, d) in formats if run % w == 0]
        w, d = max(fields, key=lambda f: f[0] - f[1], default=(run, 0))
        if moved < max(w - d - 2 - RESULT_ORDERS, 1):
            return True
    return False


def written_files(folder, inputs):
    """(name, bytes) of every file of the folder that the run wrote: the input
    files it left as they were are passed over."""
    for name in os.listdir(folder):
        path = os.path.join(folder, name)
        if not os.path.isfile(path):
            continue
        with open(path, "rb") as f:
            data = f.read()
        if name in inputs and data == inputs[name]:
            continue
        yield name, data


def find_log(folder, inputs):
    """The run log: the file of the folder that the program wrote its header
    to (the run configuration may name any file, even one that has the name
    of an input file that this configuration does not read)."""
    for _, data in written_files(folder, inputs):
        if b"Numero de versio:" in data:
            return data
    return None


def copied_asterisk_texts(inputs):
    """The texts of the input files that hold a run of three asterisks or more
    among other characters (a reach named 'Rio***'): a result file that copies
    one holds those asterisks inside the text, not as a field of its own. A
    result file may copy a text cut to the length of its field (a constituent
    name of more than 30 characters, 'Coliformes totales del tram***x' as
    'Coliformes totales del tram***'), so every cut of a text that keeps all
    of it up to its first such run is one too. A text of asterisks alone is
    not told from such a field and is left out."""
    texts = set()
    for data in inputs.values():
        if b"***" not in data:
            continue
        for m in INPUT_TEXT.finditer(data):
            text = next(g for g in m.groups() if g is not None).strip(b" \t")
            run = ASTERISKS.search(text)
            if run and text.strip(b"*"):
                for end in range(run.end(), len(text) + 1):
                    cut = text[:end].rstrip(b" \t")
                    if cut.strip(b"*"):
                        texts.add(cut)
    return texts


def without_copied_texts(data, texts):
    """The bytes of a result file with the asterisks of every copied text
    (one that no asterisk borders, so that no field of asterisks is taken for
    it) put out of the way."""
    for text in sorted(texts, key=len, reverse=True):
        pattern = re.compile(rb"(?<!\*)" + re.escape(text) + rb"(?!\*)")
        data = pattern.sub(lambda m: m.group().replace(b"*", b"_"), data)
    return data


def files_with_asterisks(log):
    """The names (last part of the path) of the files that the run log names
    as holding a field of asterisks."""
    names = set()
    lines = log.replace(b"\r", b"").split(b"\n")
    for i, line in enumerate(lines):
        if not line.startswith(ASTERISK_FIELD) or i + 1 >= len(lines) or not lines[i + 1].startswith(ASTERISK_FILE):
            continue
        path = lines[i + 1][len(ASTERISK_FILE):]
        for more in lines[i + 2:]:
            if more.startswith(ASTERISK_RECORD):
                break
            path += more[1:]
        names.add(os.path.basename(path.rstrip(b" ").decode("latin-1")))
    return names


# The processor time that the sanitizer build takes for an input, against
# that of the optimised build: SANITIZER_FACTOR times it, plus SANITIZER_START
# for the sanitizer's own start and its leak check at the end. The factor is
# the sanitizer's own cost, measured as the processor time of runs of the
# sanitizer build that .ci/run makes (a Debug build) over that of the same
# inputs' runs of the README build (RelWithDebInfo): 33 for the growth path
# of a reach (the example with reach 2's KFOSFCOND at -30.1: 0.81 s and
# 26.3 s), 14 to 19 for the example, the generated basins and their
# reservoirs refined to finer sub-steps (up to 5.0 s and 95 s); over the
# 2000 mutated inputs of the campaign of .ci/run, at most 32 for runs of 0.2
# to 1 s, 15 beyond, and 38 for runs under 0.05 s, where the start weighs
# (0.3 s at most). The processor time of a run grows when its core is shared
# with other work, and not as much in one run as in the other: repeated on a
# machine loaded by other work, the growth path took 0.65 to 1.33 s of the
# README build and 23.5 to 32.0 s of the sanitizer build, up to 49 times.
# The factor is half as much again as that.
SANITIZER_FACTOR = 80.0
SANITIZER_START = 3.0
# A run that has not spent its limit of processor time after WAIT_FACTOR
# times that limit, plus WAIT_MARGIN, on the clock waits for something that
# never comes: a run that computes gets a quarter of a core even on a
# machine with four times as many busy processes as cores. And the
# processor seconds after its limit at which a run that goes on after it is
# told to stop is killed.
WAIT_FACTOR = 4.0
WAIT_MARGIN = 30.0
CUT_GRACE = 2
# The campaign's limits of processor seconds (--timeout, --release-timeout):
# the most that a run of the build under test may take, which must hold the
# sanitizer's factor times a second of the optimised build (so that a run
# that ends within a second there is told from a hang); and what a run of
# the optimised build may take, which must hold the longest that a mutated
# input of the fuzzer's basins asks for and its least work does not tell:
# every reservoir month refined to the finest count, which costs less than
# twice the month given that count (generated basin A given 100,000
# sub-steps: 77 s).
TIMEOUT = 85
RELEASE_TIMEOUT = 300

# A run of the program: its exit status (the negative signal that ended
# it), the processor seconds it took, how it was cut (None: it ended;
# "time": at its limit of processor time; "wait": it waited, its time
# unspent) and its limit of processor seconds.
Run = collections.namedtuple("Run", "status seconds cut limit")


def run_program(binary, folder, env, limit, memory=None):
    """Runs the program in `folder` with a limit of `limit` whole seconds of
    processor time and, when given, `memory` megabytes of address space (not
    for a sanitizer build, which reserves much address space and has limits
    of its own): the Run, its console and its error output. The limits are
    the process's own (ulimit), so that the machine's other work does not
    cut it; a clock kills only a run that waits."""
    limits = "ulimit -S -t %d && ulimit -H -t %d" % (limit, limit + CUT_GRACE)
    if memory:
        limits += " && ulimit -v %d" % (memory << 10)
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        p = subprocess.Popen(["/bin/sh", "-c", limits + ' && exec "$0"', binary], cwd=folder,
                             stdin=subprocess.DEVNULL, stdout=out, stderr=err, env=env)
        pidfd = os.pidfd_open(p.pid)
        try:
            waits = not select.select([pidfd], [], [], WAIT_FACTOR * limit + WAIT_MARGIN)[0]
            if waits:
                signal.pidfd_send_signal(pidfd, signal.SIGKILL)
            _, code, usage = os.wait4(p.pid, 0)
        finally:
            os.close(pidfd)
        p.returncode = status = os.waitstatus_to_exitcode(code)
        seconds = usage.ru_utime + usage.ru_stime
        cut = ("wait" if waits else
               "time" if status == -signal.SIGXCPU or (status == -signal.SIGKILL and seconds >= limit) else None)
        out.seek(0)
        err.seek(0)
        return Run(status, seconds, cut, limit), out.read(), err.read()


def sanitizer_seconds(release):
    """The processor seconds that the sanitizer build may take for an input
    whose run of the optimised build took `release` seconds."""
    return SANITIZER_FACTOR * release + SANITIZER_START


def sanitizer_limit(release, most):
    """The limit, in whole processor seconds, of the sanitizer run of an input
    whose optimised run is `release` (a Run): what its time explains, at most
    `most` (the campaign's --timeout); `most` where the optimised run was
    cut."""
    if release.cut:
        return int(most)
    return int(min(math.ceil(sanitizer_seconds(release.seconds)), most))


def judge_cut(inputs, run, release):
    """The verdict of a run that did not end: a hang, or a long run that the
    input's least work (work.py) or its optimised run (`release`, a Run)
    explains."""
    if run.cut == "wait" or release.cut == "wait":
        return "hang"
    asked = work.work(inputs)
    if asked is not None and asked >= run.limit:
        return "ok-long-run"
    if release.cut:
        return "hang"
    return "ok-long-run" if sanitizer_seconds(release.seconds) > run.limit else "hang"


def judge(folder, inputs, original, run, console, stderr, release):
    """The verdict of a run of the build under test (`run`, a Run), with its
    console and error output and the files it left in `folder`, of the
    mutated `inputs` of the basin `original`, whose optimised run is
    `release`."""
    if run.cut:
        return judge_cut(inputs, run, release)
    proc_status = run.status
    if any(s in stderr for s in OUT_OF_MEMORY):
        return "memory"
    if proc_status < 0 or any(s in stderr for s in SANITIZER):
        return "crash"
    log = find_log(folder, inputs)
    if log is not None and "Memoria insuficiente".encode("latin-1") in log:
        return "memory"
    if proc_status not in (0, 1):
        return "status"
    text = console.decode("utf-8", "replace")
    if proc_status == 1:
        if any(text.startswith(m) for m in BEFORE_LOG):
            return "ok-stop-before-log"
        if log is None:
            return "silent"
        body = log.split(b"Numero de versio:", 1)[1].split(b"\n")[1:]
        if not any(line.strip() for line in body):
            return "silent"
        return "ok-stop"
    # Exit 0: non-finite values in the result files need their warning. A
    # word such as "Inf" that the inputs hold (in a name the outputs copy) is
    # no number of the run.
    warned = log is not None and any(w in log for w in WARNINGS)
    copied = {m.group(1).lower() for data in inputs.values() for m in NONFINITE_TEXT.finditer(data)}
    if warned:
        return "ok-end-warned"
    moved = None
    asterisks = named = False
    listed = files_with_asterisks(log) if log is not None else set()
    names = copied_asterisk_texts(inputs)
    for name, data in written_files(folder, inputs):
        if b"Numero de versio:" in data:
            continue
        if any(m.group(1).lower() not in copied for m in NONFINITE_TEXT.finditer(data)):
            return "nonfinite"
        # Asterisks inside a text copied from the inputs (a name) fill no
        # field.
        if names:
            data = without_copied_texts(data, names)
        if ASTERISKS.search(data):
            if name in listed:
                named = True
                continue
            asterisks = True
            if moved is None:
                moved = orders_moved(original, inputs)
            if unexplained_asterisks(data, moved):
                return "nonfinite"
    if asterisks:
        return "ok-asterisks-large-input"
    return "ok-asterisks-named" if named else "ok-end"


FAILURES = ("crash", "hang", "memory", "status", "silent", "nonfinite")


def run_one(args, basin_list, index, workdir, is_asan):
    rng = random.Random("%d/%d" % (args.seed, index))
    basin_name, basin = basin_list[rng.randrange(len(basin_list))]
    files, notes = mutate(rng, basin)
    folder = tempfile.mkdtemp(prefix="run%d_" % index, dir=workdir)
    try:
        for name, data in files.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)
        env = dict(os.environ)
        env["ASAN_OPTIONS"] = ("detect_leaks=%d:abort_on_error=0:allocator_may_return_null=1:"
                               "malloc_limit_mb=%d:hard_rss_limit_mb=%d:handle_abort=1" %
                               (0 if args.no_leaks else 1, args.memory, args.memory))
        env["UBSAN_OPTIONS"] = "print_stacktrace=1:halt_on_error=1"
        # The optimised run, in a folder of its own, for the time the input
        # asks.
        release_folder = tempfile.mkdtemp(prefix="release%d_" % index, dir=workdir)
        for name, data in files.items():
            with open(os.path.join(release_folder, name), "wb") as f:
                f.write(data)
        release, _, _ = run_program(args.release, release_folder, os.environ, args.release_timeout, args.memory)
        shutil.rmtree(release_folder, ignore_errors=True)
        limit = sanitizer_limit(release, args.timeout)
        run, out, err = run_program(args.binary, folder, env, limit, None if is_asan else args.memory)
        verdict = judge(folder, files, basin, run, out, err, release)
        if verdict in FAILURES or verdict in args.keep:
            keep = os.path.join(args.out, "%06d-%s-%s" % (index, verdict, basin_name))
            os.makedirs(keep, exist_ok=True)
            for name, data in files.items():
                with open(os.path.join(keep, name), "wb") as f:
                    f.write(data)
            with open(os.path.join(keep, "NOTE.txt"), "w") as f:
                f.write("basin %s, seed %d, run %d, verdict %s, status %s\n" % (basin_name, args.seed, index,
                                                                                  verdict, run.status))
                f.write("optimised run: status %s, %.2f s of %d%s; this run: %.2f s of %d\n" %
                        (release.status, release.seconds, release.limit,
                         (", cut (%s)" % release.cut) if release.cut else "", run.seconds, run.limit))
                f.write("\n".join(notes) + "\n\nconsole:\n" + out.decode("utf-8", "replace")[-2000:])
                f.write("\n\nstderr:\n" + err.decode("utf-8", "replace")[-6000:])
        return verdict
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--binary", default=os.path.join(here, "..", "..", "build-sanitize", "tornal"),
                    help="the build under test (the sanitizer build)")
    ap.add_argument("--release", default=os.path.join(here, "..", "..", "build", "tornal"),
                    help="the optimised build (the README's), whose run of each input tells the time it asks")
    ap.add_argument("--examples", default=os.path.join(here, "..", "..", "examples"))
    ap.add_argument("--runs", type=int, default=3000)
    ap.add_argument("--first", type=int, default=0, help="number of the first run (to go on with a campaign)")
    ap.add_argument("--jobs", type=int, default=4)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--timeout", type=int, default=TIMEOUT,
                    help="the most seconds of processor time that a run of the build under test may take")
    ap.add_argument("--release-timeout", type=int, default=RELEASE_TIMEOUT,
                    help="seconds of processor time that a run of the optimised build may take")
    ap.add_argument("--memory", type=int, default=2048, help="megabytes a run may take")
    ap.add_argument("--out", default="fuzz-failures", help="folder for the cases of failures")
    ap.add_argument("--no-leaks", action="store_true", help="no leak check at the end of each run (faster)")
    ap.add_argument("--keep", action="append", default=[],
                    help="keep the cases of this verdict too (e.g. ok-asterisks-large-input)")
    ap.add_argument("--progress", type=int, default=0, help="print the counts every N runs")
    args = ap.parse_args()
    args.binary = os.path.abspath(args.binary)
    args.release = os.path.abspath(args.release)
    if not os.path.isfile(args.release):
        ap.error("no optimised build at %s (cmake -S . -B build && cmake --build build -j8 --target tornal)" %
                 args.release)
    args.out = os.path.abspath(args.out)

    with open(args.binary, "rb") as f:
        content = f.read()
        is_asan = b"__asan_init" in content or b"libasan" in content
    # No core files of any run, inherited from this process (the limits of
    # processor time and memory are each run's own: run_program).
    resource.setrlimit(resource.RLIMIT_CORE, (0, 0))
    basin_list = sorted(basins.all_basins(args.examples).items())
    counts = collections.Counter()
    lock = threading.Lock()
    start = time.time()
    workdir = tempfile.mkdtemp(prefix="tornal-fuzz-")
    done = 0
    try:
        with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
            futures = [pool.submit(run_one, args, basin_list, i, workdir, is_asan)
                       for i in range(args.first, args.first + args.runs)]
            for fut in concurrent.futures.as_completed(futures):
                verdict = fut.result()
                with lock:
                    counts[verdict] += 1
                    done += 1
                    if args.progress and done % args.progress == 0:
                        print("%d runs, %.0f s: %s" % (done, time.time() - start, dict(sorted(counts.items()))),
                              flush=True)
    finally:
        shutil.rmtree(workdir, ignore_errors=True)

    failures = sum(counts[k] for k in FAILURES)
    print("tornal fuzz: %d runs (seed %d, first run %d) in %.0f s, %s binary" %
          (args.runs, args.seed, args.first, time.time() - start, "sanitizer" if is_asan else "plain"))
    for k, v in sorted(counts.items()):
        print("  %-26s %d" % (k, v))
    print("  failures                   %d%s" % (failures, (" (cases in %s)" % args.out) if failures else ""))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
