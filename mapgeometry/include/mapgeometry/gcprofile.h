#pragma once

// The GC content and GC skew of a circular sequence in windows around it, for
// the two inner rings of the map for a paper.

#include <cstdint>
#include <string_view>
#include <vector>

namespace tessaron {

struct GcProfile {
    std::int64_t window = 0;  // bases in a window
    std::int64_t step = 0;    // between the windows' middles; window i is centred on base i * step
    // Per window: (G + C) / (A + C + G + T), and (G - C) / (G + C); 0 for a
    // window without such bases. Other letters (gaps) are not counted.
    std::vector<double> content;
    std::vector<double> skew;
    double meanContent = 0.0;  // of the whole sequence
};

// A window sized to the genome: a 500th of it, at least 20 bases and at most
// 10,000.
[[nodiscard]] std::int64_t gcWindow(std::int64_t length);

// Windows of `window` bases every `step` bases, read around the origin.
// Empty for an empty sequence.
[[nodiscard]] GcProfile gcProfile(std::string_view bases, std::int64_t window, std::int64_t step);

// With gcWindow's window, every half window.
[[nodiscard]] GcProfile gcProfile(std::string_view bases);

}  // namespace tessaron
