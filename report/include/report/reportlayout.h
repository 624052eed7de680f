#pragma once

#include "compare/genomecomparison.h"
#include "engine/genome.h"
#include "engine/repeatkinds.h"
#include "engine/repeatlist.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaron {

// What the report sheet shows, independent of any window: cells with 1-based
// rows and columns, in the order they are written, the column widths set, and
// the window caption. The sheet window and the command line both render it.
struct SheetCell {
    int row = 0;
    int column = 0;
    std::string text;
    friend bool operator==(const SheetCell&, const SheetCell&) = default;
};

struct ColumnWidth {
    int column = 0;
    int width = 0;
    friend bool operator==(const ColumnWidth&, const ColumnWidth&) = default;
};

struct SheetLayout {
    std::string caption;
    std::vector<ColumnWidth> widths;
    std::vector<SheetCell> cells;

    // The cells as a grid of rows 1..last row and columns 1..last column used;
    // cells never written are empty strings.
    [[nodiscard]] std::vector<std::vector<std::string>> grid() const;
};

// Pair counts per length slot of the four searches, indexed by RepeatKind.
using PairCountsByKind = std::array<std::vector<std::int64_t>, kRepeatKindCount>;

[[nodiscard]] PairCountsByKind pairCountsOf(const RepeatList& direct, const RepeatList& inverted,
                                            const RepeatList& mirror, const RepeatList& complementary);

// The summary: per kind a heading ("Direct repeats:" ...) and one "%d bp" row
// per length with pairs, kinds separated by an empty row. Empty caption.
[[nodiscard]] SheetLayout summaryLayout(int minLength, const PairCountsByKind& counts);

// The listing of one kind, longest words first, under its caption ("Direct
// Repeats" ...); a fourth column with the second copy's text for every kind
// but direct repeats.
[[nodiscard]] SheetLayout listingLayout(const RepeatList& list, RepeatKind kind, const Genome& genome);

// The window caption of the listing of a kind: "Direct Repeats" ...
[[nodiscard]] std::string_view listingCaption(RepeatKind kind);

// The comparison: "%d bp" headings in row 2, one row per file from row 3.
[[nodiscard]] SheetLayout comparisonLayout(const GenomeComparison& comparison);

// A column width as the sheet sets it for words of `longest` letters: the
// integer part of max(longest, 13) * 9.2.
[[nodiscard]] int listingColumnWidth(int longest);

}  // namespace tessaron
