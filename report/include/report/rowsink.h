#pragma once

#include "report/reportlayout.h"
#include "report/tablewriter.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace tessaron {

// Where a sheet's rows go as they are made, one at a time: a table on a
// stream, a SheetLayout, a window's model. Rows are 1-based as on the sheet
// and arrive in increasing order; only rows with text are handed over, the
// rows skipped between them are empty.
class RowSink {
public:
    virtual ~RowSink() = default;

    // Before the first row: how many columns the sheet has and the widths it sets.
    virtual void columns(int count, std::span<const ColumnWidth> widths) = 0;
    // The cells of columns 1 .. cells.size(); an empty text is a cell left empty.
    virtual void row(std::int64_t row, std::span<const std::string_view> cells) = 0;
};

// Writes the rows as the grid of the sheet: every row from the first to the
// last one handed over, each with as many cells as the sheet has columns.
class TableRowSink final : public RowSink {
public:
    explicit TableRowSink(TableWriter& out) : out_(out) {}

    void columns(int count, std::span<const ColumnWidth> widths) override;
    void row(std::int64_t row, std::span<const std::string_view> cells) override;

private:
    TableWriter& out_;
    std::size_t columns_ = 0;
    std::int64_t next_ = 1;
};

// Collects the widths and the non-empty cells into a SheetLayout.
class LayoutRowSink final : public RowSink {
public:
    explicit LayoutRowSink(SheetLayout& layout) : layout_(layout) {}

    void columns(int count, std::span<const ColumnWidth> widths) override;
    void row(std::int64_t row, std::span<const std::string_view> cells) override;

private:
    SheetLayout& layout_;
};

}  // namespace tessaron
