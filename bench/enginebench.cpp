// Google Benchmark timings of the engine: building the suffix index (on one
// and on two threads) and the four repeat searches, both as counts or words
// (the snapshot searches, which store no pair) and as stored lists, on seeded
// random sequences of three sizes and on the human mitochondrial genome, all
// at repeat lengths 8..30. The stored lists are left out at 5 Mb, where they
// would pass the pair limit.
//
// Every benchmark reports bases as items and bytes processed, so the rates
// of the different sizes show how the cost grows per base.

#include "engine/genome.h"
#include "engine/repeatlist.h"
#include "engine/repeatsnapshot.h"
#include "engine/suffixindex.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tessaron {
namespace {

constexpr int kMinLength = 8;
constexpr int kMaxLength = 30;
constexpr std::uint32_t kSeed = 20240229;

struct Input {
    std::string name;
    std::function<void(Genome&)> load;
    bool storedLists = true;  // whether the stored-list searches are timed too
};

// Equal numbers of A, T, C and G (the first letters take the remainder).
void loadRandom(Genome& genome, std::int64_t bases)
{
    const std::int64_t quarter = bases / 4;
    const std::int64_t extra = bases % 4;
    const auto count = [&](std::int64_t letter) { return quarter + (letter < extra ? 1 : 0); };
    if (!genome.makeRandom(count(0), count(1), count(2), count(3), kMinLength, kMaxLength, kSeed)) {
        throw std::runtime_error("cannot make a random sequence of " + std::to_string(bases) + " bases");
    }
}

// The lines between ORIGIN and // of a GenBank record, fed to the genome as
// the GenBank reader does: position numbers and blanks are skipped as
// non-bases. The capacity is the size of that block, an upper bound.
void loadGenBankOrigin(Genome& genome, const std::string& path)
{
    std::ifstream file(path);
    if (!file) {
        throw std::runtime_error("cannot open " + path);
    }
    std::vector<std::string> lines;
    std::int64_t size = 0;
    bool inside = false;
    for (std::string line; std::getline(file, line);) {
        if (!inside) {
            inside = line.starts_with("ORIGIN");
            continue;
        }
        if (line.starts_with("//")) {
            break;
        }
        size += static_cast<std::int64_t>(line.size());
        lines.push_back(std::move(line));
    }
    if (lines.empty() || !genome.allocate(size, 5, 15)) {
        throw std::runtime_error("no sequence read from " + path);
    }
    for (const std::string& line : lines) {
        genome.appendText(line.c_str());
    }
    genome.setLengthBounds(kMinLength, kMaxLength);
}

const std::vector<Input>& inputs()
{
    static const std::vector<Input> all{
        {"random16569", [](Genome& genome) { loadRandom(genome, 16'569); }},
        {"random1M", [](Genome& genome) { loadRandom(genome, 1'000'000); }},
        {"random5M", [](Genome& genome) { loadRandom(genome, 5'000'000); }, false},
        {"mito", [](Genome& genome) { loadGenBankOrigin(genome, TESSARON_SAMPLE_GENBANK); }},
    };
    return all;
}

// Loaded and indexed once per input for all the searches that use it; only
// the last input's index is kept, the benchmarks running input by input.
std::shared_ptr<const SuffixIndex> indexedGenome(const Input& input)
{
    static std::string cachedName;
    static std::shared_ptr<const SuffixIndex> cached;
    if (cachedName != input.name) {
        cached.reset();
        auto genome = std::make_shared<Genome>();
        input.load(*genome);
        auto built = buildIndex(std::move(genome));
        if (std::holds_alternative<SearchFailure>(built)) {
            throw std::runtime_error("out of memory building the index of " + input.name);
        }
        cached = std::get<std::shared_ptr<const SuffixIndex>>(std::move(built));
        cachedName = input.name;
    }
    return cached;
}

void reportBases(benchmark::State& state, int bases)
{
    state.SetItemsProcessed(state.iterations() * bases);
    state.SetBytesProcessed(state.iterations() * bases);
    state.counters["bases"] = bases;
}

void benchBuildIndex(benchmark::State& state, const Input& input, int threads)
{
    auto genome = std::make_shared<Genome>();
    try {
        input.load(*genome);
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return;
    }
    std::size_t nodes = 0;
    for (auto _ : state) {
        auto built = buildIndex(genome, {}, threads);
        if (std::holds_alternative<SearchFailure>(built)) {
            state.SkipWithError("out of memory");
            return;
        }
        nodes = std::get<std::shared_ptr<const SuffixIndex>>(built)->nodeCount();
        benchmark::DoNotOptimize(nodes);
    }
    reportBases(state, genome->length());
    state.counters["nodes"] = static_cast<double>(nodes);
}

void benchSearch(benchmark::State& state, const Input& input, RepeatKind kind)
{
    std::shared_ptr<const SuffixIndex> indexed;
    try {
        indexed = indexedGenome(input);
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return;
    }
    const SuffixIndex& index = *indexed;
    const Genome& genome = index.genome();
    std::int64_t pairs = 0;
    for (auto _ : state) {
        const std::unique_ptr<RepeatList> list =
            kind == RepeatKind::Direct ? index.findDirectRepeats() : index.findRepeats(kind);
        if (!list) {
            state.SkipWithError("out of memory");
            return;
        }
        pairs = list->total();
        benchmark::DoNotOptimize(pairs);
    }
    reportBases(state, genome.length());
    state.counters["pairs"] = static_cast<double>(pairs);
}

void benchSnapshot(benchmark::State& state, const Input& input, RepeatKind kind, SnapshotDetail detail)
{
    std::shared_ptr<const SuffixIndex> genome;
    try {
        genome = indexedGenome(input);
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return;
    }
    std::int64_t pairs = 0;
    std::size_t words = 0;
    for (auto _ : state) {
        const auto result = searchRepeats(genome, kind, detail);
        const auto* snapshot = std::get_if<std::shared_ptr<const RepeatSnapshot>>(&result);
        if (snapshot == nullptr) {
            state.SkipWithError("out of memory");
            return;
        }
        pairs = (*snapshot)->total();
        words = 0;
        for (int slot = 0; slot < (*snapshot)->slotCount(); ++slot) {
            words += (*snapshot)->words(slot).size();
        }
        benchmark::DoNotOptimize(pairs);
    }
    reportBases(state, genome->genome().length());
    state.counters["pairs"] = static_cast<double>(pairs);
    state.counters["words"] = static_cast<double>(words);
}

void registerAll()
{
    struct Search {
        const char* name;
        RepeatKind kind;
    };
    static constexpr Search kSearches[]{
        {"FindDirectRepeats", RepeatKind::Direct},
        {"FindInvertedRepeats", RepeatKind::Inverted},
        {"FindMirrorRepeats", RepeatKind::Mirror},
        {"FindComplementaryRepeats", RepeatKind::Complementary},
    };
    static constexpr const char* kKindNames[]{"Direct", "Inverted", "Mirror", "Complementary"};
    for (const Input& input : inputs()) {
        for (const int threads : {1, 2}) {
            benchmark::RegisterBenchmark(
                ("BuildIndex/" + input.name + "/threads:" + std::to_string(threads)).c_str(), benchBuildIndex,
                input, threads)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
        for (const Search& search : kSearches) {
            const std::string kind = kKindNames[static_cast<int>(search.kind)];
            benchmark::RegisterBenchmark(("SearchCounts/" + kind + "/" + input.name).c_str(), benchSnapshot,
                                         input, search.kind, SnapshotDetail::Counts)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
            benchmark::RegisterBenchmark(("SearchWords/" + kind + "/" + input.name).c_str(), benchSnapshot,
                                         input, search.kind, SnapshotDetail::Words)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
            if (input.storedLists) {
                benchmark::RegisterBenchmark((std::string(search.name) + "/" + input.name).c_str(),
                                             benchSearch, input, search.kind)
                    ->Unit(benchmark::kMillisecond);
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
