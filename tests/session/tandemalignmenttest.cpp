// A tandem array read copy by copy: where its copies lie, the copies set out
// under the consensus, and their highlights in the pane.

#include "session/highlights.h"
#include "session/tandemalignment.h"

#include "engine/genome.h"
#include "engine/tandemrepeats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace tessaron;

namespace {

TandemRepeat arrayOf(std::int64_t start, std::string consensus, std::string alignment, std::int64_t length)
{
    TandemRepeat array;
    array.start = start;
    array.length = length;
    array.period = static_cast<int>(consensus.size());
    array.consensus = std::move(consensus);
    array.alignment = std::move(alignment);
    return array;
}

TEST(TandemAlignment, CopiesSetOutUnderTheConsensus)
{
    struct Case {
        const char* name;
        const char* consensus;
        const char* alignment;
        const char* letters;
        std::vector<std::string> rows;   // the consensus row, then a row per copy; none when refused
        std::vector<TandemCopy> copies;  // from start 100
    };
    const std::vector<Case> cases{
        {"perfect, the last copy partial",
         "ACG",
         "3=,3=,2=",
         "ACGACGAC",
         {"ACG", "ACG", "ACG", "AC "},
         {{100, 3}, {103, 3}, {106, 2}}},
        {"a mismatch", "ACGT", "4=,2=1X1=", "ACGTACTT", {"ACGT", "ACGT", "ACTT"}, {{100, 4}, {104, 4}}},
        {"an insertion opens a column in every row",
         "ACGT",
         "4=,2=1I2=",
         "ACGTACAGT",
         {"AC-GT", "AC-GT", "ACAGT"},
         {{100, 4}, {104, 5}}},
        {"a deletion", "ACGT", "4=,1=1D2=", "ACGTAGT", {"ACGT", "ACGT", "A-GT"}, {{100, 4}, {104, 3}}},
        {"the widest insertion sets the columns",
         "AC",
         "1=2I1=,1=1I1=,2=",
         "AGGCATCAC",
         {"A--C", "AGGC", "AT-C", "A--C"},
         {{100, 4}, {104, 3}, {107, 2}}},
        {"an insertion after the last consensus letter",
         "AC",
         "2=1I,2=",
         "ACTAC",
         {"AC-", "ACT", "AC-"},
         {{100, 3}, {103, 2}}},
        {"a partial copy ending in an insertion",
         "ACGT",
         "4=,1=1I",
         "ACGTAT",
         {"A-CGT", "A-CGT", "AT   "},
         {{100, 4}, {104, 2}}},
        {"letters left over", "AC", "2=,2=", "ACACA", {}, {}},
        {"more consensus letters than there are", "AC", "3=", "ACA", {}, {}},
        {"not a CIGAR", "AC", "2=,x", "ACAC", {}, {}},
        {"a count without an operation", "AC", "2=,2", "ACAC", {}, {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const std::string letters = test.letters;
        const TandemRepeat array =
            arrayOf(100, test.consensus, test.alignment, static_cast<std::int64_t>(letters.size()));
        const auto aligned = alignCopies(array, letters);
        if (test.rows.empty()) {
            EXPECT_FALSE(aligned.has_value());
        } else {
            ASSERT_TRUE(aligned.has_value());
            std::vector<std::string> rows{aligned->consensus};
            rows.insert(rows.end(), aligned->copies.begin(), aligned->copies.end());
            EXPECT_EQ(rows, test.rows);
        }
        // A CIGAR that reads more letters or fewer gives no copies; one that
        // claims more consensus letters than there are is the alignment's concern.
        if (std::string(test.alignment) != "3=") {
            EXPECT_EQ(tandemCopies(array), test.copies);
        }
    }
}

// On arrays the search finds in seeded sequences, the rows give back every
// letter of the array, the consensus, and the matches, mismatches,
// insertions and deletions the search counted; the copies tile the array.
TEST(TandemAlignment, RowsAgreeWithTheSearchOnSeededArrays)
{
    std::mt19937 random(20261208U);
    const auto bases = [&random](std::size_t count) {
        std::string out(count, 'A');
        for (char& letter : out) {
            letter = "ACGT"[random() % 4];
        }
        return out;
    };
    std::size_t checked = 0;
    for (const std::size_t period : {3U, 11U, 29U, 64U}) {
        SCOPED_TRACE(period);
        const std::string unit = bases(period);
        std::string planted;
        std::uniform_real_distribution<double> roll(0.0, 1.0);
        const std::size_t copyCount = std::max<std::size_t>(8, 60 / period);
        for (std::size_t copy = 0; copy < copyCount; ++copy) {
            for (const char letter : unit) {
                const double r = roll(random);
                if (r < 0.03) {
                    planted += "ACGT"[(std::string("ACGT").find(letter) + 1) % 4];
                } else if (r < 0.04) {
                    continue;
                } else if (r < 0.05) {
                    planted += letter;
                    planted += "ACGT"[random() % 4];
                } else {
                    planted += letter;
                }
            }
        }
        // The array runs across the origin of the circle.
        const std::string text =
            planted.substr(planted.size() / 2) + bases(3000) + planted.substr(0, planted.size() / 2);
        Genome genome;
        ASSERT_TRUE(genome.allocate(static_cast<std::int64_t>(text.size()), 3, 4));
        genome.appendText(text.c_str());
        const auto found = findTandemRepeats(genome);
        ASSERT_TRUE(std::holds_alternative<TandemRepeatList>(found));
        for (const TandemRepeat& array : std::get<TandemRepeatList>(found)) {
            SCOPED_TRACE(array.start);
            const std::string letters = arrayLetters(genome.sequence(), array);
            ASSERT_EQ(letters.size(), static_cast<std::size_t>(array.length));
            const auto aligned = alignCopies(array, letters);
            ASSERT_TRUE(aligned.has_value()) << array.alignment;
            std::string consensus = aligned->consensus;
            std::erase(consensus, '-');
            EXPECT_EQ(consensus, array.consensus);
            std::string read;
            std::int64_t matches = 0, mismatches = 0, insertions = 0, deletions = 0;
            for (const std::string& row : aligned->copies) {
                ASSERT_EQ(row.size(), aligned->consensus.size());
                for (std::size_t c = 0; c < row.size(); ++c) {
                    const char ours = row[c];
                    const char theirs = aligned->consensus[c];
                    if (ours != '-' && ours != ' ') {
                        read += ours;
                    }
                    if (ours == ' ' || (ours == '-' && theirs == '-')) {
                        continue;
                    }
                    matches += ours == theirs;
                    mismatches += ours != theirs && ours != '-' && theirs != '-';
                    insertions += theirs == '-';
                    deletions += ours == '-';
                }
            }
            EXPECT_EQ(read, letters);
            EXPECT_EQ(matches, array.matches);
            EXPECT_EQ(mismatches, array.mismatches);
            EXPECT_EQ(insertions, array.insertions);
            EXPECT_EQ(deletions, array.deletions);
            const std::vector<TandemCopy> copies = tandemCopies(array);
            ASSERT_EQ(copies.size(), aligned->copies.size());
            EXPECT_EQ(copies.front().start, array.start);
            for (std::size_t c = 1; c < copies.size(); ++c) {
                EXPECT_EQ(copies[c].start, copies[c - 1].start + copies[c - 1].length);
            }
            EXPECT_EQ(copies.back().start + copies.back().length, array.end());
            ++checked;
        }
    }
    EXPECT_GE(checked, 4U);
}

// A selected array's copies alternate, each split where it crosses the
// origin; Next copy steps through their starts.
TEST(TandemAlignment, TheHighlightsAlternateCopyByCopyAcrossTheOrigin)
{
    Highlights highlights;
    const TandemRepeat array = arrayOf(95, "ACGT", "4=,4=,4=,2=", 14);
    highlights.selectTandemArray(array, 100);
    ASSERT_NE(highlights.selectedTandemArray(), nullptr);
    EXPECT_EQ(highlights.firstCopy(), 95);
    using Copy = Highlights::Copy;
    EXPECT_EQ(highlights.copies(),
              (std::vector<Copy>{{95, 4, false}, {99, 1, true}, {0, 3, true}, {3, 4, false}, {7, 2, true}}));
    EXPECT_EQ(highlights.starts(), (std::vector<int>{0, 3, 7, 95, 99}));
    EXPECT_EQ(highlights.next(95)->start, 99);
    // An alignment that cannot be read: the array whole.
    highlights.selectTandemArray(arrayOf(10, "AC", "9=", 6), 100);
    EXPECT_EQ(highlights.copies(), (std::vector<Copy>{{10, 6, false}}));
    highlights.clear();
    EXPECT_EQ(highlights.selectedTandemArray(), nullptr);
    EXPECT_EQ(highlights.firstCopy(), 0);
}

}  // namespace
