// The gapped search's X-drop aligner against a plain one: every state of the
// whole table in 64 bits, a state dropped when it falls more than the X-drop
// below the best found before it (rows in order, columns left to right), the
// same preferences on ties; the banded aligner must give the same best state
// and the same path.

#include "gapped/gappedextension.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace tessaron::gapped {
namespace {

constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::min() / 4;
constexpr std::uint8_t kGapLetter = 4;

Extension plainExtension(const Scoring& scoring, const Side& side)
{
    const auto usable = [](std::span<const std::uint8_t> letters) {
        const auto gap = std::find(letters.begin(), letters.end(), kGapLetter);
        return static_cast<std::int64_t>(gap - letters.begin());
    };
    const std::int64_t rows = usable(side.first);
    const std::int64_t columns = usable(side.second);
    const auto at = [&](std::int64_t a, std::int64_t b) {
        return static_cast<std::size_t>(a * (columns + 1) + b);
    };
    const auto size = static_cast<std::size_t>((rows + 1) * (columns + 1));
    std::vector<std::int64_t> h(size, kNone);
    std::vector<std::int64_t> e(size, kNone);
    std::vector<std::int64_t> f(size, kNone);
    // 0 diagonal, 1 E, 2 F, 3 origin; E and F opened there.
    std::vector<int> source(size, 3);
    std::vector<bool> eOpened(size, false);
    std::vector<bool> fOpened(size, false);
    const std::int64_t openExtend = scoring.open + scoring.extend;
    std::int64_t best = 0;
    std::int64_t bestA = 0;
    std::int64_t bestB = 0;
    h[at(0, 0)] = 0;
    for (std::int64_t a = 0; a <= rows; ++a) {
        for (std::int64_t b = a == 0 ? 1 : 0; b <= columns; ++b) {
            const std::size_t x = at(a, b);
            if (a > 0 && h[at(a - 1, b)] > kNone) {
                const std::int64_t opened = h[at(a - 1, b)] - openExtend;
                const std::int64_t extended =
                    e[at(a - 1, b)] > kNone ? e[at(a - 1, b)] - scoring.extend : kNone;
                e[x] = std::max(opened, extended);
                eOpened[x] = opened >= extended;
            }
            if (b > 0 && h[at(a, b - 1)] > kNone) {
                const std::int64_t opened = h[at(a, b - 1)] - openExtend;
                const std::int64_t extended =
                    f[at(a, b - 1)] > kNone ? f[at(a, b - 1)] - scoring.extend : kNone;
                f[x] = std::max(opened, extended);
                fOpened[x] = opened >= extended;
            }
            std::int64_t score = kNone;
            if (a > 0 && b > 0 && h[at(a - 1, b - 1)] > kNone) {
                const bool equal = side.first[static_cast<std::size_t>(a - 1)] ==
                                   side.second[static_cast<std::size_t>(b - 1)];
                score = h[at(a - 1, b - 1)] + (equal ? 1 : -scoring.mismatch);
                source[x] = 0;
            }
            if (e[x] > score) {
                score = e[x];
                source[x] = 1;
            }
            if (f[x] > score) {
                score = f[x];
                source[x] = 2;
            }
            const bool forbidden = b - a == side.forbiddenDifference[0] ||
                                   b - a == side.forbiddenDifference[1] ||
                                   (side.maxTotal >= 0 && a + b > side.maxTotal);
            if (score <= kNone || score < best - scoring.xDrop || forbidden) {
                h[x] = kNone;
                e[x] = kNone;
                f[x] = kNone;
                continue;
            }
            h[x] = score;
            if (score > best) {
                best = score;
                bestA = a;
                bestB = b;
            }
        }
    }
    Extension extension{best, bestA, bestB, {}};
    int state = 0;  // H, E, F
    std::int64_t a = bestA;
    std::int64_t b = bestB;
    while (a > 0 || b > 0) {
        const std::size_t x = at(a, b);
        if (state == 0) {
            if (source[x] == 0) {
                extension.ops.push_back(side.first[static_cast<std::size_t>(a - 1)] ==
                                                side.second[static_cast<std::size_t>(b - 1)]
                                            ? kEqual
                                            : kMismatch);
                --a;
                --b;
            } else {
                state = source[x];
            }
        } else if (state == 1) {
            extension.ops.push_back(kDeletion);
            state = eOpened[x] ? 0 : 1;
            --a;
        } else {
            extension.ops.push_back(kInsertion);
            state = fOpened[x] ? 0 : 2;
            --b;
        }
    }
    std::reverse(extension.ops.begin(), extension.ops.end());
    return extension;
}

// Without gaps: the best prefix of the seed's own line, the X-drop the
// ungapped look's (at most 16).
std::pair<std::int64_t, std::int64_t> plainUngapped(const Scoring& scoring, const Side& side)
{
    std::int64_t score = 0;
    std::int64_t best = 0;
    std::int64_t length = 0;
    for (std::size_t k = 0; k < std::min(side.first.size(), side.second.size()); ++k) {
        const auto letters = static_cast<std::int64_t>(2 * (k + 1));
        if (side.first[k] == kGapLetter || side.second[k] == kGapLetter || side.forbiddenDifference[0] == 0 ||
            side.forbiddenDifference[1] == 0 || (side.maxTotal >= 0 && letters > side.maxTotal)) {
            break;
        }
        score += side.first[k] == side.second[k] ? 1 : -scoring.mismatch;
        if (score > best) {
            best = score;
            length = static_cast<std::int64_t>(k + 1);
        }
        if (score < best - std::min<std::int64_t>(scoring.xDrop, 16)) {
            break;
        }
    }
    return {best, length};
}

// A copy of `from` with mismatches, insertions and deletions at the rates
// given (per thousand letters).
std::vector<std::uint8_t> mutated(std::mt19937& rng, const std::vector<std::uint8_t>& from, int changes,
                                  int indels)
{
    std::vector<std::uint8_t> out;
    for (const std::uint8_t letter : from) {
        const auto roll = static_cast<int>(rng() % 1000);
        if (roll < indels / 2) {
            continue;  // deleted
        }
        if (roll < indels) {
            const auto length = 1 + rng() % 6;
            for (std::uint32_t k = 0; k < length; ++k) {
                out.push_back(static_cast<std::uint8_t>(rng() % 4));
            }
        }
        out.push_back(roll < indels + changes ? static_cast<std::uint8_t>(rng() % 4) : letter);
    }
    return out;
}

struct Case {
    const char* name;
    Scoring scoring;
    int changes;  // per thousand letters
    int indels;
};

class XDropAligner_ : public ::testing::TestWithParam<Case> {};

TEST_P(XDropAligner_, GivesThePlainTablesBestStateAndPath)
{
    const Case& test = GetParam();
    std::mt19937 rng(17);
    XDropAligner aligner(test.scoring);  // one aligner: its rows are reused
    for (int round = 0; round < 300; ++round) {
        std::vector<std::uint8_t> first(20 + rng() % 160);
        for (auto& letter : first) {
            letter = static_cast<std::uint8_t>(rng() % 4);
        }
        std::vector<std::uint8_t> second = mutated(rng, first, test.changes, test.indels);
        // Sometimes a gap letter, a forbidden difference or a bound on the
        // letters of both copies.
        if (round % 5 == 1) {
            second[rng() % second.size()] = kGapLetter;
        }
        if (round % 7 == 2) {
            first[rng() % first.size()] = kGapLetter;
        }
        Side side;
        side.first = first;
        side.second = second;
        if (round % 3 == 1) {
            side.forbiddenDifference[0] = static_cast<std::int64_t>(rng() % 9) - 4;  // 0 now and then
            side.forbiddenDifference[1] = static_cast<std::int64_t>(rng() % 9) + 10;
        }
        if (round % 4 == 3) {
            side.maxTotal = static_cast<std::int64_t>(rng() % 200);
        }
        const Extension expected = plainExtension(test.scoring, side);
        const Extension found = aligner.extend(side);
        ASSERT_EQ(found.score, expected.score) << "round " << round;
        ASSERT_EQ(found.firstLetters, expected.firstLetters) << "round " << round;
        ASSERT_EQ(found.secondLetters, expected.secondLetters) << "round " << round;
        ASSERT_EQ(found.ops, expected.ops) << "round " << round;
        ASSERT_EQ(aligner.extendUngapped(side), plainUngapped(test.scoring, side)) << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Scorings, XDropAligner_,
    ::testing::Values(Case{"Defaults", {2, 5, 2, 60}, 60, 20}, Case{"QuickLook", {2, 5, 2, 30}, 100, 30},
                      Case{"Diverged", {2, 5, 2, 30}, 300, 60}, Case{"FreeOpening", {1, 0, 1, 20}, 150, 40},
                      Case{"CheapGapsSmallDrop", {3, 1, 1, 10}, 100, 60},
                      Case{"GapsDearerThanTheDrop", {2, 50, 2, 40}, 80, 30},
                      Case{"GapsImpossible", {2, 1'000'000, 1'000'000, 60}, 80, 30},
                      Case{"ExtendDearerThanTheDrop", {2, 2, 1'000, 60}, 80, 30}),
    [](const ::testing::TestParamInfo<Case>& each) { return std::string(each.param.name); });

}  // namespace
}  // namespace tessaron::gapped
