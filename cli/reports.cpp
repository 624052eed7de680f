#include "cli/reports.h"

#include "cli/tsvwriter.h"

#include <span>
#include <string>

namespace tessaron {

RepeatCounts countsOf(const RepeatList& list)
{
    RepeatCounts counts;
    counts.minLength = list.minLength();
    counts.total = list.total();
    for (int slot = 0; slot < list.slotCount(); ++slot) {
        counts.perSlot.push_back(list.pairCount(slot));
    }
    return counts;
}

std::string_view kindName(RepeatKind kind)
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
    return "unknown";
}

void writeSummary(std::ostream& out, const RepeatCountTable& counts)
{
    TsvWriter writer(out);
    writer.text("length");
    for (const RepeatKind kind : kKindOrder) {
        writer.tab();
        writer.text(kindName(kind));
    }
    writer.endRow();

    // All four searches ran with the same settings, so their slots line up.
    const RepeatCounts& direct = counts[static_cast<std::size_t>(RepeatKind::Direct)];
    for (std::size_t slot = 0; slot < direct.perSlot.size(); ++slot) {
        writer.number(direct.minLength + static_cast<std::int64_t>(slot));
        for (const RepeatKind kind : kKindOrder) {
            writer.tab();
            writer.number(counts[static_cast<std::size_t>(kind)].perSlot[slot]);
        }
        writer.endRow();
    }
    writer.text("total");
    for (const RepeatKind kind : kKindOrder) {
        writer.tab();
        writer.number(counts[static_cast<std::size_t>(kind)].total);
    }
    writer.endRow();
    writer.flush();
}

void writeInfo(std::ostream& out, const Genome& genome)
{
    std::array<std::int64_t, 4> counts{};
    for (const char base : genome.sequence()) {
        const int letter = letterIndex(base);
        if (letter >= 0) {
            ++counts[static_cast<std::size_t>(letter)];
        }
    }
    TsvWriter writer(out);
    writer.text("title\t");
    writer.text(genome.title());
    writer.endRow();
    writer.text("length\t");
    writer.number(genome.length());
    writer.endRow();
    for (std::size_t letter = 0; letter < kAlphabet.size(); ++letter) {
        writer.text(std::string_view(&kAlphabet[letter], 1));
        writer.tab();
        writer.number(counts[letter]);
        writer.endRow();
    }
    writer.flush();
}

void writePairsHeader(std::ostream& out)
{
    out << "kind\tlength\tword\tfirst\tsecond\n";
}

void writePairs(std::ostream& out, const Genome& genome, RepeatKind kind, const RepeatList& list)
{
    TsvWriter writer(out);
    for (int slot = 0; slot < list.slotCount(); ++slot) {
        for (const Repeat& repeat : list.slot(slot)) {
            // Every first copy of a repeat is the same word: the one at its first pair.
            const std::span<const RepeatPair> pairs = list.pairs(repeat);
            const std::string word = genome.word(pairs.front().first, repeat.length);
            for (const RepeatPair& pair : pairs) {
                writer.text(kindName(kind));
                writer.tab();
                writer.number(repeat.length);
                writer.tab();
                writer.text(word);
                writer.tab();
                writer.number(std::int64_t{pair.first} + 1);
                writer.tab();
                writer.number(std::int64_t{pair.second} + 1);
                writer.endRow();
            }
        }
    }
    writer.flush();
}

}  // namespace tessaron
