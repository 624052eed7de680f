#pragma once

// Draws the circular map of a GenBank genome: the background with its ring,
// the legend, the scale, the features as coloured arcs with their names, and
// the selected repeat's occurrences: dots joined by dotted chords, or, for a
// repeat long enough to show as arcs, its two copies as arcs joined by a band;
// and the scene's microsatellites as ticks on a ring inside the circle.
// The window, the image files and the command line program all draw through
// `paintDiagram`.

#include "engine/repeatlist.h"
#include "input/feature.h"
#include "mapgeometry/mapscene.h"
#include "mapgeometry/tidylabels.h"

#include <QImage>
#include <QString>

#include <span>
#include <vector>

class QPainter;

namespace tessaron {

struct DiagramStyle {
    // Names set apart in columns with leader lines instead of staggered.
    bool tidyLabels = false;
    // Smooth edges; the map's own size is drawn without, pixel for pixel.
    bool antialias = false;
};

// How a map is written to a file.
struct MapImageOptions {
    double scale = 1.0;  // 1 is 600 x 460
    DiagramStyle style;
};

// The 600 x 460 background: a uniform pale field with the ring under the arcs.
[[nodiscard]] const QImage& diagramBackground();

// The label font's sizes, for laying out names.
[[nodiscard]] LabelMetrics diagramLabelMetrics();

// Paints the whole map in its own 600 x 460 coordinates with (0, 0) at the
// painter's origin, background first. Under a transform that scales, the ring
// is drawn as shapes rather than from the background picture.
void paintDiagram(QPainter& painter, const MapScene& scene, const DiagramStyle& style = {});
void paintDiagram(QPainter& painter, const FeatureList& features, const Repeat* repeat,
                  std::span<const RepeatPair> pairs);

// The map as an image of 600 x 460 times `scale`.
[[nodiscard]] QImage renderDiagram(const MapScene& scene, const DiagramStyle& style = {}, double scale = 1.0);
[[nodiscard]] QImage renderDiagram(const FeatureList& features, const Repeat* repeat,
                                   std::span<const RepeatPair> pairs);

// Writes the map to `path`: SVG when the name ends in ".svg" (any case),
// otherwise PNG, as saveFile writes (a regular file replaced only once the new
// one is complete, a FIFO or device written into, never replaced). False when
// the file cannot be written; an existing file is then left as it was.
[[nodiscard]] bool saveDiagram(const QString& path, const MapScene& scene,
                               const MapImageOptions& options = {});
[[nodiscard]] bool saveDiagram(const QString& path, const FeatureList& features, const Repeat* repeat,
                               std::span<const RepeatPair> pairs);

}  // namespace tessaron
