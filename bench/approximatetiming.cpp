// Times the approximate search of the engine on one genome, the four kinds
// one after the other, and prints per kind the pairs found, the seed length,
// whether the result is exhaustive and the seconds taken. Run it under
// /usr/bin/time -v for the peak memory (bench/approximate-peers.sh does).
//
//   tessaron_approximate_timing INPUT [--min L] [--mismatch-penalty X]
//       [--identity P] [--max-mismatches K] [--evalue E] [--threads T]
//       [--method automatic|seeds|full] [--kind NAME] [--pairs]
//
// INPUT is a GenBank file or random:BASES[:SEED] (equal numbers of A, C, G
// and T, seed 1 by default). --pairs prints every pair (1-based starts).

#include "engine/approximatesearch.h"
#include "engine/genome.h"
#include "engine/repeatkinds.h"
#include "timinginput.h"

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

using tessaron::ApproximateResult;
using tessaron::ApproximateSettings;
using tessaron::Genome;

}  // namespace

int main(int argc, char** argv)
{
    const auto request = tessaron::timing::readTimingRequest<ApproximateSettings>(argc, argv);
    if (!request) {
        return 2;
    }
    const auto& [settings, kinds, listPairs] = *request;
    const auto start = std::chrono::steady_clock::now();
    Genome genome;
    if (!tessaron::timing::loadGenBankOrRandom(argv[1], genome)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const double loaded = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%s: %d bases, read in %.3f s\n", argv[1], genome.length(), loaded);
    // All the kinds asked for in one call, as the command line runs them.
    const auto begin = std::chrono::steady_clock::now();
    const auto outcome = tessaron::approximateSearch(genome, kinds, settings);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    if (!std::holds_alternative<std::vector<ApproximateResult>>(outcome)) {
        std::printf("the search failed\n");
        return 1;
    }
    for (const ApproximateResult& found : std::get<std::vector<ApproximateResult>>(outcome)) {
        const std::string name(tessaron::kindName(found.kind));
        std::printf("%-14s %8zu pairs  seed %2d  %s  lambda %.4f K %.4f\n", name.c_str(), found.pairs.size(),
                    found.seedLength, found.exhaustive ? "exhaustive" : "practical ", found.statistics.lambda,
                    found.statistics.k);
        if (listPairs) {
            for (const auto& pair : found.pairs) {
                std::printf("%s\t%lld\t%lld\t%lld\t%lld\t%.2f\t%.3g\n", name.c_str(),
                            static_cast<long long>(pair.length), static_cast<long long>(pair.mismatches),
                            static_cast<long long>(pair.first + 1), static_cast<long long>(pair.second + 1),
                            pair.identity, pair.evalue);
            }
        }
    }
    std::printf("search %.3f s\n", seconds);
    const double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("total %.3f s\n", total);
    return 0;
}
