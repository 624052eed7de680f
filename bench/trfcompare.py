#!/usr/bin/env python3
"""Compares tandem arrays with trf's .dat table.

    trfcompare.py TRF.dat TESSARON.txt

TESSARON.txt holds tessaron_tandem_timing's lines: start end period copies
score percent_matches percent_indels consensus (1-based, inclusive; an end
beyond the sequence for an array across the origin). Recall: the share of
trf's arrays overlapped over at least 80 % of their length by one array of
the same period, a divisor or a multiple of it (an indel per unit allowed).
Precision: the arrays that overlap no trf array of a related period, with
their score and percent matches.
"""
import sys


def related(a, b):
    lo, hi = min(a, b), max(a, b)
    units = round(hi / lo)
    return units >= 1 and abs(hi - units * lo) <= max(1, units, lo // 20 if units == 1 else 0)


def read_trf(path):
    arrays = []
    for line in open(path):
        f = line.split()
        if len(f) >= 15 and f[0].isdigit():
            arrays.append((int(f[0]), int(f[1]), int(f[4]), float(f[3]), int(f[7]), int(f[5]), f[13]))
    return arrays


def read_ours(path):
    arrays = []
    for line in open(path):
        f = line.split()
        if len(f) >= 8:
            arrays.append((int(f[0]), int(f[1]), int(f[2]), float(f[3]), int(f[4]), int(f[5]), f[7]))
    return arrays


def common(a, b, length):
    best = 0
    for shift in (-length, 0, length):
        best = max(best, min(a[1], b[1] + shift) - max(a[0], b[0] + shift) + 1)
    return best


def main():
    trf = read_trf(sys.argv[1])
    ours = read_ours(sys.argv[2])
    length = int(sys.argv[3]) if len(sys.argv) > 3 else 10**12
    found, missed = 0, []
    for t in trf:
        span = t[1] - t[0] + 1
        cover = max([common(t, o, length) for o in ours if related(t[2], o[2])] or [0])
        if cover >= 0.8 * span:
            found += 1
        else:
            near = [o for o in ours if common(t, o, length) > 0]
            reason = ("overlapped %d%% by period %s" % (100 * cover // span, ",".join(str(o[2]) for o in near))
                      if near else "no array there")
            missed.append((t, reason))
    print("trf arrays: %d, found: %d, recall: %.1f %%" % (len(trf), found, 100.0 * found / max(1, len(trf))))
    for t, reason in missed:
        print("  missed %d-%d period %d copies %.1f score %d matches %d%%: %s" % (t[0], t[1], t[2], t[3], t[4], t[5], reason))
    extra = [o for o in ours if not any(common(o, t, length) > 0 and related(t[2], o[2]) for t in trf)]
    low = [o for o in extra if o[5] < 80]
    print("tessaron arrays: %d, not in trf: %d, of which below 80 %% matches: %d (%.1f %%)"
          % (len(ours), len(extra), len(low), 100.0 * len(low) / max(1, len(extra))))
    for o in extra:
        print("  extra %d-%d period %d copies %.1f score %d matches %d%%" % (o[0], o[1], o[2], o[3], o[4], o[5]))


main()
