#include "compare/batch.h"
#include "compare/workers.h"

#include <gtest/gtest.h>
#include <sched.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tessaron {
namespace {

namespace fs = std::filesystem;

struct Delivered {
    std::size_t index;
    std::string title;
    KindCounts counts;
    std::string failure;
    std::size_t genomes = 0;
};

std::vector<Delivered> runAll(const std::vector<fs::path>& files, int threads)
{
    std::vector<Delivered> delivered;
    BatchSettings settings;
    settings.minimum = 6;
    settings.maximum = 12;
    settings.threads = threads;
    runBatch(files, settings,
             [&](std::size_t index, const std::vector<BatchGenome>& genomes,
                 const std::optional<BatchFailure>& failure) {
                 Delivered d{index, {}, {}, failure ? failure->reason : std::string(), genomes.size()};
                 if (!genomes.empty()) {
                     d.title = genomes.front().title;
                     d.counts = genomes.front().counts;
                 }
                 delivered.push_back(std::move(d));
             });
    return delivered;
}

TEST(Batch, FilesComeBackInOrderWhateverTheThreadsAndFailuresDoNotStopTheRest)
{
    const fs::path dir = fs::temp_directory_path() / "tessaron-batch-test";
    fs::create_directories(dir);
    std::ofstream(dir / "small.txt") << "ACGTTGCAACGGTACCAACGTTGCAACGG\n";
    const std::vector<fs::path> files{TESSARON_MITO_GENBANK, dir / "missing.gb", dir / "small.txt",
                                      TESSARON_MITO_GENBANK};
    const auto one = runAll(files, 1);
    const auto two = runAll(files, 2);
    ASSERT_EQ(one.size(), files.size());
    ASSERT_EQ(two.size(), files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(one[i].index, i);
        EXPECT_EQ(two[i].index, i);
        EXPECT_EQ(one[i].title, two[i].title);
        EXPECT_EQ(one[i].counts, two[i].counts);
        EXPECT_EQ(one[i].failure, two[i].failure);
    }
    EXPECT_EQ(one[0].title, "mitochondrion Homo sapiens (human)");
    EXPECT_EQ(one[0].counts, one[3].counts);
    EXPECT_FALSE(one[1].failure.empty());
    EXPECT_EQ(one[2].title, "small");
    EXPECT_EQ(one[2].counts[0].size(), 7U);

    // Threads the system will not start (64 asked under a memory limit): the
    // batch runs on those that did, or on the calling thread alone.
    for (const int starts : {0, 1}) {
        limitWorkerStarts(starts);
        const auto few = runAll(files, 64);
        limitWorkerStarts(-1);
        ASSERT_EQ(few.size(), files.size()) << starts;
        for (std::size_t i = 0; i < files.size(); ++i) {
            EXPECT_EQ(few[i].counts, one[i].counts) << starts;
            EXPECT_EQ(few[i].failure, one[i].failure) << starts;
        }
    }
    fs::remove_all(dir);
}

// A file whose second record is cut short holds a first record that reads:
// none of it reaches the table, and the failure names the file.
TEST(Batch, AFileThatCannotBeReadInFullGivesNoGenomes)
{
    const fs::path dir = fs::temp_directory_path() / "tessaron-batch-broken-test";
    fs::create_directories(dir);
    std::ifstream in(fs::path(TESSARON_TEST_DATA) / "turtle_mito_2rec.gb", std::ios::binary);
    const std::string both((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t second = both.find("\nLOCUS") + 1;
    ASSERT_NE(second, 0U);
    const std::size_t origin = both.find("ORIGIN", second);
    ASSERT_NE(origin, std::string::npos);
    std::ofstream(dir / "broken.gb", std::ios::binary) << both.substr(0, origin + 200);
    std::ofstream(dir / "whole.gb", std::ios::binary) << both;

    for (const int threads : {1, 2}) {
        const auto delivered = runAll({dir / "broken.gb", dir / "whole.gb"}, threads);
        ASSERT_EQ(delivered.size(), 2U);
        EXPECT_EQ(delivered[0].genomes, 0U) << threads;
        EXPECT_NE(delivered[0].failure.find("cut short"), std::string::npos) << delivered[0].failure;
        EXPECT_NE(delivered[0].failure.find("broken.gb"), std::string::npos) << delivered[0].failure;
        EXPECT_EQ(delivered[1].genomes, 2U) << threads;
        EXPECT_TRUE(delivered[1].failure.empty()) << delivered[1].failure;
    }
    fs::remove_all(dir);
}

// Files that run out of memory beside others are analysed again with fewer
// at once, and fail only when they run short alone.
TEST(Batch, FilesShortOfMemoryBesideOthersAreAnalysedAgainAlone)
{
    const fs::path dir = fs::temp_directory_path() / "tessaron-batch-memory-test";
    fs::create_directories(dir);
    std::vector<fs::path> files;
    std::uint32_t state = 7;
    for (int file = 0; file < 8; ++file) {
        std::string bases;
        for (int k = 0; k < 600 + 50 * file; ++k) {
            state = state * 1664525U + 1013904223U;
            bases += "ACGT"[state >> 30];
        }
        files.push_back(dir / ("genome" + std::to_string(file) + ".txt"));
        std::ofstream(files.back()) << bases << '\n';
    }
    const auto plenty = runAll(files, 1);
    for (const int others : {1, 2}) {
        limitFilesInMemory(others);
        const auto tight = runAll(files, 8);
        limitFilesInMemory(-1);
        ASSERT_EQ(tight.size(), files.size());
        for (std::size_t i = 0; i < files.size(); ++i) {
            EXPECT_EQ(tight[i].index, i);
            EXPECT_TRUE(tight[i].failure.empty()) << tight[i].failure;
            EXPECT_EQ(tight[i].counts, plenty[i].counts) << i;
        }
    }
    limitFilesInMemory(0);
    const auto none = runAll(files, 8);
    limitFilesInMemory(-1);
    ASSERT_EQ(none.size(), files.size());
    for (const Delivered& file : none) {
        EXPECT_EQ(file.failure, "out of memory");
        EXPECT_EQ(file.genomes, 0U);
    }
    fs::remove_all(dir);
}

// A job pinned to one CPU gets one thread by default, however many the machine has.
TEST(Workers, TheDefaultThreadsAreTheCpusTheProcessMayUse)
{
    cpu_set_t before;
    ASSERT_EQ(sched_getaffinity(0, sizeof before, &before), 0);
    EXPECT_EQ(usableCores(), CPU_COUNT(&before));
    int first = 0;
    while (!CPU_ISSET(first, &before)) {
        ++first;
    }
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(first, &one);
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    EXPECT_EQ(usableCores(), 1);
    ASSERT_EQ(sched_setaffinity(0, sizeof before, &before), 0);
}

}  // namespace
}  // namespace tessaron
