#!/usr/bin/env bash
# Times the approximate search beside vmatch, whole processes side by side in
# one run, and prints median wall seconds and peak resident MB of N runs.
#
#   bash bench/approximate-peers.sh [--runs N]      (default 3; or TESSARON_RUNS=N)
#
# The program is built in build-release unless TESSARON_APPROXIMATE_TIMING
# names one already built (Release).
#
# Tessaron: bench's tessaron_approximate_timing (Release), the four kinds at
# the defaults (minimum 30, mismatch penalty 2, identity 90), reading the
# GenBank record; its count is the pairs of all four kinds.
# vmatch: mkvtree -dna -pl -allout on a FASTA of the same bases, then
# vmatch -d -p -h 3 -l 30 (direct and palindromic matches of 30 or more
# letters within Hamming distance 3: two kinds); its time is the sum of the
# two, its count the matches listed.
# Cases: Mycoplasma gallisepticum (NC_004829, 1,012,800 bases) and the
# Arabidopsis chloroplast (NC_000932, 154,478 bases) from the shared data
# folder beside the repository (or TESSARON_SHARED_DATA); Tessaron alone on a
# seeded random sequence of 5,000,000 bases.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib.sh"

tessaron_parse_runs "${BASH_SOURCE[0]}" "$@"
bash "$TESSARON_ROOT/scripts/deps.sh" vmatch

# TESSARON_APPROXIMATE_TIMING names a ready Release build of the program instead.
timing="${TESSARON_APPROXIMATE_TIMING:-}"
if [[ -z "$timing" ]]; then
    build="$TESSARON_ROOT/build-release"
    echo "Building Release in build-release..." >&2
    if ! { cmake -S "$TESSARON_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSARON_BUILD_TESTS=OFF \
        -DTESSARON_BUILD_GUI=OFF -DTESSARON_BUILD_BENCH=ON &&
        cmake --build "$build" --parallel "$(nproc)" --target tessaron_approximate_timing; } >"$build.log" 2>&1; then
        cat "$build.log" >&2
        exit 1
    fi
    timing="$build/bench/tessaron_approximate_timing"
fi

out="$TESSARON_ROOT/bench/out"
mkdir -p "$out"

# Runs mkvtree then vmatch on a FASTA file; prints "WALL PEAK MATCHES".
time_vmatch() {
    local fasta="$1" index="$out/vmatch-$(basename "$1" .fa)"
    local built searched
    built="$(tessaron_time_once /dev/null mkvtree -db "$fasta" -dna -pl -allout -indexname "$index")"
    searched="$(tessaron_time_once "$out/vmatch.out" vmatch -d -p -h 3 -l 30 "$index")"
    local matches
    matches="$(grep -vc '^#' "$out/vmatch.out" || true)"
    awk -v a="$built" -v b="$searched" -v m="$matches" 'BEGIN {
        split(a, x, " "); split(b, y, " ");
        printf "%.3f %.1f %d\n", x[1] + y[1], (x[2] > y[2] ? x[2] : y[2]), m }'
}

# Runs the timing program; prints "WALL PEAK PAIRS".
time_tessaron() {
    local result pairs
    result="$(tessaron_time_once "$out/tessaron.out" "$timing" "$@")"
    pairs="$(awk '/ pairs / { s += $2 } END { print s + 0 }' "$out/tessaron.out")"
    echo "$result $pairs"
}

printf '\nApproximate search, defaults (min 30, penalty 2, identity 90), median of %d runs\n\n' "$runs"
printf '| %-10s | %9s | %9s | %8s | %9s | %9s | %8s | %6s |\n' case "Tessaron s" "peak MB" pairs \
    "vmatch s" "peak MB" matches ratio
printf '|%s|%s|%s|%s|%s|%s|%s|%s|\n' ------------ ------------ ----------- ---------- ----------- ----------- \
    ---------- --------
for name in NC_004829 NC_000932; do
    record="$(tessaron_find_record "$name.gb")"
    fasta="$out/$name.fa"
    { echo ">$name"; tessaron_extract_bases "$record"; } >"$fasta"
    walls=() peaks=() vwalls=() vpeaks=()
    for ((run = 0; run < runs; run++)); do
        echo "Timing $name, run $((run + 1)) of $runs..." >&2
        read -r wall peak pairs <<<"$(time_tessaron "$record")"
        walls+=("$wall") peaks+=("$peak")
        read -r vwall vpeak matches <<<"$(time_vmatch "$fasta")"
        vwalls+=("$vwall") vpeaks+=("$vpeak")
    done
    wall="$(tessaron_median "${walls[@]}")" peak="$(tessaron_median "${peaks[@]}")"
    vwall="$(tessaron_median "${vwalls[@]}")" vpeak="$(tessaron_median "${vpeaks[@]}")"
    printf '| %-10s | %10s | %9s | %8s | %9s | %9s | %8s | %6s |\n' "$name" "$wall" "$peak" "$pairs" "$vwall" \
        "$vpeak" "$matches" "$(awk -v a="$wall" -v b="$vwall" 'BEGIN { printf "%.3f", a / b }')"
done
walls=() peaks=()
for ((run = 0; run < runs; run++)); do
    echo "Timing random 5 Mb, run $((run + 1)) of $runs..." >&2
    read -r wall peak pairs <<<"$(time_tessaron random:5000000:1)"
    walls+=("$wall") peaks+=("$peak")
done
printf '| %-10s | %10s | %9s | %8s | %9s | %9s | %8s | %6s |\n' random5M "$(tessaron_median "${walls[@]}")" \
    "$(tessaron_median "${peaks[@]}")" "$pairs" - - - -
