#include "recordreports.h"

#include "clifailure.h"
#include "compare/controls.h"
#include "engine/repeatkinds.h"
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

// One record's genome with what the reports of it read.
class RecordWork {
public:
    RecordWork(LoadedRecord loaded, Progress& progress)
        : record_(std::move(loaded)),
          progress_(progress),
          featureIndex_(record_.features, record_.genome->length())
    {
    }

    [[nodiscard]] const std::shared_ptr<Genome>& genome() const { return record_.genome; }
    [[nodiscard]] const FeatureList& features() const { return record_.features; }
    [[nodiscard]] const std::string& seqid() const { return record_.seqid; }
    // The features each copy overlaps, for GenBank input; null otherwise.
    [[nodiscard]] const FeatureIndex* named() const
    {
        return record_.features.empty() ? nullptr : &featureIndex_;
    }

    // A control that shows `step` of this record on the progress line.
    [[nodiscard]] SearchControl step(std::string_view what) const
    {
        return progress_.control(record_.seqid + ": " + std::string(what));
    }
    [[nodiscard]] PreparedSearch prepare(SearchMethod method, std::span<const RepeatKind> kinds) const
    {
        return cli::prepare(record_.genome, method, kinds, step("indexing"));
    }
    [[nodiscard]] std::shared_ptr<const RepeatSnapshot> words(const PreparedSearch& search,
                                                              RepeatKind kind) const
    {
        return runSearch(search, kind, SnapshotDetail::Words, step(kindName(kind)));
    }

private:
    LoadedRecord record_;
    Progress& progress_;
    FeatureIndex featureIndex_;
};

ControlSettings controlSettings(const Options& options)
{
    ControlSettings settings;
    settings.replicates = options.controls.value_or(0);
    // The controls of a random genome start after its own seed, so that none
    // of them is the genome itself.
    settings.seed = options.seed.value_or(1) + (options.randomCounts && options.seed ? 1U : 0U);
    settings.threads = options.jobs.value_or(0);
    return settings;
}

// Calls `write(work, first)` for every chosen record in turn, in file order.
template <typename Write>
void forEachRecord(const InputRecords& records, Progress& progress, Write&& write)
{
    for (std::size_t i = 0; i < records.size(); ++i) {
        const RecordWork work(records.load(i), progress);
        write(work, i == 0);
    }
}

void writeSummaries(const Options& options, const InputRecords& records, TableWriter& out, Progress& progress)
{
    const bool seqidColumn = options.tidy || records.several();
    if (options.controls) {
        writeControlHeader(out, seqidColumn);
    } else if (options.tidy) {
        writeSummaryTableHeader(out);
    }
    forEachRecord(records, progress, [&](const RecordWork& work, bool first) {
        const PreparedSearch search = work.prepare(options.method, kKindOrder);
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
    forEachRecord(records, progress, [&](const RecordWork& work, bool first) {
        if (first) {
            writePairsHeader(out, work.named() != nullptr, records.several());
        }
        const PreparedSearch search = work.prepare(options.method, kKindOrder);
        for (const RepeatKind kind : kKindOrder) {
            writePairs(out, *work.words(search, kind), work.named(), records.several() ? work.seqid() : "");
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

// GFF3, BED or BEDPE: the records by seqid, each record's lines by start.
void writePositional(const Options& options, const InputRecords& records, TableWriter& out,
                     Progress& progress)
{
    const std::vector<std::size_t> order = records.bySeqid();
    if (options.report == ReportKind::Gff) {
        // Every sequence's region first: tabix reads comment lines only
        // before the first feature. The records are loaded once more below.
        std::vector<GffSequence> sequences;
        for (const std::size_t index : order) {
            sequences.push_back({records.seqid(index), records.load(index).genome->length()});
        }
        writeGffHeader(out, sequences);
    }
    SortedRows sorted(out);
    for (std::size_t i = 0; i < order.size(); ++i) {
        const RecordWork work(records.load(order[i]), progress);
        const PreparedSearch search = work.prepare(options.method, kKindOrder);
        const int length = search.genome().length();
        std::optional<GffReport> gff;
        std::optional<BedReport> bed;
        std::optional<BedpeReport> bedpe;
        if (options.report == ReportKind::Gff) {
            gff.emplace(sorted, work.seqid(), length);
            gff->setFeatures(work.named());
            if (records.several()) {
                gff->setIdPrefix(gffSeqid(work.seqid()) + ":");
            }
        } else if (options.report == ReportKind::Bed) {
            bed.emplace(sorted, work.seqid(), length);
        } else {
            bedpe.emplace(sorted, work.seqid());
        }
        for (const RepeatKind kind : kKindOrder) {
            const auto snapshot = work.words(search, kind);
            if (gff) {
                gff->write(*snapshot);
            } else if (bed) {
                bed->write(*snapshot);
            } else {
                bedpe->write(*snapshot);
            }
        }
        // Records that share a seqid are sorted as one.
        const bool sameNext = i + 1 < order.size() && records.seqid(order[i + 1]) == work.seqid();
        if (!sameNext) {
            sorted.finish();
        }
    }
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
