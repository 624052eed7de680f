#include "approximatecontext.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

namespace tessaron::approximate {

Texts::Texts(const Genome& genome, int threads, const SearchControl& control)
    : sequence(genome.sequence()),
      n(static_cast<std::int64_t>(genome.sequence().size())),
      gaps(genome.gaps().begin(), genome.gaps().end())
{
    if (threads < 2) {
        forward = PackedText(sequence, false, control.stop);
        backward = PackedText(sequence, true, control.stop);
        if (control.stopRequested()) {
            throw Stopped{SearchFailure::Cancelled};
        }
        return;
    }
    std::exception_ptr failure;
    {
        const std::jthread helper([&] {
            try {
                backward = PackedText(sequence, true, control.stop);
            } catch (...) {
                failure = std::current_exception();
            }
        });
        forward = PackedText(sequence, false, control.stop);
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    if (control.stopRequested()) {
        throw Stopped{SearchFailure::Cancelled};
    }
}

void runTasks(const Context& context, int threads, std::int64_t count, double from, double to,
              const std::function<void(std::int64_t task, int thread)>& work)
{
    std::atomic<std::int64_t> next{0};
    std::atomic<std::int64_t> finished{0};
    std::atomic<bool> failed{false};
    std::optional<SearchFailure> failure;
    std::mutex failureMutex;
    const auto worker = [&](int thread) {
        try {
            for (;;) {
                if (failed.load(std::memory_order_relaxed)) {
                    return;
                }
                if (context.control.stopRequested()) {
                    throw Stopped{SearchFailure::Cancelled};
                }
                const std::int64_t task = next.fetch_add(1);
                if (task >= count) {
                    return;
                }
                work(task, thread);
                const std::int64_t done = finished.fetch_add(1) + 1;
                if (thread == 0) {
                    context.control.report(from + (to - from) * static_cast<double>(done) /
                                                      static_cast<double>(count));
                }
            }
        } catch (const Stopped& stopped) {
            const std::lock_guard lock(failureMutex);
            failure = failure.value_or(stopped.reason);
            failed = true;
        } catch (const std::bad_alloc&) {
            const std::lock_guard lock(failureMutex);
            failure = failure.value_or(SearchFailure::OutOfMemory);
            failed = true;
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (int thread = 1; thread < threads; ++thread) {
            try {
                helpers.emplace_back(worker, thread);
            } catch (const std::system_error&) {
                break;  // fewer threads do the same work
            }
        }
        worker(0);
    }
    if (failure) {
        throw Stopped{*failure};
    }
}

}  // namespace tessaron::approximate
