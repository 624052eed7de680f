#!/usr/bin/env bash
# Builds Tessaron (Release, in build-release) and runs the command line tool on
# the bundled human mitochondrial genome. Extra arguments are passed on, e.g.
#   bash scripts/run.sh --min 10 --max 20 --report listing --kind inverted
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

bash "$TESSARON_ROOT/scripts/deps.sh"
tessaron_build_release

# The summary report is the command line's default.
exec "$TESSARON_ROOT/build-release/cli/tessaron-cli" "$@" "$TESSARON_ROOT/data/NC_012920.gb"
