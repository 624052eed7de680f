// Google Benchmark timings of the tandem repeat search: seeded random
// sequences of 1 and 5 Mb (few arrays: the cost of looking), a 200-kb
// satellite array of a 171-letter unit with 2 % substitutions and 0.5 %
// indels inside random letters (the cost of aligning copies), and the
// interrupted microsatellites of the random 5 Mb. bench/trf-compare.sh times
// whole programs beside trf.

#include "engine/genome.h"
#include "engine/imperfectmicrosatellites.h"
#include "engine/tandemrepeats.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>

namespace tessaron {
namespace {

constexpr std::uint32_t kSeed = 20240229;

void loadRandom(Genome& genome, std::int64_t bases)
{
    const std::int64_t quarter = bases / 4;
    if (!genome.makeRandom(quarter, quarter, quarter, bases - 3 * quarter, 8, 30, kSeed)) {
        throw std::runtime_error("cannot make a random sequence of " + std::to_string(bases) + " bases");
    }
}

void loadSatellite(Genome& genome, std::int64_t flank, std::int64_t arrayLength)
{
    std::mt19937 random(kSeed);
    const auto letter = [&] { return "ACGT"[random() % 4]; };
    std::string unit;
    for (int i = 0; i < 171; ++i) {
        unit += letter();
    }
    std::string text;
    for (std::int64_t i = 0; i < flank; ++i) {
        text += letter();
    }
    while (static_cast<std::int64_t>(text.size()) < flank + arrayLength) {
        for (const char base : unit) {
            const auto roll = static_cast<unsigned>(random() % 1000);
            if (roll < 20) {
                text += letter();
            } else if (roll >= 25) {
                text += base;
            } else if (roll >= 22) {
                text += base;
                text += letter();
            }
        }
    }
    for (std::int64_t i = 0; i < flank; ++i) {
        text += letter();
    }
    if (!genome.allocate(static_cast<std::int64_t>(text.size()), 8, 30)) {
        throw std::runtime_error("cannot hold the satellite");
    }
    genome.appendText(text.c_str());
}

void search(benchmark::State& state, const Genome& genome)
{
    std::size_t found = 0;
    for (auto _ : state) {
        const auto result = findTandemRepeats(genome);
        const auto* list = std::get_if<TandemRepeatList>(&result);
        if (list == nullptr) {
            state.SkipWithError("out of memory");
            return;
        }
        found = list->size();
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * genome.length());
    state.counters["arrays"] = static_cast<double>(found);
}

void benchRandom(benchmark::State& state)
{
    Genome genome;
    loadRandom(genome, state.range(0));
    search(state, genome);
}

void benchSatellite(benchmark::State& state)
{
    Genome genome;
    loadSatellite(genome, 100000, state.range(0));
    search(state, genome);
}

void benchImperfect(benchmark::State& state)
{
    Genome genome;
    loadRandom(genome, state.range(0));
    for (auto _ : state) {
        const auto result = findImperfectMicrosatellites(genome);
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations() * genome.length());
}

BENCHMARK(benchRandom)->Arg(1'000'000)->Arg(5'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(benchSatellite)->Arg(200'000)->Unit(benchmark::kMillisecond);
BENCHMARK(benchImperfect)->Arg(5'000'000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessaron

BENCHMARK_MAIN();
