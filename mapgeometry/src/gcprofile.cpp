#include "mapgeometry/gcprofile.h"

#include <algorithm>

namespace tessaron {

namespace {

constexpr std::int64_t kWindowsPerGenome = 500;
constexpr std::int64_t kSmallestWindow = 20;
constexpr std::int64_t kLargestWindow = 10'000;

struct Counts {
    std::int64_t gc = 0;
    std::int64_t g = 0;
    std::int64_t bases = 0;

    void add(char letter)
    {
        switch (letter) {
            case 'G':
            case 'g':
                ++g;
                ++gc;
                ++bases;
                break;
            case 'C':
            case 'c':
                ++gc;
                ++bases;
                break;
            case 'A':
            case 'a':
            case 'T':
            case 't':
                ++bases;
                break;
            default:
                break;
        }
    }
};

}  // namespace

std::int64_t gcWindow(std::int64_t length)
{
    return std::clamp(length / kWindowsPerGenome, kSmallestWindow, kLargestWindow);
}

GcProfile gcProfile(std::string_view bases, std::int64_t window, std::int64_t step)
{
    GcProfile profile;
    const auto length = static_cast<std::int64_t>(bases.size());
    if (length == 0 || window < 1 || step < 1) {
        return profile;
    }
    profile.window = window;
    profile.step = step;
    Counts whole;
    for (const char letter : bases) {
        whole.add(letter);
    }
    profile.meanContent =
        whole.bases == 0 ? 0.0 : static_cast<double>(whole.gc) / static_cast<double>(whole.bases);

    const std::int64_t count = (length + step - 1) / step;
    profile.content.reserve(static_cast<std::size_t>(count));
    profile.skew.reserve(static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) {
        Counts counts;
        // Centred on base i * step, read around the origin.
        std::int64_t position = ((i * step - window / 2) % length + length) % length;
        for (std::int64_t k = 0; k < window; ++k) {
            counts.add(bases[static_cast<std::size_t>(position)]);
            if (++position == length) {
                position = 0;
            }
        }
        const auto gc = static_cast<double>(counts.gc);
        profile.content.push_back(counts.bases == 0 ? 0.0 : gc / static_cast<double>(counts.bases));
        const auto c = static_cast<double>(counts.gc - counts.g);
        profile.skew.push_back(counts.gc == 0 ? 0.0 : (static_cast<double>(counts.g) - c) / gc);
    }
    return profile;
}

GcProfile gcProfile(std::string_view bases)
{
    const std::int64_t window = gcWindow(static_cast<std::int64_t>(bases.size()));
    return gcProfile(bases, window, std::max<std::int64_t>(1, window / 2));
}

}  // namespace tessaron
