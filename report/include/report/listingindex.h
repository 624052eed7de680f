#pragma once

#include "engine/repeatsnapshot.h"
#include "report/reportlayout.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tessaron {

// Random access to the rows of a snapshot's listing (streamListing), for a
// view that shows any row on demand: which length, word and pair a row is,
// from the snapshot's pair counts alone. Rows are 1-based as on the sheet.
// It keeps a few numbers per length and one per 64 words, and the last few
// runs of pairs that cells() made (so it is for one thread at a time).
class ListingIndex {
public:
    enum class RowKind { Empty, Heading, Pair };
    struct Place {
        RowKind kind = RowKind::Empty;
        int slot = -1;          // Heading and Pair
        std::size_t word = 0;   // Pair: index into snapshot.words(slot)
        std::int64_t pair = 0;  // Pair: index among the word's pairs
        friend bool operator==(const Place&, const Place&) = default;
    };

    // The snapshot needs SnapshotDetail::Words.
    explicit ListingIndex(std::shared_ptr<const RepeatSnapshot> snapshot);

    // The last row with text; 0 when the listing is empty.
    [[nodiscard]] std::int64_t rowCount() const { return rowCount_; }
    // 3, or 4 for the kinds whose listing shows the second copy; 0 when empty.
    [[nodiscard]] int columnCount() const { return columnCount_; }
    // The widths the listing sets (streamListing's): its first column, and
    // its fourth when it shows the second copy; none when empty.
    [[nodiscard]] std::vector<ColumnWidth> widths() const;
    [[nodiscard]] Place locate(std::int64_t row) const;
    // The cells of a row exactly as streamListing writes them (columns 1..,
    // empty text for a cell left empty; none for an empty row).
    [[nodiscard]] std::vector<std::string> cells(std::int64_t row) const;

private:
    struct Length {
        int slot = 0;
        std::int64_t headingRow = 0;
        std::size_t sampleBegin = 0;  // into samples_
    };

    std::shared_ptr<const RepeatSnapshot> snapshot_;
    std::vector<Length> lengths_;  // filled lengths, in row order
    // Per filled length, for words 0, 64, 128, ...: the pairs before that word.
    std::vector<std::int64_t> samples_;
    std::int64_t rowCount_ = 0;
    int columnCount_ = 0;

    // Pairs [from, from + size) of a word, made a run at a time for the rows
    // a view shows.
    struct Run {
        int slot = -1;
        std::size_t word = 0;
        std::int64_t from = 0;
        std::vector<RepeatPair> pairs;
    };
    [[nodiscard]] const RepeatPair& pairAt(const Place& place) const;
    mutable std::array<Run, 4> runs_;
    mutable std::size_t nextRun_ = 0;
};

}  // namespace tessaron
