#pragma once

#include "engine/repeatlist.h"
#include "engine/repeatsnapshot.h"
#include "report/featureindex.h"
#include "views/microsatellitebranch.h"

#include <QAbstractItemModel>

#include <climits>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The results tree over the search results of one analysis, three levels
// deep: a kind ("direct repeats (%d)": its total), a length that has pairs
// ("%d bps (%d)": the length and its pairs) and a repeated word ("%s (%d)":
// the word and its pairs); under a filter, the counts of the kinds and the
// lengths are those of the words shown. Items are made when the view asks for them, so a
// genome with hundreds of thousands of repeats fills the tree at once; the
// pairs of a word are made only when someone asks for them.
//
// The model shares the results, and through them the genome that spells the
// words, until clear().
//
// After the kinds, a "Microsatellites (%d)" branch shows the microsatellites:
// a unit length ("mononucleotide (%d)"), a class ("A/T (%d)"), then each one
// by start ("(A)15 at 112", ", compound 3" for a member of one). The filter
// leaves it as it is.
class RepeatTreeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    // The word of a word item, as a `const tessaron::RepeatWord*`; no value
    // on kind and length items.
    static constexpr int RepeatRole = Qt::UserRole;

    // What the tree shows: the lengths in a range, the words with at least
    // some pairs and whose text contains some letters. Kinds always show;
    // lengths without a word that passes are hidden.
    struct Filter {
        int minLength = 0;
        int maxLength = INT_MAX;
        std::int64_t minPairs = 0;
        std::string contains;  // upper case
        [[nodiscard]] bool filtersWords() const { return minPairs > 1 || !contains.empty(); }
        friend bool operator==(const Filter&, const Filter&) = default;
    };

    explicit RepeatTreeModel(QObject* parent = nullptr);

    // Shows only what passes `filter` (a reset of the model); the results stay.
    void setFilter(Filter filter);
    [[nodiscard]] const Filter& filter() const { return filter_; }

    // Adds the branch of the next kind (direct, inverted, mirror, then
    // complementary) after the others. The snapshot must have words.
    void appendKind(std::shared_ptr<const tessaron::RepeatSnapshot> snapshot);
    // The features that a word item's tooltip names for each copy of its
    // pairs ("12 (ND1) and 3310 (tRNA-Leu / ND5)"); null for none. clear() drops them.
    void setFeatures(std::shared_ptr<const tessaron::FeatureIndex> features)
    {
        features_ = std::move(features);
    }
    // Shows the microsatellites' branch after the kinds, or removes it (null);
    // the kinds' items stay.
    void setMicrosatellites(std::shared_ptr<const tessaron::MicrosatelliteList> list);
    // The microsatellite of an item of the branch's last level; null for any other.
    [[nodiscard]] const tessaron::Microsatellite* microsatelliteAt(const QModelIndex& index) const;
    // The branch's item, or an invalid index without one.
    [[nodiscard]] QModelIndex microsatelliteBranch() const;
    // Removes every item.
    void clear();
    [[nodiscard]] int kindCount() const { return static_cast<int>(kinds_.size()); }

    // The word of a word item; null for any other index.
    [[nodiscard]] const tessaron::RepeatWord* repeatAt(const QModelIndex& index) const;
    // The length slot of a word or length item; -1 for any other index.
    [[nodiscard]] int slotAt(const QModelIndex& index) const;
    // The results that an item belongs to; null for an invalid index.
    [[nodiscard]] const tessaron::RepeatSnapshot* snapshotAt(const QModelIndex& index) const;
    // A word item as the engine's repeat (length, pair count, kind); no
    // value for any other index.
    [[nodiscard]] std::optional<tessaron::Repeat> describedRepeatAt(const QModelIndex& index) const;
    // Every pair of a word item, in order, made now; empty for any other index.
    [[nodiscard]] std::vector<tessaron::RepeatPair> pairsAt(const QModelIndex& index) const;
    // What copying an item puts on the clipboard: a word item's whole word on
    // a line, then a line per pair with the 1-based positions of its two
    // copies, tab-separated; any other item's text.
    [[nodiscard]] QString copiedText(const QModelIndex& index) const;
    // The kind an item belongs to (Direct for an invalid index).
    [[nodiscard]] tessaron::RepeatKind kindAt(const QModelIndex& index) const;
    // The word item of the `row`-th repeat of a length of a kind, or an
    // invalid index: a way to the items without walking the view.
    [[nodiscard]] QModelIndex repeatIndex(tessaron::RepeatKind kind, int length, int row) const;
    [[nodiscard]] QModelIndex lengthIndex(tessaron::RepeatKind kind, int length) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Branch {
        std::shared_ptr<const tessaron::RepeatSnapshot> snapshot;
        std::vector<int> filledSlots;  // the slots that hold pairs and pass the filter, in length order
        // Per shown slot, the words that pass the filter; none when every word shows.
        std::vector<std::vector<std::uint32_t>> shownWords;
        // The pairs of the words shown, per shown slot and in all.
        std::vector<std::int64_t> shownPairs;
        std::int64_t shownTotal = 0;
    };
    // What an item's internal id tells: its level (1 kind, 2 length, 3 word),
    // and for lower levels the kind and the length row above them.
    struct Place {
        int level = 0;
        int kind = 0;
        int lengthRow = 0;
    };
    // Fills a branch's shown slots and words from its snapshot under filter_.
    void applyFilter(Branch& branch) const;
    // Rows below a length row, and the word a row stands for.
    [[nodiscard]] int wordRowCount(const Place& place, int lengthRow) const;
    [[nodiscard]] std::size_t wordOfRow(int kind, int lengthRow, int row) const;
    static quintptr makeId(const Place& place);
    static Place placeOf(const QModelIndex& index);
    // The words of the length row of a kind, with their slot; empty when out of range.
    [[nodiscard]] std::span<const tessaron::RepeatWord> wordsBelow(const Place& place, int lengthRow,
                                                                   int* slot = nullptr) const;
    [[nodiscard]] static QString wordText(const tessaron::RepeatSnapshot& snapshot, int slot,
                                          const tessaron::RepeatWord& word);

    [[nodiscard]] QString featureTip(const QModelIndex& index) const;

    // The microsatellites' items carry kMicrosatelliteId and their level in
    // bits 0-2, the unit row in bits 3-5 and the class row above (see
    // repeattreemodel.cpp).
    [[nodiscard]] static bool isMicrosatelliteItem(const QModelIndex& index);
    [[nodiscard]] QModelIndex microsatelliteIndex(int row, const QModelIndex& parent) const;
    [[nodiscard]] int microsatelliteRows(const QModelIndex& parent) const;
    [[nodiscard]] QModelIndex microsatelliteParent(const QModelIndex& child) const;
    [[nodiscard]] QString microsatelliteText(const QModelIndex& index) const;

    std::vector<Branch> kinds_;
    MicrosatelliteBranch microsatellites_;
    std::shared_ptr<const tessaron::FeatureIndex> features_;
    Filter filter_;
};

Q_DECLARE_METATYPE(const tessaron::RepeatWord*)
