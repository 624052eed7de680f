#include "compare/controls.h"

#include "compare/workers.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <new>
#include <thread>

namespace tessaron {

std::variant<KindCounts, SearchFailure> countRepeats(const PreparedSearch& search,
                                                     const SearchControl& control)
{
    KindCounts counts;
    for (const RepeatKind kind : kKindOrder) {
        auto result = search.run(kind, SnapshotDetail::Counts, SearchControl{control.stop, {}});
        if (const auto* failure = std::get_if<SearchFailure>(&result)) {
            return *failure;
        }
        counts[static_cast<std::size_t>(kind)] = std::get<0>(result)->pairCounts();
    }
    return counts;
}

ControlReport summarizeControls(const KindCounts& observed, const std::vector<KindCounts>& controls,
                                int minLength, std::uint32_t seed)
{
    ControlReport report;
    report.minLength = minLength;
    report.replicates = static_cast<int>(controls.size());
    report.seed = seed;
    const auto n = static_cast<double>(controls.size());
    for (std::size_t kind = 0; kind < observed.size(); ++kind) {
        const std::vector<std::int64_t>& counts = observed[kind];
        std::vector<ControlStats>& stats = report.stats[kind];
        stats.resize(counts.size());
        for (std::size_t slot = 0; slot < counts.size(); ++slot) {
            ControlStats& s = stats[slot];
            s.observed = counts[slot];
            if (controls.empty()) {
                continue;
            }
            const auto valueOf = [&](const KindCounts& control) {
                const auto& perSlot = control[kind];
                return slot < perSlot.size() ? static_cast<double>(perSlot[slot]) : 0.0;
            };
            double sum = 0;
            for (const KindCounts& control : controls) {
                sum += valueOf(control);
            }
            s.mean = sum / n;
            double squares = 0;
            for (const KindCounts& control : controls) {
                const double d = valueOf(control) - s.mean;
                squares += d * d;
            }
            s.sd = controls.size() > 1 ? std::sqrt(squares / (n - 1)) : 0.0;
            if (s.sd > 0) {
                s.z = (static_cast<double>(s.observed) - s.mean) / s.sd;
            }
        }
    }
    return report;
}

std::variant<ControlReport, SearchFailure> runControls(const PreparedSearch& observed,
                                                       const ControlSettings& settings,
                                                       const SearchControl& control)
{
    const Genome& genome = observed.genome();
    auto observedCounts = countRepeats(observed, control);
    if (const auto* failure = std::get_if<SearchFailure>(&observedCounts)) {
        return *failure;
    }
    const int replicates = std::max(settings.replicates, 0);
    const int cores = usableCores();
    const int threads =
        std::clamp(settings.threads > 0 ? settings.threads : cores, 1, std::max(replicates, 1));

    std::vector<KindCounts> controls(static_cast<std::size_t>(replicates));
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    std::optional<SearchFailure> failed;
    std::vector<int> retries;  // ran out of memory beside other threads
    std::mutex failedMutex;
    std::stop_source stopAll;
    // Makes and counts control i.
    const auto runOne = [&](int i) -> std::optional<SearchFailure> {
        return runStep(control, [&]() -> std::optional<SearchFailure> {
            // The genome's composition, gaps and very lengths.
            auto random = std::make_shared<Genome>();
            const std::uint32_t seed = settings.seed + static_cast<std::uint32_t>(i);
            if (!random->makeRandomLike(genome, seed)) {
                return SearchFailure::OutOfMemory;
            }
            auto prepared = prepareSearch(std::move(random), observed.method(), kKindOrder,
                                          SearchControl{control.stop, {}});
            if (const auto* unprepared = std::get_if<SearchFailure>(&prepared)) {
                return *unprepared;
            }
            auto counts = countRepeats(std::get<PreparedSearch>(prepared), control);
            if (const auto* uncounted = std::get_if<SearchFailure>(&counts)) {
                return *uncounted;
            }
            controls[static_cast<std::size_t>(i)] = std::move(std::get<KindCounts>(counts));
            return std::nullopt;
        });
    };
    const auto fail = [&](SearchFailure failure) {
        const std::lock_guard lock(failedMutex);
        if (!failed) {
            failed = failure;
        }
        stopAll.request_stop();
    };
    // With `alone` false, a control that runs out of memory is kept for later
    // and its thread stops, giving back what it holds: the memory may only
    // have been short because of the other threads.
    const auto work = [&](bool alone) {
        for (int i = next++; i < replicates && !stopAll.stop_requested(); i = next++) {
            if (const auto failure = runOne(i)) {
                if (!alone && *failure == SearchFailure::OutOfMemory) {
                    const std::lock_guard lock(failedMutex);
                    retries.push_back(i);
                    return;
                }
                fail(*failure);
                return;
            }
            control.report(static_cast<double>(++done) / replicates);
        }
    };
    {
        std::vector<std::jthread> pool;
        (void)startWorkers(pool, threads - 1, [&work] { work(false); });
        work(false);
    }
    // What is left, on this thread alone.
    for (const int i : retries) {
        if (failed) {
            break;
        }
        if (const auto failure = runOne(i)) {
            fail(*failure);
        } else {
            control.report(static_cast<double>(++done) / replicates);
        }
    }
    if (!failed) {
        work(true);
    }
    if (failed) {
        return *failed;
    }
    return summarizeControls(std::get<KindCounts>(observedCounts), controls, genome.minLength(),
                             settings.seed);
}

}  // namespace tessaron
