#include "views/results/familiesbranch.h"

#include "views/base/qtstrings.h"

#include "engine/repeatkinds.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

// An item's id: its level (1 the branch, 2 a family, 3 a copy) in bits 0-1,
// for a copy the family above from bit 2.
constexpr int kBranchLevel = 1;
constexpr int kFamilyLevel = 2;
constexpr int kCopyLevel = 3;
constexpr int kFamilyShift = 2;

int levelOf(quintptr id)
{
    return static_cast<int>(id & 3U);
}

std::size_t familyOf(quintptr id)
{
    return static_cast<std::size_t>(id >> kFamilyShift);
}

QString tr(const char* text)
{
    return QCoreApplication::translate("RepeatTreeModel", text);
}

}  // namespace

void FamiliesBranch::setAnalysis(std::shared_ptr<const tessaron::GappedAnalysis> analysis)
{
    analysis_ = analysis && analysis->families ? std::move(analysis) : nullptr;
}

const std::vector<tessaron::RepeatFamily>* FamiliesBranch::families() const
{
    return analysis_ ? &*analysis_->families : nullptr;
}

std::optional<std::size_t> FamiliesBranch::familyAt(const Item& item) const
{
    if (!analysis_) {
        return std::nullopt;
    }
    std::size_t family = 0;
    switch (levelOf(item.id)) {
        case kFamilyLevel:
            family = static_cast<std::size_t>(item.row);
            break;
        case kCopyLevel:
            family = familyOf(item.id);
            break;
        default:
            return std::nullopt;
    }
    return item.row >= 0 && family < analysis_->families->size() ? std::optional(family) : std::nullopt;
}

std::optional<ResultsBranch::Item> FamiliesBranch::familyItem(std::size_t family) const
{
    if (!analysis_ || family >= analysis_->families->size()) {
        return std::nullopt;
    }
    return Item{kFamilyLevel, static_cast<int>(family), false};
}

std::optional<ResultsBranch::Item> FamiliesBranch::topItem() const
{
    return analysis_ ? std::optional(Item{kBranchLevel, 0, true}) : std::nullopt;
}

QString FamiliesBranch::title(int /*row*/) const
{
    return analysis_ ? tr("Families (%1)").arg(analysis_->families->size()) : QString();
}

int FamiliesBranch::rows(const Item& parent) const
{
    if (!analysis_) {
        return 0;
    }
    if (parent.id == kRoot) {
        return 1;
    }
    switch (levelOf(parent.id)) {
        case kBranchLevel:
            return static_cast<int>(analysis_->families->size());
        case kFamilyLevel:
            return familyAt(parent)
                       ? static_cast<int>((*analysis_->families)[*familyAt(parent)].copies.size())
                       : 0;
        default:
            return 0;
    }
}

quintptr FamiliesBranch::child(const Item& parent, int /*row*/) const
{
    if (parent.id == kRoot) {
        return kBranchLevel;
    }
    return levelOf(parent.id) == kBranchLevel
               ? kFamilyLevel
               : kCopyLevel | (static_cast<quintptr>(parent.row) << kFamilyShift);
}

ResultsBranch::Item FamiliesBranch::parent(quintptr id) const
{
    switch (levelOf(id)) {
        case kFamilyLevel:
            return {kBranchLevel, 0, true};
        case kCopyLevel:
            return {kFamilyLevel, static_cast<int>(familyOf(id)), false};
        default:
            return kRootItem;
    }
}

QVariant FamiliesBranch::data(const Item& item, int role) const
{
    if (!analysis_ || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) {
        return {};
    }
    const bool tip = role == Qt::ToolTipRole;
    if (levelOf(item.id) == kBranchLevel) {
        return tip ? QVariant() : title(0);
    }
    const auto number = familyAt(item);
    if (!number) {
        return {};
    }
    const tessaron::RepeatFamily& family = (*analysis_->families)[*number];
    if (levelOf(item.id) == kFamilyLevel) {
        QStringList kinds;
        for (const tessaron::RepeatKind kind : tessaron::kKindOrder) {
            if (family.kinds[static_cast<std::size_t>(kind)]) {
                kinds << toQString(tessaron::kindInfo(kind).name);
            }
        }
        if (tip) {
            return tr("%1 pairs link its copies").arg(family.pairs);
        }
        const QString lengths = family.shortest == family.longest
                                    ? QString::number(family.longest)
                                    : QStringLiteral("%1-%2").arg(family.shortest).arg(family.longest);
        return tr("Family %1: %2 copies, %3 bp (%4)")
            .arg(*number + 1)
            .arg(family.copies.size())
            .arg(lengths)
            .arg(kinds.join(QStringLiteral(", ")));
    }
    const auto row = static_cast<std::size_t>(item.row);
    if (row >= family.copies.size()) {
        return {};
    }
    const tessaron::FamilyCopy& copy = family.copies[row];
    const std::int64_t n = analysis_->genome->length();
    const std::int64_t last = n > 0 ? (copy.start + copy.length - 1) % n : 0;
    if (tip) {
        return features() != nullptr
                   ? QVariant(toQString(features()->describe(copy.start, static_cast<int>(copy.length))))
                   : QVariant();
    }
    QString text = QStringLiteral("%1..%2 (%3)")
                       .arg(copy.start + 1)
                       .arg(last + 1)
                       .arg(toQString(tessaron::orientationName(copy.orientation)));
    if (row == family.representative) {
        text += tr(", representative");
    }
    return text;
}
