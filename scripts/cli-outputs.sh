#!/usr/bin/env bash
# Writes the outputs of a fixed list of command lines into a folder, one
# NAME.out (standard output), NAME.err (standard error) and NAME.rc (exit
# status) per command, so that two builds can be compared byte for byte:
#
#   bash scripts/cli-outputs.sh OLD/tessaron-cli /tmp/before
#   bash scripts/cli-outputs.sh build-release/cli/tessaron-cli /tmp/after
#   diff -r /tmp/before /tmp/after
#
# With a third argument, a folder written before, it compares the new outputs
# with it and fails on the first difference. The commands run from the
# repository's root on its bundled genome and test records, so the file names
# in messages are the same whichever build runs them. Only commands whose
# output may never change belong here; add new ones at the end.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

if [[ $# -lt 2 || $# -gt 3 ]]; then
    echo "usage: $0 TESSARON-CLI OUTPUT-FOLDER [EARLIER-FOLDER]" >&2
    exit 2
fi
cli="$(realpath "$1")"
out="$(realpath -m "$2")"
earlier="${3:-}"
mkdir -p "$out"
cd "$TESSARON_ROOT"

mito=data/NC_012920.gb
fasta=tests/data/NC_012920.fasta
two=tests/data/turtle_mito_2rec.gb
plasmid=tests/data/NC_005816.gb

count=0
# run NAME ARGUMENT...
run() {
    local name="$1"
    shift
    local status=0
    "$cli" -q "$@" >"$out/$name.out" 2>"$out/$name.err" </dev/null || status=$?
    echo "$status" >"$out/$name.rc"
    count=$((count + 1))
}

# What the program says about itself.
run help --help
run version --version
# Every report of one genome.
run summary "$mito"
run info --report info "$mito"
run listing --report listing --kind inverted "$mito"
run listing-genes --report listing --genes --min 12 "$mito"
run pairs --report pairs --min 10 "$mito"
run gff --report gff --min 12 "$mito"
run bed --report bed --min 12 "$mito"
run bedpe --report bedpe --min 12 "$mito"
run report-ssr --report ssr "$mito"
run paper --report paper "$mito"
run features --features "$mito"
run motif --motif ACGTA "$mito"
run motif-tidy --motif acgt --tidy "$mito"
run tidy-csv --tidy --csv --min 5 --max 9 "$mito"
# The three searches.
run complete --complete --min 20 "$mito"
run complete-pairs --complete --report pairs --min 25 "$mito"
run complete-tidy --complete --tidy --min 18 --max 22 "$mito"
run approximate --approximate "$mito"
run approximate-pairs --approximate --report pairs --identity 85 --min 20 "$mito"
run approximate-gff --approximate --report gff --min 50 --mismatch-penalty 3 "$mito"
run approximate-bed --approximate --report bed --min 20 --identity 85 --max-mismatches 3 "$mito"
# Microsatellites.
run ssr --ssr "$mito"
run ssr-bed --ssr --ssr-min 8,5,4,4,4,4 --ssr-compound 10 --report bed "$mito"
run ssr-gff --ssr --report gff "$plasmid"
# Several genomes and several records.
run batch --batch -j 1 "$mito" "$plasmid"
run batch-controls --batch -j 1 --controls 2 --seed 3 --max 12 "$mito"
run batch-ssr --batch -j 1 --ssr "$mito" "$two"
run compare --compare --kind inverted "$mito" "$two"
run compare-complete-tidy --compare --complete --tidy --min 20 --max 24 "$mito" "$plasmid"
run compare-ssr --compare --ssr "$mito" "$two"
run records "$two"
run records-pairs --report pairs --min 14 "$two"
run record-2 --record 2 --report info "$two"
run seqid --seqid chrM --report gff --min 14 "$mito"
run seqid-bedpe --seqid=chrM --report=bedpe --min=12 "$mito"
run fasta --report info "$fasta"
run text --text "$fasta" --max 9
run random --random 100,100,100,100 --seed 7
run controls --controls 3 --seed 1 -j 1 --max 10 "$mito"
# Refused command lines and inputs: their messages and exit statuses.
run no-input
run unknown-option --frobnicate "$mito"
run bad-min --min 2 "$mito"
run bad-max --max 300 "$mito"
run two-methods --complete --approximate "$mito"
run bad-compound --ssr --ssr-compound -1 "$mito"
run bad-ssr-min --ssr --ssr-min 1,5,5,5,5,5 "$mito"
run bad-report --report foo "$mito"
run bad-kind --report listing --kind sideways "$mito"
run attached-bad --min=abc "$mito"
run flag-value --csv=1 "$mito"
run needs-value --report
run approximate-min --approximate --min 0 "$mito"
run approximate-max --approximate --max 40 "$mito"
run approximate-identity --approximate --identity 101 "$mito"
run approximate-listing --approximate --report listing "$mito"
run kind-summary --kind inverted "$mito"
run complete-ssr --complete --ssr "$mito"
run missing-file no-such-file.gb
run not-genbank --genbank "$fasta"
run no-record --record 9 "$two"
run seqid-compare --seqid x --compare "$mito" "$two"
echo "$count commands written to $out" >&2

if [[ -n "$earlier" ]]; then
    if diff -r "$earlier" "$out"; then
        echo "the same as $earlier, byte for byte" >&2
    else
        echo "differs from $earlier" >&2
        exit 1
    fi
fi
