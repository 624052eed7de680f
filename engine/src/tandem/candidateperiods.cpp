#include "tandem/candidateperiods.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>
#include <type_traits>
#include <utility>

namespace tessaron::tandem {

namespace {

constexpr std::int64_t kWordsBetweenStopChecks = std::int64_t{1} << 16;

// Earlier occurrences of a word looked at, nearest first.
constexpr int kOccurrencesSeen = 4;

// A run of words repeated at one distance.
struct Run {
    std::int32_t first = -1;
    std::int32_t last = std::int32_t{-1} << 30;
    std::int32_t hits = 0;
    std::int32_t exact = 0;
};

}  // namespace

std::vector<Candidate> findCandidates(std::span<const std::uint8_t> text, const CandidatePass& pass,
                                      const SearchControl& control)
{
    std::vector<Candidate> found;
    const auto size = static_cast<std::int64_t>(text.size());
    const int k = pass.wordLength;
    if (size < k || pass.maximumPeriod < pass.minimumPeriod) {
        return found;
    }
    const std::uint32_t mask = (std::uint32_t{1} << (2 * k)) - 1;
    std::vector<std::int32_t> last(std::size_t{mask} + 1, -1);
    // The occurrence before each word is read only within the largest
    // distance of it: a ring of the last words is enough.
    const std::size_t ring = std::bit_ceil(static_cast<std::size_t>(pass.maximumPeriod) + 1);
    const std::size_t ringMask = ring - 1;
    std::vector<std::int32_t> previous(ring, -1);
    std::vector<Run> runs(static_cast<std::size_t>(pass.maximumPeriod) + 1);
    const auto finish = [&](const Run& run, int period) {
        const std::int64_t span = run.last + k - run.first;
        if (run.hits >= pass.hitsNeeded && 10 * span >= 3 * period) {
            found.push_back({run.first, period, run.exact});
        }
    };
    std::uint32_t word = 0;
    std::int64_t nextCheck = kWordsBetweenStopChecks;
    for (std::int64_t i = 0; i < size; ++i) {
        word = ((word << 2) | text[static_cast<std::size_t>(i)]) & mask;
        if (i + 1 < k) {
            continue;
        }
        if (i >= nextCheck) {
            control.throwIfStopped();
            nextCheck = i + kWordsBetweenStopChecks;
        }
        const auto at = static_cast<std::int32_t>(i - k + 1);  // the word's first letter
        std::int32_t earlier = last[word];
        previous[static_cast<std::size_t>(at) & ringMask] = earlier;
        last[word] = at;
        for (int seen = 0; seen < kOccurrencesSeen && earlier >= 0; ++seen) {
            const std::int32_t distance = at - earlier;
            if (distance > pass.maximumPeriod) {
                break;
            }
            // A word at a distance one off counts too: an indel between the copies.
            for (std::int32_t d = std::max(distance - pass.indelSlack, pass.minimumPeriod);
                 d <= std::min(distance + pass.indelSlack, pass.maximumPeriod); ++d) {
                Run& run = runs[static_cast<std::size_t>(d)];
                if (at - run.last > k + std::min(d, pass.widestGap)) {
                    finish(run, d);
                    run = {at, at, 0, 0};
                }
                run.last = at;
                ++run.hits;
                run.exact += d == distance;
            }
            earlier = previous[static_cast<std::size_t>(earlier) & ringMask];
        }
    }
    for (std::size_t period = 1; period < runs.size(); ++period) {
        finish(runs[period], static_cast<int>(period));
    }
    std::sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) {
        if (a.position != b.position) {
            return a.position < b.position;
        }
        return a.support != b.support ? a.support > b.support : a.period < b.period;
    });
    return found;
}

namespace {

constexpr int kLanes = 128;

// The scores of the kLanes distances from `lowest` on, advanced over the
// letters from `i` up to `end`: the first letter where one of them climbed
// to its threshold, after its step (`end` when none did). Every letter
// compared must be in the text.
[[gnu::always_inline]] inline std::int64_t advanceLanes(const std::uint8_t* letters, std::int64_t i,
                                                        std::int64_t end, int lowest, std::uint8_t* score,
                                                        const std::uint8_t* least,
                                                        const std::uint8_t* ceiling)
{
    // Local copies, which nothing else can reach: the scores may stay in
    // registers from one letter to the next.
    std::array<std::uint8_t, kLanes> now{};
    std::array<std::uint8_t, kLanes> threshold{};
    std::array<std::uint8_t, kLanes> top{};
    std::copy_n(score, kLanes, now.begin());
    std::copy_n(least, kLanes, threshold.begin());
    std::copy_n(ceiling, kLanes, top.begin());
    for (; i < end; ++i) {
        const std::uint8_t letter = letters[i];
        const std::uint8_t* const ahead = letters + i + lowest;
        std::uint8_t climbed = 0;
        for (std::size_t lane = 0; lane < now.size(); ++lane) {
            const std::uint8_t old = now[lane];
            const bool same = ahead[lane] == letter;
            const std::uint8_t up = std::min(static_cast<std::uint8_t>(old + 1), top[lane]);
            const std::uint8_t down = old > 0 ? static_cast<std::uint8_t>(old - 1) : std::uint8_t{0};
            now[lane] = same ? up : down;
            // A score steps by one and its ceiling is above the threshold:
            // it climbed to the threshold when a match brought it there.
            climbed |= static_cast<std::uint8_t>(static_cast<std::uint8_t>(same) &
                                                 static_cast<std::uint8_t>(now[lane] == threshold[lane]));
        }
        if (climbed != 0) {
            break;
        }
    }
    std::copy_n(now.begin(), kLanes, score);
    return i;
}

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
// The same loop in 32-letter vectors where the processor has them.
[[gnu::target("avx2")]] std::int64_t advanceLanesWide(const std::uint8_t* letters, std::int64_t i,
                                                      std::int64_t end, int lowest, std::uint8_t* score,
                                                      const std::uint8_t* least, const std::uint8_t* ceiling)
{
    return advanceLanes(letters, i, end, lowest, score, least, ceiling);
}

bool hasWideVectors()
{
    static const bool wide = __builtin_cpu_supports("avx2") != 0;
    return wide;
}
#else
std::int64_t advanceLanesWide(const std::uint8_t* letters, std::int64_t i, std::int64_t end, int lowest,
                              std::uint8_t* score, const std::uint8_t* least, const std::uint8_t* ceiling)
{
    return advanceLanes(letters, i, end, lowest, score, least, ceiling);
}

bool hasWideVectors()
{
    return false;
}
#endif

// The diagonals' scan with scores of type Score, which holds twice the
// largest threshold and one more.
template <typename Score>
void scanDiagonals(std::span<const std::uint8_t> text, const DiagonalPass& pass, int lowest,
                   const SearchControl& control, std::vector<Candidate>& found)
{
    const auto size = static_cast<std::int64_t>(text.size());
    // Up to kLanes distances at once in a loop of fixed length, the ones
    // past the largest never climbing: their threshold is out of reach.
    const bool fixedLanes = sizeof(Score) == 1 && pass.maximumPeriod - lowest < kLanes;
    const auto periods =
        std::max(static_cast<std::size_t>(pass.maximumPeriod) + 1, static_cast<std::size_t>(lowest) + kLanes);
    std::vector<Score> scores(periods, 0);
    std::vector<Score> thresholds(periods, std::numeric_limits<Score>::max());
    std::vector<Score> ceilings(periods, 0);
    for (int d = lowest; d <= pass.maximumPeriod; ++d) {
        const int threshold = std::max(pass.threshold, d * pass.perHundred / 100);
        thresholds[static_cast<std::size_t>(d)] = static_cast<Score>(threshold);
        ceilings[static_cast<std::size_t>(d)] = static_cast<Score>(2 * threshold);
    }
    const std::uint8_t* const letters = text.data();
    Score* const score = scores.data();
    const Score* const least = thresholds.data();
    const Score* const ceiling = ceilings.data();
    // The first letter of the stretch at distance d that ends at `last` with score `best`.
    const auto stretchStart = [&](std::int64_t last, int d, int best) {
        int sum = 0;
        int matching = 0;
        std::int64_t j = last;
        while (true) {
            const bool same = letters[j] == letters[j + d];
            sum += same ? 1 : -1;
            matching += static_cast<int>(same);
            if (sum >= best || j == 0 || last - j >= (std::int64_t{1} << 16)) {
                break;
            }
            --j;
        }
        return std::pair{j, matching};
    };
    // A letter against the ones d after it, each d of [from, to]: whether
    // a score climbed to its threshold.
    const auto step = [&](std::uint8_t letter, const std::uint8_t* ahead, int from, int to) {
        std::uint8_t climbed = 0;
        for (int d = from; d <= to; ++d) {
            const Score old = score[d];
            const Score up = std::min<Score>(static_cast<Score>(old + 1), ceiling[d]);
            const Score down = old > 0 ? static_cast<Score>(old - 1) : Score{0};
            const Score now = ahead[d] == letter ? up : down;
            score[d] = now;
            climbed |= static_cast<std::uint8_t>(static_cast<std::uint8_t>(old < least[d]) &
                                                 static_cast<std::uint8_t>(now >= least[d]));
        }
        return climbed;
    };
    // The letters with all kLanes letters ahead of them in the text.
    const std::int64_t fixedEnd = fixedLanes ? size - lowest - kLanes + 1 : 0;
    const bool wide = hasWideVectors();
    std::int64_t nextCheck = kWordsBetweenStopChecks;
    for (std::int64_t i = 0; i + lowest < size; ++i) {
        if (i >= nextCheck) {
            control.throwIfStopped();
            nextCheck = i + kWordsBetweenStopChecks;
        }
        bool climbed = false;
        if constexpr (std::is_same_v<Score, std::uint8_t>) {
            if (i < fixedEnd) {
                // On to the next letter where a score climbs, if any before the next check.
                const std::int64_t end = std::min(fixedEnd, nextCheck);
                i = wide ? advanceLanesWide(letters, i, end, lowest, score + lowest, least + lowest,
                                            ceiling + lowest)
                         : advanceLanes(letters, i, end, lowest, score + lowest, least + lowest,
                                        ceiling + lowest);
                if (i == end) {
                    --i;  // the loop steps on to `end`
                    continue;
                }
                climbed = true;
            }
        }
        if (!climbed &&
            step(letters[i], letters + i, lowest,
                 static_cast<int>(std::min<std::int64_t>(pass.maximumPeriod, size - 1 - i))) == 0) {
            continue;
        }
        const int highest = static_cast<int>(std::min<std::int64_t>(pass.maximumPeriod, size - 1 - i));
        const std::uint8_t letter = letters[i];
        const std::uint8_t* const ahead = letters + i;
        for (int d = lowest; d <= highest; ++d) {
            // Climbed just now: one match ago it was below the threshold.
            if (score[d] == least[d] && ahead[d] == letter) {
                // The copy compared over the stretch's last d letters, where
                // it matches best (its first letters may be chance matches
                // of the letters before an array).
                const auto [first, matching] = stretchStart(i, d, least[d]);
                found.push_back({std::max(first, i + 1 - d) + d, d, matching});
            }
        }
    }
}

}  // namespace

std::vector<Candidate> findDiagonalCandidates(std::span<const std::uint8_t> text, const DiagonalPass& pass,
                                              const SearchControl& control)
{
    std::vector<Candidate> found;
    const auto size = static_cast<std::int64_t>(text.size());
    const int lowest = std::max(pass.minimumPeriod, 1);
    if (pass.maximumPeriod < lowest || size <= lowest || pass.threshold < 1 || pass.perHundred < 0) {
        return found;
    }
    // Scores stay below twice the threshold (along a long array they would
    // climb without end): what matters is where they climb to it.
    const std::int64_t largest =
        std::max<std::int64_t>(pass.threshold, std::int64_t{pass.maximumPeriod} * pass.perHundred / 100);
    if (2 * largest + 1 <= 255) {
        scanDiagonals<std::uint8_t>(text, pass, lowest, control, found);
    } else if (2 * largest + 1 <= (std::int64_t{1} << 30)) {
        scanDiagonals<std::int32_t>(text, pass, lowest, control, found);
    }
    std::sort(found.begin(), found.end(), [](const Candidate& a, const Candidate& b) {
        if (a.position != b.position) {
            return a.position < b.position;
        }
        return a.support != b.support ? a.support > b.support : a.period < b.period;
    });
    return found;
}

}  // namespace tessaron::tandem
