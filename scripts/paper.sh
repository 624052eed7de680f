#!/usr/bin/env bash
# Remakes docs/paper.png, the README's figure of the repeat section of the
# Arabidopsis chloroplast (tests/data/NC_000932.gb), and prints the section,
# drawn offscreen by the command line program.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

bash "$TESSARON_ROOT/scripts/deps.sh"
# The figure is drawn with Qt Charts: the GUI build.
tessaron_build_release gui
mkdir -p "$TESSARON_ROOT/docs"
"$TESSARON_ROOT/build-release/cli/tessaron-cli" --report paper --chart "$TESSARON_ROOT/docs/paper.png" \
    "$TESSARON_ROOT/tests/data/NC_000932.gb"
echo "wrote docs/paper.png" >&2
