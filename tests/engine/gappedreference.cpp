#include "gappedreference.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace tessaron::reference {

namespace gappedbrute {

constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::min() / 4;

bool isBase(char letter)
{
    return letter == 'A' || letter == 'C' || letter == 'G' || letter == 'T';
}

char complementOf(char letter)
{
    switch (letter) {
        case 'A':
            return 'T';
        case 'T':
            return 'A';
        case 'C':
            return 'G';
        case 'G':
            return 'C';
        default:
            return letter;
    }
}

bool isLine(RepeatKind kind)
{
    return kind == RepeatKind::Inverted || kind == RepeatKind::Mirror;
}

// Gotoh over a x b; `allowed(i, j)` says whether the state after a[i] and b[j]
// (1-based, 0 for none yet) may be entered.
template <typename Allowed>
std::int64_t gotoh(std::string_view a, std::string_view b, const GappedSettings& settings, Allowed&& allowed)
{
    const std::size_t columns = b.size() + 1;
    std::vector<std::int64_t> h(columns, 0);
    std::vector<std::int64_t> e(columns, kNone);
    std::vector<std::int64_t> nh(columns, 0);
    std::vector<std::int64_t> ne(columns, kNone);
    const std::int64_t openExtend = settings.gapOpen + settings.gapExtend;
    std::int64_t best = 0;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        nh[0] = 0;
        ne[0] = kNone;
        std::int64_t f = kNone;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            if (!allowed(i, j) || !gappedbrute::isBase(a[i - 1]) || !gappedbrute::isBase(b[j - 1])) {
                nh[j] = 0;
                ne[j] = kNone;
                f = kNone;
                continue;
            }
            ne[j] = std::max(h[j] - openExtend, e[j] - settings.gapExtend);
            f = std::max(nh[j - 1] - openExtend, f - settings.gapExtend);
            const std::int64_t diagonal = h[j - 1] + (a[i - 1] == b[j - 1] ? 1 : -settings.mismatchPenalty);
            nh[j] = std::max({std::int64_t{0}, diagonal, ne[j], f});
            best = std::max(best, nh[j]);
        }
        std::swap(h, nh);
        std::swap(e, ne);
    }
    return best;
}

}  // namespace gappedbrute

using namespace gappedbrute;

std::string circularSlice(std::string_view sequence, std::int64_t start, std::int64_t length)
{
    std::string out;
    const auto n = static_cast<std::int64_t>(sequence.size());
    for (std::int64_t k = 0; k < length; ++k) {
        out += sequence[static_cast<std::size_t>((start + k) % n)];
    }
    return out;
}

std::string asRead(std::string_view copy, RepeatKind kind)
{
    std::string out(copy);
    if (gappedbrute::isLine(kind)) {
        std::reverse(out.begin(), out.end());
    }
    if (kind == RepeatKind::Inverted || kind == RepeatKind::Complementary) {
        for (char& letter : out) {
            letter = gappedbrute::complementOf(letter);
        }
    }
    return out;
}

std::int64_t localScore(std::string_view a, std::string_view b, const GappedSettings& settings)
{
    return gotoh(a, b, settings, [](std::size_t, std::size_t) { return true; });
}

std::int64_t bestScoreOnHalf(std::string_view sequence, RepeatKind kind, const GappedSettings& settings)
{
    const std::string read = asRead(sequence, kind);
    const std::size_t n = sequence.size();
    if (gappedbrute::isLine(kind)) {
        // Letter i - 1 faces letter N - j of S.
        return gotoh(sequence, read, settings, [n](std::size_t i, std::size_t j) { return i - 1 < n - j; });
    }
    return gotoh(sequence, read, settings, [](std::size_t i, std::size_t j) { return i < j; });
}

std::int64_t cigarScore(std::string_view sequence, RepeatKind kind, const GappedPair& pair,
                        const GappedSettings& settings)
{
    const std::string first = circularSlice(sequence, pair.first, pair.length);
    const std::string second = asRead(circularSlice(sequence, pair.second, pair.secondLength), kind);
    std::int64_t score = 0;
    std::size_t a = 0;
    std::size_t b = 0;
    std::size_t c = 0;
    while (c < pair.cigar.size()) {
        std::size_t count = 0;
        while (c < pair.cigar.size() && pair.cigar[c] >= '0' && pair.cigar[c] <= '9') {
            count = count * 10 + static_cast<std::size_t>(pair.cigar[c] - '0');
            ++c;
        }
        const char op = pair.cigar[c++];
        if (op == 'I' || op == 'D') {
            score -= settings.gapOpen + settings.gapExtend * static_cast<std::int64_t>(count);
            (op == 'I' ? b : a) += count;
            continue;
        }
        for (std::size_t x = 0; x < count; ++x, ++a, ++b) {
            const bool equal = first.at(a) == second.at(b) && gappedbrute::isBase(first[a]);
            if (equal != (op == '=')) {
                return kNone;  // the CIGAR says otherwise
            }
            score += equal ? 1 : -settings.mismatchPenalty;
        }
    }
    return a == first.size() && b == second.size() ? score : kNone;
}

}  // namespace tessaron::reference
