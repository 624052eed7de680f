"""Repeated words of a circular genome, for notebooks.

Read a genome (GenBank, FASTA or plain text, gzip too) and find its repeats of
the four kinds: direct (the same word again), inverted (the reverse
complement), mirror (the word read backwards) and complementary (the
complement read in the same direction)::

    import tessaron
    genome = tessaron.read("NC_012920.gb")
    pairs = tessaron.repeats(genome, method="complete", min=12)

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
from typing import Any, Callable, Iterable, Optional, Sequence, Union

from . import _core
from ._core import Cancelled, Feature, Genome, InputError, Record, SearchError

__all__ = [
    "Cancelled",
    "Feature",
    "Genome",
    "InputError",
    "Record",
    "SearchError",
    "KINDS",
    "METHODS",
    "controls",
    "microsatellites",
    "tandem",
    "read",
    "records",
    "repeats",
    "summary",
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
}

Path = Union[str, "os.PathLike[str]"]
Progress = Optional[Callable[[float], Any]]
Cancel = Optional[Callable[[], Any]]

_pandas: Any = None
_pandas_tried = False


def _frame(columns: dict) -> Any:
    """A pandas DataFrame of the columns when pandas can be imported, else the dict itself."""
    global _pandas, _pandas_tried
    if not _pandas_tried:
        _pandas_tried = True
        try:
            import pandas
        except ImportError:
            pandas = None
        _pandas = pandas
    if _pandas is None:
        return columns
    return _pandas.DataFrame(columns, copy=False)


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
    file that is missing, unreadable, empty, not text or malformed, and
    ValueError for a record that is not there or not the only one of its name.
    """
    return _core.read(path, record)


def records(path: Path) -> list:
    """The records of a file, without loading them: Record(number, name, seqid,
    format, title, description, length), number from 1, format "GenBank",
    "FASTA" or "text", length the letters of the sequence as written.
    Raises InputError as read() does."""
    return _core.records(path)


def repeats(
    genome: Genome,
    method: str = "complete",
    kinds: Union[None, str, Iterable[str]] = None,
    min: Optional[int] = None,
    max: int = 30,
    *,
    progress: Progress = None,
    cancel: Cancel = None,
    **approximate_options: Any,
) -> Any:
    """Every pair of copies of the kinds' repeats, as ``tessaron-cli --report pairs``.

    ``method``: "trie" or "described" (the words of ``min`` to ``max`` letters), "complete"
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
    largest E-value kept) and threads (0: every core).

    Raises SearchError when the complete search would hold more than 2^27
    pairs, Cancelled when stopped by ``cancel``, MemoryError when memory runs out.
    """
    arguments = _search_arguments(method, min, approximate_options)
    return _frame(
        _core.repeats(genome, method, _kinds(kinds), max=max, progress=progress, cancel=cancel, **arguments)
    )


def summary(
    genome: Genome,
    method: str = "complete",
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
    """
    arguments = _search_arguments(method, min, approximate_options)
    return _frame(
        _core.summary(genome, method, _kinds(kinds), max=max, progress=progress, cancel=cancel, **arguments)
    )


def microsatellites(
    genome: Genome,
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
    return _frame(_core.microsatellites(genome, list(min_repeats), compound_distance, progress, cancel))


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
    genome: Genome,
    replicates: int,
    seed: int = 1,
    *,
    method: str = "complete",
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
    return _frame(_core.controls(genome, replicates, seed, method, min, max, threads, progress, cancel))
