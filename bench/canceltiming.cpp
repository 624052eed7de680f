// Times how long each long search takes to stop once asked: on a random
// genome, every search is started, asked to stop after each of several
// delays, and the time from the request to its return is printed (a search
// that ends before the request shows its own time instead). The figures are
// those of a loaded machine when other work runs beside it.
//
//   tessaron_cancel_timing [BASES] [SEED] [DELAYS_MS...]
//
// Defaults: 2,000,000 bases, seed 5, delays 100 300 1000 3000 ms.

#include "engine/approximatesearch.h"
#include "engine/gappedsearch.h"
#include "engine/genome.h"
#include "engine/microsatellites.h"
#include "engine/repeatkinds.h"
#include "engine/searchcontrol.h"
#include "engine/searchmethod.h"
#include "engine/tandemrepeats.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using tessaron::SearchControl;

struct Case {
    std::string name;
    // Runs the search; true when it was stopped rather than ending.
    std::function<bool(const SearchControl&)> run;
};

double milliseconds(Clock::duration span)
{
    return std::chrono::duration<double, std::milli>(span).count();
}

template <typename Result>
bool stopped(const Result& result)
{
    const auto* failure = std::get_if<tessaron::SearchFailure>(&result);
    return failure != nullptr && *failure == tessaron::SearchFailure::Cancelled;
}

tessaron::ApproximateSettings approximate(int minimum, std::optional<int> maxMismatches = std::nullopt,
                                          double identity = 90.0)
{
    tessaron::ApproximateSettings settings;
    settings.minLength = minimum;
    settings.maxMismatches = maxMismatches;
    settings.identity = identity;
    return settings;
}

std::vector<Case> cases(const std::shared_ptr<const tessaron::Genome>& genome)
{
    using namespace tessaron;
    std::vector<Case> all;
    const auto approximateCase = [&](std::string name, ApproximateSettings settings) {
        all.push_back({std::move(name), [genome, settings](const SearchControl& control) {
                           return stopped(approximateSearch(*genome, kKindOrder, settings, control));
                       }});
    };
    approximateCase("approximate min 30", approximate(30));
    approximateCase("approximate min 1000000", approximate(1000000));
    approximateCase("approximate max_mismatches 1e8", approximate(30, 100000000));
    approximateCase("approximate min 12 identity 70", approximate(12, std::nullopt, 70.0));
    all.push_back({"gapped min 30", [genome](const SearchControl& control) {
                       return stopped(gappedSearch(*genome, kKindOrder, GappedSettings{}, control));
                   }});
    all.push_back({"tandem", [genome](const SearchControl& control) {
                       return stopped(findTandemRepeats(*genome, TandemSettings{}, control));
                   }});
    all.push_back({"microsatellites", [genome](const SearchControl& control) {
                       return stopped(findMicrosatellites(*genome, MicrosatelliteSettings{}, control));
                   }});
    for (const SearchMethod method : {SearchMethod::Trie, SearchMethod::Complete}) {
        all.push_back({std::string(methodName(method)) + " (index and four kinds)",
                       [genome, method](const SearchControl& control) {
                           auto prepared = prepareSearch(genome, method, kKindOrder, control);
                           if (stopped(prepared)) {
                               return true;
                           }
                           if (!std::holds_alternative<PreparedSearch>(prepared)) {
                               return false;
                           }
                           for (const RepeatKind kind : kKindOrder) {
                               if (stopped(std::get<PreparedSearch>(prepared).run(
                                       kind, SnapshotDetail::Counts, control))) {
                                   return true;
                               }
                           }
                           return false;
                       }});
    }
    return all;
}

}  // namespace

int main(int argc, char** argv)
{
    const long long bases = argc > 1 ? std::atoll(argv[1]) : 2000000;
    const auto seed = static_cast<std::uint32_t>(argc > 2 ? std::atoll(argv[2]) : 5);
    std::vector<int> delays;
    for (int k = 3; k < argc; ++k) {
        delays.push_back(std::atoi(argv[k]));
    }
    if (delays.empty()) {
        delays = {100, 300, 1000, 3000};
    }
    auto genome = std::make_shared<tessaron::Genome>();
    const long long quarter = bases / 4;
    if (bases < 4 || !genome->makeRandom(quarter, quarter, quarter, bases - 3 * quarter, 8, 30, seed)) {
        std::fprintf(stderr, "usage: %s [BASES] [SEED] [DELAYS_MS...]\n", argv[0]);
        return 2;
    }
    std::printf("search\tdelay_ms\tstop_ms\n");
    for (const Case& search : cases(genome)) {
        double worst = 0.0;
        for (const int delay : delays) {
            std::stop_source source;
            Clock::time_point asked{};
            Clock::time_point ended{};
            bool wasStopped = false;
            {
                const std::jthread worker([&] {
                    wasStopped = search.run(SearchControl{source.get_token(), {}});
                    ended = Clock::now();
                });
                std::this_thread::sleep_for(std::chrono::milliseconds(delay));
                asked = Clock::now();
                source.request_stop();
            }
            if (wasStopped) {
                worst = std::max(worst, milliseconds(ended - asked));
                std::printf("%s\t%d\t%.1f\n", search.name.c_str(), delay, milliseconds(ended - asked));
            } else {
                std::printf("%s\t%d\tended before\n", search.name.c_str(), delay);
            }
            std::fflush(stdout);
            if (!wasStopped) {
                break;  // longer delays would end before too
            }
        }
        std::printf("%s\tworst\t%.1f\n", search.name.c_str(), worst);
    }
    return 0;
}
