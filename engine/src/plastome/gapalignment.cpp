#include "gapalignment.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace tessaron::plastome {

namespace {

constexpr int kMismatch = 2;
constexpr int kGapOpen = 3;
constexpr int kGapExtend = 1;
constexpr int kInfinity = std::numeric_limits<int>::max() / 4;

// Traceback bits of one cell: where each of the three states came from.
// bits 0-1: the pair state's predecessor state; bit 2: the first-only state
// extended (else opened from a pair); bit 3: the same for second-only.
constexpr std::uint8_t kPair = 0;
constexpr std::uint8_t kFirst = 1;
constexpr std::uint8_t kSecond = 2;

int upperLetter(char c)
{
    return (c >= 'a' && c <= 'z') ? c - 32 : c;
}

}  // namespace

bool sameBase(char a, char b)
{
    const int x = upperLetter(a);
    if (x != 'A' && x != 'C' && x != 'G' && x != 'T') {
        return false;
    }
    return x == upperLetter(b);
}

std::vector<Column> alignGlobally(std::string_view first, std::string_view second)
{
    const std::size_t rows = first.size();
    const std::size_t cols = second.size();
    std::vector<Column> columns;
    if (rows == 0 || cols == 0) {
        columns.assign(rows + cols, rows == 0 ? Column::OnlySecond : Column::OnlyFirst);
        return columns;
    }
    const std::size_t width = cols + 1;
    std::vector<std::uint8_t> trace((rows + 1) * width, 0);
    // Costs of the previous and the current row for the three states.
    std::vector<int> pairPrev(width), firstPrev(width), secondPrev(width);
    std::vector<int> pairCur(width), firstCur(width), secondCur(width);
    pairPrev[0] = 0;
    firstPrev[0] = kInfinity;
    secondPrev[0] = kInfinity;
    for (std::size_t j = 1; j <= cols; ++j) {
        pairPrev[j] = kInfinity;
        firstPrev[j] = kInfinity;
        secondPrev[j] = kGapOpen + static_cast<int>(j) * kGapExtend;
        trace[j] = j > 1 ? 8 : 0;
    }
    for (std::size_t i = 1; i <= rows; ++i) {
        pairCur[0] = kInfinity;
        secondCur[0] = kInfinity;
        firstCur[0] = kGapOpen + static_cast<int>(i) * kGapExtend;
        trace[i * width] = i > 1 ? 4 : 0;
        for (std::size_t j = 1; j <= cols; ++j) {
            std::uint8_t bits = 0;
            // Pair: from the diagonal cell's best state; ties prefer the
            // gap states so that gaps end as late as possible.
            const int cost = sameBase(first[i - 1], second[j - 1]) ? 0 : kMismatch;
            int best = pairPrev[j - 1];
            std::uint8_t from = kPair;
            if (firstPrev[j - 1] <= best) {
                best = firstPrev[j - 1];
                from = kFirst;
            }
            if (secondPrev[j - 1] <= best) {
                best = secondPrev[j - 1];
                from = kSecond;
            }
            pairCur[j] = best + cost;
            bits |= from;
            // First only: from the cell above.
            const int openFirst = std::min({pairPrev[j], secondPrev[j]}) + kGapOpen + kGapExtend;
            const int extendFirst = firstPrev[j] + kGapExtend;
            if (extendFirst <= openFirst) {
                firstCur[j] = extendFirst;
                bits |= 4;
            } else {
                firstCur[j] = openFirst;
            }
            // Second only: from the cell to the left.
            const int openSecond = std::min({pairCur[j - 1], firstCur[j - 1]}) + kGapOpen + kGapExtend;
            const int extendSecond = secondCur[j - 1] + kGapExtend;
            if (extendSecond <= openSecond) {
                secondCur[j] = extendSecond;
                bits |= 8;
            } else {
                secondCur[j] = openSecond;
            }
            // Which state a gap was opened from: remembered in bits 4-5 and 6-7.
            bits |= static_cast<std::uint8_t>((pairPrev[j] <= secondPrev[j] ? kPair : kSecond) << 4);
            bits |= static_cast<std::uint8_t>((pairCur[j - 1] <= firstCur[j - 1] ? kPair : kFirst) << 6);
            trace[i * width + j] = bits;
        }
        std::swap(pairPrev, pairCur);
        std::swap(firstPrev, firstCur);
        std::swap(secondPrev, secondCur);
    }
    // The end state: the cheapest, preferring a pair (so that a gap does not
    // hang at the end when a pair costs the same).
    std::uint8_t state = kPair;
    int best = pairPrev[cols];
    if (firstPrev[cols] < best) {
        best = firstPrev[cols];
        state = kFirst;
    }
    if (secondPrev[cols] < best) {
        state = kSecond;
    }
    std::size_t i = rows;
    std::size_t j = cols;
    while (i > 0 || j > 0) {
        if (i == 0) {
            columns.push_back(Column::OnlySecond);
            --j;
            continue;
        }
        if (j == 0) {
            columns.push_back(Column::OnlyFirst);
            --i;
            continue;
        }
        const std::uint8_t bits = trace[i * width + j];
        if (state == kPair) {
            columns.push_back(Column::Pair);
            state = bits & 3;
            --i;
            --j;
        } else if (state == kFirst) {
            columns.push_back(Column::OnlyFirst);
            state = (bits & 4) ? kFirst : static_cast<std::uint8_t>((bits >> 4) & 3);
            --i;
        } else {
            columns.push_back(Column::OnlySecond);
            state = (bits & 8) ? kSecond : static_cast<std::uint8_t>((bits >> 6) & 3);
            --j;
        }
    }
    std::reverse(columns.begin(), columns.end());
    return columns;
}

}  // namespace tessaron::plastome
