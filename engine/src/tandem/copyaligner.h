#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tessaron::tandem {

struct ScoreWeights {
    int match = 2;
    int mismatch = 7;
    int indel = 7;
};

// One copy of an array aligned to (part of) the consensus, read forward:
// consensus letters [firstRow, firstRow + rows) against the text's letters
// [textStart, textStart + textLength). `ops` holds one letter per column:
// '=' match, 'X' mismatch, 'I' letter inserted, 'D' consensus letter deleted.
struct AlignedCopy {
    std::int64_t textStart = 0;
    std::int64_t textLength = 0;
    int firstRow = 0;
    int rows = 0;
    int score = 0;
    std::string ops;
};

// Aligns copies of a consensus to a text (letter codes 0..3) one after
// another in a band round the diagonal, from a position rightwards or
// leftwards, and ends the array where the running score is best: after a
// whole copy, or inside one (a prefix of the consensus going right, a suffix
// going left). A copy whose score falls `dropOff` below the best it reached
// ends the alignment there.
class CopyAligner {
public:
    CopyAligner(ScoreWeights weights, int dropOff) : weights_(weights), dropOff_(dropOff) {}
    void setDropOff(int dropOff) { dropOff_ = dropOff; }

    // The copies from `from` going right (direction +1: text [from, end)) or
    // left (-1: text [begin, from)), in forward reading, ordered by text
    // position. `known` copies already aligned just before `from` (going
    // right) start the running score, and come first in the result.
    [[nodiscard]] std::vector<AlignedCopy> extend(std::span<const std::uint8_t> text, std::int64_t from,
                                                  int direction, const std::vector<std::uint8_t>& consensus,
                                                  std::vector<AlignedCopy> known = {});

private:
    struct CellResult {
        int score = 0;
        int row = 0;
        int column = 0;
        bool found = false;
    };
    // Fills the band for `segment` against `pattern`, giving up the copy (no
    // whole copy) where it went bad, or where no end of it can score
    // `enough` any more (each row adds a match at most).
    void fill(int band, std::int64_t enough);
    [[nodiscard]] std::string traceback(int row, int column, int band);

    ScoreWeights weights_;
    int dropOff_;
    std::vector<std::uint8_t> pattern_;
    std::vector<std::uint8_t> segment_;
    std::vector<int> previous_;
    std::vector<int> current_;
    std::vector<std::uint8_t> moves_;
    std::string trace_;  // room for a traceback
    CellResult full_;
    CellResult partial_;
};

// The band's half width for a consensus of `period` letters.
[[nodiscard]] int bandFor(int period);

}  // namespace tessaron::tandem
