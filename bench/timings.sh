#!/usr/bin/env bash
# Times the whole command line tool (Release build) on three genomes and
# prints, per case, the median wall time and peak resident memory of N runs;
# then the same for each report on the random sequence.
#
#   bash bench/timings.sh [--runs N]      (default 3; or TESSARON_RUNS=N)
#
# Inputs are prepared in bench/out/: the human mitochondrial genome, a seeded
# random sequence of 1,000,000 bases and the 1,012,800-base genome of
# Mycoplasma gallisepticum (NC_004829.gb from the shared data folder that
# sits beside the repository, or TESSARON_SHARED_DATA).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib.sh"

tessaron_parse_runs "${BASH_SOURCE[0]}" "$@"

bash "$TESSARON_ROOT/scripts/deps.sh"
echo "Building Release in build-release..." >&2
tessaron_build_release
cli="$TESSARON_ROOT/build-release/cli/tessaron-cli"

out="$TESSARON_ROOT/bench/out"
echo "Preparing inputs in bench/out..." >&2
tessaron_prepare_bench_inputs "$out"

# name, input file, minimum, maximum
cases=(
    "mito mito.txt 8 30"
    "random1M random1M.txt 8 30"
    "NC_004829 NC_004829.txt 12 30"
)

printf '\nTessaron command line, --report summary, median of %d runs\n\n' "$runs"
printf '| %-10s | %9s | %7s | %8s | %9s |\n' case bases lengths "wall s" "peak MB"
printf '|%s|%s|%s|%s|%s|\n' ------------ ----------- --------- ---------- -----------
for entry in "${cases[@]}"; do
    read -r name file minimum maximum <<<"$entry"
    bases="$(tr -cd 'ACGT' <"$out/$file" | wc -c)"
    echo "Timing $name ($runs runs)..." >&2
    result="$(tessaron_time_median "$runs" "$out/$name.summary" \
        "$cli" --min "$minimum" --max "$maximum" --report summary "$out/$file")"
    read -r wall peak <<<"$result"
    printf '| %-10s | %9d | %7s | %8s | %9s |\n' "$name" "$bases" "$minimum..$maximum" "$wall" "$peak"
done

# The reports that write every pair, streamed from the searches; their output
# (gigabytes for GFF3) goes to /dev/null so that the disk does not decide.
printf '\nTessaron command line, random1M 8..30, output to /dev/null, median of %d runs\n\n' "$runs"
printf '| %-8s | %8s | %9s |\n' report "wall s" "peak MB"
printf '|%s|%s|%s|\n' ---------- ---------- -----------
for report in summary listing pairs gff bed; do
    echo "Timing --report $report ($runs runs)..." >&2
    result="$(tessaron_time_median "$runs" /dev/null "$cli" --report "$report" "$out/random1M.txt")"
    read -r wall peak <<<"$result"
    printf '| %-8s | %8s | %9s |\n' "$report" "$wall" "$peak"
done
