#include "views/results/microsatellitebranch.h"

#include "views/base/qtstrings.h"

#include <QCoreApplication>

#include <array>
#include <map>
#include <utility>

namespace {

constexpr std::array<const char*, tessaron::kMaxUnitLength> kUnitNames{
    QT_TRANSLATE_NOOP("RepeatTreeModel", "mononucleotide"),
    QT_TRANSLATE_NOOP("RepeatTreeModel", "dinucleotide"),
    QT_TRANSLATE_NOOP("RepeatTreeModel", "trinucleotide"),
    QT_TRANSLATE_NOOP("RepeatTreeModel", "tetranucleotide"),
    QT_TRANSLATE_NOOP("RepeatTreeModel", "pentanucleotide"),
    QT_TRANSLATE_NOOP("RepeatTreeModel", "hexanucleotide")};

QString translated(const char* text)
{
    return QCoreApplication::translate("RepeatTreeModel", text);
}

// An item's id: its level (1 the branch, 2 a unit length, 3 a class, 4 a
// microsatellite) in bits 0-2, the row of the unit length above in bits 3-5
// and the row of the class above from bit 6.
constexpr int kUnitShift = 3;
constexpr int kClassShift = 6;
constexpr int kBranchLevel = 1;
constexpr int kUnitLevel = 2;
constexpr int kClassLevel = 3;
constexpr int kMemberLevel = 4;

quintptr idOf(int level, int unit = 0, int cls = 0)
{
    return static_cast<quintptr>(level) | (static_cast<quintptr>(unit) << kUnitShift) |
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
    return static_cast<int>(id >> kClassShift);
}

}  // namespace

void MicrosatelliteBranch::setList(std::shared_ptr<const tessaron::MicrosatelliteList> list)
{
    list_ = std::move(list);
    units_.clear();
    if (!list_) {
        return;
    }
    std::array<std::map<std::string, std::vector<std::uint32_t>>, tessaron::kMaxUnitLength> byClass;
    for (std::size_t i = 0; i < list_->size(); ++i) {
        const tessaron::Microsatellite& m = (*list_)[i];
        if (m.unitLength >= 1 && m.unitLength <= tessaron::kMaxUnitLength) {
            byClass[static_cast<std::size_t>(m.unitLength - 1)][m.motifClass].push_back(
                static_cast<std::uint32_t>(i));
        }
    }
    for (std::size_t p = 0; p < byClass.size(); ++p) {
        if (byClass[p].empty()) {
            continue;
        }
        UnitGroup& unit = units_.emplace_back();
        unit.unitLength = static_cast<int>(p) + 1;
        for (auto& [name, members] : byClass[p]) {
            unit.count += static_cast<std::int64_t>(members.size());
            unit.classes.push_back({name, std::move(members)});
        }
    }
}

int MicrosatelliteBranch::classCount(int unit) const
{
    return unit >= 0 && unit < unitCount()
               ? static_cast<int>(units_[static_cast<std::size_t>(unit)].classes.size())
               : 0;
}

const MicrosatelliteBranch::ClassGroup* MicrosatelliteBranch::group(int unit, int cls) const
{
    if (cls < 0 || cls >= classCount(unit)) {
        return nullptr;
    }
    return &units_[static_cast<std::size_t>(unit)].classes[static_cast<std::size_t>(cls)];
}

int MicrosatelliteBranch::memberCount(int unit, int cls) const
{
    const ClassGroup* found = group(unit, cls);
    return found != nullptr ? static_cast<int>(found->members.size()) : 0;
}

const tessaron::Microsatellite* MicrosatelliteBranch::member(int unit, int cls, int row) const
{
    const ClassGroup* found = group(unit, cls);
    if (found == nullptr || row < 0 || row >= static_cast<int>(found->members.size())) {
        return nullptr;
    }
    return &(*list_)[found->members[static_cast<std::size_t>(row)]];
}

QString MicrosatelliteBranch::branchText() const
{
    return translated("Microsatellites (%1)").arg(list_ ? static_cast<qlonglong>(list_->size()) : 0);
}

QString MicrosatelliteBranch::unitText(int unit) const
{
    if (unit < 0 || unit >= unitCount()) {
        return {};
    }
    const UnitGroup& group = units_[static_cast<std::size_t>(unit)];
    return QStringLiteral("%1 (%2)")
        .arg(translated(kUnitNames[static_cast<std::size_t>(group.unitLength - 1)]))
        .arg(group.count);
}

QString MicrosatelliteBranch::classText(int unit, int cls) const
{
    const ClassGroup* found = group(unit, cls);
    return found != nullptr
               ? QStringLiteral("%1 (%2)").arg(toQString(found->motifClass)).arg(found->members.size())
               : QString();
}

QString MicrosatelliteBranch::memberText(int unit, int cls, int row) const
{
    const tessaron::Microsatellite* m = member(unit, cls, row);
    if (m == nullptr) {
        return {};
    }
    QString text = translated("(%1)%2 at %3").arg(toQString(m->unit)).arg(m->repeats).arg(m->start + 1);
    if (m->compound > 0) {
        text += translated(", compound %1").arg(m->compound);
    }
    return text;
}

const tessaron::Microsatellite* MicrosatelliteBranch::microsatelliteAt(const Item& item) const
{
    return levelOf(item.id) == kMemberLevel ? member(unitOf(item.id), classOf(item.id), item.row) : nullptr;
}

QString MicrosatelliteBranch::title(int /*row*/) const
{
    return branchText();
}

int MicrosatelliteBranch::rows(const Item& parent) const
{
    if (parent.id == kRoot) {
        return empty() ? 0 : 1;
    }
    switch (levelOf(parent.id)) {
        case kBranchLevel:
            return unitCount();
        case kUnitLevel:
            return classCount(parent.row);
        case kClassLevel:
            return memberCount(unitOf(parent.id), parent.row);
        default:
            return 0;
    }
}

quintptr MicrosatelliteBranch::child(const Item& parent, int /*row*/) const
{
    if (parent.id == kRoot) {
        return idOf(kBranchLevel);
    }
    switch (levelOf(parent.id)) {
        case kBranchLevel:
            return idOf(kUnitLevel);
        case kUnitLevel:
            return idOf(kClassLevel, parent.row);
        default:
            return idOf(kMemberLevel, unitOf(parent.id), parent.row);
    }
}

ResultsBranch::Item MicrosatelliteBranch::parent(quintptr id) const
{
    switch (levelOf(id)) {
        case kUnitLevel:
            return {idOf(kBranchLevel), 0, true};
        case kClassLevel:
            return {idOf(kUnitLevel), unitOf(id), false};
        case kMemberLevel:
            return {idOf(kClassLevel, unitOf(id)), classOf(id), false};
        default:
            return kRootItem;
    }
}

QVariant MicrosatelliteBranch::data(const Item& item, int role) const
{
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (levelOf(item.id)) {
        case kBranchLevel:
            return branchText();
        case kUnitLevel:
            return unitText(item.row);
        case kClassLevel:
            return classText(unitOf(item.id), item.row);
        case kMemberLevel:
            return memberText(unitOf(item.id), classOf(item.id), item.row);
        default:
            return {};
    }
}
