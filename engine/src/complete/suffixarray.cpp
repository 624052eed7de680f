#include "suffixarray.h"

#include <divsufsort.h>

#include <cstddef>
#include <limits>
#include <new>

namespace tessaron {

std::vector<std::int32_t> suffixArray(std::span<const std::uint8_t> text)
{
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw std::bad_alloc();
    }
    std::vector<std::int32_t> sa(text.size());
    if (text.empty()) {
        return sa;
    }
    static_assert(sizeof(saidx_t) == sizeof(std::int32_t));
    if (divsufsort(text.data(), sa.data(), static_cast<saidx_t>(text.size())) != 0) {
        throw std::bad_alloc();
    }
    return sa;
}

std::vector<std::int32_t> lcpArray(std::span<const std::uint8_t> text, std::span<const std::int32_t> starts,
                                   std::span<const SuffixBlock> blocks)
{
    const std::size_t count = starts.size();
    if (count == 0) {
        return {};
    }
    // Kept suffixes are numbered block after block in text order.
    const auto dense = [&](std::int32_t start) {
        std::int32_t before = 0;
        for (const SuffixBlock& block : blocks) {
            if (start < block.end) {
                return static_cast<std::size_t>(before + start - block.begin);
            }
            before += block.end - block.begin;
        }
        return static_cast<std::size_t>(before);
    };
    // phi[k]: the start of the kept suffix just before kept suffix k in
    // suffix order, or -1; then, in place, its common prefix with it.
    std::vector<std::int32_t> phi(count);
    phi[dense(starts[0])] = -1;
    for (std::size_t i = 1; i < count; ++i) {
        phi[dense(starts[i])] = starts[i - 1];
    }
    // In text order the common prefix with the predecessor shrinks by at most
    // one per step, provided the letter after the predecessor starts a kept
    // suffix too; where it does not (the end of a block) the count restarts.
    const std::size_t size = text.size();
    std::size_t k = 0;
    for (const SuffixBlock& block : blocks) {
        std::size_t h = 0;
        for (std::int32_t start = block.begin; start < block.end; ++start, ++k) {
            const std::int32_t before = phi[k];
            if (before < 0) {
                phi[k] = 0;
                h = 0;
                continue;
            }
            const auto t = static_cast<std::size_t>(start);
            const auto j = static_cast<std::size_t>(before);
            while (t + h < size && j + h < size && text[t + h] == text[j + h]) {
                ++h;
            }
            phi[k] = static_cast<std::int32_t>(h);
            bool nextKept = false;
            for (const SuffixBlock& other : blocks) {
                nextKept = nextKept || (before + 1 >= other.begin && before + 1 < other.end);
            }
            h = nextKept && h > 0 ? h - 1 : 0;
        }
    }
    std::vector<std::int32_t> lcp(count);
    for (std::size_t i = 0; i < count; ++i) {
        lcp[i] = phi[dense(starts[i])];
    }
    lcp[0] = 0;
    return lcp;
}

}  // namespace tessaron
