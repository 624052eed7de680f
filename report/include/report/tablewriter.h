#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>

namespace tessaron {

enum class TableFormat { Tsv, Csv };
// How a row ends: "\n" for the command line's reports, "\r\n" for the
// sheets' CSV files.
enum class LineEnd { Lf, CrLf };

// A run of one or more cells that many rows share, quoted or cleaned once
// with the separators between them (TableWriter::prepare), so that each row
// only copies it.
class PreparedCells {
    friend class TableWriter;
    std::string text_;
};

// Rows of cells, tab-separated or comma-separated (RFC 4180 quoting), gathered
// in a fixed buffer and handed to the stream in large writes, so that reports
// of tens of millions of rows stay fast. Call flush() when done; nothing is
// written on destruction.
class TableWriter {
public:
    TableWriter(std::ostream& out, TableFormat format, LineEnd lineEnd = LineEnd::Lf)
        : out_(out), format_(format), lineEnd_(lineEnd)
    {
    }
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;

    // In tab-separated output a tab or line end inside a cell becomes a blank.
    // In CSV a cell that a spreadsheet would take for a formula (it begins
    // with '=', '+', '-' or '@' and is not a number) is quoted.
    void cell(std::string_view text);
    void cell(std::int64_t value);
    // Cells made once for this writer's format; `cells` must not be empty.
    [[nodiscard]] PreparedCells prepare(std::initializer_list<std::string_view> cells) const;
    void cells(const PreparedCells& cells)
    {
        separate();
        raw(cells.text_);
    }
    // Whole rows made elsewhere, with their line ends, written as they stand
    // (between rows only).
    void preformatted(std::string_view rows) { raw(rows); }
    void endRow()
    {
        if (lineEnd_ == LineEnd::CrLf) {
            put('\r');
        }
        put('\n');
        rowStarted_ = false;
    }
    void flush();

private:
    static constexpr std::size_t kCapacity = std::size_t{1} << 16;

    void separate()
    {
        if (rowStarted_) {
            put(format_ == TableFormat::Csv ? ',' : '\t');
        }
        rowStarted_ = true;
    }
    void put(char ch)
    {
        if (used_ == kCapacity) {
            flush();
        }
        buffer_[used_++] = ch;
    }
    void raw(std::string_view text);

    std::ostream& out_;
    TableFormat format_;
    LineEnd lineEnd_;
    bool rowStarted_ = false;
    std::array<char, kCapacity> buffer_;
    std::size_t used_ = 0;
};

}  // namespace tessaron
