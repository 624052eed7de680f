#pragma once

// Internal to the engine: suffix and LCP arrays of a byte text.

#include <cstdint>
#include <span>
#include <vector>

namespace tessaron {

// The starts of the suffixes of `text` in lexicographic order of the bytes
// (a suffix that is a prefix of another comes first), made by libdivsufsort.
// The text may hold at most INT32_MAX bytes. Throws std::bad_alloc when the
// memory cannot be had.
[[nodiscard]] std::vector<std::int32_t> suffixArray(std::span<const std::uint8_t> text);

// The LCP array of `sa`, the suffix array of `text`: entry i is the length of
// the common prefix of the suffixes at sa[i - 1] and sa[i]; entry 0 is 0.
// Linear time (the permuted-LCP method of Kärkkäinen, Manzini and Puglisi).
[[nodiscard]] std::vector<std::int32_t> lcpArray(std::span<const std::uint8_t> text,
                                                 std::span<const std::int32_t> sa);

}  // namespace tessaron
