#pragma once

#include "compare/repeatsection.h"
#include "report/reportlayout.h"

namespace tessaron {

// The repeat section of a genome paper as a sheet, caption "Repeat summary":
//   "Repeat summary", the title; "Length", "N bp"; an empty row;
//   "Long repeats (pairs of copies) by length:"; "Search:", the search and
//   its settings; a header row (kind, 30-39, ..., >=1000, total), a row per
//   kind and a "total" row; an empty row;
//   "Microsatellites:", their settings; an empty row; then the rows of
//   microsatelliteSummaryLayout (by unit length, by class, compounds).
[[nodiscard]] SheetLayout repeatSectionLayout(const RepeatSection& section);

}  // namespace tessaron
