#include "engine/gappedsearch.h"

#include "engine/approximatesearch.h"
#include "engine/genome.h"
#include "gappedreference.h"
#include "input/genbankreader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <map>
#include <ostream>
#include <random>
#include <stop_token>
#include <string>
#include <tuple>
#include <vector>

namespace tessaron {

void PrintTo(const GappedPair& pair, std::ostream* out)
{
    *out << "(" << pair.first << "+" << pair.length << "," << pair.second << "+" << pair.secondLength << " "
         << pair.cigar << " s" << pair.score << ")";
}

namespace gappedtest {
namespace {

constexpr RepeatKind kAllKinds[] = {RepeatKind::Direct, RepeatKind::Inverted, RepeatKind::Mirror,
                                    RepeatKind::Complementary};

Genome gappedGenome(const std::string& bases)
{
    Genome genome;
    EXPECT_TRUE(genome.allocate(static_cast<std::int64_t>(bases.size()), 8, 30));
    genome.appendText(bases.c_str());
    return genome;
}

std::string letters(std::mt19937& rng, std::size_t count)
{
    std::string out;
    for (std::size_t k = 0; k < count; ++k) {
        out += "ACGT"[rng() % 4];
    }
    return out;
}

GappedResult searched(const Genome& genome, RepeatKind kind, const GappedSettings& settings)
{
    auto found = gappedSearch(genome, kind, settings);
    EXPECT_TRUE(std::holds_alternative<GappedResult>(found));
    return std::holds_alternative<GappedResult>(found) ? std::get<GappedResult>(std::move(found))
                                                       : GappedResult{};
}

// A copy of `element` with `indels` insertions or deletions of 1..4 letters
// and `mismatches` changed letters, spread out.
std::string mutated(std::mt19937& rng, std::string element, int indels, int mismatches)
{
    for (int k = 0; k < mismatches; ++k) {
        const std::size_t at = 5 + rng() % (element.size() - 10);
        element[at] = "ACGT"[(std::string_view("ACGT").find(element[at]) + 1 + rng() % 3) % 4];
    }
    for (int k = 0; k < indels; ++k) {
        const std::size_t at = (k + 1) * element.size() / static_cast<std::size_t>(indels + 1);
        const std::size_t size = 1 + rng() % 4;
        if (rng() % 2 == 0) {
            element.insert(at, letters(rng, size));
        } else {
            element.erase(at, size);
        }
    }
    return element;
}

// The second copy of a planted pair: the word that the kind reads as `copy`.
std::string plantedAs(const std::string& copy, RepeatKind kind)
{
    // asRead is its own inverse for every kind.
    return reference::asRead(copy, kind);
}

bool covers(std::int64_t n, std::int64_t start, std::int64_t length, std::int64_t plantedStart,
            std::int64_t plantedLength)
{
    std::int64_t common = 0;
    for (const std::int64_t shift : {-n, std::int64_t{0}, n}) {
        common = std::max(common, std::min(start + length, plantedStart + shift + plantedLength) -
                                      std::max(start, plantedStart + shift));
    }
    return 10 * common >= 9 * plantedLength && 10 * common >= 9 * length;
}

struct Planted {
    std::string sequence;
    std::vector<std::pair<std::int64_t, std::int64_t>> copies;  // start, length
};

// Three copies of a 150-letter element in random letters, the second and
// third as the kind reads the first, each with indels and mismatches.
Planted plantFamily(std::uint32_t seed, RepeatKind kind, std::size_t length)
{
    std::mt19937 rng(seed);
    const std::string element = letters(rng, 150);
    Planted planted;
    planted.sequence = letters(rng, 200);
    for (int copy = 0; copy < 3; ++copy) {
        std::string word = copy == 0 ? element : plantedAs(mutated(rng, element, 2, 3), kind);
        planted.copies.emplace_back(static_cast<std::int64_t>(planted.sequence.size()),
                                    static_cast<std::int64_t>(word.size()));
        planted.sequence += word;
        planted.sequence += letters(rng, (length - 650) / 3);
    }
    return planted;
}

// Every reported pair is its CIGAR, and no alignment of its two copies
// scores more; the best of all is the best alignment of the whole half.
TEST(GappedSearch, AgreesWithSmithWatermanOnPlantedFamilies)
{
    GappedSettings settings;
    settings.identity = 80.0;
    for (const RepeatKind kind : kAllKinds) {
        for (std::uint32_t seed = 1; seed <= 3; ++seed) {
            SCOPED_TRACE(testing::Message() << "kind " << kindName(kind) << " seed " << seed);
            const Planted planted = plantFamily(seed, kind, 1800);
            const Genome genome = gappedGenome(planted.sequence);
            const auto n = static_cast<std::int64_t>(planted.sequence.size());
            const GappedResult result = searched(genome, kind, settings);
            std::int64_t best = 0;
            for (const GappedPair& pair : result.pairs) {
                SCOPED_TRACE(testing::PrintToString(pair));
                EXPECT_EQ(reference::cigarScore(planted.sequence, kind, pair, settings), pair.score);
                const std::string first = reference::circularSlice(planted.sequence, pair.first, pair.length);
                const std::string second = reference::asRead(
                    reference::circularSlice(planted.sequence, pair.second, pair.secondLength), kind);
                EXPECT_EQ(reference::localScore(first, second, settings), pair.score);
                EXPECT_GE(pair.identity, settings.identity);
                EXPECT_GE(std::min(pair.length, pair.secondLength), settings.minLength);
                best = std::max(best, pair.score);
            }
            EXPECT_EQ(best, reference::bestScoreOnHalf(planted.sequence, kind, settings));
            // The first planted copy and each other are one pair (the others
            // are of the kind read twice: direct).
            for (std::size_t a = 0; a < 1; ++a) {
                for (std::size_t b = a + 1; b < planted.copies.size(); ++b) {
                    const std::int64_t s1 = planted.copies[a].first;
                    const std::int64_t l1 = planted.copies[a].second;
                    const std::int64_t s2 = planted.copies[b].first;
                    const std::int64_t l2 = planted.copies[b].second;
                    const bool found =
                        std::any_of(result.pairs.begin(), result.pairs.end(), [&](const GappedPair& pair) {
                            return covers(n, pair.first, pair.length, s1, l1) &&
                                   covers(n, pair.second, pair.secondLength, s2, l2);
                        });
                    EXPECT_TRUE(found) << "copies " << a << " and " << b;
                }
            }
        }
    }
}

// A copy may run over the origin: the family rotated so that one copy
// crosses it gives the same pairs, moved.
TEST(GappedSearch, FindsCopiesAcrossTheOrigin)
{
    for (const RepeatKind kind : kAllKinds) {
        SCOPED_TRACE(kindName(kind));
        const Planted planted = plantFamily(7, kind, 1800);
        const std::int64_t shift = planted.copies[1].first + 40;  // the second copy crosses 0
        const std::string rotated = planted.sequence.substr(static_cast<std::size_t>(shift)) +
                                    planted.sequence.substr(0, static_cast<std::size_t>(shift));
        GappedSettings settings;
        settings.identity = 80.0;
        const GappedResult straight = searched(gappedGenome(planted.sequence), kind, settings);
        const GappedResult turned = searched(gappedGenome(rotated), kind, settings);
        std::multiset<std::tuple<std::int64_t, std::int64_t, std::int64_t>> expected;
        std::multiset<std::tuple<std::int64_t, std::int64_t, std::int64_t>> got;
        // The copies may change places: lengths as shorter, longer.
        for (const GappedPair& pair : straight.pairs) {
            expected.emplace(pair.score, pair.shorterLength(), std::max(pair.length, pair.secondLength));
        }
        for (const GappedPair& pair : turned.pairs) {
            got.emplace(pair.score, pair.shorterLength(), std::max(pair.length, pair.secondLength));
        }
        EXPECT_EQ(got, expected);
    }
}

// With gaps made impossible and the identity filter off the gapped search
// is the ungapped one.
TEST(GappedSearch, WithoutGapsGivesTheUngappedPairs)
{
    for (const RepeatKind kind : kAllKinds) {
        for (std::uint32_t seed = 1; seed <= 2; ++seed) {
            SCOPED_TRACE(testing::Message() << kindName(kind) << " seed " << seed);
            std::mt19937 rng(seed);
            std::string sequence = letters(rng, 6000);
            // Ungapped copies with mismatches, some long, some short.
            for (int copy = 0; copy < 6; ++copy) {
                const std::size_t length = 40 + rng() % 200;
                const std::size_t from = rng() % (sequence.size() - length);
                const std::size_t to = rng() % (sequence.size() - length);
                std::string word = plantedAs(sequence.substr(from, length), kind);
                for (int m = 0; m < 3; ++m) {
                    word[rng() % length] = "ACGT"[rng() % 4];
                }
                sequence.replace(to, length, word);
            }
            const Genome genome = gappedGenome(sequence);
            GappedSettings gapped;
            gapped.identity = 0.0;
            gapped.gapOpen = GappedSettings::kMaxGapCost;
            gapped.triggerScore = 1;  // every seed, as the full scan reads every pair
            ApproximateSettings ungapped;
            ungapped.identity = 0.0;
            ungapped.method = ApproximateMethod::FullScan;
            const auto plain = std::get<ApproximateResult>(approximateSearch(genome, kind, ungapped));
            const GappedResult result = searched(genome, kind, gapped);
            std::vector<std::tuple<std::int64_t, std::int64_t, std::int64_t, std::int64_t>> expected;
            std::vector<std::tuple<std::int64_t, std::int64_t, std::int64_t, std::int64_t>> got;
            for (const ApproximatePair& pair : plain.pairs) {
                expected.emplace_back(pair.first, pair.second, pair.length, pair.mismatches);
            }
            for (const GappedPair& pair : result.pairs) {
                EXPECT_EQ(pair.insertions + pair.deletions, 0);
                got.emplace_back(pair.first, pair.second, pair.length, pair.mismatches);
            }
            EXPECT_EQ(got, expected);
        }
    }
}

std::string complemented(std::string sequence)
{
    for (char& letter : sequence) {
        letter = reference::asRead(std::string(1, letter), RepeatKind::Complementary)[0];
    }
    return sequence;
}

// The kinds' laws on the complement C and the reverse R of S:
//  - complementing every letter keeps each kind's relation between two
//    copies (a = b iff comp a = comp b): the pairs of C are those of S;
//  - reading S backwards turns a pair (p, L; q, L') into (N-q-L', L'; N-p-L, L)
//    for the direct and complementary kinds (the second copy comes first)
//    and into (N-p-L ..) for mirror and inverted ones (each copy reflected):
//    the same scores and lengths;
//  - mirror pairs of S are the inverted pairs of S whose second copy is
//    complemented: on S followed by the complement of S, a mirror pair of S
//    is an inverted pair between the halves.
TEST(GappedSearch, KeepsTheKindsLawsOnTheComplementAndTheReverse)
{
    GappedSettings settings;
    settings.identity = 80.0;
    for (const RepeatKind kind : kAllKinds) {
        SCOPED_TRACE(kindName(kind));
        const Planted planted = plantFamily(11, kind, 1800);
        const std::string& s = planted.sequence;
        const std::string reversed(s.rbegin(), s.rend());
        const GappedResult original = searched(gappedGenome(s), kind, settings);
        const GappedResult ofComplement = searched(gappedGenome(complemented(s)), kind, settings);
        const GappedResult ofReverse = searched(gappedGenome(reversed), kind, settings);
        EXPECT_EQ(ofComplement.pairs, original.pairs);
        std::multiset<std::tuple<std::int64_t, std::int64_t, std::int64_t>> expected;
        std::multiset<std::tuple<std::int64_t, std::int64_t, std::int64_t>> got;
        for (const GappedPair& pair : original.pairs) {
            expected.emplace(pair.score, std::min(pair.length, pair.secondLength),
                             std::max(pair.length, pair.secondLength));
        }
        for (const GappedPair& pair : ofReverse.pairs) {
            got.emplace(pair.score, std::min(pair.length, pair.secondLength),
                        std::max(pair.length, pair.secondLength));
        }
        EXPECT_EQ(got, expected);
    }
    // Mirror pairs of S against inverted pairs of S + comp(S).
    const Planted planted = plantFamily(12, RepeatKind::Mirror, 1200);
    const std::string& s = planted.sequence;
    const auto n = static_cast<std::int64_t>(s.size());
    const GappedResult mirror = searched(gappedGenome(s), RepeatKind::Mirror, settings);
    const GappedResult inverted = searched(gappedGenome(s + complemented(s)), RepeatKind::Inverted, settings);
    ASSERT_FALSE(mirror.pairs.empty());
    for (const GappedPair& pair : mirror.pairs) {
        SCOPED_TRACE(testing::PrintToString(pair));
        const bool found =
            std::any_of(inverted.pairs.begin(), inverted.pairs.end(), [&](const GappedPair& other) {
                return other.first == pair.first && other.second == pair.second + n &&
                       other.score == pair.score;
            });
        EXPECT_TRUE(found);
    }
}

Genome chloroplast()
{
    Genome genome;
    EXPECT_TRUE(readGenBank(TESSARON_TEST_DATA "/NC_000932.gb", genome, 8, 30).has_value());
    return genome;
}

TEST(GappedSearch, KeepsTheChloroplastInvertedRepeatOnePairWithoutGaps)
{
    const Genome genome = chloroplast();
    ASSERT_EQ(genome.length(), 154478);
    const GappedResult result = searched(genome, RepeatKind::Inverted, {});
    const auto long_ = std::count_if(result.pairs.begin(), result.pairs.end(),
                                     [](const GappedPair& pair) { return pair.length >= 1000; });
    EXPECT_EQ(long_, 1);
    const auto found = std::find_if(result.pairs.begin(), result.pairs.end(),
                                    [](const GappedPair& pair) { return pair.length >= 26264; });
    ASSERT_NE(found, result.pairs.end());
    EXPECT_EQ(found->first, 84170);
    EXPECT_EQ(found->second, 128214);
    EXPECT_EQ(found->length, 26264);
    EXPECT_EQ(found->secondLength, 26264);
    EXPECT_EQ(found->mismatches, 0);
    EXPECT_EQ(found->cigar, "26264=");
    EXPECT_LT(found->evalue, 1e-100);
}

// Insertions and deletions planted in one copy of the inverted repeat, the
// circle turned (twenty turns, the origin inside either copy for some): one
// pair whose CIGAR holds exactly the planted gaps.
TEST(GappedSearch, FindsThePlantedGapsInTheChloroplastInvertedRepeat)
{
    const Genome original = chloroplast();
    const std::string sequence(original.sequence());
    std::mt19937 rng(27);
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(testing::Message() << "round " << round);
        std::string bases = sequence;
        const int count = 1 + round % 5;
        std::multiset<std::string> planted;
        // In IRa (0-based 128214 .. 154477), from its end backwards, far apart.
        for (int k = 0; k < count; ++k) {
            const auto at = static_cast<std::size_t>(154000 - 4000 * k - static_cast<int>(rng() % 1000));
            const std::size_t size = 1 + rng() % 10;
            if (rng() % 2 == 0) {
                bases.insert(at, letters(rng, size));
                planted.insert(std::to_string(size) + "I");
            } else {
                bases.erase(at, size);
                planted.insert(std::to_string(size) + "D");
            }
        }
        const auto shift = static_cast<std::size_t>(rng() % bases.size());
        const std::string turned = bases.substr(shift) + bases.substr(0, shift);
        const GappedResult result = searched(gappedGenome(turned), RepeatKind::Inverted, {});
        std::vector<GappedPair> long_;
        for (const GappedPair& pair : result.pairs) {
            if (pair.length >= 20000) {
                long_.push_back(pair);
            }
        }
        ASSERT_EQ(long_.size(), 1u);
        const GappedPair& pair = long_.front();
        // The second copy is IRa unless the turn put it first.
        std::multiset<std::string> gaps;
        for (std::size_t c = 0, digits = 0; c < pair.cigar.size(); ++c) {
            if (pair.cigar[c] == 'I' || pair.cigar[c] == 'D') {
                gaps.insert(pair.cigar.substr(digits, c + 1 - digits));
            }
            if (pair.cigar[c] < '0' || pair.cigar[c] > '9') {
                digits = c + 1;
            }
        }
        std::multiset<std::string> swapped;
        for (std::string gap : planted) {
            gap.back() = gap.back() == 'I' ? 'D' : 'I';
            swapped.insert(gap);
        }
        EXPECT_TRUE(gaps == planted || gaps == swapped) << pair.cigar;
        EXPECT_EQ(pair.mismatches, 0);
    }
}

// Whether a found copy holds at least 90 % of a wanted one (on the circle).
bool holds(std::int64_t n, std::int64_t start, std::int64_t length, std::int64_t wantedStart,
           std::int64_t wantedLength)
{
    std::int64_t common = 0;
    for (const std::int64_t shift : {-n, std::int64_t{0}, n}) {
        common = std::max(common, std::min(start + length, wantedStart + shift + wantedLength) -
                                      std::max(start, wantedStart + shift));
    }
    return 10 * common >= 9 * wantedLength;
}

bool foundPair(const GappedResult& result, std::int64_t n, std::int64_t first, std::int64_t firstLength,
               std::int64_t second, std::int64_t secondLength)
{
    return std::any_of(result.pairs.begin(), result.pairs.end(), [&](const GappedPair& pair) {
        return (holds(n, pair.first, pair.length, first, firstLength) &&
                holds(n, pair.second, pair.secondLength, second, secondLength)) ||
               (holds(n, pair.first, pair.length, second, secondLength) &&
                holds(n, pair.second, pair.secondLength, first, firstLength));
    });
}

// A gapless copy as weak as the filters let through, its mismatches spread
// evenly (its runs of equal letters as short as they can be), is found on a
// short genome whatever the filters: the seeds are short enough and the
// trigger low enough for it.
TEST(GappedSearch, FindsTheWeakestGaplessCopyTheFiltersLetThrough)
{
    struct Case {
        int minLength;
        double identity;
    };
    for (const Case& c : {Case{20, 85.0}, Case{30, 90.0}, Case{25, 80.0}, Case{40, 95.0}}) {
        for (const RepeatKind kind : kAllKinds) {
            SCOPED_TRACE(testing::Message()
                         << "min " << c.minLength << " identity " << c.identity << " " << kindName(kind));
            std::mt19937 rng(static_cast<std::uint32_t>(c.minLength * 7 + static_cast<int>(kind)));
            std::string sequence = letters(rng, 4000);
            const int length = c.minLength;
            const auto equal = static_cast<int>(std::ceil(c.identity * length / 100.0 - 1e-9));
            const int mismatches = length - equal;
            std::string word = sequence.substr(500, static_cast<std::size_t>(length));
            // Runs of equal letters as even as can be, a mismatch after each but the last.
            for (int m = 0, at = -1; m < mismatches; ++m) {
                at += equal / (mismatches + 1) + (m < equal % (mismatches + 1) ? 1 : 0) + 1;
                auto& letter = word[static_cast<std::size_t>(at)];
                letter = "ACGT"[(std::string_view("ACGT").find(letter) + 1) % 4];
            }
            sequence.replace(2500, word.size(), plantedAs(word, kind));
            GappedSettings settings;
            settings.minLength = c.minLength;
            settings.identity = c.identity;
            const GappedResult result = searched(gappedGenome(sequence), kind, settings);
            EXPECT_TRUE(foundPair(result, 4000, 500, length, 2500, length));
        }
    }
}

// The human mitochondrion at --min 20 and 85 %: every pair of the ungapped
// search is a gapped pair too (its copies held by one), as no gap helps them.
TEST(GappedSearch, FindsTheUngappedPairsOfTheMitochondrionAtLowFilters)
{
    std::ifstream in(TESSARON_TEST_DATA "/NC_012920.fasta");
    std::string bases;
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with(">")) {
            bases += line;
        }
    }
    const Genome genome = gappedGenome(bases);
    ASSERT_EQ(genome.length(), 16569);
    std::size_t ungappedPairs = 0;
    for (const RepeatKind kind : kAllKinds) {
        SCOPED_TRACE(kindName(kind));
        ApproximateSettings ungapped;
        ungapped.minLength = 20;
        ungapped.identity = 85.0;
        const auto plain = std::get<ApproximateResult>(approximateSearch(genome, kind, ungapped));
        GappedSettings gapped;
        gapped.minLength = 20;
        gapped.identity = 85.0;
        const GappedResult result = searched(genome, kind, gapped);
        for (const ApproximatePair& pair : plain.pairs) {
            EXPECT_TRUE(foundPair(result, genome.length(), pair.first, pair.length, pair.second, pair.length))
                << pair.first << " " << pair.second << " " << pair.length;
        }
        ungappedPairs += plain.pairs.size();
    }
    EXPECT_EQ(ungappedPairs, 9u);
}

// A path that leaves a track through a gap for a better-scoring stretch
// beyond: the copies go on alike along the track for a while, and that
// gapless alignment is the best of its own two copies. Here the first copy
// is X W, the second X V W with V the start of W but for two letters: from X
// the path takes the gap to W (-45 + 200), and X alone would be the pair
// (its gap costs more than X scores); X V against X W[0..20) is the pair.
TEST(GappedSearch, ReportsTheGaplessAlignmentAPathLeavesThroughAGap)
{
    for (const RepeatKind kind : kAllKinds) {
        SCOPED_TRACE(kindName(kind));
        std::mt19937 rng(31);
        const std::string x = letters(rng, 40);
        const std::string w = letters(rng, 200);
        std::string v = w.substr(0, 20);
        for (const std::size_t at : {5U, 12U}) {
            v[at] = "ACGT"[(std::string_view("ACGT").find(v[at]) + 1) % 4];
        }
        const std::string second = x + v + w;
        const std::string sequence =
            letters(rng, 300) + x + w + letters(rng, 300) + plantedAs(second, kind) + letters(rng, 300);
        const auto n = static_cast<std::int64_t>(sequence.size());
        const bool reversed = kind == RepeatKind::Inverted || kind == RepeatKind::Mirror;
        const std::int64_t secondStart = reversed ? 840 + 260 - 60 : 840;
        const GappedResult result = searched(gappedGenome(sequence), kind, {});
        EXPECT_TRUE(foundPair(result, n, 300, 60, secondStart, 60)) << testing::PrintToString(result.pairs);
        // W against W is a pair of its own.
        EXPECT_TRUE(foundPair(result, n, 340, 200, reversed ? 840 : 900, 200));
    }
}

// A well-kept core inside a longer alignment below the identity is reported.
TEST(GappedSearch, ReportsTheCoreOfAnAlignmentBelowTheIdentity)
{
    std::mt19937 rng(5);
    const std::string core = letters(rng, 120);
    const std::string flankLeft = letters(rng, 90);
    const std::string flankRight = letters(rng, 90);
    std::string copy = flankLeft + core + flankRight;
    // The flanks at about 75 %, the core at 99 %: the whole scores > 0 but
    // is below 90 %; its longest stretch at 90 % holds the core.
    for (std::size_t at = 0; at < copy.size(); ++at) {
        const bool inCore = at >= flankLeft.size() && at < flankLeft.size() + core.size();
        if ((inCore && at == flankLeft.size() + 60) || (!inCore && rng() % 4 == 0)) {
            copy[at] = "ACGT"[(std::string_view("ACGT").find(copy[at]) + 1) % 4];
        }
    }
    const std::string sequence =
        letters(rng, 500) + flankLeft + core + flankRight + letters(rng, 700) + copy + letters(rng, 500);
    const GappedResult result = searched(gappedGenome(sequence), RepeatKind::Direct, {});
    ASSERT_FALSE(result.pairs.empty());
    const auto found = std::find_if(result.pairs.begin(), result.pairs.end(), [&](const GappedPair& pair) {
        return pair.first <= 590 + 2 && pair.first + pair.length >= 590 + 118 && pair.identity >= 90.0;
    });
    ASSERT_NE(found, result.pairs.end());
    // Not the whole alignment, which is below the identity.
    EXPECT_LT(found->length, 280);
    for (const GappedPair& pair : result.pairs) {
        EXPECT_GE(pair.identity, 90.0);
    }
}

TEST(GappedSettings, RefusesValuesOutOfBounds)
{
    const auto with = [](auto change) {
        GappedSettings settings;
        change(settings);
        return validate(settings);
    };
    EXPECT_EQ(validate({}), "");
    const std::vector<std::pair<std::string, std::string>> cases{
        {with([](GappedSettings& s) { s.minLength = 0; }), "least length"},
        {with([](GappedSettings& s) { s.mismatchPenalty = 0; }), "mismatch penalty"},
        {with([](GappedSettings& s) { s.mismatchPenalty = 11; }), "mismatch penalty"},
        {with([](GappedSettings& s) { s.gapOpen = 1; }), "gap opening"},
        {with([](GappedSettings& s) { s.mismatchPenalty = 1, s.gapOpen = 2; }), "gap opening"},
        {with([](GappedSettings& s) { s.gapExtend = 1; }), "gap extension"},
        {with([](GappedSettings& s) { s.gapExtend = GappedSettings::kMaxGapCost + 1; }), "gap extension"},
        {with([](GappedSettings& s) { s.identity = 101.0; }), "identity"},
        {with([](GappedSettings& s) { s.maxMismatches = -1; }), "mismatches"},
        {with([](GappedSettings& s) { s.maxEvalue = 0.0; }), "E-value"},
        {with([](GappedSettings& s) { s.seedLength = 5; }), "seed length"},
        {with([](GappedSettings& s) { s.xDrop = 5; }), "X-drop"},
        {with([](GappedSettings& s) { s.pairLimit = 0; }), "pair limit"},
    };
    for (const auto& [message, expected] : cases) {
        EXPECT_NE(message.find(expected), std::string::npos) << message;
    }
    EXPECT_EQ(with([](GappedSettings& s) { s.mismatchPenalty = 1, s.gapOpen = 3; }), "");
}

TEST(GappedSearch, StopsWhenAskedKeepsItsPairLimitAndReportsProgress)
{
    Genome genome;
    ASSERT_TRUE(genome.makeRandom(5'000, 5'000, 5'000, 5'000, 8, 30, 3));
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(std::get<SearchFailure>(gappedSearch(genome, RepeatKind::Direct, {}, {stop.get_token(), {}})),
              SearchFailure::Cancelled);
    GappedSettings few;
    few.pairLimit = 10;
    EXPECT_EQ(std::get<SearchFailure>(gappedSearch(genome, RepeatKind::Inverted, few)),
              SearchFailure::PairLimit);
    std::vector<double> reports;
    const SearchControl watching{{}, [&](double fraction) { reports.push_back(fraction); }};
    ASSERT_TRUE(std::holds_alternative<GappedResult>(gappedSearch(genome, RepeatKind::Mirror, {}, watching)));
    ASSERT_FALSE(reports.empty());
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_EQ(reports.back(), 1.0);
}

// A gap letter is never aligned: a copy interrupted by N gives pieces.
TEST(GappedSearch, NeverAlignsAGapLetter)
{
    std::mt19937 rng(9);
    const std::string element = letters(rng, 200);
    std::string interrupted = element;
    interrupted[100] = 'N';
    const std::string sequence =
        letters(rng, 300) + element + letters(rng, 300) + interrupted + letters(rng, 300);
    const Genome genome = gappedGenome(sequence);
    for (const GappedPair& pair : searched(genome, RepeatKind::Direct, {}).pairs) {
        for (const AlignedColumn& column : alignedColumns(genome, RepeatKind::Direct, pair)) {
            EXPECT_NE(column.first >= 0 ? sequence[static_cast<std::size_t>(column.first)] : 'A', 'N');
            EXPECT_NE(column.second >= 0 ? sequence[static_cast<std::size_t>(column.second)] : 'A', 'N');
        }
    }
}

}  // namespace
}  // namespace gappedtest
}  // namespace tessaron
