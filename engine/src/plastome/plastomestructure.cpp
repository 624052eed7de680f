#include "engine/plastomestructure.h"

#include "gapalignment.h"

#include "bases.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <utility>

namespace tessaron {

namespace {

using plastome::baseCode;
using plastome::complementOf;

using plastome::Column;

// A k-mer code of 2 bits a base: A 0, C 1, G 2, T 3; -1 for any other letter.
std::int64_t wrap(std::int64_t position, std::int64_t n)
{
    position %= n;
    return position < 0 ? position + n : position;
}

// An exact inverted match of k bases: the word at `i` is the reverse
// complement of the word at `j`.
struct Hit {
    std::uint32_t i;
    std::uint32_t j;
};

// A word seen more often than this in either strand is left out of the
// anchors: low-complexity stretches would otherwise give quadratically many.
constexpr std::size_t kWordCap = 32;
constexpr std::size_t kCandidates = 3;
constexpr std::size_t kMaxAnchors = 20000;

std::vector<Hit> invertedHits(std::string_view s, int k)
{
    const auto n = static_cast<std::int64_t>(s.size());
    const std::uint32_t mask = k == 16 ? 0xFFFFFFFFu : ((1u << (2 * k)) - 1u);
    std::vector<std::uint64_t> forward;
    std::vector<std::uint64_t> reverse;
    forward.reserve(static_cast<std::size_t>(n));
    reverse.reserve(static_cast<std::size_t>(n));
    std::uint32_t f = 0;
    std::uint32_t r = 0;
    int valid = 0;
    for (std::int64_t t = 0; t < n + k - 1; ++t) {
        const int c = baseCode(s[static_cast<std::size_t>(t % n)]);
        if (c < 0) {
            valid = 0;
            continue;
        }
        f = ((f << 2) | static_cast<std::uint32_t>(c)) & mask;
        r = (r >> 2) | (static_cast<std::uint32_t>(3 - c) << (2 * (k - 1)));
        if (++valid >= k) {
            const auto start = static_cast<std::uint64_t>(t - k + 1);
            forward.push_back((std::uint64_t{f} << 32) | start);
            reverse.push_back((std::uint64_t{r} << 32) | start);
        }
    }
    std::sort(forward.begin(), forward.end());
    std::sort(reverse.begin(), reverse.end());
    std::vector<Hit> hits;
    std::size_t a = 0;
    std::size_t b = 0;
    while (a < forward.size() && b < reverse.size()) {
        const std::uint64_t ca = forward[a] >> 32;
        const std::uint64_t cb = reverse[b] >> 32;
        if (ca < cb) {
            ++a;
        } else if (cb < ca) {
            ++b;
        } else {
            std::size_t ea = a;
            std::size_t eb = b;
            while (ea < forward.size() && (forward[ea] >> 32) == ca) {
                ++ea;
            }
            while (eb < reverse.size() && (reverse[eb] >> 32) == cb) {
                ++eb;
            }
            if (ea - a <= kWordCap && eb - b <= kWordCap) {
                for (std::size_t x = a; x < ea; ++x) {
                    for (std::size_t y = b; y < eb; ++y) {
                        hits.push_back(
                            {static_cast<std::uint32_t>(forward[x]), static_cast<std::uint32_t>(reverse[y])});
                    }
                }
            }
            a = ea;
            b = eb;
        }
    }
    return hits;
}

// The longest run of consecutive hits on one antidiagonal (positions i and
// d - i pair up), for the few antidiagonals with the longest runs.
struct Seed {
    std::int64_t diagonal = 0;
    std::int64_t length = 0;
};

std::vector<Seed> longestSeeds(const std::vector<Hit>& hits, std::int64_t n, int k, std::int64_t spread)
{
    std::vector<std::uint64_t> keyed;
    keyed.reserve(hits.size());
    for (const Hit& h : hits) {
        const auto d = static_cast<std::uint64_t>(wrap(std::int64_t{h.i} + h.j + k - 1, n));
        keyed.push_back((d << 32) | h.i);
    }
    std::sort(keyed.begin(), keyed.end());
    std::vector<Seed> best;  // one per antidiagonal
    std::size_t at = 0;
    while (at < keyed.size()) {
        const std::uint64_t d = keyed[at] >> 32;
        std::size_t end = at;
        while (end < keyed.size() && (keyed[end] >> 32) == d) {
            ++end;
        }
        // Runs of consecutive positions; a run at the end of the sequence
        // continues into one at its start.
        std::vector<std::pair<std::int64_t, std::int64_t>> runs;  // first, count
        for (std::size_t x = at; x < end; ++x) {
            const auto i = static_cast<std::int64_t>(keyed[x] & 0xFFFFFFFFu);
            if (!runs.empty() && runs.back().first + runs.back().second == i) {
                ++runs.back().second;
            } else {
                runs.emplace_back(i, 1);
            }
        }
        std::int64_t longest = 0;
        for (const auto& run : runs) {
            longest = std::max(longest, run.second);
        }
        if (runs.size() > 1 && runs.front().first == 0 && runs.back().first + runs.back().second == n) {
            longest = std::max(longest, runs.front().second + runs.back().second);
        }
        best.push_back({static_cast<std::int64_t>(d), longest + k - 1});
        at = end;
    }
    std::sort(best.begin(), best.end(), [](const Seed& a, const Seed& b) {
        return a.length != b.length ? a.length > b.length : a.diagonal < b.diagonal;
    });
    std::vector<Seed> chosen;
    for (const Seed& s : best) {
        if (chosen.size() == kCandidates) {
            break;
        }
        // Antidiagonals a few indels apart belong to the same repeat.
        const bool near = std::any_of(chosen.begin(), chosen.end(), [&](const Seed& c) {
            const std::int64_t gap = std::llabs(c.diagonal - s.diagonal);
            return std::min(gap, n - gap) <= spread;
        });
        if (!near) {
            chosen.push_back(s);
        }
    }
    return chosen;
}

// An exact match between P (the first half of the rotated sequence) and Q
// (the reverse complement of its second half).
struct Anchor {
    std::int64_t p = 0;
    std::int64_t q = 0;
    std::int64_t length = 0;
};

// The alignment of one copy (P side, forward) against the other (Q side).
struct Chain {
    std::int64_t score = 0;
    std::int64_t pBegin = 0;
    std::int64_t qBegin = 0;
    std::vector<Column> columns;
    std::int64_t pEnd = 0;
    std::int64_t qEnd = 0;
};

std::vector<Anchor> anchorsAround(const std::vector<Hit>& hits, std::int64_t n, std::int64_t shift, int k)
{
    const std::int64_t half = n / 2;
    std::vector<std::pair<std::int64_t, std::int64_t>> points;  // (q - p, p)
    for (const Hit& h : hits) {
        const std::int64_t x = wrap(std::int64_t{h.i} - shift, n);
        const std::int64_t y = wrap(std::int64_t{h.j} - shift, n);
        if (x + k <= half && y >= half && y + k <= n) {
            const std::int64_t q = n - y - k;
            points.emplace_back(q - x, x);
        }
    }
    std::sort(points.begin(), points.end());
    std::vector<Anchor> anchors;
    for (std::size_t at = 0; at < points.size();) {
        std::size_t end = at + 1;
        while (end < points.size() && points[end].first == points[at].first &&
               points[end].second == points[end - 1].second + 1) {
            ++end;
        }
        const std::int64_t p = points[at].second;
        anchors.push_back({p, p + points[at].first, static_cast<std::int64_t>(end - at) + k - 1});
        at = end;
    }
    if (anchors.size() > kMaxAnchors) {
        std::nth_element(anchors.begin(), anchors.begin() + kMaxAnchors, anchors.end(),
                         [](const Anchor& a, const Anchor& b) { return a.length > b.length; });
        anchors.resize(kMaxAnchors);
    }
    std::sort(anchors.begin(), anchors.end(),
              [](const Anchor& a, const Anchor& b) { return a.p != b.p ? a.p < b.p : a.q < b.q; });
    return anchors;
}

// The best colinear chain of anchors: matched bases minus the longer side of
// each stretch bridged, stretches of at most maxGap bases.
Chain chainAnchors(const std::vector<Anchor>& anchors, std::string_view p, std::string_view q,
                   std::int64_t maxGap)
{
    Chain chain;
    const std::size_t count = anchors.size();
    if (count == 0) {
        return chain;
    }
    std::vector<std::int64_t> score(count);
    std::vector<std::ptrdiff_t> from(count, -1);
    std::vector<std::int64_t> trim(count, 0);  // bases of the anchor's start that overlap its predecessor
    std::int64_t longest = 0;
    for (const Anchor& a : anchors) {
        longest = std::max(longest, a.length);
    }
    std::size_t bestEnd = 0;
    for (std::size_t v = 0; v < count; ++v) {
        const Anchor& b = anchors[v];
        score[v] = b.length;
        for (std::size_t u = v; u-- > 0;) {
            const Anchor& a = anchors[u];
            if (b.p - a.p > maxGap + longest) {
                break;
            }
            if (a.p >= b.p || a.q >= b.q) {
                continue;
            }
            const std::int64_t overlap =
                std::max({a.p + a.length - b.p, a.q + a.length - b.q, std::int64_t{0}});
            if (overlap >= b.length) {
                continue;
            }
            const std::int64_t dx = b.p + overlap - (a.p + a.length);
            const std::int64_t dy = b.q + overlap - (a.q + a.length);
            if (dx > maxGap || dy > maxGap) {
                continue;
            }
            const std::int64_t value = score[u] + b.length - overlap - std::max(dx, dy);
            if (value > score[v]) {
                score[v] = value;
                from[v] = static_cast<std::ptrdiff_t>(u);
                trim[v] = overlap;
            }
        }
        if (score[v] > score[bestEnd]) {
            bestEnd = v;
        }
    }
    std::vector<std::size_t> path;
    for (auto at = static_cast<std::ptrdiff_t>(bestEnd); at >= 0; at = from[static_cast<std::size_t>(at)]) {
        path.push_back(static_cast<std::size_t>(at));
    }
    std::reverse(path.begin(), path.end());
    chain.score = score[bestEnd];
    const Anchor& first = anchors[path.front()];
    chain.pBegin = first.p;
    chain.qBegin = first.q;
    std::int64_t pAt = first.p;
    std::int64_t qAt = first.q;
    for (const std::size_t index : path) {
        const Anchor& a = anchors[index];
        const std::int64_t cut = index == path.front() ? 0 : trim[index];
        const std::int64_t pStart = a.p + cut;
        const std::int64_t qStart = a.q + cut;
        if (pStart > pAt || qStart > qAt) {
            const auto bridge = plastome::alignGlobally(
                p.substr(static_cast<std::size_t>(pAt), static_cast<std::size_t>(pStart - pAt)),
                q.substr(static_cast<std::size_t>(qAt), static_cast<std::size_t>(qStart - qAt)));
            chain.columns.insert(chain.columns.end(), bridge.begin(), bridge.end());
        }
        chain.columns.insert(chain.columns.end(), static_cast<std::size_t>(a.length - cut), Column::Pair);
        pAt = a.p + a.length;
        qAt = a.q + a.length;
    }
    chain.pEnd = pAt;
    chain.qEnd = qAt;
    return chain;
}

double gcOf(std::string_view s, std::int64_t start, std::int64_t length)
{
    const auto n = static_cast<std::int64_t>(s.size());
    std::int64_t gc = 0;
    std::int64_t bases = 0;
    for (std::int64_t t = 0; t < length; ++t) {
        const int c = baseCode(s[static_cast<std::size_t>(wrap(start + t, n))]);
        if (c >= 0) {
            ++bases;
            gc += (c == 1 || c == 2) ? 1 : 0;
        }
    }
    return bases == 0 ? 0.0 : static_cast<double>(gc) / static_cast<double>(bases);
}

std::string circularText(std::string_view s, std::int64_t start, std::int64_t length)
{
    const auto n = static_cast<std::int64_t>(s.size());
    std::string text;
    text.reserve(static_cast<std::size_t>(length));
    for (std::int64_t t = 0; t < length; ++t) {
        text.push_back(s[static_cast<std::size_t>(wrap(start + t, n))]);
    }
    return text;
}

std::string reverseComplement(std::string text)
{
    std::reverse(text.begin(), text.end());
    for (char& c : text) {
        c = complementOf(c);
    }
    return text;
}

// A stretch of differing columns, in P and Q coordinates.
struct RawDifference {
    std::int64_t p = 0;
    std::int64_t pLength = 0;
    std::int64_t q = 0;
    std::int64_t qLength = 0;
    bool gapped = false;
};

std::vector<RawDifference> rawDifferences(const Chain& chain, std::string_view p, std::string_view q,
                                          std::int64_t& matching)
{
    std::vector<RawDifference> out;
    std::int64_t pAt = chain.pBegin;
    std::int64_t qAt = chain.qBegin;
    bool open = false;
    matching = 0;
    for (const Column c : chain.columns) {
        const bool equal = c == Column::Pair && plastome::sameBase(p[static_cast<std::size_t>(pAt)],
                                                                   q[static_cast<std::size_t>(qAt)]);
        if (equal) {
            ++matching;
            open = false;
        } else {
            if (!open) {
                out.push_back({pAt, 0, qAt, 0, false});
                open = true;
            }
            RawDifference& d = out.back();
            if (c != Column::OnlySecond) {
                ++d.pLength;
            }
            if (c != Column::OnlyFirst) {
                ++d.qLength;
            }
            d.gapped = d.gapped || c != Column::Pair;
        }
        if (c != Column::OnlySecond) {
            ++pAt;
        }
        if (c != Column::OnlyFirst) {
            ++qAt;
        }
    }
    return out;
}

}  // namespace

std::string_view partName(PlastomePart part)
{
    switch (part) {
        case PlastomePart::Lsc:
            return "LSC";
        case PlastomePart::IrB:
            return "IRb";
        case PlastomePart::Ssc:
            return "SSC";
        case PlastomePart::IrA:
            return "IRa";
    }
    return "";
}

std::string_view junctionName(PlastomeJunction junction)
{
    switch (junction) {
        case PlastomeJunction::Jlb:
            return "JLB";
        case PlastomeJunction::Jsb:
            return "JSB";
        case PlastomeJunction::Jsa:
            return "JSA";
        case PlastomeJunction::Jla:
            return "JLA";
    }
    return "";
}

std::int64_t PlastomeRegion::last(std::int64_t genomeLength) const
{
    return genomeLength == 0 ? 0 : wrap(start + length - 1, genomeLength);
}

std::int64_t PlastomeStructure::before(PlastomeJunction junction) const
{
    return genomeLength == 0 ? 0 : wrap(after(junction) - 1, genomeLength);
}

double PlastomeStructure::irIdentity() const
{
    std::int64_t columns = matchingColumns;
    for (const IrDifference& d : differences) {
        columns += std::max(d.lengthA, d.lengthB);
    }
    return columns == 0 ? 0.0 : 100.0 * static_cast<double>(matchingColumns) / static_cast<double>(columns);
}

std::string junctionText(std::int64_t before, std::int64_t after)
{
    return std::to_string(before + 1) + "^" + std::to_string(after + 1);
}

PlastomeStructure findPlastomeStructure(std::string_view sequence, const PlastomeSettings& settings)
{
    PlastomeStructure result;
    const auto n = static_cast<std::int64_t>(sequence.size());
    result.genomeLength = n;
    result.minIrLength =
        std::max(settings.minIrLength,
                 static_cast<std::int64_t>(std::ceil(settings.minIrFraction * static_cast<double>(n))));
    const int k = std::clamp(settings.seedLength, 8, 16);
    if (n < 4 * k || n > std::int64_t{0x7FFFFFFF}) {
        return result;
    }
    const std::vector<Hit> hits = invertedHits(sequence, k);
    const std::vector<Seed> seeds = longestSeeds(hits, n, k, settings.maxGap);

    Chain best;
    std::int64_t bestShift = 0;
    for (const Seed& seed : seeds) {
        if (seed.length < 2 * k) {
            break;
        }
        // Positions x and d - x pair up: d / 2 is the middle of one
        // single-copy region. Rotated to begin there, one copy lies in the
        // first half and the other in the second.
        const std::int64_t shift = seed.diagonal / 2;
        std::string rotated;
        rotated.reserve(static_cast<std::size_t>(n));
        rotated.append(sequence.substr(static_cast<std::size_t>(shift)));
        rotated.append(sequence.substr(0, static_cast<std::size_t>(shift)));
        const std::int64_t half = n / 2;
        const std::string_view p = std::string_view(rotated).substr(0, static_cast<std::size_t>(half));
        const std::string q = reverseComplement(rotated.substr(static_cast<std::size_t>(half)));
        const std::vector<Anchor> anchors = anchorsAround(hits, n, shift, k);
        Chain chain = chainAnchors(anchors, p, q, settings.maxGap);
        if (chain.score > best.score) {
            best = std::move(chain);
            bestShift = shift;
        }
    }
    const std::int64_t pLength = best.pEnd - best.pBegin;
    const std::int64_t qLength = best.qEnd - best.qBegin;
    result.longestIrCandidate = std::min(pLength, qLength);
    if (best.columns.empty() || result.longestIrCandidate < result.minIrLength) {
        return result;
    }
    result.found = true;

    // The copies on the genome: the first (P) side forward, the second (Q)
    // side is the reverse complement of the rotated sequence's second half.
    const std::int64_t shift = bestShift;
    const std::int64_t firstStart = wrap(best.pBegin + shift, n);
    const std::int64_t secondStart = wrap(n - best.qEnd + shift, n);
    const std::int64_t afterFirst = wrap(firstStart + pLength, n);
    const std::int64_t afterSecond = wrap(secondStart + qLength, n);
    const std::int64_t arcFirstToSecond = wrap(secondStart - afterFirst, n);
    const std::int64_t arcSecondToFirst = wrap(firstStart - afterSecond, n);
    // The LSC is the longer single-copy region; IRb the copy that follows it.
    bool firstIsB = arcSecondToFirst > arcFirstToSecond;
    if (arcSecondToFirst == arcFirstToSecond) {
        firstIsB = afterSecond < afterFirst;
    }
    const std::int64_t bStart = firstIsB ? firstStart : secondStart;
    const std::int64_t bLength = firstIsB ? pLength : qLength;
    const std::int64_t aStart = firstIsB ? secondStart : firstStart;
    const std::int64_t aLength = firstIsB ? qLength : pLength;
    const std::int64_t afterA = wrap(aStart + aLength, n);
    const std::int64_t afterB = wrap(bStart + bLength, n);
    const std::int64_t lscLength = firstIsB ? arcSecondToFirst : arcFirstToSecond;
    const std::int64_t sscLength = firstIsB ? arcFirstToSecond : arcSecondToFirst;
    auto region = [&](std::int64_t start, std::int64_t length) {
        return PlastomeRegion{start, length, gcOf(sequence, start, length)};
    };
    result.regions = {region(afterA, lscLength), region(bStart, bLength), region(afterB, sscLength),
                      region(aStart, aLength)};
    result.junctionAfter = {bStart, afterB, aStart, afterA};

    // The differences, in genome coordinates and IRb's direction.
    std::string rotated;
    rotated.reserve(static_cast<std::size_t>(n));
    rotated.append(sequence.substr(static_cast<std::size_t>(shift)));
    rotated.append(sequence.substr(0, static_cast<std::size_t>(shift)));
    const std::int64_t half = n / 2;
    const std::string_view p = std::string_view(rotated).substr(0, static_cast<std::size_t>(half));
    const std::string q = reverseComplement(rotated.substr(static_cast<std::size_t>(half)));
    std::vector<RawDifference> raw = rawDifferences(best, p, q, result.matchingColumns);
    if (!firstIsB) {
        std::reverse(raw.begin(), raw.end());
    }
    for (const RawDifference& d : raw) {
        const std::int64_t pStart = wrap(d.p + shift, n);
        const std::int64_t qStart = wrap(n - d.q - d.qLength + shift, n);
        std::string pBases = circularText(sequence, pStart, d.pLength);
        std::string qBases = circularText(sequence, qStart, d.qLength);
        IrDifference out;
        out.kind = d.gapped ? IrDifference::Kind::Indel : IrDifference::Kind::Mismatch;
        if (firstIsB) {
            out.startB = pStart;
            out.lengthB = d.pLength;
            out.basesB = std::move(pBases);
            out.startA = qStart;
            out.lengthA = d.qLength;
            out.basesA = reverseComplement(std::move(qBases));
        } else {
            out.startB = qStart;
            out.lengthB = d.qLength;
            out.basesB = std::move(qBases);
            out.startA = pStart;
            out.lengthA = d.pLength;
            out.basesA = reverseComplement(std::move(pBases));
        }
        result.differences.push_back(std::move(out));
    }
    return result;
}

}  // namespace tessaron
