#!/usr/bin/env bash
# Remakes docs/screenshot.png, the README's picture of the main window with a
# repeat selected, offscreen from the bundled human mitochondrial genome.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

bash "$TESSARON_ROOT/scripts/deps.sh"
tessaron_build_release gui
mkdir -p "$TESSARON_ROOT/docs"
QT_QPA_PLATFORM=offscreen "$TESSARON_ROOT/build-release/app/tessaron" \
    --screenshot "$TESSARON_ROOT/docs/screenshot.png" "$TESSARON_ROOT/data/NC_012920.gb" 2>/dev/null
echo "wrote docs/screenshot.png"
