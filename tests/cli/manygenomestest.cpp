// Many genomes and long repeats through the program: batches, random
// controls and the complete search.

#include "clirunner.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace tessaron::test;
namespace fs = std::filesystem;

std::vector<std::string> rowsOf(const std::string& text)
{
    std::vector<std::string> rows;
    std::istringstream in(text);
    for (std::string row; std::getline(in, row);) {
        rows.push_back(row);
    }
    return rows;
}

TEST_F(CliTest, BatchKeepsTheOrderOfTheFilesAndGoesOnPastAFailure)
{
    write("a.txt", "ACCGAAACCGTTTTACGGTTT\n");
    write("b.txt", "GATTACAGGGGACATTAG\n");
    const std::vector<std::string> arguments{"--batch", "-j", "2",     "--min",      "4",
                                             "--max",   "5",  "a.txt", "missing.gb", "b.txt"};
    const Outcome result = run(arguments);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "tessaron-cli: missing.gb: cannot open 'missing.gb': No such file or directory\n");
    const auto rows = rowsOf(result.out);
    ASSERT_EQ(rows.size(), 1U + 2 * 4 * 2);  // header, 2 genomes x 4 kinds x 2 lengths
    EXPECT_EQ(rows[0], "file\trecord\taccession\ttitle\tlength\tkind\trepeat_length\tpairs");
    EXPECT_EQ(rows[1], "a.txt\t1\t\ta\t21\tdirect\t4\t2");
    EXPECT_EQ(rows[9].substr(0, 6), "b.txt\t");
    // One thread writes the very same table.
    std::vector<std::string> serial = arguments;
    serial[2] = "1";
    EXPECT_EQ(run(serial).out, result.out);
}

TEST_F(CliTest, ControlsAddMeanDeviationAndZ)
{
    const Outcome result =
        run({"--controls", "5", "--seed", "3", "--min", "8", "--max", "9", TESSARON_MITO_GENBANK});
    EXPECT_EQ(result.status, 0) << result.err;
    const auto rows = rowsOf(result.out);
    ASSERT_EQ(rows.size(), 1U + 4 * 2);
    EXPECT_EQ(rows[0], "kind\trepeat_length\tpairs\tcontrol_mean\tcontrol_sd\tz");
    EXPECT_EQ(rows[1].substr(0, 14), "direct\t8\t2759\t");
    // The same seed gives the same controls, whatever the threads.
    EXPECT_EQ(
        run({"--controls", "5", "--seed", "3", "-j", "1", "--min", "8", "--max", "9", TESSARON_MITO_GENBANK})
            .out,
        result.out);
}

TEST_F(CliTest, TheCompleteSearchReportsTheChloroplastInvertedRepeatWhole)
{
    const fs::path chloroplast = fs::path(TESSARON_TEST_DATA) / "NC_000932.gb";
    const Outcome result = run({"--complete", "--report", "pairs", "--min", "256", chloroplast.string()});
    EXPECT_EQ(result.status, 0) << result.err;
    std::vector<std::string> inverted;
    for (const std::string& row : rowsOf(result.out)) {
        if (row.starts_with("inverted\t")) {
            // Kind, length and both starts; the features of the copies follow.
            const auto cells = fields(row);
            inverted.push_back(cells[0] + '\t' + cells[1] + '\t' + cells[3] + '\t' + cells[4]);
        }
    }
    ASSERT_EQ(inverted.size(), 1U);
    EXPECT_EQ(inverted[0], "inverted\t26264\t84171\t128215");
}

// A word far longer than any maximum (here 700 letters, in two copies) is
// written by its first 40 letters and "…" in every report; its length and
// positions stay exact, and no row holds the whole word.
TEST_F(CliTest, LongWordsOfTheCompleteSearchAreShortened)
{
    std::string word;
    std::uint32_t state = 12345;
    while (word.size() < 700) {
        state = state * 1664525U + 1013904223U;
        word += "ACGT"[state >> 30U];
    }
    write("long.txt", "TTTT" + word + "C" + word + "G\n");
    const std::string shown = word.substr(0, 40) + "\u2026";
    const struct {
        const char* report;
        std::string row;  // the row that names the word
    } cases[] = {
        {"pairs", "direct\t700\t" + shown + "\t5\t706"},
        {"listing", shown + "\t5\t706"},
        {"gff", "rpt_unit_seq=" + shown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.report);
        const Outcome result = run({"--complete", "--min", "200", "--report", c.report, "long.txt"});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_NE(result.out.find(c.row), std::string::npos) << result.out;
        for (const std::string& row : rowsOf(result.out)) {
            EXPECT_LT(row.size(), 300U) << row;
        }
    }
}

}  // namespace
