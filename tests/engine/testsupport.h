#pragma once

#include "engine/genome.h"
#include "engine/repeatlist.h"

#include <string>
#include <string_view>
#include <vector>

namespace tessaron::test {

// Loads `bases` the way the readers do (provisional settings, the text, then
// the given settings unclamped) and builds the index. Returns buildIndex's result.
bool loadSequence(Genome& genome, std::string_view bases, int minimum, int maximum);

// The node whose word is `word`, or null when the word is not a path of the index.
const IndexNode* findNode(const Genome& genome, std::string_view word);

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
