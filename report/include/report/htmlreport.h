#pragma once

// One genome as a single self-contained HTML page, readable offline: the
// circular map for a paper (tidy names, GC rings, the repeats as chords or
// bands by kind), the dot plot of the four kinds, the paper's repeat section
// with its charts, and every table linked to the map and the dot plot.
//
// The drawing is plain inline SVG made here from the map geometry, and the
// page's behaviour (zoom, pan, hover, sortable, filterable, paged tables,
// selection, TSV download) is a small script of our own kept beside the
// writer (report/resources/report.js and report.css) and compiled into the
// program. No npm package and no bundler: the script is a few hundred lines a
// reviewer can read whole, it never changes under us, and the page makes no
// request to any network resource.
//
// A new analysis adds one HtmlSection (its title, columns, rows of cells and
// its marks on the map) to HtmlReport::sections; nothing else changes.

#include "engine/genome.h"
#include "input/feature.h"
#include "report/reportlayout.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace tessaron {

// A row's place on the map and the dot plot: a pair of copies (`second` set)
// of one of the four kinds (RepeatKind as a number), drawn as a chord or, when
// long, a band; or one stretch (`second` unset, `kind` -1: a microsatellite, a
// feature) drawn as a tick. Positions 0-based.
struct HtmlMark {
    std::size_t row = 0;  // the row of its section it belongs to
    int kind = -1;
    std::int64_t first = 0;
    std::optional<std::int64_t> second;
    std::int64_t length = 0;
    // The second copy's length when it differs (a gapped pair's).
    std::optional<std::int64_t> secondLength;
    friend bool operator==(const HtmlMark&, const HtmlMark&) = default;
};

// One table of the page and its layer on the map.
struct HtmlSection {
    std::string id;        // a short word, unique in the page ("exact")
    std::string title;     // "Long repeats: exact pairs"
    std::string settings;  // the search and its settings, as one line
    std::string command;   // the command line that writes the whole table
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
    // How many rows the table has in all: more than rows.size() when the
    // page holds only the first ones (the page then says so, and where the
    // whole table is).
    std::size_t totalRows = 0;
    std::vector<HtmlMark> marks;
    // Whether its marks are drawn on the map (features are there already)
    // and its pairs on the dot plot.
    bool drawnOnMap = true;
    bool onDotPlot = false;
};

// The columns and rows of a table as the command line writes it in TSV: the
// first line the header, every other line a row. `keepRows` rows are kept at
// most (totalRows counts them all).
[[nodiscard]] HtmlSection sectionFromTsv(std::string_view tsv, std::size_t keepRows);

// The bars of a chart of the paper section: groups of bars, one per series.
struct HtmlChart {
    std::string title;
    std::vector<std::string> groups;  // along the x axis
    std::vector<std::string> series;  // the bars of each group
    // values[group][series]
    std::vector<std::vector<std::int64_t>> values;
};

// One of the plastome's four parts, drawn as a ring inside the map's track;
// `row` its row in the section `HtmlReport::ringSection`. Positions 0-based.
struct HtmlRingPart {
    std::string name;  // "LSC"
    std::int64_t start = 0;
    std::int64_t length = 0;
    std::size_t row = 0;
};

struct HtmlReport {
    std::string title;  // the genome's title
    std::string seqid;
    std::int64_t length = 0;
    std::string gcText;  // "GC 35.1 %"
    std::string version;
    std::string commandLine;
    // Settings beyond those of the sections (each section's own are listed
    // with its title): one line each, "what: settings".
    std::vector<std::string> searches;
    // The paper section as the command line's --report paper writes it.
    SheetLayout paper;
    std::vector<HtmlChart> charts;
    std::vector<HtmlSection> sections;
    // The plastome's parts (none: no ring) and the section of their rows.
    std::vector<HtmlRingPart> ring;
    std::string ringSection;
};

// How many marks of a section a figure drew when it could not draw them all.
struct HtmlDrawnPart {
    std::string section;  // its id
    std::size_t drawn = 0;
    std::size_t total = 0;
};

// A figure as an inline SVG element, and the sections it drew only in part.
struct HtmlFigure {
    std::string svg;
    std::vector<HtmlDrawnPart> cut;
};

// The marks of one section the map draws at most; the page draws any other
// one when its row is chosen.
inline constexpr std::size_t kHtmlMostMapMarks = 1500;

// The map (with the plastome's `ring`, if any) and the dot plot (the pairs
// of the sections shown on it, `mostSegments` segments at most) as inline
// SVG elements.
[[nodiscard]] HtmlFigure mapSvg(const Genome& genome, const FeatureList& features,
                                const std::vector<HtmlSection>& sections,
                                const std::vector<HtmlRingPart>& ring = {},
                                std::string_view ringSection = {});
[[nodiscard]] HtmlFigure dotPlotSvg(std::int64_t length, const std::vector<HtmlSection>& sections,
                                    std::size_t mostSegments);

// The whole page, with the figures of mapSvg and dotPlotSvg; it says which
// sections they drew only in part.
void writeHtmlReport(std::ostream& out, const HtmlReport& report, const HtmlFigure& map,
                     const HtmlFigure& dotPlot);

// Text made safe inside an HTML element or a quoted attribute.
[[nodiscard]] std::string htmlEscaped(std::string_view text);
// A JSON string literal that also never closes a script element ("</").
[[nodiscard]] std::string jsonString(std::string_view text);

}  // namespace tessaron
