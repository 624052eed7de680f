// The gapped search: random genomes of growing length (chance hits only), of
// uniform and of a bacterium's A + T-rich composition; a random genome holding
// families of gapped copies of each kind; and a chloroplast's long inverted
// repeat with indels (one long extension, the seeds along its path skipped).

#include "engine/gappedsearch.h"
#include "engine/genome.h"
#include "gapped/gappedextension.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

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

// A bacterium's composition (31 % G + C, as in the small Mycoplasma genomes):
// chance seeds are several times as frequent as in a uniform genome.
void AtRichGenome(benchmark::State& state)
{
    Genome genome;
    const std::int64_t at = state.range(0) * 345 / 1000;
    const std::int64_t gc = state.range(0) / 2 - at;
    genome.makeRandom(at, at, gc, gc, 8, 30, 2);
    searchAll(state, genome, {});
}
BENCHMARK(AtRichGenome)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

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

// A chloroplast's shape: a 26-kb inverted repeat in 150 kb of random letters,
// one copy with five indels: one long gapped extension and the seeds along
// its path, which the search must skip.
void LongInvertedRepeatWithIndels(benchmark::State& state)
{
    std::mt19937 rng(6);
    const auto letters = [&](std::size_t count) {
        std::string out;
        for (std::size_t k = 0; k < count; ++k) {
            out += "ACGT"[rng() % 4];
        }
        return out;
    };
    const std::string repeat = letters(26'000);
    std::string copy(repeat.rbegin(), repeat.rend());
    for (char& letter : copy) {
        letter = "TGCA"[std::string_view("ACGT").find(letter)];
    }
    for (int k = 0; k < 5; ++k) {
        const std::size_t at = 2'000 + static_cast<std::size_t>(k) * 5'000;
        if (k % 2 == 0) {
            copy.insert(at, letters(1 + static_cast<std::size_t>(k)));
        } else {
            copy.erase(at, 1 + static_cast<std::size_t>(k));
        }
    }
    const std::string sequence = letters(84'000) + repeat + letters(18'000) + copy + letters(22'000);
    Genome genome;
    genome.allocate(static_cast<std::int64_t>(sequence.size()), 8, 30);
    genome.appendText(sequence.c_str());
    for (auto _ : state) {
        auto result = tessaron::gappedSearch(genome, RepeatKind::Inverted, {});
        benchmark::DoNotOptimize(result);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(genome.length()));
}
BENCHMARK(LongInvertedRepeatWithIndels)->Unit(benchmark::kMillisecond);

// The X-drop aligner alone, on the two sides it mostly meets: a chance seed
// (unrelated letters on both sides, the first look's X-drop of 30) and a
// copy of 2,000 letters with one change in twenty and a few indels (the
// X-drop of 60). Items are the states of the table filled.
void XDropExtension(benchmark::State& state)
{
    const bool related = state.range(0) != 0;
    std::mt19937 rng(9);
    const auto letters = [&](std::size_t count) {
        std::vector<std::uint8_t> out(count);
        for (auto& letter : out) {
            letter = static_cast<std::uint8_t>(rng() % 4);
        }
        return out;
    };
    constexpr int kSides = 64;
    std::vector<std::vector<std::uint8_t>> firsts;
    std::vector<std::vector<std::uint8_t>> seconds;
    for (int side = 0; side < kSides; ++side) {
        firsts.push_back(letters(related ? 2'000 : 400));
        std::vector<std::uint8_t> second = related ? firsts.back() : letters(400);
        if (related) {
            for (std::size_t at = 0; at < second.size(); at += 1 + rng() % 40) {
                second[at] = static_cast<std::uint8_t>(rng() % 4);
            }
            for (int indel = 0; indel < 4; ++indel) {
                const auto at = static_cast<std::ptrdiff_t>(200 + rng() % 1'600);
                if (indel % 2 == 0) {
                    second.erase(second.begin() + at, second.begin() + at + 1 + indel);
                } else {
                    second.insert(second.begin() + at, static_cast<std::size_t>(indel), std::uint8_t{2});
                }
            }
        }
        seconds.push_back(std::move(second));
    }
    tessaron::gapped::XDropAligner aligner({2, 5, 2, related ? 60 : 30});
    std::int64_t letters_read = 0;
    for (auto _ : state) {
        for (int side = 0; side < kSides; ++side) {
            tessaron::gapped::Side each;
            each.first = firsts[static_cast<std::size_t>(side)];
            each.second = seconds[static_cast<std::size_t>(side)];
            const auto extension = aligner.extend(each);
            letters_read += extension.firstLetters;
            benchmark::DoNotOptimize(extension);
        }
    }
    state.SetItemsProcessed(state.iterations() * kSides);
    state.counters["letters"] =
        static_cast<double>(letters_read) / static_cast<double>(state.iterations() * kSides);
}
BENCHMARK(XDropExtension)->Arg(0)->Arg(1)->ArgNames({"related"})->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
