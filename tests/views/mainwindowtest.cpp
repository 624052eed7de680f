// The main window driven through its menu commands, with the file choosers
// answered and the messages recorded by the tests, and the modal dialogs
// filled in as a person would.

#include "engine/genome.h"
#include "engine/repeatlist.h"
#include "engine/repeatsnapshot.h"
#include "handsnapshot.h"
#include "input/genbankreader.h"
#include "views/dialogs/finddlg.h"
#include "views/dialogs/optionsdlg.h"
#include "views/dialogs/randomdlg.h"
#include "views/results/repeattreemodel.h"
#include "views/sequence/sequenceview.h"
#include "whenmodal.h"
#include "windowfixture.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QSettings>
#include <QSplitter>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using tessaron::Genome;
using tessaron::Repeat;
using tessaron::RepeatKind;
using tessaron::RepeatList;
using tessaron::RepeatSnapshot;
using tessaron::RepeatWord;
using Highlight = SequenceView::Highlight;

namespace {

const QColor kGreen(0, 208, 0);
const QColor kRed(224, 0, 0);

// The commands whose lists a release takes away.
const int kResultCommands[] = {CTessaronDlg::IdViewReport,        CTessaronDlg::IdViewDirect,
                               CTessaronDlg::IdViewInverted,      CTessaronDlg::IdViewMirror,
                               CTessaronDlg::IdViewComplementary, CTessaronDlg::IdDiagram,
                               CTessaronDlg::IdRandomControls};

QStringList childTexts(const QAbstractItemModel& model, const QModelIndex& parent = QModelIndex())
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(parent); ++row) {
        texts << model.index(row, 0, parent).data().toString();
    }
    return texts;
}

// A menu's items as the user reads them: separators as "-", grayed items marked.
QStringList itemsOf(const QMenu& menu)
{
    QStringList items;
    for (const QAction* action : menu.actions()) {
        items << (action->isSeparator() ? QStringLiteral("-")
                                        : action->text() + (action->isEnabled() ? "" : " (grayed)"));
    }
    return items;
}

class MainWindowTest : public WindowFixture {
protected:
    void findMotif(CTessaronDlg& window, const QString& typed)
    {
        whenModal<CFindDlg>([typed](CFindDlg& dialog) {
            dialog.motifField()->setText(typed);
            dialog.accept();
        });
        trigger(window, CTessaronDlg::IdFindMotif);
    }
    void setOptions(CTessaronDlg& window, int minimum, int maximum)
    {
        whenModal<COptionsDlg>([minimum, maximum](COptionsDlg& dialog) {
            dialog.minimumField()->setText(QString::number(minimum));
            dialog.maximumField()->setText(QString::number(maximum));
            dialog.accept();
        });
        trigger(window, CTessaronDlg::IdOptions);
    }
    void setComplete(CTessaronDlg& window, bool complete)
    {
        whenModal<COptionsDlg>([complete](COptionsDlg& dialog) {
            const auto method = complete ? tessaron::SearchMethod::Complete : tessaron::SearchMethod::Trie;
            dialog.methodBox()->setCurrentIndex(dialog.methodBox()->findData(static_cast<int>(method)));
            dialog.accept();
        });
        trigger(window, CTessaronDlg::IdOptions);
    }
    void createRandom(CTessaronDlg& window, const QStringList& counts)
    {
        whenModal<CRandomDlg>([counts](CRandomDlg& dialog) {
            for (int letter = 0; letter < 4; ++letter) {
                dialog.countField(letter)->setText(counts.at(letter));
            }
            dialog.accept();
        });
        trigger(window, CTessaronDlg::IdCreateRandom);
    }

    static void expectResultCommands(const CTessaronDlg& window, bool enabled)
    {
        for (const int id : kResultCommands) {
            if (id != CTessaronDlg::IdDiagram) {
                EXPECT_EQ(window.command(id)->isEnabled(), enabled) << id;
            }
        }
    }
    // The kinds' items, without the microsatellites' after them.
    static QStringList kindTexts(const CTessaronDlg& window)
    {
        return childTexts(*modelOf(window)).mid(0, modelOf(window)->kindCount());
    }
    static void select(CTessaronDlg& window, const QModelIndex& index)
    {
        ASSERT_TRUE(index.isValid());
        treeOf(window)->setCurrentIndex(index);
    }
    // The first repeat of a kind with at least `pairs` pairs.
    static QModelIndex repeatWithPairs(const CTessaronDlg& window, RepeatKind kind, int pairs)
    {
        const RepeatSnapshot* found = window.session().snapshot(kind).get();
        for (int slot = 0; found != nullptr && slot < found->slotCount(); ++slot) {
            const auto words = found->words(slot);
            for (std::size_t row = 0; row < words.size(); ++row) {
                if (words[row].pairCount >= pairs) {
                    return modelOf(window)->repeatIndex(kind, found->minLength() + slot,
                                                        static_cast<int>(row));
                }
            }
        }
        return {};
    }
};

TEST_F(MainWindowTest, StartsEmptyWithTheCommandsInTheirMenus)
{
    const auto window = makeWindow();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tessaron"));
    EXPECT_EQ(modelOf(*window)->rowCount(), 0);
    EXPECT_FALSE(window->session().loaded());
    EXPECT_TRUE(statusLineOf(*window)->isReadOnly());
    EXPECT_EQ(paneOf(*window)->textLength(), 0);
    EXPECT_TRUE(prompts_->messages.empty());  // nothing to register, nothing to say

    const struct {
        QWidget* control;
        const char* name;
        int id;
    } controls[] = {{treeOf(*window), "tree", CTessaronDlg::IdTree},
                    {statusLineOf(*window), "statusLine", CTessaronDlg::IdStatusLine},
                    {paneOf(*window), "sequencePane", CTessaronDlg::IdSequencePane}};
    for (const auto& control : controls) {
        EXPECT_EQ(control.control->objectName(), QString::fromLatin1(control.name));
        EXPECT_EQ(control.control->property("controlId").toInt(), control.id);
    }

    // Before a load only the commands that need no results are enabled.
    QStringList bar;
    std::vector<QStringList> menus;
    for (const QAction* menu : window->menuBar()->actions()) {
        bar << menu->text();
        menus.push_back(itemsOf(*menu->menu()));
    }
    EXPECT_EQ(bar, (QStringList{"&File", "&Edit", "&View", "&Help"}));
    ASSERT_EQ(menus.size(), 4U);
    EXPECT_EQ(menus[0], (QStringList{"&Open (GenBank format)...", "Open (&Text sequence)...",
                                     "&Export repeats... (grayed)", "Export se&lected repeats... (grayed)",
                                     "Export &HTML report... (grayed)", "Open &Recent", "Com&pare genomes",
                                     "&Create random sequence", "-", "Open se&ssion...", "Save sess&ion...",
                                     "Print selectio&n...", "Export selection as P&DF...", "-", "E&xit"}));
    EXPECT_EQ(menus[1],
              (QStringList{"&Find motif... (grayed)", "&Go to position... (grayed)", "&Next copy (grayed)",
                           "&Previous copy (grayed)", "Find &gene... (grayed)", "Find motif (&IUPAC)...", "-",
                           "Op&tions...", "&Microsatellites...", "Tan&dem repeats... (grayed)",
                           "Appro&ximate search... (grayed)"}));
    EXPECT_EQ(menus[2], (QStringList{"&Diagram (grayed)",
                                     "&Map of the sequence (grayed)",
                                     "-",
                                     "View Re&port (grayed)",
                                     "Compare with random &controls... (grayed)",
                                     "Repeat &summary (grayed)",
                                     "View &Results",
                                     "-",
                                     "&Filter results",
                                     "-",
                                     "Zoom &in",
                                     "Zoom &out",
                                     "&Actual size",
                                     "-",
                                     "Show &annotation (grayed)",
                                     "&Feature table (grayed)",
                                     "&Pairs table (grayed)",
                                     "-",
                                     "Colours for colour &blindness",
                                     "-",
                                     "Approximate &dot plot (grayed)",
                                     "View appro&ximate report (grayed)",
                                     "P&lastome structure (grayed)"}));
    EXPECT_EQ(menus[3], (QStringList{"&How to read the results", "&About Tessaron"}));
    const auto* results = window->findChild<QMenu*>(QStringLiteral("viewResultsMenu"));
    ASSERT_NE(results, nullptr);
    EXPECT_EQ(itemsOf(*results), (QStringList{"Direct repeats (grayed)", "Inverted repeats (grayed)",
                                              "Mirror repeats (grayed)", "Complementary repeats (grayed)"}));
    // Each command has an id of its own: parts of the window that add commands must not reuse one.
    QSet<QString> names;
    for (const QAction* action : window->findChildren<QAction*>()) {
        if (action->objectName().startsWith(QStringLiteral("command"))) {
            EXPECT_FALSE(names.contains(action->objectName())) << action->text().toStdString();
            names.insert(action->objectName());
        }
    }
}

TEST_F(MainWindowTest, SettingsThatCannotBeKeptAreSaidInTheStatusLine)
{
    ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("settings.ini")));
    const auto window = makeWindow();
    EXPECT_TRUE(statusLineOf(*window)->text().contains(settingsFile()))
        << statusLineOf(*window)->text().toStdString();
    EXPECT_TRUE(prompts_->messages.empty());
}

TEST_F(MainWindowTest, LaysOutTheClientAreaAsItIsResized)
{
    const auto window = makeWindow();
    QWidget* client = window->centralWidget();
    client->resize(800, 600);
    const auto placed = [client](const QWidget* control) {
        return QRect(control->mapTo(client, QPoint(0, 0)), control->size());
    };
    EXPECT_EQ(placed(treeOf(*window)), QRect(0, 0, 180, 600));
    EXPECT_EQ(placed(paneOf(*window)), QRect(185, 20, 615, 580));
    EXPECT_EQ(placed(statusLineOf(*window)), QRect(185, 0, 185, 20));

    // The tree keeps its width as the window grows, until the splitter is moved.
    client->resize(1000, 500);
    EXPECT_EQ(placed(treeOf(*window)), QRect(0, 0, 180, 500));
    EXPECT_EQ(placed(paneOf(*window)), QRect(185, 20, 815, 480));
    partOf<QSplitter>(*window, "splitter")->setSizes({300, 695});
    emit partOf<QSplitter>(*window, "splitter")->splitterMoved(300, 1);
    client->resize(1100, 500);
    EXPECT_EQ(treeOf(*window)->width(), 300);
    EXPECT_EQ(placed(statusLineOf(*window)), QRect(305, 0, 185, 20));
}

TEST_F(MainWindowTest, TheNextWindowOpensWhereTheLastOneClosed)
{
    auto window = makeWindow();
    EXPECT_EQ(window->size(), QSize(650, 430));  // a first start
    window->resize(900, 560);
    window->move(40, 30);
    QApplication::processEvents();
    const QRect frame = window->geometry();
    auto* splitter = partOf<QSplitter>(*window, "splitter");
    splitter->setSizes({260, 635});
    emit splitter->splitterMoved(260, 1);
    window->close();
    window.reset();

    const auto next = makeWindow();
    EXPECT_EQ(next->geometry(), frame);
    EXPECT_EQ(treeOf(*next)->width(), 260);
    // The tree keeps that width as the window is resized.
    next->resize(1000, 600);
    QApplication::processEvents();
    EXPECT_EQ(treeOf(*next)->width(), 260);
}

TEST_F(MainWindowTest, TheStatusLineShowsTheWholeMessage)
{
    const auto window = makeWindow();
    window->resize(900, 500);
    open(*window, CTessaronDlg::IdOpenGenBank, kMitoFile);
    whenModal<CFindDlg>([](CFindDlg& dialog) {
        dialog.motifField()->setText(QStringLiteral("CCCC"));
        dialog.bothStrandsBox()->setChecked(true);
        dialog.accept();
    });
    trigger(*window, CTessaronDlg::IdFindMotif);
    QLineEdit* line = statusLineOf(*window);
    const QString text = line->text();
    ASSERT_TRUE(text.endsWith(QStringLiteral(" on the other strand"))) << text.toStdString();
    const int textWidth = line->fontMetrics().horizontalAdvance(text);
    EXPECT_GT(line->width(), textWidth);
    EXPECT_TRUE(line->toolTip().isEmpty());

    // Too narrow a window: the line shows its beginning, the whole in its tip.
    window->resize(185 + textWidth / 2, 500);
    QApplication::processEvents();
    EXPECT_LT(line->width(), textWidth);
    EXPECT_EQ(line->cursorPosition(), 0);
    EXPECT_EQ(line->toolTip(), text);
    // An empty line is the box it was.
    window->ClearStatus();
    EXPECT_EQ(line->size(), QSize(185, 20));
}

TEST_F(MainWindowTest, TheContextMenuBelongsToTheTreeOnly)
{
    const auto window = makeWindow();
    // A right click: only the one inside the tree brings up the menu.
    const auto rightClick = [&](QWidget* widget) {
        QStringList shown;
        QTimer::singleShot(0, [&shown] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                for (const QAction* action : popup->actions()) {
                    shown << QStringLiteral("%1 %2%3")
                                 .arg(action->data().toInt())
                                 .arg(action->text(), action->isEnabled() ? "" : " grayed");
                }
                popup->close();
            }
        });
        const QPoint inside = widget->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, inside, widget->mapToGlobal(inside));
        QApplication::sendEvent(widget, &event);
        QApplication::processEvents();
        return shown;
    };
    EXPECT_EQ(rightClick(treeOf(*window)->viewport()),
              (QStringList{"32788 (disabled) grayed", "0 Copy &positions grayed"}));
    EXPECT_EQ(rightClick(paneOf(*window)->viewport()), QStringList());
    EXPECT_EQ(rightClick(statusLineOf(*window)), QStringList());
}

TEST_F(MainWindowTest, OpensAGenBankFile)
{
    const auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenGenBank, kMitoFile);

    EXPECT_TRUE(prompts_->messages.empty());
    EXPECT_EQ(window->windowTitle(),
              QStringLiteral("NC_012920 [mitochondrion Homo sapiens (human)] - Tessaron"));
    // The N at 3107 is a gap: no word runs over it.
    EXPECT_EQ(kindTexts(*window), (QStringList{"direct repeats (3899)", "inverted repeats (1115)",
                                               "mirror repeats (3646)", "complementary repeats (908)"}));
    // Only the lengths that have pairs; 14 has none.
    const QModelIndex direct = modelOf(*window)->index(0, 0);
    EXPECT_EQ(childTexts(*modelOf(*window), direct),
              (QStringList{"8 bps (2759)", "9 bps (807)", "10 bps (251)", "11 bps (60)", "12 bps (17)",
                           "13 bps (4)", "15 bps (1)"}));
    for (const int id : kResultCommands) {
        EXPECT_TRUE(window->command(id)->isEnabled()) << id;
    }
    EXPECT_TRUE(window->command(CTessaronDlg::IdFindMotif)->isEnabled());
    Genome expected;
    ASSERT_TRUE(tessaron::readGenBank(kMitoFile.toStdString(), expected, 8, 30).has_value());
    EXPECT_EQ(window->session().genome().sequence(), expected.sequence());
    EXPECT_EQ(paneOf(*window)->sequence(), std::string(window->session().genome().sequence()));
    EXPECT_TRUE(statusLineOf(*window)->text().isEmpty());
    ASSERT_TRUE(window->session().features().has_value());
    EXPECT_EQ(window->session().features()->front().name, "sequence");
    EXPECT_TRUE(window->session().loaded());

    QAbstractItemModelTester tester(modelOf(*window), QAbstractItemModelTester::FailureReportingMode::Fatal);
}

TEST_F(MainWindowTest, OpensATextFileAndLeavesNoDiagram)
{
    const auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenGenBank, kMitoFile);
    ASSERT_TRUE(window->command(CTessaronDlg::IdDiagram)->isEnabled());

    const QString file = writeFile(QStringLiteral("reads.part.txt"), "ACGT\nacgt\n");
    open(*window, CTessaronDlg::IdOpenText, file);
    EXPECT_TRUE(prompts_->messages.empty());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("reads.part - Tessaron"));
    EXPECT_EQ(window->session().genome().sequence(), "ACGTACGT");
    EXPECT_EQ(window->session().genome().capacity(), 10);
    EXPECT_EQ(paneOf(*window)->sequence(), "ACGTACGT");
    EXPECT_EQ(kindTexts(*window), (QStringList{"direct repeats (0)", "inverted repeats (0)",
                                               "mirror repeats (0)", "complementary repeats (0)"}));
    EXPECT_FALSE(window->command(CTessaronDlg::IdDiagram)->isEnabled());
    EXPECT_FALSE(window->session().features().has_value());
    expectResultCommands(*window, true);
}

TEST_F(MainWindowTest, CancellingTheFileChooserChangesNothing)
{
    const auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenGenBank, kMitoFile);
    const QString caption = window->windowTitle();
    for (const int command : {CTessaronDlg::IdOpenGenBank, CTessaronDlg::IdOpenText}) {
        open(*window, command, QString());
        EXPECT_EQ(window->windowTitle(), caption);
        EXPECT_EQ(modelOf(*window)->kindCount(), 4);
        expectResultCommands(*window, true);
    }
    EXPECT_TRUE(prompts_->messages.empty());
}

TEST_F(MainWindowTest, OpensAFileByItsContentWhenGivenOrDropped)
{
    const auto window = makeWindow();
    window->openFile(kMitoFile);
    EXPECT_EQ(window->windowTitle(),
              QStringLiteral("NC_012920 [mitochondrion Homo sapiens (human)] - Tessaron"));

    // A name that looks like GenBank does not make a text file one.
    const QString text = writeFile(QStringLiteral("sample.gb"), "\n  ttgaccattgaccattgacca\nlocus x\n");
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(text)});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return window->windowTitle() == QStringLiteral("sample - Tessaron"); }));
    // The letters of "locus x" other than c are gaps in their places.
    EXPECT_EQ(window->session().genome().sequence(), "TTGACCATTGACCATTGACCALOCUSX");
    EXPECT_FALSE(window->command(CTessaronDlg::IdDiagram)->isEnabled());

    QMimeData twoFiles;
    twoFiles.setUrls({QUrl::fromLocalFile(text), QUrl::fromLocalFile(kMitoFile)});
    QDragEnterEvent refused(QPoint(10, 10), Qt::CopyAction, &twoFiles, Qt::LeftButton, Qt::NoModifier);
    refused.ignore();
    QApplication::sendEvent(window.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());
}

TEST_F(MainWindowTest, SelectingARepeatHighlightsBothCopiesOfEveryPair)
{
    const auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenGenBank, kMitoFile);
    SequenceView& pane = *paneOf(*window);
    const std::string_view sequence = window->session().genome().sequence();

    // The one direct repeat of 15 bases: both copies green.
    const QModelIndex direct = modelOf(*window)->repeatIndex(RepeatKind::Direct, 15, 0);
    select(*window, direct);
    const Repeat* repeat = window->session().highlights().selectedRepeat();
    ASSERT_NE(repeat, nullptr);
    ASSERT_EQ(repeat->pairCount, 1);
    ASSERT_EQ(window->session().highlights().selectedPairs().size(), 1U);
    const tessaron::RepeatPair pair = window->session().highlights().selectedPairs().front();
    EXPECT_EQ(pane.highlights(),
              (std::vector<Highlight>{{pair.first, 15, kGreen, true}, {pair.second, 15, kGreen, true}}));
    EXPECT_EQ(pane.caret(), pair.first);
    const std::string word(sequence.substr(static_cast<std::size_t>(pair.first), 15));
    EXPECT_EQ(sequence.substr(static_cast<std::size_t>(pair.second), 15), word);
    EXPECT_EQ(direct.data().toString(), QString::fromStdString(word) + QStringLiteral(" (1)"));
    EXPECT_TRUE(statusLineOf(*window)->text().isEmpty());

    // An inverted repeat with several pairs: first copies green, second copies red.
    const QModelIndex inverted = repeatWithPairs(*window, RepeatKind::Inverted, 2);
    select(*window, inverted);
    repeat = window->session().highlights().selectedRepeat();
    ASSERT_NE(repeat, nullptr);
    EXPECT_EQ(inverted.data(RepeatTreeModel::RepeatRole).value<const RepeatWord*>(),
              modelOf(*window)->repeatAt(inverted));
    EXPECT_EQ(window->session().highlights().selectedPairs().size(),
              static_cast<std::size_t>(repeat->pairCount));
    std::vector<Highlight> expected;
    for (const tessaron::RepeatPair& each : window->session().highlights().selectedPairs()) {
        expected.push_back({each.first, repeat->length, kGreen, true});
        expected.push_back({each.second, repeat->length, kRed, true});
    }
    EXPECT_EQ(pane.highlights(), expected);
    EXPECT_EQ(pane.caret(), expected.front().start);

    // A length item: no highlights, caret back at the start.
    select(*window, inverted.parent());
    EXPECT_EQ(window->session().highlights().selectedRepeat(), nullptr);
    EXPECT_TRUE(pane.highlights().empty());
    EXPECT_EQ(pane.caret(), 0);
    EXPECT_TRUE(statusLineOf(*window)->text().isEmpty());
    EXPECT_EQ(pane.sequence(), std::string(sequence));
}

TEST_F(MainWindowTest, ARejectedFileKeepsTheSequenceAndItsResults)
{
    const auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenGenBank, kMitoFile);
    select(*window, modelOf(*window)->repeatIndex(RepeatKind::Direct, 15, 0));
    const QString caption = window->windowTitle();
    const std::string sequence(window->session().genome().sequence());
    const RepeatSnapshot* direct = window->session().snapshot(RepeatKind::Direct).get();

    const QString notGenBank = writeFile(QStringLiteral("plain.txt"), "header\nACGTACGT\n");
    open(*window, CTessaronDlg::IdOpenGenBank, notGenBank);
    ASSERT_EQ(prompts_->messages.size(), 1U);
    EXPECT_EQ(prompts_->messages[0].caption, QStringLiteral("Error!"));
    EXPECT_TRUE(prompts_->messages[0].text.startsWith(
        QStringLiteral("The file doesn't seem to be in GenBank format!")));

    EXPECT_EQ(window->session().genome().sequence(), sequence);
    EXPECT_NE(window->session().suffixIndex(), nullptr);
    EXPECT_EQ(paneOf(*window)->sequence(), sequence);
    EXPECT_EQ(window->windowTitle(), caption);
    EXPECT_TRUE(statusLineOf(*window)->text().isEmpty());
    // The results, the selection and the features are those of the file before.
    EXPECT_EQ(window->session().snapshot(RepeatKind::Direct).get(), direct);
    EXPECT_EQ(modelOf(*window)->kindCount(), 4);
    EXPECT_NE(window->session().highlights().selectedRepeat(), nullptr);
    EXPECT_TRUE(window->session().features().has_value());
    for (const int id : kResultCommands) {
        EXPECT_TRUE(window->command(id)->isEnabled()) << id;
    }
    EXPECT_TRUE(window->command(CTessaronDlg::IdFindMotif)->isEnabled());
}

TEST_F(MainWindowTest, ABadFileIsRefusedWithItsNameAndCauseBeneathTheHeadline)
{
    QFile mito(kMitoFile);
    ASSERT_TRUE(mito.open(QIODevice::ReadOnly));
    const QByteArray record = mito.readAll();
    // Cut inside ORIGIN, without "//".
    const QByteArray cut = record.left(record.indexOf("ORIGIN") + 3000);
    const struct {
        const char* name;
        QByteArray bytes;
        const char* cause;  // through the GenBank command, and through the text command
        const char* causeAsText;
    } files[] = {
        {"image.bin", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10", 20) + QByteArray(400, '\0'),
         "no line begins with LOCUS", "binary"},
        {"empty.gb", QByteArray(), "empty", "empty"},
        {"cut.gb", cut, "cut short", "cut short"},
    };
    const auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenGenBank, kMitoFile);
    const std::string sequence(window->session().genome().sequence());
    const RepeatSnapshot* direct = window->session().snapshot(RepeatKind::Direct).get();
    const int branches = modelOf(*window)->rowCount();
    for (const auto& file : files) {
        const QString path = writeFile(QString::fromLatin1(file.name), file.bytes);
        for (const int command : {CTessaronDlg::IdOpenGenBank, CTessaronDlg::IdOpenText}) {
            prompts_->messages.clear();
            open(*window, command, path);
            ASSERT_EQ(prompts_->messages.size(), 1U) << file.name << " " << command;
            const QString text = prompts_->messages[0].text;
            if (command == CTessaronDlg::IdOpenGenBank) {
                EXPECT_TRUE(
                    text.startsWith(QStringLiteral("The file doesn't seem to be in GenBank format!\n")))
                    << text.toStdString();
            }
            EXPECT_TRUE(text.contains(path)) << text.toStdString();
            EXPECT_TRUE(text.contains(
                QString::fromLatin1(command == CTessaronDlg::IdOpenText ? file.causeAsText : file.cause)))
                << text.toStdString();
            EXPECT_EQ(window->session().genome().sequence(), sequence);
            EXPECT_EQ(window->session().snapshot(RepeatKind::Direct).get(), direct);
            EXPECT_EQ(paneOf(*window)->sequence(), sequence);
            EXPECT_EQ(modelOf(*window)->rowCount(), branches);
        }
    }
}

TEST_F(MainWindowTest, AnUnreadableTextFileIsReportedAndKeepsTheSequence)
{
    const auto window = makeWindow();
    const QString first = writeFile(QStringLiteral("first.txt"), "GATTACAGGGGACATTAG");
    open(*window, CTessaronDlg::IdOpenText, first);
    ASSERT_EQ(window->session().genome().sequence(), "GATTACAGGGGACATTAG");

    const QString missing = folder_.filePath(QStringLiteral("missing.txt"));
    open(*window, CTessaronDlg::IdOpenText, missing);
    ASSERT_EQ(prompts_->messages.size(), 1U);
    EXPECT_EQ(prompts_->messages[0].caption, QStringLiteral("Tessaron"));
    EXPECT_TRUE(prompts_->messages[0].text.contains(QStringLiteral("missing.txt")))
        << prompts_->messages[0].text.toStdString();
    EXPECT_EQ(window->session().genome().sequence(), "GATTACAGGGGACATTAG");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("first - Tessaron"));
    EXPECT_EQ(modelOf(*window)->kindCount(), 4);
    expectResultCommands(*window, true);
}

TEST_F(MainWindowTest, FindMotifHighlightsEveryOccurrenceAndRemembersTheMotif)
{
    storeLengths(4, 6);
    const auto window = makeWindow();
    ASSERT_EQ(window->session().minimum(), 4);
    ASSERT_EQ(window->session().maximum(), 6);
    open(*window, CTessaronDlg::IdOpenText, writeFile(QStringLiteral("gattaca.txt"), "GATTACAGGGGACATTAG"));

    findMotif(*window, QStringLiteral("gg"));
    EXPECT_TRUE(prompts_->messages.empty());
    EXPECT_EQ(statusLineOf(*window)->text(), QStringLiteral("found 4 occurrences"));
    // In the index's order; the one across the end in both its parts.
    EXPECT_EQ(paneOf(*window)->highlights(), (std::vector<Highlight>{{17, 1, kGreen, true},
                                                                     {0, 1, kGreen, true},
                                                                     {9, 2, kGreen, true},
                                                                     {8, 2, kGreen, true},
                                                                     {7, 2, kGreen, true}}));
    EXPECT_EQ(paneOf(*window)->caret(), 1);
    EXPECT_EQ(stored(QStringLiteral("Tessaron/dados/findstr")).toString(), QStringLiteral("GG"));

    // Found only across the end: not found. The motif is stored all the same.
    findMotif(*window, QStringLiteral("CATTAGG"));
    ASSERT_EQ(prompts_->messages.size(), 1U);
    EXPECT_EQ(prompts_->messages[0].caption, QStringLiteral("Tessaron"));
    EXPECT_EQ(prompts_->messages[0].text, QStringLiteral("Motif not found in the sequence!"));
    EXPECT_TRUE(paneOf(*window)->highlights().empty());
    EXPECT_TRUE(statusLineOf(*window)->text().isEmpty());
    EXPECT_EQ(stored(QStringLiteral("Tessaron/dados/findstr")).toString(), QStringLiteral("CATTAGG"));

    // An empty motif is accepted and forgotten, but not stored; nothing else happens.
    findMotif(*window, QString());
    EXPECT_EQ(stored(QStringLiteral("Tessaron/dados/findstr")).toString(), QStringLiteral("CATTAGG"));
    EXPECT_EQ(prompts_->messages.size(), 1U);

    // The next search starts empty; its cancel changes nothing.
    whenModal<CFindDlg>([](CFindDlg& dialog) {
        EXPECT_TRUE(dialog.motifField()->text().isEmpty());
        dialog.motifField()->setText(QStringLiteral("GG"));
        dialog.accept();
    });
    trigger(*window, CTessaronDlg::IdFindMotif);
    whenModal<CFindDlg>([](CFindDlg& dialog) {
        EXPECT_EQ(dialog.motifField()->text(), QStringLiteral("GG"));  // starts from the last motif
        dialog.motifField()->setText(QStringLiteral("ACG"));
        dialog.reject();
    });
    trigger(*window, CTessaronDlg::IdFindMotif);
    EXPECT_EQ(statusLineOf(*window)->text(), QStringLiteral("found 4 occurrences"));
}

TEST_F(MainWindowTest, FindMotifDoesNothingBeforeASequenceIsLoaded)
{
    const auto window = makeWindow();
    // Triggered directly (the menu item is grayed): no dialog may open.
    window->OnFindMotif();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(prompts_->messages.empty());
}

TEST_F(MainWindowTest, CreatesARandomSequenceOfTheChosenComposition)
{
    const auto window = makeWindow();
    whenModal<CRandomDlg>([](CRandomDlg& dialog) {
        for (int letter = 0; letter < 4; ++letter) {
            EXPECT_EQ(dialog.countField(letter)->text(), QStringLiteral("0"));  // nothing loaded yet
        }
        dialog.reject();
    });
    trigger(*window, CTessaronDlg::IdCreateRandom);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tessaron"));
    EXPECT_FALSE(window->session().loaded());

    createRandom(*window, {"10", "20", "30", "40"});
    EXPECT_TRUE(prompts_->messages.empty());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Random [100 bp; A: 10, T: 20, C: 30, G: 40]"));
    EXPECT_EQ(window->session().genome().length(), 100);
    const char letters[] = {'A', 'T', 'C', 'G'};
    const int counts[] = {10, 20, 30, 40};
    for (int letter = 0; letter < 4; ++letter) {
        EXPECT_EQ(window->session().suffixIndex()->baseCount(letters[letter]), counts[letter]);
    }
    EXPECT_EQ(paneOf(*window)->textLength(), 100);
    EXPECT_EQ(modelOf(*window)->kindCount(), 4);
    expectResultCommands(*window, true);
    EXPECT_FALSE(window->command(CTessaronDlg::IdDiagram)->isEnabled());
    EXPECT_TRUE(statusLineOf(*window)->text().isEmpty());

    // The dialog proposes the loaded composition.
    whenModal<CRandomDlg>([](CRandomDlg& dialog) {
        EXPECT_EQ(dialog.countField(0)->text(), QStringLiteral("10"));
        EXPECT_EQ(dialog.countField(1)->text(), QStringLiteral("20"));
        EXPECT_EQ(dialog.countField(2)->text(), QStringLiteral("30"));
        EXPECT_EQ(dialog.countField(3)->text(), QStringLiteral("40"));
        EXPECT_EQ(dialog.totalField()->text(), QStringLiteral("100 bp"));
        dialog.reject();
    });
    trigger(*window, CTessaronDlg::IdCreateRandom);
    EXPECT_EQ(modelOf(*window)->kindCount(), 4);
}

TEST_F(MainWindowTest, ATotalThatCannotBeMadeIsReportedAndKeepsTheSequence)
{
    const auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenText, writeFile(QStringLiteral("first.txt"), "GATTACAGGGGACATTAG"));

    createRandom(*window, {"4294967295", "1", "0", "0"});
    ASSERT_EQ(prompts_->messages.size(), 1U);
    EXPECT_EQ(prompts_->messages[0].caption, QStringLiteral("Tessaron"));
    EXPECT_TRUE(prompts_->messages[0].text.contains(QStringLiteral("4294967296")))
        << prompts_->messages[0].text.toStdString();
    EXPECT_EQ(window->session().genome().sequence(), "GATTACAGGGGACATTAG");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("first - Tessaron"));
    EXPECT_TRUE(statusLineOf(*window)->text().isEmpty());
    EXPECT_EQ(modelOf(*window)->kindCount(), 4);  // the results of the sequence kept
    expectResultCommands(*window, true);
}

TEST_F(MainWindowTest, OptionsAreStoredAndAppliedBeforeAnyLoad)
{
    const auto window = makeWindow();
    setOptions(*window, 20, 10);  // a minimum above the maximum is lowered to it
    EXPECT_EQ(window->session().minimum(), 10);
    EXPECT_EQ(window->session().maximum(), 10);
    EXPECT_EQ(stored(QStringLiteral("Tessaron/dados/min")).toInt(), 10);
    EXPECT_EQ(stored(QStringLiteral("Tessaron/dados/max")).toInt(), 10);
    EXPECT_EQ(window->session().genome().minLength(), 10);
    EXPECT_EQ(window->session().genome().lengthBound(), 11);
    EXPECT_EQ(modelOf(*window)->rowCount(), 0);  // nothing to search
    expectResultCommands(*window, false);

    // The next window starts from them.
    const auto later = makeWindow();
    EXPECT_EQ(later->session().minimum(), 10);
    EXPECT_EQ(later->session().maximum(), 10);
}

TEST_F(MainWindowTest, OptionsRerunTheAnalysisOfTheLoadedSequence)
{
    const auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenGenBank, kMitoFile);
    const QString caption = window->windowTitle();

    setOptions(*window, 12, 14);
    EXPECT_EQ(stored(QStringLiteral("Tessaron/dados/min")).toInt(), 12);
    EXPECT_EQ(stored(QStringLiteral("Tessaron/dados/max")).toInt(), 14);
    ASSERT_NE(window->session().snapshot(RepeatKind::Direct).get(), nullptr);
    EXPECT_EQ(window->session().snapshot(RepeatKind::Direct).get()->minLength(), 12);
    EXPECT_EQ(childTexts(*modelOf(*window), modelOf(*window)->index(0, 0)),
              (QStringList{"12 bps (17)", "13 bps (4)", "14 bps (1)"}));
    EXPECT_TRUE(statusLineOf(*window)->text().isEmpty());  // the analysis has ended
    EXPECT_EQ(window->windowTitle(), caption);
    expectResultCommands(*window, true);
    EXPECT_TRUE(window->command(CTessaronDlg::IdDiagram)->isEnabled());

    // Cancel leaves everything as it was.
    whenModal<COptionsDlg>([](COptionsDlg& dialog) {
        EXPECT_EQ(dialog.minimumField()->text(), QStringLiteral("12"));
        EXPECT_EQ(dialog.maximumField()->text(), QStringLiteral("14"));
        dialog.minimumField()->setText(QStringLiteral("5"));
        dialog.reject();
    });
    trigger(*window, CTessaronDlg::IdOptions);
    EXPECT_EQ(window->session().minimum(), 12);
    EXPECT_EQ(window->session().snapshot(RepeatKind::Direct).get()->minLength(), 12);
}

TEST_F(MainWindowTest, TheCompleteSearchShowsTheChloroplastInvertedRepeatWhole)
{
    const auto window = makeWindow();
    EXPECT_EQ(window->session().method(), tessaron::SearchMethod::Trie);  // off on a first run
    setComplete(*window, true);
    EXPECT_EQ(stored(QStringLiteral("Tessaron/dados/method")).toString(), QStringLiteral("complete"));
    open(*window, CTessaronDlg::IdOpenGenBank, kTestData + QStringLiteral("/NC_000932.gb"));
    RepeatTreeModel& model = *modelOf(*window);
    EXPECT_TRUE(childTexts(model, model.index(1, 0)).contains(QStringLiteral("26264 bps (1)")));

    // Both copies of its one pair highlighted whole: the first green, the second red.
    const QModelIndex whole = model.repeatIndex(RepeatKind::Inverted, 26264, 0);
    select(*window, whole);
    ASSERT_NE(window->session().highlights().selectedRepeat(), nullptr);
    ASSERT_EQ(window->session().highlights().selectedPairs().size(), 1U);
    const tessaron::RepeatPair pair = window->session().highlights().selectedPairs().front();
    EXPECT_EQ(paneOf(*window)->highlights(),
              (std::vector<Highlight>{{pair.first, 26264, kGreen, true}, {pair.second, 26264, kRed, true}}));
    // The tree shows so long a word by its beginning.
    EXPECT_EQ(whole.data().toString(),
              QString::fromStdString(window->session().genome().word(pair.first, 40)) +
                  QStringLiteral("\u2026 (1)"));

    // The next window starts with it, and the dialog shows it chosen.
    const auto later = makeWindow();
    EXPECT_EQ(later->session().method(), tessaron::SearchMethod::Complete);
    whenModal<COptionsDlg>([](COptionsDlg& dialog) {
        EXPECT_EQ(dialog.methodBox()->currentData().toInt(),
                  static_cast<int>(tessaron::SearchMethod::Complete));
        dialog.reject();
    });
    trigger(*later, CTessaronDlg::IdOptions);

    // Turned off, the index's search is back: its inverted branch stops far below.
    setComplete(*window, false);
    EXPECT_EQ(stored(QStringLiteral("Tessaron/dados/method")).toString(), QStringLiteral("trie"));
    EXPECT_FALSE(childTexts(model, model.index(1, 0)).contains(QStringLiteral("26264 bps (1)")));
    EXPECT_EQ(window->session().snapshot(RepeatKind::Inverted).get()->slotCount(), 23);
}

TEST_F(MainWindowTest, TheCompleteSearchsListingShowsThePositionsBesideALongWord)
{
    // A 200-letter word twice in a random sequence: under the greatest
    // maximum, so written whole.
    std::uint32_t state = 777;
    QByteArray bases;
    for (int i = 0; i < 1400; ++i) {
        state = state * 1103515245U + 12345U;
        bases += "ACGT"[(state >> 16) & 3U];
    }
    bases.insert(900, bases.mid(100, 200));
    const auto window = makeWindow();
    setComplete(*window, true);
    open(*window, CTessaronDlg::IdOpenText, writeFile(QStringLiteral("long.txt"), bases));
    trigger(*window, CTessaronDlg::IdViewDirect);
    ASSERT_FALSE(sheetsOf(*window).empty());
    CReportSheetDlg* listing = sheetsOf(*window).back();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(listing));
    const CWebCalc& sheet = *listing->sheet();
    ASSERT_EQ(sheet.cellText(2, 1), QStringLiteral("200 bp sequences"));
    ASSERT_EQ(sheet.cellText(3, 1), QString::fromLatin1(bases.mid(100, 200)));
    // Its positions are in view beside it; the word is cut short in its cell, whole in its tip.
    EXPECT_EQ(sheet.cellText(3, 2), QStringLiteral("101"));
    EXPECT_LE(sheet.columnViewportPosition(2) + sheet.columnWidth(2), sheet.viewport()->width());
    const QPoint word = sheet.visualRect(sheet.model()->index(2, 0)).center();
    QHelpEvent help(QEvent::ToolTip, word, sheet.viewport()->mapToGlobal(word));
    QApplication::sendEvent(sheet.viewport(), &help);
    EXPECT_EQ(QToolTip::text(), sheet.cellText(3, 1));
}

TEST_F(MainWindowTest, ACompleteSearchRefusedForTooManyPairsKeepsTheResultsOnScreen)
{
    std::uint32_t state = 4242;
    QByteArray bases;
    for (int i = 0; i < 3000; ++i) {
        state = state * 1103515245U + 12345U;
        bases += "ACGT"[(state >> 16) & 3U];
    }
    const auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenText, writeFile(QStringLiteral("many.txt"), bases));
    waitForJob(*window);
    const auto shown = window->session().snapshot(RepeatKind::Direct);
    ASSERT_NE(shown, nullptr);
    const QStringList kinds = kindTexts(*window);
    ASSERT_FALSE(kinds.isEmpty());

    // A limit far below what the complete search finds: refused with its
    // reason, and the word search's results stay in the tree and the session.
    window->session().setPairLimit(50);
    setComplete(*window, true);
    waitForJob(*window);
    QCoreApplication::processEvents();
    ASSERT_EQ(prompts_->messages.size(), 1U);
    EXPECT_TRUE(prompts_->messages[0].text.contains(QStringLiteral("more repeats than can be kept")))
        << prompts_->messages[0].text.toStdString();
    EXPECT_EQ(window->session().snapshot(RepeatKind::Direct), shown);
    EXPECT_TRUE(window->session().analysed());
    EXPECT_EQ(kindTexts(*window), kinds);
    expectResultCommands(*window, true);
}

// A sequence whose words come back read backwards more often than repeated:
// blocks of a word, a gap, the word reversed and another gap.
QByteArray mirrorRichSequence()
{
    std::uint32_t state = 12345;
    const auto letter = [&state] {
        state = state * 1103515245U + 12345U;
        return "ATCG"[(state >> 16) & 3U];
    };
    QByteArray sequence;
    for (int block = 0; block < 200; ++block) {
        QByteArray word;
        for (int i = 0; i < 8; ++i) {
            word += letter();
        }
        sequence += word;
        for (int i = 0; i < 5; ++i) {
            sequence += letter();
        }
        std::reverse(word.begin(), word.end());
        sequence += word;
        for (int i = 0; i < 5; ++i) {
            sequence += letter();
        }
    }
    return sequence;
}

// A search that runs out of memory from the given kind on.
tessaron::Session::Searcher failingFrom(RepeatKind failing)
{
    return [failing](const tessaron::PreparedSearch& search, RepeatKind kind,
                     const tessaron::SearchControl& control) {
        if (kind == failing) {
            return tessaron::SnapshotResult{tessaron::SearchFailure::OutOfMemory};
        }
        return search.run(kind, tessaron::SnapshotDetail::Words, control);
    };
}

TEST_F(MainWindowTest, RunningOutOfMemoryStopsTheAnalysisWithAMessage)
{
    storeLengths(8, 8);
    const auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenText, writeFile(QStringLiteral("mirror.txt"), mirrorRichSequence()));
    ASSERT_EQ(modelOf(*window)->kindCount(), 4);
    const std::int64_t direct = window->session().snapshot(RepeatKind::Direct).get()->total();
    const std::int64_t inverted = window->session().snapshot(RepeatKind::Inverted).get()->total();

    // The mirror search is the first to run out.
    window->session().setSearcher(failingFrom(RepeatKind::Mirror));
    setOptions(*window, 8, 8);
    ASSERT_EQ(prompts_->messages.size(), 1U);
    EXPECT_EQ(prompts_->messages[0].caption, QStringLiteral("Tessaron"));
    EXPECT_EQ(prompts_->messages[0].text, QStringLiteral("Looks like we're out of memory..."));
    EXPECT_TRUE(statusLineOf(*window)->text().isEmpty());
    EXPECT_EQ(kindTexts(*window), (QStringList{QStringLiteral("direct repeats (%1)").arg(direct),
                                               QStringLiteral("inverted repeats (%1)").arg(inverted)}));
    EXPECT_EQ(window->session().snapshot(RepeatKind::Mirror).get(), nullptr);
    EXPECT_EQ(window->session().snapshot(RepeatKind::Complementary).get(), nullptr);
    expectResultCommands(*window, false);
    // The branches found still work.
    select(*window, repeatWithPairs(*window, RepeatKind::Inverted, 1));
    EXPECT_NE(window->session().highlights().selectedRepeat(), nullptr);
    EXPECT_FALSE(paneOf(*window)->highlights().empty());

    // Nothing at all is found now, yet the new sequence shows.
    window->session().setSearcher(failingFrom(RepeatKind::Direct));
    open(*window, CTessaronDlg::IdOpenText, writeFile(QStringLiteral("again.txt"), mirrorRichSequence()));
    ASSERT_EQ(prompts_->messages.size(), 2U);
    EXPECT_EQ(prompts_->messages[1].text, QStringLiteral("Looks like we're out of memory..."));
    EXPECT_EQ(modelOf(*window)->rowCount(), 0);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("again - Tessaron"));
    EXPECT_EQ(paneOf(*window)->textLength(), window->session().genome().length());
    expectResultCommands(*window, false);
}

// A search that holds its job until the job is asked to stop.
tessaron::Session::Searcher searchUntilStopped(std::atomic<bool>& begun)
{
    return [&begun](const tessaron::PreparedSearch&, RepeatKind, const tessaron::SearchControl& control) {
        begun = true;
        while (!control.stopRequested()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return tessaron::SnapshotResult{tessaron::SearchFailure::Cancelled};
    };
}

TEST_F(MainWindowTest, AJobGraysTheConflictingCommandsAndACancelLeavesEverythingAsItWas)
{
    const auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenGenBank, kMitoFile);
    select(*window, modelOf(*window)->repeatIndex(RepeatKind::Direct, 15, 0));
    const auto genome = window->session().sharedGenome();
    const RepeatSnapshot* direct = window->session().snapshot(RepeatKind::Direct).get();
    const QString caption = window->windowTitle();

    std::atomic<bool> begun{false};
    window->session().setSearcher(searchUntilStopped(begun));
    jobsOf(*window)->setInlineJobs(false);
    const struct {
        const char* how;
        std::function<void()> cancel;
    } cancels[] = {
        {"Cancel button",
         [&] { QTest::mouseClick(partOf<QPushButton>(*window, "cancelButton"), Qt::LeftButton); }},
        {"Esc", [&] { QTest::keyClick(window.get(), Qt::Key_Escape); }},
    };
    for (const auto& each : cancels) {
        SCOPED_TRACE(each.how);
        begun = false;
        open(*window, CTessaronDlg::IdOpenText, writeFile(QStringLiteral("other.txt"), "ACGTTGCAACGTAACC"));
        ASSERT_TRUE(jobsOf(*window)->busy());
        for (const int id :
             {CTessaronDlg::IdOpenGenBank, CTessaronDlg::IdOpenText, CTessaronDlg::IdCompareGenomes,
              CTessaronDlg::IdCreateRandom, CTessaronDlg::IdOptions, CTessaronDlg::IdViewReport,
              CTessaronDlg::IdViewDirect, CTessaronDlg::IdViewInverted, CTessaronDlg::IdViewMirror,
              CTessaronDlg::IdViewComplementary}) {
            EXPECT_FALSE(window->command(id)->isEnabled()) << id;
        }
        EXPECT_TRUE(window->command(CTessaronDlg::IdExit)->isEnabled());
        EXPECT_TRUE(partOf<QProgressBar>(*window, "progressBar")->isVisible());
        EXPECT_TRUE(partOf<QPushButton>(*window, "cancelButton")->isVisible());

        // The window goes on meanwhile: timers fire, the status line tells
        // the search, and the previous results can still be browsed.
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
        timer.start(10);
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return begun && statusLineOf(*window)->text() == QStringLiteral("Getting \"direct repeats\"...");
        }));
        QTest::qWait(100);
        EXPECT_GE(ticks, 5);
        select(*window, repeatWithPairs(*window, RepeatKind::Inverted, 2));
        EXPECT_GE(paneOf(*window)->highlights().size(), 4U);

        each.cancel();
        waitForJob(*window);
        EXPECT_EQ(window->session().sharedGenome(), genome);
        EXPECT_EQ(window->session().snapshot(RepeatKind::Direct).get(), direct);
        EXPECT_EQ(window->windowTitle(), caption);
        EXPECT_EQ(modelOf(*window)->kindCount(), 4);
        EXPECT_TRUE(window->session().features().has_value());
        EXPECT_TRUE(statusLineOf(*window)->text().isEmpty());
        EXPECT_FALSE(partOf<QProgressBar>(*window, "progressBar")->isVisible());
        EXPECT_FALSE(partOf<QPushButton>(*window, "cancelButton")->isVisible());
        for (const int id : {CTessaronDlg::IdOpenGenBank, CTessaronDlg::IdOptions, CTessaronDlg::IdViewReport,
                             CTessaronDlg::IdViewDirect, CTessaronDlg::IdDiagram}) {
            EXPECT_TRUE(window->command(id)->isEnabled()) << id;
        }
    }
    EXPECT_TRUE(prompts_->messages.empty());
}

TEST_F(MainWindowTest, TheWindowKeepsTickingWhileALargeRandomGenomeIsAnalysed)
{
    const auto window = makeWindow();
    jobsOf(*window)->setInlineJobs(false);
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 longestGap = 0;
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longestGap = std::max(longestGap, now - last);
        last = now;
        ++ticks;
    });
    createRandom(*window, {"100000", "100000", "100000", "100000"});
    clock.start();
    timer.start(10);
    ASSERT_TRUE(jobsOf(*window)->busy());
    waitForJob(*window);
    timer.stop();
    const qint64 took = clock.elapsed();
    EXPECT_EQ(window->session().genome().length(), 400000);
    EXPECT_EQ(modelOf(*window)->kindCount(), 4);
    expectResultCommands(*window, true);
    std::cout << "[ timing   ] analysing 400 kb of random bases: " << took << " ms, " << ticks
              << " timer ticks, longest gap " << longestGap << " ms\n";
    EXPECT_GE(ticks, 3);
    EXPECT_LT(longestGap, 250);
}

TEST_F(MainWindowTest, ExitClosesTheWindow)
{
    const auto window = makeWindow();
    ASSERT_TRUE(window->isVisible());
    trigger(*window, CTessaronDlg::IdExit);
    EXPECT_FALSE(window->isVisible());
}

// The tree model on results made by hand.
class RepeatTreeModelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto genome = std::make_shared<Genome>();
        ASSERT_TRUE(genome->allocate(16, 4, 6));
        genome->appendText("ACGTACGTTTGGCCAA");
        genome->setLengthBounds(4, 6);
        genome_ = genome;
    }

    std::shared_ptr<const Genome> genome_;
};

TEST_F(RepeatTreeModelTest, ShowsKindsLengthsWithPairsAndWords)
{
    auto direct = std::make_shared<RepeatList>(4, 3);
    direct->beginRepeat();
    direct->addPair(0, 4);
    direct->addPair(0, 8);
    direct->endRepeat(4, false);
    direct->beginRepeat();
    direct->addPair(13, 2);  // the first copy runs over the end: the word stops there
    direct->endRepeat(6, false);
    auto inverted = std::make_shared<RepeatList>(4, 3);  // no pairs at all

    RepeatTreeModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.appendKind(snapshotOf(genome_, RepeatKind::Direct, direct));
    model.appendKind(snapshotOf(genome_, RepeatKind::Inverted, inverted));

    EXPECT_EQ(childTexts(model), (QStringList{"direct repeats (3)", "inverted repeats (0)"}));
    const QModelIndex directItem = model.index(0, 0);
    EXPECT_EQ(childTexts(model, directItem), (QStringList{"4 bps (2)", "6 bps (1)"}));  // 5 has no pairs
    EXPECT_EQ(childTexts(model, model.index(0, 0, directItem)), QStringList{"ACGT (2)"});
    EXPECT_EQ(childTexts(model, model.index(1, 0, directItem)), QStringList{"CAA (1)"});
    EXPECT_EQ(model.rowCount(model.index(1, 0)), 0);

    // A word item: its repeat, and its pairs made when asked for.
    const QModelIndex word = model.repeatIndex(RepeatKind::Direct, 6, 0);
    ASSERT_TRUE(word.isValid());
    ASSERT_NE(model.repeatAt(word), nullptr);
    EXPECT_EQ(model.repeatAt(word)->first, 13);
    EXPECT_EQ(word.data(RepeatTreeModel::RepeatRole).value<const RepeatWord*>(), model.repeatAt(word));
    EXPECT_EQ(model.slotAt(word), 2);
    const std::optional<Repeat> repeat = model.describedRepeatAt(word);
    ASSERT_TRUE(repeat.has_value());
    EXPECT_EQ(repeat->length, 6);
    EXPECT_EQ(repeat->pairCount, 1);
    EXPECT_FALSE(repeat->transformed);
    EXPECT_EQ(model.pairsAt(word), (std::vector<tessaron::RepeatPair>{{13, 2}}));
    EXPECT_EQ(model.pairsAt(model.repeatIndex(RepeatKind::Direct, 4, 0)),
              (std::vector<tessaron::RepeatPair>{{0, 4}, {0, 8}}));
    EXPECT_EQ(model.snapshotAt(word)->kind(), RepeatKind::Direct);
    EXPECT_EQ(model.parent(word), model.lengthIndex(RepeatKind::Direct, 6));
    EXPECT_EQ(model.parent(model.parent(word)), directItem);
    for (const QModelIndex& noRepeat :
         {directItem, model.lengthIndex(RepeatKind::Direct, 4), QModelIndex()}) {
        EXPECT_EQ(model.repeatAt(noRepeat), nullptr);
        EXPECT_FALSE(model.describedRepeatAt(noRepeat).has_value());
        EXPECT_TRUE(model.pairsAt(noRepeat).empty());
        EXPECT_FALSE(noRepeat.data(RepeatTreeModel::RepeatRole).isValid());
    }
    EXPECT_FALSE(model.lengthIndex(RepeatKind::Direct, 5).isValid());
    EXPECT_FALSE(model.repeatIndex(RepeatKind::Direct, 4, 1).isValid());
    EXPECT_FALSE(model.lengthIndex(RepeatKind::Mirror, 4).isValid());  // not added

    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.kindCount(), 0);
}

}  // namespace
