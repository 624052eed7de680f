#pragma once

// A small spreadsheet: a grid of text cells addressed from 1 like a worksheet
// (columns A, B, C... and rows 1, 2, 3...), written cell by cell, with column
// widths, copying of the selected cells and saving of the whole table as CSV.

#include <QAbstractTableModel>
#include <QString>
#include <QTableView>

#include <functional>
#include <map>
#include <vector>

class QAction;

// The cells behind the sheet: only the written rows are stored; the grid shows
// at least a screenful of empty cells beyond them.
class SheetModel : public QAbstractTableModel {
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    // The empty grid that a fresh sheet shows.
    static constexpr int kShownRows = 40;
    static constexpr int kShownColumns = 12;

    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // row and column count from 1. Outside a batch the view hears of the
    // change at once.
    void setCell(int row, int column, const QString& text);
    [[nodiscard]] QString cell(int row, int column) const;
    // The last row and column that hold a written cell (0 when none).
    [[nodiscard]] int usedRows() const { return static_cast<int>(rows_.size()); }
    [[nodiscard]] int usedColumns() const { return usedColumns_; }
    // Makes the grid at least this wide, for a width set before any cell.
    void reachColumn(int column);

    // Many writes in a row: the view is told once, at the end.
    void beginBatch();
    void endBatch();

    // The spreadsheet heading of a 1-based column: A ... Z, AA, AB ...
    [[nodiscard]] static QString columnName(int column);

private:
    void grow(int row, int column);

    std::vector<std::vector<QString>> rows_;
    int usedColumns_ = 0;
    int widestColumn_ = 0;  // reached by widths, perhaps beyond the cells
    int batchDepth_ = 0;
};

// The spreadsheet control of the report sheet.
class CWebCalc : public QTableView {
    Q_OBJECT

public:
    // Asks for the file to save to; an empty answer cancels.
    using FileChooser =
        std::function<QString(QWidget* parent, const QString& caption, const QString& filter)>;
    // Tells that the file could not be written.
    using ErrorReporter = std::function<void(QWidget* parent, const QString& text)>;

    explicit CWebCalc(QWidget* parent = nullptr);

    // Writes `text` into the cell at a 1-based row and column, growing the
    // grid as needed. Every value, numbers included, is text.
    void WriteCell(int row, int column, const QString& text);
    // The width of a 1-based column, in the sheet's width units (pixels).
    void SetColumnWidth(int column, int width);

    // Writes many cells at once: the view is refreshed once, at EndUpdate.
    void BeginUpdate();
    void EndUpdate();

    [[nodiscard]] QString cellText(int row, int column) const { return model_->cell(row, column); }
    [[nodiscard]] int usedRows() const { return model_->usedRows(); }
    [[nodiscard]] int usedColumns() const { return model_->usedColumns(); }
    // The width set for a 1-based column, 0 when none was set.
    [[nodiscard]] int setWidth(int column) const;
    [[nodiscard]] SheetModel* sheetModel() const { return model_; }

    // The selected cells as tab-separated rows, one line each, as they paste
    // into a spreadsheet; cells of the enclosing rectangle that are not
    // selected are left empty.
    [[nodiscard]] QString selectionText() const;
    // The written part of the table as CSV (quoted where a field needs it,
    // CRLF line ends).
    [[nodiscard]] QString csvText() const;
    // Writes csvText() to `path` in UTF-8; false when the file cannot be written.
    bool saveCsv(const QString& path) const;

    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    void setErrorReporter(ErrorReporter reporter) { reportError_ = std::move(reporter); }

    [[nodiscard]] QAction* copyAction() const { return copyAction_; }
    [[nodiscard]] QAction* saveCsvAction() const { return saveCsvAction_; }

public slots:
    // Puts the selection on the clipboard.
    void copySelection();
    // Asks for a file and saves the table there as CSV.
    void saveAsCsv();

private:
    void applyWidths();

    SheetModel* model_ = nullptr;
    std::map<int, int> widths_;  // 1-based column -> width
    QAction* copyAction_ = nullptr;
    QAction* saveCsvAction_ = nullptr;
    FileChooser chooseFile_;
    ErrorReporter reportError_;
};
