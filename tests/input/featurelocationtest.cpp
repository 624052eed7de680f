#include "input/featurelocation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaron {
namespace {

TEST(FeatureLocation, ReadsEveryFormThatNamesAStretch)
{
    const struct {
        const char* text;
        FeatureLocation expected;
    } cases[] = {
        {"1..16569", {1, 16569, false}},
        {"577..647", {577, 647, false}},
        {"950..40", {950, 40, false}},
        {"complement(100..200)", {100, 200, true}},
        {"5948", {5948, 5948, false}},
        {"complement(7)", {7, 7, true}},
        {"<111..209", {111, 209, false}},
        {"1367..>1669", {1367, 1669, false}},
        {"<1..>9", {1, 9, false}},
        {"complement(8091..>8357)", {8091, 8357, true}},
        {"join(16024..16569,1..576)", {16024, 576, false}},
        {"join(1959..2355,1..92)", {1959, 92, false}},
        {"complement(join(16024..16569,1..576))", {16024, 576, true}},
        {"complement(join(97999..98024,98562..98793,69611..69724))", {97999, 69724, true}},
        {"order(1436..1459,1619..1621)", {1436, 1621, false}},
        {"order(<1..5,8,>12..20)", {1, 20, false}},
        // Parts on the complementary strand are listed from the far end.
        {"join(complement(4918..5163),complement(2691..4571))", {2691, 5163, true}},
        {"join(complement(1..576),complement(16024..16569))", {16024, 576, true}},
        {"join(complement(69611..69724),139856..140650)", {69611, 140650, false}},
        {"complement(complement(5..9))", {5, 9, false}},
        {"join(1..5,join(8..9,complement(12..20)))", {1, 20, false}},
        // Wrapped over lines as the file holds it; blanks anywhere are ignored.
        {"join(1..5,10..20,\n                     30..40)", {1, 40, false}},
        {"complement(join(1..5,\r\n                     30..40))", {1, 40, true}},
        {" 1 .. 2 ", {1, 2, false}},
        {"0001..0010", {1, 10, false}},
        {"2147483647", {2147483647, 2147483647, false}},
    };
    for (const auto& c : cases) {
        const auto location = parseLocation(c.text);
        ASSERT_TRUE(location.has_value()) << c.text;
        EXPECT_EQ((FeatureLocation{location->first, location->last, location->complement}), c.expected)
            << c.text;
    }
}

TEST(FeatureLocation, AJoinListsItsPartsAsWritten)
{
    using Parts = std::vector<FeatureLocation::Part>;
    EXPECT_EQ(parseLocation("complement(join(97999..98793,69611..69724))")->parts,
              (Parts{{97999, 98793, true}, {69611, 69724, true}}));
    EXPECT_EQ(parseLocation("join(complement(4918..5163),8,order(1..2))")->parts,
              (Parts{{4918, 5163, true}, {8, 8, false}, {1, 2, false}}));
    // Each part's own strand: complements inside complements cancel out.
    EXPECT_EQ(parseLocation("join(complement(69611..69724),139856..140650)")->parts,
              (Parts{{69611, 69724, true}, {139856, 140650, false}}));
    EXPECT_EQ(parseLocation("complement(join(complement(1..5),8..9))")->parts,
              (Parts{{1, 5, false}, {8, 9, true}}));
    EXPECT_TRUE(parseLocation("complement(1..2)")->parts.empty());
}

TEST(FeatureLocation, RefusesWhatNamesNoStretchOfThisSequence)
{
    for (const char* text : {
             "5933^5934",
             "102.110",
             "1...2",
             "J00194.1:100..202",
             "join(1..5,J00194.1:100..202)",
             "join(1..5,5933^5934)",
             "0",
             "0..5",
             "1..2147483648",
             "99999999999999999999",
             "-5..10",
             "",
             "  \n ",
             "1..",
             "..5",
             "<",
             "1..2x",
             "abc",
             "gap(10)",
             "complement()",
             "complement(1..2,3..4)",
             "complement(1..2",
             "join()",
             "join(1..5",
             "join(1..5,)",
             "join(,1..5)",
             "1..5)",
             "(1..5)",
             "1..5,6..7",
             "Join(1..5)",
         }) {
        EXPECT_FALSE(parseLocation(text).has_value()) << '"' << text << '"';
    }
}

TEST(FeatureLocation, DeepNestingCostsNoCallDepth)
{
    constexpr int kDepth = 200000;
    std::string text;
    for (int i = 0; i < kDepth; ++i) {
        text += i % 2 == 0 ? "complement(" : "join(";
    }
    text += "3..4";
    text.append(kDepth, ')');
    EXPECT_EQ(parseLocation(text), (FeatureLocation{3, 4, false}));
    text.pop_back();
    EXPECT_FALSE(parseLocation(text).has_value());
}

}  // namespace
}  // namespace tessaron
