// The report sheet: the spreadsheet's cells, widths, copy and CSV export; the
// window's contents read back from its table; and the main window's
// commands that open it beside the window.

#include "charts/chartpanel.h"
#include "compare/genomecomparison.h"
#include "engine/genome.h"
#include "engine/repeatlist.h"
#include "engine/repeatsnapshot.h"
#include "filesizelimit.h"
#include "report/reportlayout.h"
#include "session/session.h"
#include "testprompts.h"
#include "views/dialogs/randomcontrolsdlg.h"
#include "views/sheets/listingmodel.h"
#include "views/sheets/reportsheetdlg.h"
#include "views/sheets/sheetview.h"
#include "views/shell/mainwindow.h"
#include "whenmodal.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using tessaron::Genome;
using tessaron::GenomeComparison;
using tessaron::RepeatKind;
using tessaron::RepeatList;
using tessaron::RepeatSnapshot;

namespace {

// A genome with inverted repeats of 4 and 5 letters at lengths 4..6.
constexpr const char* kSmallGenome = "ACCGAAACCGTTTTACGGTTT";

void load(Genome& genome, const std::string& bases, int minimum, int maximum)
{
    ASSERT_TRUE(genome.allocate(static_cast<std::int64_t>(bases.size()), minimum, maximum));
    genome.appendText(bases.c_str());
    genome.setLengthBounds(minimum, maximum);
}

std::shared_ptr<const RepeatSnapshot> search(std::shared_ptr<const Genome> genome, RepeatKind kind)
{
    const std::array<RepeatKind, 1> kinds{kind};
    auto prepared = tessaron::prepareSearch(std::move(genome), tessaron::SearchMethod::Trie, kinds);
    auto found = std::get<tessaron::PreparedSearch>(prepared).run(kind);
    return std::get<std::shared_ptr<const RepeatSnapshot>>(std::move(found));
}

// Every pair of a snapshot as the stored list the report's layouts read.
std::unique_ptr<RepeatList> listOf(const RepeatSnapshot& snapshot)
{
    auto list = tessaron::materialize(snapshot);
    return std::get<std::unique_ptr<RepeatList>>(std::move(list));
}

// The sheet's written cells as rows of texts.
std::vector<std::vector<QString>> tableOf(const CWebCalc& sheet)
{
    std::vector<std::vector<QString>> rows;
    for (int row = 1; row <= sheet.usedRows(); ++row) {
        std::vector<QString>& cells = rows.emplace_back();
        for (int column = 1; column <= sheet.usedColumns(); ++column) {
            cells.push_back(sheet.cellText(row, column));
        }
    }
    return rows;
}

std::vector<std::vector<QString>> gridOf(const tessaron::SheetLayout& layout)
{
    std::vector<std::vector<QString>> rows;
    for (const std::vector<std::string>& cells : layout.grid()) {
        std::vector<QString>& row = rows.emplace_back();
        for (const std::string& text : cells) {
            row.push_back(QString::fromStdString(text));
        }
    }
    return rows;
}

void select(CWebCalc& sheet, int top, int left, int bottom, int right)
{
    const QItemSelection range(sheet.model()->index(top - 1, left - 1),
                               sheet.model()->index(bottom - 1, right - 1));
    sheet.selectionModel()->select(range, QItemSelectionModel::Select);
}

QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

// Runs `read` on the report sheet that the last command opened beside the
// window, then closes it; false when none is open.
bool readSheet(const CTessaronDlg& window, const std::function<void(CReportSheetDlg&)>& read)
{
    const std::vector<CReportSheetDlg*> open = sheetsOf(window);
    if (open.empty()) {
        ADD_FAILURE() << "the report sheet is not open";
        return false;
    }
    CReportSheetDlg& sheet = *open.back();
    read(sheet);
    sheet.close();
    return true;
}

// ---- the spreadsheet ----

TEST(WebCalc, ColumnsAreNamedLikeASpreadsheet)
{
    const struct {
        int column;
        const char* name;
    } cases[] = {{1, "A"},   {2, "B"},   {26, "Z"},   {27, "AA"},
                 {52, "AZ"}, {53, "BA"}, {702, "ZZ"}, {703, "AAA"}};
    for (const auto& [column, name] : cases) {
        EXPECT_EQ(SheetModel::columnName(column), QLatin1String(name)) << column;
    }
    CWebCalc sheet;
    EXPECT_EQ(sheet.model()->headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("C"));
    EXPECT_EQ(sheet.model()->headerData(2, Qt::Vertical, Qt::DisplayRole).toString(), QStringLiteral("3"));
}

TEST(WebCalc, WritingBeyondTheGridGrowsIt)
{
    CWebCalc sheet;
    EXPECT_EQ(sheet.usedRows(), 0);
    const int shownRows = sheet.model()->rowCount();
    const int shownColumns = sheet.model()->columnCount();
    sheet.WriteCell(shownRows + 5, shownColumns + 2, QStringLiteral("far"));
    sheet.WriteCell(2, 1, QStringLiteral("near"));
    EXPECT_EQ(sheet.model()->rowCount(), shownRows + 5);
    EXPECT_EQ(sheet.model()->columnCount(), shownColumns + 2);
    EXPECT_EQ(sheet.cellText(shownRows + 5, shownColumns + 2), QStringLiteral("far"));
    EXPECT_EQ(sheet.model()->data(sheet.model()->index(1, 0), Qt::DisplayRole).toString(),
              QStringLiteral("near"));
    EXPECT_EQ(sheet.cellText(1, 1), QString());
    // Cells outside the sheet are ignored.
    sheet.WriteCell(0, 1, QStringLiteral("x"));
    sheet.WriteCell(1, 0, QStringLiteral("x"));
    EXPECT_EQ(sheet.usedRows(), shownRows + 5);
}

TEST(WebCalc, ColumnWidthsAreKeptThroughABatchOfWrites)
{
    CWebCalc sheet;
    sheet.BeginUpdate();
    sheet.SetColumnWidth(1, 119);
    sheet.SetColumnWidth(30, 229);  // beyond the grid shown
    for (int row = 1; row <= 1000; ++row) {
        sheet.WriteCell(row, 2, QString::number(row));
    }
    sheet.EndUpdate();
    EXPECT_EQ(sheet.columnWidth(0), 119);
    EXPECT_EQ(sheet.columnWidth(29), 229);
    EXPECT_EQ(sheet.setWidth(1), 119);
    EXPECT_EQ(sheet.setWidth(2), 0);
    EXPECT_EQ(sheet.model()->rowCount(), 1000);
    EXPECT_GE(sheet.model()->columnCount(), 30);
    EXPECT_EQ(sheet.cellText(1000, 2), QStringLiteral("1000"));
}

TEST(WebCalc, CopiesTheSelectionAsTabSeparatedRows)
{
    CWebCalc sheet;
    sheet.WriteCell(2, 2, QStringLiteral("ACCGT"));
    sheet.WriteCell(2, 3, QStringLiteral("7"));
    sheet.WriteCell(3, 3, QStringLiteral("15"));
    select(sheet, 2, 2, 3, 3);
    sheet.copySelection();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("ACCGT\t7\n\t15\n"));

    // Two separate blocks: the cells between them are left empty.
    sheet.selectionModel()->clearSelection();
    select(sheet, 2, 2, 2, 2);
    select(sheet, 3, 4, 3, 4);
    EXPECT_EQ(sheet.selectionText(), QStringLiteral("ACCGT\t\t\n\t\t\n"));

    sheet.selectionModel()->clearSelection();
    EXPECT_EQ(sheet.selectionText(), QString());
}

TEST(WebCalc, CopyShortcutAndContextMenuCarryTheCommands)
{
    CWebCalc sheet;
    EXPECT_EQ(sheet.copyAction()->shortcut(), QKeySequence(QKeySequence::Copy));
    EXPECT_FALSE(sheet.saveCsvAction()->shortcut().isEmpty());
    EXPECT_EQ(sheet.contextMenuPolicy(), Qt::ActionsContextMenu);
    EXPECT_TRUE(sheet.actions().contains(sheet.copyAction()));
    EXPECT_TRUE(sheet.actions().contains(sheet.saveCsvAction()));

    sheet.WriteCell(1, 1, QStringLiteral("5 bp"));
    select(sheet, 1, 1, 1, 1);
    QApplication::clipboard()->clear();
    sheet.copyAction()->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("5 bp\n"));
}

TEST(WebCalc, CsvQuotesOnlyTheFieldsThatNeedIt)
{
    CWebCalc sheet;
    sheet.WriteCell(1, 1, QStringLiteral("plain"));
    sheet.WriteCell(1, 2, QStringLiteral("a,b"));
    sheet.WriteCell(1, 3, QStringLiteral("say \"hi\""));
    sheet.WriteCell(2, 1, QStringLiteral("two\nlines"));
    sheet.WriteCell(2, 3, QStringLiteral("\u00e9"));
    EXPECT_EQ(sheet.csvText(),
              QStringLiteral("plain,\"a,b\",\"say \"\"hi\"\"\"\r\n\"two\nlines\",,\u00e9\r\n"));
    EXPECT_EQ(CWebCalc().csvText(), QString());
}

TEST(WebCalc, SavesAsCsvThroughTheFileChooser)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    CWebCalc sheet;
    sheet.WriteCell(1, 1, QStringLiteral("Gen\u00f4mio, A"));
    sheet.WriteCell(1, 2, QStringLiteral("12"));
    QString askedCaption;
    std::vector<QString> answers{folder.filePath(QStringLiteral("sheet.csv")), QString()};
    sheet.setFileChooser([&](QWidget*, const QString& caption, const QString&) {
        askedCaption = caption;
        QString answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    });
    sheet.saveCsvAction()->trigger();
    ASSERT_TRUE(sheet.waitForExport(kWaitLimitMs));
    EXPECT_EQ(askedCaption, QStringLiteral("Save as CSV"));
    EXPECT_EQ(contentsOf(folder.filePath(QStringLiteral("sheet.csv"))),
              QByteArray("\"Gen\xc3\xb4mio, A\",12\r\n"));

    // A cancelled chooser writes nothing.
    sheet.WriteCell(2, 1, QStringLiteral("more"));
    sheet.saveAsCsv();
    ASSERT_TRUE(sheet.waitForExport(kWaitLimitMs));
    EXPECT_EQ(contentsOf(folder.filePath(QStringLiteral("sheet.csv"))),
              QByteArray("\"Gen\xc3\xb4mio, A\",12\r\n"));
}

TEST(WebCalc, AFileThatCannotBeWrittenIsReported)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    CWebCalc sheet;
    sheet.WriteCell(1, 1, QStringLiteral("x"));
    const QString path = folder.filePath(QStringLiteral("missing/sheet.csv"));
    sheet.setFileChooser([&](QWidget*, const QString&, const QString&) { return path; });
    std::vector<QString> reported;
    sheet.setErrorReporter([&](QWidget*, const QString& text) { reported.push_back(text); });
    sheet.saveAsCsv();
    ASSERT_TRUE(sheet.waitForExport(kWaitLimitMs));
    ASSERT_EQ(reported.size(), 1U);
    EXPECT_TRUE(reported.front().contains(path));
    EXPECT_FALSE(QFile::exists(path));
}

TEST(WebCalc, AFailedWriteKeepsTheEarlierFileWholeAndLeavesNothingBeside)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("sheet.csv"));
    CWebCalc sheet;
    sheet.WriteCell(1, 1, QStringLiteral("first"));
    ASSERT_TRUE(sheet.saveCsv(path));
    for (int row = 1; row <= 100; ++row) {
        sheet.WriteCell(row, 1, QStringLiteral("a longer table than the disk can take"));
    }
    sheet.setInlineExport(true);  // the whole write within the size limit below
    sheet.setFileChooser([&](QWidget*, const QString&, const QString&) { return path; });
    std::vector<QString> reported;
    sheet.setErrorReporter([&](QWidget*, const QString& text) { reported.push_back(text); });
    {
        const FileSizeLimit full(64);
        sheet.saveAsCsv();
    }
    EXPECT_EQ(reported.size(), 1U);
    EXPECT_EQ(contentsOf(path), QByteArray("first\r\n"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("sheet.csv")});
}

TEST(WebCalc, SavesIntoAFifoWithoutReplacingIt)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString fifo = folder.filePath(QStringLiteral("sheet.csv"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // Opened for reading first, so that the writer's open does not wait; the
    // table is less than a pipe holds.
    const int reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    CWebCalc sheet;
    sheet.WriteCell(1, 1, QStringLiteral("8 bp"));
    sheet.WriteCell(1, 2, QStringLiteral("12"));
    sheet.setInlineExport(true);
    sheet.setFileChooser([&](QWidget*, const QString&, const QString&) { return fifo; });
    std::vector<QString> reported;
    sheet.setErrorReporter([&](QWidget*, const QString& text) { reported.push_back(text); });
    sheet.saveAsCsv();
    QByteArray got(256, '\0');
    const ssize_t read = ::read(reader, got.data(), static_cast<std::size_t>(got.size()));
    ::close(reader);
    EXPECT_TRUE(reported.empty());
    EXPECT_EQ(got.left(read > 0 ? static_cast<qsizetype>(read) : 0), QByteArray("8 bp,12\r\n"));
    EXPECT_TRUE(std::filesystem::is_fifo(QFile::encodeName(fifo).toStdString()));
}

// More rows than a view's header can place (each 17 pixels, counted in an int).
class ManyRows : public SheetCells {
public:
    static constexpr int kRows = 200000000;
    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : pageRows(); }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 2; }
    QString cell(int row, int column) const override
    {
        return column == 1 ? QString::number(row) : QString();
    }
    int usedRows() const override { return kRows; }
    int usedColumns() const override { return 2; }
    CsvWriter csvWriter() const override { return {}; }
};

TEST(WebCalc, ATableLongerThanAHeaderCanPlaceIsShownAPageAtATime)
{
    CReportSheetDlg dialog;
    CWebCalc& sheet = *dialog.sheet();
    sheet.showCells(new ManyRows);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* pager = partOf<QWidget>(dialog, "sheetPager");
    ASSERT_NE(pager, nullptr);
    EXPECT_TRUE(pager->isVisible());
    const auto pageRows = [&] {
        return partOf<QLabel>(dialog, "pageRows")->text().remove(QLocale().groupSeparator());
    };
    EXPECT_EQ(pageRows(), QStringLiteral("Rows 1 to 1000000 of 200000000"));
    // The row the user is on, and whether it is in view.
    const auto current = [&] {
        QApplication::processEvents();
        const QModelIndex index = sheet.currentIndex();
        return sheet.viewport()->rect().contains(sheet.visualRect(index)) ? index.data().toString()
                                                                          : QStringLiteral("out of view");
    };
    const auto press = [&](const char* button) {
        partOf<QToolButton>(dialog, button)->click();
        return current();
    };
    EXPECT_EQ(press("lastPage"), QStringLiteral("200000000"));
    EXPECT_EQ(pageRows(), QStringLiteral("Rows 199000001 to 200000000 of 200000000"));
    EXPECT_EQ(sheet.model()->headerData(0, Qt::Vertical).toString(), QStringLiteral("199000001"));
    EXPECT_EQ(press("previousPage"), QStringLiteral("199000000"));
    EXPECT_EQ(press("nextPage"), QStringLiteral("199000001"));
    sheet.scrollToBottom();
    EXPECT_EQ(press("firstPage"), QStringLiteral("1"));
    EXPECT_FALSE(partOf<QToolButton>(dialog, "previousPage")->isEnabled());
}

// ---- the window ----

class ReportSheet : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto genome = std::make_shared<Genome>();
        load(*genome, kSmallGenome, 4, 6);
        genome_ = genome;
        for (const RepeatKind kind : tessaron::kKindOrder) {
            analysis_.snapshots[static_cast<std::size_t>(kind)] = search(genome_, kind);
            lists_.push_back(listOf(*snapshot(kind)));
        }
    }
    [[nodiscard]] const std::shared_ptr<const RepeatSnapshot>& snapshot(RepeatKind kind) const
    {
        return analysis_.of(kind);
    }
    // The same results as the stored lists of the report's layouts.
    [[nodiscard]] const RepeatList& list(RepeatKind kind) const
    {
        return *lists_[static_cast<std::size_t>(kind)];
    }

    std::shared_ptr<const Genome> genome_;
    tessaron::Analysis analysis_;
    std::vector<std::unique_ptr<RepeatList>> lists_;
};

TEST_F(ReportSheet, IsAResizableWindowThatStartsWithTheTableAlone)
{
    CReportSheetDlg sheet;
    EXPECT_EQ(sheet.size(), QSize(730, 510));
    EXPECT_NE(sheet.minimumSize(), sheet.maximumSize());
    EXPECT_FALSE(sheet.isModal());
    EXPECT_TRUE(sheet.windowTitle().isEmpty());
    EXPECT_TRUE(sheet.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(sheet.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(sheet.sheet()->geometry(), QRect(0, 0, 730, 510));

    sheet.SetReportContent(analysis_);
    ASSERT_TRUE(sheet.showSheet());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sheet));
    sheet.resize(900, 600);
    QApplication::processEvents();
    EXPECT_EQ(sheet.sheet()->size(), QSize(900, 600));

    // The chart opens beside the table, which keeps its width.
    sheet.chartAction()->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(sheet.chart()->isVisible());
    EXPECT_EQ(sheet.width(), 900 + CReportSheetDlg::kChartWidth);
    EXPECT_GE(sheet.sheet()->width(), 850);
}

TEST_F(ReportSheet, InvertedListingReadsBackFromTheTable)
{
    CReportSheetDlg sheet;
    sheet.SetKindContent(snapshot(RepeatKind::Inverted));
    ASSERT_TRUE(sheet.Fill());
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Inverted Repeats"));
    const std::vector<std::vector<QString>> expected{
        {"", "", "", ""},    {"5 bp sequences", "", "", ""}, {"ACCGT", "7", "15", "ACGGT"},
        {"", "", "", ""},    {"4 bp sequences", "", "", ""}, {"ACCG", "1", "16", "CGGT"},
        {"", "7", "16", ""}, {"CCGT", "8", "15", "ACGG"},
    };
    EXPECT_EQ(tableOf(*sheet.sheet()), expected);
    EXPECT_EQ(sheet.sheet()->setWidth(1), 119);
    EXPECT_EQ(sheet.sheet()->setWidth(4), 119);
    EXPECT_EQ(sheet.sheet()->columnWidth(0), 119);
    EXPECT_EQ(sheet.sheet()->columnWidth(3), 119);
    // Each content is written once.
    EXPECT_FALSE(sheet.Fill());
}

TEST_F(ReportSheet, DirectListingHasThreeColumns)
{
    CReportSheetDlg sheet;
    sheet.SetKindContent(snapshot(RepeatKind::Direct));
    ASSERT_TRUE(sheet.Fill());
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Direct Repeats"));
    EXPECT_EQ(tableOf(*sheet.sheet()),
              gridOf(tessaron::listingLayout(list(RepeatKind::Direct), RepeatKind::Direct, *genome_)));
    EXPECT_LE(sheet.sheet()->usedColumns(), 3);
    EXPECT_EQ(sheet.sheet()->setWidth(4), 0);
}

TEST_F(ReportSheet, SummaryHasEmptyCaptionAndAHeadingPerKind)
{
    CReportSheetDlg sheet;
    sheet.SetReportContent(analysis_);
    ASSERT_TRUE(sheet.Fill());
    EXPECT_TRUE(sheet.windowTitle().isEmpty());
    const auto table = tableOf(*sheet.sheet());
    EXPECT_EQ(table,
              gridOf(tessaron::summaryLayout(
                  4, tessaron::pairCountsOf(list(RepeatKind::Direct), list(RepeatKind::Inverted),
                                            list(RepeatKind::Mirror), list(RepeatKind::Complementary)))));
    ASSERT_FALSE(table.empty());
    EXPECT_EQ(table.front().front(), QStringLiteral("Direct repeats:"));
    // The inverted heading follows the direct rows and one empty row; at 4 bp
    // the inverted listing has three pairs (1-16 and 7-16 of ACCG, 8-15 of CCGT).
    const auto heading = std::find_if(table.begin(), table.end(), [](const std::vector<QString>& row) {
        return row.front() == QStringLiteral("Inverted repeats:");
    });
    ASSERT_NE(heading, table.end());
    EXPECT_EQ((heading - 1)->front(), QString());
    ASSERT_NE(heading + 1, table.end());
    EXPECT_EQ((heading + 1)->front(), QStringLiteral("4 bp"));
    EXPECT_EQ((heading + 1)->at(1), QStringLiteral("3"));
}

TEST_F(ReportSheet, ComparisonWinsOverListingOverSummary)
{
    GenomeComparison comparison;
    comparison.minLength = 5;
    comparison.maxLength = 7;
    comparison.rows.push_back({"first.gb", {4, 0, 1}});
    comparison.rows.push_back({"second, with comma.txt", {9, 2, 0}});

    CReportSheetDlg all;
    all.SetReportContent(analysis_);
    all.SetKindContent(snapshot(RepeatKind::Inverted));
    all.SetCompareContent(comparison);
    ASSERT_TRUE(all.Fill());
    EXPECT_EQ(all.windowTitle(), QStringLiteral("Comparison of direct repeats"));
    const std::vector<std::vector<QString>> expected{
        {"", "", "", ""},
        {"", "5 bp", "6 bp", "7 bp"},
        {"first.gb", "4", "0", "1"},
        {"second, with comma.txt", "9", "2", "0"},
    };
    EXPECT_EQ(tableOf(*all.sheet()), expected);
    EXPECT_EQ(
        all.sheet()->csvText(),
        QStringLiteral(",,,\r\n,5 bp,6 bp,7 bp\r\nfirst.gb,4,0,1\r\n\"second, with comma.txt\",9,2,0\r\n"));

    CReportSheetDlg twoOfThem;
    twoOfThem.SetReportContent(analysis_);
    twoOfThem.SetKindContent(snapshot(RepeatKind::Mirror));
    ASSERT_TRUE(twoOfThem.Fill());
    EXPECT_EQ(twoOfThem.windowTitle(), QStringLiteral("Mirror Repeats"));
    EXPECT_EQ(tableOf(*twoOfThem.sheet()),
              gridOf(tessaron::listingLayout(list(RepeatKind::Mirror), RepeatKind::Mirror, *genome_)));
}

TEST_F(ReportSheet, ListingWithoutRepeatsSetsOnlyTheCaption)
{
    auto plain = std::make_shared<Genome>();
    load(*plain, "AAAACCCC", 4, 6);
    CReportSheetDlg sheet;
    sheet.SetKindContent(search(plain, RepeatKind::Complementary));
    ASSERT_TRUE(sheet.Fill());
    EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Complementary Repeats"));
    EXPECT_EQ(sheet.sheet()->usedRows(), 0);
}

TEST_F(ReportSheet, WithoutContentTheWindowClosesAtOnce)
{
    CReportSheetDlg sheet;
    bool opened = false;
    QTimer::singleShot(0, [&opened] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = true;
            modal->close();
        }
    });
    EXPECT_EQ(sheet.exec(), 0);
    EXPECT_FALSE(opened);
    EXPECT_FALSE(sheet.isVisible());
    QApplication::processEvents();  // the timer runs with no window left open
    EXPECT_FALSE(opened);
}

TEST_F(ReportSheet, ShowsModallyWithItsContent)
{
    CReportSheetDlg sheet;
    sheet.SetKindContent(snapshot(RepeatKind::Inverted));
    bool opened = false;
    whenModal<CReportSheetDlg>([&opened](CReportSheetDlg& shown) {
        opened = true;
        EXPECT_EQ(shown.sheet()->cellText(3, 1), QStringLiteral("ACCGT"));
        shown.close();
    });
    sheet.exec();
    EXPECT_TRUE(opened);
}

// ---- the listing made as it scrolls ----

// The listing model against the layout that the report writes cell by cell,
// on the mitochondrion: every cell (read from the bottom up, so that the runs
// of pairs kept are left and taken again), the widths, the caption and the
// CSV that the model streams.
TEST(ListingModel, RowsWidthsAndCsvAreThoseOfTheLayoutOnTheMitochondrion)
{
    tessaron::Session session;
    tessaron::JobResult loaded = session.load(tessaron::GenBankSource{kMitoFile.toStdString()})({});
    ASSERT_TRUE(loaded.state.has_value());
    session.adopt(std::move(*loaded.state));
    for (const RepeatKind kind : tessaron::kKindOrder) {
        SCOPED_TRACE(std::string(tessaron::kindName(kind)));
        const auto& snapshot = session.snapshot(kind);
        const tessaron::SheetLayout layout =
            tessaron::listingLayout(*listOf(*snapshot), kind, session.genome());
        const auto expected = gridOf(layout);

        ListingModel model(snapshot);
        ASSERT_EQ(model.usedRows(), static_cast<int>(expected.size()));
        ASSERT_EQ(model.usedColumns(), static_cast<int>(expected.front().size()));
        std::vector<std::vector<QString>> cells(expected.size());
        for (int row = model.usedRows(); row >= 1; --row) {
            for (int column = 1; column <= model.usedColumns(); ++column) {
                cells[static_cast<std::size_t>(row - 1)].push_back(model.cell(row, column));
            }
        }
        EXPECT_EQ(cells, expected);
        EXPECT_EQ(model.widths(), layout.widths);
        EXPECT_EQ(model.caption(), QString::fromStdString(layout.caption));

        CWebCalc written;
        for (const tessaron::SheetCell& cell : layout.cells) {
            written.WriteCell(cell.row, cell.column, QString::fromStdString(cell.text));
        }
        CWebCalc streamed;
        streamed.showCells(new ListingModel(snapshot));
        EXPECT_EQ(streamed.csvText(), written.csvText());
    }
}

// ---- the main window's commands ----

class SheetCommands : public WindowFixture {
protected:
    std::unique_ptr<CTessaronDlg> openWindow(const QString& file, int minimum, int maximum)
    {
        storeLengths(minimum, maximum);
        auto window = makeWindow();
        window->openFile(file);
        return window;
    }
    QString writeSmallGenome() const { return writeFile(QStringLiteral("small.txt"), kSmallGenome); }
};

TEST_F(SheetCommands, InvertedRepeatsOpensTheListingUnderWait)
{
    const std::unique_ptr<CTessaronDlg> window = openWindow(writeSmallGenome(), 4, 6);
    QAction* action = window->command(CTessaronDlg::IdViewInverted);
    ASSERT_NE(action, nullptr);
    ASSERT_TRUE(action->isEnabled());

    std::vector<QString> statusTexts;
    QObject::connect(statusLineOf(*window), &QLineEdit::textChanged,
                     [&statusTexts](const QString& text) { statusTexts.push_back(text); });
    action->trigger();
    EXPECT_TRUE(readSheet(*window, [&](CReportSheetDlg& sheet) {
        EXPECT_FALSE(sheet.isModal());
        EXPECT_EQ(statusLineOf(*window)->text(), QString());
        // The caption of the kind, then the genome and its search.
        EXPECT_EQ(sheet.windowTitle(), QStringLiteral("Inverted Repeats - small (lengths 4 to 6, trie)"));
        EXPECT_EQ(sheet.sheet()->cellText(2, 1), QStringLiteral("5 bp sequences"));
        EXPECT_EQ(sheet.sheet()->cellText(3, 4), QStringLiteral("ACGGT"));
        EXPECT_EQ(sheet.sheet()->cellText(7, 2), QStringLiteral("7"));
        EXPECT_EQ(sheet.sheet()->cellText(8, 1), QStringLiteral("CCGT"));
    }));
    EXPECT_EQ(statusTexts, (std::vector<QString>{QStringLiteral("Wait..."), QString()}));
}

TEST_F(SheetCommands, EveryKindOpensItsOwnListing)
{
    const std::unique_ptr<CTessaronDlg> window = openWindow(writeSmallGenome(), 4, 6);
    const struct {
        int command;
        RepeatKind kind;
        const char* caption;
    } cases[] = {{CTessaronDlg::IdViewDirect, RepeatKind::Direct, "Direct Repeats"},
                 {CTessaronDlg::IdViewInverted, RepeatKind::Inverted, "Inverted Repeats"},
                 {CTessaronDlg::IdViewMirror, RepeatKind::Mirror, "Mirror Repeats"},
                 {CTessaronDlg::IdViewComplementary, RepeatKind::Complementary, "Complementary Repeats"}};
    for (const auto& [command, kind, caption] : cases) {
        const RepeatSnapshot* listed = window->session().snapshot(kind).get();
        ASSERT_NE(listed, nullptr) << caption;
        const auto expected =
            gridOf(tessaron::listingLayout(*listOf(*listed), kind, window->session().genome()));
        window->command(command)->trigger();
        EXPECT_TRUE(readSheet(*window, [&,
                                        captionText = QString::fromLatin1(caption)](CReportSheetDlg& sheet) {
            EXPECT_EQ(sheet.windowTitle(), captionText + QStringLiteral(" - small (lengths 4 to 6, trie)"));
            EXPECT_EQ(tableOf(*sheet.sheet()), expected) << captionText.toStdString();
        })) << caption;
    }
}

TEST_F(SheetCommands, ViewReportShowsTheSummaryAndSavesItAsCsv)
{
    const std::unique_ptr<CTessaronDlg> window = openWindow(kMitoFile, 8, 30);
    ASSERT_NE(window->session().snapshot(RepeatKind::Complementary).get(), nullptr);
    tessaron::PairCountsByKind counts;
    for (const RepeatKind kind : tessaron::kKindOrder) {
        counts[static_cast<std::size_t>(kind)] = window->session().snapshot(kind).get()->pairCounts();
    }
    const auto expected = gridOf(tessaron::summaryLayout(8, counts));
    const QString csvPath = folder_.filePath(QStringLiteral("summary.csv"));
    prompts_->files.push_back(csvPath);
    QString csv;
    window->command(CTessaronDlg::IdViewReport)->trigger();
    ASSERT_TRUE(readSheet(*window, [&](CReportSheetDlg& sheet) {
        // the genome and its search alone
        EXPECT_EQ(sheet.windowTitle(), QStringLiteral("NC_012920 (lengths 8 to 30, trie)"));
        EXPECT_EQ(tableOf(*sheet.sheet()), expected);
        EXPECT_EQ(sheet.sheet()->cellText(1, 1), QStringLiteral("Direct repeats:"));
        EXPECT_EQ(sheet.sheet()->cellText(2, 1), QStringLiteral("8 bp"));
        csv = sheet.sheet()->csvText();
        sheet.sheet()->saveCsvAction()->trigger();
    }));
    EXPECT_TRUE(prompts_->files.empty());
    EXPECT_EQ(QString::fromUtf8(contentsOf(csvPath)), csv);
    EXPECT_TRUE(csv.startsWith(QStringLiteral("Direct repeats:,\r\n8 bp,")));
}

TEST_F(SheetCommands, AnUnwritableCsvFileIsReportedThroughThePrompts)
{
    const std::unique_ptr<CTessaronDlg> window = openWindow(writeSmallGenome(), 4, 6);
    prompts_->files.push_back(folder_.filePath(QStringLiteral("no/such/folder.csv")));
    window->command(CTessaronDlg::IdViewReport)->trigger();
    ASSERT_TRUE(readSheet(*window, [](CReportSheetDlg& sheet) { sheet.sheet()->saveAsCsv(); }));
    ASSERT_EQ(prompts_->messages.size(), 1U);
    EXPECT_EQ(prompts_->messages.front().icon, Prompts::Icon::Warning);
    EXPECT_TRUE(prompts_->messages.front().text.contains(QStringLiteral("folder.csv")));
}

TEST_F(SheetCommands, SheetsStayBesideTheWindowUntilTheGenomeChanges)
{
    const QString small = writeSmallGenome();
    const std::unique_ptr<CTessaronDlg> window = openWindow(small, 4, 6);
    window->command(CTessaronDlg::IdViewReport)->trigger();
    window->command(CTessaronDlg::IdViewInverted)->trigger();
    ASSERT_EQ(sheetsOf(*window).size(), 2U);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(window->command(CTessaronDlg::IdOpenText)->isEnabled());
    EXPECT_TRUE(sheetsOf(*window).front()->chartAction()->isEnabled());
    EXPECT_FALSE(sheetsOf(*window).back()->chartAction()->isEnabled());  // a listing has no chart

    // Their results are replaced: they close.
    window->openFile(small);
    QApplication::processEvents();
    EXPECT_TRUE(sheetsOf(*window).empty());
}

// The lengths with pairs of each kind, as (length, pairs) texts, from a
// sheet laid out as the summary: a heading per kind, then a row per length.
std::vector<std::vector<std::pair<QString, QString>>> pairsByKind(const CWebCalc& sheet)
{
    std::vector<std::vector<std::pair<QString, QString>>> kinds;
    for (int row = 1; row <= sheet.usedRows(); ++row) {
        const QString first = sheet.cellText(row, 1);
        if (first.endsWith(QLatin1Char(':'))) {
            kinds.emplace_back();
        } else if (!first.isEmpty() && sheet.cellText(row, 2) != QStringLiteral("0")) {
            kinds.back().emplace_back(first, sheet.cellText(row, 2));
        }
    }
    return kinds;
}

TEST_F(SheetCommands, RandomControlsOfTheMitochondrion)
{
    const std::unique_ptr<CTessaronDlg> window = openWindow(kMitoFile, 8, 30);
    window->command(CTessaronDlg::IdViewReport)->trigger();
    ASSERT_EQ(sheetsOf(*window).size(), 1U);
    const auto reported = pairsByKind(*sheetsOf(*window).front()->sheet());

    QAction* command = window->command(CTessaronDlg::IdRandomControls);
    ASSERT_TRUE(command->isEnabled());
    whenModal<CControlsDlg>([](CControlsDlg& dialog) {
        EXPECT_EQ(dialog.choice(), (CControlsDlg::Choice{100, 1}));
        dialog.replicatesField()->setValue(2);
        dialog.accept();
    });
    command->trigger();
    const std::vector<CReportSheetDlg*> sheets = sheetsOf(*window);
    ASSERT_EQ(sheets.size(), 2U);
    CReportSheetDlg& controls = *sheets.back();
    EXPECT_EQ(
        controls.windowTitle(),
        QStringLiteral("Random controls: 2 sequences, seeds 1 to 2 - NC_012920 (lengths 8 to 30, trie)"));
    EXPECT_TRUE(controls.chart()->isVisible());
    EXPECT_EQ(controls.chart()->data().bands.size(), 4U);

    const CWebCalc& sheet = *controls.sheet();
    EXPECT_EQ(pairsByKind(sheet), reported);
    int blank = 0;
    for (int row = 1; row <= sheet.usedRows(); ++row) {
        if (sheet.cellText(row, 2).isEmpty()) {
            continue;
        }
        const bool spread = sheet.cellText(row, 4) != QStringLiteral("0.00");
        EXPECT_EQ(sheet.cellText(row, 5).isEmpty(), !spread) << row;
        blank += spread ? 0 : 1;
    }
    EXPECT_GT(blank, 0);  // the long repeats that no control has

    // The chart is saved through the prompts.
    const QString svg = folder_.filePath(QStringLiteral("controls.svg"));
    prompts_->files.push_back(svg);
    controls.chart()->saveButton()->click();
    EXPECT_TRUE(contentsOf(svg).contains("<svg"));
    EXPECT_TRUE(prompts_->messages.empty());
}

}  // namespace
