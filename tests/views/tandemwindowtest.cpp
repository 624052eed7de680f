// The tandem repeats in the main window: the search's settings, its branch
// of the results tree, a selected array's copies in alternating shades in
// the pane, its alignment under the consensus, and the ring of ticks on the
// map with its layer.

#include "windowfixture.h"

#include "whenmodal.h"

#include "report/tandemreport.h"
#include "session/tandemalignment.h"
#include "views/base/settingsstore.h"
#include "views/commands/tandemcontroller.h"
#include "views/dialogs/tandemoptionsdlg.h"
#include "views/sequence/tandemalignmentview.h"

#include <QAbstractItemModelTester>
#include <QLocale>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <vector>

namespace {

const QString kTandemChloroplast = QStringLiteral(TESSARON_TEST_DATA "/NC_000932.gb");

class TandemWindowTest : public WindowFixture {
protected:
    // The window with the chloroplast loaded and its tandem arrays found
    // with a minimum score of `score`.
    std::unique_ptr<CTessaronDlg> searched(int score)
    {
        auto window = makeWindow();
        open(*window, CTessaronDlg::IdOpenGenBank, kTandemChloroplast);
        waitForJob(*window);
        EXPECT_TRUE(window->command(TandemController::IdTandemSearch)->isEnabled());
        whenModal<TandemOptionsDlg>([score](TandemOptionsDlg& dialog) {
            EXPECT_EQ(dialog.periodField()->value(), 2000);
            EXPECT_EQ(dialog.periodField()->maximum(), tessaron::TandemSettings::kMaxPeriodBound);
            EXPECT_EQ(dialog.mismatchField()->maximum(), tessaron::TandemSettings::kMaxScoreWeight);
            dialog.scoreField()->setValue(score);
            dialog.accept();
        });
        trigger(*window, TandemController::IdTandemSearch);
        waitForJob(*window);
        return window;
    }
    static TandemController* controllerOf(const CTessaronDlg& window)
    {
        return partOf<TandemController>(window, "tandemController");
    }
    // The top row of the tree whose text starts with `text`; invalid without one.
    static QModelIndex topRow(const CTessaronDlg& window, const QString& text)
    {
        const RepeatTreeModel& model = *modelOf(window);
        for (int row = 0; row < model.rowCount(); ++row) {
            if (model.index(row, 0).data().toString().startsWith(text)) {
                return model.index(row, 0);
            }
        }
        return {};
    }
};

TEST_F(TandemWindowTest, TheBranchTheShadesOfTheCopiesTheAlignmentAndTheMap)
{
    auto window = searched(60);
    EXPECT_EQ(stored(QStringLiteral("Tessaron/tandem/minscore")).toInt(), 60);
    const auto analysis = controllerOf(*window)->analysis();
    ASSERT_NE(analysis, nullptr);
    tessaron::TandemSettings settings;
    settings.minimumScore = 60;
    const auto& arrays = analysis->arrays;
    EXPECT_EQ(arrays, std::get<tessaron::TandemRepeatList>(
                          tessaron::findTandemRepeats(window->session().genome(), settings)));
    ASSERT_GE(arrays.size(), 10U);

    // The branch: period classes of the paper's table, then each array by start.
    RepeatTreeModel& model = *modelOf(*window);
    const QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
    const QModelIndex branch = topRow(*window, QStringLiteral("Tandem repeats"));
    ASSERT_TRUE(branch.isValid());
    EXPECT_EQ(branch.data().toString(), QStringLiteral("Tandem repeats (%1)").arg(arrays.size()));
    std::map<std::size_t, std::vector<const tessaron::TandemRepeat*>> byClass;
    for (const tessaron::TandemRepeat& array : arrays) {
        byClass[tessaron::periodClass(array.period)].push_back(&array);
    }
    ASSERT_EQ(model.rowCount(branch), static_cast<int>(byClass.size()));
    int row = 0;
    for (const auto& [periodClass, members] : byClass) {
        const QModelIndex group = model.index(row++, 0, branch);
        EXPECT_EQ(group.data().toString(),
                  QStringLiteral("period %1 (%2)")
                      .arg(QString::fromStdString(std::string(tessaron::kPeriodClassNames[periodClass])))
                      .arg(members.size()));
        ASSERT_EQ(model.rowCount(group), static_cast<int>(members.size()));
        const tessaron::TandemRepeat& first = *members.front();
        EXPECT_EQ(model.index(0, 0, group).data().toString(), QStringLiteral("%1..%2: period %3, %4 copies")
                                                                  .arg(first.start + 1)
                                                                  .arg(first.end())
                                                                  .arg(first.period)
                                                                  .arg(first.copies, 0, 'f', 1));
    }

    // An array of three copies or more with a letter that differs from the consensus.
    const auto chosen = std::find_if(arrays.begin(), arrays.end(), [](const tessaron::TandemRepeat& array) {
        return array.copies >= 3.0 && array.mismatches + array.insertions + array.deletions > 0;
    });
    ASSERT_NE(chosen, arrays.end());
    QModelIndex item;
    for (int g = 0; g < model.rowCount(branch) && !item.isValid(); ++g) {
        const QModelIndex group = model.index(g, 0, branch);
        for (int r = 0; r < model.rowCount(group); ++r) {
            if (model.index(r, 0, group)
                    .data()
                    .toString()
                    .startsWith(QStringLiteral("%1..").arg(chosen->start + 1))) {
                item = model.index(r, 0, group);
                break;
            }
        }
    }
    ASSERT_TRUE(item.isValid());
    trigger(*window, CTessaronDlg::IdDiagram);
    CDiagramDlg* map = mapOf(*window);
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->scene().tandemArrays().size(), arrays.size());
    const QImage unselected = map->image();
    treeOf(*window)->setCurrentIndex(item);

    // The pane: each copy in turn in one shade, then the other.
    SequenceView* pane = paneOf(*window);
    const std::int64_t length = window->session().genome().length();
    const auto colourAt = [pane, length](std::int64_t position) {
        return pane->colorAt(static_cast<int>(position % length));
    };
    const std::vector<tessaron::TandemCopy> copies = tessaron::tandemCopies(*chosen);
    ASSERT_GE(copies.size(), 3U);
    const QColor shades[2]{colourAt(copies[0].start), colourAt(copies[1].start)};
    EXPECT_NE(shades[0], shades[1]);
    for (const QColor& shade : shades) {
        EXPECT_NE(shade, pane->textColor());
    }
    for (std::size_t c = 0; c < copies.size(); ++c) {
        for (const std::int64_t letter : {copies[c].start, copies[c].start + copies[c].length - 1}) {
            EXPECT_EQ(colourAt(letter), shades[c % 2]) << c;
        }
    }
    EXPECT_EQ(colourAt(chosen->end()), pane->textColor());
    EXPECT_EQ(pane->caret(), chosen->start);
    trigger(*window, CTessaronDlg::IdNextCopy);
    EXPECT_EQ(pane->caret(), copies[1].start % length);

    // The alignment: the array named, the consensus, a row a copy, the
    // letters that differ marked.
    TandemAlignmentView* view = controllerOf(*window)->alignmentView();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    const QStringList lines = view->text().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2 + static_cast<qsizetype>(copies.size()));
    EXPECT_TRUE(lines[0].startsWith(
        QLocale(QLocale::English).toString(static_cast<qlonglong>(chosen->start + 1)) + QStringLiteral("..")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("consensus ")));
    EXPECT_EQ(lines[1].split(QLatin1Char(' '), Qt::SkipEmptyParts).last().remove(QLatin1Char('-')),
              QString::fromStdString(chosen->consensus));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("copy 1 ")));
    int marked = 0;
    const QTextDocument& document = *view->textView()->document();
    for (int block = 2; block < document.blockCount(); ++block) {
        for (const QTextLayout::FormatRange& range : document.findBlockByNumber(block).layout()->formats()) {
            EXPECT_EQ(range.format.background().color(), TandemAlignmentView::kDifferenceGround);
            marked += range.length;
        }
    }
    EXPECT_EQ(marked, chosen->mismatches + chosen->insertions + chosen->deletions);

    // The map marks it; its layer turns the ring off, and is remembered.
    EXPECT_EQ(map->scene().selectedTandemArray(), static_cast<std::size_t>(chosen - arrays.begin()));
    const QImage selected = map->image();
    EXPECT_NE(selected, unselected);
    {
        const std::unique_ptr<QMenu> menu = map->contextMenu();
        QAction* layer = menu->findChild<QAction*>(QStringLiteral("layer_tandem"));
        ASSERT_NE(layer, nullptr);
        EXPECT_EQ(layer->text(), QStringLiteral("Tandem repeats"));
        EXPECT_TRUE(layer->isChecked());
        layer->trigger();
    }
    EXPECT_FALSE(map->layers().tandem);
    EXPECT_EQ(stored(QStringLiteral("Tessaron/window/hiddenmaplayers")).toString(), QStringLiteral("tandem"));
    const QImage hidden = map->image();
    EXPECT_NE(hidden, selected);
    EXPECT_NE(hidden, unselected);

    // Another item: nothing marked, no alignment.
    treeOf(*window)->setCurrentIndex(branch);
    EXPECT_EQ(map->scene().selectedTandemArray(), std::nullopt);
    EXPECT_TRUE(view->text().isEmpty());
    EXPECT_EQ(window->session().highlights().selectedTandemArray(), nullptr);
    EXPECT_TRUE(pane->highlights().empty());
}

// A click on an array's tick on the map selects that array in the tree, and
// the pane, the map and the alignment show it as when it is chosen in the
// tree; the tooltip there names it. The map for a paper draws no ticks.
TEST_F(TandemWindowTest, AClickOnATickSelectsItsArrayAndTheTipNamesIt)
{
    auto window = searched(60);
    const auto analysis = controllerOf(*window)->analysis();
    ASSERT_NE(analysis, nullptr);
    const auto& arrays = analysis->arrays;
    trigger(*window, CTessaronDlg::IdDiagram);
    CDiagramDlg* map = mapOf(*window);
    ASSERT_NE(map, nullptr);
    const double perBase = map->scene().perBase();
    const std::int64_t length = window->session().genome().length();

    // An array whose tick stands at least 8 pixels from every other tick.
    const auto middle = [](const tessaron::TandemRepeat& array) {
        return static_cast<double>(array.start) + static_cast<double>(array.length) / 2.0;
    };
    std::optional<std::size_t> chosen;
    for (std::size_t i = 0; i < arrays.size() && !chosen; ++i) {
        const bool clear =
            std::all_of(arrays.begin(), arrays.end(), [&](const tessaron::TandemRepeat& other) {
                const double apart =
                    std::abs(std::remainder(middle(other) - middle(arrays[i]), static_cast<double>(length)));
                return &other == &arrays[i] || apart * perBase * tessaron::kTandemInner >= 8.0;
            });
        if (clear && arrays[i].copies >= 3.0) {
            chosen = i;
        }
    }
    ASSERT_TRUE(chosen.has_value());
    const tessaron::TandemRepeat& array = arrays[*chosen];

    // The tick's middle, found through the zoom.
    map->zoomAt(QPointF(300, 230), 1.5);
    const tessaron::MapTick tick = tessaron::tandemTicks(perBase, map->scene().tandemArrays())[*chosen];
    const QPoint at =
        map->viewTransform()
            .map(QPointF((tick.inner.x + tick.outer.x) / 2.0, (tick.inner.y + tick.outer.y) / 2.0))
            .toPoint();
    const QString range =
        QLocale(QLocale::English).toString(static_cast<qlonglong>(array.start + 1)) + QStringLiteral("..") +
        QLocale(QLocale::English).toString(static_cast<qlonglong>((array.end() - 1) % length + 1));
    EXPECT_EQ(map->toolTipAt(at), QStringLiteral("%1\ntandem repeat of period %2, %3 copies\n%4")
                                      .arg(QString::fromStdString(array.consensus.substr(0, 40)) +
                                           (array.period > 40 ? QStringLiteral("...") : QString()))
                                      .arg(array.period)
                                      .arg(array.copies, 0, 'f', 1)
                                      .arg(range));

    const QSignalSpy clicked(map, &CDiagramDlg::tandemArrayClicked);
    QTest::mouseClick(map, Qt::LeftButton, {}, at);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), static_cast<int>(*chosen));
    const QModelIndex current = treeOf(*window)->currentIndex();
    EXPECT_EQ(current.data().toString(), QStringLiteral("%1..%2: period %3, %4 copies")
                                             .arg(array.start + 1)
                                             .arg(array.end())
                                             .arg(array.period)
                                             .arg(array.copies, 0, 'f', 1));
    EXPECT_EQ(current.parent().parent(), topRow(*window, QStringLiteral("Tandem repeats")));
    const tessaron::TandemRepeat* highlighted = window->session().highlights().selectedTandemArray();
    ASSERT_NE(highlighted, nullptr);
    EXPECT_EQ(*highlighted, array);
    EXPECT_EQ(map->scene().selectedTandemArray(), chosen);
    SequenceView* pane = paneOf(*window);
    EXPECT_EQ(pane->caret(), array.start);
    EXPECT_NE(pane->colorAt(static_cast<int>(array.start)), pane->textColor());
    const std::vector<SequenceView::Highlight> shaded = pane->highlights();
    ASSERT_FALSE(shaded.empty());
    TandemAlignmentView* view = controllerOf(*window)->alignmentView();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    EXPECT_TRUE(view->text().startsWith(range)) << view->text().toStdString();

    // Chosen in the tree instead: the same shades.
    treeOf(*window)->setCurrentIndex(topRow(*window, QStringLiteral("Tandem repeats")));
    EXPECT_TRUE(pane->highlights().empty());
    treeOf(*window)->setCurrentIndex(current);
    EXPECT_EQ(pane->highlights(), shaded);

    // Beside the ring: no tip, and a click tells nothing.
    const QPoint inside = map->viewTransform()
                              .map(QPointF(tessaron::kMapCircleCentre.x, tessaron::kMapCircleCentre.y))
                              .toPoint();
    EXPECT_TRUE(map->toolTipAt(inside).isEmpty());
    QTest::mouseClick(map, Qt::LeftButton, {}, inside);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(treeOf(*window)->currentIndex(), current);

    // The map for a paper: no ticks, so nothing there.
    map->setPaperStyle(true);
    map->resetView();
    const QPoint paperTick =
        map->viewTransform()
            .map(QPointF((tick.inner.x + tick.outer.x) / 2.0, (tick.inner.y + tick.outer.y) / 2.0))
            .toPoint();
    EXPECT_FALSE(map->toolTipAt(paperTick).contains(QStringLiteral("tandem")))
        << map->toolTipAt(paperTick).toStdString();
    QTest::mouseClick(map, Qt::LeftButton, {}, paperTick);
    EXPECT_EQ(clicked.count(), 1);
}

// The arrays stay while the same sequence is read again and go with another genome.
TEST_F(TandemWindowTest, TheArraysFollowTheGenome)
{
    auto window = searched(50);
    const auto before = controllerOf(*window)->analysis();
    ASSERT_NE(before, nullptr);
    open(*window, CTessaronDlg::IdOpenGenBank, kTandemChloroplast);
    waitForJob(*window);
    EXPECT_EQ(controllerOf(*window)->analysis(), before);
    EXPECT_TRUE(topRow(*window, QStringLiteral("Tandem repeats")).isValid());
    open(*window, CTessaronDlg::IdOpenGenBank, kMitoFile);
    waitForJob(*window);
    EXPECT_EQ(controllerOf(*window)->analysis(), nullptr);
    EXPECT_FALSE(topRow(*window, QStringLiteral("Tandem repeats")).isValid());
}

// Settings the search refuses are told and the dialog stays; the stored
// ones are read back within the search's bounds.
TEST_F(TandemWindowTest, TheDialogChecksTheSettingsAndTheStoreKeepsThemInBounds)
{
    tessaron::TandemSettings current;
    current.minimumPeriod = 100;
    TandemOptionsDlg dialog(current, *prompts_);
    dialog.show();
    dialog.periodField()->setValue(50);
    dialog.accept();
    ASSERT_EQ(prompts_->messages.size(), 1U);
    EXPECT_EQ(prompts_->messages.back().text,
              QStringLiteral("The smallest period must be 1 to the largest period (50)."));
    EXPECT_TRUE(dialog.isVisible());
    dialog.periodField()->setValue(200);
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.settings().maximumPeriod, 200);

    {
        QSettings file(settingsFile(), QSettings::IniFormat);
        file.setValue(QStringLiteral("Tessaron/tandem/maxperiod"), 20000);  // beyond the bound
        file.setValue(QStringLiteral("Tessaron/tandem/match"), 3);
        file.setValue(QStringLiteral("Tessaron/tandem/indel"), QStringLiteral("many"));
    }
    const tessaron::TandemSettings read = SettingsStore().tandemSettings();
    EXPECT_EQ(read.maximumPeriod, 2000);
    EXPECT_EQ(read.match, 3);
    EXPECT_EQ(read.indel, 7);
}

}  // namespace
