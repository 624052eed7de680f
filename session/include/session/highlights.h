#pragma once

// The copies the sequence pane highlights: both copies of every pair of the
// word selected in the results, or the occurrences of a motif (and, when
// asked, of its reverse complement on the other strand). The window paints
// them and steps from one to the next; nothing here knows of windows.

#include "engine/approximatesearch.h"
#include "engine/gappedsearch.h"
#include "engine/microsatellites.h"
#include "engine/repeatfamilies.h"
#include "engine/repeatlist.h"
#include "engine/suffixindex.h"
#include "engine/tandemrepeats.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessaron {

class Highlights {
public:
    struct Copy {
        int start = 0;
        int length = 0;
        bool second = false;  // painted as a second copy of kind(): the other strand, for a motif
        friend bool operator==(const Copy&, const Copy&) = default;
    };
    // Where a step landed: the start of the copy, its place (1-based) among
    // the starts and how many there are.
    struct Step {
        int start = 0;
        std::size_t number = 0;
        std::size_t count = 0;
        friend bool operator==(const Step&, const Step&) = default;
    };
    // How often a motif was found on the strand read and on the other one.
    struct MotifCounts {
        std::size_t forward = 0;
        std::size_t reverse = 0;
    };

    // The word selected in the results: its kind, the repeat and its pairs.
    void selectWord(RepeatKind kind, const Repeat& repeat, std::vector<RepeatPair> pairs);
    // An approximate pair selected in the results: its two copies, and the
    // letters of both that do not line up equal marked.
    void selectApproximatePair(RepeatKind kind, const ApproximatePair& pair,
                               const MismatchedLetters& mismatched);
    // A gapped pair selected in the results: its two copies at their own
    // lengths, and the letters of both that do not line up equal (unequal
    // columns, and the letters of the gap runs) marked.
    void selectGappedPair(RepeatKind kind, const GappedPair& pair, std::span<const AlignedColumn> columns);
    // A family of copies selected in the results: every copy at its own
    // length, those read the other way (any orientation but the
    // representative's) painted as second copies of an inverted pair; the
    // selected pairs tie the representative to each other copy, at the
    // representative's length.
    void selectFamily(const RepeatFamily& family);
    // The occurrences of `motif` (A, C, G, T) found by the genome's suffix
    // index, in the index's order, then with `bothStrands` those of its
    // reverse complement, unless the motif is its own. Forgets the selected word.
    MotifCounts findMotif(const SuffixIndex& index, std::string_view motif, bool bothStrands);
    // One microsatellite selected in the results, on a genome of
    // `genomeLength` letters: its letters as one copy, or as two when it runs
    // across the origin (the part up to the end, then the part from 0).
    void selectMicrosatellite(const Microsatellite& microsatellite, std::int64_t genomeLength);
    // One tandem array selected in the results, on a genome of
    // `genomeLength` letters: its copies one after another, alternately first
    // and second (`Copy::second`), each split in two where it runs across
    // the origin.
    void selectTandemArray(const TandemRepeat& array, std::int64_t genomeLength);
    // Nothing highlighted and no word selected.
    void clear();

    // The selected word, null without one.
    [[nodiscard]] const Repeat* selectedRepeat() const { return repeat_ ? &*repeat_ : nullptr; }
    [[nodiscard]] const std::vector<RepeatPair>& selectedPairs() const { return pairs_; }
    // The selected microsatellite, null without one.
    [[nodiscard]] const Microsatellite* selectedMicrosatellite() const
    {
        return microsatellite_ ? &*microsatellite_ : nullptr;
    }
    // The selected tandem array, null without one.
    [[nodiscard]] const TandemRepeat* selectedTandemArray() const { return tandem_ ? &*tandem_ : nullptr; }
    // The kind whose colours the copies take: the selected word's, or
    // inverted for a motif, whose other strand reads as an inverted copy.
    [[nodiscard]] RepeatKind kind() const { return kind_; }
    // In the order they are painted: pair after pair, its first copy then its
    // second; a motif's occurrences, then its reverse complement's.
    [[nodiscard]] const std::vector<Copy>& copies() const { return copies_; }
    // The starts of the copies, ascending, each once.
    [[nodiscard]] const std::vector<int>& starts() const { return starts_; }
    // The mismatched letters of the selected approximate pair, ascending,
    // each once; empty otherwise.
    [[nodiscard]] const std::vector<int>& marked() const { return marked_; }
    // Where the selected word's (or approximate pair's) first copy, or the
    // microsatellite or tandem array, starts; 0 without any.
    [[nodiscard]] int firstCopy() const;
    // The copy that starts after (before) `position`, round the circle;
    // nothing without copies.
    [[nodiscard]] std::optional<Step> next(int position) const;
    [[nodiscard]] std::optional<Step> previous(int position) const;

    // The word on the other strand: complemented and read backwards.
    [[nodiscard]] static std::string reverseComplement(std::string_view word);

private:
    void setStarts();

    std::optional<Repeat> repeat_;
    std::vector<RepeatPair> pairs_;
    std::optional<Microsatellite> microsatellite_;
    std::optional<TandemRepeat> tandem_;
    RepeatKind kind_ = RepeatKind::Direct;
    std::vector<Copy> copies_;
    std::vector<int> starts_;
    std::vector<int> marked_;
};

}  // namespace tessaron
