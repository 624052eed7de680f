#include "mapimage/diagrampainter.h"

#include "painting.h"

#include "input/filesave.h"
#include "mapgeometry/diagramgeometry.h"
#include "mapgeometry/dotplotgeometry.h"

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPen>
#include <QPolygonF>
#include <QSvgGenerator>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
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
const QColor kMicrosatelliteColor(0, 110, 130);
const QColor kMicrosatelliteRingColor(200, 214, 214);
const QColor kTandemColor(150, 70, 20);
const QColor kTandemRingColor(224, 208, 196);
const QColor kSelectedTandemColor(220, 0, 120);
constexpr int kBandAlpha = 80;
constexpr int kFeaturePenWidth = 4;
constexpr int kLabelPixelSize = 12;
constexpr double kPdfDotsPerInch = 96.0;

QPen featurePen(const QColor& color)
{
    QPen pen(color, kFeaturePenWidth);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

QFont labelFont()
{
    return mapFont(kLabelPixelSize);
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

void paintFeatures(QPainter& painter, const FeatureList& features, double perBase, bool tidy,
                   const MapBounds& shown)
{
    // The pen and text colour carry over from one feature to the next when a
    // feature's colour has no pen of its own: the first such feature is drawn
    // with the RNA plus pen and the scale's grey, later ones with the black
    // label pen and the previous feature's colour.
    QPen arcPen = featurePen(colorOf(kColorTrnaDirect));
    QColor textColor = kScaleTextColor;
    const QRect arcBox = boxOf(kArcLeft, kArcTop, kArcRight, kArcBottom);
    const std::vector<FeatureMark> marks = featureMarks(features, perBase);
    for (const FeatureMark& mark : marks) {
        const Feature& feature = features[mark.feature];
        if (hasFeaturePen(feature.color)) {
            arcPen = featurePen(colorOf(feature.color));
            textColor = colorOf(feature.color);
        }
        painter.setPen(arcPen);
        painter.setBrush(Qt::NoBrush);
        for (const ArcSpan& arc : mark.arcs) {
            painter.drawArc(arcBox, static_cast<int>(std::lround(arc.startDegrees * 16.0)),
                            static_cast<int>(std::lround(arc.spanDegrees * 16.0)));
        }
        arcPen = QPen(Qt::black, 1);
        if (!tidy) {
            painter.setPen(arcPen);
            painter.drawLine(toQPoint(mark.start), toQPoint(mark.label));
            painter.setPen(textColor);
            drawLabel(painter, mark.label, QString::fromStdString(feature.name), mark.alignRight);
        }
    }
    if (!tidy) {
        return;
    }
    // Each stretch named once, where its name finds room.
    const LabelMetrics metrics = diagramLabelMetrics();
    const std::array<LabelBox, 1> legend{legendBox(metrics)};
    for (const TidyLabel& label : tidyLabels(features, perBase, metrics, shown, legend)) {
        painter.setPen(QPen(Qt::black, 1));
        painter.drawLine(toQPoint(label.anchor), toQPoint(label.leaderEnd));
        painter.setPen(hasFeaturePen(label.color) ? colorOf(label.color) : kScaleTextColor);
        painter.drawText(toQPoint(label.text), QString::fromStdString(label.name));
    }
}

void paintDot(QPainter& painter, MapPoint centre, const QColor& color)
{
    const DotBox box = dotBox(centre);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawEllipse(boxOf(box.left, box.top, box.right, box.bottom));
}

QPolygonF polygonOf(const std::vector<MapPointF>& points)
{
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(points.size()));
    for (const MapPointF& point : points) {
        polygon.append(QPointF(point.x, point.y));
    }
    return polygon;
}

QPointF middleOf(const std::vector<MapPointF>& points)
{
    const MapPointF& middle = points[points.size() / 2];
    return {middle.x, middle.y};
}

// Two arcs on the ring, one a copy, joined by a translucent band that fades
// from the first copy's colour to the second's.
void paintBand(QPainter& painter, double perBase, const Repeat& repeat, const RepeatPair& pair,
               const QColor& firstColor, const QColor& secondColor)
{
    const std::vector<MapPointF> first = copyArc(perBase, pair.first, repeat.length, kScaleRadius);
    const std::vector<MapPointF> second = copyArc(perBase, pair.second, repeat.length, kScaleRadius);
    QColor from = firstColor;
    QColor to = secondColor;
    from.setAlpha(kBandAlpha);
    to.setAlpha(kBandAlpha);
    QLinearGradient fill(middleOf(first), middleOf(second));
    fill.setColorAt(0.0, from);
    fill.setColorAt(1.0, to);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawPolygon(polygonOf(bandOutline(perBase, pair, repeat.length)));
    QPen arc(firstColor, kCopyArcWidth);
    arc.setCapStyle(Qt::FlatCap);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(arc);
    painter.drawPolyline(polygonOf(first));
    arc.setColor(secondColor);
    painter.setPen(arc);
    painter.drawPolyline(polygonOf(second));
    painter.restore();
}

// The approximate pairs: translucent bands in their identity's colour, edged
// so that short ones show as a line.
void paintBands(QPainter& painter, double perBase, std::span<const MapBand> bands)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const MapBand& band : bands) {
        const std::uint32_t rgb = identityColor(band.identity);
        QColor color(static_cast<int>((rgb >> 16) & 0xFFU), static_cast<int>((rgb >> 8) & 0xFFU),
                     static_cast<int>(rgb & 0xFFU));
        QColor edge = color;
        color.setAlpha(kBandAlpha);
        edge.setAlpha(2 * kBandAlpha);
        painter.setPen(QPen(edge, 1));
        painter.setBrush(color);
        painter.drawPolygon(
            polygonOf(bandOutline(perBase, RepeatPair{band.first, band.second}, band.length)));
    }
    painter.restore();
}

void paintRepeat(QPainter& painter, double perBase, const Repeat& repeat, std::span<const RepeatPair> pairs,
                 const ColourScheme& colours)
{
    const QColor firstColor = colorOf(colours.firstCopy);
    const QColor secondColor = colorOf(colours.secondCopyOf(repeat.transformed));
    if (drawnAsBand(perBase, repeat.length)) {
        for (const RepeatPair& pair : pairs) {
            paintBand(painter, perBase, repeat, pair, firstColor, secondColor);
        }
        return;
    }
    QPen chord(kChordColor, 1, Qt::DotLine);
    for (const RepeatPair& pair : pairs) {
        const MapPoint first = mapPoint(perBase, pair.first, kScaleRadius, 0);
        const MapPoint second = mapPoint(perBase, pair.second, kScaleRadius, 0);
        paintDot(painter, first, firstColor);
        paintDot(painter, second, secondColor);
        painter.setPen(chord);
        painter.drawLine(toQPoint(first), toQPoint(second));
    }
}

QRectF rectOf(const MapBounds& bounds)
{
    return {bounds.left, bounds.top, bounds.width(), bounds.height()};
}

// A ring of ticks, smoothed: a faint circle of `ringColor` midway between
// the radii `inner` and `outer`, then each tick in `tickColor`.
void paintTickRing(QPainter& painter, double inner, double outer, const QColor& ringColor,
                   const QColor& tickColor, std::span<const MapTick> ticks)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(ringColor, 1));
    const double middle = (inner + outer) / 2.0;
    painter.drawEllipse(QPointF(kMapCircleCentre.x, kMapCircleCentre.y), middle, middle);
    painter.setPen(QPen(tickColor, 1.5));
    for (const MapTick& tick : ticks) {
        painter.drawLine(QPointF(tick.inner.x, tick.inner.y), QPointF(tick.outer.x, tick.outer.y));
    }
}

// The microsatellites' ring: a faint circle and a tick per microsatellite.
void paintMicrosatellites(QPainter& painter, double perBase, std::span<const MapStretch> stretches)
{
    if (stretches.empty()) {
        return;
    }
    painter.save();
    paintTickRing(painter, kMicrosatelliteInner, kMicrosatelliteOuter, kMicrosatelliteRingColor,
                  kMicrosatelliteColor, microsatelliteTicks(perBase, stretches));
    painter.restore();
}

// The tandem arrays' ring: a faint circle, a tick per array, and the
// selected array's longer tick with an arc over its letters.
void paintTandemArrays(QPainter& painter, const MapScene& scene)
{
    const std::vector<MapStretch>& stretches = scene.tandemArrays();
    if (stretches.empty()) {
        return;
    }
    const double perBase = scene.perBase();
    painter.save();
    paintTickRing(painter, kTandemInner, kTandemOuter, kTandemRingColor, kTandemColor,
                  tandemTicks(perBase, stretches));
    if (const std::optional<std::size_t> selected = scene.selectedTandemArray()) {
        const double middle = (kTandemInner + kTandemOuter) / 2.0;
        const MapStretch& stretch = stretches[*selected];
        painter.setPen(QPen(kSelectedTandemColor, 3.0));
        const MapTick tick = selectedTandemTick(perBase, stretch);
        painter.drawLine(QPointF(tick.inner.x, tick.inner.y), QPointF(tick.outer.x, tick.outer.y));
        QPolygonF arc;
        for (const MapPointF& point : copyArc(perBase, stretch.start, stretch.length, middle)) {
            arc << QPointF(point.x, point.y);
        }
        painter.drawPolyline(arc);
    }
    painter.restore();
}

// The ring as shapes, for a map drawn at another size than its own.
void paintRing(QPainter& painter, const MapBounds& shown)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(rectOf(shown), kFieldColor);
    QPainterPath ring;
    const QPointF centre(kRingCentreX, kRingCentreY);
    ring.addEllipse(centre, kRingOuter, kRingOuter);
    ring.addEllipse(centre, kRingInner, kRingInner);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kRingColor);
    painter.drawPath(ring);
    painter.restore();
}

}  // namespace

QColor colorOf(std::uint32_t value)
{
    return {static_cast<int>(value & 0xFFU), static_cast<int>((value >> 8U) & 0xFFU),
            static_cast<int>((value >> 16U) & 0xFFU)};
}

bool hasFeaturePen(std::uint32_t color)
{
    constexpr std::array<std::uint32_t, 5> known{kColorTrnaDirect, kColorTrnaComplement, kColorGeneDirect,
                                                 kColorGeneComplement, kColorSequence};
    return std::find(known.begin(), known.end(), color) != known.end();
}

QFont mapFont(int pixels)
{
    QFont font(QStringLiteral("Verdana"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setWeight(QFont::Normal);
    return font;
}

LabelMetrics metricsOf(const QFont& font)
{
    const QFontMetrics metrics(font);
    return {[metrics](const std::string& text) {
                return metrics.horizontalAdvance(QString::fromStdString(text));
            },
            metrics.ascent(), metrics.descent()};
}

void paintRepeatMarks(QPainter& painter, const MapScene& scene, const ColourScheme& colours)
{
    if (const std::optional<MapStretch>& marked = scene.marked(); marked && scene.perBase() > 0.0) {
        // Outside the features' arcs, in the first copy's colour.
        constexpr double kMarkRadius = kTrackRadius + 9.0;
        constexpr double kDegrees = 180.0 / std::numbers::pi;
        const QRectF box(kMapCircleCentre.x - kMarkRadius, kMapCircleCentre.y - kMarkRadius, 2 * kMarkRadius,
                         2 * kMarkRadius);
        QPen pen(colorOf(colours.firstCopy), 4.0);
        pen.setCapStyle(Qt::FlatCap);
        painter.save();
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const double from = -(marked->start * scene.perBase() + kMapStartAngle) * kDegrees;
        const double span = std::min(marked->length * scene.perBase(), 2.0 * std::numbers::pi) * kDegrees;
        painter.drawArc(box, static_cast<int>(std::lround(from * 16.0)),
                        -static_cast<int>(std::lround(span * 16.0)));
        painter.restore();
    }
    paintBands(painter, scene.perBase(), scene.shownBands());
    if (scene.showsRepeat()) {
        paintRepeat(painter, scene.perBase(), *scene.repeat(), scene.pairs(), colours);
    }
}

const QImage& diagramBackground()
{
    static const QImage background = makeBackground();
    return background;
}

LabelMetrics diagramLabelMetrics()
{
    return metricsOf(labelFont());
}

bool namesSetApart(const MapScene& scene, const DiagramStyle& style)
{
    switch (style.labels) {
        case LabelLayout::Staggered:
            return false;
        case LabelLayout::Tidy:
            return true;
        case LabelLayout::Automatic:
            break;
    }
    return scene.features().size() > kStaggeredNamesLimit + 1;
}

MapBounds diagramBounds(const MapScene& scene, const DiagramStyle& style)
{
    return style.look == MapLook::Paper ? paperBounds(scene) : MapBounds{};
}

QSize diagramSize(const MapScene& scene, const DiagramStyle& style)
{
    const MapBounds bounds = diagramBounds(scene, style);
    return {static_cast<int>(std::ceil(bounds.width())), static_cast<int>(std::ceil(bounds.height()))};
}

void paintDiagram(QPainter& painter, const MapScene& scene, const DiagramStyle& style,
                  const std::optional<MapBounds>& shown)
{
    const MapBounds area = shown.value_or(diagramBounds(scene, style));
    painter.save();
    if (style.look == MapLook::Paper) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        paintPaper(painter, scene, area, style.colours);
        painter.restore();
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing, style.antialias);
    painter.setRenderHint(QPainter::TextAntialiasing, style.antialias);
    painter.setFont(labelFont());
    painter.setBackgroundMode(Qt::TransparentMode);
    // The picture where the map is drawn pixel for pixel at its own size;
    // shapes where it is scaled or written as a drawing.
    const bool scaled = painter.transform().type() > QTransform::TxTranslate;
    const bool drawing =
        painter.paintEngine() != nullptr && painter.paintEngine()->type() != QPaintEngine::Raster;
    if (scaled || drawing || area != MapBounds{}) {
        paintRing(painter, area);
    } else {
        painter.drawImage(QPoint(0, 0), diagramBackground());
    }

    const double perBase = scene.perBase();
    const MapLayers& layers = scene.layers();
    if (layers.legend) {
        paintLegend(painter);
    }
    paintScale(painter, perBase, scene.sequenceEnd());
    if (layers.genes) {
        paintFeatures(painter, scene.features(), perBase, namesSetApart(scene, style), area);
    }
    if (layers.microsatellites) {
        paintMicrosatellites(painter, perBase, scene.microsatellites());
    }
    if (layers.tandem) {
        paintTandemArrays(painter, scene);
    }
    paintRepeatMarks(painter, scene, style.colours);
    painter.restore();
}

void paintDiagram(QPainter& painter, const FeatureList& features, const Repeat* repeat,
                  std::span<const RepeatPair> pairs)
{
    MapScene scene(features, 0);
    scene.setRepeat(repeat, pairs);
    paintDiagram(painter, scene);
}

void paintDiagramInto(QPainter& painter, const MapScene& scene, const DiagramStyle& style,
                      const QRectF& target)
{
    const MapBounds shown = fitBounds(diagramBounds(scene, style), target.width(), target.height());
    const double scale = target.width() / shown.width();
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(scale, scale);
    painter.translate(-shown.left, -shown.top);
    paintDiagram(painter, scene, style, shown);
    painter.restore();
}

QImage renderDiagram(const MapScene& scene, const DiagramStyle& style, QSize size)
{
    if (size.isEmpty()) {
        size = diagramSize(scene, style);
    }
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) {
        return image;  // no memory for it: nothing to save
    }
    image.fill(style.look == MapLook::Paper ? QColor(Qt::white) : kFieldColor);
    QPainter painter(&image);
    if (size == diagramSize(scene, style) && style.look == MapLook::Standard) {
        paintDiagram(painter, scene, style);  // pixel for pixel
    } else {
        paintDiagramInto(painter, scene, style, QRectF(0, 0, size.width(), size.height()));
    }
    painter.end();
    return image;
}

QImage renderDiagram(const FeatureList& features, const Repeat* repeat, std::span<const RepeatPair> pairs)
{
    MapScene scene(features, 0);
    scene.setRepeat(repeat, pairs);
    return renderDiagram(scene);
}

bool saveDiagram(const QString& path, const MapScene& scene, const MapImageOptions& options)
{
    QSize size(options.width, options.height);
    if (size.isEmpty()) {
        size = diagramSize(scene, options.style);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QRectF target(0, 0, size.width(), size.height());
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(target);
        svg.setTitle(QStringLiteral("Circular map"));
        QPainter painter;
        if (!painter.begin(&svg)) {
            return false;
        }
        paintDiagramInto(painter, scene, options.style, target);
        if (!painter.end()) {
            return false;
        }
    } else if (path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(QStringLiteral("Circular map"));
        pdf.setResolution(static_cast<int>(kPdfDotsPerInch));
        pdf.setPageLayout(
            QPageLayout(QPageSize(QSizeF(size.width() / kPdfDotsPerInch, size.height() / kPdfDotsPerInch),
                                  QPageSize::Inch),
                        QPageLayout::Portrait, QMarginsF()));
        QPainter painter;
        if (!painter.begin(&pdf)) {
            return false;
        }
        paintDiagramInto(painter, scene, options.style, target);
        if (!painter.end()) {
            return false;
        }
    } else if (!renderDiagram(scene, options.style, size).save(&buffer, "PNG")) {
        return false;
    }

    // A regular file is replaced only once the new one is complete; a FIFO or
    // a device is written into, never replaced.
    return !saveFile(QFile::encodeName(path).toStdString(),
                     std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                     options.save);
}

bool saveDiagram(const QString& path, const FeatureList& features, const Repeat* repeat,
                 std::span<const RepeatPair> pairs)
{
    MapScene scene(features, 0);
    scene.setRepeat(repeat, pairs);
    return saveDiagram(path, scene);
}

}  // namespace tessaron
