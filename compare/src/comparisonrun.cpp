#include "compare/comparisonrun.h"

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

std::unique_ptr<RepeatList> search(const Genome& genome, RepeatKind kind)
{
    return kind == RepeatKind::Direct ? genome.findDirectRepeats() : genome.findRepeats(kind);
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
    const std::function<void(int done)>& progress, std::stop_token stop)
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
            if (!genome.buildIndex()) {
                return failure(Reason::OutOfMemory, path);
            }
            if (stop.stop_requested()) {
                return failure(Reason::Cancelled, path);
            }
            const std::unique_ptr<RepeatList> list = search(genome, *kind);
            if (!list) {
                return failure(Reason::OutOfMemory, path);
            }
            const std::size_t slots = std::min(lengthCount, static_cast<std::size_t>(list->slotCount()));
            for (std::size_t slot = 0; slot < slots; ++slot) {
                const std::int64_t count = list->pairCount(static_cast<int>(slot));
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
