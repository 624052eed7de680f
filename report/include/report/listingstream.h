#pragma once

#include "engine/repeatsnapshot.h"
#include "report/featureindex.h"
#include "report/reportlayout.h"
#include "report/rowsink.h"
#include "report/tablewriter.h"

namespace tessaron {

// The listing of a snapshot's kind (it needs SnapshotDetail::Words), row by
// row into `sink`, with the same rows, cells and widths as listingLayout:
// longest words first, a "N bp sequences" row per filled length, a row per
// pair with the word on its first one, an empty row after each length. The
// pairs are made in batches; nothing of the whole listing is held. With
// `features`, each pair row gets one more cell naming the features of both
// copies, "first | second".
void streamListing(const RepeatSnapshot& snapshot, RowSink& sink, const FeatureIndex* features = nullptr);

// The listing as the report sheet's grid, straight to a table.
void writeListing(TableWriter& out, const RepeatSnapshot& snapshot, const FeatureIndex* features = nullptr);

// The listing as a SheetLayout with the kind's caption (small results).
[[nodiscard]] SheetLayout listingLayout(const RepeatSnapshot& snapshot);

}  // namespace tessaron
