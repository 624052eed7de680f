#pragma once

// The listing of one kind of repeat as sheet cells made when they are looked
// at: the report's listing index places the rows and makes their cells, and
// the CSV is the report's streamed listing; nothing of the whole listing is
// held.

#include "views/sheets/sheetview.h"

#include "engine/repeatsnapshot.h"
#include "report/listingindex.h"
#include "report/reportlayout.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <string>
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

private:
    std::shared_ptr<const tessaron::RepeatSnapshot> snapshot_;
    tessaron::ListingIndex index_;
    // The cells of the row asked for last: a view asks for a row's cells one by one.
    mutable std::int64_t cachedRow_ = 0;
    mutable std::vector<std::string> cachedCells_;
};
