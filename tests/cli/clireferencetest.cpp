// The pairs report of the whole program against the plain reference of the
// index and the searches, row for row: on the human mitochondrial genome and
// on seeded random sequences.

#include "clirunner.h"
#include "engine/genome.h"
#include "referenceindex.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <string>
#include <vector>

namespace tessaron {
namespace {

using namespace test;

constexpr std::array<std::pair<RepeatKind, const char*>, 4> kKindNames{
    {{RepeatKind::Direct, "direct"},
     {RepeatKind::Inverted, "inverted"},
     {RepeatKind::Mirror, "mirror"},
     {RepeatKind::Complementary, "complementary"}}};

// The rows the pairs report must hold for `bases` searched with these settings.
std::string expectedPairsReport(const std::string& bases, int minLength, int lengthBound)
{
    const reference::ReferenceIndex index(bases, minLength, lengthBound);
    const auto word = [&bases](std::int32_t start, int length) {
        std::string text;
        for (int i = 0; i < length; ++i) {
            text += bases[(static_cast<std::size_t>(start) + static_cast<std::size_t>(i)) % bases.size()];
        }
        return text;
    };
    std::string report = "kind\tlength\tword\tfirst\tsecond\n";
    for (const auto& [kind, name] : kKindNames) {
        const reference::Repeats repeats =
            kind == RepeatKind::Direct ? index.findDirectRepeats() : index.findRepeats(kind);
        for (const auto& slot : repeats.bySlot) {
            for (const auto& repeat : slot) {
                for (const RepeatPair& pair : repeat.pairs) {
                    report += std::string(name) + '\t' + std::to_string(repeat.length) + '\t' +
                              word(repeat.pairs.front().first, repeat.length) + '\t' +
                              std::to_string(pair.first + 1) + '\t' + std::to_string(pair.second + 1) + '\n';
                }
            }
        }
    }
    return report;
}

// The lines between ORIGIN and "//" of a GenBank record: bases with numbers and blanks.
std::string originBlock(const char* path)
{
    std::ifstream file(path);
    std::string block;
    bool inside = false;
    for (std::string line; std::getline(file, line);) {
        if (line.rfind("ORIGIN", 0) == 0) {
            inside = true;
        } else if (line.rfind("//", 0) == 0) {
            inside = false;
        } else if (inside) {
            block += line + '\n';
        }
    }
    return block;
}

TEST_F(CliTest, PairsOfTheMitochondrialGenomeMatchTheReference)
{
    const std::string block = originBlock(TESSARON_MITO_GENBANK);
    write("mito.txt", block);
    std::string bases;
    for (const char ch : block) {
        if (ch >= 'a' && ch <= 'z') {  // the one n stays as a gap
            bases += static_cast<char>(ch - 'a' + 'A');
        }
    }
    ASSERT_EQ(bases.size(), 16569u);
    const Outcome result = run({"--report", "pairs", "mito.txt"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, expectedPairsReport(bases, 8, 31));
}

TEST_F(CliTest, PairsOfRandomSequencesMatchTheReference)
{
    struct Case {
        std::array<int, 4> counts;
        std::uint32_t seed;
        int minimum;
        int maximum;
    };
    const Case cases[] = {
        {{300, 200, 250, 250}, 11u, 4, 9},
        {{1500, 1500, 400, 400}, 7u, 8, 30},
        {{900, 100, 0, 0}, 3u, 3, 12},
        {{50, 50, 50, 50}, 5u, 6, 6},
    };
    for (const Case& c : cases) {
        const auto& [a, t, cc, g] = c.counts;
        const std::string counts =
            std::to_string(a) + "," + std::to_string(t) + "," + std::to_string(cc) + "," + std::to_string(g);
        SCOPED_TRACE(counts + " seed " + std::to_string(c.seed));
        // The same generation as the program's, for the bases and the clamped settings.
        Genome genome;
        ASSERT_TRUE(genome.makeRandom(a, t, cc, g, c.minimum, c.maximum, c.seed));
        const Outcome result =
            run({"--random", counts, "--seed", std::to_string(c.seed), "--min", std::to_string(c.minimum),
                 "--max", std::to_string(c.maximum), "--report", "pairs"});
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, expectedPairsReport(std::string(genome.sequence()), genome.minLength(),
                                                  genome.lengthBound()));
    }
}

}  // namespace
}  // namespace tessaron
