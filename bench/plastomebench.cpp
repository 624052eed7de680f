// Google Benchmark timings of the plastome structure: the Arabidopsis
// chloroplast as published, rotated so that its inverted repeat runs across
// the origin, with indels planted in one copy, and a random sequence of the
// same length without any inverted repeat; then the normalisation.

#include "engine/plastomenormalisation.h"
#include "engine/plastomestructure.h"
#include "input/genbankreader.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <stdexcept>
#include <string>

namespace tessaron {
namespace {

const std::string& chloroplast()
{
    static const std::string bases = [] {
        Genome genome;
        (void)readGenBankOrThrow(TESSARON_TEST_DATA "/NC_000932.gb", genome, 8, 30);
        return std::string(genome.sequence());
    }();
    return bases;
}

void run(benchmark::State& state, const std::string& bases)
{
    for (auto _ : state) {
        PlastomeStructure s = findPlastomeStructure(bases);
        benchmark::DoNotOptimize(s);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bases.size()));
}

void BM_PlastomeAsPublished(benchmark::State& state)
{
    run(state, chloroplast());
}

void BM_PlastomeAcrossTheOrigin(benchmark::State& state)
{
    const std::string& g = chloroplast();
    run(state, g.substr(140000) + g.substr(0, 140000));
}

void BM_PlastomeWithIndels(benchmark::State& state)
{
    std::string g = chloroplast();
    std::mt19937 rng(11);
    for (std::size_t at = 130000; at < 154000; at += 2400) {
        g.insert(at, std::string(1 + rng() % 10, "ACGT"[rng() % 4]));
    }
    run(state, g);
}

void BM_PlastomeRandomSequence(benchmark::State& state)
{
    std::mt19937 rng(3);
    std::string g(chloroplast().size(), 'A');
    for (char& c : g) {
        c = "ACGT"[rng() % 4];
    }
    run(state, g);
}

void BM_PlastomeNormalise(benchmark::State& state)
{
    const std::string& g = chloroplast();
    const PlastomeStructure s = findPlastomeStructure(g);
    for (auto _ : state) {
        NormalisedPlastome n = normalisePlastome(g, s);
        benchmark::DoNotOptimize(n);
    }
}

BENCHMARK(BM_PlastomeAsPublished)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlastomeAcrossTheOrigin)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlastomeWithIndels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlastomeRandomSequence)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlastomeNormalise)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessaron

BENCHMARK_MAIN();
