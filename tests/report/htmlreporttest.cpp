#include "report/htmlreport.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace tessaron {
namespace {

struct Escape {
    std::string text;
    std::string json;
    std::string html;
};

TEST(HtmlReport, EscapesTextForJsonAndHtml)
{
    const std::vector<Escape> cases{
        {"plain", "\"plain\"", "plain"},
        {"a\"b\\c", "\"a\\\"b\\\\c\"", "a&quot;b\\c"},
        {"</script><!--", "\"\\u003c/script>\\u003c!--\"", "&lt;/script&gt;&lt;!--"},
        {"tab\there\n", "\"tab\\u0009here\\u000a\"", "tab\there\n"},
        {"R&D 'x'", "\"R&D 'x'\"", "R&amp;D &#39;x&#39;"},
    };
    for (const Escape& c : cases) {
        EXPECT_EQ(jsonString(c.text), c.json) << c.text;
        EXPECT_EQ(htmlEscaped(c.text), c.html) << c.text;
    }
}

TEST(HtmlReport, SectionFromTsvKeepsHeaderRowsAndEmptyCells)
{
    const HtmlSection whole = sectionFromTsv("kind\tfirst\tnote\ndirect\t5\t\ninverted\t7\tx\n", 10);
    EXPECT_EQ(whole.columns, (std::vector<std::string>{"kind", "first", "note"}));
    ASSERT_EQ(whole.rows.size(), 2U);
    EXPECT_EQ(whole.rows[0], (std::vector<std::string>{"direct", "5", ""}));
    EXPECT_EQ(whole.totalRows, 2U);

    const HtmlSection cut = sectionFromTsv("a\n1\n2\n3\n", 2);
    EXPECT_EQ(cut.rows.size(), 2U);
    EXPECT_EQ(cut.totalRows, 3U);
    EXPECT_TRUE(sectionFromTsv("", 5).columns.empty());
}

std::shared_ptr<Genome> smallGenome()
{
    std::string bases;
    for (int i = 0; i < 40; ++i) {
        bases += "ACGTTGCAAGGCTTAC";
    }
    auto genome = std::make_shared<Genome>();
    EXPECT_TRUE(genome->allocate(static_cast<std::int64_t>(bases.size()), 8, 30));
    genome->appendText(bases.c_str());
    genome->setTitle("Test <genome>");
    return genome;
}

HtmlSection pairsSection(std::size_t rows, std::size_t total)
{
    HtmlSection section;
    section.id = "pairs";
    section.title = "Pairs";
    section.command = "tessaron-cli --report pairs genome.gb";
    section.columns = {"kind", "first", "second", "length"};
    for (std::size_t i = 0; i < rows; ++i) {
        const auto first = static_cast<std::int64_t>(i * 10 % 300);
        section.rows.push_back({"direct", std::to_string(first + 1), std::to_string(first + 301), "40"});
        section.marks.push_back({i, static_cast<int>(i % 4), first, first + 300, 40, std::nullopt});
    }
    section.totalRows = total;
    section.onDotPlot = true;
    return section;
}

std::string page(const HtmlReport& report, const Genome& genome)
{
    const FeatureList features{{0, genome.length() - 1, "source", 0x808080},
                               {10, 200, "geneA", 0x0000FF},
                               {400, 90, "across", 0x00FF00}};
    std::ostringstream out;
    writeHtmlReport(out, report, mapSvg(genome, features, report.sections, report.ring, report.ringSection),
                    dotPlotSvg(genome.length(), report.sections, 1000));
    return out.str();
}

TEST(HtmlReport, PageIsSelfContained)
{
    const auto genome = smallGenome();
    HtmlReport report;
    report.title = genome->title();
    report.length = genome->length();
    report.commandLine = "tessaron-cli --report html 'my genome.gb'";
    report.sections.push_back(pairsSection(5, 5));
    const std::string html = page(report, *genome);
    EXPECT_EQ(html.find("http://"), std::string::npos);
    EXPECT_EQ(html.find("https://"), std::string::npos);
    EXPECT_EQ(html.find("//cdn"), std::string::npos);
    // Every src or href stays in the page: an anchor, a data: or blob: address.
    const std::regex link(R"((src|href)\s*=\s*["']?([^"' >]*))", std::regex::icase);
    for (auto it = std::sregex_iterator(html.begin(), html.end(), link); it != std::sregex_iterator(); ++it) {
        const std::string target = (*it)[2];
        EXPECT_TRUE(target.starts_with("#") || target.starts_with("data:")) << target;
    }
    EXPECT_EQ(html.find("<script src"), std::string::npos);
    EXPECT_EQ(html.find("@import"), std::string::npos);
    EXPECT_EQ(html.find("url("), std::string::npos);
    // The title is escaped in the text and the map.
    EXPECT_NE(html.find("Test &lt;genome&gt;"), std::string::npos);
    EXPECT_EQ(html.find("<genome>"), std::string::npos);
    EXPECT_NE(html.find("tessaron-cli --report html &#39;my genome.gb&#39;"), std::string::npos);
    EXPECT_TRUE(html.ends_with("</html>\n"));
}

TEST(HtmlReport, EveryMarkIsDrawnOnTheMapAndTheDotPlot)
{
    const auto genome = smallGenome();
    HtmlReport report;
    report.length = genome->length();
    report.sections.push_back(pairsSection(6, 6));
    HtmlSection ticks;
    ticks.id = "ssr";
    ticks.columns = {"start", "length"};
    ticks.rows = {{"3", "12"}};
    ticks.marks = {{0, -1, 2, std::nullopt, 12, std::nullopt}};
    ticks.totalRows = 1;
    report.sections.push_back(ticks);
    const std::string map = mapSvg(*genome, {}, report.sections).svg;
    const std::string plot = dotPlotSvg(genome->length(), report.sections, 1000).svg;
    for (std::size_t row = 0; row < 6; ++row) {
        const std::string attribute = "data-r=\"" + std::to_string(row) + "\"";
        EXPECT_NE(map.find(attribute), std::string::npos) << row;
        EXPECT_NE(plot.find(attribute), std::string::npos) << row;
    }
    EXPECT_NE(map.find("class=\"tick\" data-r=\"0\""), std::string::npos);
    // Each pair is drawn on both sides of the diagonal; the ticks never.
    const auto count = [](const std::string& text, const std::string& word) {
        std::size_t n = 0;
        for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
            ++n;
        }
        return n;
    };
    EXPECT_EQ(count(plot, "data-r="), 12U);
    EXPECT_EQ(count(dotPlotSvg(genome->length(), report.sections, 5).svg, "data-r="), 5U);
    EXPECT_NE(map.find("data-length=\"640\""), std::string::npos);
}

TEST(HtmlReport, FiguresSayHowManyMarksTheyDrew)
{
    const auto genome = smallGenome();
    HtmlReport report;
    report.sections.push_back(pairsSection(kHtmlMostMapMarks + 20, 5000));
    const HtmlFigure map = mapSvg(*genome, {}, report.sections);
    const HtmlFigure plot = dotPlotSvg(genome->length(), report.sections, 10);
    ASSERT_EQ(map.cut.size(), 1U);
    EXPECT_EQ(map.cut[0].section, "pairs");
    EXPECT_EQ(map.cut[0].drawn, kHtmlMostMapMarks);
    EXPECT_EQ(map.cut[0].total, kHtmlMostMapMarks + 20);
    ASSERT_EQ(plot.cut.size(), 1U);
    // Ten segments, two per pair (one each side of the diagonal) or one
    // where the pair lies on it.
    EXPECT_GE(plot.cut[0].drawn, 5U);
    EXPECT_LE(plot.cut[0].drawn, 10U);
    EXPECT_EQ(plot.cut[0].total, kHtmlMostMapMarks + 20);
    std::ostringstream out;
    writeHtmlReport(out, report, map, plot);
    const std::string html = out.str();
    EXPECT_NE(html.find("the map draws 1500 of the 1520 rows of Pairs the page holds (of 5000 in all)"),
              std::string::npos);
    EXPECT_NE(html.find("the dot plot draws " + std::to_string(plot.cut[0].drawn) + " of the 1520 rows"),
              std::string::npos);
    // Nothing said when both drew every mark.
    report.sections.front() = pairsSection(4, 4);
    EXPECT_EQ(page(report, *genome).find("id=\"drawn-in-part\""), std::string::npos);
}

TEST(HtmlReport, PlastomePartsAreARingLinkedToTheirRows)
{
    const auto genome = smallGenome();
    HtmlReport report;
    report.ringSection = "plastome";
    // The last part runs over the origin.
    report.ring = {{"LSC", 0, 300, 0}, {"IRb", 300, 100, 1}, {"SSC", 400, 140, 2}, {"IRa", 540, 120, 3}};
    const std::string map = mapSvg(*genome, {}, {}, report.ring, report.ringSection).svg;
    const std::size_t layer = map.find("<g class=\"layer ring\" data-s=\"plastome\">");
    ASSERT_NE(layer, std::string::npos);
    for (std::size_t row = 0; row < 4; ++row) {
        const std::string arc = "class=\"part p" + std::to_string(row) + "\" data-r=\"" + std::to_string(row);
        EXPECT_GT(map.find(arc), layer) << row;
        EXPECT_NE(map.find(">" + report.ring[row].name + "</text>"), std::string::npos) << row;
    }
    EXPECT_NE(map.find("<title>IRa 541..20</title>"), std::string::npos);
    EXPECT_EQ(mapSvg(*genome, {}, {}).svg.find("layer ring"), std::string::npos);
}

TEST(HtmlReport, SecondCopyOfItsOwnLengthIsInTheMarks)
{
    const auto genome = smallGenome();
    HtmlReport report;
    HtmlSection gapped = pairsSection(2, 2);
    gapped.marks[0].secondLength = 43;
    gapped.marks[1].secondLength = 40;  // the same: not written
    report.sections.push_back(gapped);
    const std::string html = page(report, *genome);
    EXPECT_NE(html.find("\"marks\":[[0,0,0,300,40,43],[1,1,10,310,40]]"), std::string::npos);
}

TEST(HtmlReport, CutTableSaysWhereTheWholeOneIs)
{
    const auto genome = smallGenome();
    HtmlReport report;
    report.sections.push_back(pairsSection(3, 1000));
    const std::string html = page(report, *genome);
    EXPECT_NE(html.find("holds the first 3 of 1000 rows; the whole table is written by "
                        "<code>tessaron-cli --report pairs genome.gb</code>"),
              std::string::npos);
    report.sections.front().totalRows = 3;
    EXPECT_EQ(page(report, *genome).find("holds the first"), std::string::npos);
}

TEST(HtmlReport, RowsAreEmbeddedAsCompactJson)
{
    const auto genome = smallGenome();
    HtmlReport report;
    HtmlSection section;
    section.id = "t";
    section.columns = {"a", "b"};
    section.rows = {{"12", "012"}, {"x</script>", "-"}, {"0", ""}};
    section.totalRows = 3;
    report.sections.push_back(section);
    const std::string html = page(report, *genome);
    // Plain whole numbers bare, anything else (leading zeros too) quoted.
    EXPECT_NE(html.find(R"("rows":[[12,"012"],["x\u003c/script>","-"],[0,""]])"), std::string::npos);
    EXPECT_EQ(html.find("x</script>"), std::string::npos);
}

}  // namespace
}  // namespace tessaron
