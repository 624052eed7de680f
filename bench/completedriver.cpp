// Whole-process driver of the complete search, for /usr/bin/time -v and for
// comparing with other repeat finders: loads a GenBank record or a seeded
// random sequence, runs the chosen kinds and prints per kind the pairs, the
// words and the longest pair.
//
//   tessaron_complete_driver (FILE.gb | random:BASES) [--min M] [--kinds dimc]
//                            [--counts] [--shared] [--fasta OUT]
//
// --shared builds one index for all the chosen kinds first and walks it.
// --fasta writes the sequence as FASTA (for the other tools) and stops.

#include "engine/completesearch.h"
#include "engine/genome.h"
#include "input/genbankreader.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

using tessaron::RepeatKind;

const char* kindName(RepeatKind kind)
{
    switch (kind) {
        case RepeatKind::Direct:
            return "direct";
        case RepeatKind::Inverted:
            return "inverted";
        case RepeatKind::Mirror:
            return "mirror";
        case RepeatKind::Complementary:
            return "complementary";
    }
    return "?";
}

}  // namespace

int main(int argc, char** argv)
{
    std::string input;
    int minimum = 8;
    std::string kinds = "dimc";
    bool counts = false;
    bool shared = false;
    std::string fasta;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--min" && i + 1 < argc) {
            minimum = std::atoi(argv[++i]);
        } else if (arg == "--kinds" && i + 1 < argc) {
            kinds = argv[++i];
        } else if (arg == "--shared") {
            shared = true;
        } else if (arg == "--counts") {
            counts = true;
        } else if (arg == "--fasta" && i + 1 < argc) {
            fasta = argv[++i];
        } else {
            input = arg;
        }
    }
    auto genome = std::make_shared<tessaron::Genome>();
    if (input.starts_with("random:")) {
        const long long bases = std::atoll(input.c_str() + 7);
        const long long quarter = bases / 4;
        if (!genome->makeRandom(quarter, quarter, quarter, bases - 3 * quarter, minimum, minimum + 22,
                                20240229)) {
            std::fprintf(stderr, "cannot make %lld bases\n", bases);
            return 1;
        }
    } else if (!tessaron::readGenBank(input, *genome, minimum, minimum + 22)) {
        std::fprintf(stderr, "cannot read %s\n", input.c_str());
        return 1;
    }
    if (!fasta.empty()) {
        std::ofstream out(fasta);
        out << ">" << (input.starts_with("random:") ? input : genome->title()) << "\n";
        for (std::size_t i = 0; i < genome->sequence().size(); i += 60) {
            out << genome->sequence().substr(i, 60) << "\n";
        }
        return 0;
    }
    std::printf("%d bases, minimum %d\n", genome->length(), genome->minLength());
    const auto detail = counts ? tessaron::SnapshotDetail::Counts : tessaron::SnapshotDetail::Words;
    std::vector<RepeatKind> chosen;
    for (const char letter : kinds) {
        chosen.push_back(letter == 'd'   ? RepeatKind::Direct
                         : letter == 'i' ? RepeatKind::Inverted
                         : letter == 'm' ? RepeatKind::Mirror
                                         : RepeatKind::Complementary);
    }
    std::shared_ptr<const tessaron::CompleteIndex> index;
    if (shared) {
        const auto start = std::chrono::steady_clock::now();
        index = std::get<std::shared_ptr<const tessaron::CompleteIndex>>(
            tessaron::buildCompleteIndex(genome, chosen));
        std::printf("index %8.3f s\n",
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    for (const RepeatKind kind : chosen) {
        const auto start = std::chrono::steady_clock::now();
        const auto result = index ? tessaron::completeSearch(*index, kind, detail)
                                  : tessaron::completeSearch(genome, kind, detail);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!std::holds_alternative<std::shared_ptr<const tessaron::RepeatSnapshot>>(result)) {
            std::printf("%-13s failed (%d)\n", kindName(kind),
                        static_cast<int>(std::get<tessaron::SearchFailure>(result)));
            continue;
        }
        const auto& snapshot = *std::get<std::shared_ptr<const tessaron::RepeatSnapshot>>(result);
        int longest = -1;
        for (int slot = snapshot.slotCount(); slot-- > 0;) {
            if (snapshot.pairCount(slot) > 0) {
                longest = slot;
                break;
            }
        }
        std::printf("%-13s %10lld pairs %8.3f s", kindName(kind), static_cast<long long>(snapshot.total()),
                    seconds);
        if (longest >= 0) {
            std::printf("  longest %d", snapshot.minLength() + longest);
            if (snapshot.hasWords()) {
                const auto& word = snapshot.words(longest).front();
                const auto pair = snapshot.pairs(longest, word, 0, 1).front();
                std::printf(" (%lld pairs) first at %d and %d (1-based)",
                            static_cast<long long>(snapshot.pairCount(longest)), pair.first + 1,
                            pair.second + 1);
            }
        }
        std::printf("\n");
    }
    return 0;
}
