#pragma once

// Search results made by hand: a snapshot whose pairs are read back from a
// list the test built, so that models can be tried on exact small cases.

#include "engine/genome.h"
#include "engine/repeatlist.h"
#include "engine/repeatsnapshot.h"

#include <memory>
#include <vector>

class HandListSource final : public tessaron::RepeatSnapshot::Source {
public:
    explicit HandListSource(std::shared_ptr<const tessaron::RepeatList> list) : list_(std::move(list)) {}

    void pairs(int slot, const tessaron::RepeatWord& word, std::int64_t from, std::int64_t count,
               std::vector<tessaron::RepeatPair>& out) const override
    {
        const auto all = list_->pairs(list_->slot(slot)[word.handle]);
        out.insert(out.end(), all.begin() + from, all.begin() + from + count);
    }

private:
    std::shared_ptr<const tessaron::RepeatList> list_;
};

// The snapshot of a hand-made list of a kind over a genome.
inline std::shared_ptr<const tessaron::RepeatSnapshot> snapshotOf(
    std::shared_ptr<const tessaron::Genome> genome, tessaron::RepeatKind kind,
    std::shared_ptr<const tessaron::RepeatList> list)
{
    std::vector<std::int64_t> counts;
    std::vector<tessaron::RepeatWord> words;
    std::vector<std::size_t> begins;
    for (int slot = 0; slot < list->slotCount(); ++slot) {
        counts.push_back(list->pairCount(slot));
        begins.push_back(words.size());
        const auto& repeats = list->slot(slot);
        for (std::size_t i = 0; i < repeats.size(); ++i) {
            words.push_back(
                {list->pairs(repeats[i]).front().first, static_cast<std::uint32_t>(i), repeats[i].pairCount});
        }
    }
    begins.push_back(words.size());
    const int minLength = list->minLength();
    return std::make_shared<const tessaron::RepeatSnapshot>(
        std::move(genome), kind, minLength, std::move(counts), std::move(words), std::move(begins),
        std::make_unique<HandListSource>(std::move(list)));
}
