#!/usr/bin/env bash
# Remakes docs/dotplot.png, the README's dot plot of the approximate repeats
# of Mycoplasma gallisepticum (NC_004829, from the shared data folder beside
# the repository) at the search's defaults, drawn offscreen.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

bash "$TESSARON_ROOT/scripts/deps.sh"
tessaron_build_release gui
cmake --build "$TESSARON_ROOT/build-release" --target tessaron-dotplotpicture >/dev/null
record="$(tessaron_find_record NC_004829.gb)"
mkdir -p "$TESSARON_ROOT/docs"
"$TESSARON_ROOT/build-release/cli/tessaron-dotplotpicture" "$record" "$TESSARON_ROOT/docs/dotplot.png" --size 800
echo "wrote docs/dotplot.png"
