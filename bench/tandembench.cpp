// Google Benchmark timings of the tandem repeat search: seeded random
// sequences of 1 and 5 Mb (few arrays: the cost of looking), 1 Mb as rich in
// A and T as a bacterium (words recur closer), a 200-kb and a 2-Mb
// satellite array of a 171-letter unit with 2 % substitutions and 0.5 %
// indels inside random letters (the cost of aligning copies), and the
// interrupted microsatellites of the random 5 Mb; and 1 Mb of coding-like
// sequence (letters biased by codon place, as a bacterium is almost all
// genes: the cost of the candidates at multiples of three that fail).
// bench/trf-compare.sh times whole programs beside trf.

#include "engine/alphabet.h"
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

// `atPercent` of the letters A or T, as many of each, the rest C and G.
void loadRandom(Genome& genome, std::int64_t bases, std::int64_t atPercent = 50)
{
    const std::int64_t at = bases * atPercent / 200;
    const std::int64_t cg = (bases - 2 * at) / 2;
    if (!genome.makeRandom(at, at, cg, bases - 2 * at - cg, 8, 30, kSeed)) {
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

// As rich in A and T as a bacterium's genome (69 %): words recur closer.
void benchAtRich(benchmark::State& state)
{
    Genome genome;
    loadRandom(genome, state.range(0), 69);
    search(state, genome);
}

// Genes all along: each of the three places of a codon draws its letters
// with its own bias, as protein-coding sequence does. The distances that are
// multiples of three climb often along the diagonals, and most of these
// candidates fail to grow into an array: the cost of rejecting them.
void benchCoding(benchmark::State& state)
{
    std::mt19937 random(kSeed);
    // Per codon place, the chances of A, T, C and G in per cent.
    constexpr int kBias[3][4] = {{20, 10, 20, 50}, {40, 30, 20, 10}, {40, 40, 10, 10}};
    std::string text(static_cast<std::size_t>(state.range(0)), 'A');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int* const chance = kBias[i % 3];
        int roll = static_cast<int>(random() % 100);
        std::size_t letter = 0;
        while (roll >= chance[letter]) {
            roll -= chance[letter];
            ++letter;
        }
        text[i] = kAlphabet[letter];
    }
    Genome genome;
    if (!genome.allocate(static_cast<std::int64_t>(text.size()), 8, 30)) {
        throw std::runtime_error("cannot hold the coding sequence");
    }
    genome.appendText(text.c_str());
    search(state, genome);
}

void benchSatellite(benchmark::State& state)
{
    Genome genome;
    loadSatellite(genome, state.range(1), state.range(0));
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
BENCHMARK(benchAtRich)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(benchCoding)->Arg(1'000'000)->Unit(benchmark::kMillisecond);
// The array's length and the random letters on either side of it: the last
// is the no-stall case, a 2-Mb array inside 1 Mb of random letters.
BENCHMARK(benchSatellite)->Args({200'000, 100'000})->Unit(benchmark::kMillisecond);
BENCHMARK(benchSatellite)->Args({2'000'000, 500'000})->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(benchImperfect)->Arg(5'000'000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessaron

BENCHMARK_MAIN();
