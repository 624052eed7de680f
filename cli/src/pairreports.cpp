#include "pairreports.h"

#include "report/approximatereport.h"
#include "report/reports.h"
#include "report/tidytables.h"

namespace tessaron::cli {

void writeClassSummaries(const InputRecords& records, TableWriter& out, Progress& progress, bool tidy,
                         int minLength,
                         const std::function<ApproximateClassCounts(const RecordWork& work)>& countsOf)
{
    if (tidy) {
        writeSummaryTableHeader(out);
    }
    forEachRecord(records, progress, [&](const RecordWork& work, bool first) {
        const ApproximateClassCounts counts = countsOf(work);
        if (tidy) {
            writeApproximateSummaryRows(out, work.seqid(), counts, minLength);
            return;
        }
        if (records.several()) {
            writeRecordHeading(out, work.seqid(), first);
        }
        writeLayout(out, approximateSummaryLayout(counts, minLength));
    });
}

}  // namespace tessaron::cli
