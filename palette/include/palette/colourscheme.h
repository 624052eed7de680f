#pragma once

// The colours the copies of a repeat and the kinds' lines are drawn in, as
// 0x00BBGGRR: the program's own (green first copies, red second copies of
// the transformed kinds), or a scheme that people with red-green colour
// blindness tell apart (after Okabe and Ito: blue, orange, reddish purple,
// bluish green). A scheme is a value handed to whatever paints: the map, the
// charts, the sequence pane; which one the user chose is the windows' state.

#include "engine/repeatlist.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace tessaron {

struct ColourScheme {
    std::uint32_t firstCopy = 0;
    // The second copy of a transformed kind (a direct repeat's second copy
    // takes the first copy's colour).
    std::uint32_t secondCopy = 0;
    // The line of each kind in the charts, indexed by RepeatKind.
    std::array<std::uint32_t, kRepeatKindCount> kinds{};

    // The colour of the second copy of a repeat, transformed or not.
    [[nodiscard]] constexpr std::uint32_t secondCopyOf(bool transformed) const
    {
        return transformed ? secondCopy : firstCopy;
    }
    [[nodiscard]] constexpr std::uint32_t kind(RepeatKind of) const
    {
        return kinds[static_cast<std::size_t>(of)];
    }
    friend constexpr bool operator==(const ColourScheme&, const ColourScheme&) = default;
};

// The program's own colours; the charts' mirror and complementary lines blue and orange.
inline constexpr ColourScheme kStandardColours{0x00D000, 0x0000E0, {0x00D000, 0x0000E0, 0xD06020, 0x0090F0}};

// Blue (0, 114, 178), orange (230, 159, 0), reddish purple (204, 121, 167),
// bluish green (0, 158, 115).
inline constexpr ColourScheme kColourBlindSafeColours{
    0xB27200, 0x009FE6, {0xB27200, 0x009FE6, 0xA779CC, 0x739E00}};

}  // namespace tessaron
