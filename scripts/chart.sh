#!/usr/bin/env bash
# Remakes docs/chart.png, the README's chart of the repeat pairs per length of
# the bundled human mitochondrial genome, drawn offscreen by the command line
# program.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

bash "$TESSARON_ROOT/scripts/deps.sh"
# The chart is drawn with Qt Charts: the GUI build.
tessaron_build_release gui
mkdir -p "$TESSARON_ROOT/docs"
"$TESSARON_ROOT/build-release/cli/tessaron-cli" --chart "$TESSARON_ROOT/docs/chart.png" \
    "$TESSARON_ROOT/data/NC_012920.gb"
echo "wrote docs/chart.png"
