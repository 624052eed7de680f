#include "engine/imperfectmicrosatellites.h"
#include "engine/microsatellites.h"
#include "engine/tandemrepeats.h"
#include "input/genbankreader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <random>
#include <set>
#include <stop_token>
#include <string>
#include <tuple>
#include <vector>

namespace tessaron {
namespace {

Genome genomeOf(const std::string& bases)
{
    Genome genome;
    EXPECT_TRUE(genome.allocate(static_cast<std::int64_t>(bases.size()), 3, 4));
    genome.appendText(bases.c_str());
    return genome;
}

std::string randomBases(std::mt19937& random, std::size_t count)
{
    std::string out(count, 'A');
    for (char& letter : out) {
        letter = "ACGT"[random() % 4];
    }
    return out;
}

std::string reverseComplement(std::string_view bases)
{
    std::string out(bases.rbegin(), bases.rend());
    for (char& letter : out) {
        letter = complement(letter);
    }
    return out;
}

TandemRepeatList tandem(const std::string& bases, const TandemSettings& settings = {})
{
    const Genome genome = genomeOf(bases);
    TandemRepeatResult result = findTandemRepeats(genome, settings);
    EXPECT_TRUE(std::holds_alternative<TandemRepeatList>(result));
    return std::holds_alternative<TandemRepeatList>(result) ? std::get<TandemRepeatList>(std::move(result))
                                                            : TandemRepeatList{};
}

// Copies of `unit` for `copies` (a fraction allowed), each letter changed
// with probability `substitution`, dropped or followed by an extra letter
// with probability `indel` / 2 each.
std::string plantedArray(std::mt19937& random, const std::string& unit, double copies, double substitution,
                         double indel)
{
    std::uniform_real_distribution<double> roll(0.0, 1.0);
    const auto letters = static_cast<std::size_t>(std::lround(copies * static_cast<double>(unit.size())));
    std::string out;
    for (std::size_t i = 0; i < letters; ++i) {
        const char base = unit[i % unit.size()];
        // The first and the last unit are left whole, so that the ends are known.
        const double r = i + unit.size() < letters ? roll(random) : 1.0;
        if (i > unit.size() && r < substitution) {
            out += "ACGT"[(std::string_view("ACGT").find(base) + 1 + random() % 3) % 4];
        } else if (i > unit.size() && r < substitution + indel / 2) {
            // dropped
        } else if (i > unit.size() && r < substitution + indel) {
            out += base;
            out += "ACGT"[random() % 4];
        } else {
            out += base;
        }
    }
    return out;
}

// Appends an array to `s` with five letters on either side unlike the
// pattern's continuation there, so that it ends where it was planted.
void appendGuarded(std::mt19937& random, std::string& s, const std::string& array, const std::string& unit,
                   std::size_t flank)
{
    const std::size_t p = unit.size();
    const auto unlike = [&](char letter) {
        char other = letter;
        while (other == letter) {
            other = "ACGT"[random() % 4];
        }
        return other;
    };
    for (std::size_t j = 1; j <= 5 && j <= s.size(); ++j) {
        const char expected = unit[(p - j % p) % p];
        if (s[s.size() - j] == expected) {
            s[s.size() - j] = unlike(expected);
        }
    }
    const std::size_t end = s.size() + array.size();
    s += array;
    s += randomBases(random, flank);
    // The pattern goes on from the last whole unit's phase.
    const std::size_t letters = array.size();
    for (std::size_t j = 0; j < 5 && end + j < s.size(); ++j) {
        const char expected = unit[(letters + j) % p];
        if (s[end + j] == expected) {
            s[end + j] = unlike(expected);
        }
    }
}

// What the laws compare: start, length, period and class.
using Shape = std::tuple<std::int64_t, std::int64_t, int, std::string>;

std::set<Shape> shapes(const TandemRepeatList& list)
{
    std::set<Shape> out;
    for (const TandemRepeat& r : list) {
        out.emplace(r.start, r.length, r.period, r.motifClass);
    }
    return out;
}

// The least rotation, tried every way.
std::string smallestRotation(const std::string& word)
{
    std::string best = word;
    for (std::size_t shift = 1; shift < word.size(); ++shift) {
        best = std::min(best, word.substr(shift) + word.substr(0, shift));
    }
    return best;
}

TEST(TandemClass, MatchesTheMicrosatelliteClassAndEveryRotation)
{
    // Every word of 1 to 6 letters: as the microsatellites show it.
    for (int length = 1; length <= 6; ++length) {
        std::string word(static_cast<std::size_t>(length), 'A');
        for (int code = 0; code < (1 << (2 * length)); ++code) {
            for (int i = 0; i < length; ++i) {
                word[static_cast<std::size_t>(i)] = "ACGT"[(code >> (2 * i)) & 3];
            }
            ASSERT_EQ(tandemClass(word), motifClass(word)) << word;
        }
    }
    // Long words with repeats inside, against every rotation.
    std::mt19937 random(7);
    for (int trial = 0; trial < 200; ++trial) {
        const std::string piece = randomBases(random, 1 + random() % 5);
        std::string word;
        while (word.size() < 40) {
            word += random() % 3 == 0 ? randomBases(random, 1) : piece;
        }
        const std::string expected =
            std::min(smallestRotation(word), smallestRotation(reverseComplement(word)));
        const std::string shown = tandemClass(word);
        EXPECT_EQ(shown.substr(0, shown.find('/')), expected) << word;
    }
}

TEST(TandemSettings, ValidateNamesTheBoundBroken)
{
    struct Case {
        TandemSettings settings;
        std::string fragment;  // empty: valid
    };
    TandemSettings widest;
    widest.maximumPeriod = TandemSettings::kMaxPeriodBound;
    const auto with = [](auto change) {
        TandemSettings settings;
        change(settings);
        return settings;
    };
    const Case cases[] = {
        {{}, ""},
        {widest, ""},
        {with([](TandemSettings& s) { s.maximumPeriod = 10001; }), "largest period"},
        {with([](TandemSettings& s) { s.maximumPeriod = 0; }), "largest period"},
        {with([](TandemSettings& s) { s.minimumPeriod = 3000; }), "smallest period"},
        {with([](TandemSettings& s) { s.mismatch = 0; }), "weights"},
        {with([](TandemSettings& s) { s.indel = 101; }), "weights"},
        {with([](TandemSettings& s) { s.minimumScore = 0; }), "minimum score"},
        {with([](TandemSettings& s) { s.minimumCopies = 0.5; }), "copy number"},
    };
    for (const Case& c : cases) {
        const auto problem = c.settings.validate();
        if (c.fragment.empty()) {
            EXPECT_FALSE(problem.has_value()) << *problem;
        } else {
            ASSERT_TRUE(problem.has_value()) << c.fragment;
            EXPECT_NE(problem->find(c.fragment), std::string::npos) << *problem;
        }
    }
}

// The perfect arrays read from the definition: for every period and every
// start, the longest stretch with S[i] = S[i+p] (a maximal run), kept when its
// unit is primitive, it holds at least the minimum copies and its score, two
// per letter, reaches the minimum; of runs over the same stretch with
// related periods, the one of best score (then shorter period).
std::set<std::tuple<std::int64_t, std::int64_t, int>> perfectArrays(const std::string& s, int maximumPeriod)
{
    const auto n = static_cast<std::int64_t>(s.size());
    struct Run {
        std::int64_t start;
        std::int64_t length;
        int period;
    };
    std::vector<Run> runs;
    for (int p = 1; p <= maximumPeriod; ++p) {
        for (std::int64_t start = 0; start < n; ++start) {
            const auto same = [&](std::int64_t i) {
                return s[static_cast<std::size_t>(i % n)] == s[static_cast<std::size_t>((i + p) % n)];
            };
            if (same(start + n - 1)) {
                continue;  // not where a run starts
            }
            std::int64_t length = p;
            while (length < n && same(start + length - p)) {
                ++length;
            }
            std::string unit;
            for (int i = 0; i < p; ++i) {
                unit += s[static_cast<std::size_t>((start + i) % n)];
            }
            bool primitive = true;
            for (int q = 1; q < p; ++q) {
                primitive = primitive && !(p % q == 0 && unit.substr(static_cast<std::size_t>(q)) ==
                                                             unit.substr(0, static_cast<std::size_t>(p - q)));
            }
            if (primitive && 10 * length >= 18 * p && 2 * length >= 50) {
                runs.push_back({start, length, p});
            }
        }
    }
    std::set<std::tuple<std::int64_t, std::int64_t, int>> out;
    for (const Run& run : runs) {
        const bool beaten = std::any_of(runs.begin(), runs.end(), [&](const Run& other) {
            return other.period != run.period &&
                   (other.period % run.period == 0 || run.period % other.period == 0) &&
                   (other.length > run.length || (other.length == run.length && other.period < run.period)) &&
                   other.start <= run.start && other.start + other.length >= run.start + run.length;
        });
        if (!beaten) {
            out.emplace(run.start, run.length, run.period);
        }
    }
    return out;
}

TEST(TandemRepeats, PerfectArraysMatchTheDefinition)
{
    for (const std::uint32_t seed : {1U, 2U, 3U}) {
        std::mt19937 random(seed);
        // Perfect arrays of several periods between random stretches, each
        // flank letter unlike the array's next letter so that it ends there.
        std::string s = randomBases(random, 300);
        for (int k = 0; k < 6; ++k) {
            const int period = 1 + static_cast<int>(random() % 40);
            const std::string unit = randomBases(random, static_cast<std::size_t>(period));
            const std::size_t letters = std::max<std::size_t>(30, 2 * unit.size()) + random() % 60;
            std::string array;
            while (array.size() < letters) {
                array += unit;
            }
            array.resize(letters);
            appendGuarded(random, s, array, unit, 200 + random() % 200);
        }
        const auto expected = perfectArrays(s, 45);
        TandemSettings settings;
        settings.maximumPeriod = 45;
        std::set<std::tuple<std::int64_t, std::int64_t, int>> found;
        std::string seen;
        for (const TandemRepeat& r : tandem(s, settings)) {
            found.emplace(r.start, r.length, r.period);
            seen += " " + std::to_string(r.start) + "+" + std::to_string(r.length) + "/" +
                    std::to_string(r.period);
        }
        // Every perfect array of the definition is found whole; the search
        // may see more (approximate arrays, chance letters matching the ends).
        for (const auto& array : expected) {
            const auto [start, length, period] = array;
            EXPECT_TRUE(found.count(array) == 1) << "seed " << seed << ": " << start << " +" << length
                                                 << " period " << period << "; found" << seen;
        }
    }
}

std::string randomUnit(std::size_t length)
{
    std::mt19937 random(static_cast<std::uint32_t>(length));
    return randomBases(random, length);
}

struct Planted {
    std::string unit;
    double copies;
    double substitution;
    double indel;
};

class PlantedArray : public ::testing::TestWithParam<Planted> {};

TEST_P(PlantedArray, ComesBackWithItsPeriodCopiesAndConsensus)
{
    const Planted& planted = GetParam();
    std::mt19937 random(static_cast<std::uint32_t>(planted.unit.size()));
    std::string s = randomBases(random, 3000);
    const std::string array =
        plantedArray(random, planted.unit, planted.copies, planted.substitution, planted.indel);
    appendGuarded(random, s, array, planted.unit, 3000);
    const TandemRepeatList found = tandem(s);
    const auto it = std::find_if(found.begin(), found.end(), [&](const TandemRepeat& r) {
        return r.start < 3000 + static_cast<std::int64_t>(array.size()) && r.end() > 3000;
    });
    ASSERT_NE(it, found.end()) << planted.unit;
    EXPECT_EQ(it->period, static_cast<int>(planted.unit.size()));
    EXPECT_NEAR(it->copies, planted.copies, 0.5);
    EXPECT_EQ(it->start, 3000);
    EXPECT_EQ(it->length, static_cast<std::int64_t>(array.size()));
    EXPECT_EQ(it->motifClass, tandemClass(planted.unit));
    // The consensus is the unit, read from where the array starts.
    std::string rotation = planted.unit;
    std::rotate(rotation.begin(),
                rotation.begin() + (it->start - 3000 + static_cast<std::int64_t>(planted.unit.size())) %
                                       static_cast<std::int64_t>(planted.unit.size()),
                rotation.end());
    EXPECT_EQ(it->consensus, rotation);
    EXPECT_EQ(it->alignment.empty(), false);
    EXPECT_GE(it->score, 50);
}

INSTANTIATE_TEST_SUITE_P(Units, PlantedArray,
                         ::testing::Values(Planted{"AC", 20.0, 0.0, 0.0}, Planted{"AAG", 12.3, 0.03, 0.0},
                                           Planted{"ACGTTGCA", 6.5, 0.05, 0.02},
                                           Planted{"TTAGGGCATCGATCAGGATCCA", 5.4, 0.05, 0.02},
                                           Planted{randomUnit(50), 4.0, 0.03, 0.01},
                                           Planted{randomUnit(171), 8.2, 0.02, 0.005}));

// A genome of planted arrays, the first one cut by the origin.
std::string plantedGenome(std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::string s;
    for (int k = 0; k < 5; ++k) {
        if (s.empty()) {
            s = randomBases(random, 400 + random() % 400);
        }
        const std::string unit = randomBases(random, 2 + random() % 60);
        appendGuarded(random, s,
                      plantedArray(random, unit, 3.0 + static_cast<double>(random() % 80) / 10.0, 0.03, 0.01),
                      unit, 400 + random() % 400);
    }
    return s;
}

TEST(TandemRepeats, MoveWithTheCircleAndCrossTheOriginWhole)
{
    for (const std::uint32_t seed : {11U, 12U, 13U}) {
        const std::string s = plantedGenome(seed);
        const auto n = static_cast<std::int64_t>(s.size());
        const TandemRepeatList base = tandem(s);
        ASSERT_FALSE(base.empty());
        // Cuts through the middle of every array, and a few elsewhere.
        std::vector<std::int64_t> shifts{1, n / 3, n - 1};
        for (const TandemRepeat& r : base) {
            shifts.push_back(r.start + r.length / 2);
        }
        for (const std::int64_t shift : shifts) {
            const std::string rotated =
                s.substr(static_cast<std::size_t>(shift)) + s.substr(0, static_cast<std::size_t>(shift));
            std::set<Shape> expected;
            for (const TandemRepeat& r : base) {
                expected.emplace((r.start - shift + n) % n, r.length, r.period, r.motifClass);
            }
            EXPECT_EQ(shapes(tandem(rotated)), expected) << "seed " << seed << " shift " << shift;
        }
    }
}

// The array that the reverse complement of a genome of n letters must hold
// for `r`. The same start (mirrored), length, period, copies, score, counts
// and class; the alignment's columns in the opposite order, and the
// consensus read the same way: its letter j is the complement of the
// consensus letter that row R - 1 - j of the array (R rows in all, a row
// being a column that is not an insertion) was aligned with; the copies cut
// where that consensus starts again, as in every array.
TandemRepeat mirrorOf(const TandemRepeat& r, std::int64_t n)
{
    std::string columns;
    std::size_t count = 0;
    for (const char c : r.alignment) {
        if (std::isdigit(static_cast<unsigned char>(c)) != 0) {
            count = 10 * count + static_cast<std::size_t>(c - '0');
        } else if (c != ',') {
            columns.append(count, c);
            count = 0;
        }
    }
    const std::size_t p = r.consensus.size();
    const auto rows = static_cast<std::size_t>(
        std::count_if(columns.begin(), columns.end(), [](char c) { return c != 'I'; }));
    TandemRepeat m = r;
    m.start = ((n - r.end()) % n + n) % n;
    for (std::size_t j = 0; j < p; ++j) {
        m.consensus[j] = complement(r.consensus[(rows * (p + 1) - 1 - j) % p]);
    }
    std::reverse(columns.begin(), columns.end());
    // Cut, then written run by run.
    std::vector<std::string> copies(1);
    std::size_t row = 0;
    for (const char c : columns) {
        if (c != 'I' && row % p == 0 && row > 0 &&
            copies.back().find_first_not_of('I') != std::string::npos) {
            copies.emplace_back();
        }
        copies.back() += c;
        row += c != 'I' ? 1 : 0;
    }
    m.alignment.clear();
    for (const std::string& copy : copies) {
        m.alignment += m.alignment.empty() ? "" : ",";
        for (std::size_t i = 0; i < copy.size();) {
            const std::size_t j = copy.find_first_not_of(copy[i], i);
            const std::size_t end = j == std::string::npos ? copy.size() : j;
            m.alignment += std::to_string(end - i) + copy[i];
            i = end;
        }
    }
    return m;
}

TandemRepeatList byPlace(TandemRepeatList list)
{
    std::sort(list.begin(), list.end(), [](const TandemRepeat& a, const TandemRepeat& b) {
        return std::tie(a.start, a.period, a.length) < std::tie(b.start, b.period, b.length);
    });
    return list;
}

// Every array of `s` and those of its reverse complement, mirrored, are the same.
void expectMirrored(const std::string& s, const std::string& what)
{
    const auto n = static_cast<std::int64_t>(s.size());
    const TandemRepeatList forward = tandem(s);
    TandemRepeatList expected;
    for (const TandemRepeat& r : forward) {
        expected.push_back(mirrorOf(r, n));
        // The mirror of the mirror is the array itself.
        EXPECT_EQ(mirrorOf(expected.back(), n), r) << what;
    }
    const TandemRepeatList backward = byPlace(tandem(reverseComplement(s)));
    ASSERT_EQ(backward.size(), expected.size()) << what;
    expected = byPlace(std::move(expected));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(backward[i], expected[i])
            << what << ": array at " << expected[i].start << " period " << expected[i].period << ", found at "
            << backward[i].start << " period " << backward[i].period << " consensus " << backward[i].consensus
            << " " << backward[i].alignment;
    }
}

TEST(TandemRepeats, TheReverseComplementMirrorsEveryArray)
{
    for (const std::uint32_t seed : {21U, 22U, 23U}) {
        std::string s = plantedGenome(seed);
        expectMirrored(s, "seed " + std::to_string(seed));
        // Two gaps: the stretches between them are read both ways too.
        s[s.size() / 3] = 'N';
        s[s.size() / 2] = 'N';
        expectMirrored(s, "seed " + std::to_string(seed) + " with gaps");
    }
    // A small case by hand: two copies and a letter, read back from the last
    // letter, against the consensus that starts there.
    const std::string unit = "AATTTCATTCTAATA";
    std::mt19937 random(3);
    const std::string s = randomBases(random, 300) + unit + unit + "A" + randomBases(random, 300);
    TandemRepeat r;
    r.start = 300;
    r.length = 31;
    r.period = 15;
    r.consensus = unit;
    r.alignment = "15=,15=,1=";
    const TandemRepeat m = mirrorOf(r, static_cast<std::int64_t>(s.size()));
    EXPECT_EQ(m.start, static_cast<std::int64_t>(s.size()) - 331);
    EXPECT_EQ(m.consensus, reverseComplement(unit.substr(1) + unit.substr(0, 1)));
    // Copies cut where the mirrored consensus starts again: from its first letter.
    EXPECT_EQ(m.alignment, "15=,15=,1=");
    r.alignment = "3=1I4=1D7=,15=,1=";  // an insertion does not count as a row
    EXPECT_EQ(mirrorOf(r, static_cast<std::int64_t>(s.size())).alignment, "15=,8=1D4=1I2=,1=");
    const TandemRepeatList found = tandem(s);
    EXPECT_TRUE(
        std::any_of(found.begin(), found.end(), [](const TandemRepeat& a) { return a.period == 15; }));
    expectMirrored(s, "two copies");
}

// Real sequence: repeats of every period in AT-rich stretches, arrays of
// two copies whose vote ties, alignments whose indels could go in several places.
TEST(TandemRepeats, TheReverseComplementOfTheChloroplastMirrorsEveryArray)
{
    Genome genome;
    ASSERT_TRUE(readGenBank(TESSARON_TEST_DATA "/NC_000932.gb", genome, 3, 4).has_value());
    const std::string s(genome.sequence());
    ASSERT_EQ(s.size(), 154478U);
    expectMirrored(s, "NC_000932");
}

TEST(TandemRepeats, AGapEndsAnArrayAndAWholeCircleIsOneArray)
{
    std::mt19937 random(5);
    const std::string unit = "ACGTTGCAGT";
    std::string array;
    for (int k = 0; k < 10; ++k) {
        array += unit;
    }
    std::string s = randomBases(random, 500) + array + randomBases(random, 500);
    s[550] = 'N';
    for (const TandemRepeat& r : tandem(s)) {
        EXPECT_FALSE(r.start <= 550 && r.end() > 550) << r.start << " " << r.length;
    }
    // A genome that is one array: reported once, no longer than the circle.
    std::string circle;
    for (int k = 0; k < 30; ++k) {
        circle += unit;
    }
    const TandemRepeatList whole = tandem(circle);
    ASSERT_EQ(whole.size(), 1U);
    EXPECT_EQ(whole[0].period, 10);
    EXPECT_LE(whole[0].length, 300);
    EXPECT_GE(whole[0].length, 290);
}

TEST(TandemRepeats, TwoCopiesSharingNoWordAreFoundAlongTheirDiagonal)
{
    // Two copies of a unit, the second with every sixth letter changed: no
    // word of six letters is in both, yet they match over five letters in six.
    for (const int period : {40, 60, 100}) {
        std::mt19937 random(static_cast<std::uint32_t>(period));
        const std::string unit = randomBases(random, static_cast<std::size_t>(period));
        std::string second = unit;
        for (std::size_t i = 5; i + 5 < second.size(); i += 6) {
            second[i] = "ACGT"[(std::string_view("ACGT").find(second[i]) + 1 + random() % 3) % 4];
        }
        std::string s = randomBases(random, 2000);
        appendGuarded(random, s, unit + second, unit, 2000);
        const TandemRepeatList found = tandem(s);
        const auto it = std::find_if(found.begin(), found.end(), [&](const TandemRepeat& r) {
            return r.start < 2000 + 2 * period && r.end() > 2000;
        });
        ASSERT_NE(it, found.end()) << "period " << period;
        EXPECT_EQ(it->period, period);
        EXPECT_NEAR(it->copies, 2.0, 0.2);
        EXPECT_NEAR(static_cast<double>(it->start), 2000.0, 3.0);
        EXPECT_NEAR(static_cast<double>(it->length), 2.0 * period, 6.0);
    }
}

TEST(TandemRepeats, AFewCopiesTakeTheConsensusOfTheirBestCopy)
{
    // A copy with two of its last letters changed, a clean copy, and most of
    // a third: voted from two copies the consensus may keep either copy's
    // letters, and only the clean one lets the array run on through the
    // third (18 + 36 + 34 points, where the changed copy's letters give 82).
    for (const std::uint32_t seed : {31U, 32U, 33U, 34U}) {
        std::mt19937 random(seed);
        const std::string unit = randomBases(random, 18);
        std::string changed = unit;
        for (const std::size_t at : {14U, 16U}) {
            changed[at] = "ACGT"[(std::string_view("ACGT").find(changed[at]) + 1 + random() % 3) % 4];
        }
        std::string s = randomBases(random, 1000);
        appendGuarded(random, s, changed + unit + unit.substr(0, 17), unit, 1000);
        const TandemRepeatList found = tandem(s);
        const auto it = std::find_if(found.begin(), found.end(),
                                     [&](const TandemRepeat& r) { return r.start < 1053 && r.end() > 1000; });
        ASSERT_NE(it, found.end()) << "seed " << seed;
        EXPECT_EQ(it->motifClass, tandemClass(unit)) << "seed " << seed;
        EXPECT_EQ(it->end(), 1053) << "seed " << seed;
        EXPECT_GE(it->score, 88) << "seed " << seed;
    }
}

TEST(TandemRepeats, TwoUnitsThatAlternateAreOneUnitOfTwiceThePeriod)
{
    // Units of 12 letters, every other one with its last two letters
    // changed: seen at period 12 the array has mismatches in every second
    // copy (84 points), at 24 it is perfect and scores clearly better (120).
    for (const std::uint32_t seed : {41U, 42U, 43U}) {
        std::mt19937 random(seed);
        const std::string unit = randomBases(random, 12);
        std::string other = unit;
        for (const std::size_t at : {10U, 11U}) {
            other[at] = "ACGT"[(std::string_view("ACGT").find(other[at]) + 1 + random() % 3) % 4];
        }
        const std::string twice = unit + other;
        std::string s = randomBases(random, 1000);
        appendGuarded(random, s, twice + twice + unit, twice, 1000);
        const TandemRepeatList found = tandem(s);
        const auto it = std::find_if(found.begin(), found.end(),
                                     [&](const TandemRepeat& r) { return r.start < 1060 && r.end() > 1000; });
        ASSERT_NE(it, found.end()) << "seed " << seed;
        EXPECT_EQ(it->period, 24) << "seed " << seed;
        EXPECT_EQ(it->percentMatches(), 100) << "seed " << seed;
        EXPECT_EQ(it->start, 1000) << "seed " << seed;
        EXPECT_EQ(it->end(), 1060) << "seed " << seed;
    }
}

TEST(TandemRepeats, AnArrayEndsAtTheFarthestOfEqualBestScoresBothWays)
{
    // Three copies, then nine letters of a fourth whose first two differ:
    // two mismatches (-14) and seven matches (+14) end on the score the
    // three copies reached. The array takes them in, and read on the
    // reverse strand it takes them in as well.
    for (const std::uint32_t seed : {51U, 52U, 53U}) {
        std::mt19937 random(seed);
        const std::string unit = randomBases(random, 20);
        std::string tail = unit.substr(0, 9);
        for (const std::size_t at : {0U, 1U}) {
            tail[at] = "ACGT"[(std::string_view("ACGT").find(tail[at]) + 1 + random() % 3) % 4];
        }
        std::string s = randomBases(random, 1000);
        appendGuarded(random, s, unit + unit + unit + tail, unit, 1000);
        const auto n = static_cast<std::int64_t>(s.size());
        for (const bool reverse : {false, true}) {
            const TandemRepeatList found = tandem(reverse ? reverseComplement(s) : s);
            const std::int64_t start = reverse ? n - 1069 : 1000;
            const auto it = std::find_if(found.begin(), found.end(), [&](const TandemRepeat& r) {
                return r.start < start + 69 && r.end() > start;
            });
            ASSERT_NE(it, found.end()) << "seed " << seed << " reverse " << reverse;
            EXPECT_EQ(it->period, 20) << "seed " << seed << " reverse " << reverse;
            EXPECT_EQ(it->start, start) << "seed " << seed << " reverse " << reverse;
            EXPECT_EQ(it->length, 69) << "seed " << seed << " reverse " << reverse;
        }
    }
}

TEST(TandemRepeats, CigarsAddUpToTheArray)
{
    const std::string s = plantedGenome(31);
    for (const TandemRepeat& r : tandem(s)) {
        std::int64_t letters = 0;
        std::int64_t count = 0;
        std::int64_t matches = 0;
        for (const char ch : r.alignment) {
            if (ch >= '0' && ch <= '9') {
                count = count * 10 + (ch - '0');
                continue;
            }
            if (ch == '=' || ch == 'X' || ch == 'I') {
                letters += count;
            }
            matches += ch == '=' ? count : 0;
            count = 0;
        }
        EXPECT_EQ(letters, r.length) << r.alignment;
        EXPECT_EQ(matches, r.matches);
        EXPECT_EQ(r.score, 2 * r.matches - 7 * (r.mismatches + r.insertions + r.deletions));
    }
}

TEST(TandemRepeats, EmptyGenomeAndCancel)
{
    EXPECT_TRUE(tandem("").empty());
    const Genome genome = genomeOf(std::string(5000, 'A'));
    std::stop_source stop;
    stop.request_stop();
    const auto result = findTandemRepeats(genome, {}, SearchControl{stop.get_token(), nullptr});
    ASSERT_TRUE(std::holds_alternative<SearchFailure>(result));
    EXPECT_EQ(std::get<SearchFailure>(result), SearchFailure::Cancelled);
}

ImperfectMicrosatelliteList imperfect(const std::string& bases)
{
    const Genome genome = genomeOf(bases);
    auto result = findImperfectMicrosatellites(genome);
    EXPECT_TRUE(std::holds_alternative<ImperfectMicrosatelliteList>(result));
    return std::holds_alternative<ImperfectMicrosatelliteList>(result)
               ? std::get<ImperfectMicrosatelliteList>(std::move(result))
               : ImperfectMicrosatelliteList{};
}

std::string times(const std::string& unit, int count)
{
    std::string out;
    for (int k = 0; k < count; ++k) {
        out += unit;
    }
    return out;
}

TEST(ImperfectMicrosatellites, JoinRunsAcrossOneInterruptionPerTenLetters)
{
    const std::string flankLeft = "GCTTGCAGCTGGTCGACTTT";
    const std::string flankRight = "CGGTCCTTGGCGCTTCAGGC";
    struct Case {
        std::string name;
        std::string array;
        int unitLength;
        std::int64_t length;  // 0: nothing of this unit length
        int mismatches;
        int indels;
    };
    const std::string ac6 = times("AC", 6);
    const Case cases[] = {
        {"perfect", times("AC", 7), 2, 14, 0, 0},
        {"mismatch", ac6 + "G" + ac6.substr(1), 2, 24, 1, 0},
        {"insertion", ac6 + "T" + ac6, 2, 25, 0, 1},
        {"deletion", ac6 + ac6.substr(1), 2, 23, 0, 1},
        {"two apart", times("AAG", 4) + "TAG" + times("AAG", 3) + "TAG" + times("AAG", 3), 3, 36, 2, 0},
        {"too close", times("AC", 5) + "G" + "ACAC" + "G" + "ACAC", 2, 0, 0, 0},
        {"too few repeats", times("AC", 2) + "G" + times("AC", 3), 2, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const ImperfectMicrosatelliteList found = imperfect(flankLeft + c.array + flankRight);
        const auto it = std::find_if(found.begin(), found.end(), [&](const ImperfectMicrosatellite& m) {
            return m.unitLength == c.unitLength;
        });
        if (c.length == 0) {
            EXPECT_EQ(it, found.end()) << c.name;
            continue;
        }
        ASSERT_NE(it, found.end()) << c.name;
        EXPECT_EQ(it->start, static_cast<std::int64_t>(flankLeft.size())) << c.name;
        EXPECT_EQ(it->length, c.length) << c.name;
        EXPECT_EQ(it->repeats, c.length / c.unitLength) << c.name;
        EXPECT_EQ(it->mismatches, c.mismatches) << c.name;
        EXPECT_EQ(it->indels, c.indels) << c.name;
    }
}

TEST(ImperfectMicrosatellites, HoldEveryPerfectOneAndCrossTheOrigin)
{
    std::mt19937 random(3);
    std::string s = randomBases(random, 2000);
    for (int k = 0; k < 20; ++k) {
        const std::string unit = randomBases(random, 1 + random() % 6);
        const std::string run = times(unit, 12);
        s.replace(100 + 95 * static_cast<std::size_t>(k), run.size(), run);
    }
    const Genome genome = genomeOf(s);
    const auto perfect = std::get<MicrosatelliteList>(findMicrosatellites(genome));
    const ImperfectMicrosatelliteList joined = imperfect(s);
    // Each perfect microsatellite of at least 10 letters lies in one of its unit length.
    for (const Microsatellite& m : perfect) {
        if (m.length < kMinimumPiece) {
            continue;
        }
        EXPECT_TRUE(std::any_of(joined.begin(), joined.end(),
                                [&](const ImperfectMicrosatellite& j) {
                                    return j.unitLength == m.unitLength && j.start <= m.start &&
                                           j.end() >= m.end();
                                }))
            << m.start << " " << m.unit;
    }
    // Rotated so that the origin cuts one: every one moves with the circle.
    ASSERT_FALSE(joined.empty());
    const auto n = static_cast<std::int64_t>(s.size());
    const std::int64_t shift = joined.front().start + 5;
    std::set<std::tuple<std::int64_t, int, std::int64_t, int, int>> expected;
    for (const ImperfectMicrosatellite& m : joined) {
        expected.emplace((m.start - shift + n) % n, m.unitLength, m.length, m.mismatches, m.indels);
    }
    std::set<std::tuple<std::int64_t, int, std::int64_t, int, int>> moved;
    for (const ImperfectMicrosatellite& m : imperfect(s.substr(static_cast<std::size_t>(shift)) +
                                                      s.substr(0, static_cast<std::size_t>(shift)))) {
        moved.emplace(m.start, m.unitLength, m.length, m.mismatches, m.indels);
    }
    EXPECT_EQ(moved, expected);
}

}  // namespace
}  // namespace tessaron
