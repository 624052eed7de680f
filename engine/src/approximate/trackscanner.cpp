#include "trackscanner.h"

#include "seedplan.h"

#include <algorithm>
#include <bit>
#include <utility>

// How the tracks are read.
//
// Tracks. Every letter pair of a kind lies on one track: for direct and
// complementary pairs the circle of diagonal d (pair x lines up letters x and
// x + d), taken for d = 1 .. N/2 since d and N - d hold the same pairs; for
// inverted and mirror pairs the line of t (pair y lines up letters A - y and
// B + y outward from one centre; read from either end). Pairs are read 32 at
// a time from 2-bit packed copies of the sequence, forwards and backwards.
//
// Cuts. A place between two pairs of a track is a cut when no segment with
// positive prefixes and suffixes crosses it; the maximal segments between
// two cuts are then those of that stretch alone. With H the best score of a
// segment ending at a place (Kadane: H = max(0, H + s), reset by a gap),
// every place where H = 0 is a cut: a segment crossing it would need a
// positive part ending there. On a circle H looks back at most one round;
// when the circle's total is <= 0 this is the same as looking back without
// end, so Kadane's rule holds round it too; when the total is > 0 (no gap)
// the circle gives nothing. A line starts with H = 0, a circle with a gap
// just after one. A gapless circle is first counted block by block; its
// running total is lowest at some block boundary z, and H at z is at most the
// dip below that total inside any block (X per mismatch), a bound to start
// from.
//
// Exact scan around a seed. From the start, the blocks of 32 pairs give an
// upper bound U of H at every block boundary: U' = max(U + score, matches) (a
// block's best suffix scores at most its matches), or the matches after a
// gap. A boundary is certainly a cut when H, followed pair by pair through
// the block before it from U, ends at 0. A circle started from a bound is
// read once round from its first certain cut. From the last certain cut
// before a seed, H is followed exactly pair by pair and the pieces go to
// Ruzzo and Tompa's algorithm, flushed at every place where H = 0, up to the
// first such place past the seed. Every maximal segment found between the
// two cuts is one of the track's, and the one holding the seed is among
// them, however far its positive stretches reach. Which seeds lead to a scan
// is decided by the seed plan (seedplan.cpp); a full scan reads every track
// whole from a cut.

namespace tessaron::approximate {

namespace {

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

}  // namespace

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
    // Letters x of the first copy are word-aligned; letters x + d of the
    // second are taken across two words.
    const std::uint64_t* first = context.forward.words();
    const std::uint64_t* second = context.forward.words() + d / 32;
    const auto shift = static_cast<unsigned>(d % 32) * 2U;
    const std::uint64_t flip = context.complement ? ~std::uint64_t{0} : 0;
    for (std::int64_t block = 0; block < blocks; ++block) {
        const auto at = static_cast<std::size_t>(block);
        const std::uint64_t other = (second[at] >> shift) | ((second[at + 1] << 1U) << (63U - shift));
        const std::uint64_t diff = first[at] ^ other ^ flip;
        mismatches[at] = static_cast<std::uint8_t>(std::popcount((diff | (diff >> 1U)) & kLowBits));
    }
    // The last block is short: pairs past n are not counted.
    const std::int64_t last = n - 32 * (blocks - 1);
    {
        const auto at = static_cast<std::size_t>(blocks - 1);
        const std::uint64_t other = (second[at] >> shift) | ((second[at + 1] << 1U) << (63U - shift));
        const std::uint64_t diff = first[at] ^ other ^ flip;
        mismatches[at] = static_cast<std::uint8_t>(std::popcount((diff | (diff >> 1U)) & firstPairs(last)));
    }
    for (std::int64_t block = 0; block < blocks; ++block) {
        const std::int64_t count = block + 1 < blocks ? 32 : last;
        const int bad = mismatches[static_cast<std::size_t>(block)];
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

Track lineTrack(const Context& context, std::int64_t t, bool reversed)
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

void TrackScanner::scanAll(const Track& track)
{
    track_ = &track;
    end_ = track.length;
    scanFrom(0, track.length);
}

bool TrackScanner::scanAround(const Track& track, std::vector<std::int64_t>& positions)
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

void TrackScanner::extendBounds(std::int64_t block)
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
            bounds_.push_back(std::max(bounds_.back() + count - (x + 1) * mismatches, count - mismatches));
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

bool TrackScanner::zeroAt(std::int64_t block)
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

std::int64_t TrackScanner::scanFrom(std::int64_t from, std::int64_t past)
{
    const std::int64_t x = context_.penalty;
    const std::int64_t length = end_;
    std::int64_t h = 0;
    const auto flush = [this] { segments_.flush([this](const MaximalSegments::Segment& s) { emit(s); }); };
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

void TrackScanner::emit(const MaximalSegments::Segment& segment)
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
    if (context_.budget != nullptr) {
        context_.budget->take();
    }
    out_.push_back(pair);
}

}  // namespace tessaron::approximate
