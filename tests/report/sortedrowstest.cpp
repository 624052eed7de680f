#include "report/sortedrows.h"
#include "report/tidytables.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessaron {
namespace {

// Rows "start<TAB>order" given in `starts` order, written through a sorter
// of `budget` bytes.
std::string sortedThrough(const std::vector<std::int64_t>& starts, std::size_t budget)
{
    std::ostringstream text;
    TableWriter out(text, TableFormat::Tsv);
    SortedRows rows(out, budget);
    for (std::size_t i = 0; i < starts.size(); ++i) {
        TableWriter& row = rows.row(starts[i]);
        row.cell(starts[i]);
        row.cell(static_cast<std::int64_t>(i));
        row.endRow();
    }
    rows.finish();
    out.flush();
    return text.str();
}

// In memory or merged from many runs on temporary files, the rows come by
// start, and rows of one start in the order they were written.
TEST(SortedRows, SortsByStartKeepingTheOrderOfTiesInMemoryAndAcrossRuns)
{
    std::mt19937 random(7);
    std::vector<std::int64_t> starts(5000);
    for (std::int64_t& start : starts) {
        start = std::uniform_int_distribution<std::int64_t>(0, 300)(random);
    }
    std::string expected;
    for (std::int64_t start = 0; start <= 300; ++start) {
        for (std::size_t i = 0; i < starts.size(); ++i) {
            if (starts[i] == start) {
                expected += std::to_string(start) + '\t' + std::to_string(i) + '\n';
            }
        }
    }
    EXPECT_EQ(sortedThrough(starts, SortedRows::kDefaultBudget), expected);
    EXPECT_EQ(sortedThrough(starts, 64), expected);  // a run every few rows
    EXPECT_EQ(sortedThrough({}, 64), "");
}

TEST(SortedRows, EachFinishWritesOnlyTheRowsSinceTheLast)
{
    std::ostringstream text;
    TableWriter out(text, TableFormat::Tsv);
    SortedRows rows(out, 16);
    for (const auto& [start, name] : {std::pair{5, "b"}, {1, "a"}}) {
        rows.row(start).cell(name);
        rows.writer().endRow();
    }
    rows.finish();
    rows.row(0).cell("c");
    rows.writer().endRow();
    rows.finish();
    out.flush();
    EXPECT_EQ(text.str(), "a\nb\nc\n");
}

// Runs go to the folder TMPDIR names, and leave nothing there.
TEST(SortedRows, RunsGoWhereTmpdirSays)
{
    const char* before = std::getenv("TMPDIR");
    const std::string kept = before != nullptr ? before : "";
    std::string pattern = (std::filesystem::temp_directory_path() / "tessaron-sort-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const std::filesystem::path folder = pattern;
    std::vector<std::int64_t> starts;
    std::string expected;
    for (std::int64_t start = 0; start < 20000; ++start) {
        starts.push_back(19999 - start);  // descending: every run is sorted anew
        expected += std::to_string(start) + '\t' + std::to_string(19999 - start) + '\n';
    }

    ::setenv("TMPDIR", folder.c_str(), 1);
    EXPECT_EQ(sortedThrough(starts, 64), expected);
    EXPECT_TRUE(std::filesystem::is_empty(folder));

    const std::string missing = (folder / "missing").string();
    ::setenv("TMPDIR", missing.c_str(), 1);
    try {
        (void)sortedThrough(starts, 64);
        ADD_FAILURE() << "sorted without its temporary folder";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "cannot make a temporary file for sorting in " + missing + ": No such file or directory");
    }
    before != nullptr ? ::setenv("TMPDIR", kept.c_str(), 1) : ::unsetenv("TMPDIR");
    std::filesystem::remove_all(folder);
}

TEST(FullDecimal, FixedNotationThatReadsBackExactly)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {{11197200.5, "11197200.5"},
                 {1e7, "10000000"},
                 {0.1, "0.1"},
                 {3, "3"},
                 {-2.5, "-2.5"},
                 {104.74731500138799, "104.74731500138799"}};
    for (const auto& c : cases) {
        EXPECT_EQ(fullDecimal(c.value), c.text);
    }
    std::mt19937_64 random(3);
    for (int i = 0; i < 1000; ++i) {
        const double value = std::uniform_real_distribution<double>(-1e9, 1e9)(random);
        const std::string text = fullDecimal(value);
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        EXPECT_EQ(back, value) << text;
        EXPECT_EQ(text.find('e'), std::string::npos) << text;
    }
}

}  // namespace
}  // namespace tessaron
