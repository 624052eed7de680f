// The gapped search: random genomes of growing length (chance hits only), and
// a random genome holding families of gapped copies of each kind.

#include "engine/gappedsearch.h"
#include "engine/genome.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

using tessaron::GappedSettings;
using tessaron::Genome;
using tessaron::RepeatKind;

void searchAll(benchmark::State& state, const Genome& genome, const GappedSettings& settings)
{
    for (auto _ : state) {
        auto results = tessaron::gappedSearch(genome, tessaron::kKindOrder, settings);
        benchmark::DoNotOptimize(results);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(genome.length()));
}

void RandomGenome(benchmark::State& state)
{
    Genome genome;
    const std::int64_t quarter = state.range(0) / 4;
    genome.makeRandom(quarter, quarter, quarter, quarter, 8, 30, 1);
    searchAll(state, genome, {});
}
BENCHMARK(RandomGenome)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// Families of 300-letter elements, each copied 5 times with indels and
// mismatches, one copy in four of each kind.
void GenomeWithGappedFamilies(benchmark::State& state)
{
    std::mt19937 rng(4);
    const auto letters = [&](std::size_t count) {
        std::string out;
        for (std::size_t k = 0; k < count; ++k) {
            out += "ACGT"[rng() % 4];
        }
        return out;
    };
    std::string sequence;
    for (int family = 0; family < 200; ++family) {
        const std::string element = letters(300);
        for (int copy = 0; copy < 5; ++copy) {
            std::string word = element;
            for (int edit = 0; edit < 6; ++edit) {
                const std::size_t at = rng() % (word.size() - 10);
                if (edit % 3 == 0) {
                    word.erase(at, 1 + rng() % 3);
                } else if (edit % 3 == 1) {
                    word.insert(at, letters(1 + rng() % 3));
                } else {
                    word[at] = "ACGT"[rng() % 4];
                }
            }
            if (copy % 4 == 1) {
                word = std::string(word.rbegin(), word.rend());
            }
            sequence += word;
            sequence += letters(700);
        }
    }
    Genome genome;
    genome.allocate(static_cast<std::int64_t>(sequence.size()), 8, 30);
    genome.appendText(sequence.c_str());
    searchAll(state, genome, {});
}
BENCHMARK(GenomeWithGappedFamilies)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
