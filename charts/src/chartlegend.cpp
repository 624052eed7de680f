#include "charts/chartlegend.h"

#include <QChart>
#include <QFontMetricsF>
#include <QLegend>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tessaron {

namespace {

constexpr double kMarkerWidth = 22;
constexpr double kMarkerGap = 5;
constexpr double kColumnGap = 14;
constexpr double kRowGap = 3;
constexpr double kBottomGap = 6;
// The legend takes at most this share of the chart's height before its
// letters are made smaller.
constexpr double kMostOfTheHeight = 0.35;
constexpr double kSmallestPointSize = 6.5;

}  // namespace

ChartLegend::ChartLegend(QChart& chart, std::vector<Entry> entries)
    : QGraphicsObject(&chart),
      chart_(chart),
      entries_(std::move(entries)),
      margins_(chart.margins()),
      font_(chart.legend()->font()),
      textColor_(chart.legend()->labelColor())
{
    setObjectName(QStringLiteral("chartLegend"));
    chart.legend()->hide();
    setZValue(10);
    connect(&chart, &QGraphicsWidget::geometryChanged, this, &ChartLegend::layout);
    layout();
}

QRectF ChartLegend::boundingRect() const
{
    return bounds_;
}

void ChartLegend::layout()
{
    prepareGeometryChange();
    placed_.clear();
    const QRectF area = chart_.rect();
    const double width = area.width() - margins_.left() - margins_.right();
    if (entries_.empty() || width <= kMarkerWidth) {
        bounds_ = QRectF();
        chart_.setMargins(margins_);
        return;
    }
    // Smaller letters for a legend that would crowd out the lines.
    QFont font = chart_.legend()->font();
    int columns = 1;
    double columnWidth = 0;
    double rowHeight = 0;
    int rows = 0;
    for (;;) {
        const QFontMetricsF metrics(font);
        double widest = 0;
        for (const Entry& entry : entries_) {
            widest = std::max(widest, metrics.horizontalAdvance(entry.name));
        }
        columnWidth = std::min(kMarkerWidth + kMarkerGap + widest + kColumnGap, width);
        columns = std::max(1, static_cast<int>((width + kColumnGap) / columnWidth));
        rows = (static_cast<int>(entries_.size()) + columns - 1) / columns;
        rowHeight = metrics.height() + kRowGap;
        if (rows * rowHeight <= kMostOfTheHeight * area.height() || font.pointSizeF() <= kSmallestPointSize) {
            break;
        }
        font.setPointSizeF(std::max(kSmallestPointSize, font.pointSizeF() - 1));
    }
    font_ = font;
    const QFontMetricsF metrics(font_);
    const double used = std::min(width, columns * columnWidth - kColumnGap);
    const double left = area.left() + margins_.left() + (width - used) / 2;
    const double height = rows * rowHeight;
    const double top = area.bottom() - kBottomGap - height;
    const double textRoom = columnWidth - kMarkerWidth - kMarkerGap - kColumnGap;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const int column = static_cast<int>(i) % columns;
        const int row = static_cast<int>(i) / columns;
        const double x = left + column * columnWidth;
        const double y = top + row * rowHeight;
        Placed placed;
        placed.marker = QRectF(x, y, kMarkerWidth, rowHeight - kRowGap);
        placed.text = metrics.elidedText(entries_[i].name, Qt::ElideMiddle,
                                         std::max(textRoom, width - kMarkerWidth - kMarkerGap));
        placed.textRect = QRectF(x + kMarkerWidth + kMarkerGap, y, metrics.horizontalAdvance(placed.text),
                                 rowHeight - kRowGap);
        placed_.push_back(placed);
    }
    bounds_ = QRectF(left, top, used, height);
    chart_.setMargins(QMargins(margins_.left(), margins_.top(), margins_.right(),
                               margins_.bottom() + static_cast<int>(std::ceil(height + kBottomGap))));
    update();
}

void ChartLegend::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setFont(font_);
    for (std::size_t i = 0; i < placed_.size(); ++i) {
        const Entry& entry = entries_[i];
        const Placed& placed = placed_[i];
        const QPointF middle = placed.marker.center();
        QPen pen = entry.pen;
        pen.setCapStyle(Qt::FlatCap);
        painter->setPen(pen);
        painter->drawLine(QPointF(placed.marker.left(), middle.y()),
                          QPointF(placed.marker.right(), middle.y()));
        if (entry.points) {
            painter->setBrush(entry.pen.color());
            painter->setPen(Qt::NoPen);
            painter->drawEllipse(middle, 3, 3);
        }
        painter->setPen(textColor_);
        painter->drawText(placed.textRect, Qt::AlignLeft | Qt::AlignVCenter, placed.text);
    }
    painter->restore();
}

const ChartLegend* legendOf(const QChart& chart)
{
    for (const QGraphicsItem* item : chart.childItems()) {
        if (const auto* legend = qobject_cast<const ChartLegend*>(item->toGraphicsObject())) {
            return legend;
        }
    }
    return nullptr;
}

}  // namespace tessaron
