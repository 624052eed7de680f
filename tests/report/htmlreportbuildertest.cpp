#include "report/htmlreportbuilder.h"

#include "engine/plastomestructure.h"
#include "input/genbankreader.h"
#include "report/gappedreport.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace tessaron {
namespace {

struct Words {
    std::string made;
    std::string expected;
};

TEST(HtmlReportBuilder, OptionsNameOnlyTheSettingsAwayFromTheirDefaults)
{
    ApproximateSettings approximate;
    approximate.minLength = 40;
    approximate.identity = 85.5;
    approximate.maxEvalue = 0.001;
    GappedSettings gapped;
    gapped.gapOpen = 7;
    gapped.maxMismatches = 4;
    MicrosatelliteSettings ssr;
    ssr.minimumRepeats = {12, 6, 5, 5, 5, 3};
    TandemSettings tandem;
    tandem.maximumPeriod = 500;
    tandem.all = true;
    const std::vector<Words> cases{
        {approximateOptions({}), "--approximate --min 30"},
        {approximateOptions(approximate), "--approximate --min 40 --identity 85.5 --evalue 0.001"},
        {gappedOptions({}), "--approximate --gaps --min 30"},
        {gappedOptions(gapped), "--approximate --gaps --min 30 --max-mismatches 4 --gap-open 7"},
        {microsatelliteOptions({}), ""},
        {microsatelliteOptions(ssr), "--ssr-min 12,6,5,5,5,3"},
        {tandemOptions({}), ""},
        {tandemOptions(tandem), "--tandem-max-period 500 --tandem-all"},
        {shellWord("NC_000932.gb"), "NC_000932.gb"},
        {shellWord("my genome's.gb"), "'my genome'\\''s.gb'"},
        {shellWord(""), "''"},
    };
    for (const Words& c : cases) {
        EXPECT_EQ(c.made, c.expected);
    }
}

std::shared_ptr<Genome> genomeOf(std::size_t length)
{
    std::string bases;
    while (bases.size() < length) {
        bases += "ACGTTGCAAGGCTTAC";
    }
    bases.resize(length);
    auto genome = std::make_shared<Genome>();
    EXPECT_TRUE(genome->allocate(static_cast<std::int64_t>(length), 8, 30));
    genome->appendText(bases.c_str());
    return genome;
}

TEST(HtmlReportBuilder, LongTableKeepsItsFirstRowsAndCountsThemAll)
{
    const std::size_t total = kHtmlMostRows + 7;
    MicrosatelliteList list;
    for (std::size_t i = 0; i < total; ++i) {
        list.push_back({static_cast<std::int64_t>(i % 900), 1, "A", 10, 10, "A/T", 0});
    }
    HtmlReportBuilder page(genomeOf(1000), "seq", {}, "--record 2", "two records.fa");
    page.addMicrosatellites(list, {});
    const HtmlSection& ssr = page.report().sections.at(0);
    EXPECT_EQ(ssr.totalRows, total);
    ASSERT_EQ(ssr.rows.size(), kHtmlMostRows);
    EXPECT_EQ(ssr.marks.size(), kHtmlMostRows);
    EXPECT_EQ(ssr.rows.back().at(0), std::to_string((kHtmlMostRows - 1) % 900 + 1));
    EXPECT_EQ(ssr.command, "tessaron-cli --record 2 --report ssr 'two records.fa'");
}

TEST(HtmlReportBuilder, MarksFollowTheirRowsOverTheOrigin)
{
    // A tandem array and a family copy running over the origin of 1000 bases.
    TandemRepeat array;
    array.start = 990;
    array.length = 20;
    array.period = 4;
    array.copies = 5.0;
    array.consensus = "ACGT";
    array.motifClass = "ACGT";
    array.matches = 20;
    HtmlReportBuilder page(genomeOf(1000), "seq", {}, "", "");
    page.addTandemArrays(std::vector<TandemRepeat>{array}, {});
    const HtmlSection& tandem = page.report().sections.at(0);
    ASSERT_EQ(tandem.marks.size(), 1U);
    EXPECT_EQ(tandem.marks[0], (HtmlMark{0, -1, 990, std::nullopt, 20, std::nullopt}));
    EXPECT_EQ(tandem.command, "tessaron-cli --report tandem FILE");

    GappedResult result;
    result.kind = RepeatKind::Inverted;
    result.pairs.push_back({100, 980, 40, 43, 1, 3, 0, "37=3I3=", 30, 92.5, 1e-9});
    page.addGappedPairs(std::vector<GappedResult>{result}, {});
    const HtmlSection& gapped = page.report().sections.at(1);
    ASSERT_EQ(gapped.marks.size(), 1U);
    EXPECT_EQ(gapped.marks[0], (HtmlMark{0, 1, 100, 980, 40, 43}));
    EXPECT_EQ(gapped.columns.back(), "cigar");
    page.addFamilies(std::vector<GappedResult>{result}, {});
    const HtmlSection& families = page.report().sections.at(2);
    ASSERT_EQ(families.marks.size(), 2U);
    for (std::size_t row = 0; row < 2; ++row) {
        const std::string& copy = families.rows[row].at(6);
        const HtmlMark& mark = families.marks[row];
        EXPECT_EQ(mark.row, row);
        EXPECT_EQ(copyRange(1000, mark.first, mark.length), copy) << copy;
    }
}

TEST(HtmlReportBuilder, PlastomePartsMakeTheRingAndJunctionsPointAtTheirBase)
{
    auto genome = std::make_shared<Genome>();
    const FeatureList features = readGenBankOrThrow(TESSARON_TEST_DATA "/NC_000932.gb", *genome, 8, 30);
    const PlastomeStructure structure = findPlastomeStructure(genome->sequence());
    ASSERT_TRUE(structure.found);
    HtmlReportBuilder page(genome, "NC_000932.1", features, "", "NC_000932.gb");
    page.addPlastome(structure);
    const HtmlReport& report = page.report();
    ASSERT_EQ(report.sections.size(), 2U);
    const HtmlSection& parts = report.sections[0];
    const HtmlSection& junctions = report.sections[1];
    EXPECT_EQ(parts.columns, (std::vector<std::string>{"part", "start", "end", "length", "gc"}));
    EXPECT_EQ(parts.command, "tessaron-cli --plastome NC_000932.gb");
    EXPECT_FALSE(parts.drawnOnMap);
    ASSERT_EQ(report.ring.size(), 4U);
    EXPECT_EQ(report.ringSection, "plastome");
    for (std::size_t i = 0; i < 4; ++i) {
        const PlastomeRegion& region = structure.regions[i];
        EXPECT_EQ(report.ring[i].name, parts.rows[i][0]);
        EXPECT_EQ(report.ring[i].start, region.start);
        EXPECT_EQ(report.ring[i].length, region.length);
        EXPECT_EQ(parts.marks[i], (HtmlMark{i, -1, region.start, std::nullopt, region.length, std::nullopt}));
    }
    ASSERT_GE(junctions.rows.size(), 4U);
    EXPECT_EQ(junctions.columns.at(1), "position");
    for (std::size_t row = 0; row < junctions.rows.size(); ++row) {
        const std::string& position = junctions.rows[row][1];
        const HtmlMark& mark = junctions.marks.at(row);
        EXPECT_EQ(position.substr(position.find('^') + 1), std::to_string(mark.first + 1)) << position;
    }
    // No structure: nothing on the page.
    const auto other = genomeOf(5000);
    HtmlReportBuilder plain(other, "seq", {}, "", "x.fa");
    plain.addPlastome(findPlastomeStructure(other->sequence()));
    EXPECT_TRUE(plain.report().sections.empty());
    EXPECT_TRUE(plain.report().ring.empty());
}

TEST(HtmlReportBuilder, PageHoldsEverySectionAdded)
{
    const auto genome = genomeOf(2000);
    const FeatureList features{{0, 1999, "source", 0x808080}, {100, 400, "geneA", 0x0000FF}};
    HtmlReportBuilder page(genome, "seq", features, "", "seq.gb");
    page.setOrigin("9.9", "");
    page.addMicrosatellites({}, {});
    page.addFeatures();
    std::ostringstream out;
    page.write(out);
    const std::string html = out.str();
    EXPECT_NE(html.find("id=\"t-ssr\""), std::string::npos);
    EXPECT_NE(html.find("id=\"t-features\""), std::string::npos);
    EXPECT_NE(html.find("Made by Tessaron 9.9 (the desktop program"), std::string::npos);
    EXPECT_NE(html.find("tessaron-cli --features seq.gb"), std::string::npos);
}

}  // namespace
}  // namespace tessaron
