#pragma once

#include "report/tandemreport.h"

#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace tessaron {

// How masked letters are written: in lower case (soft) or as N (hard).
enum class MaskMode { Soft, Hard };

// The sequence with the letters of the stretches masked (stretches within
// [0, N], as tandemStretches gives them; overlaps are masked once). Soft
// masking lowers the case of every letter, gaps included, so that raising it
// again gives the sequence back.
[[nodiscard]] std::string maskSequence(std::string_view sequence, std::span<const SequenceStretch> stretches,
                                       MaskMode mode);

// The sequence as one FASTA record: ">" and the title, then 60 letters a line.
void writeFasta(std::ostream& out, std::string_view title, std::string_view sequence);

}  // namespace tessaron
