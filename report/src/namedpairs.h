#pragma once

// The pairs of a snapshot with the name GFF3 and BED give them,
// KIND-LENGTH-R-P: R the word's number (from 1) among those of its length,
// P the pair's number within the word.

#include "engine/repeatkinds.h"
#include "engine/repeatsnapshot.h"

#include <charconv>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tessaron::naming {

inline void appendNumber(std::string& text, std::int64_t value)
{
    char digits[24];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    text.append(digits, result.ptr);
}

// Calls visit(word, length, name, pair, firstOfWord) for every pair, lengths
// and words in result order; `name` is valid during the call only.
template <typename Visit>
void forEachNamedPair(const RepeatSnapshot& snapshot, Visit&& visit)
{
    std::string name;
    for (int slot = 0; slot < snapshot.slotCount(); ++slot) {
        const int length = snapshot.minLength() + slot;
        std::int64_t wordNumber = 0;
        for (const RepeatWord& word : snapshot.words(slot)) {
            name.assign(kindName(snapshot.kind()));
            name += '-';
            appendNumber(name, length);
            name += '-';
            appendNumber(name, ++wordNumber);
            name += '-';
            const std::size_t prefix = name.size();
            std::int64_t pairNumber = 0;
            snapshot.forEachPairBatch(slot, word, [&](std::span<const RepeatPair> batch) {
                for (const RepeatPair& pair : batch) {
                    name.resize(prefix);
                    appendNumber(name, ++pairNumber);
                    visit(word, length, std::string_view(name), pair, pairNumber == 1);
                }
            });
        }
    }
}

}  // namespace tessaron::naming
