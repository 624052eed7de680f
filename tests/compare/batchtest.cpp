#include "compare/batch.h"
#include "compare/workers.h"

#include <gtest/gtest.h>
#include <sched.h>

#include <filesystem>
#include <fstream>

namespace tessaron {
namespace {

namespace fs = std::filesystem;

struct Delivered {
    std::size_t index;
    std::string title;
    KindCounts counts;
    std::string failure;
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
                 Delivered d{index, {}, {}, failure ? failure->reason : std::string()};
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
