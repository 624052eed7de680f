#pragma once

// Paints the junction figure of many plastomes (layOutJunctionFigure): the
// parts as coloured bars, the junction lines across them, the genes as boxes
// and every text where the layout put it. The window and the image files
// both draw through `paintJunctionFigure`.

#include "input/filesave.h"
#include "mapgeometry/junctionfigure.h"

#include <QColor>
#include <QString>

#include <vector>

class QPainter;

namespace tessaron {

// The sizes of the figure's font, for the layout.
[[nodiscard]] LabelMetrics junctionFigureMetrics();

// The figure of `genomes` laid out with the figure's font.
[[nodiscard]] JunctionFigure junctionFigureOf(const std::vector<JunctionFigureGenome>& genomes);

// The colour of a part's bar.
[[nodiscard]] QColor plastomePartColor(PlastomePart part);

// Paints the whole figure at the painter's origin, white ground first.
void paintJunctionFigure(QPainter& painter, const JunctionFigure& figure);

// Writes the figure at its own size: SVG when the name ends in ".svg", PDF
// when in ".pdf" (any case), otherwise PNG, as saveFile writes. False when
// the file cannot be written; an existing file is then left as it was.
[[nodiscard]] bool saveJunctionFigure(const QString& path, const JunctionFigure& figure,
                                      const SaveOptions& save = {});

}  // namespace tessaron
