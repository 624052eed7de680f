#pragma once

#include "engine/genome.h"
#include "input/feature.h"

#include <filesystem>
#include <optional>

namespace tessaron {

// Reads a GenBank flat file: the SOURCE line as the genome's title, the
// "source" feature's end as the expected length, the gene, RNA and D-loop
// features, and the bases after ORIGIN up to the record's "//" (a file with
// several records yields its first). The genome is filled as a load does
// (capacity = the source end, provisional settings 5 and 15, then
// setLengthBounds(minimum, maximum) unclamped); its index is not built.
//
// Returns the feature list, whole-sequence feature first, or nothing when the
// file is rejected (not GenBank as read here, or unreadable); a rejected file
// leaves the genome exactly as it was.
[[nodiscard]] std::optional<FeatureList> readGenBank(const std::filesystem::path& path, Genome& genome,
                                                     int minimum, int maximum);

// Whether the first non-blank line of the file begins with "LOCUS"; false for
// a file that cannot be read.
[[nodiscard]] bool looksLikeGenBank(const std::filesystem::path& path);

}  // namespace tessaron
