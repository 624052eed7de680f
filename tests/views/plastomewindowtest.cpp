// The plastome's four parts on screen: the junction figure of many genomes
// painted with its names whole and apart, and View > "Plastome structure" of
// the chloroplast, whose rows select their bases in the pane and on the map.

#include "mapimage/junctionpainter.h"
#include "views/commands/plastomecommands.h"
#include "views/maps/plastomewindow.h"
#include "windowfixture.h"

#include <QFile>
#include <QTableWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using tessaron::JunctionFigure;
using tessaron::JunctionFigureGenome;
using tessaron::JunctionFigureText;
using tessaron::PlastomePart;

tessaron::PlastomeStructure figureParts(std::array<std::int64_t, 4> lengths)
{
    tessaron::PlastomeStructure s;
    s.found = true;
    std::int64_t at = 0;
    for (std::size_t p = 0; p < 4; ++p) {
        s.regions[p] = {at, lengths[p], 0.37};
        at += lengths[p];
        s.junctionAfter[p] = at;
    }
    s.genomeLength = at;
    s.junctionAfter[3] = 0;
    return s;
}

QString svgEscaped(const std::string& text)
{
    return QString::fromStdString(text).toHtmlEscaped();
}

// Fifty genomes with crowded junctions and long names, laid out with the
// figure's own font: no two texts overlap, every genome is named, and the SVG
// holds every text laid out.
TEST(JunctionFigurePainting, FiftyGenomesEveryTextPaintedNoneOverlapping)
{
    std::mt19937 random(50);
    const auto between = [&](std::int64_t low, std::int64_t high) {
        return std::uniform_int_distribution<std::int64_t>(low, high)(random);
    };
    std::vector<JunctionFigureGenome> genomes;
    for (int g = 0; g < 50; ++g) {
        JunctionFigureGenome genome;
        genome.name =
            "Nicotiana species " + std::to_string(g) + (g % 3 == 0 ? " subsp. & <very> long name" : "");
        const std::int64_t ir = between(900, 28000);
        genome.structure = figureParts({between(70000, 90000), ir, between(1000, 20000), ir});
        for (auto& genes : genome.genes) {
            for (std::int64_t i = between(1, 5); i > 0; --i) {
                const std::int64_t start = between(-2400, 2400);
                genes.push_back({"ycf" + std::to_string(i) + (i % 2 == 0 ? "-fragment" : ""), start,
                                 start + between(30, 2000), between(0, 1) == 1});
            }
        }
        genomes.push_back(std::move(genome));
    }
    const JunctionFigure figure = tessaron::junctionFigureOf(genomes);
    int named = 0;
    for (std::size_t a = 0; a < figure.texts.size(); ++a) {
        named += figure.texts[a].kind == JunctionFigureText::Kind::Genome ? 1 : 0;
        for (std::size_t b = a + 1; b < figure.texts.size(); ++b) {
            EXPECT_FALSE(figure.texts[a].box.overlaps(figure.texts[b].box))
                << figure.texts[a].text << " over " << figure.texts[b].text;
        }
    }
    EXPECT_EQ(named, 50);

    const QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("junctions.svg"));
    ASSERT_TRUE(tessaron::saveJunctionFigure(path, figure));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString drawing = QString::fromUtf8(file.readAll());
    for (const JunctionFigureText& text : figure.texts) {
        EXPECT_TRUE(drawing.contains(svgEscaped(text.text))) << text.text;
    }
    EXPECT_FALSE(
        tessaron::saveJunctionFigure(folder.filePath(QStringLiteral("no/such/folder/j.png")), figure));
}

class PlastomeWindowTest : public WindowFixture {};

TEST_F(PlastomeWindowTest, PartsJunctionsFigureAndSelection)
{
    const auto window = makeWindow();
    open(*window, CTessaronDlg::IdOpenGenBank, kTestData + QStringLiteral("/NC_000932.gb"));
    trigger(*window, CTessaronDlg::IdDiagram);
    CDiagramDlg* map = mapOf(*window);
    ASSERT_NE(map, nullptr);
    trigger(*window, PlastomeCommands::IdPlastomeStructure);
    waitForJob(*window);
    const auto* commands = partOf<PlastomeCommands>(*window, "plastomeCommands");
    CPlastomeDlg* plastome = commands->window();
    ASSERT_NE(plastome, nullptr);
    EXPECT_TRUE(plastome->isVisible());
    EXPECT_TRUE(plastome->summary().contains(QStringLiteral("26,264"))) << plastome->summary().toStdString();

    QTableWidget* table = plastome->table();
    ASSERT_EQ(table->rowCount(), 8);
    const std::vector<std::vector<QString>> rows{
        {"LSC", "1", "84,170", "84,170"},
        {"IRb", "84,171", "110,434", "26,264"},
        {"SSC", "110,435", "128,214", "17,780"},
        {"IRa", "128,215", "154,478", "26,264"},
    };
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(table->item(r, c)->text(),
                      rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
        }
    }
    EXPECT_EQ(table->item(4, 0)->text(), QStringLiteral("JLB"));
    EXPECT_EQ(table->item(4, 1)->text(), QStringLiteral("84170^84171"));
    EXPECT_TRUE(table->item(4, 5)->text().startsWith(QStringLiteral("rps19 (166 | 113)")))
        << table->item(4, 5)->text().toStdString();
    EXPECT_EQ(table->item(7, 1)->text(), QStringLiteral("154478^1"));

    // The figure of the genome: one row, its four junctions.
    EXPECT_EQ(plastome->figure().junctions.size(), 4U);
    auto* figure = partOf<QWidget>(*plastome, "junctionFigure");
    ASSERT_NE(figure, nullptr);
    EXPECT_EQ(figure->size(), QSize(plastome->figure().width, plastome->figure().height));

    // A click on IRb selects its bases in the pane and marks them on the map;
    // JLA's two bases lie across the origin.
    const auto click = [&](int row) {
        const QRect cell = table->visualRect(table->model()->index(row, 0));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    };
    table->scrollToItem(table->item(2, 0));
    click(1);
    EXPECT_EQ(paneOf(*window)->selectedRanges(), (std::vector<SequenceView::Range>{{84170, 110434}}));
    ASSERT_TRUE(map->markedStretch().has_value());
    EXPECT_EQ(map->markedStretch()->start, 84170);
    EXPECT_EQ(map->markedStretch()->length, 26264);
    table->scrollToItem(table->item(7, 0));
    click(7);
    EXPECT_EQ(paneOf(*window)->selectedRanges(),
              (std::vector<SequenceView::Range>{{154477, 154478}, {0, 1}}));
}

}  // namespace
