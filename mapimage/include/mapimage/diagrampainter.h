#pragma once

// Draws the circular map of a GenBank genome: the background with its ring,
// the legend, the scale, the features as coloured arcs with their names, and
// the selected repeat's occurrences joined by dotted chords. The window, the
// image files and the command line program all draw through `paintDiagram`.

#include "engine/repeatlist.h"
#include "input/feature.h"

#include <QImage>
#include <QString>

#include <span>

class QPainter;

namespace tessaron {

// The 600 x 460 background: a uniform pale field with the ring under the arcs.
[[nodiscard]] const QImage& diagramBackground();

// Paints the whole map with (0, 0) at the painter's origin, background first.
// `repeat` may be null; `pairs` are its pairs (the list that holds it keeps them).
void paintDiagram(QPainter& painter, const FeatureList& features, const Repeat* repeat,
                  std::span<const RepeatPair> pairs);

// The map as a 600 x 460 image.
[[nodiscard]] QImage renderDiagram(const FeatureList& features, const Repeat* repeat,
                                   std::span<const RepeatPair> pairs);

// Writes the map to `path`: SVG when the name ends in ".svg" (any case),
// otherwise PNG. False when the file cannot be written; an existing file is
// then left as it was, since the new one replaces it only once complete.
[[nodiscard]] bool saveDiagram(const QString& path, const FeatureList& features, const Repeat* repeat,
                               std::span<const RepeatPair> pairs);

}  // namespace tessaron
