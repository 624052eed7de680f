#pragma once

#include "engine/genome.h"
#include "engine/searchcontrol.h"
#include "engine/settingsbounds.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tessaron {

// Microsatellites (simple sequence repeats): runs of a unit of 1 to 6 letters
// in the circular sequence S of N letters, 0-based positions read modulo N.
//
// For a unit length P, a stretch is an arc of the circle, a start s and at
// most N letters s .. s+L-1, with no gap in which every letter equals the
// letter P further on inside the arc: S[s+i] = S[s+i+P] for 0 <= i < L-P. A
// run is a stretch that no longer stretch contains (it cannot grow by a letter
// at either end). Its unit is its first P letters; a unit that is a power of a
// shorter word (AA, ATAT, ACGACG) gives nothing at this P, as its letters are a
// run of that shorter unit. The repeat number is floor(L / P) and the reported
// length repeats * P (whole units from the start); a run is reported when its
// repeat number reaches the minimum for P. Every P is searched on its own: a
// stretch of period 3 may hold a run of period 1 and both are reported.
//
// Across the origin and round the circle:
//  - a run may cross the origin: its start is then near the end and its end
//    (start + length) passes N;
//  - when the whole circle has period P (S[t] = S[t+P mod N] for every t, no
//    gap), every start gives the same run of N letters: it is reported once,
//    at start 0, with floor(N / P) repeats (so a circle of period P, whose unit
//    repeated is non-primitive at 2P, 3P, ..., only appears at P);
//  - when the circle has period P but for a few letters all within P of each
//    other, arcs of N letters from several starts are stretches; each is a run
//    at its own start. (Only a genome that is one microsatellite does this.)
//
// The class of a unit is the smallest in letter order (A < C < G < T) of all
// rotations of the unit and of its reverse complement; it is shown with the
// smallest rotation of its reverse complement after a slash: AG, GA, CT and TC
// are "AG/CT", AGC is "AGC/CTG", A and T are "A/T". A class that is its own
// reverse complement shows it twice: "AT/AT", "CG/CG".
//
// Compounds: taken in order of start (then unit length), two consecutive
// microsatellites, the last and the first too, are joined when the gap between
// them, next start - previous end - 1 (ends inclusive; across the origin the
// next start counts N further), is at most the compound distance D; it is
// negative when they overlap, so microsatellites sharing a start are always
// joined. The joined chains of two or more are compounds, numbered 1, 2, ...
// by the smallest start among their members, so a chain joined across the
// origin, holding the first microsatellite, is number 1. A microsatellite on
// its own, also the only one of the circle, has compound 0.

inline constexpr int kMaxUnitLength = 6;

struct MicrosatelliteSettings {
    // The bounds every front end keeps: a single unit is no repeat.
    static constexpr int kLeastRepeats = 2;
    static constexpr int kMostRepeats = 1'000'000;
    static constexpr int kFarthestCompound = 1'000'000;

    // The least repeat number reported for unit lengths 1 .. 6; a minimum
    // below 2 counts as 2 (one unit is no repeat).
    std::array<int, kMaxUnitLength> minimumRepeats{10, 6, 5, 5, 5, 5};
    // The greatest gap D between the members of a compound, in letters.
    int compoundDistance = 100;

    enum class Setting { MinimumRepeats, CompoundDistance };

    // The first setting out of its bounds (a minimum's index is its unit
    // length - 1), or nothing.
    [[nodiscard]] constexpr std::optional<OutOfBounds<Setting>> validate() const
    {
        for (std::size_t p = 0; p < minimumRepeats.size(); ++p) {
            if (minimumRepeats[p] < kLeastRepeats || minimumRepeats[p] > kMostRepeats) {
                return OutOfBounds<Setting>{Setting::MinimumRepeats, kLeastRepeats, kMostRepeats, p};
            }
        }
        if (compoundDistance < 0 || compoundDistance > kFarthestCompound) {
            return OutOfBounds<Setting>{Setting::CompoundDistance, 0, kFarthestCompound};
        }
        return std::nullopt;
    }
};

struct Microsatellite {
    std::int64_t start = 0;  // 0-based, 0 .. N-1
    int unitLength = 0;      // P
    std::string unit;        // the first P letters
    std::int64_t repeats = 0;
    std::int64_t length = 0;  // repeats * P
    std::string motifClass;   // "AG/CT"
    int compound = 0;         // 1, 2, ...; 0 when in none

    // One past the last letter, 0-based: beyond N for a run across the origin.
    [[nodiscard]] std::int64_t end() const { return start + length; }
    friend bool operator==(const Microsatellite&, const Microsatellite&) = default;
};

using MicrosatelliteList = std::vector<Microsatellite>;
using MicrosatelliteResult = std::variant<MicrosatelliteList, SearchFailure>;

// Every microsatellite of the genome, by start then unit length, with the
// compounds numbered. One pass over the sequence per unit length; fails with
// Cancelled when asked to stop, OutOfMemory when the list cannot be had.
[[nodiscard]] MicrosatelliteResult findMicrosatellites(const Genome& genome,
                                                       const MicrosatelliteSettings& settings = {},
                                                       const SearchControl& control = {});

// The class of a unit of A, C, G, T as shown: "AG/CT".
[[nodiscard]] std::string motifClass(std::string_view unit);

// Numbers the compounds of a list in order of start (then unit length) on a
// circle of `genomeLength` letters, as findMicrosatellites does.
void numberCompounds(std::span<Microsatellite> list, std::int64_t genomeLength, int distance);

}  // namespace tessaron
