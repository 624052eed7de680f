#!/usr/bin/env bash
# Remakes docs/annotated-pane.png (the human mitochondrion's genes as arrows
# above the bases, ATP8 found in the feature table) and docs/pairs-table.png
# (its inverted pairs by distance, the farthest apart shown in the window
# beside), offscreen from the bundled genome.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

bash "$TESSARON_ROOT/scripts/deps.sh"
tessaron_build_release gui
mkdir -p "$TESSARON_ROOT/docs"
for what in annotation pairs; do
    out="$TESSARON_ROOT/docs/annotated-pane.png"
    [[ "$what" == pairs ]] && out="$TESSARON_ROOT/docs/pairs-table.png"
    QT_QPA_PLATFORM=offscreen "$TESSARON_ROOT/build-release/app/tessaron" \
        --picture "$what" --screenshot "$out" "$TESSARON_ROOT/data/NC_012920.gb" 2>/dev/null
done
echo "wrote docs/annotated-pane.png and docs/pairs-table.png"
