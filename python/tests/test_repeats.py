import gzip
import math

import numpy as np
import pytest

import tessaron
from conftest import CHLOROPLAST, MITO, TWO_RECORDS


@pytest.fixture(scope="module")
def mito():
    return tessaron.read(MITO)


def rows(table):
    """The rows of a table as tuples of its cells written as the command line writes them."""
    columns = [table[name] for name in table]
    return [tuple(str(cell) for cell in row) for row in zip(*columns)]


@pytest.mark.parametrize(
    "method, options",
    [("trie", []), ("described", []), ("complete", ["--complete"]), ("complete", ["--method", "complete"])],
)
def test_pairs_are_the_command_lines(cli, mito, method, options):
    expected = cli(*options, "--report", "pairs", MITO)
    table = tessaron.repeats(mito, method=method)
    assert list(table.columns) == expected[0]
    assert rows(table) == [tuple(row) for row in expected[1:]]


def cli_has(cli, option):
    return option in "".join(",".join(row) for row in cli("--help"))


def test_approximate_pairs_are_the_command_lines(cli, mito):
    # Runs once tessaron-cli has --approximate: its first five columns, then
    # identity and E-value as numbers (written with fewer digits), then the
    # features.
    if not cli_has(cli, "--approximate"):
        pytest.skip("tessaron-cli has no --approximate yet")
    expected = cli("--approximate", "--min", 14, "--identity", 80, "--report", "pairs", MITO)[1:]
    table = tessaron.repeats(mito, method="approximate", min=14, identity=80)
    got = rows(table)
    assert len(got) == len(expected) > 0
    for mine, theirs in zip(got, expected):
        assert mine[:5] == tuple(theirs[:5])
        assert all(math.isclose(float(a), float(b), rel_tol=0.05) for a, b in zip(mine[5:7], theirs[5:7]))
        assert mine[7:] == tuple(theirs[7:])


def test_approximate_without_mismatches_is_the_complete_search(mito):
    # A mismatch penalty no segment can bridge leaves the exact maximal repeats.
    approximate = tessaron.repeats(mito, "approximate", min=10, identity=0, mismatch_penalty=1000)
    complete = tessaron.repeats(mito, "complete", min=10)
    key = ["kind", "length", "first", "second"]
    assert len(approximate) > 0
    assert set(map(tuple, approximate[key].values.tolist())) == set(map(tuple, complete[key].values.tolist()))
    assert (approximate["mismatches"] == 0).all() and (approximate["identity"] == 100).all()


def test_summary_counts_the_pairs(mito):
    pairs = tessaron.repeats(mito, "described", kinds=["inverted", "mirror"], min=9, max=14)
    counts = tessaron.summary(mito, "described", kinds=["inverted", "mirror"], min=9, max=14)
    assert sorted(set(counts["kind"])) == ["inverted", "mirror"]
    assert list(counts["repeat_length"]) == list(range(9, 15)) * 2
    found = pairs.groupby(["kind", "length"]).size()
    for kind, length, count in zip(counts["kind"], counts["repeat_length"], counts["pairs"]):
        assert found.get((kind, length), 0) == count


def test_without_pandas_tables_are_dicts_of_arrays(mito, monkeypatch):
    monkeypatch.setattr(tessaron, "_pandas_tried", True)
    monkeypatch.setattr(tessaron, "_pandas", None)
    table = tessaron.repeats(mito, "complete", kinds="direct", min=14)
    assert isinstance(table, dict) and list(table) == [
        "kind", "length", "word", "first", "second", "first_features", "second_features"]
    assert table["first"].dtype == np.int64 and len(table["word"]) == len(table["first"]) > 0
    assert all(len(word) == length for word, length in zip(table["word"], table["length"]))


def test_genomes_records_and_features(cli):
    listed = tessaron.contents(TWO_RECORDS)
    assert [(r.number, r.format) for r in listed] == [(1, "GenBank"), (2, "GenBank")]
    second = tessaron.read(TWO_RECORDS, record=listed[1].name)
    assert (second.seqid, second.title, len(second)) == (listed[1].seqid, listed[1].title, listed[1].length)
    assert tessaron.read(TWO_RECORDS, 2).sequence == second.sequence
    mito = tessaron.read(MITO)
    expected = cli("--features", MITO)[1:]
    assert [(f.name, str(f.start), str(f.end), f.colour) for f in mito.features] == [tuple(r) for r in expected]
    made = tessaron.Genome.from_string("acgt NNxx\nACGT", title="made")
    assert (made.sequence, len(made), made.title, made.features) == ("ACGTNNXXACGT", 12, "made", [])
    assert made.seqid == "sequence"


def test_microsatellites_and_controls():
    genome = tessaron.Genome.from_string("GC" + "AT" * 8 + "GCCGGA" + "C" * 12 + "TGCAAGT")
    found = tessaron.microsatellites(genome)
    assert rows(found) == [
        ("3", "2", "AT", "8", "16", "AT/AT", "1", "18"),
        ("25", "1", "C", "12", "12", "C/G", "1", "36"),
    ]
    controls = tessaron.controls(tessaron.Genome.from_string("ACGTTGCAAGGCTTAC" * 40), 4, seed=3)
    assert list(controls.columns) == ["kind", "repeat_length", "pairs", "control_mean", "control_sd", "z"]
    assert len(controls) == 4 * 23 and controls["control_sd"].ge(0).all()


def test_controls_are_the_command_lines(cli, mito):
    expected = cli("--controls", 3, "--seed", 7, "--min", 9, "--max", 12, MITO)
    table = tessaron.controls(mito, 3, seed=7, method="described", min=9, max=12)
    assert list(table.columns) == expected[0]
    for mine, theirs in zip(rows(table), expected[1:], strict=True):
        assert mine[:3] == tuple(theirs[:3])
        numbers = [(float(a), float(b or "nan")) for a, b in zip(mine[3:], theirs[3:])]
        assert all(math.isclose(a, b, rel_tol=1e-5) or (math.isnan(a) and math.isnan(b)) for a, b in numbers)


def test_microsatellites_are_the_command_lines(cli):
    # Runs once tessaron-cli has --ssr; it writes "-" for no compound.
    if not cli_has(cli, "--ssr"):
        pytest.skip("tessaron-cli has no --ssr yet")
    expected = cli("--ssr", "--report", "ssr", CHLOROPLAST)[1:]
    got = [row[:6] + ("-" if row[6] == "0" else row[6],) + row[7:] for row in rows(
        tessaron.microsatellites(tessaron.read(CHLOROPLAST)))]
    assert got == [tuple(row) for row in expected] and got


def test_gzip_files_read_as_their_content(tmp_path, mito):
    packed = tmp_path / "NC_012920.gb.gz"
    packed.write_bytes(gzip.compress(MITO.read_bytes()))
    try:
        genome = tessaron.read(packed)
    except tessaron.InputError as error:
        if error.reason == "not_text":
            pytest.skip("the readers do not unpack gzip yet")
        raise
    assert (genome.seqid, genome.sequence, genome.features) == (mito.seqid, mito.sequence, mito.features)


def test_the_methods_are_the_command_lines():
    assert tessaron.METHODS == ("trie", "complete", "approximate")
    genome = tessaron.Genome.from_string("ACGTACGTTTACGTACGTAA" * 5)
    assert rows(tessaron.summary(genome, "described", min=4, max=9)) == rows(
        tessaron.summary(genome, "trie", min=4, max=9)
    )


def test_plastome_parts_junctions_and_differences():
    chloroplast = tessaron.read(CHLOROPLAST)
    found = tessaron.plastome(chloroplast)
    assert found["found"] and found["length"] == 154478
    assert [(r["name"], r["start"], r["end"], r["length"]) for r in found["regions"]] == [
        ("LSC", 1, 84170, 84170),
        ("IRb", 84171, 110434, 26264),
        ("SSC", 110435, 128214, 17780),
        ("IRa", 128215, 154478, 26264),
    ]
    positions = [j["position"] for j in found["junctions"]]
    assert positions == ["84170^84171", "110434^110435", "128214^128215", "154478^1"]
    assert found["differences"] == [] and found["ir_identity"] == 100.0
    # One base changed in IRa is listed as a mismatch at its place.
    bases = list(chloroplast.sequence)
    bases[140000] = "A" if bases[140000] != "A" else "C"
    changed = tessaron.plastome(tessaron.Genome.from_string("".join(bases)))
    assert [(d["kind"], d["ira_start"]) for d in changed["differences"]] == [("mismatch", 140001)]
    assert not tessaron.plastome(chloroplast, min_ir=30000)["found"]
    with pytest.raises(ValueError):
        tessaron.plastome(chloroplast, min_ir_share=60)


def test_tandem_is_the_command_line(cli):
    if not cli_has(cli, "--tandem"):
        pytest.skip("tessaron-cli has no --tandem yet")
    expected = cli("--report", "tandem", CHLOROPLAST)
    table = tessaron.tandem(tessaron.read(CHLOROPLAST))
    assert list(table.columns) == expected[0]
    got = [row[:3] + ("%.1f" % float(row[3]),) + row[4:] for row in rows(table)]
    assert got == [tuple(row) for row in expected[1:]] and got
    with pytest.raises(ValueError):
        tessaron.tandem(tessaron.read(CHLOROPLAST), max_period=10001)


@pytest.fixture(scope="module")
def chloroplast():
    return tessaron.read(CHLOROPLAST)


@pytest.mark.parametrize(
    "function, report",
    [
        (lambda g: tessaron.repeats(g, "approximate", min=20, identity=85, gaps=True, gap_open=4), "pairs"),
        (lambda g: tessaron.summary(g, "approximate", min=20, identity=85, gaps=True, gap_open=4), "summary"),
        (lambda g: tessaron.families(g, min=20, identity=85, gap_open=4), "families"),
    ],
)
def test_gapped_tables_are_the_command_lines(cli, chloroplast, function, report):
    # The gapped pairs (every column but identity and E-value, written with
    # fewer digits), their summary and their families.
    tidy = ["--tidy"] if report == "summary" else []
    expected = cli("--approximate", "--gaps", "--gap-open", 4, "--min", 20, "--identity", 85, *tidy,
                   "--report", report, CHLOROPLAST)
    table = function(chloroplast)
    got = rows(table)
    if report == "summary":
        # The tidy summary: seqid, kind, repeat_length, pairs.
        assert [(kind, size, pairs) for _, kind, size, pairs in expected[1:]] == got
        return
    assert list(table.columns) == expected[0]
    assert len(got) == len(expected) - 1 > 0
    numbers = {"identity", "evalue"}
    for mine, theirs in zip(got, expected[1:]):
        for name, a, b in zip(table.columns, mine, theirs):
            if name in numbers:
                assert math.isclose(float(a), float(b), rel_tol=0.05)
            else:
                assert a == b, name


def test_gapped_pairs_reach_the_ranges_at_their_own_lengths(chloroplast):
    table = tessaron.repeats(chloroplast, "approximate", min=20, identity=85, gaps=True)
    gapped = table[table["second_length"] != table["length"]]
    assert len(gapped) > 0
    ranges = tessaron.to_ranges(table)
    sizes = (ranges["end"] - ranges["start"]).tolist()
    # Every copy of the table is a range (two where it crosses the origin).
    assert sum(sizes) == int(table["length"].sum() + table["second_length"].sum())


@pytest.mark.parametrize(
    "call, message",
    [
        (lambda g: tessaron.repeats(g, "approximate", gap_open=3), "gap_open apply only to gaps=True"),
        (lambda g: tessaron.repeats(g, "trie", gaps=True), "apply only to method='approximate'"),
        (lambda g: tessaron.families(g, gaps=False), "gaps=False does not apply"),
        (lambda g: tessaron.families(g, threads=2), "threads does not apply"),
    ],
)
def test_gapped_options_out_of_place_are_refused(mito, call, message):
    with pytest.raises(TypeError, match=message):
        call(mito)


def test_gapped_costs_out_of_range_are_refused(mito):
    with pytest.raises(ValueError, match="gap"):
        tessaron.repeats(mito, "approximate", gaps=True, gap_extend=0)
