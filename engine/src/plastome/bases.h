#pragma once

namespace tessaron::plastome {

// A base's 2-bit code (A 0, C 1, G 2, T 3, either case); -1 for any other letter.
constexpr int baseCode(char c)
{
    switch (c) {
        case 'A':
        case 'a':
            return 0;
        case 'C':
        case 'c':
            return 1;
        case 'G':
        case 'g':
            return 2;
        case 'T':
        case 't':
            return 3;
        default:
            return -1;
    }
}

// The complementary base, case kept; any other letter as it is.
constexpr char complementOf(char c)
{
    switch (c) {
        case 'A':
            return 'T';
        case 'C':
            return 'G';
        case 'G':
            return 'C';
        case 'T':
            return 'A';
        case 'a':
            return 't';
        case 'c':
            return 'g';
        case 'g':
            return 'c';
        case 't':
            return 'a';
        default:
            return c;
    }
}

constexpr char upperCase(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

}  // namespace tessaron::plastome
