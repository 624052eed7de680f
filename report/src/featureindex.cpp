#include "report/featureindex.h"

#include <algorithm>

namespace tessaron {

FeatureIndex::FeatureIndex(const FeatureList& features, std::int64_t genomeLength) : length_(genomeLength)
{
    if (genomeLength <= 0 || features.size() < 2) {
        return;
    }
    names_.reserve(features.size() - 1);
    for (std::size_t i = 1; i < features.size(); ++i) {
        const Feature& feature = features[i];
        const std::size_t id = names_.size();
        names_.push_back(feature.name);
        // A feature in parts (a trans-spliced gene) covers its parts only,
        // not the gap between them.
        const std::vector<FeaturePart> whole{FeaturePart{feature.start, feature.end}};
        for (const FeaturePart& part : feature.parts.empty() ? whole : feature.parts) {
            if (part.start <= part.end) {
                intervals_.push_back({part.start, part.end, id});
            } else {
                // Across the origin: to the end, and again from the first base.
                intervals_.push_back({part.start, genomeLength - 1, id});
                intervals_.push_back({0, part.end, id});
            }
        }
    }
    std::sort(intervals_.begin(), intervals_.end(),
              [](const Interval& a, const Interval& b) { return a.start < b.start; });
    greatestEnd_.reserve(intervals_.size());
    std::int64_t greatest = -1;
    for (const Interval& interval : intervals_) {
        greatest = std::max(greatest, interval.end);
        greatestEnd_.push_back(greatest);
    }
}

void FeatureIndex::collect(std::int64_t start, std::int64_t end, std::vector<std::size_t>& found) const
{
    // Only intervals that start at or before `end` can overlap; of those, the
    // walk back stops once no earlier interval reaches `start`.
    auto i = static_cast<std::size_t>(std::upper_bound(intervals_.begin(), intervals_.end(), end,
                                                       [](std::int64_t value, const Interval& interval) {
                                                           return value < interval.start;
                                                       }) -
                                      intervals_.begin());
    while (i > 0 && greatestEnd_[i - 1] >= start) {
        --i;
        if (intervals_[i].end >= start) {
            found.push_back(intervals_[i].feature);
        }
    }
}

std::vector<std::string_view> FeatureIndex::namesAt(std::int64_t start, int length) const
{
    std::vector<std::string_view> names;
    if (intervals_.empty() || length <= 0) {
        return names;
    }
    std::vector<std::size_t> found;
    start %= length_;
    const std::int64_t end = start + length - 1;
    if (length >= length_) {
        collect(0, length_ - 1, found);
    } else if (end < length_) {
        collect(start, end, found);
    } else {
        collect(start, length_ - 1, found);
        collect(0, end - length_, found);
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    for (const std::size_t feature : found) {
        const std::string_view name = names_[feature];
        if (std::find(names.begin(), names.end(), name) == names.end()) {
            names.push_back(name);
        }
    }
    return names;
}

void FeatureIndex::describe(std::int64_t start, int length, std::string& out,
                            std::string_view separator) const
{
    out.clear();
    for (const std::string_view name : namesAt(start, length)) {
        if (!out.empty()) {
            out += separator;
        }
        out += name;
    }
    if (out.empty()) {
        out = "intergenic";
    }
}

std::string FeatureIndex::describe(std::int64_t start, int length) const
{
    std::string out;
    describe(start, length, out);
    return out;
}

}  // namespace tessaron
