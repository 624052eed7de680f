#pragma once

// Rows of a positional report (GFF3, BED, BEDPE, from any source) written
// straight through or sorted by their start, so that tools that index by
// position (tabix, bedtools -sorted) take them.

#include "report/tablewriter.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <streambuf>
#include <string>
#include <vector>

namespace tessaron {

// Where the rows of a positional report go, each begun with its 0-based start.
class RowTarget {
public:
    virtual ~RowTarget() = default;
    // The writer of the next row, which starts at `start`: write its cells,
    // then end it with endRow().
    virtual TableWriter& row(std::int64_t start) = 0;
    // The writer the rows go through (to prepare cells for its format).
    virtual TableWriter& writer() = 0;
};

// Rows straight to a table, in the order they come.
class DirectRows final : public RowTarget {
public:
    explicit DirectRows(TableWriter& out) : out_(out) {}
    TableWriter& row(std::int64_t /*start*/) override { return out_; }
    TableWriter& writer() override { return out_; }

private:
    TableWriter& out_;
};

// Tab-separated rows gathered and, on finish(), written to `out` by their
// start, rows of one start in the order they came. Past `budget` bytes of
// rows the sorted ones go to a temporary file (in the folder TMPDIR names,
// else /tmp, and unlinked the moment it is made) and are merged with the
// others at the end, so that a report of any size sorts in bounded memory.
// Throws std::runtime_error when a temporary file cannot be written or read.
class SortedRows final : public RowTarget {
public:
    static constexpr std::size_t kDefaultBudget = std::size_t{64} << 20;

    explicit SortedRows(TableWriter& out, std::size_t budget = kDefaultBudget);
    ~SortedRows() override;
    SortedRows(const SortedRows&) = delete;
    SortedRows& operator=(const SortedRows&) = delete;

    TableWriter& row(std::int64_t start) override;
    TableWriter& writer() override { return rows_; }

    // Writes every row gathered since the last finish, in order, and forgets them.
    void finish();

private:
    // Collects what the row writer hands over.
    class Collector final : public std::streambuf {
    public:
        explicit Collector(std::size_t budget) : budget_(budget) {}
        std::string text;

    protected:
        std::streamsize xsputn(const char* bytes, std::streamsize count) override;
        int_type overflow(int_type ch) override;

    private:
        std::size_t budget_;  // the text grows to this and a writer's buffer, never twice as far
    };
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    using TempFile = std::unique_ptr<std::FILE, FileCloser>;

    // The rows gathered, sorted: (start, offset in the text, length with the line end).
    struct Span {
        std::int64_t start;
        std::size_t offset;
        std::size_t length;
    };
    std::vector<Span> sortedSpans();
    void spill();
    void merge();
    void clear();

    TableWriter& out_;
    std::size_t budget_;
    Collector collector_;
    std::ostream stream_;
    TableWriter rows_;
    std::vector<std::int64_t> starts_;
    std::vector<TempFile> runs_;
};

}  // namespace tessaron
