#include "compare/comparisonrun.h"

#include "compare/batch.h"
#include "input/filename.h"

#include <algorithm>
#include <cstddef>
#include <new>
#include <optional>
#include <stop_token>

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
    // The files still running stop as soon as one fails or the caller stops the run.
    std::stop_source ending;
    const std::stop_callback forward(options.stop, [&ending] { ending.request_stop(); });

    BatchSettings settings;
    settings.minimum = minimum;
    settings.maximum = maximum;
    settings.threads = options.threads;
    settings.method = options.method;
    settings.approximate = options.approximate;
    settings.genBankOnly = true;
    settings.kind = kind;
    settings.stop = ending.get_token();

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
                     for (const BatchGenome& genome : genomes) {
                         // The records of a file of several are told apart by their names.
                         ComparisonRow& row = comparison.rows.emplace_back();
                         row.fileTitle =
                             fileTitleOf(file, genomes.size() > 1 ? recordSuffix(genome) : std::string());
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
                     ++done;
                     if (options.progress) {
                         options.progress(done);
                     }
                 });
    } catch (const std::bad_alloc&) {
        return failure(Reason::OutOfMemory);
    }
    if (ended) {
        return *ended;
    }
    return comparison;
}

}  // namespace tessaron
