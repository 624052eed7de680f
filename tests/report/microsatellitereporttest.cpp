#include "report/microsatellitereport.h"

#include "report/bedreport.h"
#include "report/gffreport.h"
#include "written.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace tessaron {
namespace {

using test::written;

// On a circle of 100 letters: a dinucleotide run and a mononucleotide run
// across the origin joined into compound 1, and a run on its own.
const std::vector<Microsatellite> kList{
    {2, 2, "AG", 6, 12, "AG/CT", 1},
    {40, 1, "C", 11, 11, "C/G", 0},
    {94, 1, "A", 12, 12, "A/T", 1},
};

const FeatureList kFeatures{
    {0, 99, "sequence", 0},
    {0, 9, "geneA", 0},
    {38, 45, "trnC", 0},
    {90, 99, "orf", 0},
};

TEST(MicrosatelliteReport, TableEndsPastTheOriginAndNamesFeatures)
{
    const FeatureIndex features(kFeatures, 100);
    EXPECT_EQ(written([&](TableWriter& out) { writeMicrosatellites(out, kList, &features); }),
              "start\tunit_length\tunit\trepeats\tlength\tclass\tcompound\tend\tfeatures\n"
              "3\t2\tAG\t6\t12\tAG/CT\t1\t14\tgeneA\n"
              "41\t1\tC\t11\t11\tC/G\t-\t51\ttrnC\n"
              "95\t1\tA\t12\t12\tA/T\t1\t106\tgeneA / orf\n");
    EXPECT_EQ(written([&](TableWriter& out) { writeMicrosatellites(out, {}, nullptr); }),
              "start\tunit_length\tunit\trepeats\tlength\tclass\tcompound\tend\n");
}

TEST(MicrosatelliteReport, GffAndBedLines)
{
    const FeatureIndex features(kFeatures, 100);
    const std::string gff = written([&](TableWriter& out) {
        GffReport report(out, "chl", 100);
        report.setFeatures(&features);
        report.write(std::span(kList).first(2));
    });
    EXPECT_EQ(gff,
              "##gff-version 3\n##sequence-region chl 1 100\n"
              "chl\ttessaron\tregion\t1\t100\t.\t+\t.\tID=chl;Is_circular=true\n"
              "chl\ttessaron\tmicrosatellite\t3\t14\t.\t+\t.\tID=ssr-1;Name=(AG)6;rpt_type=tandem;"
              "rpt_unit_seq=AG;repeats=6;motif_class=AG/CT;compound=1;overlaps=geneA\n"
              "chl\ttessaron\tmicrosatellite\t41\t51\t.\t+\t.\tID=ssr-2;Name=(C)11;rpt_type=tandem;"
              "rpt_unit_seq=C;repeats=11;motif_class=C/G;overlaps=trnC\n");
    EXPECT_EQ(written([&](TableWriter& out) { BedReport(out, "chl").write(kList); }),
              "chl\t2\t14\t(AG)6\t0\t+\n"
              "chl\t40\t51\t(C)11\t0\t+\n"
              "chl\t94\t106\t(A)12\t0\t+\n");
}

TEST(MicrosatelliteReport, CountsByUnitLengthAndClass)
{
    const MicrosatelliteCounts counts = countMicrosatellites(kList);
    EXPECT_EQ(counts.total, 3);
    EXPECT_EQ(counts.inCompounds, 2);
    EXPECT_EQ(counts.compounds, 1);
    EXPECT_EQ(counts.byUnitLength, (std::array<std::int64_t, kMaxUnitLength>{2, 1, 0, 0, 0, 0}));
    EXPECT_EQ(counts.byClass, (std::vector<MicrosatelliteClassCount>{
                                  {"A/T", 1, 1, 1}, {"C/G", 1, 1, 0}, {"AG/CT", 2, 1, 1}}));
    const auto grid = microsatelliteSummaryLayout(counts).grid();
    const std::vector<std::vector<std::string>> expected{
        {"Microsatellites by unit length:", "microsatellites", "in compounds"},
        {"mono", "2", "1"},
        {"di", "1", "1"},
        {"tri", "0", "0"},
        {"tetra", "0", "0"},
        {"penta", "0", "0"},
        {"hexa", "0", "0"},
        {"total", "3", "2"},
        {"", "", ""},
        {"Microsatellites by class:", "microsatellites", "in compounds"},
        {"A/T", "1", "1"},
        {"C/G", "1", "0"},
        {"AG/CT", "1", "1"},
        {"", "", ""},
        {"Compounds:", "1", ""},
    };
    EXPECT_EQ(grid, expected);
}

// A genome without microsatellites keeps its row of zeros, and a class of
// one genome is a column of every row.
TEST(MicrosatelliteReport, ComparisonAndBatchRowsOfAGenomeWithout)
{
    const MicrosatelliteComparison comparison{{}, {"chl", "none"}, {kList, {}}};
    const auto grid = microsatelliteComparisonLayout(comparison).grid();
    const std::vector<std::vector<std::string>> expected{
        {"genome", "mono", "di", "tri", "tetra", "penta", "hexa", "total", "in_compounds", "compounds", "A/T",
         "C/G", "AG/CT"},
        {"chl", "2", "1", "0", "0", "0", "0", "3", "2", "1", "1", "1", "1"},
        {"none", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"},
    };
    EXPECT_EQ(grid, expected);

    BatchGenome genome;
    genome.file = "none.gb";
    genome.title = "empty";
    genome.length = 100;
    const std::string rows = written([&](TableWriter& out) { writeMicrosatelliteBatchRows(out, genome); });
    EXPECT_EQ(rows,
              "none.gb\t1\tempty\t100\t1\t\t0\t0\t0\nnone.gb\t1\tempty\t100\t2\t\t0\t0\t0\n"
              "none.gb\t1\tempty\t100\t3\t\t0\t0\t0\nnone.gb\t1\tempty\t100\t4\t\t0\t0\t0\n"
              "none.gb\t1\tempty\t100\t5\t\t0\t0\t0\nnone.gb\t1\tempty\t100\t6\t\t0\t0\t0\n");
}

}  // namespace
}  // namespace tessaron
