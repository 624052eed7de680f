#pragma once

#include "input/feature.h"

#include <cstdint>
#include <vector>

namespace tessaron::test {

// A map's list: the sequence feature ending at `end`, then `rest`.
inline FeatureList listOfLength(std::int32_t end, std::vector<Feature> rest = {})
{
    FeatureList list{{0, end, "sequence", kColorSequence}};
    list.insert(list.end(), rest.begin(), rest.end());
    return list;
}

}  // namespace tessaron::test
