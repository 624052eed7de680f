#pragma once

// The results tree's "Approximate repeats (%d)" branch: per kind ("direct
// repeats (%d)") its length classes ("30-39 bps (%d)"), and per class its
// pairs ("%d bp, %.2f %, E = %g": length, identity, E-value; the tip gives
// the copies, the mismatches and the features there). The filter leaves it as
// it is.

#include "views/results/resultsbranch.h"

#include "session/approximaterows.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <utility>

class ApproximateBranch : public ResultsBranch {
public:
    // Shows the pairs of `analysis` (null: nothing).
    void setAnalysis(std::shared_ptr<const tessaron::ApproximateAnalysis> analysis);
    [[nodiscard]] const tessaron::ApproximateAnalysis* analysis() const
    {
        return rows_ ? &rows_->analysis() : nullptr;
    }
    // The kind of a pair item and its index among that kind's pairs; none for any other item.
    [[nodiscard]] std::optional<std::pair<tessaron::RepeatKind, std::size_t>> pairAt(const Item& item) const;
    // The item of that pair.
    [[nodiscard]] std::optional<Item> pairItem(tessaron::RepeatKind kind, std::size_t pair) const;

    [[nodiscard]] QString title(int row) const override;
    [[nodiscard]] int rows(const Item& parent) const override;
    [[nodiscard]] quintptr child(const Item& parent, int row) const override;
    [[nodiscard]] Item parent(quintptr id) const override;
    [[nodiscard]] QVariant data(const Item& item, int role) const override;
    void show(const tessaron::SessionState& state) override { setAnalysis(state.approximate); }
    void clear() override { rows_.reset(); }

private:
    std::optional<tessaron::ApproximateRows> rows_;
};
