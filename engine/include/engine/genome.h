#pragma once

#include "engine/alphabet.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessaron {

// The one circular genome under analysis: its bases, a title line and the
// repeat length settings. Positions are 0-based; a position past the end
// reads modulo the length. The indexes the searches read are made from it
// (buildIndex, buildCompleteIndex, prepareSearch) and keep it alive.
//
// A letter other than A, C, G or T (N and the other IUPAC codes) is a gap: it
// keeps its position, upper case, but no word of the index, no repeat and no
// occurrence of a motif contains it.
//
// A load is: allocate, appendText/appendBase, setLengthBounds (readers);
// then the genome is shared as const and its indexes are built.
class Genome {
public:
    static constexpr int kTitleLength = 95;  // longest title kept, in bytes
    // Searches that would hold more pairs than this (1 GiB of pairs) give up
    // as if memory had run out, before the machine starts swapping.
    static constexpr std::int64_t kDefaultPairLimit = std::int64_t{1} << 27;

    Genome() noexcept;
    ~Genome();
    Genome(const Genome&) = delete;
    Genome& operator=(const Genome&) = delete;
    Genome(Genome&&) noexcept;
    Genome& operator=(Genome&&) noexcept;
    // Exchanges everything: sequence, title and settings.
    void swap(Genome& other) noexcept;

    // Drops the sequence, clamps and stores the settings (minimum at
    // least 3; a maximum not above the minimum becomes minimum + 1) and makes
    // room for `capacity` bases. Returns false, leaving an empty genome, when
    // the memory cannot be had. The title is kept.
    bool allocate(std::int64_t capacity, int minimum, int maximum);
    // Clamps and stores the settings and forgets the sequence (keeping the buffer).
    void resetSettings(int minimum, int maximum);
    // Appends the bases of a NUL-terminated text until `capacity` is reached.
    // A byte 0xFF ends the text like a NUL does.
    void appendText(const char* text);
    // Appends one character if it is an ASCII letter (either case; a letter
    // other than A, C, G, T is kept as a gap); anything else is skipped.
    // False only for an end-of-text value (0 or -1).
    bool appendBase(int ch);
    // Stores minLength = minimum and lengthBound = maximum + 1 as given.
    void setLengthBounds(int minimum, int maximum);
    // Keeps at most kTitleLength bytes, never splitting a UTF-8 character.
    void setTitle(std::string_view title);

    // How often A, C, G or T occurs in the sequence (0 for any other letter);
    // kept as the sequence grows, so it costs nothing to ask.
    [[nodiscard]] std::int64_t letterCount(char letter) const;
    // Whether the letter at a position (read circularly) is a gap.
    [[nodiscard]] bool isGap(std::int64_t position) const;
    [[nodiscard]] std::int64_t gapCount() const { return static_cast<std::int64_t>(gaps_.size()); }
    // The positions of the gaps, ascending.
    [[nodiscard]] std::span<const std::int32_t> gaps() const { return gaps_; }
    // Replaces the sequence with a random arrangement of exactly a A's, t T's,
    // c C's and g G's. With no seed the generator is seeded with the time in
    // seconds. Refuses (false, genome unchanged) negative counts or a total
    // beyond the 32-bit range; false also when memory runs out.
    bool makeRandom(std::int64_t a, std::int64_t t, std::int64_t c, std::int64_t g, int minimum, int maximum,
                    std::optional<std::uint32_t> seed = std::nullopt);
    // A random control for `model`: its letters A, T, C, G rearranged at
    // random (exactly its composition) with its gaps kept in place, the same
    // letters at the same positions; the model's length settings. Without gaps
    // this is makeRandom with the model's counts and the seed. False when
    // memory runs out (genome left empty); `model` must not be this genome.
    bool makeRandomLike(const Genome& model, std::uint32_t seed);

    [[nodiscard]] int length() const { return static_cast<int>(sequence_.size()); }
    [[nodiscard]] int capacity() const { return capacity_; }
    [[nodiscard]] int minLength() const { return minLength_; }
    [[nodiscard]] int lengthBound() const { return lengthBound_; }
    [[nodiscard]] int maxLength() const { return lengthBound_ - 1; }
    [[nodiscard]] std::string_view sequence() const { return sequence_; }
    // NUL-terminated bases.
    [[nodiscard]] const char* c_str() const { return sequence_.c_str(); }
    [[nodiscard]] const std::string& title() const { return title_; }
    // The base at a position read circularly; any integer position.
    [[nodiscard]] char at(std::int64_t position) const;
    // `count` letters from `start`, read circularly.
    [[nodiscard]] std::string word(std::int64_t start, int count) const;

    void setPairLimit(std::int64_t limit) { pairLimit_ = limit; }
    [[nodiscard]] std::int64_t pairLimit() const { return pairLimit_; }

private:
    std::string sequence_;
    std::array<std::int64_t, 4> letterCounts_{};  // A, T, C, G
    std::vector<std::int32_t> gaps_;              // ascending
    int capacity_ = 0;
    int minLength_ = 3;
    int lengthBound_ = 5;
    std::string title_;
    std::int64_t pairLimit_ = kDefaultPairLimit;
};

}  // namespace tessaron
