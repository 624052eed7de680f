#include "charts/countaxis.h"

#include <algorithm>
#include <cmath>

namespace tessaron {

CountTicks countTicks(double highest, int intervals)
{
    intervals = std::max(intervals, 1);
    const double wanted = std::isfinite(highest) ? std::max(highest, 1.0) : 1.0;
    double power = 1.0;
    for (;;) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            const double step = factor * power;
            const double steps = std::ceil(wanted / step);
            if (steps <= intervals) {
                return {steps * step, step, static_cast<int>(steps) + 1};
            }
        }
        power *= 10.0;
    }
}

void setCountRange(QValueAxis& axis, double highest)
{
    const CountTicks ticks = countTicks(highest);
    axis.setTickType(QValueAxis::TicksFixed);
    axis.setRange(0.0, ticks.top);
    axis.setTickCount(ticks.tickCount);
    axis.setMinorTickCount(0);
    axis.setLabelFormat(QStringLiteral("%.0f"));
}

}  // namespace tessaron
