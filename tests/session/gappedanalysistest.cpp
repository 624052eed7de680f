// The gapped search as the desktop runs it: the job that makes its pairs and
// families, how they and the approximate pairs replace each other and stay
// with the sequence, the alignment rows that spell both copies, and the
// highlights of a gapped pair and of a family.

#include "session/gappedanalysis.h"
#include "session/session.h"

#include "engine/alphabet.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <stop_token>
#include <string>
#include <vector>

using namespace tessaron;

namespace gappedanalysistest {
namespace {

constexpr RepeatKind kAllKinds[] = {RepeatKind::Direct, RepeatKind::Inverted, RepeatKind::Mirror,
                                    RepeatKind::Complementary};

JobResult runJob(const Job& job, std::stop_token stop = {})
{
    return job(JobControl{std::move(stop), {}});
}

std::string randomLetters(std::mt19937& rng, std::size_t count)
{
    std::string out;
    for (std::size_t k = 0; k < count; ++k) {
        out += "ACGT"[rng() % 4];
    }
    return out;
}

// The word the kind reads as `copy`: `copy` itself (direct), its reverse
// complement (inverted), reverse (mirror) or complement (complementary).
std::string readAs(std::string copy, RepeatKind kind)
{
    if (kind == RepeatKind::Inverted || kind == RepeatKind::Complementary) {
        std::transform(copy.begin(), copy.end(), copy.begin(), [](char c) { return complement(c); });
    }
    if (kind == RepeatKind::Inverted || kind == RepeatKind::Mirror) {
        std::reverse(copy.begin(), copy.end());
    }
    return copy;
}

constexpr std::int64_t kFirst = 300;
constexpr std::int64_t kElement = 200;
constexpr std::int64_t kSecond = 2100;

// 4,000 random letters holding a 200-letter element at 300 and, at 2,100,
// the word the kind reads as that element with one letter changed (at 60)
// and three letters inserted (after 120). The copies lie between runs of A
// and of C, which line up unequal in every kind: the pair ends where the
// copies do.
std::shared_ptr<const Genome> plantedGenome(RepeatKind kind, std::uint32_t seed)
{
    std::mt19937 rng(seed);
    std::string bases = randomLetters(rng, 4000);
    std::string copy = bases.substr(kFirst, kElement);
    bases.replace(kFirst - 15, 15, 15, 'A');
    bases.replace(kFirst + kElement, 15, 15, 'A');
    copy[60] = copy[60] == 'A' ? 'C' : 'A';
    copy.insert(120, "GTT");
    const std::string second = readAs(copy, kind);
    bases.replace(kSecond, second.size(), second);
    bases.replace(kSecond - 15, 15, 15, 'C');
    bases.replace(kSecond + static_cast<std::int64_t>(second.size()), 15, 15, 'C');
    auto genome = std::make_shared<Genome>();
    EXPECT_TRUE(genome->allocate(static_cast<std::int64_t>(bases.size()), 8, 30));
    genome->appendText(bases.c_str());
    return genome;
}

std::string withoutGaps(std::string row)
{
    std::erase(row, '-');
    return row;
}

std::string lettersAt(const Genome& genome, std::int64_t start, std::int64_t length)
{
    std::string out;
    for (std::int64_t k = 0; k < length; ++k) {
        out += genome.at((start + k) % genome.length());
    }
    return out;
}

GappedSettings planted()
{
    GappedSettings settings;
    settings.minLength = 100;
    settings.identity = 90.0;
    return settings;
}

TEST(GappedAnalysis, APlantedCopyOfEachKindIsOnePairWhoseRowsSpellBothCopies)
{
    for (const RepeatKind kind : kAllKinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        const auto genome = plantedGenome(kind, 11U);
        const GappedOutcome outcome = analyseWithGaps(genome, planted(), true);
        ASSERT_TRUE(std::holds_alternative<std::shared_ptr<const GappedAnalysis>>(outcome));
        const GappedAnalysis& analysis = *std::get<std::shared_ptr<const GappedAnalysis>>(outcome);
        ASSERT_EQ(analysis.genome, genome);
        ASSERT_EQ(analysis.of(kind).pairs.size(), 1U);
        const GappedPair& pair = analysis.of(kind).pairs.front();
        EXPECT_EQ(pair.first, kFirst);
        EXPECT_EQ(pair.second, kSecond);
        EXPECT_EQ(pair.insertions, 3);
        EXPECT_EQ(pair.deletions, 0);
        EXPECT_EQ(pair.mismatches, 1);
        // The pair, counted in its class of the shorter copy (100-999).
        EXPECT_EQ(analysis.counts[static_cast<std::size_t>(kind)][4], 1);

        const AlignmentRows rows = alignmentRows(*genome, kind, pair);
        ASSERT_EQ(rows.marks.size(), static_cast<std::size_t>(pair.columns()));
        EXPECT_EQ(std::count(rows.first.begin(), rows.first.end(), '-'), 3);
        EXPECT_EQ(std::count(rows.second.begin(), rows.second.end(), '-'), 0);
        EXPECT_EQ(std::count(rows.marks.begin(), rows.marks.end(), 'x'), 1);
        EXPECT_EQ(std::count(rows.marks.begin(), rows.marks.end(), ' '), 3);
        EXPECT_EQ(withoutGaps(rows.first), lettersAt(*genome, pair.first, pair.length));
        EXPECT_EQ(withoutGaps(rows.second), readAs(lettersAt(*genome, pair.second, pair.secondLength), kind));
        for (std::size_t c = 0; c < rows.marks.size(); ++c) {
            EXPECT_EQ(rows.marks[c] == '|', rows.first[c] == rows.second[c] && rows.first[c] != '-') << c;
            EXPECT_EQ(rows.first[c] == '-', rows.firstPositions[c] == 0) << c;
        }
        // The inverted and mirror kinds read the second copy from its end.
        const bool backwards = kind == RepeatKind::Inverted || kind == RepeatKind::Mirror;
        EXPECT_EQ(rows.secondPositions.front(),
                  backwards ? pair.second + pair.secondLength : pair.second + 1);

        // One family of the two copies, the second read the kind's way.
        ASSERT_TRUE(analysis.families.has_value());
        ASSERT_EQ(analysis.families->size(), 1U);
        const RepeatFamily& family = analysis.families->front();
        ASSERT_EQ(family.copies.size(), 2U);
        EXPECT_TRUE(family.kinds[static_cast<std::size_t>(kind)]);

        // The pane marks the changed letter of both copies and the three inserted ones.
        Highlights highlights;
        highlights.selectGappedPair(kind, pair, alignedColumns(*genome, kind, pair));
        ASSERT_EQ(highlights.copies().size(), 2U);
        EXPECT_EQ(highlights.copies()[1].length, pair.secondLength);
        EXPECT_EQ(highlights.marked().size(), 5U);
        EXPECT_EQ(highlights.firstCopy(), kFirst);
        highlights.selectFamily(family);
        ASSERT_EQ(highlights.copies().size(), 2U);
        // The copy read the other way is painted as a second copy.
        const auto others = std::count_if(highlights.copies().begin(), highlights.copies().end(),
                                          [](const Highlights::Copy& copy) { return copy.second; });
        EXPECT_EQ(others, kind == RepeatKind::Direct ? 0 : 1);
        EXPECT_EQ(highlights.copies()[0].start, kFirst);
        EXPECT_EQ(highlights.copies()[1].length, pair.secondLength);
        ASSERT_EQ(highlights.selectedPairs().size(), 1U);
        EXPECT_TRUE(highlights.marked().empty());
    }
    // Without families asked for, none are made.
    const GappedOutcome bare = analyseWithGaps(plantedGenome(RepeatKind::Direct, 11U), planted(), false);
    EXPECT_FALSE(std::get<std::shared_ptr<const GappedAnalysis>>(bare)->families.has_value());
}

TEST(GappedAnalysis, TheGappedAndTheApproximatePairsReplaceEachOtherAndStayWithTheSequence)
{
    Session session;
    SessionState loaded;
    loaded.genome = plantedGenome(RepeatKind::Direct, 3U);
    loaded.loaded = true;
    session.adopt(loaded);

    JobResult gapped = runJob(session.gappedSearch(planted(), true));
    ASSERT_TRUE(gapped.state.has_value());
    EXPECT_EQ(session.state().gapped, nullptr);  // nothing changes before the result is adopted
    ASSERT_NE(gapped.state->gapped, nullptr);
    const auto found = gapped.state->gapped;
    session.adopt(std::move(*gapped.state));
    EXPECT_EQ(session.state().gapped, found);

    // Read again (the same sequence, no pairs of its own): the pairs stay.
    SessionState again;
    again.genome = plantedGenome(RepeatKind::Direct, 3U);
    again.loaded = true;
    session.adopt(std::move(again));
    EXPECT_EQ(session.state().gapped, found);

    ApproximateSettings ungapped;
    ungapped.minLength = 100;
    ungapped.threads = 1;
    JobResult approximate = runJob(session.approximateSearch(ungapped));
    ASSERT_TRUE(approximate.state.has_value());
    session.adopt(std::move(*approximate.state));
    EXPECT_NE(session.state().approximate, nullptr);
    EXPECT_EQ(session.state().gapped, nullptr) << "one set of pairs at a time";

    gapped = runJob(session.gappedSearch(planted(), false));
    ASSERT_TRUE(gapped.state.has_value());
    session.adopt(std::move(*gapped.state));
    EXPECT_EQ(session.state().approximate, nullptr);
    ASSERT_NE(session.state().gapped, nullptr);
    EXPECT_FALSE(session.state().gapped->families.has_value());

    // Another sequence: its pairs go.
    SessionState other;
    other.genome = plantedGenome(RepeatKind::Direct, 4U);
    other.loaded = true;
    session.adopt(std::move(other));
    EXPECT_EQ(session.state().gapped, nullptr);

    // A stopped search leaves nothing to adopt.
    std::stop_source stop;
    stop.request_stop();
    const JobResult stopped = runJob(session.gappedSearch(planted(), true), stop.get_token());
    EXPECT_FALSE(stopped.state.has_value());
    EXPECT_EQ(stopped.error, JobError::Cancelled);
}

}  // namespace
}  // namespace gappedanalysistest
