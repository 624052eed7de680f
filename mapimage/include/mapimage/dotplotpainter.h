#pragma once

// Draws the dot plot of a genome against itself: the square of the genome's
// bases on both axes with their positions, the approximate pairs as
// segments in their kind's colour (direct green, inverted red, mirror blue,
// complementary orange, as in the charts), the selected pair drawn over the
// others, and a legend of the kinds. The window and the image files both
// draw through `paintDotPlot`.

#include "engine/repeatlist.h"
#include "mapgeometry/dotplotgeometry.h"

#include <QColor>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <cstddef>
#include <optional>
#include <vector>

class QPainter;

namespace tessaron {

struct DotPlotPicture {
    QString title;
    std::vector<DotPlotSegment> segments;
    DotPlotView view;
    // The pair drawn over the others: its kind and index among that kind's pairs.
    std::optional<std::pair<RepeatKind, std::size_t>> selected;
};

// The colour of a kind's segments.
[[nodiscard]] QColor dotPlotColor(RepeatKind kind);

// Where the plot's square lies on a canvas of `canvas` pixels (room left for
// the title, the positions and the legend).
[[nodiscard]] QRectF dotPlotSquare(QSizeF canvas);

// Paints the whole picture on a canvas of `canvas` pixels at the painter's origin.
void paintDotPlot(QPainter& painter, const DotPlotPicture& picture, QSizeF canvas);

// Writes the picture, `side` pixels square: SVG when the name ends in ".svg"
// (any case), PNG otherwise, as saveFile writes. False when it cannot be written.
[[nodiscard]] bool saveDotPlot(const QString& path, const DotPlotPicture& picture, int side = 800);

}  // namespace tessaron
