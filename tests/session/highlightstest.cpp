// The copies to highlight: a selected word's pairs, a motif on one or both
// strands, and the steps from copy to copy round the circle.

#include "session/highlights.h"
#include "session/session.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <variant>
#include <vector>

using namespace tessaron;
using Copy = Highlights::Copy;
using Step = Highlights::Step;

namespace {

std::shared_ptr<const SuffixIndex> indexed(const std::string& text)
{
    auto genome = std::make_shared<Genome>();
    EXPECT_TRUE(genome->allocate(static_cast<std::int64_t>(text.size()), 2, 6));
    genome->appendText(text.c_str());
    genome->setLengthBounds(2, 6);
    SuffixIndexResult built = buildIndex(genome);
    EXPECT_TRUE(std::holds_alternative<std::shared_ptr<const SuffixIndex>>(built));
    return std::get<std::shared_ptr<const SuffixIndex>>(std::move(built));
}

TEST(Highlights, AWordShowsBothCopiesOfEveryPairAndStepsRoundTheCircle)
{
    Highlights highlights;
    EXPECT_EQ(highlights.next(0), std::nullopt);
    EXPECT_EQ(highlights.firstCopy(), 0);

    Repeat repeat;
    repeat.transformed = true;
    repeat.length = 5;
    repeat.pairCount = 2;
    highlights.selectWord(RepeatKind::Mirror, repeat, {{300, 40}, {120, 300}});
    ASSERT_NE(highlights.selectedRepeat(), nullptr);
    EXPECT_EQ(highlights.selectedRepeat()->length, 5);
    EXPECT_EQ(highlights.kind(), RepeatKind::Mirror);
    EXPECT_EQ(highlights.copies(),
              (std::vector<Copy>{{300, 5, false}, {40, 5, true}, {120, 5, false}, {300, 5, true}}));
    EXPECT_EQ(highlights.starts(), (std::vector<int>{40, 120, 300}));  // each start once
    EXPECT_EQ(highlights.firstCopy(), 300);

    EXPECT_EQ(highlights.next(40), (Step{120, 2, 3}));
    EXPECT_EQ(highlights.next(300), (Step{40, 1, 3}));  // round to the first
    EXPECT_EQ(highlights.previous(120), (Step{40, 1, 3}));
    EXPECT_EQ(highlights.previous(40), (Step{300, 3, 3}));  // round to the last
    EXPECT_EQ(highlights.previous(0), (Step{300, 3, 3}));

    highlights.clear();
    EXPECT_EQ(highlights.selectedRepeat(), nullptr);
    EXPECT_TRUE(highlights.copies().empty());
    EXPECT_EQ(highlights.previous(10), std::nullopt);
}

TEST(Highlights, AMotifIsFoundOnOneOrBothStrands)
{
    Highlights highlights;
    // In the index's order; the one across the end counts too.
    Highlights::MotifCounts counts = highlights.findMotif(*indexed("GATTACAGGGGACATTAG"), "GG", false);
    EXPECT_EQ(counts.forward, 4U);
    EXPECT_EQ(counts.reverse, 0U);
    EXPECT_EQ(highlights.copies(),
              (std::vector<Copy>{{17, 2, false}, {9, 2, false}, {8, 2, false}, {7, 2, false}}));
    EXPECT_EQ(highlights.starts(), (std::vector<int>{7, 8, 9, 17}));
    EXPECT_EQ(highlights.selectedRepeat(), nullptr);

    // The other strand in the colours of an inverted copy.
    const std::shared_ptr<const SuffixIndex> index = indexed("AAAACCCCGGGGTTTT");
    const SuffixIndex& strands = *index;
    counts = highlights.findMotif(strands, "AAC", true);
    EXPECT_EQ(counts.forward, 1U);
    EXPECT_EQ(counts.reverse, 1U);
    EXPECT_EQ(highlights.kind(), RepeatKind::Inverted);
    EXPECT_EQ(highlights.copies(), (std::vector<Copy>{{2, 3, false}, {11, 3, true}}));

    // A motif that is its own reverse complement is found once.
    counts = highlights.findMotif(strands, "CCGG", true);
    EXPECT_EQ(counts.forward, 1U);
    EXPECT_EQ(counts.reverse, 0U);
    EXPECT_EQ(highlights.findMotif(strands, "GATTACA", true).forward, 0U);
    EXPECT_TRUE(highlights.copies().empty());
    EXPECT_EQ(Highlights::reverseComplement("AACGTN"), "NACGTT");
}

TEST(Highlights, ANewGenomeTakesTheHighlightsAway)
{
    Session session;
    session.setLengths(2, 4);
    JobResult result = session.load(RandomSource{{20, 20, 20, 20}, 7U})(JobControl{});
    ASSERT_TRUE(result.state.has_value());
    session.adopt(std::move(*result.state));
    ASSERT_NE(session.suffixIndex(), nullptr);
    session.highlights().findMotif(*session.suffixIndex(), "AC", false);
    ASSERT_FALSE(session.highlights().copies().empty());

    result = session.reanalysis()(JobControl{});
    ASSERT_TRUE(result.state.has_value());
    session.adopt(std::move(*result.state));
    EXPECT_TRUE(session.highlights().copies().empty());
    ASSERT_NE(session.suffixIndex(), nullptr);
    session.highlights().findMotif(*session.suffixIndex(), "AC", false);
    session.reset();
    EXPECT_TRUE(session.highlights().copies().empty());
}

TEST(Highlights, AMicrosatelliteIsOneCopyOrTwoAcrossTheOrigin)
{
    Highlights highlights;
    Microsatellite across{95, 2, "AT", 5, 10, "AT/AT", 0};
    highlights.selectMicrosatellite(across, 100);
    EXPECT_EQ(highlights.copies(), (std::vector<Copy>{{95, 5, false}, {0, 5, false}}));
    EXPECT_EQ(highlights.firstCopy(), 95);
    EXPECT_EQ(highlights.selectedRepeat(), nullptr);
    ASSERT_NE(highlights.selectedMicrosatellite(), nullptr);
    EXPECT_EQ(highlights.next(95), (Step{0, 1, 2}));

    Microsatellite inside = across;
    inside.start = 10;
    highlights.selectMicrosatellite(inside, 100);
    EXPECT_EQ(highlights.copies(), (std::vector<Copy>{{10, 10, false}}));
    highlights.clear();
    EXPECT_EQ(highlights.selectedMicrosatellite(), nullptr);
    EXPECT_EQ(highlights.firstCopy(), 0);
}

}  // namespace
