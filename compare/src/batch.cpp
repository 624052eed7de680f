#include "compare/batch.h"

#include "compare/longrepeatcounts.h"
#include "compare/workers.h"

#include "engine/repeatkinds.h"
#include "input/filename.h"
#include "input/genbankreader.h"
#include "input/readerror.h"
#include "input/records.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <new>
#include <span>
#include <thread>

namespace tessaron {

namespace {

struct FileOutcome {
    std::vector<BatchGenome> genomes;
    std::optional<BatchFailure> failure;
};

std::string failureText(SearchFailure failure)
{
    switch (failure) {
        case SearchFailure::OutOfMemory:
            return "out of memory";
        case SearchFailure::PairLimit:
            return "too many pairs to store";
        case SearchFailure::Cancelled:
            return "cancelled";
    }
    return "failed";
}

// The pair counts of every kind, or of the one kind asked for.
std::variant<KindCounts, SearchFailure> countKinds(const PreparedSearch& search,
                                                   const BatchSettings& settings,
                                                   const SearchControl& control)
{
    if (settings.gapped && settings.method == SearchMethod::Approximate) {
        const std::array<RepeatKind, 1> one{settings.kind.value_or(RepeatKind::Direct)};
        GappedSearchResults found = gappedSearch(
            search.genome(), settings.kind ? std::span<const RepeatKind>(one) : std::span(kKindOrder),
            *settings.gapped, SearchControl{control.stop, {}});
        if (const auto* failure = std::get_if<SearchFailure>(&found)) {
            return *failure;
        }
        const ApproximateClassCounts classes = gappedClassCounts(std::get<std::vector<GappedResult>>(found));
        KindCounts counts;
        for (std::size_t kind = 0; kind < counts.size(); ++kind) {
            counts[kind].assign(classes[kind].begin(), classes[kind].end());
        }
        return counts;
    }
    if (!settings.kind || !methodInfo(settings.method).findsWords) {
        return countRepeats(search, control);
    }
    SnapshotResult found = search.run(*settings.kind, SnapshotDetail::Counts, control);
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        return *failure;
    }
    KindCounts counts;
    counts[static_cast<std::size_t>(*settings.kind)] =
        std::get<std::shared_ptr<const RepeatSnapshot>>(found)->pairCounts();
    return counts;
}

// "record 2 (NAME)".
std::string recordLabel(const InputFile& input, std::size_t record)
{
    const std::string& name = input.records()[record].name;
    return "record " + std::to_string(record + 1) + (name.empty() ? "" : " (" + name + ")");
}

// The title of a record in the table: the whole SOURCE of GenBank (EMBL's OS), the FASTA
// header's text after the id, the display name of a text file.
std::string batchTitle(const RecordInfo& info, const std::filesystem::path& file)
{
    switch (info.format) {
        case RecordFormat::GenBank:
        case RecordFormat::Embl:
            return info.title;
        case RecordFormat::Fasta:
            return info.description.empty() ? info.name : info.description;
        case RecordFormat::Text:
            break;
    }
    return displayName(file);
}

// One record's genome, analysed; a failure is its reason (and why a search
// gave no result).
struct RecordOutcome {
    std::optional<BatchGenome> genome;
    std::optional<BatchFailure> failure;
};

// The genome of a record searched without any index, its description filled in.
BatchGenome& describedGenome(RecordOutcome& outcome, const InputFile& input, std::size_t record,
                             const Genome& genome)
{
    BatchGenome& result = outcome.genome.emplace();
    result.file = input.path();
    result.record = static_cast<int>(record) + 1;
    const RecordInfo& info = input.records()[record];
    result.recordName = info.name;
    result.accession = info.seqid;
    result.title = batchTitle(info, input.path());
    result.length = genome.length();
    result.minLength = genome.minLength();
    return result;
}

// One record's microsatellites, without any index.
RecordOutcome microsatellitesOf(const InputFile& input, std::size_t record, const Genome& genome,
                                const MicrosatelliteSettings& settings, const SearchControl& control)
{
    RecordOutcome outcome;
    MicrosatelliteResult found = findMicrosatellites(genome, settings, control);
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        outcome.failure = BatchFailure{input.path(), failureText(*failure), *failure};
        return outcome;
    }
    describedGenome(outcome, input, record, genome).microsatellites =
        std::get<MicrosatelliteList>(std::move(found));
    return outcome;
}

// One record's tandem arrays, without any index.
RecordOutcome tandemRepeatsOf(const InputFile& input, std::size_t record, const Genome& genome,
                              const TandemSettings& settings, const SearchControl& control)
{
    RecordOutcome outcome;
    TandemRepeatResult found = findTandemRepeats(genome, settings, control);
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        outcome.failure = BatchFailure{input.path(), failureText(*failure), *failure};
        return outcome;
    }
    describedGenome(outcome, input, record, genome).tandemRepeats =
        std::get<TandemRepeatList>(std::move(found));
    return outcome;
}

RecordOutcome analyseRecord(const InputFile& input, std::size_t record, const BatchSettings& settings,
                            int controlThreads, const SearchControl& control)
{
    const std::filesystem::path& file = input.path();
    RecordOutcome outcome;
    const auto fail = [&](std::string reason, std::optional<SearchFailure> search = std::nullopt) {
        outcome.failure = BatchFailure{file, std::move(reason), search};
        return std::move(outcome);
    };
    const auto searchFailed = [&](SearchFailure failure) {
        const std::string where =
            input.records().size() > 1 ? recordLabel(input, record) + ": " : std::string();
        return fail(where + failureText(failure), failure);
    };
    if (control.stopRequested()) {
        return searchFailed(SearchFailure::Cancelled);
    }
    try {
        auto genome = std::make_shared<Genome>();
        (void)input.load(record, *genome, settings.minimum, settings.maximum);
        const RecordInfo& info = input.records()[record];
        requireBases(*genome, file, input.records().size() > 1 ? recordLabel(input, record) : std::string());
        if (settings.microsatellites) {
            return microsatellitesOf(input, record, *genome, *settings.microsatellites, control);
        }
        if (settings.tandem) {
            return tandemRepeatsOf(input, record, *genome, *settings.tandem, control);
        }
        // Every kind is searched when there are controls.
        const std::array<RepeatKind, 1> one{settings.kind.value_or(RepeatKind::Direct)};
        const std::span<const RepeatKind> kinds =
            settings.kind && !settings.controls ? std::span<const RepeatKind>(one) : kKindOrder;
        PrepareOptions prepareOptions;
        prepareOptions.buildThreads = usableCores() == 1 ? 1 : 0;  // never more than the process may use
        prepareOptions.approximate = settings.approximate;
        auto prepared = prepareSearch(genome, settings.method, kinds, control, prepareOptions);
        if (const auto* failure = std::get_if<SearchFailure>(&prepared)) {
            return searchFailed(*failure);
        }
        const PreparedSearch& search = std::get<PreparedSearch>(prepared);
        const Genome& indexed = search.genome();
        BatchGenome result;
        result.file = file;
        result.record = static_cast<int>(record) + 1;
        result.recordName = info.name;
        result.accession = info.seqid;
        result.title = batchTitle(info, file);
        result.length = indexed.length();
        result.minLength = indexed.minLength();
        result.method = settings.method;
        auto counts = countKinds(search, settings, control);
        if (const auto* failure = std::get_if<SearchFailure>(&counts)) {
            return searchFailed(*failure);
        }
        result.counts = std::move(std::get<KindCounts>(counts));
        if (settings.controls) {
            ControlSettings controls = *settings.controls;
            controls.threads = controlThreads;
            auto report = runControls(search, controls, control);
            if (const auto* failure = std::get_if<SearchFailure>(&report)) {
                return searchFailed(*failure);
            }
            result.controls = std::move(std::get<ControlReport>(report));
        }
        outcome.genome = std::move(result);
    } catch (const ReadError& error) {
        return fail(error.what());
    } catch (const std::bad_alloc&) {
        return searchFailed(SearchFailure::OutOfMemory);
    }
    return outcome;
}

std::atomic<int> filesInMemory{-1};  // the test limit; negative: none

// Whether every record of the file after `record` can be read (its own
// genome, one at a time).
bool laterRecordsRead(const InputFile& input, std::size_t record, const BatchSettings& settings)
{
    for (std::size_t later = record + 1; later < input.records().size(); ++later) {
        try {
            Genome genome;
            (void)input.load(later, genome, settings.minimum, settings.maximum);
            requireBases(genome, input.path());
        } catch (const ReadError&) {
            return false;
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    return true;
}

// Reads a file once and analyses its records on up to `spareThreads`
// threads; the genomes come in record order, up to the first record that
// failed, and only when every record of the file could be read. `others`:
// the files being analysed beside it.
FileOutcome analyseFile(const std::filesystem::path& file, const BatchSettings& settings, int spareThreads,
                        int others)
{
    FileOutcome outcome;
    const SearchControl control{settings.stop, {}};
    if (control.stopRequested()) {
        outcome.failure = BatchFailure{file, failureText(SearchFailure::Cancelled), SearchFailure::Cancelled};
        return outcome;
    }
    if (const int limit = filesInMemory.load(); limit >= 0 && others >= limit) {
        outcome.failure =
            BatchFailure{file, failureText(SearchFailure::OutOfMemory), SearchFailure::OutOfMemory};
        return outcome;
    }
    std::optional<InputFile> input;
    try {
        // The bytes are read once; every record of them is a genome of its own.
        input = InputFile::read(file);
        if (settings.genBankOnly && input->format() != RecordFormat::GenBank) {
            throw notGenBankError(input->bytes(), file);
        }
    } catch (const ReadError& error) {
        outcome.failure = BatchFailure{file, error.what(), std::nullopt};
        return outcome;
    } catch (const std::bad_alloc&) {
        outcome.failure =
            BatchFailure{file, failureText(SearchFailure::OutOfMemory), SearchFailure::OutOfMemory};
        return outcome;
    }

    const std::size_t records = input->records().size();
    const int recordThreads =
        std::clamp(spareThreads, 1, static_cast<int>(std::min<std::size_t>(records, 1024)));
    // The threads left over go to each record's controls.
    const int controlThreads = std::max(1, spareThreads / recordThreads);
    std::vector<RecordOutcome> results(records);
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> firstFailed{records};
    const auto work = [&] {
        for (std::size_t record = next++; record < records && record < firstFailed; record = next++) {
            results[record] = analyseRecord(*input, record, settings, controlThreads, control);
            if (results[record].failure) {
                // Later records are not needed: the file ends at its first failure.
                std::size_t seen = firstFailed;
                while (record < seen && !firstFailed.compare_exchange_weak(seen, record)) {
                }
            }
        }
    };
    {
        std::vector<std::jthread> pool;
        (void)startWorkers(pool, recordThreads - 1, work);
        work();
    }
    for (std::size_t record = 0; record < records; ++record) {
        RecordOutcome& result = results[record];
        if (result.failure) {
            // The records before are written only when the failure is a
            // search's and the rest of the file reads: never part of a
            // file that could not be read.
            if (!result.failure->search || !laterRecordsRead(*input, record, settings)) {
                outcome.genomes.clear();
            }
            outcome.failure = std::move(result.failure);
            break;
        }
        if (!result.genome) {
            break;
        }
        outcome.genomes.push_back(std::move(*result.genome));
    }
    return outcome;
}

}  // namespace

void limitFilesInMemory(int files)
{
    filesInMemory = files;
}

int runBatch(const std::vector<std::filesystem::path>& files, const BatchSettings& settings,
             const std::function<void(std::size_t index, const std::vector<BatchGenome>& genomes,
                                      const std::optional<BatchFailure>& failure)>& deliver)
{
    const int cores = usableCores();
    const int wanted = settings.threads > 0 ? settings.threads : cores;
    const int threads = std::clamp(wanted, 1, std::max<int>(static_cast<int>(files.size()), 1));
    // Threads the files leave over go to the records of each file (and their controls).
    const int spareThreads = std::max(1, wanted / threads);

    std::vector<std::optional<FileOutcome>> outcomes(files.size());
    // Files that ran out of memory beside others, to be analysed again alone.
    std::vector<char> deferred(files.size(), 0);
    std::mutex mutex;
    std::condition_variable ready;
    std::atomic<std::size_t> next{0};
    int running = 0;  // files being analysed
    int working = 0;  // workers still taking files
    const auto analyse = [&](std::size_t i) {
        int others = 0;
        {
            const std::lock_guard lock(mutex);
            others = running++;
        }
        FileOutcome outcome = analyseFile(files[i], settings, spareThreads, others);
        const std::lock_guard lock(mutex);
        --running;
        return outcome;
    };
    // A file that runs out of memory while others run may only have been
    // short because of them: its worker stops, giving back what it holds,
    // so that fewer run at once, and the file is analysed again once every
    // worker is done.
    const auto work = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++) {
            FileOutcome outcome = analyse(i);
            const std::lock_guard lock(mutex);
            if (outcome.failure && outcome.failure->search == SearchFailure::OutOfMemory && working > 1) {
                deferred[i] = 1;
                --working;
                ready.notify_all();
                return;
            }
            outcomes[i] = std::move(outcome);
            ready.notify_all();
        }
        const std::lock_guard lock(mutex);
        --working;
        ready.notify_all();
    };

    int failed = 0;
    std::vector<std::jthread> pool;
    {
        const std::lock_guard lock(mutex);
        working = threads;
    }
    const int started = startWorkers(pool, threads, work);
    {
        const std::lock_guard lock(mutex);
        working -= threads - started;
        ready.notify_all();
    }
    if (started == 0) {
        {
            const std::lock_guard lock(mutex);
            working = 1;
        }
        work();  // no thread could start: every file here, then handed over
    }
    // Hand the results over in file order as soon as each is there, so that
    // the output of a long batch flows and stays in a stable order.
    for (std::size_t i = 0; i < files.size(); ++i) {
        FileOutcome outcome;
        bool again = false;
        {
            std::unique_lock lock(mutex);
            ready.wait(lock, [&] { return outcomes[i].has_value() || (deferred[i] != 0 && working == 0); });
            if (outcomes[i]) {
                outcome = std::move(*outcomes[i]);
                outcomes[i].reset();
            } else {
                again = true;
            }
        }
        if (again) {
            outcome = analyse(i);  // alone: every worker is done
        }
        failed += outcome.failure ? 1 : 0;
        deliver(i, outcome.genomes, outcome.failure);
    }
    return failed;
}

}  // namespace tessaron
