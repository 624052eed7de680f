#include "views/repeattreemodel.h"

#include "views/qtstrings.h"

#include <QStringList>

#include "engine/repeatkinds.h"
#include "report/wordtext.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

using tessaron::Repeat;
using tessaron::RepeatKind;
using tessaron::RepeatSnapshot;
using tessaron::RepeatWord;

namespace {

constexpr int kKindLevel = 1;
constexpr int kLengthLevel = 2;
constexpr int kWordLevel = 3;

// Internal id layout: level in bits 0-1, kind in bits 2-3, length row above.
constexpr int kKindShift = 2;
constexpr int kRowShift = 4;

// The microsatellites' items: the top bit set, then their level (1 the
// branch, 2 a unit length, 3 a class, 4 a microsatellite) in bits 0-2, the
// row of the unit length above in bits 3-5 and the row of the class above
// from bit 6.
constexpr quintptr kMicrosatelliteId = quintptr{1} << (sizeof(quintptr) * 8 - 1);
constexpr int kUnitShift = 3;
constexpr int kClassShift = 6;
constexpr int kBranchLevel = 1;
constexpr int kUnitLevel = 2;
constexpr int kClassLevel = 3;
constexpr int kMicrosatelliteLevel = 4;

quintptr microsatelliteId(int level, int unit = 0, int cls = 0)
{
    return kMicrosatelliteId | static_cast<quintptr>(level) | (static_cast<quintptr>(unit) << kUnitShift) |
           (static_cast<quintptr>(cls) << kClassShift);
}

int levelOf(quintptr id)
{
    return static_cast<int>(id & 7U);
}

int unitOf(quintptr id)
{
    return static_cast<int>((id >> kUnitShift) & 7U);
}

int classOf(quintptr id)
{
    return static_cast<int>((id & ~kMicrosatelliteId) >> kClassShift);
}

}  // namespace

RepeatTreeModel::RepeatTreeModel(QObject* parent) : QAbstractItemModel(parent)
{
}

void RepeatTreeModel::appendKind(std::shared_ptr<const RepeatSnapshot> snapshot)
{
    if (kindCount() >= tessaron::kRepeatKindCount || !snapshot) {
        return;
    }
    Branch branch;
    branch.snapshot = std::move(snapshot);
    applyFilter(branch);
    const int row = kindCount();
    beginInsertRows(QModelIndex(), row, row);
    kinds_.push_back(std::move(branch));
    endInsertRows();
}

void RepeatTreeModel::applyFilter(Branch& branch) const
{
    const RepeatSnapshot& snapshot = *branch.snapshot;
    const std::string_view sequence = snapshot.genome().sequence();
    branch.filledSlots.clear();
    branch.shownWords.clear();
    branch.shownPairs.clear();
    branch.shownTotal = 0;
    for (int slot = 0; slot < snapshot.slotCount(); ++slot) {
        const int length = snapshot.minLength() + slot;
        if (snapshot.pairCount(slot) == 0 || length < filter_.minLength || length > filter_.maxLength) {
            continue;
        }
        if (!filter_.filtersWords()) {
            branch.filledSlots.push_back(slot);
            branch.shownPairs.push_back(snapshot.pairCount(slot));
            branch.shownTotal += snapshot.pairCount(slot);
            continue;
        }
        std::int64_t pairs = 0;
        std::vector<std::uint32_t> passed;
        const auto words = snapshot.words(slot);
        for (std::size_t k = 0; k < words.size(); ++k) {
            const RepeatWord& word = words[k];
            if (word.pairCount < filter_.minPairs) {
                continue;
            }
            if (!filter_.contains.empty()) {
                const auto first = static_cast<std::size_t>(word.first);
                const std::string_view text = first < sequence.size()
                                                  ? sequence.substr(first, static_cast<std::size_t>(length))
                                                  : std::string_view();
                if (text.find(filter_.contains) == std::string_view::npos) {
                    continue;
                }
            }
            passed.push_back(static_cast<std::uint32_t>(k));
            pairs += word.pairCount;
        }
        if (!passed.empty()) {
            branch.filledSlots.push_back(slot);
            branch.shownWords.push_back(std::move(passed));
            branch.shownPairs.push_back(pairs);
            branch.shownTotal += pairs;
        }
    }
}

void RepeatTreeModel::setFilter(Filter filter)
{
    if (filter == filter_) {
        return;
    }
    beginResetModel();
    filter_ = std::move(filter);
    for (Branch& branch : kinds_) {
        applyFilter(branch);
    }
    endResetModel();
}

int RepeatTreeModel::wordRowCount(const Place& place, int lengthRow) const
{
    if (place.kind >= kindCount()) {
        return 0;
    }
    const Branch& branch = kinds_[static_cast<std::size_t>(place.kind)];
    if (!branch.shownWords.empty()) {
        return lengthRow >= 0 && lengthRow < static_cast<int>(branch.shownWords.size())
                   ? static_cast<int>(branch.shownWords[static_cast<std::size_t>(lengthRow)].size())
                   : 0;
    }
    return static_cast<int>(wordsBelow(place, lengthRow).size());
}

std::size_t RepeatTreeModel::wordOfRow(int kind, int lengthRow, int row) const
{
    const Branch& branch = kinds_[static_cast<std::size_t>(kind)];
    if (branch.shownWords.empty()) {
        return static_cast<std::size_t>(row);
    }
    return branch.shownWords[static_cast<std::size_t>(lengthRow)][static_cast<std::size_t>(row)];
}

void RepeatTreeModel::setMicrosatellites(std::shared_ptr<const tessaron::MicrosatelliteList> list)
{
    const int row = kindCount();
    if (!microsatellites_.empty()) {
        beginRemoveRows(QModelIndex(), row, row);
        microsatellites_ = MicrosatelliteBranch();
        endRemoveRows();
    }
    if (list) {
        beginInsertRows(QModelIndex(), row, row);
        microsatellites_ = MicrosatelliteBranch(std::move(list));
        endInsertRows();
    }
}

bool RepeatTreeModel::isMicrosatelliteItem(const QModelIndex& index)
{
    return index.isValid() && (index.internalId() & kMicrosatelliteId) != 0;
}

QModelIndex RepeatTreeModel::microsatelliteBranch() const
{
    return microsatellites_.empty() ? QModelIndex()
                                    : createIndex(kindCount(), 0, microsatelliteId(kBranchLevel));
}

const tessaron::Microsatellite* RepeatTreeModel::microsatelliteAt(const QModelIndex& index) const
{
    if (!isMicrosatelliteItem(index) || index.model() != this ||
        levelOf(index.internalId()) != kMicrosatelliteLevel) {
        return nullptr;
    }
    return microsatellites_.member(unitOf(index.internalId()), classOf(index.internalId()), index.row());
}

QModelIndex RepeatTreeModel::microsatelliteIndex(int row, const QModelIndex& parent) const
{
    if (!parent.isValid()) {
        return microsatelliteBranch();
    }
    const quintptr id = parent.internalId();
    switch (levelOf(id)) {
        case kBranchLevel:
            return row < microsatellites_.unitCount() ? createIndex(row, 0, microsatelliteId(kUnitLevel))
                                                      : QModelIndex();
        case kUnitLevel:
            return row < microsatellites_.classCount(parent.row())
                       ? createIndex(row, 0, microsatelliteId(kClassLevel, parent.row()))
                       : QModelIndex();
        case kClassLevel:
            return row < microsatellites_.memberCount(unitOf(id), parent.row())
                       ? createIndex(row, 0, microsatelliteId(kMicrosatelliteLevel, unitOf(id), parent.row()))
                       : QModelIndex();
        default:
            return {};
    }
}

int RepeatTreeModel::microsatelliteRows(const QModelIndex& parent) const
{
    const quintptr id = parent.internalId();
    switch (levelOf(id)) {
        case kBranchLevel:
            return microsatellites_.unitCount();
        case kUnitLevel:
            return microsatellites_.classCount(parent.row());
        case kClassLevel:
            return microsatellites_.memberCount(unitOf(id), parent.row());
        default:
            return 0;
    }
}

QModelIndex RepeatTreeModel::microsatelliteParent(const QModelIndex& child) const
{
    const quintptr id = child.internalId();
    switch (levelOf(id)) {
        case kUnitLevel:
            return microsatelliteBranch();
        case kClassLevel:
            return createIndex(unitOf(id), 0, microsatelliteId(kUnitLevel));
        case kMicrosatelliteLevel:
            return createIndex(classOf(id), 0, microsatelliteId(kClassLevel, unitOf(id)));
        default:
            return {};
    }
}

QString RepeatTreeModel::microsatelliteText(const QModelIndex& index) const
{
    const quintptr id = index.internalId();
    switch (levelOf(id)) {
        case kBranchLevel:
            return microsatellites_.branchText();
        case kUnitLevel:
            return microsatellites_.unitText(index.row());
        case kClassLevel:
            return microsatellites_.classText(unitOf(id), index.row());
        case kMicrosatelliteLevel:
            return microsatellites_.memberText(unitOf(id), classOf(id), index.row());
        default:
            return {};
    }
}

void RepeatTreeModel::clear()
{
    beginResetModel();
    kinds_.clear();
    microsatellites_ = MicrosatelliteBranch();
    features_.reset();
    endResetModel();
}

quintptr RepeatTreeModel::makeId(const Place& place)
{
    return static_cast<quintptr>(place.level) | (static_cast<quintptr>(place.kind) << kKindShift) |
           (static_cast<quintptr>(place.lengthRow) << kRowShift);
}

RepeatTreeModel::Place RepeatTreeModel::placeOf(const QModelIndex& index)
{
    if (!index.isValid() || isMicrosatelliteItem(index)) {
        return {};
    }
    const quintptr id = index.internalId();
    return {static_cast<int>(id & 3U), static_cast<int>((id >> kKindShift) & 3U),
            static_cast<int>(id >> kRowShift)};
}

std::span<const RepeatWord> RepeatTreeModel::wordsBelow(const Place& place, int lengthRow, int* slot) const
{
    if (place.kind >= kindCount()) {
        return {};
    }
    const Branch& branch = kinds_[static_cast<std::size_t>(place.kind)];
    if (lengthRow < 0 || lengthRow >= static_cast<int>(branch.filledSlots.size())) {
        return {};
    }
    const int filled = branch.filledSlots[static_cast<std::size_t>(lengthRow)];
    if (slot != nullptr) {
        *slot = filled;
    }
    return branch.snapshot->words(filled);
}

QModelIndex RepeatTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column != 0) {
        return {};
    }
    if (isMicrosatelliteItem(parent) ||
        (!parent.isValid() && row == kindCount() && !microsatellites_.empty())) {
        return microsatelliteIndex(row, parent);
    }
    const Place above = placeOf(parent);
    switch (above.level) {
        case 0:
            return row < kindCount() ? createIndex(row, 0, makeId({kKindLevel, 0, 0})) : QModelIndex();
        case kKindLevel: {
            const Branch& branch = kinds_[static_cast<std::size_t>(parent.row())];
            return row < static_cast<int>(branch.filledSlots.size())
                       ? createIndex(row, 0, makeId({kLengthLevel, parent.row(), 0}))
                       : QModelIndex();
        }
        case kLengthLevel: {
            return row < wordRowCount(above, parent.row())
                       ? createIndex(row, 0, makeId({kWordLevel, above.kind, parent.row()}))
                       : QModelIndex();
        }
        default:
            return {};
    }
}

QModelIndex RepeatTreeModel::parent(const QModelIndex& child) const
{
    if (isMicrosatelliteItem(child)) {
        return microsatelliteParent(child);
    }
    const Place place = placeOf(child);
    switch (place.level) {
        case kLengthLevel:
            return createIndex(place.kind, 0, makeId({kKindLevel, 0, 0}));
        case kWordLevel:
            return createIndex(place.lengthRow, 0, makeId({kLengthLevel, place.kind, 0}));
        default:
            return {};
    }
}

int RepeatTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0) {
        return 0;
    }
    if (isMicrosatelliteItem(parent)) {
        return microsatelliteRows(parent);
    }
    const Place place = placeOf(parent);
    switch (place.level) {
        case 0:
            return kindCount() + (microsatellites_.empty() ? 0 : 1);
        case kKindLevel:
            return static_cast<int>(kinds_[static_cast<std::size_t>(parent.row())].filledSlots.size());
        case kLengthLevel:
            return wordRowCount(place, parent.row());
        default:
            return 0;
    }
}

int RepeatTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QString RepeatTreeModel::wordText(const RepeatSnapshot& snapshot, int slot, const RepeatWord& word)
{
    // The word is spelt by the first copy of the first pair; a copy that runs
    // over the end of the sequence shows only the part before the end.
    const std::string_view sequence = snapshot.genome().sequence();
    const auto first = static_cast<std::size_t>(word.first);
    std::string_view text =
        first < sequence.size()
            ? sequence.substr(first, static_cast<std::size_t>(snapshot.minLength() + slot))
            : std::string_view();
    // Only the complete search finds words longer than any maximum; they are
    // shown by their beginning, so that the tree stays narrow.
    return QStringLiteral("%1 (%2)").arg(toQString(tessaron::shownWord(text))).arg(word.pairCount);
}

QVariant RepeatTreeModel::data(const QModelIndex& index, int role) const
{
    if (isMicrosatelliteItem(index)) {
        return role == Qt::DisplayRole ? QVariant(microsatelliteText(index)) : QVariant();
    }
    const Place place = placeOf(index);
    if (place.level == kWordLevel && role == Qt::ToolTipRole) {
        return featureTip(index);
    }
    if (place.level == 0 || (role != Qt::DisplayRole && role != RepeatRole)) {
        return {};
    }
    if (place.level == kKindLevel) {
        if (role != Qt::DisplayRole) {
            return {};
        }
        // The counts of the results, or under a filter those of what it shows.
        const Branch& kind = kinds_[static_cast<std::size_t>(index.row())];
        return QStringLiteral("%1 (%2)")
            .arg(toQString(tessaron::kindInfo(kind.snapshot->kind()).label))
            .arg(filter_ == Filter{} ? kind.snapshot->total() : kind.shownTotal);
    }
    const Branch& branch = kinds_[static_cast<std::size_t>(place.kind)];
    if (place.level == kLengthLevel) {
        if (role != Qt::DisplayRole) {
            return {};
        }
        const auto row = static_cast<std::size_t>(index.row());
        return QStringLiteral("%1 bps (%2)")
            .arg(branch.snapshot->minLength() + branch.filledSlots[row])
            .arg(branch.shownPairs[row]);
    }
    const RepeatWord* word = repeatAt(index);
    if (word == nullptr) {
        return {};
    }
    if (role == RepeatRole) {
        return QVariant::fromValue(word);
    }
    return wordText(*branch.snapshot, slotAt(index), *word);
}

QString RepeatTreeModel::featureTip(const QModelIndex& index) const
{
    // A word's pairs are made only for its tip, and at most this many named.
    constexpr std::size_t kTipPairs = 12;
    const RepeatWord* word = repeatAt(index);
    const RepeatSnapshot* snapshot = snapshotAt(index);
    if (!features_ || word == nullptr || snapshot == nullptr) {
        return {};
    }
    const int length = snapshot->minLength() + slotAt(index);
    const std::vector<tessaron::RepeatPair> pairs = snapshot->pairs(slotAt(index), *word);
    QStringList lines;
    for (std::size_t i = 0; i < pairs.size() && i < kTipPairs; ++i) {
        lines << QStringLiteral("%1 (%2) and %3 (%4)")
                     .arg(pairs[i].first + 1)
                     .arg(toQString(features_->describe(pairs[i].first, length)))
                     .arg(pairs[i].second + 1)
                     .arg(toQString(features_->describe(pairs[i].second, length)));
    }
    if (pairs.size() > kTipPairs) {
        lines << tr("... and %1 more pairs").arg(pairs.size() - kTipPairs);
    }
    return lines.join(QLatin1Char('\n'));
}

Qt::ItemFlags RepeatTreeModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

const RepeatWord* RepeatTreeModel::repeatAt(const QModelIndex& index) const
{
    const Place place = placeOf(index);
    if (place.level != kWordLevel || index.model() != this) {
        return nullptr;
    }
    if (index.row() >= wordRowCount(place, place.lengthRow)) {
        return nullptr;
    }
    return &wordsBelow(place, place.lengthRow)[wordOfRow(place.kind, place.lengthRow, index.row())];
}

int RepeatTreeModel::slotAt(const QModelIndex& index) const
{
    const Place place = placeOf(index);
    if (index.model() != this || (place.level != kWordLevel && place.level != kLengthLevel)) {
        return -1;
    }
    int slot = -1;
    (void)wordsBelow(place, place.level == kWordLevel ? place.lengthRow : index.row(), &slot);
    return slot;
}

RepeatKind RepeatTreeModel::kindAt(const QModelIndex& index) const
{
    const Place place = placeOf(index);
    if (place.level == 0 || index.model() != this) {
        return RepeatKind::Direct;
    }
    const int kind = place.level == kKindLevel ? index.row() : place.kind;
    return kind < kindCount() ? kinds_[static_cast<std::size_t>(kind)].snapshot->kind() : RepeatKind::Direct;
}

const RepeatSnapshot* RepeatTreeModel::snapshotAt(const QModelIndex& index) const
{
    const Place place = placeOf(index);
    if (place.level == 0 || index.model() != this) {
        return nullptr;
    }
    const int kind = place.level == kKindLevel ? index.row() : place.kind;
    if (kind >= kindCount()) {
        return nullptr;
    }
    return kinds_[static_cast<std::size_t>(kind)].snapshot.get();
}

std::optional<Repeat> RepeatTreeModel::describedRepeatAt(const QModelIndex& index) const
{
    const RepeatWord* word = repeatAt(index);
    const RepeatSnapshot* snapshot = snapshotAt(index);
    if (word == nullptr || snapshot == nullptr) {
        return std::nullopt;
    }
    return Repeat{snapshot->transformed(), snapshot->minLength() + slotAt(index),
                  static_cast<std::int32_t>(std::min<std::int64_t>(word->pairCount, INT32_MAX)), 0};
}

std::vector<tessaron::RepeatPair> RepeatTreeModel::pairsAt(const QModelIndex& index) const
{
    const RepeatWord* word = repeatAt(index);
    const RepeatSnapshot* snapshot = snapshotAt(index);
    if (word == nullptr || snapshot == nullptr) {
        return {};
    }
    return snapshot->pairs(slotAt(index), *word);
}

QString RepeatTreeModel::copiedText(const QModelIndex& index) const
{
    const RepeatWord* word = repeatAt(index);
    const RepeatSnapshot* snapshot = snapshotAt(index);
    if (word == nullptr || snapshot == nullptr) {
        return index.data().toString();
    }
    const std::vector<tessaron::RepeatPair> pairs = pairsAt(index);
    QString text = toQString(snapshot->genome().word(word->first, snapshot->minLength() + slotAt(index)));
    text += QLatin1Char('\n');
    for (const tessaron::RepeatPair& pair : pairs) {
        text += QStringLiteral("%1\t%2\n").arg(pair.first + 1).arg(pair.second + 1);
    }
    return text;
}

QModelIndex RepeatTreeModel::lengthIndex(RepeatKind kind, int length) const
{
    const int kindRow = static_cast<int>(kind);
    if (kindRow < 0 || kindRow >= kindCount()) {
        return {};
    }
    const Branch& branch = kinds_[static_cast<std::size_t>(kindRow)];
    const int slot = length - branch.snapshot->minLength();
    const auto found = std::lower_bound(branch.filledSlots.begin(), branch.filledSlots.end(), slot);
    if (found == branch.filledSlots.end() || *found != slot) {
        return {};
    }
    return createIndex(static_cast<int>(found - branch.filledSlots.begin()), 0,
                       makeId({kLengthLevel, kindRow, 0}));
}

QModelIndex RepeatTreeModel::repeatIndex(RepeatKind kind, int length, int row) const
{
    const QModelIndex lengthItem = lengthIndex(kind, length);
    return lengthItem.isValid() ? index(row, 0, lengthItem) : QModelIndex();
}
