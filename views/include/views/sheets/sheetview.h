#pragma once

// A small spreadsheet: a grid of text cells addressed from 1 like a worksheet
// (columns A, B, C... and rows 1, 2, 3...), written cell by cell, with column
// widths, copying of the selected cells and saving of the whole table as CSV.

#include "report/tablewriter.h"

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <QTableView>

#include <functional>
#include <map>
#include <memory>
#include <stop_token>
#include <string_view>
#include <vector>

class JobRunner;
class QAction;
class QProgressBar;
class QSortFilterProxyModel;

// What a sheet shows: text cells addressed from 1, the written part of them
// ending at usedRows() x usedColumns(), and a grid of at least a screenful.
class SheetCells : public QAbstractTableModel {
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    // The empty grid that a fresh sheet shows.
    static constexpr int kShownRows = 40;
    static constexpr int kShownColumns = 12;
    // A view places its rows in pixels counted in an int: a table of more
    // rows than fit there (some 120 million) is shown a page of this many
    // rows at a time.
    static constexpr int kPageRows = 1000000;

    // Takes the next piece of CSV text; false when it cannot be written.
    using CsvSink = std::function<bool(std::string_view utf8)>;
    // Writes the whole written part as CSV (CRLF line ends), reporting the
    // fraction done; false when the sink failed or a stop was requested. It
    // owns or shares everything it reads, so it may run on any thread.
    using CsvWriter = std::function<bool(const CsvSink& sink, const std::stop_token& stop,
                                         const std::function<void(double)>& progress)>;

    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Titles of the 1-based columns in the header, in place of the
    // spreadsheet's letters; columns beyond them keep their letters.
    void setColumnTitles(QStringList titles);
    [[nodiscard]] const QStringList& columnTitles() const { return titles_; }
    // Whether a cell's text is a number (shown right-aligned, sorted by value).
    [[nodiscard]] static bool isNumber(const QString& text, double* value = nullptr);

    [[nodiscard]] virtual QString cell(int row, int column) const = 0;
    [[nodiscard]] virtual int usedRows() const = 0;
    [[nodiscard]] virtual int usedColumns() const = 0;
    [[nodiscard]] virtual CsvWriter csvWriter() const = 0;

    // The rows before the page shown (0 on the first page); a view's row r
    // is the table's row pageStart() + r + 1.
    [[nodiscard]] int pageStart() const { return pageStart_; }
    [[nodiscard]] int pageCount() const;
    // Shows the page that holds the 1-based `row` (a reset when the page changes).
    void showPageOf(int row);

    // The spreadsheet heading of a 1-based column: A ... Z, AA, AB ...
    [[nodiscard]] static QString columnName(int column);
    // The CSV of a sheet into `sink` through the report's table writer (RFC
    // 4180 quoting, CRLF line ends): `write` adds the rows, false to stop.
    // False when it stopped or the sink failed.
    [[nodiscard]] static bool writeCsv(const CsvSink& sink,
                                       const std::function<bool(tessaron::TableWriter& out)>& write);

protected:
    // The rows a view is given: the page's, and at least a screenful.
    [[nodiscard]] int pageRows() const;

private:
    QStringList titles_;
    int pageStart_ = 0;
};

// The cells written one by one: only the written rows are stored; the grid
// shows at least a screenful of empty cells beyond them.
class SheetModel : public SheetCells {
    Q_OBJECT

public:
    using SheetCells::SheetCells;

    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = QModelIndex()) const override;

    // row and column count from 1. Outside a batch the view hears of the
    // change at once.
    void setCell(int row, int column, const QString& text);
    [[nodiscard]] QString cell(int row, int column) const override;
    // The last row and column that hold a written cell (0 when none).
    [[nodiscard]] int usedRows() const override { return static_cast<int>(rows_.size()); }
    [[nodiscard]] int usedColumns() const override { return usedColumns_; }
    [[nodiscard]] CsvWriter csvWriter() const override;
    // Makes the grid at least this wide, for a width set before any cell.
    void reachColumn(int column);

    // Many writes in a row: the view is told once, at the end.
    void beginBatch();
    void endBatch();
    [[nodiscard]] int batchDepth() const { return batchDepth_; }

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
    ~CWebCalc() override;
    CWebCalc(const CWebCalc&) = delete;
    CWebCalc& operator=(const CWebCalc&) = delete;

    // Shows other cells instead of the written ones (a listing made as it
    // scrolls into view); the sheet takes them. The written cells stay for
    // WriteCell but are no longer shown.
    void showCells(SheetCells* cells);

    // Rows from `firstRow` (1-based) on sort by a column when its header is
    // clicked, numbers by value, before texts, empty cells last; the rows
    // above stay in place. Only for written cells, not for a listing.
    void setSortableFrom(int firstRow);
    [[nodiscard]] bool sortable() const { return sorter_ != nullptr; }

    // Writes `text` into the cell at a 1-based row and column, growing the
    // grid as needed. Every value, numbers included, is text.
    void WriteCell(int row, int column, const QString& text);
    // The width of a 1-based column, in the sheet's width units (pixels).
    void SetColumnWidth(int column, int width);

    // Shows the page of the table that holds the 1-based `row` and selects
    // that row's first cell (a table of more rows than SheetCells::kPageRows).
    void showRow(int row);

    // Writes many cells at once: the view is refreshed once, at EndUpdate.
    void BeginUpdate();
    void EndUpdate();

    [[nodiscard]] QString cellText(int row, int column) const { return shown_->cell(row, column); }
    [[nodiscard]] int usedRows() const { return shown_->usedRows(); }
    [[nodiscard]] int usedColumns() const { return shown_->usedColumns(); }
    // The width set for a 1-based column, 0 when none was set. A column is
    // shown at least as wide as its widest text, whatever was set, but no
    // wider than 400 pixels: a longer text is cut short, and whole in its tip.
    [[nodiscard]] int setWidth(int column) const;
    [[nodiscard]] SheetModel* sheetModel() const { return model_; }
    [[nodiscard]] SheetCells* shownCells() const { return shown_; }

    // The selected cells as tab-separated rows, one line each, as they paste
    // into a spreadsheet; cells of the enclosing rectangle that are not
    // selected are left empty.
    [[nodiscard]] QString selectionText() const;
    // The written part of the table as CSV (quoted where a field needs it,
    // CRLF line ends).
    [[nodiscard]] QString csvText() const;
    // Writes csvText() to `path` in UTF-8 as saveFile writes (a regular file
    // replaced only once complete, a FIFO or a device written into); false
    // when the file cannot be written.
    bool saveCsv(const QString& path) const;

    // "Save as CSV" writes off the window's thread, with a progress bar at
    // the foot of the sheet; cancelExport() stops it, leaving no file behind.
    [[nodiscard]] bool exporting() const;
    void cancelExport();
    // Runs the event loop until the export has ended, for at most
    // `milliseconds` (JobRunner::kNoTimeLimit: as long as it takes); whether it has.
    bool waitForExport(int milliseconds);
    // Exports run inside the command (tests).
    void setInlineExport(bool runInline);
    // The runner that exports, to follow the window's (JobStatus::lead).
    [[nodiscard]] JobRunner& exporter() { return *exports_; }

    void setFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    void setErrorReporter(ErrorReporter reporter) { reportError_ = std::move(reporter); }

    [[nodiscard]] QAction* copyAction() const { return copyAction_; }
    [[nodiscard]] QAction* saveCsvAction() const { return saveCsvAction_; }

signals:
    // Other cells are shown, or another page of them.
    void pageChanged();

public slots:
    // Puts the selection on the clipboard.
    void copySelection();
    // Asks for a file and saves the table there as CSV.
    void saveAsCsv();

protected:
    bool viewportEvent(QEvent* event) override;

private:
    // The set widths, each column widened to its texts (a long table's are
    // measured on rows spread over it), none wider than a word of some 50
    // letters.
    void applyWidths();
    // Widens a column to `text` if it is narrower.
    void fitText(int column, const QString& text);
    [[nodiscard]] int textWidth(const QString& text) const;

    SheetModel* model_ = nullptr;
    SheetCells* shown_ = nullptr;
    QSortFilterProxyModel* sorter_ = nullptr;
    QProgressBar* exportProgress_ = nullptr;
    std::unique_ptr<JobRunner> exports_;
    std::map<int, int> widths_;  // 1-based column -> width
    QAction* copyAction_ = nullptr;
    QAction* saveCsvAction_ = nullptr;
    FileChooser chooseFile_;
    ErrorReporter reportError_;
};
