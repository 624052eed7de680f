#pragma once

// How a repeated word is written wherever it is shown: the results tree, the
// listing, the pairs report, GFF3. The complete search finds words as long as
// the genome allows; written whole, every pair of such a word would repeat
// thousands of letters.

#include "engine/genome.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tessaron {

// The longest word written whole (the longest maximum length), and how much
// of a longer one is written.
inline constexpr std::size_t kLongestWholeWord = 256;
inline constexpr std::size_t kShownBeginning = 40;

// The word whole, or, when it is longer than kLongestWholeWord letters, its
// first kShownBeginning letters and "…". Its length is written beside it (the
// length column, the listing's heading, the copies' positions).
[[nodiscard]] std::string shownWord(std::string_view word);

// The same for the `length` letters of the genome from `start`, read
// circularly, without spelling out a long word first.
[[nodiscard]] std::string shownWord(const Genome& genome, std::int64_t start, int length);

// The characters shownWord writes for a word of `length` letters.
[[nodiscard]] constexpr int shownWordLength(int length)
{
    return length <= static_cast<int>(kLongestWholeWord) ? length : static_cast<int>(kShownBeginning) + 1;
}

}  // namespace tessaron
