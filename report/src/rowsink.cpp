#include "report/rowsink.h"

#include <algorithm>
#include <string>

namespace tessaron {

void TableRowSink::columns(int count, std::span<const ColumnWidth> /*widths*/)
{
    columns_ = static_cast<std::size_t>(std::max(count, 0));
}

void TableRowSink::row(std::int64_t row, std::span<const std::string_view> cells)
{
    const std::size_t width = std::max(columns_, cells.size());
    for (; next_ < row; ++next_) {
        for (std::size_t column = 0; column < width; ++column) {
            out_.cell(std::string_view());
        }
        out_.endRow();
    }
    for (const std::string_view cell : cells) {
        out_.cell(cell);
    }
    for (std::size_t column = cells.size(); column < width; ++column) {
        out_.cell(std::string_view());
    }
    out_.endRow();
    next_ = row + 1;
}

void LayoutRowSink::columns(int /*count*/, std::span<const ColumnWidth> widths)
{
    layout_.widths.assign(widths.begin(), widths.end());
}

void LayoutRowSink::row(std::int64_t row, std::span<const std::string_view> cells)
{
    for (std::size_t column = 0; column < cells.size(); ++column) {
        if (!cells[column].empty()) {
            layout_.cells.push_back(
                {static_cast<int>(row), static_cast<int>(column) + 1, std::string(cells[column])});
        }
    }
}

}  // namespace tessaron
