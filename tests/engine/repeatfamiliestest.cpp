#include "engine/repeatfamilies.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <vector>

namespace tessaron {
namespace {

// The families by their definition, slowly: copies the same when each covers
// 90 % of the other, components of sameness and pairs grown until nothing
// changes.
std::set<std::set<std::pair<std::int64_t, std::int64_t>>> referenceFamilies(
    std::int64_t n, const std::vector<CopyPair>& pairs)
{
    std::vector<std::pair<std::int64_t, std::int64_t>> copies;
    for (const CopyPair& pair : pairs) {
        copies.emplace_back(pair.first, pair.firstLength);
        copies.emplace_back(pair.second, pair.secondLength);
    }
    const auto same = [n](std::pair<std::int64_t, std::int64_t> a, std::pair<std::int64_t, std::int64_t> b) {
        std::int64_t common = 0;
        for (const std::int64_t shift : {-n, std::int64_t{0}, n}) {
            common = std::max(common, std::min(a.first + a.second, b.first + shift + b.second) -
                                          std::max(a.first, b.first + shift));
        }
        return 10 * common >= 9 * a.second && 10 * common >= 9 * b.second;
    };
    std::vector<std::size_t> label(copies.size());
    for (std::size_t x = 0; x < copies.size(); ++x) {
        label[x] = x;
    }
    for (bool changed = true; changed;) {
        changed = false;
        for (std::size_t x = 0; x < copies.size(); ++x) {
            for (std::size_t y = 0; y < copies.size(); ++y) {
                const bool linked = same(copies[x], copies[y]) || (x / 2 == y / 2);
                if (linked && label[y] > label[x]) {
                    label[y] = label[x];
                    changed = true;
                }
            }
        }
    }
    // A family as the starts of its copies' first members.
    std::map<std::size_t, std::set<std::pair<std::int64_t, std::int64_t>>> byLabel;
    for (std::size_t x = 0; x < copies.size(); ++x) {
        byLabel[label[x]].insert(copies[x]);
    }
    std::set<std::set<std::pair<std::int64_t, std::int64_t>>> out;
    for (auto& [unused, members] : byLabel) {
        out.insert(members);
    }
    return out;
}

TEST(RepeatFamilies, GroupCopiesBySingleLinkageAsDefined)
{
    const std::int64_t n = 5000;
    for (std::uint32_t seed = 1; seed <= 30; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        // A few places, each copy a little moved or trimmed.
        std::vector<std::pair<std::int64_t, std::int64_t>> places;
        for (int k = 0; k < 6; ++k) {
            places.emplace_back(static_cast<std::int64_t>(rng() % 5000),
                                static_cast<std::int64_t>(50 + rng() % 200));
        }
        const auto near = [&](std::size_t place) {
            const auto [start, length] = places[place];
            return std::pair<std::int64_t, std::int64_t>{(start + static_cast<std::int64_t>(rng() % 8)) % n,
                                                         length - static_cast<std::int64_t>(rng() % 8)};
        };
        std::vector<CopyPair> pairs;
        for (int k = 0; k < 5; ++k) {
            const auto a = near(rng() % places.size());
            const auto b = near(rng() % places.size());
            pairs.push_back({static_cast<RepeatKind>(rng() % 4), a.first, a.second, b.first, b.second});
        }
        const std::vector<RepeatFamily> families = repeatFamilies(n, pairs);
        // Each family's copies, each standing for every pair copy it took in.
        std::size_t copies = 0;
        for (const RepeatFamily& family : families) {
            copies += family.copies.size();
            EXPECT_LE(family.shortest, family.longest);
            EXPECT_LT(family.representative, family.copies.size());
        }
        const auto expected = referenceFamilies(n, pairs);
        EXPECT_EQ(families.size(), expected.size());
        // Sorted by copies, most first.
        EXPECT_TRUE(std::is_sorted(families.begin(), families.end(), [](const auto& a, const auto& b) {
            return a.copies.size() > b.copies.size();
        }));
        EXPECT_LE(copies, 2 * pairs.size());
    }
}

TEST(RepeatFamilies, OrientCopiesByTheKindsOfTheirPairs)
{
    // Three copies: A-B inverted, B-C mirror: C is A complemented (relative
    // to A; B is in most pairs and is the representative).
    const std::vector<CopyPair> pairs{{RepeatKind::Inverted, 100, 50, 400, 50},
                                      {RepeatKind::Mirror, 401, 49, 900, 50},
                                      {RepeatKind::Direct, 2000, 30, 2500, 31}};
    const std::vector<RepeatFamily> families = repeatFamilies(4000, pairs);
    ASSERT_EQ(families.size(), 2u);
    const RepeatFamily& three = families[0];
    ASSERT_EQ(three.copies.size(), 3u);
    EXPECT_EQ(three.copies[three.representative].start, 400);
    EXPECT_EQ(three.copies[0].orientation, CopyOrientation::ReverseComplement);
    EXPECT_EQ(three.copies[1].orientation, CopyOrientation::Same);
    EXPECT_EQ(three.copies[2].orientation, CopyOrientation::Reverse);
    EXPECT_EQ(three.shortest, 50);
    EXPECT_EQ(three.longest, 50);
    EXPECT_TRUE(three.kinds[static_cast<std::size_t>(RepeatKind::Inverted)]);
    EXPECT_TRUE(three.kinds[static_cast<std::size_t>(RepeatKind::Mirror)]);
    EXPECT_FALSE(three.kinds[static_cast<std::size_t>(RepeatKind::Direct)]);
    EXPECT_EQ(three.pairs, 2);
    EXPECT_EQ(families[1].copies.size(), 2u);
    EXPECT_EQ(families[1].shortest, 30);
    EXPECT_EQ(families[1].longest, 31);
    // A copy over the origin is the same as one just before it.
    const std::vector<CopyPair> round{{RepeatKind::Direct, 3990, 40, 1000, 40},
                                      {RepeatKind::Direct, 3992, 40, 2000, 40}};
    EXPECT_EQ(repeatFamilies(4000, round).size(), 1u);
    EXPECT_TRUE(repeatFamilies(4000, std::vector<CopyPair>{}).empty());
}

}  // namespace
}  // namespace tessaron
