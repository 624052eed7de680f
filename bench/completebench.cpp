// Google Benchmark timings of the complete search: each kind alone and all
// four in a row (each alone, or over one shared index), with the words and
// pairs kept or counts alone, on the human
// mitochondrion, the Arabidopsis chloroplast (from the shared data folder
// beside the repository, skipped when absent) and a seeded random sequence
// of 1,000,000 bases, all at minimum length 8.

#include "engine/completesearch.h"
#include "engine/genome.h"
#include "input/genbankreader.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace tessaron {
namespace {

constexpr int kMinLength = 8;
constexpr int kMaxLength = 30;

struct Input {
    std::string name;
    std::function<void(Genome&)> load;
};

void loadGenBank(Genome& genome, const std::filesystem::path& path)
{
    if (!readGenBank(path, genome, kMinLength, kMaxLength)) {
        throw std::runtime_error("cannot read " + path.string());
    }
}

std::shared_ptr<const Genome> loaded(const Input& input)
{
    static std::map<std::string, std::shared_ptr<const Genome>> cache;
    auto& cached = cache[input.name];
    if (!cached) {
        auto genome = std::make_shared<Genome>();
        input.load(*genome);
        cached = std::move(genome);
    }
    return cached;
}

void benchComplete(benchmark::State& state, const Input& input, std::vector<RepeatKind> kinds,
                   SnapshotDetail detail, bool sharedIndex)
{
    std::shared_ptr<const Genome> genome;
    try {
        genome = loaded(input);
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return;
    }
    std::int64_t pairs = 0;
    for (auto _ : state) {
        pairs = 0;
        std::shared_ptr<const CompleteIndex> index;
        if (sharedIndex) {
            index = std::get<std::shared_ptr<const CompleteIndex>>(buildCompleteIndex(genome, kinds));
        }
        for (const RepeatKind kind : kinds) {
            const auto result =
                index ? completeSearch(*index, kind, detail) : completeSearch(genome, kind, detail);
            if (!std::holds_alternative<std::shared_ptr<const RepeatSnapshot>>(result)) {
                state.SkipWithError("the search failed");
                return;
            }
            pairs += std::get<std::shared_ptr<const RepeatSnapshot>>(result)->total();
        }
        benchmark::DoNotOptimize(pairs);
    }
    state.SetItemsProcessed(state.iterations() * genome->length());
    state.counters["pairs"] = static_cast<double>(pairs);
}

void registerAll()
{
    static const std::vector<Input> inputs{
        {"mito", [](Genome& genome) { loadGenBank(genome, TESSARON_SAMPLE_GENBANK); }},
        {"chloroplast",
         [](Genome& genome) {
             loadGenBank(genome, std::filesystem::path(TESSARON_TEST_DATA) / "NC_000932.gb");
         }},
        {"random1M",
         [](Genome& genome) {
             if (!genome.makeRandom(250'000, 250'000, 250'000, 250'000, kMinLength, kMaxLength, 20240229)) {
                 throw std::runtime_error("cannot make the random sequence");
             }
         }},
    };
    struct Kinds {
        const char* name;
        std::vector<RepeatKind> kinds;
    };
    static const std::vector<Kinds> kindSets{
        {"Direct", {RepeatKind::Direct}},
        {"Inverted", {RepeatKind::Inverted}},
        {"Mirror", {RepeatKind::Mirror}},
        {"Complementary", {RepeatKind::Complementary}},
        {"AllFour",
         {RepeatKind::Direct, RepeatKind::Inverted, RepeatKind::Mirror, RepeatKind::Complementary}},
    };
    for (const Input& input : inputs) {
        for (const Kinds& set : kindSets) {
            for (const auto detail : {SnapshotDetail::Words, SnapshotDetail::Counts}) {
                const std::string name = std::string("CompleteSearch/") + set.name +
                                         (detail == SnapshotDetail::Words ? "/Words/" : "/Counts/") +
                                         input.name;
                benchmark::RegisterBenchmark(name.c_str(), benchComplete, input, set.kinds, detail, false)
                    ->Unit(benchmark::kMillisecond);
                if (set.kinds.size() > 1) {
                    benchmark::RegisterBenchmark((name + "/SharedIndex").c_str(), benchComplete, input,
                                                 set.kinds, detail, true)
                        ->Unit(benchmark::kMillisecond);
                }
            }
        }
    }
}

}  // namespace
}  // namespace tessaron

int main(int argc, char** argv)
{
    tessaron::registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
