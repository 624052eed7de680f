// The main window as a biologist finds the way in it: copies across the
// origin, stepping through copies, going to a position, the tree's filter,
// the recent files, the status bar, the choosers' file types and Help.

#include "views/base/menucommand.h"
#include "views/dialogs/finddlg.h"
#include "views/dialogs/helpdlg.h"
#include "views/results/repeattreemodel.h"
#include "views/sequence/sequenceview.h"
#include "views/shell/recentfilesmenu.h"
#include "whenmodal.h"
#include "windowfixture.h"

#include "engine/repeatsnapshot.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using tessaron::RepeatKind;
using tessaron::RepeatPair;

namespace {

const QColor kGreen(0, 208, 0);
const QColor kRed(224, 0, 0);

class WindowTest : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        window_ = makeWindow();
        window_->resize(900, 600);
    }
    void TearDown() override { window_.reset(); }

    void trigger(int id) const { WindowFixture::trigger(*window_, id); }
    void open(int command, const QString& file) { WindowFixture::open(*window_, command, file); }
    [[nodiscard]] SequenceView& pane() const { return *paneOf(*window_); }
    [[nodiscard]] bool inView(int position) const
    {
        const int row = pane().rowOf(position);
        return row >= pane().firstVisibleRow() && row < pane().firstVisibleRow() + pane().visibleRowCount();
    }
    // The first word item of `kind` (of `length`, or of any length for 0)
    // whose pairs pass `test`.
    template <typename Test>
    QModelIndex findWord(RepeatKind kind, int length, Test test) const
    {
        const RepeatTreeModel& model = *modelOf(*window_);
        for (int each = length == 0 ? 3 : length; each <= (length == 0 ? 256 : length); ++each) {
            const QModelIndex lengthItem = model.lengthIndex(kind, each);
            for (int row = 0; lengthItem.isValid() && row < model.rowCount(lengthItem); ++row) {
                const QModelIndex item = model.index(row, 0, lengthItem);
                if (test(model.pairsAt(item))) {
                    return item;
                }
            }
        }
        return {};
    }
    // The genome's letters that are not bases.
    [[nodiscard]] int gaps() const
    {
        const std::string& text = pane().sequence();
        return static_cast<int>(std::count_if(text.begin(), text.end(), [](char letter) {
            return letter != 'A' && letter != 'C' && letter != 'G' && letter != 'T';
        }));
    }

    std::unique_ptr<CTessaronDlg> window_;
};

TEST_F(WindowTest, ACopyAcrossTheOriginIsHighlightedInBothParts)
{
    open(CTessaronDlg::IdOpenGenBank, kMitoFile);
    const int length = pane().textLength();
    // The mirror ACACTAGG: its second copy is the last base and the first seven.
    const QModelIndex mirror = findWord(
        RepeatKind::Mirror, 8,
        [length](const std::vector<RepeatPair>& pairs) { return pairs.front().second == length - 1; });
    ASSERT_TRUE(mirror.isValid());
    EXPECT_TRUE(mirror.data().toString().startsWith(QStringLiteral("ACACTAGG")));
    treeOf(*window_)->setCurrentIndex(mirror);

    EXPECT_EQ(pane().colorAt(length - 1), kRed);
    for (int position = 0; position < 7; ++position) {
        EXPECT_EQ(pane().colorAt(position), kRed) << position;
    }
    EXPECT_NE(pane().colorAt(7), kRed);
    EXPECT_EQ(pane().colorAt(window_->session().highlights().selectedPairs().front().first), kGreen);
}

TEST_F(WindowTest, NextAndPreviousCopyBringEachCopyIntoView)
{
    open(CTessaronDlg::IdOpenGenBank, kMitoFile);
    // An inverted repeat with one pair whose copies lie far apart.
    const QModelIndex inverted = findWord(RepeatKind::Inverted, 0, [](const std::vector<RepeatPair>& pairs) {
        return pairs.size() == 1 && pairs.front().second - pairs.front().first > 10000;
    });
    ASSERT_TRUE(inverted.isValid());
    treeOf(*window_)->setCurrentIndex(inverted);
    const RepeatPair pair = window_->session().highlights().selectedPairs().front();
    ASSERT_EQ(window_->session().highlights().starts(), (std::vector<int>{pair.first, pair.second}));
    ASSERT_TRUE(inView(pair.first));
    ASSERT_FALSE(inView(pair.second));

    trigger(CTessaronDlg::IdNextCopy);  // the red copy
    EXPECT_EQ(pane().caret(), pair.second);
    EXPECT_TRUE(inView(pair.second));
    EXPECT_EQ(pane().colorAt(pair.second), kRed);
    trigger(CTessaronDlg::IdNextCopy);  // round the circle to the first
    EXPECT_EQ(pane().caret(), pair.first);
    EXPECT_TRUE(inView(pair.first));
    trigger(CTessaronDlg::IdPreviousCopy);
    EXPECT_EQ(pane().caret(), pair.second);

    // A length item, or a new analysis: nothing to step through.
    treeOf(*window_)->setCurrentIndex(inverted.parent());
    EXPECT_FALSE(window_->command(CTessaronDlg::IdNextCopy)->isEnabled());
    treeOf(*window_)->setCurrentIndex(inverted);
    open(CTessaronDlg::IdOpenGenBank, kMitoFile);
    EXPECT_TRUE(window_->session().highlights().starts().empty());
    EXPECT_FALSE(window_->command(CTessaronDlg::IdNextCopy)->isEnabled());
}

TEST_F(WindowTest, ClickingTheSelectedWordAgainShowsItsFirstCopy)
{
    open(CTessaronDlg::IdOpenGenBank, kMitoFile);
    const QModelIndex far = findWord(RepeatKind::Direct, 10, [](const std::vector<RepeatPair>& pairs) {
        return pairs.front().first > 10000;
    });
    ASSERT_TRUE(far.isValid());
    QTreeView& tree = *treeOf(*window_);
    tree.expand(far.parent().parent());
    tree.expand(far.parent());
    tree.scrollTo(far);
    tree.setCurrentIndex(far);
    const int first = window_->session().highlights().selectedPairs().front().first;
    ASSERT_TRUE(inView(first));

    pane().verticalScrollBar()->setValue(0);
    ASSERT_FALSE(inView(first));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualRect(far).center());
    EXPECT_EQ(tree.currentIndex(), far);
    EXPECT_TRUE(inView(first));
    EXPECT_EQ(pane().caret(), first);
}

TEST_F(WindowTest, GoToPositionPutsTheCaretThere)
{
    EXPECT_FALSE(window_->command(CTessaronDlg::IdGoToPosition)->isEnabled());
    open(CTessaronDlg::IdOpenGenBank, kMitoFile);
    ASSERT_TRUE(window_->command(CTessaronDlg::IdGoToPosition)->isEnabled());

    prompts_->numbers = {12000, std::nullopt};
    trigger(CTessaronDlg::IdGoToPosition);
    EXPECT_EQ(prompts_->numberRanges.front(), std::make_pair(1, pane().textLength()));
    EXPECT_EQ(pane().caret(), 11999);
    EXPECT_TRUE(inView(11999));
    trigger(CTessaronDlg::IdGoToPosition);  // cancelled
    EXPECT_EQ(pane().caret(), 11999);
    EXPECT_EQ(partOf<QLabel>(*window_, "selectionLabel")->text(), QStringLiteral("Caret 12000"));
}

TEST_F(WindowTest, TheFilterBoxHidesWhatDoesNotMatch)
{
    open(CTessaronDlg::IdOpenGenBank, kMitoFile);
    const RepeatTreeModel& model = *modelOf(*window_);
    const QModelIndex direct = model.index(0, 0);
    const int lengths = model.rowCount(direct);
    ASSERT_FALSE(partOf<QWidget>(*window_, "filterBox")->isVisible());
    window_->command(CTessaronDlg::IdShowFilter)->setChecked(true);
    ASSERT_TRUE(partOf<QWidget>(*window_, "filterBox")->isVisible());

    partOf<QSpinBox>(*window_, "filterMinLength")->setValue(13);
    partOf<QSpinBox>(*window_, "filterMaxLength")->setValue(15);
    QStringList shown;
    for (int row = 0; row < model.rowCount(model.index(0, 0)); ++row) {
        shown << model.index(row, 0, model.index(0, 0)).data().toString();
    }
    EXPECT_EQ(shown, (QStringList{"13 bps (4)", "15 bps (1)"}));
    EXPECT_EQ(model.kindCount(), 4);  // the kinds stay

    partOf<QSpinBox>(*window_, "filterMinLength")->setValue(0);
    partOf<QSpinBox>(*window_, "filterMaxLength")->setValue(0);
    partOf<QSpinBox>(*window_, "filterMinPairs")->setValue(3);
    partOf<QLineEdit>(*window_, "filterWord")->setText(QStringLiteral("ccc"));
    int words = 0;
    for (int kind = 0; kind < model.kindCount(); ++kind) {
        const QModelIndex kindItem = model.index(kind, 0);
        for (int length = 0; length < model.rowCount(kindItem); ++length) {
            const QModelIndex lengthItem = model.index(length, 0, kindItem);
            ASSERT_GT(model.rowCount(lengthItem), 0);  // lengths without a match are hidden
            for (int row = 0; row < model.rowCount(lengthItem); ++row) {
                const QModelIndex item = model.index(row, 0, lengthItem);
                EXPECT_TRUE(item.data().toString().section(u' ', 0, 0).contains(QStringLiteral("CCC")));
                EXPECT_GE(model.repeatAt(item)->pairCount, 3);
                ++words;
            }
        }
    }
    EXPECT_GT(words, 0);

    // Hiding the box shows everything again.
    window_->command(CTessaronDlg::IdShowFilter)->setChecked(false);
    EXPECT_EQ(model.rowCount(model.index(0, 0)), lengths);
}

TEST_F(WindowTest, TheFilterCountsWhatItShowsAndEmptiesAndResets)
{
    open(CTessaronDlg::IdOpenGenBank, kMitoFile);
    const RepeatTreeModel& model = *modelOf(*window_);
    const auto texts = [&model](const QModelIndex& parent) {
        QStringList shown;
        for (int row = 0; row < model.rowCount(parent); ++row) {
            shown << model.index(row, 0, parent).data().toString();
        }
        return shown;
    };
    const auto count = [](const QModelIndex& item) {
        const QString text = item.data().toString();
        return text.mid(text.lastIndexOf(u'(') + 1).chopped(1).toLongLong();
    };
    const QStringList unfiltered = texts({});
    window_->command(CTessaronDlg::IdShowFilter)->setChecked(true);
    auto* word = partOf<QLineEdit>(*window_, "filterWord");
    word->setText(QStringLiteral("CCC"));
    EXPECT_NE(texts({}), unfiltered);
    for (int kind = 0; kind < model.rowCount(); ++kind) {
        const QModelIndex kindItem = model.index(kind, 0);
        long long lengths = 0;
        for (int length = 0; length < model.rowCount(kindItem); ++length) {
            const QModelIndex lengthItem = model.index(length, 0, kindItem);
            long long words = 0;
            for (int row = 0; row < model.rowCount(lengthItem); ++row) {
                words += count(model.index(row, 0, lengthItem));
            }
            EXPECT_EQ(count(lengthItem), words) << lengthItem.data().toString().toStdString();
            lengths += words;
        }
        EXPECT_EQ(count(kindItem), lengths) << kindItem.data().toString().toStdString();
    }

    // Pairs typed, then emptied: no fewest pairs, not the number before.
    word->clear();
    auto* pairs = partOf<QSpinBox>(*window_, "filterMinPairs");
    QTest::keyClick(pairs, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(pairs, QStringLiteral("3"));
    EXPECT_EQ(model.filter().minPairs, 3);
    QTest::keyClick(pairs, Qt::Key_Backspace);
    QTest::keyClick(pairs, Qt::Key_Return);
    EXPECT_EQ(pairs->value(), 0);
    EXPECT_EQ(pairs->text(), QStringLiteral("any"));
    EXPECT_EQ(texts({}), unfiltered);

    // Reset shows everything again, the box staying open.
    partOf<QSpinBox>(*window_, "filterMinLength")->setValue(13);
    word->setText(QStringLiteral("A"));
    partOf<QToolButton>(*window_, "filterReset")->click();
    EXPECT_EQ(texts({}), unfiltered);
    EXPECT_EQ(texts(model.index(0, 0)).size(), 7);
    EXPECT_TRUE(word->text().isEmpty());
    EXPECT_TRUE(partOf<QWidget>(*window_, "filterBox")->isVisible());
}

TEST_F(WindowTest, CopyingAWordGivesItsPairsPositions)
{
    open(CTessaronDlg::IdOpenGenBank, kMitoFile);
    const QModelIndex item = findWord(RepeatKind::Inverted, 0,
                                      [](const std::vector<RepeatPair>& pairs) { return pairs.size() >= 2; });
    ASSERT_TRUE(item.isValid());
    treeOf(*window_)->setCurrentIndex(item);
    QTest::keyClick(treeOf(*window_), Qt::Key_C, Qt::ControlModifier);
    QString expected = item.data().toString().section(u' ', 0, 0) + QLatin1Char('\n');
    for (const RepeatPair& pair : modelOf(*window_)->pairsAt(item)) {
        expected += QStringLiteral("%1\t%2\n").arg(pair.first + 1).arg(pair.second + 1);
    }
    EXPECT_EQ(QApplication::clipboard()->text(), expected);
}

TEST_F(WindowTest, TabGoesFromTheTreeToTheSequenceAndBack)
{
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    treeOf(*window_)->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), treeOf(*window_));
    // Tab, and what has the focus then.
    const auto tab = [] {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        return QApplication::focusWidget()->objectName();
    };
    EXPECT_EQ(tab(), QStringLiteral("sequencePane"));
    EXPECT_EQ(tab(), QStringLiteral("tree"));
    // The filter's fields, once shown, come round before the tree.
    window_->command(CTessaronDlg::IdShowFilter)->setChecked(true);
    EXPECT_EQ(tab(), QStringLiteral("sequencePane"));
    EXPECT_EQ(tab(), QStringLiteral("filterMinLength"));
}

TEST_F(WindowTest, RecentFilesKeepTheNewestFirstAndForgetMissingOnes)
{
    const auto recent = [this] { return partOf<RecentFilesMenu>(*window_, "recentFilesMenu"); };
    const QString first = writeFile(QStringLiteral("first.txt"), "GATTACAGGGGACATTAG");
    const QString second = writeFile(QStringLiteral("second.fa"), "ACGTTGCAACGTAAAA");
    open(CTessaronDlg::IdOpenText, first);
    // The chooser offers the file types, text first, from where the user was last.
    ASSERT_EQ(prompts_->asked.size(), 1U);
    EXPECT_TRUE(prompts_->asked[0].filter.startsWith(QStringLiteral("Text (*.txt *.seq);;GenBank")));
    open(CTessaronDlg::IdOpenText, second);
    EXPECT_EQ(prompts_->asked[1].folder, folder_.path());
    open(CTessaronDlg::IdOpenText, first);
    EXPECT_EQ(recent()->files(), (QStringList{first, second}));
    // A file that does not load is not remembered.
    open(CTessaronDlg::IdOpenGenBank, second);
    EXPECT_EQ(recent()->files(), (QStringList{first, second}));
    prompts_->messages.clear();

    QStringList entries;
    for (QAction* action : recent()->actions()) {
        if (action->property("recentFile").isValid()) {
            entries << action->text();
        }
    }
    EXPECT_EQ(entries, (QStringList{"&1 first.txt", "&2 second.fa"}));

    // Kept between runs.
    window_ = makeWindow();
    EXPECT_EQ(recent()->files(), (QStringList{first, second}));

    ASSERT_TRUE(QFile::remove(second));
    for (QAction* action : recent()->actions()) {
        if (action->property("recentFile").toString() == second) {
            action->trigger();
        }
    }
    ASSERT_EQ(prompts_->messages.size(), 1U);
    EXPECT_TRUE(prompts_->messages[0].text.contains(second));
    EXPECT_EQ(recent()->files(), QStringList{first});
    EXPECT_FALSE(window_->session().loaded());
}

TEST_F(WindowTest, TheStatusBarTellsTheGenomeAndTheSelection)
{
    open(CTessaronDlg::IdOpenGenBank, kMitoFile);
    // A gap (the one N, once gaps are kept) is left out of the GC content.
    const QString size = gaps() == 0
                             ? QStringLiteral("16568 bp")
                             : QStringLiteral("%1 bp (%2 in gaps)").arg(pane().textLength()).arg(gaps());
    EXPECT_EQ(partOf<QLabel>(*window_, "genomeLabel")->text(), size + QStringLiteral(", GC 44.4%"));
    pane().select(99, 199);
    EXPECT_EQ(partOf<QLabel>(*window_, "selectionLabel")->text(),
              QStringLiteral("Selected 100-199 (100 bp)"));
    QTest::mouseMove(pane().viewport(), QPoint(pane().textLeft() + 1, 1));
    EXPECT_EQ(partOf<QLabel>(*window_, "positionLabel")->text(), QStringLiteral("Position 1"));
}

TEST_F(WindowTest, FindMotifOnBothStrandsShowsTheOtherStrandInRed)
{
    open(CTessaronDlg::IdOpenText, writeFile(QStringLiteral("strands.txt"), "AAAACCCCGGGGTTTT"));
    whenModal<CFindDlg>([](CFindDlg& dialog) {
        dialog.motifField()->setText(QStringLiteral("AAC"));
        dialog.bothStrandsBox()->setChecked(true);
        dialog.accept();
    });
    trigger(CTessaronDlg::IdFindMotif);
    EXPECT_EQ(pane().highlights(),
              (std::vector<SequenceView::Highlight>{{2, 3, kGreen, true}, {11, 3, kRed, true}}));
    EXPECT_EQ(statusLineOf(*window_)->text(), QStringLiteral("found 1 occurrences, 1 on the other strand"));
    EXPECT_EQ(window_->session().highlights().starts(), (std::vector<int>{2, 11}));

    // The choice is kept for the next search.
    whenModal<CFindDlg>([](CFindDlg& dialog) {
        EXPECT_TRUE(dialog.bothStrandsBox()->isChecked());
        dialog.reject();
    });
    trigger(CTessaronDlg::IdFindMotif);
}

TEST_F(WindowTest, EveryWindowHasTheIconAndHelpTellsTheVersion)
{
    EXPECT_FALSE(window_->windowIcon().isNull());
    EXPECT_FALSE(window_->windowIcon().pixmap(32).isNull());
    QDialog parentless;  // like the sheets, made without a parent
    EXPECT_FALSE(parentless.windowIcon().isNull());

    trigger(CTessaronDlg::IdAbout);
    ASSERT_EQ(prompts_->messages.size(), 1U);
    EXPECT_EQ(prompts_->messages[0].caption, QStringLiteral("About Tessaron"));
    EXPECT_TRUE(prompts_->messages[0].text.contains(QStringLiteral("Tessaron " TESSARON_VERSION)));
    EXPECT_TRUE(prompts_->messages[0].text.contains(QString::fromLatin1(qVersion())));

    trigger(CTessaronDlg::IdHowToRead);
    const auto* help = window_->findChild<CHelpDlg*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    const QString page = help->page()->toPlainText();
    for (const char* word : {"inverted", "mirror", "complementary", "pairs", "red", "map"}) {
        EXPECT_TRUE(page.contains(QLatin1String(word))) << word;
    }
}

struct ExtensionCase {
    const char* path;
    const char* filter;
    const char* expected;
};

TEST(FileTypesTest, ANameWithoutExtensionTakesTheChosenTypes)
{
    const ExtensionCase cases[] = {
        {"/tmp/map", "PNG image (*.png)", "/tmp/map.png"},
        {"/tmp/map", "SVG drawing (*.svg)", "/tmp/map.svg"},
        {"/tmp/map.svg", "PNG image (*.png)", "/tmp/map.svg"},  // the user's own extension stays
        {"/tmp/genome", "GenBank (*.gb *.gbk *.genbank *.gbff)", "/tmp/genome.gb"},
        {"/tmp/genome", "All files (*)", "/tmp/genome"},
        {"", "PNG image (*.png)", ""},  // cancelled
    };
    for (const ExtensionCase& c : cases) {
        EXPECT_EQ(withFilterExtension(QString::fromLatin1(c.path), QString::fromLatin1(c.filter)),
                  QString::fromLatin1(c.expected))
            << c.path << " " << c.filter;
    }
    EXPECT_EQ(filetypes::sequenceFiles(filetypes::fasta()),
              QStringLiteral("FASTA (*.fa *.fasta *.fna *.fas);;GenBank (*.gb *.gbk *.genbank *.gbff);;"
                             "Text (*.txt *.seq);;All files (*)"));
}

TEST(MenuCommands, LaterCommandsAreFoundByTheirNamesAndTheNumbersDerivedFromThem)
{
    QMenuBar bar;
    QMenu* file = bar.addMenu(QStringLiteral("File"));
    QMenu* recent = file->addMenu(QStringLiteral("Recent"));
    QAction* open = addMenuCommand(file, 32771, QStringLiteral("Open"), true);
    QAction* session = addMenuCommand(file, "openSession", QStringLiteral("Open session"), true);
    QAction* clear = addMenuCommand(recent, "clearRecent", QStringLiteral("Clear"), false);
    file->addAction(QStringLiteral("not a command"));
    CommandSet commands;
    commands.collect(bar);

    struct Case {
        int id;
        const char* name;
        QAction* action;
    };
    for (const Case& known :
         {Case{32771, nullptr, open}, Case{commandId("openSession"), "openSession", session},
          Case{commandId("clearRecent"), "clearRecent", clear}}) {
        EXPECT_EQ(commands.find(known.id), known.action) << known.id;
        if (known.name != nullptr) {
            EXPECT_EQ(commands.find(known.name), known.action) << known.name;
            EXPECT_GE(known.id, 0x40000000) << "apart from the numbers of the first menus";
            EXPECT_EQ(known.action->objectName(), QStringLiteral("command%1").arg(known.id));
        }
    }
    EXPECT_NE(commandId("openSession"), commandId("saveSession"));
    EXPECT_EQ(commands.find("saveSession"), nullptr);
    EXPECT_EQ(commands.find(32772), nullptr);
    commands.enable(commandId("clearRecent"), true);
    EXPECT_TRUE(clear->isEnabled());
}

}  // namespace
