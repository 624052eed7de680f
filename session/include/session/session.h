#pragma once

// What the desktop program works on, apart from its windows: the genome, the
// four search results of its last analysis, the features of its GenBank file
// and the length settings. Long operations are jobs: each reads only what it
// was given when it was made, runs on any thread under a stop token and
// produces a whole new state; the owner adopts that state once the job has
// succeeded, so a cancelled or rejected job leaves the current state as it was.

#include "engine/genome.h"
#include "engine/microsatellites.h"
#include "engine/repeatkinds.h"
#include "engine/repeatsnapshot.h"
#include "engine/searchmethod.h"
#include "engine/suffixindex.h"
#include "input/feature.h"
#include "input/records.h"
#include "session/approximateanalysis.h"
#include "session/gappedanalysis.h"
#include "session/highlights.h"
#include "session/tandemanalysis.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <variant>

namespace tessaron {

// Where a new genome comes from. Both kinds of file are read by their
// bytes: a GenBank file is read as GenBank and a FASTA file as FASTA
// whichever command opens them; plain text through GenBankSource is
// rejected as not GenBank. `record` is the 0-based record of a file of
// several; `input`, when set, is the file already read (so it is not read
// again), else the job reads `path`.
struct FileSource {
    FileSource(std::filesystem::path file, std::size_t chosen = 0, std::shared_ptr<const InputFile> read = {})
        : path(std::move(file)), record(chosen), input(std::move(read))
    {
    }
    std::filesystem::path path;
    std::size_t record = 0;
    std::shared_ptr<const InputFile> input;
};
struct GenBankSource : FileSource {
    using FileSource::FileSource;
};
struct TextSource : FileSource {
    using FileSource::FileSource;
};
struct RandomSource {
    std::array<std::int64_t, 4> counts{};  // A, T, C, G
    std::optional<std::uint32_t> seed;     // none: seeded with the time
};
using GenomeSource = std::variant<GenBankSource, TextSource, RandomSource>;

// The step a job has reached, with how far it has got in that step (0..1).
// SearchingApart: a search run apart from the analysis (the approximate
// repeats, the microsatellites again), which is the whole of its job.
enum class JobStep { Reading, Creating, Indexing, Searching, SearchingApart };
struct JobProgress {
    JobStep step = JobStep::Reading;
    RepeatKind kind = RepeatKind::Direct;  // the search under way (JobStep::Searching)
    double fraction = 0.0;
};

// What a job is told while it runs; progress is called from the job's thread.
struct JobControl {
    std::stop_token stop;
    std::function<void(const JobProgress&)> progress;

    [[nodiscard]] bool stopRequested() const { return stop.stop_requested(); }
    void report(const JobProgress& reached) const
    {
        if (progress) {
            progress(reached);
        }
    }
};

// Why a job ended without its whole result.
enum class JobError {
    Cancelled,      // the owner asked it to stop: nothing to adopt
    NotGenBank,     // the GenBank reader rejected the file (see JobResult::message): nothing to adopt
    ReadFailed,     // a text file could not be read (see JobResult::message): nothing to adopt
    RandomRefused,  // the random composition cannot be made: nothing to adopt
    OutOfMemory,    // the memory ran out; a genome read before that is adopted with the results found
    TooManyPairs,   // a search that stores its pairs would find more than the genome may keep (told
                    // before they are stored): nothing to adopt, the results on screen stay
};

// The results of one analysis, in the order of kKindOrder; an analysis that
// ran out of memory keeps the kinds found before the failing one.
struct Analysis {
    std::array<std::shared_ptr<const RepeatSnapshot>, kRepeatKindCount> snapshots;

    [[nodiscard]] const std::shared_ptr<const RepeatSnapshot>& of(RepeatKind kind) const
    {
        return snapshots[static_cast<std::size_t>(kind)];
    }
    // All four kinds are there.
    [[nodiscard]] bool hasAllKinds() const;
};

// Everything a job replaces at once.
struct SessionState {
    std::shared_ptr<const Genome> genome;  // never null
    // Its suffix index (the motif search reads it); null until one is built.
    std::shared_ptr<const SuffixIndex> index;
    std::optional<FeatureList> features;  // the last GenBank file's
    Analysis analysis;
    bool loaded = false;                       // a sequence was loaded or made
    RecordFormat format = RecordFormat::Text;  // how it was read (Text too for a random one)
    std::string name;  // of the sequence in titles: the record's name, else the file's; "random"
    // Its id in exports, as the command line gives it: ACCESSION.VERSION of
    // GenBank, the FASTA id, else `name`.
    std::string seqid;
    // The microsatellites of an analysis that got through its four searches.
    std::shared_ptr<const MicrosatelliteList> microsatellites;
    // The approximate search's pairs of this sequence; null before a search.
    // Searched apart from the analysis, they stay while the same sequence is
    // analysed again or read again, and go with a new one (Session::adopt).
    std::shared_ptr<const ApproximateAnalysis> approximate;
    std::filesystem::path file;  // the file read, and its record; empty for a random sequence
    std::size_t record = 0;
    // The gapped search's pairs (and families), kept as `approximate` is. A
    // search of either kind replaces the other's pairs: one set is shown.
    std::shared_ptr<const GappedAnalysis> gapped;
    // The tandem arrays of this sequence; null before a search. Searched
    // apart from the analysis, kept and dropped as `approximate` is.
    std::shared_ptr<const TandemAnalysis> tandem;
};

struct JobResult {
    std::optional<SessionState> state;  // what to adopt; none when nothing changes
    std::optional<JobError> error;      // what went wrong, if anything
    std::string message;                // the reader's words for ReadFailed and NotGenBank
};

using Job = std::function<JobResult(const JobControl&)>;

class Session {
public:
    // One search of one kind on the prepared genome; PreparedSearch::run
    // unless a test installs another.
    using Searcher = std::function<SnapshotResult(const PreparedSearch&, RepeatKind, const SearchControl&)>;

    Session();

    [[nodiscard]] const SessionState& state() const { return state_; }
    [[nodiscard]] const Genome& genome() const { return *state_.genome; }
    [[nodiscard]] const std::shared_ptr<const Genome>& sharedGenome() const { return state_.genome; }
    // The genome's suffix index; null before a load and when it could not be built.
    [[nodiscard]] const std::shared_ptr<const SuffixIndex>& suffixIndex() const { return state_.index; }
    [[nodiscard]] const std::optional<FeatureList>& features() const { return state_.features; }
    [[nodiscard]] const std::shared_ptr<const RepeatSnapshot>& snapshot(RepeatKind kind) const
    {
        return state_.analysis.of(kind);
    }
    [[nodiscard]] bool analysed() const { return state_.analysis.hasAllKinds(); }
    [[nodiscard]] bool loaded() const { return state_.loaded; }

    [[nodiscard]] int minimum() const { return minimum_; }
    [[nodiscard]] int maximum() const { return maximum_; }
    // New length settings for the next jobs. Before any load the empty genome
    // takes them at once; a loaded genome keeps its own until reanalysis().
    void setLengths(int minimum, int maximum);
    // The pair limit that every genome made from now on carries.
    void setPairLimit(std::int64_t limit);
    [[nodiscard]] std::int64_t pairLimit() const { return pairLimit_; }
    void setSearcher(Searcher searcher);
    // How the next jobs find the repeats.
    void setMethod(SearchMethod method) { method_ = method; }
    [[nodiscard]] SearchMethod method() const { return method_; }
    // The microsatellite settings of the next jobs.
    void setMicrosatelliteSettings(const MicrosatelliteSettings& settings)
    {
        microsatelliteSettings_ = settings;
    }
    [[nodiscard]] const MicrosatelliteSettings& microsatelliteSettings() const
    {
        return microsatelliteSettings_;
    }
    [[nodiscard]] const std::shared_ptr<const MicrosatelliteList>& microsatellites() const
    {
        return state_.microsatellites;
    }

    // A job that reads or makes a genome, indexes it and analyses it.
    [[nodiscard]] Job load(GenomeSource source) const;
    // A job that analyses the loaded sequence again with the current lengths.
    [[nodiscard]] Job reanalysis() const;
    // A job that searches the approximate repeats of the loaded genome with
    // `settings`; its state is the current one with those pairs. It fails
    // with Cancelled or OutOfMemory, leaving nothing to adopt.
    [[nodiscard]] Job approximateSearch(const ApproximateSettings& settings) const;
    // A job that searches the gapped repeats of the loaded genome with
    // `settings` (and their families when asked); its state is the current
    // one with those pairs in place of any approximate ones. It fails with
    // Cancelled, OutOfMemory or TooManyPairs, leaving nothing to adopt.
    [[nodiscard]] Job gappedSearch(const GappedSettings& settings, bool families) const;
    // A job that finds the microsatellites of the loaded genome again with
    // `settings`; its state is the current one with them in place of the
    // ones before. It fails as approximateSearch does.
    [[nodiscard]] Job microsatelliteSearch(const MicrosatelliteSettings& settings) const;
    // A job that searches the tandem arrays of the loaded genome with
    // `settings` (valid ones); its state is the current one with them. It
    // fails as approximateSearch does.
    [[nodiscard]] Job tandemSearch(const TandemSettings& settings) const;

    // Takes the state a job made; the highlights of a genome before go. The
    // results searched apart from the analysis (see SessionState) stay when
    // the new state's genome is the same sequence and has none of its own.
    void adopt(SessionState state);
    // Forgets the genome, features, results and highlights: an empty genome
    // with the current settings and nothing loaded.
    void reset();

    // The copies highlighted in the genome: the selected word's or a motif's.
    [[nodiscard]] Highlights& highlights() { return highlights_; }
    [[nodiscard]] const Highlights& highlights() const { return highlights_; }

private:
    [[nodiscard]] std::shared_ptr<Genome> emptyGenome() const;

    SessionState state_;
    int minimum_ = 8;
    int maximum_ = 30;
    std::int64_t pairLimit_ = Genome::kDefaultPairLimit;
    Searcher searcher_;
    SearchMethod method_ = SearchMethod::Trie;
    MicrosatelliteSettings microsatelliteSettings_;
    Highlights highlights_;
};

}  // namespace tessaron
