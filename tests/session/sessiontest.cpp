// The session's jobs: what they make, what they report, and that the state a
// session holds changes only when a job's result is adopted.

#include "session/session.h"

#include "engine/completesearch.h"
#include "engine/repeatlist.h"
#include "input/genbankreader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stop_token>
#include <vector>

using namespace tessaron;

namespace {

const std::filesystem::path kMito = TESSARON_MITO_GENBANK;

JobResult run(const Job& job, std::stop_token stop = {}, std::vector<JobProgress>* seen = nullptr)
{
    JobControl control{std::move(stop), [seen](const JobProgress& progress) {
                           if (seen != nullptr) {
                               seen->push_back(progress);
                           }
                       }};
    return job(control);
}

// Every pair of a snapshot, in order, against the stored list of the same search.
void expectSameAsList(const RepeatSnapshot& snapshot, const RepeatList& list)
{
    ASSERT_EQ(snapshot.slotCount(), list.slotCount());
    EXPECT_EQ(snapshot.minLength(), list.minLength());
    EXPECT_EQ(snapshot.total(), list.total());
    for (int slot = 0; slot < list.slotCount(); ++slot) {
        const auto words = snapshot.words(slot);
        ASSERT_EQ(words.size(), list.slot(slot).size()) << slot;
        for (std::size_t w = 0; w < words.size(); ++w) {
            const auto expected = list.pairs(list.slot(slot)[w]);
            const std::vector<RepeatPair> pairs = snapshot.pairs(slot, words[w]);
            ASSERT_TRUE(std::equal(pairs.begin(), pairs.end(), expected.begin(), expected.end()))
                << "slot " << slot << " word " << w;
        }
    }
}

TEST(Session, AnalysisOfAGenBankFileEqualsTheStoredLists)
{
    Session session;
    session.setLengths(8, 14);
    std::vector<JobProgress> seen;
    JobResult result = run(session.load(GenBankSource{kMito}), {}, &seen);
    ASSERT_FALSE(result.error.has_value());
    ASSERT_TRUE(result.state.has_value());
    EXPECT_FALSE(session.loaded());  // nothing changes before the result is adopted
    session.adopt(std::move(*result.state));

    ASSERT_TRUE(session.loaded());
    ASSERT_TRUE(session.analysed());
    ASSERT_TRUE(session.features().has_value());
    EXPECT_EQ(session.features()->front().name, "sequence");
    ASSERT_NE(session.suffixIndex(), nullptr);
    EXPECT_EQ(&session.suffixIndex()->genome(), &session.genome());

    auto genome = std::make_shared<Genome>();
    ASSERT_TRUE(readGenBank(kMito, *genome, 8, 14).has_value());
    const auto expected = std::get<std::shared_ptr<const SuffixIndex>>(buildIndex(genome));
    EXPECT_EQ(session.genome().sequence(), genome->sequence());
    for (const RepeatKind kind : kKindOrder) {
        SCOPED_TRACE(kindName(kind));
        const auto list =
            kind == RepeatKind::Direct ? expected->findDirectRepeats() : expected->findRepeats(kind);
        ASSERT_NE(list, nullptr);
        ASSERT_NE(session.snapshot(kind), nullptr);
        EXPECT_EQ(session.snapshot(kind)->kind(), kind);
        expectSameAsList(*session.snapshot(kind), *list);
    }

    // Reading, indexing, then each search in the order of the kinds.
    std::vector<JobStep> steps;
    std::vector<RepeatKind> searched;
    for (const JobProgress& progress : seen) {
        if (steps.empty() || steps.back() != progress.step) {
            steps.push_back(progress.step);
        }
        if (progress.step == JobStep::Searching && (searched.empty() || searched.back() != progress.kind)) {
            searched.push_back(progress.kind);
        }
    }
    EXPECT_EQ(steps, (std::vector<JobStep>{JobStep::Reading, JobStep::Indexing, JobStep::Searching}));
    EXPECT_EQ(searched, std::vector<RepeatKind>(kKindOrder.begin(), kKindOrder.end()));
}

TEST(Session, TheCompleteSearchGivesTheEngineResultsAndKeepsWhatFitsThePairLimit)
{
    Session session;
    session.setLengths(8, 14);
    session.setMethod(SearchMethod::Complete);
    std::vector<JobProgress> seen;
    JobResult result = run(session.load(GenBankSource{kMito}), {}, &seen);
    ASSERT_FALSE(result.error.has_value());
    session.adopt(std::move(*result.state));
    ASSERT_TRUE(session.analysed());
    EXPECT_NE(session.suffixIndex(), nullptr);  // the motif search reads the suffix index
    for (const RepeatKind kind : kKindOrder) {
        SCOPED_TRACE(kindName(kind));
        const auto expected = completeSearch(session.sharedGenome(), kind);
        ASSERT_TRUE(std::holds_alternative<std::shared_ptr<const RepeatSnapshot>>(expected));
        const auto list = materialize(*std::get<std::shared_ptr<const RepeatSnapshot>>(expected));
        ASSERT_TRUE(std::holds_alternative<std::unique_ptr<RepeatList>>(list));
        expectSameAsList(*session.snapshot(kind), *std::get<std::unique_ptr<RepeatList>>(list));
    }
    // The indexing step's progress never goes back while both indexes are made.
    double reached = 0;
    for (const JobProgress& progress : seen) {
        if (progress.step == JobStep::Indexing) {
            EXPECT_GE(progress.fraction, reached);
            reached = progress.fraction;
        }
    }

    // More pairs than a genome may keep: refused before the search that
    // stores them runs, with nothing to adopt, so the results adopted before
    // stay. A limit no kind reaches changes nothing.
    const struct {
        std::int64_t limit;
        bool refused;
    } limits[] = {{100, true}, {session.snapshot(RepeatKind::Direct)->total() - 1, true}, {1 << 27, false}};
    for (const auto& [limit, refused] : limits) {
        SCOPED_TRACE(limit);
        int storing = 0;
        session.setSearcher(
            [&storing](const PreparedSearch& search, RepeatKind kind, const SearchControl& control) {
                ++storing;
                return search.run(kind, SnapshotDetail::Words, control);
            });
        session.setPairLimit(limit);
        result = run(session.reanalysis());
        EXPECT_EQ(result.error == JobError::TooManyPairs, refused);
        EXPECT_EQ(result.state.has_value(), !refused);
        EXPECT_EQ(storing, refused ? 0 : 4);
    }
    EXPECT_TRUE(session.analysed());
}

TEST(Session, ACancelledJobLeavesNothingToAdopt)
{
    Session session;
    ASSERT_TRUE(session.load(GenBankSource{kMito})(JobControl{}).state.has_value());

    // Stopped before it starts, and stopped as the mirror search begins.
    std::stop_source early;
    early.request_stop();
    EXPECT_EQ(run(session.load(GenBankSource{kMito}), early.get_token()).error, JobError::Cancelled);

    std::stop_source late;
    JobControl control{late.get_token(), [&late](const JobProgress& progress) {
                           if (progress.step == JobStep::Searching && progress.kind == RepeatKind::Mirror) {
                               late.request_stop();
                           }
                       }};
    const JobResult result = session.reanalysis()(control);
    EXPECT_EQ(result.error, JobError::Cancelled);
    EXPECT_FALSE(result.state.has_value());
}

TEST(Session, RejectedSourcesLeaveNothingToAdopt)
{
    const auto folder = std::filesystem::temp_directory_path() / "tessaron_session_test";
    std::filesystem::create_directories(folder);
    const auto plain = folder / "plain.txt";
    std::ofstream(plain) << "header\nACGTACGT\n";  // plain text: no LOCUS, no FASTA header
    const auto binary = folder / "binary.txt";
    std::ofstream(binary) << std::string(
        "\x7F"
        "ELF\x02\x01\x01\0\0\0ACGT",
        14);
    const auto empty = folder / "empty.txt";
    std::ofstream{empty};

    Session session;
    const struct {
        const char* name;
        GenomeSource source;
        JobError error;
        const char* cause;  // in the message, which names the file too
    } cases[] = {
        {"text as GenBank", GenBankSource{plain}, JobError::NotGenBank, "no line begins with LOCUS"},
        {"missing text file", TextSource{folder / "missing.txt"}, JobError::ReadFailed, "No such file"},
        {"binary as text", TextSource{binary}, JobError::ReadFailed, "binary data"},
        {"empty file", TextSource{empty}, JobError::ReadFailed, "the file is empty"},
        {"total past 32 bits", RandomSource{{4294967295LL, 1, 0, 0}, 1U}, JobError::RandomRefused, ""},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.name);
        const JobResult result = run(session.load(each.source));
        EXPECT_EQ(result.error, each.error);
        EXPECT_FALSE(result.state.has_value());
        EXPECT_NE(result.message.find(each.cause), std::string::npos) << result.message;
        if (*each.cause != '\0') {
            EXPECT_NE(result.message.find(folder.string()), std::string::npos) << result.message;
        }
    }
    std::filesystem::remove_all(folder);
}

TEST(Session, TheRecordAndTheFormatComeWithTheSource)
{
    const std::filesystem::path turtles = std::filesystem::path(TESSARON_TEST_DATA) / "turtle_mito_2rec.gb";
    Session session;
    session.setLengths(12, 13);
    const struct {
        const char* name;
        GenomeSource source;
        const char* title;
    } cases[] = {
        {"second record", GenBankSource{turtles, 1, nullptr},
         "mitochondrion Lepidochelys olivacea (Pacific ridley)"},
        {"GenBank through the text command", TextSource{turtles, 0, nullptr},
         "mitochondrion Chelonia mydas (Green sea turtle)"},
        {"bytes read before",
         TextSource{"unread", 1, std::make_shared<const InputFile>(InputFile::read(turtles))},
         "mitochondrion Lepidochelys olivacea (Pacific ridley)"},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.name);
        const JobResult result = run(session.load(each.source));
        ASSERT_TRUE(result.state.has_value());
        EXPECT_EQ(result.state->genome->title(), each.title);
        EXPECT_EQ(result.state->format, RecordFormat::GenBank);
        EXPECT_TRUE(result.state->features.has_value());
    }
    EXPECT_EQ(run(session.load(GenBankSource{turtles, 2, nullptr})).error, JobError::NotGenBank);
}

TEST(Session, OutOfMemoryKeepsTheGenomeAndTheKindsFoundBefore)
{
    Session session;
    session.setSearcher([](const PreparedSearch& search, RepeatKind kind, const SearchControl& control) {
        if (kind == RepeatKind::Mirror) {
            return SnapshotResult{SearchFailure::PairLimit};
        }
        return search.run(kind, SnapshotDetail::Words, control);
    });
    JobResult result = run(session.load(RandomSource{{300, 300, 200, 200}, 7U}));
    EXPECT_EQ(result.error, JobError::OutOfMemory);
    ASSERT_TRUE(result.state.has_value());
    EXPECT_EQ(result.state->genome->length(), 1000);
    EXPECT_TRUE(result.state->loaded);
    const Analysis& analysis = result.state->analysis;
    EXPECT_NE(analysis.of(RepeatKind::Direct), nullptr);
    EXPECT_NE(analysis.of(RepeatKind::Inverted), nullptr);
    EXPECT_EQ(analysis.of(RepeatKind::Mirror), nullptr);
    EXPECT_EQ(analysis.of(RepeatKind::Complementary), nullptr);  // not searched
    EXPECT_FALSE(analysis.hasAllKinds());
}

TEST(Session, NewLengthsApplyToTheEmptyGenomeAtOnceAndToALoadedOneOnReanalysis)
{
    Session session;
    session.setLengths(10, 12);
    EXPECT_EQ(session.genome().minLength(), 10);
    EXPECT_EQ(session.genome().lengthBound(), 13);

    JobResult loaded = run(session.load(RandomSource{{500, 500, 500, 500}, 3U}));
    ASSERT_TRUE(loaded.state.has_value());
    session.adopt(std::move(*loaded.state));
    const auto before = session.sharedGenome();
    const auto direct = session.snapshot(RepeatKind::Direct);

    session.setLengths(5, 6);
    EXPECT_EQ(session.genome().minLength(), 10);  // the loaded genome keeps its lengths
    JobResult again = run(session.reanalysis());
    ASSERT_FALSE(again.error.has_value());
    EXPECT_EQ(session.sharedGenome(), before);  // untouched until adopted
    EXPECT_EQ(session.snapshot(RepeatKind::Direct), direct);
    session.adopt(std::move(*again.state));
    EXPECT_EQ(session.genome().sequence(), before->sequence());
    EXPECT_EQ(session.genome().minLength(), 5);
    EXPECT_EQ(session.snapshot(RepeatKind::Direct)->minLength(), 5);
    EXPECT_EQ(session.snapshot(RepeatKind::Direct)->slotCount(), 2);

    session.reset();
    EXPECT_FALSE(session.loaded());
    EXPECT_EQ(session.genome().length(), 0);
    EXPECT_EQ(session.snapshot(RepeatKind::Direct), nullptr);
}

// The state of a random genome of 2,000 bases made from `seed`, analysed.
SessionState randomState(Session& session, std::uint32_t seed)
{
    JobResult result = run(session.load(RandomSource{{500, 500, 500, 500}, seed}));
    EXPECT_TRUE(result.state.has_value());
    return result.state ? std::move(*result.state) : SessionState{};
}

TEST(Session, TheApproximatePairsStayWithTheSameSequenceAndGoWithANewOne)
{
    struct Case {
        const char* name;
        std::uint32_t nextSeed;  // the same seed makes the same sequence in a new genome
        bool ownPairs;           // the new state brings pairs of its own
        bool kept;
    };
    const std::vector<Case> cases{
        {"the same sequence analysed or read again", 5U, false, true},
        {"a new sequence", 6U, false, false},
        {"a state with pairs of its own", 5U, true, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        Session session;
        session.setLengths(8, 12);
        session.adopt(randomState(session, 5U));
        const auto pairs = std::make_shared<const ApproximateAnalysis>(
            ApproximateAnalysis{session.sharedGenome(), {}, {}, {}});
        SessionState withPairs = session.state();
        withPairs.approximate = pairs;
        session.adopt(std::move(withPairs));
        ASSERT_EQ(session.state().approximate, pairs);

        SessionState next = randomState(session, test.nextSeed);
        const auto own =
            std::make_shared<const ApproximateAnalysis>(ApproximateAnalysis{next.genome, {}, {}, {}});
        if (test.ownPairs) {
            next.approximate = own;
        }
        session.adopt(std::move(next));
        EXPECT_EQ(session.state().approximate, test.kept ? pairs : (test.ownPairs ? own : nullptr));
    }
    // Forgetting the genome forgets its pairs.
    Session session;
    SessionState state = randomState(session, 5U);
    state.approximate =
        std::make_shared<const ApproximateAnalysis>(ApproximateAnalysis{state.genome, {}, {}, {}});
    session.adopt(std::move(state));
    session.reset();
    EXPECT_EQ(session.state().approximate, nullptr);
}

TEST(Session, TheApproximateSearchIsAJobWhoseStateKeepsTheGenomeAndItsHighlights)
{
    Session session;
    session.setLengths(8, 12);
    session.adopt(randomState(session, 9U));
    const auto index = session.suffixIndex();
    ASSERT_NE(index, nullptr);
    ASSERT_GT(session.highlights().findMotif(*index, "ACGT", false).forward, 0);

    ApproximateSettings settings;
    settings.minLength = 12;
    settings.identity = 80.0;
    settings.threads = 1;
    std::vector<JobProgress> seen;
    JobResult result = run(session.approximateSearch(settings), {}, &seen);
    ASSERT_TRUE(result.state.has_value());
    EXPECT_FALSE(result.error.has_value());
    EXPECT_EQ(session.state().approximate, nullptr);  // nothing changes before the result is adopted
    ASSERT_NE(result.state->approximate, nullptr);
    EXPECT_EQ(result.state->approximate->genome, session.sharedGenome());
    for (const JobProgress& progress : seen) {
        EXPECT_EQ(progress.step, JobStep::SearchingApart);
    }
    const auto found = result.state->approximate;
    session.adopt(std::move(*result.state));
    EXPECT_EQ(session.state().approximate, found);
    EXPECT_TRUE(session.analysed());
    EXPECT_FALSE(session.highlights().copies().empty()) << "the same genome keeps its highlights";

    // The microsatellites found again under other settings replace the ones
    // before; the approximate pairs stay.
    MicrosatelliteSettings looser = session.microsatelliteSettings();
    looser.minimumRepeats = {3, 2, 2, 2, 2, 2};
    JobResult again = run(session.microsatelliteSearch(looser));
    ASSERT_TRUE(again.state.has_value());
    ASSERT_NE(again.state->microsatellites, nullptr);
    EXPECT_EQ(*again.state->microsatellites,
              std::get<MicrosatelliteList>(findMicrosatellites(session.genome(), looser)));
    session.adopt(std::move(*again.state));
    EXPECT_EQ(session.state().approximate, found);

    // A stopped search leaves nothing to adopt.
    std::stop_source stop;
    stop.request_stop();
    for (const Job& job : {session.approximateSearch(settings), session.microsatelliteSearch(looser)}) {
        const JobResult stopped = run(job, stop.get_token());
        EXPECT_FALSE(stopped.state.has_value());
        EXPECT_EQ(stopped.error, JobError::Cancelled);
    }
}

// The tandem arrays follow the rule of the approximate pairs: kept while
// the same sequence is analysed or read again, gone with a new one.
TEST(Session, TheTandemArraysStayWithTheSameSequenceAndGoWithANewOne)
{
    struct Case {
        const char* name;
        std::uint32_t nextSeed;
        bool ownArrays;
        bool kept;
    };
    const std::vector<Case> cases{
        {"the same sequence analysed or read again", 5U, false, true},
        {"a new sequence", 6U, false, false},
        {"a state with arrays of its own", 5U, true, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        Session session;
        session.setLengths(8, 12);
        session.adopt(randomState(session, 5U));
        JobResult searched = run(session.tandemSearch(TandemSettings{}));
        ASSERT_TRUE(searched.state.has_value());
        const auto arrays = searched.state->tandem;
        ASSERT_NE(arrays, nullptr);
        session.adopt(std::move(*searched.state));

        SessionState next = randomState(session, test.nextSeed);
        const auto own = std::make_shared<const TandemAnalysis>(TandemAnalysis{next.genome, {}, {}});
        if (test.ownArrays) {
            next.tandem = own;
        }
        session.adopt(std::move(next));
        EXPECT_EQ(session.state().tandem, test.kept ? arrays : (test.ownArrays ? own : nullptr));
    }
}

TEST(Session, TheTandemSearchIsAJobThatFindsTheEnginesArraysAndKeepsTheRest)
{
    Session session;
    session.setLengths(8, 12);
    session.adopt(randomState(session, 9U));
    ASSERT_GT(session.highlights().findMotif(*session.suffixIndex(), "ACGT", false).forward, 0);
    TandemSettings settings;
    settings.minimumScore = 20;
    std::vector<JobProgress> seen;
    JobResult result = run(session.tandemSearch(settings), {}, &seen);
    ASSERT_TRUE(result.state.has_value());
    EXPECT_FALSE(result.error.has_value());
    EXPECT_EQ(session.state().tandem, nullptr);  // nothing changes before the result is adopted
    const auto found = result.state->tandem;
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->genome, session.sharedGenome());
    EXPECT_EQ(found->settings.minimumScore, 20);
    EXPECT_EQ(found->arrays, std::get<TandemRepeatList>(findTandemRepeats(session.genome(), settings)));
    for (const JobProgress& progress : seen) {
        EXPECT_EQ(progress.step, JobStep::SearchingApart);
    }
    session.adopt(std::move(*result.state));
    EXPECT_EQ(session.state().tandem, found);
    EXPECT_FALSE(session.highlights().copies().empty()) << "the same genome keeps its highlights";

    // The microsatellites found again keep the arrays; a stopped search leaves nothing to adopt.
    JobResult again = run(session.microsatelliteSearch(session.microsatelliteSettings()));
    ASSERT_TRUE(again.state.has_value());
    session.adopt(std::move(*again.state));
    EXPECT_EQ(session.state().tandem, found);
    std::stop_source stop;
    stop.request_stop();
    const JobResult stopped = run(session.tandemSearch(settings), stop.get_token());
    EXPECT_FALSE(stopped.state.has_value());
    EXPECT_EQ(stopped.error, JobError::Cancelled);
    session.reset();
    EXPECT_EQ(session.state().tandem, nullptr);
}

}  // namespace
