import _thread
import os
import random
import subprocess
import sys
import threading
import time

import pytest

import tessaron
from conftest import MITO, TWO_RECORDS


@pytest.mark.parametrize(
    "content, reason, line",
    [
        (None, "missing", None),
        (b"", "empty", None),
        (b"\x00\x01\x02binary\x00", "not_text", None),
        (b"@read1\nACGTACGT\n+\nIIIIIIII\n", "not_sequence", None),
        (b">p\nMVLSPADKTNVKAAWGKVGAHAGEYGAEALERMF\n", "not_sequence", None),
        (b"The quick brown fox jumps over the lazy dog.\n", "not_sequence", None),
        (b"LOCUS       X 8 bp\nFEATURES             Location/Qualifiers\n//\n", "malformed", 3),
    ],
)
def test_bad_input_raises_input_error(tmp_path, content, reason, line):
    path = tmp_path / "genome.gb"
    if content is not None:
        path.write_bytes(content)
    with pytest.raises(tessaron.InputError) as raised:
        tessaron.read(path)
    error = raised.value
    assert (error.path, error.reason, error.line) == (str(path), reason, line)
    assert error.detail and error.detail in str(error)


@pytest.mark.parametrize(
    "call",
    [
        lambda: tessaron.read(TWO_RECORDS, record=3),
        lambda: tessaron.read(TWO_RECORDS, record="NO_SUCH"),
        lambda: tessaron.repeats(tessaron.Genome.from_string("ACGT"), method="fast"),
        lambda: tessaron.repeats(tessaron.Genome.from_string("ACGT"), kinds="palindrome"),
        lambda: tessaron.repeats(tessaron.Genome.from_string("ACGT"), min=20, max=10),
        lambda: tessaron.microsatellites(tessaron.Genome.from_string("ACGT"), min_repeats=(2, 2)),
        # The bounds of the command line and the desktop.
        lambda: tessaron.repeats(tessaron.Genome.from_string("ACGT"), method="trie", min=2, max=10),
        lambda: tessaron.repeats(tessaron.Genome.from_string("ACGT"), method="complete", min=8, max=257),
        lambda: tessaron.microsatellites(tessaron.Genome.from_string("ACGT"), compound_distance=1000001),
        lambda: tessaron.microsatellites(tessaron.Genome.from_string("ACGT"), compound_distance=-1),
        lambda: tessaron.microsatellites(tessaron.Genome.from_string("ACGT"), min_repeats=(1, 6, 5, 5, 5, 5)),
        lambda: tessaron.repeats(tessaron.Genome.from_string("ACGT"), method="approximate", min=1000000001),
        lambda: tessaron.repeats(tessaron.Genome.from_string("ACGT"), method="approximate", mismatch_penalty=1001),
    ],
)
def test_bad_arguments_raise_value_error(call):
    with pytest.raises(ValueError):
        call()


@pytest.mark.parametrize("record", [2**70, -(2**70), 0])
def test_a_record_number_out_of_range_raises_value_error(record):
    with pytest.raises(ValueError, match="no record"):
        tessaron.read(TWO_RECORDS, record=record)


@pytest.mark.parametrize("record", [1.5, [1], True, b"AB012104"])
def test_a_record_that_is_no_number_nor_name_raises_type_error(record):
    with pytest.raises(TypeError, match="record must be"):
        tessaron.read(TWO_RECORDS, record=record)


@pytest.mark.parametrize("least", [1, 0, -5, 1_000_001])
@pytest.mark.parametrize("unit", [0, 5])
def test_microsatellite_minimums_outside_the_command_lines_bounds_raise_value_error(least, unit):
    minimums = [10, 6, 5, 5, 5, 5]
    minimums[unit] = least
    with pytest.raises(ValueError, match="from 2"):
        tessaron.microsatellites(tessaron.Genome.from_string("ACGT" * 10), min_repeats=minimums)


def test_microsatellite_minimums_at_the_bounds_are_taken():
    found = tessaron.microsatellites(tessaron.Genome.from_string("A" * 12 + "CG" * 10), min_repeats=(2, 2, 2, 2, 2, 1_000_000))
    assert len(found["start"]) > 0


def test_approximate_options_only_for_the_approximate_search():
    with pytest.raises(TypeError):
        tessaron.repeats(tessaron.Genome.from_string("ACGT"), method="complete", identity=80)


class Stop(Exception):
    pass


@pytest.fixture(scope="module")
def long_genome():
    generator = random.Random(5)
    return tessaron.Genome.from_string("".join(generator.choices("ACGT", k=2_000_000)))


@pytest.mark.parametrize("raising", [False, True])
def test_cancel_stops_a_long_search(long_genome, raising):
    reports = []
    ticks = []
    stop = threading.Event()

    def tick():
        # Runs while the search holds no interpreter lock.
        while not stop.wait(0.01):
            ticks.append(1)

    def cancel():
        if reports and raising:
            raise Stop()
        return bool(reports)

    ticker = threading.Thread(target=tick)
    ticker.start()
    started = time.monotonic()
    try:
        with pytest.raises(Stop if raising else tessaron.Cancelled):
            tessaron.repeats(long_genome, "described", progress=reports.append, cancel=cancel)
    finally:
        stop.set()
        ticker.join()
    assert time.monotonic() - started < 20
    assert reports and all(0 <= fraction < 1 for fraction in reports)
    assert ticks


def test_callbacks_that_never_stop_see_the_search_to_its_end(long_genome):
    reports = []
    counts = tessaron.summary(long_genome, "complete", kinds="direct", progress=reports.append, cancel=lambda: None)
    assert counts["pairs"].sum() > 0
    assert len(reports) > 1 and reports[-1] == 1.0


@pytest.fixture(scope="module")
def mito():
    return tessaron.read(MITO)


def test_limits_no_pair_can_reach_are_answered_at_once(mito):
    started = time.monotonic()
    for least in (len(mito), 10**6, 10**9):
        counts = tessaron.summary(mito, "approximate", min=least)
        assert counts["pairs"].sum() == 0
    unlimited = tessaron.summary(mito, "approximate")
    limited = tessaron.summary(mito, "approximate", max_mismatches=10**8)
    assert list(limited["pairs"]) == list(unlimited["pairs"])
    assert time.monotonic() - started < 30


def test_too_many_approximate_pairs_raise_search_error_naming_the_limit(mito):
    with pytest.raises(tessaron.SearchError, match="more than [0-9]+ of them"):
        tessaron.repeats(mito, "approximate", min=1)


def test_short_approximate_pairs_are_counted_from_the_minimum():
    generator = random.Random(11)
    genome = tessaron.Genome.from_string("".join(generator.choices("ACGT", k=3000)))
    counts = tessaron.summary(genome, "approximate", min=12, kinds="direct")
    assert counts["length_class"][0] == "12-39"
    assert counts["pairs"][0] > 0


# Every step of these searches looks for a stop at least every few
# milliseconds (bench/canceltiming.cpp times them), the sorts of seeds and
# pairs and the making of the seed lists included.
@pytest.mark.parametrize("how", ["cancel", "interrupt"])
@pytest.mark.parametrize(
    "search",
    [
        lambda genome, cancel: tessaron.summary(genome, "approximate", cancel=cancel),
        lambda genome, cancel: tessaron.summary(genome, "approximate", min=10**6, cancel=cancel),
        lambda genome, cancel: tessaron.summary(genome, "approximate", max_mismatches=10**8, cancel=cancel),
        lambda genome, cancel: tessaron.summary(genome, "approximate", min=16, identity=85, cancel=cancel),
        lambda genome, cancel: tessaron.repeats(genome, "approximate", cancel=cancel),
    ],
)
def test_long_approximate_searches_stop_within_a_second(long_genome, how, search):
    asked = []
    if how == "cancel":
        timer = threading.Timer(0.3, lambda: asked.append(time.monotonic()))
        expected = tessaron.Cancelled
    else:
        timer = threading.Timer(0.3, lambda: (asked.append(time.monotonic()), _thread.interrupt_main()))
        expected = KeyboardInterrupt
    timer.start()
    try:
        with pytest.raises(expected):
            search(long_genome, lambda: bool(asked))
    finally:
        timer.cancel()
    assert asked and time.monotonic() - asked[0] < 1.0


THREADS = """
import sys, threading, random
import tessaron
genome = tessaron.Genome.from_string("".join(random.Random(3).choices("ACGT", k=20000)))
errors = []
def work(k):
    try:
        if k % 2:
            tessaron.summary(genome, "approximate", kinds="direct")
        else:
            tessaron.microsatellites(genome)
    except Exception as error:
        errors.append(error)
threads = [threading.Thread(target=work, args=(k,)) for k in range(6)]
for thread in threads:
    thread.start()
for thread in threads:
    thread.join()
assert "numpy" in sys.modules
sys.exit(1 if errors else 0)
"""


@pytest.mark.parametrize("attempt", range(3))
def test_threads_making_the_first_tables_at_once_do_not_hang(attempt):
    # A fresh interpreter each time, NumPy not yet imported.
    environment = dict(os.environ, PYTHONPATH=os.pathsep.join(sys.path))
    done = subprocess.run([sys.executable, "-c", THREADS], env=environment, capture_output=True, timeout=60)
    assert done.returncode == 0, done.stderr.decode()
