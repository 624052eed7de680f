#include "views/webcalc.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QMessageBox>
#include <QSaveFile>

#include <algorithm>
#include <cstddef>
#include <limits>

namespace {

constexpr int kRowHeight = 17;
constexpr int kStandardWidth = 64;

// RFC 4180: a field with a comma, a quote or a line break goes in quotes,
// its quotes doubled.
QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

}  // namespace

int SheetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : std::max(usedRows(), kShownRows);
}

int SheetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : std::max({usedColumns_, widestColumn_, kShownColumns});
}

QVariant SheetModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) {
        return {};
    }
    return cell(index.row() + 1, index.column() + 1);
}

QVariant SheetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) {
        return {};
    }
    return orientation == Qt::Horizontal ? columnName(section + 1) : QString::number(section + 1);
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
    if (row > shownRows) {
        beginInsertRows(QModelIndex(), shownRows, row - 1);
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
    const QModelIndex changed = index(row - 1, column - 1);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
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

QString SheetModel::columnName(int column)
{
    QString name;
    for (int rest = column; rest > 0; rest = (rest - 1) / 26) {
        name.prepend(QChar(u'A' + static_cast<char16_t>((rest - 1) % 26)));
    }
    return name;
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

CWebCalc::CWebCalc(QWidget* parent) : QTableView(parent), model_(new SheetModel(this))
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
}

void CWebCalc::WriteCell(int row, int column, const QString& text)
{
    model_->setCell(row, column, text);
}

void CWebCalc::SetColumnWidth(int column, int width)
{
    if (column < 1 || width < 0) {
        return;
    }
    widths_[column] = width;
    model_->reachColumn(column);
    setColumnWidth(column - 1, width);
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
    QString text;
    for (int row = top; row <= bottom; ++row) {
        for (int column = left; column <= right; ++column) {
            if (column > left) {
                text += QLatin1Char('\t');
            }
            if (selection->isSelected(model_->index(row, column))) {
                text += model_->cell(row + 1, column + 1);
            }
        }
        text += QLatin1Char('\n');
    }
    return text;
}

QString CWebCalc::csvText() const
{
    QString text;
    const int columns = model_->usedColumns();
    for (int row = 1; row <= model_->usedRows(); ++row) {
        for (int column = 1; column <= columns; ++column) {
            if (column > 1) {
                text += QLatin1Char(',');
            }
            text += csvField(model_->cell(row, column));
        }
        text += QLatin1String("\r\n");
    }
    return text;
}

bool CWebCalc::saveCsv(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    const QByteArray bytes = csvText().toUtf8();
    // commit does not see a failure of the last flush (a full disk): checked here.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
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
    if (path.isEmpty()) {
        return;
    }
    if (saveCsv(path)) {
        return;
    }
    const QString text = tr("Cannot write the file %1.").arg(path);
    if (reportError_) {
        reportError_(this, text);
    } else {
        QMessageBox::warning(this, caption, text);
    }
}

void CWebCalc::applyWidths()
{
    for (const auto& [column, width] : widths_) {
        setColumnWidth(column - 1, width);
    }
}
