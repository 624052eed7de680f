#!/usr/bin/env bash
# Runs workflow/Snakefile with the built tessaron-cli on three small records
# (one of them gzipped) and checks that it gathers the very table that --batch
# writes for them; that a changed parameter reruns the jobs it changes; and
# that a run with no genome, or with a genome without bases, fails and says why.
#   workflow-test.sh SOURCE_DIR TESSARON_CLI
set -euo pipefail
source_dir="$1"
cli="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

gzip -c "$source_dir/tests/data/NC_005816.gb" >"$work/NC_005816.gbff.gz"
records=("$source_dir/tests/data/M12730.gb" "$work/NC_005816.gbff.gz" "$source_dir/data/NC_012920.gb")
files="$(IFS=,; echo "${records[*]}")"

workflow() {
    snakemake -s "$source_dir/workflow/Snakefile" -c 2 -d "$work" --config cli="$cli" out="$work/results" "$@"
}
fail() {
    echo "workflow: $*" >&2
    exit 1
}
# The table of the workflow against --batch's with the same settings.
same_as_batch() {
    "$cli" --batch "$@" "${records[@]}" >"$work/batch.tsv"
    diff -u "$work/batch.tsv" "$work/results/repeats.tsv" || fail "the table differs from --batch $*"
}

workflow files="$files" min=10 max=14 >"$work/log" 2>&1 || { cat "$work/log" >&2; fail "the first run failed"; }
same_as_batch --min 10 --max 14
for name in M12730.gb NC_005816.gbff.gz NC_012920.gb; do
    [[ -s "$work/results/benchmarks/analyse/$name.tsv" && -f "$work/results/logs/analyse/$name.log" ]] ||
        fail "no log or benchmark of $name"
done

# A new minimum reruns every analysis, and the table then starts at 12.
workflow files="$files" min=12 max=14 >"$work/log" 2>&1 || { cat "$work/log" >&2; fail "the rerun failed"; }
grep -q "analyse" "$work/log" || fail "min=12 reran no analysis"
first="$(sed -n 2p "$work/results/repeats.tsv" | cut -f7)"
[[ "$first" == 12 ]] || fail "after min=12 the table starts at $first"
same_as_batch --min 12 --max 14

# The same settings again: nothing to do.
workflow files="$files" min=12 max=14 >"$work/log" 2>&1
grep -q "Nothing to be done" "$work/log" || fail "unchanged settings reran jobs"

# No genome, and a genome without bases, fail with their reasons.
mkdir "$work/empty"
if workflow genomes="$work/empty" >"$work/log" 2>&1; then
    fail "a run with no genome passed"
fi
grep -q "no genome" "$work/log" || { cat "$work/log" >&2; fail "no reason for no genome"; }
printf '>nothing\nNNNN\n' >"$work/nothing.fa"
if workflow files="$work/nothing.fa" out="$work/bases" >"$work/log" 2>&1; then
    fail "a genome without bases passed"
fi
grep -q "holds no bases" "$work/bases/logs/analyse/nothing.fa.log" || fail "no reason for a genome without bases"

rows="$(wc -l <"$work/results/repeats.tsv")"
echo "workflow: $rows rows gathered from ${#records[@]} genomes as --batch writes them, rerun on a new minimum"
