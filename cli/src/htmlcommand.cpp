#include "htmlcommand.h"

#include "clifailure.h"
#include "compare/repeatsection.h"
#include "engine/approximatesearch.h"
#include "engine/gappedsearch.h"
#include "engine/plastomestructure.h"
#include "engine/repeatkinds.h"
#include "engine/wordlengths.h"
#include "recordwork.h"
#include "report/htmlreportbuilder.h"
#include "searches.h"

#include <algorithm>
#include <array>
#include <memory>
#include <variant>
#include <vector>

namespace tessaron::cli {

namespace {

// The long repeats begin where the paper section's length classes do.
constexpr int kLongRepeat = 30;

template <typename Result>
Result found(std::variant<Result, SearchFailure> result)
{
    if (const auto* failure = std::get_if<SearchFailure>(&result)) {
        throwSearchFailure(*failure);
    }
    return std::get<Result>(std::move(result));
}

// The words before the report's own in the commands the page names.
std::string recordOptions(const Options& options)
{
    std::string words;
    if (options.record) {
        words += "--record " + shellWord(*options.record);
    }
    if (options.seqid) {
        words += std::string(words.empty() ? "" : " ") + "--seqid " + shellWord(*options.seqid);
    }
    return words;
}

// The exact pairs, found by the suffix trie from 30 bp on.
void addExactPairs(HtmlReportBuilder& page, const Options& options, const RecordWork& work)
{
    const int minimum = std::max(options.minimum, kLongRepeat);
    const int maximum = std::max(options.maximum, WordLengths::kLongest);
    work.genome()->setLengthBounds(minimum, maximum);
    const PreparedSearch search = work.prepare(SearchMethod::Trie, kKindOrder);
    std::array<std::shared_ptr<const RepeatSnapshot>, kRepeatKindCount> snapshots;
    for (std::size_t i = 0; i < kKindOrder.size(); ++i) {
        snapshots[i] = work.words(search, kKindOrder[i]);
    }
    page.addExactPairs(snapshots, minimum, maximum, SearchMethod::Trie);
}

}  // namespace

void writeHtmlReport(const Options& options, const InputRecords& records, std::ostream& out,
                     Progress& progress, const std::string& commandLine)
{
    const RecordWork work(records.load(0), progress);
    const Genome& genome = *work.genome();
    if (genome.length() == 0) {
        throw Failure{"--report html needs a genome with bases"};
    }
    HtmlReportBuilder page(work.genome(), work.seqid(), work.features(), recordOptions(options),
                           options.file.empty() ? "-" : options.file);
    const std::string version = versionText();
    page.setOrigin(version.substr(0, version.find('\n')), commandLine);

    const RepeatSection paper = found(analyseRepeatSection(
        genome, options.ssrSettings, work.step("repeat section"), options.tandemSettings));
    page.addPaperSection(paper);
    addExactPairs(page, options, work);
    // The approximate pairs the paper section counts: its defaults from 30 bp.
    ApproximateSettings approximate;
    approximate.minLength = kLongRepeat;
    page.addApproximatePairs(
        found(approximateSearch(genome, kKindOrder, approximate, work.step("approximate repeats"))),
        approximate);
    // With --gaps, the gapped pairs from 30 bp at the costs asked for, and their families.
    if (options.gaps) {
        GappedSettings gapped = options.gapped;
        gapped.minLength = kLongRepeat;
        const auto gappedPairs = found(gappedSearch(genome, kKindOrder, gapped, work.step("gapped repeats")));
        page.addGappedPairs(gappedPairs, gapped);
        page.addFamilies(gappedPairs, gapped);
    }
    page.addMicrosatellites(paper.microsatellites, options.ssrSettings);
    page.addTandemArrays(paper.tandemRepeats, paper.tandemSettings);
    progress.show("plastome of " + work.seqid(), 0.0);
    page.addPlastome(findPlastomeStructure(genome.sequence()));
    page.addFeatures();

    progress.clear();
    page.write(out);
}

}  // namespace tessaron::cli
