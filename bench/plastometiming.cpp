// The plastome structure of many synthetic chloroplasts, timed as a batch:
// each one the given record rotated to a random offset, on either strand,
// either flip-flop isomer, with about one substitution in 200 bases and up to
// ten indels of 1 to 10 bases in one copy of its inverted repeat. Every
// genome is found, normalised and written as a table row by a pool of
// threads. Prints the time of the batch (without making the genomes), the
// time per genome and how many came out with the expected structure.
//
//   tessaron_plastome_timing RECORD.gb [GENOMES=1000] [THREADS=2]

#include "engine/plastomenormalisation.h"
#include "engine/plastomestructure.h"
#include "input/genbankreader.h"
#include "report/plastomereport.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace tessaron;

std::string synthetic(const std::string& model, const PlastomeStructure& s, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    std::string g = model;
    // The other isomer: the SSC reversed.
    const PlastomeRegion& ssc = s.region(PlastomePart::Ssc);
    if (rng() % 2 == 1) {
        std::string part =
            g.substr(static_cast<std::size_t>(ssc.start), static_cast<std::size_t>(ssc.length));
        g.replace(static_cast<std::size_t>(ssc.start), part.size(), reverseComplementOf(part));
    }
    // Indels in IRa (the last part of the model), from its end backwards.
    const PlastomeRegion& ira = s.region(PlastomePart::IrA);
    const auto indels = static_cast<int>(rng() % 11);
    for (int i = 0; i < indels; ++i) {
        const std::size_t at = static_cast<std::size_t>(ira.start + 500 + (ira.length - 1000) * (i + 1) / 12);
        const std::size_t length = 1 + rng() % 10;
        if (rng() % 2 == 0) {
            g.erase(at, length);
        } else {
            std::string inserted(length, 'A');
            for (char& c : inserted) {
                c = "ACGT"[rng() % 4];
            }
            g.insert(at, inserted);
        }
    }
    for (char& c : g) {
        if (rng() % 200 == 0) {
            c = "ACGT"[rng() % 4];
        }
    }
    const std::size_t offset = rng() % g.size();
    g = g.substr(offset) + g.substr(0, offset);
    return rng() % 2 == 1 ? reverseComplementOf(g) : g;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s RECORD.gb [GENOMES=1000] [THREADS=2]\n", argv[0]);
        return 2;
    }
    try {
        const int count = argc > 2 ? std::atoi(argv[2]) : 1000;
        const int threads = argc > 3 ? std::max(1, std::atoi(argv[3])) : 2;
        Genome genome;
        (void)readGenBankOrThrow(argv[1], genome, 8, 30);
        const std::string model(genome.sequence());
        const PlastomeStructure reference = findPlastomeStructure(model);
        if (!reference.found) {
            std::fprintf(stderr, "%s: no quadripartite structure\n", argv[1]);
            return 1;
        }
        std::vector<std::string> genomes;
        for (int i = 0; i < count; ++i) {
            genomes.push_back(synthetic(model, reference, static_cast<std::uint32_t>(i + 1)));
        }
        std::vector<std::string> rows(genomes.size());
        std::atomic<std::size_t> next{0};
        std::atomic<int> expected{0};
        const auto start = std::chrono::steady_clock::now();
        std::vector<std::thread> pool;
        for (int t = 0; t < threads; ++t) {
            pool.emplace_back([&] {
                for (std::size_t i = next++; i < genomes.size(); i = next++) {
                    const PlastomeStructure s = findPlastomeStructure(genomes[i]);
                    const NormalisedPlastome n = normalisePlastome(genomes[i], s);
                    std::ostringstream text;
                    TableWriter out(text, TableFormat::Tsv);
                    writePlastomeTableRow(out, "synthetic", std::to_string(i + 1), "", s);
                    out.flush();
                    rows[i] = text.str();
                    const auto near = [](std::int64_t a, std::int64_t b) { return std::llabs(a - b) <= 120; };
                    bool ok = s.found && !n.sequence.empty();
                    for (std::size_t part = 0; ok && part < 4; ++part) {
                        ok = near(s.regions[part].length, reference.regions[part].length);
                    }
                    expected += ok ? 1 : 0;
                }
            });
        }
        for (std::thread& t : pool) {
            t.join();
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf(
            "%d genomes of about %zu bases, %d threads: %.2f s, %.1f ms a genome, %d with the expected "
            "structure\n",
            count, model.size(), threads, seconds, 1000.0 * seconds / count, expected.load());
        return expected.load() == count ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
