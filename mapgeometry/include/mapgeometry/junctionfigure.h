#pragma once

// The junction figure of many plastomes, in plain numbers: one row per
// genome, its name in a column on the left, then its four parts as one bar
// shown only near the four junctions (JLB, JSB, JSA, JLA), each junction in
// a column of its own with the same bases per pixel for every genome, the
// rest of each part cut out and replaced by its name and length. The genes
// at each junction are boxes above the bar (forward strand) or below it
// (reverse strand), named, with the bases between a flanking gene and the
// junction, or a crossing gene's bases on either side. No two texts
// overlap: a gene's name that finds no free line near its box is left out,
// a genome's name too long for its column is shortened with "…".

#include "engine/plastomestructure.h"
#include "mapgeometry/tidylabels.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tessaron {

// A gene near a junction, in bases relative to it: the first base after the
// junction is 0, the last base before it -1; `end` is exclusive.
struct JunctionFigureGene {
    std::string name;
    std::int64_t start = 0;
    std::int64_t end = 0;
    bool reverse = false;
};

struct JunctionFigureGenome {
    std::string name;
    PlastomeStructure structure;  // a genome without a structure gets a row that says so
    std::array<std::vector<JunctionFigureGene>, 4> genes;  // by PlastomeJunction
};

struct JunctionFigureSettings {
    std::int64_t window = 2000;  // bases shown on each side of a junction
    int columnWidth = 220;       // pixels of one junction's column
    int gapWidth = 90;           // pixels between the columns, where a part's name and length go
    int rowHeight = 64;          // pixels per genome
    int barHeight = 12;
    int margin = 12;
    int headerHeight = 28;   // the junctions' names above the rows
    int maxNameWidth = 220;  // the genomes' names' column, at most
};

struct FigureRect {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;
};

struct JunctionFigurePart {
    FigureRect rect;
    PlastomePart part = PlastomePart::Lsc;
    std::size_t row = 0;
};

struct JunctionFigureGeneBox {
    FigureRect rect;
    bool reverse = false;
    std::size_t row = 0;
};

struct JunctionFigureLine {
    double x = 0.0;
    double top = 0.0;
    double bottom = 0.0;
};

struct JunctionFigureText {
    enum class Kind { Genome, Junction, Part, Gene, Distance, Note };
    Kind kind = Kind::Gene;
    std::string text;
    double x = 0.0;         // start of the text
    double baseline = 0.0;  // its baseline
    LabelBox box;
};

struct JunctionFigure {
    int width = 0;
    int height = 0;
    std::vector<JunctionFigurePart> parts;
    std::vector<JunctionFigureGeneBox> genes;
    std::vector<JunctionFigureLine> junctions;
    std::vector<JunctionFigureLine> cuts;  // where a part is cut short between two columns
    std::vector<JunctionFigureText> texts;
};

// Lays out the figure of `genomes`, in order, with text measured by `metrics`.
[[nodiscard]] JunctionFigure layOutJunctionFigure(const std::vector<JunctionFigureGenome>& genomes,
                                                  const LabelMetrics& metrics,
                                                  const JunctionFigureSettings& settings = {});

// "1,234 bp".
[[nodiscard]] std::string basePairText(std::int64_t bases);

}  // namespace tessaron
