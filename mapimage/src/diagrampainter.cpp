#include "mapimage/diagrampainter.h"

#include "mapgeometry/diagramgeometry.h"

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace tessaron {

namespace {

const QColor kFieldColor(246, 246, 236);
const QColor kRingColor(229, 226, 207);
constexpr double kRingCentreX = 298.5;
constexpr double kRingCentreY = 228.5;
constexpr double kRingInner = 167.0;
constexpr double kRingOuter = 182.0;

const QColor kScaleTextColor(144, 144, 144);
const QColor kChordColor(128, 128, 128);
const QColor kFirstCopyColor(0, 208, 0);
const QColor kSecondCopyColor(224, 0, 0);
constexpr int kFeaturePenWidth = 4;
constexpr int kLabelPixelSize = 12;

// 0x00BBGGRR to a colour.
QColor colorOf(std::uint32_t value)
{
    return {static_cast<int>(value & 0xFFU), static_cast<int>((value >> 8U) & 0xFFU),
            static_cast<int>((value >> 16U) & 0xFFU)};
}

// The five feature colours that have a pen of their own.
bool hasFeaturePen(std::uint32_t color)
{
    constexpr std::array<std::uint32_t, 5> known{kColorTrnaDirect, kColorTrnaComplement, kColorGeneDirect,
                                                 kColorGeneComplement, kColorSequence};
    return std::find(known.begin(), known.end(), color) != known.end();
}

QPen featurePen(const QColor& color)
{
    QPen pen(color, kFeaturePenWidth);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

QFont labelFont()
{
    // Verdana where it is installed; otherwise the closest sans face.
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kLabelPixelSize);
    font.setWeight(QFont::Normal);
    return font;
}

QPoint toQPoint(MapPoint point)
{
    return {point.x, point.y};
}

// Text with its baseline at `at`, starting there or (alignRight) ending there.
void drawLabel(QPainter& painter, MapPoint at, const QString& text, bool alignRight)
{
    int x = at.x;
    if (alignRight) {
        x -= QFontMetrics(painter.font()).horizontalAdvance(text);
    }
    painter.drawText(QPoint(x, at.y), text);
}

// A rectangle from (left, top) to (right, bottom) with the right and bottom
// edges left out, outlined with the current pen and filled with the brush.
QRect boxOf(int left, int top, int right, int bottom)
{
    return {left, top, right - left, bottom - top};
}

QImage makeBackground()
{
    QImage image(kMapWidth, kMapHeight, QImage::Format_RGB32);
    image.fill(kFieldColor);
    for (int y = 0; y < kMapHeight; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kMapWidth; ++x) {
            const double distance = std::hypot(x - kRingCentreX, y - kRingCentreY);
            // Full ring colour inside, a one pixel blend at either edge.
            const double inside = std::clamp(distance - kRingInner + 0.5, 0.0, 1.0) *
                                  std::clamp(kRingOuter - distance + 0.5, 0.0, 1.0);
            if (inside <= 0.0) {
                continue;
            }
            const auto mix = [inside](int field, int ring) {
                return static_cast<int>(std::lround(field + (ring - field) * inside));
            };
            row[x] =
                qRgb(mix(kFieldColor.red(), kRingColor.red()), mix(kFieldColor.green(), kRingColor.green()),
                     mix(kFieldColor.blue(), kRingColor.blue()));
        }
    }
    return image;
}

void paintLegend(QPainter& painter)
{
    for (const LegendRow& row : legendRows()) {
        const QColor color = colorOf(row.color);
        painter.setPen(featurePen(color));
        painter.setBrush(color);
        painter.drawRect(boxOf(row.left, row.top, row.right - 1, row.bottom - 1));
        drawLabel(painter, row.textPoint, QString::fromLatin1(row.text), false);
    }
}

void paintScale(QPainter& painter, double perBase, std::int32_t sequenceEnd)
{
    painter.setPen(kScaleTextColor);
    for (const ScaleMark& mark : scaleMarks(perBase, sequenceEnd)) {
        painter.fillRect(boxOf(mark.tick.x - 1, mark.tick.y - 1, mark.tick.x + 1, mark.tick.y + 1),
                         Qt::black);
        drawLabel(painter, mark.text, QString::fromStdString(mark.label), mark.alignRight);
    }
}

void paintFeatures(QPainter& painter, const FeatureList& features, double perBase)
{
    // The pen and text colour carry over from one feature to the next when a
    // feature's colour has no pen of its own: the first such feature is drawn
    // with the RNA plus pen and the scale's grey, later ones with the black
    // label pen and the previous feature's colour.
    QPen arcPen = featurePen(colorOf(kColorTrnaDirect));
    QColor textColor = kScaleTextColor;
    const QRect arcBox = boxOf(kArcLeft, kArcTop, kArcRight, kArcBottom);
    for (const FeatureMark& mark : featureMarks(features, perBase)) {
        const Feature& feature = features[mark.feature];
        if (hasFeaturePen(feature.color)) {
            arcPen = featurePen(colorOf(feature.color));
            textColor = colorOf(feature.color);
        }
        painter.setPen(arcPen);
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(arcBox, static_cast<int>(std::lround(mark.arc.startDegrees * 16.0)),
                        static_cast<int>(std::lround(mark.arc.spanDegrees * 16.0)));

        arcPen = QPen(Qt::black, 1);
        painter.setPen(arcPen);
        painter.drawLine(toQPoint(mark.start), toQPoint(mark.label));
        painter.setPen(textColor);
        drawLabel(painter, mark.label, QString::fromStdString(feature.name), mark.alignRight);
    }
}

void paintDot(QPainter& painter, MapPoint centre, const QColor& color)
{
    const DotBox box = dotBox(centre);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(boxOf(box.left, box.top, box.right, box.bottom));
}

void paintRepeat(QPainter& painter, double perBase, const Repeat& repeat, std::span<const RepeatPair> pairs)
{
    QPen chord(kChordColor, 1, Qt::DotLine);
    for (const RepeatPair& pair : pairs) {
        const MapPoint first = mapPoint(perBase, pair.first, kScaleRadius, 0);
        const MapPoint second = mapPoint(perBase, pair.second, kScaleRadius, 0);
        paintDot(painter, first, kFirstCopyColor);
        paintDot(painter, second, repeat.transformed ? kSecondCopyColor : kFirstCopyColor);
        painter.setPen(chord);
        painter.drawLine(toQPoint(first), toQPoint(second));
    }
}

}  // namespace

const QImage& diagramBackground()
{
    static const QImage background = makeBackground();
    return background;
}

void paintDiagram(QPainter& painter, const FeatureList& features, const Repeat* repeat,
                  std::span<const RepeatPair> pairs)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(labelFont());
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.drawImage(QPoint(0, 0), diagramBackground());

    const double perBase = radiansPerBase(features);
    paintLegend(painter);
    paintScale(painter, perBase, mapSequenceEnd(features));
    paintFeatures(painter, features, perBase);
    if (repeat != nullptr) {
        paintRepeat(painter, perBase, *repeat, pairs);
    }
    painter.restore();
}

QImage renderDiagram(const FeatureList& features, const Repeat* repeat, std::span<const RepeatPair> pairs)
{
    QImage image(kMapWidth, kMapHeight, QImage::Format_RGB32);
    image.fill(kFieldColor);
    QPainter painter(&image);
    paintDiagram(painter, features, repeat, pairs);
    painter.end();
    return image;
}

bool saveDiagram(const QString& path, const FeatureList& features, const Repeat* repeat,
                 std::span<const RepeatPair> pairs)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(QSize(kMapWidth, kMapHeight));
        svg.setViewBox(QRect(0, 0, kMapWidth, kMapHeight));
        svg.setTitle(QStringLiteral("Circular map"));
        QPainter painter;
        if (!painter.begin(&svg)) {
            return false;
        }
        paintDiagram(painter, features, repeat, pairs);
        if (!painter.end()) {
            return false;
        }
    } else if (!renderDiagram(features, repeat, pairs).save(&buffer, "PNG")) {
        return false;
    }

    // Written to a file of its own in the same folder and renamed over `path`
    // only once complete: a failed write leaves an earlier file as it was.
    // The flush is checked here, since commit does not see a failure of the
    // last one (a full disk, say).
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace tessaron
