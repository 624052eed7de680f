// The engine against the plain reference of the index and the searches, on
// seeded random sequences of many shapes and on a real mitochondrial genome.

#include "engine/genome.h"
#include "engine/repeatsnapshot.h"
#include "engine/suffixindex.h"
#include "referenceindex.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace tessaron {
namespace {

using test::toVector;

// ---------------------------------------------------------------------------
// Comparisons. Each returns a description of the first difference, or "".

std::string join(const std::vector<PositionLink>& positions)
{
    std::string text = "{";
    for (std::size_t i = 0; i < positions.size(); ++i) {
        text += (i == 0 ? "" : ",") + std::to_string(positions[i]);
    }
    return text + "}";
}

std::string compareIndex(const SuffixIndex& index, const reference::ReferenceIndex& ref)
{
    struct Pending {
        NodeId engine;
        const reference::Node* ref;
        std::string word;
    };
    std::vector<Pending> pending{{kRootNode, &ref.root(), ""}};
    while (!pending.empty()) {
        Pending item = std::move(pending.back());
        pending.pop_back();
        // A genome without letters has no index, only the empty root.
        const IndexNode& node = item.engine == kRootNode ? index.root() : index.node(item.engine);
        const reference::Node& refNode = *item.ref;
        const int depth = static_cast<int>(item.word.size());
        const std::string where = "node '" + item.word + "': ";
        // The root's count has no reader; the root's position is 0.
        if (depth > 0 && node.count != refNode.count) {
            return where + "count " + std::to_string(node.count) + ", expected " +
                   std::to_string(refNode.count);
        }
        if (node.position != refNode.position) {
            return where + "position " + std::to_string(node.position) + ", expected " +
                   std::to_string(refNode.position);
        }
        const auto positions = toVector(index.positions(node));
        if (positions != refNode.positions) {
            return where + "positions " + join(positions) + ", expected " + join(refNode.positions);
        }
        if (ref.length() > 0) {
            const auto leaves = toVector(index.leafStarts(node));
            const auto expected = ref.collectOccurrences(&refNode, depth);
            if (leaves != expected) {
                return where + "leaf starts " + join(leaves) + ", expected " + join(expected);
            }
        }
        for (std::size_t i = 0; i < 4; ++i) {
            const NodeId child = node.children[i];
            const reference::Node* refChild = refNode.children[i].get();
            if ((child != kNoNode) != (refChild != nullptr)) {
                return where + "child " + reference::kLetters[i] + (refChild ? " missing" : " unexpected");
            }
            if (refChild != nullptr) {
                pending.push_back({child, refChild, item.word + reference::kLetters[i]});
            }
        }
    }
    return "";
}

std::string compareLookups(const SuffixIndex& index, const reference::ReferenceIndex& ref,
                           const std::vector<std::string>& words)
{
    const Genome& genome = index.genome();
    for (const std::string& word : words) {
        const PositionList found = index.findWord(word);
        const auto expected = ref.findWord(word);
        if (found != expected) {
            return "findWord(" + word + ") " + join(found) + ", expected " + join(expected);
        }
        for (const PositionLink start : found) {
            if (genome.word(start, static_cast<int>(word.size())) != word) {
                return "findWord(" + word + ") lists " + std::to_string(start) + ", which reads otherwise";
            }
        }
    }
    return "";
}

std::string compareRepeats(const Genome& genome, const RepeatList* list, const reference::Repeats& expected,
                           RepeatKind kind)
{
    const std::string what = "kind " + std::to_string(static_cast<int>(kind)) + ": ";
    if (list == nullptr) {
        return what + "no list";
    }
    if (list->minLength() != expected.minLength ||
        list->slotCount() != static_cast<int>(expected.bySlot.size())) {
        return what + "slots " + std::to_string(list->minLength()) + "+" + std::to_string(list->slotCount());
    }
    if (list->total() != expected.total) {
        return what + "total " + std::to_string(list->total()) + ", expected " +
               std::to_string(expected.total);
    }
    for (int slot = 0; slot < list->slotCount(); ++slot) {
        const auto& repeats = list->slot(slot);
        const auto& refRepeats = expected.bySlot[static_cast<std::size_t>(slot)];
        const std::string inSlot = what + "slot " + std::to_string(slot) + ": ";
        if (list->pairCount(slot) != expected.pairCounts[static_cast<std::size_t>(slot)]) {
            return inSlot + "pair count " + std::to_string(list->pairCount(slot));
        }
        const std::size_t common = std::min(repeats.size(), refRepeats.size());
        for (std::size_t r = 0; r < common; ++r) {
            const Repeat& repeat = repeats[r];
            const reference::Repeat& refRepeat = refRepeats[r];
            const std::string word = genome.word(refRepeat.pairs.front().first, refRepeat.length);
            const std::string at = inSlot + "repeat " + std::to_string(r) + " (" + word + "): ";
            if (repeat.length != refRepeat.length || repeat.transformed != refRepeat.transformed) {
                return at + "length or flag differ";
            }
            const auto pairs = list->pairs(repeat);
            const std::vector<RepeatPair> got(pairs.begin(), pairs.end());
            if (got != refRepeat.pairs) {
                std::string text = at + "pairs";
                for (const RepeatPair& p : got) {
                    text += " (" + std::to_string(p.first) + "," + std::to_string(p.second) + ")";
                }
                text += ", expected";
                for (const RepeatPair& p : refRepeat.pairs) {
                    text += " (" + std::to_string(p.first) + "," + std::to_string(p.second) + ")";
                }
                return text;
            }
        }
        if (repeats.size() != refRepeats.size()) {
            return inSlot + std::to_string(repeats.size()) + " repeats, expected " +
                   std::to_string(refRepeats.size());
        }
    }
    return "";
}

// What holds for every list whatever the reference says.
std::string checkRepeatRules(const Genome& genome, const RepeatList& list, RepeatKind kind)
{
    for (int slot = 0; slot < list.slotCount(); ++slot) {
        for (const Repeat& repeat : list.slot(slot)) {
            for (const RepeatPair& pair : list.pairs(repeat)) {
                if (pair.first < 0 || pair.first >= genome.length() || pair.second < 0 ||
                    pair.second >= genome.length()) {
                    return "pair outside the sequence";
                }
                if (kind != RepeatKind::Direct && pair.second < std::int64_t{pair.first} + repeat.length) {
                    return "transformed copy starts inside the first";
                }
                for (int k = 0; k < repeat.length; ++k) {
                    if (genome.isGap(pair.first + k) || genome.isGap(pair.second + k)) {
                        return "a copy covers a gap";
                    }
                }
            }
            if (kind != RepeatKind::Direct) {
                const std::string word = test::repeatWord(genome, list, repeat);
                if (word == reference::transformWord(word, kind)) {
                    return "palindrome " + word + " reported";
                }
            }
        }
    }
    return "";
}

// The snapshot searches against the stored lists: the counts alone, the
// words with their counts, every pair made on demand (whole and in pieces)
// and the law that a pair's second copy reads as the transformed word.
std::string compareSnapshots(const std::shared_ptr<const SuffixIndex>& index, RepeatKind kind,
                             const RepeatList& list)
{
    const Genome* genome = &index->genome();
    const std::string what = "snapshot of kind " + std::to_string(static_cast<int>(kind)) + ": ";
    const auto counted = searchRepeats(index, kind, SnapshotDetail::Counts);
    const auto* counts = std::get_if<std::shared_ptr<const RepeatSnapshot>>(&counted);
    if (counts == nullptr) {
        return what + "counts failed";
    }
    if ((*counts)->hasWords() || (*counts)->slotCount() != list.slotCount() ||
        (*counts)->total() != list.total()) {
        return what + "counts total " + std::to_string((*counts)->total()) + ", expected " +
               std::to_string(list.total());
    }
    const auto found = searchRepeats(index, kind, SnapshotDetail::Words);
    const auto* words = std::get_if<std::shared_ptr<const RepeatSnapshot>>(&found);
    if (words == nullptr) {
        return what + "words failed";
    }
    const RepeatSnapshot& snapshot = **words;
    for (int slot = 0; slot < list.slotCount(); ++slot) {
        const std::string inSlot = what + "slot " + std::to_string(slot) + ": ";
        if ((*counts)->pairCount(slot) != list.pairCount(slot) ||
            snapshot.pairCount(slot) != list.pairCount(slot)) {
            return inSlot + "pair count " + std::to_string(snapshot.pairCount(slot));
        }
        const auto kept = snapshot.words(slot);
        const auto& repeats = list.slot(slot);
        if (kept.size() != repeats.size()) {
            return inSlot + std::to_string(kept.size()) + " words, expected " +
                   std::to_string(repeats.size());
        }
        const int length = snapshot.minLength() + slot;
        for (std::size_t r = 0; r < kept.size(); ++r) {
            const auto expected = list.pairs(repeats[r]);
            const std::string at = inSlot + "word " + std::to_string(r) + ": ";
            if (kept[r].pairCount != repeats[r].pairCount || kept[r].first != expected.front().first) {
                return at + "first or pair count differ";
            }
            const std::int64_t n = kept[r].pairCount;
            const std::int64_t from = n / 3;
            const std::int64_t count = std::max<std::int64_t>(n - 2 * from, 1);
            const auto piece = snapshot.pairs(slot, kept[r], from, count);
            if (!std::equal(piece.begin(), piece.end(), expected.begin() + from,
                            expected.begin() + from + count)) {
                return at + "pairs from " + std::to_string(from) + " differ";
            }
            const std::string word = genome->word(kept[r].first, length);
            const std::string second = reference::transformWord(word, kind);
            for (const RepeatPair& pair : snapshot.pairs(slot, kept[r])) {
                if (genome->word(pair.first, length) != word || genome->word(pair.second, length) != second) {
                    return at + "pair (" + std::to_string(pair.first) + "," + std::to_string(pair.second) +
                           ") does not read " + word + " and " + second;
                }
            }
        }
    }
    const auto stored = materialize(snapshot);
    const auto* materialized = std::get_if<std::unique_ptr<RepeatList>>(&stored);
    if (materialized == nullptr) {
        return what + "materialize failed";
    }
    if (test::describeRepeats(*genome, **materialized) != test::describeRepeats(*genome, list)) {
        return what + "materialized pairs differ";
    }
    return "";
}

// ---------------------------------------------------------------------------
// Words to look up: every index word up to a depth with each one-letter
// extension, substrings of the circular sequence (many across the end) and
// random words.

std::vector<std::string> lookupWords(const reference::ReferenceIndex& ref, const std::string& bases,
                                     int maxLength, std::mt19937& rng)
{
    std::vector<std::string> words;
    constexpr std::size_t kNodeDepth = 7;
    struct Pending {
        const reference::Node* node;
        std::string word;
    };
    std::vector<Pending> pending{{&ref.root(), ""}};
    while (!pending.empty()) {
        Pending item = std::move(pending.back());
        pending.pop_back();
        if (!item.word.empty()) {
            words.push_back(item.word);
        }
        if (item.word.size() >= kNodeDepth) {
            continue;
        }
        for (std::size_t i = 0; i < 4; ++i) {
            const std::string longer = item.word + reference::kLetters[i];
            if (item.node->children[i]) {
                pending.push_back({item.node->children[i].get(), longer});
            } else {
                words.push_back(longer);
            }
        }
    }
    if (bases.empty()) {
        return words;
    }
    const auto n = static_cast<int>(bases.size());
    // A gap reads as A here: words that would match but for a gap.
    const auto circular = [&](int start, int count) {
        std::string word;
        for (int k = 0; k < count; ++k) {
            const char letter = bases[static_cast<std::size_t>((start + k) % n)];
            word += letterIndex(letter) < 0 ? 'A' : letter;
        }
        return word;
    };
    std::uniform_int_distribution<int> lengthOf(1, maxLength + 12);
    for (int i = 0; i < 120; ++i) {
        words.push_back(circular(std::uniform_int_distribution<int>(0, n - 1)(rng), lengthOf(rng)));
    }
    for (int i = 0; i < 60; ++i) {
        const int count = lengthOf(rng);
        const int back = std::uniform_int_distribution<int>(1, std::max(1, std::min(count, n)))(rng);
        words.push_back(circular(n - back, count));
    }
    for (int i = 0; i < 30; ++i) {
        std::string word;
        const int count = std::uniform_int_distribution<int>(1, 14)(rng);
        for (int k = 0; k < count; ++k) {
            word += reference::kLetters[rng() % 4];
        }
        words.push_back(word);
    }
    return words;
}

// ---------------------------------------------------------------------------
// Everything the engine computes, against the reference.

void expectSameAsReference(const std::string& bases, int minimum, int maximum, std::uint32_t seed,
                           int buildThreads = 0)
{
    const auto shared = test::indexSequence(bases, minimum, maximum, buildThreads);
    ASSERT_NE(shared, nullptr);
    const SuffixIndex& index = *shared;
    const Genome& genome = index.genome();
    ASSERT_EQ(genome.sequence(), bases);
    const reference::ReferenceIndex ref(bases, genome.minLength(), genome.lengthBound());
    EXPECT_EQ(index.recordDepth(), ref.recordDepth());

    for (std::size_t i = 0; i < 4; ++i) {
        const auto* child = ref.root().children[i].get();
        EXPECT_EQ(index.baseCount(reference::kLetters[i]), child ? child->count : 0)
            << "baseCount " << reference::kLetters[i];
    }
    EXPECT_EQ(compareIndex(index, ref), "");

    std::mt19937 rng(seed);
    EXPECT_EQ(compareLookups(index, ref, lookupWords(ref, bases, genome.maxLength(), rng)), "");

    const auto direct = index.findDirectRepeats();
    EXPECT_EQ(compareRepeats(genome, direct.get(), ref.findDirectRepeats(), RepeatKind::Direct), "");
    if (direct) {
        EXPECT_EQ(checkRepeatRules(genome, *direct, RepeatKind::Direct), "");
        EXPECT_EQ(compareSnapshots(shared, RepeatKind::Direct, *direct), "");
    }
    for (const RepeatKind kind : {RepeatKind::Inverted, RepeatKind::Mirror, RepeatKind::Complementary}) {
        const auto list = index.findRepeats(kind);
        EXPECT_EQ(compareRepeats(genome, list.get(), ref.findRepeats(kind), kind), "");
        if (list) {
            EXPECT_EQ(checkRepeatRules(genome, *list, kind), "");
            EXPECT_EQ(compareSnapshots(shared, kind, *list), "");
        }
    }
}

// ---------------------------------------------------------------------------
// Seeded cases.

struct Case {
    std::string label;
    std::string bases;
    int minimum = 8;
    int maximum = 30;
};

class CaseMaker {
public:
    explicit CaseMaker(int index) : rng_(0x7E55A000u + static_cast<std::uint32_t>(index)) {}

    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng_); }

    // Log-uniform in 1 .. high, so that short sequences are common.
    int length(int high)
    {
        const double x =
            std::uniform_real_distribution<double>(0.0, std::log(static_cast<double>(high)))(rng_);
        return std::max(1, std::min(high, static_cast<int>(std::exp(x))));
    }

    std::string bases(int count, const std::array<int, 4>& weights = {1, 1, 1, 1})
    {
        std::discrete_distribution<int> pick(weights.begin(), weights.end());
        std::string text;
        for (int i = 0; i < count; ++i) {
            text += reference::kLetters[static_cast<std::size_t>(pick(rng_))];
        }
        return text;
    }

    char letter() { return reference::kLetters[static_cast<std::size_t>(uniform(0, 3))]; }

    std::string tandem(int unitLength, int count, int mutationPercent)
    {
        const std::string unit = bases(unitLength);
        std::string text;
        while (static_cast<int>(text.size()) < count) {
            text += unit;
        }
        text.resize(static_cast<std::size_t>(count));
        for (char& b : text) {
            if (uniform(1, 100) <= mutationPercent) {
                b = letter();
            }
        }
        return text;
    }

    // A mixture of random stretches, runs, tandem repeats and copies.
    std::string mixed(int count)
    {
        std::string text;
        while (static_cast<int>(text.size()) < count) {
            switch (uniform(0, 4)) {
                case 0:
                    text += bases(uniform(5, 200));
                    break;
                case 1:
                    text += std::string(static_cast<std::size_t>(uniform(3, 60)), letter());
                    break;
                case 2:
                    text += tandem(uniform(1, 6), uniform(6, 150), uniform(0, 1) * 2);
                    break;
                case 3:
                    if (!text.empty()) {
                        const int from = uniform(0, static_cast<int>(text.size()) - 1);
                        text += text.substr(static_cast<std::size_t>(from),
                                            static_cast<std::size_t>(uniform(5, 120)));
                    }
                    break;
                default:
                    text += bases(uniform(5, 100), {4, 4, 1, 1});
                    break;
            }
        }
        text.resize(static_cast<std::size_t>(count));
        return text;
    }

    // The same sequence with gaps: single Ns, runs of N, other IUPAC
    // letters, now and then at the first or last position.
    std::string gapped(std::string text)
    {
        if (text.empty()) {
            return text;
        }
        static constexpr char kCodes[] = "NRYKMSWBDHV";
        const int last = static_cast<int>(text.size()) - 1;
        for (int times = uniform(1, 1 + static_cast<int>(text.size()) / 150); times > 0; --times) {
            const int at = uniform(0, 5) == 0 ? (uniform(0, 1) == 0 ? 0 : last) : uniform(0, last);
            const int run = uniform(0, 2) == 0 ? uniform(2, 40) : 1;
            for (int k = at; k < std::min(at + run, last + 1); ++k) {
                text[static_cast<std::size_t>(k)] = run > 1 ? 'N' : kCodes[uniform(0, 10)];
            }
        }
        return text;
    }

    std::pair<int, int> settings()
    {
        static constexpr std::pair<int, int> kChoices[] = {{8, 30}, {3, 4},  {3, 6},   {4, 6},   {5, 5},
                                                           {3, 12}, {6, 10}, {10, 20}, {12, 12}, {3, 3}};
        return kChoices[uniform(0, static_cast<int>(std::size(kChoices)) - 1)];
    }

    Case make(int index)
    {
        Case c;
        std::tie(c.minimum, c.maximum) = settings();
        switch (index % 12) {
            case 0:
                c.label = "uniform";
                c.bases = bases(length(3000));
                break;
            case 1:
                c.label = "AT-rich";
                c.bases = bases(length(3000), {45, 45, 5, 5});
                break;
            case 2:
                c.label = "one letter";
                c.bases = std::string(static_cast<std::size_t>(length(500)), letter());
                if (uniform(0, 2) == 0) {
                    c.maximum = 256;
                    c.minimum = uniform(3, 40);
                }
                break;
            case 3: {
                c.label = "two letters";
                const char a = letter();
                const char b = letter();
                std::string text;
                const int count = length(2000);
                for (int i = 0; i < count; ++i) {
                    text += uniform(0, 1) == 0 ? a : b;
                }
                c.bases = text;
                break;
            }
            case 4: {
                c.label = "runs";
                std::string text;
                const int count = length(2500);
                while (static_cast<int>(text.size()) < count) {
                    text += bases(uniform(1, 200));
                    text += std::string(static_cast<std::size_t>(uniform(5, 80)), letter());
                }
                c.bases = text;
                break;
            }
            case 5:
                c.label = "tandem";
                c.bases = tandem(uniform(1, 8), uniform(20, 1500), uniform(0, 1));
                break;
            case 6: {
                c.label = "copied stretch";
                const std::string stretch = bases(uniform(c.maximum + 6, c.maximum + 150));
                c.bases = bases(uniform(0, 300)) + stretch + bases(uniform(0, 500)) + stretch +
                          bases(uniform(0, 200));
                break;
            }
            case 7: {
                c.label = "end equals beginning";
                c.bases = uniform(0, 1) == 0 ? bases(length(2000)) : mixed(length(2000));
                const int k = std::min(static_cast<int>(c.bases.size()), uniform(1, 60));
                c.bases += c.bases.substr(0, static_cast<std::size_t>(k));
                break;
            }
            case 8:
                c.label = "minimum above the length";
                c.bases =
                    uniform(0, 1) == 0 ? bases(uniform(1, 40)) : tandem(uniform(1, 3), uniform(1, 40), 0);
                c.minimum = uniform(static_cast<int>(c.bases.size()) + 1, 60);
                c.maximum = c.minimum + uniform(0, 20);
                break;
            case 9:
                c.label = "maximum 256";
                c.bases = mixed(uniform(20, 700));
                c.minimum = std::array<int, 4>{3, 8, 30, 100}[static_cast<std::size_t>(uniform(0, 3))];
                c.maximum = 256;
                break;
            case 10:
                c.label = "minimum equals maximum";
                c.bases = uniform(0, 1) == 0 ? bases(length(2500)) : mixed(length(2500));
                c.minimum = uniform(3, 20);
                c.maximum = c.minimum;
                break;
            default:
                c.label = "defaults";
                c.bases = uniform(0, 1) == 0 ? bases(length(4000)) : mixed(length(4000));
                c.minimum = 8;
                c.maximum = 30;
                break;
        }
        return c;
    }

private:
    std::mt19937 rng_;
};

constexpr int kCaseCount = 400;

// The seeded sequences, a share of them per test, with gaps or without;
// each seed runs until one fails, which the failure names.
struct SeedRange {
    int first = 0;
    int end = 0;
    bool gaps = false;
};

class EngineMatchesReference : public ::testing::TestWithParam<SeedRange> {};

TEST_P(EngineMatchesReference, OnSeededSequences)
{
    const SeedRange range = GetParam();
    for (int index = range.first; index < range.end && !HasFailure(); ++index) {
        CaseMaker maker(index);
        Case c = maker.make(index);
        if (range.gaps) {
            c.bases = maker.gapped(c.bases);
        }
        std::ostringstream trace;
        trace << "seed " << index << (range.gaps ? " with gaps: " : ": ") << c.label << ", " << c.bases.size()
              << " bases, " << c.minimum << ".." << c.maximum;
        if (c.bases.size() <= 200) {
            trace << ", " << (c.bases.empty() ? "(empty)" : c.bases);
        }
        SCOPED_TRACE(trace.str());
        expectSameAsReference(c.bases, c.minimum, c.maximum, static_cast<std::uint32_t>(index));
    }
}

INSTANTIATE_TEST_SUITE_P(Seeded, EngineMatchesReference,
                         ::testing::Values(SeedRange{0, kCaseCount / 2, false},
                                           SeedRange{kCaseCount / 2, kCaseCount, false},
                                           SeedRange{0, kCaseCount / 4, true},
                                           SeedRange{kCaseCount / 4, kCaseCount / 2, true}));

// Small genomes are built on one thread; the same index must come out when
// the first-letter subtrees grow on several.
TEST(EngineMatchesReferenceOn, IndexBuiltOnSeveralThreads)
{
    for (int index = 0; index < 48; ++index) {
        const Case c = CaseMaker(index).make(index);
        SCOPED_TRACE(c.label + " " + std::to_string(index));
        expectSameAsReference(c.bases, c.minimum, c.maximum, static_cast<std::uint32_t>(index),
                              2 + index % 3);
        expectSameAsReference(CaseMaker(index).gapped(c.bases), c.minimum, c.maximum,
                              static_cast<std::uint32_t>(index), 2 + index % 3);
    }
}

TEST(EngineMatchesReferenceOn, HandPickedShapes)
{
    const std::pair<int, int> settings[] = {{3, 4}, {4, 6}, {8, 30}, {5, 5}};
    const char* const shapes[] = {
        "A",
        "AC",
        "ACGTACGT",
        "AAAAAAAA",
        "GATTACAGGGGACATTAG",
        "ACCGAAACCGTTTTACGGTTT",
        "ACCGTAAAAACGGTAAAA",
        "CCACACCA",
        "ATATATATATATATATATATATATATATATATATATATAT",
        "ACGTTGCAACGTTGCAACGTTGCAACGTTGCA",
        "TTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTTC",
        // Gaps: all of them, one base between, at either end, words
        // across the origin beside one, a leaf whose occurrence ends at one.
        "N",
        "NNNNNN",
        "ANA",
        "NANANANAN",
        "NACGTACGTACGN",
        "ACGTTACGTNNACGTTACGT",
        "GTACNNNNRYACGTACGTAC",
        "CGTACCAGNNACGTACCAGTTTACGTACCAG",
        "ACCGTANNNACCGTTTNACGGTANNACGGT",
        "AAAANAAAANAAAAAAAANAAAA",
        "GATTACANGATTACAKGATTACAG",
    };
    for (const char* shape : shapes) {
        for (const auto& [minimum, maximum] : settings) {
            SCOPED_TRACE(std::string(shape) + " " + std::to_string(minimum) + ".." + std::to_string(maximum));
            expectSameAsReference(shape, minimum, maximum, 1u);
        }
    }
}

// A genome large enough for the paths the engine takes only for large
// genomes: the index grown on two threads, the snapshot walks shared between
// two threads, and the filter that rules out inverted and mirror lookups.
TEST(EngineMatchesReferenceOn, GenomeLargeEnoughForTheLargeGenomePaths)
{
    CaseMaker maker(9001);
    const std::string bases = maker.bases(70'000) + maker.mixed(62'000);
    expectSameAsReference(bases, 12, 14, 9001u);
    expectSameAsReference(maker.gapped(bases), 12, 14, 9002u);
}

// ---------------------------------------------------------------------------
// The human mitochondrial genome: the bases of the GenBank record, read a
// sequence line at a time as the GenBank reader passes them.

std::vector<std::string> originLines(const char* path)
{
    std::ifstream file(path);
    std::vector<std::string> lines;
    std::string line;
    bool inOrigin = false;
    while (std::getline(file, line)) {
        if (line.rfind("ORIGIN", 0) == 0) {
            inOrigin = true;
        } else if (line.rfind("//", 0) == 0) {
            inOrigin = false;
        } else if (inOrigin) {
            lines.push_back(line);
        }
    }
    return lines;
}

class MitochondrialGenome : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(MitochondrialGenome, EngineMatchesReference)
{
    const auto lines = originLines(TESSARON_MITO_GENBANK);
    ASSERT_FALSE(lines.empty()) << "cannot read " << TESSARON_MITO_GENBANK;
    std::size_t capacity = 0;
    for (const std::string& line : lines) {
        capacity += line.size();
    }
    Genome genome;
    ASSERT_TRUE(genome.allocate(static_cast<std::int64_t>(capacity), 5, 15));
    for (const std::string& line : lines) {
        genome.appendText(line.c_str());
    }
    // 16,569 positions, one of them an N (at 3107, 1-based), kept as a gap.
    ASSERT_EQ(genome.length(), 16569);
    ASSERT_EQ(genome.gapCount(), 1);
    ASSERT_TRUE(genome.isGap(3106));
    ASSERT_EQ(genome.sequence().substr(0, 10), "GATCACAGGT");
    const auto [minimum, maximum] = GetParam();
    expectSameAsReference(std::string(genome.sequence()), minimum, maximum, 16568u);
}

INSTANTIATE_TEST_SUITE_P(Settings, MitochondrialGenome,
                         ::testing::Values(std::pair<int, int>{8, 30}, std::pair<int, int>{4, 12}));

}  // namespace
}  // namespace tessaron
