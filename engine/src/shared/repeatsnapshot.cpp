#include "engine/repeatsnapshot.h"

#include <algorithm>
#include <limits>
#include <new>

namespace tessaron {

RepeatSnapshot::RepeatSnapshot(std::shared_ptr<const Genome> genome, RepeatKind kind, int minLength,
                               std::vector<std::int64_t> pairCounts, std::vector<RepeatWord> words,
                               std::vector<std::size_t> slotBegins, std::unique_ptr<const Source> source)
    : genome_(std::move(genome)),
      kind_(kind),
      minLength_(minLength),
      pairCounts_(std::move(pairCounts)),
      words_(std::move(words)),
      slotBegins_(std::move(slotBegins)),
      source_(std::move(source))
{
    for (const std::int64_t count : pairCounts_) {
        total_ += count;
    }
}

std::span<const RepeatWord> RepeatSnapshot::words(int slot) const
{
    if (!hasWords()) {
        return {};
    }
    const auto s = static_cast<std::size_t>(slot);
    return {words_.data() + slotBegins_[s], slotBegins_[s + 1] - slotBegins_[s]};
}

std::vector<RepeatPair> RepeatSnapshot::pairs(int slot, const RepeatWord& word, std::int64_t from,
                                              std::int64_t count) const
{
    std::vector<RepeatPair> out;
    from = std::clamp<std::int64_t>(from, 0, word.pairCount);
    if (count < 0 || count > word.pairCount - from) {
        count = word.pairCount - from;
    }
    if (count > 0 && source_) {
        out.reserve(static_cast<std::size_t>(count));
        source_->pairs(slot, word, from, count, out);
    }
    return out;
}

void RepeatSnapshot::forEachPairBatch(int slot, const RepeatWord& word,
                                      const std::function<void(std::span<const RepeatPair>)>& visit) const
{
    constexpr std::int64_t kBatch = 1 << 14;
    for (std::int64_t from = 0; from < word.pairCount; from += kBatch) {
        const auto batch = pairs(slot, word, from, kBatch);
        visit(batch);
    }
}

std::variant<std::unique_ptr<RepeatList>, SearchFailure> materialize(const RepeatSnapshot& snapshot)
{
    return runStep({}, [&]() -> std::variant<std::unique_ptr<RepeatList>, SearchFailure> {
        auto list = std::make_unique<RepeatList>(snapshot.minLength(), snapshot.slotCount());
        // A stored list counts its pairs in 32 bits.
        const std::int64_t limit =
            std::min<std::int64_t>(snapshot.genome().pairLimit(), std::numeric_limits<std::int32_t>::max());
        for (int slot = 0; slot < snapshot.slotCount(); ++slot) {
            for (const RepeatWord& word : snapshot.words(slot)) {
                if (static_cast<std::int64_t>(list->storedPairs()) + word.pairCount > limit) {
                    return SearchFailure::PairLimit;
                }
                list->beginRepeat();
                for (const RepeatPair& pair : snapshot.pairs(slot, word)) {
                    list->addPair(pair.first, pair.second);
                }
                list->endRepeat(snapshot.minLength() + slot, snapshot.transformed());
            }
        }
        return list;
    });
}

}  // namespace tessaron
