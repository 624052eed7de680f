#include "ssrcommand.h"

#include "compare/batch.h"
#include "compare/comparisonrun.h"
#include "compare/repeatsection.h"
#include "engine/imperfectmicrosatellites.h"
#include "engine/microsatellites.h"
#include "recordwork.h"
#include "report/bedreport.h"
#include "report/featureindex.h"
#include "report/gffreport.h"
#include "report/microsatellitereport.h"
#include "report/repeatsectionlayout.h"
#include "report/reports.h"
#include "report/sortedrows.h"
#include "report/tandemreport.h"

#include <filesystem>
#include <iostream>
#include <new>
#include <stdexcept>
#include <variant>
#include <vector>

namespace tessaron::cli {

namespace {

// A search of the command line only fails when memory runs out.
template <typename Result>
Result valueOf(std::variant<Result, SearchFailure> result)
{
    if (std::holds_alternative<SearchFailure>(result)) {
        throw std::bad_alloc();
    }
    return std::get<Result>(std::move(result));
}

void writePaper(const Options& options, const Genome& genome, TableWriter& out,
                const ChartDrawer& chartDrawer)
{
    ChartInput chart;
    chart.save.overwriteReadOnly = options.force;
    LongRepeatOptions longRepeats;
    if (options.gaps) {
        longRepeats.gapped = options.gapped;
    }
    longRepeats.families = options.families;
    chart.section =
        valueOf(analyseRepeatSection(genome, options.ssrSettings, {}, options.tandemSettings, longRepeats));
    writeLayout(out, repeatSectionLayout(*chart.section));
    if (!options.chartFile.empty() && !chartDrawer(options.chartFile, chart)) {
        throw std::runtime_error("cannot write " + options.chartFile);
    }
}

std::vector<std::filesystem::path> filesOf(const Options& options)
{
    return {options.compareFiles.begin(), options.compareFiles.end()};
}

}  // namespace

bool usesMicrosatellites(const Options& options)
{
    return options.ssr || options.report == ReportKind::Microsatellites ||
           options.report == ReportKind::Paper;
}

void writeMicrosatelliteReports(const Options& options, const InputRecords& records, TableWriter& out,
                                Progress& progress, const ChartDrawer& chartDrawer)
{
    const auto found = [&](const RecordWork& work) {
        return valueOf(
            findMicrosatellites(*work.genome(), options.ssrSettings, work.step("microsatellites")));
    };
    switch (options.report) {
        case ReportKind::Paper:
            forEachRecord(records, progress, [&](const RecordWork& work, bool) {
                writePaper(options, *work.genome(), out, chartDrawer);
            });
            return;
        case ReportKind::Gff:
        case ReportKind::Bed: {
            const bool gff = options.report == ReportKind::Gff;
            writeSortedRecords(records, out, progress, gff, [&](const RecordWork& work, RowTarget& rows) {
                const MicrosatelliteList list = found(work);
                const int length = work.genome()->length();
                if (gff) {
                    GffReport report(rows, work.seqid(), length);
                    report.setFeatures(work.named());
                    if (records.several()) {
                        report.setIdPrefix(gffSeqid(work.seqid()) + ":");
                    }
                    report.write(list);
                } else {
                    BedReport(rows, work.seqid(), length).write(list);
                }
            });
            return;
        }
        default:
            break;
    }
    if (options.tidy) {
        // One table of every record, each row begun with its seqid.
        if (options.report != ReportKind::Microsatellites) {
            writeMicrosatelliteCountsHeader(out);
        }
        forEachRecord(records, progress, [&](const RecordWork& work, bool first) {
            const MicrosatelliteList list = found(work);
            if (options.report != ReportKind::Microsatellites) {
                writeMicrosatelliteCountsRows(out, work.seqid(), countMicrosatellites(list));
                return;
            }
            if (first) {
                writeMicrosatellitesHeader(out, work.named() != nullptr, true);
            }
            writeMicrosatelliteRows(out, list, work.named(), work.seqid());
        });
        return;
    }
    forEachRecord(records, progress, [&](const RecordWork& work, bool first) {
        if (records.several()) {
            writeRecordHeading(out, work.seqid(), first);
        }
        if (options.ssrImperfect) {
            writeImperfectMicrosatellites(
                out, valueOf(findImperfectMicrosatellites(*work.genome(), options.ssrSettings,
                                                          work.step("interrupted microsatellites"))));
            return;
        }
        const MicrosatelliteList list = found(work);
        if (options.report == ReportKind::Microsatellites) {
            writeMicrosatellites(out, list, work.named());
        } else {
            writeLayout(out, microsatelliteSummaryLayout(countMicrosatellites(list)));
        }
    });
}

void compareMicrosatellites(const Options& options, TableWriter& out)
{
    auto result = runMicrosatelliteComparison(filesOf(options), options.ssrSettings);
    if (const auto* failure = std::get_if<ComparisonFailure>(&result)) {
        // The reader's words name the file and the cause.
        throw std::runtime_error(failure->detail.empty() ? failure->message : failure->detail);
    }
    const auto& comparison = std::get<MicrosatelliteComparison>(result);
    if (options.tidy) {
        writeMicrosatelliteComparisonTable(out, comparison);
    } else {
        writeLayout(out, microsatelliteComparisonLayout(comparison));
    }
}

int microsatelliteBatch(const Options& options, TableWriter& out)
{
    BatchSettings settings;
    settings.threads = options.jobs.value_or(0);
    settings.microsatellites = options.ssrSettings;
    writeMicrosatelliteBatchHeader(out, options.tidy);
    const auto seqidOf = [&](const BatchGenome& genome) {
        return options.tidy ? batchSeqid(genome) : std::string();
    };
    const int failed = runBatch(filesOf(options), settings,
                                [&](std::size_t, const std::vector<BatchGenome>& genomes,
                                    const std::optional<BatchFailure>& failure) {
                                    if (failure) {
                                        out.flush();
                                        std::cout.flush();
                                        std::cerr << "tessaron-cli: " << failure->file.string() << ": "
                                                  << failure->reason << '\n';
                                    }
                                    for (const BatchGenome& genome : genomes) {
                                        writeMicrosatelliteBatchRows(out, genome, seqidOf(genome));
                                    }
                                });
    return failed > 0 ? 1 : 0;
}

}  // namespace tessaron::cli
