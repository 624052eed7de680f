#pragma once

#include "engine/alphabet.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace tessaron::tandem {

// The letter codes of positions [from, to) of a circular sequence (any
// integers, read modulo its length, which must not be 0); kGapCode for a gap.
[[nodiscard]] inline std::vector<std::uint8_t> circularCodes(std::string_view sequence, std::int64_t from,
                                                             std::int64_t to)
{
    const auto n = static_cast<std::int64_t>(sequence.size());
    std::vector<std::uint8_t> codes(static_cast<std::size_t>(to - from));
    std::int64_t at = ((from % n) + n) % n;
    for (std::uint8_t& code : codes) {
        code = baseCode(sequence[static_cast<std::size_t>(at)]);
        if (++at == n) {
            at = 0;
        }
    }
    return codes;
}

}  // namespace tessaron::tandem
