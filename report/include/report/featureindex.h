#pragma once

#include "input/feature.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaron {

// Which annotated features a stretch of a circular genome overlaps. The
// features (the whole-sequence feature that heads a list left out) are held
// as intervals sorted by start with the running greatest end, so a lookup is
// a binary search and a short walk back; a feature made of parts (a join of
// stretches that do not follow one another) counts as those parts only, a
// feature or part across the origin as its two pieces, and so does a stretch
// that runs past the end.
class FeatureIndex {
public:
    FeatureIndex() = default;
    FeatureIndex(const FeatureList& features, std::int64_t genomeLength);

    [[nodiscard]] bool empty() const { return intervals_.empty(); }

    // The names of the features overlapping the `length` bases from `start`,
    // in the order of the list, each name once.
    [[nodiscard]] std::vector<std::string_view> namesAt(std::int64_t start, int length) const;

    // Those names joined by `separator`, or "intergenic" when there are none;
    // written into `out`, whose room is reused from call to call.
    void describe(std::int64_t start, int length, std::string& out, std::string_view separator = " / ") const;
    [[nodiscard]] std::string describe(std::int64_t start, int length) const;

private:
    struct Interval {
        std::int64_t start;
        std::int64_t end;  // inclusive
        std::size_t feature;
    };

    void collect(std::int64_t start, std::int64_t end, std::vector<std::size_t>& found) const;

    std::vector<Interval> intervals_;
    std::vector<std::int64_t> greatestEnd_;  // of intervals_[0..i]
    std::vector<std::string> names_;         // by feature
    std::int64_t length_ = 0;
};

}  // namespace tessaron
