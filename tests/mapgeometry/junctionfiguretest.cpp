// The junction figure's layout: texts that never overlap nor leave their
// row, whatever the number of genomes and however crowded their junctions;
// the junctions of every genome on the same lines; the bar to scale.

#include "mapgeometry/junctionfigure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace tessaron {
namespace {

LabelMetrics metrics()
{
    LabelMetrics m;
    m.width = [](const std::string& text) { return 7 * static_cast<int>(text.size()); };
    return m;
}

// A structure of these part lengths, from 0.
PlastomeStructure structureOf(std::array<std::int64_t, 4> lengths)
{
    PlastomeStructure s;
    s.found = true;
    std::int64_t at = 0;
    for (std::size_t p = 0; p < 4; ++p) {
        s.regions[p] = {at, lengths[p], 0.37};
        at += lengths[p];
    }
    s.genomeLength = at;
    for (std::size_t j = 0; j < 4; ++j) {
        s.junctionAfter[j] = (s.regions[j].start + s.regions[j].length) % at;
    }
    return s;
}

std::vector<JunctionFigureGenome> crowded(int count, std::uint32_t seed)
{
    std::mt19937 random(seed);
    const auto between = [&](std::int64_t low, std::int64_t high) {
        return std::uniform_int_distribution<std::int64_t>(low, high)(random);
    };
    std::vector<JunctionFigureGenome> genomes;
    for (int g = 0; g < count; ++g) {
        JunctionFigureGenome genome;
        genome.name =
            "Species number " + std::to_string(g) + std::string(static_cast<std::size_t>(g % 7) * 6, 'x');
        genome.structure = structureOf({between(60000, 90000), between(800, 30000), between(1500, 20000), 0});
        genome.structure =
            structureOf({genome.structure.regions[0].length, genome.structure.regions[1].length,
                         genome.structure.regions[2].length, genome.structure.regions[1].length});
        for (auto& genes : genome.genes) {
            const auto many = between(0, 6);
            for (std::int64_t i = 0; i < many; ++i) {
                const std::int64_t start = between(-2500, 2500);
                genes.push_back({"gene" + std::to_string(i) + (i % 2 == 0 ? "long-name" : ""), start,
                                 start + between(1, 1500), between(0, 1) == 1});
            }
        }
        genomes.push_back(std::move(genome));
    }
    return genomes;
}

TEST(JunctionFigure, NoTwoTextsOverlapAndEachStaysInItsRow)
{
    const LabelMetrics m = metrics();
    for (const int count : {1, 3, 50}) {
        SCOPED_TRACE(count);
        const auto genomes = crowded(count, static_cast<std::uint32_t>(count));
        const JunctionFigure figure = layOutJunctionFigure(genomes, m);
        const JunctionFigureSettings settings;
        int genomeNames = 0;
        for (std::size_t a = 0; a < figure.texts.size(); ++a) {
            const LabelBox& box = figure.texts[a].box;
            EXPECT_GE(box.left, 0);
            EXPECT_LE(box.right, figure.width);
            EXPECT_GE(box.top, 0);
            EXPECT_LE(box.bottom, figure.height);
            genomeNames += figure.texts[a].kind == JunctionFigureText::Kind::Genome ? 1 : 0;
            for (std::size_t b = a + 1; b < figure.texts.size(); ++b) {
                EXPECT_FALSE(box.overlaps(figure.texts[b].box))
                    << figure.texts[a].text << " over " << figure.texts[b].text;
            }
        }
        // Every genome is named, in a column no wider than allowed.
        EXPECT_EQ(genomeNames, count);
        for (const JunctionFigureText& text : figure.texts) {
            if (text.kind == JunctionFigureText::Kind::Genome) {
                EXPECT_LE(m.width(text.text), settings.maxNameWidth) << text.text;
            }
        }
        EXPECT_EQ(figure.junctions.size(), 4U * static_cast<std::size_t>(count));
    }
}

TEST(JunctionFigure, JunctionsLineUpAndTheBarIsToScale)
{
    const LabelMetrics m = metrics();
    JunctionFigureGenome a;
    a.name = "A";
    a.structure = structureOf({84170, 26264, 17780, 26264});
    a.genes[0].push_back({"rps19", -100, 179, true});  // across JLB
    a.genes[1].push_back({"ndhF", 30, 2300, true});    // beside JSB, 30 bases into the SSC
    JunctionFigureGenome b;
    b.name = "B";
    b.structure = structureOf({80000, 1200, 15000, 1200});  // copies shorter than the window
    JunctionFigureGenome none;
    none.name = "C";
    const JunctionFigureSettings settings;
    const JunctionFigure figure = layOutJunctionFigure({a, b, none}, m, settings);
    ASSERT_EQ(figure.junctions.size(), 8U);
    for (std::size_t j = 0; j < 4; ++j) {
        EXPECT_DOUBLE_EQ(figure.junctions[j].x, figure.junctions[4 + j].x);
    }
    const double perBase = settings.columnWidth / 2.0 / static_cast<double>(settings.window);
    // B's IRb after JLB: all of its 1,200 bases, no more.
    bool seen = false;
    for (const JunctionFigurePart& part : figure.parts) {
        if (part.row == 1 && part.part == PlastomePart::IrB && part.rect.left == figure.junctions[4].x) {
            EXPECT_NEAR(part.rect.right - part.rect.left, 1200 * perBase, 1e-9);
            seen = true;
        }
        EXPECT_NE(part.row, 2U);  // nothing drawn for a genome without the structure
    }
    EXPECT_TRUE(seen);
    ASSERT_EQ(figure.genes.size(), 2U);
    EXPECT_NEAR(figure.genes[0].rect.left, figure.junctions[0].x - 100 * perBase, 1e-9);
    EXPECT_NEAR(figure.genes[1].rect.left, figure.junctions[1].x + 30 * perBase, 1e-9);
    std::vector<std::string> written;
    for (const JunctionFigureText& text : figure.texts) {
        written.push_back(text.text);
    }
    for (const char* expected : {"JLB", "JLA", "rps19", "100 | 179", "ndhF", "30 bp", "26,264 bp",
                                 "no quadripartite structure", "IRb"}) {
        EXPECT_NE(std::find(written.begin(), written.end(), expected), written.end()) << expected;
    }
}

TEST(JunctionFigure, LongNamesAreShortenedOnCharacterBoundaries)
{
    LabelMetrics m = metrics();
    JunctionFigureGenome genome;
    genome.name = "Ärabidopsis thaliana ecotype Columbia, chloroplast genome, complete sequence";
    JunctionFigureSettings settings;
    settings.maxNameWidth = 100;
    const JunctionFigure figure = layOutJunctionFigure({genome}, m, settings);
    const auto name = std::find_if(figure.texts.begin(), figure.texts.end(), [](const JunctionFigureText& t) {
        return t.kind == JunctionFigureText::Kind::Genome;
    });
    ASSERT_NE(name, figure.texts.end());
    EXPECT_TRUE(name->text.ends_with("…"));
    EXPECT_LE(m.width(name->text), 100);
    EXPECT_EQ(basePairText(1234567), "1,234,567 bp");
    EXPECT_EQ(basePairText(12), "12 bp");
}

}  // namespace
}  // namespace tessaron
