#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <new>
#include <stdexcept>
#include <stop_token>

namespace tessaron {

// Why a search or an index build gave no result.
enum class SearchFailure {
    OutOfMemory,  // the memory could not be had
    PairLimit,    // stored pairs would pass the genome's pair limit
    Cancelled,    // the caller asked it to stop
};

// Thrown inside a step of a long job to end it with a failure (runStep
// turns it into its result).
struct SearchStopped {
    SearchFailure reason = SearchFailure::Cancelled;
};

// What a long engine job is told while it runs: a request to stop, checked
// often enough that a cancel takes effect within milliseconds, and where to
// report how far it has got (a fraction 0..1, from the working thread).
struct SearchControl {
    std::stop_token stop;
    std::function<void(double)> progress;

    [[nodiscard]] bool stopRequested() const { return stop.stop_requested(); }
    // Throws SearchStopped{Cancelled} once a stop is requested.
    void throwIfStopped() const
    {
        if (stopRequested()) {
            throw SearchStopped{SearchFailure::Cancelled};
        }
    }
    void report(double fraction) const
    {
        if (progress) {
            progress(fraction);
        }
    }
    // The same stop request, reporting fractions `from` .. `from + share` of this one.
    [[nodiscard]] SearchControl part(double from, double share) const
    {
        if (!progress) {
            return SearchControl{stop, {}};
        }
        return SearchControl{
            stop, [whole = progress, from, share](double fraction) { whole(from + share * fraction); }};
    }
};

// std::sort that looks for a stop request every few thousand comparisons
// and throws SearchStopped{Cancelled} once one is made (the range is then
// left in some order): sorting tens of millions of items takes seconds.
template <typename Iterator, typename Less = std::less<>>
void sortStoppably(Iterator first, Iterator last, const SearchControl& control, Less less = {})
{
    std::uint32_t compared = 0;
    std::sort(first, last, [&compared, &control, &less](const auto& a, const auto& b) {
        if ((++compared & 0x3FFFU) == 0) {
            control.throwIfStopped();
        }
        return less(a, b);
    });
}

// The one way a step of a long job ends in a failure: runs `step` (which
// returns a result that a SearchFailure converts to, such as a variant of
// the result and SearchFailure) and gives its result, or the failure that
// stopped it: OutOfMemory when memory ran out (std::bad_alloc,
// std::length_error), the reason of a SearchStopped, Cancelled when a stop
// was requested before it began.
template <typename Step>
[[nodiscard]] auto runStep(const SearchControl& control, Step&& step) -> decltype(step())
{
    if (control.stopRequested()) {
        return SearchFailure::Cancelled;
    }
    try {
        return step();
    } catch (const SearchStopped& stopped) {
        return stopped.reason;
    } catch (const std::bad_alloc&) {
        return SearchFailure::OutOfMemory;
    } catch (const std::length_error&) {
        return SearchFailure::OutOfMemory;
    }
}

}  // namespace tessaron
