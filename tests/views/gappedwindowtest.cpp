// The gapped search in the main window: the approximate dialog's choice of
// insertions and deletions (kept in the settings, refused where the search
// refuses it), the "Gapped repeats" and "Families" branches, a selected
// pair's alignment window and marked letters, a selected family's copies in
// the pane and on the map, and the dot plot's alignment paths.

#include "windowfixture.h"

#include "whenmodal.h"

#include "engine/alphabet.h"
#include "engine/repeatkinds.h"
#include "views/commands/approximatecontroller.h"
#include "views/commands/gappedcontroller.h"
#include "views/dialogs/approximateoptionsdlg.h"
#include "views/maps/dotplotwindow.h"
#include "views/results/alignmentview.h"
#include "views/results/familiesbranch.h"
#include "views/results/gappedbranch.h"
#include "views/sequence/sequencenavigator.h"

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QStringList>

#include <algorithm>
#include <random>
#include <string>

namespace {

using tessaron::RepeatKind;

// 7,000 random letters with a 300-letter element at 500, a direct copy of
// it at 3,000 (one letter changed, four inserted) and an inverted one at
// 5,500 (two letters deleted): three copies of one family.
QByteArray plantedFasta()
{
    std::mt19937 rng(2026);
    std::string bases;
    for (int k = 0; k < 7000; ++k) {
        bases += "ACGT"[rng() % 4];
    }
    const std::string element = bases.substr(500, 300);
    std::string direct = element;
    direct[80] = direct[80] == 'A' ? 'C' : 'A';
    direct.insert(150, "GTTA");
    bases.replace(3000, direct.size(), direct);
    std::string inverted = element;
    inverted.erase(200, 2);
    std::reverse(inverted.begin(), inverted.end());
    std::transform(inverted.begin(), inverted.end(), inverted.begin(),
                   [](char c) { return tessaron::complement(c); });
    bases.replace(5500, inverted.size(), inverted);
    QByteArray fasta(">planted\n");
    for (std::size_t at = 0; at < bases.size(); at += 70) {
        fasta += QByteArray::fromStdString(bases.substr(at, 70)) + '\n';
    }
    return fasta;
}

// The rows at the top of the tree.
QStringList topRows(const RepeatTreeModel& model)
{
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        rows << model.data(model.index(row, 0)).toString();
    }
    return rows;
}

class GappedWindowTest : public WindowFixture {
protected:
    // The window with the planted genome searched with gaps, the dialog first
    // refusing gaps cheaper than the statistics know.
    std::unique_ptr<CTessaronDlg> searched()
    {
        auto window = makeWindow();
        open(*window, CTessaronDlg::IdOpenText, writeFile(QStringLiteral("planted.fa"), plantedFasta()));
        waitForJob(*window);
        whenModal<ApproximateOptionsDlg>([](ApproximateOptionsDlg& dialog) {
            dialog.minimumField()->setValue(100);
            dialog.identityField()->setValue(90.0);
            dialog.penaltyField()->setValue(1);
            dialog.gapsGroup()->setChecked(true);
            dialog.gapOpenField()->setValue(2);
            dialog.gapExtendField()->setValue(2);
            dialog.familiesField()->setChecked(true);
            dialog.accept();
            EXPECT_TRUE(dialog.isVisible()) << "a gap opening of 2 with a penalty of 1 is refused";
            EXPECT_TRUE(dialog.problemLine()->isVisible());
            EXPECT_TRUE(dialog.problemLine()->text().contains(QStringLiteral("gap opening")));
            dialog.penaltyField()->setValue(2);
            dialog.gapOpenField()->setValue(5);
            dialog.accept();
        });
        trigger(*window, ApproximateController::IdApproximateSearch);
        waitForJob(*window);
        return window;
    }
    static GappedController* controllerOf(const CTessaronDlg& window)
    {
        return partOf<GappedController>(window, "gappedController");
    }
};

TEST_F(GappedWindowTest, TheChoiceIsKeptAndTheTreeShowsTheGappedPairsAndTheirFamilies)
{
    auto window = searched();
    EXPECT_EQ(stored(QStringLiteral("Tessaron/approximate/gaps")).toBool(), true);
    EXPECT_EQ(stored(QStringLiteral("Tessaron/approximate/gapopen")).toInt(), 5);
    EXPECT_EQ(stored(QStringLiteral("Tessaron/approximate/families")).toBool(), true);
    const auto analysis = controllerOf(*window)->analysis();
    ASSERT_NE(analysis, nullptr);
    ASSERT_EQ(analysis->of(RepeatKind::Direct).pairs.size(), 1U);
    ASSERT_EQ(analysis->of(RepeatKind::Inverted).pairs.size(), 2U);
    const QStringList rows = topRows(*modelOf(*window));
    EXPECT_TRUE(rows.contains(QStringLiteral("Gapped repeats (3)"))) << rows.join(',').toStdString();
    EXPECT_TRUE(rows.contains(QStringLiteral("Families (1)"))) << rows.join(',').toStdString();
    EXPECT_FALSE(rows.join(',').contains(QStringLiteral("Approximate repeats")));
    QAbstractItemModelTester tester(modelOf(*window),
                                    QAbstractItemModelTester::FailureReportingMode::Warning);

    // The dialog opens with the choice kept.
    whenModal<ApproximateOptionsDlg>([](ApproximateOptionsDlg& dialog) {
        EXPECT_TRUE(dialog.gapsGroup()->isChecked());
        EXPECT_EQ(dialog.gapOpenField()->value(), 5);
        EXPECT_EQ(dialog.gapExtendField()->value(), 2);
        EXPECT_TRUE(dialog.familiesField()->isChecked());
        // Without gaps the approximate search's pairs replace the gapped ones.
        dialog.gapsGroup()->setChecked(false);
        dialog.accept();
    });
    trigger(*window, ApproximateController::IdApproximateSearch);
    waitForJob(*window);
    const QStringList after = topRows(*modelOf(*window));
    EXPECT_TRUE(after.join(',').contains(QStringLiteral("Approximate repeats")))
        << after.join(',').toStdString();
    EXPECT_FALSE(after.join(',').contains(QStringLiteral("Gapped repeats")));
    EXPECT_FALSE(after.join(',').contains(QStringLiteral("Families")));
    EXPECT_EQ(controllerOf(*window)->analysis(), nullptr);
}

TEST_F(GappedWindowTest, ASelectedPairShowsItsAlignmentAndMarksItsGapAndMismatch)
{
    auto window = searched();
    const auto analysis = controllerOf(*window)->analysis();
    ASSERT_NE(analysis, nullptr);
    const tessaron::GappedPair& pair = analysis->of(RepeatKind::Direct).pairs.at(0);
    ASSERT_EQ(pair.insertions, 4);
    RepeatTreeModel* model = modelOf(*window);
    const QModelIndex item =
        model->indexOf<GappedBranch>(model->branch<GappedBranch>().pairItem(RepeatKind::Direct, 0));
    ASSERT_TRUE(item.isValid());
    EXPECT_TRUE(model->data(item).toString().startsWith(
        QStringLiteral("%1/%2 bp, ").arg(pair.length).arg(pair.secondLength)));
    EXPECT_TRUE(model->data(item, Qt::ToolTipRole).toString().contains(QString::fromStdString(pair.cigar)));
    treeOf(*window)->setCurrentIndex(item);

    AlignmentView* alignment = controllerOf(*window)->alignment();
    ASSERT_NE(alignment, nullptr);
    EXPECT_TRUE(alignment->isVisible());
    EXPECT_TRUE(alignment->heading().startsWith(QStringLiteral("direct pair: ")));
    // Read back: the first copy's rows hold the four letters facing the
    // insertion, the marks lines the mismatches.
    const QStringList lines = alignment->text().split(QLatin1Char('\n'));
    qsizetype unequal = 0;
    qsizetype equal = 0;
    bool gapRun = false;
    for (qsizetype line = 0; line + 2 < lines.size(); line += 4) {
        gapRun = gapRun || lines[line].contains(QStringLiteral("----"));
        unequal += lines[line + 1].count(QLatin1Char('x'));
        equal += lines[line + 1].count(QLatin1Char('|'));
        EXPECT_FALSE(lines[line + 2].contains(QLatin1Char('-'))) << "the second copy has no gap";
    }
    EXPECT_TRUE(gapRun) << alignment->text().toStdString();
    EXPECT_EQ(unequal, pair.mismatches);
    EXPECT_EQ(equal + unequal + pair.insertions + pair.deletions, pair.columns());

    // The pane marks every letter of an unequal column or a gap, and no other.
    SequenceView* pane = paneOf(*window);
    for (const tessaron::AlignedColumn& column :
         tessaron::alignedColumns(window->session().genome(), RepeatKind::Direct, pair)) {
        for (const std::int64_t letter : {column.first, column.second}) {
            if (letter >= 0) {
                EXPECT_EQ(pane->colorAt(static_cast<int>(letter)) == SequenceNavigator::kMismatchColor,
                          !column.equal)
                    << letter;
            }
        }
    }
    EXPECT_EQ(pane->caret(), pair.first);
    trigger(*window, CTessaronDlg::IdNextCopy);
    EXPECT_EQ(pane->caret(), pair.second);

    // The dot plot draws the pair along its path: the insertion is a piece of its own.
    trigger(*window, ApproximateController::IdDotPlot);
    DotPlotWindow* plot = partOf<ApproximateController>(*window, "approximateController")->dotPlot();
    ASSERT_NE(plot, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(plot));
    const auto pieces = std::count_if(plot->picture().segments.begin(), plot->picture().segments.end(),
                                      [](const tessaron::DotPlotSegment& segment) {
                                          return segment.kind == RepeatKind::Direct && segment.pair == 0;
                                      });
    EXPECT_EQ(pieces, 6);  // before, along and after the insertion, in both halves
    // A click on an inverted pair selects it in the tree and shows its alignment.
    const DotPlotWindow::PairRef inverted{RepeatKind::Inverted, 0};
    const auto point = plot->pointOn(inverted);
    ASSERT_TRUE(point.has_value());
    QTest::mouseClick(plot, Qt::LeftButton, {}, point->toPoint());
    const auto chosen = model->itemOf<GappedBranch>(treeOf(*window)->currentIndex());
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(model->branch<GappedBranch>().pairAt(*chosen), inverted);
    EXPECT_TRUE(alignment->heading().startsWith(QStringLiteral("inverted pair: ")));
}

TEST_F(GappedWindowTest, ASelectedFamilyHighlightsEveryCopyInThePaneAndOnTheMap)
{
    auto window = searched();
    const auto analysis = controllerOf(*window)->analysis();
    ASSERT_NE(analysis, nullptr);
    ASSERT_TRUE(analysis->families.has_value());
    ASSERT_EQ(analysis->families->size(), 1U);
    const tessaron::RepeatFamily& family = analysis->families->front();
    ASSERT_EQ(family.copies.size(), 3U);
    trigger(*window, CTessaronDlg::IdSequenceMap);
    CDiagramDlg* map = mapOf(*window);
    ASSERT_NE(map, nullptr);

    RepeatTreeModel* model = modelOf(*window);
    const QModelIndex item = model->indexOf<FamiliesBranch>(model->branch<FamiliesBranch>().familyItem(0));
    ASSERT_TRUE(item.isValid());
    EXPECT_TRUE(model->data(item).toString().startsWith(QStringLiteral("Family 1: 3 copies, ")))
        << model->data(item).toString().toStdString();
    EXPECT_TRUE(model->data(item).toString().endsWith(QStringLiteral("(direct, inverted)")));
    ASSERT_EQ(model->rowCount(item), 3);
    // The family, then one of its copies: every copy of it either way.
    for (const QModelIndex& chosen : {item, model->index(2, 0, item)}) {
        treeOf(*window)->setCurrentIndex(chosen);
        const auto& copies = window->session().highlights().copies();
        ASSERT_EQ(copies.size(), 3U);
        SequenceView* pane = paneOf(*window);
        for (const tessaron::FamilyCopy& copy : family.copies) {
            EXPECT_NE(pane->colorAt(static_cast<int>(copy.start + copy.length / 2)), pane->textColor())
                << copy.start;
        }
        EXPECT_EQ(map->pairs().size(), 2U);
        EXPECT_TRUE(map->hasRepeat());
    }
    EXPECT_TRUE(model->data(model->index(static_cast<int>(family.representative), 0, item))
                    .toString()
                    .endsWith(QStringLiteral(", representative")));
}

}  // namespace
