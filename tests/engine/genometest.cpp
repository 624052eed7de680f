#include "engine/genome.h"
#include "engine/suffixindex.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace tessaron {
namespace {

using test::describeRepeats;
using test::indexOf;
using test::indexSequence;
using test::loadSequence;

TEST(GenomeStore, KeepsLettersInUpperCaseAndGapsInPlace)
{
    Genome genome;
    ASSERT_TRUE(genome.allocate(100, 5, 15));
    genome.appendText("acgtNnacgt\n");
    EXPECT_EQ(genome.sequence(), "ACGTNNACGT");
    EXPECT_EQ(genome.length(), 10);
    EXPECT_EQ(genome.c_str()[10], '\0');
}

TEST(GenomeStore, DropsEverythingThatIsNotALetter)
{
    Genome genome;
    ASSERT_TRUE(genome.allocate(100, 5, 15));
    genome.appendText("      1 gatc UuRyN-*.>seq 12\r\n\t\x80\xC3\xA9 TaG");
    EXPECT_EQ(genome.sequence(), "GATCUURYNSEQTAG");
}

TEST(GenomeStore, TellsGapsAndCountsLetters)
{
    Genome genome;
    ASSERT_TRUE(genome.allocate(100, 5, 15));
    genome.appendText("NacgTTrNN a");
    EXPECT_EQ(genome.sequence(), "NACGTTRNNA");
    EXPECT_EQ(genome.gapCount(), 4);
    EXPECT_EQ(std::vector<std::int32_t>(genome.gaps().begin(), genome.gaps().end()),
              (std::vector<std::int32_t>{0, 6, 7, 8}));
    const std::pair<std::int64_t, bool> expected[] = {{-10, true}, {-1, false}, {0, true}, {1, false},
                                                      {6, true},   {9, false},  {10, true}};
    for (const auto& [position, gap] : expected) {
        EXPECT_EQ(genome.isGap(position), gap) << position;
    }
    EXPECT_EQ(genome.letterCount('A'), 2);
    EXPECT_EQ(genome.letterCount('T'), 2);
    EXPECT_EQ(genome.letterCount('C'), 1);
    EXPECT_EQ(genome.letterCount('G'), 1);
    EXPECT_EQ(genome.letterCount('N'), 0);
    genome.resetSettings(5, 15);
    EXPECT_EQ(genome.gapCount(), 0);
    EXPECT_EQ(genome.letterCount('A'), 0);
}

TEST(GenomeStore, StopsAtCapacity)
{
    Genome genome;
    ASSERT_TRUE(genome.allocate(4, 5, 15));
    EXPECT_EQ(genome.capacity(), 4);
    genome.appendText("ACGTACGTAC");
    EXPECT_EQ(genome.sequence(), "ACGT");
    EXPECT_EQ(genome.c_str()[4], '\0');
    EXPECT_EQ(std::strlen(genome.c_str()), 4u);
    genome.appendText("GGGG");
    EXPECT_EQ(genome.sequence(), "ACGT");
}

TEST(GenomeStore, AppendsAcrossCallsAndLeavesRoomUnused)
{
    Genome genome;
    ASSERT_TRUE(genome.allocate(20, 5, 15));
    genome.appendText("AC");
    genome.appendText("");
    genome.appendText("gt\n");
    EXPECT_EQ(genome.sequence(), "ACGT");
    EXPECT_EQ(genome.length(), 4);
}

TEST(GenomeStore, ByteFFEndsTheTextLikeNul)
{
    Genome genome;
    ASSERT_TRUE(genome.allocate(100, 5, 15));
    genome.appendText("ACG\xFFTTTT");
    EXPECT_EQ(genome.sequence(), "ACG");
    EXPECT_EQ(genome.c_str()[3], '\0');
    // The next text goes on appending after the stop.
    genome.appendText(
        "ca\xFF"
        "AAAA");
    EXPECT_EQ(genome.sequence(), "ACGCA");
}

TEST(GenomeStore, AppendBaseAnswersFalseOnlyAtEndOfText)
{
    struct Case {
        int ch;
        bool result;
        const char* stored;
    };
    const Case cases[] = {
        {0, false, ""},   {-1, false, ""},  {'A', true, "A"}, {'a', true, "A"}, {'C', true, "C"},
        {'c', true, "C"}, {'G', true, "G"}, {'g', true, "G"}, {'T', true, "T"}, {'t', true, "T"},
        {'N', true, "N"}, {'U', true, "U"}, {'u', true, "U"}, {'R', true, "R"}, {' ', true, ""},
        {'\n', true, ""}, {'1', true, ""},  {'-', true, ""},  {-2, true, ""},   {-128, true, ""},
        {0x80, true, ""}, {0xFF, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ch);
        Genome genome;
        ASSERT_TRUE(genome.allocate(10, 5, 15));
        EXPECT_EQ(genome.appendBase(c.ch), c.result);
        EXPECT_EQ(genome.sequence(), c.stored);
    }
}

TEST(GenomeStore, AllocateClampsTheSettings)
{
    struct Case {
        int minimum;
        int maximum;
        int minLength;
        int lengthBound;
    };
    const Case cases[] = {
        {5, 15, 5, 16}, {8, 8, 8, 10}, {1, 2, 3, 5},  {2, 2, 3, 5},   {0, 0, 3, 5},
        {-4, 7, 3, 8},  {3, 4, 3, 5},  {9, 4, 9, 11}, {8, 30, 8, 31}, {256, 256, 256, 258},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.minimum) + "/" + std::to_string(c.maximum));
        Genome genome;
        ASSERT_TRUE(genome.allocate(10, c.minimum, c.maximum));
        EXPECT_EQ(genome.minLength(), c.minLength);
        EXPECT_EQ(genome.lengthBound(), c.lengthBound);
        EXPECT_EQ(genome.maxLength(), c.lengthBound - 1);
        genome.resetSettings(c.minimum, c.maximum);
        EXPECT_EQ(genome.minLength(), c.minLength);
        EXPECT_EQ(genome.lengthBound(), c.lengthBound);
    }
}

TEST(GenomeStore, AllocateDropsTheOldSequence)
{
    Genome genome;
    ASSERT_TRUE(loadSequence(genome, "AACCGGTT", 3, 4));
    ASSERT_TRUE(genome.allocate(6, 5, 15));
    EXPECT_EQ(genome.length(), 0);
    EXPECT_EQ(genome.sequence(), "");
    EXPECT_EQ(genome.capacity(), 6);
    genome.appendText("TTTGGG");
    EXPECT_EQ(genome.sequence(), "TTTGGG");
    EXPECT_EQ(genome.letterCount('A'), 0);
    EXPECT_EQ(genome.letterCount('T'), 3);
}

TEST(GenomeStore, ResetSettingsForgetsTheSequence)
{
    Genome genome;
    ASSERT_TRUE(genome.allocate(10, 5, 15));
    genome.appendText("ACGTAC");
    genome.resetSettings(4, 6);
    EXPECT_EQ(genome.length(), 0);
    EXPECT_EQ(genome.sequence(), "");
    EXPECT_EQ(genome.minLength(), 4);
    EXPECT_EQ(genome.lengthBound(), 7);
}

TEST(GenomeStore, SetLengthBoundsStoresWithoutClamping)
{
    struct Case {
        int minimum;
        int maximum;
    };
    const Case cases[] = {{8, 30}, {3, 3}, {2, 2}, {5, 5}, {3, 256}, {12, 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.minimum) + "/" + std::to_string(c.maximum));
        Genome genome;
        ASSERT_TRUE(genome.allocate(10, 1, 2));
        genome.setLengthBounds(c.minimum, c.maximum);
        EXPECT_EQ(genome.minLength(), c.minimum);
        EXPECT_EQ(genome.lengthBound(), c.maximum + 1);
    }
}

TEST(GenomeStore, SetLengthBoundsReplacesAnyPreviousValues)
{
    Genome genome;
    ASSERT_TRUE(genome.allocate(10, 100, 200));
    genome.setLengthBounds(8, 30);
    EXPECT_EQ(genome.minLength(), 8);
    EXPECT_EQ(genome.lengthBound(), 31);
    genome.setLengthBounds(3, 4);
    genome.setLengthBounds(8, 30);
    EXPECT_EQ(genome.minLength(), 8);
    EXPECT_EQ(genome.lengthBound(), 31);
}

TEST(GenomeStore, TitleSurvivesLoads)
{
    Genome genome;
    genome.setTitle("Homo sapiens mitochondrion, complete genome.");
    ASSERT_TRUE(loadSequence(genome, "ACGTTGCA", 8, 30));
    ASSERT_TRUE(genome.allocate(3, 5, 15));
    genome.appendText("GGG");
    genome.resetSettings(3, 4);
    ASSERT_TRUE(genome.makeRandom(2, 2, 2, 2, 3, 4, 7u));
    EXPECT_EQ(genome.title(), "Homo sapiens mitochondrion, complete genome.");
}

TEST(GenomeStore, TitleKeepsAtMost95Characters)
{
    Genome genome;
    const std::string longTitle(120, 'x');
    genome.setTitle(longTitle);
    EXPECT_EQ(genome.title(), std::string(Genome::kTitleLength, 'x'));
    genome.setTitle("short");
    EXPECT_EQ(genome.title(), "short");
}

TEST(GenomeStore, TitleIsNeverCutInsideAUtf8Character)
{
    const std::string e = "\xC3\xA9";             // é, two bytes
    const std::string euro = "\xE2\x82\xAC";      // €, three bytes
    const std::string clef = "\xF0\x9D\x84\x9E";  // 𝄞, four bytes
    const auto x = [](std::size_t count) { return std::string(count, 'x'); };
    const struct {
        const char* name;
        std::string title;
        std::string kept;
    } cases[] = {
        {"two bytes ending at 95", x(93) + e + "yz", x(93) + e},
        {"two bytes across 95", x(94) + e, x(94)},
        {"three bytes, one in", x(94) + euro, x(94)},
        {"three bytes, two in", x(93) + euro, x(93)},
        {"three bytes ending at 95", x(92) + euro + "y", x(92) + euro},
        {"four bytes, three in", x(92) + clef, x(92)},
        {"four bytes ending at 95", x(91) + clef + "y", x(91) + clef},
        // Not UTF-8: Latin-1 bytes, and a lone continuation byte, are cut at 95.
        {"Latin-1", x(94) + "\xE9\xE9", x(94) + "\xE9"},
        {"continuation bytes only", std::string(100, '\xA9'), std::string(95, '\xA9')},
    };
    for (const auto& c : cases) {
        Genome genome;
        genome.setTitle(c.title);
        EXPECT_EQ(genome.title(), c.kept) << c.name;
    }
}

TEST(GenomeStore, BaseCountCountsOnlyLettersSeenTwice)
{
    auto index = indexSequence("AACCCGGGGT", 3, 4);
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->baseCount('A'), 2);
    EXPECT_EQ(index->baseCount('C'), 3);
    EXPECT_EQ(index->baseCount('G'), 4);
    EXPECT_EQ(index->baseCount('T'), 0);  // occurs exactly once

    index = indexSequence("CCCCCC", 3, 4);
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->baseCount('C'), 6);
    EXPECT_EQ(index->baseCount('A'), 0);  // does not occur
    EXPECT_EQ(index->baseCount('T'), 0);
    EXPECT_EQ(index->baseCount('G'), 0);
}

TEST(GenomeStore, BaseCountIsTheCompositionForEverySetting)
{
    const std::string bases = "GATTACAGGGGACATTAGTTTACCCAGATTAGAGAGA";
    int expected[4] = {0, 0, 0, 0};
    for (const char b : bases) {
        ++expected[letterIndex(b)];
    }
    const std::pair<int, int> settings[] = {{3, 4}, {8, 30}, {5, 5}, {20, 256}, {40, 50}};
    for (const auto& [minimum, maximum] : settings) {
        SCOPED_TRACE(std::to_string(minimum) + ".." + std::to_string(maximum));
        const auto index = indexSequence(bases, minimum, maximum);
        ASSERT_NE(index, nullptr);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(index->baseCount(kAlphabet[static_cast<std::size_t>(i)]), expected[i]);
        }
    }
}

TEST(GenomeStore, ReadsCircularly)
{
    Genome genome;
    ASSERT_TRUE(loadSequence(genome, "ACGTT", 3, 4));
    EXPECT_EQ(genome.at(0), 'A');
    EXPECT_EQ(genome.at(4), 'T');
    EXPECT_EQ(genome.at(5), 'A');
    EXPECT_EQ(genome.at(7), 'G');
    EXPECT_EQ(genome.at(-1), 'T');
    EXPECT_EQ(genome.at(-5), 'A');
    EXPECT_EQ(genome.at(-6), 'T');
    EXPECT_EQ(genome.word(0, 5), "ACGTT");
    EXPECT_EQ(genome.word(3, 4), "TTAC");
    EXPECT_EQ(genome.word(4, 12), "TACGTTACGTTA");
    EXPECT_EQ(genome.word(7, 2), "GT");
    EXPECT_EQ(genome.word(2, 0), "");
}

TEST(GenomeStore, EmptyGenome)
{
    Genome genome;
    EXPECT_EQ(genome.length(), 0);
    EXPECT_EQ(genome.capacity(), 0);
    EXPECT_EQ(genome.sequence(), "");
}

TEST(GenomeStore, MovedGenomeKeepsSequenceAndSettings)
{
    Genome source;
    source.setTitle("moved");
    ASSERT_TRUE(loadSequence(source, "GATTACAGGGGACATTAG", 4, 6));
    Genome moved(std::move(source));
    EXPECT_EQ(moved.sequence(), "GATTACAGGGGACATTAG");
    auto assigned = std::make_shared<Genome>();
    *assigned = std::move(moved);
    EXPECT_EQ(assigned->title(), "moved");
    EXPECT_EQ(assigned->minLength(), 4);
    EXPECT_EQ(assigned->lengthBound(), 7);
    EXPECT_EQ(assigned->letterCount('G'), 6);
    EXPECT_EQ(indexOf(assigned)->findWord("GG"), (PositionList{17, 9, 8, 7}));

    // What is left behind is an empty genome that indexes safely and loads again.
    for (Genome* left : {&source, &moved}) {
        EXPECT_EQ(left->length(), 0);
        EXPECT_EQ(left->letterCount('G'), 0);
        auto empty = std::make_shared<Genome>(std::move(*left));
        const auto index = indexOf(empty);
        ASSERT_NE(index, nullptr);
        EXPECT_TRUE(index->empty());
        EXPECT_TRUE(index->root().isLeaf());
        EXPECT_TRUE(index->findWord("ACA").empty());
        EXPECT_EQ(index->baseCount('G'), 0);
        const auto direct = index->findDirectRepeats();
        ASSERT_NE(direct, nullptr);
        EXPECT_EQ(direct->total(), 0);
    }
    const auto reloaded = indexSequence("ACCGAAACCGTTTTACGGTTT", 5, 5);
    EXPECT_EQ(describeRepeats(reloaded->genome(), *reloaded->findRepeats(RepeatKind::Inverted)),
              (std::vector<std::string>{"ACCGT (6,14)"}));
}

}  // namespace
}  // namespace tessaron
