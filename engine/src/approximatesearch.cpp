#include "engine/approximatesearch.h"

#include "maximalsegments.h"
#include "packedtext.h"
#include "seedplan.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <compare>
#include <exception>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <span>
#include <string_view>
#include <system_error>
#include <thread>
#include <tuple>
#include <utility>

// How the search works.
//
// Tracks. Every letter pair of a kind lies on one track: for direct and
// complementary pairs the circle of diagonal d (pair x lines up letters x and
// x + d), taken for d = 1 .. N/2 since d and N - d hold the same pairs; for
// inverted and mirror pairs the line of t, read outward from one centre
// (pair y lines up letters A - y and B + y). Pairs are read 32 at a time from
// 2-bit packed copies of the sequence, forwards and backwards.
//
// Cuts. A place between two pairs of a track is a cut when no segment with
// positive prefixes and suffixes crosses it; the maximal segments between
// two cuts are then those of that stretch alone. With H the best score of a
// segment ending at a place (Kadane: H = max(0, H + s), reset by a gap),
// every place where H = 0 is a cut: a segment crossing it would need a
// positive part ending there. A line starts with H = 0. A circle with a gap is
// read from just after one. A gapless circle is read from a place where the
// running total is lowest (no segment crosses it: its part up to that place
// scores <= 0, even for parts that start before the origin, as the total
// round the circle is <= 0); when the total is > 0 the circle gives nothing.
//
// Exact scan around a seed. Reading a track from its first cut, one pass over
// whole blocks of 32 pairs keeps an upper bound U of H at every block
// boundary: U' = max(U + score, matches) (a block's best suffix scores at
// most its matches), or the matches after a gap. A boundary is certainly a
// cut when H, followed pair by pair through the block before it starting from
// U, ends at 0. From the last such boundary before a seed, H is followed
// exactly pair by pair and the pieces go to Ruzzo and Tompa's algorithm,
// which is flushed at every place where H = 0, up to the first such place
// past the seed. Every maximal segment found between the two cuts is one of
// the track's, and the one holding the seed is among them, however far its
// positive stretches reach. Which seeds lead to a scan is decided by the seed
// plan (seedplan.cpp); a full scan reads every track from its first cut.

namespace tessaron {

PackedText::PackedText(std::string_view sequence, bool backwards)
    : length_(static_cast<std::int64_t>(sequence.size()))
{
    const auto words = static_cast<std::size_t>((3 * length_ + 64) / 32 + 2);
    codes_.assign(words, 0);
    bool anyGap = false;
    std::vector<std::uint64_t> gaps(words, 0);
    for (std::size_t i = 0; i < words * 32; ++i) {
        const auto at = static_cast<std::size_t>(static_cast<std::int64_t>(i) % length_);
        const char letter = sequence[backwards ? static_cast<std::size_t>(length_) - 1 - at : at];
        std::uint64_t code = 0;
        switch (letter) {
            case 'A':
                code = 0;
                break;
            case 'C':
                code = 1;
                break;
            case 'G':
                code = 2;
                break;
            case 'T':
                code = 3;
                break;
            default:
                gaps[i / 32] |= std::uint64_t{1} << (2 * (i % 32));
                anyGap = true;
                break;
        }
        codes_[i / 32] |= code << (2 * (i % 32));
    }
    if (anyGap) {
        gaps_ = std::move(gaps);
    }
}

namespace {

// Thrown inside the search when it has to give up.
struct Stopped {
    SearchFailure reason;
};

bool isLineKind(RepeatKind kind)
{
    return kind == RepeatKind::Inverted || kind == RepeatKind::Mirror;
}

bool complements(RepeatKind kind)
{
    return kind == RepeatKind::Inverted || kind == RepeatKind::Complementary;
}

std::int64_t modulo(std::int64_t value, std::int64_t n)
{
    // Most values are within one length of the range: no division for them.
    if (value >= 0) {
        return value < n ? value : value < 2 * n ? value - n : value % n;
    }
    if (value >= -n) {
        return value + n;
    }
    const std::int64_t r = value % n;
    return r < 0 ? r + n : r;
}

// Full scans for genomes with at most this many letter pairs per kind.
constexpr double kFullScanPairs = 4194304.0;

// The sequence as the searches of every kind read it.
struct Texts {
    explicit Texts(const Genome& genome)
        : sequence(genome.sequence()),
          n(static_cast<std::int64_t>(genome.sequence().size())),
          forward(genome.sequence(), false),
          backward(genome.sequence(), true),
          gaps(genome.gaps().begin(), genome.gaps().end())
    {
    }

    std::string_view sequence;
    std::int64_t n;
    PackedText forward;
    PackedText backward;
    std::vector<std::int32_t> gaps;
};

// Everything the search of one kind reads.
struct Context {
    Context(const Texts& texts, RepeatKind searchKind, const ApproximateSettings& used,
            const SearchControl& searchControl)
        : sequence(texts.sequence),
          n(texts.n),
          kind(searchKind),
          line(isLineKind(searchKind)),
          complement(complements(searchKind)),
          settings(used),
          penalty(used.mismatchPenalty),
          forward(texts.forward),
          backward(texts.backward),
          gaps(texts.gaps),
          control(searchControl)
    {
    }

    std::string_view sequence;
    std::int64_t n;
    RepeatKind kind;
    bool line;
    bool complement;
    ApproximateSettings settings;
    std::int64_t penalty;
    KarlinAltschul statistics;
    std::int64_t minScore = 1;
    const PackedText& forward;
    const PackedText& backward;
    const std::vector<std::int32_t>& gaps;
    const SearchControl& control;

    [[nodiscard]] bool isGap(std::int64_t position) const
    {
        const char letter = sequence[static_cast<std::size_t>(modulo(position, n))];
        return letter != 'A' && letter != 'C' && letter != 'G' && letter != 'T';
    }
};

// One circle or line, read as pairs 0 .. length-1 from a place no segment
// crosses (at worst: one where H is bounded).
struct Track {
    PairReader reader;
    std::int64_t length = 0;
    bool line = false;
    std::int64_t origin = 0;  // circle: pair x lines up letters origin + x and origin + x + shift
    std::int64_t shift = 0;
    std::int64_t a = 0;  // line: pair y lines up letters a - y and b + y
    std::int64_t b = 0;
    bool reversed = false;     // line: read from the far end, pair y' being pair length - 1 - y'
    bool startGoesOn = false;  // line: a segment touching pair 0 is a palindrome's middle
    bool endGoesOn = false;    // ... touching pair length - 1
    // An upper bound of H before pair 0; 0 when pair 0 follows a cut.
    std::int64_t startBound = 0;
    // The pairs go in blocks of 32 from pair 0, except on a circle without
    // gaps read from one of its own blocks (firstBlock), whose blocks count
    // from letter 0 (the last one shorter) and whose mismatches are known.
    std::int64_t firstBlock = -1;
    std::vector<std::uint8_t> blockMismatches;

    // Blocks and places past the end go round the circle again.
    [[nodiscard]] std::int64_t blocks() const { return (length + 31) / 32; }
    // Where the circle's block 0 starts on the track.
    [[nodiscard]] std::int64_t wrap() const { return firstBlock < 0 ? length : length - 32 * firstBlock; }
    [[nodiscard]] std::int64_t blockStart(std::int64_t k) const
    {
        const std::int64_t round = k / blocks();
        k %= blocks();
        const std::int64_t before = firstBlock < 0 ? blocks() : blocks() - firstBlock;
        return round * length + (k < before ? 32 * k : wrap() + 32 * (k - before));
    }
    [[nodiscard]] std::int64_t pairsIn(std::int64_t k) const
    {
        k %= blocks();
        return (k + 1 < blocks() ? blockStart(k + 1) : length) - blockStart(k);
    }
    [[nodiscard]] std::int64_t blockOf(std::int64_t x) const
    {
        const std::int64_t round = x / length;
        x %= length;
        return round * blocks() + (x < wrap() ? x / 32 : blocks() - firstBlock + (x - wrap()) / 32);
    }
};

PairReader circleReader(const Context& context, std::int64_t from, std::int64_t shift)
{
    return PairReader{&context.forward, from, &context.forward, from + shift, context.complement};
}

Track circleFrom(const Context& context, std::int64_t d, std::int64_t origin)
{
    Track track;
    track.reader = circleReader(context, origin, d);
    track.length = context.n;
    track.origin = origin;
    track.shift = d;
    return track;
}

// The circle of diagonal d, or nothing when it gives nothing. With a gap it
// is read from just after one. Without, in one pass over its blocks, from
// the block boundary where the running total is lowest: H there is at most
// the dip below it inside some block (X per mismatch).
std::optional<Track> circleTrack(const Context& context, std::int64_t d)
{
    const std::int64_t n = context.n;
    if (!context.gaps.empty()) {
        return circleFrom(context, d, modulo(context.gaps.front() + 1, n));
    }
    const std::int64_t x = context.penalty;
    const std::int64_t blocks = (n + 31) / 32;
    std::vector<std::uint8_t> mismatches(static_cast<std::size_t>(blocks));
    std::int64_t total = 0;
    std::int64_t lowest = 0;
    std::int64_t lowestBlock = 0;
    std::int64_t floor = 0;  // at most the lowest total inside any block
    PairStream stream(circleReader(context, 0, d), 0);
    std::uint64_t gaps = 0;
    for (std::int64_t block = 0; block < blocks; ++block) {
        const std::int64_t count = std::min<std::int64_t>(32, n - 32 * block);
        const int bad = std::popcount(stream.next(gaps) & firstPairs(count));
        mismatches[static_cast<std::size_t>(block)] = static_cast<std::uint8_t>(bad);
        if (total < lowest) {
            lowest = total;
            lowestBlock = block;
        }
        floor = std::min(floor, total - x * bad);
        total += count - (x + 1) * bad;
    }
    if (total > 0) {
        return std::nullopt;
    }
    Track track = circleFrom(context, d, 32 * lowestBlock);
    track.firstBlock = lowestBlock;
    track.blockMismatches = std::move(mismatches);
    track.startBound = lowest - floor;
    return track;
}

// The circle of diagonal d read from a place where the running total is
// lowest (a cut), found letter by letter; for a circle without gaps whose
// total is <= 0, when circleTrack's start is no help.
Track exactCircleTrack(const Context& context, std::int64_t d)
{
    const std::int64_t n = context.n;
    const PairReader reader = circleReader(context, 0, d);
    const std::int64_t x = context.penalty;
    std::int64_t running = 0;
    std::int64_t lowest = 0;
    std::int64_t origin = 0;
    for (std::int64_t block = 0; 32 * block < n; ++block) {
        const std::int64_t count = std::min<std::int64_t>(32, n - 32 * block);
        const std::uint64_t bad = reader.bad(32 * block);
        for (std::int64_t k = 0; k < count; ++k) {
            if (running < lowest) {
                lowest = running;
                origin = 32 * block + k;
            }
            running += ((bad >> (2 * k)) & 1U) != 0 ? -x : 1;
        }
    }
    return circleFrom(context, d, origin);
}

// The line of t, read outward from the centre at t / 2, or (`reversed`)
// inward from the opposite one.
Track lineTrack(const Context& context, std::int64_t t, bool reversed = false)
{
    const std::int64_t n = context.n;
    Track track;
    track.line = true;
    const bool even = t % 2 == 0;
    const auto letterGoesOn = [&](std::int64_t centre) {
        return context.kind == RepeatKind::Mirror && !context.isGap(centre);
    };
    if (even) {
        track.a = modulo(t / 2 - 1, n);
        track.b = modulo(t / 2 + 1, n);
        track.startGoesOn = letterGoesOn(t / 2);
    } else {
        track.a = (t - 1) / 2;
        track.b = modulo(track.a + 1, n);
        track.startGoesOn = true;
    }
    if (n % 2 == 1) {
        track.length = (n - 1) / 2;
        track.endGoesOn = even || letterGoesOn((t + n) / 2);
    } else {
        track.length = even ? n / 2 - 1 : n / 2;
        track.endGoesOn = !even || letterGoesOn(t / 2 + n / 2);
    }
    // Letter a - y is letter n - 1 - a + y of the sequence read backwards.
    track.reader =
        PairReader{&context.backward, n - 1 - track.a, &context.forward, track.b, context.complement};
    if (reversed) {
        // Pair y' is pair length - 1 - y'.
        track.reversed = true;
        std::swap(track.startGoesOn, track.endGoesOn);
        track.reader = PairReader{&context.forward, track.a - track.length + 1, &context.backward,
                                  n - track.b - track.length, context.complement};
    }
    return track;
}

// The line of t: where its pairs start and how many it holds (as lineTrack).
struct LineGeometry {
    std::int64_t a;
    std::int64_t length;
};

LineGeometry lineGeometry(std::int64_t n, std::int64_t t)
{
    const bool even = t % 2 == 0;
    const std::int64_t a = even ? modulo(t / 2 - 1, n) : (t - 1) / 2;
    const std::int64_t length = n % 2 == 1 ? (n - 1) / 2 : (even ? n / 2 - 1 : n / 2);
    return {a, length};
}

// Reads tracks exactly (see the top of the file) and keeps the pairs they report.
class TrackScanner {
public:
    TrackScanner(const Context& context, std::vector<ApproximatePair>& out) : context_(context), out_(out) {}

    void scanAll(const Track& track)
    {
        track_ = &track;
        end_ = track.length;
        scanFrom(0, track.length);
    }

    // `positions`: pairs on the track (ascending) around which to scan.
    // False when no block boundary of a circle is certainly a cut (only
    // when the track starts from a bound): it is to be read from a cut.
    bool scanAround(const Track& track, std::vector<std::int64_t>& positions)
    {
        track_ = &track;
        bounds_.assign(1, track.startBound);
        boundStream_ = PairStream(track.reader, 0);
        circleBlock_ = static_cast<std::size_t>(std::max<std::int64_t>(track.firstBlock, 0));
        std::int64_t done = 0;
        end_ = track.length;
        if (track.startBound > 0) {
            // A circle read from a place a segment may cross: read it from
            // its first certain cut once round, the places before it last.
            done = -1;
            for (std::int64_t block = 1; block <= track.blocks() && done < 0; ++block) {
                if (zeroAt(block)) {
                    done = track.blockStart(block);
                }
            }
            if (done < 0) {
                return false;
            }
            for (std::int64_t& position : positions) {
                position += position < done ? track.length : 0;
            }
            std::sort(positions.begin(), positions.end());
            end_ = done + track.length;
        }
        for (const std::int64_t position : positions) {
            if (position < done) {
                continue;
            }
            std::int64_t from = done;
            for (std::int64_t block = track.blockOf(position); track.blockStart(block) > done; --block) {
                if (zeroAt(block)) {
                    from = track.blockStart(block);
                    break;
                }
            }
            done = scanFrom(from, position);
        }
        return true;
    }

private:
    [[nodiscard]] std::int64_t pairsIn(std::int64_t block) const { return track_->pairsIn(block); }

    // Makes bounds_[block] available.
    void extendBounds(std::int64_t block)
    {
        const std::int64_t x = context_.penalty;
        while (static_cast<std::int64_t>(bounds_.size()) <= block) {
            const auto current = static_cast<std::int64_t>(bounds_.size()) - 1;
            if (!track_->blockMismatches.empty()) {
                // A circle without gaps whose blocks' mismatches are known:
                // all of 32 pairs but the circle's last.
                const std::size_t last = track_->blockMismatches.size() - 1;
                const std::int64_t count =
                    circleBlock_ == last ? track_->length - 32 * static_cast<std::int64_t>(last) : 32;
                const std::int64_t mismatches = track_->blockMismatches[circleBlock_];
                circleBlock_ = circleBlock_ == last ? 0 : circleBlock_ + 1;
                bounds_.push_back(
                    std::max(bounds_.back() + count - (x + 1) * mismatches, count - mismatches));
                continue;
            }
            const std::int64_t count = pairsIn(current);
            const std::uint64_t valid = firstPairs(count);
            std::uint64_t gaps = 0;
            const std::uint64_t bad = boundStream_.next(gaps) & valid;
            gaps &= valid;
            std::int64_t bound = 0;
            if (gaps != 0) {
                const int last = highestPair(gaps);
                const std::uint64_t after = last == 31 ? 0 : bad >> (2 * last + 2);
                bound = count - 1 - last - std::popcount(after);
            } else {
                const int mismatches = std::popcount(bad);
                const std::int64_t matches = count - mismatches;
                bound = std::max(bounds_.back() + matches - x * mismatches, matches);
            }
            bounds_.push_back(bound);
        }
    }

    // Whether H is certainly 0 at the boundary before `block` (block >= 1).
    bool zeroAt(std::int64_t block)
    {
        extendBounds(block - 1);
        const std::int64_t x = context_.penalty;
        const std::int64_t count = pairsIn(block - 1);
        const std::int64_t start = track_->blockStart(block - 1);
        const std::uint64_t valid = firstPairs(count);
        std::uint64_t bad = track_->reader.bad(start) & valid;
        const std::uint64_t gaps = track_->reader.hasGaps() ? track_->reader.gapBits(start) & valid : 0;
        std::int64_t h = bounds_[static_cast<std::size_t>(block - 1)];
        int next = 0;
        while (bad != 0) {
            const int at = lowestPair(bad);
            h += at - next;
            h = ((gaps >> (2 * at)) & 1U) != 0 ? 0 : std::max<std::int64_t>(0, h - x);
            next = at + 1;
            bad &= bad - 1;
        }
        return h + (count - next) == 0;
    }

    // Follows H exactly from the cut `from` (H = 0 there), handing the pieces
    // to Ruzzo-Tompa, up to the first cut after pair `past` or the end.
    // Returns that cut.
    std::int64_t scanFrom(std::int64_t from, std::int64_t past)
    {
        const std::int64_t x = context_.penalty;
        const std::int64_t length = end_;
        std::int64_t h = 0;
        const auto flush = [this] {
            segments_.flush([this](const MaximalSegments::Segment& s) { emit(s); });
        };
        PairStream stream(track_->reader, from);
        for (std::int64_t position = from; position < length; position += 32) {
            const std::int64_t count = std::min<std::int64_t>(32, length - position);
            const std::uint64_t valid = firstPairs(count);
            std::uint64_t gaps = 0;
            std::uint64_t bad = stream.next(gaps) & valid;
            gaps &= valid;
            int next = 0;
            while (bad != 0) {
                const int at = lowestPair(bad);
                if (at > next) {
                    segments_.add(at - next, position + next, position + at);
                    h += at - next;
                }
                const std::int64_t place = position + at;
                if (((gaps >> (2 * at)) & 1U) != 0) {
                    h = 0;
                } else {
                    segments_.add(-x, place, place + 1);
                    h = std::max<std::int64_t>(0, h - x);
                }
                if (h == 0) {
                    flush();
                    if (place + 1 > past) {
                        return place + 1;
                    }
                }
                next = at + 1;
                bad &= bad - 1;
            }
            if (count > next) {
                segments_.add(count - next, position + next, position + count);
                h += count - next;
            }
        }
        flush();
        return length;
    }

    void emit(const MaximalSegments::Segment& segment)
    {
        const Track& track = *track_;
        const ApproximateSettings& settings = context_.settings;
        const std::int64_t length = segment.end - segment.begin;
        const std::int64_t mismatches = (length - segment.score) / (context_.penalty + 1);
        if (length < settings.minLength || !identityAllows(settings.identity, length, mismatches) ||
            (settings.maxMismatches && mismatches > *settings.maxMismatches)) {
            return;
        }
        if (track.line &&
            ((segment.begin == 0 && track.startGoesOn) || (segment.end == track.length && track.endGoesOn))) {
            return;
        }
        const double evalue = context_.statistics.evalue(segment.score);
        if (settings.maxEvalue && !(evalue <= *settings.maxEvalue)) {
            return;
        }
        const std::int64_t n = context_.n;
        std::int64_t p = 0;
        std::int64_t q = 0;
        if (track.line) {
            const std::int64_t begin = track.reversed ? track.length - segment.end : segment.begin;
            const std::int64_t end = track.reversed ? track.length - segment.begin : segment.end;
            p = modulo(track.a - (end - 1), n);
            q = modulo(track.b + begin, n);
        } else {
            p = modulo(track.origin + segment.begin, n);
            q = modulo(p + track.shift, n);
        }
        ApproximatePair pair;
        pair.first = std::min(p, q);
        pair.second = std::max(p, q);
        pair.length = length;
        pair.mismatches = mismatches;
        pair.score = segment.score;
        pair.identity = 100.0 * static_cast<double>(length - mismatches) / static_cast<double>(length);
        pair.evalue = evalue;
        out_.push_back(pair);
    }

    const Context& context_;
    std::vector<ApproximatePair>& out_;
    const Track* track_ = nullptr;
    std::vector<std::int64_t> bounds_;
    PairStream boundStream_;       // at the block after the last bound
    std::int64_t end_ = 0;         // where the pairs end: a cut
    std::size_t circleBlock_ = 0;  // the circle's block of the next bound
    MaximalSegments segments_;
};

// ---------------------------------------------------------------------------
// Seeds.

// A pair worth an exact scan: the track and a pair on it.
struct Candidate {
    std::int32_t track;     // circle: d; line: t
    std::int32_t position;  // circle: letter of the first copy's pair; line: y
    friend bool operator==(const Candidate&, const Candidate&) = default;
    friend auto operator<=>(const Candidate&, const Candidate&) = default;
};

// A seed's place in a list sorted by key.
struct Keyed {
    std::uint32_t key;
    std::int32_t position;
};

// The 16 letters on either side of a seed (2 bits each), for a first look at
// a pair of seeds without the texts: before it (the nearest in the top bits
// of the low half) and after its span (the nearest in the low bits of the
// high half).
using Neighbours = std::uint64_t;

// The 16 two-bit groups of a mask in reverse order.
std::uint32_t reversePairs(std::uint32_t mask)
{
    mask = ((mask & 0x0000FFFFU) << 16U) | (mask >> 16U);
    mask = ((mask & 0x00FF00FFU) << 8U) | ((mask >> 8U) & 0x00FF00FFU);
    mask = ((mask & 0x0F0F0F0FU) << 4U) | ((mask >> 4U) & 0x0F0F0F0FU);
    return ((mask & 0x33333333U) << 2U) | ((mask >> 2U) & 0x33333333U);
}

constexpr std::size_t kKeyLetters = 16;

// The key of a seed: the letters at its first 16 offsets from `start` of a
// text, 2 bits each; nothing when its span holds a gap.
std::optional<std::uint32_t> seedKey(const PackedText& text, std::int64_t start, const SeedShape& shape,
                                     bool complement)
{
    for (int offset = 0; offset < shape.span; offset += 32) {
        if ((text.gaps(start + offset) & firstPairs(shape.span - offset)) != 0) {
            return std::nullopt;
        }
    }
    std::array<std::uint64_t, 3> words{};
    const std::size_t used = std::min(kKeyLetters, shape.offsets.size());
    for (std::size_t w = 0; w < words.size() && 32 * static_cast<int>(w) <= shape.offsets[used - 1]; ++w) {
        words[w] = text.letters(start + 32 * static_cast<std::int64_t>(w));
    }
    std::uint64_t key = 0;
    for (std::size_t k = 0; k < used; ++k) {
        const int offset = shape.offsets[k];
        key |= ((words[static_cast<std::size_t>(offset / 32)] >> (2 * (offset % 32))) & 3U) << (2 * k);
    }
    if (complement) {
        key ^= (std::uint64_t{1} << (2 * used)) - 1;
    }
    return static_cast<std::uint32_t>(key);
}

void sortByKey(std::vector<Keyed>& items, int keyBits)
{
    std::vector<Keyed> spare(items.size());
    for (int shift = 0; shift < keyBits; shift += 16) {
        std::vector<std::size_t> start(65537, 0);
        for (const Keyed& item : items) {
            ++start[((item.key >> shift) & 0xFFFFU) + 1];
        }
        for (std::size_t k = 1; k < start.size(); ++k) {
            start[k] += start[k - 1];
        }
        for (const Keyed& item : items) {
            spare[start[(item.key >> shift) & 0xFFFFU]++] = item;
        }
        items.swap(spare);
    }
}

// The seeds of each shape at every place, sorted by key: read forwards (the
// first copy; the second of direct and complementary pairs) and backwards
// (the second copy of inverted and mirror pairs, read from its end). Made
// once for the searches of all kinds.
class SeedLists {
public:
    // A list, and for a contiguous shape each seed's neighbours.
    struct List {
        std::vector<Keyed> seeds;
        std::vector<Neighbours> neighbours;
    };

    explicit SeedLists(const Texts& texts) : texts_(texts) {}

    const List& forward(const SeedShape& shape) { return list(shape, false); }
    const List& backward(const SeedShape& shape) { return list(shape, true); }
    // Frees the lists of a shape.
    void release(const SeedShape& shape)
    {
        std::erase_if(entries_,
                      [&](const std::unique_ptr<Entry>& entry) { return entry->offsets == shape.offsets; });
    }

private:
    const List& list(const SeedShape& shape, bool backwards)
    {
        for (const auto& entry : entries_) {
            if (entry->offsets == shape.offsets && entry->backwards == backwards) {
                return entry->list;
            }
        }
        const std::int64_t n = texts_.n;
        const PackedText& text = backwards ? texts_.backward : texts_.forward;
        // The second copy at `position`, read backwards, starts at its end.
        const auto startOf = [&](std::int64_t position) {
            return backwards ? n - position - shape.span : position;
        };
        auto entry = std::make_unique<Entry>(Entry{shape.offsets, backwards, {}});
        List& list = entry->list;
        list.seeds.reserve(static_cast<std::size_t>(n));
        // Without gaps, a key whose letters lie within 32 is gathered from one
        // read in runs of neighbouring offsets.
        std::vector<std::pair<int, int>> runs;
        const std::size_t used = std::min(kKeyLetters, shape.offsets.size());
        for (std::size_t k = 0; k < used; ++k) {
            if (!runs.empty() && runs.back().first + runs.back().second == shape.offsets[k]) {
                ++runs.back().second;
            } else {
                runs.emplace_back(shape.offsets[k], 1);
            }
        }
        if (!text.hasGaps() && shape.offsets[used - 1] < 32) {
            for (std::int64_t position = 0; position < n; ++position) {
                const std::uint64_t word = text.letters(startOf(position));
                std::uint64_t key = 0;
                int placed = 0;
                for (const auto& [offset, length] : runs) {
                    key |= ((word >> (2 * offset)) & ((std::uint64_t{1} << (2 * length)) - 1)) << (2 * placed);
                    placed += length;
                }
                list.seeds.push_back(Keyed{static_cast<std::uint32_t>(key), static_cast<std::int32_t>(position)});
            }
        } else {
            for (std::int64_t position = 0; position < n; ++position) {
                if (const auto key = seedKey(text, startOf(position), shape, false)) {
                    list.seeds.push_back(Keyed{*key, static_cast<std::int32_t>(position)});
                }
            }
        }
        list.seeds.shrink_to_fit();
        sortByKey(list.seeds, 2 * static_cast<int>(std::min(kKeyLetters, shape.offsets.size())));
        if (shape.contiguous) {
            list.neighbours.reserve(list.seeds.size());
            for (const Keyed& seed : list.seeds) {
                const std::int64_t start = startOf(seed.position);
                list.neighbours.push_back((text.letters(start - 16) & 0xFFFFFFFFU) |
                                          (text.letters(start + shape.span) << 32U));
            }
        }
        entries_.push_back(std::move(entry));
        return entries_.back()->list;
    }

    struct Entry {
        std::vector<int> offsets;
        bool backwards;
        List list;
    };
    const Texts& texts_;
    std::vector<std::unique_ptr<Entry>> entries_;
};

// Runs `work(task)` for tasks 0 .. count-1 on `threads` threads (the calling
// one among them), stopping all when one fails. Reports progress between
// `from` and `to` from the calling thread.
void runTasks(const Context& context, int threads, std::int64_t count, double from, double to,
              const std::function<void(std::int64_t task, int thread)>& work)
{
    std::atomic<std::int64_t> next{0};
    std::atomic<std::int64_t> finished{0};
    std::atomic<bool> failed{false};
    std::optional<SearchFailure> failure;
    std::mutex failureMutex;
    const auto worker = [&](int thread) {
        try {
            for (;;) {
                if (failed.load(std::memory_order_relaxed)) {
                    return;
                }
                if (context.control.stopRequested()) {
                    throw Stopped{SearchFailure::Cancelled};
                }
                const std::int64_t task = next.fetch_add(1);
                if (task >= count) {
                    return;
                }
                work(task, thread);
                const std::int64_t done = finished.fetch_add(1) + 1;
                if (thread == 0) {
                    context.control.report(from + (to - from) * static_cast<double>(done) /
                                                      static_cast<double>(count));
                }
            }
        } catch (const Stopped& stopped) {
            const std::lock_guard lock(failureMutex);
            failure = failure.value_or(stopped.reason);
            failed = true;
        } catch (const std::bad_alloc&) {
            const std::lock_guard lock(failureMutex);
            failure = failure.value_or(SearchFailure::OutOfMemory);
            failed = true;
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (int thread = 1; thread < threads; ++thread) {
            try {
                helpers.emplace_back(worker, thread);
            } catch (const std::system_error&) {
                break;  // fewer threads do the same work
            }
        }
        worker(0);
    }
    if (failure) {
        throw Stopped{*failure};
    }
}

// Finds the seeds of one shape and keeps those that pass the plan's filter.
class SeedFinder {
public:
    SeedFinder(const Context& context, const SeedPlan& plan, const SeedShape& shape, SeedLists& lists,
               int threads)
        : context_(context),
          plan_(plan),
          shape_(shape),
          threads_(threads),
          found_(static_cast<std::size_t>(threads)),
          firstList_(lists.forward(shape)),
          secondList_(context.line ? lists.backward(shape) : lists.forward(shape)),
          firsts_(firstList_.seeds),
          seconds_(secondList_.seeds),
          keyFlip_(context.complement
                       ? static_cast<std::uint32_t>(
                             (std::uint64_t{1} << (2 * std::min(kKeyLetters, shape.offsets.size()))) - 1)
                       : 0)
    {
        shapeWords_.assign(static_cast<std::size_t>((shape.span + 31) / 32), 0);
        for (const int offset : shape.offsets) {
            shapeWords_[static_cast<std::size_t>(offset / 32)] |= std::uint64_t{1} << (2 * (offset % 32));
        }
    }

    void run(double progressFrom, double progressTo)
    {
        // Tasks: runs of whole key groups of the first list.
        std::vector<std::size_t> bounds{0};
        const std::size_t step = std::max<std::size_t>(4096, firsts_.size() / 512 + 1);
        for (std::size_t at = step; at < firsts_.size(); at += step) {
            std::size_t cut = std::max(at, bounds.back());
            while (cut < firsts_.size() && firsts_[cut].key == firsts_[cut - 1].key) {
                ++cut;
            }
            if (cut < firsts_.size() && cut > bounds.back()) {
                bounds.push_back(cut);
            }
        }
        bounds.push_back(firsts_.size());
        runTasks(context_, threads_, static_cast<std::int64_t>(bounds.size()) - 1, progressFrom, progressTo,
                 [&](std::int64_t task, int thread) {
                     enumerate(bounds[static_cast<std::size_t>(task)],
                               bounds[static_cast<std::size_t>(task) + 1],
                               found_[static_cast<std::size_t>(thread)]);
                 });
    }

    // The candidates found, in no particular order.
    std::vector<std::vector<Candidate>>& found() { return found_; }

private:
    // The pairs of seeds whose first copies are firsts_[begin .. end): the
    // second copy's key is the first's, complemented for the inverted and
    // complementary kinds; it starts after the first.
    void enumerate(std::size_t begin, std::size_t end, std::vector<Candidate>& out) const
    {
        const std::vector<Keyed>& seconds = seconds_;
        const bool same = &firsts_ == &seconds_ && keyFlip_ == 0;
        const auto byKey = [](const Keyed& item, std::uint32_t key) { return item.key < key; };
        std::int64_t tried = 0;
        // Gaps read as letters in the neighbourhoods: only the texts tell.
        const bool quick =
            shape_.contiguous && !context_.forward.hasGaps() && plan_.filter != SeedPlan::Filter::None;
        // The second copies' group follows the keys up through the list, or
        // down it when they are complemented (the complement of a key is the
        // all-ones key minus it).
        std::size_t cursor = 0;
        if (begin == end) {
            return;
        }
        if (!same) {
            const std::uint32_t firstWanted = firsts_[begin].key ^ keyFlip_;
            const auto above = [](std::uint32_t key, const Keyed& item) { return key < item.key; };
            cursor = static_cast<std::size_t>(
                (keyFlip_ == 0 ? std::lower_bound(seconds.begin(), seconds.end(), firstWanted, byKey)
                               : std::upper_bound(seconds.begin(), seconds.end(), firstWanted, above)) -
                seconds.begin());
        }
        for (std::size_t group = begin; group < end;) {
            const std::uint32_t key = firsts_[group].key;
            std::size_t groupEnd = group;
            while (groupEnd < end && firsts_[groupEnd].key == key) {
                ++groupEnd;
            }
            const std::uint32_t wanted = key ^ keyFlip_;
            std::size_t other = group;
            std::size_t otherEnd = groupEnd;
            if (!same && keyFlip_ == 0) {
                while (cursor < seconds.size() && seconds[cursor].key < wanted) {
                    ++cursor;
                }
                other = cursor;
                otherEnd = other;
                while (otherEnd < seconds.size() && seconds[otherEnd].key == wanted) {
                    ++otherEnd;
                }
            } else if (!same) {
                while (cursor > 0 && seconds[cursor - 1].key > wanted) {
                    --cursor;
                }
                otherEnd = cursor;
                other = otherEnd;
                while (other > 0 && seconds[other - 1].key == wanted) {
                    --other;
                }
            }
            std::size_t partner = other;
            for (std::size_t f = group; f < groupEnd; ++f) {
                const std::int32_t i = firsts_[f].position;
                // Second copies after the first (positions ascend in a group).
                std::size_t s = same ? f + 1 : partner;
                while (s < otherEnd && seconds[s].position <= i) {
                    ++s;
                }
                if (!same) {
                    partner = s;
                }
                for (; s < otherEnd; ++s) {
                    if ((++tried & 0xFFFF) == 0 && context_.control.stopRequested()) {
                        throw Stopped{SearchFailure::Cancelled};
                    }
                    if (quick && !worthALook(firsts_[f], firstList_.neighbours[f], seconds[s],
                                             secondList_.neighbours[s])) {
                        continue;
                    }
                    tryHit(i, seconds[s].position, out);
                }
            }
            group = groupEnd;
        }
    }

    // A first look at a contiguous seed from the 16 letters on either side
    // of it: false when it is not the first seed of its run, or when the
    // plan's filter certainly fails (as in `passes`, with fewer letters).
    bool worthALook(const Keyed& first, Neighbours firstNeighbours, const Keyed& second,
                    Neighbours secondNeighbours) const
    {
        const std::uint64_t both =
            firstNeighbours ^ secondNeighbours ^ (context_.complement ? ~std::uint64_t{0} : 0);
        const auto before = static_cast<std::uint32_t>(both);
        const auto after = static_cast<std::uint32_t>(both >> 32U);
        const auto low = static_cast<std::uint32_t>(kLowBits);
        const std::uint32_t beforeBad = (before | (before >> 1U)) & low;
        const std::uint32_t afterBad = (after | (after >> 1U)) & low;
        // Pairs before the seed and after its span in the order `passes`
        // reads them, the nearest first.
        std::uint32_t left = reversePairs(beforeBad);
        std::uint32_t right = afterBad;
        if (context_.line) {
            const std::int64_t n = context_.n;
            const std::int64_t i = first.position;
            const std::int64_t t = modulo(i + second.position + shape_.span - 1, n);
            const LineGeometry line = lineGeometry(n, t);
            if (modulo(line.a - i, n) < line.length) {
                std::swap(left, right);  // read from the other copy (see tryHit)
            }
        }
        if ((left & 1U) == 0) {
            return false;  // not the first seed of its run
        }
        if (right == 0) {
            return true;
        }
        const std::int64_t covered = shape_.span + lowestPair(right);
        const std::int64_t beyond = shape_.span + 16 - covered;  // known pairs after the run
        const auto most = static_cast<std::int64_t>(plan_.minWindow.size()) - 1;
        for (std::int64_t j = 0; j <= most; ++j) {
            const std::int64_t half = (plan_.minWindow[static_cast<std::size_t>(j)] - covered + 1) / 2;
            if (half <= 0) {
                return true;
            }
            const int leftBad = std::popcount(
                left & static_cast<std::uint32_t>(firstPairs(std::min<std::int64_t>(half, 16))));
            const int rightBad =
                std::popcount((right >> (2 * (covered - shape_.span))) &
                              static_cast<std::uint32_t>(firstPairs(std::min(half, beyond))));
            if (std::min(leftBad, rightBad) <= j) {
                return true;
            }
        }
        return false;
    }

    void tryHit(std::int64_t i, std::int64_t j, std::vector<Candidate>& out) const
    {
        const std::int64_t n = context_.n;
        if (!context_.line) {
            if (!passes(PairReader{&context_.forward, i, &context_.forward, j, context_.complement})) {
                return;
            }
            const std::int64_t d = j - i;
            out.push_back(d <= n - d
                              ? Candidate{static_cast<std::int32_t>(d), static_cast<std::int32_t>(i)}
                              : Candidate{static_cast<std::int32_t>(n - d), static_cast<std::int32_t>(j)});
            return;
        }
        // Pair o of the seed lines up letters i + o and last - o.
        const std::int64_t last = j + shape_.span - 1;
        if (modulo(last - i, n) == 0) {
            return;  // a seed across a centre: no block of a segment holds it
        }
        const std::int64_t t = modulo(i + last, n);
        const LineGeometry line = lineGeometry(n, t);
        const std::int64_t b = modulo(t - line.a, n);
        // A contiguous seed is read outward along its line (from the copy on
        // the b side), so that the first seed of a run is the one nearest the
        // centre whichever copy comes first in the sequence.
        const bool swap = shape_.contiguous && modulo(line.a - i, n) < line.length;
        const std::int64_t from = swap ? j : i;
        const std::int64_t to = swap ? i : j;
        if (!passes(PairReader{&context_.forward, from, &context_.backward, n - to - shape_.span,
                               context_.complement})) {
            return;
        }
        // Pair 0 lines up `from` with to + span - 1; one of them is b + y.
        std::int64_t y = modulo(from - b, n);
        if (y >= line.length) {
            y = modulo(to + shape_.span - 1 - b, n);
        }
        out.push_back({static_cast<std::int32_t>(t), static_cast<std::int32_t>(y)});
    }

    // The distances (1-based) of the first `count` bad pairs after pair
    // from - 1, a gap standing for every later one; kFar past the look range.
    // `word` holds pairs [base, base + 32), base <= from < base + 32.
    static constexpr std::int64_t kFar = std::int64_t{1} << 40;

    void distancesRight(const PairReader& reader, std::int64_t from, std::size_t count,
                        std::array<std::int64_t, 64>& out, std::uint64_t word, std::int64_t base) const
    {
        std::size_t found = 0;
        std::uint64_t bad = word & ~firstPairs(from - base);
        for (std::int64_t at = base;;) {
            const std::uint64_t gaps = reader.hasGaps() ? reader.gapBits(at) : 0;
            while (bad != 0 && found < count) {
                const int k = lowestPair(bad);
                const std::int64_t distance = at + k - from + 1;
                if (((gaps >> (2 * k)) & 1U) != 0) {
                    while (found < count) {
                        out[found++] = distance;
                    }
                    return;
                }
                out[found++] = distance;
                bad &= bad - 1;
            }
            at += 32;
            if (found == count || at - from >= plan_.lookRange) {
                break;
            }
            bad = reader.bad(at);
        }
        while (found < count) {
            out[found++] = kFar;
        }
    }

    // The same leftwards from pair -1; `word` holds pairs -32 .. -1.
    void distancesLeft(const PairReader& reader, std::size_t count, std::array<std::int64_t, 64>& out,
                       std::uint64_t word) const
    {
        std::size_t found = 0;
        std::uint64_t bad = word;
        for (std::int64_t at = -32;;) {
            const std::uint64_t gaps = reader.hasGaps() ? reader.gapBits(at) : 0;
            while (bad != 0 && found < count) {
                const int k = highestPair(bad);
                const std::int64_t distance = -(at + k);
                if (((gaps >> (2 * k)) & 1U) != 0) {
                    while (found < count) {
                        out[found++] = distance;
                    }
                    return;
                }
                out[found++] = distance;
                bad &= ~(std::uint64_t{1} << (2 * k));
            }
            at -= 32;
            if (found == count || -at > plan_.lookRange) {
                break;
            }
            bad = reader.bad(at);
        }
        while (found < count) {
            out[found++] = kFar;
        }
    }

    // Whether the seed at pair 0 of `reader` passes the plan's filter.
    bool passes(const PairReader& reader) const
    {
        const std::uint64_t before = reader.bad(-32);
        if (shape_.contiguous && (before >> 62U) == 0) {
            return false;  // not the first seed of its run
        }
        const std::uint64_t start = reader.bad(0);
        // The stretch the seed covers: [0, span), or the whole run of matches.
        std::int64_t covered = shape_.span;
        int inside = 0;
        if (shape_.contiguous) {
            std::int64_t run = 0;
            for (std::uint64_t bad = start; bad == 0;) {
                run += 32;
                if (run >= plan_.lookRange) {
                    return true;
                }
                bad = reader.bad(run);
                if (bad != 0) {
                    run += lowestPair(bad);
                }
            }
            if (run == 0) {
                run = lowestPair(start);
            }
            if (run < shape_.span) {
                return false;  // the key held only part of the seed
            }
            covered = run;
        } else {
            // Every pair of the shape lines up equal; the others count as
            // mismatches. When the shape also fits one pair earlier, that seed
            // stands for this one: a block holding this one, grown by the
            // matching pair before it, holds that one with as many mismatches.
            bool earlierFits = (before >> 62U) == 0;
            for (std::size_t w = 0; w < shapeWords_.size(); ++w) {
                const auto at = static_cast<std::int64_t>(32 * w);
                const std::uint64_t valid = firstPairs(shape_.span - at);
                const std::uint64_t bad = (w == 0 ? start : reader.bad(at)) & valid;
                if ((bad & shapeWords_[w]) != 0 || (reader.gapBits(at) & valid) != 0) {
                    return false;
                }
                inside += std::popcount(bad);
                // The shape one pair earlier, in this word: its offsets 1 .. 32.
                const std::uint64_t next = w + 1 < shapeWords_.size() ? shapeWords_[w + 1] : 0;
                earlierFits = earlierFits && (bad & ((shapeWords_[w] >> 2U) | (next << 62U))) == 0;
            }
            if (earlierFits) {
                return false;
            }
        }
        if (plan_.filter == SeedPlan::Filter::None) {
            return true;
        }
        const int budget = static_cast<int>(plan_.minWindow.size()) - 1 - inside;
        if (budget < 0) {
            return false;
        }
        if (budget > 62) {
            return true;  // more splits than are looked at: let it pass
        }
        // A quick look first: a window of `need` pairs with j mismatches
        // around the seed reaches at least half of the rest on one side, so
        // it has j or fewer there.
        bool possible = false;
        for (int j = 0; j <= budget && !possible; ++j) {
            const std::int64_t rest = plan_.minWindow[static_cast<std::size_t>(j + inside)] - covered;
            const std::int64_t half = (rest + 1) / 2;
            if (rest <= 0 || half > 32 || covered + half > 32) {
                possible = true;
                break;
            }
            const int leftBad = std::popcount(before >> (64 - 2 * half));
            const int rightBad = std::popcount((start >> (2 * covered)) & firstPairs(half));
            possible = std::min(leftBad, rightBad) <= j;
        }
        if (!possible) {
            return false;
        }
        std::array<std::int64_t, 64> left;  // filled up to `count`
        std::array<std::int64_t, 64> right;
        const auto count = static_cast<std::size_t>(budget + 1);
        distancesLeft(reader, count, left, before);
        const std::int64_t base = covered / 32 * 32;
        distancesRight(reader, covered, count, right, base == 0 ? start : reader.bad(base), base);
        for (int j = 0; j <= budget; ++j) {
            const std::int64_t need = plan_.minWindow[static_cast<std::size_t>(j + inside)];
            // j mismatches on each side bound every split of j.
            const auto side = static_cast<std::size_t>(j);
            if ((left[side] - 1) + covered + (right[side] - 1) < need) {
                continue;
            }
            for (int jl = 0; jl <= j; ++jl) {
                if ((left[static_cast<std::size_t>(jl)] - 1) + covered +
                        (right[static_cast<std::size_t>(j - jl)] - 1) >=
                    need) {
                    return true;
                }
            }
        }
        return false;
    }

    const Context& context_;
    const SeedPlan& plan_;
    const SeedShape& shape_;
    int threads_;
    std::vector<std::vector<Candidate>> found_;
    const SeedLists::List& firstList_;
    const SeedLists::List& secondList_;
    const std::vector<Keyed>& firsts_;
    const std::vector<Keyed>& seconds_;
    std::uint32_t keyFlip_;                  // turns a key into its complement's
    std::vector<std::uint64_t> shapeWords_;  // the shape's pairs, 32 to a word as the reader gives them
};

// ---------------------------------------------------------------------------

int threadCount(const ApproximateSettings& settings, std::int64_t n)
{
    if (n < 20000) {
        return 1;
    }
    const int machine = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    return settings.threads > 0 ? settings.threads : machine;
}

ApproximateSettings clamped(ApproximateSettings settings)
{
    settings.minLength = std::max(settings.minLength, 1);
    settings.mismatchPenalty = std::max(settings.mismatchPenalty, 1);
    settings.identity = std::isnan(settings.identity) ? 0.0 : std::clamp(settings.identity, 0.0, 100.0);
    if (settings.maxMismatches) {
        settings.maxMismatches = std::max(*settings.maxMismatches, 0);
    }
    return settings;
}

// The least score whose E-value passes the cut-off (at least 1).
std::int64_t leastScore(const KarlinAltschul& statistics, const std::optional<double>& maxEvalue)
{
    if (!maxEvalue || statistics.lambda <= 0.0 || std::isinf(statistics.lambda)) {
        return 1;
    }
    const double estimate = std::log(statistics.k * statistics.searchSpace / *maxEvalue) / statistics.lambda;
    auto score = static_cast<std::int64_t>(std::clamp(std::floor(estimate) - 2.0, 1.0, 1e15));
    while (!(statistics.evalue(score) <= *maxEvalue) && score < (std::int64_t{1} << 50)) {
        ++score;
    }
    return score;
}

void sortPairs(std::vector<ApproximatePair>& pairs)
{
    std::sort(pairs.begin(), pairs.end(), [](const ApproximatePair& a, const ApproximatePair& b) {
        return std::tie(a.first, a.second, a.length) < std::tie(b.first, b.second, b.length);
    });
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
}

void fullScan(const Context& context, int threads, std::vector<std::vector<ApproximatePair>>& out,
              double from, double to)
{
    const std::int64_t n = context.n;
    const std::int64_t tracks = context.line ? n : n / 2;
    const std::int64_t perTask = std::max<std::int64_t>(1, tracks / 256);
    const std::int64_t tasks = (tracks + perTask - 1) / perTask;
    runTasks(context, threads, tasks, from, to, [&](std::int64_t task, int thread) {
        TrackScanner scanner(context, out[static_cast<std::size_t>(thread)]);
        for (std::int64_t k = task * perTask; k < std::min(tracks, (task + 1) * perTask); ++k) {
            if (context.line) {
                scanner.scanAll(lineTrack(context, k));
            } else if (const auto track = circleTrack(context, k + 1)) {
                scanner.scanAll(track->startBound == 0 ? *track : exactCircleTrack(context, k + 1));
            }
        }
    });
}

// Reads the tracks of the candidates exactly.
void scanCandidates(const Context& context, std::vector<Candidate>& candidates, int threads, double from,
                    double to, std::vector<std::vector<ApproximatePair>>& out)
{
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    std::vector<std::size_t> starts;
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        if (k == 0 || candidates[k].track != candidates[k - 1].track) {
            starts.push_back(k);
        }
    }
    starts.push_back(candidates.size());
    const auto groups = static_cast<std::int64_t>(starts.size()) - 1;
    runTasks(context, threads, groups, from, to, [&](std::int64_t group, int thread) {
        const std::size_t begin = starts[static_cast<std::size_t>(group)];
        const std::size_t end = starts[static_cast<std::size_t>(group) + 1];
        const std::int64_t id = candidates[begin].track;
        std::optional<Track> track;
        if (context.line) {
            // Read from the end nearer to the farthest candidate.
            const std::int64_t length = lineGeometry(context.n, id).length;
            const std::int64_t low = candidates[begin].position;
            const std::int64_t high = candidates[end - 1].position;
            track = lineTrack(context, id, length - 1 - low < high);
        } else {
            track = circleTrack(context, id);
        }
        if (!track) {
            return;
        }
        std::vector<std::int64_t> positions;
        const auto place = [&] {
            positions.clear();
            for (std::size_t k = begin; k < end; ++k) {
                const std::int64_t position = candidates[k].position;
                positions.push_back(!track->line     ? modulo(position - track->origin, context.n)
                                    : track->reversed ? track->length - 1 - position
                                                      : position);
            }
            std::sort(positions.begin(), positions.end());
        };
        place();
        TrackScanner scanner(context, out[static_cast<std::size_t>(thread)]);
        if (!scanner.scanAround(*track, positions)) {
            track = exactCircleTrack(context, id);
            place();
            scanner.scanAround(*track, positions);
        }
    });
    std::vector<Candidate>().swap(candidates);
}

// The search of one kind as it goes along.
struct KindSearch {
    ApproximateResult result;
    std::unique_ptr<Context> context;
    std::optional<SeedPlan> plan;
    std::vector<Candidate> candidates;
    std::vector<std::vector<ApproximatePair>> found;
};

}  // namespace

ApproximateSearchResults approximateSearch(const Genome& genome, std::span<const RepeatKind> kinds,
                                           const ApproximateSettings& settings, const SearchControl& control)
{
    const ApproximateSettings used = clamped(settings);
    const std::int64_t n = genome.length();
    const int threads = threadCount(used, n);
    std::vector<ApproximateResult> results;
    try {
        std::vector<KindSearch> searches(kinds.size());
        std::optional<Texts> texts;
        if (n >= 2) {
            texts.emplace(genome);
        }
        // Plans, and the work to share out the progress over: full scans,
        // seeds of each shape for each kind, exact scans of their tracks.
        double work = 0.0;
        const double pairs = static_cast<double>(n) * static_cast<double>(n - 1) / 2.0;
        for (std::size_t k = 0; k < kinds.size(); ++k) {
            KindSearch& search = searches[k];
            search.result.kind = kinds[k];
            search.result.settings = used;
            search.result.statistics = karlinAltschul(genome, kinds[k], used.mismatchPenalty);
            if (!texts) {
                continue;
            }
            search.context = std::make_unique<Context>(*texts, kinds[k], used, control);
            search.context->statistics = search.result.statistics;
            search.context->minScore = leastScore(search.result.statistics, used.maxEvalue);
            search.found.resize(static_cast<std::size_t>(threads));
            if (used.method != ApproximateMethod::FullScan &&
                (used.method == ApproximateMethod::Seeds || pairs > kFullScanPairs)) {
                search.plan = planSeeds(used, search.context->minScore, n, matchProbability(genome, kinds[k]),
                                        used.method == ApproximateMethod::Seeds);
                // A seed must fit in the sequence.
                for (const SeedShape& shape : search.plan->shapes) {
                    if (shape.span > n) {
                        search.plan.reset();
                        break;
                    }
                }
            }
            work += search.plan ? 1.0 : 3.0;
        }
        double done = 0.0;
        const auto step = [&](double amount) {
            const double from = done / std::max(work, 1.0);
            done += amount;
            return std::pair{from, done / std::max(work, 1.0)};
        };
        for (KindSearch& search : searches) {
            if (search.context && !search.plan) {
                const auto [from, to] = step(3.0);
                fullScan(*search.context, threads, search.found, from, to);
            }
        }
        // Seeds shape by shape, for every kind whose plan has the shape, so
        // that only one shape's lists are held at a time.
        std::vector<SeedShape> shapes;
        for (const KindSearch& search : searches) {
            for (const SeedShape& shape : search.plan ? search.plan->shapes : std::vector<SeedShape>{}) {
                if (std::none_of(shapes.begin(), shapes.end(),
                                 [&](const SeedShape& known) { return known.offsets == shape.offsets; })) {
                    shapes.push_back(shape);
                }
            }
        }
        if (texts) {
            SeedLists lists(*texts);
            for (const SeedShape& shape : shapes) {
                for (KindSearch& search : searches) {
                    if (!search.plan) {
                        continue;
                    }
                    const auto& own = search.plan->shapes;
                    const auto it = std::find_if(own.begin(), own.end(), [&](const SeedShape& s) {
                        return s.offsets == shape.offsets;
                    });
                    if (it == own.end()) {
                        continue;
                    }
                    const auto [from, to] = step(0.7 / static_cast<double>(own.size()));
                    SeedFinder finder(*search.context, *search.plan, *it, lists, threads);
                    finder.run(from, to);
                    for (auto& part : finder.found()) {
                        search.candidates.insert(search.candidates.end(), part.begin(), part.end());
                    }
                }
                lists.release(shape);
            }
        }
        for (KindSearch& search : searches) {
            if (search.plan) {
                const auto [from, to] = step(0.3);
                scanCandidates(*search.context, search.candidates, threads, from, to, search.found);
                search.result.exhaustive = search.plan->exhaustive;
                search.result.seedLength = search.plan->seedLength;
            }
            for (auto& part : search.found) {
                search.result.pairs.insert(search.result.pairs.end(), part.begin(), part.end());
            }
            sortPairs(search.result.pairs);
            results.push_back(std::move(search.result));
        }
    } catch (const Stopped& stopped) {
        return stopped.reason;
    } catch (const std::bad_alloc&) {
        return SearchFailure::OutOfMemory;
    }
    control.report(1.0);
    return results;
}

ApproximateSearchResult approximateSearch(const Genome& genome, RepeatKind kind,
                                          const ApproximateSettings& settings, const SearchControl& control)
{
    auto results = approximateSearch(genome, std::span<const RepeatKind>(&kind, 1), settings, control);
    if (const auto* failure = std::get_if<SearchFailure>(&results)) {
        return *failure;
    }
    return std::move(std::get<std::vector<ApproximateResult>>(results).front());
}

MismatchedLetters mismatchedLetters(const Genome& genome, RepeatKind kind, const ApproximatePair& pair)
{
    MismatchedLetters letters;
    const std::int64_t n = genome.length();
    if (n == 0) {
        return letters;
    }
    const auto complementOf = [](char letter) {
        switch (letter) {
            case 'A':
                return 'T';
            case 'T':
                return 'A';
            case 'C':
                return 'G';
            case 'G':
                return 'C';
            default:
                return letter;
        }
    };
    const auto isBase = [](char letter) {
        return letter == 'A' || letter == 'C' || letter == 'G' || letter == 'T';
    };
    for (std::int64_t k = 0; k < pair.length; ++k) {
        const std::int64_t p = modulo(pair.first + k, n);
        const std::int64_t q =
            modulo(isLineKind(kind) ? pair.second + pair.length - 1 - k : pair.second + k, n);
        const char a = genome.at(p);
        char b = genome.at(q);
        if (complements(kind)) {
            b = complementOf(b);
        }
        if (!isBase(a) || !isBase(b) || a != b) {
            letters.first.push_back(p);
            letters.second.push_back(q);
        }
    }
    return letters;
}

}  // namespace tessaron
