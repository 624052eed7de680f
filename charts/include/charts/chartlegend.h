#pragma once

// The legend under a chart of lines: each line's marker and its whole name,
// in as many columns as the chart's width takes and as many rows as they
// need. The chart's plot area makes room for it as the chart is resized, so
// no name is cut short for lack of room (a name wider than the whole chart
// is shortened in its middle), on screen and in a saved drawing alike.

#include <QFont>
#include <QGraphicsObject>
#include <QMargins>
#include <QPen>
#include <QString>

#include <vector>

class QChart;

namespace tessaron {

class ChartLegend : public QGraphicsObject {
    Q_OBJECT

public:
    struct Entry {
        QString name;
        QPen pen;
        bool points = true;  // the line's points are drawn
    };
    // An entry as it is drawn, in the chart's coordinates.
    struct Placed {
        QString text;
        QRectF marker;
        QRectF textRect;
    };

    // Made a child of `chart`, whose own legend it hides.
    ChartLegend(QChart& chart, std::vector<Entry> entries);

    [[nodiscard]] const std::vector<Placed>& placed() const { return placed_; }
    [[nodiscard]] const std::vector<Entry>& entries() const { return entries_; }

    [[nodiscard]] QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

private:
    // Places the entries for the chart's width and gives the plot area the rest.
    void layout();

    QChart& chart_;
    std::vector<Entry> entries_;
    std::vector<Placed> placed_;
    QMargins margins_;  // the chart's own, without the legend
    QFont font_;
    QColor textColor_;
    QRectF bounds_;
};

// The legend a chart made by makeChart carries; null when it has none.
[[nodiscard]] const ChartLegend* legendOf(const QChart& chart);

}  // namespace tessaron
