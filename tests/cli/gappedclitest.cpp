// The gapped search from the command line (--approximate --gaps): its pairs
// with their alignments, the summary, GFF3, BED and BEDPE agreeing with
// the pairs, the families, the paper section, batch and compare, and its
// options refused with clear messages.

#include "clirunner.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tessaron::test {
namespace {

const std::string kPlastome = std::string(TESSARON_TEST_DATA) + "/NC_000932.gb";

using GappedCliTest = CliTest;

// The letters of the first (M, =, X, D) and second (M, =, X, I) copy a CIGAR
// spans, and its insertions and deletions.
struct CigarSpan {
    std::int64_t first = 0;
    std::int64_t second = 0;
    std::int64_t insertions = 0;
    std::int64_t deletions = 0;
};

CigarSpan cigarSpan(const std::string& cigar)
{
    CigarSpan result;
    std::int64_t run = 0;
    for (const char c : cigar) {
        if (c >= '0' && c <= '9') {
            run = run * 10 + (c - '0');
            continue;
        }
        if (c != 'I') {
            result.first += run;
        }
        if (c != 'D') {
            result.second += run;
        }
        if (c == 'I') {
            result.insertions += run;
        } else if (c == 'D') {
            result.deletions += run;
        }
        run = 0;
    }
    return result;
}

TEST_F(GappedCliTest, PairsAddTheAlignmentColumnsAndTheirCigarsSpanBothCopies)
{
    const Outcome result = run({"--approximate", "--gaps", "--report", "pairs", kPlastome});
    ASSERT_EQ(result.status, 0) << result.err;
    // With --tidy the same rows begin with the seqid, as the ungapped pairs'.
    const Outcome tidy = run({"--approximate", "--gaps", "--tidy", "--report", "pairs", kPlastome});
    ASSERT_EQ(tidy.status, 0) << tidy.err;
    const auto tidyRows = lines(tidy.out);
    ASSERT_EQ(tidyRows.size(), lines(result.out).size());
    EXPECT_EQ(tidyRows.back(), "NC_000932.1\t" + lines(result.out).back());
    const auto rows = lines(result.out);
    ASSERT_GT(rows.size(), 1U);
    EXPECT_EQ(fields(rows.front()),
              (std::vector<std::string>{"kind", "length", "mismatches", "first", "second", "identity",
                                        "evalue", "first_features", "second_features", "second_length",
                                        "insertions", "deletions", "cigar"}));
    // The chloroplast's inverted repeat stays one pair without mismatches or gaps.
    const auto found = std::find_if(rows.begin(), rows.end(), [](const std::string& row) {
        return row.starts_with("inverted\t26264\t");
    });
    ASSERT_NE(found, rows.end());
    const auto cells = fields(*found);
    EXPECT_EQ(
        (std::vector<std::string>{cells[2], cells[3], cells[4], cells[9], cells[10], cells[11], cells[12]}),
        (std::vector<std::string>{"0", "84171", "128215", "26264", "0", "0", "26264="}));
    bool gapped = false;
    for (std::size_t row = 1; row < rows.size(); ++row) {
        const auto pair = fields(rows[row]);
        ASSERT_EQ(pair.size(), 13U) << rows[row];
        const CigarSpan cigar = cigarSpan(pair[12]);
        EXPECT_EQ(cigar.first, std::stoll(pair[1])) << rows[row];
        EXPECT_EQ(cigar.second, std::stoll(pair[9])) << rows[row];
        EXPECT_EQ(cigar.insertions, std::stoll(pair[10])) << rows[row];
        EXPECT_EQ(cigar.deletions, std::stoll(pair[11])) << rows[row];
        EXPECT_GE(std::min(std::stoll(pair[1]), std::stoll(pair[9])), 30) << rows[row];
        EXPECT_GE(std::stod(pair[5]), 90.0) << rows[row];
        gapped = gapped || cigar.insertions + cigar.deletions > 0;
    }
    EXPECT_TRUE(gapped) << "no pair of the chloroplast holds a gap";
}

// The summary counts the pairs of the pairs report; GFF3 and BED write two
// lines per pair (more across the origin), BEDPE one, each copy at its own
// length.
TEST_F(GappedCliTest, SummaryGffBedAndBedpeHoldThePairsOfThePairsReport)
{
    const Outcome pairs = run({"--approximate", "--gaps", "--report", "pairs", kPlastome});
    ASSERT_EQ(pairs.status, 0) << pairs.err;
    const auto rows = lines(pairs.out);
    const auto total = static_cast<std::int64_t>(rows.size()) - 1;

    const Outcome summary = run({"--approximate", "--gaps", kPlastome});
    ASSERT_EQ(summary.status, 0) << summary.err;
    std::int64_t counted = 0;
    for (const std::string& row : lines(summary.out)) {
        const auto cells = fields(row);
        if (cells.size() == 2 && !cells[1].empty()) {
            counted += std::stoll(cells[1]);
        }
    }
    EXPECT_EQ(counted, total);

    const Outcome bedpe = run({"--approximate", "--gaps", "--report", "bedpe", kPlastome});
    ASSERT_EQ(bedpe.status, 0) << bedpe.err;
    const auto bedpeRows = lines(bedpe.out);
    EXPECT_EQ(static_cast<std::int64_t>(bedpeRows.size()), total);
    // Every pair's copies at their lengths: (first, length) and (second, second_length).
    std::vector<std::pair<std::int64_t, std::int64_t>> expected;
    std::vector<std::pair<std::int64_t, std::int64_t>> written;
    for (std::size_t row = 1; row < rows.size(); ++row) {
        const auto cells = fields(rows[row]);
        expected.emplace_back(std::stoll(cells[3]) - 1, std::stoll(cells[1]));
        expected.emplace_back(std::stoll(cells[4]) - 1, std::stoll(cells[9]));
    }
    for (const std::string& row : bedpeRows) {
        const auto cells = fields(row);
        ASSERT_EQ(cells.size(), 10U) << row;
        written.emplace_back(std::stoll(cells[1]), std::stoll(cells[2]) - std::stoll(cells[1]));
        written.emplace_back(std::stoll(cells[4]), std::stoll(cells[5]) - std::stoll(cells[4]));
    }
    std::sort(expected.begin(), expected.end());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, expected);

    const Outcome gff = run({"--approximate", "--gaps", "--report", "gff", kPlastome});
    ASSERT_EQ(gff.status, 0) << gff.err;
    const auto gffRows = lines(gff.out);
    const auto copies = std::count_if(gffRows.begin(), gffRows.end(), [](const std::string& row) {
        return row.find("\trepeat_region\t") != std::string::npos;
    });
    EXPECT_GE(copies, 2 * total);
    EXPECT_NE(gff.out.find(";insertions="), std::string::npos);

    const Outcome bed = run({"--approximate", "--gaps", "--report", "bed", kPlastome});
    ASSERT_EQ(bed.status, 0) << bed.err;
    EXPECT_GE(static_cast<std::int64_t>(lines(bed.out).size()), 2 * total);
}

// The families: the inverted repeat's two copies make one family of two
// copies of opposite strands; --families is --report families.
TEST_F(GappedCliTest, FamiliesHoldTheInvertedRepeatAsTwoCopiesOfOppositeStrands)
{
    const Outcome result = run({"--approximate", "--gaps", "--report", "families", kPlastome});
    ASSERT_EQ(result.status, 0) << result.err;
    const auto rows = lines(result.out);
    ASSERT_GT(rows.size(), 2U);
    EXPECT_EQ(fields(rows.front()),
              (std::vector<std::string>{"family", "copies", "representative", "min_length", "max_length",
                                        "kinds", "copy", "strand"}));
    std::vector<std::string> strands;
    for (const std::string& row : rows) {
        const auto cells = fields(row);
        if (cells.size() == 8 && cells[4] == "26264") {
            strands.push_back(cells[7]);
        }
    }
    std::sort(strands.begin(), strands.end());
    EXPECT_EQ(strands, (std::vector<std::string>{"+", "-"}));
    const Outcome flag = run({"--approximate", "--gaps", "--families", kPlastome});
    ASSERT_EQ(flag.status, 0) << flag.err;
    EXPECT_EQ(flag.out, result.out);
}

TEST_F(GappedCliTest, RefusesOptionsThatDoNotGoTogether)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--gaps"}, "--gaps applies only to --approximate"},
        {{"--approximate", "--gap-open", "9"}, "--gap-open applies only to --gaps"},
        {{"--approximate", "--gaps", "--gap-extend", "x"}, "--gap-extend: 'x' is not an integer from 0"},
        {{"--approximate", "--gaps", "--gap-open", "1"},
         "--gaps: with a mismatch penalty of 2 the gap opening"},
        {{"--approximate", "--gaps", "--mismatch-penalty", "11"}, "--gaps: the mismatch penalty must be"},
        {{"--approximate", "--report", "families"}, "--report families applies only to --approximate --gaps"},
        {{"--families"}, "--families applies only to --approximate --gaps"},
        {{"--approximate", "--gaps", "--controls", "2"}, "--gaps does not apply to --controls"},
        {{"--approximate", "--gaps", "--report", "paper"}, "--approximate does not apply to --report paper"},
        {{"--report", "paper", "--gap-open", "9"}, "--gap-open applies only to --gaps"},
        {{"--report", "paper", "--gaps", "--gap-extend", "0"}, "--gaps: the gap extension"},
    };
    for (const auto& [arguments, message] : cases) {
        std::vector<std::string> command = arguments;
        command.push_back(kPlastome);
        const Outcome result = run(command);
        EXPECT_EQ(result.status, 2) << arguments.front() << ' ' << result.err;
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_TRUE(result.out.empty());
    }
}

// The rows of a tidy summary (seqid, kind, repeat_length, pairs) or of a
// batch table as (kind, class, pairs).
std::vector<std::vector<std::string>> classRows(const std::string& out, std::size_t kindColumn)
{
    std::vector<std::vector<std::string>> rows;
    const auto all = lines(out);
    for (std::size_t row = 1; row < all.size(); ++row) {
        const auto cells = fields(all[row]);
        rows.emplace_back(cells.begin() + static_cast<std::ptrdiff_t>(kindColumn),
                          cells.begin() + static_cast<std::ptrdiff_t>(kindColumn) + 3);
    }
    return rows;
}

// The cells of a row of a sheet, without the empty ones that pad it to the
// sheet's width.
std::vector<std::string> cells(const std::string& line)
{
    std::vector<std::string> found = fields(line);
    while (!found.empty() && found.back().empty()) {
        found.pop_back();
    }
    return found;
}

// The lines of a sheet from the one that begins with `first` up to the next
// empty row (or the end).
std::vector<std::string> block(const std::string& out, const std::string& first)
{
    std::vector<std::string> found;
    for (const std::string& line : lines(out)) {
        if (found.empty() && !line.starts_with(first)) {
            continue;
        }
        if (cells(line).empty()) {
            break;
        }
        found.push_back(line);
    }
    return found;
}

// The paper section with --gaps counts the gapped pairs of the summary from
// 30 bp and names the search with its gap costs; --families adds the
// families by length and number of copies, which add up to those of
// --report families; the microsatellites and tandem arrays stay.
TEST_F(GappedCliTest, PaperSectionCountsTheGappedPairsAndTheirFamilies)
{
    const Outcome plain = run({"--report", "paper", kPlastome});
    const Outcome gapped = run({"--report", "paper", "--gaps", "--gap-open", "4", kPlastome});
    const Outcome families = run({"--gaps", "--families", "--report", "paper", "--gap-open", "4", kPlastome});
    const Outcome ungapped = run({"--report", "paper", "--families", kPlastome});
    for (const Outcome* outcome : {&plain, &gapped, &families, &ungapped}) {
        ASSERT_EQ(outcome->status, 0) << outcome->err;
    }
    const auto search = block(gapped.out, "Search:");
    ASSERT_FALSE(search.empty());
    EXPECT_TRUE(search.front().starts_with("Search:\tgapped search: ")) << search.front();
    EXPECT_NE(search.front().find("-(4 + 2 k) per gap of k letters"), std::string::npos) << search.front();
    const std::string tail = "Microsatellites:";
    EXPECT_EQ(gapped.out.substr(gapped.out.find(tail)), plain.out.substr(plain.out.find(tail)));

    // Per kind the six classes of the summary (30-39 ... 1000 and more).
    const Outcome summary = run({"--approximate", "--gaps", "--gap-open", "4", "--tidy", kPlastome});
    ASSERT_EQ(summary.status, 0) << summary.err;
    const auto expected = classRows(summary.out, 1);
    ASSERT_EQ(expected.size(), 24U);
    const auto counted = block(gapped.out, "kind\t");
    ASSERT_EQ(counted.size(), 6U);
    for (std::size_t k = 0; k < 4; ++k) {
        const auto row = cells(counted[k + 1]);
        ASSERT_EQ(row.size(), 8U);
        EXPECT_EQ(row[0], expected[6 * k][0]);
        for (std::size_t c = 0; c < 6; ++c) {
            EXPECT_EQ(row[c + 1], expected[6 * k + c][2]) << row[0] << ' ' << c;
        }
    }

    // The families' table: per class of copies (2, 3-5, >=6) the families of
    // --report families, all of them from 30 bp.
    const auto table = block(families.out, "Families of copies");
    ASSERT_EQ(table.size(), 9U) << families.out;
    EXPECT_EQ(cells(table[1]),
              (std::vector<std::string>{"length", "2 copies", "3-5 copies", ">=6 copies", "total"}));
    const Outcome listed =
        run({"--approximate", "--gaps", "--gap-open", "4", "--report", "families", kPlastome});
    ASSERT_EQ(listed.status, 0) << listed.err;
    std::vector<std::int64_t> perClass(3, 0);
    std::string previous;
    for (const auto& row : classRows(listed.out, 0)) {
        if (row[0] != previous) {
            const int copies = std::stoi(row[1]);
            ++perClass[copies <= 2 ? 0 : copies <= 5 ? 1 : 2];
            previous = row[0];
        }
    }
    const auto totals = cells(table.back());
    ASSERT_EQ(totals.size(), 5U);
    EXPECT_EQ(totals[0], "total");
    for (std::size_t c = 0; c < 3; ++c) {
        EXPECT_EQ(totals[c + 1], std::to_string(perClass[c])) << c;
    }
    EXPECT_EQ(totals[4], std::to_string(perClass[0] + perClass[1] + perClass[2]));
    // Without the families' table and the empty row after it the section is
    // the gapped one.
    auto withoutTable = lines(families.out);
    const auto from = std::find_if(withoutTable.begin(), withoutTable.end(), [](const std::string& line) {
        return line.starts_with("Families of copies");
    });
    ASSERT_LT(from + 10, withoutTable.end());
    withoutTable.erase(from, from + 10);
    EXPECT_EQ(withoutTable, lines(gapped.out));

    // Families of the ungapped pairs, the rest as without them.
    EXPECT_NE(ungapped.out.find("Search:\tapproximate search: "), std::string::npos);
    EXPECT_EQ(block(ungapped.out, "Families of copies").size(), 9U);
    EXPECT_EQ(block(ungapped.out, "kind\t"), block(plain.out, "kind\t"));
}

// --batch and --compare count the gapped pairs per length class as the
// summary does.
TEST_F(GappedCliTest, BatchAndCompareCountTheGappedPairsAsTheSummaryDoes)
{
    const std::vector<std::string> gaps{"--approximate", "--gaps", "--min", "40", "--identity", "85"};
    const auto with = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), gaps.begin(), gaps.end());
        arguments.push_back(kPlastome);
        return run(arguments);
    };
    const Outcome summary = with({"--tidy"});
    const Outcome batch = with({"--batch", "-j", "1"});
    const Outcome compare = with({"--compare", "--tidy", "--kind", "inverted"});
    for (const Outcome* outcome : {&summary, &batch, &compare}) {
        ASSERT_EQ(outcome->status, 0) << outcome->err;
    }
    const auto expected = classRows(summary.out, 1);
    EXPECT_EQ(classRows(batch.out, 5), expected);
    std::vector<std::vector<std::string>> inverted;
    for (const auto& row : expected) {
        if (row[0] == "inverted") {
            inverted.push_back({row[1], row[2]});
        }
    }
    std::vector<std::vector<std::string>> compared;
    const auto rows = lines(compare.out);
    ASSERT_FALSE(rows.empty());
    const auto header = fields(rows.front());
    const auto column = [&](const char* name) {
        return static_cast<std::size_t>(std::find(header.begin(), header.end(), name) - header.begin());
    };
    for (std::size_t row = 1; row < rows.size(); ++row) {
        const auto cells = fields(rows[row]);
        compared.push_back({cells.at(column("repeat_length")), cells.at(column("pairs"))});
    }
    EXPECT_EQ(compared, inverted) << compare.out;
}

// With gaps made impossible every ungapped pair (identity 0) is a gapped
// pair with the same columns and a CIGAR of = and X runs only. (At identity 0
// the ungapped search is not exhaustive on a sequence this long, so the
// gapped search may find more.) At --min 60 a 63-letter direct pair lies
// beside a longer alignment a few diagonals away: a seed there must not be
// taken for one of that alignment, which no gap can reach.
TEST_F(GappedCliTest, ImpossibleGapsKeepTheUngappedPairs)
{
    for (const std::string minimum : {"100", "60"}) {
        SCOPED_TRACE("--min " + minimum);
        const std::vector<std::string> filters{"--identity", "0",     "--min",  minimum,
                                               "--report",   "pairs", kPlastome};
        std::vector<std::string> ungapped{"--approximate"};
        ungapped.insert(ungapped.end(), filters.begin(), filters.end());
        std::vector<std::string> gapped{"--approximate", "--gaps", "--gap-open", "1000000"};
        gapped.insert(gapped.end(), filters.begin(), filters.end());
        const Outcome plain = run(ungapped);
        const Outcome withGaps = run(gapped);
        ASSERT_EQ(plain.status, 0) << plain.err;
        ASSERT_EQ(withGaps.status, 0) << withGaps.err;
        const auto plainRows = lines(plain.out);
        const auto gappedRows = lines(withGaps.out);
        ASSERT_GE(plainRows.size(), 2U);
        for (std::size_t row = 1; row < plainRows.size(); ++row) {
            const auto a = fields(plainRows[row]);
            const auto found =
                std::find_if(gappedRows.begin(), gappedRows.end(), [&](const std::string& line) {
                    const auto b = fields(line);
                    return std::vector<std::string>(b.begin(), b.begin() + 9) == a;
                });
            ASSERT_NE(found, gappedRows.end()) << plainRows[row];
            const auto b = fields(*found);
            EXPECT_EQ(b[9], a[1]);
            EXPECT_EQ((std::vector<std::string>{b[10], b[11]}), (std::vector<std::string>{"0", "0"}));
            EXPECT_EQ(b[12].find_first_of("ID"), std::string::npos) << b[12];
        }
    }
}

}  // namespace
}  // namespace tessaron::test
