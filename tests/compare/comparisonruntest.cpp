#include "compare/comparisonrun.h"
#include "engine/genome.h"
#include "engine/suffixindex.h"
#include "input/genbankreader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace tessaron {
namespace {

namespace fs = std::filesystem;
using Counts = std::vector<std::int64_t>;

// Direct repeats at 5 to 7: AAAGC, TGTTC and GTGTT at 5; AAAAAA and CACGCC
// at 6; none at 7.
constexpr std::string_view kThreeAndTwo =
    "AAAGCGGCACTTGTGAAGTGTTCCCCACGCCGCTTGGGTCTTCTGTGTTGTTCGCGTGGTGCTGAGACAAAGCACGCCATAAGGCCAAAA";
// Direct repeats at 5 to 7: TATGC, CTTCG and GATAC at 5, nothing longer.
constexpr std::string_view kThreeAtFive =
    "CAGATTTTCATATTATGCAGAAAATCTACTTCGCCTGATACGAGTCGGTTATCTTCGGATACTGTATAGTCCCACCTGGTGATCCTATGC";
// At 4 and 5: mirror pairs 2 and 1 (ACCG/GCCA, CCGA/AGCC, ACCGA/AGCCA),
// complementary 1 and 0 (ACCG/TGGC), direct 1 and 0 (ACCG again at 17),
// inverted none.
constexpr std::string_view kMirrorHeavy = "ACCGAAGCCATTTGGCAACCGT";
// One direct repeat of 14 letters, AGAGTTTTTCGAAC at 20 and 100, between
// different letters; no other repeat of 8 letters or more of any kind.
constexpr std::string_view kFourteen =
    "CCGTAATGCCTTTCCCTAACAGAGTTTTTCGAACTCGTGTTGTCGAGCGACGGAATTAGATCAGTTAAATGGCAGAAAACTGGCAGGGCTTTTAGTCGTG"
    "AGAGTTTTTCGAACGAAAGGTGGCGCGGGGTAACGCGCGCTAAGGCTCAGCTGCAACGCG";
// No repeat of any kind at 5 to 7.
constexpr std::string_view kNoRepeats = "ACGTTGCA";

constexpr const char* kNoFiles = "Não há ficheiros para comparar!";
constexpr const char* kBadKind = "There is an error with the type of repeat to compare!";
constexpr const char* kBadFile = "Erro num ficheiro!!!";

// A folder of its own for each test, removed afterwards.
class ComparisonRun : public testing::Test {
protected:
    void SetUp() override
    {
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        folder_ = fs::temp_directory_path() /
                  ("tessaron-compare-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    // The smallest GenBank file the reader takes: seven lines, the bases in
    // the usual numbered lines of six blocks of ten.
    fs::path writeGenBank(const std::string& name, std::string_view bases) const
    {
        const fs::path path = folder_ / name;
        std::ofstream out(path);
        out << "LOCUS       TEST " << bases.size() << " bp    DNA     circular\n";
        out << "SOURCE      test genome\n";
        out << "FEATURES             Location/Qualifiers\n";
        out << "     source          1.." << bases.size() << "\n";
        out << "ORIGIN\n";
        for (std::size_t line = 0; line < bases.size(); line += 60) {
            std::string number = std::to_string(line + 1);
            out << std::string(9 - number.size(), ' ') << number;
            for (std::size_t block = line; block < std::min(line + 60, bases.size()); block += 10) {
                std::string letters(bases.substr(block, 10));
                for (char& letter : letters) {
                    letter = static_cast<char>(letter - 'A' + 'a');
                }
                out << ' ' << letters;
            }
            out << '\n';
        }
        out << "//\n";
        return path;
    }

    fs::path writeText(const std::string& name, std::string_view text) const
    {
        const fs::path path = folder_ / name;
        std::ofstream(path) << text;
        return path;
    }

    [[nodiscard]] const fs::path& folder() const { return folder_; }

private:
    fs::path folder_;
};

// Options that report each file done into `reported`.
ComparisonOptions reporting(std::vector<int>& reported)
{
    ComparisonOptions options;
    options.progress = [&reported](int done) { reported.push_back(done); };
    return options;
}

GenomeComparison expectTable(const std::variant<GenomeComparison, ComparisonFailure>& result)
{
    if (const auto* failure = std::get_if<ComparisonFailure>(&result)) {
        ADD_FAILURE() << "the run failed: " << failure->message;
        return {};
    }
    return std::get<GenomeComparison>(result);
}

ComparisonFailure expectFailure(const std::variant<GenomeComparison, ComparisonFailure>& result)
{
    if (!std::holds_alternative<ComparisonFailure>(result)) {
        ADD_FAILURE() << "the run did not fail";
        return {};
    }
    return std::get<ComparisonFailure>(result);
}

// ---- failures before reading ----------------------------------------------

TEST_F(ComparisonRun, NoFiles)
{
    std::vector<int> calls;
    const ComparisonFailure failure = expectFailure(runComparison({}, std::nullopt, 8, 30, reporting(calls)));
    // The empty list is reported first, even with a bad kind.
    EXPECT_EQ(failure.message, kNoFiles);
    EXPECT_EQ(failure.reason, ComparisonFailure::Reason::NoFiles);
    EXPECT_TRUE(failure.beforeRun);
    EXPECT_TRUE(calls.empty());
}

TEST_F(ComparisonRun, AKindOutsideTheFourReadsNothing)
{
    const fs::path file = writeGenBank("a.gb", kThreeAndTwo);
    for (const std::optional<RepeatKind> kind :
         {std::optional<RepeatKind>(), std::optional(static_cast<RepeatKind>(4))}) {
        std::vector<int> calls;
        const ComparisonFailure failure = expectFailure(runComparison({file}, kind, 5, 7, reporting(calls)));
        EXPECT_EQ(failure.message, kBadKind);
        EXPECT_EQ(failure.reason, ComparisonFailure::Reason::BadKind);
        EXPECT_TRUE(failure.file.empty());
        EXPECT_TRUE(failure.beforeRun);
        EXPECT_TRUE(calls.empty());
    }
}

// ---- the table ------------------------------------------------------------

TEST_F(ComparisonRun, TwoFilesFromFiveToSeven)
{
    const std::vector<fs::path> files = {writeGenBank("first.gb", kThreeAndTwo),
                                         writeGenBank("second.gb", kThreeAtFive)};
    const GenomeComparison table = expectTable(runComparison(files, RepeatKind::Direct, 5, 7));

    EXPECT_EQ(table.minLength, 5);
    EXPECT_EQ(table.maxLength, 6);  // no file has a direct repeat of 7
    ASSERT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.rows[0].fileTitle, "first");
    EXPECT_EQ(table.rows[0].counts, (Counts{3, 2, 0}));
    EXPECT_EQ(table.rows[1].fileTitle, "second");
    EXPECT_EQ(table.rows[1].counts, (Counts{3, 0, 0}));
    EXPECT_EQ(table.rows[1].lengthCount(), 3);
}

struct KindCase {
    RepeatKind kind;
    Counts counts;
};

void PrintTo(const KindCase& c, std::ostream* out)
{
    *out << kindName(c.kind);
}

class ComparisonKind : public ComparisonRun, public testing::WithParamInterface<KindCase> {};

TEST_P(ComparisonKind, CountsTheKindAskedFor)
{
    const fs::path file = writeGenBank("mirror.gb", kMirrorHeavy);
    const GenomeComparison table = expectTable(runComparison({file, file}, GetParam().kind, 4, 5));
    ASSERT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.rows[0].counts, GetParam().counts);
    EXPECT_EQ(table.rows[1].counts, GetParam().counts);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ComparisonKind,
                         testing::Values(KindCase{RepeatKind::Direct, {1, 0}},
                                         KindCase{RepeatKind::Inverted, {0, 0}},
                                         KindCase{RepeatKind::Complementary, {1, 0}},
                                         KindCase{RepeatKind::Mirror, {2, 1}}));

TEST_F(ComparisonRun, NoRepeatsAnywhereLeavesTheMinimumAsLongest)
{
    const std::vector<fs::path> files = {writeGenBank("none.gb", kNoRepeats),
                                         writeGenBank("none-again.gb", kNoRepeats)};
    for (const RepeatKind kind : kKindOrder) {
        const GenomeComparison table = expectTable(runComparison(files, kind, 5, 7));
        EXPECT_EQ(table.maxLength, 5) << kindName(kind);
        ASSERT_EQ(table.rowCount(), 2);
        EXPECT_EQ(table.rows[0].counts, (Counts{0, 0, 0})) << kindName(kind);
    }
}

TEST_F(ComparisonRun, LongestLengthOfAnyFileEndsTheTable)
{
    const std::vector<fs::path> files = {writeGenBank("short.gb", kThreeAndTwo),
                                         writeGenBank("fourteen.gb", kFourteen)};
    const GenomeComparison table = expectTable(runComparison(files, RepeatKind::Direct, 8, 20));
    EXPECT_EQ(table.minLength, 8);
    EXPECT_EQ(table.maxLength, 14);
    ASSERT_EQ(table.rowCount(), 2);
    // Every row keeps all thirteen lengths searched, zeros included.
    Counts fourteen(13, 0);
    fourteen[6] = 1;
    EXPECT_EQ(table.rows[0].counts, Counts(13, 0));
    EXPECT_EQ(table.rows[1].counts, fourteen);
}

TEST_F(ComparisonRun, TheSameFileTwiceGivesTwoEqualRows)
{
    const fs::path file = writeGenBank("twice.gb", kThreeAndTwo);
    const GenomeComparison table = expectTable(runComparison({file, file}, RepeatKind::Direct, 5, 7));
    ASSERT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.rows[0].fileTitle, table.rows[1].fileTitle);
    EXPECT_EQ(table.rows[0].counts, table.rows[1].counts);
    EXPECT_EQ(table.rows[0].counts, (Counts{3, 2, 0}));
}

TEST_F(ComparisonRun, ProgressAfterEachFile)
{
    const std::vector<fs::path> files = {writeGenBank("a.gb", kThreeAndTwo),
                                         writeGenBank("b.gb", kThreeAtFive),
                                         writeGenBank("c.gb", kMirrorHeavy)};
    std::vector<int> reported;
    const GenomeComparison table =
        expectTable(runComparison(files, RepeatKind::Inverted, 5, 7, reporting(reported)));
    EXPECT_EQ(reported, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(table.rowCount(), 3);
}

TEST_F(ComparisonRun, TheCompleteSearchCountsLongerPairsInAColumnOfTheirOwn)
{
    const fs::path file = writeGenBank("fourteen.gb", kFourteen);
    ComparisonOptions complete;
    complete.method = SearchMethod::Complete;
    const GenomeComparison whole = expectTable(runComparison({file}, RepeatKind::Direct, 8, 10, complete));
    ASSERT_EQ(whole.rowCount(), 1);
    EXPECT_TRUE(whole.countsLonger);
    EXPECT_EQ(whole.maximumSetting, 10);
    EXPECT_EQ(whole.rows[0].counts, (Counts{0, 0, 0}));
    EXPECT_EQ(whole.rows[0].longer, 1);  // the 14 letters as one pair
    EXPECT_EQ(whole.maxLength, 8);

    // The index's search cuts it at the maximum.
    const GenomeComparison cut = expectTable(runComparison({file}, RepeatKind::Direct, 8, 10));
    EXPECT_FALSE(cut.countsLonger);
    EXPECT_EQ(cut.rows[0].counts, (Counts{0, 0, 1}));
    EXPECT_EQ(cut.rows[0].longer, 0);
}

// ---- failures on a file ---------------------------------------------------

TEST_F(ComparisonRun, AFileThatCannotBeReadEndsTheRunInListOrder)
{
    const fs::path absent = folder() / "absent.gb";
    const std::vector<fs::path> files = {writeGenBank("a.gb", kThreeAndTwo), absent,
                                         writeGenBank("c.gb", kThreeAtFive)};
    std::vector<int> reported;
    const ComparisonFailure failure =
        expectFailure(runComparison(files, RepeatKind::Direct, 5, 7, reporting(reported)));
    EXPECT_EQ(failure.message, kBadFile);
    EXPECT_EQ(failure.reason, ComparisonFailure::Reason::FileRejected);
    EXPECT_EQ(failure.file, absent);
    EXPECT_NE(failure.detail.find("No such file or directory"), std::string::npos) << failure.detail;
    EXPECT_FALSE(failure.beforeRun);
    // The file before it was counted, the one after it is not told.
    EXPECT_EQ(reported, (std::vector<int>{1}));
}

TEST_F(ComparisonRun, TextFileEndsTheRun)
{
    const std::vector<fs::path> files = {writeGenBank("a.gb", kThreeAndTwo),
                                         writeText("bases.txt", "ACGTACGTACGTTTGACCA\n"),
                                         writeGenBank("c.gb", kThreeAtFive)};
    std::vector<int> reported;
    const ComparisonFailure failure =
        expectFailure(runComparison(files, RepeatKind::Direct, 5, 7, reporting(reported)));
    EXPECT_EQ(failure.message, kBadFile);
    EXPECT_EQ(failure.reason, ComparisonFailure::Reason::FileRejected);
    EXPECT_EQ(failure.file, files[1]);
    EXPECT_EQ(failure.detail, "cannot read '" + files[1].string() +
                                  "' as GenBank: not a GenBank file (no line begins with LOCUS)");
    EXPECT_EQ(reported, (std::vector<int>{1}));
}

TEST_F(ComparisonRun, AStopRequestEndsTheRunBeforeTheNextFile)
{
    const std::vector<fs::path> files = {writeGenBank("a.gb", kThreeAndTwo),
                                         writeGenBank("b.gb", kThreeAtFive)};
    for (const int stopAfter : {0, 1}) {
        std::stop_source stop;
        if (stopAfter == 0) {
            stop.request_stop();
        }
        std::vector<int> reported;
        ComparisonOptions options;
        options.progress = [&](int done) {
            reported.push_back(done);
            if (done == stopAfter) {
                stop.request_stop();
            }
        };
        options.stop = stop.get_token();
        const ComparisonFailure failure =
            expectFailure(runComparison(files, RepeatKind::Direct, 5, 7, options));
        EXPECT_EQ(failure.reason, ComparisonFailure::Reason::Cancelled) << stopAfter;
        EXPECT_EQ(failure.file, files[static_cast<std::size_t>(stopAfter)]) << stopAfter;
        EXPECT_EQ(reported.size(), static_cast<std::size_t>(stopAfter));
    }
    // A token that is never stopped changes nothing.
    std::stop_source never;
    ComparisonOptions options;
    options.stop = never.get_token();
    EXPECT_EQ(expectTable(runComparison(files, RepeatKind::Direct, 5, 7, options)).rowCount(), 2);
}

// ---- titles ---------------------------------------------------------------

struct TitleCase {
    std::string fileName;
    std::string title;
};

void PrintTo(const TitleCase& c, std::ostream* out)
{
    *out << c.fileName.size() << "-byte name";
}

class ComparisonTitle : public ComparisonRun, public testing::WithParamInterface<TitleCase> {};

TEST_P(ComparisonTitle, DisplayNameOfAtMost127Bytes)
{
    const fs::path file = writeGenBank(GetParam().fileName, kThreeAndTwo);
    const GenomeComparison table = expectTable(runComparison({file}, RepeatKind::Direct, 5, 7));
    ASSERT_EQ(table.rowCount(), 1);
    EXPECT_EQ(table.rows[0].fileTitle, GetParam().title);
}

const std::string kEAcute = "\xC3\xA9";         // two bytes
const std::string kSmile = "\xF0\x9F\x98\x80";  // four bytes

INSTANTIATE_TEST_SUITE_P(
    Names, ComparisonTitle,
    testing::Values(TitleCase{"NC_012920.gb", "NC_012920"}, TitleCase{"two.dots.gbk", "two.dots"},
                    TitleCase{std::string(130, 'x') + ".gb", std::string(127, 'x')},
                    // A letter across byte 127 is dropped whole, never split.
                    TitleCase{std::string(126, 'a') + kEAcute + "bbb.gb", std::string(126, 'a')},
                    TitleCase{std::string(124, 'a') + kSmile + "bbb.gb", std::string(124, 'a')},
                    // Ending exactly at byte 127 keeps it.
                    TitleCase{std::string(125, 'a') + kEAcute + "bbb.gb", std::string(125, 'a') + kEAcute}));

// ---- a real genome --------------------------------------------------------

TEST_F(ComparisonRun, MitochondrialGenomeWithTheDefaultSettings)
{
    const GenomeComparison table =
        expectTable(runComparison({TESSARON_MITO_GENBANK}, RepeatKind::Inverted, 8, 30));
    ASSERT_EQ(table.rowCount(), 1);
    const ComparisonRow& row = table.rows[0];
    EXPECT_EQ(row.fileTitle, "NC_012920");
    ASSERT_EQ(row.lengthCount(), 23);

    // The counts of the file searched on its own, and the longest length
    // with a count ends the table.
    auto genome = std::make_shared<Genome>();
    ASSERT_TRUE(readGenBank(TESSARON_MITO_GENBANK, *genome, 8, 30));
    // 16569 in the file, the one N kept as a gap.
    ASSERT_EQ(genome->length(), 16569);
    const auto index = std::get<std::shared_ptr<const SuffixIndex>>(buildIndex(genome));
    const auto inverted = index->findRepeats(RepeatKind::Inverted);
    ASSERT_NE(inverted, nullptr);
    int longest = 8;
    for (int slot = 0; slot < 23; ++slot) {
        EXPECT_EQ(row.counts[static_cast<std::size_t>(slot)], inverted->pairCount(slot)) << slot;
        if (inverted->pairCount(slot) != 0) {
            longest = 8 + slot;
        }
    }
    EXPECT_GT(inverted->total(), 0);
    EXPECT_EQ(table.maxLength, longest);
}

}  // namespace
}  // namespace tessaron
