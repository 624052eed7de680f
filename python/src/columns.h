#pragma once

// What the Python module's searches produce, made without the interpreter:
// they run on a worker thread and fill plain columns, which module.cpp then
// hands to Python as NumPy arrays. Positions are 1-based, as in every output
// of the program.

#include "compare/controls.h"
#include "engine/approximatesearch.h"
#include "engine/gappedsearch.h"
#include "engine/genome.h"
#include "engine/microsatellites.h"
#include "engine/repeatlist.h"
#include "engine/searchcontrol.h"
#include "engine/searchmethod.h"
#include "input/feature.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

namespace tessaron::python {

// A column of texts: per row an index into the distinct texts, so that a
// text shared by many rows (a kind, a word, a feature's name) is one Python
// string.
class TextColumn {
public:
    TextColumn() = default;
    // A column whose texts are these, rows added by index (push).
    explicit TextColumn(std::vector<std::string> values) : values_(std::move(values)) {}

    // Adds a text without looking for it among those before; returns its index.
    std::int32_t addValue(std::string value);
    // The index of a text, added when it is new.
    std::int32_t intern(std::string_view text);
    void push(std::int32_t index) { rows_.push_back(index); }
    void pushText(std::string_view text) { push(intern(text)); }

    [[nodiscard]] const std::vector<std::int32_t>& rows() const { return rows_; }
    [[nodiscard]] const std::vector<std::string>& values() const { return values_; }

private:
    std::vector<std::int32_t> rows_;
    std::vector<std::string> values_;
    std::unordered_map<std::string, std::int32_t> known_;
};

using Column = std::variant<std::vector<std::int64_t>, std::vector<double>, TextColumn>;

// Named columns of equal length, in order, and what the caller should be
// warned of. A column added stays where it is: the references that
// integers(), reals() and texts() return stay valid as more are added.
struct Table {
    std::deque<std::pair<std::string, Column>> columns;
    std::vector<std::string> warnings;

    std::vector<std::int64_t>& integers(std::string name);
    std::vector<double>& reals(std::string name);
    TextColumn& texts(std::string name, TextColumn column = {});
};

using TableResult = std::variant<Table, SearchFailure>;

// The genome with other length settings and pair limit: the same one when
// they are its own, else a copy (the searches read the settings from the genome).
[[nodiscard]] std::shared_ptr<const Genome> withLengths(const std::shared_ptr<const Genome>& genome,
                                                        int minimum, int maximum, std::int64_t pairLimit);

// Every pair of the kinds, as `tessaron-cli --report pairs` writes them: kind,
// length, word, first, second, and for a genome with features
// first_features and second_features. Fails with PairLimit, before it makes
// the table, when the pairs would pass the genome's pair limit.
[[nodiscard]] TableResult exactPairs(const std::shared_ptr<const Genome>& genome, const FeatureList& features,
                                     SearchMethod method, std::span<const RepeatKind> kinds,
                                     const SearchControl& control);

// The pairs per kind and length: kind, repeat_length, pairs (every length
// from the minimum to the maximum, and beyond for the complete search).
[[nodiscard]] TableResult exactCounts(const std::shared_ptr<const Genome>& genome, SearchMethod method,
                                      std::span<const RepeatKind> kinds, const SearchControl& control);

// The approximate search's pairs: kind, length, mismatches, first, second,
// identity, evalue (and the features of each copy); PairLimit when there are
// more than `pairLimit`.
[[nodiscard]] TableResult approximatePairs(const Genome& genome, const FeatureList& features,
                                           std::span<const RepeatKind> kinds,
                                           const ApproximateSettings& settings, const SearchControl& control,
                                           std::int64_t pairLimit);

// The approximate pairs per kind and length class: kind, length_class, pairs.
[[nodiscard]] TableResult approximateCounts(const Genome& genome, std::span<const RepeatKind> kinds,
                                            const ApproximateSettings& settings,
                                            const SearchControl& control);

// The gapped search's pairs: the approximate pairs' columns, then
// second_length, insertions, deletions and cigar; PairLimit when there are
// more than `pairLimit`.
[[nodiscard]] TableResult gappedPairs(const Genome& genome, const FeatureList& features,
                                      std::span<const RepeatKind> kinds, const GappedSettings& settings,
                                      const SearchControl& control, std::int64_t pairLimit);

// The gapped pairs per kind and length class of their shorter copy: kind,
// length_class, pairs.
[[nodiscard]] TableResult gappedCounts(const Genome& genome, std::span<const RepeatKind> kinds,
                                       const GappedSettings& settings, const SearchControl& control);

// The families of the gapped pairs, one row per copy, as `tessaron-cli
// --report families` writes them: family, copies, representative,
// min_length, max_length, kinds, copy, strand.
[[nodiscard]] TableResult familyTable(const Genome& genome, std::span<const RepeatKind> kinds,
                                      const GappedSettings& settings, const SearchControl& control);

// start, unit_length, unit, repeats, length, class, compound (0: in none),
// end (inclusive), and the features each overlaps.
[[nodiscard]] TableResult microsatelliteTable(const Genome& genome, const FeatureList& features,
                                              const MicrosatelliteSettings& settings,
                                              const SearchControl& control);

// kind, repeat_length, pairs, control_mean, control_sd, z (NaN when the
// controls do not vary).
[[nodiscard]] TableResult controlTable(const std::shared_ptr<const Genome>& genome, SearchMethod method,
                                       const ControlSettings& settings, const SearchControl& control);

}  // namespace tessaron::python
