#pragma once

#include "compare/genomecomparison.h"
#include "engine/gappedsearch.h"
#include "engine/repeatkinds.h"
#include "engine/searchmethod.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <variant>
#include <vector>

namespace tessaron {

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

// How a comparison runs, beyond its files, kind and lengths.
struct ComparisonOptions {
    // How the repeats are found; a method that finds pairs longer than the
    // maximum gives them a column of their own.
    SearchMethod method = SearchMethod::Trie;
    ApproximateSettings approximate = {};  // of SearchMethod::Approximate, counted per length class
    std::optional<GappedSettings> gapped;  // with SearchMethod::Approximate: the gapped search instead
    int threads = 0;                       // 0: every core
    // Called, on the calling thread, as each file's rows are added, with the
    // number of files done.
    std::function<void(int done)> progress;
    std::stop_token stop;
};

// Reads each GenBank file (every genome it holds becomes a row, in file order),
// analyses the files in parallel and counts the pairs of `kind` per length,
// each file in a genome of its own. Failures: no files ("Não há ficheiros
// para comparar!"), no kind or one that is none of the four ("There is an
// error with the type of repeat to compare!"), a file that
// cannot be read as GenBank ("Erro num ficheiro!!!", with the reader's words in
// `detail`), memory running out ("Looks like we're out of memory..."). The
// first file in list order that fails ends the run; a stop requested through
// `options.stop` ends it at the first file not yet counted ("The comparison
// was cancelled.", reason Cancelled).
[[nodiscard]] std::variant<GenomeComparison, ComparisonFailure> runComparison(
    const std::vector<std::filesystem::path>& files, std::optional<RepeatKind> kind, int minimum, int maximum,
    const ComparisonOptions& options = {});

// The same run for the microsatellites under `settings`, one genome per
// record, with the same failures (but for the kind) and no index built.
[[nodiscard]] std::variant<MicrosatelliteComparison, ComparisonFailure> runMicrosatelliteComparison(
    const std::vector<std::filesystem::path>& files, const MicrosatelliteSettings& settings,
    const ComparisonOptions& options = {});

// The same run for the tandem arrays under `settings`.
[[nodiscard]] std::variant<TandemComparison, ComparisonFailure> runTandemComparison(
    const std::vector<std::filesystem::path>& files, const TandemSettings& settings,
    const ComparisonOptions& options = {});

}  // namespace tessaron
