#include "engine/genome.h"

#include "engine/alphabet.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <new>
#include <stdexcept>

namespace tessaron {

Genome::Genome() noexcept = default;
Genome::~Genome() = default;

Genome::Genome(Genome&& other) noexcept
{
    swap(other);
}

Genome& Genome::operator=(Genome&& other) noexcept
{
    Genome taken(std::move(other));
    swap(taken);
    return *this;
}

void Genome::swap(Genome& other) noexcept
{
    using std::swap;
    swap(sequence_, other.sequence_);
    swap(letterCounts_, other.letterCounts_);
    swap(gaps_, other.gaps_);
    swap(capacity_, other.capacity_);
    swap(minLength_, other.minLength_);
    swap(lengthBound_, other.lengthBound_);
    swap(title_, other.title_);
    swap(pairLimit_, other.pairLimit_);
}

void Genome::resetSettings(int minimum, int maximum)
{
    minimum = std::max(minimum, 3);
    if (maximum <= minimum) {
        maximum = minimum + 1;
    }
    minLength_ = minimum;
    lengthBound_ = maximum + 1;
    sequence_.clear();
    letterCounts_.fill(0);
    gaps_.clear();
    capacity_ = 0;
}

bool Genome::allocate(std::int64_t capacity, int minimum, int maximum)
{
    std::string().swap(sequence_);
    std::vector<std::int32_t>().swap(gaps_);
    resetSettings(minimum, maximum);
    const auto wanted =
        static_cast<int>(std::clamp<std::int64_t>(capacity, 0, std::numeric_limits<std::int32_t>::max()));
    try {
        sequence_.reserve(static_cast<std::size_t>(wanted));
    } catch (const std::bad_alloc&) {
        std::string().swap(sequence_);
        return false;
    } catch (const std::length_error&) {
        std::string().swap(sequence_);
        return false;
    }
    capacity_ = wanted;
    return true;
}

void Genome::appendText(const char* text)
{
    while (length() < capacity_) {
        const auto ch = static_cast<signed char>(*text);
        if (!appendBase(ch)) {
            break;
        }
        ++text;
    }
}

namespace {

// The letter index of every byte, looked up: the switch of letterIndex is a
// jump through a table, which the predictor misses on every other letter of
// a genome.
constexpr std::array<std::int8_t, 256> kIndexOfByte = [] {
    std::array<std::int8_t, 256> table{};
    for (std::size_t byte = 0; byte < table.size(); ++byte) {
        table[byte] = static_cast<std::int8_t>(letterIndex(static_cast<char>(byte)));
    }
    return table;
}();

}  // namespace

bool Genome::appendBase(int ch)
{
    if (ch == 0 || ch == -1) {
        return false;
    }
    const bool lower = ch >= 'a' && ch <= 'z';
    if (!lower && !(ch >= 'A' && ch <= 'Z')) {
        return true;
    }
    if (length() < capacity_) {
        const char letter = static_cast<char>(lower ? ch - 'a' + 'A' : ch);
        if (const int index = kIndexOfByte[static_cast<unsigned char>(letter)]; index >= 0) {
            ++letterCounts_[static_cast<std::size_t>(index)];
        } else {
            gaps_.push_back(length());
        }
        sequence_.push_back(letter);
    }
    return true;
}

void Genome::setLengthBounds(int minimum, int maximum)
{
    minLength_ = minimum;
    lengthBound_ = maximum + 1;
}

namespace {

// Where to cut `text` to at most `limit` bytes without splitting a UTF-8
// character: before the lead byte of one that would not fit. Text that is not
// UTF-8 (Latin-1, say) is cut at `limit`.
std::size_t utf8Cut(std::string_view text, std::size_t limit)
{
    if (text.size() <= limit) {
        return text.size();
    }
    // A character takes at most four bytes: its lead is at most three back.
    for (std::size_t back = 0; back <= 3 && back <= limit; ++back) {
        const std::size_t at = limit - back;
        const auto lead = static_cast<unsigned char>(text[at]);
        if ((lead & 0xC0U) == 0x80U) {
            continue;  // a continuation byte: the lead is further back
        }
        const std::size_t length = lead >= 0xF0U ? 4 : lead >= 0xE0U ? 3 : lead >= 0xC0U ? 2 : 1;
        return at + length > limit ? at : limit;
    }
    return limit;
}

}  // namespace

void Genome::setTitle(std::string_view title)
{
    title_.assign(title.substr(0, utf8Cut(title, kTitleLength)));
}

std::int64_t Genome::letterCount(char letter) const
{
    const int index = letterIndex(letter);
    return index < 0 ? 0 : letterCounts_[static_cast<std::size_t>(index)];
}

bool Genome::isGap(std::int64_t position) const
{
    return !gaps_.empty() && letterIndex(at(position)) < 0;
}

char Genome::at(std::int64_t position) const
{
    const auto n = static_cast<std::int64_t>(sequence_.size());
    if (n == 0) {
        return '\0';
    }
    std::int64_t r = position % n;
    if (r < 0) {
        r += n;
    }
    return sequence_[static_cast<std::size_t>(r)];
}

std::string Genome::word(std::int64_t start, int count) const
{
    std::string result;
    if (sequence_.empty() || count <= 0) {
        return result;
    }
    result.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        result.push_back(at(start + i));
    }
    return result;
}

}  // namespace tessaron
