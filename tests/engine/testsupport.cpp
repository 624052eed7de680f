#include "testsupport.h"

#include <string>

namespace tessaron::test {

bool loadSequence(Genome& genome, std::string_view bases, int minimum, int maximum)
{
    const std::string text(bases);
    if (!genome.allocate(static_cast<std::int64_t>(text.size()), 5, 15)) {
        return false;
    }
    genome.appendText(text.c_str());
    genome.setLengthBounds(minimum, maximum);
    return true;
}

std::shared_ptr<const SuffixIndex> indexOf(std::shared_ptr<const Genome> genome, int threads)
{
    auto built = buildIndex(std::move(genome), {}, threads);
    auto* index = std::get_if<std::shared_ptr<const SuffixIndex>>(&built);
    return index != nullptr ? std::move(*index) : nullptr;
}

std::shared_ptr<const SuffixIndex> indexSequence(std::string_view bases, int minimum, int maximum,
                                                 int threads)
{
    auto genome = std::make_shared<Genome>();
    if (!loadSequence(*genome, bases, minimum, maximum)) {
        return nullptr;
    }
    return indexOf(std::move(genome), threads);
}

const IndexNode* findNode(const SuffixIndex& index, std::string_view word)
{
    const IndexNode* node = &index.root();
    for (const char letter : word) {
        const int code = letterIndex(letter);
        if (code < 0) {
            return nullptr;
        }
        const NodeId child = node->children[static_cast<std::size_t>(code)];
        if (child == kNoNode) {
            return nullptr;
        }
        node = &index.node(child);
    }
    return node;
}

std::string repeatWord(const Genome& genome, const RepeatList& list, const Repeat& repeat)
{
    const auto pairs = list.pairs(repeat);
    if (pairs.empty()) {
        return {};
    }
    return genome.word(pairs.front().first, repeat.length);
}

std::vector<std::string> describeRepeats(const Genome& genome, const RepeatList& list)
{
    std::vector<std::string> lines;
    for (int slot = 0; slot < list.slotCount(); ++slot) {
        for (const Repeat& repeat : list.slot(slot)) {
            std::string line = repeatWord(genome, list, repeat);
            for (const RepeatPair& pair : list.pairs(repeat)) {
                line += " (" + std::to_string(pair.first) + "," + std::to_string(pair.second) + ")";
            }
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

}  // namespace tessaron::test
