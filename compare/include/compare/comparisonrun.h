#pragma once

#include "compare/genomecomparison.h"
#include "engine/genome.h"
#include "engine/repeatkinds.h"
#include "engine/repeatlist.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <variant>
#include <vector>

namespace tessaron {

// The entries of the "Compare what:" list, in list order (kindOfCompareItem
// tells the kind of each); note that index 2 is complementary and index 3 mirror.
inline constexpr std::array<const char*, kRepeatKindCount> kCompareKindItems = [] {
    std::array<const char*, kRepeatKindCount> items{};
    for (const KindInfo& info : kKinds) {
        items[static_cast<std::size_t>(info.compareItem)] = info.heading.data();
    }
    return items;
}();

// Why a comparison stopped, as the message the user is shown.
struct ComparisonFailure {
    enum class Reason { NoFiles, BadKind, FileRejected, OutOfMemory, Cancelled };

    std::string message;
    // True when nothing was read (the dialog stays open); false when the run
    // ended on a file.
    bool beforeRun = false;
    Reason reason = Reason::FileRejected;
    std::filesystem::path file;  // the file the run ended on; empty before the run
    // For a rejected file, the reader's own words: which file and why
    // ("cannot open 'a.gb': No such file or directory"); empty otherwise.
    std::string detail;
};

// Reads each GenBank file once and every record of it, a row per record
// (titled "file:NAME" when a file holds several), into `genome` with the settings, indexes it and
// searches it for the kind of list entry `kindIndex`, collecting the pairs
// per length. `progress` is called after each file with the number done.
// Failures: no files ("Não há ficheiros para comparar!"), a list index
// outside 0..3 ("There is an error with the type of repeat to compare!"), a
// file the reader rejects ("Erro num ficheiro!!!"), memory running out
// ("Looks like we're out of memory..."). A stop requested through `stop` ends
// the run before the next file, and between indexing and searching a file
// ("The comparison was cancelled.", reason Cancelled).
[[nodiscard]] std::variant<GenomeComparison, ComparisonFailure> runComparison(
    const std::vector<std::filesystem::path>& files, int kindIndex, int minimum, int maximum, Genome& genome,
    const std::function<void(int done)>& progress = {}, std::stop_token stop = {}, bool complete = false);

}  // namespace tessaron
