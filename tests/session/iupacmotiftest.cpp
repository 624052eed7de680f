#include "session/iupacmotif.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

using tessaron::findMotifHits;
using tessaron::MotifHit;
using tessaron::MotifQuery;

namespace {

// The codes as the IUPAC table writes them.
const std::map<char, std::string> kMeaning{{'A', "A"},   {'C', "C"},   {'G', "G"},   {'T', "T"},
                                           {'U', "T"},   {'R', "AG"},  {'Y', "CT"},  {'S', "CG"},
                                           {'W', "AT"},  {'K', "GT"},  {'M', "AC"},  {'B', "CGT"},
                                           {'D', "AGT"}, {'H', "ACT"}, {'V', "ACG"}, {'N', "ACGTN"}};

char complement(char base)
{
    switch (base) {
        case 'A':
            return 'T';
        case 'C':
            return 'G';
        case 'G':
            return 'C';
        case 'T':
            return 'A';
        default:
            return base;
    }
}

// Every window of the sequence read on both strands, letter by letter.
std::vector<MotifHit> bruteForce(const std::string& sequence, const MotifQuery& query)
{
    const std::size_t n = sequence.size();
    const std::size_t m = query.motif.size();
    std::vector<MotifHit> hits;
    const std::size_t starts = query.circular ? n : n - m + 1;
    for (std::size_t start = 0; start < starts; ++start) {
        std::string window;
        for (std::size_t i = 0; i < m; ++i) {
            window += sequence[(start + i) % n];
        }
        std::string other;  // the window as the other strand reads it
        for (auto it = window.rbegin(); it != window.rend(); ++it) {
            other += complement(*it);
        }
        const auto mismatches = [&](const std::string& read) {
            int count = 0;
            for (std::size_t i = 0; i < m; ++i) {
                count += kMeaning.at(query.motif[i]).find(read[i]) == std::string::npos ? 1 : 0;
            }
            return count;
        };
        const int forward = mismatches(window);
        if (forward <= query.mismatches) {
            hits.push_back({static_cast<int>(start), false, forward});
        }
        const bool palindrome = tessaron::iupacReverseComplement(query.motif) == query.motif;
        const int reverse = mismatches(other);
        if (query.bothStrands && !palindrome && reverse <= query.mismatches) {
            hits.push_back({static_cast<int>(start), true, reverse});
        }
    }
    return hits;
}

TEST(IupacMotifTest, AgreesWithReadingEveryWindow)
{
    std::mt19937 random(20261208);
    const std::string letters = "ACGTRYSWKMBDHVN";
    for (int round = 0; round < 400; ++round) {
        std::string sequence(5 + random() % 60, 'A');
        for (char& base : sequence) {
            base = "ACGTACGTACGTN"[random() % 13];
        }
        MotifQuery query;
        query.motif.resize(1 + random() % 7);
        for (char& code : query.motif) {
            code = random() % 2 == 0 ? "ACGT"[random() % 4] : letters[random() % letters.size()];
        }
        query.mismatches = static_cast<int>(random() % 3);
        query.bothStrands = random() % 2 == 0;
        query.circular = random() % 2 == 0;
        if (query.motif.size() > sequence.size()) {
            continue;
        }
        EXPECT_EQ(findMotifHits(sequence, query).hits, bruteForce(sequence, query))
            << sequence << " " << query.motif << " k=" << query.mismatches;
    }
}

TEST(IupacMotifTest, FindsOverTheOriginOnlyWhenCircular)
{
    // GAATTC runs from the last three bases over the origin.
    const std::string sequence = "TTCAAAAAAAGAA";
    const MotifQuery circular{"GAATTC", 0, false, true};
    EXPECT_EQ(findMotifHits(sequence, circular).hits, (std::vector<MotifHit>{{10, false, 0}}));
    const MotifQuery linear{"GAATTC", 0, false, false};
    EXPECT_TRUE(findMotifHits(sequence, linear).hits.empty());
}

TEST(IupacMotifTest, RefusesWhatIsNoMotifAndKeepsToTheLimit)
{
    EXPECT_TRUE(tessaron::motifProblem(""));
    EXPECT_TRUE(tessaron::motifProblem("ACXT"));
    EXPECT_FALSE(tessaron::motifProblem("acgtnrysw"));
    EXPECT_TRUE(findMotifHits("ACGT", MotifQuery{"AC-T", 0, true, true}).hits.empty());
    EXPECT_EQ(tessaron::iupacReverseComplement("ARYB"), "VRYT");
    const auto capped = findMotifHits(std::string(50, 'A'), MotifQuery{"N", 0, false, true}, 10);
    EXPECT_EQ(capped.hits.size(), 10U);
    EXPECT_TRUE(capped.truncated);
}

}  // namespace
