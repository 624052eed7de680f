#!/usr/bin/env bash
# Times the microsatellite table (--ssr --report ssr) beside reading alone
# (--report info) on a seeded random sequence of 5,000,000 bases, the runs of
# the two taking turns; prints the median wall time and peak resident memory
# of each and the ratio of the wall times, which must stay at most 2.0: the
# search costs no more than reading the file again.
#
#   bash bench/ssr-timing.sh [--runs N]      (default 3; or TESSARON_RUNS=N)
#
# TESSARON_CLI may name a tessaron-cli built in Release; otherwise one is
# built in build-release. The input is bench/out/random5M.txt.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib.sh"

tessaron_parse_runs "${BASH_SOURCE[0]}" "$@"

cli="${TESSARON_CLI:-}"
if [[ -z "$cli" ]]; then
    echo "Building Release in build-release..." >&2
    tessaron_build_release
    cli="$TESSARON_ROOT/build-release/cli/tessaron-cli"
fi
out="$TESSARON_ROOT/bench/out"
mkdir -p "$out"
if [[ ! -s "$out/random5M.txt" ]]; then
    tessaron_random_bases 5000000 1 >"$out/random5M.txt"
fi

info_walls=() info_peaks=() ssr_walls=() ssr_peaks=()
for ((run = 0; run < runs; run++)); do
    echo "Run $((run + 1)) of $runs..." >&2
    read -r wall peak <<<"$(tessaron_time_once "$out/random5M.info" "$cli" --report info "$out/random5M.txt")"
    info_walls+=("$wall")
    info_peaks+=("$peak")
    read -r wall peak <<<"$(tessaron_time_once "$out/random5M.ssr" "$cli" --ssr --report ssr "$out/random5M.txt")"
    ssr_walls+=("$wall")
    ssr_peaks+=("$peak")
done

info_wall="$(tessaron_median "${info_walls[@]}")"
ssr_wall="$(tessaron_median "${ssr_walls[@]}")"
printf '\nTessaron command line, random5M (5,000,000 bases), median of %d runs\n\n' "$runs"
printf '| %-22s | %8s | %9s |\n' report "wall s" "peak MB"
printf '|%s|%s|%s|\n' ------------------------ ---------- -----------
printf '| %-22s | %8s | %9s |\n' "--report info" "$info_wall" "$(tessaron_median "${info_peaks[@]}")"
printf '| %-22s | %8s | %9s |\n' "--ssr --report ssr" "$ssr_wall" "$(tessaron_median "${ssr_peaks[@]}")"
printf '\n%s microsatellites; wall time ratio %s (at most 2.0)\n' "$(($(wc -l <"$out/random5M.ssr") - 1))" \
    "$(awk -v a="$ssr_wall" -v b="$info_wall" 'BEGIN { printf "%.2f", a / b }')"
