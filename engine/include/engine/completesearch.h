#pragma once

#include "engine/genome.h"
#include "engine/repeatlist.h"
#include "engine/repeatsnapshot.h"

#include <memory>
#include <span>
#include <variant>

namespace tessaron {

// The complete search: every maximal pair of copies of one kind in the
// circular sequence, of any length from the genome's minimum length m up. It
// reads only the sequence (no index needed) and ignores the maximum length.
//
// With S the sequence of length N read circularly, a pair (p, q, L), 0-based
// starts 0 <= p < q < N and L >= m, is reported when for k = 0 .. L-1
//   direct:        S[q+k] = S[p+k]          complementary: S[q+k] = comp(S[p+k])
//   inverted:      S[q+L-1-k] = comp(S[p+k]) mirror:       S[q+L-1-k] = S[p+k]
// and the match cannot be extended by a letter at either end (for the
// inverted and mirror kinds the first copy grows to the left while the
// second grows to the right). Copies may overlap; p = q is never a pair, so a
// palindrome is not a repeat of itself.
//
// Matches that run round the whole circle are dropped: the letters compared
// along one pairing of positions (a fixed shift for direct and complementary,
// a fixed sum p + q + L - 1 for inverted and mirror) either disagree somewhere
// and split into maximal runs, each of length at most N - 1, or agree all the
// way round (a sequence of period d against itself shifted by d), which never
// ends and is no pair. So every reported pair has m <= L <= N - 1.
//
// The result groups the pairs as the trie searches do: lengths ascending
// (slot L - m), the words of one length in the letter order A < T < C < G (the
// word is S[p .. p+L-1]), the pairs of a word by first then second start. The
// snapshot has max(maxLength - m + 1, longest - m + 1) slots, so the usual
// slots are always there. With SnapshotDetail::Words every pair is stored and
// the search fails with PairLimit past the genome's pair limit; counts alone
// store no pair. Fails with OutOfMemory or Cancelled as the other searches do.
[[nodiscard]] SnapshotResult completeSearch(std::shared_ptr<const Genome> genome, RepeatKind kind,
                                            SnapshotDetail detail = SnapshotDetail::Words,
                                            const SearchControl& control = {});

// The sorted rotations the complete search walks, made once for a set of
// kinds and then shared: each search of a kind it serves only walks it, and
// searches of several kinds may run on it from several threads at once.
// Sorting takes most of a search's time, and an index for all four kinds
// sorts three readings of the sequence (forward, complemented, backwards)
// where four separate searches sort seven. It keeps the genome alive and
// about 9 bytes per base for each reading it holds (14 while it is made).
class CompleteIndex {
public:
    struct Data;
    explicit CompleteIndex(std::unique_ptr<const Data> data);
    ~CompleteIndex();
    CompleteIndex(const CompleteIndex&) = delete;
    CompleteIndex& operator=(const CompleteIndex&) = delete;

    [[nodiscard]] const std::shared_ptr<const Genome>& genome() const;
    // Whether a search of the kind can walk this index as it is.
    [[nodiscard]] bool serves(RepeatKind kind) const;

private:
    friend SnapshotResult completeSearch(const CompleteIndex& index, RepeatKind kind, SnapshotDetail detail,
                                         const SearchControl& control);
    std::unique_ptr<const Data> data_;
};

using CompleteIndexResult = std::variant<std::shared_ptr<const CompleteIndex>, SearchFailure>;

// Makes the index for the given kinds (OutOfMemory, Cancelled).
[[nodiscard]] CompleteIndexResult buildCompleteIndex(std::shared_ptr<const Genome> genome,
                                                     std::span<const RepeatKind> kinds,
                                                     const SearchControl& control = {});

// The complete search of one kind over a ready index; the same result as
// completeSearch on the index's genome. An index that does not serve the kind
// is not used: a new one is made for the kind alone.
[[nodiscard]] SnapshotResult completeSearch(const CompleteIndex& index, RepeatKind kind,
                                            SnapshotDetail detail = SnapshotDetail::Words,
                                            const SearchControl& control = {});

}  // namespace tessaron
