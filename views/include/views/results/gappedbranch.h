#pragma once

// The results tree's "Gapped repeats (%d)" branch: per kind ("direct
// repeats (%d)") the length classes of the pairs' shorter copies ("30-39 bps
// (%d)"), and per class its pairs ("%d bp, %.2f %, E = %g", or "%d/%d bp"
// when the copies' lengths differ; the tip gives the copies, the mismatches,
// the inserted and deleted letters, the CIGAR and the features there). The
// filter leaves it as it is.

#include "views/results/classedpairsbranch.h"

#include "session/gappedanalysis.h"

#include <cstddef>
#include <memory>

class GappedBranch : public ClassedPairsBranch {
public:
    GappedBranch();
    // Shows the pairs of `analysis` (null: nothing).
    void setAnalysis(std::shared_ptr<const tessaron::GappedAnalysis> analysis);
    [[nodiscard]] const tessaron::GappedAnalysis* analysis() const { return analysis_.get(); }

    void show(const tessaron::SessionState& state) override { setAnalysis(state.gapped); }
    void clear() override { setAnalysis(nullptr); }

private:
    [[nodiscard]] QString pairText(tessaron::RepeatKind kind, std::size_t index, bool tip) const override;

    std::shared_ptr<const tessaron::GappedAnalysis> analysis_;
};
