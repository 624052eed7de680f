// The microsatellites in the main window: their branch of the results tree,
// the highlight of the one selected and the repeat summary of the genome.

#include "charts/barfigure.h"
#include "views/commands/microsatellitecommands.h"
#include "views/dialogs/microsatellitedlg.h"
#include "views/sheets/repeatsummarydlg.h"
#include "views/sheets/sheetview.h"
#include "whenmodal.h"
#include "windowfixture.h"

#include <QAbstractItemModelTester>
#include <QCoreApplication>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Highlight = SequenceView::Highlight;

class MicrosatelliteWindowTest : public WindowFixture {};

TEST_F(MicrosatelliteWindowTest, BranchSelectionAndSummaryOfTheChloroplast)
{
    const auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenGenBank, QStringLiteral(TESSARON_TEST_DATA) + "/NC_000932.gb");
    RepeatTreeModel& model = *modelOf(*window);
    const QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);

    // After the four kinds: unit lengths, classes, then each microsatellite by start.
    const QModelIndex branch = model.index(4, 0);
    ASSERT_EQ(branch, model.microsatelliteBranch());
    EXPECT_EQ(branch.data().toString(), QStringLiteral("Microsatellites (77)"));
    ASSERT_EQ(model.rowCount(branch), 3);
    EXPECT_EQ(model.index(2, 0, branch).data().toString(), QStringLiteral("trinucleotide (2)"));
    const QModelIndex mono = model.index(0, 0, branch);
    EXPECT_EQ(mono.data().toString(), QStringLiteral("mononucleotide (69)"));
    const QModelIndex at = model.index(0, 0, mono);
    EXPECT_EQ(at.data().toString(), QStringLiteral("A/T (68)"));
    const QModelIndex first = model.index(0, 0, at);
    EXPECT_EQ(first.data().toString(), QStringLiteral("(A)15 at 112"));
    EXPECT_EQ(first.parent(), at);
    EXPECT_EQ(model.index(4, 0, at).data().toString().toStdString(), "(A)13 at 7905, compound 1");

    // Selecting it highlights its letters and brings them into view.
    treeOf(*window)->setCurrentIndex(first);
    const tessaron::Microsatellite* selected = window->session().highlights().selectedMicrosatellite();
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(selected->start, 111);
    EXPECT_EQ(paneOf(*window)->highlights(), (std::vector<Highlight>{{111, 15, QColor(0, 208, 0), true}}));
    EXPECT_EQ(paneOf(*window)->caret(), 111);
    EXPECT_EQ(window->session().genome().sequence().substr(111, 15), std::string(15, 'A'));
    // A class item highlights nothing.
    treeOf(*window)->setCurrentIndex(at);
    EXPECT_EQ(window->session().highlights().selectedMicrosatellite(), nullptr);
    EXPECT_TRUE(paneOf(*window)->highlights().empty());

    // The repeat summary: the paper's section beside its charts.
    trigger(*window, MicrosatelliteCommands::IdRepeatSummary);
    const auto* commands = partOf<MicrosatelliteCommands>(*window, "microsatelliteCommands");
    CRepeatSummaryDlg* summary = commands->summary();
    ASSERT_NE(summary, nullptr);
    EXPECT_EQ(summary->windowTitle(), QStringLiteral("Repeat summary"));
    EXPECT_TRUE(summary->sheet()->cellText(5, 2).startsWith(QStringLiteral("approximate search: ")))
        << summary->sheet()->cellText(5, 2).toStdString();
    EXPECT_EQ(summary->figure()->views().size(), 3U);  // long repeats, microsatellites, tandem arrays
}

// A minimum of one repeat is refused as "Options" refuses a length; the
// settings taken are kept and the loaded genome's microsatellites found again.
TEST_F(MicrosatelliteWindowTest, SettingsAreCheckedKeptAndApplied)
{
    const auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenGenBank, QStringLiteral(TESSARON_TEST_DATA) + "/NC_000932.gb");
    whenModal<CMicrosatelliteDlg>([this](CMicrosatelliteDlg& dialog) {
        EXPECT_EQ(dialog.repeatsField(1)->text(), QStringLiteral("10"));
        dialog.repeatsField(2)->setText(QStringLiteral("1"));
        dialog.accept();
        ASSERT_EQ(prompts_->messages.size(), 1U);
        EXPECT_EQ(prompts_->messages.back().text,
                  QStringLiteral("Please enter an integer between 2 and 1000000."));
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.repeatsField(2)->selectedText(), QStringLiteral("1"));
        dialog.repeatsField(2)->setText(QStringLiteral("7"));
        dialog.repeatsField(1)->setText(QStringLiteral("15"));
        dialog.distanceField()->setText(QStringLiteral("0"));
        dialog.accept();
    });
    trigger(*window, MicrosatelliteCommands::IdMicrosatelliteOptions);
    waitForJob(*window);
    EXPECT_EQ(stored(QStringLiteral("Tessaron/microsatellites/minimum")).toString(),
              QStringLiteral("15,7,5,5,5,5"));
    EXPECT_EQ(stored(QStringLiteral("Tessaron/microsatellites/compound")).toInt(), 0);
    ASSERT_NE(window->session().microsatellites(), nullptr);
    for (const tessaron::Microsatellite& m : *window->session().microsatellites()) {
        EXPECT_GE(m.repeats, m.unitLength == 1 ? 15 : m.unitLength == 2 ? 7 : 5);
    }
    EXPECT_EQ(modelOf(*window)->microsatelliteBranch().data().toString(),
              QStringLiteral("Microsatellites (%1)").arg(window->session().microsatellites()->size()));
}

// At the window's default size every written column of the summary shows
// whole; the saved figure holds every category label and legend name whole.
TEST_F(MicrosatelliteWindowTest, TheSummaryShowsItsCountsAndSavesWholeLabels)
{
    const auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenGenBank, QStringLiteral(TESSARON_TEST_DATA) + "/NC_000932.gb");
    trigger(*window, MicrosatelliteCommands::IdRepeatSummary);
    const auto* commands = partOf<MicrosatelliteCommands>(*window, "microsatelliteCommands");
    CRepeatSummaryDlg* summary = commands->summary();
    ASSERT_NE(summary, nullptr);
    QCoreApplication::processEvents();
    CWebCalc& sheet = *summary->sheet();
    const QAbstractItemModel& cells = *sheet.model();
    int written = 0;
    for (int column = 0; column < cells.columnCount(); ++column) {
        bool any = false;
        for (int row = 0; row < cells.rowCount() && !any; ++row) {
            any = !cells.index(row, column).data().toString().isEmpty();
        }
        if (!any) {
            continue;
        }
        ++written;
        EXPECT_LE(sheet.columnViewportPosition(column) + sheet.columnWidth(column), sheet.viewport()->width())
            << "column " << column;
    }
    EXPECT_GE(written, 3);

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("summary.svg"));
    BarFigurePanel& figure = *summary->figure();
    figure.setFileChooser([&path](QWidget*, const QString&, const QString&) { return path; });
    figure.saveFigure();
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QString svg = QString::fromUtf8(saved.readAll());
    ASSERT_EQ(figure.figure().size(), 3U);  // long repeats, microsatellites, tandem arrays
    for (const tessaron::BarChartData& chart : figure.figure()) {
        ASSERT_FALSE(chart.categories.isEmpty());
        for (const QString& category : chart.categories) {
            EXPECT_TRUE(svg.contains(QLatin1Char('>') + category.toHtmlEscaped() + QLatin1Char('<')))
                << category.toStdString();
        }
        for (const tessaron::BarSet& set : chart.sets) {
            EXPECT_TRUE(svg.contains(QLatin1Char('>') + set.name.toHtmlEscaped() + QLatin1Char('<')))
                << set.name.toStdString();
        }
    }
}

}  // namespace
