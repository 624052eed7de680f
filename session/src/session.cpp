#include "session/session.h"

#include "input/filebytes.h"
#include "input/filename.h"
#include "input/genbankreader.h"
#include "input/readerror.h"
#include "input/records.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <utility>

namespace tessaron {

namespace {

// What every job carries from the session that made it.
struct JobSettings {
    int minimum = 8;
    int maximum = 30;
    std::int64_t pairLimit = Genome::kDefaultPairLimit;
    std::string title;
    Session::Searcher searcher;
    SearchMethod method = SearchMethod::Trie;
    MicrosatelliteSettings microsatellites;
};

JobResult failed(JobError error, std::string message = {})
{
    return JobResult{std::nullopt, error, std::move(message)};
}

// For a method that stores its pairs, whether the kind has more pairs than
// the genome may keep, found by counting them first: the search that keeps
// them would take memory in proportion before it found out (about 16 bytes a
// pair, 2 GB at the default limit). A genome too short to reach the limit on
// any sequence is not counted. PairLimit when over it, Cancelled when stopped.
std::optional<SearchFailure> countedOverLimit(const PreparedSearch& search, RepeatKind kind,
                                              const JobSettings& settings, const Genome& genome,
                                              const SearchControl& step)
{
    const auto length = static_cast<std::int64_t>(genome.length());
    if (!methodInfo(settings.method).storesPairs || length * (length - 1) / 2 <= genome.pairLimit()) {
        return std::nullopt;
    }
    const SnapshotResult counted =
        runStep(step, [&] { return search.run(kind, SnapshotDetail::Counts, step); });
    if (const auto* failure = std::get_if<SearchFailure>(&counted)) {
        // Out of memory while counting: the search proper will tell.
        return *failure == SearchFailure::Cancelled ? std::optional(SearchFailure::Cancelled) : std::nullopt;
    }
    if (std::get<std::shared_ptr<const RepeatSnapshot>>(counted)->total() > genome.pairLimit()) {
        return SearchFailure::PairLimit;
    }
    return std::nullopt;
}

// Index and the four searches of a filled genome; out of memory keeps what
// was made before it, a cancel keeps nothing.
JobResult indexAndAnalyse(std::shared_ptr<Genome> filled, std::optional<FeatureList> features,
                          const JobSettings& settings, const JobControl& control)
{
    if (control.stopRequested()) {
        return failed(JobError::Cancelled);
    }
    control.report({JobStep::Indexing, RepeatKind::Direct, 0.0});
    // Named members: a state made here never misses one added later.
    SessionState state;
    state.genome = std::move(filled);
    state.features = std::move(features);
    state.loaded = true;
    // The build stops within milliseconds of a cancel and tells how far it
    // is. The motif search reads the suffix index, whatever the method.
    auto prepared =
        prepareSearch(state.genome, settings.method, kKindOrder,
                      SearchControl{control.stop,
                                    [&control](double fraction) {
                                        control.report({JobStep::Indexing, RepeatKind::Direct, fraction});
                                    }},
                      PrepareOptions{true, 0, nullptr});
    if (const auto* failure = std::get_if<SearchFailure>(&prepared)) {
        if (*failure == SearchFailure::Cancelled || control.stopRequested()) {
            return failed(JobError::Cancelled);
        }
        return JobResult{std::move(state), JobError::OutOfMemory, {}};
    }
    const PreparedSearch& search = std::get<PreparedSearch>(prepared);
    state.index = search.suffixIndex();
    for (const RepeatKind kind : kKindOrder) {
        control.report({JobStep::Searching, kind, 0.0});
        const SearchControl step{control.stop, [&control, kind](double fraction) {
                                     control.report({JobStep::Searching, kind, fraction});
                                 }};
        if (const std::optional<SearchFailure> refused =
                countedOverLimit(search, kind, settings, *state.genome, step)) {
            return *refused == SearchFailure::Cancelled || control.stopRequested()
                       ? failed(JobError::Cancelled)
                       : failed(JobError::TooManyPairs);
        }
        SnapshotResult found = runStep(step, [&] { return settings.searcher(search, kind, step); });
        if (const auto* failure = std::get_if<SearchFailure>(&found)) {
            if (*failure == SearchFailure::Cancelled || control.stopRequested()) {
                return failed(JobError::Cancelled);
            }
            if (methodInfo(settings.method).storesPairs && *failure == SearchFailure::PairLimit) {
                return failed(JobError::TooManyPairs);
            }
            return JobResult{std::move(state), JobError::OutOfMemory, {}};
        }
        state.analysis.snapshots[static_cast<std::size_t>(kind)] =
            std::get<std::shared_ptr<const RepeatSnapshot>>(std::move(found));
    }
    // One pass over the sequence per unit length: no step of its own.
    MicrosatelliteResult found =
        findMicrosatellites(*state.genome, settings.microsatellites, {control.stop, {}});
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        if (*failure == SearchFailure::Cancelled || control.stopRequested()) {
            return failed(JobError::Cancelled);
        }
        return JobResult{std::move(state), JobError::OutOfMemory, {}};
    }
    state.microsatellites =
        std::make_shared<const MicrosatelliteList>(std::get<MicrosatelliteList>(std::move(found)));
    if (control.stopRequested()) {
        return failed(JobError::Cancelled);
    }
    return JobResult{std::move(state), std::nullopt, {}};
}

// The file of a source, read now unless it was read before; null when the
// job was stopped meanwhile (a pipe may wait for its writer).
template <typename Source>
std::shared_ptr<const InputFile> inputOf(const Source& source, const JobControl& control)
{
    if (source.input) {
        return source.input;
    }
    std::optional<std::string> bytes = readFileBytes(source.path, control.stop);
    if (!bytes) {
        return nullptr;
    }
    return std::make_shared<const InputFile>(InputFile::fromBytes(std::move(*bytes), source.path));
}

std::shared_ptr<Genome> blankGenome(const JobSettings& settings)
{
    auto genome = std::make_shared<Genome>();
    genome->setTitle(settings.title);
    genome->setPairLimit(settings.pairLimit);
    return genome;
}

JobResult loadAndAnalyse(const GenomeSource& source, const JobSettings& settings, const JobControl& control)
{
    if (control.stopRequested()) {
        return failed(JobError::Cancelled);
    }
    std::shared_ptr<Genome> fresh;
    std::optional<FeatureList> features;
    RecordFormat format = RecordFormat::Text;
    std::string name = "random";
    std::string seqid;
    std::filesystem::path file;
    std::size_t read = 0;
    // The record's own name, else the file's; its id in exports.
    const auto nameOf = [&](const InputFile& input, std::size_t record, const std::filesystem::path& path) {
        file = path;
        read = record;
        name = input.records()[record].name;
        if (name.empty()) {
            name = displayName(path);
        }
        seqid = input.records()[record].seqid;
    };
    try {
        fresh = blankGenome(settings);
        if (const auto* genBank = std::get_if<GenBankSource>(&source)) {
            control.report({JobStep::Reading, RepeatKind::Direct, 0.0});
            // Whatever stops the GenBank reader (no file, no LOCUS, a record
            // cut short) is a file not in GenBank format; the message says why.
            try {
                const auto input = inputOf(*genBank, control);
                if (!input) {
                    return failed(JobError::Cancelled);
                }
                format = input->format();
                if (format == RecordFormat::Text) {
                    throw notGenBankError(input->bytes(), genBank->path);
                }
                if (genBank->record >= input->records().size()) {
                    return failed(JobError::NotGenBank);
                }
                features = input->load(genBank->record, *fresh, settings.minimum, settings.maximum);
                nameOf(*input, genBank->record, genBank->path);
            } catch (const InputError& error) {
                return failed(JobError::NotGenBank, error.what());
            }
        } else if (const auto* text = std::get_if<TextSource>(&source)) {
            control.report({JobStep::Reading, RepeatKind::Direct, 0.0});
            const auto input = inputOf(*text, control);
            if (!input) {
                return failed(JobError::Cancelled);
            }
            format = input->format();
            const std::size_t record = std::min(text->record, input->records().size() - 1);
            features = input->load(record, *fresh, settings.minimum, settings.maximum);
            nameOf(*input, record, text->path);
        } else {
            const auto& random = std::get<RandomSource>(source);
            control.report({JobStep::Creating, RepeatKind::Direct, 0.0});
            const auto& counts = random.counts;
            if (!fresh->makeRandom(counts[0], counts[1], counts[2], counts[3], settings.minimum,
                                   settings.maximum, random.seed)) {
                return failed(JobError::RandomRefused);
            }
        }
    } catch (const ReadError& error) {
        return failed(JobError::ReadFailed, error.what());
    } catch (const std::bad_alloc&) {
        return failed(std::holds_alternative<RandomSource>(source) ? JobError::RandomRefused
                                                                   : JobError::OutOfMemory);
    }
    JobResult result = indexAndAnalyse(std::move(fresh), std::move(features), settings, control);
    if (result.state) {
        result.state->format = format;
        result.state->seqid = seqid.empty() ? name : std::move(seqid);
        result.state->name = std::move(name);
        result.state->file = std::move(file);
        result.state->record = read;
    }
    return result;
}

}  // namespace

bool Analysis::hasAllKinds() const
{
    for (const auto& snapshot : snapshots) {
        if (!snapshot) {
            return false;
        }
    }
    return true;
}

Session::Session()
    : searcher_([](const PreparedSearch& search, RepeatKind kind, const SearchControl& control) {
          return search.run(kind, SnapshotDetail::Words, control);
      })
{
    state_.genome = emptyGenome();
}

std::shared_ptr<Genome> Session::emptyGenome() const
{
    auto genome = std::make_shared<Genome>();
    if (state_.genome) {
        genome->setTitle(state_.genome->title());
    }
    genome->setPairLimit(pairLimit_);
    genome->setLengthBounds(minimum_, maximum_);
    return genome;
}

void Session::setLengths(int minimum, int maximum)
{
    minimum_ = minimum;
    maximum_ = maximum;
    if (!state_.loaded) {
        state_.genome = emptyGenome();
    }
}

void Session::setPairLimit(std::int64_t limit)
{
    pairLimit_ = limit;
}

void Session::setSearcher(Searcher searcher)
{
    searcher_ = std::move(searcher);
}

Job Session::load(GenomeSource source) const
{
    JobSettings settings{
        minimum_, maximum_, pairLimit_, state_.genome->title(), searcher_, method_, microsatelliteSettings_};
    return [source = std::move(source), settings = std::move(settings)](const JobControl& control) {
        return loadAndAnalyse(source, settings, control);
    };
}

Job Session::reanalysis() const
{
    JobSettings settings{
        minimum_, maximum_, pairLimit_, state_.genome->title(), searcher_, method_, microsatelliteSettings_};
    return [current = state_.genome, features = state_.features, format = state_.format, name = state_.name,
            seqid = state_.seqid, file = state_.file, record = state_.record,
            settings = std::move(settings)](const JobControl& control) -> JobResult {
        // The sequence again, under the new lengths: the current genome and
        // its results stay as they are until the new ones are adopted.
        std::shared_ptr<Genome> copy;
        try {
            copy = blankGenome(settings);
            if (!copy->allocate(current->capacity(), settings.minimum, settings.maximum)) {
                return failed(JobError::OutOfMemory);
            }
            copy->appendText(current->c_str());
            copy->setLengthBounds(settings.minimum, settings.maximum);
        } catch (const std::bad_alloc&) {
            return failed(JobError::OutOfMemory);
        }
        JobResult result = indexAndAnalyse(std::move(copy), features, settings, control);
        if (result.state) {
            result.state->format = format;
            result.state->name = name;
            result.state->seqid = seqid;
            result.state->file = file;
            result.state->record = record;
        }
        return result;
    };
}

Job Session::approximateSearch(const ApproximateSettings& settings) const
{
    return [current = state_, settings](const JobControl& control) -> JobResult {
        // The search's threads report one at a time.
        std::mutex reporting;
        const ApproximateOutcome outcome = analyseApproximately(
            current.genome, settings,
            SearchControl{control.stop, [&control, &reporting](double fraction) {
                              const std::lock_guard lock(reporting);
                              control.report({JobStep::SearchingApart, RepeatKind::Direct, fraction});
                          }});
        if (const auto* failure = std::get_if<SearchFailure>(&outcome)) {
            return failed(*failure == SearchFailure::Cancelled ? JobError::Cancelled : JobError::OutOfMemory);
        }
        SessionState state = current;
        state.approximate = std::get<std::shared_ptr<const ApproximateAnalysis>>(outcome);
        state.gapped.reset();
        return JobResult{std::move(state), std::nullopt, {}};
    };
}

Job Session::gappedSearch(const GappedSettings& settings, bool families) const
{
    return [current = state_, settings, families](const JobControl& control) -> JobResult {
        std::mutex reporting;
        const GappedOutcome outcome = analyseWithGaps(
            current.genome, settings, families,
            SearchControl{control.stop, [&control, &reporting](double fraction) {
                              const std::lock_guard lock(reporting);
                              control.report({JobStep::SearchingApart, RepeatKind::Direct, fraction});
                          }});
        if (const auto* failure = std::get_if<SearchFailure>(&outcome)) {
            return failed(*failure == SearchFailure::Cancelled   ? JobError::Cancelled
                          : *failure == SearchFailure::PairLimit ? JobError::TooManyPairs
                                                                 : JobError::OutOfMemory);
        }
        SessionState state = current;
        state.gapped = std::get<std::shared_ptr<const GappedAnalysis>>(outcome);
        state.approximate.reset();
        return JobResult{std::move(state), std::nullopt, {}};
    };
}

Job Session::microsatelliteSearch(const MicrosatelliteSettings& settings) const
{
    return [current = state_, settings](const JobControl& control) -> JobResult {
        MicrosatelliteResult found = findMicrosatellites(
            *current.genome, settings,
            SearchControl{control.stop, [&control](double fraction) {
                              control.report({JobStep::SearchingApart, RepeatKind::Direct, fraction});
                          }});
        if (const auto* failure = std::get_if<SearchFailure>(&found)) {
            return failed(*failure == SearchFailure::Cancelled ? JobError::Cancelled : JobError::OutOfMemory);
        }
        SessionState state = current;
        state.microsatellites =
            std::make_shared<const MicrosatelliteList>(std::get<MicrosatelliteList>(std::move(found)));
        return JobResult{std::move(state), std::nullopt, {}};
    };
}

Job Session::tandemSearch(const TandemSettings& settings) const
{
    return [current = state_, settings](const JobControl& control) -> JobResult {
        const TandemOutcome outcome = analyseTandemRepeats(
            current.genome, settings,
            SearchControl{control.stop, [&control](double fraction) {
                              control.report({JobStep::SearchingApart, RepeatKind::Direct, fraction});
                          }});
        if (const auto* failure = std::get_if<SearchFailure>(&outcome)) {
            return failed(*failure == SearchFailure::Cancelled ? JobError::Cancelled : JobError::OutOfMemory);
        }
        if (control.stopRequested()) {
            return failed(JobError::Cancelled);  // asked to stop after the search's last look
        }
        SessionState state = current;
        state.tandem = std::get<std::shared_ptr<const TandemAnalysis>>(outcome);
        return JobResult{std::move(state), std::nullopt, {}};
    };
}

void Session::adopt(SessionState state)
{
    const SessionState& before = state_;
    if (!state.approximate && !state.gapped && state.loaded) {
        const auto sameSequence = [&state](const std::shared_ptr<const Genome>& genome) {
            return state.genome == genome || state.genome->sequence() == genome->sequence();
        };
        if (before.approximate && sameSequence(before.approximate->genome)) {
            state.approximate = before.approximate;
        }
        if (before.gapped && sameSequence(before.gapped->genome)) {
            state.gapped = before.gapped;
        }
    }
    if (!state.tandem && before.tandem && state.loaded &&
        (state.genome == before.tandem->genome ||
         state.genome->sequence() == before.tandem->genome->sequence())) {
        state.tandem = before.tandem;
    }
    if (state.genome != before.genome) {
        highlights_.clear();
    }
    state_ = std::move(state);
}

void Session::reset()
{
    state_.genome = emptyGenome();
    state_.index.reset();
    state_.features.reset();
    state_.analysis = {};
    state_.microsatellites.reset();
    state_.approximate.reset();
    state_.gapped.reset();
    state_.tandem.reset();
    state_.loaded = false;
    state_.format = RecordFormat::Text;
    state_.name.clear();
    state_.seqid.clear();
    state_.file.clear();
    state_.record = 0;
    highlights_.clear();
}

}  // namespace tessaron
