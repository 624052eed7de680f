#pragma once

// The colours the views mark the copies of a repeat in: the program's own
// (green first copies, red second copies of the transformed kinds), or, as
// the user may choose, a scheme that people with red-green colour blindness
// tell apart (after Okabe and Ito: blue, orange, reddish purple, bluish
// green). Chosen once for the whole program; read from any thread.

#include <cstdint>

namespace tessaron {

enum class ColourScheme { Standard, ColourBlindSafe };

void setColourScheme(ColourScheme scheme);
[[nodiscard]] ColourScheme colourScheme();

// The colour (0x00BBGGRR) a first copy is painted in under the current scheme.
[[nodiscard]] std::uint32_t firstCopyColour();
// The colour of a second copy of a transformed kind.
[[nodiscard]] std::uint32_t secondCopyColour();
// The colour standing for kind `index` (the order of RepeatKind) in charts.
[[nodiscard]] std::uint32_t kindColour(int index);

}  // namespace tessaron
