#pragma once

// Places names on a row of equal slots (the rows of a column beside the map,
// or the places around a ring): the most wanted names first, each on the
// free slot nearest its own place, within a few slots of it; then the names
// kept are dealt out again in the order of their places over the slots
// taken, so that their leader lines do not cross.

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

namespace tessaron {

struct SlotRow {
    int count = 0;          // slots 0 .. count-1
    int reach = 0;          // how many slots a name may stand from its place
    bool circular = false;  // slot count-1 neighbours slot 0
};

// `ideals`: each name's place in slot units; `rankOrder`: the names, most
// wanted first; `allowed(name, slot)`: whether that name may stand on that
// slot (inside the map, clear of the legend). The slot of each name, or -1
// for a name left out.
[[nodiscard]] std::vector<int> assignSlots(std::span<const double> ideals,
                                           std::span<const std::size_t> rankOrder, const SlotRow& row,
                                           const std::function<bool(std::size_t, int)>& allowed);

}  // namespace tessaron
