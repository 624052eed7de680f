// Prints every pair of one kind of repeat in a genome, as the complete
// search finds them: each maximal repeat at its full length, 1-based starts.
//
//   repeat-pairs [FILE [KIND [MIN]]]
//
// FILE is GenBank, FASTA or plain text (without it, a small FASTA text is
// read); KIND is direct (the default), inverted, mirror or complementary;
// MIN the shortest length (default 8).

#include "engine/genome.h"
#include "engine/repeatkinds.h"
#include "engine/repeatsnapshot.h"
#include "engine/searchmethod.h"
#include "input/readerror.h"
#include "input/records.h"

#include <array>
#include <iostream>
#include <memory>
#include <string>
#include <variant>

int main(int argc, char** argv)
{
    using namespace tessaron;
    const std::string kindName = argc > 2 ? argv[2] : "direct";
    const auto kind = kindNamed(kindName);
    const int minimum = argc > 3 ? std::stoi(argv[3]) : 8;
    if (!kind) {
        std::cerr << "not a kind of repeat: " << kindName << '\n';
        return 2;
    }
    try {
        const InputFile file = argc > 1 ? InputFile::read(argv[1])
                                        : InputFile::fromBytes(">example\nACGTTGCAAGGTACCATTGACGTTGCAAGG\n");
        auto genome = std::make_shared<Genome>();
        file.load(0, *genome, minimum, minimum + 1);

        // The index the complete search walks, then its search of the kind.
        const std::array<RepeatKind, 1> kinds{*kind};
        auto prepared = prepareSearch(genome, SearchMethod::Complete, kinds);
        if (std::holds_alternative<SearchFailure>(prepared)) {
            std::cerr << "out of memory\n";
            return 1;
        }
        auto found = std::get<PreparedSearch>(prepared).run(*kind);
        if (std::holds_alternative<SearchFailure>(found)) {
            std::cerr << "the search gave no result (out of memory, or too many pairs)\n";
            return 1;
        }
        const RepeatSnapshot& pairs = *std::get<std::shared_ptr<const RepeatSnapshot>>(found);

        std::cout << "length\tfirst\tsecond\n";
        for (int slot = 0; slot < pairs.slotCount(); ++slot) {
            for (const RepeatWord& word : pairs.words(slot)) {
                for (const RepeatPair& pair : pairs.pairs(slot, word)) {
                    std::cout << pairs.minLength() + slot << '\t' << pair.first + 1 << '\t' << pair.second + 1
                              << '\n';
                }
            }
        }
    } catch (const InputError& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}
