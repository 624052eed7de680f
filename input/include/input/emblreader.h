#pragma once

#include "engine/genome.h"
#include "input/feature.h"
#include "input/readerror.h"

#include <filesystem>
#include <string_view>

namespace tessaron {

// Reads one EMBL record held in memory: the length its ID line gives ("...;
// 16569 BP."), the first OS line as the genome's title (the first DE line
// for want of one), the feature table's FT lines read as GenBank's features
// are (the same keys, names, locations and colours, headed by the whole
// sequence: the "source" feature, else 1 to the length), and the bases after
// the SQ line up to the record's "//". The genome is filled as a GenBank load
// fills it (provisional settings 5 and 15, then setLengthBounds(minimum,
// maximum) unclamped; the index not built) and is left as it was when the
// record is refused.
//
// Throws InputError naming `path` and reading "as EMBL": Empty (nothing but
// white space), Malformed (no SQ line before the record or the text ends; a
// source location that cannot be read, with its line; a record cut short:
// the text ends inside the sequence, without "//", before the bases the ID
// line or the source feature gives, with the last line). `firstLine` is the
// number of the text's first line in its file. Throws std::bad_alloc when
// the memory for the sequence cannot be had.
[[nodiscard]] FeatureList parseEmblOrThrow(std::string_view text, Genome& genome, int minimum, int maximum,
                                           const std::filesystem::path& path, int firstLine = 1);

}  // namespace tessaron
