#include "engine/suffixindex.h"
#include "referenceindex.h"
#include "report/reportlayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tessaron {
namespace {

using Grid = std::vector<std::vector<std::string>>;

// Twenty-one bases whose repeats at lengths 4 to 6 are known by hand:
// direct ACCG (0,6), GTTT (9,17) and TTTAC (11,18, running over the end);
// inverted ACCG (0,15) (6,15), CCGT (7,14) and ACCGT (6,14).
constexpr std::string_view kShort = "ACCGAAACCGTTTTACGGTTT";

// ACCG at 0 is mirrored by GCCA at 6 and complemented by TGGC at 12; no
// direct or inverted repeats at lengths 4 and 5.
constexpr std::string_view kMirrorAndComplement = "ACCGAAGCCATTTGGCAACCT";

// ACGT at 1, 7 and 14, each time between different letters: three pairs.
constexpr std::string_view kThreeCopies = "TACGTGGACGTCCCACGTA";

// 110 bases whose first ten, GCTAAAGACA, come again at 99.
constexpr std::string_view kFirstAndLast =
    "GCTAAAGACAATTACATAACATACACGTCAGCACGAAACTTGTTGGCCCAGTGTGAATCGCTTAAGGGTTAAGTAAGTGTGATGCATACGCCTTTACTTG"
    "CTAAAGACAC";

void load(Genome& genome, std::string_view bases, int minimum, int maximum)
{
    const std::string text(bases);
    ASSERT_TRUE(genome.allocate(static_cast<std::int64_t>(text.size()), 5, 15));
    genome.appendText(text.c_str());
    genome.setLengthBounds(minimum, maximum);
}

// The genome outlives its index here, which only borrows it.
std::unique_ptr<RepeatList> search(const Genome& genome, RepeatKind kind)
{
    const auto index = std::get<std::shared_ptr<const SuffixIndex>>(
        buildIndex(std::shared_ptr<const Genome>(std::shared_ptr<const Genome>(), &genome)));
    auto list = kind == RepeatKind::Direct ? index->findDirectRepeats() : index->findRepeats(kind);
    EXPECT_NE(list, nullptr);
    return list;
}

SheetLayout listingOf(const Genome& genome, RepeatKind kind)
{
    const auto list = search(genome, kind);
    return listingLayout(*list, kind, genome);
}

std::vector<std::int64_t> zeros(std::size_t count)
{
    return std::vector<std::int64_t>(count, 0);
}

// ---- grid -----------------------------------------------------------------

TEST(SheetGrid, FillsUnwrittenCellsWithEmptyText)
{
    SheetLayout layout;
    layout.cells = {{2, 3, "x"}, {1, 1, "a"}};
    EXPECT_EQ(layout.grid(), (Grid{{"a", "", ""}, {"", "", "x"}}));
}

TEST(SheetGrid, NothingWrittenIsAnEmptyGrid)
{
    SheetLayout layout;
    layout.widths = {{1, 119}};
    EXPECT_TRUE(layout.grid().empty());
}

// ---- summary --------------------------------------------------------------

TEST(SummaryLayout, DirectRepeatsAtTheTwoShortestLengthsOnly)
{
    // Minimum 5, maximum 15: eleven slots, direct pairs at 5 and 6 only.
    PairCountsByKind counts{zeros(11), zeros(11), zeros(11), zeros(11)};
    counts[0][0] = 4;
    counts[0][1] = 1;

    const SheetLayout layout = summaryLayout(5, counts);

    // clang-format off
    const std::vector<SheetCell> expected = {
        {1, 1, "Direct repeats:"},
        {2, 1, "5 bp"},
        {2, 2, "4"},
        {3, 1, "6 bp"},
        {3, 2, "1"},
        {5, 1, "Inverted repeats:"},
        {7, 1, "Mirror repeats:"},
        {9, 1, "Complementary repeats:"},
    };
    // clang-format on
    EXPECT_EQ(layout.cells, expected);
    EXPECT_TRUE(layout.caption.empty());
    EXPECT_TRUE(layout.widths.empty());
}

TEST(SummaryLayout, FourRealSearchesInKindOrder)
{
    Genome genome;
    load(genome, kShort, 4, 6);
    const auto direct = search(genome, RepeatKind::Direct);
    const auto inverted = search(genome, RepeatKind::Inverted);
    const auto mirror = search(genome, RepeatKind::Mirror);
    const auto complementary = search(genome, RepeatKind::Complementary);

    const PairCountsByKind counts = pairCountsOf(*direct, *inverted, *mirror, *complementary);
    EXPECT_EQ(counts[static_cast<int>(RepeatKind::Direct)], (std::vector<std::int64_t>{2, 1, 0}));
    EXPECT_EQ(counts[static_cast<int>(RepeatKind::Inverted)], (std::vector<std::int64_t>{3, 1, 0}));

    // Mirror and complementary have no repeats: each heading is followed
    // straight by the empty row before the next one.
    // clang-format off
    const Grid expected = {
        {"Direct repeats:", ""},
        {"4 bp", "2"},
        {"5 bp", "1"},
        {"", ""},
        {"Inverted repeats:", ""},
        {"4 bp", "3"},
        {"5 bp", "1"},
        {"", ""},
        {"Mirror repeats:", ""},
        {"", ""},
        {"Complementary repeats:", ""},
    };
    // clang-format on
    EXPECT_EQ(summaryLayout(genome.minLength(), counts).grid(), expected);
}

TEST(SummaryLayout, LargeCountsHaveNoGrouping)
{
    PairCountsByKind counts{zeros(2), zeros(2), zeros(2), std::vector<std::int64_t>{0, 1234567}};
    const SheetLayout layout = summaryLayout(30, counts);
    ASSERT_FALSE(layout.cells.empty());
    EXPECT_EQ(layout.cells.back(), (SheetCell{8, 2, "1234567"}));
    EXPECT_EQ(layout.cells[layout.cells.size() - 2], (SheetCell{8, 1, "31 bp"}));
}

// ---- listing --------------------------------------------------------------

TEST(ListingCaption, OneCaptionPerKind)
{
    EXPECT_EQ(listingCaption(RepeatKind::Direct), "Direct Repeats");
    EXPECT_EQ(listingCaption(RepeatKind::Inverted), "Inverted Repeats");
    EXPECT_EQ(listingCaption(RepeatKind::Mirror), "Mirror Repeats");
    EXPECT_EQ(listingCaption(RepeatKind::Complementary), "Complementary Repeats");
}

struct WidthCase {
    int longest;
    int width;
};

class ListingColumnWidth : public testing::TestWithParam<WidthCase> {};

TEST_P(ListingColumnWidth, TruncatesTheDoubleProduct)
{
    EXPECT_EQ(listingColumnWidth(GetParam().longest), GetParam().width);
}

// 25, 50 and 100 times 9.2 fall just below a whole number in double
// precision; rounding instead of truncating would show here.
INSTANTIATE_TEST_SUITE_P(Widths, ListingColumnWidth,
                         testing::Values(WidthCase{3, 119}, WidthCase{10, 119}, WidthCase{13, 119},
                                         WidthCase{14, 128}, WidthCase{20, 184}, WidthCase{25, 229},
                                         WidthCase{50, 459}, WidthCase{100, 919}, WidthCase{256, 2355}));

TEST(ListingLayout, DirectListingLongestWordsFirst)
{
    Genome genome;
    load(genome, kShort, 4, 6);
    const SheetLayout layout = listingOf(genome, RepeatKind::Direct);

    EXPECT_EQ(layout.caption, "Direct Repeats");
    EXPECT_EQ(layout.widths, (std::vector<ColumnWidth>{{1, 119}}));
    // The slot of length 6 is empty: the lengths come from the first word of
    // the highest filled slot (5), and an empty slot leaves no row.
    // clang-format off
    const std::vector<SheetCell> expected = {
        {2, 1, "5 bp sequences"},
        {3, 1, "TTTAC"},
        {3, 2, "12"},
        {3, 3, "19"},
        {5, 1, "4 bp sequences"},
        {6, 1, "ACCG"},
        {6, 2, "1"},
        {6, 3, "7"},
        {7, 1, "GTTT"},
        {7, 2, "10"},
        {7, 3, "18"},
    };
    // clang-format on
    EXPECT_EQ(layout.cells, expected);
}

TEST(ListingLayout, InvertedListingWritesTheSecondCopyInColumnFour)
{
    Genome genome;
    load(genome, kShort, 4, 6);
    const SheetLayout layout = listingOf(genome, RepeatKind::Inverted);

    EXPECT_EQ(layout.caption, "Inverted Repeats");
    EXPECT_EQ(layout.widths, (std::vector<ColumnWidth>{{1, 119}, {4, 119}}));
    // Per word row: the word, the second copy's text, then the positions.
    // clang-format off
    const std::vector<SheetCell> expected = {
        {2, 1, "5 bp sequences"},
        {3, 1, "ACCGT"},
        {3, 4, "ACGGT"},
        {3, 2, "7"},
        {3, 3, "15"},
        {5, 1, "4 bp sequences"},
        {6, 1, "ACCG"},
        {6, 4, "CGGT"},
        {6, 2, "1"},
        {6, 3, "16"},
        {7, 2, "7"},
        {7, 3, "16"},
        {8, 1, "CCGT"},
        {8, 4, "ACGG"},
        {8, 2, "8"},
        {8, 3, "15"},
    };
    // clang-format on
    EXPECT_EQ(layout.cells, expected);
}

struct FourthColumnCase {
    RepeatKind kind;
    const char* caption;
    const char* secondPosition;
    const char* secondText;
};

class TransformedListing : public testing::TestWithParam<FourthColumnCase> {};

TEST_P(TransformedListing, HasFourColumns)
{
    const FourthColumnCase& c = GetParam();
    Genome genome;
    load(genome, kMirrorAndComplement, 4, 5);
    const SheetLayout layout = listingOf(genome, c.kind);

    EXPECT_EQ(layout.caption, c.caption);
    EXPECT_EQ(layout.widths, (std::vector<ColumnWidth>{{1, 119}, {4, 119}}));
    // clang-format off
    const Grid expected = {
        {"", "", "", ""},
        {"4 bp sequences", "", "", ""},
        {"ACCG", "1", c.secondPosition, c.secondText},
    };
    // clang-format on
    EXPECT_EQ(layout.grid(), expected);
}

INSTANTIATE_TEST_SUITE_P(Kinds, TransformedListing,
                         testing::Values(FourthColumnCase{RepeatKind::Mirror, "Mirror Repeats", "7", "GCCA"},
                                         FourthColumnCase{RepeatKind::Complementary, "Complementary Repeats",
                                                          "13", "TGGC"}));

TEST(ListingLayout, ThreePairsTakeThreeRows)
{
    Genome genome;
    load(genome, kThreeCopies, 4, 5);
    const SheetLayout layout = listingOf(genome, RepeatKind::Direct);

    // A direct listing has three columns; row 1 only carries the widths.
    // clang-format off
    const Grid expected = {
        {"", "", ""},
        {"4 bp sequences", "", ""},
        {"ACGT", "2", "8"},
        {"", "2", "15"},
        {"", "8", "15"},
    };
    // clang-format on
    EXPECT_EQ(layout.grid(), expected);
}

TEST(ListingLayout, PositionsAreShownFromOne)
{
    Genome genome;
    load(genome, kFirstAndLast, 8, 12);
    const SheetLayout layout = listingOf(genome, RepeatKind::Direct);

    // Longest word 10: the narrowest width, 13 letters' worth, applies.
    EXPECT_EQ(layout.widths, (std::vector<ColumnWidth>{{1, 119}}));
    // clang-format off
    const Grid expected = {
        {"", "", ""},
        {"10 bp sequences", "", ""},
        {"GCTAAAGACA", "1", "100"},
    };
    // clang-format on
    EXPECT_EQ(layout.grid(), expected);
}

TEST(ListingLayout, ListWithoutRepeatsHasOnlyTheCaption)
{
    Genome genome;
    load(genome, kShort, 4, 6);
    const SheetLayout layout = listingOf(genome, RepeatKind::Mirror);
    EXPECT_EQ(layout.caption, "Mirror Repeats");
    EXPECT_TRUE(layout.widths.empty());
    EXPECT_TRUE(layout.cells.empty());
}

class ListingOfRandomGenome : public testing::TestWithParam<RepeatKind> {};

// Whatever the search found, each row must describe real copies: the word
// at both shown positions (or its transformed word at the second), one row
// per pair, one heading per filled length, longest first.
TEST_P(ListingOfRandomGenome, RowsAgreeWithTheSequence)
{
    const RepeatKind kind = GetParam();
    Genome genome;
    ASSERT_TRUE(genome.makeRandom(300, 300, 300, 300, 5, 9, 20240611U));
    const auto list = search(genome, kind);
    ASSERT_GT(list->total(), 0);
    const SheetLayout layout = listingLayout(*list, kind, genome);
    const Grid grid = layout.grid();
    const bool direct = kind == RepeatKind::Direct;
    ASSERT_EQ(grid.front().size(), direct ? 3U : 4U);

    std::int64_t pairRows = 0;
    int headings = 0;
    int lastHeadingLength = 1000;
    std::string word;
    for (std::size_t r = 1; r < grid.size(); ++r) {
        const std::vector<std::string>& row = grid[r];
        const std::string& first = row[0];
        if (first.ends_with(" bp sequences")) {
            const int length = std::stoi(first);
            EXPECT_LT(length, lastHeadingLength);
            lastHeadingLength = length;
            ++headings;
            continue;
        }
        if (row[1].empty()) {
            EXPECT_TRUE(std::all_of(row.begin(), row.end(), [](const std::string& s) { return s.empty(); }));
            continue;
        }
        if (!first.empty()) {
            word = first;
            EXPECT_EQ(static_cast<int>(word.size()), lastHeadingLength);
            if (!direct) {
                EXPECT_EQ(row[3], reference::transformWord(word, kind)) << "row " << r + 1;
            }
        } else if (!direct) {
            EXPECT_TRUE(row[3].empty());
        }
        const int a = std::stoi(row[1]) - 1;
        const int b = std::stoi(row[2]) - 1;
        const int length = static_cast<int>(word.size());
        EXPECT_EQ(genome.word(a, length), word) << "row " << r + 1;
        EXPECT_EQ(genome.word(b, length), direct ? word : reference::transformWord(word, kind))
            << "row " << r + 1;
        ++pairRows;
    }
    EXPECT_EQ(pairRows, list->total());
    int filled = 0;
    for (int slot = 0; slot < list->slotCount(); ++slot) {
        filled += list->slot(slot).empty() ? 0 : 1;
    }
    EXPECT_EQ(headings, filled);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ListingOfRandomGenome,
                         testing::Values(RepeatKind::Direct, RepeatKind::Inverted, RepeatKind::Mirror,
                                         RepeatKind::Complementary));

// ---- comparison -----------------------------------------------------------

TEST(ComparisonLayout, TwoFilesFromFiveToSeven)
{
    GenomeComparison comparison;
    comparison.minLength = 5;
    comparison.maxLength = 7;
    comparison.rows = {{"first", {3, 0, 1}}, {"second", {0, 2, 0}}};

    const SheetLayout layout = comparisonLayout(comparison);

    // clang-format off
    const std::vector<SheetCell> expected = {
        {2, 2, "5 bp"},   {2, 3, "6 bp"}, {2, 4, "7 bp"},
        {3, 1, "first"},  {3, 2, "3"},    {3, 3, "0"},    {3, 4, "1"},
        {4, 1, "second"}, {4, 2, "0"},    {4, 3, "2"},    {4, 4, "0"},
    };
    // clang-format on
    EXPECT_EQ(layout.cells, expected);
    EXPECT_TRUE(layout.caption.empty());
    EXPECT_TRUE(layout.widths.empty());
}

TEST(ComparisonLayout, TheCompleteSearchCountsLongerRepeatsInALastColumn)
{
    GenomeComparison comparison;
    comparison.minLength = 5;
    comparison.maxLength = 6;
    comparison.countsLonger = true;
    comparison.maximumSetting = 9;
    comparison.rows = {{"first", {3, 1, 0, 0, 0}, 4}, {"second", {0, 2, 0, 0, 0}, 0}};

    // clang-format off
    const Grid expected = {
        {"", "", "", ""},
        {"", "5 bp", "6 bp", "> 9 bp"},
        {"first", "3", "1", "4"},
        {"second", "0", "2", "0"},
    };
    // clang-format on
    EXPECT_EQ(comparisonLayout(comparison).grid(), expected);
}

TEST(ComparisonLayout, NoRepeatsAnywhereGivesOneColumn)
{
    GenomeComparison comparison;
    comparison.minLength = 8;
    comparison.maxLength = 8;
    comparison.rows = {{"empty", std::vector<std::int64_t>(23, 0)}};

    // clang-format off
    const Grid expected = {
        {"", ""},
        {"", "8 bp"},
        {"empty", "0"},
    };
    // clang-format on
    EXPECT_EQ(comparisonLayout(comparison).grid(), expected);
}

TEST(ComparisonLayout, ColumnsStopAtTheLongestLengthOfAnyFile)
{
    // Settings 8 to 30: every row has 23 counts, but only 8 to 14 are shown.
    std::vector<std::int64_t> longer(23, 0);
    longer[0] = 40;
    longer[6] = 1;
    std::vector<std::int64_t> shorter(23, 0);
    shorter[0] = 12;
    GenomeComparison comparison;
    comparison.minLength = 8;
    comparison.maxLength = 14;
    comparison.rows = {{"longer", longer}, {"shorter", shorter}};

    // clang-format off
    const Grid expected = {
        {"", "", "", "", "", "", "", ""},
        {"", "8 bp", "9 bp", "10 bp", "11 bp", "12 bp", "13 bp", "14 bp"},
        {"longer", "40", "0", "0", "0", "0", "0", "1"},
        {"shorter", "12", "0", "0", "0", "0", "0", "0"},
    };
    // clang-format on
    EXPECT_EQ(comparisonLayout(comparison).grid(), expected);
}

}  // namespace
}  // namespace tessaron
