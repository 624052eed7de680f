// Google Benchmark timings of the microsatellite search beside reading the
// same genome: a seeded random sequence of 5 Mb (and 1 Mb) searched at the
// usual thresholds (10, 6, 5, 5, 5, 5 repeats, compounds within 100), and the
// time to read that sequence from FASTA bytes in memory as a load does. The
// search should cost a small fraction of the read; whole-program timings of
// the command line compare with the file read from disk as well.

#include "engine/genome.h"
#include "engine/microsatellites.h"
#include "input/records.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tessaron {
namespace {

constexpr std::uint32_t kSeed = 20240229;

// Equal numbers of A, T, C and G (the first letters take the remainder).
void loadRandom(Genome& genome, std::int64_t bases)
{
    const std::int64_t quarter = bases / 4;
    const std::int64_t extra = bases % 4;
    const auto count = [&](std::int64_t letter) { return quarter + (letter < extra ? 1 : 0); };
    if (!genome.makeRandom(count(0), count(1), count(2), count(3), 8, 30, kSeed)) {
        throw std::runtime_error("cannot make a random sequence of " + std::to_string(bases) + " bases");
    }
}

void reportBases(benchmark::State& state, int bases)
{
    state.SetItemsProcessed(state.iterations() * bases);
    state.SetBytesProcessed(state.iterations() * bases);
    state.counters["bases"] = bases;
}

void benchSearch(benchmark::State& state)
{
    Genome genome;
    loadRandom(genome, state.range(0));
    std::size_t found = 0;
    for (auto _ : state) {
        const auto result = findMicrosatellites(genome);
        const auto* list = std::get_if<MicrosatelliteList>(&result);
        if (list == nullptr) {
            state.SkipWithError("out of memory");
            return;
        }
        found = list->size();
        benchmark::DoNotOptimize(found);
    }
    reportBases(state, genome.length());
    state.counters["microsatellites"] = static_cast<double>(found);
}

// The same sequence as a FASTA file's bytes, 70 letters a line, read into a
// genome as the command line's load does.
void benchReadFasta(benchmark::State& state)
{
    Genome random;
    loadRandom(random, state.range(0));
    std::string fasta = ">random\n";
    for (std::size_t at = 0; at < random.sequence().size(); at += 70) {
        fasta += random.sequence().substr(at, 70);
        fasta += '\n';
    }
    const InputFile file = InputFile::fromBytes(std::move(fasta));
    Genome genome;
    for (auto _ : state) {
        file.load(0, genome, 8, 30);
        benchmark::DoNotOptimize(genome.length());
    }
    reportBases(state, genome.length());
}

BENCHMARK(benchSearch)
    ->Name("Microsatellites/random")
    ->Arg(1'000'000)
    ->Arg(5'000'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(benchReadFasta)
    ->Name("ReadFasta/random")
    ->Arg(1'000'000)
    ->Arg(5'000'000)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tessaron

BENCHMARK_MAIN();
