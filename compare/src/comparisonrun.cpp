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

ComparisonFailure failure(const char* message, bool beforeRun)
{
    return ComparisonFailure{message, beforeRun};
}

}  // namespace

std::variant<GenomeComparison, ComparisonFailure> runComparison(
    const std::vector<std::filesystem::path>& files, int kindIndex, int minimum, int maximum, Genome& genome,
    const std::function<void(int done)>& progress)
{
    if (files.empty()) {
        return failure(kNoFilesMessage, true);
    }
    const std::optional<RepeatKind> kind = kindOfCompareItem(kindIndex);
    if (!kind) {
        return failure(kBadKindMessage, true);
    }

    try {
        const auto lengthCount = static_cast<std::size_t>(std::max(maximum - minimum + 1, 0));
        GenomeComparison comparison;
        comparison.minLength = minimum;
        comparison.maxLength = minimum;
        comparison.rows.reserve(files.size());

        int done = 0;
        for (const std::filesystem::path& path : files) {
            ComparisonRow& row = comparison.rows.emplace_back();
            row.fileTitle = fileTitleOf(path);
            row.counts.assign(lengthCount, 0);

            if (!readGenBank(path, genome, minimum, maximum)) {
                return failure(kBadFileMessage, false);
            }
            if (!genome.buildIndex()) {
                return failure(kOutOfMemoryMessage, false);
            }
            const std::unique_ptr<RepeatList> list = search(genome, *kind);
            if (!list) {
                return failure(kOutOfMemoryMessage, false);
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
        return failure(kOutOfMemoryMessage, false);
    }
}

}  // namespace tessaron
