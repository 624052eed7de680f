#include "report/reports.h"

#include "report/wordtext.h"

#include <cstdio>
#include <span>
#include <string>

namespace tessaron {

void writeLayout(TableWriter& out, const SheetLayout& layout)
{
    for (const auto& row : layout.grid()) {
        for (const std::string& cell : row) {
            out.cell(cell);
        }
        out.endRow();
    }
}

void writeInfo(TableWriter& out, const Genome& genome)
{
    std::array<std::int64_t, 4> counts{};
    for (const char base : genome.sequence()) {
        const int letter = letterIndex(base);
        if (letter >= 0) {
            ++counts[static_cast<std::size_t>(letter)];
        }
    }
    out.cell("title");
    out.cell(genome.title());
    out.endRow();
    out.cell("length");
    out.cell(std::int64_t{genome.length()});
    out.endRow();
    for (std::size_t letter = 0; letter < kAlphabet.size(); ++letter) {
        out.cell(std::string_view(&kAlphabet[letter], 1));
        out.cell(counts[letter]);
        out.endRow();
    }
}

void writeRecordHeading(TableWriter& out, std::string_view seqid, bool first)
{
    if (!first) {
        out.endRow();
    }
    out.cell("seqid");
    out.cell(seqid);
    out.endRow();
}

void writePairsHeader(TableWriter& out, bool withFeatures, bool withSeqid)
{
    if (withSeqid) {
        out.cell("seqid");
    }
    for (const char* name : {"kind", "length", "word", "first", "second"}) {
        out.cell(name);
    }
    if (withFeatures) {
        out.cell("first_features");
        out.cell("second_features");
    }
    out.endRow();
}

void writePairs(TableWriter& out, const RepeatSnapshot& snapshot, const FeatureIndex* features,
                std::string_view seqid)
{
    std::string names;
    const std::string_view kind = kindName(snapshot.kind());
    for (int slot = 0; slot < snapshot.slotCount(); ++slot) {
        const int length = snapshot.minLength() + slot;
        for (const RepeatWord& repeat : snapshot.words(slot)) {
            // Every first copy of a repeat is the same word: the one at its first pair.
            const std::string word = shownWord(snapshot.genome(), repeat.first, length);
            snapshot.forEachPairBatch(slot, repeat, [&](std::span<const RepeatPair> batch) {
                for (const RepeatPair& pair : batch) {
                    if (!seqid.empty()) {
                        out.cell(seqid);
                    }
                    out.cell(kind);
                    out.cell(std::int64_t{length});
                    out.cell(word);
                    out.cell(std::int64_t{pair.first} + 1);
                    out.cell(std::int64_t{pair.second} + 1);
                    if (features != nullptr) {
                        features->describe(pair.first, length, names);
                        out.cell(names);
                        features->describe(pair.second, length, names);
                        out.cell(names);
                    }
                    out.endRow();
                }
            });
        }
    }
}

std::string htmlColor(std::uint32_t color)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", color & 0xFFu, (color >> 8) & 0xFFu,
                  (color >> 16) & 0xFFu);
    return text;
}

void writeFeatures(TableWriter& out, const FeatureList& features)
{
    for (const char* name : {"name", "start", "end", "colour"}) {
        out.cell(name);
    }
    out.endRow();
    for (const Feature& feature : features) {
        out.cell(feature.name);
        out.cell(std::int64_t{feature.start} + 1);
        out.cell(std::int64_t{feature.end} + 1);
        out.cell(htmlColor(feature.color));
        out.endRow();
    }
}

void writeMotif(TableWriter& out, const PositionList& starts)
{
    out.cell("start");
    out.endRow();
    for (const PositionLink start : starts) {
        out.cell(std::int64_t{start} + 1);
        out.endRow();
    }
    out.cell("total");
    out.cell(static_cast<std::int64_t>(starts.size()));
    out.endRow();
}

}  // namespace tessaron
