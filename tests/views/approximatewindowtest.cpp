// The approximate search in the main window: its branch of the results tree,
// a selected pair's copies in the sequence pane with the mismatched letters
// marked, Next copy, the dot plot whose clicks select pairs in the tree, and
// "View Report" with the length classes.

#include "windowfixture.h"

#include "whenmodal.h"

#include "charts/chartpanel.h"
#include "engine/repeatkinds.h"
#include "views/commands/approximatecontroller.h"
#include "views/dialogs/approximateoptionsdlg.h"
#include "views/maps/dotplotwindow.h"
#include "views/sequence/sequencenavigator.h"

#include <QAbstractItemModelTester>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QSpinBox>

namespace {

using tessaron::RepeatKind;

const QString kChloroplast = QStringLiteral(TESSARON_TEST_DATA "/NC_000932.gb");

class ApproximateWindowTest : public WindowFixture {
protected:
    // The window with the chloroplast loaded and searched at the defaults.
    std::unique_ptr<CTessaronDlg> searched()
    {
        auto window = makeWindow();
        open(*window, CTessaronDlg::IdOpenGenBank, kChloroplast);
        waitForJob(*window);
        EXPECT_TRUE(window->command(ApproximateController::IdApproximateSearch)->isEnabled());
        whenModal<ApproximateOptionsDlg>([](ApproximateOptionsDlg& dialog) {
            dialog.minimumField()->setValue(30);
            dialog.identityField()->setValue(90.0);
            dialog.penaltyField()->setValue(2);
            dialog.accept();
        });
        trigger(*window, ApproximateController::IdApproximateSearch);
        waitForJob(*window);
        return window;
    }
    static ApproximateController* controllerOf(const CTessaronDlg& window)
    {
        return partOf<ApproximateController>(window, "approximateController");
    }
};

TEST_F(ApproximateWindowTest, ASelectedPairShowsBothCopiesWithItsMismatchesMarked)
{
    auto window = searched();
    const auto analysis = controllerOf(*window)->analysis();
    ASSERT_NE(analysis, nullptr);
    RepeatTreeModel* model = modelOf(*window);
    const QModelIndex branch = model->index(model->rowCount() - 1, 0);
    EXPECT_TRUE(model->data(branch).toString().startsWith(QStringLiteral("Approximate repeats (")));
    // The first direct pair with mismatches.
    const auto& direct = analysis->of(RepeatKind::Direct).pairs;
    const auto chosen =
        std::find_if(direct.begin(), direct.end(), [](const auto& p) { return p.mismatches > 0; });
    ASSERT_NE(chosen, direct.end());
    const auto index = static_cast<std::size_t>(chosen - direct.begin());
    const QModelIndex item = model->approximatePairIndex(RepeatKind::Direct, index);
    ASSERT_TRUE(item.isValid());
    EXPECT_TRUE(model->data(item).toString().startsWith(QStringLiteral("%1 bp, ").arg(chosen->length)));
    treeOf(*window)->setCurrentIndex(item);

    SequenceView* pane = paneOf(*window);
    const auto mismatched =
        tessaron::mismatchedLetters(window->session().genome(), RepeatKind::Direct, *chosen);
    ASSERT_EQ(mismatched.first.size(), static_cast<std::size_t>(chosen->mismatches));
    for (const auto* side : {&mismatched.first, &mismatched.second}) {
        for (const std::int64_t letter : *side) {
            EXPECT_EQ(pane->colorAt(static_cast<int>(letter)), SequenceNavigator::kMismatchColor) << letter;
        }
    }
    // A letter that lines up equal keeps its copy's colour.
    std::int64_t equal = chosen->first;
    while (std::find(mismatched.first.begin(), mismatched.first.end(), equal) != mismatched.first.end()) {
        ++equal;
    }
    EXPECT_NE(pane->colorAt(static_cast<int>(equal)), SequenceNavigator::kMismatchColor);
    EXPECT_NE(pane->colorAt(static_cast<int>(equal)), pane->textColor());
    EXPECT_EQ(pane->caret(), chosen->first);
    trigger(*window, CTessaronDlg::IdNextCopy);
    EXPECT_EQ(pane->caret(), chosen->second);
    trigger(*window, CTessaronDlg::IdNextCopy);
    EXPECT_EQ(pane->caret(), chosen->first);
}

TEST_F(ApproximateWindowTest, AClickInTheDotPlotSelectsThePairAndTheReportCountsClasses)
{
    auto window = searched();
    trigger(*window, ApproximateController::IdDotPlot);
    DotPlotWindow* plot = controllerOf(*window)->dotPlot();
    ASSERT_NE(plot, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(plot));
    // The chloroplast's inverted repeat, one pair of 26,264 bp.
    const auto& inverted = controllerOf(*window)->analysis()->of(RepeatKind::Inverted).pairs;
    const auto longest = std::max_element(inverted.begin(), inverted.end(),
                                          [](const auto& a, const auto& b) { return a.length < b.length; });
    ASSERT_EQ(longest->length, 26264);
    const DotPlotWindow::PairRef pair{RepeatKind::Inverted,
                                      static_cast<std::size_t>(longest - inverted.begin())};
    const auto point = plot->pointOn(pair);
    ASSERT_TRUE(point.has_value());
    QTest::mouseClick(plot, Qt::LeftButton, {}, point->toPoint());
    EXPECT_EQ(modelOf(*window)->approximatePairAt(treeOf(*window)->currentIndex()), pair);
    EXPECT_EQ(plot->picture().selected, pair);
    EXPECT_EQ(paneOf(*window)->caret(), longest->first);

    const QString image = writeFile(QStringLiteral("plot.svg"), {});
    EXPECT_TRUE(plot->saveTo(image));
    EXPECT_GT(QFileInfo(image).size(), 1000);

    trigger(*window, CTessaronDlg::IdViewReport);
    const auto sheets = sheetsOf(*window);
    ASSERT_EQ(sheets.size(), 2U);
    EXPECT_TRUE(sheets.back()->windowTitle().startsWith(QStringLiteral("Approximate repeats")))
        << sheets.back()->windowTitle().toStdString();
    EXPECT_TRUE(sheets.back()->chart()->isVisible());
    EXPECT_EQ(sheets.back()->chart()->data().categories.size(), 6U);
}

TEST_F(ApproximateWindowTest, TheDotPlotIsNeverSavedOverTheGenome)
{
    // A copy of the genome: the refusal is what is tested, the data stays safe.
    const QString genome = folder_.filePath(QStringLiteral("chloroplast.gb"));
    ASSERT_TRUE(QFile::copy(kChloroplast, genome));
    QFile original(genome);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    original.close();
    auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenGenBank, genome);
    waitForJob(*window);
    whenModal<ApproximateOptionsDlg>([](ApproximateOptionsDlg& dialog) {
        dialog.minimumField()->setValue(30);
        dialog.identityField()->setValue(90.0);
        dialog.accept();
    });
    trigger(*window, ApproximateController::IdApproximateSearch);
    waitForJob(*window);
    trigger(*window, ApproximateController::IdDotPlot);
    DotPlotWindow* plot = controllerOf(*window)->dotPlot();
    ASSERT_NE(plot, nullptr);
    prompts_->messages.clear();
    prompts_->files.push_back(genome);
    EXPECT_FALSE(plot->saveImage());
    ASSERT_EQ(prompts_->messages.size(), 1U);
    EXPECT_TRUE(prompts_->messages[0].text.contains(QStringLiteral("chloroplast.gb")))
        << prompts_->messages[0].text.toStdString();
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(original.readAll(), bytes);
}

TEST_F(ApproximateWindowTest, TheBranchHoldsEveryPairAndFollowsTheGenome)
{
    auto window = searched();
    EXPECT_EQ(stored(QStringLiteral("Tessaron/approximate/min")).toInt(), 30);
    RepeatTreeModel* model = modelOf(*window);
    const QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    // After the four kinds: the microsatellites, then the approximate repeats,
    // which stay last as the microsatellites' branch goes and comes back.
    ASSERT_EQ(model->rowCount(), 6);
    EXPECT_TRUE(model->data(model->index(4, 0)).toString().startsWith(QStringLiteral("Microsatellites (")));
    const auto microsatellites = window->session().microsatellites();
    model->setMicrosatellites(nullptr);
    EXPECT_EQ(model->data(model->index(4, 0)).toString(), QStringLiteral("Approximate repeats (20)"));
    model->setMicrosatellites(microsatellites);
    const QModelIndex branch = model->index(model->rowCount() - 1, 0);
    EXPECT_EQ(branch.row(), 5);
    EXPECT_EQ(model->data(branch).toString(), QStringLiteral("Approximate repeats (20)"));
    ASSERT_EQ(model->rowCount(branch), 4);
    const QModelIndex direct = model->index(0, 0, branch);
    EXPECT_EQ(model->data(direct).toString(), QStringLiteral("direct repeats (10)"));
    EXPECT_EQ(model->data(model->index(0, 0, direct)).toString(), QStringLiteral("30-39 bps (6)"));
    // Every pair has an item, and the item gives the pair back.
    const auto analysis = controllerOf(*window)->analysis();
    for (const RepeatKind kind : tessaron::kKindOrder) {
        for (std::size_t pair = 0; pair < analysis->of(kind).pairs.size(); ++pair) {
            const QModelIndex item = model->approximatePairIndex(kind, pair);
            EXPECT_EQ(model->approximatePairAt(item), (DotPlotWindow::PairRef{kind, pair}));
        }
    }
    // Every pair is a band on the map.
    trigger(*window, CTessaronDlg::IdDiagram);
    ASSERT_NE(mapOf(*window), nullptr);
    EXPECT_EQ(mapOf(*window)->scene().bands().size(), 20U);  // 10 direct, 8 inverted, 2 complementary

    // The same sequence analysed again keeps its pairs; another one forgets them.
    window->RunAnalysis();
    QCoreApplication::processEvents();
    EXPECT_EQ(model->approximate(), analysis.get());
    open(*window, CTessaronDlg::IdOpenGenBank, QStringLiteral(TESSARON_TEST_DATA "/M12730.gb"));
    waitForJob(*window);
    QCoreApplication::processEvents();
    EXPECT_EQ(model->approximate(), nullptr);
    EXPECT_EQ(controllerOf(*window)->analysis(), nullptr);
    EXPECT_FALSE(window->command(ApproximateController::IdDotPlot)->isEnabled());
    EXPECT_TRUE(window->command(ApproximateController::IdApproximateSearch)->isEnabled());
}

}  // namespace
