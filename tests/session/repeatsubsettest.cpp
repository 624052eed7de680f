// Results cut down to some words: what the export of selected repeats writes.

#include "session/repeatexport.h"
#include "session/repeatsubset.h"
#include "session/session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

using namespace tessaron;

TEST(RepeatSubset, KeepsTheChosenWordsWithTheirOwnPairs)
{
    Session session;
    session.setLengths(8, 10);
    JobResult result = session.load(GenBankSource{TESSARON_MITO_GENBANK})(JobControl{});
    ASSERT_TRUE(result.state.has_value());
    const std::shared_ptr<const RepeatSnapshot> all = result.state->analysis.of(RepeatKind::Inverted);
    ASSERT_GE(all->words(2).size(), 3U);

    // Slot 0: its third and first word (kept in their order) and a place past the end; slot 2: its first.
    const WordChoice chosen{{2, 0, 1'000'000}, {}, {0}};
    const std::shared_ptr<const RepeatSnapshot> kept = keepWords(all, chosen);
    ASSERT_EQ(kept->slotCount(), all->slotCount());
    EXPECT_EQ(kept->kind(), RepeatKind::Inverted);
    EXPECT_EQ(kept->minLength(), 8);
    const struct {
        int slot;
        std::vector<std::size_t> words;  // places in the original
    } expected[] = {{0, {0, 2}}, {1, {}}, {2, {0}}};
    std::int64_t total = 0;
    for (const auto& slot : expected) {
        ASSERT_EQ(kept->words(slot.slot).size(), slot.words.size()) << slot.slot;
        std::int64_t pairs = 0;
        for (std::size_t k = 0; k < slot.words.size(); ++k) {
            const RepeatWord& original = all->words(slot.slot)[slot.words[k]];
            const RepeatWord& word = kept->words(slot.slot)[k];
            EXPECT_EQ(word.first, original.first);
            EXPECT_EQ(kept->pairs(slot.slot, word), all->pairs(slot.slot, original));
            EXPECT_EQ(kept->pairs(slot.slot, word, 0, 1), all->pairs(slot.slot, original, 0, 1));
            pairs += original.pairCount;
        }
        EXPECT_EQ(kept->pairCount(slot.slot), pairs) << slot.slot;
        total += pairs;
    }
    EXPECT_EQ(kept->total(), total);

    // Written out, the subset has a line per copy of its pairs, and no other kind's.
    SessionState state = *result.state;
    for (auto& snapshot : state.analysis.snapshots) {
        snapshot = keepWords(snapshot, {});
    }
    state.analysis.snapshots[static_cast<std::size_t>(RepeatKind::Inverted)] = kept;
    const std::filesystem::path bed = std::filesystem::temp_directory_path() / "tessaron-subset-test.bed";
    ASSERT_EQ(exportRepeats(bed, state), "");
    std::ifstream in(bed);
    std::int64_t lines = 0;
    for (std::string line; std::getline(in, line);) {
        EXPECT_NE(line.find("inverted"), std::string::npos) << line;
        ++lines;
    }
    EXPECT_EQ(lines, 2 * total);
    std::filesystem::remove(bed);
}
