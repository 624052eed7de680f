// The job runner off the window's thread: progress of the caller's type in
// the order reported, a refused second job, waits with a limit and cancel.

#include "views/base/jobrunner.h"
#include "windowfixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Progress = std::pair<int, double>;  // a step and how far it has got

TEST(JobRunner, ShowsEveryStepInOrderAndMergesReportsWithinOne)
{
    JobRunner runner;
    std::vector<Progress> shown;
    bool done = false;
    ASSERT_TRUE((runner.start<int, Progress>(
        [](const std::stop_token&, const JobRunner::Reporter<Progress>& report) {
            for (int step = 1; step <= 3; ++step) {
                report.newStep({step, 0.0});
                for (int part = 1; part <= 1000; ++part) {
                    report({step, part / 1000.0});
                }
            }
            return 7;
        },
        [&done](int result) {
            EXPECT_EQ(result, 7);
            done = true;
        },
        [&](const Progress& progress) {
            EXPECT_FALSE(done) << "progress after the result";
            shown.push_back(progress);
        })));
    EXPECT_FALSE(
        runner.start<int>([](const std::stop_token&, const JobRunner::Reporter<double>&) { return 0; },
                          [](int) { ADD_FAILURE() << "a second job ran"; }));
    ASSERT_TRUE(runner.waitForIdle(kWaitLimitMs));
    EXPECT_TRUE(done);

    std::vector<int> starts;
    for (const Progress& progress : shown) {
        if (progress.second == 0.0) {
            starts.push_back(progress.first);
        }
    }
    EXPECT_EQ(starts, (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end())) << "shown out of order";
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), Progress(3, 1.0));
}

TEST(JobRunner, AWaitEndsAtItsLimitAndCancelStopsTheJob)
{
    JobRunner runner;
    std::optional<bool> stopped;
    runner.start<bool>(
        [](const std::stop_token& stop, const JobRunner::Reporter<double>&) {
            while (!stop.stop_requested()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            return true;
        },
        [&stopped](bool result) { stopped = result; });
    EXPECT_FALSE(runner.waitForIdle(50));
    EXPECT_TRUE(runner.busy());
    runner.cancel();
    ASSERT_TRUE(runner.waitForIdle(kWaitLimitMs));
    EXPECT_EQ(stopped, true);
}

TEST(JobRunner, AFollowerRunsInlineAsItsLeadDoesAndShowsHelperThreadsProgressOnItsOwn)
{
    JobRunner lead;
    JobRunner follower;
    follower.follow(lead);
    const auto runs = [&follower] {
        // Inline, the job and its result are over when start returns.
        bool done = false;
        std::vector<double> shown;
        EXPECT_TRUE(follower.start<int>(
            [](const std::stop_token&, const JobRunner::Reporter<double>& report) {
                // A helper thread reports too: shown on the runner's thread, in order.
                std::thread helper([&report] { report.newStep(0.25); });
                helper.join();
                report.newStep(0.5);
                return 1;
            },
            [&done](int) { done = true; }, [&shown](double fraction) { shown.push_back(fraction); }));
        const bool inlineRun = done;
        EXPECT_TRUE(follower.waitForIdle(kWaitLimitMs));
        EXPECT_EQ(shown, (std::vector<double>{0.25, 0.5}));
        return inlineRun;
    };
    EXPECT_FALSE(runs());
    lead.setInlineJobs(true);
    EXPECT_TRUE(runs());
    follower.setInlineJobs(false);  // its own switch, once set, wins
    EXPECT_FALSE(runs());
}

}  // namespace
