#include "engine/randomgenerator.h"
#include "engine/genome.h"

#include <array>
#include <ctime>
#include <limits>
#include <string_view>

namespace tessaron {

namespace {

// Draws exactly counts[k] letters kAlphabet[k] in random order, handing each
// to `put`.
template <typename Put>
void drawLetters(const std::array<std::int64_t, 4>& counts, std::uint32_t seed, Put put)
{
    // Letter k owns the draws above bound[k-1] up to bound[k]: as many values
    // as bases of it are still to be placed.
    std::array<std::int64_t, 4> bound{};
    std::int64_t sum = 0;
    for (std::size_t k = 0; k < 4; ++k) {
        sum += counts[k];
        bound[k] = sum - 1;
    }
    RandomGenerator generator(seed);
    for (std::int64_t remaining = sum; remaining > 0;) {
        const std::int64_t value = RandomGenerator::scale(generator.next(), remaining);
        // The bounds never go down from one letter to the next: the letter
        // is the number of bounds below the value, counted without a branch
        // (the letters are random: a predictor would miss every other one).
        std::size_t k = 0;
        for (std::size_t m = 0; m < 4; ++m) {
            k += static_cast<std::size_t>(value > bound[m]);
        }
        if (k == 4) {
            continue;
        }
        put(kAlphabet[k]);
        --remaining;
        // One value fewer for this letter: its bound and every later one go down.
        for (std::size_t m = 0; m < 4; ++m) {
            bound[m] -= static_cast<std::int64_t>(m >= k);
        }
    }
}

}  // namespace

bool Genome::makeRandom(std::int64_t a, std::int64_t t, std::int64_t c, std::int64_t g, int minimum,
                        int maximum, std::optional<std::uint32_t> seed)
{
    const std::array<std::int64_t, 4> counts{a, t, c, g};
    std::int64_t total = 0;
    for (const std::int64_t count : counts) {
        // Checked one by one, so the sum below cannot overflow.
        if (count < 0 || count > std::numeric_limits<std::int32_t>::max()) {
            return false;
        }
        total += count;
    }
    if (total > std::numeric_limits<std::int32_t>::max()) {
        return false;
    }
    if (!allocate(total, minimum, maximum)) {
        return false;
    }
    // Letters written in place: the counts are known, and there are no gaps.
    sequence_.resize(static_cast<std::size_t>(total));
    char* next = sequence_.data();
    drawLetters(counts, seed ? *seed : static_cast<std::uint32_t>(std::time(nullptr)),
                [&next](char base) { *next++ = base; });
    letterCounts_ = counts;
    return true;
}

bool Genome::makeRandomLike(const Genome& model, std::uint32_t seed)
{
    if (&model == this || !allocate(model.length(), model.minLength(), model.maxLength())) {
        return false;
    }
    // Each gap goes in as soon as the sequence reaches its position.
    const std::string_view letters = model.sequence_;
    std::size_t nextGap = 0;
    const auto placeGaps = [&] {
        while (nextGap < model.gaps_.size() && model.gaps_[nextGap] == length()) {
            appendBase(letters[static_cast<std::size_t>(model.gaps_[nextGap++])]);
        }
    };
    placeGaps();
    drawLetters(model.letterCounts_, seed, [&](char base) {
        appendBase(base);
        placeGaps();
    });
    setLengthBounds(model.minLength(), model.maxLength());
    return true;
}

}  // namespace tessaron
