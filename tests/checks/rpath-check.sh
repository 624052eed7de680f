#!/usr/bin/env bash
# Reads the dynamic section of every program and shared library under a
# build folder and fails on a run path (RPATH or RUNPATH) entry that the
# loader would resolve against the folder the user stands in: an empty entry
# (which means the current folder, as "::" or a leading or trailing ':' do)
# or a relative one. Entries based on $ORIGIN (the program's own folder) and
# absolute ones pass.
#
#   tests/checks/rpath-check.sh BUILD_FOLDER [FILE...]
#
# FILEs, when given, must exist (the programs the build is known to make);
# every other ELF file under the folder is checked as well.
set -euo pipefail

build=${1:?usage: rpath-check.sh BUILD_FOLDER [FILE...]}
shift
command -v readelf >/dev/null || { echo "rpath-check: readelf is missing (binutils)" >&2; exit 1; }

# Tells whether one run path is safe; prints what is wrong with it.
bad_entries() {
    local path=$1 entry empty=0 status=0
    # A trailing ':' is an empty entry too: a sentinel keeps it through the
    # split, and goes.
    IFS=: read -r -a entries <<< "$path:."
    unset 'entries[${#entries[@]}-1]'
    for entry in "${entries[@]}"; do
        if [[ -z $entry ]]; then
            empty=$((empty + 1))
        elif [[ $entry != /* && $entry != '$ORIGIN'* && $entry != '${ORIGIN}'* ]]; then
            echo "  a relative entry '$entry'"
            status=1
        fi
    done
    if [[ $empty -gt 0 ]]; then
        echo "  $empty empty entries (each the folder the program is started in)"
        status=1
    fi
    return $status
}

failed=0
checked=0
for file in "$@"; do
    if [[ ! -f $file ]]; then
        echo "rpath-check: $file was not built" >&2
        failed=1
    fi
done
while IFS= read -r -d '' file; do
    # ELF files only: programs, shared libraries and modules.
    [[ $(head -c 4 "$file" 2>/dev/null | od -An -c | tr -d ' ') == 177ELF ]] || continue
    checked=$((checked + 1))
    while IFS= read -r path; do
        if ! report=$(bad_entries "$path"); then
            echo "rpath-check: ${file#"$build"/} has the run path '$path' with" >&2
            echo "$report" >&2
            failed=1
        fi
    done < <(readelf -d "$file" 2>/dev/null | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]$/\2/p')
done < <(find "$build" -type f \( -perm -u+x -o -name '*.so' -o -name '*.so.*' \) -not -path '*/CMakeFiles/*' -print0)

if [[ $failed -ne 0 ]]; then
    exit 1
fi
echo "rpath-check: $checked ELF files under $build, no empty or relative run path entry"
