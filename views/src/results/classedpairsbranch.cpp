#include "views/results/classedpairsbranch.h"

#include "views/base/qtstrings.h"

#include "engine/repeatkinds.h"
#include "report/approximatereport.h"

#include <QCoreApplication>

namespace {

// An item's id: its level (1 the branch, 2 a kind, 3 a length class, 4 a
// pair) in bits 0-2, the kind above in bits 3-4 and the class row above from bit 5.
constexpr int kBranchLevel = 1;
constexpr int kKindLevel = 2;
constexpr int kClassLevel = 3;
constexpr int kPairLevel = 4;
constexpr int kKindShift = 3;
constexpr int kClassShift = 5;

struct Place {
    int level = 0;
    int kind = 0;
    int classRow = 0;
};

quintptr idOf(const Place& place)
{
    return static_cast<quintptr>(place.level) | (static_cast<quintptr>(place.kind) << kKindShift) |
           (static_cast<quintptr>(place.classRow) << kClassShift);
}

Place placeOf(quintptr id)
{
    return {static_cast<int>(id & 7U), static_cast<int>((id >> kKindShift) & 3U),
            static_cast<int>(id >> kClassShift)};
}

QString classText(std::size_t lengthClass)
{
    return lengthClass < tessaron::kApproximateLengthClasses.size()
               ? toQString(tessaron::kApproximateLengthClasses[lengthClass])
               : QCoreApplication::translate("RepeatTreeModel", "below 30");
}

}  // namespace

QString ClassedPairsBranch::tr(const char* text)
{
    return QCoreApplication::translate("RepeatTreeModel", text);
}

void ClassedPairsBranch::setRows(std::optional<tessaron::ApproximateRows> rows)
{
    rows_ = std::move(rows);
}

std::optional<std::pair<tessaron::RepeatKind, std::size_t>> ClassedPairsBranch::pairAt(const Item& item) const
{
    const Place place = placeOf(item.id);
    if (!rows_ || place.level != kPairLevel) {
        return std::nullopt;
    }
    const auto& pairs = rows_->pairs(place.kind, place.classRow);
    if (item.row < 0 || item.row >= static_cast<int>(pairs.size())) {
        return std::nullopt;
    }
    return std::pair{static_cast<tessaron::RepeatKind>(place.kind),
                     pairs[static_cast<std::size_t>(item.row)]};
}

std::optional<ResultsBranch::Item> ClassedPairsBranch::pairItem(tessaron::RepeatKind kind,
                                                                std::size_t pair) const
{
    const int k = static_cast<int>(kind);
    const auto rows = rows_ ? rows_->rowsOf(k, pair) : std::nullopt;
    if (!rows) {
        return std::nullopt;
    }
    return Item{idOf({kPairLevel, k, rows->first}), rows->second, false};
}

std::optional<ResultsBranch::Item> ClassedPairsBranch::topItem() const
{
    return rows_ ? std::optional(Item{idOf({kBranchLevel, 0, 0}), 0, true}) : std::nullopt;
}

QString ClassedPairsBranch::title(int /*row*/) const
{
    return rows_ ? tr(titleText_).arg(rows_->total()) : QString();
}

int ClassedPairsBranch::rows(const Item& parent) const
{
    if (!rows_) {
        return 0;
    }
    if (parent.id == kRoot) {
        return 1;
    }
    const Place place = placeOf(parent.id);
    switch (place.level) {
        case kBranchLevel:
            return tessaron::kRepeatKindCount;
        case kKindLevel:
            return static_cast<int>(rows_->classes(parent.row).size());
        case kClassLevel:
            return static_cast<int>(rows_->pairs(place.kind, parent.row).size());
        default:
            return 0;
    }
}

quintptr ClassedPairsBranch::child(const Item& parent, int row) const
{
    if (parent.id == kRoot) {
        return idOf({kBranchLevel, 0, 0});
    }
    const Place place = placeOf(parent.id);
    switch (place.level) {
        case kBranchLevel:
            return idOf({kKindLevel, row, 0});
        case kKindLevel:
            return idOf({kClassLevel, parent.row, 0});
        default:
            return idOf({kPairLevel, place.kind, parent.row});
    }
}

ResultsBranch::Item ClassedPairsBranch::parent(quintptr id) const
{
    const Place place = placeOf(id);
    switch (place.level) {
        case kKindLevel:
            return {idOf({kBranchLevel, 0, 0}), 0, true};
        case kClassLevel:
            return {idOf({kKindLevel, place.kind, 0}), place.kind, false};
        case kPairLevel:
            return {idOf({kClassLevel, place.kind, 0}), place.classRow, false};
        default:
            return kRootItem;
    }
}

QVariant ClassedPairsBranch::data(const Item& item, int role) const
{
    if (!rows_ || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    const Place place = placeOf(item.id);
    const bool tip = role == Qt::ToolTipRole;
    switch (place.level) {
        case kBranchLevel:
            return tip ? QVariant() : title(0);
        case kKindLevel:
            return tip ? QVariant()
                       : QStringLiteral("%1 (%2)")
                             .arg(toQString(
                                 tessaron::kindInfo(static_cast<tessaron::RepeatKind>(item.row)).label))
                             .arg(rows_->pairCount(item.row));
        case kClassLevel: {
            const auto& classes = rows_->classes(place.kind);
            if (tip || item.row < 0 || item.row >= static_cast<int>(classes.size())) {
                return {};
            }
            return tr("%1 bps (%2)")
                .arg(classText(classes[static_cast<std::size_t>(item.row)]))
                .arg(rows_->pairs(place.kind, item.row).size());
        }
        default:
            break;
    }
    const auto chosen = pairAt(item);
    if (!chosen) {
        return {};
    }
    return pairText(chosen->first, chosen->second, tip);
}
