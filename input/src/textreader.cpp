#include "input/textreader.h"

#include "input/filebytes.h"

#include <cstdint>
#include <new>
#include <string>

namespace tessaron {

void readText(const std::filesystem::path& path, Genome& genome, int minimum, int maximum)
{
    // Read first, so that a failed read leaves the genome as it was.
    const std::string bytes = readFileBytes(path);
    if (!genome.allocate(static_cast<std::int64_t>(bytes.size()), 5, 15)) {
        throw std::bad_alloc();
    }
    // Byte by byte, as unsigned values: a zero or 0xFF byte is skipped like any
    // other non-base byte and never ends the text early.
    for (const char byte : bytes) {
        if (byte != '\0') {
            genome.appendBase(static_cast<unsigned char>(byte));
        }
    }
    genome.setLengthBounds(minimum, maximum);
}

}  // namespace tessaron
