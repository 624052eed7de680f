#pragma once

#include "approximatecontext.h"
#include "seedplan.h"
#include "shared/packedtext.h"

#include <compare>
#include <cstdint>
#include <memory>
#include <vector>

namespace tessaron::approximate {

// A pair worth an exact scan: the track and a pair on it.
struct Candidate {
    std::int32_t track;     // circle: d; line: t
    std::int32_t position;  // circle: letter of the first copy's pair; line: y
    friend bool operator==(const Candidate&, const Candidate&) = default;
    friend auto operator<=>(const Candidate&, const Candidate&) = default;
};

// A seed's place in a list sorted by key.
struct Keyed {
    std::uint32_t key;
    std::int32_t position;
};

// The 16 letters on either side of a seed (2 bits each), for a first look at
// a pair of seeds without the texts: before it (the nearest in the top bits
// of the low half) and after its span (the nearest in the low bits of the
// high half).
using Neighbours = std::uint64_t;

inline constexpr std::size_t kKeyLetters = 16;  // letters of a seed in its key

// The seeds of each shape at every place, sorted by key: read forwards (the
// first copy; the second of direct and complementary pairs) and backwards
// (the second copy of inverted and mirror pairs, read from its end). Made
// once for the searches of all kinds.
class SeedLists {
public:
    // A list, and for a contiguous shape each seed's neighbours.
    struct List {
        std::vector<Keyed> seeds;
        std::vector<Neighbours> neighbours;
    };

    // The lists are made looking for a stop request of `control` (Stopped).
    SeedLists(const Texts& texts, const SearchControl& control) : texts_(texts), control_(control) {}

    const List& forward(const SeedShape& shape) { return list(shape, false); }
    const List& backward(const SeedShape& shape) { return list(shape, true); }
    // Makes the forward list of a shape and, when asked, the backward one,
    // the two at once on two threads.
    void prepare(const SeedShape& shape, bool backwardToo, int threads);
    // Frees the lists of a shape.
    void release(const SeedShape& shape);

private:
    struct Entry {
        std::vector<int> offsets;
        bool backwards;
        List list;
    };
    // Room for sorting, kept from one list to the next.
    struct Scratch {
        std::vector<Keyed> spare;
        std::vector<std::uint32_t> counts;
    };

    const List& list(const SeedShape& shape, bool backwards);
    [[nodiscard]] std::unique_ptr<Entry> build(const SeedShape& shape, bool backwards,
                                               Scratch& scratch) const;
    [[nodiscard]] bool has(const SeedShape& shape, bool backwards) const;

    const Texts& texts_;
    const SearchControl& control_;
    std::vector<std::unique_ptr<Entry>> entries_;
    Scratch scratch_;
    Scratch helperScratch_;
};

// Finds the seeds of one shape and keeps those that pass the plan's filter.
class SeedFinder {
public:
    SeedFinder(const Context& context, const SeedPlan& plan, const SeedShape& shape, SeedLists& lists,
               int threads);

    void run(double progressFrom, double progressTo);

    // The candidates found, in no particular order.
    std::vector<std::vector<Candidate>>& found() { return found_; }

private:
    // The pairs of seeds whose first copies are firsts_[begin .. end): the
    // second copy's key is the first's, complemented for the inverted and
    // complementary kinds; it starts after the first.
    void enumerate(std::size_t begin, std::size_t end, std::vector<Candidate>& out) const;

    // A first look at a contiguous seed from the 16 letters on either side
    // of it: false when it is not the first seed of its run, or when the
    // plan's filter certainly fails (as in `passes`, with fewer letters).
    bool worthALook(const Keyed& first, Neighbours firstNeighbours, const Keyed& second,
                    Neighbours secondNeighbours) const;

    void tryHit(std::int64_t i, std::int64_t j, std::vector<Candidate>& out) const;

    // The distances (1-based) of the first `count` bad pairs after pair
    // from - 1, a gap standing for every later one; kFar past the look range.
    // `word` holds pairs [base, base + 32), base <= from < base + 32.
    static constexpr std::int64_t kFar = std::int64_t{1} << 40;

    void distancesRight(const PairReader& reader, std::int64_t from, std::size_t count,
                        std::array<std::int64_t, 64>& out, std::uint64_t word, std::int64_t base) const;

    // The same leftwards from pair -1; `word` holds pairs -32 .. -1.
    void distancesLeft(const PairReader& reader, std::size_t count, std::array<std::int64_t, 64>& out,
                       std::uint64_t word) const;

    // Whether the seed at pair 0 of `reader` passes the plan's filter.
    bool passes(const PairReader& reader) const;

    const Context& context_;
    const SeedPlan& plan_;
    const SeedShape& shape_;
    int threads_;
    std::vector<std::vector<Candidate>> found_;
    const SeedLists::List& firstList_;
    const SeedLists::List& secondList_;
    const std::vector<Keyed>& firsts_;
    const std::vector<Keyed>& seconds_;
    std::uint32_t keyFlip_;  // turns a key into its complement's
    // The numbers of mismatches j whose window length minWindow[j] the next
    // number does not share: the only ones a first look needs to try.
    std::vector<std::int64_t> steps_;
    std::vector<std::uint64_t> shapeWords_;  // the shape's pairs, 32 to a word as the reader gives them
};

}  // namespace tessaron::approximate
