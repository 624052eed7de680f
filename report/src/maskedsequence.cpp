#include "report/maskedsequence.h"

#include <algorithm>

namespace tessaron {

std::string maskSequence(std::string_view sequence, std::span<const SequenceStretch> stretches, MaskMode mode)
{
    std::string out(sequence);
    const auto size = static_cast<std::int64_t>(out.size());
    for (const SequenceStretch& stretch : stretches) {
        const std::int64_t from = std::clamp<std::int64_t>(stretch.start, 0, size);
        const std::int64_t to = std::clamp<std::int64_t>(stretch.end, from, size);
        for (std::int64_t i = from; i < to; ++i) {
            char& letter = out[static_cast<std::size_t>(i)];
            if (mode == MaskMode::Hard) {
                letter = 'N';
            } else if (letter >= 'A' && letter <= 'Z') {
                letter = static_cast<char>(letter - 'A' + 'a');
            }
        }
    }
    return out;
}

void writeFasta(std::ostream& out, std::string_view title, std::string_view sequence)
{
    out << '>' << title << '\n';
    constexpr std::size_t kLine = 60;
    for (std::size_t at = 0; at < sequence.size(); at += kLine) {
        out << sequence.substr(at, kLine) << '\n';
    }
}

}  // namespace tessaron
