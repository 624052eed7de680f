#include "engine/plastomenormalisation.h"
#include "engine/plastomestructure.h"
#include "input/genbankfeaturetable.h"
#include "input/normalisedrecord.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace tessaron {
namespace {

// Twenty bases laid down as: old 11..15 reversed, old 1..10, old 16..20.
const std::vector<SequencePiece> kPieces = {{10, 5, true}, {0, 10, false}, {15, 5, false}};

TEST(MoveLocation, FollowsTheBasesIntoTheirPieces)
{
    struct Case {
        const char* location;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {"1..3", "6..8"},
        {"complement(2..4)", "complement(7..9)"},
        {"11..12", "complement(4..5)"},
        {"9..13", "join(14..15,complement(3..5))"},
        {"<1..>3", "<6..>8"},
        {"complement(<11..12)", "4..>5"},
        {"join(1..2,15..16)", "join(6..7,complement(1),16)"},
        {"complement(join(1..2,4..5))", "complement(join(6..7,9..10))"},
        {"order(1..2,5..6)", "order(6..7,10..11)"},
        {"19..2", "join(19..20,6..7)"},
        {"join(1..10,16..17)", "join(6..15,16..17)"},
        {"2^3", "7^8"},
        {"7", "12"},
        {"1..20", "1..20"},
        {"join(1..2,\n 4..5)", std::nullopt},
        {"X12345.1:1..10", std::nullopt},
        {"1..25", std::nullopt},
        {"join(1..2", std::nullopt},
        {"1..2)", std::nullopt},
        {"", std::nullopt},
        {"complement(0..3)", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(moveLocation(c.location, kPieces, 20), c.expected) << c.location;
    }
}

constexpr const char* kRecord =
    "LOCUS       TEST                      20 bp    DNA     circular PLN 01-JAN-2000\n"
    "DEFINITION  test.\n"
    "FEATURES             Location/Qualifiers\n"
    "     source          1..20\n"
    "                     /organism=\"Test\"\n"
    "     repeat_region   join(1..2,\n"
    "                     4..5)\n"
    "                     /rpt_type=inverted\n"
    "                     /note=\"inverted repeat B;\n"
    "                     IRb\"\n"
    "     misc_feature    X9:1..2\n"
    "BASE COUNT        5 a      5 c      5 g      5 t\n"
    "ORIGIN\n"
    "        1 acgtacgtac gtacgtacgt\n"
    "//\n";

TEST(GenBankRecordText, KeepsEveryFeatureWithItsQualifiers)
{
    const GenBankRecordText record = readGenBankRecordText(kRecord);
    ASSERT_EQ(record.features.size(), 3U);
    EXPECT_EQ(record.features[1].key, "repeat_region");
    EXPECT_EQ(record.features[1].location, "join(1..2,4..5)");
    ASSERT_NE(record.features[1].qualifier("rpt_type"), nullptr);
    EXPECT_EQ(*record.features[1].qualifier("rpt_type"), "inverted");
    EXPECT_EQ(*record.features[1].qualifier("note"), "inverted repeat B; IRb");
    EXPECT_EQ(record.features[1].qualifier("gene"), nullptr);
    EXPECT_EQ(record.features[1].line, 6);
    EXPECT_EQ(record.bases, "acgtacgtacgtacgtacgt");
    EXPECT_TRUE(record.header.starts_with("LOCUS"));
    EXPECT_TRUE(record.header.ends_with("FEATURES             Location/Qualifiers\n"));

    NormalisedPlastome moved;
    moved.sequence = "TTTTTACGTACGTACGTACG";
    moved.pieces = kPieces;
    int dropped = 0;
    const std::string text = writeNormalisedGenBank(record, moved, dropped);
    EXPECT_EQ(dropped, 1);  // the location in another entry
    EXPECT_NE(text.find("     source          1..20\n                     /organism=\"Test\"\n"),
              std::string::npos);
    EXPECT_NE(text.find("     repeat_region   join(6..7,9..10)\n                     /rpt_type=inverted\n"),
              std::string::npos);
    EXPECT_TRUE(text.ends_with("ORIGIN\n        1 tttttacgta cgtacgtacg\n//\n"));
    // Read back, the written record gives the same features and the new bases.
    const GenBankRecordText again = readGenBankRecordText(text);
    EXPECT_EQ(again.features.size(), 2U);
    EXPECT_EQ(again.bases, "tttttacgtacgtacgtacg");
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

char complementBase(char c)
{
    switch (c) {
        case 'a':
            return 't';
        case 'c':
            return 'g';
        case 'g':
            return 'c';
        case 't':
            return 'a';
        default:
            return c;
    }
}

// The bases a simple location names, 5' to 3' (ranges, single bases,
// complement, join, order; partial markers passed over).
std::string locationBases(std::string_view location, const std::string& bases)
{
    if (location.starts_with("complement(")) {
        std::string inner = locationBases(location.substr(11, location.size() - 12), bases);
        std::reverse(inner.begin(), inner.end());
        for (char& c : inner) {
            c = complementBase(c);
        }
        return inner;
    }
    if (location.starts_with("join(") || location.starts_with("order(")) {
        const std::size_t open = location.find('(');
        std::string_view inner = location.substr(open + 1, location.size() - open - 2);
        std::string out;
        int depth = 0;
        std::size_t start = 0;
        for (std::size_t i = 0; i <= inner.size(); ++i) {
            if (i == inner.size() || (inner[i] == ',' && depth == 0)) {
                out += locationBases(inner.substr(start, i - start), bases);
                start = i + 1;
            } else if (inner[i] == '(') {
                ++depth;
            } else if (inner[i] == ')') {
                --depth;
            }
        }
        return out;
    }
    std::string plain;
    for (const char c : location) {
        if (c != '<' && c != '>') {
            plain.push_back(c);
        }
    }
    const std::size_t dots = plain.find("..");
    const long first = std::stol(plain.substr(0, dots));
    const long last = dots == std::string::npos ? first : std::stol(plain.substr(dots + 2));
    std::string out;
    const auto n = static_cast<long>(bases.size());
    for (long at = first - 1; at != last % n; at = (at + 1) % n) {
        out.push_back(bases[static_cast<std::size_t>(at)]);
    }
    return out;
}

TEST(NormalisedGenBank, EveryFeatureKeepsItsBasesAndASecondPassChangesNothing)
{
    const GenBankRecordText record = readGenBankRecordText(readFile(TESSARON_TEST_DATA "/NC_000932.gb"));
    ASSERT_EQ(record.bases.size(), 154478U);
    const PlastomeStructure structure = findPlastomeStructure(record.bases);
    const NormalisedPlastome standard = normalisePlastome(record.bases, structure);
    int dropped = -1;
    const std::string text = writeNormalisedGenBank(record, standard, dropped);
    EXPECT_EQ(dropped, 0);
    const GenBankRecordText moved = readGenBankRecordText(text);
    ASSERT_EQ(moved.features.size(), record.features.size());
    EXPECT_EQ(moved.bases.size(), record.bases.size());
    for (std::size_t f = 1; f < record.features.size(); ++f) {
        EXPECT_EQ(locationBases(moved.features[f].location, moved.bases),
                  locationBases(record.features[f].location, record.bases))
            << record.features[f].key << " " << record.features[f].location << " -> "
            << moved.features[f].location;
        EXPECT_EQ(moved.features[f].qualifierText, record.features[f].qualifierText);
    }
    // Already in its standard form, the record is written again as it is.
    const NormalisedPlastome twice = normalisePlastome(moved.bases, findPlastomeStructure(moved.bases));
    EXPECT_EQ(writeNormalisedGenBank(moved, twice, dropped), text);
    EXPECT_EQ(fastaText("x", "ACGT"), ">x\nACGT\n");
    EXPECT_EQ(fastaText("x", std::string(71, 'A')), ">x\n" + std::string(70, 'A') + "\nA\n");
}

}  // namespace
}  // namespace tessaron
