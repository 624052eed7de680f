#pragma once

// The four letters as every layer reads them: the engine's letter codes in
// the order A, T, C, G (child slots of the index, result order, the random
// generator's letters), the code of a gap, and the complement.

#include <array>
#include <cstdint>

namespace tessaron {

// Letter codes: A = 0, T = 1, C = 2, G = 3; any other letter is a gap.
inline constexpr int kLetters = 4;
inline constexpr std::array<char, kLetters> kAlphabet{'A', 'T', 'C', 'G'};
inline constexpr std::uint8_t kGapCode = 4;

// The code of an upper-case base, or -1 for any other character.
[[nodiscard]] constexpr int letterIndex(char ch)
{
    switch (ch) {
        case 'A':
            return 0;
        case 'T':
            return 1;
        case 'C':
            return 2;
        case 'G':
            return 3;
        default:
            return -1;
    }
}

// The code of a letter of a sequence: its letter index, kGapCode for a gap.
[[nodiscard]] constexpr std::uint8_t baseCode(char ch)
{
    const int index = letterIndex(ch);
    return index < 0 ? kGapCode : static_cast<std::uint8_t>(index);
}

// Whether a character is one of the upper-case bases A, T, C, G.
[[nodiscard]] constexpr bool isBase(char ch)
{
    return letterIndex(ch) >= 0;
}

// The complement of a letter code (A <-> T, C <-> G); a gap stays a gap.
[[nodiscard]] constexpr std::uint8_t complement(std::uint8_t code)
{
    return code < kGapCode ? static_cast<std::uint8_t>(code ^ 1U) : code;
}

// The complement of an upper-case base; any other character is kept.
[[nodiscard]] constexpr char complement(char base)
{
    const int index = letterIndex(base);
    return index < 0 ? base : kAlphabet[static_cast<std::size_t>(index) ^ 1U];
}

}  // namespace tessaron
