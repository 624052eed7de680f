#include "compare/workers.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <system_error>

namespace tessaron {

namespace {

std::atomic<int> startsLeft{-1};  // negative: no limit

// Whether the test limit lets one more thread start.
bool mayStart()
{
    int left = startsLeft.load();
    while (left >= 0) {
        if (left == 0) {
            return false;
        }
        if (startsLeft.compare_exchange_weak(left, left - 1)) {
            return true;
        }
    }
    return true;
}

}  // namespace

int usableCores()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        return std::max(1, CPU_COUNT(&set));
    }
    return static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
}

int startWorkers(std::vector<std::jthread>& pool, int count, const std::function<void()>& work)
{
    int started = 0;
    for (; started < count; ++started) {
        try {
            if (!mayStart()) {
                throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
            }
            pool.emplace_back(work);
        } catch (const std::system_error&) {
            break;  // "Resource temporarily unavailable": the others do the work
        }
    }
    return started;
}

void limitWorkerStarts(int starts)
{
    startsLeft = starts;
}

}  // namespace tessaron
