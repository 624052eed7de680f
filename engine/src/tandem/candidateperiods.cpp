#include "tandem/candidateperiods.h"

#include <algorithm>

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
    std::vector<std::int32_t> previous(static_cast<std::size_t>(size), -1);
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
        previous[static_cast<std::size_t>(at)] = earlier;
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
            earlier = previous[static_cast<std::size_t>(earlier)];
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

}  // namespace tessaron::tandem
