#pragma once

// Threads that share a piece of work, started as far as the system allows.

#include <functional>
#include <thread>
#include <vector>

namespace tessaron {

// The CPUs this process may run on (its affinity: a job pinned to one CPU
// gets 1), at least 1; the default number of threads.
[[nodiscard]] int usableCores();

// Starts up to `count` threads that each run `work`, adding them to `pool`,
// and returns how many started. A thread the system cannot start (no memory
// for its stack under an address-space limit, too many processes) is no
// error: the work is shared by the threads that did start, so `work` must
// take its share from a common counter, and the caller runs it too, or alone
// when none started.
int startWorkers(std::vector<std::jthread>& pool, int count, const std::function<void()>& work);

// For tests: from now on at most `starts` more threads start; the start of
// any other fails as the system's does (std::system_error, "Resource
// temporarily unavailable"). A negative number lifts the limit.
void limitWorkerStarts(int starts);

}  // namespace tessaron
