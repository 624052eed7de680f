#pragma once

// The rows of the results tree's "Approximate repeats" branch: per kind the
// length classes that hold pairs (and "below 30" for the shorter pairs an
// E-value search finds), per class its pairs in the result's order.

#include "session/approximateanalysis.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class ApproximateBranch {
public:
    // The row of the pairs shorter than every class.
    static constexpr std::size_t kShorter = tessaron::kApproximateLengthClasses.size();

    explicit ApproximateBranch(std::shared_ptr<const tessaron::ApproximateAnalysis> analysis);

    [[nodiscard]] const tessaron::ApproximateAnalysis& analysis() const { return *analysis_; }
    [[nodiscard]] const std::shared_ptr<const tessaron::ApproximateAnalysis>& shared() const
    {
        return analysis_;
    }
    [[nodiscard]] std::size_t total() const;
    [[nodiscard]] std::size_t pairCount(int kind) const;
    // The classes of a kind's rows (kShorter for the shorter pairs).
    [[nodiscard]] const std::vector<std::size_t>& classes(int kind) const;
    // The pairs (indices among the kind's pairs) of a class row; empty when out of range.
    [[nodiscard]] const std::vector<std::size_t>& pairs(int kind, int classRow) const;
    // The class row and row of a pair of a kind.
    [[nodiscard]] std::optional<std::pair<int, int>> rowsOf(int kind, std::size_t pair) const;

private:
    struct Kind {
        std::vector<std::size_t> classes;
        std::vector<std::vector<std::size_t>> pairs;  // per class row
    };
    std::shared_ptr<const tessaron::ApproximateAnalysis> analysis_;
    std::vector<Kind> kinds_;
};
