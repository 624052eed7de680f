#pragma once

#include "engine/searchcontrol.h"

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>

namespace tessaron::cli {

// The progress line of long work on standard error: "tessaron-cli: STEP NN%",
// rewritten in place, shown only when standard error is a terminal and the
// work has gone on for a second, and cleared when the line is done with.
// Updates may come from any thread.
class Progress {
public:
    // `enabled` false: nothing is ever written.
    explicit Progress(bool enabled, std::FILE* terminal = stderr);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // Whether the line may be shown: a terminal on standard error, not --quiet.
    [[nodiscard]] static bool wanted(bool quiet);

    // Shows `step` at `fraction` (0..1) of its work.
    void show(const std::string& step, double fraction);
    // A control whose progress shows as `step`, from the stop request of none.
    [[nodiscard]] SearchControl control(std::string step);
    // Removes the line, so that other text can follow on standard error.
    void clear();

private:
    using Clock = std::chrono::steady_clock;

    bool enabled_;
    std::FILE* terminal_;
    Clock::time_point started_ = Clock::now();
    Clock::time_point lastShown_{};
    std::mutex mutex_;
    bool visible_ = false;
    std::string shown_;  // the text on the line, not written again
};

}  // namespace tessaron::cli
