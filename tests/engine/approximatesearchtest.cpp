#include "approximatereference.h"
#include "engine/approximatesearch.h"

#include "engine/completesearch.h"
#include "engine/genome.h"
#include "engine/repeatsnapshot.h"
#include "input/genbankreader.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <ostream>
#include <random>
#include <span>
#include <sstream>
#include <stop_token>
#include <string>
#include <tuple>
#include <vector>

namespace tessaron {

// Pairs as (first,second,length m mismatches) in failure messages.
void PrintTo(const ApproximatePair& pair, std::ostream* out)
{
    *out << "(" << pair.first << "," << pair.second << "," << pair.length << " m" << pair.mismatches << ")";
}

namespace {

std::shared_ptr<Genome> makeGenome(const std::string& bases, int minLength = 8)
{
    auto genome = std::make_shared<Genome>();
    EXPECT_TRUE(genome->allocate(static_cast<std::int64_t>(bases.size()), 5, 15));
    genome->appendText(bases.c_str());
    genome->setLengthBounds(minLength, minLength + 10);
    return genome;
}

std::string drawn(std::mt19937& rng, int count, std::string_view alphabet = "ACGT")
{
    std::string out;
    for (int k = 0; k < count; ++k) {
        out += alphabet[rng() % alphabet.size()];
    }
    return out;
}

char complementOf(char base)
{
    switch (base) {
        case 'A':
            return 'T';
        case 'T':
            return 'A';
        case 'C':
            return 'G';
        case 'G':
            return 'C';
        default:
            return base;
    }
}

// The second copy of `word` for a kind: the word that pairs with it.
std::string partner(std::string word, RepeatKind kind)
{
    if (kind == RepeatKind::Inverted || kind == RepeatKind::Mirror) {
        std::reverse(word.begin(), word.end());
    }
    if (kind == RepeatKind::Inverted || kind == RepeatKind::Complementary) {
        std::transform(word.begin(), word.end(), word.begin(), complementOf);
    }
    return word;
}

// Writes `word` into the circular sequence from `at`.
void plant(std::string& s, const std::string& word, std::size_t at)
{
    for (std::size_t k = 0; k < word.size(); ++k) {
        s[(at + k) % s.size()] = word[k];
    }
}

std::string mutated(std::string word, std::mt19937& rng, double rate)
{
    for (char& letter : word) {
        if (std::uniform_real_distribution<double>(0.0, 1.0)(rng) < rate) {
            letter = "ACGT"[rng() % 4];
        }
    }
    return word;
}

// A seeded test sequence: random or AT-rich or two-letter, with diverged
// copies of each kind planted (some across the origin), tandem arrays and
// gaps, as the seed picks.
std::string testSequence(std::uint32_t seed)
{
    std::mt19937 rng(seed);
    const int n = 100 + static_cast<int>(rng() % 400);
    const int style = static_cast<int>(rng() % 4);
    std::string s = style == 0   ? drawn(rng, n)
                    : style == 1 ? drawn(rng, n, "AAATTTCG")
                    : style == 2 ? drawn(rng, n, "AT")
                                 : drawn(rng, n);
    const int copies = static_cast<int>(rng() % 4);
    for (int c = 0; c < copies; ++c) {
        const int length = 20 + static_cast<int>(rng() % 80);
        const std::string word = drawn(rng, length);
        const RepeatKind kind = test::kAllKinds[rng() % 4];
        plant(s, word, rng() % s.size());
        plant(s, mutated(partner(word, kind), rng, 0.02 * static_cast<double>(rng() % 8)), rng() % s.size());
    }
    if (rng() % 3 == 0) {
        // A tandem array of a short unit, a little worn.
        const std::string unit = drawn(rng, 2 + static_cast<int>(rng() % 10));
        std::string array;
        while (array.size() < 120) {
            array += unit;
        }
        plant(s, mutated(array, rng, 0.05), rng() % s.size());
    }
    if (style == 3 || rng() % 4 == 0) {
        const int gaps = 1 + static_cast<int>(rng() % 4);
        for (int g = 0; g < gaps; ++g) {
            plant(s, std::string(1 + rng() % 3, rng() % 2 == 0 ? 'N' : 'R'), rng() % s.size());
        }
    }
    return s;
}

ApproximateSettings testSettings(std::uint32_t seed)
{
    std::mt19937 rng(seed * 7919u + 17u);
    ApproximateSettings settings;
    settings.mismatchPenalty = 1 + static_cast<int>(rng() % 4);
    settings.minLength = std::array{6, 10, 16, 24, 30}[rng() % 5];
    settings.identity = std::array{0.0, 60.0, 75.0, 85.0, 90.0, 90.0, 95.0, 100.0}[rng() % 8];
    if (rng() % 5 == 0) {
        settings.maxMismatches = static_cast<int>(rng() % 5);
    }
    if (rng() % 5 == 0) {
        settings.maxEvalue = std::array{1e-4, 0.01, 1.0, 10.0}[rng() % 4];
    }
    return settings;
}

std::string describe(const ApproximateSettings& settings)
{
    std::ostringstream out;
    out << "min " << settings.minLength << ", penalty " << settings.mismatchPenalty << ", identity "
        << settings.identity;
    if (settings.maxMismatches) {
        out << ", max mismatches " << *settings.maxMismatches;
    }
    if (settings.maxEvalue) {
        out << ", E-value " << *settings.maxEvalue;
    }
    return out.str();
}

ApproximateResult search(const Genome& genome, RepeatKind kind, const ApproximateSettings& settings)
{
    const auto result = approximateSearch(genome, kind, settings);
    EXPECT_TRUE(std::holds_alternative<ApproximateResult>(result));
    return std::get<ApproximateResult>(result);
}

// The full scan and the seeds, on one thread and on two, against the
// reference of the definition.
void checkAgainstReference(std::uint32_t firstSeed, std::uint32_t seeds)
{
    for (std::uint32_t seed = firstSeed; seed < firstSeed + seeds; ++seed) {
        const std::string s = testSequence(seed);
        const auto genome = makeGenome(s);
        ApproximateSettings settings = testSettings(seed);
        for (const RepeatKind kind : test::kAllKinds) {
            const auto expected = reference::approximateSearch(
                s, kind, settings, karlinAltschul(*genome, kind, settings.mismatchPenalty));
            for (const ApproximateMethod method : {ApproximateMethod::FullScan, ApproximateMethod::Seeds}) {
                settings.method = method;
                settings.threads = method == ApproximateMethod::Seeds ? 1 + static_cast<int>(seed % 2) : 1;
                const ApproximateResult result = search(*genome, kind, settings);
                ASSERT_EQ(result.pairs, expected)
                    << "seed " << seed << ", kind " << static_cast<int>(kind) << ", "
                    << (method == ApproximateMethod::Seeds ? "seeds" : "full scan") << ", "
                    << describe(settings) << ", length " << s.size();
                EXPECT_TRUE(result.exhaustive);
            }
        }
    }
}

TEST(ApproximateSearch, AgreesWithTheDefinitionOnSeededSequences)
{
    checkAgainstReference(1, 40);
}

TEST(ApproximateSearch, AgreesWithTheDefinitionOnMoreSeededSequences)
{
    checkAgainstReference(1000, 40);
}

// Sequences a mutation or two away from periodic: diagonals that match all
// round but once, tandem shifts that score above zero without long seeds,
// palindromes round both centres of a line.
TEST(ApproximateSearch, AgreesWithTheDefinitionOnNearlyPeriodicSequences)
{
    std::mt19937 rng(77);
    for (int round = 0; round < 24; ++round) {
        const std::string unit = drawn(rng, 1 + static_cast<int>(rng() % 9));
        std::string s;
        const int n = 40 + static_cast<int>(rng() % 160);
        while (static_cast<int>(s.size()) < n) {
            s += unit;
        }
        s.resize(static_cast<std::size_t>(n));
        s = mutated(s, rng, 0.02 * static_cast<double>(round % 4));
        if (round % 5 == 4) {
            s[rng() % s.size()] = 'N';
        }
        const auto genome = makeGenome(s);
        for (const RepeatKind kind : test::kAllKinds) {
            ApproximateSettings settings;
            settings.minLength = 4 + round % 5;
            settings.identity = 50.0 + 10.0 * (round % 5);
            settings.mismatchPenalty = 1 + round % 3;
            const auto expected = reference::approximateSearch(
                s, kind, settings, karlinAltschul(*genome, kind, settings.mismatchPenalty));
            for (const ApproximateMethod method : {ApproximateMethod::FullScan, ApproximateMethod::Seeds}) {
                settings.method = method;
                EXPECT_EQ(search(*genome, kind, settings).pairs, expected)
                    << "round " << round << " " << s << " kind " << static_cast<int>(kind);
            }
        }
    }
}

// Tiny and degenerate sequences: empty, one letter, gaps only, one letter
// repeated (every diagonal matches all round), palindromes.
TEST(ApproximateSearch, AgreesWithTheDefinitionOnTinySequences)
{
    const std::vector<std::string> sequences{"",
                                             "A",
                                             "N",
                                             "AT",
                                             "AN",
                                             "ACGT",
                                             "AAAA",
                                             "NNNNNNNN",
                                             "ACGTNACGTA",
                                             "ATATATAT",
                                             "ACCGGTTAAC",
                                             std::string(70, 'A'),
                                             "GATTACAGATTACANNNGATTACA"};
    for (const std::string& s : sequences) {
        const auto genome = makeGenome(s);
        for (const RepeatKind kind : test::kAllKinds) {
            for (const int minimum : {1, 2, 4}) {
                ApproximateSettings settings;
                settings.minLength = minimum;
                settings.identity = 50.0;
                const auto expected = reference::approximateSearch(
                    s, kind, settings, karlinAltschul(*genome, kind, settings.mismatchPenalty));
                for (const ApproximateMethod method :
                     {ApproximateMethod::FullScan, ApproximateMethod::Seeds}) {
                    settings.method = method;
                    EXPECT_EQ(search(*genome, kind, settings).pairs, expected)
                        << "'" << s << "' kind " << static_cast<int>(kind) << " min " << minimum;
                }
            }
        }
    }
}

// Pairs as the complete search lists them: (first, second, length).
std::vector<std::tuple<std::int64_t, std::int64_t, std::int64_t>> completePairs(
    const std::shared_ptr<const Genome>& genome, RepeatKind kind)
{
    const auto result = completeSearch(genome, kind);
    const auto& snapshot = *std::get<std::shared_ptr<const RepeatSnapshot>>(result);
    const auto list = std::get<std::unique_ptr<RepeatList>>(materialize(snapshot));
    std::vector<std::tuple<std::int64_t, std::int64_t, std::int64_t>> pairs;
    for (int slot = 0; slot < list->slotCount(); ++slot) {
        for (const Repeat& repeat : list->slot(slot)) {
            for (const RepeatPair& pair : list->pairs(repeat)) {
                pairs.emplace_back(pair.first, pair.second, repeat.length);
            }
        }
    }
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

// With a penalty no match can outweigh, a segment never bridges a mismatch:
// the pairs are the complete search's, copies across the origin and
// overlapping copies included.
TEST(ApproximateSearch, WithAPenaltyTooLargeToBridgeFindsTheExactPairs)
{
    std::mt19937 rng(5);
    for (int round = 0; round < 12; ++round) {
        std::string s = drawn(rng, 300 + static_cast<int>(rng() % 300), round % 3 == 0 ? "AT" : "ACGT");
        for (const RepeatKind kind : test::kAllKinds) {
            const std::string word = drawn(rng, 12 + static_cast<int>(rng() % 20));
            plant(s, word, s.size() - 5);  // across the origin
            plant(s, partner(word, kind), rng() % s.size());
        }
        plant(s, std::string(30, 'A') + "CACACACACACA", rng() % s.size());  // overlapping copies
        const int minimum = 4 + round % 6;
        const auto genome = makeGenome(s, minimum);
        for (const RepeatKind kind : test::kAllKinds) {
            ApproximateSettings settings;
            settings.minLength = minimum;
            settings.mismatchPenalty = static_cast<int>(s.size()) + 1;
            settings.method = round % 2 == 0 ? ApproximateMethod::Seeds : ApproximateMethod::FullScan;
            std::vector<std::tuple<std::int64_t, std::int64_t, std::int64_t>> found;
            for (const ApproximatePair& pair : search(*genome, kind, settings).pairs) {
                EXPECT_EQ(pair.mismatches, 0);
                EXPECT_EQ(pair.identity, 100.0);
                found.emplace_back(pair.first, pair.second, pair.length);
            }
            EXPECT_EQ(found, completePairs(genome, kind))
                << "round " << round << " kind " << static_cast<int>(kind) << " " << s;
        }
    }
}

// A genome long enough for seeds to be the automatic choice, with diverged
// copies, low-complexity stretches and gaps: the seeds on two threads give
// the full scan's pairs, searched kind by kind or all four in one call.
TEST(ApproximateSearch, SeedsGiveTheFullScansPairsOnALongerGenome)
{
    std::mt19937 rng(42);
    std::string s = drawn(rng, 6000, "AAATTTCCGG");
    for (int c = 0; c < 12; ++c) {
        const std::string word = drawn(rng, 40 + static_cast<int>(rng() % 300));
        plant(s, word, rng() % s.size());
        plant(s, mutated(partner(word, test::kAllKinds[c % 4]), rng, 0.03 * (c % 5)), rng() % s.size());
    }
    plant(s, std::string(200, 'A'), 100);
    plant(s, "NNNN", 4000);
    const auto genome = makeGenome(s);
    ApproximateSettings seeded;
    seeded.threads = 2;
    const auto together = approximateSearch(*genome, test::kAllKinds, seeded);
    ASSERT_TRUE(std::holds_alternative<std::vector<ApproximateResult>>(together));
    for (std::size_t k = 0; k < 4; ++k) {
        ApproximateSettings settings;
        settings.method = ApproximateMethod::FullScan;
        const auto expected = search(*genome, test::kAllKinds[k], settings).pairs;
        EXPECT_FALSE(expected.empty());
        const ApproximateResult result = search(*genome, test::kAllKinds[k], seeded);
        EXPECT_GT(result.seedLength, 0);
        EXPECT_TRUE(result.exhaustive);
        EXPECT_EQ(result.pairs, expected) << "kind " << k;
        EXPECT_EQ(std::get<std::vector<ApproximateResult>>(together)[k].pairs, expected) << "kind " << k;
    }
}

TEST(ApproximateSearch, FindsTheChloroplastInvertedRepeatAsOnePair)
{
    Genome genome;
    ASSERT_TRUE(readGenBank(TESSARON_TEST_DATA "/NC_000932.gb", genome, 8, 30).has_value());
    ASSERT_EQ(genome.length(), 154478);
    const ApproximateResult result = search(genome, RepeatKind::Inverted, {});
    EXPECT_TRUE(result.exhaustive);
    // IRb and IRa, 1-based 84171..110434 and 128215..154478.
    const auto found = std::find_if(result.pairs.begin(), result.pairs.end(),
                                    [](const ApproximatePair& pair) { return pair.length >= 26264; });
    ASSERT_NE(found, result.pairs.end());
    EXPECT_EQ(found->first, 84170);
    EXPECT_EQ(found->second, 128214);
    EXPECT_EQ(found->length, 26264);
    EXPECT_EQ(found->mismatches, 0);
    EXPECT_LT(found->evalue, 1e-100);
}

// Karlin-Altschul: the closed form for X = 1, and K against simulated walks:
// the excursions of H = max(0, H + s) that reach x, per step.
TEST(ApproximateStatistics, KarlinAltschulParametersMatchSimulatedWalks)
{
    const KarlinAltschul even = karlinAltschul(0.25, 1, 1.0);
    EXPECT_NEAR(even.lambda, std::log(3.0), 1e-12);
    EXPECT_NEAR(even.k, 1.0 / 3.0, 1e-12);

    struct Case {
        double p;
        int penalty;
        int height;
    };
    for (const Case& c : {Case{0.25, 2, 6}, Case{0.4, 1, 12}, Case{0.3, 3, 7}}) {
        const KarlinAltschul statistics = karlinAltschul(c.p, c.penalty, 1.0);
        EXPECT_NEAR(c.p * std::exp(statistics.lambda) + (1 - c.p) * std::exp(-c.penalty * statistics.lambda),
                    1.0, 1e-12);
        std::mt19937_64 rng(99);
        const auto threshold = static_cast<std::uint64_t>(c.p * 18446744073709551615.0);
        constexpr std::int64_t kSteps = 10'000'000;
        std::int64_t h = 0;
        std::int64_t reached = 0;
        bool counted = false;
        for (std::int64_t step = 0; step < kSteps; ++step) {
            h = rng() < threshold ? h + 1 : std::max<std::int64_t>(0, h - c.penalty);
            if (h == 0) {
                counted = false;
            } else if (h >= c.height && !counted) {
                ++reached;
                counted = true;
            }
        }
        const double expected = statistics.k * std::exp(-statistics.lambda * c.height) * kSteps;
        EXPECT_NEAR(static_cast<double>(reached) / expected, 1.0, 0.08) << "p " << c.p << ", X " << c.penalty;
    }
}

TEST(ApproximateSearch, MarksTheMismatchedLettersOfBothCopies)
{
    const std::string s = "ACGTTGCAAGGTTCNCAGTTGCTAGTCC";
    const auto genome = makeGenome(s);
    const auto letter = [&](std::int64_t position) { return s[static_cast<std::size_t>(position % 28)]; };
    for (const RepeatKind kind : test::kAllKinds) {
        const bool backwards = kind == RepeatKind::Inverted || kind == RepeatKind::Mirror;
        const bool complemented = kind == RepeatKind::Inverted || kind == RepeatKind::Complementary;
        // Copies of 9 letters from 25 (across the origin) and from 8 (over the N at 14).
        const MismatchedLetters letters =
            mismatchedLetters(*genome, kind, ApproximatePair{8, 25, 9, 0, 0, 0.0, 0.0});
        std::vector<std::int64_t> first;
        std::vector<std::int64_t> second;
        for (std::int64_t k = 0; k < 9; ++k) {
            const std::int64_t q = backwards ? 25 + 8 - k : 25 + k;
            const char a = letter(8 + k);
            const char b = complemented ? complementOf(letter(q)) : letter(q);
            if (a == 'N' || b == 'N' || a != b) {
                first.push_back(8 + k);
                second.push_back(q % 28);
            }
        }
        EXPECT_EQ(letters.first, first) << static_cast<int>(kind);
        EXPECT_EQ(letters.second, second) << static_cast<int>(kind);
        EXPECT_NE(std::find(letters.first.begin(), letters.first.end(), 14), letters.first.end());
    }
}

TEST(ApproximateSearch, SortsLengthsIntoTheirClasses)
{
    const std::vector<std::pair<std::int64_t, std::optional<std::size_t>>> table{
        {1, std::nullopt}, {29, std::nullopt}, {30, 0},  {39, 0},   {40, 1},     {59, 2}, {60, 3},
        {99, 3},           {100, 4},           {999, 4}, {1000, 5}, {5000000, 5}};
    for (const auto& [length, expected] : table) {
        EXPECT_EQ(approximateLengthClass(length), expected) << length;
    }
}

// A search with a minimum below 30 counts its shorter pairs in a first class
// that begins at the minimum; from 30 on the classes are the papers' own.
TEST(ApproximateSearch, LengthClassesBeginAtALowerMinimum)
{
    struct Row {
        std::int64_t length;
        int minimum;
        std::optional<std::size_t> lengthClass;
    };
    const std::vector<Row> rows{{1, 1, 0},
                                {1, 2, std::nullopt},
                                {2, 2, 0},
                                {29, 2, 0},
                                {39, 2, 0},
                                {40, 2, 1},
                                {29, 30, std::nullopt},
                                {35, 45, 0},
                                {29, 45, std::nullopt},
                                {1000, 2, 5}};
    for (const Row& row : rows) {
        EXPECT_EQ(approximateLengthClass(row.length, row.minimum), row.lengthClass)
            << row.length << " at minimum " << row.minimum;
    }
    const std::vector<std::tuple<std::size_t, int, std::string>> names{
        {0, 2, "2-39"},   {0, 1, "1-39"},  {0, 29, "29-39"},        {0, 30, "30-39"},
        {0, 45, "30-39"}, {1, 2, "40-49"}, {5, 2, "1000 and more"}, {6, 2, ""}};
    for (const auto& [index, minimum, name] : names) {
        EXPECT_EQ(approximateLengthClassName(index, minimum), name) << index << " at minimum " << minimum;
    }

    ApproximateResult result;
    result.kind = RepeatKind::Mirror;
    result.settings.minLength = 2;
    for (const std::int64_t length : {2, 5, 29, 30, 45}) {
        result.pairs.push_back({0, 10, length, 0, length, 100.0, 1.0});
    }
    const auto counts = approximateClassCounts(std::span<const ApproximateResult>(&result, 1));
    const auto& mirror = counts[static_cast<std::size_t>(RepeatKind::Mirror)];
    EXPECT_EQ(mirror[0], 4);
    EXPECT_EQ(mirror[1], 1);
    result.settings.minLength = 30;
    EXPECT_EQ(approximateClassCounts(std::span<const ApproximateResult>(
                  &result, 1))[static_cast<std::size_t>(RepeatKind::Mirror)][0],
              1);
}

std::int64_t pairsOfAllKinds(const Genome& genome, const ApproximateSettings& settings)
{
    const auto found = approximateSearch(genome, test::kAllKinds, settings);
    EXPECT_TRUE(std::holds_alternative<std::vector<ApproximateResult>>(found));
    std::int64_t pairs = 0;
    for (const ApproximateResult& result : std::get<std::vector<ApproximateResult>>(found)) {
        pairs += static_cast<std::int64_t>(result.pairs.size());
    }
    return pairs;
}

// Limits that no pair can reach, on a genome as long as a mitochondrion: a
// minimum longer than the sequence has no pairs, and a mismatch limit above
// what a pair can hold is no limit, neither of them costing time or memory.
TEST(ApproximateSearch, AnswersLimitsNoPairCanReachAtOnce)
{
    Genome genome;
    ASSERT_TRUE(genome.makeRandom(4142, 4142, 4142, 4143, 8, 30, 12));
    const int n = genome.length();
    for (const int minimum : {n - 1, n, 1'000'000, std::numeric_limits<int>::max()}) {
        ApproximateSettings settings;
        settings.minLength = minimum;
        for (const ApproximateMethod method : {ApproximateMethod::Automatic, ApproximateMethod::Seeds}) {
            settings.method = method;
            EXPECT_EQ(pairsOfAllKinds(genome, settings), 0) << "minimum " << minimum;
        }
    }
    // The mismatch limit's cost does not grow with the sequence: a shorter one
    // keeps the searches quick.
    Genome shorter;
    ASSERT_TRUE(shorter.makeRandom(1000, 1000, 1000, 1000, 8, 30, 12));
    ApproximateSettings settings;
    settings.method = ApproximateMethod::Seeds;
    settings.minLength = 10;
    settings.identity = 80.0;
    const std::int64_t unlimited = pairsOfAllKinds(shorter, settings);
    EXPECT_GT(unlimited, 0);
    for (const int most : {shorter.length(), 100'000'000, std::numeric_limits<int>::max()}) {
        settings.maxMismatches = most;
        EXPECT_EQ(pairsOfAllKinds(shorter, settings), unlimited) << "at most " << most << " mismatches";
    }
}

// The pair limit counts the pairs of every kind of one search together, in
// the bytes of the pairs the other searches store.
TEST(ApproximateSearch, GivesUpWithPairLimitPastTheGenomesLimit)
{
    static_assert(sizeof(ApproximatePair) % sizeof(RepeatPair) == 0);
    // Half the bytes: room for a list to grow.
    constexpr auto kBytesPerPair =
        2 * static_cast<std::int64_t>(sizeof(ApproximatePair) / sizeof(RepeatPair));
    Genome genome;
    ASSERT_TRUE(genome.makeRandom(500, 500, 500, 500, 8, 30, 5));
    EXPECT_EQ(approximatePairLimit(genome), Genome::kDefaultPairLimit / kBytesPerPair);
    ApproximateSettings settings;
    settings.minLength = 6;
    const std::int64_t pairs = pairsOfAllKinds(genome, settings);
    ASSERT_GT(pairs, 1000);

    genome.setPairLimit(pairs * kBytesPerPair);
    EXPECT_EQ(approximatePairLimit(genome), pairs);
    EXPECT_EQ(pairsOfAllKinds(genome, settings), pairs);
    genome.setPairLimit(pairs * kBytesPerPair - 1);
    const auto refused = approximateSearch(genome, test::kAllKinds, settings);
    ASSERT_TRUE(std::holds_alternative<SearchFailure>(refused));
    EXPECT_EQ(std::get<SearchFailure>(refused), SearchFailure::PairLimit);
    settings.method = ApproximateMethod::Seeds;
    EXPECT_EQ(std::get<SearchFailure>(approximateSearch(genome, test::kAllKinds, settings)),
              SearchFailure::PairLimit);
}

TEST(ApproximateSearch, StopsWhenAskedAndReportsProgress)
{
    Genome genome;
    ASSERT_TRUE(genome.makeRandom(10'000, 10'000, 10'000, 10'000, 8, 30, 3));
    std::stop_source stop;
    stop.request_stop();
    EXPECT_EQ(
        std::get<SearchFailure>(approximateSearch(genome, RepeatKind::Direct, {}, {stop.get_token(), {}})),
        SearchFailure::Cancelled);

    std::vector<double> reports;
    const SearchControl watching{{}, [&](double fraction) { reports.push_back(fraction); }};
    ASSERT_TRUE(std::holds_alternative<ApproximateResult>(
        approximateSearch(genome, RepeatKind::Mirror, {}, watching)));
    ASSERT_FALSE(reports.empty());
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_EQ(reports.back(), 1.0);
}

}  // namespace
}  // namespace tessaron
