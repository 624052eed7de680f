#pragma once

#include <cstdint>

namespace tessaron {

// The classic linear congruential generator with 15-bit output that the
// random sequence command draws from: state = state * 214013 + 2531011
// (mod 2^32), output = (state >> 16) & 0x7FFF.
class RandomGenerator {
public:
    static constexpr int kMax = 0x7FFF;

    explicit RandomGenerator(std::uint32_t seed) : state_(seed) {}

    int next()
    {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }

    // A value in 0 .. remaining - 1 from one draw r: floor(r * remaining * 32769 / 2^30).
    static std::int64_t scale(int r, std::int64_t remaining)
    {
        const auto product = static_cast<std::uint64_t>(r) * static_cast<std::uint64_t>(remaining) * 32769u;
        return static_cast<std::int64_t>(product >> 30);
    }

private:
    std::uint32_t state_;
};

}  // namespace tessaron
