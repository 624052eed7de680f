// The repeats of an analysis written as GFF3 or BED, chosen by the file's name.

#include "session/repeatexport.h"
#include "session/session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

using namespace tessaron;

namespace {

class RepeatExport : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Session session;
        session.setLengths(12, 14);
        JobResult result = session.load(GenBankSource{TESSARON_MITO_GENBANK})(JobControl{});
        ASSERT_TRUE(result.state.has_value());
        analysed_ = new SessionState(std::move(*result.state));
    }
    static void TearDownTestSuite()
    {
        delete analysed_;
        analysed_ = nullptr;
    }
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("tessaron-export-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    static std::string read(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    static SessionState* analysed_;  // the human mitochondrion, lengths 12 to 14
    std::filesystem::path folder_;
};

SessionState* RepeatExport::analysed_ = nullptr;

TEST_F(RepeatExport, TheNameChoosesGff3OrBed)
{
    const std::filesystem::path gff = folder_ / "repeats.gff3";
    ASSERT_EQ(exportRepeats(gff, *analysed_), "");
    const std::string gffText = read(gff);
    EXPECT_EQ(gffText.rfind("##gff-version 3\n##sequence-region NC_012920.1 1 16569\n", 0), 0U)
        << gffText.substr(0, 200);
    EXPECT_NE(gffText.find(";overlaps="), std::string::npos) << "features named per copy";

    // Any case of ".bed": BED6 lines of every copy under the record's seqid,
    // sorted by start and inside the sequence (a copy across the origin is two lines).
    const std::filesystem::path bed = folder_ / "repeats.BED";
    ASSERT_EQ(exportRepeats(bed, *analysed_), "");
    std::ifstream lines(bed);
    std::int64_t copies = 0;
    std::int64_t lastStart = 0;
    for (std::string line; std::getline(lines, line); ++copies) {
        ASSERT_EQ(std::count(line.begin(), line.end(), '\t'), 5) << line;
        std::istringstream cells(line);
        std::string seqid;
        std::int64_t start = 0;
        std::int64_t end = 0;
        cells >> seqid >> start >> end;
        EXPECT_EQ(seqid, "NC_012920.1");
        EXPECT_GE(start, lastStart) << line;
        EXPECT_LE(end, analysed_->genome->length()) << line;
        lastStart = start;
    }
    std::int64_t pairs = 0;
    for (const RepeatKind kind : kKindOrder) {
        pairs += analysed_->analysis.of(kind)->total();
    }
    EXPECT_GE(copies, 2 * pairs);
    EXPECT_LE(copies, 4 * pairs);
}

TEST_F(RepeatExport, SaysWhyNothingWasWritten)
{
    const std::filesystem::path file = folder_ / "repeats.gff3";
    SessionState unanalysed = *analysed_;
    unanalysed.analysis.snapshots[static_cast<std::size_t>(RepeatKind::Mirror)].reset();
    EXPECT_EQ(exportRepeats(file, unanalysed), "There are no repeats to export.");
    EXPECT_FALSE(std::filesystem::exists(file));

    const std::filesystem::path nowhere = folder_ / "missing" / "repeats.bed";
    EXPECT_EQ(exportRepeats(nowhere, *analysed_), "Cannot write " + nowhere.string() + ".");
}

}  // namespace
