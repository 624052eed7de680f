#pragma once

// Internal to the complete search: the index, the rotations of the
// sequence's readings sorted with their common prefixes (how the search uses
// them: completesearch.cpp), and what the index and the search share.

#include "engine/alphabet.h"
#include "engine/completesearch.h"
#include "engine/genome.h"
#include "engine/repeatlist.h"
#include "engine/searchcontrol.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace tessaron::complete {

// Sort codes: the letter codes shifted up by one, so that A < T < C < G
// keep the result order, and 0 for a gap; the readings are kept apart by
// separators above them.
inline constexpr std::uint8_t kGap = 0;
inline constexpr std::uint8_t kFirstSeparator = 5;

inline constexpr std::uint8_t letterCode(char base)
{
    const std::uint8_t code = baseCode(base);
    return code == kGapCode ? kGap : static_cast<std::uint8_t>(code + 1);
}

// The sort code of the complement.
inline constexpr std::array<std::uint8_t, 5> kComplementCode = [] {
    std::array<std::uint8_t, 5> codes{kGap};
    for (std::uint8_t code = 0; code < kGapCode; ++code) {
        codes[code + 1U] = static_cast<std::uint8_t>(complement(code) + 1);
    }
    return codes;
}();

// What is before a rotation: the letter (0..3) or, as 4, a gap.
inline constexpr int kGapBefore = 4;
// A sorted rotation's reading and what is before it, as reading * 8 + before.
inline constexpr int kPerReading = 8;

inline void checkStop(const SearchControl& control)
{
    control.throwIfStopped();
}

// The readings. Rotation j of a reading is read from its letter j on; for V
// and W, letter j is (the complement of) S[N-1-j], so rotation j reads the
// copy that ends at e = N-1-j from there down.
enum Reading : int { kForward = 0, kComplemented = 1, kBackwards = 2, kBackComplemented = 3 };
inline constexpr int kReadings = 4;

}  // namespace tessaron::complete

namespace tessaron {

struct CompleteIndex::Data {
    std::shared_ptr<const Genome> genome;
    std::int32_t length = 0;
    std::vector<std::uint8_t> codes;  // the sequence as letter codes
    std::array<bool, complete::kReadings> present{};
    // The rotations in suffix order: reading * N + j; lcp[i] is the common
    // prefix of rotations i - 1 and i (lcp[0] = 0). Rotations equal all the
    // way round share more than N letters.
    std::vector<std::int32_t> rotation;
    std::vector<std::int32_t> lcp;
    // Per sorted rotation: its reading * kPerReading + what is before it.
    std::vector<std::uint8_t> kindOf;
    bool gaps = false;
    // The place of forward rotation p among the forward rotations: the order
    // of the words S[p..p+L-1] of one length.
    std::vector<std::int32_t> forwardRank;

    // Letter j of a reading, for j in -N .. 2N-1.
    [[nodiscard]] std::uint8_t letter(int reading, std::int32_t j) const
    {
        const std::int32_t n = length;
        const bool backwards = reading == complete::kBackwards || reading == complete::kBackComplemented;
        std::int32_t position = backwards ? n - 1 - j : j;
        position = position < 0 ? position + n : position >= n ? position - n : position;
        const std::uint8_t code = codes[static_cast<std::size_t>(position)];
        return reading == complete::kComplemented || reading == complete::kBackComplemented
                   ? complete::kComplementCode[code]
                   : code;
    }
};

}  // namespace tessaron

namespace tessaron::complete {

// The two readings whose rotations make the pairs of a kind, in an index.
struct KindReadings {
    int first = kForward;
    int second = kForward;
};

inline KindReadings readingsOf(RepeatKind kind, const std::array<bool, kReadings>& present)
{
    switch (kind) {
        case RepeatKind::Direct:
            return {kForward, kForward};
        case RepeatKind::Complementary:
            return {kForward, kComplemented};
        case RepeatKind::Mirror:
            return {kForward, kBackwards};
        case RepeatKind::Inverted:
            return present[kBackComplemented] ? KindReadings{kForward, kBackComplemented}
                                              : KindReadings{kComplemented, kBackwards};
    }
    return {};
}

inline bool servesKind(const CompleteIndex::Data& data, RepeatKind kind)
{
    const KindReadings readings = readingsOf(kind, data.present);
    return data.present[static_cast<std::size_t>(readings.first)] &&
           data.present[static_cast<std::size_t>(readings.second)];
}

inline std::int32_t minLengthOf(const Genome& genome)
{
    return std::max(genome.minLength(), 1);
}

// No pair is shorter than m or as long as N, so below m + 1 letters there is
// nothing to index.
inline bool hasPairs(const CompleteIndex::Data& data)
{
    return minLengthOf(*data.genome) < data.length;
}

// The index of `genome` for `kinds`: the readings they need, sorted.
std::unique_ptr<CompleteIndex::Data> buildData(std::shared_ptr<const Genome> genome,
                                               std::span<const RepeatKind> kinds,
                                               const SearchControl& control);

}  // namespace tessaron::complete
