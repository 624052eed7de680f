#!/usr/bin/env bash
# Runs the command line program on hostile inputs and checks its exit status,
# its message and what it leaves behind:
#  - files that are not GenBank nor bases (EMBL, FASTQ reads, protein, prose);
#  - a library planted in the folder the program starts in;
#  - an output path that is the input file, by any name;
#  - with the desktop program (offscreen): a pipe given as the genome, with no
#    writer (the window stays responsive: SIGTERM closes it at once) and with
#    one (the genome it writes is loaded).
#
#   tests/checks/hostile-inputs.sh REPOSITORY TESSARON_CLI [TESSARON_DESKTOP]
set -uo pipefail

root=${1:?usage: hostile-inputs.sh REPOSITORY TESSARON_CLI}
cli=${2:?usage: hostile-inputs.sh REPOSITORY TESSARON_CLI}
desktop=${3:-}
work=$(mktemp -d "${TMPDIR:-/tmp}/tessaron-hostile-XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

failures=0
checks=0

# expect NAME STATUS TEXT COMMAND...: the command exits with STATUS and its
# standard error holds TEXT (nothing when TEXT is empty).
expect() {
    local name=$1 status=$2 text=$3 got
    shift 3
    checks=$((checks + 1))
    "$@" > out.txt 2> err.txt
    got=$?
    if [[ $got -ne $status ]]; then
        echo "FAIL $name: exit $got, not $status; stderr: $(head -c 300 err.txt)"
        failures=$((failures + 1))
    elif [[ -n $text ]] && ! grep -qF -- "$text" err.txt; then
        echo "FAIL $name: stderr lacks '$text': $(head -c 300 err.txt)"
        failures=$((failures + 1))
    elif [[ -z $text && -s err.txt ]]; then
        echo "FAIL $name: unexpected stderr: $(head -c 300 err.txt)"
        failures=$((failures + 1))
    fi
}

# unchanged NAME FILE COPY: FILE still has the bytes of COPY.
unchanged() {
    checks=$((checks + 1))
    if ! cmp -s "$2" "$3"; then
        echo "FAIL $1: $2 was changed"
        failures=$((failures + 1))
    fi
}

# --- Formats taken as DNA ---------------------------------------------------
awk -f "$root/tests/checks/genbank-to-embl.awk" "$root/data/NC_012920.gb" > mito.embl
expect "EMBL reads" 0 "" "$cli" --report info mito.embl
checks=$((checks + 1))
if ! grep -qx $'length\t16569' out.txt; then
    echo "FAIL EMBL length: $(tr '\n' ' ' < out.txt)"
    failures=$((failures + 1))
fi
expect "EMBL features" 0 "" "$cli" --features mito.embl
checks=$((checks + 1))
if ! grep -q "ND5" out.txt; then
    echo "FAIL EMBL features: no ND5 among $(wc -l < out.txt) lines"
    failures=$((failures + 1))
fi
printf '@read1\nACGTACGTAC\n+\nIIIIIIIIII\n@read2\nGGGCCCAAAT\n+\nIIIIIIIIII\n' > reads.fq
expect "FASTQ" 1 "FASTQ reads are not a genome" "$cli" --report info reads.fq
printf '>sp|P69905|HBA_HUMAN\nMVLSPADKTNVKAAWGKVGAHAGEYGAEALERMFLSFPTTKTYFPHFDLSHGSAQVKGHGKKVADALTNAVAHV\n' > protein.fa
expect "protein FASTA" 1 "this FASTA holds protein" "$cli" --report info protein.fa
fold -w 70 "$root/README.md" | head -40 > prose.txt
expect "prose" 1 "% of the letters are not bases" "$cli" --report info prose.txt
{ echo "Human mitochondrion, sent by the lab"; sed -n '/^ORIGIN/,/^\/\//p' "$root/data/NC_012920.gb"; } > noted.txt
expect "bases under a note" 0 "" "$cli" --report info noted.txt
head -c 3000 /dev/urandom > noise.bin
printf '\0' >> noise.bin
expect "binary" 1 "binary data" "$cli" --report info noise.bin
expect "EMBL as GenBank" 1 "it is EMBL" "$cli" --report info --genbank mito.embl
{ echo ">note"; echo; cat "$root/data/NC_012920.gb"; } > late.gb
expect "LOCUS after a FASTA header" 1 "line 1 is a FASTA header, before its first LOCUS line, line 3" \
    "$cli" --report info --genbank late.gb

# --- A library planted where the program starts -------------------------------
if command -v cc > /dev/null; then
    mkdir planted
    printf '%s\n' '#include <stdio.h>' \
        '__attribute__((constructor)) static void planted(void) { FILE* f = fopen("hijacked", "w"); if (f) fclose(f); }' \
        > planted/planted.c
    for library in libz.so.1 libdivsufsort.so.3 libstdc++.so.6 libgcc_s.so.1; do
        cc -shared -fPIC -o "planted/$library" planted/planted.c 2> /dev/null
    done
    (cd planted && "$cli" --version > /dev/null 2>&1)
    status=$?
    checks=$((checks + 1))
    if [[ $status -ne 0 ]]; then
        echo "FAIL planted library: --version exits $status where libraries were planted"
        failures=$((failures + 1))
    elif [[ -e planted/hijacked ]]; then
        echo "FAIL planted library: a library in the current folder was loaded"
        failures=$((failures + 1))
    fi
else
    echo "note: no C compiler, the planted-library check is skipped"
fi

# --- An output that is the input ----------------------------------------------
cp "$root/data/NC_012920.gb" same.gb
cp same.gb same.copy
ln -s same.gb link.png
ln same.gb hard.svg
expect "--map over the input" 1 "is the input file 'same.gb'" "$cli" --map same.gb same.gb
unchanged "--map over the input" same.gb same.copy
expect "--map through a link" 1 "'link.png' is the input file" "$cli" --map link.png same.gb
unchanged "--map through a link" same.gb same.copy
expect "--chart through a hard link" 1 "'hard.svg' is the input file" "$cli" --chart hard.svg same.gb
unchanged "--chart through a hard link" same.gb same.copy
expect "--chart over a compared file" 1 "is the input file" "$cli" --report paper --chart ./same.gb same.gb
unchanged "--chart over a compared file" same.gb same.copy

# --- The desktop on a pipe -----------------------------------------------------
# fail NAME TEXT: one failed check.
fail() {
    echo "FAIL $1: $2"
    failures=$((failures + 1))
}

# reading PID FILE: whether process PID holds FILE open.
reading() {
    local fd
    for fd in /proc/"$1"/fd/*; do
        [[ $(readlink "$fd" 2> /dev/null) == "$2" ]] && return 0
    done
    return 1
}

# ended PID SECONDS: whether process PID ends within SECONDS.
ended() {
    local tenths=$(($2 * 10))
    while ((tenths-- > 0)); do
        kill -0 "$1" 2> /dev/null || return 0
        sleep 0.1
    done
    return 1
}

if [[ -n $desktop ]]; then
    export QT_QPA_PLATFORM=offscreen TESSARON_SETTINGS="$work/desktop.ini"
    # No writer: the window waits for one without freezing, so SIGTERM,
    # which reaches it through the event loop, closes it at once.
    here=$(pwd -P)
    mkfifo silent.fifo
    "$desktop" silent.fifo > desktop.txt 2>&1 &
    pid=$!
    checks=$((checks + 1))
    for _ in $(seq 600); do
        reading "$pid" "$here/silent.fifo" || ! kill -0 "$pid" 2> /dev/null && break
        sleep 0.1
    done
    if ! reading "$pid" "$here/silent.fifo"; then
        fail "desktop on a silent pipe" "it did not read the pipe: $(head -c 300 desktop.txt)"
        kill -KILL "$pid" 2> /dev/null
    else
        sleep 0.5
        kill -TERM "$pid"
        if ! ended "$pid" 15; then
            fail "desktop on a silent pipe" "SIGTERM did not close it within 15 s (a frozen window)"
            kill -KILL "$pid"
        fi
        wait "$pid"
        status=$?
        [[ $status -eq 0 ]] || fail "desktop on a silent pipe" "exit $status: $(head -c 300 desktop.txt)"
    fi
    wait "$pid" 2> /dev/null
    # A writer: the genome it writes is loaded and pictured.
    mkfifo fed.fifo
    timeout 120 "$desktop" --screenshot fed.png fed.fifo > desktop.txt 2>&1 &
    pid=$!
    timeout 120 bash -c 'cat "$1" > "$2"' writer "$root/data/NC_012920.gb" fed.fifo
    wait "$pid"
    status=$?
    checks=$((checks + 1))
    if [[ $status -ne 0 || ! -s fed.png ]]; then
        fail "desktop fed through a pipe" "exit $status, picture $(stat -c %s fed.png 2> /dev/null || echo missing): $(head -c 300 desktop.txt)"
    fi
fi

if [[ $failures -gt 0 ]]; then
    echo "$failures of $checks checks failed"
    exit 1
fi
echo "hostile inputs: $checks checks held"
