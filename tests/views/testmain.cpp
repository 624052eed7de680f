// The GUI tests run offscreen unless told otherwise, with settings in a file
// of their own and the prompts answered by the tests. Every test has a time
// limit: one that runs over it stops the program, naming the test, instead
// of waiting forever on a dialog or a job.

#include "testprompts.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>

namespace {

class TimeLimit : public ::testing::EmptyTestEventListener {
public:
    explicit TimeLimit(std::chrono::seconds limit)
        : limit_(limit), watcher_([this](const std::stop_token& stop) { watch(stop); })
    {
    }

    void OnTestStart(const ::testing::TestInfo& test) override
    {
        const std::lock_guard lock(mutex_);
        name_ = std::string(test.test_suite_name()) + "." + test.name();
        deadline_ = std::chrono::steady_clock::now() + limit_;
        changed_.notify_all();
    }
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        const std::lock_guard lock(mutex_);
        deadline_.reset();
        changed_.notify_all();
    }

private:
    void watch(const std::stop_token& stop)
    {
        std::unique_lock lock(mutex_);
        while (!stop.stop_requested()) {
            if (!deadline_) {
                changed_.wait(lock, stop, [this] { return deadline_.has_value(); });
                continue;
            }
            const auto due = *deadline_;
            if (changed_.wait_until(lock, stop, due, [this, due] { return deadline_ != due; }) ||
                stop.stop_requested()) {
                continue;  // the test ended in time
            }
            std::fprintf(stderr, "\n%s ran over its time limit of %lld s: stopped\n", name_.c_str(),
                         static_cast<long long>(limit_.count()));
            std::fflush(stderr);
            std::_Exit(EXIT_FAILURE);
        }
    }

    const std::chrono::seconds limit_;
    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::string name_;
    std::optional<std::chrono::steady_clock::time_point> deadline_;
    std::jthread watcher_;  // last: it starts once the rest is made
};

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QTemporaryDir settings;
    qputenv("TESSARON_SETTINGS", settings.filePath("settings.ini").toUtf8());
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    // 60 seconds a test, unless TESSARON_TEST_TIME_LIMIT gives another number (a slow build):
    // well within the 300 seconds ctest gives a process of many tests, so
    // that the test that hangs is the one named.
    bool given = false;
    const int seconds = qEnvironmentVariableIntValue("TESSARON_TEST_TIME_LIMIT", &given);
    ::testing::UnitTest::GetInstance()->listeners().Append(
        new TimeLimit(std::chrono::seconds(given && seconds >= 0 ? seconds : 60)));
    return RUN_ALL_TESTS();
}
