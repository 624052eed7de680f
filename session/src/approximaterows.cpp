#include "session/approximaterows.h"

#include <algorithm>
#include <array>

namespace tessaron {

ApproximateRows::ApproximateRows(std::shared_ptr<const ApproximateAnalysis> analysis)
    : analysis_(std::move(analysis))
{
    for (const ApproximateResult& result : analysis_->results) {
        std::vector<std::int64_t> lengths;
        lengths.reserve(result.pairs.size());
        for (const ApproximatePair& pair : result.pairs) {
            lengths.push_back(pair.length);
        }
        addKind(lengths);
    }
}

ApproximateRows::ApproximateRows(const std::vector<std::vector<std::int64_t>>& lengths)
{
    for (const auto& kind : lengths) {
        addKind(kind);
    }
}

void ApproximateRows::addKind(const std::vector<std::int64_t>& lengths)
{
    std::array<std::vector<std::size_t>, kShorter + 1> byClass;
    for (std::size_t index = 0; index < lengths.size(); ++index) {
        byClass[approximateLengthClass(lengths[index]).value_or(kShorter)].push_back(index);
    }
    Kind& kind = kinds_.emplace_back();
    for (std::size_t lengthClass = 0; lengthClass < byClass.size(); ++lengthClass) {
        if (!byClass[lengthClass].empty()) {
            kind.classes.push_back(lengthClass);
            kind.pairs.push_back(std::move(byClass[lengthClass]));
        }
    }
    counts_.push_back(lengths.size());
}

std::size_t ApproximateRows::total() const
{
    std::size_t total = 0;
    for (int kind = 0; kind < static_cast<int>(kinds_.size()); ++kind) {
        total += pairCount(kind);
    }
    return total;
}

std::size_t ApproximateRows::pairCount(int kind) const
{
    return kind >= 0 && kind < static_cast<int>(counts_.size()) ? counts_[static_cast<std::size_t>(kind)] : 0;
}

const std::vector<std::size_t>& ApproximateRows::classes(int kind) const
{
    static const std::vector<std::size_t> kNone;
    return kind >= 0 && kind < static_cast<int>(kinds_.size())
               ? kinds_[static_cast<std::size_t>(kind)].classes
               : kNone;
}

const std::vector<std::size_t>& ApproximateRows::pairs(int kind, int classRow) const
{
    static const std::vector<std::size_t> kNone;
    if (kind < 0 || kind >= static_cast<int>(kinds_.size())) {
        return kNone;
    }
    const Kind& rows = kinds_[static_cast<std::size_t>(kind)];
    return classRow >= 0 && classRow < static_cast<int>(rows.pairs.size())
               ? rows.pairs[static_cast<std::size_t>(classRow)]
               : kNone;
}

std::optional<std::pair<int, int>> ApproximateRows::rowsOf(int kind, std::size_t pair) const
{
    if (kind < 0 || kind >= static_cast<int>(kinds_.size())) {
        return std::nullopt;
    }
    const Kind& rows = kinds_[static_cast<std::size_t>(kind)];
    for (std::size_t row = 0; row < rows.pairs.size(); ++row) {
        const auto& inClass = rows.pairs[row];
        const auto found = std::lower_bound(inClass.begin(), inClass.end(), pair);
        if (found != inClass.end() && *found == pair) {
            return std::pair{static_cast<int>(row), static_cast<int>(found - inClass.begin())};
        }
    }
    return std::nullopt;
}

}  // namespace tessaron
