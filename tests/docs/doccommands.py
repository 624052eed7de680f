#!/usr/bin/env python3
"""Runs every shell command of README.md and docs/*.md as written.

A block fenced ```sh (or bash, shell) is run whole, one bash per block; in a
```console block the lines after "$ " are the commands and the rest is their
output. The blocks of a file run in order in one folder inside the build
folder (<build>/doc-commands/<file>), where data/, tests/, examples/, ... link
to the repository's, with HOME and TMPDIR inside it, so that nothing is
written elsewhere; tessaron-cli and the module come from the build folder.
A block is left out by a comment on the line before its fence:
    <!-- doc-test: skip: REASON -->   (REASON is printed)
    <!-- doc-test: needs-gui -->      (run only when tessaron-map was built)

Usage: doccommands.py SOURCE_DIR BUILD_DIR
"""

import os
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

LINKED = ("data", "tests", "examples", "config", "scripts", "workflow", "resources", "docs", "python", "bench")
SHELLS = ("sh", "bash", "shell")
TIMEOUT = 120


def blocks(path: Path):
    """(line, language, commands, marker) of each shell block of a Markdown file."""
    lines = path.read_text(encoding="utf-8").split("\n")
    index = 0
    while index < len(lines):
        fence = re.match(r"^```(\w+)\s*$", lines[index])
        if not fence or fence.group(1) not in SHELLS + ("console",):
            if lines[index].startswith("```"):
                # Skip over any other fenced block.
                index += 1
                while index < len(lines) and not lines[index].startswith("```"):
                    index += 1
            index += 1
            continue
        start = index
        before = next((lines[i] for i in range(start - 1, -1, -1) if lines[i].strip()), "")
        marker = re.match(r"^<!-- doc-test: (.*?) -->$", before.strip())
        body = []
        index += 1
        while index < len(lines) and not lines[index].startswith("```"):
            body.append(lines[index])
            index += 1
        index += 1
        if fence.group(1) == "console":
            body = [line[2:] for line in body if line.startswith("$ ")]
        yield start + 1, fence.group(1), "\n".join(body), marker.group(1) if marker else None


def main() -> int:
    source, build = Path(sys.argv[1]).resolve(), Path(sys.argv[2]).resolve()
    gui = (build / "cli" / "tessaron-map").exists()
    files = [source / "README.md"] + sorted((source / "docs").glob("*.md"))
    top = build / "doc-commands"
    shutil.rmtree(top, ignore_errors=True)
    failures = ran = skipped = 0
    for path in files:
        work = top / path.stem
        (work / "home").mkdir(parents=True)
        (work / "tmp").mkdir()
        for name in LINKED:
            if (source / name).exists():
                (work / name).symlink_to(source / name)
        environment = dict(os.environ, HOME=str(work / "home"), TMPDIR=str(work / "tmp"),
                           PYTHONPATH=str(build / "python"),
                           PATH=os.pathsep.join([str(build / "cli"), str(build / "app"), os.environ["PATH"]]))
        for line, language, commands, marker in blocks(path):
            where = f"{path.relative_to(source)}:{line}"
            if marker and marker.startswith("skip"):
                print(f"skip {where}: {marker[5:].lstrip(': ')}")
                skipped += 1
                continue
            if marker == "needs-gui" and not gui:
                print(f"skip {where}: needs the desktop build (tessaron-map)")
                skipped += 1
                continue
            if marker and marker != "needs-gui":
                print(f"FAIL {where}: unknown marker {marker!r}")
                failures += 1
                continue
            started = time.monotonic()
            try:
                done = subprocess.run(["bash", "-e", "-c", commands], cwd=work, env=environment,
                                      capture_output=True, text=True, timeout=TIMEOUT)
                status = done.returncode
                output = done.stdout[-2000:] + done.stderr[-2000:]
            except subprocess.TimeoutExpired:
                status, output = "timeout", f"more than {TIMEOUT} s"
            ran += 1
            if status != 0:
                failures += 1
                print(f"FAIL {where} (status {status}):\n{commands}\n--- output ---\n{output}")
            else:
                print(f"ok   {where} ({time.monotonic() - started:.1f} s)")
    print(f"{ran} blocks ran, {skipped} left out, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
