#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace tessaron {

// Where a feature lies as its location says: the file's 1-based numbers of
// its first and last base. `first` exceeds `last` for a feature that crosses
// the origin of the circular genome.
struct FeatureLocation {
    // One stretch of a join or order, and whether an odd number of
    // complement(...) encloses it.
    struct Part {
        std::int32_t first = 0;
        std::int32_t last = 0;
        bool complement = false;
        friend bool operator==(const Part&, const Part&) = default;
    };

    FeatureLocation() = default;
    FeatureLocation(std::int32_t firstBase, std::int32_t lastBase, bool onComplement,
                    std::vector<Part> stretches = {})
        : first(firstBase), last(lastBase), complement(onComplement), parts(std::move(stretches))
    {
    }

    std::int32_t first = 0;
    std::int32_t last = 0;
    bool complement = false;  // on the complementary strand
    // The stretches of a join or order, first..last each, in the order
    // written; empty for a location of one stretch.
    std::vector<Part> parts;
    friend bool operator==(const FeatureLocation&, const FeatureLocation&) = default;
};

// Reads a GenBank feature location; blanks and line ends inside it are
// ignored. Takes a..b, a single base a (as a..a), and complement(...),
// join(...) and order(...) nested in any way; the partial markers < and >
// before a number are passed over. A join or order spans from the first
// number of its first part to the last number of its last part, unless every
// part lies on the complementary strand: such parts are listed from the far
// end, so the span runs from the first number of the last part to the last
// number of the first part. `parts` then lists every stretch as written.
//
// Returns nothing for a location that names no stretch of this sequence or
// cannot be read: a^b (between two bases), a.b (one base somewhere between),
// a reference to another entry (X12345.1:1..10), a number of 0 or beyond
// 2^31 - 1, unbalanced parentheses, or anything left over after the location.
[[nodiscard]] std::optional<FeatureLocation> parseLocation(std::string_view text);

}  // namespace tessaron
