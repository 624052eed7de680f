#pragma once

#include "engine/genome.h"
#include "engine/repeatkinds.h"
#include "engine/repeatlist.h"
#include "engine/suffixindex.h"

#include <memory>

#include <string>
#include <string_view>
#include <vector>

namespace tessaron::test {

// The four kinds in the engine's order.
inline constexpr RepeatKind kAllKinds[] = {RepeatKind::Direct, RepeatKind::Inverted, RepeatKind::Mirror,
                                           RepeatKind::Complementary};

// Loads `bases` the way the readers do (provisional settings, the text, then
// the given settings unclamped). False when memory runs out.
bool loadSequence(Genome& genome, std::string_view bases, int minimum, int maximum);

// The suffix index of a genome; null when it could not be built.
std::shared_ptr<const SuffixIndex> indexOf(std::shared_ptr<const Genome> genome, int threads = 0);

// `bases` loaded into a new genome as loadSequence does, and its index; null
// when either fails.
std::shared_ptr<const SuffixIndex> indexSequence(std::string_view bases, int minimum, int maximum,
                                                 int threads = 0);

// The node whose word is `word`, or null when the word is not a path of the index.
const IndexNode* findNode(const SuffixIndex& index, std::string_view word);

// The letters of a repeat: `length` letters of the sequence from its first copy.
std::string repeatWord(const Genome& genome, const RepeatList& list, const Repeat& repeat);

// One line per repeat, slot by slot: "ACCG (0,15) (6,15)".
std::vector<std::string> describeRepeats(const Genome& genome, const RepeatList& list);

// The positions as a plain vector, for comparisons.
template <typename Range>
std::vector<PositionLink> toVector(const Range& range)
{
    return std::vector<PositionLink>(range.begin(), range.end());
}

}  // namespace tessaron::test
