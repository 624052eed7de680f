#!/usr/bin/env bash
# The gapped search beside blastn's self-comparison of one genome: wall time
# and peak memory of each (/usr/bin/time -v), and how many of blastn's pairs
# of copies (>= 30 bp, >= 90 % identity, the trivial diagonal left out; its
# gapped ones counted apart) one Tessaron pair of the matching kind (direct
# for the plus strand, inverted for the minus strand) covers, over >= 90 % of
# both copies.
#
#   [MISSES=N] [BLASTN_OPTIONS=...] bench/blastn-compare.sh GENBANK[.gz] [TIMING-PROGRAM]
#
# The pairs missed are listed, the first N (20 by default). BLASTN_OPTIONS
# are handed to blastn: "-reward 1 -penalty -2 -gapopen 5 -gapextend 2" makes
# it score as the gapped search does at its defaults (blastn's own default,
# megablast, costs a gap of k letters 2.5 k), which tells the pairs missed for
# the scoring alone from the others.
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
# shellcheck disable=SC2086 # the options are words
/usr/bin/time -v blastn -query "$work/g.fa" -subject "$work/g.fa" -dust no ${BLASTN_OPTIONS:-} -outfmt 6 \
    > "$work/blast.tsv" 2> "$work/blast.time" &
blast=$!
/usr/bin/time -v "$program" "$genome" --pairs > "$work/tessaron.tsv" 2> "$work/tessaron.time"
wait "$blast"

for tool in blast tessaron; do
    wall=$(grep 'Elapsed (wall clock)' "$work/$tool.time" | awk '{print $NF}')
    memory=$(grep 'Maximum resident set size' "$work/$tool.time" | awk '{print $NF}')
    echo "$tool: wall $wall, peak $((memory / 1024)) MB"
done

python3 - "$work/blast.tsv" "$work/tessaron.tsv" "${MISSES:-20}" <<'PYTHON'
import sys

def common(x, y):
    return max(0, min(x[1], y[1]) - max(x[0], y[0]) + 1)

def size(x):
    return x[1] - x[0] + 1

# blastn's hits: 1-based inclusive ranges, each copy pair as (earlier copy,
# later copy). A self-comparison reports each pair of copies at least twice
# (A against B and B against A, not always with the same ends) and a
# stretch of short tandem units as several hits a unit apart; the pairs
# counted are the hits of one strand joined when both their copies overlap
# over at least half the shorter (single linkage), each pair gapped when one
# of its hits is. The hits of a pair with its highest bit score are its
# equally good alignments (a copy against the units of a tandem run, one
# pair of copies read both ways): the pair is covered when one of them is.
hits = []
for line in open(sys.argv[1]):
    f = line.split('\t')
    identity, length, gaps = float(f[2]), int(f[3]), int(f[5])
    qs, qe, ss, se = int(f[6]), int(f[7]), int(f[8]), int(f[9])
    if length < 30 or identity < 90.0 or (qs == ss and qe == se):
        continue
    kind = 'direct' if ss <= se else 'inverted'
    a, b = sorted([(qs, qe), (min(ss, se), max(ss, se))])
    hits.append((kind, a, b, gaps > 0, float(f[11])))
hits = sorted(set(hits))
parent = list(range(len(hits)))

def root(x):
    while parent[x] != x:
        parent[x] = parent[parent[x]]
        x = parent[x]
    return x

def half(x, y):
    return 2 * common(x, y) >= min(size(x), size(y))

for i, (kind, a, b, _, _) in enumerate(hits):
    for j in range(i):
        other = hits[j]
        if other[0] == kind and half(other[1], a) and half(other[2], b):
            parent[root(i)] = root(j)
groups = {}
for i, hit in enumerate(hits):
    groups.setdefault(root(i), []).append(hit)
# Each pair by its longest hit, and its best scoring hits.
pairs = []
for group in groups.values():
    kind, a, b, _, _ = max(group, key=lambda hit: size(hit[1]) + size(hit[2]))
    top = max(hit[4] for hit in group)
    best = [(hit[1], hit[2]) for hit in group if hit[4] >= top]
    pairs.append((kind, a, b, any(hit[3] for hit in group), best))

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

# A blastn pair is covered by a Tessaron pair whose copies cover >= 90 % of
# its two copies; "tight" when, besides, blastn's copies cover >= 90 % of
# Tessaron's (no much longer alignment around them).
def cover(kind, a, b):
    best = (0.0, 0.0)
    for x, y in found[kind]:
        for p, q in ((x, y), (y, x)):
            share = min(common(p, a) / size(a), common(q, b) / size(b))
            if share > 0:
                best = max(best, (share, min(common(p, a) / size(p), common(q, b) / size(q))))
    return best

total = len(pairs)
gapped = sum(1 for pair in pairs if pair[3])
hit = hitGapped = tight = 0
missed = []
for kind, a, b, isGapped, best in pairs:
    share, back = max(cover(kind, x, y) for x, y in [(a, b)] + best)
    if share >= 0.9:
        hit += 1
        hitGapped += isGapped
        tight += back >= 0.9
    else:
        missed.append((kind, a, b, isGapped, share))
print(f"blastn pairs (>= 30 bp, >= 90 %): {total}, gapped {gapped} ({len(hits)} distinct hits)")
print(f"covered by one Tessaron pair: {hit} ({100.0 * hit / max(total, 1):.1f} %), "
      f"gapped {hitGapped} ({100.0 * hitGapped / max(gapped, 1):.1f} %), tightly {tight}")
for kind, a, b, isGapped, share in sorted(missed)[:int(sys.argv[3])]:
    print(f"  missed {kind} {a[0]}..{a[1]} {b[0]}..{b[1]}{' gapped' if isGapped else ''}"
          f" (best cover {100.0 * share:.0f} %)")
PYTHON
