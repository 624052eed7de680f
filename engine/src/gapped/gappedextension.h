#pragma once

// The X-drop dynamic programme of the gapped search: one side of a seed,
// letter by letter outwards, with affine gap costs and a traceback.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tessaron::gapped {

// Column operations, the second copy against the first.
inline constexpr char kEqual = '=';
inline constexpr char kMismatch = 'X';
inline constexpr char kInsertion = 'I';  // a letter of the second copy alone
inline constexpr char kDeletion = 'D';   // a letter of the first copy alone

struct Scoring {
    std::int64_t mismatch = 2;  // X
    std::int64_t open = 5;      // O
    std::int64_t extend = 2;    // E
    std::int64_t xDrop = 60;
};

// One side of a seed. `first` and `second` are the letters read outwards
// (codes 0..3; at most their sizes are read). `forbiddenDifference`: a state
// whose second-copy letters minus first-copy letters equals one of these is
// never entered (a letter lined up with itself); `maxTotal` bounds the letters
// of both copies together (copies that must not meet), -1 for no bound.
struct Side {
    std::span<const std::uint8_t> first;
    std::span<const std::uint8_t> second;
    std::int64_t forbiddenDifference[2] = {INT64_MIN, INT64_MIN};
    std::int64_t maxTotal = -1;
};

struct Extension {
    std::int64_t score = 0;
    std::int64_t firstLetters = 0;
    std::int64_t secondLetters = 0;
    std::string ops;  // outwards from the seed
    // Stopped once the score reached the `enough` asked for: the best of
    // the rows made so far.
    bool cut = false;
};

// The best-scoring extension of the side (empty when nothing scores > 0),
// within the X-drop. Keeps its working rows between calls.
class XDropAligner {
public:
    using Score = std::int32_t;

    explicit XDropAligner(const Scoring& scoring) : scoring_(scoring) {}

    // Stops after the row in which the score reaches `enough`, for a caller
    // that then only needs to know that it does.
    Extension extend(const Side& side, std::int64_t enough = INT64_MAX);
    // Without gaps: the best score of the side's prefixes and its length.
    [[nodiscard]] std::pair<std::int64_t, std::int64_t> extendUngapped(const Side& side) const;

private:
    Scoring scoring_;
    // H and E of the row above and of the row being made, and its trace.
    std::vector<Score> h_;
    std::vector<Score> e_;
    std::vector<Score> nh_;
    std::vector<Score> ne_;
    std::vector<std::uint8_t> rowTrace_;
    std::vector<std::uint8_t> trace_;
    std::vector<std::int64_t> rowLow_;
    std::vector<std::size_t> rowOffset_;
};

}  // namespace tessaron::gapped
