#include "tandem/candidateperiods.h"

#include <algorithm>

namespace tessaron::tandem {

namespace {

constexpr std::int64_t kCheckEvery = std::int64_t{1} << 16;

}  // namespace

std::vector<Candidate> findCandidates(std::span<const std::uint8_t> text, int wordLength, int minimumPeriod,
                                      int maximumPeriod, int hitsNeeded, const SearchControl& control)
{
    std::vector<Candidate> found;
    const auto size = static_cast<std::int64_t>(text.size());
    if (size < wordLength || maximumPeriod < minimumPeriod) {
        return found;
    }
    const std::uint32_t mask = (std::uint32_t{1} << (2 * wordLength)) - 1;
    std::vector<std::int32_t> last(std::size_t{mask} + 1, -1);
    const auto periods = static_cast<std::size_t>(maximumPeriod) + 1;
    std::vector<std::int64_t> lastHit(periods, std::int64_t{-1} << 40);
    std::vector<std::int32_t> hits(periods, 0);
    std::uint32_t word = 0;
    std::int64_t nextCheck = kCheckEvery;
    for (std::int64_t i = 0; i < size; ++i) {
        word = ((word << 2) | text[static_cast<std::size_t>(i)]) & mask;
        if (i + 1 < wordLength) {
            continue;
        }
        if (i >= nextCheck) {
            control.throwIfStopped();
            nextCheck = i + kCheckEvery;
        }
        const auto at = static_cast<std::int32_t>(i - wordLength + 1);  // the word's first letter
        std::int32_t& previous = last[word];
        if (previous >= 0) {
            const std::int64_t distance = at - previous;
            if (distance >= minimumPeriod && distance <= maximumPeriod) {
                const auto d = static_cast<std::size_t>(distance);
                if (at - lastHit[d] > distance + wordLength) {
                    hits[d] = 0;
                }
                lastHit[d] = at;
                if (++hits[d] == hitsNeeded) {
                    found.push_back({at, static_cast<int>(distance)});
                }
            }
        }
        previous = at;
    }
    return found;
}

}  // namespace tessaron::tandem
