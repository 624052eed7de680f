#include "tandemcommand.h"

#include "compare/batch.h"
#include "compare/comparisonrun.h"
#include "engine/approximatesearch.h"
#include "engine/microsatellites.h"
#include "engine/repeatkinds.h"
#include "engine/tandemrepeats.h"
#include "recordwork.h"
#include "report/gffreport.h"
#include "report/maskedsequence.h"
#include "report/reports.h"
#include "report/tandemreport.h"
#include "searches.h"

#include <filesystem>
#include <iostream>
#include <span>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace tessaron::cli {

namespace {

TandemRepeatList tandemArrays(const Options& options, const RecordWork& work)
{
    auto found = findTandemRepeats(*work.genome(), options.tandemSettings, work.step("tandem repeats"));
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        throwSearchFailure(*failure);
    }
    return std::get<TandemRepeatList>(std::move(found));
}

// Both copies of every pair of the approximate search at its defaults, split
// at the origin as BED splits them.
void addRepeatStretches(const RecordWork& work, std::vector<SequenceStretch>& stretches)
{
    auto found = approximateSearch(*work.genome(), kKindOrder, ApproximateSettings{},
                                   work.step("approximate repeats"));
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        throwSearchFailure(*failure);
    }
    const std::int64_t length = work.genome()->length();
    const auto add = [&](std::int64_t start, std::int64_t letters) {
        const std::int64_t end = start + letters;
        if (end > length) {
            stretches.push_back({start, length, {}});
            stretches.push_back({0, end - length, {}});
        } else {
            stretches.push_back({start, end, {}});
        }
    };
    for (const ApproximateResult& result : std::get<std::vector<ApproximateResult>>(found)) {
        for (const ApproximatePair& pair : result.pairs) {
            add(pair.first, pair.length);
            add(pair.second, pair.length);
        }
    }
}

// "SEQID TITLE", the header of a masked record.
std::string fastaTitle(const RecordWork& work)
{
    const std::string& title = work.genome()->title();
    return title.empty() || title == work.seqid() ? work.seqid() : work.seqid() + " " + title;
}

}  // namespace

bool usesTandemRepeats(const Options& options)
{
    return options.tandem || options.report == ReportKind::Mask;
}

void writeTandemReports(const Options& options, const InputRecords& records, TableWriter& out,
                        Progress& progress)
{
    if (options.report == ReportKind::Gff || options.report == ReportKind::Bed) {
        const bool gff = options.report == ReportKind::Gff;
        writeSortedRecords(records, out, progress, gff, [&](const RecordWork& work, RowTarget& rows) {
            const TandemRepeatList list = tandemArrays(options, work);
            if (gff) {
                const std::string prefix = records.several() ? gffSeqid(work.seqid()) + ":" : std::string();
                for (std::size_t i = 0; i < list.size(); ++i) {
                    writeTandemGff(rows.row(list[i].start), work.seqid(), std::span(&list[i], 1),
                                   static_cast<std::int64_t>(i) + 1, prefix);
                }
                return;
            }
            for (const SequenceStretch& stretch : tandemStretches(list, work.genome()->length())) {
                writeStretchesBed(rows.row(stretch.start), work.seqid(), std::span(&stretch, 1));
            }
        });
        return;
    }
    forEachRecord(records, progress, [&](const RecordWork& work, bool first) {
        if (records.several()) {
            writeRecordHeading(out, work.seqid(), first);
        }
        const TandemRepeatList list = tandemArrays(options, work);
        if (options.report == ReportKind::Tandem) {
            writeTandemRepeats(out, list);
        } else {
            writeLayout(out, tandemSummaryLayout(countTandemRepeats(list)));
        }
    });
}

int tandemBatch(const Options& options, TableWriter& out)
{
    BatchSettings settings;
    settings.threads = options.jobs.value_or(0);
    settings.tandem = options.tandemSettings;
    writeTandemBatchHeader(out);
    const std::vector<std::filesystem::path> files(options.compareFiles.begin(), options.compareFiles.end());
    const int failed = runBatch(files, settings,
                                [&](std::size_t, const std::vector<BatchGenome>& genomes,
                                    const std::optional<BatchFailure>& failure) {
                                    if (failure) {
                                        out.flush();
                                        std::cout.flush();
                                        std::cerr << "tessaron-cli: " << failure->file.string() << ": "
                                                  << failure->reason << '\n';
                                    }
                                    for (const BatchGenome& genome : genomes) {
                                        writeTandemBatchRows(out, genome);
                                    }
                                });
    return failed > 0 ? 1 : 0;
}

void compareTandemRepeats(const Options& options, TableWriter& out)
{
    const std::vector<std::filesystem::path> files(options.compareFiles.begin(), options.compareFiles.end());
    auto result = runTandemComparison(files, options.tandemSettings);
    if (const auto* failure = std::get_if<ComparisonFailure>(&result)) {
        // The reader's words name the file and the cause.
        throw std::runtime_error(failure->detail.empty() ? failure->message : failure->detail);
    }
    writeTandemComparisonTable(out, std::get<TandemComparison>(result));
}

void writeMaskedRecords(const Options& options, const InputRecords& records, std::ostream& out,
                        Progress& progress)
{
    forEachRecord(records, progress, [&](const RecordWork& work, bool) {
        const Genome& genome = *work.genome();
        std::vector<SequenceStretch> stretches;
        if (options.maskMicrosatellites) {
            auto found = findMicrosatellites(genome, options.ssrSettings, work.step("microsatellites"));
            if (const auto* failure = std::get_if<SearchFailure>(&found)) {
                throwSearchFailure(*failure);
            }
            const auto more = microsatelliteStretches(std::get<MicrosatelliteList>(found), genome.length());
            stretches.insert(stretches.end(), more.begin(), more.end());
        }
        if (options.maskTandem) {
            const auto more = tandemStretches(tandemArrays(options, work), genome.length());
            stretches.insert(stretches.end(), more.begin(), more.end());
        }
        if (options.maskRepeats) {
            addRepeatStretches(work, stretches);
        }
        progress.clear();
        writeFasta(
            out, fastaTitle(work),
            maskSequence(genome.sequence(), stretches, options.maskHard ? MaskMode::Hard : MaskMode::Soft));
    });
}

}  // namespace tessaron::cli
