#pragma once

// The word lengths the exact searches (the suffix index's and the complete
// search) are asked for, and their bounds.

#include "engine/settingsbounds.h"

#include <optional>

namespace tessaron {

struct WordLengths {
    static constexpr int kShortest = 3;
    static constexpr int kLongest = 256;

    int minimum = 8;
    int maximum = 30;

    enum class Setting { Minimum, Maximum };

    // The first length outside kShortest .. kLongest, the maximum first (the
    // dialogs read it first); nothing when both are inside. A minimum above
    // the maximum is no error: every front end lowers it to the maximum.
    [[nodiscard]] constexpr std::optional<OutOfBounds<Setting>> validate() const
    {
        if (maximum < kShortest || maximum > kLongest) {
            return OutOfBounds<Setting>{Setting::Maximum, kShortest, kLongest};
        }
        if (minimum < kShortest || minimum > kLongest) {
            return OutOfBounds<Setting>{Setting::Minimum, kShortest, kLongest};
        }
        return std::nullopt;
    }

    friend bool operator==(const WordLengths&, const WordLengths&) = default;
};

}  // namespace tessaron
