#include "report/wordtext.h"

namespace tessaron {

namespace {

constexpr std::string_view kEllipsis = "\u2026";

}  // namespace

std::string shownWord(std::string_view word)
{
    if (word.size() <= kLongestWholeWord) {
        return std::string(word);
    }
    std::string shown(word.substr(0, kShownBeginning));
    shown += kEllipsis;
    return shown;
}

std::string shownWord(const Genome& genome, std::int64_t start, int length)
{
    if (length < 0 || static_cast<std::size_t>(length) <= kLongestWholeWord) {
        return genome.word(start, length);
    }
    std::string shown = genome.word(start, static_cast<int>(kShownBeginning));
    shown += kEllipsis;
    return shown;
}

}  // namespace tessaron
