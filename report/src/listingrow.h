#pragma once

// The text of the listing's rows, shared by the stream and the row index so
// that both write exactly the same cells.

#include "engine/genome.h"
#include "engine/repeatlist.h"
#include "engine/repeatsnapshot.h"
#include "report/reportlayout.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tessaron::listing {

// The first row of the sheet only carries the widths.
inline constexpr std::int64_t kFirstRow = 2;

inline std::string headingText(int length)
{
    return std::to_string(length) + " bp sequences";
}

// The widths of the word columns, 1 and 4, fitted to the longest filled
// length; both 0 when nothing is filled.
inline std::array<ColumnWidth, 2> columnWidths(const RepeatSnapshot& snapshot)
{
    int highest = snapshot.slotCount() - 1;
    while (highest >= 0 && snapshot.pairCount(highest) == 0) {
        --highest;
    }
    const int width = highest < 0 ? 0 : listingColumnWidth(snapshot.minLength() + highest);
    return {{{1, width}, {4, width}}};
}

// The cells of one pair row: the word (and, for the kinds that list it, the
// text at the second copy) on the first pair of a word only, then both
// positions from 1. The views stay valid until the next make().
class PairRow {
public:
    PairRow(const Genome& genome, int length, bool secondText)
        : genome_(genome), length_(length), secondText_(secondText)
    {
    }

    std::span<const std::string_view> make(const RepeatPair& pair, bool firstOfWord)
    {
        cells_[0] = {};
        if (firstOfWord) {
            word_ = genome_.word(pair.first, length_);
            cells_[0] = word_;
        }
        cells_[1] = number(first_, std::int64_t{pair.first} + 1);
        cells_[2] = number(second_, std::int64_t{pair.second} + 1);
        if (!secondText_) {
            return std::span(cells_).first(3);
        }
        cells_[3] = {};
        if (firstOfWord) {
            secondWord_ = genome_.word(pair.second, length_);
            cells_[3] = secondWord_;
        }
        return cells_;
    }

private:
    using Digits = std::array<char, 24>;

    static std::string_view number(Digits& digits, std::int64_t value)
    {
        const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
        return {digits.data(), static_cast<std::size_t>(result.ptr - digits.data())};
    }

    const Genome& genome_;
    int length_;
    bool secondText_;
    std::string word_;
    std::string secondWord_;
    Digits first_{};
    Digits second_{};
    std::array<std::string_view, 4> cells_{};
};

}  // namespace tessaron::listing
