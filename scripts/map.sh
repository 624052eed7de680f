#!/usr/bin/env bash
# Remakes docs/map.png, the README's circular map of the bundled human
# mitochondrial genome with an inverted repeat marked, drawn offscreen by the
# command line program.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

bash "$TESSARON_ROOT/scripts/deps.sh"
# The map is drawn with the desktop program's painter: the GUI build.
tessaron_build_release gui
mkdir -p "$TESSARON_ROOT/docs"
# The first inverted repeat of 11 bases: AGTAGGCCTAG at 4559 and its reverse
# complement at 9339.
"$TESSARON_ROOT/build-release/cli/tessaron-cli" --map "$TESSARON_ROOT/docs/map.png" \
    --repeat inverted,11,1 "$TESSARON_ROOT/data/NC_012920.gb"
echo "wrote docs/map.png"
