#include "session/repeatsubset.h"

#include <algorithm>
#include <utility>

namespace tessaron {

namespace {

// The pairs of a kept word, made by the results it was taken from.
class OriginalPairs : public RepeatSnapshot::Source {
public:
    explicit OriginalPairs(std::shared_ptr<const RepeatSnapshot> original) : original_(std::move(original)) {}

    void pairs(int slot, const RepeatWord& word, std::int64_t from, std::int64_t count,
               std::vector<RepeatPair>& out) const override
    {
        const std::vector<RepeatPair> made = original_->pairs(slot, word, from, count);
        out.insert(out.end(), made.begin(), made.end());
    }

private:
    std::shared_ptr<const RepeatSnapshot> original_;
};

}  // namespace

std::shared_ptr<const RepeatSnapshot> keepWords(std::shared_ptr<const RepeatSnapshot> snapshot,
                                                const WordChoice& kept)
{
    const int slots = snapshot->slotCount();
    std::vector<std::int64_t> counts(static_cast<std::size_t>(slots), 0);
    std::vector<RepeatWord> words;
    std::vector<std::size_t> begins{0};
    for (int slot = 0; slot < slots; ++slot) {
        const auto all = snapshot->words(slot);
        if (static_cast<std::size_t>(slot) < kept.size()) {
            std::vector<std::uint32_t> places = kept[static_cast<std::size_t>(slot)];
            std::sort(places.begin(), places.end());
            places.erase(std::unique(places.begin(), places.end()), places.end());
            for (const std::uint32_t place : places) {
                if (place < all.size()) {
                    words.push_back(all[place]);
                    counts[static_cast<std::size_t>(slot)] += all[place].pairCount;
                }
            }
        }
        begins.push_back(words.size());
    }
    auto genome = snapshot->sharedGenome();
    const RepeatKind kind = snapshot->kind();
    const int minLength = snapshot->minLength();
    return std::make_shared<const RepeatSnapshot>(std::move(genome), kind, minLength, std::move(counts),
                                                  std::move(words), std::move(begins),
                                                  std::make_unique<OriginalPairs>(std::move(snapshot)));
}

}  // namespace tessaron
