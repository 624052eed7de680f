#include "engine/completesearch.h"
#include "referenceindex.h"

#include "engine/genome.h"
#include "engine/repeatsnapshot.h"
#include "input/genbankreader.h"
#include "testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <span>
#include <stop_token>
#include <string>
#include <tuple>
#include <vector>

namespace tessaron {
namespace {

char complementOf(char base)
{
    switch (base) {
        case 'A':
            return 'T';
        case 'T':
            return 'A';
        case 'C':
            return 'G';
        default:
            return 'C';
    }
}

bool isBase(char letter)
{
    return letter == 'A' || letter == 'C' || letter == 'G' || letter == 'T';
}

// The second copy of `word` for a kind.
std::string transformed(const std::string& word, RepeatKind kind)
{
    std::string out = word;
    if (kind == RepeatKind::Inverted || kind == RepeatKind::Mirror) {
        std::reverse(out.begin(), out.end());
    }
    if (kind == RepeatKind::Inverted || kind == RepeatKind::Complementary) {
        std::transform(out.begin(), out.end(), out.begin(), complementOf);
    }
    return out;
}

std::string circularWord(const std::string& s, int start, int length)
{
    std::string word;
    for (int k = 0; k < length; ++k) {
        word += s[static_cast<std::size_t>((start + k) % static_cast<int>(s.size()))];
    }
    return word;
}

// One reported pair, comparable in result order (A < T < C < G in the key).
struct Found {
    int length = 0;
    std::string key;
    int first = 0;
    int second = 0;
    friend bool operator==(const Found&, const Found&) = default;
    friend auto operator<=>(const Found& a, const Found& b)
    {
        return std::tie(a.length, a.key, a.first, a.second) <=> std::tie(b.length, b.key, b.first, b.second);
    }
};

std::string orderKey(std::string word)
{
    for (char& c : word) {
        c = c == 'A' ? 'a' : c == 'T' ? 'b' : c == 'C' ? 'c' : 'd';
    }
    return word;
}

// The definition read literally: for every shift (direct, complementary) or
// every sum p + q + L - 1 (inverted, mirror) the runs of positions whose
// letters pair up, taken round the circle; a pairing that holds everywhere
// gives nothing.
std::vector<Found> bruteForce(const std::string& s, RepeatKind kind, int minLength)
{
    const int n = static_cast<int>(s.size());
    std::vector<Found> found;
    const auto mod = [n](int x) { return ((x % n) + n) % n; };
    for (int g = 0; g < n; ++g) {
        std::vector<bool> ok(static_cast<std::size_t>(n));
        int zero = -1;
        for (int i = 0; i < n; ++i) {
            const char a = s[static_cast<std::size_t>(i)];
            const bool along = kind == RepeatKind::Direct || kind == RepeatKind::Complementary;
            const char b = s[static_cast<std::size_t>(along ? mod(i + g) : mod(g - i))];
            // A gap matches nothing, not even a gap.
            bool match = isBase(a) && isBase(b);
            switch (kind) {
                case RepeatKind::Direct:
                    match = match && g != 0 && b == a;
                    break;
                case RepeatKind::Complementary:
                case RepeatKind::Inverted:
                    match = match && b == complementOf(a);
                    break;
                case RepeatKind::Mirror:
                    match = match && b == a;
                    break;
            }
            ok[static_cast<std::size_t>(i)] = match;
            if (!match) {
                zero = i;
            }
        }
        if (zero < 0) {
            continue;
        }
        int run = 0;
        int start = 0;
        for (int k = 1; k <= n; ++k) {
            const int i = mod(zero + k);
            if (ok[static_cast<std::size_t>(i)]) {
                start = run == 0 ? i : start;
                ++run;
                continue;
            }
            if (run >= minLength) {
                const bool along = kind == RepeatKind::Direct || kind == RepeatKind::Complementary;
                const int q = along ? mod(start + g) : mod(g - (start + run - 1));
                if (start < q) {
                    found.push_back(Found{run, orderKey(circularWord(s, start, run)), start, q});
                }
            }
            run = 0;
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::shared_ptr<Genome> makeGenome(const std::string& bases, int minimum, int maximum = 30)
{
    auto genome = std::make_shared<Genome>();
    EXPECT_TRUE(genome->allocate(static_cast<std::int64_t>(bases.size()), minimum, maximum));
    genome->appendText(bases.c_str());
    genome->setLengthBounds(minimum, maximum);
    return genome;
}

std::shared_ptr<const RepeatSnapshot> run(const std::shared_ptr<Genome>& genome, RepeatKind kind,
                                          SnapshotDetail detail)
{
    auto result = completeSearch(genome, kind, detail);
    EXPECT_TRUE(std::holds_alternative<std::shared_ptr<const RepeatSnapshot>>(result));
    return std::get<std::shared_ptr<const RepeatSnapshot>>(result);
}

// Every pair of the snapshot, in its order, through the stored list.
std::vector<Found> flatten(const RepeatSnapshot& snapshot, const std::string& s)
{
    auto list = std::get<std::unique_ptr<RepeatList>>(materialize(snapshot));
    std::vector<Found> found;
    for (int slot = 0; slot < list->slotCount(); ++slot) {
        for (const Repeat& repeat : list->slot(slot)) {
            EXPECT_EQ(repeat.length, snapshot.minLength() + slot);
            const std::string key =
                orderKey(circularWord(s, list->pairs(repeat).front().first, repeat.length));
            for (const RepeatPair& pair : list->pairs(repeat)) {
                found.push_back(Found{repeat.length, key, pair.first, pair.second});
            }
        }
    }
    return found;
}

std::vector<std::int64_t> countsOf(const std::vector<Found>& found, int minLength, int slots)
{
    std::vector<std::int64_t> counts(static_cast<std::size_t>(slots), 0);
    for (const Found& f : found) {
        ++counts[static_cast<std::size_t>(f.length - minLength)];
    }
    return counts;
}

std::shared_ptr<const CompleteIndex> indexFor(const std::shared_ptr<Genome>& genome,
                                              std::span<const RepeatKind> kinds)
{
    auto result = buildCompleteIndex(genome, kinds);
    EXPECT_TRUE(std::holds_alternative<std::shared_ptr<const CompleteIndex>>(result));
    return std::get<std::shared_ptr<const CompleteIndex>>(result);
}

// Checks both details of every kind against the literal definition, searched
// alone and over one index shared by the four kinds.
void expectMatchesDefinition(const std::string& s, int minLength)
{
    const auto genome = makeGenome(s, minLength);
    const auto shared = indexFor(genome, test::kAllKinds);
    for (const RepeatKind kind : test::kAllKinds) {
        SCOPED_TRACE("kind " + std::to_string(static_cast<int>(kind)));
        const std::vector<Found> expected = bruteForce(s, kind, minLength);
        const int longest = expected.empty() ? 0 : expected.back().length;
        const int slots = std::max(genome->lengthBound() - minLength, longest - minLength + 1);
        const auto expectedCounts = countsOf(expected, minLength, slots);
        for (const bool alone : {true, false}) {
            SCOPED_TRACE(alone ? "alone" : "shared index");
            const auto search = [&](SnapshotDetail detail) {
                auto result =
                    alone ? completeSearch(genome, kind, detail) : completeSearch(*shared, kind, detail);
                EXPECT_TRUE(std::holds_alternative<std::shared_ptr<const RepeatSnapshot>>(result));
                return std::get<std::shared_ptr<const RepeatSnapshot>>(result);
            };
            const auto words = search(SnapshotDetail::Words);
            const auto counts = search(SnapshotDetail::Counts);
            ASSERT_TRUE(words && counts);
            ASSERT_EQ(words->slotCount(), slots);
            EXPECT_EQ(flatten(*words, s), expected);
            EXPECT_EQ(words->pairCounts(), expectedCounts);
            EXPECT_EQ(counts->pairCounts(), expectedCounts);
            EXPECT_FALSE(counts->hasWords());
        }
    }
}

using Generator = std::function<std::string(std::mt19937&, int)>;

std::string drawn(std::mt19937& rng, int length, const std::string& alphabet)
{
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::string s;
    for (int i = 0; i < length; ++i) {
        s += alphabet[pick(rng)];
    }
    return s;
}

// Puts a copy of `word` at `start`, written round the circle.
void plant(std::string& s, const std::string& word, int start)
{
    for (std::size_t k = 0; k < word.size(); ++k) {
        s[(static_cast<std::size_t>(start) + k) % s.size()] = word[k];
    }
}

// Short units repeated, with a few letters changed.
std::string tandem(std::mt19937& rng, int length)
{
    std::string s;
    while (static_cast<int>(s.size()) < length) {
        const std::string unit = drawn(rng, 1 + static_cast<int>(rng() % 6), "ACGT");
        for (int times = 2 + static_cast<int>(rng() % 8); times > 0; --times) {
            s += unit;
        }
    }
    s.resize(static_cast<std::size_t>(length));
    for (int changes = length / 60; changes > 0; --changes) {
        s[rng() % s.size()] = "ACGT"[rng() % 4];
    }
    return s;
}

// Stretches followed by their reverse complement or their reverse.
std::string palindromic(std::mt19937& rng, int length)
{
    std::string s;
    while (static_cast<int>(s.size()) < length) {
        const std::string arm = drawn(rng, 2 + static_cast<int>(rng() % 12), "ACGT");
        std::string back = arm;
        std::reverse(back.begin(), back.end());
        s += arm + (rng() % 2 == 0 ? reference::transformWord(arm, RepeatKind::Inverted) : back) +
             drawn(rng, static_cast<int>(rng() % 3), "ACGT");
    }
    s.resize(static_cast<std::size_t>(length));
    return s;
}

std::string homopolymers(std::mt19937& rng, int length)
{
    std::string s;
    while (static_cast<int>(s.size()) < length) {
        s.append(1 + rng() % 20, "ACGT"[rng() % 4]);
    }
    s.resize(static_cast<std::size_t>(length));
    return s;
}

// A random background with a long copy of each kind planted, one of them
// running over the origin.
std::string planted(std::mt19937& rng, int length)
{
    std::string s = drawn(rng, length, "ACGT");
    if (length < 16) {
        return s;
    }
    const int size = std::max(4, length / 10);
    for (const RepeatKind kind : test::kAllKinds) {
        const int from = static_cast<int>(rng() % static_cast<unsigned>(length));
        const int to = kind == RepeatKind::Mirror ? length - size / 2
                                                  : static_cast<int>(rng() % static_cast<unsigned>(length));
        plant(s, transformed(circularWord(s, from, size), kind), to);
    }
    return s;
}

// Gaps put in: single IUPAC letters and runs of N, some at either end.
std::string withGaps(std::mt19937& rng, std::string s)
{
    if (s.empty()) {
        return s;
    }
    const auto n = static_cast<int>(s.size());
    for (int times = 1 + n / 80; times > 0; --times) {
        const int at = rng() % 5 == 0 ? (rng() % 2 == 0 ? 0 : n - 1) : static_cast<int>(rng() % s.size());
        const int run = rng() % 3 == 0 ? 2 + static_cast<int>(rng() % 12) : 1;
        for (int k = at; k < std::min(at + run, n); ++k) {
            s[static_cast<std::size_t>(k)] = run > 1 ? 'N' : "NRYKMSWBDHV"[rng() % 11];
        }
    }
    return s;
}

struct Family {
    const char* name;
    Generator make;
    std::vector<int> lengths;
    std::vector<int> minLengths;
    int seeds;
};

// Every family's sequences, at each length, minimum and seed, against the
// brute-force reading of the definition.
int checkFamilies(const std::vector<Family>& families)
{
    int cases = 0;
    for (const Family& family : families) {
        for (const int length : family.lengths) {
            for (const int minLength : family.minLengths) {
                for (int seed = 0; seed < family.seeds; ++seed) {
                    std::mt19937 rng(static_cast<std::uint32_t>(seed * 7919 + length * 31 + minLength));
                    const std::string s = family.make(rng, length);
                    SCOPED_TRACE(std::string(family.name) + " length " + std::to_string(length) +
                                 " minimum " + std::to_string(minLength) + " seed " + std::to_string(seed) +
                                 ": " + s.substr(0, 80));
                    expectMatchesDefinition(s, minLength);
                    ++cases;
                }
            }
        }
    }
    return cases;
}

TEST(CompleteSearch, MatchesTheDefinitionPairForPair)
{
    const std::vector<Family> families{
        {"uniform",
         [](std::mt19937& rng, int n) { return drawn(rng, n, "ACGT"); },
         {0, 1, 2, 3, 5, 9, 17, 40, 120, 400},
         {3, 4, 6},
         6},
        {"AT-rich",
         [](std::mt19937& rng, int n) { return drawn(rng, n, "AAAATTTTCG"); },
         {10, 60, 250, 700},
         {3, 5, 8},
         5},
        {"tandem", tandem, {12, 50, 200, 600}, {3, 4, 7}, 5},
        {"palindromes", palindromic, {20, 80, 300}, {3, 4, 6}, 5},
        {"homopolymers", homopolymers, {8, 64, 300}, {3, 5}, 5},
        {"planted", planted, {30, 200, 900}, {5, 8}, 5},
    };
    EXPECT_GT(checkFamilies(families), 250);
}

TEST(CompleteSearch, MatchesTheDefinitionOnLongSequences)
{
    const std::vector<Family> families{
        {"long", [](std::mt19937& rng, int n) { return planted(rng, n); }, {2500}, {8}, 2},
        {"long tandem", tandem, {2000}, {6}, 1},
    };
    EXPECT_EQ(checkFamilies(families), 3);
}

TEST(CompleteSearch, MatchesTheDefinitionWithGaps)
{
    const std::vector<Family> families{
        {"uniform with gaps",
         [](std::mt19937& rng, int n) { return withGaps(rng, drawn(rng, n, "ACGT")); },
         {1, 3, 9, 40, 400},
         {3, 5},
         5},
        {"planted with gaps",
         [](std::mt19937& rng, int n) { return withGaps(rng, planted(rng, n)); },
         {30, 200, 900},
         {3, 6},
         5},
        {"palindromes with gaps",
         [](std::mt19937& rng, int n) { return withGaps(rng, palindromic(rng, n)); },
         {20, 300},
         {3, 4},
         5},
        {"tandem with gaps",
         [](std::mt19937& rng, int n) { return withGaps(rng, tandem(rng, n)); },
         {50, 600},
         {3, 7},
         4},
    };
    EXPECT_GT(checkFamilies(families), 80);
}

TEST(CompleteSearch, SequencesThatMatchThemselvesAllRoundGiveOnlyTheBrokenPairings)
{
    // A period repeated exactly: every shift by a multiple of the period
    // holds all the way round and is dropped; the palindromes of ATAT... are
    // no pairs either.
    for (const std::string s :
         {"AAAAAAAAAAAA", "ATATATATATATAT", "ACGTACGTACGTACGT", "ACCACCACCACCACC", "GATTACAGATTACAGATTACA"}) {
        SCOPED_TRACE(s);
        expectMatchesDefinition(s, 3);
    }
    const auto genome = makeGenome("AAAAAAAAAAAAAAAAAAAA", 3);
    for (const RepeatKind kind : test::kAllKinds) {
        EXPECT_EQ(run(genome, kind, SnapshotDetail::Words)->total(), 0);
    }
}

TEST(CompleteSearch, GapsMatchNothing)
{
    // Runs of gaps do not pair with each other, a base between gaps is no
    // word, and copies next to gaps (across the origin too) end there.
    for (const std::string s : {"NNNNNNNN", "NANANANANA", "ACGTNACGTNACGT", "NNACGTTACGNNNNACGTTACGNN",
                                "GTACNNNNRYACGTAC", "AACCGGTTNAACCGGTTNAACCGGTT"}) {
        SCOPED_TRACE(s);
        expectMatchesDefinition(s, 3);
    }
    const auto genome = makeGenome("NNNNNNNNNNNNNNNNNNNN", 3);
    for (const RepeatKind kind : test::kAllKinds) {
        EXPECT_EQ(run(genome, kind, SnapshotDetail::Words)->total(), 0);
    }
}

TEST(CompleteSearch, FindsTheLongCopiesTheMaximumLengthDoesNotCut)
{
    std::mt19937 rng(5);
    std::string s = drawn(rng, 3000, "ACGT");
    const std::string copy = circularWord(s, 2900, 400);  // runs over the origin
    plant(s, reference::transformWord(copy, RepeatKind::Inverted), 1000);
    const auto genome = makeGenome(s, 8, 30);
    const auto snapshot = run(genome, RepeatKind::Inverted, SnapshotDetail::Words);
    const int slot = snapshot->slotCount() - 1;
    ASSERT_GE(slot + 8, 400);
    ASSERT_EQ(snapshot->words(slot).size(), 1u);
    const RepeatWord& word = snapshot->words(slot).front();
    ASSERT_EQ(word.pairCount, 1);
    const RepeatPair pair = snapshot->pairs(slot, word).front();
    // The planted copies, grown by any letters that happen to pair beside them.
    const int length = slot + 8;
    EXPECT_LE(pair.first, 1000);
    EXPECT_GE(pair.first + length, 1400);
    EXPECT_EQ((pair.second + length) % 3000, (2900 + 400 + 1000 - pair.first) % 3000);
    EXPECT_EQ(genome->word(pair.second, length),
              reference::transformWord(genome->word(pair.first, length), RepeatKind::Inverted));
}

TEST(CompleteSearch, AnIndexForSomeKindsServesThemAndAnyOtherKindAlike)
{
    std::mt19937 rng(3);
    const std::string s = palindromic(rng, 400) + tandem(rng, 200);
    const auto genome = makeGenome(s, 4);
    const std::vector<std::vector<RepeatKind>> sets{{RepeatKind::Direct},
                                                    {RepeatKind::Inverted},
                                                    {RepeatKind::Direct, RepeatKind::Inverted},
                                                    {RepeatKind::Mirror, RepeatKind::Inverted},
                                                    {RepeatKind::Complementary, RepeatKind::Inverted}};
    for (const auto& kinds : sets) {
        const auto index = indexFor(genome, kinds);
        for (const RepeatKind kind : test::kAllKinds) {
            SCOPED_TRACE(std::to_string(kinds.size()) + " kinds, kind " +
                         std::to_string(static_cast<int>(kind)));
            if (std::find(kinds.begin(), kinds.end(), kind) != kinds.end()) {
                EXPECT_TRUE(index->serves(kind));
            }
            const auto result = completeSearch(*index, kind);
            ASSERT_TRUE(std::holds_alternative<std::shared_ptr<const RepeatSnapshot>>(result));
            EXPECT_EQ(flatten(*std::get<std::shared_ptr<const RepeatSnapshot>>(result), s),
                      bruteForce(s, kind, 4));
        }
    }
}

TEST(CompleteSearch, FailsCleanly)
{
    std::mt19937 rng(11);
    const auto genome = makeGenome(drawn(rng, 2000, "ACGT"), 4);
    genome->setPairLimit(10);
    EXPECT_EQ(std::get<SearchFailure>(completeSearch(genome, RepeatKind::Direct)), SearchFailure::PairLimit);
    // Counting stores no pair, so the limit does not apply.
    EXPECT_TRUE(std::holds_alternative<std::shared_ptr<const RepeatSnapshot>>(
        completeSearch(genome, RepeatKind::Direct, SnapshotDetail::Counts)));

    std::stop_source stop;
    SearchControl control{stop.get_token(), {}};
    stop.request_stop();
    for (const RepeatKind kind : test::kAllKinds) {
        EXPECT_EQ(std::get<SearchFailure>(completeSearch(genome, kind, SnapshotDetail::Words, control)),
                  SearchFailure::Cancelled);
    }
    EXPECT_EQ(std::get<SearchFailure>(buildCompleteIndex(genome, test::kAllKinds, control)),
              SearchFailure::Cancelled);

    // A stop asked for while the search runs, from its first progress report,
    // which lies strictly between 0 and 1; no report follows.
    genome->setPairLimit(Genome::kDefaultPairLimit);
    const auto index = indexFor(genome, test::kAllKinds);
    for (const RepeatKind kind : test::kAllKinds) {
        for (const bool overIndex : {false, true}) {
            std::stop_source midway;
            std::vector<double> reports;
            const SearchControl stopping{midway.get_token(), [&](double fraction) {
                                             reports.push_back(fraction);
                                             midway.request_stop();
                                         }};
            const auto result = overIndex ? completeSearch(*index, kind, SnapshotDetail::Words, stopping)
                                          : completeSearch(genome, kind, SnapshotDetail::Words, stopping);
            EXPECT_EQ(std::get<SearchFailure>(result), SearchFailure::Cancelled);
            ASSERT_EQ(reports.size(), 1u);
            EXPECT_GT(reports.front(), 0.0);
            EXPECT_LT(reports.front(), 1.0);
        }
    }
}

TEST(CompleteSearch, ReportsTheChloroplastInvertedRepeatAsOnePair)
{
    const std::filesystem::path path = std::filesystem::path(TESSARON_TEST_DATA) / "NC_000932.gb";
    auto genome = std::make_shared<Genome>();
    ASSERT_TRUE(readGenBank(path, *genome, 8, 30).has_value());
    ASSERT_EQ(genome->length(), 154478);
    const auto snapshot = run(genome, RepeatKind::Inverted, SnapshotDetail::Words);
    const int slot = snapshot->slotCount() - 1;
    EXPECT_EQ(snapshot->minLength() + slot, 26264);
    ASSERT_EQ(snapshot->words(slot).size(), 1u);
    EXPECT_EQ(snapshot->pairCount(slot), 1);
    const RepeatPair pair = snapshot->pairs(slot, snapshot->words(slot).front()).front();
    // IRb then IRa, 1-based 84171..110434 and 128215..154478.
    EXPECT_EQ(pair, (RepeatPair{84170, 128214}));
}

}  // namespace
}  // namespace tessaron
