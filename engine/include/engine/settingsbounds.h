#pragma once

// What the settings structs' validate() gives back: which setting is out of
// its bounds and what the bounds are. Every front end (the command line, the
// desktop, the Python module) checks a setting with validate() and words the
// reason its own way, so the limits are the same everywhere.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace tessaron {

template <typename Setting>
struct OutOfBounds {
    Setting setting;
    std::int64_t low = 0;   // the least value allowed
    std::int64_t high = 0;  // the greatest, or kNoUpperBound
    std::size_t index = 0;  // the value's place in a list of them (a unit length - 1)
    friend bool operator==(const OutOfBounds&, const OutOfBounds&) = default;
};

// The `high` of a setting with no upper bound but its type's.
inline constexpr std::int64_t kNoUpperBound = INT64_MAX;

}  // namespace tessaron
