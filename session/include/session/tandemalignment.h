#pragma once

// A tandem array read copy by copy, from the compact CIGAR of each copy
// against the consensus (TandemRepeat::alignment): where each copy lies in
// the genome, and the copies set out in the columns of the consensus for a
// reader to compare. Every copy is aligned from the consensus's first letter
// (the last copy may stop early).

#include "engine/tandemrepeats.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaron {

// One copy's letters in the genome: 0-based start (beyond N for a copy past
// the origin of an array that crosses it) and letter count.
struct TandemCopy {
    std::int64_t start = 0;
    std::int64_t length = 0;
    friend bool operator==(const TandemCopy&, const TandemCopy&) = default;
};

// The copies of `array` in order, each from the letters its CIGAR reads ('=',
// 'X', 'I'); none when the alignment is not a list of CIGARs whose letters
// add up to the array's length.
[[nodiscard]] std::vector<TandemCopy> tandemCopies(const TandemRepeat& array);

// The copies under the consensus, one text row each, all as wide as the
// consensus row: a column per consensus letter and, before each, as many
// columns as the most letters any copy inserts there. The consensus row has
// '-' in the inserted columns; a copy row has its letter, '-' for a consensus
// letter it lacks or an inserted column it has no letter for, and ' ' past
// the end of a last copy that stops early. A column where a copy's row
// differs from the consensus row (other than ' ') is a mismatch or an indel.
struct TandemAlignment {
    std::string consensus;
    std::vector<std::string> copies;
};

// The alignment of `array`, whose letters are `letters` (array.length of
// them, as the genome reads them from its start); none when the CIGARs do not
// fit the letters or the consensus.
[[nodiscard]] std::optional<TandemAlignment> alignCopies(const TandemRepeat& array, std::string_view letters);

// The letters of `array` in a circular `sequence`, from its start.
[[nodiscard]] std::string arrayLetters(std::string_view sequence, const TandemRepeat& array);

}  // namespace tessaron
