#include "slots.h"

#include <algorithm>
#include <cmath>

namespace tessaron {

namespace {

// How far apart two places are along the row (around it when circular).
double apart(double a, double b, const SlotRow& row)
{
    const double direct = std::abs(a - b);
    return row.circular ? std::min(direct, row.count - direct) : direct;
}

int wrap(int slot, const SlotRow& row)
{
    if (!row.circular) {
        return slot;
    }
    return ((slot % row.count) + row.count) % row.count;
}

}  // namespace

std::vector<int> assignSlots(std::span<const double> ideals, std::span<const std::size_t> rankOrder,
                             const SlotRow& row, const std::function<bool(std::size_t, int)>& allowed)
{
    std::vector<int> slots(ideals.size(), -1);
    if (row.count <= 0) {
        return slots;
    }
    std::vector<bool> taken(static_cast<std::size_t>(row.count), false);
    for (const std::size_t name : rankOrder) {
        const auto nearest = static_cast<int>(std::lround(ideals[name]));
        // The nearest first, then outward on the side the place leans to.
        const int lean = ideals[name] >= nearest ? 1 : -1;
        for (int step = 0; step <= 2 * row.reach; ++step) {
            const int away = (step + 1) / 2 * (step % 2 == 1 ? lean : -lean);
            const int slot = wrap(nearest + away, row);
            if (slot < 0 || slot >= row.count || taken[static_cast<std::size_t>(slot)] ||
                !allowed(name, slot)) {
                continue;
            }
            taken[static_cast<std::size_t>(slot)] = true;
            slots[name] = slot;
            break;
        }
    }

    // Dealt out again in the order of their places.
    std::vector<std::size_t> kept;
    std::vector<int> used;
    for (std::size_t name = 0; name < slots.size(); ++name) {
        if (slots[name] >= 0) {
            kept.push_back(name);
            used.push_back(slots[name]);
        }
    }
    if (kept.empty()) {
        return slots;
    }
    std::stable_sort(kept.begin(), kept.end(),
                     [&](std::size_t a, std::size_t b) { return ideals[a] < ideals[b]; });
    std::sort(used.begin(), used.end());
    const auto n = static_cast<int>(kept.size());
    int shift = 0;
    if (row.circular) {
        // Around a ring the first name may take a slot near the end: the
        // turn of the deal that keeps the names nearest their places.
        double best = -1.0;
        for (int offset = -std::min(n - 1, 3); offset <= std::min(n - 1, 3); ++offset) {
            double cost = 0.0;
            for (int i = 0; i < n; ++i) {
                cost += apart(used[static_cast<std::size_t>(wrap(i + offset, {n, 0, true}))],
                              ideals[kept[static_cast<std::size_t>(i)]], row);
            }
            if (best < 0.0 || cost < best) {
                best = cost;
                shift = offset;
            }
        }
    }
    for (int i = 0; i < n; ++i) {
        const std::size_t name = kept[static_cast<std::size_t>(i)];
        const int slot = used[static_cast<std::size_t>(row.circular ? wrap(i + shift, {n, 0, true}) : i)];
        // A wider name dealt to another's slot may not fit there: left out.
        slots[name] = allowed(name, slot) ? slot : -1;
    }
    return slots;
}

}  // namespace tessaron
