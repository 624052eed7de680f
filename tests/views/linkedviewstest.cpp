// The annotation in the sequence pane, the feature table and the pairs table,
// driven through the main window's menus as a reader would use them.

#include "views/base/printcommands.h"
#include "views/commands/linkedviews.h"
#include "views/commands/repeatexporter.h"
#include "views/results/pairstable.h"
#include "views/sequence/annotationlayer.h"
#include "views/sequence/featuretable.h"
#include "windowfixture.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <string>
#include <vector>

using tessaron::RepeatKind;
using Arrow = AnnotationLayer::Arrow;

namespace {

// A circular genome of 120 bases with a gene across the origin on the plus
// strand (101..120 then 1..10) and a tRNA on the minus strand.
QByteArray originRecord()
{
    QByteArray bases;
    const char* const unit = "ACGTTGCAAGGCTTAACCGATCGGATTACAGCATGC";
    while (bases.size() < 120) {
        bases += unit;
    }
    bases.truncate(120);
    QByteArray text =
        "LOCUS       ORIGIN1  120 bp    DNA     circular\n"
        "DEFINITION  a gene across the origin\nSOURCE      test\n"
        "FEATURES             Location/Qualifiers\n"
        "     source          1..120\n"
        "     gene            join(101..120,1..10)\n                     /gene=\"orf\"\n"
        "     tRNA            complement(40..60)\n                     /product=\"tRNA-Phe\"\n"
        "ORIGIN\n";
    for (int at = 0; at < bases.size(); at += 60) {
        text += QByteArray::number(at + 1).rightJustified(9) + ' ' + bases.mid(at, 60) + '\n';
    }
    return text + "//\n";
}

}  // namespace

class LinkedViewsTest : public WindowFixture {
protected:
    static LinkedViews& linksOf(const CTessaronDlg& window)
    {
        return *partOf<LinkedViews>(window, "linkedViews");
    }
    // Whether the gene colour is painted in the band of `row`, over the columns [from, to].
    static bool paintedAbove(SequenceView& pane, int row, int from, int to)
    {
        const QImage shot = pane.viewport()->grab().toImage();
        const int y = pane.rowTop(row) + pane.bandHeight() / 2 - 2;
        for (int column = from; column <= to; ++column) {
            const int x = pane.textLeft() + static_cast<int>((column + 0.5) * pane.characterWidth());
            for (int dy = -3; dy <= 3; ++dy) {
                if (shot.pixelColor(x, y + dy) == QColor(0xEA, 0, 0)) {
                    return true;
                }
            }
        }
        return false;
    }
};

TEST_F(LinkedViewsTest, TheAnnotationDrawsAFeatureAcrossTheOriginInBothParts)
{
    const auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenGenBank, writeFile(QStringLiteral("origin.gb"), originRecord()));
    SequenceView& pane = *paneOf(*window);
    ASSERT_EQ(pane.textLength(), 120);
    // Off until chosen: the pane looks as before.
    QAction* show = window->command(LinkedViews::IdShowAnnotation);
    ASSERT_TRUE(show->isEnabled());
    EXPECT_FALSE(show->isChecked());
    EXPECT_EQ(pane.bandHeight(), 0);
    const int rowsBefore = pane.rowCount();

    show->trigger();
    EXPECT_GT(pane.bandHeight(), pane.lineHeight());
    EXPECT_EQ(pane.rowCount(), rowsBefore);  // the bases wrap as before
    const AnnotationLayer& layer = linksOf(*window).annotation();
    const int last = pane.rowOf(119);
    const auto named = [](const std::vector<Arrow>& arrows, const QString& name) {
        return std::find_if(arrows.begin(), arrows.end(), [&name](const Arrow& a) { return a.name == name; });
    };
    // The gene's head is on the piece after the origin; its piece before it runs to the end.
    const std::vector<Arrow> top = layer.arrowsInRow(0);
    const auto after = named(top, QStringLiteral("orf"));
    ASSERT_NE(after, top.end());
    EXPECT_EQ(std::pair(after->from, after->to), std::pair(0, 9));
    EXPECT_EQ(after->head, Arrow::Head::Right);
    const std::vector<Arrow> bottom = layer.arrowsInRow(last);
    const auto before = named(bottom, QStringLiteral("orf"));
    ASSERT_NE(before, bottom.end());
    EXPECT_EQ(std::pair(before->from, before->to), std::pair(100, 119));
    EXPECT_EQ(before->head, Arrow::Head::None);
    const auto trna = std::find_if(layer.arrows().begin(), layer.arrows().end(),
                                   [](const Arrow& a) { return a.name == QStringLiteral("tRNA-Phe"); });
    ASSERT_NE(trna, layer.arrows().end());
    EXPECT_EQ(trna->head, Arrow::Head::Left);

    // Both pieces are painted, in the gene's colour, above their bases.
    const int columns = pane.columns();
    EXPECT_TRUE(paintedAbove(pane, 0, 0, 9));
    EXPECT_TRUE(paintedAbove(pane, last, 100 - last * columns, 119 - last * columns));
    EXPECT_FALSE(paintedAbove(pane, 0, 20, 30));

    show->trigger();
    EXPECT_EQ(pane.bandHeight(), 0);
}

TEST_F(LinkedViewsTest, AClickInTheFeatureTableSelectsTheFeatureInThePane)
{
    const auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenGenBank, kMitoFile);
    SequenceView& pane = *paneOf(*window);
    trigger(*window, LinkedViews::IdFindGene);
    auto* table = partOf<FeatureTableWindow>(*window, "featureTable");
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->isVisible());

    // The name field keeps ND6 alone: a gene on the minus strand named by /gene.
    QTest::keyClicks(&table->nameField(), QStringLiteral("nd6"));
    QTableView& view = table->view();
    ASSERT_EQ(view.model()->rowCount(), 1);
    EXPECT_EQ(view.model()->index(0, FeatureTableModel::Strand).data().toString(), QStringLiteral("-"));
    EXPECT_EQ(view.model()->index(0, FeatureTableModel::Start).data().toString(), QStringLiteral("14149"));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                      view.visualRect(view.model()->index(0, 0)).center());
    EXPECT_EQ(pane.selectionStart(), 14148);
    EXPECT_EQ(pane.selectionEnd(), 14673);
    const int row = pane.rowOf(14148);
    EXPECT_GE(row, pane.firstVisibleRow());
    EXPECT_LT(row, pane.firstVisibleRow() + pane.visibleRowCount());

    // An rRNA takes its gene's strand, the gene its product: both are found by it.
    table->nameField().clear();
    QTest::keyClicks(&table->nameField(), QStringLiteral("s-rRNA"));
    view.sortByColumn(FeatureTableModel::Type, Qt::AscendingOrder);
    ASSERT_EQ(view.model()->rowCount(), 2);
    const QStringList columns[] = {{"RNR1", "gene", "+", "648", "1601", "s-rRNA"},
                                   {"s-rRNA", "rRNA", "+", "648", "1601", "s-rRNA"}};
    for (int shown = 0; shown < 2; ++shown) {
        for (int column = 0; column < FeatureTableModel::ColumnCount; ++column) {
            EXPECT_EQ(view.model()->index(shown, column).data().toString(), columns[shown][column])
                << shown << column;
        }
    }

    // Sorted by end, last first; the D-loop crosses the origin and is selected to the end.
    table->nameField().clear();
    view.sortByColumn(FeatureTableModel::End, Qt::DescendingOrder);
    EXPECT_GE(view.model()->index(0, FeatureTableModel::End).data(FeatureTableModel::SortRole).toInt(),
              view.model()->index(1, FeatureTableModel::End).data(FeatureTableModel::SortRole).toInt());
    QTest::keyClicks(&table->nameField(), QStringLiteral("D-loop"));
    QTest::keyClick(&table->nameField(), Qt::Key_Return);
    EXPECT_EQ(pane.selectionStart(), 16023);
    EXPECT_EQ(pane.selectionEnd(), pane.textLength());
}

// The trans-spliced rps12 of the chloroplast is listed by its parts, each
// with its strand; a click selects the gene's parts alone, which the pane
// highlights, copies and prints without the tens of kb between them.
TEST_F(LinkedViewsTest, ATransSplicedGeneIsListedAndSelectedByItsParts)
{
    const auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenGenBank, kTestData + QStringLiteral("/NC_000932.gb"));
    SequenceView& pane = *paneOf(*window);
    trigger(*window, LinkedViews::IdFindGene);
    auto* table = partOf<FeatureTableWindow>(*window, "featureTable");
    ASSERT_NE(table, nullptr);
    QTest::keyClicks(&table->nameField(), QStringLiteral("rps12"));
    QTableView& view = table->view();
    view.sortByColumn(FeatureTableModel::Start, Qt::AscendingOrder);
    const QStringList rows[] = {
        {"rps12 (part 2 of 2)", "gene", "-", "69611", "69724"},
        {"rps12 (part 1 of 2)", "gene", "-", "69611", "69724"},
        {"rps12 (part 1 of 2)", "gene", "-", "97999", "98793"},
        {"rps12 (part 2 of 2)", "gene", "+", "139856", "140650"},
    };
    ASSERT_EQ(view.model()->rowCount(), 4);
    for (int row = 0; row < 4; ++row) {
        QStringList shown;
        for (int column = FeatureTableModel::Name; column <= FeatureTableModel::End; ++column) {
            shown << view.model()->index(row, column).data().toString();
        }
        // The two parts at 69611 belong to different genes: their order is either.
        if (row < 2) {
            EXPECT_EQ(shown.mid(1), rows[row].mid(1)) << row;
        } else {
            EXPECT_EQ(shown, rows[row]) << row;
        }
    }

    // Each gene's parts are selected, not the span between them.
    const auto rowOf = [&view](const QString& name, const QString& start) {
        for (int row = 0; row < view.model()->rowCount(); ++row) {
            if (view.model()->index(row, FeatureTableModel::Name).data().toString() == name &&
                view.model()->index(row, FeatureTableModel::Start).data().toString() == start) {
                return row;
            }
        }
        return -1;
    };
    const struct {
        QString name;
        QString start;
        std::vector<SequenceView::Range> parts;
    } genes[] = {
        {QStringLiteral("rps12 (part 1 of 2)"), QStringLiteral("97999"), {{97998, 98793}, {69610, 69724}}},
        {QStringLiteral("rps12 (part 2 of 2)"), QStringLiteral("139856"), {{69610, 69724}, {139855, 140650}}},
    };
    const std::string_view bases = window->session().genome().sequence();
    for (const auto& gene : genes) {
        const int row = rowOf(gene.name, gene.start);
        ASSERT_GE(row, 0) << gene.start.toStdString();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, {},
                          view.visualRect(view.model()->index(row, 0)).center());
        EXPECT_EQ(pane.selectedRanges(), gene.parts);
        std::string expected;
        for (const SequenceView::Range& part : gene.parts) {
            if (!expected.empty()) {
                expected += '\n';
            }
            expected += bases.substr(static_cast<std::size_t>(part.start),
                                     static_cast<std::size_t>(part.end - part.start));
        }
        EXPECT_EQ(pane.selectedText(), expected);
        pane.copy();
        EXPECT_EQ(QApplication::clipboard()->text().size(), 795 + 114 + 1);
        // The chosen part is in view.
        const int shownRow = pane.rowOf(std::stoi(gene.start.toStdString()) - 1);
        EXPECT_GE(shownRow, pane.firstVisibleRow());
        EXPECT_LT(shownRow, pane.firstVisibleRow() + pane.visibleRowCount());
    }
    // A move of the caret ends the selection in parts.
    pane.setCaret(10);
    EXPECT_TRUE(pane.selectedRanges().empty());

    // The printed listing holds the parts alone, each line numbered by its first base.
    const QString listing = basesListing(bases, {{69610, 69724}, {139855, 140650}}, QStringLiteral("rps12"));
    EXPECT_TRUE(listing.contains(QStringLiteral("\n 69611 ")));
    EXPECT_TRUE(listing.contains(QStringLiteral("\n139856 ")));
    EXPECT_FALSE(listing.contains(QStringLiteral("\n 69725 ")));
    int printed = 0;
    for (const QChar letter : listing) {
        printed += QStringLiteral("ACGT").contains(letter) ? 1 : 0;
    }
    EXPECT_EQ(printed, 114 + 795);
}

TEST_F(LinkedViewsTest, ADoubleClickedPairIsShownInThePaneAndOnTheMap)
{
    const auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenGenBank, kMitoFile);
    trigger(*window, CTessaronDlg::IdDiagram);
    ASSERT_NE(mapOf(*window), nullptr);
    // The kind selected in the tree is the table's.
    treeOf(*window)->setCurrentIndex(modelOf(*window)->index(1, 0));
    trigger(*window, LinkedViews::IdPairsTable);
    auto* table = partOf<PairsTableWindow>(*window, "pairsTable");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->kind(), 1);
    EXPECT_EQ(table->model().rowCount(), 1115);  // every inverted pair of the tree

    // The first row after sorting by distance, last first: the pair farthest apart.
    QTableView& view = table->view();
    view.sortByColumn(PairsTableModel::Distance, Qt::DescendingOrder);
    const PairsTableModel::Pair pair = table->model().pairAt(0);
    EXPECT_GE(table->model().index(0, PairsTableModel::Distance).data().toLongLong(),
              table->model().index(1114, PairsTableModel::Distance).data().toLongLong());
    // A double click as the mouse makes it: press, release, press, double click, release.
    const QPoint at = view.visualRect(view.model()->index(0, 0)).center();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at);
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, at);

    // The word is selected in the tree, both copies highlighted, the first selected.
    const tessaron::Repeat* repeat = window->session().highlights().selectedRepeat();
    ASSERT_NE(repeat, nullptr);
    EXPECT_EQ(repeat->length, pair.length);
    SequenceView& pane = *paneOf(*window);
    const auto highlighted = [&pane](int start) {
        return std::any_of(pane.highlights().begin(), pane.highlights().end(),
                           [start](const SequenceView::Highlight& h) { return h.start == start; });
    };
    EXPECT_TRUE(highlighted(pair.first));
    EXPECT_TRUE(highlighted(pair.second));
    EXPECT_EQ(pane.selectionStart(), pair.first);
    EXPECT_EQ(pane.selectionEnd(), pair.first + pair.length);
    // The map marks the word, this pair among its pairs.
    CDiagramDlg* map = mapOf(*window);
    ASSERT_NE(map, nullptr);
    ASSERT_TRUE(map->hasRepeat());
    EXPECT_TRUE(std::any_of(map->pairs().begin(), map->pairs().end(), [&pair](const tessaron::RepeatPair& p) {
        return p.first == pair.first && p.second == pair.second;
    }));
}

// A table cut at its limit keeps the longest pairs, says so above the rows,
// and its longest row is the tree's longest pair.
TEST_F(LinkedViewsTest, ACutPairsTableKeepsTheLongestPairsAndSaysSo)
{
    const auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenGenBank, kMitoFile);
    treeOf(*window)->setCurrentIndex(modelOf(*window)->index(1, 0));
    trigger(*window, LinkedViews::IdPairsTable);
    auto* table = partOf<PairsTableWindow>(*window, "pairsTable");
    ASSERT_NE(table, nullptr);
    const auto lengths = [table] {
        std::vector<int> listed;
        for (int row = 0; row < table->model().rowCount(); ++row) {
            listed.push_back(table->model().pairAt(row).length);
        }
        std::sort(listed.rbegin(), listed.rend());
        return listed;
    };
    const std::vector<int> all = lengths();
    ASSERT_EQ(all.size(), 1115U);
    EXPECT_EQ(table->countText(), QStringLiteral("1115 pairs"));
    for (const int limit : {1, 100, 1114}) {
        SCOPED_TRACE(limit);
        table->setMaxRows(limit);
        table->refill();
        const std::vector<int> kept = lengths();
        EXPECT_EQ(kept, std::vector<int>(all.begin(), all.begin() + limit));
        EXPECT_TRUE(table->countText().startsWith(
            QStringLiteral("The %1 longest of 1115 pairs (%2 bp").arg(limit).arg(kept.back())))
            << table->countText().toStdString();
        table->view().sortByColumn(PairsTableModel::Length, Qt::DescendingOrder);
        EXPECT_EQ(table->model().index(0, PairsTableModel::Length).data().toInt(), all.front());
    }
}

TEST_F(LinkedViewsTest, TheSelectedWordsPositionsAreCopiedAndExportedAlone)
{
    const auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenGenBank, kMitoFile);
    // The one direct repeat of 15 bases.
    const QModelIndex word = modelOf(*window)->repeatIndex(RepeatKind::Direct, 15, 0);
    treeOf(*window)->setCurrentIndex(word);
    const tessaron::RepeatPair pair = window->session().highlights().selectedPairs().front();

    // The pop-up menu keeps its grayed item first; the positions come beneath it.
    QStringList shown;
    QTimer::singleShot(0, [&shown] {
        if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : popup->actions()) {
                shown << action->text();
            }
            popup->actions().back()->trigger();
            popup->close();
        }
    });
    QWidget* viewport = treeOf(*window)->viewport();
    const QPoint at = treeOf(*window)->visualRect(word).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &event);
    EXPECT_EQ(shown, (QStringList{"(disabled)", "Copy &positions"}));
    EXPECT_EQ(QApplication::clipboard()->text(),
              QStringLiteral("%1\t%2\n").arg(pair.first + 1).arg(pair.second + 1));

    // Only the selected word's pair is exported: two copies.
    const QString gff = folder_.filePath(QStringLiteral("selected.gff3"));
    prompts_->files.push_back(gff);
    trigger(*window, RepeatExporter::IdExportSelected);
    waitForJob(*window);
    QFile written(gff);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = written.readAll().split('\n');
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const QByteArray& line) { return line.contains("\trepeat_region\t"); }),
              2);
    // Under a filter with nothing selected, what the filter shows.
    treeOf(*window)->clearSelection();
    modelOf(*window)->setFilter({13, 13, 0, {}});
    const tessaron::Analysis shownOnly =
        partOf<RepeatExporter>(*window, "repeatExporter")->selectedAnalysis();
    for (const RepeatKind kind : tessaron::kKindOrder) {
        const auto& snapshot = *shownOnly.of(kind);
        const auto& all = *window->session().snapshot(kind);
        for (int slot = 0; slot < snapshot.slotCount(); ++slot) {
            EXPECT_EQ(snapshot.pairCount(slot), snapshot.minLength() + slot == 13 ? all.pairCount(slot) : 0);
        }
    }
}
