// The results tree's "Approximate repeats" branch: its items carry a flag in
// their internal id, with their level (1 the branch, 2 a kind, 3 a length
// class, 4 a pair), the kind and the class row of the item above.

#include "approximatebranch.h"
#include "views/qtstrings.h"
#include "views/repeattreemodel.h"

#include "engine/repeatkinds.h"
#include "report/approximatereport.h"

#include <QStringList>

namespace {

// The bit below the microsatellites' flag (repeattreemodel.cpp).
constexpr quintptr kFlag = quintptr{1} << (sizeof(quintptr) * 8 - 2);
constexpr int kBranchLevel = 1;
constexpr int kKindLevel = 2;
constexpr int kClassLevel = 3;
constexpr int kPairLevel = 4;
constexpr int kKindShift = 3;
constexpr int kClassShift = 5;

struct Item {
    int level = 0;
    int kind = 0;
    int classRow = 0;
};

quintptr idOf(const Item& item)
{
    return kFlag | static_cast<quintptr>(item.level) | (static_cast<quintptr>(item.kind) << kKindShift) |
           (static_cast<quintptr>(item.classRow) << kClassShift);
}

Item itemOf(const QModelIndex& index)
{
    const quintptr id = index.internalId() & ~kFlag;
    return {static_cast<int>(id & 7U), static_cast<int>((id >> kKindShift) & 3U),
            static_cast<int>(id >> kClassShift)};
}

QString classText(std::size_t lengthClass)
{
    return lengthClass < tessaron::kApproximateLengthClasses.size()
               ? toQString(tessaron::kApproximateLengthClasses[lengthClass])
               : QObject::tr("below 30");
}

}  // namespace

bool RepeatTreeModel::isApproximate(const QModelIndex& index)
{
    return index.isValid() && !isMicrosatelliteItem(index) && (index.internalId() & kFlag) != 0;
}

int RepeatTreeModel::approximateRow() const
{
    return kindCount() + (microsatellites_.empty() ? 0 : 1);
}

void RepeatTreeModel::setApproximate(std::shared_ptr<const tessaron::ApproximateAnalysis> analysis)
{
    if (approximate_) {
        beginRemoveRows(QModelIndex(), approximateRow(), approximateRow());
        approximate_.reset();
        endRemoveRows();
    }
    if (analysis) {
        beginInsertRows(QModelIndex(), approximateRow(), approximateRow());
        approximate_ = std::make_shared<const ApproximateBranch>(std::move(analysis));
        endInsertRows();
    }
}

const tessaron::ApproximateAnalysis* RepeatTreeModel::approximate() const
{
    return approximate_ ? &approximate_->analysis() : nullptr;
}

std::optional<std::pair<tessaron::RepeatKind, std::size_t>> RepeatTreeModel::approximatePairAt(
    const QModelIndex& index) const
{
    if (!isApproximate(index) || index.model() != this || !approximate_) {
        return std::nullopt;
    }
    const Item item = itemOf(index);
    const auto& pairs = approximate_->pairs(item.kind, item.classRow);
    if (item.level != kPairLevel || index.row() >= static_cast<int>(pairs.size())) {
        return std::nullopt;
    }
    return std::pair{static_cast<tessaron::RepeatKind>(item.kind),
                     pairs[static_cast<std::size_t>(index.row())]};
}

QModelIndex RepeatTreeModel::approximatePairIndex(tessaron::RepeatKind kind, std::size_t pair) const
{
    if (!approximate_) {
        return {};
    }
    const int k = static_cast<int>(kind);
    const auto rows = approximate_->rowsOf(k, pair);
    if (!rows) {
        return {};
    }
    return createIndex(rows->second, 0, idOf({kPairLevel, k, rows->first}));
}

QModelIndex RepeatTreeModel::approximateIndex(int row, const QModelIndex& parent) const
{
    if (!approximate_) {
        return {};
    }
    if (!parent.isValid()) {
        return createIndex(row, 0, idOf({kBranchLevel, 0, 0}));
    }
    const Item above = itemOf(parent);
    switch (above.level) {
        case kBranchLevel:
            return row < tessaron::kRepeatKindCount ? createIndex(row, 0, idOf({kKindLevel, row, 0}))
                                                    : QModelIndex();
        case kKindLevel:
            return row < static_cast<int>(approximate_->classes(parent.row()).size())
                       ? createIndex(row, 0, idOf({kClassLevel, parent.row(), 0}))
                       : QModelIndex();
        case kClassLevel:
            return row < static_cast<int>(approximate_->pairs(above.kind, parent.row()).size())
                       ? createIndex(row, 0, idOf({kPairLevel, above.kind, parent.row()}))
                       : QModelIndex();
        default:
            return {};
    }
}

QModelIndex RepeatTreeModel::approximateParent(const QModelIndex& child) const
{
    const Item item = itemOf(child);
    switch (item.level) {
        case kKindLevel:
            return createIndex(approximateRow(), 0, idOf({kBranchLevel, 0, 0}));
        case kClassLevel:
            return createIndex(item.kind, 0, idOf({kKindLevel, item.kind, 0}));
        case kPairLevel:
            return createIndex(item.classRow, 0, idOf({kClassLevel, item.kind, 0}));
        default:
            return {};
    }
}

int RepeatTreeModel::approximateRowCount(const QModelIndex& parent) const
{
    if (!approximate_) {
        return 0;
    }
    const Item item = itemOf(parent);
    switch (item.level) {
        case kBranchLevel:
            return tessaron::kRepeatKindCount;
        case kKindLevel:
            return static_cast<int>(approximate_->classes(parent.row()).size());
        case kClassLevel:
            return static_cast<int>(approximate_->pairs(item.kind, parent.row()).size());
        default:
            return 0;
    }
}

QVariant RepeatTreeModel::approximateData(const QModelIndex& index, int role) const
{
    if (!approximate_ || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    const Item item = itemOf(index);
    const bool tip = role == Qt::ToolTipRole;
    switch (item.level) {
        case kBranchLevel:
            return tip ? QVariant() : tr("Approximate repeats (%1)").arg(approximate_->total());
        case kKindLevel:
            return tip ? QVariant()
                       : QStringLiteral("%1 (%2)")
                             .arg(toQString(
                                 tessaron::kindInfo(static_cast<tessaron::RepeatKind>(index.row())).label))
                             .arg(approximate_->pairCount(index.row()));
        case kClassLevel: {
            const auto& classes = approximate_->classes(item.kind);
            if (tip || index.row() >= static_cast<int>(classes.size())) {
                return {};
            }
            return tr("%1 bps (%2)")
                .arg(classText(classes[static_cast<std::size_t>(index.row())]))
                .arg(approximate_->pairs(item.kind, index.row()).size());
        }
        default:
            break;
    }
    const auto chosen = approximatePairAt(index);
    if (!chosen) {
        return {};
    }
    const tessaron::ApproximatePair& pair = approximate_->analysis().of(chosen->first).pairs[chosen->second];
    if (!tip) {
        return tr("%1 bp, %2 %, E = %3")
            .arg(pair.length)
            .arg(toQString(tessaron::identityText(pair.identity)))
            .arg(toQString(tessaron::evalueText(pair.evalue)));
    }
    QString text =
        tr("%1 and %2, %3 mismatches").arg(pair.first + 1).arg(pair.second + 1).arg(pair.mismatches);
    if (features_) {
        const auto length = static_cast<int>(pair.length);
        text += QStringLiteral("\n%1 (%2) and %3 (%4)")
                    .arg(pair.first + 1)
                    .arg(toQString(features_->describe(pair.first, length)))
                    .arg(pair.second + 1)
                    .arg(toQString(features_->describe(pair.second, length)));
    }
    return text;
}
