#pragma once

#include "engine/tandemrepeats.h"
#include "tandem/copyaligner.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tessaron::tandem {

// A tandem array inside one stretch of text (letter codes 0..3), positions
// relative to the stretch, before it is placed on the circle.
struct FoundArray {
    std::int64_t start = 0;
    std::int64_t end = 0;  // exclusive
    std::vector<std::uint8_t> consensus;
    std::vector<AlignedCopy> copies;
    std::int64_t score = 0;
    double copyCount = 0.0;
};

// Grows a tandem array from a candidate: the copy of `period` letters before
// `position` is the first consensus; copies are aligned to it both ways, the
// consensus is voted again from them, twice, and the array realigned from its
// first letter. Gives nothing when the array does not reach the settings'
// minimum score and copies or its period leaves their bounds.
class ArrayBuilder {
public:
    ArrayBuilder(std::span<const std::uint8_t> text, const TandemSettings& settings);

    [[nodiscard]] std::optional<FoundArray> build(std::int64_t position, int period);

private:
    [[nodiscard]] FoundArray alignFrom(std::int64_t start, const std::vector<std::uint8_t>& consensus);

    std::span<const std::uint8_t> text_;
    const TandemSettings& settings_;
    CopyAligner aligner_;
};

// The consensus voted by the copies, letter by letter (a letter most copies
// delete goes, a letter most copies insert after a position comes in; ties
// keep the old letter), and for each old position the new position of its
// letter or of the next one kept.
struct Vote {
    std::vector<std::uint8_t> consensus;
    std::vector<int> newPosition;
};
[[nodiscard]] Vote voteConsensus(std::span<const AlignedCopy> copies, std::span<const std::uint8_t> text,
                                 const std::vector<std::uint8_t>& consensus);

// The shortest word whose power the word is (the word itself when none).
[[nodiscard]] std::vector<std::uint8_t> primitiveRoot(const std::vector<std::uint8_t>& word);

}  // namespace tessaron::tandem
