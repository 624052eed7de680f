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

// A run of suffix starts [begin, end).
struct SuffixBlock {
    std::int32_t begin = 0;
    std::int32_t end = 0;
};

// The LCP array of some of the suffixes of `text`: `starts` holds, in suffix
// order, exactly the starts inside `blocks` (ascending, disjoint). Entry i is
// the length of the common prefix of the suffixes at starts[i - 1] and
// starts[i]; entry 0 is 0. Linear in the text and the starts (the permuted-LCP
// method of Kärkkäinen, Manzini and Puglisi, run over the kept suffixes only).
[[nodiscard]] std::vector<std::int32_t> lcpArray(std::span<const std::uint8_t> text,
                                                 std::span<const std::int32_t> starts,
                                                 std::span<const SuffixBlock> blocks);

}  // namespace tessaron
