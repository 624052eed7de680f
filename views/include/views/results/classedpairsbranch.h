#pragma once

// A results tree branch of pairs of copies by kind and length class: per kind
// ("direct repeats (%d)") its length classes ("30-39 bps (%d)"), and per
// class its pairs, each written by the branch that holds them. The filter
// leaves it as it is.

#include "views/results/resultsbranch.h"

#include "session/approximaterows.h"

#include <QString>

#include <cstddef>
#include <optional>
#include <utility>

class ClassedPairsBranch : public ResultsBranch {
public:
    // The kind of a pair item and its index among that kind's pairs; none for any other item.
    [[nodiscard]] std::optional<std::pair<tessaron::RepeatKind, std::size_t>> pairAt(const Item& item) const;
    // The item of that pair.
    [[nodiscard]] std::optional<Item> pairItem(tessaron::RepeatKind kind, std::size_t pair) const;
    // Its row at the top of the tree, while it shows something.
    [[nodiscard]] std::optional<Item> topItem() const;

    [[nodiscard]] QString title(int row) const override;
    [[nodiscard]] int rows(const Item& parent) const override;
    [[nodiscard]] quintptr child(const Item& parent, int row) const override;
    [[nodiscard]] Item parent(quintptr id) const override;
    [[nodiscard]] QVariant data(const Item& item, int role) const override;

protected:
    // `titleText` holds %1 for the number of pairs, e.g. "Approximate repeats (%1)".
    explicit ClassedPairsBranch(const char* titleText) : titleText_(titleText) {}
    static QString tr(const char* text);

    void setRows(std::optional<tessaron::ApproximateRows> rows);
    [[nodiscard]] const std::optional<tessaron::ApproximateRows>& classedRows() const { return rows_; }
    // The text of the `index`-th pair of `kind`: its row, or its tip.
    [[nodiscard]] virtual QString pairText(tessaron::RepeatKind kind, std::size_t index, bool tip) const = 0;

private:
    const char* titleText_;
    std::optional<tessaron::ApproximateRows> rows_;
};
