#pragma once

// The results tree's "Approximate repeats (%d)" branch: per kind ("direct
// repeats (%d)") its length classes ("30-39 bps (%d)"), and per class its
// pairs ("%d bp, %.2f %, E = %g": length, identity, E-value; the tip gives
// the copies, the mismatches and the features there). The filter leaves it as
// it is.

#include "views/results/classedpairsbranch.h"

#include "session/approximaterows.h"

#include <cstddef>
#include <memory>

class ApproximateBranch : public ClassedPairsBranch {
public:
    ApproximateBranch();
    // Shows the pairs of `analysis` (null: nothing).
    void setAnalysis(std::shared_ptr<const tessaron::ApproximateAnalysis> analysis);
    [[nodiscard]] const tessaron::ApproximateAnalysis* analysis() const
    {
        return classedRows() ? &classedRows()->analysis() : nullptr;
    }

    void show(const tessaron::SessionState& state) override { setAnalysis(state.approximate); }
    void clear() override { setAnalysis(nullptr); }

private:
    [[nodiscard]] QString pairText(tessaron::RepeatKind kind, std::size_t index, bool tip) const override;
};
