#include "report/repeatsectionlayout.h"

#include "report/microsatellitereport.h"
#include "report/tandemreport.h"

#include <algorithm>
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
    const auto countRow = [&](std::string name, const auto& counts) {
        put(1, std::move(name));
        std::int64_t sum = 0;
        for (std::size_t k = 0; k < kLengthClassCount; ++k) {
            put(static_cast<int>(k) + 2, std::to_string(counts[k]));
            sum += counts[k];
        }
        put(static_cast<int>(kLengthClassCount) + 2, std::to_string(sum));
        ++row;
        return sum;
    };
    for (const RepeatKind kind : kKindOrder) {
        const auto& counts = section.pairs[static_cast<std::size_t>(kind)];
        for (std::size_t k = 0; k < kLengthClassCount; ++k) {
            totals[k] += counts[k];
        }
        (void)countRow(std::string(kindName(kind)), counts);
    }
    (void)countRow("total", totals);
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
    put(1, "period");
    for (std::size_t c = 0; c < kCopyClassNames.size(); ++c) {
        put(static_cast<int>(c) + 2, std::string(kCopyClassNames[c]) + " copies");
    }
    put(static_cast<int>(kCopyClassNames.size()) + 2, "total");
    ++row;
    std::array<std::int64_t, kCopyClassNames.size()> copyTotals{};
    const auto copyRow = [&](std::string_view name, const auto& counts) {
        put(1, std::string(name));
        std::int64_t sum = 0;
        for (std::size_t c = 0; c < kCopyClassNames.size(); ++c) {
            put(static_cast<int>(c) + 2, std::to_string(counts[c]));
            sum += counts[c];
        }
        put(static_cast<int>(kCopyClassNames.size()) + 2, std::to_string(sum));
        ++row;
    };
    for (std::size_t p = 0; p < kPeriodClassNames.size(); ++p) {
        for (std::size_t c = 0; c < kCopyClassNames.size(); ++c) {
            copyTotals[c] += table[p][c];
        }
        copyRow(kPeriodClassNames[p], table[p]);
    }
    copyRow("total", copyTotals);
    return layout;
}

}  // namespace tessaron
