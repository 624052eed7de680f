#pragma once

// Tables for statistics packages (R, pandas): one observation per row, one
// header row, every length of every kind, zero counts included.

#include "compare/batch.h"
#include "compare/controls.h"
#include "compare/genomecomparison.h"
#include "engine/repeatlist.h"
#include "report/reportlayout.h"
#include "report/tablewriter.h"

#include <string>
#include <string_view>

namespace tessaron {

// A number as tables write it: fixed notation, full precision (the fewest
// digits that read back as the same double: 11197200.5, 0.1, 3).
[[nodiscard]] std::string fullDecimal(double value);

// kind, repeat_length, pairs, control_mean, control_sd, z (z empty when the
// controls do not vary).
void writeControlTable(TableWriter& out, const ControlReport& report);
// The same in parts, with a first column "seqid" when `withSeqid` (rows
// given a non-empty seqid).
void writeControlHeader(TableWriter& out, bool withSeqid);
void writeControlRows(TableWriter& out, const ControlReport& report, std::string_view seqid = {});

// The summary as a table: seqid, kind, repeat_length, pairs; every length
// from `minLength` to `maxLength` (zeros included), then the longer lengths
// with pairs (the complete search's).
void writeSummaryTableHeader(TableWriter& out);
void writeSummaryTableRows(TableWriter& out, std::string_view seqid, int minLength, int maxLength,
                           const PairCountsByKind& counts);

// Where a motif occurs, as a table: seqid, motif, start (1-based, ascending).
void writeMotifTableHeader(TableWriter& out);
void writeMotifTableRows(TableWriter& out, std::string_view seqid, std::string_view motif,
                         const PositionList& starts);

// The comparison as a table: seqid (the record's), genome (as the sheet
// names it), kind, repeat_length, pairs, every length of the sheet; with the complete search
// one more row per genome, repeat_length empty, for the pairs longer than
// the maximum.
void writeComparisonTable(TableWriter& out, const GenomeComparison& comparison);

// file, record, accession, title, length, kind, repeat_length, pairs, and with controls
// control_mean, control_sd, z. With `seqidColumn` the third column is named
// seqid, and the rows given a non-empty `seqid` write it there in place of
// the accession (empty for plain text).
void writeBatchHeader(TableWriter& out, bool withControls, bool seqidColumn = false);
void writeBatchRows(TableWriter& out, const BatchGenome& genome, std::string_view seqid = {});

}  // namespace tessaron
