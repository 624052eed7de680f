#pragma once

// Draws the circular map of a genome: the background with its ring, the
// legend, the scale, the features as coloured arcs with their names, and the
// selected repeat's occurrences: dots joined by dotted chords, or, for a
// repeat long enough to show as arcs, its two copies as arcs joined by a band.
// The map for a paper draws on white: names along the ring, a scale in kb,
// the GC content and GC skew rings, the genome's name and length in the
// middle, and a legend of every colour used beneath; the scene's
// microsatellites as ticks on a ring inside the circle. The window, the image
// files, printing and the command line program all draw through
// `paintDiagram`.

#include "engine/repeatlist.h"
#include "input/feature.h"
#include "input/filesave.h"
#include "mapgeometry/mapscene.h"
#include "mapgeometry/tidylabels.h"
#include "palette/colourscheme.h"

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

class QPainter;

namespace tessaron {

// The map as the window first shows it, or the map for a paper.
enum class MapLook { Standard, Paper };

// How the standard map names its features: staggered (every second name
// pushed outward), set apart in columns, or (Automatic) staggered up to
// kStaggeredNamesLimit features and set apart beyond, where staggered names
// would pile up.
enum class LabelLayout { Automatic, Staggered, Tidy };
inline constexpr std::size_t kStaggeredNamesLimit = 100;

struct DiagramStyle {
    MapLook look = MapLook::Standard;
    LabelLayout labels = LabelLayout::Automatic;
    // Smooth edges; the standard map's own size is drawn without, pixel for
    // pixel. The map for a paper is always smooth.
    bool antialias = false;
    // The colours of the selected repeat's copies.
    ColourScheme colours = kStandardColours;
    friend bool operator==(const DiagramStyle&, const DiagramStyle&) = default;
};

// How a map is written to a file: its size in pixels (for a PDF file, in
// pixels of 1/96 inch), 0 for the map's own size. The map keeps its shape
// and fits the size; the room left over goes to the names.
struct MapImageOptions {
    int width = 0;
    int height = 0;
    DiagramStyle style;
    SaveOptions save;  // whether a read-only file is replaced
};

// The 600 x 460 background: a uniform pale field with the ring under the arcs.
[[nodiscard]] const QImage& diagramBackground();

// The label font's sizes, for laying out names.
[[nodiscard]] LabelMetrics diagramLabelMetrics();

// Whether the standard map sets its names apart under `style`.
[[nodiscard]] bool namesSetApart(const MapScene& scene, const DiagramStyle& style);

// The part of the map's plane that the map needs: 600 x 460 from (0, 0) for
// the standard map; for a paper, the square that holds the names and the
// legend beneath it.
[[nodiscard]] MapBounds diagramBounds(const MapScene& scene, const DiagramStyle& style);
// Its size in pixels at the map's own scale.
[[nodiscard]] QSize diagramSize(const MapScene& scene, const DiagramStyle& style);

// Paints the whole map in its own coordinates, background first, over
// `shown` (by default diagramBounds), which the names may use. The standard
// map at its own size and place is drawn from the background picture; under
// a transform that scales, as shapes.
void paintDiagram(QPainter& painter, const MapScene& scene, const DiagramStyle& style = {},
                  const std::optional<MapBounds>& shown = std::nullopt);
void paintDiagram(QPainter& painter, const FeatureList& features, const Repeat* repeat,
                  std::span<const RepeatPair> pairs);

// Paints the map fitted into `target` (in the painter's coordinates), keeping
// its shape; the room left over is shown too.
void paintDiagramInto(QPainter& painter, const MapScene& scene, const DiagramStyle& style,
                      const QRectF& target);

// The map as an image of `size` (empty: the map's own size).
[[nodiscard]] QImage renderDiagram(const MapScene& scene, const DiagramStyle& style = {}, QSize size = {});
[[nodiscard]] QImage renderDiagram(const FeatureList& features, const Repeat* repeat,
                                   std::span<const RepeatPair> pairs);

// Writes the map to `path`: SVG when the name ends in ".svg", PDF when in
// ".pdf" (any case), otherwise PNG, as saveFile writes (a regular file
// replaced only once the new one is complete, a FIFO or device written into,
// never replaced). False when the file cannot be written; an existing file is
// then left as it was.
[[nodiscard]] bool saveDiagram(const QString& path, const MapScene& scene,
                               const MapImageOptions& options = {});
[[nodiscard]] bool saveDiagram(const QString& path, const FeatureList& features, const Repeat* repeat,
                               std::span<const RepeatPair> pairs);

}  // namespace tessaron
