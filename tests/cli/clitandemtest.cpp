// Tandem arrays, interrupted microsatellites and masked sequences through the
// whole program: the table against the engine on the Arabidopsis chloroplast,
// GFF3 and BED of a planted array across the origin, the masked FASTA against
// the BED of the classes it masks, the batch rows, the paper's part and the
// refused settings.

#include "clirunner.h"
#include "engine/genome.h"
#include "engine/tandemrepeats.h"
#include "input/records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>
#include <vector>

namespace tessaron {
namespace {

using namespace test;

const std::string kPlastidGenome = std::string(TESSARON_TEST_DATA) + "/NC_000932.gb";

std::string randomLetters(std::size_t count, std::uint32_t seed)
{
    std::mt19937 generator(seed);
    std::string letters(count, 'A');
    for (char& letter : letters) {
        letter = "ACGT"[generator() % 4];
    }
    return letters;
}

// 3000 random letters with (AT)10 at 1000, four copies of a 23-letter unit
// (one mismatch in the third) at 2000, and three copies of a 31-letter unit
// across the origin: two at the end, one at the start.
std::string plantedGenome()
{
    std::string genome = randomLetters(3000, 7);
    const std::string unit = randomLetters(23, 11);
    std::string array = unit + unit + unit + unit;
    array[50] = array[50] == 'A' ? 'C' : 'A';
    genome.replace(1000, 20, "ATATATATATATATATATAT");
    genome.replace(2000, array.size(), array);
    const std::string around = randomLetters(31, 13);
    genome.replace(0, 31, around);
    genome.replace(genome.size() - 62, 62, around + around);
    return genome;
}

// The letters the BED lines cover, on a sequence of `length` letters.
std::vector<bool> covered(const std::string& bed, std::size_t length)
{
    std::vector<bool> marks(length, false);
    for (const std::string& line : lines(bed)) {
        const auto cells = fields(line);
        for (std::size_t i = std::stoul(cells.at(1)); i < std::stoul(cells.at(2)); ++i) {
            marks.at(i) = true;
        }
    }
    return marks;
}

// The letters of a FASTA record, its header left out.
std::string fastaLetters(const std::string& text)
{
    std::string letters;
    for (const std::string& line : lines(text)) {
        if (!line.starts_with('>')) {
            letters += line;
        }
    }
    return letters;
}

TEST_F(CliTest, TandemTableOfTheChloroplastIsTheEngines)
{
    const Outcome result = run({"--tandem", "--report", "tandem", kPlastidGenome});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto rows = lines(result.out);
    Genome genome;
    (void)InputFile::read(kPlastidGenome).load(0, genome, 8, 30);
    const auto expected = std::get<TandemRepeatList>(findTandemRepeats(genome));
    ASSERT_GT(expected.size(), 20U);
    ASSERT_EQ(rows.size(), expected.size() + 1);
    EXPECT_EQ(rows[0],
              "start\tend\tperiod\tcopies\tconsensus\tclass\tpercent_matches\tpercent_indels\tscore\t"
              "alignment");
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const TandemRepeat& r = expected[i];
        const auto cells = fields(rows[i + 1]);
        ASSERT_EQ(cells.size(), 10U) << rows[i + 1];
        EXPECT_EQ((std::vector<std::string>{cells[0], cells[1], cells[2], cells[4], cells[8], cells[9]}),
                  (std::vector<std::string>{std::to_string(r.start + 1), std::to_string(r.end()),
                                            std::to_string(r.period), r.consensus, std::to_string(r.score),
                                            r.alignment}))
            << "row " << i + 1;
    }
    EXPECT_EQ(run({"--report", "tandem", kPlastidGenome}).out, result.out);
    // The summary counts the same arrays; a larger minimum score keeps fewer.
    const auto summary = lines(run({"--tandem", kPlastidGenome}).out);
    ASSERT_FALSE(summary.empty());
    EXPECT_EQ(fields(summary.back()).at(1), std::to_string(expected.size()));
    const auto fewer = lines(run({"--report", "tandem", "--tandem-min-score", "200", kPlastidGenome}).out);
    EXPECT_LT(fewer.size(), rows.size());
    EXPECT_GT(fewer.size(), 1U);
}

TEST_F(CliTest, TandemGffAndBedPlaceAnArrayAcrossTheOrigin)
{
    write("g.txt", plantedGenome());
    const Outcome table = run({"--report", "tandem", "g.txt"});
    ASSERT_EQ(table.status, 0) << table.err;
    const auto rows = lines(table.out);
    const auto across = std::find_if(rows.begin() + 1, rows.end(),
                                     [](const std::string& row) { return fields(row).at(2) == "31"; });
    ASSERT_NE(across, rows.end()) << table.out;
    EXPECT_EQ(fields(*across).at(0), "2939");
    EXPECT_EQ(fields(*across).at(1), "3031");

    const Outcome gff = run({"--tandem", "--report", "gff", "g.txt"});
    ASSERT_EQ(gff.status, 0) << gff.err;
    std::vector<std::string> features;
    for (const std::string& line : lines(gff.out)) {
        if (!line.starts_with('#') && fields(line).at(2) == "tandem_repeat") {
            features.push_back(line);
        }
    }
    ASSERT_EQ(features.size(), rows.size() - 1);
    EXPECT_NE(gff.out.find("\t2939\t3031\t"), std::string::npos) << gff.out;
    EXPECT_NE(gff.out.find("period=31;copies=3.0;consensus="), std::string::npos) << gff.out;

    const Outcome bed = run({"--tandem", "--report", "bed", "g.txt"});
    ASSERT_EQ(bed.status, 0) << bed.err;
    EXPECT_NE(bed.out.find("g\t0\t31\ttandem:31x3.0\t0\t+"), std::string::npos) << bed.out;
    EXPECT_NE(bed.out.find("g\t2938\t3000\ttandem:31x3.0\t0\t+"), std::string::npos) << bed.out;
}

TEST_F(CliTest, MaskedStretchesAreExactlyTheBedOfTheChosenClasses)
{
    const std::string genome = plantedGenome();
    write("g.txt", genome);
    const std::string ssrBed = run({"--ssr", "--report", "bed", "g.txt"}).out;
    const std::string tandemBed = run({"--tandem", "--report", "bed", "g.txt"}).out;
    const std::string repeatsBed = run({"--approximate", "--report", "bed", "g.txt"}).out;
    ASSERT_FALSE(ssrBed.empty());
    ASSERT_FALSE(tandemBed.empty());
    struct Case {
        std::vector<std::string> classes;
        std::string bed;
    };
    for (const Case& c :
         {Case{{"--mask-classes", "ssr"}, ssrBed}, Case{{"--mask-classes", "tandem"}, tandemBed},
          Case{{"--mask-classes", "repeats"}, repeatsBed},
          Case{{"--mask-classes", "tandem,ssr"}, ssrBed + tandemBed},
          Case{{}, ssrBed + tandemBed + repeatsBed}}) {
        const std::string label = c.classes.empty() ? "every class" : c.classes.back();
        std::vector<std::string> arguments{"--mask", "soft", "g.txt"};
        arguments.insert(arguments.end(), c.classes.begin(), c.classes.end());
        const Outcome soft = run(arguments);
        ASSERT_EQ(soft.status, 0) << label << ": " << soft.err;
        ASSERT_TRUE(soft.out.starts_with(">g\n")) << soft.out.substr(0, 80);
        std::string letters = fastaLetters(soft.out);
        ASSERT_EQ(letters.size(), genome.size()) << label;
        const std::vector<bool> expected = covered(c.bed, genome.size());
        std::vector<bool> lower(letters.size());
        std::transform(letters.begin(), letters.end(), lower.begin(),
                       [](char ch) { return std::islower(static_cast<unsigned char>(ch)) != 0; });
        EXPECT_EQ(lower, expected) << label;
        std::transform(letters.begin(), letters.end(), letters.begin(), [](char ch) {
            return static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        });
        EXPECT_EQ(letters, genome) << label << ": unmasking gives the input back";

        arguments[1] = "hard";
        const std::string hard = fastaLetters(run(arguments).out);
        ASSERT_EQ(hard.size(), genome.size());
        for (std::size_t i = 0; i < hard.size(); ++i) {
            ASSERT_EQ(hard[i], expected[i] ? 'N' : genome[i]) << label << " at " << i;
        }
    }
}

TEST_F(CliTest, TandemBatchAndPaperCountTheArrays)
{
    write("g.txt", plantedGenome());
    const std::size_t arrays = lines(run({"--report", "tandem", "g.txt"}).out).size() - 1;
    const Outcome batch = run({"--batch", "--tandem", "g.txt", kPlastidGenome});
    ASSERT_EQ(batch.status, 0) << batch.err;
    const auto rows = lines(batch.out);
    ASSERT_EQ(rows.size(), 1 + 2 * 6U);
    EXPECT_EQ(rows[0], "file\trecord\ttitle\tlength\tperiod_class\tarrays\tbp\tmean_copies");
    std::size_t planted = 0;
    for (std::size_t i = 1; i <= 6; ++i) {
        planted += std::stoul(fields(rows[i]).at(5));
    }
    EXPECT_EQ(planted, arrays);

    const Outcome paper = run({"--report", "paper", "g.txt"});
    ASSERT_EQ(paper.status, 0) << paper.err;
    const auto section = lines(paper.out);
    const auto heading = std::find_if(section.begin(), section.end(), [](const std::string& row) {
        return row.starts_with("Tandem repeats (arrays) by period and copy number:");
    });
    ASSERT_NE(heading, section.end()) << paper.out;
    EXPECT_EQ(fields(section.back()).front(), "total");
    // The sheet's rows are as wide as its widest: the total is the sixth cell.
    EXPECT_EQ(fields(section.back()).at(5), std::to_string(arrays));
}

TEST_F(CliTest, TandemComparisonIsOneTidyTableOfEveryGenome)
{
    const std::string plasmid = std::string(TESSARON_TEST_DATA) + "/NC_005816.gb";
    const Outcome compared = run({"--compare", "--tandem", plasmid, kPlastidGenome});
    ASSERT_EQ(compared.status, 0) << compared.err;
    // --tidy asks for what it writes anyway.
    EXPECT_EQ(run({"--compare", "--tandem", "--tidy", plasmid, kPlastidGenome}).out, compared.out);
    const auto rows = lines(compared.out);
    ASSERT_EQ(rows.size(), 1 + 2 * 6U) << compared.out;
    EXPECT_EQ(rows[0], "seqid\tgenome\tlength\tperiod_class\tarrays\tbp\tmean_copies");
    for (std::size_t genome = 0; genome < 2; ++genome) {
        const std::string& file = genome == 0 ? plasmid : kPlastidGenome;
        const std::size_t arrays = lines(run({"--report", "tandem", file}).out).size() - 1;
        std::size_t counted = 0;
        for (std::size_t c = 0; c < 6; ++c) {
            const auto cells = fields(rows[1 + 6 * genome + c]);
            ASSERT_EQ(cells.size(), 7U);
            EXPECT_EQ(cells[0], genome == 0 ? "NC_005816.1" : "NC_000932.1");
            counted += std::stoul(cells[4]);
        }
        EXPECT_EQ(counted, arrays) << file;
    }
    const Outcome refused = run({"--compare", "--tandem", "--kind", "direct", plasmid});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("--kind does not apply to --tandem"), std::string::npos) << refused.err;
}

TEST_F(CliTest, InterruptedMicrosatellitesAddMismatchesAndIndels)
{
    write("g.txt", "GCGCTT" + std::string("ATATATATATAGATATATATATAT") + "CCGGTTGCAGGC");
    const Outcome result = run({"--report", "ssr", "--ssr-imperfect", "g.txt"});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto rows = lines(result.out);
    ASSERT_EQ(rows.size(), 2U) << result.out;
    EXPECT_EQ(fields(rows[0]).back(), "indels");
    EXPECT_EQ(fields(rows[1]).at(0), "6");
    EXPECT_EQ(fields(rows[1]).at(2), "TA");
}

TEST_F(CliTest, TandemSettingsOutOfPlaceAreRefused)
{
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const std::vector<Case> cases{
        {{"--tandem", "--tandem-max-period", "10001"},
         "--tandem-max-period: '10001' is not an integer from 1 to 10000"},
        {{"--tandem", "--tandem-match", "0"}, "--tandem-match: '0' is not an integer from 1 to 100"},
        {{"--tandem", "--tandem-indel", "x"}, "--tandem-indel: 'x' is not an integer from 1 to 100"},
        {{"--tandem", "--tandem-min-score", "0"}, "--tandem-min-score: '0' is not an integer from 1 to"},
        {{"--tandem-all"}, "--tandem-all applies only to --tandem, --mask, --report paper and html"},
        {{"--tandem", "--report", "listing"}, "--tandem applies only to the summary"},
        {{"--tandem", "--ssr"}, "choose one of --ssr and --tandem"},
        {{"--tandem", "--approximate"}, "--approximate does not apply to --tandem"},
        {{"--mask", "firm"}, "--mask: 'firm' is not one of soft, hard"},
        {{"--mask", "soft", "--mask-classes", "ssr,loops"}, "is not a list of ssr, tandem and repeats"},
        {{"--mask-classes", "ssr"}, "--mask-classes applies only to --mask"},
        {{"--mask", "soft", "--csv"}, "--csv does not apply to --mask"},
        {{"--mask", "soft", "--report", "bed"}, "choose one of --mask and --report"},
        {{"--ssr-imperfect"}, "--ssr-imperfect applies only to --report ssr"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = c.arguments;
        arguments.push_back(kPlastidGenome);
        const Outcome result = run(arguments);
        EXPECT_EQ(result.status, 2) << c.message;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_TRUE(result.out.empty());
    }
}

}  // namespace
}  // namespace tessaron
