#pragma once

// The results tree's four kinds: a kind ("direct repeats (%d)": its total), a
// length that has pairs ("%d bps (%d)": the length and its pairs) and a
// repeated word ("%s (%d)": the word and its pairs); under a filter, the
// counts of the kinds and the lengths are those of the words shown. Items are
// made when the view asks for them, so a genome with hundreds of thousands of
// repeats fills the tree at once; the pairs of a word are made only when
// someone asks for them (its tip names the features of its first pairs).

#include "views/results/resultsbranch.h"

#include "engine/repeatlist.h"
#include "engine/repeatsnapshot.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class KindsBranch : public ResultsBranch {
public:
    // Adds the next kind (direct, inverted, mirror, then complementary)
    // after the others. The snapshot must have words.
    void append(std::shared_ptr<const tessaron::RepeatSnapshot> snapshot);
    [[nodiscard]] int kindCount() const { return static_cast<int>(kinds_.size()); }

    // The word of a word item; null for any other item.
    [[nodiscard]] const tessaron::RepeatWord* repeatAt(const Item& item) const;
    // The length slot of a word or length item; -1 for any other.
    [[nodiscard]] int slotAt(const Item& item) const;
    // The results that an item belongs to.
    [[nodiscard]] const tessaron::RepeatSnapshot* snapshotAt(const Item& item) const;
    // A word item as the engine's repeat (length, pair count, kind).
    [[nodiscard]] std::optional<tessaron::Repeat> describedRepeatAt(const Item& item) const;
    // Every pair of a word item, in order, made now; empty for any other item.
    [[nodiscard]] std::vector<tessaron::RepeatPair> pairsAt(const Item& item) const;
    // The kind an item belongs to (Direct for none).
    [[nodiscard]] tessaron::RepeatKind kindAt(const Item& item) const;
    // A word item's whole word on a line, then a line per pair with the
    // 1-based positions of its two copies, tab-separated; empty for any other item.
    [[nodiscard]] QString copiedText(const Item& item) const;
    // The item of a length of a kind, if it shows.
    [[nodiscard]] std::optional<Item> lengthItem(tessaron::RepeatKind kind, int length) const;

    [[nodiscard]] QString title(int row) const override;
    [[nodiscard]] int rows(const Item& parent) const override;
    [[nodiscard]] quintptr child(const Item& parent, int row) const override;
    [[nodiscard]] Item parent(quintptr id) const override;
    [[nodiscard]] QVariant data(const Item& item, int role) const override;
    [[nodiscard]] bool filterable() const override { return true; }
    void applyFilter(const ResultsFilter& filter) override;
    void show(const tessaron::SessionState& state) override;
    void clear() override { kinds_.clear(); }

private:
    struct Kind {
        std::shared_ptr<const tessaron::RepeatSnapshot> snapshot;
        std::vector<int> filledSlots;  // the slots that hold pairs and pass the filter, in length order
        // Per shown slot, the words that pass the filter; none when every word shows.
        std::vector<std::vector<std::uint32_t>> shownWords;
        // The pairs of the words shown, per shown slot and in all.
        std::vector<std::int64_t> shownPairs;
        std::int64_t shownTotal = 0;
    };
    // What an item's id tells: its level (1 kind, 2 length, 3 word), and
    // for lower levels the kind and the length row above them.
    struct Place {
        int level = 0;
        int kind = 0;
        int lengthRow = 0;
    };
    static quintptr idOf(const Place& place);
    static Place placeOf(quintptr id);
    void filter(Kind& kind) const;
    [[nodiscard]] const Kind* kindOf(const Item& item) const;
    [[nodiscard]] int wordRows(int kind, int lengthRow) const;
    // The words of a length row of a kind, with their slot; empty when out of range.
    [[nodiscard]] std::span<const tessaron::RepeatWord> wordsBelow(int kind, int lengthRow,
                                                                   int* slot = nullptr) const;
    [[nodiscard]] QString featureTip(const Item& item) const;

    std::vector<Kind> kinds_;
    ResultsFilter filter_;
};
