// Times the gapped search on one genome, the kinds asked for in one call, and
// prints the pairs (1-based starts) as the pairs table with the gapped
// columns. Run it under /usr/bin/time -v for the peak memory
// (bench/blastn-compare.sh does).
//
//   tessaron_gapped_timing INPUT [--min L] [--mismatch-penalty X]
//       [--gap-open O] [--gap-extend E] [--identity P] [--max-mismatches K]
//       [--evalue E] [--seed-length K] [--kind NAME] [--pairs]
//
// INPUT is a GenBank file (gzipped or not) or random:BASES[:SEED].

#include "engine/gappedsearch.h"
#include "engine/genome.h"
#include "engine/repeatkinds.h"
#include "report/gappedreport.h"
#include "report/tablewriter.h"
#include "timinginput.h"

#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

using tessaron::GappedResult;
using tessaron::GappedSettings;
using tessaron::Genome;

}  // namespace

int main(int argc, char** argv)
{
    const auto request = tessaron::timing::readTimingRequest<GappedSettings>(argc, argv);
    if (!request) {
        return 2;
    }
    const auto& [settings, kinds, listPairs] = *request;
    if (const std::string problem = tessaron::validate(settings); !problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 2;
    }
    Genome genome;
    if (!tessaron::timing::loadGenBankOrRandom(argv[1], genome)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    const auto begin = std::chrono::steady_clock::now();
    const auto outcome = tessaron::gappedSearch(genome, kinds, settings);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    if (!std::holds_alternative<std::vector<GappedResult>>(outcome)) {
        std::fprintf(stderr, "the search failed\n");
        return 1;
    }
    const auto& results = std::get<std::vector<GappedResult>>(outcome);
    if (listPairs) {
        tessaron::TableWriter out(std::cout, tessaron::TableFormat::Tsv);
        tessaron::writeGappedPairsHeader(out);
        for (const GappedResult& result : results) {
            tessaron::writeGappedPairs(out, result);
        }
        out.flush();
    }
    for (const GappedResult& found : results) {
        std::fprintf(stderr, "%-14s %8zu pairs  seed %2d  lambda %.4f K %.4f\n",
                     std::string(tessaron::kindName(found.kind)).c_str(), found.pairs.size(),
                     found.seedLength, found.statistics.lambda, found.statistics.k);
    }
    std::fprintf(stderr, "search %.3f s\n", seconds);
    return 0;
}
