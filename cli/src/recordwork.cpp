#include "recordwork.h"

#include "report/gffreport.h"
#include "searches.h"

#include <vector>

namespace tessaron::cli {

RecordWork::RecordWork(LoadedRecord loaded, Progress& progress)
    : record_(std::move(loaded)),
      progress_(progress),
      featureIndex_(record_.features, record_.genome->length())
{
}

SearchControl RecordWork::step(std::string_view what) const
{
    return progress_.control(record_.seqid + ": " + std::string(what));
}

PreparedSearch RecordWork::prepare(SearchMethod method, std::span<const RepeatKind> kinds) const
{
    return cli::prepare(record_.genome, method, kinds, step("indexing"));
}

std::shared_ptr<const RepeatSnapshot> RecordWork::words(const PreparedSearch& search, RepeatKind kind) const
{
    return runSearch(search, kind, SnapshotDetail::Words, step(kindName(kind)));
}

void forEachRecord(const InputRecords& records, Progress& progress,
                   const std::function<void(const RecordWork& work, bool first)>& write)
{
    for (std::size_t i = 0; i < records.size(); ++i) {
        const RecordWork work(records.load(i), progress);
        write(work, i == 0);
    }
}

void writeSortedRecords(const InputRecords& records, TableWriter& out, Progress& progress, bool gffHeader,
                        const RecordRows& write)
{
    const std::vector<std::size_t> order = records.bySeqid();
    if (gffHeader) {
        // The records are loaded once more below.
        std::vector<GffSequence> sequences;
        for (const std::size_t index : order) {
            sequences.push_back({records.seqid(index), records.load(index).genome->length()});
        }
        writeGffHeader(out, sequences);
    }
    SortedRows sorted(out);
    for (std::size_t i = 0; i < order.size(); ++i) {
        const RecordWork work(records.load(order[i]), progress);
        write(work, sorted);
        const bool sameNext = i + 1 < order.size() && records.seqid(order[i + 1]) == work.seqid();
        if (!sameNext) {
            sorted.finish();
        }
    }
}

}  // namespace tessaron::cli
