#include "engine/suffixarray.h"

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

std::vector<std::int32_t> lcpArray(std::span<const std::uint8_t> text, std::span<const std::int32_t> sa)
{
    const std::size_t n = sa.size();
    if (n == 0) {
        return {};
    }
    // phi[t]: the start of the suffix just before suffix t in sorted order.
    std::vector<std::int32_t> phi(n);
    phi[static_cast<std::size_t>(sa[0])] = -1;
    for (std::size_t i = 1; i < n; ++i) {
        phi[static_cast<std::size_t>(sa[i])] = sa[i - 1];
    }
    // In text order the common prefix with the predecessor shrinks by at most
    // one per step, so the comparisons add up to O(n). phi[t] is replaced by
    // that length once read.
    std::size_t h = 0;
    for (std::size_t t = 0; t < n; ++t) {
        const std::int32_t before = phi[t];
        if (before < 0) {
            phi[t] = 0;
            h = 0;
            continue;
        }
        const auto j = static_cast<std::size_t>(before);
        while (t + h < n && j + h < n && text[t + h] == text[j + h]) {
            ++h;
        }
        phi[t] = static_cast<std::int32_t>(h);
        if (h > 0) {
            --h;
        }
    }
    std::vector<std::int32_t> lcp(n);
    for (std::size_t i = 0; i < n; ++i) {
        lcp[i] = phi[static_cast<std::size_t>(sa[i])];
    }
    return lcp;
}

}  // namespace tessaron
