#include "engine/gappedsearch.h"

#include "approximate/maximalsegments.h"
#include "gappedextension.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <stdexcept>
#include <stop_token>
#include <thread>
#include <tuple>
#include <unordered_map>
#include <utility>

// The gapped search of one kind, in the coordinates of two readings: the
// first copy reads the sequence forwards (A), the second reads the kind's
// transform of it (B): direct B[j] = S[j], complementary comp(S[j]), mirror
// S[N-1-j], inverted comp(S[N-1-j]). An alignment is a path through A x B
// read modulo N.
//
// Direct and complementary paths keep u = j - i (mod N) off 0 (a letter never
// faces itself); the pair (i, j) and its swap (j, i) are one, so seeds are
// taken with 0 < u <= N/2. Inverted and mirror columns (i, j) pair the letters
// i and N-1-j; their copies must not meet: between the first copy's end and
// the second's start lie g1 free letters, between the second's end and the
// first's start g2, and the right and left extensions take at most g1 and g2
// letters of both copies together. The swap of a seed exchanges g1 and g2, so
// seeds are taken with g1 <= g2.
//
// Each seed not already on the path of an earlier alignment is extended
// without gaps; when that scores at least the trigger, with gaps both ways.
// The maximal scoring parts of the resulting path are the candidates, which
// the filters (and the identity's stretches) turn into pairs, and which are
// made one when they share both copies over more than half.

namespace tessaron {

namespace gapped {
namespace {

constexpr std::uint8_t kGap = 4;
// The ungapped score a seed needs for a gapped extension, at most: an
// alignment scoring 16 (an E-value near 10 on 200 kb) with a gap of one
// letter (7 at the defaults) has a gapless part scoring 12 or more. At least
// the seed and three more, so that chance seeds rarely cost a gapped
// extension.
constexpr std::int64_t kMaxTrigger = 13;
// The X-drop of a seed's first gapped extension, which bridges a gap of ten
// letters at the default costs; extensions that score kFullExtension or more
// are made again with the settings' X-drop.
constexpr std::int64_t kQuickXDrop = 30;
constexpr std::int64_t kFullExtension = 20;
// The least genome searched on two threads.
constexpr std::int64_t kTwoThreadsLength = 100'000;

// Sorts 64-bit values whose bits below `fromBit` are in order already
// within equal higher bits (least significant digit first, each pass
// stable): the order of a sort of the whole values. `scratch` is the room
// for a pass.
void radixSort(std::vector<std::uint64_t>& values, std::vector<std::uint64_t>& scratch, int fromBit,
               const SearchControl& control)
{
    constexpr int kDigitBits = 11;
    constexpr std::size_t kBuckets = std::size_t{1} << kDigitBits;
    std::uint64_t any = 0;
    for (const std::uint64_t value : values) {
        any |= value;
    }
    scratch.resize(values.size());
    std::vector<std::size_t> counts(kBuckets);
    for (int shift = fromBit; shift < 64 && (any >> shift) != 0; shift += kDigitBits) {
        control.throwIfStopped();
        std::fill(counts.begin(), counts.end(), 0);
        for (const std::uint64_t value : values) {
            ++counts[(value >> shift) & (kBuckets - 1)];
        }
        if (std::find(counts.begin(), counts.end(), values.size()) != counts.end()) {
            continue;  // one digit for all
        }
        std::size_t total = 0;
        for (std::size_t& count : counts) {
            total += std::exchange(count, total);
        }
        for (const std::uint64_t value : values) {
            scratch[counts[(value >> shift) & (kBuckets - 1)]++] = value;
        }
        values.swap(scratch);
    }
    std::vector<std::uint64_t>().swap(scratch);
}

std::uint8_t codeOf(char letter)
{
    switch (letter) {
        case 'A':
            return 0;
        case 'C':
            return 1;
        case 'G':
            return 2;
        case 'T':
            return 3;
        default:
            return kGap;
    }
}

std::uint8_t complementCode(std::uint8_t code)
{
    return code == kGap ? kGap : static_cast<std::uint8_t>(3 - code);
}

bool isLine(RepeatKind kind)
{
    return kind == RepeatKind::Inverted || kind == RepeatKind::Mirror;
}

std::int64_t modulo(std::int64_t value, std::int64_t n)
{
    const std::int64_t r = value % n;
    return r < 0 ? r + n : r;
}

// The copies' letters that overlap, on the circle.
std::int64_t overlap(std::int64_t n, std::int64_t start1, std::int64_t length1, std::int64_t start2,
                     std::int64_t length2)
{
    std::int64_t best = 0;
    for (const std::int64_t shift : {-n, std::int64_t{0}, n}) {
        const std::int64_t low = std::max(start1, start2 + shift);
        const std::int64_t high = std::min(start1 + length1, start2 + shift + length2);
        best = std::max(best, high - low);
    }
    return best;
}

// What an alignment's columns add up to.
struct Tally {
    std::int64_t equal = 0;
    std::int64_t mismatches = 0;
    std::int64_t insertions = 0;
    std::int64_t deletions = 0;
    std::int64_t score = 0;

    [[nodiscard]] std::int64_t firstLetters() const { return equal + mismatches + deletions; }
    [[nodiscard]] std::int64_t secondLetters() const { return equal + mismatches + insertions; }
    [[nodiscard]] std::int64_t columns() const { return equal + mismatches + insertions + deletions; }
};

Tally tally(std::string_view ops, const Scoring& scoring)
{
    Tally t;
    char previous = 0;
    for (const char op : ops) {
        switch (op) {
            case kEqual:
                ++t.equal;
                ++t.score;
                break;
            case kMismatch:
                ++t.mismatches;
                t.score -= scoring.mismatch;
                break;
            default:
                (op == kInsertion ? t.insertions : t.deletions) += 1;
                t.score -= scoring.extend + (op == previous ? 0 : scoring.open);
                break;
        }
        previous = op;
    }
    return t;
}

// A candidate alignment: the letters i of A and j of B where it starts and its
// columns.
struct Candidate {
    std::int64_t i = 0;
    std::int64_t j = 0;
    std::string ops;
    std::int64_t score = 0;
};

// The least score whose E-value passes the cut-off (at least 1).
std::int64_t leastScore(const KarlinAltschul& statistics, const std::optional<double>& maxEvalue)
{
    if (!maxEvalue || statistics.lambda <= 0.0 || std::isinf(statistics.lambda)) {
        return 1;
    }
    constexpr std::int64_t kBeyond = std::int64_t{1} << 40;
    const double estimate = std::log(statistics.k * statistics.searchSpace / *maxEvalue) / statistics.lambda;
    auto score =
        static_cast<std::int64_t>(std::clamp(std::floor(estimate) - 2.0, 1.0, static_cast<double>(kBeyond)));
    for (int step = 0; step < 64 && !(statistics.evalue(score) <= *maxEvalue); ++step) {
        ++score;
    }
    return score;
}

// The gapless alignments that meet the filters (from --min columns on, at
// least the identity's share of them equal, at most --max-mismatches
// mismatches): the least score one of them has, and the longest run of equal
// columns each of them holds (its mismatches cut its equal columns into one
// run more). Over the lengths up to kGaplessLengths beyond --min, where both
// have settled.
struct GaplessFloor {
    std::int64_t score = 0;
    std::int64_t run = 0;
};

GaplessFloor gaplessFloor(const GappedSettings& settings)
{
    constexpr std::int64_t kGaplessLengths = 512;
    GaplessFloor floor{std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::max()};
    const std::int64_t from = settings.minLength;
    for (std::int64_t length = from; length < from + kGaplessLengths; ++length) {
        const auto least = static_cast<std::int64_t>(
            std::ceil(settings.identity * static_cast<double>(length) / 100.0 - 1e-9));
        std::int64_t mismatches = length - std::clamp<std::int64_t>(least, 0, length);
        if (settings.maxMismatches) {
            mismatches = std::min<std::int64_t>(mismatches, *settings.maxMismatches);
        }
        const std::int64_t equal = length - mismatches;
        floor.score = std::min(floor.score, equal - mismatches * settings.mismatchPenalty);
        floor.run = std::min(floor.run, (equal + mismatches) / (mismatches + 1));
    }
    return floor;
}

class KindSearch {
public:
    KindSearch(const Genome& genome, RepeatKind kind, const GappedSettings& settings,
               const SearchControl& control, const std::vector<std::uint8_t>& firstForward,
               const std::vector<std::uint8_t>& firstBackward, double progressFrom, double progressTo)
        : genome_(genome),
          kind_(kind),
          settings_(settings),
          control_(control),
          n_(genome.length()),
          line_(isLine(kind)),
          scoring_{settings.mismatchPenalty, settings.gapOpen, settings.gapExtend, settings.xDrop},
          aligner_(scoring_),
          quickAligner_(Scoring{scoring_.mismatch, scoring_.open, scoring_.extend,
                                std::min<std::int64_t>(scoring_.xDrop, kQuickXDrop)}),
          firstForward_(firstForward),
          firstBackward_(firstBackward),
          progressFrom_(progressFrom),
          progressTo_(progressTo)
    {
    }

    GappedResult run(int seedLength)
    {
        GappedResult result;
        result.kind = kind_;
        result.settings = settings_;
        result.statistics = gappedKarlinAltschul(genome_, kind_, settings_);
        result.seedLength = seedLength;
        statistics_ = result.statistics;
        k_ = seedLength;
        if (n_ < 2 * static_cast<std::int64_t>(k_) + 1) {
            return result;
        }
        trigger_ = triggerScore();
        // The widest gap the X-drop lets a path cross: a seed that many
        // tracks beside a path could reach it.
        trackMargin_ =
            scoring_.open >= scoring_.xDrop
                ? 0
                : std::min<std::int64_t>(kMaxTrackMargin, (scoring_.xDrop - scoring_.open) / scoring_.extend);
        makeSecondReadings();
        findSeeds();
        extendSeeds();
        result.pairs = pairsOf(distinct());
        return result;
    }

private:
    // The least score a reportable alignment can have, as far as the filters
    // tell, and from it the trigger.
    std::int64_t triggerScore() const
    {
        const std::int64_t evalueScore = leastScore(statistics_, settings_.maxEvalue);
        const double share = settings_.identity / 100.0;
        const auto length = static_cast<double>(settings_.minLength);
        const double equal = std::ceil(share * length);
        const double worst =
            static_cast<double>(std::max<std::int64_t>(scoring_.mismatch, scoring_.open + scoring_.extend));
        const auto filterScore = static_cast<std::int64_t>(equal - (length - equal) * worst);
        const std::int64_t needed = std::max({evalueScore, filterScore, std::int64_t{1}});
        if (settings_.triggerScore > 0) {
            return settings_.triggerScore;
        }
        // Never above what a gapless alignment that meets the filters scores:
        // its seeds must reach the gapped extension.
        const std::int64_t gapless = std::max({evalueScore, gaplessFloor(settings_).score, std::int64_t{1}});
        return std::min({kMaxTrigger, std::max(needed, static_cast<std::int64_t>(k_) + 3), gapless});
    }

    std::uint8_t second(std::int64_t j) const
    {
        const std::int64_t position = line_ ? n_ - 1 - j : j;
        const std::uint8_t code = firstForward_[static_cast<std::size_t>(position)];
        return kind_ == RepeatKind::Inverted || kind_ == RepeatKind::Complementary ? complementCode(code)
                                                                                   : code;
    }

    void makeSecondReadings()
    {
        if (kind_ == RepeatKind::Direct) {
            return;  // B is A
        }
        secondForward_.resize(static_cast<std::size_t>(2 * n_));
        secondBackward_.resize(static_cast<std::size_t>(2 * n_));
        for (std::int64_t x = 0; x < 2 * n_; ++x) {
            if ((x & 0xFFFF) == 0) {
                control_.throwIfStopped();
            }
            secondForward_[static_cast<std::size_t>(x)] = second(x % n_);
            secondBackward_[static_cast<std::size_t>(x)] = second(modulo(n_ - 1 - x, n_));
        }
    }

    const std::vector<std::uint8_t>& secondForward() const
    {
        return kind_ == RepeatKind::Direct ? firstForward_ : secondForward_;
    }
    const std::vector<std::uint8_t>& secondBackward() const
    {
        return kind_ == RepeatKind::Direct ? firstBackward_ : secondBackward_;
    }

    // The words of k letters starting at 0 .. N-1 of a reading, as key << 32 | start.
    std::vector<std::uint64_t> words(const std::vector<std::uint8_t>& reading) const
    {
        std::vector<std::uint64_t> out;
        out.reserve(static_cast<std::size_t>(n_));
        std::uint64_t key = 0;
        const std::uint64_t mask = (std::uint64_t{1} << (2 * k_)) - 1;
        int run = 0;
        for (std::int64_t x = 0; x < n_ + k_ - 1; ++x) {
            if ((x & 0xFFFF) == 0) {
                control_.throwIfStopped();
            }
            const std::uint8_t code = reading[static_cast<std::size_t>(x)];
            if (code == kGap) {
                run = 0;
                continue;
            }
            key = ((key << 2) | code) & mask;
            if (++run >= k_) {
                out.push_back(key << 32 | static_cast<std::uint64_t>(x - k_ + 1));
            }
        }
        std::vector<std::uint64_t> scratch;
        radixSort(out, scratch, 32, control_);  // the starts are in order
        return out;
    }

    // Whether the seed of first-copy start i and B start j is one this kind
    // takes, and its track: j - i, constant along a path without gaps (for
    // inverted and mirror pairs the line of the letters i and N-1-j).
    std::optional<std::int64_t> seedTrack(std::int64_t i, std::int64_t j) const
    {
        if (!line_) {
            const std::int64_t u = modulo(j - i, n_);
            if (u == 0 || 2 * u > n_) {
                return std::nullopt;
            }
            return u;
        }
        const std::int64_t g1 = modulo(n_ - j - 2 * k_ - i, n_);
        const std::int64_t g2 = modulo(i + j, n_);
        if (g1 + g2 + 2 * k_ != n_ || g1 > g2) {
            return std::nullopt;
        }
        return modulo(j - i, n_);
    }

    template <typename Visit>
    void joinWords(const std::vector<std::uint64_t>& firsts, const std::vector<std::uint64_t>& seconds,
                   Visit&& visit) const
    {
        std::size_t a = 0;
        std::size_t b = 0;
        while (a < firsts.size() && b < seconds.size()) {
            const std::uint64_t keyA = firsts[a] >> 32;
            const std::uint64_t keyB = seconds[b] >> 32;
            if (keyA < keyB) {
                ++a;
            } else if (keyB < keyA) {
                ++b;
            } else {
                std::size_t endA = a;
                while (endA < firsts.size() && firsts[endA] >> 32 == keyA) {
                    ++endA;
                }
                std::size_t endB = b;
                while (endB < seconds.size() && seconds[endB] >> 32 == keyA) {
                    ++endB;
                }
                for (std::size_t x = a; x < endA; ++x) {
                    for (std::size_t y = b; y < endB; ++y) {
                        visit(static_cast<std::int64_t>(firsts[x] & 0xffffffffU),
                              static_cast<std::int64_t>(seconds[y] & 0xffffffffU));
                    }
                }
                a = endA;
                b = endB;
            }
        }
    }

    void findSeeds()
    {
        const std::vector<std::uint64_t> firsts = words(firstForward_);
        std::vector<std::uint64_t> secondsOwn;
        if (kind_ != RepeatKind::Direct) {
            secondsOwn = words(secondForward_);
        }
        const std::vector<std::uint64_t>& seconds = kind_ == RepeatKind::Direct ? firsts : secondsOwn;
        // Counted first, so that a limit is refused before the memory is had.
        std::int64_t count = 0;
        std::int64_t tried = 0;
        joinWords(firsts, seconds, [&](std::int64_t i, std::int64_t j) {
            count += seedTrack(i, j) ? 1 : 0;
            if ((++tried & 0xfffff) == 0) {
                control_.throwIfStopped();
            }
        });
        if (count > settings_.pairLimit) {
            throw SearchStopped{SearchFailure::PairLimit};
        }
        seeds_.reserve(static_cast<std::size_t>(count));
        std::int64_t joined = 0;
        joinWords(firsts, seconds, [&](std::int64_t i, std::int64_t j) {
            if ((++joined & 0xfffff) == 0) {
                control_.throwIfStopped();
            }
            if (const auto track = seedTrack(i, j)) {
                seeds_.push_back(static_cast<std::uint64_t>(*track) << 32 | static_cast<std::uint64_t>(i));
            }
        });
        std::vector<std::uint64_t> scratch;
        radixSort(seeds_, scratch, 0, control_);
    }

    // The sides of a seed (or of any column pair: first-copy letter i and B
    // letter j at its start, span letters long).
    Side rightSide(std::int64_t i, std::int64_t j, std::int64_t span) const
    {
        const std::int64_t ia = modulo(i + span, n_);
        const std::int64_t jb = modulo(j + span, n_);
        Side side;
        const std::int64_t cap = line_ ? n_ - 1 : (n_ - span) / 2;
        side.first = std::span<const std::uint8_t>(firstForward_)
                         .subspan(static_cast<std::size_t>(ia), static_cast<std::size_t>(cap));
        side.second = std::span<const std::uint8_t>(secondForward())
                          .subspan(static_cast<std::size_t>(jb), static_cast<std::size_t>(cap));
        if (line_) {
            side.maxTotal = modulo(n_ - j - span - i - span, n_);
        } else {
            const std::int64_t u = modulo(j - i, n_);
            side.forbiddenDifference[0] = -u;
            side.forbiddenDifference[1] = n_ - u;
        }
        return side;
    }

    Side leftSide(std::int64_t i, std::int64_t j, std::int64_t span) const
    {
        const std::int64_t ia = modulo(i - 1, n_);
        const std::int64_t jb = modulo(j - 1, n_);
        Side side;
        const std::int64_t cap = line_ ? n_ - 1 : (n_ - span) / 2;
        side.first = std::span<const std::uint8_t>(firstBackward_)
                         .subspan(static_cast<std::size_t>(n_ - 1 - ia), static_cast<std::size_t>(cap));
        side.second = std::span<const std::uint8_t>(secondBackward())
                          .subspan(static_cast<std::size_t>(n_ - 1 - jb), static_cast<std::size_t>(cap));
        if (line_) {
            side.maxTotal = modulo(i + j, n_);
        } else {
            const std::int64_t u = modulo(j - i, n_);
            side.forbiddenDifference[0] = u;
            side.forbiddenDifference[1] = u - n_;
        }
        return side;
    }

    std::int64_t trackOf(std::int64_t i, std::int64_t j) const { return modulo(j - i, n_); }

    // Whether a seed lies on the path of an alignment found before: its
    // first letter inside the alignment's first copy, its track within the
    // margin of the track the path takes at that letter. Such a seed would
    // find the same alignment again (through a gap onto its path, when the
    // margin is one the X-drop lets a gap cross); seeds farther from the
    // path, or beside the first copy where the path runs on other tracks,
    // are extended.
    bool covered(std::int64_t track, std::int64_t i) const
    {
        const auto near = [&](const Region& region) {
            std::int64_t offset = i - region.begin;
            if (offset < 0) {
                offset += n_;
            }
            if (offset >= region.end - region.begin) {
                return false;
            }
            // The track at that letter: the last bend at or before it.
            const auto first = bends_.begin() + static_cast<std::ptrdiff_t>(region.bendsBegin);
            const auto last = bends_.begin() + static_cast<std::ptrdiff_t>(region.bendsEnd);
            const auto bend = std::upper_bound(first, last, offset,
                                               [](std::int64_t x, const Bend& b) { return x < b.offset; });
            const std::int64_t pathTrack = std::prev(bend)->track;
            return modulo(track - pathTrack + trackMargin_, n_) <= 2 * trackMargin_;
        };
        if (std::any_of(longRegions_.begin(), longRegions_.end(), near)) {
            return true;
        }
        const auto found = regionsByTrack_.find(track / kTrackBin);
        return found != regionsByTrack_.end() &&
               std::any_of(found->second.begin(), found->second.end(), near);
    }

    // Notes the path: its first copy and the track it takes at each letter
    // of it (as the bends where the track changes).
    void cover(std::int64_t i, std::int64_t j, std::string_view ops)
    {
        Region region{i, i, j - i, j - i, bends_.size(), 0};
        std::int64_t a = i;
        std::int64_t b = j;
        bends_.push_back({0, modulo(j - i, n_)});
        for (const char op : ops) {
            a += op == kInsertion ? 0 : 1;
            b += op == kDeletion ? 0 : 1;
            region.lowTrack = std::min(region.lowTrack, b - a);
            region.highTrack = std::max(region.highTrack, b - a);
            if (op != kEqual && op != kMismatch && modulo(b - a, n_) != bends_.back().track) {
                // A run of insertions changes the track at the same letter.
                if (bends_.back().offset == a - i) {
                    bends_.back().track = modulo(b - a, n_);
                } else {
                    bends_.push_back({a - i, modulo(b - a, n_)});
                }
            }
        }
        region.end = a;
        region.bendsEnd = bends_.size();
        const std::int64_t span = region.highTrack - region.lowTrack;
        region.lowTrack = modulo(region.lowTrack, n_);
        region.highTrack = region.lowTrack + span;
        if (region.end - region.begin >= kLongRegion || region.highTrack - region.lowTrack >= kLongRegion) {
            longRegions_.push_back(region);
            return;
        }
        // Filed under every bin of tracks it is near.
        for (std::int64_t track = region.lowTrack - trackMargin_;
             track <= region.highTrack + trackMargin_ + kTrackBin; track += kTrackBin) {
            const std::int64_t bin = modulo(std::min(track, region.highTrack + trackMargin_), n_) / kTrackBin;
            auto& list = regionsByTrack_[bin];
            if (list.empty() || list.back().begin != region.begin ||
                list.back().lowTrack != region.lowTrack) {
                list.push_back(region);
            }
        }
    }

    void extendSeeds()
    {
        std::int64_t lastTrack = -1;
        std::int64_t ungappedEnd = 0;
        const double total = static_cast<double>(std::max<std::size_t>(seeds_.size(), 1));
        for (std::size_t index = 0; index < seeds_.size(); ++index) {
            if ((index & 255) == 0) {
                control_.throwIfStopped();
                control_.report(progressFrom_ +
                                (progressTo_ - progressFrom_) * static_cast<double>(index) / total);
            }
            const auto track = static_cast<std::int64_t>(seeds_[index] >> 32);
            const auto i = static_cast<std::int64_t>(seeds_[index] & 0xffffffffU);
            const std::int64_t j = modulo(i + track, n_);
            if (track == lastTrack && i < ungappedEnd) {
                continue;
            }
            if (covered(trackOf(i, j), i)) {
                continue;
            }
            const Side right = rightSide(i, j, k_);
            const Side left = leftSide(i, j, k_);
            const auto [rightScore, rightLength] = aligner_.extendUngapped(right);
            const auto [leftScore, leftLength] = aligner_.extendUngapped(left);
            lastTrack = track;
            ungappedEnd = i + k_ + rightLength;
            if (k_ + rightScore + leftScore < trigger_) {
                continue;
            }
            // A first look with a short X-drop; the full one for what scores
            // (the first look then stops as soon as it knows).
            const bool full = scoring_.xDrop > kQuickXDrop;
            const std::int64_t enough = full ? kFullExtension - k_ : INT64_MAX;
            Extension rightGapped = quickAligner_.extend(right, enough);
            Extension leftGapped;
            if (!rightGapped.cut) {
                leftGapped = quickAligner_.extend(left, enough - rightGapped.score);
            }
            if (full && (rightGapped.cut || leftGapped.cut ||
                         k_ + rightGapped.score + leftGapped.score >= kFullExtension)) {
                rightGapped = aligner_.extend(right);
                leftGapped = aligner_.extend(left);
            }
            std::string ops(leftGapped.ops.rbegin(), leftGapped.ops.rend());
            ops.append(static_cast<std::size_t>(k_), kEqual);
            ops += rightGapped.ops;
            std::int64_t i0 = i - leftGapped.firstLetters;
            std::int64_t j0 = j - leftGapped.secondLetters;
            // A seed off the best path (a short internal repeat) reaches it
            // through gaps: extend again from the longest run of equal
            // columns, until that run holds the anchor. Each path tried
            // gives its parts: the one from the longest run may stop short
            // of a part the seed's own path holds (a well-kept stretch past
            // a gap its X-drop would not cross for it), and the same part
            // found twice is made one with the others.
            std::vector<std::tuple<std::int64_t, std::int64_t, std::string>> paths;
            std::int64_t anchorBegin = leftGapped.firstLetters;  // the anchor's column
            std::int64_t anchorLength = k_;
            for (int round = 0; round < 3; ++round) {
                std::size_t runBegin = 0;
                std::size_t runLength = 0;
                for (std::size_t c = 0; c < ops.size();) {
                    std::size_t end = c;
                    while (end < ops.size() && ops[end] == kEqual) {
                        ++end;
                    }
                    if (end - c > runLength) {
                        runBegin = c;
                        runLength = end - c;
                    }
                    c = end == c ? c + 1 : end;
                }
                // Columns before the run: letters of each copy.
                std::int64_t a = i0;
                std::int64_t b = j0;
                for (std::size_t c = 0; c < runBegin; ++c) {
                    a += ops[c] == kInsertion ? 0 : 1;
                    b += ops[c] == kDeletion ? 0 : 1;
                }
                const auto runColumn = static_cast<std::int64_t>(runBegin);
                if (runColumn <= anchorBegin &&
                    anchorBegin + anchorLength <= runColumn + static_cast<std::int64_t>(runLength)) {
                    break;
                }
                const auto span = static_cast<std::int64_t>(runLength);
                const Extension again = aligner_.extend(rightSide(a, b, span));
                const Extension back = aligner_.extend(leftSide(a, b, span));
                std::string redone(back.ops.rbegin(), back.ops.rend());
                redone.append(runLength, kEqual);
                redone += again.ops;
                if (tally(redone, scoring_).score < tally(ops, scoring_).score) {
                    break;
                }
                paths.emplace_back(i0, j0, std::move(ops));
                ops = std::move(redone);
                i0 = a - back.firstLetters;
                j0 = b - back.secondLetters;
                anchorBegin = static_cast<std::int64_t>(back.ops.size());
                anchorLength = span;
            }
            paths.emplace_back(i0, j0, std::move(ops));
            for (const auto& [pathI, pathJ, pathOps] : paths) {
                const Tally whole = tally(pathOps, scoring_);
                if (whole.firstLetters() >= n_ || whole.secondLetters() >= n_) {
                    continue;  // round the whole circle: gives nothing
                }
                cover(modulo(pathI, n_), modulo(pathJ, n_), pathOps);
                addParts(modulo(pathI, n_), modulo(pathJ, n_), pathOps);
                addSideParts(modulo(pathI, n_), modulo(pathJ, n_), pathOps);
            }
        }
        std::vector<std::uint64_t>().swap(seeds_);
    }

    // The maximal scoring parts of a path, a gap run counting as one piece;
    // but those that lie within the columns `known` (found already).
    void addParts(std::int64_t i0, std::int64_t j0, const std::string& ops,
                  std::pair<std::int64_t, std::int64_t> known = {0, 0})
    {
        MaximalSegments segments;
        std::size_t c = 0;
        while (c < ops.size()) {
            const char op = ops[c];
            if (op == kEqual || op == kMismatch) {
                segments.add(op == kEqual ? 1 : -scoring_.mismatch, static_cast<std::int64_t>(c),
                             static_cast<std::int64_t>(c) + 1);
                ++c;
                continue;
            }
            std::size_t end = c;
            while (end < ops.size() && ops[end] == op) {
                ++end;
            }
            segments.add(-(scoring_.open + scoring_.extend * static_cast<std::int64_t>(end - c)),
                         static_cast<std::int64_t>(c), static_cast<std::int64_t>(end));
            c = end;
        }
        segments.flush([&](const MaximalSegments::Segment& segment) {
            if (known.first <= segment.begin && segment.end <= known.second) {
                return;
            }
            std::int64_t i = i0;
            std::int64_t j = j0;
            for (std::int64_t x = 0; x < segment.begin; ++x) {
                const char op = ops[static_cast<std::size_t>(x)];
                i += op == kInsertion ? 0 : 1;
                j += op == kDeletion ? 0 : 1;
            }
            filter(i, j,
                   std::string_view(ops).substr(static_cast<std::size_t>(segment.begin),
                                                static_cast<std::size_t>(segment.end - segment.begin)));
        });
    }

    // A path may leave a track through a gap where its copies go on alike:
    // the path is the best alignment through there, but the gapless one that
    // goes on along the track can be the best alignment of copies of its own
    // (a copy that a better-scoring neighbour shares with a third). Each run
    // of the path between gaps is carried on along its track, past the gap,
    // as far as that scores; where it gets farther, the maximal scoring parts
    // of the straight alignment are candidates too (the same alignment found
    // on the path is made one with them).
    void addSideParts(std::int64_t i0, std::int64_t j0, std::string_view ops)
    {
        std::int64_t a = i0;
        std::int64_t b = j0;
        std::size_t c = 0;
        std::string straight;
        while (c < ops.size()) {
            if (ops[c] != kEqual && ops[c] != kMismatch) {
                a += ops[c] == kInsertion ? 0 : 1;
                b += ops[c] == kDeletion ? 0 : 1;
                ++c;
                continue;
            }
            std::size_t end = c;
            while (end < ops.size() && (ops[end] == kEqual || ops[end] == kMismatch)) {
                ++end;
            }
            const auto span = static_cast<std::int64_t>(end - c);
            const std::int64_t before =
                c > 0 ? aligner_.extendUngapped(leftSide(modulo(a, n_), modulo(b, n_), span)).second : 0;
            const std::int64_t after =
                end < ops.size()
                    ? aligner_.extendUngapped(rightSide(modulo(a, n_), modulo(b, n_), span)).second
                    : 0;
            if (before + after > 0) {
                straight.clear();
                for (std::int64_t x = -before; x < span + after; ++x) {
                    const std::uint8_t first = firstForward_[static_cast<std::size_t>(modulo(a + x, n_))];
                    const std::uint8_t second = secondForward()[static_cast<std::size_t>(modulo(b + x, n_))];
                    straight += first == second ? kEqual : kMismatch;
                }
                addParts(modulo(a - before, n_), modulo(b - before, n_), straight, {before, before + span});
            }
            a += span;
            b += span;
            c = end;
        }
    }

    [[nodiscard]] bool passes(const Tally& t, bool checkIdentity) const
    {
        if (std::min(t.firstLetters(), t.secondLetters()) < settings_.minLength) {
            return false;
        }
        if (checkIdentity &&
            100.0 * static_cast<double>(t.equal) / static_cast<double>(t.columns()) < settings_.identity) {
            return false;
        }
        if (settings_.maxMismatches && t.mismatches + t.insertions + t.deletions > *settings_.maxMismatches) {
            return false;
        }
        return !settings_.maxEvalue || statistics_.evalue(t.score) <= *settings_.maxEvalue;
    }

    void keep(std::int64_t i, std::int64_t j, std::string_view ops, std::int64_t score)
    {
        if (static_cast<std::int64_t>(candidates_.size()) >= settings_.pairLimit) {
            throw SearchStopped{SearchFailure::PairLimit};
        }
        candidates_.push_back({modulo(i, n_), modulo(j, n_), std::string(ops), score});
    }

    // Reports a part as it stands, or its stretches that meet the identity.
    void filter(std::int64_t i, std::int64_t j, std::string_view ops)
    {
        const Tally whole = tally(ops, scoring_);
        if (passes(whole, true)) {
            keep(i, j, ops, whole.score);
            return;
        }
        // Too short or too weak a part has no stretch that passes (no part of
        // a maximal scoring part scores more); one at the identity that fails
        // is dropped.
        if (std::min(whole.firstLetters(), whole.secondLetters()) < settings_.minLength ||
            (settings_.maxEvalue && !(statistics_.evalue(whole.score) <= *settings_.maxEvalue)) ||
            100.0 * static_cast<double>(whole.equal) / static_cast<double>(whole.columns()) >=
                settings_.identity) {
            return;
        }
        // Stretches, longest first, then on either side of it.
        std::vector<std::pair<std::size_t, std::size_t>> pending{{0, ops.size()}};
        std::vector<double> prefix;
        std::vector<double> lowest;
        std::vector<double> highest;
        while (!pending.empty()) {
            const auto [from, to] = pending.back();
            pending.pop_back();
            const std::size_t m = to - from;
            if (m == 0) {
                continue;
            }
            // Longest l < r with prefix[r] >= prefix[l]: columns at the
            // identity or above.
            prefix.assign(m + 1, 0.0);
            for (std::size_t x = 0; x < m; ++x) {
                prefix[x + 1] = prefix[x] + (ops[from + x] == kEqual ? 100.0 : 0.0) - settings_.identity;
            }
            lowest.assign(m + 1, 0.0);
            highest.assign(m + 1, 0.0);
            lowest[0] = prefix[0];
            for (std::size_t x = 1; x <= m; ++x) {
                lowest[x] = std::min(lowest[x - 1], prefix[x]);
            }
            highest[m] = prefix[m];
            for (std::size_t x = m; x-- > 0;) {
                highest[x] = std::max(highest[x + 1], prefix[x]);
            }
            std::size_t bestL = 0;
            std::size_t bestR = 0;
            for (std::size_t l = 0, r = 0; l <= m && r <= m;) {
                if (lowest[l] <= highest[r] + 1e-9) {
                    if (r > l && r - l > bestR - bestL) {
                        bestL = l;
                        bestR = r;
                    }
                    ++r;
                } else {
                    ++l;
                }
            }
            // lowest[l] is reached at some l' <= l: move to where it is.
            while (bestR > bestL && prefix[bestL] > prefix[bestR] + 1e-9) {
                ++bestL;
            }
            // Its ends are equal columns.
            while (bestL < bestR && ops[from + bestL] != kEqual) {
                ++bestL;
            }
            while (bestR > bestL && ops[from + bestR - 1] != kEqual) {
                --bestR;
            }
            if (bestR <= bestL) {
                continue;
            }
            std::string_view stretch = ops.substr(from + bestL, bestR - bestL);
            const Tally stretchTally = tally(stretch, scoring_);
            if (!passes(stretchTally, true)) {
                continue;  // the longest fails: so does every shorter one here
            }
            const auto offsetOf = [&](std::size_t column) {
                std::int64_t a = i;
                std::int64_t b = j;
                for (std::size_t x = 0; x < column; ++x) {
                    a += ops[x] == kInsertion ? 0 : 1;
                    b += ops[x] == kDeletion ? 0 : 1;
                }
                return std::pair{a, b};
            };
            // Its best scoring part, when that still meets the filters.
            const auto [partBegin, partEnd] = bestPart(stretch);
            const std::string_view part = stretch.substr(partBegin, partEnd - partBegin);
            const Tally partTally = tally(part, scoring_);
            if (passes(partTally, true)) {
                const auto [a, b] = offsetOf(from + bestL + partBegin);
                keep(a, b, part, partTally.score);
            } else {
                const auto [a, b] = offsetOf(from + bestL);
                keep(a, b, stretch, stretchTally.score);
            }
            pending.emplace_back(from + bestR, to);
            pending.emplace_back(from, from + bestL);
        }
    }

    // The highest scoring run of columns (gap runs whole), as [begin, end).
    std::pair<std::size_t, std::size_t> bestPart(std::string_view ops) const
    {
        std::int64_t running = 0;
        std::size_t runningBegin = 0;
        std::int64_t best = 0;
        std::pair<std::size_t, std::size_t> found{0, ops.size()};
        std::size_t c = 0;
        while (c < ops.size()) {
            std::size_t end = c + 1;
            std::int64_t score = 0;
            if (ops[c] == kEqual) {
                score = 1;
            } else if (ops[c] == kMismatch) {
                score = -scoring_.mismatch;
            } else {
                while (end < ops.size() && ops[end] == ops[c]) {
                    ++end;
                }
                score = -(scoring_.open + scoring_.extend * static_cast<std::int64_t>(end - c));
            }
            if (running <= 0) {
                running = 0;
                runningBegin = c;
            }
            running += score;
            if (running > best) {
                best = running;
                found = {runningBegin, end};
            }
            c = end;
        }
        return found;
    }

    // The pair a candidate stands for, first <= second.
    GappedPair pairOf(const Candidate& candidate) const
    {
        const Tally t = tally(candidate.ops, scoring_);
        GappedPair pair;
        std::int64_t first = candidate.i;
        std::int64_t firstLength = t.firstLetters();
        std::int64_t second = line_ ? modulo(n_ - candidate.j - t.secondLetters(), n_) : candidate.j;
        std::int64_t secondLength = t.secondLetters();
        std::string ops = candidate.ops;
        if (second < first) {
            std::swap(first, second);
            std::swap(firstLength, secondLength);
            for (char& op : ops) {
                op = op == kInsertion ? kDeletion : op == kDeletion ? kInsertion : op;
            }
            if (line_) {
                std::reverse(ops.begin(), ops.end());
            }
        }
        pair.first = first;
        pair.second = second;
        pair.length = firstLength;
        pair.secondLength = secondLength;
        pair.mismatches = t.mismatches;
        pair.insertions = static_cast<std::int64_t>(std::count(ops.begin(), ops.end(), kInsertion));
        pair.deletions = static_cast<std::int64_t>(std::count(ops.begin(), ops.end(), kDeletion));
        pair.score = t.score;
        pair.identity = 100.0 * static_cast<double>(t.equal) / static_cast<double>(t.columns());
        pair.evalue = statistics_.evalue(t.score);
        for (std::size_t c = 0; c < ops.size();) {
            std::size_t end = c;
            while (end < ops.size() && ops[end] == ops[c]) {
                ++end;
            }
            pair.cigar += std::to_string(end - c);
            pair.cigar += ops[c];
            c = end;
        }
        return pair;
    }

    // The candidates as pairs, one of each group sharing both copies over
    // more than half: the highest scoring.
    std::vector<GappedPair> distinct()
    {
        std::vector<GappedPair> pairs;
        pairs.reserve(candidates_.size());
        for (const Candidate& candidate : candidates_) {
            if ((pairs.size() & 255) == 0) {
                control_.throwIfStopped();
            }
            pairs.push_back(pairOf(candidate));
        }
        std::vector<Candidate>().swap(candidates_);
        sortStoppably(pairs.begin(), pairs.end(), control_, [](const GappedPair& a, const GappedPair& b) {
            if (a.score != b.score) {
                return a.score > b.score;
            }
            return std::tie(a.first, a.second, a.length, a.cigar) <
                   std::tie(b.first, b.second, b.length, b.cigar);
        });
        // Two copies share more than half the shorter only if one holds the
        // other's middle: kept first copies are found by the bins of letters
        // they cover (long ones apart) and by their middles.
        std::vector<GappedPair> kept;
        std::unordered_map<std::int64_t, std::vector<std::size_t>> byBin;
        std::vector<std::size_t> longOnes;
        std::map<std::int64_t, std::vector<std::size_t>> byMiddle;
        std::vector<std::size_t> seen;
        const auto shares = [&](std::int64_t s1, std::int64_t l1, std::int64_t s2, std::int64_t l2) {
            return 2 * overlap(n_, s1, l1, s2, l2) > std::min(l1, l2);
        };
        std::size_t looked = 0;
        for (GappedPair& pair : pairs) {
            if ((++looked & 1023) == 0) {
                control_.throwIfStopped();
            }
            seen.clear();
            const auto look = [&](std::int64_t start, std::int64_t length) {
                const std::int64_t middle = modulo(start + length / 2, n_);
                if (const auto found = byBin.find(middle / kBin); found != byBin.end()) {
                    seen.insert(seen.end(), found->second.begin(), found->second.end());
                }
                seen.insert(seen.end(), longOnes.begin(), longOnes.end());
                for (const std::int64_t shift : {std::int64_t{0}, -n_}) {
                    for (auto it = byMiddle.lower_bound(start + shift);
                         it != byMiddle.end() && it->first < start + shift + length; ++it) {
                        seen.insert(seen.end(), it->second.begin(), it->second.end());
                    }
                }
            };
            look(pair.first, pair.length);
            look(pair.second, pair.secondLength);
            const bool same = std::any_of(seen.begin(), seen.end(), [&](std::size_t index) {
                const GappedPair& other = kept[index];
                const bool straight =
                    shares(pair.first, pair.length, other.first, other.length) &&
                    shares(pair.second, pair.secondLength, other.second, other.secondLength);
                const bool crossed = shares(pair.first, pair.length, other.second, other.secondLength) &&
                                     shares(pair.second, pair.secondLength, other.first, other.length);
                return straight || crossed;
            });
            if (same) {
                continue;
            }
            const std::size_t index = kept.size();
            if (pair.length > kLongPair) {
                longOnes.push_back(index);
            } else {
                for (std::int64_t at = pair.first; at < pair.first + pair.length + kBin; at += kBin) {
                    const std::int64_t bin = modulo(std::min(at, pair.first + pair.length - 1), n_) / kBin;
                    auto& list = byBin[bin];
                    if (list.empty() || list.back() != index) {
                        list.push_back(index);
                    }
                }
            }
            byMiddle[modulo(pair.first + pair.length / 2, n_)].push_back(index);
            kept.push_back(std::move(pair));
        }
        return kept;
    }

    std::vector<GappedPair> pairsOf(std::vector<GappedPair> pairs) const
    {
        std::sort(pairs.begin(), pairs.end(), [](const GappedPair& a, const GappedPair& b) {
            return std::tie(a.first, a.second, a.length, a.secondLength, a.cigar) <
                   std::tie(b.first, b.second, b.length, b.secondLength, b.cigar);
        });
        return pairs;
    }

    const Genome& genome_;
    RepeatKind kind_;
    GappedSettings settings_;
    const SearchControl& control_;
    std::int64_t n_;
    bool line_;
    Scoring scoring_;
    XDropAligner aligner_;
    XDropAligner quickAligner_;
    const std::vector<std::uint8_t>& firstForward_;
    const std::vector<std::uint8_t>& firstBackward_;
    std::vector<std::uint8_t> secondForward_;
    std::vector<std::uint8_t> secondBackward_;
    double progressFrom_;
    double progressTo_;
    KarlinAltschul statistics_;
    int k_ = 0;
    std::int64_t trigger_ = 1;
    std::vector<std::uint64_t> seeds_;
    struct Region {
        std::int64_t begin;  // the first copy's letters, begin < N
        std::int64_t end;
        std::int64_t lowTrack;   // the tracks of the path, lowTrack < N
        std::int64_t highTrack;  // lowTrack .. highTrack, not reduced modulo N
        std::size_t bendsBegin;  // its bends in bends_
        std::size_t bendsEnd;
    };
    // From `offset` letters into the first copy on, the path runs on `track`.
    struct Bend {
        std::int64_t offset;
        std::int64_t track;
    };
    std::vector<Bend> bends_;
    std::int64_t trackMargin_ = 0;
    static constexpr std::int64_t kLongRegion = 4096;
    static constexpr std::int64_t kBin = 256;
    static constexpr std::int64_t kLongPair = 16384;
    static constexpr std::int64_t kTrackBin = 64;
    static constexpr std::int64_t kMaxTrackMargin = 8;
    std::vector<Region> longRegions_;
    std::unordered_map<std::int64_t, std::vector<Region>> regionsByTrack_;
    std::vector<Candidate> candidates_;
};

// Seeds about as long as the genome needs for few chance hits (about N / 8
// per kind in a random genome); on a short genome (at most kShortGenome
// letters: a mitochondrion, not a plastid) shorter, down to the run of equal
// letters every gapless alignment that meets the filters holds (at least
// kShortestSeed), as long as the chance seed pairs of a kind (N^2 / 2 / 4^k)
// stay at most kShortSeedPairs.
int seedLengthFor(std::int64_t n, const GappedSettings& settings)
{
    if (settings.seedLength != 0) {
        return settings.seedLength;
    }
    // One letter more than the least k with 4^k >= N.
    int k = 1;
    while (k < GappedSettings::kMaxSeedLength && (std::int64_t{1} << (2 * k)) < n) {
        ++k;
    }
    const int practical = std::clamp(k + 1, 8, 12);
    constexpr std::int64_t kShortGenome = 65536;
    constexpr double kShortSeedPairs = 65536.0;
    constexpr std::int64_t kShortestSeed = 4;
    if (n > kShortGenome) {
        return practical;
    }
    const auto needed = static_cast<int>(
        std::clamp<std::int64_t>(gaplessFloor(settings).run, kShortestSeed, GappedSettings::kMaxSeedLength));
    for (int length = needed; length < practical; ++length) {
        const double chance =
            static_cast<double>(n) * static_cast<double>(n) / 2.0 / std::ldexp(1.0, 2 * length);
        if (chance <= kShortSeedPairs) {
            return length;
        }
    }
    return practical;
}

// The kinds, each searched alone, on two threads when the machine has them
// and the genome is long enough to pay for the second. Each thread takes the
// next kind not yet taken; only the calling thread reports progress (the
// share of the kinds it works on). A failure on one thread stops the other
// and is the search's.
std::vector<GappedResult> searchKinds(const Genome& genome, std::span<const RepeatKind> kinds,
                                      const GappedSettings& settings, const SearchControl& control,
                                      const std::vector<std::uint8_t>& forward,
                                      const std::vector<std::uint8_t>& backward, int seedLength)
{
    const auto count = static_cast<std::int64_t>(kinds.size());
    const bool twoThreads =
        count > 1 && genome.length() >= kTwoThreadsLength && std::thread::hardware_concurrency() > 1;
    std::vector<std::optional<GappedResult>> found(kinds.size());
    std::stop_source stopBoth;
    const std::stop_callback passOn(control.stop, [&stopBoth] { stopBoth.request_stop(); });
    std::atomic<std::int64_t> next{0};
    std::mutex failureMutex;
    std::optional<SearchFailure> failure;
    const auto work = [&](bool reports) {
        try {
            for (std::int64_t k = next.fetch_add(1); k < count; k = next.fetch_add(1)) {
                const double from = static_cast<double>(k) / static_cast<double>(count);
                const double to = static_cast<double>(k + 1) / static_cast<double>(count);
                SearchControl own{stopBoth.get_token(), {}};
                if (reports) {
                    own.progress = control.progress;
                }
                KindSearch search(genome, kinds[static_cast<std::size_t>(k)], settings, own, forward,
                                  backward, from, to);
                found[static_cast<std::size_t>(k)] = search.run(seedLength);
            }
        } catch (const SearchStopped& stopped) {
            const std::lock_guard lock(failureMutex);
            // The other thread's Cancelled follows the first failure.
            if (!failure || *failure == SearchFailure::Cancelled) {
                failure = stopped.reason;
            }
            stopBoth.request_stop();
        } catch (const std::bad_alloc&) {
            const std::lock_guard lock(failureMutex);
            failure = SearchFailure::OutOfMemory;
            stopBoth.request_stop();
        } catch (const std::length_error&) {
            const std::lock_guard lock(failureMutex);
            failure = SearchFailure::OutOfMemory;
            stopBoth.request_stop();
        }
    };
    {
        std::optional<std::jthread> helper;
        if (twoThreads) {
            helper.emplace(work, false);
        }
        work(true);
    }
    if (control.stopRequested()) {
        throw SearchStopped{SearchFailure::Cancelled};
    }
    if (failure) {
        throw SearchStopped{*failure};
    }
    std::vector<GappedResult> results;
    results.reserve(kinds.size());
    for (auto& result : found) {
        results.push_back(std::move(*result));
    }
    return results;
}

}  // namespace
}  // namespace gapped

GappedSearchResults gappedSearch(const Genome& genome, std::span<const RepeatKind> kinds,
                                 const GappedSettings& settings, const SearchControl& control)
{
    std::vector<GappedResult> results;
    if (!validate(settings).empty()) {
        return results;
    }
    return runStep(control, [&]() -> GappedSearchResults {
        const std::int64_t n = genome.length();
        std::vector<std::uint8_t> forward(static_cast<std::size_t>(2 * n));
        std::vector<std::uint8_t> backward(static_cast<std::size_t>(2 * n));
        const std::string_view sequence = genome.sequence();
        for (std::int64_t x = 0; x < 2 * n; ++x) {
            if ((x & 0xFFFF) == 0) {
                control.throwIfStopped();
            }
            forward[static_cast<std::size_t>(x)] = gapped::codeOf(sequence[static_cast<std::size_t>(x % n)]);
            backward[static_cast<std::size_t>(x)] =
                gapped::codeOf(sequence[static_cast<std::size_t>(gapped::modulo(n - 1 - x, n))]);
        }
        const int seedLength = gapped::seedLengthFor(n, settings);
        results = gapped::searchKinds(genome, kinds, settings, control, forward, backward, seedLength);
        control.report(1.0);
        return std::move(results);
    });
}

GappedSearchResult gappedSearch(const Genome& genome, RepeatKind kind, const GappedSettings& settings,
                                const SearchControl& control)
{
    auto results = gappedSearch(genome, std::span<const RepeatKind>(&kind, 1), settings, control);
    if (const auto* failure = std::get_if<SearchFailure>(&results)) {
        return *failure;
    }
    auto& list = std::get<std::vector<GappedResult>>(results);
    if (list.empty()) {
        GappedResult empty;
        empty.kind = kind;
        empty.settings = settings;
        return empty;
    }
    return std::move(list.front());
}

std::vector<AlignedColumn> alignedColumns(const Genome& genome, RepeatKind kind, const GappedPair& pair)
{
    std::vector<AlignedColumn> columns;
    const std::int64_t n = genome.length();
    if (n == 0) {
        return columns;
    }
    const bool line = gapped::isLine(kind);
    const bool complemented = kind == RepeatKind::Inverted || kind == RepeatKind::Complementary;
    std::int64_t a = 0;  // letters of the first copy so far
    std::int64_t b = 0;
    std::size_t c = 0;
    while (c < pair.cigar.size()) {
        std::int64_t count = 0;
        while (c < pair.cigar.size() && pair.cigar[c] >= '0' && pair.cigar[c] <= '9') {
            count = count * 10 + (pair.cigar[c] - '0');
            ++c;
        }
        if (c >= pair.cigar.size()) {
            break;
        }
        const char op = pair.cigar[c++];
        for (std::int64_t x = 0; x < count; ++x) {
            AlignedColumn column;
            if (op != gapped::kInsertion) {
                column.first = gapped::modulo(pair.first + a++, n);
            }
            if (op != gapped::kDeletion) {
                column.second =
                    gapped::modulo(line ? pair.second + pair.secondLength - 1 - b : pair.second + b, n);
                ++b;
            }
            if (column.first >= 0 && column.second >= 0) {
                const std::uint8_t x1 = gapped::codeOf(genome.at(column.first));
                std::uint8_t x2 = gapped::codeOf(genome.at(column.second));
                if (complemented) {
                    x2 = gapped::complementCode(x2);
                }
                column.equal = x1 != gapped::kGap && x1 == x2;
            }
            columns.push_back(column);
        }
    }
    return columns;
}

}  // namespace tessaron
