#pragma once

#include "engine/alphabet.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tessaron::tandem {

// The letter code of every character, kGapCode for all but the four bases.
inline constexpr std::array<std::uint8_t, 256> kCodeOf = [] {
    std::array<std::uint8_t, 256> codes{};
    for (int ch = 0; ch < 256; ++ch) {
        codes[static_cast<std::size_t>(ch)] = baseCode(static_cast<char>(ch));
    }
    return codes;
}();

// The letter codes of positions [from, to) of a circular sequence (any
// integers, read modulo its length, which must not be 0); kGapCode for a gap.
[[nodiscard]] inline std::vector<std::uint8_t> circularCodes(std::string_view sequence, std::int64_t from,
                                                             std::int64_t to)
{
    const auto n = static_cast<std::int64_t>(sequence.size());
    std::vector<std::uint8_t> codes(static_cast<std::size_t>(to - from));
    std::int64_t at = ((from % n) + n) % n;
    // Whole runs up to the end of the sequence, then again from its start.
    for (std::size_t done = 0; done < codes.size();) {
        const auto run = static_cast<std::size_t>(
            std::min<std::int64_t>(n - at, static_cast<std::int64_t>(codes.size() - done)));
        for (std::size_t j = 0; j < run; ++j) {
            codes[done + j] = kCodeOf[static_cast<unsigned char>(sequence[static_cast<std::size_t>(at) + j])];
        }
        done += run;
        at = 0;
    }
    return codes;
}

}  // namespace tessaron::tandem
