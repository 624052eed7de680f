#!/usr/bin/env bash
# Hostile limits of the approximate search, each answered at once: every
# command must end within a few seconds (LIMIT, default 20 under the
# sanitizers' slower code) with the right exit status and message or output.
# Usage: hostile-limits.sh TESSARON_CLI GENOME
set -uo pipefail

cli="$1"
genome="$2"
limit="${TESSARON_HOSTILE_SECONDS:-20}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0

# check NAME STATUS PATTERN ARGS...: runs the program on ARGS; its status
# must be STATUS and PATTERN (an extended regular expression) must match its
# standard error (status other than 0) or its output.
check() {
    local name="$1" expected="$2" pattern="$3"
    shift 3
    local started ended status
    started=$(date +%s%N)
    timeout "$limit" "$cli" -q "$@" >"$work/out" 2>"$work/err"
    status=$?
    ended=$(date +%s%N)
    local seconds
    seconds=$(awk -v n=$((ended - started)) 'BEGIN { printf "%.2f", n / 1e9 }')
    local text="$work/out"
    [[ "$expected" != 0 ]] && text="$work/err"
    if [[ "$status" == 124 ]]; then
        echo "FAIL $name: still running after ${limit} s"
        failures=$((failures + 1))
    elif [[ "$status" != "$expected" ]]; then
        echo "FAIL $name: exit status $status, expected $expected: $(head -c 300 "$work/err")"
        failures=$((failures + 1))
    elif ! grep -Eq -- "$pattern" "$text"; then
        echo "FAIL $name: no match for /$pattern/ in: $(head -c 300 "$text")"
        failures=$((failures + 1))
    else
        echo "ok   $name (${seconds} s)"
    fi
}

# Whether every count of the summary is 0.
all_zero() {
    awk -F'\t' '$2 != "" && $2 != "0" { bad = 1 } END { exit bad }' "$work/out"
}

for minimum in 16569 1000000 1000000000; do
    check "min $minimum: no pair is that long" 0 '^Direct repeats:' --approximate --min "$minimum" "$genome"
    if ! all_zero; then
        echo "FAIL min $minimum: a count is not 0"
        failures=$((failures + 1))
    fi
done
check "pairs at min 1000000000: the header alone" 0 '^kind.length' --approximate --min 1000000000 \
    --report pairs "$genome"
if [[ $(wc -l <"$work/out") != 1 ]]; then
    echo "FAIL pairs at min 1000000000: rows besides the header"
    failures=$((failures + 1))
fi

check "default summary" 0 '^Direct repeats:' --approximate "$genome"
cp "$work/out" "$work/default"
for most in 100000000 2147483647; do
    check "at most $most mismatches: no limit" 0 '^Direct repeats:' --approximate --max-mismatches "$most" "$genome"
    if ! cmp -s "$work/out" "$work/default"; then
        echo "FAIL at most $most mismatches: the summary differs from the one without a limit"
        failures=$((failures + 1))
    fi
done

check "min 1: refused, naming the pair limit" 1 'Too many approximate pairs: .*more than [0-9]+ of them' \
    --approximate --min 1 "$genome"
check "min 2: refused, naming the pair limit" 1 'Too many approximate pairs: .*more than [0-9]+ of them' \
    --approximate --min 2 "$genome"
check "min 2147483647: refused" 2 "--min: '2147483647'" --approximate --min 2147483647 "$genome"
check "min 2147483648: refused" 2 "--min: '2147483648'" --approximate --min 2147483648 "$genome"
check "min 0: refused" 2 "--min: '0'" --approximate --min 0 "$genome"
check "max-mismatches 2147483648: refused" 2 "--max-mismatches: '2147483648'" --approximate \
    --max-mismatches 2147483648 "$genome"

if [[ "$failures" != 0 ]]; then
    echo "$failures hostile limits not held"
    exit 1
fi
echo "every hostile limit held"
