#pragma once

// Is a repeat count more than chance? A genome's pair counts beside those of
// random sequences of exactly its composition (the random generator, seeds
// S, S+1, ...), analysed with the same settings and search.

#include "engine/genome.h"
#include "engine/repeatkinds.h"
#include "engine/repeatsnapshot.h"
#include "engine/searchmethod.h"
#include "engine/settingsbounds.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace tessaron {

// Pair counts per slot of the four kinds, indexed by RepeatKind: per length
// (minimum length first), or per length class for the approximate search
// (slotLabel names a slot).
using KindCounts = std::array<std::vector<std::int64_t>, kRepeatKindCount>;

struct ControlSettings {
    // The bounds every front end keeps (the seed takes any 32-bit value).
    static constexpr int kMostReplicates = 1'000'000;

    int replicates = 100;    // R random sequences, 1 .. kMostReplicates
    std::uint32_t seed = 1;  // of the first; the others follow on
    int threads = 0;         // 0: every core

    enum class Setting { Replicates, Threads };

    // The first setting out of its bounds, or nothing.
    [[nodiscard]] constexpr std::optional<OutOfBounds<Setting>> validate() const
    {
        if (replicates < 1 || replicates > kMostReplicates) {
            return OutOfBounds<Setting>{Setting::Replicates, 1, kMostReplicates};
        }
        if (threads < 0) {
            return OutOfBounds<Setting>{Setting::Threads, 0, kNoUpperBound};
        }
        return std::nullopt;
    }
};

// One kind at one length: the genome's pairs and the controls' spread.
struct ControlStats {
    std::int64_t observed = 0;
    double mean = 0;
    double sd = 0;            // sample standard deviation; 0 for a single control
    std::optional<double> z;  // (observed - mean) / sd; none when sd is 0
};

struct ControlReport {
    SearchMethod method = SearchMethod::Trie;  // what the slots are (slotLabel)
    int minLength = 0;
    int replicates = 0;
    std::uint32_t seed = 0;
    std::array<std::vector<ControlStats>, kRepeatKindCount> stats;  // per kind, per slot
};

// The four searches' pair counts of a prepared genome (the approximate
// search's per length class, the four kinds in one call).
[[nodiscard]] std::variant<KindCounts, SearchFailure> countRepeats(const PreparedSearch& search,
                                                                   const SearchControl& control = {});

// The mean, standard deviation and z of each kind and length, from the
// genome's counts and those of each control (controls[i] of seed + i).
[[nodiscard]] ControlReport summarizeControls(const KindCounts& observed,
                                              const std::vector<KindCounts>& controls, int minLength,
                                              std::uint32_t seed);

// Makes and analyses the controls of a prepared genome with its search
// method, in parallel (each control on one thread, the results independent
// of the number of threads), then summarizes them. Progress is the fraction
// of controls done.
[[nodiscard]] std::variant<ControlReport, SearchFailure> runControls(const PreparedSearch& observed,
                                                                     const ControlSettings& settings,
                                                                     const SearchControl& control = {});

}  // namespace tessaron
