"""The package as users meet it: its version, the records of a file, the
genomes it takes, the command line's defaults and limits, and BED ranges."""

import random
import re
import time
from types import SimpleNamespace

import pytest

import tessaron
from conftest import CHLOROPLAST, MITO, TURTLES, TWO_RECORDS


def test_version_is_a_release_or_a_commit_after_one():
    # 0.3.0, or 0.3.0.post12+gabcdef1 (git describe of the clone, as PEP 440 writes it).
    assert re.fullmatch(r"\d+\.\d+\.\d+(\.post\d+)?(\+(g[0-9a-f]+)?(\.?dirty)?)?", tessaron.__version__)


def test_records_reads_the_file_once_and_yields_every_record():
    started = time.monotonic()
    genomes = list(tessaron.records(TURTLES))
    elapsed = time.monotonic() - started
    listed = tessaron.contents(TURTLES)
    assert len(genomes) == len(listed) == 31
    assert [(g.seqid, len(g)) for g in genomes] == [(r.seqid, r.length) for r in listed]
    assert genomes[7].sequence == tessaron.read(TURTLES, record=8).sequence
    assert elapsed < 5  # under 0.1 s in a Release build; the bound only catches a reading per record


@pytest.mark.parametrize("path, count", [(TWO_RECORDS, 2), (TURTLES, 31)])
def test_read_of_several_records_names_them_and_the_way_out(path, count):
    with pytest.raises(ValueError, match=rf"holds {count} records.*record=.*records\(path\)"):
        tessaron.read(path)


def test_genomes_from_letters_and_seqrecord_like_objects():
    mito = tessaron.read(MITO)
    record = SimpleNamespace(seq=mito.sequence, id="chrM", description="human mitochondrion")
    for given, seqid in [
        (record, "chrM"),
        (mito.sequence, "sequence"),
        (mito.sequence.encode(), "sequence"),
        (mito, mito.seqid),
    ]:
        genome = tessaron.as_genome(given)
        assert (genome.seqid, genome.sequence) == (seqid, mito.sequence)
    assert tessaron.as_genome(mito.sequence, seqid="named").seqid == "named"
    assert tessaron.as_genome(mito, seqid="other").seqid == "other"
    # The same pairs whatever the form.
    assert len(tessaron.repeats(record, min=14)) == len(tessaron.repeats(mito, min=14)) > 0


@pytest.mark.parametrize(
    "given, error",
    [("", ValueError), ("NNNN", ValueError), ("genome.gb", ValueError), (b"-- --", ValueError), (42, TypeError)],
)
def test_what_is_not_a_genome_is_refused(given, error):
    with pytest.raises(error):
        tessaron.as_genome(given)


def test_defaults_are_the_command_lines(cli):
    # tessaron-cli without options: the trie's search of 8 to 30 letters.
    mito = tessaron.read(MITO)
    expected = cli("--report", "pairs", MITO)
    table = tessaron.repeats(mito)
    assert len(table) == len(expected) - 1
    assert set(table["length"]) <= set(range(8, 31))


def test_a_search_past_the_pair_limit_stops_before_the_table():
    # Ten copies of 3,000 random letters: 5,000 direct pairs (the maximal
    # ones, which both searches find).
    letters = random.Random(1).choices("ACGT", k=3000)
    genome = tessaron.as_genome("".join(letters) * 10)
    for method in ("trie", "complete"):
        assert len(tessaron.repeats(genome, method, kinds="direct", max_pairs=5000)) == 5000
        with pytest.raises(tessaron.SearchError, match=r"max_pairs=4999\b.*max_pairs=49990"):
            tessaron.repeats(genome, method, kinds="direct", max_pairs=4999)
    with pytest.raises(ValueError):
        tessaron.repeats(genome, max_pairs=0)
    # Counts hold no pairs: no limit but the engine's.
    assert tessaron.summary(genome, kinds="direct")["pairs"].sum() == 5000


@pytest.mark.parametrize(
    "make, options, path",
    [
        (lambda g: tessaron.repeats(g), [], MITO),
        (lambda g: tessaron.repeats(g, "complete", min=12), ["--method", "complete", "--min", "12"], MITO),
        (lambda g: tessaron.repeats(g, "approximate", min=14, identity=80),
         ["--approximate", "--min", "14", "--identity", "80"], MITO),
        (lambda g: tessaron.microsatellites(g), ["--ssr"], CHLOROPLAST),
    ],
)
def test_ranges_are_the_command_lines_bed(cli, make, options, path):
    genome = tessaron.read(path)
    expected = cli(*options, "--report", "bed", path)
    ranges = tessaron.to_ranges(make(genome))
    assert list(ranges.columns) == ["seqid", "start", "end", "name", "score", "strand"]
    got = [tuple(map(str, row)) for row in zip(*(ranges[c] for c in ranges.columns))]
    assert len(got) == len(expected) > 0
    assert sorted(got) == sorted(tuple(row) for row in expected)
    assert [row[1] for row in got] == [row[1] for row in expected]
    text = tessaron.to_bed(make(genome))
    assert text.count("\n") == len(expected)


def test_ranges_split_a_copy_across_the_origin():
    # The word ACGGATCCAG once inside the ring and once across its origin.
    word = "ACGGATCCAG"
    genome = tessaron.as_genome(word[4:] + "TTCTTCTTCTTC" + word + "GAGAAGAGAAGA" + word[:4], seqid="ring")
    ranges = tessaron.to_ranges(tessaron.repeats(genome, "complete", kinds="direct", min=10))
    assert list(zip(ranges["start"], ranges["end"], ranges["name"])) == [
        (0, 6, "direct-10-1-1"),
        (18, 28, "direct-10-1-1"),
        (40, 44, "direct-10-1-1"),
    ]
    assert set(ranges["seqid"]) == {"ring"}
