import os
from typing import Any, Callable, Iterable, Iterator, NamedTuple, Optional, Sequence, Tuple, Union

# A table: a pandas DataFrame when pandas can be imported, else a dict of
# NumPy arrays by column name; either has attrs {"seqid", "length"}.
Table = Any
# A genome, an object with .seq and .id (a SeqRecord), or a str or bytes of letters.
GenomeLike = Any
Path = Union[str, os.PathLike[str]]
Progress = Optional[Callable[[float], Any]]
Cancel = Optional[Callable[[], Any]]

KINDS: Tuple[str, str, str, str]
METHODS: Tuple[str, str, str]
MAX_PAIRS: int
__version__: str

class Feature(NamedTuple):
    name: str
    start: int  # 1-based, inclusive
    end: int  # 1-based, inclusive; below start for a feature across the origin
    colour: str  # "#RRGGBB"
    parts: Tuple[Tuple[int, int], ...]

class Record(NamedTuple):
    number: int  # from 1
    name: str
    seqid: str
    format: str  # "GenBank", "FASTA" or "text"
    title: str
    description: str
    length: int

class InputError(Exception):
    path: str
    line: Optional[int]
    reason: str  # missing, unreadable, is_directory, not_genbank, empty, too_large, malformed, not_text, not_sequence
    detail: str

class SearchError(RuntimeError): ...
class Cancelled(SearchError): ...

class Genome:
    @staticmethod
    def from_string(bases: str, title: str = "", seqid: str = "") -> Genome: ...
    def __len__(self) -> int: ...
    @property
    def title(self) -> str: ...
    @property
    def seqid(self) -> str: ...
    @property
    def sequence(self) -> str: ...
    @property
    def features(self) -> list[Feature]: ...

def read(path: Path, record: Union[None, int, str] = None) -> Genome: ...
def records(path: Path) -> Iterator[Genome]: ...
def contents(path: Path) -> list[Record]: ...
def as_genome(value: GenomeLike, seqid: Optional[str] = None) -> Genome: ...
def to_ranges(table: Table, seqid: Optional[str] = None, length: Optional[int] = None) -> Table: ...
def to_bed(
    table: Table, path: Optional[Path] = None, seqid: Optional[str] = None, length: Optional[int] = None
) -> str: ...
def plastome(genome: Genome, min_ir: int = 1000, min_ir_share: float = 1.0) -> dict[str, Any]: ...
def repeats(
    genome: GenomeLike,
    method: str = "trie",
    kinds: Union[None, str, Iterable[str]] = None,
    min: Optional[int] = None,
    max: int = 30,
    *,
    max_pairs: int = ...,
    progress: Progress = None,
    cancel: Cancel = None,
    mismatch_penalty: int = 2,
    identity: float = 90.0,
    max_mismatches: Optional[int] = None,
    evalue: Optional[float] = None,
    threads: int = 0,
    gaps: bool = False,
    gap_open: int = 5,
    gap_extend: int = 2,
) -> Table: ...
def summary(
    genome: GenomeLike,
    method: str = "trie",
    kinds: Union[None, str, Iterable[str]] = None,
    min: Optional[int] = None,
    max: int = 30,
    *,
    progress: Progress = None,
    cancel: Cancel = None,
    mismatch_penalty: int = 2,
    identity: float = 90.0,
    max_mismatches: Optional[int] = None,
    evalue: Optional[float] = None,
    threads: int = 0,
    gaps: bool = False,
    gap_open: int = 5,
    gap_extend: int = 2,
) -> Table: ...
def families(
    genome: GenomeLike,
    kinds: Union[None, str, Iterable[str]] = None,
    min: int = 30,
    *,
    progress: Progress = None,
    cancel: Cancel = None,
    mismatch_penalty: int = 2,
    identity: float = 90.0,
    max_mismatches: Optional[int] = None,
    evalue: Optional[float] = None,
    gap_open: int = 5,
    gap_extend: int = 2,
) -> Table: ...
def microsatellites(
    genome: GenomeLike,
    min_repeats: Sequence[int] = (10, 6, 5, 5, 5, 5),
    compound_distance: int = 100,
    *,
    progress: Progress = None,
    cancel: Cancel = None,
) -> Table: ...
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
) -> Table: ...
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
) -> Table: ...
