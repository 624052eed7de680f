#include "recordreports.h"

#include "clifailure.h"
#include "compare/controls.h"
#include "engine/repeatkinds.h"
#include "recordwork.h"
#include "report/bedreport.h"
#include "report/featureindex.h"
#include "report/gffreport.h"
#include "report/listingstream.h"
#include "report/reportlayout.h"
#include "report/reports.h"
#include "report/sortedrows.h"
#include "report/tidytables.h"
#include "searches.h"

#include <array>
#include <optional>
#include <string>

namespace tessaron::cli {

namespace {

void writeSummaries(const Options& options, const InputRecords& records, TableWriter& out, Progress& progress)
{
    const bool seqidColumn = options.tidy || records.several();
    if (options.controls) {
        writeControlHeader(out, seqidColumn);
    } else if (options.tidy) {
        writeSummaryTableHeader(out);
    }
    forEachRecord(records, progress, [&](const RecordWork& work, bool first) {
        const PreparedSearch search = work.prepare(options.method, kKindOrder, options.approximate);
        const Genome& genome = search.genome();
        if (options.controls) {
            auto report = runControls(search, controlSettings(options), work.step("controls"));
            if (const auto* failure = std::get_if<SearchFailure>(&report)) {
                throwSearchFailure(*failure);
            }
            writeControlRows(out, std::get<ControlReport>(report), seqidColumn ? work.seqid() : "");
            return;
        }
        const PairCountsByKind counts = countPairs(search, work.step("counting"));
        if (options.tidy) {
            writeSummaryTableRows(out, work.seqid(), genome.minLength(), genome.maxLength(), counts);
            return;
        }
        if (records.several()) {
            writeRecordHeading(out, work.seqid(), first);
        }
        writeLayout(out, summaryLayout(genome.minLength(), counts));
    });
}

void writePairsReport(const Options& options, const InputRecords& records, TableWriter& out,
                      Progress& progress)
{
    // --tidy keeps the seqid column whatever the number of records.
    const bool seqidColumn = options.tidy || records.several();
    forEachRecord(records, progress, [&](const RecordWork& work, bool first) {
        if (first) {
            writePairsHeader(out, work.named() != nullptr, seqidColumn);
        }
        const PreparedSearch search = work.prepare(options.method, kKindOrder);
        for (const RepeatKind kind : kKindOrder) {
            writePairs(out, *work.words(search, kind), work.named(), seqidColumn ? work.seqid() : "");
        }
    });
}

void writeMotifs(const Options& options, const InputRecords& records, TableWriter& out, Progress& progress)
{
    if (options.tidy) {
        writeMotifTableHeader(out);
    }
    forEachRecord(records, progress, [&](const RecordWork& work, bool first) {
        const PositionList starts =
            suffixIndexOf(work.genome(), work.step("indexing"))->findWord(options.motif);
        if (options.tidy) {
            writeMotifTableRows(out, work.seqid(), options.motif, starts);
            return;
        }
        if (records.several()) {
            writeRecordHeading(out, work.seqid(), first);
        }
        writeMotif(out, starts);
    });
}

// GFF3, BED or BEDPE of the repeats.
void writePositional(const Options& options, const InputRecords& records, TableWriter& out,
                     Progress& progress)
{
    const bool gff = options.report == ReportKind::Gff;
    writeSortedRecords(records, out, progress, gff, [&](const RecordWork& work, RowTarget& rows) {
        const PreparedSearch search = work.prepare(options.method, kKindOrder);
        const int length = search.genome().length();
        std::optional<GffReport> gffReport;
        std::optional<BedReport> bed;
        std::optional<BedpeReport> bedpe;
        if (gff) {
            gffReport.emplace(rows, work.seqid(), length);
            gffReport->setFeatures(work.named());
            if (records.several()) {
                gffReport->setIdPrefix(gffSeqid(work.seqid()) + ":");
            }
        } else if (options.report == ReportKind::Bed) {
            bed.emplace(rows, work.seqid(), length);
        } else {
            bedpe.emplace(rows, work.seqid());
        }
        for (const RepeatKind kind : kKindOrder) {
            const auto snapshot = work.words(search, kind);
            if (gffReport) {
                gffReport->write(*snapshot);
            } else if (bed) {
                bed->write(*snapshot);
            } else {
                bedpe->write(*snapshot);
            }
        }
    });
}

}  // namespace

void writeRecordReports(const Options& options, const InputRecords& records, TableWriter& out,
                        Progress& progress)
{
    switch (options.report) {
        case ReportKind::Summary:
            writeSummaries(options, records, out, progress);
            return;
        case ReportKind::Pairs:
            writePairsReport(options, records, out, progress);
            return;
        case ReportKind::Motif:
            writeMotifs(options, records, out, progress);
            return;
        case ReportKind::Gff:
        case ReportKind::Bed:
        case ReportKind::Bedpe:
            writePositional(options, records, out, progress);
            return;
        default:
            break;
    }
    forEachRecord(records, progress, [&](const RecordWork& work, bool first) {
        if (records.several()) {
            writeRecordHeading(out, work.seqid(), first);
        }
        switch (options.report) {
            case ReportKind::Info:
                writeInfo(out, *work.genome());
                return;
            case ReportKind::Features:
                writeFeatures(out, work.features());
                return;
            case ReportKind::Listing: {
                if (options.genes && work.named() == nullptr) {
                    throw Failure{"--genes needs a GenBank record, whose features name the copies"};
                }
                const std::array<RepeatKind, 1> listed{options.kind};
                writeListing(out, *work.words(work.prepare(options.method, listed), options.kind),
                             options.genes ? work.named() : nullptr);
                return;
            }
            default:
                return;
        }
    });
}

}  // namespace tessaron::cli
