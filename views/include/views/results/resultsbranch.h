#pragma once

// One branch of the results tree: the items of one analysis, shown after the
// branches before it. The tree's model (RepeatTreeModel) dispatches to its
// branches by the branch number it keeps in every item's internal id; a
// branch knows its items by ids of its own making (non-zero, below
// 2^kIdBits) and by their rows under their parents. A new analysis is one
// class of this kind plus one line in the model's table of branches.

#include "report/featureindex.h"
#include "session/session.h"

#include <QString>
#include <QVariant>

#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

// What the tree shows of the branches that can be filtered: the lengths in a
// range, the words with at least some pairs and whose text contains some
// letters.
struct ResultsFilter {
    int minLength = 0;
    int maxLength = INT_MAX;
    std::int64_t minPairs = 0;
    std::string contains;  // upper case
    [[nodiscard]] bool filtersWords() const { return minPairs > 1 || !contains.empty(); }
    friend bool operator==(const ResultsFilter&, const ResultsFilter&) = default;
};

// An item as its branch knows it: its id, its row under its parent and
// whether that parent is the tree's root.
struct ResultsItem {
    quintptr id = 0;
    int row = -1;
    bool top = false;
};

class ResultsBranch {
public:
    using Item = ResultsItem;
    // The id of the tree's root as a branch sees it: the parent of its top rows.
    static constexpr quintptr kRoot = 0;
    static constexpr int kIdBits = static_cast<int>(sizeof(quintptr)) * 8 - 5;
    static constexpr Item kRootItem{};

    ResultsBranch() = default;
    virtual ~ResultsBranch() = default;
    ResultsBranch(const ResultsBranch&) = delete;
    ResultsBranch& operator=(const ResultsBranch&) = delete;

    // The text of its `row`-th row at the top of the tree.
    [[nodiscard]] virtual QString title(int row) const = 0;
    // The rows under `parent`; under kRootItem the rows it adds at the top,
    // none while it has nothing to show.
    [[nodiscard]] virtual int rows(const Item& parent) const = 0;
    // The id of the `row`-th item under `parent` (a row below rows(parent)).
    [[nodiscard]] virtual quintptr child(const Item& parent, int row) const = 0;
    // The parent of the item of id `id` (with `top` set for a top row);
    // kRootItem for a top row itself.
    [[nodiscard]] virtual Item parent(quintptr id) const = 0;
    // What an item shows in `role`; the model asks title() for a top row's text.
    [[nodiscard]] virtual QVariant data(const Item& item, int role) const = 0;
    [[nodiscard]] virtual Qt::ItemFlags flags(const Item& /*item*/) const
    {
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    }
    // Whether the tree's filter applies to it; applyFilter is called only then.
    [[nodiscard]] virtual bool filterable() const { return false; }
    virtual void applyFilter(const ResultsFilter& /*filter*/) {}
    // Takes its results from the session's state (none: it shows nothing).
    virtual void show(const tessaron::SessionState& state) = 0;
    // Shows nothing.
    virtual void clear() = 0;

    // The features that tips name beside positions; null for none.
    void setFeatures(std::shared_ptr<const tessaron::FeatureIndex> features)
    {
        features_ = std::move(features);
    }
    [[nodiscard]] const tessaron::FeatureIndex* features() const { return features_.get(); }

private:
    std::shared_ptr<const tessaron::FeatureIndex> features_;
};
