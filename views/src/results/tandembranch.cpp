#include "views/results/tandembranch.h"

#include "report/tandemreport.h"
#include "views/base/qtstrings.h"

#include <QCoreApplication>
#include <QLocale>

#include <utility>

namespace {

QString translated(const char* text)
{
    return QCoreApplication::translate("RepeatTreeModel", text);
}

// An item's id: its level (1 the branch, 2 a period class, 3 an array) in
// bits 0-1 and, for an array, the row of its class from bit 2.
constexpr int kGroupShift = 2;
constexpr int kBranchLevel = 1;
constexpr int kClassLevel = 2;
constexpr int kArrayLevel = 3;
constexpr int kLongestConsensusShown = 60;

quintptr idOf(int level, int group = 0)
{
    return static_cast<quintptr>(level) | (static_cast<quintptr>(group) << kGroupShift);
}

int levelOf(quintptr id)
{
    return static_cast<int>(id & 3U);
}

int groupOf(quintptr id)
{
    return static_cast<int>(id >> kGroupShift);
}

}  // namespace

void TandemBranch::setAnalysis(std::shared_ptr<const tessaron::TandemAnalysis> analysis)
{
    analysis_ = std::move(analysis);
    groups_.clear();
    if (!analysis_) {
        return;
    }
    std::array<std::vector<std::uint32_t>, tessaron::kPeriodClassNames.size()> byClass;
    for (std::size_t i = 0; i < analysis_->arrays.size(); ++i) {
        byClass[tessaron::periodClass(analysis_->arrays[i].period)].push_back(static_cast<std::uint32_t>(i));
    }
    for (std::size_t c = 0; c < byClass.size(); ++c) {
        if (!byClass[c].empty()) {
            groups_.push_back({c, std::move(byClass[c])});
        }
    }
}

const tessaron::TandemRepeat* TandemBranch::member(int group, int row) const
{
    if (group < 0 || group >= groupCount()) {
        return nullptr;
    }
    const auto& members = groups_[static_cast<std::size_t>(group)].members;
    if (row < 0 || row >= static_cast<int>(members.size())) {
        return nullptr;
    }
    return &analysis_->arrays[members[static_cast<std::size_t>(row)]];
}

const tessaron::TandemRepeat* TandemBranch::arrayAt(const Item& item) const
{
    return levelOf(item.id) == kArrayLevel ? member(groupOf(item.id), item.row) : nullptr;
}

std::optional<ResultsBranch::Item> TandemBranch::branchItem() const
{
    return analysis_ ? std::optional<Item>(Item{idOf(kBranchLevel), 0, true}) : std::nullopt;
}

std::optional<ResultsBranch::Item> TandemBranch::arrayItem(std::size_t index) const
{
    for (std::size_t g = 0; g < groups_.size(); ++g) {
        const auto& members = groups_[g].members;
        for (std::size_t row = 0; row < members.size(); ++row) {
            if (members[row] == index) {
                return Item{idOf(kArrayLevel, static_cast<int>(g)), static_cast<int>(row), false};
            }
        }
    }
    return std::nullopt;
}

QString TandemBranch::branchText() const
{
    return translated("Tandem repeats (%1)")
        .arg(analysis_ ? static_cast<qlonglong>(analysis_->arrays.size()) : 0);
}

QString TandemBranch::classText(int group) const
{
    if (group < 0 || group >= groupCount()) {
        return {};
    }
    const ClassGroup& found = groups_[static_cast<std::size_t>(group)];
    return translated("period %1 (%2)")
        .arg(toQString(tessaron::kPeriodClassNames[found.periodClass]))
        .arg(found.members.size());
}

QString TandemBranch::arrayText(const tessaron::TandemRepeat& array) const
{
    return translated("%1..%2: period %3, %4 copies")
        .arg(array.start + 1)
        .arg(array.end())
        .arg(array.period)
        .arg(QLocale::c().toString(array.copies, 'f', 1));
}

QString TandemBranch::title(int /*row*/) const
{
    return branchText();
}

int TandemBranch::rows(const Item& parent) const
{
    if (parent.id == kRoot) {
        return analysis_ ? 1 : 0;
    }
    switch (levelOf(parent.id)) {
        case kBranchLevel:
            return groupCount();
        case kClassLevel:
            return parent.row >= 0 && parent.row < groupCount()
                       ? static_cast<int>(groups_[static_cast<std::size_t>(parent.row)].members.size())
                       : 0;
        default:
            return 0;
    }
}

quintptr TandemBranch::child(const Item& parent, int /*row*/) const
{
    if (parent.id == kRoot) {
        return idOf(kBranchLevel);
    }
    return levelOf(parent.id) == kBranchLevel ? idOf(kClassLevel) : idOf(kArrayLevel, parent.row);
}

ResultsBranch::Item TandemBranch::parent(quintptr id) const
{
    switch (levelOf(id)) {
        case kClassLevel:
            return {idOf(kBranchLevel), 0, true};
        case kArrayLevel:
            return {idOf(kClassLevel), groupOf(id), false};
        default:
            return kRootItem;
    }
}

QVariant TandemBranch::data(const Item& item, int role) const
{
    const tessaron::TandemRepeat* array = arrayAt(item);
    if (role == Qt::ToolTipRole && array != nullptr) {
        QString consensus = toQString(array->consensus.substr(0, kLongestConsensusShown));
        if (array->consensus.size() > static_cast<std::size_t>(kLongestConsensusShown)) {
            consensus += QStringLiteral("...");
        }
        return translated("consensus %1\nclass %2\n%3 % matches, %4 % indels, score %5")
            .arg(consensus, toQString(array->motifClass))
            .arg(array->percentMatches())
            .arg(array->percentIndels())
            .arg(array->score);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (levelOf(item.id)) {
        case kBranchLevel:
            return branchText();
        case kClassLevel:
            return classText(item.row);
        case kArrayLevel:
            return array != nullptr ? arrayText(*array) : QString();
        default:
            return {};
    }
}
