#pragma once

#include <functional>
#include <stop_token>

namespace tessaron {

// Why a search or an index build gave no result.
enum class SearchFailure {
    OutOfMemory,  // the memory could not be had
    PairLimit,    // stored pairs would pass the genome's pair limit
    Cancelled,    // the caller asked it to stop
};

// What a long engine job is told while it runs: a request to stop, checked
// often enough that a cancel takes effect within milliseconds, and where to
// report how far it has got (a fraction 0..1, from the working thread).
struct SearchControl {
    std::stop_token stop;
    std::function<void(double)> progress;

    [[nodiscard]] bool stopRequested() const { return stop.stop_requested(); }
    void report(double fraction) const
    {
        if (progress) {
            progress(fraction);
        }
    }
};

}  // namespace tessaron
