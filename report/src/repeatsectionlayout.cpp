#include "report/repeatsectionlayout.h"

#include "report/microsatellitereport.h"
#include "report/tandemreport.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace tessaron {

SheetLayout repeatSectionLayout(const RepeatSection& section)
{
    SheetLayout layout;
    layout.caption = "Repeat summary";
    int row = 1;
    const auto put = [&](int column, std::string text) {
        layout.cells.push_back({row, column, std::move(text)});
    };
    put(1, "Repeat summary");
    put(2, section.title);
    ++row;
    put(1, "Length");
    put(2, std::to_string(section.length) + " bp");
    row += 2;
    put(1, "Long repeats (pairs of copies) by length:");
    ++row;
    put(1, "Search:");
    put(2, section.search.name + ": " + section.search.settings);
    ++row;
    put(1, "kind");
    for (std::size_t k = 0; k < kLengthClassCount; ++k) {
        put(static_cast<int>(k) + 2, lengthClassName(k));
    }
    put(static_cast<int>(kLengthClassCount) + 2, "total");
    ++row;
    std::array<std::int64_t, kLengthClassCount> totals{};
    // A row of a table: its name, a count per column and their total.
    const auto countRow = [&](std::string_view name, const auto& counts) {
        put(1, std::string(name));
        std::int64_t sum = 0;
        for (std::size_t k = 0; k < counts.size(); ++k) {
            put(static_cast<int>(k) + 2, std::to_string(counts[k]));
            sum += counts[k];
        }
        put(static_cast<int>(counts.size()) + 2, std::to_string(sum));
        ++row;
    };
    // The header of a table by number of copies: "2 copies" ... and total.
    const auto copiesHeader = [&](std::string_view first, const auto& classes) {
        put(1, std::string(first));
        for (std::size_t c = 0; c < classes.size(); ++c) {
            put(static_cast<int>(c) + 2, std::string(classes[c]) + " copies");
        }
        put(static_cast<int>(classes.size()) + 2, "total");
        ++row;
    };
    for (const RepeatKind kind : kKindOrder) {
        const auto& counts = section.pairs[static_cast<std::size_t>(kind)];
        for (std::size_t k = 0; k < kLengthClassCount; ++k) {
            totals[k] += counts[k];
        }
        countRow(kindName(kind), counts);
    }
    countRow("total", totals);
    if (section.families) {
        ++row;
        put(1, "Families of copies by length (the representative copy) and copies:");
        ++row;
        copiesHeader("length", kFamilySizeClassNames);
        std::array<std::int64_t, kFamilySizeClassNames.size()> familyTotals{};
        for (std::size_t k = 0; k < kLengthClassCount; ++k) {
            const auto& counts = (*section.families)[k];
            for (std::size_t c = 0; c < counts.size(); ++c) {
                familyTotals[c] += counts[c];
            }
            countRow(lengthClassName(k), counts);
        }
        countRow("total", familyTotals);
    }
    ++row;
    put(1, "Microsatellites:");
    put(2, microsatelliteSettingsText(section.microsatelliteSettings));
    row += 2;
    const int first = row - 1;
    for (SheetCell cell : microsatelliteSummaryLayout(countMicrosatellites(section.microsatellites)).cells) {
        cell.row += first;
        row = std::max(row, cell.row + 1);
        layout.cells.push_back(std::move(cell));
    }
    ++row;
    put(1, "Tandem repeats (arrays) by period and copy number:");
    put(2, tandemSettingsText(section.tandemSettings));
    row += 2;
    const TandemCopyTable table = tandemCopyTable(section.tandemRepeats);
    copiesHeader("period", kCopyClassNames);
    std::array<std::int64_t, kCopyClassNames.size()> copyTotals{};
    for (std::size_t p = 0; p < kPeriodClassNames.size(); ++p) {
        for (std::size_t c = 0; c < kCopyClassNames.size(); ++c) {
            copyTotals[c] += table[p][c];
        }
        countRow(kPeriodClassNames[p], table[p]);
    }
    countRow("total", copyTotals);
    return layout;
}

}  // namespace tessaron
