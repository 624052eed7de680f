// The plastome's four parts through the whole program: the report of the
// Arabidopsis chloroplast, genomes without an inverted repeat, GFF3 and BED
// of the parts, the batch table, the standard form of rotated, reversed and
// flipped copies, and the command lines refused.

#include "cli/options.h"
#include "clirunner.h"
#include "engine/genome.h"
#include "engine/plastomenormalisation.h"
#include "engine/plastomestructure.h"
#include "input/genbankfeaturetable.h"
#include "input/normalisedrecord.h"
#include "input/records.h"

#include <gtest/gtest.h>

#ifdef TESSARON_CLI_MAP
#include <QImage>
#include <QString>
#endif

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

// Several records in one GFF3 file: one version line, each record's IDs its own.
TEST_F(CliTest, PlastomeGffOfSeveralRecordsHasOneHeader)
{
    const std::string bases = chloroplastBases();
    write("two.fasta", fasta("one", bases) + fasta("two", bases.substr(1000) + bases.substr(0, 1000)));
    const Outcome gff = run({"--plastome", "--report", "gff", "two.fasta"});
    ASSERT_EQ(gff.status, 0) << gff.err;
    const auto rows = lines(gff.out);
    ASSERT_EQ(rows.size(), 11U) << gff.out;
    EXPECT_EQ(rows[0], "##gff-version 3");
    EXPECT_EQ(rows[1], "##sequence-region one 1 154478");
    EXPECT_EQ(rows[2], "##sequence-region two 1 154478");
    EXPECT_EQ(std::count(gff.out.begin(), gff.out.end(), '#'), 6);
    EXPECT_TRUE(rows[3].ends_with("\tID=one:LSC;Name=LSC")) << rows[3];
    EXPECT_TRUE(rows[10].starts_with("two\t")) << rows[10];
    EXPECT_TRUE(rows[10].ends_with("\tID=two:IRa;Name=IRa")) << rows[10];
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
    // Oriented by its marker genes, the chloroplast keeps its own bases.
    EXPECT_EQ(basesOf(genbank.out, true), basesOf(slurp(kChloroplast), true));
}

// The record's bases laid down as `pieces`, every feature moved with them.
std::string rearranged(const GenBankRecordText& record, const std::vector<SequencePiece>& pieces)
{
    NormalisedPlastome form;
    form.pieces = pieces;
    const std::string& bases = record.bases;
    for (const SequencePiece& piece : pieces) {
        std::string text;
        for (std::int64_t t = 0; t < piece.length; ++t) {
            text.push_back(bases[static_cast<std::size_t>((piece.sourceStart + t) %
                                                          static_cast<std::int64_t>(bases.size()))]);
        }
        form.sequence += piece.reversed ? reverseComplementOf(text) : text;
    }
    int dropped = 0;
    std::string text = writeNormalisedGenBank(record, form, dropped);
    EXPECT_EQ(dropped, 0);
    return text;
}

// An annotated plastome is oriented by its marker genes: the chloroplast is
// already in the tobacco layout, and its rotations, reverse complement and
// other isomer, their features moved with their bases, give it back.
TEST_F(CliTest, NormalizeFollowsTheAnnotatedMarkerGenes)
{
    const GenBankRecordText record = readGenBankRecordText(slurp(kChloroplast));
    const std::int64_t n = static_cast<std::int64_t>(record.bases.size());
    const Outcome itself = run({"--normalize", "fasta", kChloroplast});
    ASSERT_EQ(itself.status, 0) << itself.err;
    EXPECT_EQ(basesOf(itself.out, false), basesOf(slurp(kChloroplast), true));
    EXPECT_EQ(itself.err, "tessaron-cli: note: NC_000932.1: the strand set by psbA, the SSC by ndhF\n");
    // SSC 110435..128214 (1-based).
    const std::int64_t sscStart = 110434;
    const std::int64_t sscLength = 17780;
    const std::vector<SequencePiece> isomer{{0, sscStart, false},
                                            {sscStart, sscLength, true},
                                            {sscStart + sscLength, n - sscStart - sscLength, false}};
    const std::vector<std::vector<SequencePiece>> variants{
        {{50000, n - 50000, false}, {0, 50000, false}},
        {{0, n, true}},
        {{140000, n - 140000, false}, {0, 140000, false}},  // the origin inside IRa
    };
    std::vector<std::string> records;
    for (const auto& pieces : variants) {
        records.push_back(rearranged(record, pieces));
    }
    const GenBankRecordText flipped = readGenBankRecordText(rearranged(record, isomer));
    records.push_back(rearranged(flipped, {{130000, n - 130000, false}, {0, 130000, false}}));
    records.push_back(rearranged(flipped, {{0, n, true}}));
    for (std::size_t v = 0; v < records.size(); ++v) {
        write("v.gb", records[v]);
        const Outcome result = run({"--normalize", "fasta", "v.gb"});
        ASSERT_EQ(result.status, 0) << v << result.err;
        EXPECT_TRUE(result.out == itself.out) << "variant " << v;
        EXPECT_EQ(result.err, itself.err) << v;
    }
    // Without an annotation the bases decide, and say so.
    write("plain.fasta", fasta("plain", record.bases));
    const Outcome plain = run({"--normalize", "fasta", "plain.fasta"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_EQ(plain.err,
              "tessaron-cli: note: plain: the strand set by the bases (no psbA, trnH-GUG or rbcL in "
              "the LSC), the SSC by the bases (no ndhF or ycf1 in the SSC)\n");
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

#ifdef TESSARON_CLI_MAP

// The junction figure of a plastome, a rotated copy and a genome without the
// structure, in the three formats.
TEST_F(CliTest, JunctionFigureInEachFormat)
{
    const std::string bases = chloroplastBases();
    write("rotated.fasta", fasta("rotated", bases.substr(50000) + bases.substr(0, 50000)));
    const Outcome svg =
        run({"--compare", "--junctions", "--chart", "j.svg", kChloroplast, "rotated.fasta", kMitoFasta});
    ASSERT_EQ(svg.status, 0) << svg.err;
    EXPECT_EQ(svg.out, "");
    const std::string drawing = slurp(dir_ / "j.svg");
    EXPECT_NE(drawing.find("<svg"), std::string::npos);
    // The rows' names, the junctions, rps19 across JLB with its bases on
    // either side, and the row of the genome without the structure.
    for (const char* text : {"Arabidopsis thaliana", "rotated", "JLB", "JSB", "JSA", "JLA", "rps19",
                             "166 | 113", "26,264 bp", "no quadripartite structure"}) {
        EXPECT_NE(drawing.find(text), std::string::npos) << text;
    }
    const Outcome png = run({"--junctions", "--chart", "j.png", "--compare", kChloroplast});
    ASSERT_EQ(png.status, 0) << png.err;
    const QImage image(QString::fromStdString((dir_ / "j.png").string()));
    EXPECT_GT(image.width(), 800);
    EXPECT_GT(image.height(), 50);
    const Outcome pdf = run({"--compare", "--junctions", "--chart", "j.pdf", kChloroplast});
    ASSERT_EQ(pdf.status, 0) << pdf.err;
    EXPECT_TRUE(slurp(dir_ / "j.pdf").starts_with("%PDF"));
    const Outcome unreadable = run({"--compare", "--junctions", "--chart", "k.svg", "missing.gb"});
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_FALSE(fs::exists(dir_ / "k.svg"));
}

// The map for a paper draws the four parts as a ring, a layer of its own.
TEST_F(CliTest, PaperMapRingOfThePlastomeParts)
{
    const Outcome ring = run({"--map", "m.svg", "--map-style", "paper", kChloroplast});
    ASSERT_EQ(ring.status, 0) << ring.err;
    const std::string drawing = slurp(dir_ / "m.svg");
    for (const char* text : {"LSC 84,170 bp", "IRb 26,264 bp", "SSC 17,780 bp", "IRa 26,264 bp"}) {
        EXPECT_NE(drawing.find(text), std::string::npos) << text;
    }
    const Outcome hidden =
        run({"--map", "h.svg", "--map-style", "paper", "--map-hide", "plastome", kChloroplast});
    ASSERT_EQ(hidden.status, 0) << hidden.err;
    EXPECT_EQ(slurp(dir_ / "h.svg").find("LSC 84,170 bp"), std::string::npos);
}

#else

TEST_F(CliTest, JunctionFigureNeedsTheDesktopBuild)
{
    const Outcome result = run({"--compare", "--junctions", "--chart", "j.svg", kChloroplast});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "tessaron-cli: --chart needs the desktop build (see --help)\n");
}

#endif

TEST(PlastomeOptions, JunctionFigureCommandLines)
{
    const auto parsed =
        parseOptions(std::vector<std::string_view>{"--chart", "j.svg", "--compare", "--junctions", "a", "b"});
    ASSERT_TRUE(std::holds_alternative<Options>(parsed)) << std::get<UsageError>(parsed).message;
    const Options& options = std::get<Options>(parsed);
    EXPECT_EQ(options.report, ReportKind::Compare);
    EXPECT_TRUE(options.junctions);
    EXPECT_EQ(options.chartFile, "j.svg");
    EXPECT_EQ(options.compareFiles, (std::vector<std::string>{"a", "b"}));
    const struct {
        std::vector<std::string_view> arguments;
        std::string message;
    } cases[] = {
        {{"--compare", "--chart", "j.svg", "a"}, "choose one of --compare and --chart"},
        {{"--chart", "j.svg", "--compare", "a"}, "choose one of --chart and --compare"},
        {{"--compare", "--junctions", "a"},
         "--junctions applies only to --compare with --chart OUT (the junction figure)"},
        {{"--junctions", "--chart", "j.svg", "a"},
         "--junctions applies only to --compare with --chart OUT (the junction figure)"},
    };
    for (const auto& [arguments, message] : cases) {
        const auto result = parseOptions(arguments);
        ASSERT_TRUE(std::holds_alternative<UsageError>(result)) << message;
        EXPECT_EQ(std::get<UsageError>(result).message, message);
    }
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
