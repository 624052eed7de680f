#include "views/sheets/sheetview.h"

#include "input/filesave.h"
#include "views/base/jobrunner.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QMessageBox>
#include <QProgressBar>
#include <QSortFilterProxyModel>
#include <QToolTip>

#include <algorithm>
#include <cstddef>
#include <limits>
#include <ostream>
#include <streambuf>
#include <string>

namespace {

constexpr int kRowHeight = 17;
constexpr int kStandardWidth = 64;

constexpr int kProgressHeight = 14;

// Writes a sheet's CSV into `path` as every output file is written: a
// regular file is replaced only by a complete one, a FIFO or a device is
// written where it is, never replaced.
bool writeCsvFile(const QString& path, const SheetCells::CsvWriter& writer, const std::stop_token& stop,
                  const std::function<void(double)>& progress)
{
    return !tessaron::saveFile(QFile::encodeName(path).toStdString(), [&](std::ostream& out) {
        const auto sink = [&out](std::string_view text) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            return out.good();
        };
        return writer(sink, stop, progress);
    });
}

// Widths of a long table are measured on this many rows spread over it.
constexpr int kMeasuredRows = 512;
// Room beside a cell's text, as the view's item drawing leaves it.
constexpr int kTextMargin = 12;
// The widest a column is shown, whatever its texts or the width set: a long
// word (the complete search's) is cut short in its cell, leaving the
// positions beside it in view, and shows whole in its tip.
constexpr int kWidestColumn = 400;

// Sorts the rows from a first one on: numbers by value, then texts, then
// empty cells, each kind after the other in either order; the rows above
// stay where they are.
class SheetSorter : public QSortFilterProxyModel {
public:
    SheetSorter(int firstRow, QObject* parent) : QSortFilterProxyModel(parent), firstRow_(firstRow) {}

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override
    {
        const Key a = keyOf(left);
        const Key b = keyOf(right);
        const bool ascending = sortOrder() == Qt::AscendingOrder;
        // Descending sorts ask lessThan(right, left): answering in the
        // opposite sense keeps the groups (and the rows kept in place) in order.
        if (a.group != b.group) {
            return (a.group < b.group) == ascending;
        }
        switch (a.group) {
            case Group::Number:
                return a.number < b.number;
            case Group::Text:
                return QString::localeAwareCompare(a.text, b.text) < 0;
            case Group::Kept:
            case Group::Empty:
                break;
        }
        return (left.row() < right.row()) == ascending;
    }

private:
    enum class Group { Kept, Number, Text, Empty };
    struct Key {
        Group group = Group::Empty;
        double number = 0;
        QString text;
    };

    [[nodiscard]] Key keyOf(const QModelIndex& index) const
    {
        Key key;
        if (index.row() + 1 < firstRow_) {
            key.group = Group::Kept;
            return key;
        }
        key.text = sourceModel()->data(index, Qt::DisplayRole).toString();
        if (key.text.isEmpty()) {
            key.group = Group::Empty;
        } else if (SheetCells::isNumber(key.text, &key.number)) {
            key.group = Group::Number;
        } else {
            key.group = Group::Text;
        }
        return key;
    }

    int firstRow_;
};

}  // namespace

void SheetCells::setColumnTitles(QStringList titles)
{
    titles_ = std::move(titles);
    emit headerDataChanged(Qt::Horizontal, 0, std::max(0, columnCount() - 1));
}

bool SheetCells::isNumber(const QString& text, double* value)
{
    if (text.isEmpty()) {
        return false;
    }
    const QChar first = text.front();
    if (!first.isDigit() && first != QLatin1Char('-') && first != QLatin1Char('+') &&
        first != QLatin1Char('.')) {
        return false;
    }
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (ok && value != nullptr) {
        *value = number;
    }
    return ok;
}

QVariant SheetCells::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) {
        return {};
    }
    if (role == Qt::TextAlignmentRole) {
        const bool number = isNumber(cell(pageStart_ + index.row() + 1, index.column() + 1));
        return static_cast<int>(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole) {
        return {};
    }
    return cell(pageStart_ + index.row() + 1, index.column() + 1);
}

QVariant SheetCells::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Vertical) {
        return QString::number(pageStart_ + section + 1);
    }
    return section < titles_.size() ? titles_[section] : columnName(section + 1);
}

int SheetCells::pageRows() const
{
    return std::max(std::min(usedRows() - pageStart_, kPageRows), kShownRows);
}

int SheetCells::pageCount() const
{
    return std::max(1, (usedRows() + kPageRows - 1) / kPageRows);
}

void SheetCells::showPageOf(int row)
{
    const int start = std::clamp((row - 1) / kPageRows, 0, pageCount() - 1) * kPageRows;
    if (start != pageStart_) {
        beginResetModel();
        pageStart_ = start;
        endResetModel();
    }
}

QString SheetCells::columnName(int column)
{
    QString name;
    for (int rest = column; rest > 0; rest = (rest - 1) / 26) {
        name.prepend(QChar(u'A' + static_cast<char16_t>((rest - 1) % 26)));
    }
    return name;
}

namespace {

// The bytes of a stream handed to a CSV sink; the stream fails once the sink does.
class SinkBuffer final : public std::streambuf {
public:
    explicit SinkBuffer(const SheetCells::CsvSink& sink) : sink_(sink) {}

protected:
    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        return sink_(std::string_view(text, static_cast<std::size_t>(count))) ? count : 0;
    }
    int_type overflow(int_type ch) override
    {
        if (traits_type::eq_int_type(ch, traits_type::eof())) {
            return traits_type::not_eof(ch);
        }
        const char byte = traits_type::to_char_type(ch);
        return sink_(std::string_view(&byte, 1)) ? ch : traits_type::eof();
    }

private:
    const SheetCells::CsvSink& sink_;
};

}  // namespace

bool SheetCells::writeCsv(const CsvSink& sink, const std::function<bool(tessaron::TableWriter& out)>& write)
{
    SinkBuffer buffer(sink);
    std::ostream stream(&buffer);
    tessaron::TableWriter out(stream, tessaron::TableFormat::Csv, tessaron::LineEnd::CrLf);
    const bool whole = write(out);
    out.flush();
    return whole && stream.good();
}

int SheetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : pageRows();
}

int SheetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : std::max({usedColumns_, widestColumn_, kShownColumns});
}

void SheetModel::setCell(int row, int column, const QString& text)
{
    if (row < 1 || column < 1) {
        return;
    }
    if (batchDepth_ > 0) {
        grow(row, column);
        rows_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)] = text;
        return;
    }
    const int shownRows = rowCount();
    const int shownColumns = columnCount();
    if (row > shownRows && shownRows < kPageRows && pageStart() == 0) {
        beginInsertRows(QModelIndex(), shownRows, std::min(row, kPageRows) - 1);
        rows_.resize(static_cast<std::size_t>(row));
        endInsertRows();
    }
    if (column > shownColumns) {
        beginInsertColumns(QModelIndex(), shownColumns, column - 1);
        usedColumns_ = column;
        endInsertColumns();
    }
    grow(row, column);
    rows_[static_cast<std::size_t>(row - 1)][static_cast<std::size_t>(column - 1)] = text;
    const QModelIndex changed = index(row - 1 - pageStart(), column - 1);
    if (changed.isValid()) {
        emit dataChanged(changed, changed, {Qt::DisplayRole});
    }
}

QString SheetModel::cell(int row, int column) const
{
    if (row < 1 || column < 1 || row > usedRows()) {
        return {};
    }
    const std::vector<QString>& cells = rows_[static_cast<std::size_t>(row - 1)];
    return static_cast<std::size_t>(column) <= cells.size() ? cells[static_cast<std::size_t>(column - 1)]
                                                            : QString();
}

void SheetModel::reachColumn(int column)
{
    if (column <= columnCount()) {
        widestColumn_ = std::max(widestColumn_, column);
        return;
    }
    if (batchDepth_ > 0) {
        widestColumn_ = column;
        return;
    }
    beginInsertColumns(QModelIndex(), columnCount(), column - 1);
    widestColumn_ = column;
    endInsertColumns();
}

void SheetModel::beginBatch()
{
    if (batchDepth_++ == 0) {
        beginResetModel();
    }
}

void SheetModel::endBatch()
{
    if (batchDepth_ > 0 && --batchDepth_ == 0) {
        endResetModel();
    }
}

SheetCells::CsvWriter SheetModel::csvWriter() const
{
    // A copy: the sheet may be written again while the file is saved.
    auto rows = std::make_shared<const std::vector<std::vector<QString>>>(rows_);
    const int columns = usedColumns_;
    return [rows, columns](const CsvSink& sink, const std::stop_token& stop,
                           const std::function<void(double)>& progress) {
        return writeCsv(sink, [&](tessaron::TableWriter& out) {
            for (std::size_t row = 0; row < rows->size(); ++row) {
                if (stop.stop_requested()) {
                    return false;
                }
                const std::vector<QString>& cells = (*rows)[row];
                for (int column = 0; column < columns; ++column) {
                    const auto at = static_cast<std::size_t>(column);
                    out.cell(at < cells.size() ? cells[at].toStdString() : std::string());
                }
                out.endRow();
                if (progress && row % 4096 == 0) {
                    progress(static_cast<double>(row) / static_cast<double>(rows->size()));
                }
            }
            return true;
        });
    };
}

void SheetModel::grow(int row, int column)
{
    if (static_cast<std::size_t>(row) > rows_.size()) {
        rows_.resize(static_cast<std::size_t>(row));
    }
    std::vector<QString>& cells = rows_[static_cast<std::size_t>(row - 1)];
    if (static_cast<std::size_t>(column) > cells.size()) {
        cells.resize(static_cast<std::size_t>(column));
    }
    usedColumns_ = std::max(usedColumns_, column);
}

CWebCalc::CWebCalc(QWidget* parent)
    : QTableView(parent),
      model_(new SheetModel(this)),
      shown_(model_),
      exports_(std::make_unique<JobRunner>())
{
    setModel(model_);
    setObjectName(QStringLiteral("spreadsheet"));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setWordWrap(false);
    setCornerButtonEnabled(true);
    // Fixed sections keep long listings quick: no header ever measures text.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setMinimumSectionSize(kRowHeight);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setDefaultSectionSize(kStandardWidth);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);

    copyAction_ = new QAction(tr("&Copy"), this);
    copyAction_->setShortcut(QKeySequence::Copy);
    copyAction_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copyAction_, &QAction::triggered, this, &CWebCalc::copySelection);
    addAction(copyAction_);

    saveCsvAction_ = new QAction(tr("Save as &CSV..."), this);
    saveCsvAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    saveCsvAction_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(saveCsvAction_, &QAction::triggered, this, &CWebCalc::saveAsCsv);
    addAction(saveCsvAction_);

    setContextMenuPolicy(Qt::ActionsContextMenu);

    exportProgress_ = new QProgressBar(this);
    exportProgress_->setObjectName(QStringLiteral("exportProgress"));
    exportProgress_->setRange(0, 1000);
    exportProgress_->setTextVisible(false);
    exportProgress_->hide();
}

CWebCalc::~CWebCalc() = default;

void CWebCalc::showCells(SheetCells* cells)
{
    if (cells == nullptr || cells == shown_) {
        return;
    }
    cells->setParent(this);
    if (shown_ != model_) {
        shown_->deleteLater();
    }
    shown_ = cells;
    if (sorter_ != nullptr) {
        sorter_->setSourceModel(cells);
    } else {
        setModel(cells);
    }
    connect(cells, &QAbstractItemModel::modelReset, this, [this, cells] {
        if (cells == shown_) {
            applyWidths();  // a reset forgets the section sizes
            emit pageChanged();
        }
    });
    applyWidths();
    emit pageChanged();
}

void CWebCalc::showRow(int row)
{
    shown_->showPageOf(row);
    const QModelIndex first = model()->index(row - 1 - shown_->pageStart(), 0);
    if (first.isValid()) {
        setCurrentIndex(first);
        scrollTo(first, EnsureVisible);
    }
}

void CWebCalc::setSortableFrom(int firstRow)
{
    if (sorter_ == nullptr) {
        sorter_ = new SheetSorter(firstRow, this);
        sorter_->setSourceModel(shown_);
        setModel(sorter_);
    }
    // No column is sorted until the user clicks one.
    horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    setSortingEnabled(true);
    applyWidths();
}

bool CWebCalc::exporting() const
{
    return exports_->busy();
}

void CWebCalc::cancelExport()
{
    exports_->cancel();
}

bool CWebCalc::waitForExport(int milliseconds)
{
    return exports_->waitForIdle(milliseconds);
}

void CWebCalc::setInlineExport(bool runInline)
{
    exports_->setInlineJobs(runInline);
}

void CWebCalc::WriteCell(int row, int column, const QString& text)
{
    model_->setCell(row, column, text);
    if (model_->batchDepth() == 0 && shown_ == model_) {
        fitText(column, text);
    }
}

void CWebCalc::SetColumnWidth(int column, int width)
{
    if (column < 1 || width < 0) {
        return;
    }
    widths_[column] = width;
    model_->reachColumn(column);
    setColumnWidth(column - 1, std::min(width, kWidestColumn));
    if (model_->batchDepth() == 0) {
        applyWidths();
    }
}

void CWebCalc::BeginUpdate()
{
    model_->beginBatch();
}

void CWebCalc::EndUpdate()
{
    model_->endBatch();
    // A reset forgets the section sizes; the widths set stay the sheet's.
    applyWidths();
    emit pageChanged();
}

int CWebCalc::setWidth(int column) const
{
    const auto found = widths_.find(column);
    return found == widths_.end() ? 0 : found->second;
}

QString CWebCalc::selectionText() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    if (selected.isEmpty()) {
        return {};
    }
    int top = std::numeric_limits<int>::max();
    int left = std::numeric_limits<int>::max();
    int bottom = 0;
    int right = 0;
    for (const QModelIndex& index : selected) {
        top = std::min(top, index.row());
        left = std::min(left, index.column());
        bottom = std::max(bottom, index.row());
        right = std::max(right, index.column());
    }
    QItemSelectionModel* selection = selectionModel();
    // Rows as shown, sorted or not.
    const QAbstractItemModel* shown = model();
    QString text;
    for (int row = top; row <= bottom; ++row) {
        for (int column = left; column <= right; ++column) {
            if (column > left) {
                text += QLatin1Char('\t');
            }
            const QModelIndex index = shown->index(row, column);
            if (selection->isSelected(index)) {
                text += index.data(Qt::DisplayRole).toString();
            }
        }
        text += QLatin1Char('\n');
    }
    return text;
}

QString CWebCalc::csvText() const
{
    QByteArray bytes;
    shown_->csvWriter()(
        [&bytes](std::string_view text) {
            bytes.append(text.data(), static_cast<qsizetype>(text.size()));
            return true;
        },
        {}, {});
    return QString::fromUtf8(bytes);
}

bool CWebCalc::saveCsv(const QString& path) const
{
    return writeCsvFile(path, shown_->csvWriter(), {}, {});
}

void CWebCalc::copySelection()
{
    QApplication::clipboard()->setText(selectionText());
}

void CWebCalc::saveAsCsv()
{
    const QString caption = tr("Save as CSV");
    const QString filter = tr("CSV files (*.csv);;All files (*)");
    const QString path = chooseFile_ ? chooseFile_(this, caption, filter)
                                     : QFileDialog::getSaveFileName(this, caption, QString(), filter);
    if (path.isEmpty() || exports_->busy()) {
        return;
    }
    exportProgress_->setGeometry(0, height() - kProgressHeight, width(), kProgressHeight);
    exportProgress_->setValue(0);
    exportProgress_->show();
    exportProgress_->raise();
    saveCsvAction_->setEnabled(false);
    // A long listing is written off the window's thread, row after row.
    enum Outcome { Written, Failed, Cancelled };
    exports_->start<Outcome>(
        [path, writer = shown_->csvWriter()](const std::stop_token& stop,
                                             const JobRunner::Reporter<double>& report) {
            if (writeCsvFile(path, writer, stop, report)) {
                return Written;
            }
            return stop.stop_requested() ? Cancelled : Failed;
        },
        [this, path, caption](Outcome outcome) {
            exportProgress_->hide();
            saveCsvAction_->setEnabled(true);
            if (outcome != Failed) {
                return;  // written, or given up by the user: nothing to tell
            }
            const QString text = tr("Cannot write the file %1.").arg(path);
            if (reportError_) {
                reportError_(this, text);
            } else {
                QMessageBox::warning(this, caption, text);
            }
        },
        [this](double fraction) { exportProgress_->setValue(static_cast<int>(1000.0 * fraction)); });
}

bool CWebCalc::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        // A text cut short in its cell shows whole in a tip.
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        const QString text = index.data().toString();
        if (index.isValid() && textWidth(text) > columnWidth(index.column())) {
            QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QTableView::viewportEvent(event);
}

int CWebCalc::textWidth(const QString& text) const
{
    return text.isEmpty() ? 0 : fontMetrics().horizontalAdvance(text) + kTextMargin;
}

void CWebCalc::fitText(int column, const QString& text)
{
    const int needed = std::min(textWidth(text), kWidestColumn);
    if (column >= 1 && needed > columnWidth(column - 1)) {
        setColumnWidth(column - 1, needed);
    }
}

void CWebCalc::applyWidths()
{
    for (const auto& [column, width] : widths_) {
        setColumnWidth(column - 1, std::min(width, kWidestColumn));
    }
    const int rows = shown_->usedRows();
    const int step = std::max(1, rows / kMeasuredRows);
    const QStringList& titles = shown_->columnTitles();
    for (int column = 1; column <= shown_->usedColumns(); ++column) {
        const int set = setWidth(column);
        int width = set > 0 ? set : horizontalHeader()->defaultSectionSize();
        if (column <= titles.size()) {
            width = std::max(width, textWidth(titles[column - 1]));
        }
        for (int row = 1; row <= rows; row += step) {
            width = std::max(width, textWidth(shown_->cell(row, column)));
        }
        if (rows > 0) {
            width = std::max(width, textWidth(shown_->cell(rows, column)));
        }
        setColumnWidth(column - 1, std::min(width, kWidestColumn));
    }
}
