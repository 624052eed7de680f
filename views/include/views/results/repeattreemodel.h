#pragma once

// The results tree: the branches of the analyses one after the other at its
// top, in the order of the table in the constructor: the four kinds (see
// KindsBranch), the microsatellites (MicrosatelliteBranch), the
// approximate pairs (ApproximateBranch), the gapped pairs (GappedBranch) and
// their families (FamiliesBranch). Every item carries the number of its
// branch in the top bits of its internal id, and the branch's own id below;
// the model only dispatches. The filter applies to the branches that are
// filterable.
//
// The model shares the results, and through them the genome that spells the
// words, until clear().

#include "views/results/approximatebranch.h"
#include "views/results/kindsbranch.h"
#include "views/results/microsatellitebranch.h"
#include "views/results/resultsbranch.h"

#include <QAbstractItemModel>

#include <functional>
#include <memory>
#include <optional>
#include <typeinfo>
#include <utility>
#include <vector>

class RepeatTreeModel : public QAbstractItemModel {
    Q_OBJECT

public:
    // The word of a word item, as a `const tessaron::RepeatWord*`; no value on other items.
    static constexpr int RepeatRole = Qt::UserRole;
    using Filter = ResultsFilter;

    explicit RepeatTreeModel(QObject* parent = nullptr);

    // Shows only what passes `filter` (a reset of the model); the results stay.
    void setFilter(Filter filter);
    [[nodiscard]] const Filter& filter() const { return filter_; }
    // Every branch shows its results of `state`, with tips naming `features`
    // (null for none): a reset of the model.
    void show(const tessaron::SessionState& state, std::shared_ptr<const tessaron::FeatureIndex> features);
    // The branch of type `Branch` shows its results of `state` again; the other branches stay.
    template <typename Branch>
    void refresh(const tessaron::SessionState& state)
    {
        replace(numberOf(typeid(Branch)), [&state](ResultsBranch& shown) { shown.show(state); });
    }
    // Removes every item.
    void clear();

    // The branch of type `Branch` (each type has one), and the branch's item of an index of this model.
    template <typename Branch>
    [[nodiscard]] const Branch& branch() const
    {
        return static_cast<const Branch&>(*branches_[numberOf(typeid(Branch))]);
    }
    template <typename Branch>
    [[nodiscard]] std::optional<ResultsBranch::Item> itemOf(const QModelIndex& index) const
    {
        return itemIn(numberOf(typeid(Branch)), index);
    }
    // The index of a branch's item.
    template <typename Branch>
    [[nodiscard]] QModelIndex indexOf(const std::optional<ResultsBranch::Item>& item) const
    {
        return item ? indexIn(numberOf(typeid(Branch)), *item) : QModelIndex();
    }

    // The four kinds, one at a time (see KindsBranch); the features of their tips.
    void appendKind(std::shared_ptr<const tessaron::RepeatSnapshot> snapshot);
    void setFeatures(std::shared_ptr<const tessaron::FeatureIndex> features);
    [[nodiscard]] int kindCount() const { return branch<KindsBranch>().kindCount(); }
    [[nodiscard]] const tessaron::RepeatWord* repeatAt(const QModelIndex& index) const;
    [[nodiscard]] int slotAt(const QModelIndex& index) const;
    [[nodiscard]] const tessaron::RepeatSnapshot* snapshotAt(const QModelIndex& index) const;
    [[nodiscard]] std::optional<tessaron::Repeat> describedRepeatAt(const QModelIndex& index) const;
    [[nodiscard]] std::vector<tessaron::RepeatPair> pairsAt(const QModelIndex& index) const;
    [[nodiscard]] tessaron::RepeatKind kindAt(const QModelIndex& index) const;
    // What copying an item puts on the clipboard: a word item's whole word on
    // a line, then a line per pair with the 1-based positions of its two
    // copies, tab-separated; any other item's text.
    [[nodiscard]] QString copiedText(const QModelIndex& index) const;
    // The item of a length of a kind, and of the `row`-th word of that length; invalid when hidden.
    [[nodiscard]] QModelIndex lengthIndex(tessaron::RepeatKind kind, int length) const;
    [[nodiscard]] QModelIndex repeatIndex(tessaron::RepeatKind kind, int length, int row) const;

    // The microsatellites (null removes their branch; the other items stay).
    void setMicrosatellites(std::shared_ptr<const tessaron::MicrosatelliteList> list);
    [[nodiscard]] const tessaron::Microsatellite* microsatelliteAt(const QModelIndex& index) const;
    // The branch's item, or an invalid index without one.
    [[nodiscard]] QModelIndex microsatelliteBranch() const;

    // The approximate search's pairs (null removes their branch).
    void setApproximate(std::shared_ptr<const tessaron::ApproximateAnalysis> analysis);
    [[nodiscard]] const tessaron::ApproximateAnalysis* approximate() const
    {
        return branch<ApproximateBranch>().analysis();
    }
    [[nodiscard]] std::optional<std::pair<tessaron::RepeatKind, std::size_t>> approximatePairAt(
        const QModelIndex& index) const;
    [[nodiscard]] QModelIndex approximatePairIndex(tessaron::RepeatKind kind, std::size_t pair) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& /*parent*/ = QModelIndex()) const override { return 1; }
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    // `look` of the branch of type Branch on the item of `index`; `none` for an index of another branch.
    template <typename Branch, typename Look, typename None>
    [[nodiscard]] auto lookUp(const QModelIndex& index, Look look, None none) const
    {
        const auto item = itemOf<Branch>(index);
        return item ? std::invoke(look, branch<Branch>(), *item) : none;
    }
    [[nodiscard]] std::size_t numberOf(const std::type_info& type) const;
    // The rows above a branch's first row at the top.
    [[nodiscard]] int firstRow(std::size_t number) const;
    [[nodiscard]] std::optional<ResultsBranch::Item> itemIn(std::size_t number,
                                                            const QModelIndex& index) const;
    [[nodiscard]] QModelIndex indexIn(std::size_t number, const ResultsBranch::Item& item) const;
    // Gives a branch the features and, if filterable, the filter; the rows it shows at the top.
    int prepare(ResultsBranch& branch);
    // Removes a branch's rows, lets `change` change it and inserts its new rows.
    void replace(std::size_t number, const std::function<void(ResultsBranch&)>& change);

    std::vector<std::unique_ptr<ResultsBranch>> branches_;
    // The rows each branch shows at the top; a branch being changed shows none.
    std::vector<int> topRows_;
    std::shared_ptr<const tessaron::FeatureIndex> features_;
    Filter filter_;
};

Q_DECLARE_METATYPE(const tessaron::RepeatWord*)
