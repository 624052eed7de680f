"""Repeated words of a circular genome, for notebooks.

Read a genome (GenBank, FASTA or plain text, gzip too) and find its repeats of
the four kinds: direct (the same word again), inverted (the reverse
complement), mirror (the word read backwards) and complementary (the
complement read in the same direction)::

    import tessaron
    genome = tessaron.read("data/NC_012920.gb")
    pairs = tessaron.repeats(genome)            # the words of 8 to 30 letters
    bed = tessaron.to_ranges(pairs)             # seqid, start, end, name, score, strand

A file of several records is read once by ``tessaron.records(path)``, which
yields them one by one. A Biopython SeqRecord (anything with ``.seq`` and
``.id``), a str or bytes of letters is taken wherever a genome is.

The tables are pandas DataFrames when pandas can be imported, else dicts of
NumPy arrays, with the columns of the command line's reports. Every position
is 1-based, as in every output of tessaron-cli.

The long searches release the interpreter lock. They take two callbacks:
``progress(fraction)``, called with the fraction done (0 to 1) as the search
goes on, and ``cancel()``, asked every 50 ms or so: when it returns True the
search stops and raises Cancelled; when it raises, the search stops and its
exception goes on. Ctrl-C (KeyboardInterrupt) stops a search too.
"""

from __future__ import annotations

import os
from typing import Any, Callable, Iterable, Iterator, Optional, Sequence, Union

from . import _core
from ._core import Cancelled, Feature, Genome, InputError, Record, SearchError
from ._version import __version__

__all__ = [
    "Cancelled",
    "Feature",
    "Genome",
    "InputError",
    "Record",
    "SearchError",
    "KINDS",
    "METHODS",
    "MAX_PAIRS",
    "__version__",
    "contents",
    "controls",
    "as_genome",
    "families",
    "microsatellites",
    "plastome",
    "tandem",
    "read",
    "records",
    "repeats",
    "summary",
    "to_bed",
    "to_ranges",
]

#: The kinds of repeat, in the order every table lists them.
KINDS = ("direct", "inverted", "mirror", "complementary")
#: The search methods, named as the command line's --method and the desktop's
#: settings name them: the suffix index's search of the words from the minimum
#: to the maximum length ("trie"; "described" is taken too, its earlier name),
#: every maximal repeat at its full length, and the approximate search
#: (mismatches allowed, with E-values).
METHODS = tuple(_core.METHODS)

_APPROXIMATE_DEFAULTS = {
    "mismatch_penalty": 2,
    "identity": 90.0,
    "max_mismatches": None,
    "evalue": None,
    "threads": 0,
    "gaps": False,
    "gap_open": 5,
    "gap_extend": 2,
}

#: The pairs a table of repeats() holds unless its max_pairs allows more:
#: ten million rows take about half a gigabyte.
MAX_PAIRS = 10_000_000

Path = Union[str, "os.PathLike[str]"]
GenomeLike = Union[Genome, str, bytes, Any]
Progress = Optional[Callable[[float], Any]]
Cancel = Optional[Callable[[], Any]]

_pandas: Any = None
_pandas_tried = False


class Table(dict):
    """The columns of a table (NumPy arrays by name) where pandas is missing;
    ``attrs`` holds the genome's seqid and length, as a DataFrame's attrs."""

    def __init__(self, columns: dict, attrs: Optional[dict] = None):
        super().__init__(columns)
        self.attrs = dict(attrs or {})


def _frame(columns: dict, genome: Optional[Genome] = None) -> Any:
    """A pandas DataFrame of the columns when pandas can be imported, else a
    Table; either carries the genome's seqid and length in ``attrs``."""
    global _pandas, _pandas_tried
    if not _pandas_tried:
        _pandas_tried = True
        try:
            import pandas
        except ImportError:
            pandas = None
        _pandas = pandas
    attrs = {} if genome is None else {"seqid": genome.seqid, "length": len(genome)}
    if _pandas is None:
        return Table(columns, attrs)
    frame = _pandas.DataFrame(columns, copy=False)
    frame.attrs.update(attrs)
    return frame


_IUPAC = frozenset("ACGTURYSWKMBDHVNacgturyswkmbdhvn-.* \t\r\n")


def as_genome(value: GenomeLike, seqid: Optional[str] = None) -> Genome:
    """A Genome of what is given: a Genome as it is (with ``seqid`` when
    given), an object with ``.seq`` and ``.id`` (a Biopython SeqRecord: its id
    is the seqid), or a str or bytes of letters (seqid "sequence" unless
    given). A path is read with read(), not here: a str that is not letters
    raises ValueError."""
    if isinstance(value, Genome):
        if seqid is None or seqid == value.seqid:
            return value
        return Genome.from_string(value.sequence, value.title, seqid)
    title = ""
    if hasattr(value, "seq") and not isinstance(value, (str, bytes)):
        if seqid is None:
            seqid = str(getattr(value, "id", "") or "")
        title = str(getattr(value, "description", "") or "")
        value = value.seq
        if not isinstance(value, (str, bytes)):
            value = str(value)
    if isinstance(value, (bytes, bytearray, memoryview)):
        value = bytes(value).decode("ascii", errors="replace")
    if not isinstance(value, str):
        raise TypeError(
            "a genome is a tessaron.Genome, a str or bytes of letters or an object with .seq and .id, not "
            + type(value).__name__
        )
    if not _IUPAC.issuperset(value):
        shown = value if len(value) <= 40 else value[:40] + "…"
        raise ValueError(
            f"not a sequence of bases: {shown!r} (to read a file, use tessaron.read(path))"
        )
    return Genome.from_string(value, title[:95], seqid or "")


def _kinds(kinds: Union[None, str, Iterable[str]]) -> list:
    if kinds is None:
        return list(KINDS)
    if isinstance(kinds, str):
        return [kinds]
    return list(kinds)


def _search_arguments(method: str, min: Optional[int], options: dict) -> dict:
    unknown = sorted(set(options) - set(_APPROXIMATE_DEFAULTS))
    if unknown:
        raise TypeError("unknown option(s): " + ", ".join(unknown))
    if options and method != "approximate":
        raise TypeError(", ".join(sorted(options)) + " apply only to method='approximate'")
    arguments = dict(_APPROXIMATE_DEFAULTS)
    arguments.update(options)
    costs = sorted({"gap_open", "gap_extend"} & set(options))
    if costs and not arguments["gaps"]:
        raise TypeError(", ".join(costs) + " apply only to gaps=True")
    if min is None:
        min = 30 if method == "approximate" else 8
    arguments["min"] = min
    return arguments


def read(path: Path, record: Union[None, int, str] = None) -> Genome:
    """Reads one record of a file as a Genome.

    The format is told by the bytes: GenBank (records from LOCUS to "//", with
    their features), FASTA (a record per ">" header) or plain text (every A, C,
    G and T is a base); gzip-compressed files are read as well where the
    library was built with gzip support. ``record`` chooses among several
    records: None for the first, a number from 1, or a LOCUS name, accession
    (with or without version) or FASTA id.

    Raises InputError (with ``path``, ``line``, ``reason`` and ``detail``) for a
    file that is missing, unreadable, empty, not text or malformed,
    ValueError for a record that is not there or not the only one of its name,
    and for a file of several records read without ``record`` (it names how
    many; records() yields them all), and TypeError for a ``record`` that is
    neither an int nor a str.
    """
    return _core.read(path, record)


def plastome(genome: Genome, min_ir: int = 1000, min_ir_share: float = 1.0) -> dict:
    """The plastome's four parts: the longest inverted-repeat pair (copies may
    differ by mismatches and indels) and the single-copy regions between them.

    Returns a dict: ``found`` (False when no inverted-repeat copy reaches
    ``min_ir`` bases and ``min_ir_share`` percent of the genome), ``length``,
    ``regions`` (LSC, IRb, SSC, IRa in order round the circle: name, start,
    end, length, gc in percent; 1-based, end < start across the origin),
    ``junctions`` (JLB, JSB, JSA, JLA: name, position "a^b", the bases before
    and after, the genes crossing it as (name, bases_before, bases_after) and
    the nearest gene on each side as (name, distance) or None),
    ``differences`` between the copies read along IRb (kind "mismatch" or
    "indel", irb_start, irb_length, irb_bases, ira_start, ira_length,
    ira_bases) and ``ir_identity`` in percent.
    """
    return _core.plastome(genome, min_ir, min_ir_share)


def records(path: Path) -> Iterator[Genome]:
    """Every record of a file as a Genome, in the file's order. The file is
    read once; each record is loaded when its turn comes. Raises InputError
    as read() does."""
    reader = _core.Reader(path)
    for index in range(len(reader)):
        yield reader.genome(index)


def contents(path: Path) -> list:
    """The records of a file, without loading them: Record(number, name, seqid,
    format, title, description, length), number from 1, format "GenBank",
    "FASTA" or "text", length the letters of the sequence as written.
    Raises InputError as read() does."""
    return _core.contents(path)


def _searched(
    search: Any,
    genome: GenomeLike,
    method: str,
    kinds: Union[None, str, Iterable[str]],
    min: Optional[int],
    max: int,
    max_pairs: int,
    progress: Progress,
    cancel: Cancel,
    approximate_options: dict[str, Any],
) -> Any:
    """The frame of ``search`` (_core.repeats or _core.summary) with the arguments of repeats()."""
    genome = as_genome(genome)
    arguments = _search_arguments(method, min, approximate_options)
    return _frame(
        search(
            genome, method, _kinds(kinds), max=max, max_pairs=max_pairs, progress=progress, cancel=cancel,
            **arguments,
        ),
        genome,
    )


def repeats(
    genome: GenomeLike,
    method: str = "trie",
    kinds: Union[None, str, Iterable[str]] = None,
    min: Optional[int] = None,
    max: int = 30,
    *,
    max_pairs: int = MAX_PAIRS,
    progress: Progress = None,
    cancel: Cancel = None,
    **approximate_options: Any,
) -> Any:
    """Every pair of copies of the kinds' repeats, as ``tessaron-cli --report pairs``.

    ``genome``: a Genome, a SeqRecord-like object or a str or bytes of letters
    (see as_genome()). ``method``: "trie" or "described" (the words of ``min`` to
    ``max`` letters, the default, as on the command line), "complete"
    (every maximal repeat at its full length, from ``min`` letters; ``max`` does
    not cut it) or "approximate" (pairs that agree at most letters).
    ``kinds``: a kind, several, or None for all four. ``min`` defaults to 8,
    and to 30 for the approximate search.

    The exact searches give the columns kind, length, word, first and second;
    the approximate search kind, length, mismatches, first, second, identity
    (percent) and evalue. First and second are the 1-based starts of the two
    copies; a copy may run over the end of the sequence into its beginning.
    A genome with features (GenBank) adds first_features and second_features,
    the features each copy overlaps ("tRNA-Leu / ND5") or "intergenic". A word
    of more than 256 letters is written as its first 40 and "…".

    The approximate search takes keyword options: mismatch_penalty (2),
    identity (90.0, percent), max_mismatches (None), evalue (None: the
    largest E-value kept) and threads (0: every core). With gaps=True it
    allows insertions and deletions, as ``tessaron-cli --approximate --gaps``:
    local alignments scored +1 per equal letter, -mismatch_penalty per
    mismatch and gap_open + k * gap_extend (5 and 2) per run of k letters
    facing none; each copy has its own length, the shorter one counts for
    ``min``, and the columns go on with second_length, insertions, deletions
    and cigar (the second copy against the first: runs of = X I D). The
    gapped search runs on one thread.

    Raises SearchError, before the table is made, when there would be more
    than ``max_pairs`` pairs (MAX_PAIRS, ten million, unless given) or more
    than the approximate search's own limit (the message gives it), Cancelled
    when stopped by ``cancel`` or the KeyboardInterrupt of Ctrl+C, MemoryError
    when memory runs out.
    """
    return _searched(_core.repeats, genome, method, kinds, min, max, max_pairs, progress, cancel,
                     approximate_options)


def summary(
    genome: GenomeLike,
    method: str = "trie",
    kinds: Union[None, str, Iterable[str]] = None,
    min: Optional[int] = None,
    max: int = 30,
    *,
    progress: Progress = None,
    cancel: Cancel = None,
    **approximate_options: Any,
) -> Any:
    """The pairs per kind and length, with the arguments of repeats().

    The exact searches give kind, repeat_length and pairs for every length from
    ``min`` to ``max`` (and, for the complete search, on to the longest repeat
    found), zero counts included. The approximate search gives kind,
    length_class and pairs in the length classes of genome papers (30-39,
    40-49, 50-59, 60-99, 100-999, "1000 and more"); shorter pairs are in none.
    With gaps=True the gapped pairs are counted by their shorter copy.
    """
    return _searched(_core.summary, genome, method, kinds, min, max, MAX_PAIRS, progress, cancel,
                     approximate_options)


def families(
    genome: GenomeLike,
    kinds: Union[None, str, Iterable[str]] = None,
    min: int = 30,
    *,
    progress: Progress = None,
    cancel: Cancel = None,
    **gapped_options: Any,
) -> Any:
    """The families of repeated copies, as ``tessaron-cli --approximate --gaps
    --report families``: the gapped pairs of the kinds (the arguments of
    repeats(method="approximate", gaps=True), but for threads) link their two
    copies; copies that cover at least 90 % of each other are one copy, and
    a family is every copy linked to another (single linkage). Most copies
    first, numbered from 1.

    One row per copy: family, copies (the family's), representative (the
    copy in most pairs, then the longest, as "start..end", 1-based and
    inclusive; a copy over the origin ends past it at end - N), min_length,
    max_length, kinds present ("direct,inverted"), copy ("start..end") and
    strand (+, -, reverse or complement: how the copy reads against the
    representative).
    """
    if "threads" in gapped_options:
        raise TypeError("threads does not apply to families(): the gapped search runs on one thread")
    genome = as_genome(genome)
    options = dict(gapped_options)
    options.setdefault("gaps", True)
    arguments = _search_arguments("approximate", min, options)
    if not arguments.pop("gaps"):
        raise TypeError("families() groups the gapped pairs: gaps=False does not apply")
    arguments.pop("threads")
    return _frame(_core.families(genome, _kinds(kinds), progress=progress, cancel=cancel, **arguments), genome)


def microsatellites(
    genome: GenomeLike,
    min_repeats: Sequence[int] = (10, 6, 5, 5, 5, 5),
    compound_distance: int = 100,
    *,
    progress: Progress = None,
    cancel: Cancel = None,
) -> Any:
    """The microsatellites (runs of a unit of 1 to 6 letters) of the genome.

    ``min_repeats``: the least number of units reported for unit lengths 1 to 6,
    each from 2 to 1000000; ``compound_distance``: the greatest gap in letters
    between the members of a compound, from 0 to 1000000 (as on the command
    line and in the desktop). Columns: start (1-based), unit_length, unit, repeats, length,
    class ("AG/CT"), compound (its number, 0 when in none), end (1-based,
    inclusive; beyond the genome's length for one across the origin), and for
    a genome with features, features.
    """
    genome = as_genome(genome)
    return _frame(
        _core.microsatellites(genome, list(min_repeats), compound_distance, progress, cancel), genome
    )


def tandem(
    genome: Genome,
    max_period: int = 2000,
    *,
    match: int = 2,
    mismatch: int = 7,
    indel: int = 7,
    min_score: int = 50,
    all: bool = False,
    progress: Progress = None,
    cancel: Cancel = None,
) -> Any:
    """The tandem arrays (approximate copies of a unit of 1 to ``max_period``
    letters, up to 10000, one after another) of the genome, as
    ``tessaron-cli --report tandem`` writes them.

    Scores: +``match`` per letter equal to the consensus, -``mismatch`` per
    letter that differs, -``indel`` per letter inserted or missing, each 1 to
    100; an array needs ``min_score``. ``all`` keeps the arrays of every period
    where several cover a stretch. Columns: start (1-based), end (1-based,
    inclusive; beyond the genome's length across the origin), period, copies,
    consensus, class, percent_matches, percent_indels, score, alignment.
    """
    return _frame(
        _core.tandem(genome, max_period, match, mismatch, indel, min_score, all, progress, cancel)
    )


def controls(
    genome: GenomeLike,
    replicates: int,
    seed: int = 1,
    *,
    method: str = "trie",
    min: int = 8,
    max: int = 30,
    threads: int = 0,
    progress: Progress = None,
    cancel: Cancel = None,
) -> Any:
    """The genome's pairs per kind and length beside those of ``replicates``
    random sequences of exactly its composition (seeds seed, seed + 1, ...),
    searched alike on ``threads`` threads (0: every core).

    Columns: kind, repeat_length, pairs, control_mean, control_sd (sample
    standard deviation) and z = (pairs - mean) / sd, NaN when sd is 0. The
    method is "trie" (or "described") or "complete".
    """
    genome = as_genome(genome)
    return _frame(
        _core.controls(genome, replicates, seed, method, min, max, threads, progress, cancel), genome
    )


def _column(table: Any, name: str) -> list:
    return list(table[name])


def _bed_rows(table: Any, seqid: Optional[str], length: Optional[int]) -> list:
    attrs = getattr(table, "attrs", {}) or {}
    seqid = seqid if seqid is not None else attrs.get("seqid")
    length = length if length is not None else attrs.get("length")
    if not seqid or not length:
        raise ValueError("the table carries no seqid and length: give them, to_bed(table, seqid=..., length=...)")
    names = set(table)
    rows = []

    def copy(start: int, size: int, name: str, score: int, strand: str) -> None:
        # A copy across the origin: from its start to the end, and from 0 on.
        end = start + size
        if end > length:
            rows.append((start, length, name, score, strand))
            rows.append((0, end - length, name, score, strand))
        else:
            rows.append((start, end, name, score, strand))

    if {"kind", "length", "first", "second", "mismatches", "identity"} <= names:
        numbers: dict = {}
        # A gapped pair's second copy has a length of its own.
        second_sizes = _column(table, "second_length" if "second_length" in names else "length")
        for kind, size, first, second, identity, second_size in zip(
            *(_column(table, c) for c in ("kind", "length", "first", "second", "identity")), second_sizes
        ):
            numbers[kind] = numbers.get(kind, 0) + 1
            name = f"{kind}-{numbers[kind]}"
            score = int(float(identity) * 10 + 0.5)
            copy(int(first) - 1, int(size), name, score, "+")
            copy(int(second) - 1, int(second_size), name, score, "-" if kind == "inverted" else "+")
    elif {"kind", "length", "word", "first", "second"} <= names:
        repeat_numbers: dict = {}
        previous = None
        pair = 0
        for kind, size, word, first, second in zip(
            *(_column(table, c) for c in ("kind", "length", "word", "first", "second"))
        ):
            # Rows of one repeat follow one another; R counts the repeats of a
            # kind and length, P the pairs of a repeat.
            key = (kind, int(size))
            if previous != (key, word):
                repeat_numbers[key] = repeat_numbers.get(key, 0) + 1
                pair = 0
                previous = (key, word)
            pair += 1
            name = f"{kind}-{int(size)}-{repeat_numbers[key]}-{pair}"
            copy(int(first) - 1, int(size), name, 0, "+")
            copy(int(second) - 1, int(size), name, 0, "-" if kind == "inverted" else "+")
    elif {"start", "unit", "repeats", "length"} <= names:
        for start, unit, count, size in zip(*(_column(table, c) for c in ("start", "unit", "repeats", "length"))):
            copy(int(start) - 1, int(size), f"({unit}){int(count)}", 0, "+")
    else:
        raise ValueError("to_bed takes a table of repeats() or microsatellites()")
    rows.sort(key=lambda row: row[0])
    return [(seqid, *row) for row in rows]


def to_ranges(table: Any, seqid: Optional[str] = None, length: Optional[int] = None) -> Any:
    """The copies of a table's pairs (or its microsatellites) as genomic
    ranges, the rows of ``tessaron-cli --report bed``: seqid, start (0-based),
    end (exclusive), name (KIND-LENGTH-R-P: the R-th repeat of its kind and
    length, its P-th pair; KIND-N for the approximate search; (UNIT)REPEATS for
    a microsatellite), score (0, or 10 x identity) and strand (- for the second
    copy of an inverted repeat), sorted by start. A copy across the origin is
    two rows. The seqid and the genome's length come from the table (tables
    of this module carry them) unless given."""
    rows = _bed_rows(table, seqid, length)
    columns = ("seqid", "start", "end", "name", "score", "strand")
    return _frame({name: [row[c] for row in rows] for c, name in enumerate(columns)})


def to_bed(table: Any, path: Optional[Path] = None, seqid: Optional[str] = None,
           length: Optional[int] = None) -> str:
    """The BED6 text of to_ranges(table) (no header), written to ``path`` when given."""
    text = "".join("\t".join(map(str, row)) + "\n" for row in _bed_rows(table, seqid, length))
    if path is not None:
        with open(path, "w", encoding="utf-8") as out:
            out.write(text)
    return text
