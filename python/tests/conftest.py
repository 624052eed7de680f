"""What the tests of the Python module share: the repository's genomes and
the command line program they are compared with (TESSARON_CLI, else
tessaron-cli on the PATH)."""

import csv
import os
import shutil
import subprocess
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]
MITO = ROOT / "data" / "NC_012920.gb"
TWO_RECORDS = ROOT / "tests" / "data" / "turtle_mito_2rec.gb"
TURTLES = ROOT / "tests" / "data" / "multi_turtle_mito_31rec.gb"
CHLOROPLAST = ROOT / "tests" / "data" / "NC_000932.gb"


@pytest.fixture(scope="session")
def cli():
    """Runs tessaron-cli with arguments; returns the rows of its tab-separated output."""
    program = os.environ.get("TESSARON_CLI") or shutil.which("tessaron-cli")
    if not program:
        pytest.skip("tessaron-cli not found: set TESSARON_CLI")

    def run(*arguments):
        done = subprocess.run(
            [program, *map(str, arguments)], capture_output=True, text=True, check=True, timeout=120
        )
        return list(csv.reader(done.stdout.splitlines(), delimiter="\t"))

    run.program = program
    return run
