#include "views/base/themecolours.h"

namespace {

// The least lightness (HSL, 0 to 255) of a colour on a dark background.
constexpr int kLeastLightness = 150;

}  // namespace

bool isDarkPalette(const QPalette& palette)
{
    return palette.color(QPalette::Base).lightness() < 128;
}

QColor readableOn(const QColor& color, const QPalette& palette)
{
    if (!isDarkPalette(palette) || color.lightness() >= kLeastLightness) {
        return color;
    }
    return QColor::fromHsl(color.hslHue(), color.hslSaturation(), kLeastLightness);
}
