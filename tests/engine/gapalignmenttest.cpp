#include "plastome/gapalignment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace tessaron::plastome {
namespace {

// The cost of an alignment by its definition: 2 a mismatched pair, and each
// run of columns with a base on one side only 3 plus 1 a base.
int cost(const std::vector<Column>& columns, const std::string& a, const std::string& b)
{
    int total = 0;
    std::size_t i = 0;
    std::size_t j = 0;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const bool opens = c == 0 || columns[c - 1] != columns[c];
        switch (columns[c]) {
            case Column::Pair:
                total += sameBase(a[i++], b[j++]) ? 0 : 2;
                break;
            case Column::OnlyFirst:
                total += (opens ? 3 : 0) + 1;
                ++i;
                break;
            case Column::OnlySecond:
                total += (opens ? 3 : 0) + 1;
                ++j;
                break;
        }
    }
    EXPECT_EQ(i, a.size());
    EXPECT_EQ(j, b.size());
    return total;
}

// The cheapest of every alignment of two short words, listed one by one.
int cheapest(const std::string& a, const std::string& b)
{
    int best = 1 << 30;
    struct Partial {
        std::size_t i;
        std::size_t j;
        std::vector<Column> columns;
    };
    std::vector<Partial> open{{0, 0, {}}};
    while (!open.empty()) {
        Partial p = std::move(open.back());
        open.pop_back();
        if (p.i == a.size() && p.j == b.size()) {
            best = std::min(best, cost(p.columns, a, b));
            continue;
        }
        if (p.i < a.size() && p.j < b.size()) {
            Partial q = p;
            q.columns.push_back(Column::Pair);
            ++q.i;
            ++q.j;
            open.push_back(std::move(q));
        }
        if (p.i < a.size()) {
            Partial q = p;
            q.columns.push_back(Column::OnlyFirst);
            ++q.i;
            open.push_back(std::move(q));
        }
        if (p.j < b.size()) {
            Partial q = p;
            q.columns.push_back(Column::OnlySecond);
            ++q.j;
            open.push_back(std::move(q));
        }
    }
    return best;
}

TEST(GapAlignment, CostsNoMoreThanAnyAlignmentOfShortWords)
{
    std::mt19937 rng(17);
    for (int trial = 0; trial < 400; ++trial) {
        std::string a(rng() % 7, 'A');
        std::string b(rng() % 7, 'A');
        for (std::string* s : {&a, &b}) {
            for (char& c : *s) {
                c = "ACGTN"[rng() % (trial % 4 == 0 ? 5 : 2)];  // some pairs of two letters, some with gaps
            }
        }
        SCOPED_TRACE(a + " / " + b);
        EXPECT_EQ(cost(alignGlobally(a, b), a, b), cheapest(a, b));
    }
}

TEST(GapAlignment, OneGapForAnInsertedStretch)
{
    const std::string b = "ACGTTGCAAGGCTTAC";
    const std::string a = b.substr(0, 7) + "CCCCATG" + b.substr(7);
    const std::vector<Column> columns = alignGlobally(a, b);
    const auto gaps = std::count(columns.begin(), columns.end(), Column::OnlyFirst);
    EXPECT_EQ(gaps, 7);
    EXPECT_EQ(cost(columns, a, b), 3 + 7);
    EXPECT_EQ(alignGlobally("", "AC"), (std::vector<Column>{Column::OnlySecond, Column::OnlySecond}));
    EXPECT_EQ(alignGlobally("A", ""), (std::vector<Column>{Column::OnlyFirst}));
    EXPECT_FALSE(sameBase('N', 'N'));
    EXPECT_TRUE(sameBase('a', 'A'));
}

}  // namespace
}  // namespace tessaron::plastome
