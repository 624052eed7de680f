#include "views/repeattreemodel.h"

#include "views/qtstrings.h"

#include "engine/repeatkinds.h"

#include <algorithm>
#include <array>
#include <string_view>

using tessaron::Repeat;
using tessaron::RepeatKind;
using tessaron::RepeatList;

namespace {

constexpr int kKindLevel = 1;
constexpr int kLengthLevel = 2;
constexpr int kWordLevel = 3;

// Internal id layout: level in bits 0-1, kind in bits 2-3, length row above.
constexpr int kKindShift = 2;
constexpr int kRowShift = 4;

}  // namespace

RepeatTreeModel::RepeatTreeModel(const tessaron::Genome& genome, QObject* parent)
    : QAbstractItemModel(parent), genome_(genome)
{
}

void RepeatTreeModel::appendKind(const RepeatList& list)
{
    if (kindCount() >= tessaron::kRepeatKindCount) {
        return;
    }
    Branch branch;
    branch.list = &list;
    for (int slot = 0; slot < list.slotCount(); ++slot) {
        if (list.pairCount(slot) != 0) {
            branch.filledSlots.push_back(slot);
        }
    }
    const int row = kindCount();
    beginInsertRows(QModelIndex(), row, row);
    kinds_.push_back(std::move(branch));
    endInsertRows();
}

void RepeatTreeModel::clear()
{
    beginResetModel();
    kinds_.clear();
    endResetModel();
}

quintptr RepeatTreeModel::makeId(const Place& place)
{
    return static_cast<quintptr>(place.level) | (static_cast<quintptr>(place.kind) << kKindShift) |
           (static_cast<quintptr>(place.lengthRow) << kRowShift);
}

RepeatTreeModel::Place RepeatTreeModel::placeOf(const QModelIndex& index)
{
    if (!index.isValid()) {
        return {};
    }
    const quintptr id = index.internalId();
    return {static_cast<int>(id & 3U), static_cast<int>((id >> kKindShift) & 3U),
            static_cast<int>(id >> kRowShift)};
}

const std::vector<Repeat>* RepeatTreeModel::repeatsBelow(const Place& place, int lengthRow) const
{
    if (place.kind >= kindCount()) {
        return nullptr;
    }
    const Branch& branch = kinds_[static_cast<std::size_t>(place.kind)];
    if (lengthRow < 0 || lengthRow >= static_cast<int>(branch.filledSlots.size())) {
        return nullptr;
    }
    return &branch.list->slot(branch.filledSlots[static_cast<std::size_t>(lengthRow)]);
}

QModelIndex RepeatTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column != 0) {
        return {};
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
            const std::vector<Repeat>* repeats = repeatsBelow(above, parent.row());
            return repeats != nullptr && row < static_cast<int>(repeats->size())
                       ? createIndex(row, 0, makeId({kWordLevel, above.kind, parent.row()}))
                       : QModelIndex();
        }
        default:
            return {};
    }
}

QModelIndex RepeatTreeModel::parent(const QModelIndex& child) const
{
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
    const Place place = placeOf(parent);
    switch (place.level) {
        case 0:
            return kindCount();
        case kKindLevel:
            return static_cast<int>(kinds_[static_cast<std::size_t>(parent.row())].filledSlots.size());
        case kLengthLevel: {
            const std::vector<Repeat>* repeats = repeatsBelow(place, parent.row());
            return repeats != nullptr ? static_cast<int>(repeats->size()) : 0;
        }
        default:
            return 0;
    }
}

int RepeatTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QString RepeatTreeModel::wordText(const RepeatList& list, const Repeat& repeat) const
{
    // The word is spelt by the first copy of the first pair; a copy that runs
    // over the end of the sequence shows only the part before the end.
    const std::string_view sequence = genome_.sequence();
    const auto pairs = list.pairs(repeat);
    const auto first = static_cast<std::size_t>(pairs.empty() ? 0 : pairs.front().first);
    const std::string_view word = first < sequence.size()
                                      ? sequence.substr(first, static_cast<std::size_t>(repeat.length))
                                      : std::string_view();
    return QStringLiteral("%1 (%2)").arg(toQString(word)).arg(repeat.pairCount);
}

QVariant RepeatTreeModel::data(const QModelIndex& index, int role) const
{
    const Place place = placeOf(index);
    if (place.level == 0 || (role != Qt::DisplayRole && role != RepeatRole)) {
        return {};
    }
    if (place.level == kKindLevel) {
        if (role != Qt::DisplayRole) {
            return {};
        }
        const RepeatList& list = *kinds_[static_cast<std::size_t>(index.row())].list;
        return QStringLiteral("%1 (%2)")
            .arg(toQString(tessaron::kKinds[static_cast<std::size_t>(index.row())].label))
            .arg(list.total());
    }
    const Branch& branch = kinds_[static_cast<std::size_t>(place.kind)];
    if (place.level == kLengthLevel) {
        if (role != Qt::DisplayRole) {
            return {};
        }
        const int slot = branch.filledSlots[static_cast<std::size_t>(index.row())];
        return QStringLiteral("%1 bps (%2)")
            .arg(branch.list->minLength() + slot)
            .arg(branch.list->pairCount(slot));
    }
    const Repeat* repeat = repeatAt(index);
    if (repeat == nullptr) {
        return {};
    }
    if (role == RepeatRole) {
        return QVariant::fromValue(repeat);
    }
    return wordText(*branch.list, *repeat);
}

Qt::ItemFlags RepeatTreeModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

const Repeat* RepeatTreeModel::repeatAt(const QModelIndex& index) const
{
    const Place place = placeOf(index);
    if (place.level != kWordLevel || index.model() != this) {
        return nullptr;
    }
    const std::vector<Repeat>* repeats = repeatsBelow(place, place.lengthRow);
    if (repeats == nullptr || index.row() >= static_cast<int>(repeats->size())) {
        return nullptr;
    }
    return &(*repeats)[static_cast<std::size_t>(index.row())];
}

RepeatKind RepeatTreeModel::kindAt(const QModelIndex& index) const
{
    const Place place = placeOf(index);
    if (place.level == 0 || index.model() != this) {
        return RepeatKind::Direct;
    }
    return static_cast<RepeatKind>(place.level == kKindLevel ? index.row() : place.kind);
}

const RepeatList* RepeatTreeModel::listAt(const QModelIndex& index) const
{
    const Place place = placeOf(index);
    if (place.level == 0 || index.model() != this) {
        return nullptr;
    }
    const int kind = place.level == kKindLevel ? index.row() : place.kind;
    if (kind >= kindCount()) {
        return nullptr;
    }
    return kinds_[static_cast<std::size_t>(kind)].list;
}

QModelIndex RepeatTreeModel::lengthIndex(RepeatKind kind, int length) const
{
    const int kindRow = static_cast<int>(kind);
    if (kindRow < 0 || kindRow >= kindCount()) {
        return {};
    }
    const Branch& branch = kinds_[static_cast<std::size_t>(kindRow)];
    const int slot = length - branch.list->minLength();
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
