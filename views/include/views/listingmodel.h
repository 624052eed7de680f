#pragma once

// The listing of one kind of repeat as sheet cells made when they are looked
// at: the cells, widths and caption that the report's listing layout writes,
// without writing them. Only the places of the rows are laid out at first
// (per word, the row of its first pair, as a running sum of the pair
// counts); a cell's pairs are made on demand and a few runs of them are kept.

#include "views/sheetview.h"

#include "engine/repeatsnapshot.h"
#include "report/reportlayout.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class ListingModel : public SheetCells {
    Q_OBJECT

public:
    // The snapshot must have words.
    explicit ListingModel(std::shared_ptr<const tessaron::RepeatSnapshot> snapshot,
                          QObject* parent = nullptr);
    ~ListingModel() override;
    ListingModel(const ListingModel&) = delete;
    ListingModel& operator=(const ListingModel&) = delete;

    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = QModelIndex()) const override;

    [[nodiscard]] QString cell(int row, int column) const override;
    [[nodiscard]] int usedRows() const override;
    [[nodiscard]] int usedColumns() const override;
    [[nodiscard]] CsvWriter csvWriter() const override;

    // "Direct Repeats" ...
    [[nodiscard]] QString caption() const;
    // The widths the listing sets: its first column, and its fourth when it shows the second copy.
    [[nodiscard]] std::vector<tessaron::ColumnWidth> widths() const;

    // Where the rows are: shared with the CSV writer, which may outlive the model.
    struct Layout;

private:
    // Pairs [from, from + count) of a word, from the few runs kept.
    [[nodiscard]] tessaron::RepeatPair pairAt(std::size_t word, int slot, const tessaron::RepeatWord& entry,
                                              std::int64_t index) const;

    std::shared_ptr<const Layout> layout_;
    struct Run {
        std::size_t word = SIZE_MAX;
        std::int64_t from = 0;
        std::vector<tessaron::RepeatPair> pairs;
    };
    mutable std::array<Run, 4> runs_;
    mutable std::size_t nextRun_ = 0;
};
