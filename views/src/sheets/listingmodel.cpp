#include "views/sheets/listingmodel.h"

#include "engine/repeatkinds.h"
#include "report/listingstream.h"
#include "report/rowsink.h"

#include <algorithm>
#include <climits>

namespace {

// Stops the streamed listing (thrown through it from the sink).
struct CsvStopped {};

// The streamed rows into the table writer, looking at the stop request and
// telling the progress every so many rows.
class CheckedRowSink final : public tessaron::RowSink {
public:
    CheckedRowSink(tessaron::TableWriter& out, const std::stop_token& stop,
                   const std::function<void(double)>& progress, std::int64_t rows)
        : table_(out), stop_(stop), progress_(progress), rows_(rows)
    {
    }

    void columns(int count, std::span<const tessaron::ColumnWidth> widths) override
    {
        table_.columns(count, widths);
    }
    void row(std::int64_t row, std::span<const std::string_view> cells) override
    {
        table_.row(row, cells);
        if (row % kCheckEvery != 0) {
            return;
        }
        if (stop_.stop_requested()) {
            throw CsvStopped{};
        }
        if (progress_) {
            progress_(static_cast<double>(row) / static_cast<double>(std::max<std::int64_t>(rows_, 1)));
        }
    }

private:
    static constexpr std::int64_t kCheckEvery = 1 << 14;
    tessaron::TableRowSink table_;
    const std::stop_token& stop_;
    const std::function<void(double)>& progress_;
    std::int64_t rows_;
};

}  // namespace

ListingModel::ListingModel(std::shared_ptr<const tessaron::RepeatSnapshot> snapshot, QObject* parent)
    : SheetCells(parent), snapshot_(snapshot), index_(std::move(snapshot))
{
}

ListingModel::~ListingModel() = default;

int ListingModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : pageRows();
}

int ListingModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : std::max(usedColumns(), kShownColumns);
}

int ListingModel::usedRows() const
{
    return static_cast<int>(std::min<std::int64_t>(index_.rowCount(), INT_MAX));
}

int ListingModel::usedColumns() const
{
    return index_.columnCount();
}

QString ListingModel::caption() const
{
    return QString::fromUtf8(tessaron::kindInfo(snapshot_->kind()).listingCaption);
}

std::vector<tessaron::ColumnWidth> ListingModel::widths() const
{
    return index_.widths();
}

QString ListingModel::cell(int row, int column) const
{
    if (row < 1 || row > index_.rowCount() || column < 1 || column > index_.columnCount()) {
        return {};
    }
    if (row != cachedRow_) {
        cachedCells_ = index_.cells(row);
        cachedRow_ = row;
    }
    const auto at = static_cast<std::size_t>(column - 1);
    return at < cachedCells_.size() ? QString::fromStdString(cachedCells_[at]) : QString();
}

SheetCells::CsvWriter ListingModel::csvWriter() const
{
    return [snapshot = snapshot_, rows = index_.rowCount()](const CsvSink& sink, const std::stop_token& stop,
                                                            const std::function<void(double)>& progress) {
        return writeCsv(sink, [&](tessaron::TableWriter& out) {
            CheckedRowSink checked(out, stop, progress, rows);
            try {
                tessaron::streamListing(*snapshot, checked);
            } catch (const CsvStopped&) {
                return false;
            }
            return !stop.stop_requested();
        });
    };
}
