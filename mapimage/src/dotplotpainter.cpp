#include "mapimage/dotplotpainter.h"

#include "engine/repeatkinds.h"
#include "input/filesave.h"
#include "palette/colourscheme.h"

#include <QBuffer>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QSvgGenerator>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace tessaron {

namespace {

constexpr double kMargin = 28.0;
constexpr double kLeftRoom = 64.0;    // the positions along the left side
constexpr double kTopRoom = 30.0;     // the title
constexpr double kBottomRoom = 48.0;  // the positions along the bottom and the legend
constexpr int kTicks = 5;

QColor fromBbggrr(std::uint32_t color)
{
    return QColor(static_cast<int>(color & 0xFFU), static_cast<int>((color >> 8) & 0xFFU),
                  static_cast<int>((color >> 16) & 0xFFU));
}

// A round step between position labels: 1, 2 or 5 times a power of ten.
double tickStep(double span)
{
    const double rough = span / kTicks;
    const double power = std::pow(10.0, std::floor(std::log10(std::max(rough, 1.0))));
    for (const double factor : {1.0, 2.0, 5.0}) {
        if (rough <= factor * power) {
            return factor * power;
        }
    }
    return 10.0 * power;
}

QPointF onCanvas(const QRectF& square, const DotPlotView& view, PlotPoint bases)
{
    const PlotPoint pixels = view.toPixels(bases, square.width());
    return {square.left() + pixels.x, square.top() + pixels.y};
}

// Draws the line with the pen, cut at the square's edges. The painter's clip
// is not enough: an SVG keeps no clip, so the cut is made here on the shape.
void drawInSquare(QPainter& painter, const QLineF& line, const QPen& pen, const QRectF& square)
{
    const double reach = pen.widthF() / 2 + 1;
    const QRectF bounds = QRectF(line.p1(), line.p2()).normalized().adjusted(-reach, -reach, reach, reach);
    if (square.contains(bounds)) {
        painter.setPen(pen);
        painter.drawLine(line);
        return;
    }
    if (!square.intersects(bounds)) {
        return;
    }
    QPainterPath path(line.p1());
    path.lineTo(line.p2());
    QPainterPathStroker stroker(pen);
    QPainterPath box;
    box.addRect(square);
    painter.fillPath(stroker.createStroke(path).intersected(box), pen.color());
}

}  // namespace

QColor dotPlotColor(RepeatKind kind)
{
    switch (kind) {
        case RepeatKind::Direct:
            return fromBbggrr(kStandardColours.firstCopy);
        case RepeatKind::Inverted:
            return fromBbggrr(kStandardColours.secondCopy);
        case RepeatKind::Mirror:
            return QColor(0x20, 0x60, 0xD0);
        case RepeatKind::Complementary:
            break;
    }
    return QColor(0xF0, 0x90, 0x00);
}

QRectF dotPlotSquare(QSizeF canvas)
{
    const double side = std::max(
        std::min(canvas.width() - kLeftRoom - kMargin, canvas.height() - kTopRoom - kBottomRoom), 10.0);
    return {kLeftRoom, kTopRoom, side, side};
}

void paintDotPlot(QPainter& painter, const DotPlotPicture& picture, QSizeF canvas)
{
    const QRectF square = dotPlotSquare(canvas);
    const DotPlotView& view = picture.view;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(QRectF(QPointF(0, 0), canvas), Qt::white);
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    const QFontMetricsF metrics(font);

    painter.setPen(Qt::black);
    painter.drawText(QRectF(kLeftRoom, 4, square.width(), kTopRoom - 6), Qt::AlignCenter, picture.title);

    // Round 1-based positions (and 1) along the bottom and the left, each
    // at its letter's cell.
    const double step = tickStep(view.span());
    painter.setPen(QColor(0x60, 0x60, 0x60));
    const auto positions = [&](double from) {
        std::vector<double> shown;
        if (from < 0.5) {
            shown.push_back(1.0);
        }
        for (double position = std::max(step, std::ceil((from + 1.0) / step) * step);
             position - 1.0 <= from + view.span(); position += step) {
            shown.push_back(position);
        }
        return shown;
    };
    for (const double position : positions(view.left())) {
        const double x = onCanvas(square, view, {position - 0.5, view.top()}).x();
        painter.drawLine(QPointF(x, square.bottom()), QPointF(x, square.bottom() + 4));
        const QString text = QString::number(static_cast<long long>(position));
        painter.drawText(QPointF(x - metrics.horizontalAdvance(text) / 2, square.bottom() + 16), text);
    }
    for (const double position : positions(view.top())) {
        const double y = onCanvas(square, view, {view.left(), position - 0.5}).y();
        painter.drawLine(QPointF(square.left() - 4, y), QPointF(square.left(), y));
        const QString text = QString::number(static_cast<long long>(position));
        painter.drawText(
            QPointF(square.left() - 6 - metrics.horizontalAdvance(text), y + metrics.ascent() / 2), text);
    }

    painter.save();
    painter.setClipRect(square);
    // The main diagonal: every letter with itself.
    const auto whole = static_cast<double>(view.genomeLength());
    drawInSquare(painter, QLineF(onCanvas(square, view, {0, 0}), onCanvas(square, view, {whole, whole})),
                 QPen(QColor(0xD0, 0xD0, 0xD0), 1), square);
    // A segment covers its letters' cells, and is never thinner than a line.
    const double perBase = square.width() / view.span();
    const double width = std::max(1.5, perBase * 0.8);
    const auto segmentLine = [&](const DotPlotSegment& segment) {
        const double dx = segment.to.x >= segment.from.x ? 1.0 : 0.0;
        const double dy = segment.to.y >= segment.from.y ? 1.0 : 0.0;
        return QLineF(onCanvas(square, view, {segment.from.x + 1.0 - dx, segment.from.y + 1.0 - dy}),
                      onCanvas(square, view, {segment.to.x + dx, segment.to.y + dy}));
    };
    for (const DotPlotSegment& segment : picture.segments) {
        QPen pen(dotPlotColor(segment.kind), width);
        pen.setCapStyle(Qt::FlatCap);
        drawInSquare(painter, segmentLine(segment), pen, square);
    }
    if (picture.selected) {
        for (const DotPlotSegment& segment : picture.segments) {
            if (segment.kind == picture.selected->first && segment.pair == picture.selected->second) {
                drawInSquare(painter, segmentLine(segment),
                             QPen(Qt::black, width + 4, Qt::SolidLine, Qt::RoundCap), square);
                drawInSquare(painter, segmentLine(segment),
                             QPen(dotPlotColor(segment.kind), width + 1.5, Qt::SolidLine, Qt::RoundCap),
                             square);
            }
        }
    }
    painter.restore();
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(square);

    // The legend: one swatch and name per kind.
    double x = square.left();
    const double y = square.bottom() + 26;
    for (const RepeatKind kind : kKindOrder) {
        painter.fillRect(QRectF(x, y + 3, 18, 4), dotPlotColor(kind));
        painter.setPen(Qt::black);
        const QString name =
            QString::fromUtf8(kindInfo(kind).name.data(), static_cast<qsizetype>(kindInfo(kind).name.size()));
        painter.drawText(QPointF(x + 22, y + metrics.ascent() - 2), name);
        x += 22 + metrics.horizontalAdvance(name) + 18;
    }
    painter.restore();
}

bool saveDotPlot(const QString& path, const DotPlotPicture& picture, int side)
{
    const QSizeF canvas(side, side);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(QSize(side, side));
        svg.setViewBox(QRect(0, 0, side, side));
        svg.setTitle(QStringLiteral("Dot plot"));
        QPainter painter;
        if (!painter.begin(&svg)) {
            return false;
        }
        paintDotPlot(painter, picture, canvas);
        if (!painter.end()) {
            return false;
        }
    } else {
        QImage image(side, side, QImage::Format_RGB32);
        QPainter painter(&image);
        paintDotPlot(painter, picture, canvas);
        painter.end();
        if (!image.save(&buffer, "PNG")) {
            return false;
        }
    }
    return !saveFile(QFile::encodeName(path).toStdString(),
                     std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace tessaron
