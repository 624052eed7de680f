#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tessaron::plastome {

// One column of a pairwise alignment: both sequences advance (Pair), or only
// the first (OnlyFirst) or only the second (OnlySecond).
enum class Column : std::uint8_t { Pair, OnlyFirst, OnlySecond };

// The cheapest global alignment of `first` and `second` with affine gaps
// (a mismatch costs 2, a gap 3 plus 1 a base), as its columns in order.
// Letters other than A, C, G, T match nothing. Quadratic in time and in one
// byte a cell of memory: meant for the short stretches between anchors.
// Among alignments of equal cost a gap is put as far right as it can go.
[[nodiscard]] std::vector<Column> alignGlobally(std::string_view first, std::string_view second);

// Whether two letters count as equal bases (A, C, G, T in either case).
[[nodiscard]] bool sameBase(char a, char b);

}  // namespace tessaron::plastome
