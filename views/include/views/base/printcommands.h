#pragma once

// "Print..." and "Export PDF..." of a text document made when asked: the
// bases selected in the sequence pane, or a report sheet's table as shown.
// The PDF's file is chosen through a chooser the owner gives (the program's
// prompts, which tests answer), and is written by QPdfWriter; printing sets
// up the printer through the print dialog unless another chooser is given.

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

class QAbstractItemModel;
class QAction;
class QPagedPaintDevice;
class QPrinter;
class QTableView;
class QWidget;

class PrintCommands : public QObject {
    Q_OBJECT

public:
    // What prints itself onto a device of pages (a printer or a PDF writer).
    using Pages = std::function<void(QPagedPaintDevice& device)>;
    // The pages to print, or none with the reason in `why` when there is nothing to print.
    using DocumentMaker = std::function<Pages(QString& why)>;
    // The PDF file to write, `proposed` (a full path) first; empty when cancelled.
    using FileChooser = std::function<QString(QWidget* parent, const QString& proposed)>;
    using Reporter = std::function<void(QWidget* parent, const QString& text)>;
    using PrinterChooser = std::function<bool(QWidget* parent, QPrinter& printer)>;

    // The commands act over `parent`, which owns them; `name` is the PDF's proposed name.
    PrintCommands(QWidget* parent, DocumentMaker maker, FileChooser chooser, Reporter reporter,
                  std::function<QString()> name);

    // "&Print..." and "Export &PDF..." (named "printAction" and "pdfAction"); `what`
    // ends their texts ("Print selection...") when not empty.
    [[nodiscard]] QAction* printAction() const { return print_; }
    [[nodiscard]] QAction* pdfAction() const { return pdf_; }
    void setTexts(const QString& print, const QString& pdf);
    void setPrinterChooser(PrinterChooser chooser) { printerChooser_ = std::move(chooser); }

    // Asks for the file and writes the PDF; false when cancelled or when it cannot be written (told).
    bool exportPdf();
    // Asks for the printer and prints; false when cancelled or when there is nothing to print.
    bool printDocument();

    // The pages written to a PDF file; false when it cannot be.
    static bool writePdf(const Pages& pages, const QString& path);

private:
    QWidget* parent_;
    DocumentMaker maker_;
    FileChooser chooser_;
    Reporter reporter_;
    std::function<QString()> name_;
    PrinterChooser printerChooser_;
    QAction* print_ = nullptr;
    QAction* pdf_ = nullptr;
};

// The bases [start, end) of `sequence` in lines of 60, in groups of ten, each
// line led by its first base's 1-based position, under `heading`.
[[nodiscard]] PrintCommands::Pages basesDocument(std::string_view sequence, int start, int end,
                                                 const QString& heading);
// The same for several stretches [first, second) one after another (the parts
// of a gene), a blank line between them: only their bases are printed.
[[nodiscard]] PrintCommands::Pages basesDocument(std::string_view sequence,
                                                 const std::vector<std::pair<int, int>>& ranges,
                                                 const QString& heading);
// The text those pages hold.
[[nodiscard]] QString basesListing(std::string_view sequence, const std::vector<std::pair<int, int>>& ranges,
                                   const QString& heading);
// The table of `view` as it shows it (its visible columns in their widths'
// proportions, their headers and at most `mostRows` rows, saying so when
// there are more), under `heading`, its header row on every page. The view
// must outlive the pages.
[[nodiscard]] PrintCommands::Pages tableDocument(const QTableView& view, const QString& heading,
                                                 int mostRows = 5000);
// A name for a file made of `text`: the letters, digits, '.', '-' and '_' kept, the rest '_'.
[[nodiscard]] QString fileNameOf(const QString& text);
