#include "engine/plastomestructure.h"
#include "input/genbankfeaturetable.h"
#include "input/genbankreader.h"
#include "report/plastomeannotation.h"
#include "report/plastomereport.h"
#include "written.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace tessaron {
namespace {

struct Chloroplast {
    Genome genome;
    FeatureList features;
    GenBankRecordText record;
    PlastomeStructure structure;
};

const Chloroplast& chloroplast()
{
    static const Chloroplast loaded = [] {
        Chloroplast c;
        c.features = readGenBankOrThrow(TESSARON_TEST_DATA "/NC_000932.gb", c.genome, 8, 30);
        std::ifstream in(TESSARON_TEST_DATA "/NC_000932.gb", std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        c.record = readGenBankRecordText(text);
        c.structure = findPlastomeStructure(c.genome.sequence());
        return c;
    }();
    return loaded;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        out.push_back(line);
    }
    return out;
}

TEST(PlastomeReport, ArabidopsisPartsJunctionGenesAndItsMissingAnnotation)
{
    const Chloroplast& c = chloroplast();
    ASSERT_TRUE(c.structure.found);
    const auto genes = junctionGenes(c.structure, c.features);
    const auto checks = checkAnnotation(c.structure, c.record.features);
    const std::string text =
        test::written([&](TableWriter& out) { writePlastomeReport(out, c.structure, genes, checks); });
    const std::vector<std::string> rows = lines(text);
    ASSERT_GE(rows.size(), 17U);
    EXPECT_EQ(rows[0], "part\tstart\tend\tlength\tgc");
    EXPECT_TRUE(rows[1].starts_with("LSC\t1\t84170\t84170\t"));
    EXPECT_TRUE(rows[2].starts_with("IRb\t84171\t110434\t26264\t"));
    EXPECT_TRUE(rows[3].starts_with("SSC\t110435\t128214\t17780\t"));
    EXPECT_TRUE(rows[4].starts_with("IRa\t128215\t154478\t26264\t"));
    // The genes the record names at each junction: rps19 across JLB, ycf1
    // and ndhF across JSB, ycf1 across JSA, rpl2 and trnH beside JLA.
    const std::vector<std::string> expected = {
        "JLB\t84170^84171\trps19\t-\t166\t113\t\t\t\t",  "JSB\t110434^110435\tycf1\t+\t1030\t2\t\t\t\t",
        "JSB\t110434^110435\tndhF\t-\t37\t2204\t\t\t\t", "JSA\t128214^128215\tycf1\t-\t4331\t1030\t\t\t\t",
        "JLA\t154478^1\t\t\t\t\trpl2\t166\ttrnH\t3",
    };
    EXPECT_EQ(std::vector<std::string>(rows.begin() + 7, rows.begin() + 12), expected);
    // Identical copies: the differences table is empty.
    EXPECT_EQ(rows[13].substr(0, 10), "difference");
    EXPECT_EQ(rows[14], "");
    // No repeat_region in this record: both copies are missing from it.
    ASSERT_EQ(checks.size(), 2U);
    EXPECT_EQ(statusText(checks[0]), "missing");
    EXPECT_NE(text.find("IRb\tmissing\t\n"), std::string::npos);
}

TEST(PlastomeReport, JunctionGenesAcrossOrBesideEachJunction)
{
    PlastomeStructure s;
    s.found = true;
    s.genomeLength = 1000;
    s.regions = {PlastomeRegion{900, 500, 0}, PlastomeRegion{400, 100, 0}, PlastomeRegion{500, 300, 0},
                 PlastomeRegion{800, 100, 0}};
    s.junctionAfter = {400, 500, 800, 900};
    const FeatureList features = {
        Feature{0, 999, "sequence", kColorSequence},
        Feature{390, 409, "across", kColorGeneComplement},  // 10 bases before JLB, 10 after
        Feature{450, 479, "before", kColorGeneDirect},      // 20 bases short of JSB
        Feature{505, 520, "after", kColorGeneDirect},       // 5 bases after JSB
        Feature{470, 530, "rna", kColorTrnaDirect},         // not a gene
        Feature{950, 20, "wraps", kColorGeneDirect},        // across the origin, beside JLA
        Feature{0, 0, "split", kColorGeneDirect, {{790, 805}, {100, 110}}},
    };
    const auto genes = junctionGenes(s, features);
    ASSERT_EQ(genes[0].crossing.size(), 1U);
    EXPECT_EQ(genes[0].crossing[0].name, "across");
    EXPECT_TRUE(genes[0].crossing[0].reverse);
    EXPECT_EQ(genes[0].crossing[0].basesBefore, 10);
    EXPECT_EQ(genes[0].crossing[0].basesAfter, 10);
    ASSERT_TRUE(genes[1].crossing.empty());
    EXPECT_EQ(genes[1].before->name, "before");
    EXPECT_EQ(genes[1].before->distance, 20);
    EXPECT_EQ(genes[1].after->name, "after");
    EXPECT_EQ(genes[1].after->distance, 5);
    ASSERT_EQ(genes[2].crossing.size(), 1U);  // a part of a split gene
    EXPECT_EQ(genes[2].crossing[0].name, "split");
    EXPECT_EQ(genes[2].crossing[0].basesBefore, 10);
    EXPECT_EQ(genes[2].crossing[0].basesAfter, 6);
    EXPECT_EQ(genes[3].after->name, "wraps");
    EXPECT_EQ(genes[3].after->distance, 50);
    EXPECT_TRUE(junctionGenes(PlastomeStructure{}, features)[0].crossing.empty());
}

TEST(PlastomeReport, AnnotationAgreesDiffersOrIsMissing)
{
    PlastomeStructure s;
    s.found = true;
    s.genomeLength = 1000;
    s.regions = {PlastomeRegion{900, 500, 0}, PlastomeRegion{400, 100, 0}, PlastomeRegion{500, 300, 0},
                 PlastomeRegion{800, 100, 0}};
    s.junctionAfter = {400, 500, 800, 900};
    const auto feature = [](std::string key, std::string location, std::string name, std::string value) {
        RawFeature f;
        f.key = std::move(key);
        f.location = std::move(location);
        f.qualifiers.push_back({std::move(name), std::move(value)});
        return f;
    };
    const std::vector<RawFeature> features = {
        feature("repeat_region", "401..500", "rpt_type", "inverted"),
        feature("misc_feature", "complement(804..900)", "note", "inverted repeat IRa"),
        feature("misc_feature", "500^501", "note", "JSB junction"),
        feature("misc_feature", "403", "note", "JLB"),
        feature("repeat_region", "10..40", "rpt_type", "tandem"),
        feature("misc_feature", "100..200", "note", "IRAK binding site"),
    };
    const auto checks = checkAnnotation(s, features);
    ASSERT_EQ(checks.size(), 4U);
    EXPECT_EQ(checks[0].what, "IRb");
    EXPECT_EQ(statusText(checks[0]), "agrees");
    EXPECT_EQ(checks[0].annotated, "repeat_region 401..500 /rpt_type=inverted");
    EXPECT_EQ(checks[1].what, "IRa");
    EXPECT_EQ(statusText(checks[1]), "differs by 3 bases");
    EXPECT_EQ(checks[2].what, "JLB");
    EXPECT_EQ(statusText(checks[2]), "differs by 2 bases");
    EXPECT_EQ(checks[3].what, "JSB");
    EXPECT_EQ(statusText(checks[3]), "agrees");
    EXPECT_EQ(statusText(checkAnnotation(s, {features[4], features[5]})[0]), "missing");
}

TEST(PlastomeReport, GffBedAndTableRowOfAStructureAcrossTheOrigin)
{
    PlastomeStructure s;
    s.found = true;
    s.genomeLength = 1000;
    s.regions = {PlastomeRegion{900, 500, 0.375}, PlastomeRegion{400, 100, 0.5},
                 PlastomeRegion{500, 300, 0.25}, PlastomeRegion{800, 100, 0.5}};
    s.junctionAfter = {400, 500, 800, 900};
    s.matchingColumns = 99;
    s.differences = {IrDifference{IrDifference::Kind::Indel, 450, 0, 840, 2, "", "AC"}};
    EXPECT_EQ(test::written([&](TableWriter& out) { writePlastomeGff(out, "X1", s); }),
              "##gff-version 3\n##sequence-region X1 1 1000\n"
              "X1\ttessaron\tregion\t901\t1400\t.\t.\t.\tID=LSC;Name=LSC\n"
              "X1\ttessaron\tinverted_repeat\t401\t500\t.\t+\t.\tID=IRb;Name=IRb\n"
              "X1\ttessaron\tregion\t501\t800\t.\t.\t.\tID=SSC;Name=SSC\n"
              "X1\ttessaron\tinverted_repeat\t801\t900\t.\t-\t.\tID=IRa;Name=IRa\n");
    EXPECT_EQ(test::written([&](TableWriter& out) { writePlastomeBed(out, "X1", s); }),
              "X1\t900\t1400\tLSC\t0\t.\nX1\t400\t500\tIRb\t0\t+\nX1\t500\t800\tSSC\t0\t."
              "\nX1\t800\t900\tIRa\t0\t-\n");
    const std::string table = test::written([&](TableWriter& out) {
        writePlastomeTableHeader(out);
        writePlastomeTableRow(out, "a.gb", "1", "X1", s);
        writePlastomeTableRow(out, "b.gb", "1", "X2", PlastomeStructure{});
    });
    const std::vector<std::string> rows = lines(table);
    ASSERT_EQ(rows.size(), 3U);
    const auto columns = [](const std::string& row) { return std::count(row.begin(), row.end(), '\t'); };
    EXPECT_EQ(columns(rows[1]), columns(rows[0]));
    EXPECT_EQ(columns(rows[2]), columns(rows[0]));
    EXPECT_EQ(rows[1],
              "a.gb\t1\tX1\t1000\tyes\t901\t400\t500\t37.50\t401\t500\t100\t50.00\t501\t800\t300\t25."
              "00\t801\t900\t100\t"
              "50.00\t400^401\t500^501\t800^801\t900^901\t98.02\t1");
    EXPECT_TRUE(rows[2].starts_with("b.gb\t1\tX2\t0\tno\t\t"));
    const std::string report = test::written([&](TableWriter& out) { writePlastomeReport(out, s, {}, {}); });
    EXPECT_NE(report.find("1\tindel\t450^451\t0\t\t841\t2\tAC\n"), std::string::npos);
    EXPECT_EQ(test::written([&](TableWriter& out) { writePlastomeReport(out, PlastomeStructure{}, {}, {}); }),
              "no quadripartite structure\nlongest inverted copy\t0\nshortest copy counted\t0\n");
}

}  // namespace
}  // namespace tessaron
