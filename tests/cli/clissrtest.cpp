// Microsatellites and the paper's repeat section through the whole program:
// the table against the engine on the Arabidopsis chloroplast, the summary,
// GFF3 checked by GenomeTools, the batch and comparison rows, the refused
// settings and the section's parts.

#include "cli/options.h"
#include "clirunner.h"
#include "engine/genome.h"
#include "engine/microsatellites.h"
#include "input/records.h"

#include <gtest/gtest.h>

#ifdef TESSARON_CLI_MAP
#include <QImage>
#include <QString>
#endif

#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace tessaron {
namespace {

using namespace test;

const std::string kChloroplast = std::string(TESSARON_TEST_DATA) + "/NC_000932.gb";
const std::string kTurtles = std::string(TESSARON_TEST_DATA) + "/turtle_mito_2rec.gb";

MicrosatelliteList engineList(const std::string& path, std::size_t record = 0)
{
    Genome genome;
    (void)InputFile::read(path).load(record, genome, 8, 30);
    return std::get<MicrosatelliteList>(findMicrosatellites(genome));
}

// The first column of every row, in order.
std::vector<std::string> firstColumn(const std::string& text)
{
    std::vector<std::string> names;
    for (const std::string& row : lines(text)) {
        names.push_back(fields(row).front());
    }
    return names;
}

TEST_F(CliTest, SsrTableOfTheChloroplastIsTheEngines)
{
    const Outcome result = run({"--ssr", "--report", "ssr", kChloroplast});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto rows = lines(result.out);
    const MicrosatelliteList expected = engineList(kChloroplast);
    ASSERT_EQ(rows.size(), expected.size() + 1);
    ASSERT_GT(expected.size(), 50U);
    EXPECT_EQ(rows[0], "start\tunit_length\tunit\trepeats\tlength\tclass\tcompound\tend\tfeatures");
    EXPECT_EQ(rows[1], "112\t1\tA\t15\t15\tA/T\t-\t126\tintergenic");
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Microsatellite& m = expected[i];
        const auto cells = fields(rows[i + 1]);
        ASSERT_EQ(cells.size(), 9U) << rows[i + 1];
        const std::vector<std::string> seven(cells.begin(), cells.begin() + 7);
        EXPECT_EQ(seven,
                  (std::vector<std::string>{std::to_string(m.start + 1), std::to_string(m.unitLength), m.unit,
                                            std::to_string(m.repeats), std::to_string(m.length), m.motifClass,
                                            m.compound > 0 ? std::to_string(m.compound) : "-"}))
            << "row " << i + 1;
    }
    // --report ssr alone says the same.
    EXPECT_EQ(run({"--report", "ssr", kChloroplast}).out, result.out);
}

TEST_F(CliTest, SsrSummaryCountsUnitLengthsClassesAndCompounds)
{
    // (A)12 at 3, (TA)7 at 17 and (AGC)5 at 33, two letters apart; (G)11 at
    // 74, 26 letters after them and 24 before them across the origin.
    write("g.txt", "CG" + std::string(12, 'A') + "CGTATATATATATACG" + "AGCAGCAGCAGCAGC" +
                       "TACGTTGCAAGCTTCAGGATCCATGC" + std::string(11, 'G') + "CTGATCCTTAGCAACGTGACTA");
    const Outcome apart = run({"--ssr", "--ssr-compound", "10", "g.txt"});
    ASSERT_EQ(apart.status, 0) << apart.err;
    EXPECT_EQ(apart.out,
              "Microsatellites by unit length:\tmicrosatellites\tin compounds\n"
              "mono\t2\t1\ndi\t1\t1\ntri\t1\t1\ntetra\t0\t0\npenta\t0\t0\nhexa\t0\t0\ntotal\t4\t3\n"
              "\t\t\n"
              "Microsatellites by class:\tmicrosatellites\tin compounds\n"
              "A/T\t1\t1\nC/G\t1\t0\nAT/AT\t1\t1\nAGC/CTG\t1\t1\n"
              "\t\t\n"
              "Compounds:\t1\t\n");
    // Within the default 100 letters all four are one compound; a higher
    // minimum for units of 1 letter leaves (A)12 alone.
    const auto rows = lines(run({"--ssr", "g.txt"}).out);
    EXPECT_EQ(rows[7], "total\t4\t4");
    EXPECT_EQ(lines(run({"--ssr", "--ssr-min", "12,6,5,5,5,5", "g.txt"}).out)[1], "mono\t1\t1");
}

TEST_F(CliTest, SsrGffIsValidAndBedHasALinePerMicrosatellite)
{
    const std::size_t count = engineList(kChloroplast).size();
    const Outcome gff = run({"--ssr", "--report", "gff", kChloroplast});
    ASSERT_EQ(gff.status, 0) << gff.err;
    const auto gffRows = lines(gff.out);
    ASSERT_EQ(gffRows.size(), count + 3);
    EXPECT_EQ(gffRows[3],
              "NC_000932.1\ttessaron\tmicrosatellite\t112\t126\t.\t+\t.\tID=ssr-1;Name=(A)15;rpt_type=tandem;"
              "rpt_unit_seq=A;repeats=15;motif_class=A/T;overlaps=intergenic");
    const Outcome bed = run({"--ssr", "--report", "bed", kChloroplast});
    ASSERT_EQ(bed.status, 0) << bed.err;
    EXPECT_EQ(lines(bed.out).size(), count);
    EXPECT_EQ(lines(bed.out).front(), "NC_000932.1\t111\t126\t(A)15\t0\t+");

    if (std::system("command -v gt >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "gt (genometools) is not installed";
    }
    write("ssr.gff3", gff.out);
    const std::string command = "cd '" + dir_.string() + "' && gt gff3validator ssr.gff3 >gt.txt 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << slurp(dir_ / "gt.txt");
}

TEST_F(CliTest, SsrBatchAndComparisonHaveARowPerGenome)
{
    const Outcome batch = run({"--batch", "--ssr", "-j", "2", kChloroplast, kTurtles});
    ASSERT_EQ(batch.status, 0) << batch.err;
    const auto rows = lines(batch.out);
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0],
              "file\trecord\ttitle\tlength\tunit_length\tclass\tmicrosatellites\tin_compounds\tcompounds");
    // Per genome its microsatellites add up to the engine's, and every unit length has a row.
    std::map<std::string, std::int64_t> totals;
    std::map<std::string, std::vector<std::string>> unitLengths;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const auto cells = fields(rows[i]);
        ASSERT_EQ(cells.size(), 9U) << rows[i];
        const std::string genome = cells[0] + "#" + cells[1];
        totals[genome] += std::stoll(cells[6]);
        if (unitLengths[genome].empty() || unitLengths[genome].back() != cells[4]) {
            unitLengths[genome].push_back(cells[4]);
        }
    }
    const std::map<std::string, std::int64_t> expected{
        {kChloroplast + "#1", static_cast<std::int64_t>(engineList(kChloroplast).size())},
        {kTurtles + "#1", static_cast<std::int64_t>(engineList(kTurtles, 0).size())},
        {kTurtles + "#2", static_cast<std::int64_t>(engineList(kTurtles, 1).size())}};
    EXPECT_EQ(totals, expected);
    for (const auto& [genome, seen] : unitLengths) {
        EXPECT_EQ(seen, (std::vector<std::string>{"1", "2", "3", "4", "5", "6"})) << genome;
    }

    const Outcome compared = run({"--compare", "--ssr", kChloroplast, kTurtles});
    ASSERT_EQ(compared.status, 0) << compared.err;
    EXPECT_EQ(firstColumn(compared.out),
              (std::vector<std::string>{"genome", "NC_000932", "turtle_mito_2rec:AB012104",
                                        "turtle_mito_2rec:AM258984"}));
    const auto header = fields(lines(compared.out)[0]);
    const std::vector<std::string> leading(header.begin(), header.begin() + 10);
    EXPECT_EQ(leading, (std::vector<std::string>{"genome", "mono", "di", "tri", "tetra", "penta", "hexa",
                                                 "total", "in_compounds", "compounds"}));
    EXPECT_EQ(fields(lines(compared.out)[1])[7], std::to_string(expected.at(kChloroplast + "#1")));
}

TEST_F(CliTest, BadMicrosatelliteSettingsAreRefused)
{
    write("g.txt", "ACGT");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--ssr", "--ssr-min", "1,6,5,5,5,5"},
         "--ssr-min: '1' for units of 1 letter: each minimum must be an integer from 2 (a single unit is no "
         "repeat) to 1000000"},
        {{"--ssr", "--ssr-min", "10,6,5,0,5,5"},
         "--ssr-min: '0' for units of 4 letters: each minimum must be an integer from 2 (a single unit is no "
         "repeat) to 1000000"},
        {{"--ssr", "--ssr-min", "10,6,5,5,5"},
         "--ssr-min: '10,6,5,5,5' is not six integers separated by commas, the least repeat numbers of units "
         "of "
         "1 to 6 letters"},
        {{"--ssr", "--ssr-min", "10,6,5,5,5,x"},
         "--ssr-min: '10,6,5,5,5,x' is not six integers separated by commas, the least repeat numbers of "
         "units "
         "of 1 to 6 letters"},
        {{"--ssr", "--ssr-compound", "-1"}, "--ssr-compound: '-1' is not an integer from 0 to 1000000"},
        {{"--ssr", "--ssr-compound", "1000001"},
         "--ssr-compound: '1000001' is not an integer from 0 to 1000000"},
        {{"--ssr", "--method", "complete"},
         "--method complete does not apply to --ssr, which searches no repeats"},
        {{"--ssr-min", "10,6,5,5,5,5"}, "--ssr-min applies only to --ssr and --report paper"},
        {{"--ssr", "--report", "pairs"},
         "--ssr applies only to the summary, --report ssr, gff, bed and paper, --batch and --compare"},
        {{"--ssr", "--complete"}, "--complete does not apply to --ssr, which searches no repeats"},
    };
    for (const auto& [arguments, message] : cases) {
        std::vector<std::string> all = arguments;
        all.push_back("g.txt");
        const Outcome result = run(all);
        EXPECT_EQ(result.status, 2) << message;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "tessaron-cli: " + message + " (see --help)\n");
    }
}

TEST(ParseOptions, MicrosatelliteSettingsAndThePapersChart)
{
    const std::vector<std::string_view> ssr{"--ssr", "--ssr-min=12,7,4,3,3,2", "--ssr-compound", "0",
                                            "g.txt"};
    const Options options = std::get<Options>(parseOptions(ssr));
    EXPECT_TRUE(options.ssr);
    EXPECT_EQ(options.ssrSettings.minimumRepeats, (std::array<int, kMaxUnitLength>{12, 7, 4, 3, 3, 2}));
    EXPECT_EQ(options.ssrSettings.compoundDistance, 0);
    // --chart draws the paper's figure, given before or after --report paper.
    for (const auto& order :
         {std::vector<std::string_view>{"--report", "paper", "--chart", "f.png", "g.gb"},
          std::vector<std::string_view>{"--chart", "f.png", "--report", "paper", "g.gb"}}) {
        const Options paper = std::get<Options>(parseOptions(order));
        EXPECT_EQ(paper.report, ReportKind::Paper);
        EXPECT_EQ(paper.chartFile, "f.png");
    }
    const std::vector<std::string_view> twice{"--report", "ssr", "--chart", "f.png", "g.gb"};
    EXPECT_EQ(std::get<UsageError>(parseOptions(twice)).message, "choose one of --report and --chart");
}

TEST_F(CliTest, PaperSectionOfTheChloroplast)
{
    const Outcome result = run({"--report", "paper", kChloroplast});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto rows = lines(result.out);
    const std::vector<std::string> expected{"Repeat summary",
                                            "Length",
                                            "",
                                            "Long repeats (pairs of copies) by length:",
                                            "Search:",
                                            "kind",
                                            "direct",
                                            "inverted",
                                            "mirror",
                                            "complementary",
                                            "total",
                                            "",
                                            "Microsatellites:",
                                            "",
                                            "Microsatellites by unit length:"};
    const auto names = firstColumn(result.out);
    ASSERT_GT(names.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + static_cast<long>(expected.size())),
              expected);
    EXPECT_EQ(fields(rows[0])[1], "chloroplast Arabidopsis thaliana (thale cress)");
    EXPECT_EQ(fields(rows[4])[1],
              "approximate search: every maximal scoring pair of 30 bp or more at 90 % identity or more (+1 "
              "per equal letter, -2 per mismatch, no gaps)");
    EXPECT_EQ(fields(rows[5]), (std::vector<std::string>{"kind", "30-39", "40-49", "50-59", "60-99",
                                                         "100-999", ">=1000", "total"}));
    // The ~26 kb inverted repeat of the chloroplast is one pair of 1000 bp or more.
    EXPECT_EQ(fields(rows[7])[6], "1");
    // The long repeats are those of --approximate at its defaults, class by class.
    const auto approximate = lines(run({"--approximate", kChloroplast}).out);
    for (std::size_t kind = 0; kind < 4; ++kind) {
        for (std::size_t lengthClass = 0; lengthClass < 6; ++lengthClass) {
            EXPECT_EQ(fields(rows[6 + kind])[1 + lengthClass],
                      fields(approximate[kind * 8 + 1 + lengthClass])[1])
                << fields(rows[6 + kind])[0] << ' ' << lengthClass;
        }
    }
    EXPECT_EQ(fields(rows[12])[1],
              "minimum repeats 10, 6, 5, 5, 5, 5 (units of 1 to 6 letters); compounds within 100 bp");
    // The microsatellites' part is the --ssr summary.
    const Outcome summary = run({"--ssr", kChloroplast});
    std::string tail;
    std::size_t i = 14;
    for (; i < rows.size() && !rows[i].starts_with("Tandem repeats"); ++i) {
        const auto cells = fields(rows[i]);
        tail += cells[0] + '\t' + cells[1] + '\t' + cells[2] + '\n';
    }
    // An empty row before the tandem arrays' part.
    ASSERT_LT(i, rows.size());
    EXPECT_EQ(tail, summary.out + "\t\t\n");
    // Their part counts the arrays of the --tandem summary.
    const auto arrays = lines(run({"--tandem", kChloroplast}).out);
    ASSERT_FALSE(arrays.empty());
    EXPECT_EQ(fields(rows.back()).at(0), "total");
    EXPECT_EQ(fields(rows.back()).at(5), fields(arrays.back()).at(1));
}

#ifdef TESSARON_CLI_MAP
TEST_F(CliTest, PaperFigureBesideTheSection)
{
    const Outcome result = run({"--report", "paper", "--chart", "figure.png", kChloroplast});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, run({"--report", "paper", kChloroplast}).out);
    const QImage image(QString::fromStdString((dir_ / "figure.png").string()));
    // Three charts (long repeats, microsatellites, tandem arrays) of 600 x 520
    // at least, wider where their labels need it.
    EXPECT_EQ(image.height(), 520);
    EXPECT_GE(image.width(), 1800);
}
#endif

}  // namespace
}  // namespace tessaron
