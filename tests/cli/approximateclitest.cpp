// The approximate search from the command line: its reports on the
// Arabidopsis chloroplast, its options refused with clear messages, and the
// batch and comparison tables counting length classes.

#include "clirunner.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace tessaron::test {
namespace {

const std::string kChloroplast = std::string(TESSARON_TEST_DATA) + "/NC_000932.gb";
const std::string kMito = std::string(TESSARON_TEST_DATA) + "/M12730.gb";

using ApproximateCliTest = CliTest;

TEST_F(ApproximateCliTest, PairsReportHoldsTheInvertedRepeatAsOnePairWithoutMismatches)
{
    const Outcome result = run({"--approximate", "--report", "pairs", kChloroplast});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto rows = lines(result.out);
    ASSERT_GT(rows.size(), 1U);
    EXPECT_EQ(fields(rows.front()),
              (std::vector<std::string>{"kind", "length", "mismatches", "first", "second", "identity",
                                        "evalue", "first_features", "second_features"}));
    const auto inverted = std::count_if(rows.begin(), rows.end(), [](const std::string& row) {
        const auto cells = fields(row);
        return cells[0] == "inverted" && std::stoll(cells[1]) > 20000;
    });
    EXPECT_EQ(inverted, 1);
    const auto found = std::find_if(rows.begin(), rows.end(), [](const std::string& row) {
        return row.starts_with("inverted\t26264\t");
    });
    ASSERT_NE(found, rows.end());
    const auto cells = fields(*found);
    EXPECT_EQ((std::vector<std::string>(cells.begin(), cells.begin() + 6)),
              (std::vector<std::string>{"inverted", "26264", "0", "84171", "128215", "100.00"}));
    EXPECT_NE(cells[7].find("rrn16S"), std::string::npos);
    for (std::size_t row = 1; row < rows.size(); ++row) {
        const auto pair = fields(rows[row]);
        ASSERT_EQ(pair.size(), 9U) << rows[row];
        EXPECT_GE(std::stoll(pair[1]), 30);
        EXPECT_GE(std::stod(pair[5]), 90.0);
        EXPECT_LT(std::stoll(pair[3]), std::stoll(pair[4]));
    }
}

TEST_F(ApproximateCliTest, SummaryCountsEveryLengthClassOfEveryKind)
{
    const Outcome result = run({"--approximate", kChloroplast});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto rows = lines(result.out);
    const std::vector<std::string> classes{"30-39", "40-49", "50-59", "60-99", "100-999", "1000 and more"};
    // Four kinds of a heading and six classes, an empty row between them.
    ASSERT_EQ(rows.size(), 4U * 7U + 3U);
    EXPECT_EQ(fields(rows[0])[0], "Direct repeats:");
    EXPECT_EQ(fields(rows[8])[0], "Inverted repeats:");
    for (std::size_t k = 0; k < classes.size(); ++k) {
        EXPECT_EQ(fields(rows[1 + k])[0], classes[k]);
    }
    // The one inverted pair of 1000 or more: the chloroplast's inverted repeat.
    EXPECT_EQ(fields(rows[14]), (std::vector<std::string>{"1000 and more", "1"}));
    // The pairs report holds as many pairs as the summary counts.
    const Outcome pairs = run({"--approximate", "--report", "pairs", kChloroplast});
    std::int64_t counted = 0;
    for (const std::string& row : rows) {
        const auto cells = fields(row);
        if (cells.size() == 2 && !cells[1].empty()) {
            counted += std::stoll(cells[1]);
        }
    }
    EXPECT_EQ(counted + 1, static_cast<std::int64_t>(lines(pairs.out).size()));
}

// Below 30 bp the first class begins at the minimum, in the summary and its
// tidy table alike; the classes stay the papers' from 30 on.
TEST_F(ApproximateCliTest, SummaryClassesBeginAtAMinimumBelowThirty)
{
    const std::vector<std::string> genome{"--random", "750,750,750,750", "--seed", "3", "--approximate"};
    struct Case {
        std::string minimum;
        std::string first;
    };
    for (const Case& c :
         {Case{"12", "12-39"}, Case{"29", "29-39"}, Case{"30", "30-39"}, Case{"45", "30-39"}}) {
        auto arguments = genome;
        arguments.insert(arguments.end(), {"--min", c.minimum});
        const Outcome summary = run(arguments);
        ASSERT_EQ(summary.status, 0) << summary.err;
        const auto rows = lines(summary.out);
        ASSERT_GT(rows.size(), 2U);
        EXPECT_EQ(fields(rows[1])[0], c.first) << c.minimum;
        if (c.minimum == "12") {
            EXPECT_GT(std::stoll(fields(rows[1])[1]), 0) << "the pairs of 12 to 29 bp are counted";
        }
        arguments.emplace_back("--tidy");
        const Outcome tidy = run(arguments);
        ASSERT_EQ(tidy.status, 0) << tidy.err;
        const auto tidyRows = lines(tidy.out);
        ASSERT_GT(tidyRows.size(), 1U);
        EXPECT_EQ(fields(tidyRows[1])[2], c.first) << c.minimum;
        EXPECT_EQ(fields(tidyRows[1])[3], fields(rows[1])[1]) << c.minimum;
    }
}

TEST_F(ApproximateCliTest, GffBedAndBedpeDescribeTheSamePairs)
{
    const Outcome gff = run({"--approximate", "--report", "gff", kChloroplast});
    const Outcome bed = run({"--approximate", "--report", "bed", kChloroplast});
    const Outcome bedpe = run({"--approximate", "--report", "bedpe", kChloroplast});
    ASSERT_EQ(gff.status + bed.status + bedpe.status, 0) << gff.err << bed.err << bedpe.err;
    const auto pairs = lines(bedpe.out).size();
    EXPECT_EQ(lines(bed.out).size(), 2 * pairs);
    EXPECT_EQ(lines(gff.out).size(), 2 * pairs + 3);
    const std::string inverted = "NC_000932.1\t84170\t110434\tNC_000932.1\t128214\t154478\t";
    EXPECT_NE(bedpe.out.find(inverted), std::string::npos) << bedpe.out;
    // Sorted by start, as the exact repeats' are.
    for (const Outcome* sorted : {&bed, &bedpe}) {
        std::int64_t last = 0;
        for (const std::string& row : lines(sorted->out)) {
            const std::int64_t start = std::stoll(fields(row)[1]);
            EXPECT_LE(last, start) << row;
            last = start;
        }
    }
    EXPECT_NE(gff.out.find("repeat_region\t128215\t154478\t.\t-\t.\tID=inverted-"), std::string::npos);
    if (std::system("command -v gt >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "gt (genometools) is not installed";
    }
    write("approximate.gff3", gff.out);
    const std::string command =
        "cd '" + dir_.string() + "' && gt gff3validator approximate.gff3 >gt.txt 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << slurp(dir_ / "gt.txt");
}

TEST_F(ApproximateCliTest, RefusesOptionsThatDoNotGoTogether)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--approximate", "--min", "0"}, "--min: '0' is not an integer from 1"},
        {{"--min", "1"}, "--min: '1' is not an integer from 3 to 256"},
        {{"--identity", "95"}, "--identity applies only to --approximate"},
        {{"--approximate", "--identity", "100.5"}, "--identity: '100.5' is not a percentage from 0 to 100"},
        {{"--approximate", "--identity", "nan"}, "--identity: 'nan' is not a percentage"},
        {{"--approximate", "--evalue", "-1"}, "--evalue: '-1' is not a number above 0"},
        {{"--approximate", "--mismatch-penalty", "0"}, "--mismatch-penalty: '0' is not an integer from 1"},
        {{"--approximate", "--max-mismatches", "2.5"}, "--max-mismatches: '2.5' is not an integer from 0"},
        {{"--approximate", "--complete"}, "choose one of --approximate and --complete"},
        {{"--approximate", "--max", "40"}, "--max does not apply to --approximate"},
        {{"--approximate", "--report", "listing"}, "--approximate does not apply to --report listing"},
        {{"--approximate", "--map", "m.png"}, "--approximate does not apply to --map"},
        {{"--approximate", "--ssr"}, "--approximate does not apply to --ssr"},
        {{"--approximate", "--report", "paper"}, "--approximate does not apply to --report paper"},
        {{"--approximate", "--report", "bedpe", "--csv"}, "--csv does not apply to --report bedpe"},
    };
    for (const auto& [arguments, message] : cases) {
        std::vector<std::string> command = arguments;
        command.push_back(kChloroplast);
        const Outcome result = run(command);
        EXPECT_EQ(result.status, 2) << arguments.front() << ' ' << result.err;
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_TRUE(result.out.empty());
    }
}

TEST_F(ApproximateCliTest, LowFiltersFindMorePairsAndTheMismatchLimitHolds)
{
    const Outcome loose = run({"--approximate", "--min", "20", "--identity", "80", "--max-mismatches", "2",
                               "--report", "pairs", kChloroplast});
    const Outcome defaults = run({"--approximate", "--report", "pairs", kChloroplast});
    ASSERT_EQ(loose.status, 0) << loose.err;
    const auto rows = lines(loose.out);
    EXPECT_GT(rows.size(), lines(defaults.out).size());
    for (std::size_t row = 1; row < rows.size(); ++row) {
        const auto cells = fields(rows[row]);
        EXPECT_GE(std::stoll(cells[1]), 20);
        EXPECT_LE(std::stoll(cells[2]), 2);
    }
    const Outcome evalue = run({"--approximate", "--min", "1", "--identity", "0", "--evalue", "1e-3",
                                "--report", "pairs", kChloroplast});
    ASSERT_EQ(evalue.status, 0) << evalue.err;
    EXPECT_GT(lines(evalue.out).size(), 1U);
    // Seeds of every length would be too many: the search says it is not exhaustive.
    EXPECT_NE(evalue.err.find("not exhaustive"), std::string::npos) << evalue.err;
    EXPECT_EQ(loose.err, "");
    for (const std::string& row : lines(evalue.out)) {
        if (!row.starts_with("kind")) {
            EXPECT_LE(std::stod(fields(row)[6]), 1e-3) << row;
        }
    }
}

TEST_F(ApproximateCliTest, BatchCompareAndControlsCountLengthClasses)
{
    const Outcome batch = run({"--approximate", "--batch", kChloroplast, kMito});
    ASSERT_EQ(batch.status, 0) << batch.err;
    const auto rows = lines(batch.out);
    // A header, then per genome four kinds of six classes.
    ASSERT_EQ(rows.size(), 1U + 2U * 4U * 6U);
    const auto invertedRepeat = fields(rows[1 + 6 + 5]);
    EXPECT_EQ(invertedRepeat[5], "inverted");
    EXPECT_EQ(invertedRepeat[6], "1000 and more");
    EXPECT_EQ(invertedRepeat[7], "1");

    const Outcome compare = run({"--approximate", "--compare", "--kind", "inverted", kChloroplast, kMito});
    ASSERT_EQ(compare.status, 0) << compare.err;
    const auto table = lines(compare.out);
    ASSERT_EQ(table.size(), 4U);
    EXPECT_EQ(fields(table[1]),
              (std::vector<std::string>{"", "30-39", "40-49", "50-59", "60-99", "100-999", "1000 and more"}));
    EXPECT_EQ(fields(table[2]).back(), "1");

    const Outcome controls = run({"--approximate", "--controls", "2", kChloroplast});
    ASSERT_EQ(controls.status, 0) << controls.err;
    const auto stats = lines(controls.out);
    ASSERT_EQ(stats.size(), 1U + 4U * 6U);
    EXPECT_EQ(fields(stats[12])[1], "1000 and more");
    EXPECT_EQ(fields(stats[12])[2], "1");
    EXPECT_EQ(fields(stats[12])[3], "0");  // no random sequence holds so long a pair
}

}  // namespace
}  // namespace tessaron::test
