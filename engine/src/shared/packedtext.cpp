#include "packedtext.h"

#include <utility>

namespace tessaron {

PackedText::PackedText(std::string_view sequence, bool backwards, const std::stop_token& stop)
    : length_(static_cast<std::int64_t>(sequence.size()))
{
    const auto words = static_cast<std::size_t>((3 * length_ + 64) / 32 + 2);
    codes_.assign(words, 0);
    bool anyGap = false;
    std::vector<std::uint64_t> gaps(words, 0);
    const auto n = static_cast<std::size_t>(length_);
    for (std::size_t i = 0, at = 0; i < words * 32; ++i, at = at + 1 == n ? 0 : at + 1) {
        if ((i & 0xFFFFU) == 0 && stop.stop_requested()) {
            return;
        }
        const char letter = sequence[backwards ? n - 1 - at : at];
        std::uint64_t code = 0;
        switch (letter) {
            case 'A':
                code = 0;
                break;
            case 'C':
                code = 1;
                break;
            case 'G':
                code = 2;
                break;
            case 'T':
                code = 3;
                break;
            default:
                gaps[i / 32] |= std::uint64_t{1} << (2 * (i % 32));
                anyGap = true;
                break;
        }
        codes_[i / 32] |= code << (2 * (i % 32));
    }
    if (anyGap) {
        gaps_ = std::move(gaps);
    }
}

}  // namespace tessaron
