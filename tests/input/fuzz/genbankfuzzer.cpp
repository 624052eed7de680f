// Feeds arbitrary bytes to the GenBank reader and checks what every accepted
// file must give and that a rejected one leaves the genome alone.

#include "input/featurelocation.h"
#include "input/genbankreader.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

void require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

bool isKnownColor(std::uint32_t color)
{
    using namespace tessaron;
    return color == kColorSequence || color == kColorGeneDirect || color == kColorGeneComplement ||
           color == kColorTrnaDirect || color == kColorTrnaComplement;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tessaron;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    if (const auto location = parseLocation(text)) {
        require(location->first >= 1 && location->last >= 1, "location numbers from 1");
    }

    Genome genome;
    genome.setTitle("before");
    genome.allocate(4, 5, 15);
    genome.appendText("GATC");
    const auto features = parseGenBank(text, genome, 8, 30);
    if (!features) {
        require(genome.title() == "before" && genome.sequence() == "GATC" && genome.capacity() == 4 &&
                    genome.minLength() == 5 && genome.lengthBound() == 16,
                "a rejected file leaves the genome as it was");
        return 0;
    }

    require(!features->empty() && features->front().name == "sequence" &&
                features->front().color == kColorSequence,
            "the whole sequence comes first");
    for (const Feature& feature : *features) {
        require(feature.start >= 0 && feature.end >= 0, "0-based positions");
        require(feature.name.size() <= 30, "names of at most 30 characters");
        require(isKnownColor(feature.color), "one of the five colours");
    }
    require(genome.title().size() <= 95, "title of at most 95 characters");
    require(genome.length() <= genome.capacity(), "length within the capacity");
    require(genome.capacity() <= features->front().end + 1, "capacity at most the source end");
    require(genome.sequence().find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string_view::npos,
            "upper-case letters only");
    std::int64_t gaps = 0;
    for (std::int64_t i = 0; i < genome.length(); ++i) {
        gaps += genome.isGap(i) ? 1 : 0;
    }
    require(gaps == genome.gapCount(), "every letter other than A, C, G, T counted as a gap");
    require(genome.minLength() == 8 && genome.lengthBound() == 31, "the caller's settings");
    return 0;
}
