#pragma once

// The approximate search's pairs as the results tree groups them: per kind
// the length classes that hold pairs (and "below 30" for the shorter pairs
// an E-value search finds), per class its pairs in the result's order.

#include "session/approximateanalysis.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace tessaron {

class ApproximateRows {
public:
    // The row of the pairs shorter than every class.
    static constexpr std::size_t kShorter = kApproximateLengthClasses.size();

    explicit ApproximateRows(std::shared_ptr<const ApproximateAnalysis> analysis);
    // The rows of other pairs, given per kind (kKindOrder) by the lengths that
    // class them, in their order; analysis() is then null.
    explicit ApproximateRows(const std::vector<std::vector<std::int64_t>>& lengths);

    // The pairs of the first constructor.
    [[nodiscard]] const ApproximateAnalysis& analysis() const { return *analysis_; }
    [[nodiscard]] const std::shared_ptr<const ApproximateAnalysis>& shared() const { return analysis_; }
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
    void addKind(const std::vector<std::int64_t>& lengths);

    std::shared_ptr<const ApproximateAnalysis> analysis_;
    std::vector<Kind> kinds_;
    std::vector<std::size_t> counts_;  // pairs per kind
};

}  // namespace tessaron
