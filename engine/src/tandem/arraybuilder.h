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

// Aligns a whole array at once against its consensus repeated: one dynamic
// programme over the letters read from a position (rightwards, or leftwards)
// and the consensus letters unrolled copy after copy, in a band round the
// best cell of the row before. Unlike copies aligned one after another, a
// copy's end is never fixed before the next copy is seen. The alignment ends
// at its best score (the farthest place it is reached: read either way, an
// array takes in a tail that scores nothing) and is given up where a
// letter's best falls `dropOff` below it; copies are cut where the consensus
// starts again, in forward reading, by text position, as CopyAligner gives
// them (nothing when no alignment scores above 0).
class WrapAligner {
public:
    explicit WrapAligner(ScoreWeights weights) : weights_(weights) {}

    [[nodiscard]] std::vector<AlignedCopy> align(std::span<const std::uint8_t> text, std::int64_t from,
                                                 int direction, const std::vector<std::uint8_t>& consensus,
                                                 int dropOff);

private:
    ScoreWeights weights_;
    std::vector<std::uint8_t> pattern_;  // the consensus in reading order, and its first letters again
    std::vector<int> previous_;
    std::vector<int> current_;
    std::vector<int> above_;              // a row's best scores from the row before
    std::vector<std::uint8_t> rowMoves_;  // a row's moves, a byte each, before they are packed
    std::vector<std::int64_t> low_;       // per letter read: the consensus index of the band's first cell
    std::vector<std::uint8_t> moves_;     // per letter read, per cell of the band: two bits, four a byte
};

// Grows a tandem array from a candidate: the copy of `period` letters before
// `position` is the first consensus; copies are aligned to it both ways, the
// consensus is voted again from them, twice, and the array realigned from its
// first letter. Gives nothing when the array does not reach the settings'
// minimum score and copies or its period leaves their bounds. Below three
// copies each whole copy seeds the array again and the best is kept; an
// imperfect array of at most 12 copies is tried at two and three times its
// period as well, seeded from each whole copy, and the longer period kept
// when it scores clearly better.
class ArrayBuilder {
public:
    ArrayBuilder(std::span<const std::uint8_t> text, const TandemSettings& settings);

    [[nodiscard]] std::optional<FoundArray> build(std::int64_t position, int period);

private:
    [[nodiscard]] std::optional<FoundArray> reseeded(std::int64_t position, int period);
    [[nodiscard]] std::optional<FoundArray> grow(std::int64_t position, int period);
    [[nodiscard]] FoundArray alignFrom(std::int64_t start, const std::vector<std::uint8_t>& consensus);

    std::span<const std::uint8_t> text_;
    const TandemSettings& settings_;
    CopyAligner aligner_;
    WrapAligner wrap_;
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
