// The command line on GenBank input and its further outputs: features, motif,
// listing, comparison, CSV, GFF3 and BED.

#include "clirunner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace tessaron::test {
namespace {

// A minimal record: LOCUS, SOURCE, FEATURES with the source, ORIGIN, bases, "//".
std::string genBankRecord(const std::string& title, const std::string& bases)
{
    std::string record = "LOCUS       TEST\nSOURCE      " + title +
                         "\nFEATURES             Location/Qualifiers\n" + "     source          1.." +
                         std::to_string(bases.size()) + "\nORIGIN\n";
    for (std::size_t at = 0; at < bases.size(); at += 60) {
        record += "        1 " + bases.substr(at, 60) + "\n";
    }
    return record + "//\n";
}

// Direct TTTAC (12, 19) runs over the end; inverted ACCGT at 7 has ACGGT at 15.
constexpr const char* kSample = "ACCGAAACCGTTTTACGGTTT";

TEST_F(CliTest, GenBankIsRecognisedByItsLocusLine)
{
    const Outcome result = run({"--report", "info", TESSARON_MITO_GENBANK});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(
        result.out,
        "title\tmitochondrion Homo sapiens (human)\nlength\t16569\nA\t5124\nT\t4094\nC\t5181\nG\t2169\n");

    // Through --text too its annotation never turns into bases.
    const Outcome text = run({"--report", "info", "--text", TESSARON_MITO_GENBANK});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out, result.out);
}

TEST_F(CliTest, FileThatIsNotGenBankIsRejected)
{
    write("s.txt", kSample);
    const Outcome result = run({"--genbank", "s.txt"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(
        result.err,
        "tessaron-cli: cannot read 's.txt' as GenBank: not a GenBank file (no line begins with LOCUS)\n");
}

TEST_F(CliTest, FeaturesOfTheMitochondrialGenome)
{
    const Outcome result = run({"--features", TESSARON_MITO_GENBANK});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto rows = lines(result.out);
    ASSERT_GT(rows.size(), 60u);
    EXPECT_EQ(rows[0], "name\tstart\tend\tcolour");
    EXPECT_EQ(rows[1], "sequence\t1\t16569\t#909090");
    EXPECT_EQ(rows[2], "D-loop\t16024\t576\t#909090");  // across the origin
    EXPECT_EQ(rows[3], "TRNF\t577\t647\t#EA0000");      // a gene on the direct strand
    EXPECT_EQ(rows[4], "tRNA-Phe\t577\t647\t#0000EA");  // a tRNA on the direct strand
    EXPECT_NE(result.out.find("ND6\t14149\t14673\t#FF6060\n"), std::string::npos);  // complementary strand

    // Text has no annotation: the header alone.
    write("s.txt", kSample);
    EXPECT_EQ(run({"--features", "s.txt"}).out, "name\tstart\tend\tcolour\n");
}

TEST_F(CliTest, MotifStartsInIndexOrder)
{
    write("g.txt", "GATTACAGGGGACATTAG");
    const Outcome found = run({"--min", "4", "--max", "6", "--motif", "gg", "g.txt"});
    ASSERT_EQ(found.status, 0) << found.err;
    EXPECT_EQ(found.out, "start\n18\n10\n9\n8\ntotal\t4\n");  // the one at 18 runs over the end

    // Its only occurrence runs over the end, where a lookup never follows it.
    const Outcome missing = run({"--min", "4", "--max", "6", "--motif", "CATTAGG", "g.txt"});
    ASSERT_EQ(missing.status, 0) << missing.err;
    EXPECT_EQ(missing.out, "start\ntotal\t0\n");
}

TEST_F(CliTest, ListingOfOneKindAsTheSheetShowsIt)
{
    write("s.txt", kSample);
    const Outcome inverted =
        run({"--min", "4", "--max", "6", "--report", "listing", "--kind", "inverted", "s.txt"});
    ASSERT_EQ(inverted.status, 0) << inverted.err;
    EXPECT_EQ(inverted.out,
              "\t\t\t\n"
              "5 bp sequences\t\t\t\n"
              "ACCGT\t7\t15\tACGGT\n"
              "\t\t\t\n"
              "4 bp sequences\t\t\t\n"
              "ACCG\t1\t16\tCGGT\n"
              "\t7\t16\t\n"
              "CCGT\t8\t15\tACGG\n");

    const Outcome direct = run({"--min", "4", "--max", "6", "--report", "listing", "s.txt", "--csv"});
    ASSERT_EQ(direct.status, 0) << direct.err;
    EXPECT_EQ(direct.out,
              ",,\n"
              "5 bp sequences,,\n"
              "TTTAC,12,19\n"
              ",,\n"
              "4 bp sequences,,\n"
              "ACCG,1,7\n"
              "GTTT,10,18\n");
}

TEST_F(CliTest, ComparisonOfGenBankFiles)
{
    write("one.gb", genBankRecord("first genome", kSample));
    write("two.part.gb", genBankRecord("second genome", "ACGTTTTTACGTAAAAAAAA"));
    const Outcome result =
        run({"--compare", "--kind", "direct", "--min", "4", "--max", "6", "one.gb", "two.part.gb"});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto rows = lines(result.out);
    ASSERT_EQ(rows.size(), 4u);
    // Neither file has a direct repeat of 6 bases: the table ends at 5.
    EXPECT_EQ(rows[0], "\t\t");
    EXPECT_EQ(rows[1], "\t4 bp\t5 bp");
    EXPECT_EQ(fields(rows[2])[0], "one");
    EXPECT_EQ(fields(rows[3])[0], "two.part");
    EXPECT_EQ(fields(rows[2])[1], "2");  // ACCG and GTTT
    EXPECT_EQ(fields(rows[2])[2], "1");  // TTTAC

    write("s.txt", kSample);
    const Outcome rejected = run({"--compare", "one.gb", "s.txt"});
    EXPECT_EQ(rejected.status, 1);
    EXPECT_EQ(
        rejected.err,
        "tessaron-cli: cannot read 's.txt' as GenBank: not a GenBank file (no line begins with LOCUS)\n");
}

TEST_F(CliTest, BedIsSortedFromZeroAndSplitsACopyAcrossTheOrigin)
{
    write("s.txt", kSample);
    const Outcome result = run({"--min", "5", "--max", "5", "--report", "bed", "s.txt"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "s\t0\t2\tdirect-5-1-1\t0\t+\n"
              "s\t6\t11\tinverted-5-1-1\t0\t+\n"
              "s\t11\t16\tdirect-5-1-1\t0\t+\n"
              "s\t14\t19\tinverted-5-1-1\t0\t-\n"
              "s\t18\t21\tdirect-5-1-1\t0\t+\n");
}

TEST_F(CliTest, GffIsValidAndLinksTheTwoCopies)
{
    write("s.txt", kSample);
    const Outcome result = run({"--min", "5", "--max", "5", "--report", "gff", "s.txt"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out,
              "##gff-version 3\n"
              "##sequence-region s 1 21\n"
              "s\ttessaron\tregion\t1\t21\t.\t+\t.\tID=s;Is_circular=true\n"
              "s\ttessaron\trepeat_region\t7\t11\t.\t+\t.\t"
              "ID=inverted-5-1-1.1;repeat_pair=inverted-5-1-1;copy=1;rpt_type=inverted;rpt_unit_seq=ACCGT\n"
              "s\ttessaron\trepeat_region\t12\t16\t.\t+\t.\t"
              "ID=direct-5-1-1.1;repeat_pair=direct-5-1-1;copy=1;rpt_type=direct;rpt_unit_seq=TTTAC\n"
              "s\ttessaron\trepeat_region\t15\t19\t.\t-\t.\t"
              "ID=inverted-5-1-1.2;repeat_pair=inverted-5-1-1;copy=2;rpt_type=inverted;rpt_unit_seq=ACCGT\n"
              "s\ttessaron\trepeat_region\t19\t23\t.\t+\t.\t"
              "ID=direct-5-1-1.2;repeat_pair=direct-5-1-1;copy=2;rpt_type=direct;rpt_unit_seq=TTTAC\n");

    // Debian's GenomeTools validates it, mirror and complementary copies included.
    if (std::system("command -v gt >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "gt (genometools) is not installed";
    }
    const Outcome mito = run({"--report", "gff", "--min", "8", "--max", "12", TESSARON_MITO_GENBANK});
    ASSERT_EQ(mito.status, 0) << mito.err;
    EXPECT_NE(mito.out.find("rpt_type=other;repeat_kind=mirror"), std::string::npos);
    EXPECT_NE(mito.out.find("rpt_type=other;repeat_kind=complementary"), std::string::npos);
    for (const auto& [name, text] : {std::pair{"small.gff3", result.out}, std::pair{"mito.gff3", mito.out}}) {
        write(name, text);
        const std::string command =
            "cd '" + dir_.string() + "' && gt gff3validator " + name + " >gt.txt 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << slurp(dir_ / "gt.txt");
    }
}

}  // namespace
}  // namespace tessaron::test
