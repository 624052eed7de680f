// The "Compare genomes" dialog driven through its buttons, and the main
// window's command that opens it, with the file chooser answered and the
// messages recorded by the tests.

#include "compare/genomecomparison.h"
#include "engine/genome.h"
#include "engine/repeatlist.h"
#include "input/genbankreader.h"
#include "report/reportlayout.h"
#include "testprompts.h"
#include "views/dialogs/comparedlg.h"
#include "views/results/repeattreemodel.h"
#include "views/sequence/sequenceview.h"
#include "views/sheets/reportsheetdlg.h"
#include "views/sheets/sheetview.h"
#include "windowfixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

using tessaron::GenomeComparison;
using tessaron::RepeatKind;

namespace {

const QString kNoFiles = QString::fromUtf8("Não há ficheiros para comparar!");
const QString kBadFile = QString::fromUtf8("Erro num ficheiro!!!");

const int kResultCommands[] = {CTessaronDlg::IdViewReport,        CTessaronDlg::IdViewDirect,
                               CTessaronDlg::IdViewInverted,      CTessaronDlg::IdViewMirror,
                               CTessaronDlg::IdViewComplementary, CTessaronDlg::IdDiagram};

// A GenBank record of one source feature over `bases`, 60 to a line.
QByteArray genBankRecord(const std::string& bases)
{
    QByteArray text = "LOCUS       SMALL " + QByteArray::number(static_cast<qsizetype>(bases.size())) +
                      " bp    DNA     circular\n";
    text += "DEFINITION  A small test record.\n";
    text += "SOURCE      test organism\n";
    text += "FEATURES             Location/Qualifiers\n";
    text += "     source          1.." + QByteArray::number(static_cast<qsizetype>(bases.size())) + "\n";
    text += "ORIGIN\n";
    for (std::size_t start = 0; start < bases.size(); start += 60) {
        text += QByteArray::number(static_cast<qsizetype>(start + 1)).rightJustified(9) + " ";
        text += QByteArray::fromStdString(bases.substr(start, 60)).toLower() + "\n";
    }
    text += "//\n";
    return text;
}

// A sequence with a word, its complement and its reverse in it, so that
// every kind has repeats of a different longest length.
const std::string kFirstBases =
    "AGGCTTACGATCCGTAAGCTTGGACTTAGCAACGTTGCAAGGTCCATGATTACGGCATCGAATTCCGGA"
    "GATTACAGATTACACTAATGTCTAATGTAACATTAGACATTAGAGGCTTACGATCCGTAAGCTTGGA";
const std::string kSecondBases =
    "TTGACCAGTTGACCAGAAACCCGGGTTTAAACCCGGGTTTTTGGCCAAGTCAAGTCGGTTCAGTTCAG"
    "CATGCATGCATGGTACGTACGTACCGTAGCTAGCTAGCTTACGATCGATCGATTGCAAGCTT";

struct CompareDlgTest : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    QString writeFile(const QString& name, const QByteArray& bytes) const
    {
        const QString path = folder.filePath(name);
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return path;
    }

    // The counts of one file as the engine finds them, for comparison.
    static std::vector<std::int64_t> engineCounts(const QString& path, RepeatKind kind, int minimum,
                                                  int maximum)
    {
        auto genome = std::make_shared<tessaron::Genome>();
        EXPECT_TRUE(tessaron::readGenBank(path.toStdString(), *genome, minimum, maximum));
        const auto index =
            std::get<std::shared_ptr<const tessaron::SuffixIndex>>(tessaron::buildIndex(genome));
        const auto list = kind == RepeatKind::Direct ? index->findDirectRepeats() : index->findRepeats(kind);
        std::vector<std::int64_t> counts;
        for (int slot = 0; slot < list->slotCount(); ++slot) {
            counts.push_back(list->pairCount(slot));
        }
        return counts;
    }

    // Adds files through the button, the chooser answering with `paths`.
    static void addFiles(CCompareDlg& dialog, ScopedTestPrompts& prompts, const QStringList& paths)
    {
        prompts->fileLists.push_back(paths);
        QTest::mouseClick(dialog.addButton(), Qt::LeftButton);
    }

    static QStringList listed(const CCompareDlg& dialog)
    {
        QStringList lines;
        for (int row = 0; row < dialog.fileList()->count(); ++row) {
            lines << dialog.fileList()->item(row)->text();
        }
        return lines;
    }

    // The dialog with its runs inside the button that starts them.
    struct InlineDialog : CCompareDlg {
        explicit InlineDialog(int minimum = 8, int maximum = 30)
            : CCompareDlg(minimum, maximum, Prompts::current())
        {
            setInlineJobs(true);
        }
    };

    QTemporaryDir folder;
    ScopedTestPrompts prompts;
};

TEST_F(CompareDlgTest, TextsKindsAndSizes)
{
    InlineDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Compare genomes"));
    QStringList labels;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        labels << label->text();
    }
    EXPECT_TRUE(labels.contains(QStringLiteral("Files:")));
    EXPECT_TRUE(labels.contains(QStringLiteral("Compare what:")));

    const std::pair<QPushButton*, const char*> buttons[] = {{dialog.addButton(), "&Add file..."},
                                                            {dialog.removeButton(), "&Remove file"},
                                                            {dialog.cancelButton(), "&Cancel"},
                                                            {dialog.okButton(), "OK"}};
    const int ids[] = {1064, 1065, 2, 1};
    for (std::size_t b = 0; b < std::size(buttons); ++b) {
        EXPECT_EQ(buttons[b].first->text(), QString::fromLatin1(buttons[b].second));
        EXPECT_EQ(buttons[b].first->property("controlId").toInt(), ids[b]);
    }

    const QComboBox* kinds = dialog.kindList();
    EXPECT_FALSE(kinds->isEditable());
    ASSERT_EQ(kinds->count(), 4);
    EXPECT_EQ(kinds->itemText(0), QStringLiteral("Direct repeats"));
    EXPECT_EQ(kinds->itemText(1), QStringLiteral("Inverted repeats"));
    EXPECT_EQ(kinds->itemText(2), QStringLiteral("Complementary repeats"));
    EXPECT_EQ(kinds->itemText(3), QStringLiteral("Mirror repeats"));
    EXPECT_EQ(kinds->currentIndex(), 0);

    EXPECT_TRUE(dialog.sizeText()->isReadOnly());
    EXPECT_EQ(dialog.sizeText()->text(), QStringLiteral("min. size: 8bp; max. size: 30bp"));
    EXPECT_EQ(CCompareDlg(3, 256, Prompts::current()).sizeText()->text(),
              QStringLiteral("min. size: 3bp; max. size: 256bp"));
    EXPECT_EQ(dialog.fileList()->count(), 0);
}

TEST_F(CompareDlgTest, AddAppendsInOrderAndRemoveTakesTheSelectedLine)
{
    InlineDialog dialog;
    addFiles(dialog, prompts, {QStringLiteral("/data/b.gb"), QStringLiteral("/data/a.gb")});
    addFiles(dialog, prompts, {QStringLiteral("/data/b.gb")});
    // A cancelled chooser adds nothing.
    addFiles(dialog, prompts, {});
    EXPECT_EQ(listed(dialog), (QStringList{"/data/b.gb", "/data/a.gb", "/data/b.gb"}));

    // Nothing selected: nothing removed.
    dialog.fileList()->clearSelection();
    QTest::mouseClick(dialog.removeButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.fileList()->count(), 3);

    dialog.fileList()->setCurrentRow(1);
    QTest::mouseClick(dialog.removeButton(), Qt::LeftButton);
    EXPECT_EQ(listed(dialog), (QStringList{"/data/b.gb", "/data/b.gb"}));
    EXPECT_TRUE(prompts->messages.empty());
}

TEST_F(CompareDlgTest, OkWithoutFilesSaysSoAndStaysOpen)
{
    InlineDialog dialog;
    bool shown = false;
    dialog.setSheetViewer([&shown](const GenomeComparison&) { shown = true; });
    dialog.show();
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    ASSERT_EQ(prompts->messages.size(), 1U);
    EXPECT_EQ(prompts->messages[0].text, kNoFiles);
    EXPECT_EQ(prompts->messages[0].caption, QStringLiteral("Tessaron"));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(shown);
}

TEST_F(CompareDlgTest, NoKindChosenSaysSoReadsNothingAndStaysOpen)
{
    InlineDialog dialog;
    bool shown = false;
    dialog.setSheetViewer([&shown](const GenomeComparison&) { shown = true; });
    addFiles(dialog, prompts, {kMitoFile});
    dialog.kindList()->setCurrentIndex(-1);
    dialog.show();
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    ASSERT_EQ(prompts->messages.size(), 1U);
    EXPECT_EQ(prompts->messages[0].text,
              QStringLiteral("There is an error with the type of repeat to compare!"));
    EXPECT_EQ(prompts->messages[0].caption, QStringLiteral("Tessaron"));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(shown);
    EXPECT_EQ(dialog.progressBar()->value(), 0);
}

TEST_F(CompareDlgTest, AFailedFileKeepsTheDialogOpenWithItsList)
{
    const QString good = writeFile(QStringLiteral("first.gb"), genBankRecord(kFirstBases));
    const QString absent = folder.filePath(QStringLiteral("absent.gb"));
    InlineDialog dialog;
    int shown = 0;
    dialog.setSheetViewer([&shown](const GenomeComparison&) { ++shown; });
    addFiles(dialog, prompts, {good, absent});
    dialog.show();
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    ASSERT_EQ(prompts->messages.size(), 1U);
    // The message first, then the file and the reason.
    const QStringList lines = prompts->messages[0].text.split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], kBadFile);
    EXPECT_EQ(lines[2], absent);
    EXPECT_TRUE(lines[3].contains(QStringLiteral("No such file or directory"))) << lines[3].toStdString();
    EXPECT_EQ(prompts->messages[0].caption, QStringLiteral("Tessaron"));
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(listed(dialog), (QStringList{good, absent}));
    EXPECT_EQ(shown, 0);
    for (const QPushButton* button : {dialog.addButton(), dialog.removeButton(), dialog.okButton()}) {
        EXPECT_TRUE(button->isEnabled());
    }

    // Without the missing file the same dialog runs to its table.
    dialog.fileList()->setCurrentRow(1);
    QTest::mouseClick(dialog.removeButton(), Qt::LeftButton);
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

// Each list entry compares its own kind: the rows match the engine's counts
// for that kind, for every file in list order.
class CompareDlgKind : public CompareDlgTest,
                       public ::testing::WithParamInterface<std::pair<int, RepeatKind>> {};

TEST_P(CompareDlgKind, TwoFilesGiveTheEngineCountsOfTheChosenKind)
{
    const auto [item, kind] = GetParam();
    const QString first = writeFile(QStringLiteral("first.gb"), genBankRecord(kFirstBases));
    const QString second = writeFile(QStringLiteral("second.gb"), genBankRecord(kSecondBases));
    InlineDialog dialog(5, 12);
    std::optional<GenomeComparison> shown;
    dialog.setSheetViewer([&shown](const GenomeComparison& comparison) { shown = comparison; });
    addFiles(dialog, prompts, {first, second});
    dialog.kindList()->setCurrentIndex(item);
    dialog.show();
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);

    EXPECT_TRUE(prompts->messages.empty());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_TRUE(shown.has_value());
    ASSERT_EQ(shown->rowCount(), 2);
    EXPECT_EQ(shown->rows[0].fileTitle, "first");
    EXPECT_EQ(shown->rows[1].fileTitle, "second");
    EXPECT_EQ(shown->minLength, 5);
    int longest = 5;
    for (int row = 0; row < 2; ++row) {
        const auto expected = engineCounts(row == 0 ? first : second, kind, 5, 12);
        EXPECT_EQ(shown->rows[static_cast<std::size_t>(row)].counts, expected) << "row " << row;
        for (std::size_t slot = 0; slot < expected.size(); ++slot) {
            if (expected[slot] != 0) {
                longest = std::max(longest, 5 + static_cast<int>(slot));
            }
        }
    }
    EXPECT_EQ(shown->maxLength, longest);
    // The records tell the kinds apart, so a swapped entry would show.
    for (const RepeatKind other :
         {RepeatKind::Direct, RepeatKind::Inverted, RepeatKind::Mirror, RepeatKind::Complementary}) {
        if (other != kind) {
            EXPECT_NE(shown->rows[0].counts, engineCounts(first, other, 5, 12)) << static_cast<int>(other);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ListEntries, CompareDlgKind,
                         ::testing::Values(std::pair{0, RepeatKind::Direct},
                                           std::pair{1, RepeatKind::Inverted},
                                           std::pair{2, RepeatKind::Complementary},
                                           std::pair{3, RepeatKind::Mirror}));

TEST_F(CompareDlgTest, ProgressRunsToThirtyInStepsOfTenForThreeFiles)
{
    const QString first = writeFile(QStringLiteral("first.gb"), genBankRecord(kFirstBases));
    InlineDialog dialog;
    std::optional<GenomeComparison> shown;
    int maximumWhenShown = -1;
    dialog.setSheetViewer([&](const GenomeComparison& comparison) {
        shown = comparison;
        maximumWhenShown = dialog.progressBar()->maximum();
    });
    std::vector<int> values;
    QObject::connect(dialog.progressBar(), &QProgressBar::valueChanged,
                     [&values](int value) { values.push_back(value); });
    addFiles(dialog, prompts, {first, kMitoFile, first});
    dialog.show();
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);

    EXPECT_EQ(maximumWhenShown, 30);
    EXPECT_EQ(dialog.progressBar()->minimum(), 0);
    EXPECT_EQ(values, (std::vector<int>{10, 20, 30}));
    ASSERT_TRUE(shown.has_value());
    ASSERT_EQ(shown->rowCount(), 3);
    // The same file twice gives equal rows; every row has 30 - 8 + 1 counts.
    EXPECT_EQ(shown->rows[0].counts, shown->rows[2].counts);
    for (const auto& row : shown->rows) {
        EXPECT_EQ(row.lengthCount(), 23);
    }
    EXPECT_EQ(shown->rows[1].fileTitle, "NC_012920");
}

TEST_F(CompareDlgTest, CancelReadsNothing)
{
    InlineDialog dialog;
    bool shown = false;
    dialog.setSheetViewer([&shown](const GenomeComparison&) { shown = true; });
    addFiles(dialog, prompts, {kMitoFile});
    dialog.show();
    QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(shown);
    EXPECT_TRUE(prompts->messages.empty());
}

// The command from the main window.
class CompareCommandTest : public WindowFixture {
protected:
    static constexpr auto engineCounts = &CompareDlgTest::engineCounts;

    // A window with the mitochondrial genome loaded and analysed.
    static std::unique_ptr<CTessaronDlg> loadedWindow()
    {
        auto window = makeWindow();
        window->openGenBankFile(kMitoFile);
        EXPECT_TRUE(window->command(CTessaronDlg::IdViewReport)->isEnabled());
        return window;
    }
    void addFiles(CCompareDlg& dialog, const QStringList& paths)
    {
        CompareDlgTest::addFiles(dialog, prompts_, paths);
    }

    // Triggers the command and runs `drive` on the dialog once it is open;
    // `drive` must end it. Returns what the dialog saw of the window.
    struct Seen {
        bool opened = false;
        int treeRows = -1;
        int paneLength = -1;
        QString status = QStringLiteral("unset");
        QString caption;
        QString sizeText;
    };
    static Seen compareThrough(CTessaronDlg& window, const std::function<void(CCompareDlg&)>& drive)
    {
        Seen seen;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<CCompareDlg*>(QApplication::activeModalWidget());
            if (dialog == nullptr) {
                ADD_FAILURE() << "the comparison dialog is not open";
                return;
            }
            seen.opened = true;
            seen.treeRows = modelOf(window)->kindCount();
            seen.paneLength = paneOf(window)->textLength();
            seen.status = statusLineOf(window)->text();
            seen.caption = window.windowTitle();
            seen.sizeText = dialog->sizeText()->text();
            const QPointer<CCompareDlg> open(dialog);
            drive(*dialog);
            if (open && open->isVisible()) {
                ADD_FAILURE() << "the comparison dialog was left open";
                open->reject();
            }
        });
        window.command(CTessaronDlg::IdCompareGenomes)->trigger();
        return seen;
    }

    // What the window shows of its genome and results, to see that a
    // comparison leaves it alone.
    struct Shown {
        int treeRows = 0;
        int paneLength = 0;
        QString caption;
        int genomeLength = 0;
        std::vector<bool> commands;
        bool operator==(const Shown&) const = default;
    };
    static Shown shownBy(const CTessaronDlg& window)
    {
        Shown shown{modelOf(window)->kindCount(),
                    paneOf(window)->textLength(),
                    window.windowTitle(),
                    window.session().genome().length(),
                    {}};
        for (const int id : kResultCommands) {
            shown.commands.push_back(window.command(id)->isEnabled());
        }
        shown.commands.push_back(window.command(CTessaronDlg::IdFindMotif)->isEnabled());
        return shown;
    }
};

TEST_F(CompareCommandTest, CancelLeavesTheWindowAsItWas)
{
    auto window = loadedWindow();
    // A word selected, so that its highlights must stay too.
    const QModelIndex kind = modelOf(*window)->index(1, 0);
    const QModelIndex word = modelOf(*window)->index(0, 0, modelOf(*window)->index(0, 0, kind));
    treeOf(*window)->setCurrentIndex(word);
    ASSERT_NE(window->session().highlights().selectedRepeat(), nullptr);
    const tessaron::Repeat selected = *window->session().highlights().selectedRepeat();
    const Shown before = shownBy(*window);
    const Seen seen = compareThrough(*window, [&](CCompareDlg& dialog) {
        addFiles(dialog, {writeFile(QStringLiteral("first.gb"), genBankRecord(kFirstBases))});
        QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    });
    ASSERT_TRUE(seen.opened);
    EXPECT_EQ(seen.treeRows, 4);
    EXPECT_EQ(seen.paneLength, before.paneLength);
    EXPECT_EQ(seen.sizeText, QStringLiteral("min. size: 8bp; max. size: 30bp"));
    EXPECT_EQ(shownBy(*window), before);
    ASSERT_NE(window->session().highlights().selectedRepeat(), nullptr);
    EXPECT_EQ(window->session().highlights().selectedRepeat()->length, selected.length);
    EXPECT_EQ(treeOf(*window)->currentIndex(), word);
}

TEST_F(CompareCommandTest, AComparisonShowsItsTableAndLeavesTheWindowAsItWas)
{
    auto window = loadedWindow();
    std::optional<GenomeComparison> shown;
    window->setComparisonViewer([&shown](const GenomeComparison& comparison) { shown = comparison; });
    const QString first = writeFile(QStringLiteral("first.gb"), genBankRecord(kFirstBases));
    const QString second = writeFile(QStringLiteral("second.gb"), genBankRecord(kSecondBases));
    const Shown before = shownBy(*window);
    const Seen seen = compareThrough(*window, [&](CCompareDlg& dialog) {
        addFiles(dialog, {first, second});
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    });
    ASSERT_TRUE(seen.opened);
    EXPECT_TRUE(prompts_->messages.empty());
    ASSERT_TRUE(shown.has_value());
    ASSERT_EQ(shown->rowCount(), 2);
    EXPECT_EQ(shown->rows[0].counts, engineCounts(first, RepeatKind::Direct, 8, 30));
    EXPECT_EQ(shown->rows[1].counts, engineCounts(second, RepeatKind::Direct, 8, 30));
    EXPECT_EQ(shownBy(*window), before);
}

TEST_F(CompareCommandTest, TheReportSheetShowsOneRowPerFileAndOneColumnPerLength)
{
    auto window = loadedWindow();
    const QString first = writeFile(QStringLiteral("first.gb"), genBankRecord(kFirstBases));
    const auto counts = engineCounts(first, RepeatKind::Inverted, 8, 30);
    int longest = 8;
    for (std::size_t slot = 0; slot < counts.size(); ++slot) {
        longest = counts[slot] != 0 ? 8 + static_cast<int>(slot) : longest;
    }

    const Shown before = shownBy(*window);
    const Seen seen = compareThrough(*window, [&](CCompareDlg& dialog) {
        addFiles(dialog, {first, first});
        dialog.kindList()->setCurrentIndex(1);
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        EXPECT_FALSE(dialog.isVisible());
    });
    ASSERT_TRUE(seen.opened);
    // The sheet stays open beside the window, which is usable again.
    const std::vector<CReportSheetDlg*> sheets = sheetsOf(*window);
    ASSERT_EQ(sheets.size(), 1U);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(sheets.front()->windowTitle(), QStringLiteral("Comparison of inverted repeats"));
    std::vector<std::vector<QString>> table;
    const CWebCalc& cells = *sheets.front()->sheet();
    for (int row = 1; row <= cells.usedRows(); ++row) {
        std::vector<QString>& line = table.emplace_back();
        for (int column = 1; column <= cells.usedColumns(); ++column) {
            line.push_back(cells.cellText(row, column));
        }
    }
    EXPECT_TRUE(prompts_->messages.empty());
    ASSERT_EQ(table.size(), 4U);
    const auto columns = static_cast<std::size_t>(longest - 8 + 2);
    ASSERT_EQ(table[1].size(), columns);
    EXPECT_EQ(table[1][1], QStringLiteral("8 bp"));
    EXPECT_EQ(table[1].back(), QStringLiteral("%1 bp").arg(longest));
    for (std::size_t row = 2; row < 4; ++row) {
        EXPECT_EQ(table[row][0], QStringLiteral("first"));
        for (std::size_t column = 1; column < columns; ++column) {
            EXPECT_EQ(table[row][column], QString::number(counts[column - 1])) << row << "," << column;
        }
    }
    EXPECT_EQ(shownBy(*window), before);
    // A later load keeps the comparison's sheet, which does not show the genome.
    window->openGenBankFile(kMitoFile);
    EXPECT_EQ(sheetsOf(*window).size(), 1U);
}

TEST_F(CompareCommandTest, AFailedFileLeavesTheWindowAsItWasWithoutATable)
{
    auto window = loadedWindow();
    bool shown = false;
    window->setComparisonViewer([&shown](const GenomeComparison&) { shown = true; });
    const Shown before = shownBy(*window);
    bool stayedOpen = false;
    const Seen seen = compareThrough(*window, [&](CCompareDlg& dialog) {
        addFiles(dialog, {folder_.filePath(QStringLiteral("absent.gb"))});
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
        stayedOpen = dialog.isVisible() && dialog.fileList()->count() == 1;
        QTest::mouseClick(dialog.cancelButton(), Qt::LeftButton);
    });
    ASSERT_TRUE(seen.opened);
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(prompts_->messages.size(), 1U);
    EXPECT_TRUE(prompts_->messages[0].text.startsWith(kBadFile));
    EXPECT_FALSE(shown);
    EXPECT_EQ(shownBy(*window), before);
}

#ifdef TESSARON_CLI_PATH
// The desktop's table, with the complete search, is the command line's.
TEST_F(CompareCommandTest, TheRowsAreThoseOfTheCommandLine)
{
    auto window = loadedWindow();
    window->session().setMethod(tessaron::SearchMethod::Complete);
    std::optional<GenomeComparison> shown;
    window->setComparisonViewer([&shown](const GenomeComparison& comparison) { shown = comparison; });
    const QString chloroplast = QStringLiteral(TESSARON_TEST_DATA "/NC_000932.gb");
    const QString first = writeFile(QStringLiteral("first.gb"), genBankRecord(kFirstBases));
    const QStringList files{kMitoFile, chloroplast, first};
    (void)compareThrough(*window, [&](CCompareDlg& dialog) {
        addFiles(dialog, files);
        dialog.kindList()->setCurrentIndex(1);
        QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    });
    ASSERT_TRUE(shown.has_value());
    EXPECT_TRUE(prompts_->messages.empty());
    ASSERT_EQ(shown->rowCount(), 3);
    EXPECT_GE(shown->rows[1].longer, 1);  // the chloroplast's long inverted repeat

    QProcess cli;
    cli.start(
        QStringLiteral(TESSARON_CLI_PATH),
        QStringList{"--compare", "--kind", "inverted", "--complete", "--min", "8", "--max", "30"} + files);
    ASSERT_TRUE(cli.waitForFinished(300000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    std::vector<std::vector<std::string>> printed;
    QStringList lines = QString::fromUtf8(cli.readAllStandardOutput()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.back().isEmpty()) {
        lines.removeLast();  // after the last line's end
    }
    for (const QString& line : lines) {
        auto& row = printed.emplace_back();
        for (const QString& cell : line.split(QLatin1Char('\t'))) {
            row.push_back(cell.toStdString());
        }
    }
    const auto expected = tessaron::comparisonLayout(*shown).grid();
    EXPECT_EQ(printed, expected);
}
#endif

}  // namespace
