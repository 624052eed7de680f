#pragma once

// What the repeat section of a genome paper reports for one genome: the long
// repeats of the four kinds counted by length class, and the microsatellites.

#include "compare/longrepeatcounts.h"
#include "engine/gappedsearch.h"
#include "engine/genome.h"
#include "engine/microsatellites.h"
#include "engine/repeatkinds.h"
#include "engine/searchcontrol.h"
#include "engine/tandemrepeats.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace tessaron {

// The length classes papers count long repeats in, by their shortest length:
// 30-39, 40-49, 50-59, 60-99, 100-999 and >=1000.
inline constexpr std::array<std::int64_t, 6> kLengthClassStarts{30, 40, 50, 60, 100, 1000};
inline constexpr std::size_t kLengthClassCount = kLengthClassStarts.size();

// The class of a length (an index into kLengthClassStarts); nothing below 30.
[[nodiscard]] std::optional<std::size_t> lengthClassOf(std::int64_t length);
// "30-39" ... "100-999", ">=1000".
[[nodiscard]] std::string lengthClassName(std::size_t lengthClass);

// Which search found the long repeats, and with what settings, as the
// section says it.
struct LongRepeatSearch {
    std::string name;      // "approximate search"
    std::string settings;  // "every maximal scoring pair of 30 bp or more at 90 % identity or more (...)"
};

// How the section finds its long repeats: the ungapped approximate search,
// or with `gapped` the gapped search with those settings (its minimum,
// identity and filters are the section's own: 30 bp, 90 %, none); with
// `families` the copies grouped into families too.
struct LongRepeatOptions {
    std::optional<GappedSettings> gapped;
    bool families = false;
};

struct RepeatSection {
    std::string title;
    std::int64_t length = 0;
    LongRepeatSearch search;
    // Pairs of copies per kind (indexed by RepeatKind) and length class.
    std::array<std::array<std::int64_t, kLengthClassCount>, kRepeatKindCount> pairs{};
    // With LongRepeatOptions::families: the families of the pairs per length
    // class of their representative copy and number of copies.
    std::optional<FamilyCountTable> families;
    MicrosatelliteSettings microsatelliteSettings;
    MicrosatelliteList microsatellites;
    TandemSettings tandemSettings;
    TandemRepeatList tandemRepeats;
    bool tandemSearched = false;  // whether tandemRepeats holds the arrays found
};

using RepeatSectionResult = std::variant<RepeatSection, SearchFailure>;

// The section of a genome: its long repeats of the four kinds, found by the
// approximate search at its defaults from 30 bp on (about 90 % identity),
// whatever the genome's own length settings, or as `longRepeats` asks, its
// microsatellites under `settings` and its tandem arrays under `tandem`.
// Stoppable, reporting its progress; fails with OutOfMemory, Cancelled or
// (when families are asked) PairLimit.
[[nodiscard]] RepeatSectionResult analyseRepeatSection(const Genome& genome,
                                                       const MicrosatelliteSettings& settings = {},
                                                       const SearchControl& control = {},
                                                       const TandemSettings& tandem = {},
                                                       const LongRepeatOptions& longRepeats = {});

}  // namespace tessaron
