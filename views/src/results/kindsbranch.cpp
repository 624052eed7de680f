#include "views/results/kindsbranch.h"

#include "views/base/qtstrings.h"

#include "engine/repeatkinds.h"
#include "report/wordtext.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <string_view>

using tessaron::Repeat;
using tessaron::RepeatKind;
using tessaron::RepeatSnapshot;
using tessaron::RepeatWord;

namespace {

constexpr int kKindLevel = 1;
constexpr int kLengthLevel = 2;
constexpr int kWordLevel = 3;
// An id: the level in bits 0-1, the kind in bits 2-3, the length row above.
constexpr int kKindShift = 2;
constexpr int kRowShift = 4;

// The word is spelt by the first copy of the first pair; a copy that runs
// over the end of the sequence shows only the part before the end.
std::string_view wordOf(const RepeatSnapshot& snapshot, int slot, const RepeatWord& word)
{
    const std::string_view sequence = snapshot.genome().sequence();
    const auto first = static_cast<std::size_t>(word.first);
    return first < sequence.size()
               ? sequence.substr(first, static_cast<std::size_t>(snapshot.minLength() + slot))
               : std::string_view();
}

}  // namespace

quintptr KindsBranch::idOf(const Place& place)
{
    return static_cast<quintptr>(place.level) | (static_cast<quintptr>(place.kind) << kKindShift) |
           (static_cast<quintptr>(place.lengthRow) << kRowShift);
}

KindsBranch::Place KindsBranch::placeOf(quintptr id)
{
    return {static_cast<int>(id & 3U), static_cast<int>((id >> kKindShift) & 3U),
            static_cast<int>(id >> kRowShift)};
}

void KindsBranch::append(std::shared_ptr<const RepeatSnapshot> snapshot)
{
    if (kindCount() >= tessaron::kRepeatKindCount || !snapshot) {
        return;
    }
    Kind& kind = kinds_.emplace_back();
    kind.snapshot = std::move(snapshot);
    filter(kind);
}

void KindsBranch::show(const tessaron::SessionState& state)
{
    kinds_.clear();
    for (const RepeatKind kind : tessaron::kKindOrder) {
        if (!state.analysis.of(kind)) {
            break;  // the kinds after one that ran out of memory were not searched
        }
        append(state.analysis.of(kind));
    }
}

void KindsBranch::applyFilter(const ResultsFilter& filter)
{
    filter_ = filter;
    for (Kind& kind : kinds_) {
        this->filter(kind);
    }
}

void KindsBranch::filter(Kind& kind) const
{
    const RepeatSnapshot& snapshot = *kind.snapshot;
    kind.filledSlots.clear();
    kind.shownWords.clear();
    kind.shownPairs.clear();
    kind.shownTotal = 0;
    for (int slot = 0; slot < snapshot.slotCount(); ++slot) {
        const int length = snapshot.minLength() + slot;
        if (snapshot.pairCount(slot) == 0 || length < filter_.minLength || length > filter_.maxLength) {
            continue;
        }
        if (!filter_.filtersWords()) {
            kind.filledSlots.push_back(slot);
            kind.shownPairs.push_back(snapshot.pairCount(slot));
            kind.shownTotal += snapshot.pairCount(slot);
            continue;
        }
        std::int64_t pairs = 0;
        std::vector<std::uint32_t> passed;
        const auto words = snapshot.words(slot);
        for (std::size_t k = 0; k < words.size(); ++k) {
            if (words[k].pairCount < filter_.minPairs ||
                (!filter_.contains.empty() &&
                 wordOf(snapshot, slot, words[k]).find(filter_.contains) == std::string_view::npos)) {
                continue;
            }
            passed.push_back(static_cast<std::uint32_t>(k));
            pairs += words[k].pairCount;
        }
        if (!passed.empty()) {
            kind.filledSlots.push_back(slot);
            kind.shownWords.push_back(std::move(passed));
            kind.shownPairs.push_back(pairs);
            kind.shownTotal += pairs;
        }
    }
}

std::span<const RepeatWord> KindsBranch::wordsBelow(int kind, int lengthRow, int* slot) const
{
    if (kind < 0 || kind >= kindCount()) {
        return {};
    }
    const Kind& shown = kinds_[static_cast<std::size_t>(kind)];
    if (lengthRow < 0 || lengthRow >= static_cast<int>(shown.filledSlots.size())) {
        return {};
    }
    const int filled = shown.filledSlots[static_cast<std::size_t>(lengthRow)];
    if (slot != nullptr) {
        *slot = filled;
    }
    return shown.snapshot->words(filled);
}

int KindsBranch::wordRows(int kind, int lengthRow) const
{
    if (kind < 0 || kind >= kindCount()) {
        return 0;
    }
    const Kind& shown = kinds_[static_cast<std::size_t>(kind)];
    if (!shown.shownWords.empty()) {
        return lengthRow >= 0 && lengthRow < static_cast<int>(shown.shownWords.size())
                   ? static_cast<int>(shown.shownWords[static_cast<std::size_t>(lengthRow)].size())
                   : 0;
    }
    return static_cast<int>(wordsBelow(kind, lengthRow).size());
}

int KindsBranch::rows(const Item& parent) const
{
    if (parent.id == kRoot) {
        return kindCount();
    }
    const Place place = placeOf(parent.id);
    switch (place.level) {
        case kKindLevel:
            return parent.row < kindCount()
                       ? static_cast<int>(kinds_[static_cast<std::size_t>(parent.row)].filledSlots.size())
                       : 0;
        case kLengthLevel:
            return wordRows(place.kind, parent.row);
        default:
            return 0;
    }
}

quintptr KindsBranch::child(const Item& parent, int /*row*/) const
{
    if (parent.id == kRoot) {
        return idOf({kKindLevel, 0, 0});
    }
    const Place place = placeOf(parent.id);
    return place.level == kKindLevel ? idOf({kLengthLevel, parent.row, 0})
                                     : idOf({kWordLevel, place.kind, parent.row});
}

ResultsBranch::Item KindsBranch::parent(quintptr id) const
{
    const Place place = placeOf(id);
    switch (place.level) {
        case kLengthLevel:
            return {idOf({kKindLevel, 0, 0}), place.kind, true};
        case kWordLevel:
            return {idOf({kLengthLevel, place.kind, 0}), place.lengthRow, false};
        default:
            return kRootItem;
    }
}

const KindsBranch::Kind* KindsBranch::kindOf(const Item& item) const
{
    const Place place = placeOf(item.id);
    const int kind = place.level == kKindLevel ? item.row : place.kind;
    return place.level != 0 && kind >= 0 && kind < kindCount() ? &kinds_[static_cast<std::size_t>(kind)]
                                                               : nullptr;
}

QString KindsBranch::title(int row) const
{
    if (row < 0 || row >= kindCount()) {
        return {};
    }
    // The counts of the results, or under a filter those of what it shows.
    const Kind& kind = kinds_[static_cast<std::size_t>(row)];
    return QStringLiteral("%1 (%2)")
        .arg(toQString(tessaron::kindInfo(kind.snapshot->kind()).label))
        .arg(filter_ == ResultsFilter{} ? kind.snapshot->total() : kind.shownTotal);
}

QVariant KindsBranch::data(const Item& item, int role) const
{
    const Place place = placeOf(item.id);
    if (place.level == kWordLevel && role == Qt::ToolTipRole) {
        return featureTip(item);
    }
    const Kind* kind = kindOf(item);
    if (kind == nullptr || role != Qt::DisplayRole || place.level == kKindLevel) {
        return {};
    }
    if (place.level == kLengthLevel) {
        const auto row = static_cast<std::size_t>(item.row);
        return row < kind->filledSlots.size()
                   ? QVariant(QStringLiteral("%1 bps (%2)")
                                  .arg(kind->snapshot->minLength() + kind->filledSlots[row])
                                  .arg(kind->shownPairs[row]))
                   : QVariant();
    }
    const RepeatWord* word = repeatAt(item);
    if (word == nullptr) {
        return {};
    }
    // Only the complete search finds words longer than any maximum; they are
    // shown by their beginning, so that the tree stays narrow.
    return QStringLiteral("%1 (%2)")
        .arg(toQString(tessaron::shownWord(wordOf(*kind->snapshot, slotAt(item), *word))))
        .arg(word->pairCount);
}

QString KindsBranch::featureTip(const Item& item) const
{
    // A word's pairs are made only for its tip, and at most this many named.
    constexpr std::size_t kTipPairs = 12;
    const RepeatWord* word = repeatAt(item);
    const RepeatSnapshot* snapshot = snapshotAt(item);
    if (features() == nullptr || word == nullptr || snapshot == nullptr) {
        return {};
    }
    const int length = snapshot->minLength() + slotAt(item);
    const std::vector<tessaron::RepeatPair> pairs = snapshot->pairs(slotAt(item), *word);
    QStringList lines;
    for (std::size_t i = 0; i < pairs.size() && i < kTipPairs; ++i) {
        lines << QStringLiteral("%1 (%2) and %3 (%4)")
                     .arg(pairs[i].first + 1)
                     .arg(toQString(features()->describe(pairs[i].first, length)))
                     .arg(pairs[i].second + 1)
                     .arg(toQString(features()->describe(pairs[i].second, length)));
    }
    if (pairs.size() > kTipPairs) {
        lines << QCoreApplication::translate("RepeatTreeModel", "... and %1 more pairs")
                     .arg(pairs.size() - kTipPairs);
    }
    return lines.join(QLatin1Char('\n'));
}

const RepeatWord* KindsBranch::repeatAt(const Item& item) const
{
    const Place place = placeOf(item.id);
    if (place.level != kWordLevel || item.row < 0 || item.row >= wordRows(place.kind, place.lengthRow)) {
        return nullptr;
    }
    const Kind& kind = kinds_[static_cast<std::size_t>(place.kind)];
    const auto row = static_cast<std::size_t>(item.row);
    const std::size_t word =
        kind.shownWords.empty() ? row : kind.shownWords[static_cast<std::size_t>(place.lengthRow)][row];
    return &wordsBelow(place.kind, place.lengthRow)[word];
}

int KindsBranch::slotAt(const Item& item) const
{
    const Place place = placeOf(item.id);
    if (place.level != kWordLevel && place.level != kLengthLevel) {
        return -1;
    }
    int slot = -1;
    (void)wordsBelow(place.kind, place.level == kWordLevel ? place.lengthRow : item.row, &slot);
    return slot;
}

RepeatKind KindsBranch::kindAt(const Item& item) const
{
    const Kind* kind = kindOf(item);
    return kind != nullptr ? kind->snapshot->kind() : RepeatKind::Direct;
}

const RepeatSnapshot* KindsBranch::snapshotAt(const Item& item) const
{
    const Kind* kind = kindOf(item);
    return kind != nullptr ? kind->snapshot.get() : nullptr;
}

std::optional<Repeat> KindsBranch::describedRepeatAt(const Item& item) const
{
    const RepeatWord* word = repeatAt(item);
    const RepeatSnapshot* snapshot = snapshotAt(item);
    if (word == nullptr || snapshot == nullptr) {
        return std::nullopt;
    }
    return Repeat{snapshot->transformed(), snapshot->minLength() + slotAt(item),
                  static_cast<std::int32_t>(std::min<std::int64_t>(word->pairCount, INT32_MAX)), 0};
}

std::vector<tessaron::RepeatPair> KindsBranch::pairsAt(const Item& item) const
{
    const RepeatWord* word = repeatAt(item);
    const RepeatSnapshot* snapshot = snapshotAt(item);
    return word != nullptr && snapshot != nullptr ? snapshot->pairs(slotAt(item), *word)
                                                  : std::vector<tessaron::RepeatPair>{};
}

QString KindsBranch::copiedText(const Item& item) const
{
    const RepeatWord* word = repeatAt(item);
    const RepeatSnapshot* snapshot = snapshotAt(item);
    if (word == nullptr || snapshot == nullptr) {
        return {};
    }
    QString text = toQString(snapshot->genome().word(word->first, snapshot->minLength() + slotAt(item)));
    text += QLatin1Char('\n');
    for (const tessaron::RepeatPair& pair : pairsAt(item)) {
        text += QStringLiteral("%1\t%2\n").arg(pair.first + 1).arg(pair.second + 1);
    }
    return text;
}

std::optional<ResultsBranch::Item> KindsBranch::lengthItem(RepeatKind kind, int length) const
{
    const int row = static_cast<int>(kind);
    if (row < 0 || row >= kindCount()) {
        return std::nullopt;
    }
    const Kind& shown = kinds_[static_cast<std::size_t>(row)];
    const int slot = length - shown.snapshot->minLength();
    const auto found = std::lower_bound(shown.filledSlots.begin(), shown.filledSlots.end(), slot);
    if (found == shown.filledSlots.end() || *found != slot) {
        return std::nullopt;
    }
    return Item{idOf({kLengthLevel, row, 0}), static_cast<int>(found - shown.filledSlots.begin()), false};
}
