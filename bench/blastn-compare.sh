#!/usr/bin/env bash
# The gapped search beside blastn's self-comparison of one genome: wall time
# and peak memory of each (/usr/bin/time -v), and how many of blastn's pairs
# of copies (>= 30 bp, >= 90 % identity, the trivial diagonal left out; its
# gapped ones counted apart) one Tessaron pair of the matching kind (direct
# for the plus strand, inverted for the minus strand) covers, over >= 90 % of
# both copies.
#
#   bench/blastn-compare.sh GENBANK[.gz] [TIMING-PROGRAM]
#
# TIMING-PROGRAM is tessaron_gapped_timing of a Release build (by default
# build-release/bench/tessaron_gapped_timing). Needs blastn (Debian
# ncbi-blast+) and python3.
set -euo pipefail

genome=${1:?usage: $0 GENBANK[.gz] [TIMING-PROGRAM]}
program=${2:-build-release/bench/tessaron_gapped_timing}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The sequence as FASTA.
zcat -f "$genome" | awk '/^ORIGIN/ {on = 1; next} /^\/\// {on = 0} on {for (i = 2; i <= NF; i++) s = s $i}
    END {print ">genome"; print toupper(s)}' | fold -w 70 > "$work/g.fa"

# Side by side: both at once, as the machine runs them.
/usr/bin/time -v blastn -query "$work/g.fa" -subject "$work/g.fa" -dust no -outfmt 6 \
    > "$work/blast.tsv" 2> "$work/blast.time" &
blast=$!
/usr/bin/time -v "$program" "$genome" --pairs > "$work/tessaron.tsv" 2> "$work/tessaron.time"
wait "$blast"

for tool in blast tessaron; do
    wall=$(grep 'Elapsed (wall clock)' "$work/$tool.time" | awk '{print $NF}')
    memory=$(grep 'Maximum resident set size' "$work/$tool.time" | awk '{print $NF}')
    echo "$tool: wall $wall, peak $((memory / 1024)) MB"
done

python3 - "$work/blast.tsv" "$work/tessaron.tsv" <<'PYTHON'
import sys

# blastn's pairs: 1-based inclusive ranges; each pair appears twice (query
# and subject swapped), kept once.
pairs = {}
for line in open(sys.argv[1]):
    f = line.split('\t')
    identity, length, gaps = float(f[2]), int(f[3]), int(f[5])
    qs, qe, ss, se = int(f[6]), int(f[7]), int(f[8]), int(f[9])
    if length < 30 or identity < 90.0 or (qs == ss and qe == se):
        continue
    kind = 'direct' if ss <= se else 'inverted'
    a = (qs, qe)
    b = (min(ss, se), max(ss, se))
    key = (kind,) + tuple(sorted([a, b]))
    pairs[key] = pairs.get(key, False) or gaps > 0

# Tessaron's pairs per kind: copies as 1-based inclusive ranges (a copy over
# the origin runs past the end).
found = {'direct': [], 'inverted': []}
rows = open(sys.argv[2]).read().splitlines()
header = rows[0].split('\t')
col = {name: i for i, name in enumerate(header)}
for row in rows[1:]:
    f = row.split('\t')
    kind = f[col['kind']]
    if kind in found:
        first, second = int(f[col['first']]), int(f[col['second']])
        found[kind].append(((first, first + int(f[col['length']]) - 1),
                            (second, second + int(f[col['second_length']]) - 1)))
for kind in found:
    found[kind].sort()

def covers(copy, planted):
    common = min(copy[1], planted[1]) - max(copy[0], planted[0]) + 1
    return 10 * common >= 9 * (planted[1] - planted[0] + 1) and 10 * common >= 9 * (copy[1] - copy[0] + 1)

def covered(kind, a, b):
    for x, y in found[kind]:
        if x[0] > max(a[1], b[1]):
            break
        if (covers(x, a) and covers(y, b)) or (covers(x, b) and covers(y, a)):
            return True
    return False

total = sum(1 for _ in pairs)
gapped = sum(1 for g in pairs.values() if g)
hit = hitGapped = 0
missed = []
for (kind, a, b), isGapped in pairs.items():
    if covered(kind, a, b):
        hit += 1
        hitGapped += isGapped
    else:
        missed.append((kind, a, b, isGapped))
print(f"blastn pairs (>= 30 bp, >= 90 %): {total}, gapped {gapped}")
print(f"covered by one Tessaron pair: {hit} ({100.0 * hit / max(total, 1):.1f} %), "
      f"gapped {hitGapped} ({100.0 * hitGapped / max(gapped, 1):.1f} %)")
for kind, a, b, isGapped in sorted(missed)[:20]:
    print(f"  missed {kind} {a[0]}..{a[1]} {b[0]}..{b[1]}{' gapped' if isGapped else ''}")
PYTHON
