#include "engine/repeatlist.h"

namespace tessaron {

RepeatList::RepeatList(int minLength, int slotCount)
    : minLength_(minLength),
      pairCounts_(static_cast<std::size_t>(slotCount > 0 ? slotCount : 0), 0),
      slots_(static_cast<std::size_t>(slotCount > 0 ? slotCount : 0))
{
}

void RepeatList::endRepeat(int length, bool transformed)
{
    const std::size_t count = pendingPairs();
    if (count == 0) {
        return;
    }
    const auto slot = static_cast<std::size_t>(length - minLength_);
    slots_[slot].push_back(Repeat{transformed, length, static_cast<std::int32_t>(count),
                                  static_cast<std::uint32_t>(pendingOffset_)});
    pairCounts_[slot] += static_cast<std::int64_t>(count);
    total_ += static_cast<std::int64_t>(count);
    pendingOffset_ = pairs_.size();
}

}  // namespace tessaron
