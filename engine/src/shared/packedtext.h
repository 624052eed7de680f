#pragma once

#include <bit>
#include <cstdint>
#include <stop_token>
#include <string_view>
#include <vector>

namespace tessaron {

// A sequence as 2-bit letter codes (A 0, C 1, G 2, T 3, so that the
// complement of a code is code ^ 3), 32 to a word, read circularly 32 letters
// at a time from any position. Gaps are coded 0 and flagged in a second plane
// of the same layout (01 in their two bits), kept only when there are gaps.
class PackedText {
public:
    // The sequence itself, or read backwards (letter j is S[N-1-j]).
    // Stops early, leaving the text incomplete, once `stop` is requested
    // (the caller looks at it afterwards).
    PackedText(std::string_view sequence, bool backwards, const std::stop_token& stop = {});
    PackedText() = default;  // no letters: to be assigned

    [[nodiscard]] std::int64_t length() const { return length_; }
    [[nodiscard]] bool hasGaps() const { return !gaps_.empty(); }
    // Letters position .. position+31 (any integer position, read modulo
    // the length): letter position+k in bits 2k and 2k+1.
    [[nodiscard]] std::uint64_t letters(std::int64_t position) const { return read(codes_, position); }
    // 01 in the bits of each gap among the same letters; 0 without gaps.
    [[nodiscard]] std::uint64_t gaps(std::int64_t position) const
    {
        return gaps_.empty() ? 0 : read(gaps_, position);
    }

    // Reads 32 letters at a time from a position on, for up to two lengths.
    class Cursor {
    public:
        Cursor() = default;
        Cursor(const std::vector<std::uint64_t>& words, std::int64_t position)
            : words_(words.data() + (position >> 5)), shift_(static_cast<unsigned>(position & 31) * 2U)
        {
            current_ = words_[0];
        }
        std::uint64_t next()
        {
            const std::uint64_t following = *++words_;
            const std::uint64_t value = (current_ >> shift_) | ((following << 1U) << (63U - shift_));
            current_ = following;
            return value;
        }

    private:
        const std::uint64_t* words_ = nullptr;
        unsigned shift_ = 0;
        std::uint64_t current_ = 0;
    };
    [[nodiscard]] Cursor letterCursor(std::int64_t position) const { return {codes_, reduce(position)}; }
    // The letters as stored: letter j in bits 2 (j % 32) of word j / 32, for
    // j up to 3N + 63.
    [[nodiscard]] const std::uint64_t* words() const { return codes_.data(); }
    [[nodiscard]] Cursor gapCursor(std::int64_t position) const { return {gaps_, reduce(position)}; }

private:
    [[nodiscard]] std::int64_t reduce(std::int64_t position) const
    {
        position %= length_;
        return position < 0 ? position + length_ : position;
    }
    [[nodiscard]] std::uint64_t read(const std::vector<std::uint64_t>& words, std::int64_t position) const
    {
        if (position < 0 || position >= 2 * length_) {
            position = reduce(position);
        }
        const auto index = static_cast<std::size_t>(position >> 5);
        const auto shift = static_cast<unsigned>(position & 31) * 2U;
        // Two shifts for the high word, so that a shift of 0 takes nothing from it.
        return (words[index] >> shift) | ((words[index + 1] << 1U) << (63U - shift));
    }

    std::int64_t length_ = 0;
    // The letters repeated for positions 0 .. 3N + 63, so that reads from
    // below 2N and cursors from below N for up to 2N letters need no wrapping.
    std::vector<std::uint64_t> codes_;
    std::vector<std::uint64_t> gaps_;
};

inline constexpr std::uint64_t kLowBits = 0x5555555555555555ULL;

// Two letter streams lined up pair by pair: pair x holds letter first + x of
// one text and letter second + x of another, the latter complemented when
// `complement` is set. The pairs are reported 32 at a time, pair x + k in
// bit 2k.
struct PairReader {
    const PackedText* firstText = nullptr;
    std::int64_t first = 0;
    const PackedText* secondText = nullptr;
    std::int64_t second = 0;
    bool complement = false;

    // Bit 2k set when pair x + k cannot line up equal: a mismatch or a gap.
    [[nodiscard]] std::uint64_t bad(std::int64_t x) const
    {
        std::uint64_t diff = firstText->letters(first + x) ^ secondText->letters(second + x);
        if (complement) {
            diff = ~diff;
        }
        return ((diff | (diff >> 1U)) & kLowBits) | gapBits(x);
    }
    // Bit 2k set when pair x + k holds a gap.
    [[nodiscard]] std::uint64_t gapBits(std::int64_t x) const
    {
        return firstText->gaps(first + x) | secondText->gaps(second + x);
    }
    [[nodiscard]] bool hasGaps() const { return firstText->hasGaps(); }
};

// Reads the pairs of a reader 32 at a time from a pair on, for up to two
// track lengths.
class PairStream {
public:
    PairStream() = default;
    PairStream(const PairReader& reader, std::int64_t x)
        : first_(reader.firstText->letterCursor(reader.first + x)),
          second_(reader.secondText->letterCursor(reader.second + x)),
          flip_(reader.complement ? ~std::uint64_t{0} : 0),
          withGaps_(reader.hasGaps())
    {
        if (withGaps_) {
            firstGaps_ = reader.firstText->gapCursor(reader.first + x);
            secondGaps_ = reader.secondText->gapCursor(reader.second + x);
        }
    }
    // The next 32 pairs: bit 2k set when pair k cannot line up equal;
    // `gaps` gets those that hold a gap.
    std::uint64_t next(std::uint64_t& gaps)
    {
        const std::uint64_t diff = first_.next() ^ second_.next() ^ flip_;
        gaps = withGaps_ ? firstGaps_.next() | secondGaps_.next() : 0;
        return ((diff | (diff >> 1U)) & kLowBits) | gaps;
    }

private:
    PackedText::Cursor first_;
    PackedText::Cursor second_;
    PackedText::Cursor firstGaps_;
    PackedText::Cursor secondGaps_;
    std::uint64_t flip_ = 0;
    bool withGaps_ = false;
};

// The pair index (0..31) of the lowest set bit of a nonzero pair mask.
inline int lowestPair(std::uint64_t mask)
{
    return std::countr_zero(mask) / 2;
}

// The pair index of the highest set bit of a nonzero pair mask.
inline int highestPair(std::uint64_t mask)
{
    return (63 - std::countl_zero(mask)) / 2;
}

// The mask of pairs 0 .. count-1 (count 0..32).
inline std::uint64_t firstPairs(std::int64_t count)
{
    return count >= 32 ? kLowBits : kLowBits & ((std::uint64_t{1} << (2 * count)) - 1);
}

}  // namespace tessaron
