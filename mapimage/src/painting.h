#pragma once

// What the standard map and the map for a paper share: the feature colours,
// the label font and the marks of the selected repeat.

#include "mapgeometry/mapscene.h"
#include "mapgeometry/tidylabels.h"
#include "palette/colourscheme.h"

#include <QColor>
#include <QFont>

#include <cstdint>

class QPainter;

namespace tessaron {

// 0x00BBGGRR to a colour.
[[nodiscard]] QColor colorOf(std::uint32_t value);
// The five feature colours that have a pen of their own.
[[nodiscard]] bool hasFeaturePen(std::uint32_t color);
// Verdana where it is installed, otherwise the closest sans face, of
// `pixels` height.
[[nodiscard]] QFont mapFont(int pixels);
[[nodiscard]] LabelMetrics metricsOf(const QFont& font);
// The approximate pairs' bands, then the dots and chords, or the arcs and band, of
// the scene's selected repeat, its copies in the colours of `colours`.
void paintRepeatMarks(QPainter& painter, const MapScene& scene, const ColourScheme& colours);

// The map for a paper (paperpainter.cpp).
[[nodiscard]] MapBounds paperBounds(const MapScene& scene);
void paintPaper(QPainter& painter, const MapScene& scene, const MapBounds& shown,
                const ColourScheme& colours);

}  // namespace tessaron
