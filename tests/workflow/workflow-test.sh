#!/usr/bin/env bash
# Runs workflow/Snakefile on three small records with the built tessaron-cli
# and checks that it gathers the very table that --batch writes for them.
#   workflow-test.sh SOURCE_DIR TESSARON_CLI
set -euo pipefail
source_dir="$1"
cli="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

records=("$source_dir/tests/data/M12730.gb" "$source_dir/tests/data/NC_005816.gb" "$source_dir/data/NC_012920.gb")
files="$(IFS=,; echo "${records[*]}")"
snakemake --quiet -s "$source_dir/workflow/Snakefile" -c 2 -d "$work" \
    --config files="$files" cli="$cli" min=10 max=14 out="$work/results" >"$work/log" 2>&1 || {
    cat "$work/log" >&2
    exit 1
}
"$cli" --batch --min 10 --max 14 "${records[@]}" >"$work/batch.tsv"
if ! diff -u "$work/batch.tsv" "$work/results/repeats.tsv"; then
    echo "the workflow's table differs from --batch" >&2
    exit 1
fi
rows="$(wc -l <"$work/results/repeats.tsv")"
echo "workflow: $rows rows gathered from ${#records[@]} genomes, as --batch writes them"
