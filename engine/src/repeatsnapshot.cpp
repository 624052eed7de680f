#include "engine/repeatsnapshot.h"

#include <algorithm>
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

namespace {

// Pairs read back from a stored list: the word's handle is its place in its slot.
class StoredListSource final : public RepeatSnapshot::Source {
public:
    explicit StoredListSource(std::unique_ptr<RepeatList> list) : list_(std::move(list)) {}

    void pairs(int slot, const RepeatWord& word, std::int64_t from, std::int64_t count,
               std::vector<RepeatPair>& out) const override
    {
        const Repeat& repeat = list_->slot(slot)[word.handle];
        const auto all = list_->pairs(repeat);
        out.insert(out.end(), all.begin() + from, all.begin() + from + count);
    }

private:
    std::unique_ptr<RepeatList> list_;
};

}  // namespace

SnapshotResult searchRepeats(std::shared_ptr<const Genome> genome, RepeatKind kind, SnapshotDetail detail,
                             const SearchControl& control)
{
    if (control.stopRequested()) {
        return SearchFailure::Cancelled;
    }
    try {
        auto list = kind == RepeatKind::Direct ? genome->findDirectRepeats() : genome->findRepeats(kind);
        if (!list) {
            return SearchFailure::OutOfMemory;
        }
        if (control.stopRequested()) {
            return SearchFailure::Cancelled;
        }
        std::vector<std::int64_t> counts;
        std::vector<RepeatWord> words;
        std::vector<std::size_t> begins;
        for (int slot = 0; slot < list->slotCount(); ++slot) {
            counts.push_back(list->pairCount(slot));
            if (detail == SnapshotDetail::Words) {
                begins.push_back(words.size());
                const auto& repeats = list->slot(slot);
                for (std::size_t i = 0; i < repeats.size(); ++i) {
                    words.push_back(RepeatWord{list->pairs(repeats[i]).front().first, static_cast<std::uint32_t>(i),
                                               repeats[i].pairCount});
                }
            }
        }
        if (detail == SnapshotDetail::Words) {
            begins.push_back(words.size());
        }
        std::unique_ptr<const RepeatSnapshot::Source> source;
        if (detail == SnapshotDetail::Words) {
            source = std::make_unique<StoredListSource>(std::move(list));
        }
        const int minLength = genome->minLength();
        control.report(1.0);
        return std::make_shared<const RepeatSnapshot>(std::move(genome), kind, minLength, std::move(counts),
                                                      std::move(words), std::move(begins), std::move(source));
    } catch (const std::bad_alloc&) {
        return SearchFailure::OutOfMemory;
    }
}

std::variant<std::unique_ptr<RepeatList>, SearchFailure> materialize(const RepeatSnapshot& snapshot)
{
    try {
        auto list = std::make_unique<RepeatList>(snapshot.minLength(), snapshot.slotCount());
        const std::int64_t limit = snapshot.genome().pairLimit();
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
    } catch (const std::bad_alloc&) {
        return SearchFailure::OutOfMemory;
    }
}

}  // namespace tessaron
