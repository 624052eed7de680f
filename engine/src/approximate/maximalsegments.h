#pragma once

#include <cstdint>
#include <vector>

namespace tessaron {

// The maximal scoring segments of a sequence of scored pieces, by the
// linear-time algorithm of Ruzzo and Tompa (1999). Pieces are added left to
// right with their place; the segments come out in order. A segment is a
// maximal scoring one: every non-empty prefix and suffix scores > 0 and no
// longer segment containing it does.
class MaximalSegments {
public:
    struct Segment {
        std::int64_t begin = 0;  // first place
        std::int64_t end = 0;    // one past the last place
        std::int64_t score = 0;
    };

    // Adds a piece covering places [begin, end) with its score.
    void add(std::int64_t score, std::int64_t begin, std::int64_t end)
    {
        if (score <= 0) {
            total_ += score;
            return;
        }
        Item item{begin, end, total_, total_ + score, -1};
        total_ += score;
        for (;;) {
            // The rightmost segment so far that starts lower than this one.
            std::int64_t j = static_cast<std::int64_t>(items_.size()) - 1;
            while (j >= 0 && items_[static_cast<std::size_t>(j)].low >= item.low) {
                j = items_[static_cast<std::size_t>(j)].lower;
            }
            if (j < 0 || items_[static_cast<std::size_t>(j)].high >= item.high) {
                item.lower = j;
                items_.push_back(item);
                return;
            }
            // It reaches higher: the two and all between join, and the joined
            // segment is looked at again.
            item.begin = items_[static_cast<std::size_t>(j)].begin;
            item.low = items_[static_cast<std::size_t>(j)].low;
            items_.resize(static_cast<std::size_t>(j));
        }
    }

    // Hands over the segments found since the last flush and starts afresh:
    // for a place that no segment crosses (a gap, or where the best score
    // ending there is 0).
    template <typename Visit>
    void flush(Visit&& visit)
    {
        for (const Item& item : items_) {
            visit(Segment{item.begin, item.end, item.high - item.low});
        }
        items_.clear();
        total_ = 0;
    }

private:
    struct Item {
        std::int64_t begin;
        std::int64_t end;
        std::int64_t low;    // total score before it
        std::int64_t high;   // total score at its end
        std::int64_t lower;  // the rightmost earlier item with a lower `low`, or -1
    };
    std::vector<Item> items_;
    std::int64_t total_ = 0;
};

}  // namespace tessaron
