#pragma once

// Tables for statistics packages (R, pandas): one observation per row, one
// header row, every length of every kind, zero counts included.

#include "compare/batch.h"
#include "compare/controls.h"
#include "report/tablewriter.h"

namespace tessaron {

// kind, repeat_length, pairs, control_mean, control_sd, z (z empty when the
// controls do not vary).
void writeControlTable(TableWriter& out, const ControlReport& report);

// file, record, title, length, kind, repeat_length, pairs, and with controls
// control_mean, control_sd, z.
void writeBatchHeader(TableWriter& out, bool withControls);
void writeBatchRows(TableWriter& out, const BatchGenome& genome);

}  // namespace tessaron
