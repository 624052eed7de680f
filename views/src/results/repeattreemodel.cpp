#include "views/results/repeattreemodel.h"

#include "views/results/familiesbranch.h"
#include "views/results/gappedbranch.h"
#include "views/results/tandembranch.h"

#include <typeindex>

namespace {

// An item's internal id: its branch's number + 1 in the top bits, then
// whether it is a top row, then the branch's own id.
quintptr idIn(std::size_t number, quintptr id, bool top)
{
    return (static_cast<quintptr>(number + 1) << (ResultsBranch::kIdBits + 1)) |
           (static_cast<quintptr>(top) << ResultsBranch::kIdBits) | id;
}

std::size_t numberIn(quintptr id)
{
    return static_cast<std::size_t>(id >> (ResultsBranch::kIdBits + 1)) - 1;
}

quintptr ownId(quintptr id)
{
    return id & ((quintptr{1} << ResultsBranch::kIdBits) - 1);
}

}  // namespace

RepeatTreeModel::RepeatTreeModel(QObject* parent) : QAbstractItemModel(parent)
{
    // The branches in the order they show; a new analysis adds its line here.
    branches_.push_back(std::make_unique<KindsBranch>());
    branches_.push_back(std::make_unique<MicrosatelliteBranch>());
    branches_.push_back(std::make_unique<ApproximateBranch>());
    branches_.push_back(std::make_unique<GappedBranch>());
    branches_.push_back(std::make_unique<FamiliesBranch>());
    branches_.push_back(std::make_unique<TandemBranch>());
    topRows_.assign(branches_.size(), 0);
}

std::size_t RepeatTreeModel::numberOf(const std::type_info& type) const
{
    for (std::size_t number = 0; number < branches_.size(); ++number) {
        const ResultsBranch& branch = *branches_[number];
        if (std::type_index(typeid(branch)) == std::type_index(type)) {
            return number;
        }
    }
    Q_UNREACHABLE();
}

int RepeatTreeModel::firstRow(std::size_t number) const
{
    int row = 0;
    for (std::size_t before = 0; before < number; ++before) {
        row += topRows_[before];
    }
    return row;
}

std::optional<ResultsBranch::Item> RepeatTreeModel::itemIn(std::size_t number, const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this || numberIn(index.internalId()) != number) {
        return std::nullopt;
    }
    const bool top = ((index.internalId() >> ResultsBranch::kIdBits) & 1U) != 0;
    return ResultsBranch::Item{ownId(index.internalId()), top ? index.row() - firstRow(number) : index.row(),
                               top};
}

QModelIndex RepeatTreeModel::indexIn(std::size_t number, const ResultsBranch::Item& item) const
{
    return createIndex(item.top ? firstRow(number) + item.row : item.row, 0, idIn(number, item.id, item.top));
}

void RepeatTreeModel::replace(std::size_t number, const std::function<void(ResultsBranch&)>& change)
{
    const int first = firstRow(number);
    if (topRows_[number] > 0) {
        beginRemoveRows(QModelIndex(), first, first + topRows_[number] - 1);
        topRows_[number] = 0;
        endRemoveRows();
    }
    change(*branches_[number]);
    if (const int rows = prepare(*branches_[number]); rows > 0) {
        beginInsertRows(QModelIndex(), first, first + rows - 1);
        topRows_[number] = rows;
        endInsertRows();
    }
}

int RepeatTreeModel::prepare(ResultsBranch& branch)
{
    branch.setFeatures(features_);
    if (branch.filterable()) {
        branch.applyFilter(filter_);
    }
    return branch.rows(ResultsBranch::kRootItem);
}

void RepeatTreeModel::setFilter(Filter filter)
{
    if (filter == filter_) {
        return;
    }
    beginResetModel();
    filter_ = std::move(filter);
    for (std::size_t number = 0; number < branches_.size(); ++number) {
        topRows_[number] = prepare(*branches_[number]);
    }
    endResetModel();
}

void RepeatTreeModel::show(const tessaron::SessionState& state,
                           std::shared_ptr<const tessaron::FeatureIndex> features)
{
    beginResetModel();
    features_ = std::move(features);
    for (std::size_t number = 0; number < branches_.size(); ++number) {
        branches_[number]->show(state);
        topRows_[number] = prepare(*branches_[number]);
    }
    endResetModel();
}

void RepeatTreeModel::clear()
{
    beginResetModel();
    features_.reset();
    for (std::size_t number = 0; number < branches_.size(); ++number) {
        branches_[number]->clear();
        topRows_[number] = prepare(*branches_[number]);
    }
    endResetModel();
}

QModelIndex RepeatTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column != 0 || parent.column() > 0) {
        return {};
    }
    if (parent.isValid()) {
        const std::size_t number = numberIn(parent.internalId());
        const auto above = itemIn(number, parent);
        return above && row < branches_[number]->rows(*above)
                   ? createIndex(row, 0, idIn(number, branches_[number]->child(*above, row), false))
                   : QModelIndex();
    }
    if (row >= rowCount()) {
        return {};
    }
    std::size_t number = 0;
    while (row >= topRows_[number]) {
        row -= topRows_[number++];
    }
    return createIndex(firstRow(number) + row, 0,
                       idIn(number, branches_[number]->child(ResultsBranch::kRootItem, row), true));
}

QModelIndex RepeatTreeModel::parent(const QModelIndex& child) const
{
    if (!child.isValid()) {
        return {};
    }
    const std::size_t number = numberIn(child.internalId());
    const ResultsBranch::Item above = branches_[number]->parent(ownId(child.internalId()));
    return above.id == ResultsBranch::kRoot ? QModelIndex() : indexIn(number, above);
}

int RepeatTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0) {
        return 0;
    }
    if (!parent.isValid()) {
        return firstRow(branches_.size());
    }
    const std::size_t number = numberIn(parent.internalId());
    return branches_[number]->rows(*itemIn(number, parent));
}

QVariant RepeatTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) {
        return {};
    }
    if (role == RepeatRole) {
        const tessaron::RepeatWord* word = repeatAt(index);
        return word != nullptr ? QVariant::fromValue(word) : QVariant();
    }
    const std::size_t number = numberIn(index.internalId());
    const ResultsBranch::Item item = *itemIn(number, index);
    if (role == Qt::DisplayRole && item.top) {
        return branches_[number]->title(item.row);
    }
    return branches_[number]->data(item, role);
}

Qt::ItemFlags RepeatTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    const std::size_t number = numberIn(index.internalId());
    return branches_[number]->flags(*itemIn(number, index));
}

void RepeatTreeModel::appendKind(std::shared_ptr<const tessaron::RepeatSnapshot> snapshot)
{
    replace(numberOf(typeid(KindsBranch)), [&snapshot](ResultsBranch& kinds) {
        static_cast<KindsBranch&>(kinds).append(std::move(snapshot));
    });
}

void RepeatTreeModel::setFeatures(std::shared_ptr<const tessaron::FeatureIndex> features)
{
    features_ = std::move(features);
    for (const auto& branch : branches_) {
        branch->setFeatures(features_);
    }
}

const tessaron::RepeatWord* RepeatTreeModel::repeatAt(const QModelIndex& index) const
{
    return lookUp<KindsBranch>(index, &KindsBranch::repeatAt, nullptr);
}

int RepeatTreeModel::slotAt(const QModelIndex& index) const
{
    return lookUp<KindsBranch>(index, &KindsBranch::slotAt, -1);
}

const tessaron::RepeatSnapshot* RepeatTreeModel::snapshotAt(const QModelIndex& index) const
{
    return lookUp<KindsBranch>(index, &KindsBranch::snapshotAt, nullptr);
}

std::optional<tessaron::Repeat> RepeatTreeModel::describedRepeatAt(const QModelIndex& index) const
{
    return lookUp<KindsBranch>(index, &KindsBranch::describedRepeatAt, std::nullopt);
}

std::vector<tessaron::RepeatPair> RepeatTreeModel::pairsAt(const QModelIndex& index) const
{
    return lookUp<KindsBranch>(index, &KindsBranch::pairsAt, std::vector<tessaron::RepeatPair>{});
}

tessaron::RepeatKind RepeatTreeModel::kindAt(const QModelIndex& index) const
{
    return lookUp<KindsBranch>(index, &KindsBranch::kindAt, tessaron::RepeatKind::Direct);
}

QString RepeatTreeModel::copiedText(const QModelIndex& index) const
{
    const QString text = lookUp<KindsBranch>(index, &KindsBranch::copiedText, QString());
    return text.isEmpty() ? index.data().toString() : text;
}

QModelIndex RepeatTreeModel::lengthIndex(tessaron::RepeatKind kind, int length) const
{
    return indexOf<KindsBranch>(branch<KindsBranch>().lengthItem(kind, length));
}

QModelIndex RepeatTreeModel::repeatIndex(tessaron::RepeatKind kind, int length, int row) const
{
    const QModelIndex lengthItem = lengthIndex(kind, length);
    return lengthItem.isValid() ? index(row, 0, lengthItem) : QModelIndex();
}

void RepeatTreeModel::setMicrosatellites(std::shared_ptr<const tessaron::MicrosatelliteList> list)
{
    replace(numberOf(typeid(MicrosatelliteBranch)), [&list](ResultsBranch& shown) {
        static_cast<MicrosatelliteBranch&>(shown).setList(std::move(list));
    });
}

const tessaron::Microsatellite* RepeatTreeModel::microsatelliteAt(const QModelIndex& index) const
{
    return lookUp<MicrosatelliteBranch>(index, &MicrosatelliteBranch::microsatelliteAt, nullptr);
}

QModelIndex RepeatTreeModel::microsatelliteBranch() const
{
    const std::size_t number = numberOf(typeid(MicrosatelliteBranch));
    return topRows_[number] > 0 ? index(firstRow(number), 0) : QModelIndex();
}

void RepeatTreeModel::setApproximate(std::shared_ptr<const tessaron::ApproximateAnalysis> analysis)
{
    replace(numberOf(typeid(ApproximateBranch)), [&analysis](ResultsBranch& shown) {
        static_cast<ApproximateBranch&>(shown).setAnalysis(std::move(analysis));
    });
}

std::optional<std::pair<tessaron::RepeatKind, std::size_t>> RepeatTreeModel::approximatePairAt(
    const QModelIndex& index) const
{
    return lookUp<ApproximateBranch>(index, &ApproximateBranch::pairAt, std::nullopt);
}

QModelIndex RepeatTreeModel::approximatePairIndex(tessaron::RepeatKind kind, std::size_t pair) const
{
    return indexOf<ApproximateBranch>(branch<ApproximateBranch>().pairItem(kind, pair));
}
