#!/usr/bin/env bash
# Times Tessaron against two general repeat finders on the same sequences and
# prints two tables: median wall seconds and peak resident MB of N whole
# processes, the number of matches each tool reports, and Tessaron's time and
# memory as a multiple of the peer's.
#
#   bash bench/compare-peers.sh [--runs N] [--complete-only] [--peer-5m]
#        (runs default 3; or TESSARON_RUNS=N)
#
# 1. The default search. Tessaron: the command line tool, all four kinds at
#    lengths 8..30, summary report; its matches are the pairs of occurrences
#    of all lengths and kinds (the counts of the summary's "N bp" rows, added
#    up).
#    MUMmer: repeat-match -n 8 (maximal exact repeats of 8 or more, forward
#    and reverse complement).
#    GenomeTools: gt suffixerator (enhanced suffix array), then gt repfind -l 8
#    with -f (forward), -p (reverse complement) and -r (reversed), and their
#    sum. Left out at 5 Mb, where its listings of hundreds of millions of
#    matches take longer than the rest together.
#    Cases: the human mitochondrion and seeded random sequences of 1,000,000
#    and 5,000,000 bases.
# 2. The complete search (tessaron-cli --complete --min MIN, four kinds,
#    summary: every maximal pair at its full length) beside repeat-match -n MIN,
#    which also reports maximal repeats at their full length. Cases: the human
#    mitochondrion and the Arabidopsis chloroplast (NC_000932) at 8, the random
#    1,000,000 bases at 8, 12 and 20, and the random 5,000,000 bases at 12
#    (repeat-match there only with --peer-5m: it takes minutes).
# --complete-only skips the first table.
# The peers read FASTA files written next to the text inputs in bench/out/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../scripts/lib.sh"

default_table=1
peer_5m=0
passed=()
for argument in "$@"; do
    case "$argument" in
    --complete-only) default_table=0 ;;
    --peer-5m) peer_5m=1 ;;
    *) passed+=("$argument") ;;
    esac
done
tessaron_parse_runs "${BASH_SOURCE[0]}" "${passed[@]}"

bash "$TESSARON_ROOT/scripts/deps.sh" mummer genometools
echo "Building Release in build-release..." >&2
tessaron_build_release
cli="$TESSARON_ROOT/build-release/cli/tessaron-cli"

out="$TESSARON_ROOT/bench/out"
echo "Preparing inputs in bench/out..." >&2
tessaron_prepare_bench_inputs "$out"
mkdir -p "$out/peers"
tessaron_extract_bases "$(tessaron_find_record NC_000932.gb)" >"$out/NC_000932.txt"

# Lines of the table are collected here and printed at the end.
rows=()
add_row() { rows+=("$(printf '| %-8s | %-30s | %8s | %8s | %10s | %9s | %9s |' "$@")"); }

# The ratio of two numbers with two decimals, or "-" when the divisor is 0.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

# Times a peer command, counts its matches with the given awk filter and
# drops its (possibly large) output. Prints "WALL PEAK MATCHES".
time_peer() {
    local filter="$1" listing="$out/peers/listing"
    shift
    local result
    result="$(tessaron_time_median "$runs" "$listing" "$@")"
    echo "$result $(awk "$filter" "$listing" | wc -l)"
    rm -f "$listing"
}

# The summary's pairs of all lengths and kinds.
summary_pairs() { awk -F'\t' '$1 ~ / bp$/ { pairs += $2 } END { print pairs + 0 }' "$1"; }

for name in mito random1M random5M; do
    if ((!default_table)); then
        break
    fi
    text="$out/$name.txt"
    fasta="$out/peers/$name.fa"
    tessaron_write_fasta "$name" "$text" >"$fasta"
    index="$out/peers/$name"

    echo "Timing $name: tessaron-cli ($runs runs)..." >&2
    result="$(tessaron_time_median "$runs" "$out/$name.summary" \
        "$cli" --min 8 --max 30 --report summary "$text")"
    read -r t_wall t_peak <<<"$result"
    t_pairs="$(summary_pairs "$out/$name.summary")"
    add_row "$name" "tessaron-cli 8..30, 4 kinds" "$t_wall" "$t_peak" "${t_pairs:--}" - -

    echo "Timing $name: repeat-match ($runs runs)..." >&2
    read -r wall peak matches <<<"$(time_peer '/^ *[0-9]/' repeat-match -n 8 "$fasta")"
    add_row "$name" "repeat-match -n 8" "$wall" "$peak" "$matches" \
        "$(ratio "$t_wall" "$wall")" "$(ratio "$t_peak" "$peak")"

    if [[ "$name" == random5M ]]; then
        continue
    fi
    echo "Timing $name: gt suffixerator + repfind ($runs runs each)..." >&2
    read -r gt_wall gt_peak _ <<<"$(time_peer 'NR == 0' \
        gt suffixerator -db "$fasta" -indexname "$index" -suf -lcp -tis -dna)"
    add_row "$name" "gt suffixerator" "$gt_wall" "$gt_peak" - - -
    gt_matches=0
    for strand in "-f:direct" "-p:inverted" "-r:mirror"; do
        flag="${strand%%:*}"
        options=(-f no "$flag")
        [[ "$flag" == -f ]] && options=(-f)
        read -r wall peak matches <<<"$(time_peer '!/^#/' gt repfind -l 8 "${options[@]}" -ii "$index")"
        add_row "$name" "gt repfind -l 8 $flag (${strand#*:})" "$wall" "$peak" "$matches" - -
        gt_wall="$(awk -v a="$gt_wall" -v b="$wall" 'BEGIN { printf "%.3f", a + b }')"
        gt_peak="$(awk -v a="$gt_peak" -v b="$peak" 'BEGIN { print (a > b ? a : b) }')"
        gt_matches=$((gt_matches + matches))
    done
    add_row "$name" "gt total (index + 3 searches)" "$gt_wall" "$gt_peak" "$gt_matches" \
        "$(ratio "$t_wall" "$gt_wall")" "$(ratio "$t_peak" "$gt_peak")"
done

# The complete search beside repeat-match, at the same minimum.
complete_rows=()
add_complete_row() { complete_rows+=("$(printf '| %-9s | %3s | %-28s | %8s | %8s | %10s | %9s | %9s |' "$@")"); }
for run in "mito 8" "NC_000932 8" "random1M 8" "random1M 12" "random1M 20" "random5M 12"; do
    read -r name minimum <<<"$run"
    text="$out/$name.txt"
    fasta="$out/peers/$name.fa"
    [[ -s "$fasta" ]] || tessaron_write_fasta "$name" "$text" >"$fasta"

    echo "Timing $name at $minimum: tessaron-cli --complete ($runs runs)..." >&2
    result="$(tessaron_time_median "$runs" "$out/$name.complete" \
        "$cli" --complete --min "$minimum" --report summary "$text")"
    read -r t_wall t_peak <<<"$result"
    add_complete_row "$name" "$minimum" "tessaron-cli --complete" "$t_wall" "$t_peak" \
        "$(summary_pairs "$out/$name.complete")" - -

    if [[ "$name" == random5M ]] && ((!peer_5m)); then
        continue
    fi
    echo "Timing $name at $minimum: repeat-match ($runs runs)..." >&2
    read -r wall peak matches <<<"$(time_peer '/^ *[0-9]/' repeat-match -n "$minimum" "$fasta")"
    add_complete_row "$name" "$minimum" "repeat-match -n $minimum" "$wall" "$peak" "$matches" \
        "$(ratio "$t_wall" "$wall")" "$(ratio "$t_peak" "$peak")"
done

printf '\nMedian of %d runs; T/peer = Tessaron divided by the peer (below 1: Tessaron is faster or smaller)\n' "$runs"
if ((default_table)); then
    printf '\nThe default search (lengths 8..30):\n\n'
    printf '| %-8s | %-30s | %8s | %8s | %10s | %9s | %9s |\n' case tool "wall s" "peak MB" matches "T/peer s" "T/peer MB"
    printf '|%s|%s|%s|%s|%s|%s|%s|\n' ---------- -------------------------------- ---------- ---------- ------------ ----------- -----------
    printf '%s\n' "${rows[@]}"
fi
printf '\nThe complete search (four kinds, every length from the minimum):\n\n'
printf '| %-9s | %3s | %-28s | %8s | %8s | %10s | %9s | %9s |\n' case min tool "wall s" "peak MB" matches "T/peer s" "T/peer MB"
printf '|%s|%s|%s|%s|%s|%s|%s|%s|\n' ----------- ----- ------------------------------ ---------- ---------- ------------ ----------- -----------
printf '%s\n' "${complete_rows[@]}"
