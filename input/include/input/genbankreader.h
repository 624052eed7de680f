#pragma once

#include "engine/genome.h"
#include "input/feature.h"
#include "input/readerror.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace tessaron {

// Reads a GenBank flat file: the SOURCE line as the genome's title, the
// "source" feature's end as the expected length, the gene, RNA and D-loop
// features, and the bases after ORIGIN up to the record's "//" (a file with
// several records yields its first). The genome is filled as a load does
// (capacity = the source end, provisional settings 5 and 15, then
// setLengthBounds(minimum, maximum) unclamped); its index is not built. The
// capacity is smaller only when fewer bytes follow ORIGIN than the source end
// claims, since no more bases can follow than there are bytes.
//
// Features: a key of one letter and "RNA" (colour by its first letter t and
// its strand, named by its /product), "gene" (named by its /gene) and
// "D-loop"; a feature without the qualifier that names it takes its
// /locus_tag, or else its key. Names keep 30 characters, wrapped values joined
// by one blank. Keys count only in the key column, qualifiers only within
// their own feature's lines; a location that parseLocation cannot read drops
// its feature.
//
// Returns the feature list, whole-sequence feature first, or nothing when the
// file is rejected (not GenBank as read here, no ORIGIN before the record
// ends, a "source" location that cannot be read, or a file that cannot be
// read); a rejected file leaves the genome exactly as it was. Throws
// std::bad_alloc when the memory for the sequence cannot be had.
[[nodiscard]] std::optional<FeatureList> readGenBank(const std::filesystem::path& path, Genome& genome,
                                                     int minimum, int maximum);

// The same, but a rejected file throws InputError saying why: Missing,
// Unreadable, IsDirectory or TooLarge for a file that cannot be read; Empty
// (nothing but white space), NotGenBank (no line begins with LOCUS) or
// Malformed (no SOURCE, FEATURES, source feature or ORIGIN before the record
// or the file ends, with the line of the record's "//"; a source location
// that cannot be read, with its line; a record cut short: the text ends
// inside the sequence, without "//", before the bases that the LOCUS line
// (or else the source feature) gives, with the last line) for its content.
// Lines end at LF, CR LF or a CR alone.
[[nodiscard]] FeatureList readGenBankOrThrow(const std::filesystem::path& path, Genome& genome, int minimum,
                                             int maximum);

// The same for one record held in memory, throwing InputError with `path`;
// `firstLine` is the number of the text's first line in its file, so that the
// line a message names counts from the file's start.
[[nodiscard]] FeatureList parseGenBankOrThrow(std::string_view text, Genome& genome, int minimum, int maximum,
                                              const std::filesystem::path& path, int firstLine = 1);

// The same for the content of a file held in memory.
[[nodiscard]] std::optional<FeatureList> parseGenBank(std::string_view text, Genome& genome, int minimum,
                                                      int maximum);

// Whether the first non-blank line of the file begins with "LOCUS"; false for
// a file that cannot be read.
[[nodiscard]] bool looksLikeGenBank(const std::filesystem::path& path);

}  // namespace tessaron
