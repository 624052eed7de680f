// The approximate search's reports from hand-made results: the columns of
// the pairs table, GFF3's attributes and coordinates across the origin, the
// strands and scores of BED and BEDPE (sorted by start, BED's copy across
// the origin split in two), and the summary's length classes.

#include "report/approximatereport.h"
#include "report/bedreport.h"
#include "report/gffreport.h"
#include "report/sortedrows.h"
#include "written.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace tessaron {
namespace {

using test::written;

ApproximatePair pairOf(std::int64_t first, std::int64_t second, std::int64_t length, std::int64_t mismatches,
                       double evalue)
{
    ApproximatePair pair;
    pair.first = first;
    pair.second = second;
    pair.length = length;
    pair.mismatches = mismatches;
    pair.identity = 100.0 * static_cast<double>(length - mismatches) / static_cast<double>(length);
    pair.evalue = evalue;
    return pair;
}

// Direct: one pair; inverted: one whose second copy runs over the origin of a
// 1000-base sequence.
std::vector<ApproximateResult> results()
{
    std::vector<ApproximateResult> found(2);
    found[0].kind = RepeatKind::Direct;
    found[0].pairs = {pairOf(9, 499, 40, 3, 1.25e-7)};
    found[1].kind = RepeatKind::Inverted;
    found[1].pairs = {pairOf(99, 979, 30, 0, 0.5)};
    return found;
}

TEST(ApproximateReport, PairsTableHasItsColumnsInOrder)
{
    const auto found = results();
    const std::string table = written([&](TableWriter& out) {
        writeApproximatePairsHeader(out);
        for (const auto& result : found) {
            writeApproximatePairs(out, result);
        }
    });
    EXPECT_EQ(table,
              "kind\tlength\tmismatches\tfirst\tsecond\tidentity\tevalue\n"
              "direct\t40\t3\t10\t500\t92.50\t1.25e-07\n"
              "inverted\t30\t0\t100\t980\t100.00\t0.5\n");
}

// The rows of one report through SortedRows, as the command line writes them.
std::string sorted(const std::function<void(RowTarget&, const std::vector<ApproximateResult>&)>& write)
{
    const auto found = results();
    return written([&](TableWriter& out) {
        SortedRows rows(out);
        write(rows, found);
        rows.finish();
    });
}

TEST(ApproximateReport, GffBedAndBedpePlaceBothCopies)
{
    const std::string gff = sorted([](RowTarget& rows, const auto& found) {
        GffReport report(rows, "chr 1", 1000);
        for (const auto& result : found) {
            report.write(result);
        }
    });
    EXPECT_EQ(gff.find("chr%201\ttessaron\tregion\t1\t1000\t"), 0U) << gff;
    EXPECT_NE(
        gff.find("chr%201\ttessaron\trepeat_region\t10\t49\t.\t+\t.\tID=direct-1.1;repeat_pair=direct-1;"
                 "copy=1;rpt_type=direct;mismatches=3;identity=92.50;evalue=1.25e-07\n"),
        std::string::npos)
        << gff;
    // The second inverted copy is on the minus strand and ends past the origin.
    EXPECT_NE(gff.find("\trepeat_region\t980\t1009\t.\t-\t.\tID=inverted-1.2;"), std::string::npos) << gff;

    // BED splits the copy across the origin into two lines inside the sequence.
    const std::string bed = sorted([](RowTarget& rows, const auto& found) {
        BedReport report(rows, "chr1", 1000);
        for (const auto& result : found) {
            report.write(result);
        }
    });
    EXPECT_EQ(bed,
              "chr1\t0\t9\tinverted-1\t1000\t-\n"
              "chr1\t9\t49\tdirect-1\t925\t+\n"
              "chr1\t99\t129\tinverted-1\t1000\t+\n"
              "chr1\t499\t539\tdirect-1\t925\t+\n"
              "chr1\t979\t1000\tinverted-1\t1000\t-\n");
    // BEDPE comes out by the first copy's start whatever the order written.
    const std::string bedpe = sorted([](RowTarget& rows, const auto& found) {
        BedpeReport report(rows, "chr1");
        for (auto it = found.rbegin(); it != found.rend(); ++it) {
            report.write(*it);
        }
    });
    EXPECT_EQ(bedpe,
              "chr1\t9\t49\tchr1\t499\t539\tdirect-1\t925\t+\t+\n"
              "chr1\t99\t129\tchr1\t979\t1009\tinverted-1\t1000\t+\t-\n");
}

TEST(ApproximateReport, PairsAndTidySummaryNameTheRecord)
{
    const auto found = results();
    const std::string pairs = written([&](TableWriter& out) {
        writeApproximatePairsHeader(out, false, true);
        writeApproximatePairs(out, found[0], nullptr, "chr1");
    });
    EXPECT_EQ(pairs,
              "seqid\tkind\tlength\tmismatches\tfirst\tsecond\tidentity\tevalue\n"
              "chr1\tdirect\t40\t3\t10\t500\t92.50\t1.25e-07\n");
    ApproximateClassCounts counts{};
    counts[static_cast<std::size_t>(RepeatKind::Direct)][1] = 4;
    const std::string tidy =
        written([&](TableWriter& out) { writeApproximateSummaryRows(out, "chr1", counts); });
    EXPECT_EQ(tidy.substr(0, tidy.find('\n', tidy.find('\n') + 1) + 1),
              "chr1\tdirect\t30-39\t0\nchr1\tdirect\t40-49\t4\n");
    EXPECT_EQ(std::count(tidy.begin(), tidy.end(), '\n'), 4 * 6);
}

TEST(ApproximateReport, SummaryCountsEveryClassOfEveryKind)
{
    ApproximateClassCounts counts{};
    counts[static_cast<std::size_t>(RepeatKind::Mirror)][5] = 2;
    const auto grid = approximateSummaryLayout(counts).grid();
    ASSERT_EQ(grid.size(), 4U * 7U + 3U);
    EXPECT_EQ(grid[16], (std::vector<std::string>{"Mirror repeats:", ""}));
    EXPECT_EQ(grid[17], (std::vector<std::string>{"30-39", "0"}));
    EXPECT_EQ(grid[22], (std::vector<std::string>{"1000 and more", "2"}));
}

}  // namespace
}  // namespace tessaron
