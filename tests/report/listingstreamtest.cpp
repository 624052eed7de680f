// The listing written row by row from a snapshot against the sheet layout of
// the stored list, and the row index against the stream.

#include "engine/repeatkinds.h"
#include "engine/suffixindex.h"
#include "input/genbankreader.h"
#include "report/listingindex.h"
#include "report/listingstream.h"
#include "report/reports.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace tessaron {
namespace {

struct Case {
    const char* name;
    int minimum;
    int maximum;
    std::uint32_t seed;  // 0: the mitochondrion
};

std::shared_ptr<const SuffixIndex> genomeOf(const Case& c)
{
    auto genome = std::make_shared<Genome>();
    if (c.seed == 0) {
        EXPECT_TRUE(readGenBank(TESSARON_MITO_GENBANK, *genome, c.minimum, c.maximum));
    } else {
        EXPECT_TRUE(genome->makeRandom(700, 500, 600, 400, c.minimum, c.maximum, c.seed));
    }
    return std::get<std::shared_ptr<const SuffixIndex>>(buildIndex(genome));
}

std::shared_ptr<const RepeatSnapshot> snapshotOf(const std::shared_ptr<const SuffixIndex>& index,
                                                 RepeatKind kind)
{
    auto result = searchRepeats(index, kind, SnapshotDetail::Words);
    EXPECT_TRUE(std::holds_alternative<std::shared_ptr<const RepeatSnapshot>>(result));
    return std::get<std::shared_ptr<const RepeatSnapshot>>(result);
}

std::string tsvOf(const auto& write)
{
    std::ostringstream text;
    TableWriter out(text, TableFormat::Tsv);
    write(out);
    out.flush();
    return text.str();
}

class StreamedListing : public testing::TestWithParam<Case> {};

TEST_P(StreamedListing, SameRowsAsTheLayoutOfTheStoredList)
{
    const auto genome = genomeOf(GetParam());
    for (const RepeatKind kind : kKindOrder) {
        SCOPED_TRACE(kindName(kind));
        const auto snapshot = snapshotOf(genome, kind);
        const auto list =
            kind == RepeatKind::Direct ? genome->findDirectRepeats() : genome->findRepeats(kind);
        ASSERT_NE(list, nullptr);
        const SheetLayout expected = listingLayout(*list, kind, genome->genome());
        ASSERT_FALSE(expected.cells.empty());

        const SheetLayout streamed = listingLayout(*snapshot);
        EXPECT_EQ(streamed.caption, expected.caption);
        EXPECT_EQ(streamed.widths, expected.widths);
        const auto grid = expected.grid();
        EXPECT_EQ(streamed.grid(), grid);
        EXPECT_EQ(tsvOf([&](TableWriter& out) { writeListing(out, *snapshot); }),
                  tsvOf([&](TableWriter& out) { writeLayout(out, expected); }));

        // Every row, asked for alone (front to back, then back to front, as
        // a view scrolls), is the row the stream wrote.
        const ListingIndex index(snapshot);
        ASSERT_EQ(index.rowCount(), static_cast<std::int64_t>(grid.size()));
        EXPECT_EQ(index.columnCount(), static_cast<int>(grid.front().size()));
        EXPECT_EQ(index.widths(), expected.widths);
        const std::int64_t last = index.rowCount() + 1;
        for (std::int64_t step = 0; step <= 2 * last + 1; ++step) {
            const std::int64_t row = step <= last ? step : 2 * last + 1 - step;
            std::vector<std::string> cells = index.cells(row);
            if (row >= 1 && row <= index.rowCount()) {
                auto want = grid[static_cast<std::size_t>(row - 1)];
                while (!want.empty() && want.back().empty()) {
                    want.pop_back();
                }
                while (!cells.empty() && cells.back().empty()) {
                    cells.pop_back();
                }
                ASSERT_EQ(cells, want) << "row " << row;
            } else {
                EXPECT_TRUE(cells.empty()) << "row " << row;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Genomes, StreamedListing,
                         testing::Values(Case{"mitochondrion", 9, 20, 0}, Case{"random", 5, 9, 20240611U},
                                         Case{"randomNarrow", 6, 6, 7U}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(StreamedListing, NoRepeatsWritesNothing)
{
    auto genome = std::make_shared<Genome>();
    ASSERT_TRUE(genome->makeRandom(10, 10, 10, 10, 12, 14, 3U));
    const auto snapshot =
        snapshotOf(std::get<std::shared_ptr<const SuffixIndex>>(buildIndex(genome)), RepeatKind::Inverted);
    const SheetLayout layout = listingLayout(*snapshot);
    EXPECT_EQ(layout.caption, "Inverted Repeats");
    EXPECT_TRUE(layout.widths.empty());
    EXPECT_TRUE(layout.cells.empty());
    EXPECT_EQ(tsvOf([&](TableWriter& out) { writeListing(out, *snapshot); }), "");
    EXPECT_EQ(ListingIndex(snapshot).rowCount(), 0);
}

}  // namespace
}  // namespace tessaron
