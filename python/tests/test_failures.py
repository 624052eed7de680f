import threading
import random
import time

import pytest

import tessaron
from conftest import TWO_RECORDS


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
