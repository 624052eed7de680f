#include "engine/genome.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

namespace tessaron {
namespace {

using test::describeRepeats;
using test::indexSequence;
using test::loadSequence;
using test::repeatWord;

constexpr RepeatKind kTransformedKinds[] = {RepeatKind::Inverted, RepeatKind::Mirror,
                                            RepeatKind::Complementary};

std::unique_ptr<RepeatList> search(const SuffixIndex& index, RepeatKind kind)
{
    return kind == RepeatKind::Direct ? index.findDirectRepeats() : index.findRepeats(kind);
}

// The bookkeeping every list must keep, whatever it holds.
void expectConsistent(const RepeatList& list, RepeatKind kind, const Genome& genome)
{
    EXPECT_EQ(list.minLength(), genome.minLength());
    EXPECT_EQ(list.slotCount(), genome.lengthBound() - genome.minLength());
    std::int64_t total = 0;
    for (int slot = 0; slot < list.slotCount(); ++slot) {
        std::int64_t inSlot = 0;
        for (const Repeat& repeat : list.slot(slot)) {
            EXPECT_EQ(repeat.length, list.minLength() + slot);
            EXPECT_EQ(repeat.transformed, kind != RepeatKind::Direct);
            EXPECT_GE(repeat.pairCount, 1);
            for (const RepeatPair& pair : list.pairs(repeat)) {
                EXPECT_GE(pair.first, 0);
                EXPECT_LT(pair.first, genome.length());
                EXPECT_GE(pair.second, 0);
                EXPECT_LT(pair.second, genome.length());
            }
            inSlot += repeat.pairCount;
        }
        EXPECT_EQ(list.pairCount(slot), inSlot);
        total += inSlot;
    }
    EXPECT_EQ(list.total(), total);
}

struct SearchCase {
    const char* sequence;
    int minimum;
    int maximum;
    RepeatKind kind;
    std::vector<std::string> repeats;  // slot by slot, in order
};

class WorkedSearches : public ::testing::TestWithParam<SearchCase> {};

TEST_P(WorkedSearches, ListTheExpectedRepeats)
{
    const SearchCase& c = GetParam();
    const auto index = indexSequence(c.sequence, c.minimum, c.maximum);
    ASSERT_NE(index, nullptr);
    const Genome& genome = index->genome();
    const auto list = search(*index, c.kind);
    ASSERT_NE(list, nullptr);
    expectConsistent(*list, c.kind, genome);
    EXPECT_EQ(describeRepeats(genome, *list), c.repeats);
    EXPECT_EQ(list->total(), [&] {
        std::int64_t pairs = 0;
        for (const std::string& line : c.repeats) {
            pairs += std::count(line.begin(), line.end(), '(');
        }
        return pairs;
    }());
}

const char* const kShortExample = "ACCGAAACCGTTTTACGGTTT";
const char* const kNoInvertedExample = "ACCGTAAAAACGGTAAAA";

INSTANTIATE_TEST_SUITE_P(
    Examples, WorkedSearches,
    ::testing::Values(
        // One slot; TTTAC's second copy runs over the end.
        SearchCase{kShortExample, 5, 5, RepeatKind::Direct, {"TTTAC (11,18)"}},
        SearchCase{kShortExample, 5, 5, RepeatKind::Inverted, {"ACCGT (6,14)"}},
        SearchCase{kShortExample, 5, 5, RepeatKind::Mirror, {}},
        SearchCase{kShortExample, 5, 5, RepeatKind::Complementary, {}},
        SearchCase{kShortExample, 4, 6, RepeatKind::Direct, {"ACCG (0,6)", "GTTT (9,17)", "TTTAC (11,18)"}},
        SearchCase{
            kShortExample, 4, 6, RepeatKind::Inverted, {"ACCG (0,15) (6,15)", "CCGT (7,14)", "ACCGT (6,14)"}},
        SearchCase{kShortExample, 4, 6, RepeatKind::Mirror, {}},
        SearchCase{kShortExample, 4, 6, RepeatKind::Complementary, {}},
        // ACGGT at 9 is ACCGT reversed and complemented, but ACCG occurs once,
        // so the walk never reaches ACCGT.
        SearchCase{kNoInvertedExample, 5, 5, RepeatKind::Direct, {"AAAAC (6,15)"}},
        SearchCase{kNoInvertedExample, 5, 5, RepeatKind::Inverted, {}},
        SearchCase{kNoInvertedExample, 5, 5, RepeatKind::Mirror, {}},
        SearchCase{kNoInvertedExample, 5, 5, RepeatKind::Complementary, {}},
        // At the maximum length every pair of the list is taken; below it a
        // pair whose copies follow the same letter is not.
        SearchCase{"GACGTTTGACGTCC", 3, 4, RepeatKind::Direct, {"ACGT (1,8)"}},
        SearchCase{"GACGTTTGACGTCC", 3, 5, RepeatKind::Direct, {"GACGT (0,7)"}},
        SearchCase{
            "GACGTTTGACGTCC", 3, 5, RepeatKind::Inverted, {"GAC (0,10) (7,10)", "GACG (0,9)", "GACGT (0,8)"}},
        // CCA is compared with CCAA (absent), its extension by its own last
        // letter, not with CCAC, whose counts are the same; pairs follow the
        // lookup order of the transformed word ACC (7 before 4).
        SearchCase{"CCACACCA", 3, 5, RepeatKind::Mirror, {"CCA (0,7) (0,4)", "CCAC (0,6)"}},
        SearchCase{"AAAACAACAC", 3, 4, RepeatKind::Mirror, {"AAC (2,9) (5,9)", "AAAC (1,9)", "AACA (2,8)"}},
        // Palindromes (ACGT for inverted, ATTA for mirror) are never reported.
        SearchCase{"TTACGTAAACGTAAGATTACCATTAC",
                   4,
                   4,
                   RepeatKind::Direct,
                   {"TTAC (0,16) (0,22) (16,22)", "GTAA (4,10)"}},
        SearchCase{"TTACGTAAACGTAAGATTACCATTAC",
                   4,
                   4,
                   RepeatKind::Inverted,
                   {"TAAG (11,25)", "GTAA (4,22) (4,16) (10,22) (10,16)"}},
        SearchCase{"TTACGTAAACGTAAGATTACCATTAC", 4, 4, RepeatKind::Mirror, {}},
        SearchCase{"TTACGTAAACGTAAGATTACCATTAC", 4, 4, RepeatKind::Complementary, {"GTAA (4,20) (10,20)"}},
        // Too short for any repeat, even around the circle.
        SearchCase{"G", 3, 4, RepeatKind::Direct, {}}, SearchCase{"G", 3, 4, RepeatKind::Inverted, {}},
        SearchCase{"ACGTA", 8, 12, RepeatKind::Direct, {}},
        SearchCase{"ACGTA", 8, 12, RepeatKind::Mirror, {}}, SearchCase{"", 8, 30, RepeatKind::Direct, {}},
        SearchCase{"", 8, 30, RepeatKind::Inverted, {}}, SearchCase{"", 8, 30, RepeatKind::Mirror, {}},
        SearchCase{"", 8, 30, RepeatKind::Complementary, {}}));

TEST(RepeatSearch, PalindromesAreExaminedButNotReported)
{
    const auto index = indexSequence("TTACGTAAACGTAAGATTACCATTAC", 4, 4);
    ASSERT_NE(index, nullptr);
    const Genome& genome = index->genome();
    // Both palindromes are repeated nodes of the index...
    EXPECT_EQ(index->findWord("ACGT").size(), 2u);
    EXPECT_EQ(index->findWord("ATTA").size(), 2u);
    // ...and no reported word equals its own transformed word.
    for (const RepeatKind kind : kTransformedKinds) {
        const auto list = index->findRepeats(kind);
        ASSERT_NE(list, nullptr);
        for (const Repeat& repeat : list->slot(0)) {
            const std::string word = repeatWord(genome, *list, repeat);
            EXPECT_NE(word, kind == RepeatKind::Inverted ? "ACGT" : "ATTA");
        }
    }
}

TEST(RepeatSearch, DirectIsNotATransformedKind)
{
    const auto index = indexSequence(kShortExample, 4, 6);
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->findRepeats(RepeatKind::Direct), nullptr);
}

TEST(RepeatSearch, EmptyResultsStillHaveTheirSlots)
{
    const std::pair<int, int> settings[] = {{3, 4}, {5, 5}, {8, 30}, {8, 8}};
    for (const auto& [minimum, maximum] : settings) {
        const auto index = indexSequence("AC", minimum, maximum);
        ASSERT_NE(index, nullptr);
        for (const RepeatKind kind :
             {RepeatKind::Direct, RepeatKind::Inverted, RepeatKind::Mirror, RepeatKind::Complementary}) {
            const auto list = search(*index, kind);
            ASSERT_NE(list, nullptr);
            EXPECT_EQ(list->total(), 0);
            EXPECT_EQ(list->slotCount(), maximum + 1 - minimum);
            for (int slot = 0; slot < list->slotCount(); ++slot) {
                EXPECT_TRUE(list->slot(slot).empty());
                EXPECT_EQ(list->pairCount(slot), 0);
            }
        }
    }
}

TEST(RepeatSearch, SearchesLeaveTheGenomeAsItWas)
{
    const auto index = indexSequence("TTACGTAAACGTAAGATTACCATTAC", 3, 6);
    ASSERT_NE(index, nullptr);
    const Genome& genome = index->genome();
    const PositionList ttac = index->findWord("TTAC");
    ASSERT_EQ(ttac.size(), 3u);
    for (const RepeatKind kind :
         {RepeatKind::Direct, RepeatKind::Inverted, RepeatKind::Mirror, RepeatKind::Complementary}) {
        const auto first = search(*index, kind);
        const auto second = search(*index, kind);
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
        EXPECT_EQ(describeRepeats(genome, *first), describeRepeats(genome, *second));
    }
    EXPECT_EQ(index->findWord("TTAC"), ttac);
}

TEST(RepeatSearch, PairLimitMakesTheSearchGiveUp)
{
    // The limit is the genome's, read by each search.
    auto shared = std::make_shared<Genome>();
    ASSERT_TRUE(loadSequence(*shared, kShortExample, 4, 6));
    const auto index = test::indexOf(shared);
    ASSERT_NE(index, nullptr);
    Genome& genome = *shared;
    for (const RepeatKind kind :
         {RepeatKind::Direct, RepeatKind::Inverted, RepeatKind::Mirror, RepeatKind::Complementary}) {
        SCOPED_TRACE(static_cast<int>(kind));
        genome.setPairLimit(Genome::kDefaultPairLimit);
        const auto full = search(*index, kind);
        ASSERT_NE(full, nullptr);
        const std::int64_t total = full->total();

        genome.setPairLimit(total);
        const auto atLimit = search(*index, kind);
        ASSERT_NE(atLimit, nullptr);
        EXPECT_EQ(describeRepeats(genome, *atLimit), describeRepeats(genome, *full));
        if (total > 0) {
            genome.setPairLimit(total - 1);
            EXPECT_EQ(search(*index, kind), nullptr);
            genome.setPairLimit(0);
            EXPECT_EQ(search(*index, kind), nullptr);
        }
        // Giving up leaves nothing behind: the next search is whole again.
        genome.setPairLimit(Genome::kDefaultPairLimit);
        const auto again = search(*index, kind);
        ASSERT_NE(again, nullptr);
        EXPECT_EQ(describeRepeats(genome, *again), describeRepeats(genome, *full));
    }
}

TEST(RepeatSearch, PairLimitOnALargeResult)
{
    // A tandem repeat whose direct list runs to thousands of pairs.
    std::string bases;
    for (int i = 0; i < 300; ++i) {
        bases += (i % 7 == 3) ? "ACGTTGA" : "ACGTTGC";
    }
    auto genome = std::make_shared<Genome>();
    ASSERT_TRUE(loadSequence(*genome, bases, 8, 30));
    const auto index = test::indexOf(genome);
    ASSERT_NE(index, nullptr);
    const auto full = index->findDirectRepeats();
    ASSERT_NE(full, nullptr);
    ASSERT_GT(full->total(), 500);
    genome->setPairLimit(full->total() / 2);
    EXPECT_EQ(index->findDirectRepeats(), nullptr);
}

// Builds a circular sequence in which CCA is followed by 65,536 different
// sixteen-letter words of T and C, then once by A, and which ends in GGTT,
// the only copy of GGT. In the complementary search CCA lists 65,537 starts
// and its transformed word GGT one; CCAA, its extension by its own last
// letter, lists one start and GGTT one. Counts cut to 16 bits would make both
// count pairs read (1, 1) and suppress CCA; with full counts it is reported
// with all 65,537 pairs. Words of T and C have transformed words of A and G,
// which hardly occur, so the search stays small.
std::string manyContinuationsOfCca()
{
    std::string bases;
    for (int code = 0; code < 65536; ++code) {
        bases += "CCA";
        for (int bit = 15; bit >= 0; --bit) {
            bases += ((code >> bit) & 1) != 0 ? 'C' : 'T';
        }
    }
    return bases + "CCAAGGTT";
}

TEST(RepeatSearch, TransformedSearchComparesFullCounts)
{
    const std::string bases = manyContinuationsOfCca();
    const auto n = static_cast<std::int32_t>(bases.size());
    // The depth limit (maximum + 6 = 19) leaves room for CCA and a whole code.
    const auto index = indexSequence(bases, 3, 13);
    ASSERT_NE(index, nullptr);
    ASSERT_EQ(index->findWord("CCA").size(), 65537u);
    ASSERT_EQ(index->findWord("GGT"), (PositionList{n - 4}));
    ASSERT_EQ(index->findWord("CCAA"), (PositionList{n - 8}));
    ASSERT_EQ(index->findWord("GGTT"), (PositionList{n - 4}));

    const auto list = index->findRepeats(RepeatKind::Complementary);
    ASSERT_NE(list, nullptr);
    const Repeat* cca = nullptr;
    const Repeat* ccaa = nullptr;
    for (const Repeat& repeat : list->slot(0)) {
        if (repeatWord(index->genome(), *list, repeat) == "CCA") {
            cca = &repeat;
        }
    }
    for (const Repeat& repeat : list->slot(1)) {
        if (repeatWord(index->genome(), *list, repeat) == "CCAA") {
            ccaa = &repeat;
        }
    }
    ASSERT_NE(ccaa, nullptr);
    EXPECT_EQ(ccaa->pairCount, 1);
    ASSERT_NE(cca, nullptr) << "CCA suppressed: counts compared modulo 65536";
    EXPECT_EQ(cca->pairCount, 65537);
    const auto pairs = list->pairs(*cca);
    // CCAA comes first in the lookup of CCA (A before T, C, G).
    EXPECT_EQ(pairs.front(), (RepeatPair{n - 8, n - 4}));
    EXPECT_TRUE(
        std::all_of(pairs.begin(), pairs.end(), [&](const RepeatPair& p) { return p.second == n - 4; }));
}

}  // namespace
}  // namespace tessaron
