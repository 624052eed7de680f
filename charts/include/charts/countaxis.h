#pragma once

// The value axis of a chart of counts: from 0 to a round top with a grid line
// at every multiple of a nice step (1, 2 or 5 times a power of ten, never
// below 1), so that each label is a whole number standing at its line.

#include <QValueAxis>

namespace tessaron {

struct CountTicks {
    double top = 1.0;   // the axis's end, a multiple of step at or above the highest count
    double step = 1.0;  // between two grid lines
    int tickCount = 2;  // grid lines, 0 and top included
};

// At most `intervals` steps between 0 and the top.
[[nodiscard]] CountTicks countTicks(double highest, int intervals = 6);

// Sets the axis's range, grid and whole-number labels for counts up to `highest`.
void setCountRange(QValueAxis& axis, double highest);

}  // namespace tessaron
