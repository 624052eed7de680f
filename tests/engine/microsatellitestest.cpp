#include "engine/microsatellites.h"

#include "engine/genome.h"
#include "input/genbankreader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <numeric>
#include <random>
#include <stop_token>
#include <string>
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

// The definition read directly: for every unit length and every start, the
// longest stretch from that start, kept when no stretch starting one letter
// earlier holds it.
MicrosatelliteList reference(const std::string& s, const MicrosatelliteSettings& settings)
{
    const auto n = static_cast<std::int64_t>(s.size());
    const auto at = [&](std::int64_t i) { return s[static_cast<std::size_t>((i % n + n) % n)]; };
    const auto base = [](char ch) { return std::string_view("ACGT").find(ch) != std::string_view::npos; };
    const auto rotations = [](const std::string& word) {
        std::vector<std::string> all;
        for (std::size_t i = 0; i < word.size(); ++i) {
            all.push_back(word.substr(i) + word.substr(0, i));
        }
        return all;
    };
    const auto reverseComplement = [](const std::string& word) {
        std::string out;
        for (auto it = word.rbegin(); it != word.rend(); ++it) {
            out += "TGCA"[std::string_view("ACGT").find(*it)];
        }
        return out;
    };
    MicrosatelliteList found;
    for (int p = 1; p <= kMaxUnitLength && n > 0; ++p) {
        const std::int64_t minimum = std::max(settings.minimumRepeats[static_cast<std::size_t>(p - 1)], 2);
        std::vector<std::int64_t> longest(static_cast<std::size_t>(n));
        for (std::int64_t start = 0; start < n; ++start) {
            std::int64_t length = 0;
            while (length < n && base(at(start + length)) &&
                   (length < p || at(start + length) == at(start + length - p))) {
                ++length;
            }
            longest[static_cast<std::size_t>(start)] = length;
        }
        const bool wholeCircle = std::all_of(longest.begin(), longest.end(), [&](auto l) { return l == n; });
        for (std::int64_t start = 0; start < (wholeCircle ? 1 : n); ++start) {
            const std::int64_t length = longest[static_cast<std::size_t>(start)];
            const bool maximal =
                length == n || !base(at(start - 1)) || (length >= p && at(start - 1) != at(start - 1 + p));
            if (!maximal || length / p < minimum) {
                continue;
            }
            std::string unit;
            for (int i = 0; i < p; ++i) {
                unit += at(start + i);
            }
            if ((unit + unit).find(unit, 1) < unit.size()) {
                continue;  // a power of a shorter word
            }
            auto both = rotations(unit);
            for (const std::string& word : rotations(reverseComplement(unit))) {
                both.push_back(word);
            }
            const std::string cls = *std::min_element(both.begin(), both.end());
            const auto other = rotations(reverseComplement(cls));
            found.push_back({start, p, unit, length / p, length / p * p,
                             cls + "/" + *std::min_element(other.begin(), other.end()), 0});
        }
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::pair(a.start, a.unitLength) < std::pair(b.start, b.unitLength);
    });
    // Compounds: join each to the next round the circle, then number the
    // groups of two or more by their smallest start.
    const std::size_t count = found.size();
    std::vector<std::size_t> group(count);
    std::iota(group.begin(), group.end(), std::size_t{0});
    const auto root = [&](std::size_t i) {
        while (group[i] != i) {
            i = group[i];
        }
        return i;
    };
    for (std::size_t i = 0; count > 1 && i < count; ++i) {
        const std::size_t j = (i + 1) % count;
        const std::int64_t next = found[j].start + (j == 0 ? n : 0);
        if (next - (found[i].start + found[i].length - 1) - 1 <= settings.compoundDistance) {
            group[root(i)] = root(j);
        }
    }
    std::vector<int> sizes(count);
    std::vector<int> numbers(count);
    for (std::size_t i = 0; i < count; ++i) {
        ++sizes[root(i)];
    }
    int next = 0;
    for (std::size_t i = 0; i < count; ++i) {  // by start: a group's first member has its smallest start
        const std::size_t r = root(i);
        if (sizes[r] > 1 && numbers[r] == 0) {
            numbers[r] = ++next;
        }
        found[i].compound = numbers[r];
    }
    return found;
}

// A small circle for seed `seed`: random, few-letter or periodic bases with
// runs of random units (powers of shorter words too) planted anywhere, across
// the origin too, and sometimes gaps.
std::string seededCircle(std::uint32_t seed)
{
    std::mt19937 random(seed);
    const auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    const int n = pick(0, 64);
    const std::string alphabet = std::vector<std::string>{"ACGT", "ACGT", "AT", "AG", "A", "C"}[pick(0, 5)];
    const auto letter = [&] { return alphabet[static_cast<std::size_t>(pick(0, int(alphabet.size()) - 1))]; };
    std::string s(static_cast<std::size_t>(n), 'A');
    const auto randomUnit = [&] {
        std::string unit;
        for (int i = pick(1, 6); i > 0; --i) {
            unit += letter();
        }
        return unit;
    };
    const auto plant = [&](const std::string& unit, int from, int length) {
        for (int i = 0; i < length; ++i) {
            s[static_cast<std::size_t>((from + i) % n)] = unit[static_cast<std::size_t>(i) % unit.size()];
        }
    };
    // A circle that has a period almost or all the way round, or random.
    std::generate(s.begin(), s.end(), letter);
    if (pick(0, 4) == 0) {
        plant(randomUnit(), 0, n);
    }
    for (int planted = pick(0, 3); planted > 0 && n > 0; --planted) {
        plant(randomUnit(), pick(0, n - 1), pick(1, std::min(n, 40)));
    }
    for (int gaps = pick(-4, 2); gaps > 0 && n > 0; --gaps) {
        s[static_cast<std::size_t>(pick(0, n - 1))] = pick(0, 1) == 0 ? 'N' : 'R';
    }
    return s;
}

std::string describe(const MicrosatelliteList& list)
{
    std::string text;
    for (const Microsatellite& m : list) {
        text += std::to_string(m.start) + " " + std::to_string(m.unitLength) + " " + m.unit + " x" +
                std::to_string(m.repeats) + " " + std::to_string(m.length) + " " + m.motifClass + " c" +
                std::to_string(m.compound) + "\n";
    }
    return text;
}

MicrosatelliteList search(const Genome& genome, const MicrosatelliteSettings& settings)
{
    auto result = findMicrosatellites(genome, settings);
    EXPECT_TRUE(std::holds_alternative<MicrosatelliteList>(result));
    return std::get<MicrosatelliteList>(std::move(result));
}

TEST(Microsatellites, MatchSeededCirclesReadByTheDefinition)
{
    for (std::uint32_t seed = 0; seed < 3000; ++seed) {
        const std::string bases = seededCircle(seed);
        std::mt19937 random(seed ^ 0x5eedu);
        MicrosatelliteSettings settings;
        for (int& minimum : settings.minimumRepeats) {
            minimum = std::uniform_int_distribution<int>(1, 8)(random);
        }
        settings.compoundDistance = std::uniform_int_distribution<int>(-3, 12)(random);
        const Genome genome = genomeOf(bases);
        const MicrosatelliteList expected = reference(bases, settings);
        EXPECT_EQ(describe(search(genome, settings)), describe(expected)) << "seed " << seed << ": " << bases;
    }
}

struct Case {
    const char* bases;
    std::array<int, kMaxUnitLength> minimumRepeats;
    const char* expected;  // as describe() writes it
};

TEST(Microsatellites, ReadTheCircleAsDefined)
{
    const Case cases[] = {
        // A homopolymer circle: one run from the origin, never again at 2, 3, ...
        {"AAAAAAAAAAAA", {10, 2, 2, 2, 2, 2}, "0 1 A x12 12 A/T c0\n"},
        // A circle of period 2 all the way round, odd: 13 letters from the
        // origin hold 6 whole units.
        {"ATATATATATATA", {10, 6, 5, 5, 5, 5}, "0 2 AT x6 12 AT/AT c0\n"},
        // Across the origin: the run starts near the end.
        {"AAAAAACGTCGTGCATAAAAAA", {10, 6, 5, 5, 5, 5}, "16 1 A x12 12 A/T c0\n"},
        // A gap splits a run; the halves are too short.
        {"CCCCCCNCCCCCCGTATG", {10, 6, 5, 5, 5, 5}, ""},
        // Period 3 holding a run of period 1, each on its own; the power
        // AACAAC gives nothing at 6.
        {"GAACAACAACAACAAAAAAAAAAAT",
         {10, 6, 4, 5, 5, 2},
         "1 3 AAC x4 12 AAC/GTT c1\n13 1 A x11 11 A/T c1\n"},
        // A run of exactly the minimum, placed so that it holds no group of
        // eight positions from the stretch's start: found all the same.
        {"NGATATATATATATATATCCG", {10, 8, 5, 5, 5, 5}, "2 2 AT x8 16 AT/AT c0\n"},
        // The class is the smallest rotation on either strand.
        {"GCTGCTGCTGCTGCTA", {10, 6, 5, 5, 5, 5}, "0 3 GCT x5 15 AGC/CTG c0\n"},
    };
    for (const Case& c : cases) {
        MicrosatelliteSettings settings;
        settings.minimumRepeats = c.minimumRepeats;
        EXPECT_EQ(describe(search(genomeOf(c.bases), settings)), c.expected) << c.bases;
    }
}

TEST(Microsatellites, ShowClassesOnBothStrands)
{
    const std::pair<const char*, const char*> classes[] = {
        {"A", "A/T"},
        {"G", "C/G"},
        {"TC", "AG/CT"},
        {"TA", "AT/AT"},
        {"GC", "CG/CG"},
        {"CAT", "ATC/ATG"},
        {"AATT", "AATT/AATT"},
        {"TTTAG", "AAACT/AGTTT"},
        {"CCGCGA", "ACCGCG/CGCGGT"},
    };
    for (const auto& [unit, shown] : classes) {
        EXPECT_EQ(motifClass(unit), shown) << unit;
    }
}

TEST(Microsatellites, EmptyGenomeAndCancel)
{
    EXPECT_TRUE(search(Genome{}, {}).empty());
    const Genome genome = genomeOf(std::string(5000, 'A'));
    std::stop_source stop;
    stop.request_stop();
    const auto result = findMicrosatellites(genome, {}, SearchControl{stop.get_token(), nullptr});
    ASSERT_TRUE(std::holds_alternative<SearchFailure>(result));
    EXPECT_EQ(std::get<SearchFailure>(result), SearchFailure::Cancelled);
}

TEST(Microsatellites, ChloroplastMatchesTheDefinition)
{
    Genome genome;
    ASSERT_TRUE(
        readGenBank(std::filesystem::path(TESSARON_TEST_DATA) / "NC_000932.gb", genome, 8, 30).has_value());
    ASSERT_EQ(genome.length(), 154478);
    const MicrosatelliteSettings settings;
    const MicrosatelliteList found = search(genome, settings);
    EXPECT_EQ(describe(found), describe(reference(std::string(genome.sequence()), settings)));
    EXPECT_GT(found.size(), 50u);  // not a trivial agreement: 77 at these settings
}

}  // namespace
}  // namespace tessaron
