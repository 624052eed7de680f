#include "engine/colourscheme.h"

#include "engine/repeatkinds.h"

#include <array>
#include <atomic>

namespace tessaron {

namespace {

std::atomic<ColourScheme> scheme{ColourScheme::Standard};

// As 0x00BBGGRR: blue (0, 114, 178), orange (230, 159, 0), reddish purple
// (204, 121, 167), bluish green (0, 158, 115).
constexpr std::uint32_t kSafeBlue = 0xB27200;
constexpr std::uint32_t kSafeOrange = 0x009FE6;
constexpr std::array<std::uint32_t, kRepeatKindCount> kSafeKinds{kSafeBlue, kSafeOrange, 0xA779CC, 0x739E00};
// The charts' own colours of mirror and complementary repeats.
constexpr std::array<std::uint32_t, kRepeatKindCount> kStandardKinds{kFirstCopyColor, kTransformedCopyColor,
                                                                     0xD06020, 0x0090F0};

}  // namespace

void setColourScheme(ColourScheme chosen)
{
    scheme.store(chosen);
}

ColourScheme colourScheme()
{
    return scheme.load();
}

std::uint32_t firstCopyColour()
{
    return colourScheme() == ColourScheme::Standard ? kFirstCopyColor : kSafeBlue;
}

std::uint32_t secondCopyColour()
{
    return colourScheme() == ColourScheme::Standard ? kTransformedCopyColor : kSafeOrange;
}

std::uint32_t kindColour(int index)
{
    const auto& colours = colourScheme() == ColourScheme::Standard ? kStandardKinds : kSafeKinds;
    return colours[static_cast<std::size_t>(index) % colours.size()];
}

}  // namespace tessaron
