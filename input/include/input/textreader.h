#pragma once

#include "engine/genome.h"
#include "input/readerror.h"

#include <filesystem>

namespace tessaron {

// Loads any file as a plain run of bases: the bytes A, C, G and T in either
// case, in file order, stored upper case; every other byte (line ends, digits,
// N, header text, zero bytes, 0xFF) is skipped, so the A, C, G and T of a
// header line count as bases. The genome is allocated with the file's size in
// bytes as capacity and the provisional settings 5 and 15, then given
// `minimum` and `maximum` as they are (unclamped). The title is not touched.
//
// Throws ReadError when the file cannot be opened or read, leaving the genome
// unchanged; std::bad_alloc when the memory for it cannot be had.
void readText(const std::filesystem::path& path, Genome& genome, int minimum, int maximum);

}  // namespace tessaron
