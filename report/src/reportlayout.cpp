#include "report/reportlayout.h"

#include <algorithm>
#include <cstddef>

namespace tessaron {

namespace {

// Listings narrower than this many letters still get a column wide enough
// for the "%d bp sequences" headings.
constexpr int kNarrowestListingWord = 13;

std::vector<std::int64_t> countsOf(const RepeatList& list)
{
    std::vector<std::int64_t> counts(static_cast<std::size_t>(list.slotCount()));
    for (int slot = 0; slot < list.slotCount(); ++slot) {
        counts[static_cast<std::size_t>(slot)] = list.pairCount(slot);
    }
    return counts;
}

std::string lengthText(std::int64_t length)
{
    return std::to_string(length) + " bp";
}

}  // namespace

std::vector<std::vector<std::string>> SheetLayout::grid() const
{
    int lastRow = 0;
    int lastColumn = 0;
    for (const SheetCell& cell : cells) {
        lastRow = std::max(lastRow, cell.row);
        lastColumn = std::max(lastColumn, cell.column);
    }
    std::vector<std::vector<std::string>> rows(
        static_cast<std::size_t>(lastRow), std::vector<std::string>(static_cast<std::size_t>(lastColumn)));
    for (const SheetCell& cell : cells) {
        if (cell.row >= 1 && cell.column >= 1) {
            rows[static_cast<std::size_t>(cell.row - 1)][static_cast<std::size_t>(cell.column - 1)] =
                cell.text;
        }
    }
    return rows;
}

PairCountsByKind pairCountsOf(const RepeatList& direct, const RepeatList& inverted, const RepeatList& mirror,
                              const RepeatList& complementary)
{
    PairCountsByKind counts;
    counts[static_cast<std::size_t>(RepeatKind::Direct)] = countsOf(direct);
    counts[static_cast<std::size_t>(RepeatKind::Inverted)] = countsOf(inverted);
    counts[static_cast<std::size_t>(RepeatKind::Mirror)] = countsOf(mirror);
    counts[static_cast<std::size_t>(RepeatKind::Complementary)] = countsOf(complementary);
    return counts;
}

SheetLayout summaryLayout(int minLength, const PairCountsByKind& counts)
{
    SheetLayout layout;
    int row = 1;
    for (std::size_t kind = 0; kind < counts.size(); ++kind) {
        if (kind > 0) {
            ++row;  // one empty row between two kinds
        }
        layout.cells.push_back({row, 1, std::string(kKinds[kind].heading) + ":"});
        ++row;
        const std::vector<std::int64_t>& kindCounts = counts[kind];
        for (std::size_t slot = 0; slot < kindCounts.size(); ++slot) {
            if (kindCounts[slot] == 0) {
                continue;
            }
            layout.cells.push_back({row, 1, lengthText(minLength + static_cast<std::int64_t>(slot))});
            layout.cells.push_back({row, 2, std::to_string(kindCounts[slot])});
            ++row;
        }
    }
    return layout;
}

int listingColumnWidth(int longest)
{
    const int letters = std::max(longest, kNarrowestListingWord);
    return static_cast<int>(static_cast<double>(letters) * 9.2);
}

SheetLayout listingLayout(const RepeatList& list, RepeatKind kind, const Genome& genome)
{
    SheetLayout layout;
    layout.caption = std::string(kindInfo(kind).listingCaption);

    int highest = list.slotCount() - 1;
    while (highest >= 0 && list.pairCount(highest) == 0) {
        --highest;
    }
    if (highest < 0 || list.slot(highest).empty()) {
        return layout;
    }
    // The lengths are told by the words themselves: the first word of the
    // highest filled slot fixes the length of every slot.
    const int longest = list.slot(highest).front().length;
    const int shortest = longest - highest;

    const int width = listingColumnWidth(longest);
    const bool secondText = kindInfo(kind).listsSecondCopy;
    layout.widths.push_back({1, width});
    if (secondText) {
        layout.widths.push_back({4, width});
    }

    int row = 2;
    for (int slot = list.slotCount() - 1; slot >= 0; --slot) {
        const std::vector<Repeat>& repeats = list.slot(slot);
        if (repeats.empty()) {
            continue;
        }
        layout.cells.push_back({row, 1, std::to_string(shortest + slot) + " bp sequences"});
        ++row;
        for (const Repeat& repeat : repeats) {
            bool firstPair = true;
            for (const RepeatPair& pair : list.pairs(repeat)) {
                if (firstPair) {
                    layout.cells.push_back({row, 1, genome.word(pair.first, repeat.length)});
                    if (secondText) {
                        layout.cells.push_back({row, 4, genome.word(pair.second, repeat.length)});
                    }
                    firstPair = false;
                }
                layout.cells.push_back({row, 2, std::to_string(std::int64_t{pair.first} + 1)});
                layout.cells.push_back({row, 3, std::to_string(std::int64_t{pair.second} + 1)});
                ++row;
            }
        }
        ++row;  // one empty row after each filled length
    }
    return layout;
}

std::string_view listingCaption(RepeatKind kind)
{
    return kindInfo(kind).listingCaption;
}

SheetLayout comparisonLayout(const GenomeComparison& comparison)
{
    SheetLayout layout;
    const int first = comparison.minLength;
    const int last = comparison.maxLength;
    for (int length = first; length <= last; ++length) {
        const auto slot = static_cast<std::size_t>(length - first);
        layout.cells.push_back({2, length - first + 2,
                                methodInfo(comparison.method).findsWords
                                    ? lengthText(length)
                                    : slotLabel(comparison.method, first, slot)});
    }
    const auto columns = static_cast<std::size_t>(std::max(last - first + 1, 0));
    const int longerColumn = static_cast<int>(columns) + 2;
    if (comparison.countsLonger) {
        layout.cells.push_back({2, longerColumn, "> " + lengthText(comparison.maximumSetting)});
    }
    int row = 3;
    for (const ComparisonRow& file : comparison.rows) {
        layout.cells.push_back({row, 1, file.fileTitle});
        const std::size_t shown = std::min(columns, file.counts.size());
        for (std::size_t index = 0; index < shown; ++index) {
            layout.cells.push_back({row, static_cast<int>(index) + 2, std::to_string(file.counts[index])});
        }
        if (comparison.countsLonger) {
            layout.cells.push_back({row, longerColumn, std::to_string(file.longer)});
        }
        ++row;
    }
    return layout;
}

}  // namespace tessaron
