#include "clirunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace tessaron::test;
namespace fs = std::filesystem;

// Direct TTTAC (12, 19) runs over the end; inverted ACCGT at 7 has ACGGT at 15.
constexpr const char* kSample = "ACCGAAACCGTTTTACGGTTT\n";

TEST_F(CliTest, SummaryOfOneLength)
{
    write("s.txt", kSample);
    const Outcome result = run({"--min", "5", "--max", "5", "s.txt"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out,
              "Direct repeats:\t\n"
              "5 bp\t1\n"
              "\t\n"
              "Inverted repeats:\t\n"
              "5 bp\t1\n"
              "\t\n"
              "Mirror repeats:\t\n"
              "\t\n"
              "Complementary repeats:\t\n");
}

TEST_F(CliTest, SummaryOfSeveralLengthsIsTheDefaultReport)
{
    write("s.txt", kSample);
    const Outcome result = run({"s.txt", "--min", "4", "--max=6"});
    EXPECT_EQ(result.status, 0) << result.err;
    // Lengths without pairs get no row.
    EXPECT_EQ(result.out,
              "Direct repeats:\t\n"
              "4 bp\t2\n"
              "5 bp\t1\n"
              "\t\n"
              "Inverted repeats:\t\n"
              "4 bp\t3\n"
              "5 bp\t1\n"
              "\t\n"
              "Mirror repeats:\t\n"
              "\t\n"
              "Complementary repeats:\t\n");
    EXPECT_EQ(run({"s.txt", "--min", "4", "--max=6", "--report", "summary"}).out, result.out);
}

TEST_F(CliTest, PairsAreOneBasedAndInKindLengthListOrder)
{
    write("s.txt", kSample);
    const Outcome one = run({"--report", "pairs", "--min", "5", "--max", "5", "--text", "s.txt"});
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(one.out,
              "kind\tlength\tword\tfirst\tsecond\n"
              "direct\t5\tTTTAC\t12\t19\n"
              "inverted\t5\tACCGT\t7\t15\n");

    const Outcome several = run({"--report", "pairs", "--min", "4", "--max", "6", "s.txt"});
    EXPECT_EQ(several.status, 0) << several.err;
    EXPECT_EQ(several.out,
              "kind\tlength\tword\tfirst\tsecond\n"
              "direct\t4\tACCG\t1\t7\n"
              "direct\t4\tGTTT\t10\t18\n"
              "direct\t5\tTTTAC\t12\t19\n"
              "inverted\t4\tACCG\t1\t16\n"
              "inverted\t4\tACCG\t7\t16\n"
              "inverted\t4\tCCGT\t8\t15\n"
              "inverted\t5\tACCGT\t7\t15\n");
}

TEST_F(CliTest, InfoCountsTheBasesOfAFastaFileButNotItsHeader)
{
    write("s.fa", ">x\n" + std::string(kSample));  // the header is the title
    const Outcome result = run({"--report", "info", "s.fa"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "title\tx\nlength\t21\nA\t5\nT\t7\nC\t5\nG\t4\n");
}

TEST_F(CliTest, EmblIsReadWithItsTitleAndFeatures)
{
    write("s.embl",
          "ID   AB000001; SV 2; circular; genomic DNA; STD; UNC; 21 BP.\n"
          "DE   A test record\n"
          "OS   Testus primus\n"
          "FT   source          1..21\n"
          "FT   gene            3..9\n"
          "FT                   /gene=\"ND1\"\n"
          "SQ   Sequence 21 BP;\n"
          "     accgaaaccg ttttacggtt t                                           21\n"
          "//\n");
    const Outcome info = run({"--report", "info", "s.embl"});
    EXPECT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.out, "title\tTestus primus\nlength\t21\nA\t5\nT\t7\nC\t5\nG\t4\n");
    const Outcome pairs = run({"--min", "5", "--max", "5", "--report", "pairs", "s.embl"});
    EXPECT_EQ(pairs.status, 0) << pairs.err;
    EXPECT_EQ(pairs.out,
              "kind\tlength\tword\tfirst\tsecond\tfirst_features\tsecond_features\n"
              "direct\t5\tTTTAC\t12\t19\tintergenic\tintergenic\n"
              "inverted\t5\tACCGT\t7\t15\tND1\tintergenic\n");
}

// BED readers take a line that begins with track, browser or # for a header:
// such an id is refused for BED, whether given or the record's own.
TEST_F(CliTest, IdsThatBedReadsAsHeadersAreRefused)
{
    write("s.txt", kSample);
    write("track.fa", ">track1\n" + std::string(kSample));
    const struct {
        std::vector<std::string> arguments;
        int status;
        std::string err;
    } cases[] = {
        {{"--seqid", "track", "--report", "bed", "s.txt"},
         2,
         "tessaron-cli: --seqid: 'track' would make BED lines that read as a header (track, browser, #); "
         "choose another id (see --help)\n"},
        {{"--seqid", "browser", "--report", "gff", "s.txt"},
         2,
         "tessaron-cli: --seqid: 'browser' would make BED lines that read as a header (track, browser, #); "
         "choose another id (see --help)\n"},
        {{"--seqid", "#chr1", "--report", "bed", "s.txt"},
         2,
         "tessaron-cli: --seqid: '#chr1' would make BED lines that read as a header (track, browser, #); "
         "choose another id (see --help)\n"},
        {{"--report", "bedpe", "track.fa"},
         1,
         "tessaron-cli: track.fa: its id 'track1' would make BED lines that read as a header (track, "
         "browser, "
         "#); give another with --seqid\n"},
        {{"--report", "bed", "--seqid", "chr1", "track.fa"}, 0, ""},
        {{"--report", "gff", "track.fa"}, 0, ""},
    };
    for (const auto& c : cases) {
        const Outcome result = run(c.arguments);
        EXPECT_EQ(result.status, c.status) << c.err;
        EXPECT_EQ(result.err, c.err);
    }
}

TEST_F(CliTest, InputWithoutBasesIsAnError)
{
    write("nobases.txt", "1234 -- 5678\n");
    write("gaps.fa", ">one\nACGT\n>two\nNNNN\n");
    write("header.fa", ">only a header\n");
    const struct {
        std::vector<std::string> arguments;
        std::string err;
    } cases[] = {
        {{"--report", "info", "nobases.txt"}, "cannot read 'nobases.txt': it holds no bases (A, C, G or T)"},
        {{"header.fa"}, "cannot read 'header.fa': it holds no bases (A, C, G or T)"},
        {{"--record", "two", "gaps.fa"},
         "cannot read 'gaps.fa': record 2 (two) holds no bases (A, C, G or T)"},
        {{"--batch", "gaps.fa"},
         "gaps.fa: cannot read 'gaps.fa': record 2 (two) holds no bases (A, C, G or T)"},
    };
    for (const auto& c : cases) {
        const Outcome result = run(c.arguments);
        EXPECT_EQ(result.status, 1) << c.err;
        EXPECT_EQ(result.err, "tessaron-cli: " + c.err + "\n");
    }
}

TEST_F(CliTest, MinimumAboveMaximumIsLoweredToIt)
{
    write("s.txt", kSample);
    const Outcome lowered = run({"--min", "9", "--max", "5", "s.txt"});
    EXPECT_EQ(lowered.status, 0) << lowered.err;
    EXPECT_EQ(lowered.out, run({"--min", "5", "--max", "5", "s.txt"}).out);
    EXPECT_NE(lowered.out.find("5 bp"), std::string::npos);
}

TEST_F(CliTest, RandomSequenceHasExactlyTheCounts)
{
    const Outcome result = run({"--random", "10,20,30,40", "--seed", "1", "--report", "info"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "title\t\nlength\t100\nA\t10\nT\t20\nC\t30\nG\t40\n");
}

TEST_F(CliTest, RandomSequenceDependsOnlyOnTheSeed)
{
    const std::vector<std::string> arguments{"--random", "300,200,250,250", "--report",
                                             "pairs",    "--min",           "6"};
    auto withSeed = [&](const char* seed) {
        auto all = arguments;
        all.insert(all.end(), {"--seed", seed});
        return run(all);
    };
    const Outcome first = withSeed("7");
    EXPECT_EQ(first.status, 0) << first.err;
    EXPECT_GT(lines(first.out).size(), 1u);
    EXPECT_EQ(withSeed("7").out, first.out);
    EXPECT_NE(withSeed("8").out, first.out);
}

TEST_F(CliTest, EqualBoundsGiveOneLengthForTextButTwoForRandom)
{
    // In forty A's only the longest length searched has direct pairs (below
    // it the neighbouring letters are always equal): 8 for the text file, but
    // 9 for the random sequence, whose maximum is raised to the minimum + 1.
    write("a.txt", std::string(40, 'A'));
    const auto text = lines(run({"--min", "8", "--max", "8", "a.txt"}).out);
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ(fields(text[1])[0], "8 bp");
    EXPECT_EQ(text[2], "\t");
    const auto random = lines(run({"--min", "8", "--max", "8", "--random", "40,0,0,0", "--seed", "3"}).out);
    ASSERT_GE(random.size(), 3u);
    EXPECT_EQ(fields(random[1])[0], "9 bp");
    EXPECT_EQ(random[2], "\t");
}

std::string reverseComplement(std::string word)
{
    std::reverse(word.begin(), word.end());
    for (char& ch : word) {
        ch = ch == 'A' ? 'T' : ch == 'T' ? 'A' : ch == 'C' ? 'G' : 'C';
    }
    return word;
}

// Every listed pair must hold in the sequence, and the listing must agree with the summary.
TEST_F(CliTest, PairsListingAgreesWithTheSequenceAndTheSummary)
{
    std::string sequence;
    std::uint32_t state = 12345;
    for (int i = 0; i < 3000; ++i) {
        state = state * 1103515245u + 12345u;
        sequence += "ATCG"[(state >> 16) & 3u];
    }
    write("r.txt", sequence);
    auto circular = [&](std::int64_t start, std::size_t length) {
        std::string word;
        for (std::size_t i = 0; i < length; ++i) {
            word +=
                sequence[static_cast<std::size_t>(start + static_cast<std::int64_t>(i)) % sequence.size()];
        }
        return word;
    };

    const Outcome pairs = run({"--min", "4", "--max", "7", "--report", "pairs", "r.txt"});
    ASSERT_EQ(pairs.status, 0) << pairs.err;
    const auto rows = lines(pairs.out);
    ASSERT_GT(rows.size(), 1000u);
    std::map<std::pair<std::string, int>, int> counted;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const auto cells = fields(rows[i]);
        ASSERT_EQ(cells.size(), 5u) << rows[i];
        const std::string& kind = cells[0];
        const int length = std::stoi(cells[1]);
        const std::string& word = cells[2];
        const std::int64_t first = std::stoll(cells[3]) - 1;
        const std::int64_t second = std::stoll(cells[4]) - 1;
        ++counted[{kind, length}];
        ASSERT_EQ(word.size(), static_cast<std::size_t>(length)) << rows[i];
        ASSERT_EQ(circular(first, word.size()), word) << rows[i];
        std::string expected = word;
        if (kind == "inverted") {
            expected = reverseComplement(word);
        } else if (kind == "mirror") {
            expected.assign(word.rbegin(), word.rend());
        } else if (kind == "complementary") {
            expected = reverseComplement(std::string(word.rbegin(), word.rend()));
        } else {
            ASSERT_EQ(kind, "direct");
        }
        ASSERT_EQ(circular(second, word.size()), expected) << rows[i];
    }

    // The summary: a heading per kind, then "N bp" and the count for every
    // length that has pairs.
    const std::map<std::string, std::string> kinds{{"Direct repeats:", "direct"},
                                                   {"Inverted repeats:", "inverted"},
                                                   {"Mirror repeats:", "mirror"},
                                                   {"Complementary repeats:", "complementary"}};
    std::map<std::pair<std::string, int>, int> summarised;
    std::string kind;
    for (const std::string& row : lines(run({"--min", "4", "--max", "7", "r.txt"}).out)) {
        const auto cells = fields(row);
        if (kinds.count(cells[0]) != 0) {
            kind = kinds.at(cells[0]);
        } else if (!cells[0].empty()) {
            ASSERT_EQ(cells[0].substr(cells[0].size() - 3), " bp") << row;
            summarised[{kind, std::stoi(cells[0])}] = std::stoi(cells[1]);
        }
    }
    EXPECT_EQ(summarised, counted);
}

TEST_F(CliTest, HelpDescribesEveryOption)
{
    const Outcome result = run({"--help"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out.rfind("Usage: tessaron-cli", 0), 0u);
    for (const char* option :
         {"--text", "--genbank", "--random", "--seed", "--compare", "--min", "--max", "--report", "summary",
          "listing", "info", "pairs", "gff", "bed", "--kind", "--features", "--motif", "--csv", "--help"}) {
        EXPECT_NE(result.out.find(option), std::string::npos) << option;
    }
}

TEST_F(CliTest, UsageErrorsAreOneLineWithExitStatusTwo)
{
    write("s.txt", kSample);
    // The parser's unit tests go through every usage error; the program
    // itself turns one into a single line and exit status 2.
    const std::vector<std::vector<std::string>> cases{
        {},
        {"--bogus", "s.txt"},
        {"s.txt", "--report", "listing", "--kind", "palindromic"},
    };
    for (const auto& arguments : cases) {
        std::string shown;
        for (const auto& argument : arguments) {
            shown += " [" + argument + "]";
        }
        const Outcome result = run(arguments);
        EXPECT_EQ(result.status, 2) << shown;
        EXPECT_EQ(result.out, "") << shown;
        EXPECT_EQ(result.err.rfind("tessaron-cli: ", 0), 0u) << shown << ": " << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << shown << ": " << result.err;
    }
}

TEST_F(CliTest, EveryInputFailureNamesItsCauseAndExitsWithOne)
{
    fs::create_directory(dir_ / "folder");
    write("empty.gb", "");
    write("bases.txt", "ACGT\n");
    write("cut.gb", "LOCUS\nSOURCE x\nFEATURES\n     source 1..4\n//\n");
    write("empty.txt", "");
    write("binary.bin", std::string("\x89PNG\0\0ACGT", 10));
    write("broken.gb", "LOCUS       X 20 bp\nSOURCE x\nFEATURES\n     source 1..20\nORIGIN\n1 acgtacgt\n");
    std::string noted;
    for (int line = 0; line < 11; ++line) {
        noted += "note\n";
    }
    write("noted.gb", noted + "LOCUS       X 4 bp\n");
    write("fasta-first.gb", ">x\n\nLOCUS       X 4 bp\nSOURCE x\n");
    write("reads.fq", "@r1\nACGTACGT\n+\nIIIIIIII\n");
    write("protein.fa", ">p\nMVLSPADKTNVKAAWGKVGAHAGEYGAEALERMF\n");
    write("prose.txt", "The quick brown fox jumps over the lazy dog.\n");
    write("twice.fa", ">a\nACGT\n>b\nGG\n>A first\nTT\n");
    const struct {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        {{"missing.txt"}, "tessaron-cli: cannot open 'missing.txt': No such file or directory\n"},
        {{"folder"}, "tessaron-cli: cannot read 'folder': Is a directory\n"},
        {{"--genbank", "folder"}, "tessaron-cli: cannot read 'folder': Is a directory\n"},
        {{"--genbank", "empty.gb"}, "tessaron-cli: cannot read 'empty.gb' as GenBank: the file is empty\n"},
        {{"--genbank", "bases.txt"},
         "tessaron-cli: cannot read 'bases.txt' as GenBank: not a GenBank file (no line begins with "
         "LOCUS)\n"},
        {{"cut.gb"},
         "tessaron-cli: cannot read 'cut.gb' as GenBank, line 5: the record ends before ORIGIN\n"},
        {{"--compare", "cut.gb", "missing.gb"},
         "tessaron-cli: cannot read 'cut.gb' as GenBank, line 5: the record ends before ORIGIN\n"},
        {{"--compare", "--kind", "mirror", "missing.gb"},
         "tessaron-cli: cannot open 'missing.gb': No such file or directory\n"},
        {{"empty.txt"}, "tessaron-cli: cannot read 'empty.txt': the file is empty\n"},
        {{"binary.bin"},
         "tessaron-cli: cannot read 'binary.bin': it holds binary data, not text (a NUL byte at byte 5)\n"},
        {{"broken.gb"},
         "tessaron-cli: cannot read 'broken.gb' as GenBank, line 6: the record is cut short: its sequence "
         "stops after 8 of 20 bases, without the closing // line\n"},
        {{"--record", "a", "twice.fa"},
         "tessaron-cli: twice.fa: 2 records are named 'a': 1 (a), 3 (A); choose one by its number with "
         "--record N\n"},
        {{"--genbank", "noted.gb"},
         "tessaron-cli: cannot read 'noted.gb' as GenBank: not a GenBank file (its first LOCUS line, line "
         "12, "
         "comes after 11 lines of other text; at most 10 may come first)\n"},
        {{"--genbank", "fasta-first.gb"},
         "tessaron-cli: cannot read 'fasta-first.gb' as GenBank: not a GenBank file (line 1 is a FASTA "
         "header, before its first LOCUS line, line 3)\n"},
        {{"reads.fq"},
         "tessaron-cli: cannot read 'reads.fq': FASTQ reads are not a genome (its first line is a read's '@' "
         "header, its third the '+' of the read's qualities)\n"},
        {{"protein.fa"},
         "tessaron-cli: cannot read 'protein.fa': this FASTA holds protein, not a genome: 61 % of the "
         "letters "
         "are not bases (A, C, G, T, U or N)\n"},
        {{"prose.txt"},
         "tessaron-cli: cannot read 'prose.txt': 77 % of the letters are not bases (A, C, G, T, U or N); it "
         "is "
         "not a genome's sequence\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments{"--report", "info"};
        if (c.arguments.front() == "--compare") {
            arguments.clear();
        }
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const Outcome result = run(arguments);
        EXPECT_EQ(result.status, 1) << c.message;
        EXPECT_EQ(result.out, "") << c.message;
        EXPECT_EQ(result.err, c.message);
    }
}

}  // namespace
