# Shell helpers shared by the scripts and the benchmark drivers. Source it;
# it defines TESSARON_ROOT (the repository) and a few functions.

TESSARON_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# Decimal points, byte-wise tr and numeric sort the same everywhere.
export LC_ALL=C

# The folder of public GenBank records that sits beside the repository.
tessaron_shared_data() {
    echo "${TESSARON_SHARED_DATA:-$TESSARON_ROOT/../shared/data}"
}

# Finds a GenBank record by file name: first in the repository's data/, then
# in the shared folder. Prints its path, or fails with a message.
tessaron_find_record() {
    local name="$1" candidate
    for candidate in "$TESSARON_ROOT/data/$name" "$(tessaron_shared_data)/$name"; do
        if [[ -r "$candidate" ]]; then
            echo "$candidate"
            return 0
        fi
    done
    echo "error: $name not found in $TESSARON_ROOT/data or $(tessaron_shared_data)" >&2
    return 1
}

# Writes the bases of the first record of a GenBank file (between ORIGIN and
# //) as upper-case A, C, G, T in lines of 70; everything else is dropped.
tessaron_extract_bases() {
    awk '/^ORIGIN/ { inside = 1; next } /^\/\// { if (inside) exit } inside' "$1" |
        tr -cd 'acgtACGT' | tr 'acgt' 'ACGT' | fold -w 70
    echo
}

# Writes `count` pseudo-random bases in lines of 70, the same for the same
# seed on every machine: a 32-bit linear congruential generator whose top two
# bits pick the letter (all arithmetic stays exact in doubles).
tessaron_random_bases() {
    local count="$1" seed="${2:-1}"
    awk -v n="$count" -v seed="$seed" 'BEGIN {
        letters = "ATCG"; state = seed % 4294967296; line = ""
        for (i = 0; i < n; i++) {
            state = (state * 1664525 + 1013904223) % 4294967296
            line = line substr(letters, int(state / 1073741824) + 1, 1)
            if (length(line) == 70) { print line; line = "" }
        }
        if (line != "") print line
    }'
}

# Writes a FASTA file: a header line, then the bases of a text file of bases.
tessaron_write_fasta() {
    local name="$1" bases="$2"
    echo ">$name"
    tr -cd 'ACGT' <"$bases" | fold -w 70
    echo
}

# Configures a Release tree without tests in `build-release` of the
# repository and builds the command line tool (and, with "gui" as argument,
# the desktop program too), quietly; the log is shown only when something fails.
tessaron_build_release() {
    local build="$TESSARON_ROOT/build-release"
    local gui=OFF targets=(tessaron-cli)
    if [[ "${1:-}" == gui ]]; then
        gui=ON
        targets+=(tessaron tessaron-map tessaron-chart)
    fi
    mkdir -p "$build"
    if ! { cmake -S "$TESSARON_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DTESSARON_BUILD_TESTS=OFF -DTESSARON_BUILD_GUI="$gui" &&
        cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]}"; } >"$build/build.log" 2>&1; then
        cat "$build/build.log" >&2
        echo "error: the Release build failed (log: $build/build.log)" >&2
        return 1
    fi
}

# Runs a command under `/usr/bin/time -v` and prints "WALL_SECONDS PEAK_MB":
# the peak resident set from its report, the wall time measured here to the
# millisecond (the report rounds it to hundredths).
# Usage: tessaron_time_once OUTPUT_FILE COMMAND...  (the command's standard
# output goes to OUTPUT_FILE). Fails, showing the command's errors, when the
# command fails.
tessaron_time_once() {
    local output="$1"
    shift
    local report errors started finished
    report="$(mktemp)"
    errors="$(mktemp)"
    started="$EPOCHREALTIME"
    if ! /usr/bin/time -v -o "$report" "$@" >"$output" 2>"$errors"; then
        echo "error: failed: $*" >&2
        cat "$errors" >&2
        grep -E 'exited|Command terminated|Exit status' "$report" >&2 || true
        rm -f "$report" "$errors"
        return 1
    fi
    finished="$EPOCHREALTIME"
    rm -f "$errors"
    awk -F': ' -v started="$started" -v finished="$finished" '
        /Maximum resident set size/ { peak = $NF / 1024 }
        END { printf "%.3f %.1f\n", finished - started, peak }' "$report"
    rm -f "$report"
}

# The median of the numbers given as arguments.
tessaron_median() {
    printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 }
        END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.3f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Runs a command RUNS times and prints "MEDIAN_WALL_SECONDS MEDIAN_PEAK_MB".
# Usage: tessaron_time_median RUNS OUTPUT_FILE COMMAND...
tessaron_time_median() {
    local runs="$1" output="$2"
    shift 2
    local walls=() peaks=() run result
    for ((run = 0; run < runs; run++)); do
        result="$(tessaron_time_once "$output" "$@")" || return 1
        walls+=("${result% *}")
        peaks+=("${result#* }")
    done
    echo "$(tessaron_median "${walls[@]}") $(tessaron_median "${peaks[@]}")"
}

# Prepares the benchmark inputs as plain text files of bases in the given
# folder: mito.txt (human mitochondrion, 16,568 bases), random1M.txt and
# random5M.txt (1,000,000 and 5,000,000 seeded random bases) and
# NC_004829.txt (Mycoplasma gallisepticum, 1,012,800 bases).
tessaron_prepare_bench_inputs() {
    local out="$1"
    mkdir -p "$out"
    tessaron_extract_bases "$(tessaron_find_record NC_012920.gb)" >"$out/mito.txt"
    tessaron_random_bases 1000000 1 >"$out/random1M.txt"
    tessaron_random_bases 5000000 1 >"$out/random5M.txt"
    tessaron_extract_bases "$(tessaron_find_record NC_004829.gb)" >"$out/NC_004829.txt"
}

# Reads --runs N (or TESSARON_RUNS) from the arguments into `runs`; prints
# the script's header comment for --help.
tessaron_parse_runs() {
    local script="$1"
    shift
    runs="${TESSARON_RUNS:-3}"
    while (($#)); do
        case "$1" in
        --runs) runs="${2:-}"; shift 2 || shift ;;
        --runs=*) runs="${1#*=}"; shift ;;
        -h | --help) awk 'NR > 1 && /^#/ { sub(/^# ?/, ""); print; next } NR > 1 { exit }' "$script"; exit 0 ;;
        *) echo "error: unknown argument $1 (try --help)" >&2; exit 2 ;;
        esac
    done
    if ! [[ "$runs" =~ ^[1-9][0-9]*$ ]]; then
        echo "error: --runs needs a positive number" >&2
        exit 2
    fi
}
