#!/usr/bin/env bash
# Tandem repeats beside trf: recall and precision on the chloroplast and the
# bacterium of tests/data, and the wall time and peak memory of both, side by
# side, on the bacterium and a seeded random 5 Mb (and the 2-Mb satellite
# array for Tessaron alone: trf is not made for it).
#
#   bash bench/trf-compare.sh [BUILD]    (BUILD: a Release build with
#                                         -DTESSARON_BUILD_BENCH=ON, default build-release)
#
# trf runs as `trf FILE 2 7 7 80 10 50 500 -d -h` (its .dat table); Tessaron
# with its defaults (the same weights, minimum score 50, periods up to 2000).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-release}
timing=$build/bench/tessaron_tandem_timing
[ -x "$timing" ] || { echo "build $timing first (Release, -DTESSARON_BUILD_BENCH=ON)" >&2; exit 1; }
command -v trf >/dev/null || { echo "trf is not installed (apt-get install trf)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# "wall_seconds peak_kB cpu_seconds" of a command, from /usr/bin/time -v
# (the processor time, user and system, tells apart a busy machine).
measure() {
    local log=$work/time.log
    /usr/bin/time -v "$@" >"$work/out" 2>"$log" || true
    awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0; for (i = 1; i <= n; ++i) s = s * 60 + t[i] }
                /User time|System time/ { cpu += $2 }
                /Maximum resident/ { kb = $2 } END { printf "%.2f %d %.2f\n", s, kb, cpu }' "$log"
}

for input in "$here/tests/data/NC_000932.gb" "$here/tests/data/NC_004829.gb.gz" random:5000000:7; do
    name=$(basename "$input" | sed 's/[.:].*//')
    fasta=$work/$name.fa
    "$timing" "$input" --write-fasta "$fasta"
    length=$(grep -v '>' "$fasta" | tr -d '\n' | wc -c)
    (cd "$work" && measure trf "$fasta" 2 7 7 80 10 50 500 -d -h) >"$work/trf.time"
    measure "$timing" "$input" >"$work/tes.time"
    cp "$work/out" "$work/$name.tes"
    read -r trf_s trf_kb trf_cpu <"$work/trf.time"
    read -r tes_s tes_kb tes_cpu <"$work/tes.time"
    echo "== $name ($length bp)"
    ratio=$(awk -v a="$tes_s" -v b="$trf_s" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }')
    cpu_ratio=$(awk -v a="$tes_cpu" -v b="$trf_cpu" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }')
    echo "   wall time: trf $trf_s s, tessaron $tes_s s (ratio $ratio)"
    echo "   processor time: trf $trf_cpu s, tessaron $tes_cpu s (ratio $cpu_ratio)"
    echo "   peak memory: trf $((trf_kb / 1024)) MB, tessaron $((tes_kb / 1024)) MB"
    python3 "$here/bench/trfcompare.py" "$work/$name.fa.2.7.7.80.10.50.500.dat" "$work/$name.tes" "$length" | sed 's/^/   /'
done

echo "== satellite: a random 171-letter unit, 2 % substitutions and 0.5 % indels, 2 Mb inside 1 Mb of random letters"
read -r sat_s sat_kb sat_cpu <<<"$(measure "$timing" satellite:1000000:2000000:7)"
echo "   tessaron $sat_s s ($sat_cpu s of processor time), $((sat_kb / 1024)) MB; $(wc -l <"$work/out") arrays, the longest: $(sort -k2,2n -k1,1n "$work/out" | awk '{ print $2 - $1 + 1, $0 }' | sort -n | tail -1 | cut -d' ' -f2-4)"
