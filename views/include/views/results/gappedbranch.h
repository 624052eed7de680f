#pragma once

// The results tree's "Gapped repeats (%d)" branch: per kind ("direct
// repeats (%d)") the length classes of the pairs' shorter copies ("30-39 bps
// (%d)"), and per class its pairs ("%d bp, %.2f %, E = %g", or "%d/%d bp"
// when the copies' lengths differ; the tip gives the copies, the mismatches,
// the inserted and deleted letters, the CIGAR and the features there). The
// filter leaves it as it is.

#include "views/results/resultsbranch.h"

#include "session/approximaterows.h"
#include "session/gappedanalysis.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <utility>

class GappedBranch : public ResultsBranch {
public:
    // Shows the pairs of `analysis` (null: nothing).
    void setAnalysis(std::shared_ptr<const tessaron::GappedAnalysis> analysis);
    [[nodiscard]] const tessaron::GappedAnalysis* analysis() const { return analysis_.get(); }
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
    void show(const tessaron::SessionState& state) override { setAnalysis(state.gapped); }
    void clear() override { setAnalysis(nullptr); }

private:
    std::shared_ptr<const tessaron::GappedAnalysis> analysis_;
    std::optional<tessaron::ApproximateRows> rows_;
};
