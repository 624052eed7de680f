// The plastome's four parts through the whole program: the report of the
// Arabidopsis chloroplast, genomes without an inverted repeat, GFF3 and BED
// of the parts, the batch table, the standard form of rotated, reversed and
// flipped copies, and the command lines refused.

#include "cli/options.h"
#include "clirunner.h"
#include "engine/genome.h"
#include "engine/plastomenormalisation.h"
#include "engine/plastomestructure.h"
#include "input/records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <variant>
#include <vector>

namespace tessaron {
namespace {
// Apart from the other tests' names, which a unity build puts beside these.
namespace cliplastome {

using namespace test;

const std::string kChloroplast = std::string(TESSARON_TEST_DATA) + "/NC_000932.gb";
const std::string kMitoFasta = std::string(TESSARON_TEST_DATA) + "/NC_012920.fasta";
const std::string kBacterium = std::string(TESSARON_TEST_DATA) + "/NC_004829.gb.gz";

std::string chloroplastBases()
{
    Genome genome;
    (void)InputFile::read(kChloroplast).load(0, genome, 8, 30);
    return std::string(genome.sequence());
}

std::string fasta(const std::string& id, const std::string& bases)
{
    std::string text = ">" + id + "\n";
    for (std::size_t at = 0; at < bases.size(); at += 60) {
        text += bases.substr(at, 60) + "\n";
    }
    return text;
}

// The bases of a FASTA or GenBank text, upper case.
std::string basesOf(const std::string& text, bool genbank)
{
    std::string bases;
    const std::size_t from = genbank ? text.find("\nORIGIN") : text.find('\n');
    for (std::size_t i = from; i < text.size(); ++i) {
        const char ch = text[i];
        if (std::isalpha(static_cast<unsigned char>(ch)) != 0) {
            bases += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        }
    }
    return genbank ? bases.substr(std::string("ORIGIN").size()) : bases;
}

TEST_F(CliTest, PlastomeReportOfTheChloroplast)
{
    const Outcome result = run({"--plastome", kChloroplast});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto rows = lines(result.out);
    ASSERT_GT(rows.size(), 11U);
    EXPECT_EQ(rows[0], "part\tstart\tend\tlength\tgc");
    const std::vector<std::vector<std::string>> parts{{"LSC", "1", "84170", "84170"},
                                                      {"IRb", "84171", "110434", "26264"},
                                                      {"SSC", "110435", "128214", "17780"},
                                                      {"IRa", "128215", "154478", "26264"}};
    for (std::size_t p = 0; p < parts.size(); ++p) {
        const auto cells = fields(rows[p + 1]);
        ASSERT_EQ(cells.size(), 5U) << rows[p + 1];
        EXPECT_EQ(std::vector<std::string>(cells.begin(), cells.begin() + 4), parts[p]);
    }
    EXPECT_EQ(rows[5], "");
    EXPECT_EQ(fields(rows[6]).front(), "junction");
    const std::vector<std::string> junctions{"JLB\t84170^84171", "JSB\t110434^110435", "JSA\t128214^128215",
                                             "JLA\t154478^1"};
    // One row per gene across a junction (two across JSB), the first right after the header.
    EXPECT_TRUE(rows[7].starts_with(junctions[0] + "\trps19\t-\t166\t113")) << rows[7];
    for (const std::string& junction : junctions) {
        EXPECT_NE(result.out.find("\n" + junction + "\t"), std::string::npos) << junction;
    }
    EXPECT_NE(result.out.find("\nJLA\t154478^1\t\t\t\t\trpl2\t166\ttrnH\t3\n"), std::string::npos);
    // The annotation check follows; the identical copies list no difference.
    EXPECT_NE(result.out.find("\nannotation\tstatus\tannotated\n"), std::string::npos) << result.out;
}

TEST_F(CliTest, PlastomeWithoutInvertedRepeatSaysSoAndSucceeds)
{
    struct Case {
        std::vector<std::string> arguments;
    };
    const std::vector<Case> cases{
        {{"--plastome", kMitoFasta}},
        {{"--plastome", kBacterium}},
        {{"--plastome", "--plastome-min-ir", "30000", kChloroplast}},
        {{"--plastome", "--plastome-min-ir-share", "20", kChloroplast}},
    };
    for (const Case& c : cases) {
        const Outcome result = run(c.arguments);
        ASSERT_EQ(result.status, 0) << c.arguments.back() << result.err;
        EXPECT_TRUE(result.out.starts_with("no quadripartite structure\n")) << result.out;
        EXPECT_EQ(result.err, "");
    }
    // Lower than the IR's 17 % of the genome: found again.
    const Outcome lower = run({"--plastome", "--plastome-min-ir-share", "16.5", kChloroplast});
    EXPECT_TRUE(lower.out.starts_with("part\t")) << lower.out;
}

TEST_F(CliTest, PlastomePartsAsBedAndGff)
{
    const Outcome bed = run({"--plastome", "--report", "bed", kChloroplast});
    ASSERT_EQ(bed.status, 0) << bed.err;
    EXPECT_EQ(bed.out,
              "NC_000932.1\t0\t84170\tLSC\t0\t.\n"
              "NC_000932.1\t84170\t110434\tIRb\t0\t+\n"
              "NC_000932.1\t110434\t128214\tSSC\t0\t.\n"
              "NC_000932.1\t128214\t154478\tIRa\t0\t-\n");
    const Outcome gff = run({"--plastome", "--report", "gff", "--seqid", "chl", kChloroplast});
    ASSERT_EQ(gff.status, 0) << gff.err;
    const auto rows = lines(gff.out);
    ASSERT_EQ(rows.size(), 6U) << gff.out;
    EXPECT_EQ(rows[0], "##gff-version 3");
    EXPECT_EQ(rows[1], "##sequence-region chl 1 154478");
    const auto ira = fields(rows[5]);
    ASSERT_GE(ira.size(), 9U);
    EXPECT_EQ(ira[0], "chl");
    EXPECT_EQ(ira[3], "128215");
    EXPECT_EQ(ira[4], "154478");
}

TEST_F(CliTest, PlastomeBatchWritesOneRowPerGenomeInOrder)
{
    const Outcome result =
        run({"--batch", "--plastome", "-j", "2", kChloroplast, "missing.gb", kMitoFasta, kChloroplast});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("missing.gb"), std::string::npos) << result.err;
    const auto rows = lines(result.out);
    ASSERT_EQ(rows.size(), 4U) << result.out;
    const auto header = fields(rows[0]);
    ASSERT_GE(header.size(), 5U);
    EXPECT_EQ(std::vector<std::string>(header.begin(), header.begin() + 5),
              (std::vector<std::string>{"file", "record", "accession", "length", "quadripartite"}));
    EXPECT_EQ(fields(rows[1])[0], kChloroplast);
    EXPECT_EQ(fields(rows[1])[4], "yes");
    EXPECT_EQ(fields(rows[1])[5], "1");
    EXPECT_EQ(fields(rows[2])[0], kMitoFasta);
    EXPECT_EQ(fields(rows[2])[4], "no");
    EXPECT_EQ(rows[3], rows[1]);
    EXPECT_EQ(fields(rows[2]).size(), header.size());
}

// Rotations, the reverse complement and the other flip-flop isomer of one
// plastome give the same bytes; GenBank output carries the same bases.
TEST_F(CliTest, NormalizeGivesOneFormForEveryRotationStrandAndIsomer)
{
    const std::string bases = chloroplastBases();
    const PlastomeStructure structure = findPlastomeStructure(bases);
    ASSERT_TRUE(structure.found);
    const PlastomeRegion& ssc = structure.region(PlastomePart::Ssc);
    std::string isomer = bases;
    isomer.replace(static_cast<std::size_t>(ssc.start), static_cast<std::size_t>(ssc.length),
                   reverseComplementOf(bases.substr(static_cast<std::size_t>(ssc.start),
                                                    static_cast<std::size_t>(ssc.length))));
    const auto rotated = [](const std::string& s, std::size_t by) { return s.substr(by) + s.substr(0, by); };
    const std::vector<std::string> variants{bases, rotated(bases, 100000), reverseComplementOf(bases),
                                            rotated(isomer, 130000),  // the origin inside IRa
                                            reverseComplementOf(rotated(isomer, 7))};
    std::string first;
    for (std::size_t v = 0; v < variants.size(); ++v) {
        write("v.fasta", fasta("chl", variants[v]));
        const Outcome result = run({"--normalize", "fasta", "v.fasta"});
        ASSERT_EQ(result.status, 0) << v << result.err;
        if (v == 0) {
            first = result.out;
            EXPECT_TRUE(first.starts_with(">chl\n"));
        } else {
            EXPECT_EQ(result.out, first) << "variant " << v;
        }
    }
    const Outcome genbank = run({"--normalize", "genbank", kChloroplast});
    ASSERT_EQ(genbank.status, 0) << genbank.err;
    EXPECT_TRUE(genbank.out.starts_with("LOCUS")) << genbank.out.substr(0, 200);
    EXPECT_NE(genbank.out.find("\nFEATURES"), std::string::npos);
    EXPECT_TRUE(genbank.out.ends_with("//\n"));
    EXPECT_EQ(basesOf(genbank.out, true), basesOf(first, false));
}

TEST_F(CliTest, NormalizeRefusesWhatItCannotWrite)
{
    const Outcome notGenBank = run({"--normalize", "genbank", kMitoFasta});
    EXPECT_EQ(notGenBank.status, 1);
    EXPECT_NE(notGenBank.err.find("--normalize fasta"), std::string::npos) << notGenBank.err;
    const Outcome none = run({"--normalize", "fasta", kMitoFasta});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.out, "");
    EXPECT_NE(none.err.find("no quadripartite structure"), std::string::npos) << none.err;
}

TEST(PlastomeOptions, RefusedCommandLines)
{
    const std::vector<std::vector<std::string_view>> refused{
        {"--plastome", "--report", "pairs", "x.gb"},
        {"--plastome", "--ssr", "x.gb"},
        {"--plastome", "--complete", "x.gb"},
        {"--plastome", "--normalize", "fasta", "x.gb"},
        {"--plastome-min-ir", "2000", "x.gb"},
        {"--plastome", "--plastome-min-ir", "0", "x.gb"},
        {"--plastome", "--plastome-min-ir-share", "50.5", "x.gb"},
        {"--plastome", "--plastome-min-ir-share", "1.234", "x.gb"},
        {"--plastome", "--plastome-min-ir-share", "1.", "x.gb"},
        {"--plastome", "--compare", "x.gb", "y.gb"},
        {"--normalize", "xml", "x.gb"},
        {"--normalize", "fasta", "--batch", "x.gb"},
        {"--normalize", "fasta", "--report", "gff", "x.gb"},
        {"--normalize", "fasta", "--csv", "x.gb"},
        {"--plastome", "--tidy", "x.gb"},
    };
    for (const auto& arguments : refused) {
        EXPECT_TRUE(std::holds_alternative<UsageError>(parseOptions(arguments)))
            << arguments[0] << ' ' << arguments[1];
    }
    const std::vector<std::pair<std::vector<std::string_view>, double>> shares{
        {{"--plastome", "--plastome-min-ir-share", "0", "x.gb"}, 0.0},
        {{"--plastome", "--plastome-min-ir-share", "2.5", "x.gb"}, 2.5},
        {{"--plastome", "--plastome-min-ir-share", "1.25", "x.gb"}, 1.25},
        {{"--normalize", "genbank", "--plastome-min-ir-share=50", "x.gb"}, 50.0},
    };
    for (const auto& [arguments, share] : shares) {
        const auto parsed = parseOptions(arguments);
        ASSERT_TRUE(std::holds_alternative<Options>(parsed)) << std::get<UsageError>(parsed).message;
        EXPECT_DOUBLE_EQ(std::get<Options>(parsed).plastomeMinIrShare.value_or(-1), share) << arguments[2];
    }
}

}  // namespace cliplastome
}  // namespace
}  // namespace tessaron
