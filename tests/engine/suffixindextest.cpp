#include "engine/genome.h"
#include "engine/repeatsnapshot.h"
#include "engine/suffixindex.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tessaron {
namespace {

using test::findNode;
using test::indexSequence;
using test::loadSequence;
using test::toVector;

// The deepest path below the root, in letters.
int indexDepth(const SuffixIndex& index)
{
    int deepest = 0;
    std::vector<std::pair<NodeId, int>> pending{{kRootNode, 0}};
    while (!pending.empty()) {
        const auto [id, depth] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, depth);
        for (const NodeId child : index.node(id).children) {
            if (child != kNoNode) {
                pending.emplace_back(child, depth + 1);
            }
        }
    }
    return deepest;
}

struct LookupCase {
    const char* word;
    PositionList starts;
};

void expectLookups(const SuffixIndex& index, const std::vector<LookupCase>& cases)
{
    for (const LookupCase& c : cases) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(index.findWord(c.word), c.starts);
    }
}

TEST(SuffixIndex, RecordDepthFollowsTheMinimum)
{
    const std::pair<int, int> cases[] = {{3, 2}, {4, 3}, {5, 4}, {8, 7}, {2, 2}, {1, 2}, {30, 29}};
    for (const auto& [minimum, recordDepth] : cases) {
        SCOPED_TRACE(minimum);
        const auto index = indexSequence("ACGTTGCAAC", minimum, minimum + 4);
        ASSERT_NE(index, nullptr);
        EXPECT_EQ(index->recordDepth(), recordDepth);
    }
}

TEST(SuffixIndex, SequenceOfLengthOne)
{
    const auto index = indexSequence("G", 3, 4);
    ASSERT_NE(index, nullptr);
    const IndexNode& root = index->root();
    EXPECT_EQ(root.children[0], kNoNode);
    EXPECT_EQ(root.children[1], kNoNode);
    EXPECT_EQ(root.children[2], kNoNode);
    ASSERT_NE(root.children[3], kNoNode);
    const IndexNode& g = index->node(root.children[3]);
    EXPECT_TRUE(g.isLeaf());
    EXPECT_EQ(g.position, 0);
    EXPECT_EQ(g.count, 0);
    EXPECT_EQ(index->baseCount('G'), 0);
    // A word leaving the tree at the leaf is compared from the base after the
    // leaf's occurrence, taken circularly (position 0 again), and from there
    // on without wrapping: GG is found, GGG runs into the end of the text.
    expectLookups(*index, {{"G", {0}}, {"GG", {0}}, {"GGG", {}}, {"A", {}}, {"GA", {}}});
}

TEST(SuffixIndex, EmptySequenceHasAnEmptyIndex)
{
    const auto index = indexSequence("", 3, 4);
    ASSERT_NE(index, nullptr);
    const Genome& genome = index->genome();
    EXPECT_EQ(genome.length(), 0);
    EXPECT_TRUE(index->root().isLeaf());
    for (const char letter : kAlphabet) {
        EXPECT_EQ(index->baseCount(letter), 0);
        EXPECT_TRUE(index->findWord(std::string(1, letter)).empty());
    }
    EXPECT_TRUE(index->findWord("ACGT").empty());
}

TEST(SuffixIndex, IndexesTheGenomeAsItWasBuilt)
{
    // The index keeps the genome it was built from, with its settings then;
    // other settings take another index.
    auto genome = std::make_shared<Genome>();
    ASSERT_TRUE(test::loadSequence(*genome, "GATTACAGGGGACATTAG", 4, 6));
    const auto index = test::indexOf(genome);
    ASSERT_NE(index, nullptr);
    genome->setLengthBounds(8, 12);
    EXPECT_EQ(index->minLength(), 4);
    EXPECT_EQ(index->maxLength(), 6);
    EXPECT_EQ(index->recordDepth(), 3);
    EXPECT_EQ(index->sharedGenome(), genome);
    EXPECT_EQ(index->findWord("ACA"), (PositionList{11, 4}));
    EXPECT_EQ(test::indexOf(genome)->recordDepth(), 7);
}

TEST(SuffixIndex, TandemRepeatNodes)
{
    // ACGTACGT at 3..4: ACG occurs twice, both times followed by T, so its list
    // is pruned; every suffix equals the one four places on beyond the depth
    // limit, so the second half has no leaves of its own.
    const auto index = indexSequence("ACGTACGT", 3, 4);
    ASSERT_NE(index, nullptr);
    const Genome& genome = index->genome();
    const IndexNode* acg = findNode(*index, "ACG");
    ASSERT_NE(acg, nullptr);
    EXPECT_EQ(acg->count, 2);
    EXPECT_TRUE(index->positions(*acg).empty());
    const IndexNode* acgt = findNode(*index, "ACGT");
    ASSERT_NE(acgt, nullptr);
    EXPECT_EQ(acgt->count, 2);
    EXPECT_EQ(indexDepth(*index), genome.lengthBound() + 5);
    expectLookups(*index, {{"CGT", {1}}, {"ACGT", {0}}, {"TACG", {3}}, {"ACGTACGTACGT", {0}}, {"GTAC", {2}}});
}

TEST(SuffixIndex, DepthLimitNodesAreLeaves)
{
    const auto index = indexSequence(std::string(40, 'C'), 3, 4);
    ASSERT_NE(index, nullptr);
    const Genome& genome = index->genome();
    const std::string limitWord(static_cast<std::size_t>(genome.lengthBound() + 5), 'C');
    const IndexNode* deepest = findNode(*index, limitWord);
    ASSERT_NE(deepest, nullptr);
    EXPECT_TRUE(deepest->isLeaf());
    EXPECT_EQ(indexDepth(*index), 10);
}

TEST(SuffixIndex, HomopolymerRecordsOnlyNonOverlappingOccurrences)
{
    // AAAAAAAA at 3..4 (record depth 2, depth limit 10). Lists keep the first
    // end (reduced) and then ends whose occurrence starts after the last
    // recorded end; counts take the occurrences that start after the end of the
    // first one. The depth 9 and 10 nodes show that a reduced first end is
    // compared as it is, so their second entries overlap the first occurrence.
    struct Expected {
        int depth;
        std::int32_t position;
        std::int32_t count;
        PositionList positions;
    };
    const Expected table[] = {
        {1, 0, 8, {}},      {2, 1, 6, {1}},     {3, 2, 5, {2, 5, 8}}, {4, 3, 4, {3, 7}}, {5, 4, 3, {4, 9}},
        {6, 5, 2, {5, 11}}, {7, 6, 1, {6, 13}}, {8, 7, 0, {}},        {9, 0, 8, {0, 9}}, {10, 1, 6, {1, 11}},
    };
    const auto index = indexSequence("AAAAAAAA", 3, 4);
    ASSERT_NE(index, nullptr);
    for (const Expected& e : table) {
        SCOPED_TRACE(e.depth);
        const IndexNode* node = findNode(*index, std::string(static_cast<std::size_t>(e.depth), 'A'));
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->position, e.position);
        EXPECT_EQ(node->count, e.count);
        EXPECT_EQ(toVector(index->positions(*node)), e.positions);
        EXPECT_EQ(node->isLeaf(), e.depth == 10);
    }
    EXPECT_EQ(index->baseCount('A'), 8);
    expectLookups(*index, {{"AAA", {0}}, {"AAAAAAAAAAAA", {0}}});
}

TEST(SuffixIndex, LookupsOrderStartsByTheFollowingLetters)
{
    const auto index = indexSequence("GATTACAGGGGACATTAG", 4, 6);
    ASSERT_NE(index, nullptr);
    expectLookups(*index, {
                              {"ACA", {11, 4}},  // ACAT before ACAG: T comes before G
                              {"GG", {17, 9, 8, 7}},
                              {"G", {0, 10, 17, 9, 8, 7}},
                              {"CATTAGG", {}},    // one occurrence, leaving its leaf over the end
                              {"TAGGATT", {15}},  // leaves its leaf at the last base: reads from 0
                              {"AGGAT", {16}},    // runs over the end inside the tree
                              {"GATTACAGGGGACATTAG", {0}},
                              {"AGGGG", {6}},
                              {"GGGGG", {}},
                              {"TTAG", {14}},
                              {"CCC", {}},
                          });
}

TEST(SuffixIndex, WordsAcrossTheEndAreIndexedLikeOthers)
{
    // The sequence ends with its first four letters.
    const auto index = indexSequence("GATCCGTAAGCTTGATC", 3, 4);
    ASSERT_NE(index, nullptr);
    expectLookups(*index, {
                              {"GATC", {0, 13}},
                              {"GATCGA", {13}},
                              {"TCGATC", {15}},
                              {"CGATCC", {16}},
                              {"ATCG", {14}},
                              {"ATCC", {1}},
                          });
}

TEST(SuffixIndex, SecondCopyOfALongStretchHasNoLeaves)
{
    // Two copies of a 20-letter stretch at 3..4 (depth limit 10): suffixes of
    // the second copy whose first ten letters lie inside it end in the first
    // copy's nodes, so lookups list the first copy only.
    const std::string stretch = "ACGGTCATTGACCTAGCATG";
    const auto index = indexSequence(stretch + "TTTT" + stretch + "CCCC", 3, 4);
    ASSERT_NE(index, nullptr);
    expectLookups(*index, {
                              {"ACGGT", {0}},
                              {"GTCAT", {3}},
                              {"GACCT", {9}},
                              {"CTAGC", {12, 36}},  // ten letters on the copies differ
                              {"ACGGTCATTGA", {0}},
                              {"ACGGTCATTGACCTAGCATG", {0}},  // longer than the depth limit
                          });
}

TEST(SuffixIndex, LeafStartsMatchLookups)
{
    const auto index = indexSequence("GATTACAGGGGACATTAG", 4, 6);
    ASSERT_NE(index, nullptr);
    const std::pair<const char*, PositionList> cases[] = {
        {"ACA", {11, 4}}, {"GG", {17, 9, 8, 7}}, {"T", {3, 15, 2, 14}}, {"C", {12, 5}}};
    for (const auto& [word, starts] : cases) {
        SCOPED_TRACE(word);
        const IndexNode* node = findNode(*index, word);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(toVector(index->leafStarts(*node)), starts);
    }
}

TEST(SuffixIndex, OtherSettingsMoveTheDepthLimit)
{
    // A larger maximum moves the depth limit and the record depth; the second
    // half still ends in the first half's nodes.
    const std::pair<int, int> settings[] = {{3, 4}, {8, 12}};
    const int depths[] = {10, 18};
    const int recordDepths[] = {2, 7};
    for (std::size_t i = 0; i < 2; ++i) {
        const auto index = indexSequence("ACGTACGT", settings[i].first, settings[i].second);
        ASSERT_NE(index, nullptr);
        EXPECT_EQ(index->findWord("CGT"), (PositionList{1}));
        EXPECT_EQ(indexDepth(*index), depths[i]);
        EXPECT_EQ(index->recordDepth(), recordDepths[i]);
    }
}

TEST(SuffixIndex, HundredThousandRecordedEndsInOneList)
{
    // A long homopolymer gives its nodes recorded ends every few bases (the
    // node at the depth limit one per ten bases); building, looking up,
    // searching and releasing must not recurse along such lists.
    const int length = 1'000'003;
    auto genome = std::make_shared<Genome>();
    ASSERT_TRUE(genome->allocate(length, 5, 15));
    const std::string chunk(1000, 'T');
    for (int i = 0; i < length / 1000 + 1; ++i) {
        genome->appendText(chunk.c_str());
    }
    ASSERT_EQ(genome->length(), length);
    // Minimum 4: below it the direct search would compare every pair of the
    // third of a million ends of TTT for nothing.
    genome->setLengthBounds(4, 4);
    // Every pair of the 250,000 ends of TTTT counts at the maximum length:
    // far more pairs than a search may hold.
    genome->setPairLimit(1'000'000);
    const auto index = test::indexOf(genome);
    ASSERT_NE(index, nullptr);
    const IndexNode* limitNode = findNode(*index, std::string(10, 'T'));
    ASSERT_NE(limitNode, nullptr);
    EXPECT_GE(index->positions(*limitNode).size(), 100'000u);
    EXPECT_EQ(index->baseCount('T'), length);
    EXPECT_EQ(index->findWord("TTTT"), (PositionList{0}));
    for (const RepeatKind kind : {RepeatKind::Inverted, RepeatKind::Mirror, RepeatKind::Complementary}) {
        const auto list = index->findRepeats(kind);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->total(), 0);
    }
    EXPECT_EQ(index->findDirectRepeats(), nullptr);
    // Counting makes no pair, so no limit applies, and the count passes 32 bits.
    const auto counted = searchRepeats(index, RepeatKind::Direct, SnapshotDetail::Counts);
    const auto ends = static_cast<std::int64_t>(index->positions(*findNode(*index, "TTTT")).size());
    ASSERT_TRUE(std::holds_alternative<std::shared_ptr<const RepeatSnapshot>>(counted));
    const std::int64_t total = std::get<std::shared_ptr<const RepeatSnapshot>>(counted)->total();
    EXPECT_EQ(total, ends * (ends - 1) / 2);
    EXPECT_GT(total, std::int64_t{1} << 32);
}

}  // namespace
}  // namespace tessaron
