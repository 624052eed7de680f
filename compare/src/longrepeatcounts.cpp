#include "compare/longrepeatcounts.h"

namespace tessaron {

ApproximateClassCounts gappedClassCounts(std::span<const GappedResult> results)
{
    ApproximateClassCounts counts{};
    for (const GappedResult& result : results) {
        auto& perClass = counts[static_cast<std::size_t>(result.kind)];
        for (const GappedPair& pair : result.pairs) {
            if (const auto lengthClass =
                    approximateLengthClass(pair.shorterLength(), result.settings.minLength)) {
                ++perClass[*lengthClass];
            }
        }
    }
    return counts;
}

std::size_t familySizeClass(std::size_t copies)
{
    return copies <= 2 ? 0 : copies <= 5 ? 1 : 2;
}

FamilyCountTable familyCountTable(std::span<const RepeatFamily> families, int minLength)
{
    FamilyCountTable table{};
    for (const RepeatFamily& family : families) {
        if (family.copies.empty()) {
            continue;
        }
        const FamilyCopy& representative = family.copies[family.representative];
        if (const auto lengthClass = approximateLengthClass(representative.length, minLength)) {
            ++table[*lengthClass][familySizeClass(family.copies.size())];
        }
    }
    return table;
}

}  // namespace tessaron
