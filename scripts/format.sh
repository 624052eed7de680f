#!/usr/bin/env bash
# Checks that every C++ source and header tracked by git is laid out as
# .clang-format says; with --fix, rewrites the files that are not.
# Exits non-zero (listing the files) when a file is off and --fix is not given.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

bash "$TESSARON_ROOT/scripts/deps.sh" clang-format
cd "$TESSARON_ROOT"
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [[ "${1:-}" == --fix ]]; then
    clang-format -i "${files[@]}"
    exit 0
fi
off=()
for file in "${files[@]}"; do
    if ! clang-format --dry-run -Werror "$file" >/dev/null 2>&1; then
        off+=("$file")
    fi
done
if ((${#off[@]} > 0)); then
    printf 'Not clang-formatted (run bash scripts/format.sh --fix):\n' >&2
    printf '  %s\n' "${off[@]}" >&2
    exit 1
fi
echo "Format: ${#files[@]} files clang-formatted"
