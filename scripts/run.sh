#!/usr/bin/env bash
# Builds Tessaron (Release, in build-release) and opens the bundled human
# mitochondrial genome in the desktop program. Without a display it says so and
# prints the command line's summary of the same record instead; extra
# arguments then go to the command line tool, e.g.
#   bash scripts/run.sh --report listing --kind inverted
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

bash "$TESSARON_ROOT/scripts/deps.sh"
tessaron_build_release gui

sample="$TESSARON_ROOT/data/NC_012920.gb"
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]] && [[ $# -eq 0 ]]; then
    exec "$TESSARON_ROOT/build-release/app/tessaron" "$sample"
fi
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display found: showing the command line's summary of $(basename "$sample") instead." >&2
fi
exec "$TESSARON_ROOT/build-release/cli/tessaron-cli" "$@" "$sample"
