#include "compare/comparisonrun.h"

#include "compare/batch.h"
#include "input/filename.h"

#include <algorithm>
#include <cstddef>
#include <functional>
#include <new>
#include <optional>
#include <stop_token>
#include <utility>

namespace tessaron {

namespace {

constexpr const char* kNoFilesMessage = "Não há ficheiros para comparar!";
constexpr const char* kBadKindMessage = "There is an error with the type of repeat to compare!";
constexpr const char* kBadFileMessage = "Erro num ficheiro!!!";
constexpr const char* kOutOfMemoryMessage = "Looks like we're out of memory...";
constexpr const char* kCancelledMessage = "The comparison was cancelled.";

// A row's title holds at most this many bytes.
constexpr std::size_t kLongestFileTitle = 127;

// The display name (and a suffix), cut to the longest title without splitting a UTF-8
// sequence: the cut moves back over continuation bytes.
std::string fileTitleOf(const std::filesystem::path& path, const std::string& suffix = {})
{
    std::string title = displayName(path) + suffix;
    if (title.size() > kLongestFileTitle) {
        std::size_t cut = kLongestFileTitle;
        while (cut > 0 && (static_cast<unsigned char>(title[cut]) & 0xC0U) == 0x80U) {
            --cut;
        }
        title.resize(cut);
    }
    return title;
}

// ":NAME" for a named record, " #N" (its place) for one without a name.
std::string recordSuffix(const BatchGenome& genome)
{
    return genome.recordName.empty() ? " #" + std::to_string(genome.record) : ":" + genome.recordName;
}

// A genome's id in the outputs: its record's, else (a record that names
// none) its row's title.
std::string seqidOf(const BatchGenome& genome, const std::string& title)
{
    return genome.accession.empty() ? title : genome.accession;
}

using Reason = ComparisonFailure::Reason;

const char* messageOf(Reason reason)
{
    switch (reason) {
        case Reason::NoFiles:
            return kNoFilesMessage;
        case Reason::BadKind:
            return kBadKindMessage;
        case Reason::FileRejected:
            return kBadFileMessage;
        case Reason::OutOfMemory:
            return kOutOfMemoryMessage;
        case Reason::Cancelled:
            return kCancelledMessage;
    }
    return kBadFileMessage;
}

ComparisonFailure failure(Reason reason, const std::filesystem::path& file = {}, std::string detail = {})
{
    const bool beforeRun = reason == Reason::NoFiles || reason == Reason::BadKind;
    return {messageOf(reason), beforeRun, reason, file, std::move(detail)};
}

// Runs the batch over GenBank files, stopping at the first file that fails
// or when the caller stops it; `add` takes each file's genomes in order and
// `title` names a genome's row.
std::optional<ComparisonFailure> compareFiles(
    const std::vector<std::filesystem::path>& files, BatchSettings settings, const ComparisonOptions& options,
    const std::function<void(const std::vector<BatchGenome>& genomes,
                             const std::function<std::string(const BatchGenome&)>& title)>& add)
{
    // The files still running stop as soon as one fails or the caller stops the run.
    std::stop_source ending;
    const std::stop_callback forward(options.stop, [&ending] { ending.request_stop(); });
    settings.threads = options.threads;
    settings.genBankOnly = true;
    settings.stop = ending.get_token();
    std::optional<ComparisonFailure> ended;
    int done = 0;
    try {
        runBatch(files, settings,
                 [&](std::size_t index, const std::vector<BatchGenome>& genomes,
                     const std::optional<BatchFailure>& failed) {
                     if (ended) {
                         return;
                     }
                     const std::filesystem::path& file = files[index];
                     if (options.stop.stop_requested()) {
                         ended = failure(Reason::Cancelled, file);
                     } else if (failed) {
                         const bool memory = failed->search == SearchFailure::OutOfMemory ||
                                             failed->search == SearchFailure::PairLimit;
                         ended = memory ? failure(Reason::OutOfMemory, file, failed->reason)
                                        : failure(Reason::FileRejected, file, failed->reason);
                     }
                     if (ended) {
                         ending.request_stop();
                         return;
                     }
                     // The records of a file of several are told apart by their names.
                     add(genomes, [&](const BatchGenome& genome) {
                         return fileTitleOf(file, genomes.size() > 1 ? recordSuffix(genome) : std::string());
                     });
                     ++done;
                     if (options.progress) {
                         options.progress(done);
                     }
                 });
    } catch (const std::bad_alloc&) {
        return failure(Reason::OutOfMemory);
    }
    return ended;
}

// A comparison of one row a genome, of the batch's search `search` with
// `settings`: each genome's title and id, then what `keep` takes of it.
template <typename Comparison, typename Settings, typename Keep>
std::variant<Comparison, ComparisonFailure> compareEachGenome(const std::vector<std::filesystem::path>& files,
                                                              std::optional<Settings> BatchSettings::*search,
                                                              const Settings& settings,
                                                              const ComparisonOptions& options,
                                                              const Keep& keep)
{
    if (files.empty()) {
        return failure(Reason::NoFiles);
    }
    BatchSettings batch;
    batch.*search = settings;
    Comparison comparison;
    comparison.settings = settings;
    const auto ended = compareFiles(files, batch, options, [&](const auto& genomes, const auto& title) {
        for (const BatchGenome& genome : genomes) {
            comparison.fileTitles.push_back(title(genome));
            comparison.seqids.push_back(seqidOf(genome, comparison.fileTitles.back()));
            keep(comparison, genome);
        }
    });
    if (ended) {
        return *ended;
    }
    return comparison;
}

}  // namespace

std::variant<GenomeComparison, ComparisonFailure> runComparison(
    const std::vector<std::filesystem::path>& files, std::optional<RepeatKind> chosen, int minimum,
    int maximum, const ComparisonOptions& options)
{
    if (files.empty()) {
        return failure(Reason::NoFiles);
    }
    if (!chosen || static_cast<int>(*chosen) < 0 || static_cast<int>(*chosen) >= kRepeatKindCount) {
        return failure(Reason::BadKind);
    }
    const RepeatKind kind = *chosen;
    BatchSettings settings;
    settings.minimum = minimum;
    settings.maximum = maximum;
    settings.method = options.method;
    settings.approximate = options.approximate;
    settings.gapped = options.gapped;
    settings.kind = kind;

    const bool classes = !methodInfo(options.method).findsWords;
    const auto lengthCount = classes ? kApproximateLengthClasses.size()
                                     : static_cast<std::size_t>(std::max(maximum - minimum + 1, 0));
    const auto slot = static_cast<std::size_t>(kind);
    GenomeComparison comparison;
    comparison.method = options.method;
    comparison.minLength = classes ? 0 : minimum;
    comparison.maxLength = classes ? static_cast<int>(lengthCount) - 1 : minimum;
    comparison.kind = kind;
    comparison.countsLonger = methodInfo(options.method).findsLonger && !classes;
    comparison.maximumSetting = maximum;
    const auto ended = compareFiles(files, settings, options, [&](const auto& genomes, const auto& title) {
        for (const BatchGenome& genome : genomes) {
            ComparisonRow& row = comparison.rows.emplace_back();
            row.fileTitle = title(genome);
            row.seqid = seqidOf(genome, row.fileTitle);
            row.counts.assign(lengthCount, 0);
            const std::vector<std::int64_t>& counts = genome.counts[slot];
            for (std::size_t j = 0; j < counts.size(); ++j) {
                if (j >= lengthCount) {
                    row.longer += counts[j];
                    continue;
                }
                row.counts[j] = counts[j];
                const int length = comparison.minLength + static_cast<int>(j);
                if (counts[j] != 0 && length > comparison.maxLength) {
                    comparison.maxLength = length;
                }
            }
        }
    });
    if (ended) {
        return *ended;
    }
    return comparison;
}

std::variant<MicrosatelliteComparison, ComparisonFailure> runMicrosatelliteComparison(
    const std::vector<std::filesystem::path>& files, const MicrosatelliteSettings& settings,
    const ComparisonOptions& options)
{
    return compareEachGenome<MicrosatelliteComparison>(
        files, &BatchSettings::microsatellites, settings, options,
        [](MicrosatelliteComparison& into, const BatchGenome& genome) {
            into.microsatellites.push_back(genome.microsatellites);
        });
}

std::variant<TandemComparison, ComparisonFailure> runTandemComparison(
    const std::vector<std::filesystem::path>& files, const TandemSettings& settings,
    const ComparisonOptions& options)
{
    return compareEachGenome<TandemComparison>(files, &BatchSettings::tandem, settings, options,
                                               [](TandemComparison& into, const BatchGenome& genome) {
                                                   into.lengths.push_back(genome.length);
                                                   into.tandemRepeats.push_back(genome.tandemRepeats);
                                               });
}

}  // namespace tessaron
