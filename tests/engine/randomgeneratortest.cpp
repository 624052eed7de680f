#include "engine/genome.h"
#include "engine/randomgenerator.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <string>

namespace tessaron {
namespace {

using test::loadSequence;

// FNV-1a of a sequence: pins long sequences without spelling them out.
std::uint64_t fingerprint(std::string_view bases)
{
    std::uint64_t hash = 1469598103934665603ULL;
    for (const char base : bases) {
        hash = (hash ^ static_cast<unsigned char>(base)) * 1099511628211ULL;
    }
    return hash;
}

std::array<int, 4> composition(std::string_view bases)
{
    std::array<int, 4> counts{};
    for (const char b : bases) {
        ++counts[static_cast<std::size_t>(letterIndex(b))];
    }
    return counts;
}

TEST(RandomGenerator, ClassicSequenceFromSeedOne)
{
    RandomGenerator generator(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (const int value : expected) {
        EXPECT_EQ(generator.next(), value);
    }
}

TEST(RandomGenerator, ScaleStaysBelowTheRemainingCount)
{
    const std::int64_t remainders[] = {
        1, 2, 3, 100, 32767, 32768, 32769, 65536, 1'000'000, std::numeric_limits<std::int32_t>::max()};
    for (const std::int64_t remaining : remainders) {
        SCOPED_TRACE(remaining);
        EXPECT_EQ(RandomGenerator::scale(0, remaining), 0);
        EXPECT_LT(RandomGenerator::scale(RandomGenerator::kMax, remaining), remaining);
        EXPECT_EQ(RandomGenerator::scale(RandomGenerator::kMax, remaining),
                  (std::int64_t{RandomGenerator::kMax} * remaining * 32769) >> 30);
    }
    // The largest draw reaches the top of a small range.
    EXPECT_EQ(RandomGenerator::scale(RandomGenerator::kMax, 100), 99);
    EXPECT_EQ(RandomGenerator::scale(16384, 2), 1);
    EXPECT_EQ(RandomGenerator::scale(16383, 2), 0);
}

TEST(MakeRandom, OneLetterOnlyIsTheWholeSequence)
{
    const std::uint32_t seeds[] = {0u, 1u, 99u, 0xFFFFFFFFu};
    for (const std::uint32_t seed : seeds) {
        Genome genome;
        ASSERT_TRUE(genome.makeRandom(3, 0, 0, 0, 8, 30, seed));
        EXPECT_EQ(genome.sequence(), "AAA");
        ASSERT_TRUE(genome.makeRandom(0, 0, 0, 5, 8, 30, seed));
        EXPECT_EQ(genome.sequence(), "GGGGG");
    }
}

TEST(MakeRandom, CompositionIsExactAndReadBackByBaseCount)
{
    auto genome = std::make_shared<Genome>();
    ASSERT_TRUE(genome->makeRandom(10, 20, 30, 40, 8, 30, 2024u));
    EXPECT_EQ(genome->length(), 100);
    EXPECT_EQ(composition(genome->sequence()), (std::array<int, 4>{10, 20, 30, 40}));
    const auto index = test::indexOf(genome);
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->baseCount('A'), 10);
    EXPECT_EQ(index->baseCount('T'), 20);
    EXPECT_EQ(index->baseCount('C'), 30);
    EXPECT_EQ(index->baseCount('G'), 40);
}

TEST(MakeRandom, TimeSeededCompositionIsExactToo)
{
    Genome genome;
    ASSERT_TRUE(genome.makeRandom(7, 0, 13, 2, 8, 30));
    EXPECT_EQ(composition(genome.sequence()), (std::array<int, 4>{7, 0, 13, 2}));
}

TEST(MakeRandom, ALetterPlacedOnceReadsBackAsZero)
{
    auto genome = std::make_shared<Genome>();
    ASSERT_TRUE(genome->makeRandom(1, 5, 5, 5, 8, 30, 3u));
    const auto index = test::indexOf(genome);
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->baseCount('A'), 0);
    EXPECT_EQ(index->baseCount('T'), 5);
}

TEST(MakeRandom, NoBasesGiveAnEmptySequence)
{
    auto genome = std::make_shared<Genome>();
    ASSERT_TRUE(loadSequence(*genome, "ACGTACGGT", 3, 4));
    ASSERT_TRUE(genome->makeRandom(0, 0, 0, 0, 8, 30, 5u));
    EXPECT_EQ(genome->length(), 0);
    const auto index = test::indexOf(genome);
    ASSERT_NE(index, nullptr);
    EXPECT_TRUE(index->root().isLeaf());
    const auto list = index->findDirectRepeats();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->total(), 0);
}

TEST(MakeRandom, SettingsAreClampedLikeAllocate)
{
    struct Case {
        int minimum;
        int maximum;
        int minLength;
        int lengthBound;
    };
    const Case cases[] = {{8, 8, 8, 10}, {1, 2, 3, 5}, {5, 15, 5, 16}, {8, 30, 8, 31}};
    for (const Case& c : cases) {
        Genome genome;
        ASSERT_TRUE(genome.makeRandom(4, 4, 4, 4, c.minimum, c.maximum, 11u));
        EXPECT_EQ(genome.minLength(), c.minLength);
        EXPECT_EQ(genome.lengthBound(), c.lengthBound);
    }
}

TEST(MakeRandom, SameSeedSameSequence)
{
    Genome first;
    Genome second;
    ASSERT_TRUE(first.makeRandom(25, 25, 25, 25, 8, 30, 42u));
    ASSERT_TRUE(second.makeRandom(25, 25, 25, 25, 8, 30, 42u));
    EXPECT_EQ(first.sequence(), second.sequence());
    ASSERT_TRUE(second.makeRandom(25, 25, 25, 25, 8, 30, 43u));
    EXPECT_NE(first.sequence(), second.sequence());
}

TEST(MakeRandom, SequencesStayThoseOfTheGenerationAlgorithm)
{
    // Sequences made by the generation algorithm, including totals of one
    // chunk of 31 letters and above 32768, where a draw can no longer reach
    // every value of the range: a change of the generator shows here.
    const struct {
        std::int64_t a, t, c, g;
        std::uint32_t seed;
        std::string_view start;
        std::uint64_t fingerprint;
    } cases[] = {
        {10, 20, 30, 40, 1u, "ACTGCCCGGGTGGCTAACTTGCTAACCGGGTGCCAGGGCC", 0x4f7f79531c27ebedULL},
        {31, 0, 0, 0, 7u, "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", 0x3a9c7d5b5095a790ULL},
        {0, 7, 0, 25, 12345u, "GGGGTGGTGGGGGGGGGTGTGTGGTGGTGGGG", 0x57e619a2373613aeULL},
        {16, 0, 0, 16, 0x80000000u, "AAGAAAAGAGAGAAGGAGAGGGGGGAGAAGAG", 0x002084ebd6634fbbULL},
        {5000, 1, 1, 5000, 0xFFFFFFFFu, "AGAAGAAAGAAGAGGGAAAGAGAGAGAGGAGAGGGGGGAG", 0x845a9590a8be4512ULL},
        {40000, 0, 30000, 0, 0u, "AACAAAACACACAACAACAACCCCAACAACAAAAACCAAA", 0x4c62e701fbed7eb7ULL},
        {10000, 12000, 8000, 9000, 12345u, "ACGCACGAGCTTCCTTCTGATATTATCAAGCATGACACTG", 0x21dff05e0719d3c3ULL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        Genome genome;
        ASSERT_TRUE(genome.makeRandom(c.a, c.t, c.c, c.g, 8, 30, c.seed));
        EXPECT_EQ(genome.sequence().substr(0, c.start.size()), c.start);
        EXPECT_EQ(fingerprint(genome.sequence()), c.fingerprint);
    }
}

TEST(MakeRandom, RefusesNegativeCountsAndTotalsBeyond32Bits)
{
    constexpr std::int64_t kMax32 = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kMaxU32 = std::numeric_limits<std::uint32_t>::max();
    struct Case {
        std::int64_t a;
        std::int64_t t;
        std::int64_t c;
        std::int64_t g;
    };
    const Case refused[] = {
        {-1, 0, 0, 0},
        {5, -1, 5, 5},
        {0, 0, 0, -3},
        {kMax32, 1, 0, 0},
        {kMax32 + 1, 0, 0, 0},
        {std::int64_t{1} << 30, std::int64_t{1} << 30, 0, 0},
        {1'000'000'000, 1'000'000'000, 1'000'000'000, 1'000'000'000},
        // The largest counts the dialog takes (unsigned 32-bit) in every field.
        {kMaxU32, kMaxU32, kMaxU32, kMaxU32},
        {kMaxU32, 0, 0, 0},
        {std::numeric_limits<std::int64_t>::min(), 10, 10, 10},
        // Sums that would overflow 64 bits if added before checking.
        {std::numeric_limits<std::int64_t>::max(), std::numeric_limits<std::int64_t>::max(), 1, 1},
        {1, std::numeric_limits<std::int64_t>::max(), 0, std::numeric_limits<std::int64_t>::max()},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(std::to_string(c.a) + "," + std::to_string(c.t) + "," + std::to_string(c.c) + "," +
                     std::to_string(c.g));
        Genome genome;
        ASSERT_TRUE(loadSequence(genome, "GATTACAGGGGACATTAG", 4, 6));
        EXPECT_FALSE(genome.makeRandom(c.a, c.t, c.c, c.g, 8, 30, 1u));
        EXPECT_EQ(genome.sequence(), "GATTACAGGGGACATTAG");
        EXPECT_EQ(genome.minLength(), 4);
        EXPECT_EQ(genome.lengthBound(), 7);
        EXPECT_EQ(genome.letterCount('G'), 6);
    }
}

TEST(MakeRandomLike, KeepsTheGapsAndTheComposition)
{
    struct Case {
        const char* model;
        int minimum;
        int maximum;
    };
    const Case cases[] = {
        {"NNACGTTTGACCANNNNRGGATCCAYTTN", 4, 9},
        {"ACGTACGGTTTAACNCCGT", 3, 3},
        {"NNNN", 8, 30},
        {"N", 5, 5},
        {"ANANA", 3, 256},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        Genome model;
        ASSERT_TRUE(loadSequence(model, c.model, c.minimum, c.maximum));
        Genome random;
        ASSERT_TRUE(random.makeRandomLike(model, 17u));
        ASSERT_EQ(random.length(), model.length());
        for (int i = 0; i < model.length(); ++i) {
            EXPECT_EQ(random.isGap(i), model.isGap(i)) << i;
            if (model.isGap(i)) {
                EXPECT_EQ(random.at(i), model.at(i)) << i;
            }
        }
        for (const char letter : kAlphabet) {
            EXPECT_EQ(random.letterCount(letter), model.letterCount(letter)) << letter;
        }
        EXPECT_EQ(random.minLength(), c.minimum);
        EXPECT_EQ(random.maxLength(), c.maximum);
    }
}

TEST(MakeRandomLike, WithoutGapsIsMakeRandomWithTheSameCountsAndSeed)
{
    Genome model;
    ASSERT_TRUE(loadSequence(model, "GATTACAGGGGACATTAGCCCTTTAAAGGGCATCATG", 6, 12));
    for (const std::uint32_t seed : {1u, 99u, 4000000000u}) {
        Genome like;
        ASSERT_TRUE(like.makeRandomLike(model, seed));
        Genome plain;
        ASSERT_TRUE(plain.makeRandom(model.letterCount('A'), model.letterCount('T'), model.letterCount('C'),
                                     model.letterCount('G'), 6, 12, seed));
        EXPECT_EQ(like.sequence(), plain.sequence());
    }
}

}  // namespace
}  // namespace tessaron
