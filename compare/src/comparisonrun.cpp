#include "compare/comparisonrun.h"

#include "engine/completesearch.h"
#include "engine/repeatsnapshot.h"
#include "input/filename.h"
#include "input/genbankreader.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <new>

namespace tessaron {

namespace {

constexpr const char* kNoFilesMessage = "Não há ficheiros para comparar!";
constexpr const char* kBadKindMessage = "There is an error with the type of repeat to compare!";
constexpr const char* kBadFileMessage = "Erro num ficheiro!!!";
constexpr const char* kOutOfMemoryMessage = "Looks like we're out of memory...";
constexpr const char* kCancelledMessage = "The comparison was cancelled.";

// A row's title holds at most this many bytes.
constexpr std::size_t kLongestFileTitle = 127;

// The display name, cut to the longest title without splitting a UTF-8
// sequence: the cut moves back over continuation bytes.
std::string fileTitleOf(const std::filesystem::path& path)
{
    std::string title = displayName(path);
    if (title.size() > kLongestFileTitle) {
        std::size_t cut = kLongestFileTitle;
        while (cut > 0 && (static_cast<unsigned char>(title[cut]) & 0xC0U) == 0x80U) {
            --cut;
        }
        title.resize(cut);
    }
    return title;
}

// The pairs per length of one kind, counted without storing them; the snapshot
// is released before the genome is handed back.
std::variant<std::vector<std::int64_t>, SearchFailure> countPairs(const std::shared_ptr<Genome>& genome,
                                                                  RepeatKind kind, bool complete,
                                                                  std::stop_token stop)
{
    const SearchControl control{std::move(stop), {}};
    SnapshotResult result = complete ? completeSearch(genome, kind, SnapshotDetail::Counts, control)
                                     : searchRepeats(genome, kind, SnapshotDetail::Counts, control);
    if (const auto* failed = std::get_if<SearchFailure>(&result)) {
        return *failed;
    }
    return std::get<std::shared_ptr<const RepeatSnapshot>>(result)->pairCounts();
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
    const std::vector<std::filesystem::path>& files, int kindIndex, int minimum, int maximum, Genome& genome,
    const std::function<void(int done)>& progress, std::stop_token stop, bool complete)
{
    if (files.empty()) {
        return failure(Reason::NoFiles);
    }
    const std::optional<RepeatKind> kind = kindOfCompareItem(kindIndex);
    if (!kind) {
        return failure(Reason::BadKind);
    }
    const std::filesystem::path* current = nullptr;

    try {
        const auto lengthCount = static_cast<std::size_t>(std::max(maximum - minimum + 1, 0));
        GenomeComparison comparison;
        comparison.minLength = minimum;
        comparison.maxLength = minimum;
        comparison.kind = *kind;
        comparison.countsLonger = complete;
        comparison.maximumSetting = maximum;
        comparison.rows.reserve(files.size());

        int done = 0;
        for (const std::filesystem::path& path : files) {
            current = &path;
            if (stop.stop_requested()) {
                return failure(Reason::Cancelled, path);
            }
            ComparisonRow& row = comparison.rows.emplace_back();
            row.fileTitle = fileTitleOf(path);
            row.counts.assign(lengthCount, 0);

            try {
                (void)readGenBankOrThrow(path, genome, minimum, maximum);
            } catch (const InputError& error) {
                return failure(Reason::FileRejected, path, error.what());
            }
            if (!complete && !genome.buildIndex()) {
                return failure(Reason::OutOfMemory, path);
            }
            if (stop.stop_requested()) {
                return failure(Reason::Cancelled, path);
            }
            // The search shares the genome for as long as it runs; the
            // caller's genome gets it back, holding the file last read.
            auto shared = std::make_shared<Genome>(std::move(genome));
            auto counted = countPairs(shared, *kind, complete, stop);
            genome = std::move(*shared);
            if (const auto* failed = std::get_if<SearchFailure>(&counted)) {
                return failure(*failed == SearchFailure::Cancelled ? Reason::Cancelled : Reason::OutOfMemory,
                               path);
            }
            const std::vector<std::int64_t>& counts = std::get<std::vector<std::int64_t>>(counted);
            for (std::size_t slot = 0; slot < counts.size(); ++slot) {
                const std::int64_t count = counts[slot];
                if (slot >= lengthCount) {
                    row.longer += count;
                    continue;
                }
                row.counts[slot] = count;
                const int length = minimum + static_cast<int>(slot);
                if (count != 0 && length > comparison.maxLength) {
                    comparison.maxLength = length;
                }
            }

            ++done;
            if (progress) {
                progress(done);
            }
        }
        return comparison;
    } catch (const std::bad_alloc&) {
        return failure(Reason::OutOfMemory, current != nullptr ? *current : std::filesystem::path());
    }
}

}  // namespace tessaron
