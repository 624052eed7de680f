#!/usr/bin/env bash
# Remakes docs/map-tidy.png (the human mitochondrion with its names set apart),
# docs/map-band.png (the Arabidopsis chloroplast with its 26,264-base inverted
# repeat as a band) and docs/map-paper.png (the chloroplast's map for a paper),
# drawn offscreen.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

bash "$TESSARON_ROOT/scripts/deps.sh"
tessaron_build_release gui
cmake --build "$TESSARON_ROOT/build-release" --target tessaron-mappictures >/dev/null
draw="$TESSARON_ROOT/build-release/cli/tessaron-mappictures"
mkdir -p "$TESSARON_ROOT/docs"
"$draw" "$TESSARON_ROOT/data/NC_012920.gb" "$TESSARON_ROOT/docs/map-tidy.png" --tidy --scale 1.5 --antialias
# The copies as `tessaron-cli --complete --report listing --kind inverted` lists them.
"$draw" "$TESSARON_ROOT/tests/data/NC_000932.gb" "$TESSARON_ROOT/docs/map-band.png" \
    --band 84171,128215,26264 --scale 1.5 --antialias
"$draw" "$TESSARON_ROOT/tests/data/NC_000932.gb" "$TESSARON_ROOT/docs/map-paper.png" --paper --scale 1.3
echo "wrote docs/map-tidy.png, docs/map-band.png and docs/map-paper.png"
