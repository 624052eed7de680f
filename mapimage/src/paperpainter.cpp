// The map for a paper: white ground, the arcs each stretch once, names along
// the ring, a scale in kb inside the arcs, the GC content and GC skew rings,
// the genome's name and length in the middle, a plastome's four parts as a
// ring inside the GC rings, and a legend of every colour used beneath the map.

#include "painting.h"

#include "mapgeometry/diagramgeometry.h"
#include "mapgeometry/plastomering.h"
#include "mapgeometry/ringlabels.h"
#include "mapimage/junctionpainter.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace tessaron {

namespace {

constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

constexpr double kArcWidth = 8.0;  // the arcs run from 171 to 179 about the track
constexpr double kArcOuter = kTrackRadius + kArcWidth / 2.0;
constexpr double kArcInner = kTrackRadius - kArcWidth / 2.0;
constexpr double kMajorTick = 6.0;
constexpr double kMinorTick = 3.0;
constexpr double kScaleTextRadius = 158.0;
constexpr double kContentRadius = 136.0;  // the GC content ring's middle
constexpr double kSkewRadius = 108.0;     // the GC skew ring's middle
constexpr double kRingAmplitude = 12.0;   // the largest swing either way
constexpr double kTitleWidth = 150.0;
constexpr double kTitleLines = 4.0;  // a longer name is cut short with "..."
constexpr std::int64_t kMostScaleLabels = 16;
constexpr std::int64_t kMinorPerMajor = 5;
constexpr std::int64_t kMostMinorTicks = 200;

constexpr int kNamePixels = 10;
constexpr int kScalePixels = 9;
constexpr int kTitlePixels = 12;

constexpr double kLegendMargin = 8.0;
constexpr double kSwatchWidth = 14.0;
constexpr double kSwatchHeight = 8.0;
constexpr double kSwatchGap = 4.0;
constexpr double kEntryGap = 16.0;
constexpr double kRowGap = 4.0;

const QColor kLeaderColor(110, 110, 110);
const QColor kTrackColor(200, 200, 200);
const QColor kTickColor(60, 60, 60);
const QColor kContentColor(70, 70, 70);
const QColor kSkewAboveColor(0, 150, 0);
const QColor kSkewBelowColor(150, 0, 150);

QFont nameFont()
{
    return mapFont(kNamePixels);
}

// Screen radians of a base, and the point at a radius in that direction.
double angleOf(double perBase, double position)
{
    return position * perBase + kMapStartAngle;
}

QPointF polar(double angle, double radius)
{
    return {kMapCircleCentre.x + radius * std::cos(angle), kMapCircleCentre.y + radius * std::sin(angle)};
}

struct LegendEntry {
    QColor color;
    QString text;
    bool dot = false;  // a repeat's copy: a dot rather than a bar
};

std::vector<LegendEntry> legendEntries(const MapScene& scene, const std::vector<MapName>& names,
                                       const ColourScheme& colours)
{
    struct Kind {
        std::uint32_t color;
        const char* text;
    };
    static constexpr std::array<Kind, 5> kKinds{{
        {kColorGeneDirect, "gene + strand"},
        {kColorGeneComplement, "gene - strand"},
        {kColorTrnaDirect, "tRNA + strand"},
        {kColorTrnaComplement, "tRNA - strand"},
        {kColorSequence, "rRNA, other RNA or D-loop"},
    }};
    std::vector<LegendEntry> entries;
    for (const Kind& kind : kKinds) {
        if (scene.layers().genes && std::any_of(names.begin(), names.end(), [&kind](const MapName& name) {
                return name.color == kind.color;
            })) {
            entries.push_back({colorOf(kind.color), QString::fromLatin1(kind.text)});
        }
    }
    if (scene.layers().gcRings && !scene.profile().content.empty()) {
        entries.push_back({kContentColor, QStringLiteral("GC content")});
        entries.push_back({kSkewAboveColor, QStringLiteral("GC skew +")});
        entries.push_back({kSkewBelowColor, QStringLiteral("GC skew -")});
    }
    if (scene.showsRepeat()) {
        entries.push_back({colorOf(colours.firstCopy), QStringLiteral("repeat: first copy"), true});
        if (scene.repeat()->transformed) {
            entries.push_back({colorOf(colours.secondCopy), QStringLiteral("second copy"), true});
        }
    }
    return entries;
}

// The entries' places, left to right in rows across `width`; the height used.
struct PlacedEntry {
    QPointF swatch;  // top-left of the swatch
    QPointF text;    // baseline start
};

double placeLegend(const std::vector<LegendEntry>& entries, double left, double top, double width,
                   std::vector<PlacedEntry>* places)
{
    if (entries.empty()) {
        return 0.0;
    }
    const QFontMetricsF metrics(nameFont());
    const double rowHeight = metrics.height() + kRowGap;
    double x = left + kLegendMargin;
    double y = top;
    for (const LegendEntry& entry : entries) {
        const double entryWidth = kSwatchWidth + kSwatchGap + metrics.horizontalAdvance(entry.text);
        if (x > left + kLegendMargin && x + entryWidth > left + width - kLegendMargin) {
            x = left + kLegendMargin;
            y += rowHeight;
        }
        if (places != nullptr) {
            const double middle = y + metrics.height() / 2.0;
            places->push_back(
                {{x, middle - kSwatchHeight / 2.0},
                 {x + kSwatchWidth + kSwatchGap, middle + (metrics.ascent() - metrics.descent()) / 2.0}});
        }
        x += entryWidth + kEntryGap;
    }
    return y + rowHeight - top;
}

RingLayout nameLayout(const MapScene& scene)
{
    return ringLabels(scene.features(), scene.perBase(), metricsOf(nameFont()), kArcOuter);
}

// The stretch from `start` to `end` (clockwise, inclusive), as Qt's arc angles.
void drawStretch(QPainter& painter, double perBase, std::int32_t sequenceEnd, const FeaturePart& stretch)
{
    double bases = static_cast<double>(stretch.end) - stretch.start;
    if (bases < 0.0) {
        bases += sequenceEnd + 1.0;
    }
    // At least half a pixel of the track, so that a short feature shows.
    const double span = std::max((bases + 1.0) * perBase, 0.5 / kTrackRadius);
    const double from = -angleOf(perBase, stretch.start) * kDegreesPerRadian;
    const QRectF box(kMapCircleCentre.x - kTrackRadius, kMapCircleCentre.y - kTrackRadius, 2 * kTrackRadius,
                     2 * kTrackRadius);
    painter.drawArc(box, static_cast<int>(std::lround(from * 16.0)),
                    -static_cast<int>(std::lround(std::min(span, kTwoPi) * kDegreesPerRadian * 16.0)));
}

void paintArcs(QPainter& painter, const MapScene& scene, const std::vector<MapName>& names)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kTrackColor, 1.0));
    painter.drawEllipse(QPointF(kMapCircleCentre.x, kMapCircleCentre.y), kTrackRadius, kTrackRadius);
    for (const MapName& name : names) {
        QPen pen(colorOf(name.color), kArcWidth);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        for (const FeaturePart& stretch : drawnStretches(scene.features()[name.feature])) {
            drawStretch(painter, scene.perBase(), scene.sequenceEnd(), stretch);
        }
    }
}

// Text centred on a point of the circle, along it, upright.
void drawAlongCircle(QPainter& painter, double angle, double radius, const QString& text)
{
    const QFontMetricsF metrics(painter.font());
    painter.save();
    const QPointF at = polar(angle, radius);
    painter.translate(at);
    const bool lowerHalf = std::sin(angle) > 0.0;
    painter.rotate((angle + (lowerHalf ? -1.0 : 1.0) * std::numbers::pi / 2.0) * kDegreesPerRadian);
    painter.drawText(
        QPointF(-metrics.horizontalAdvance(text) / 2.0, (metrics.ascent() - metrics.descent()) / 2.0), text);
    painter.restore();
}

void paintScale(QPainter& painter, const MapScene& scene)
{
    const std::int64_t length = static_cast<std::int64_t>(scene.sequenceEnd()) + 1;
    const double perBase = scene.perBase();
    const std::int64_t step = scaleStep(length, 1, kMostScaleLabels);
    const std::int64_t minor =
        step % kMinorPerMajor == 0 && length / (step / kMinorPerMajor) <= kMostMinorTicks
            ? step / kMinorPerMajor
            : step;
    painter.setPen(QPen(kTickColor, 0.8));
    for (std::int64_t position = 0; position < length; position += minor) {
        const double angle = angleOf(perBase, static_cast<double>(position));
        const double tick = position % step == 0 ? kMajorTick : kMinorTick;
        painter.drawLine(polar(angle, kArcInner - 1.0), polar(angle, kArcInner - 1.0 - tick));
    }
    painter.setFont(mapFont(kScalePixels));
    painter.setPen(kTickColor);
    for (std::int64_t position = 0; position < length; position += step) {
        // The last mark is left out when it would crowd the origin's.
        if (position > 0 && (length - position) * 5 < step * 2) {
            break;
        }
        drawAlongCircle(painter, angleOf(perBase, static_cast<double>(position)), kScaleTextRadius,
                        QString::fromStdString(position == 0 ? std::string("0")
                                                             : scaleLabel(position, ScaleUnits::Paper)));
    }
}

// One ring of windows about `radius`: above the baseline the values over
// `middle`, below it those under, each side filled in its colour.
void paintRing(QPainter& painter, const MapScene& scene, const std::vector<double>& values, double middle,
               double radius, const QColor& above, const QColor& below)
{
    const GcProfile& profile = scene.profile();
    double largest = 0.0;
    for (const double value : values) {
        largest = std::max(largest, std::abs(value - middle));
    }
    if (values.empty() || largest == 0.0) {
        return;
    }
    const double perPixel = kRingAmplitude / largest;
    for (const int sign : {1, -1}) {
        QPolygonF curve;
        curve.reserve(static_cast<qsizetype>(values.size()) * 2);
        for (std::size_t i = 0; i < values.size(); ++i) {
            const double swing = sign * std::max(0.0, sign * (values[i] - middle)) * perPixel;
            const double step = static_cast<double>(profile.step);
            const double first = (static_cast<double>(i) - 0.5) * step;
            curve.append(polar(angleOf(scene.perBase(), first), radius + swing));
            curve.append(polar(angleOf(scene.perBase(), first + step), radius + swing));
        }
        QPainterPath path;
        path.setFillRule(Qt::OddEvenFill);
        path.addPolygon(curve);
        path.closeSubpath();
        path.addEllipse(QPointF(kMapCircleCentre.x, kMapCircleCentre.y), radius, radius);
        painter.setPen(Qt::NoPen);
        painter.setBrush(sign > 0 ? above : below);
        painter.drawPath(path);
    }
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kTrackColor, 0.5));
    painter.drawEllipse(QPointF(kMapCircleCentre.x, kMapCircleCentre.y), radius, radius);
}

// The plastome's parts: an arc each in its colour, a tick at each junction,
// the parts' names and lengths along the ring.
void paintPlastomeRing(QPainter& painter, const MapScene& scene)
{
    const PlastomeStructure& structure = *scene.plastome();
    const double perBase = scene.perBase();
    const QRectF box(kMapCircleCentre.x - kPlastomeRingRadius, kMapCircleCentre.y - kPlastomeRingRadius,
                     2 * kPlastomeRingRadius, 2 * kPlastomeRingRadius);
    for (std::size_t p = 0; p < 4; ++p) {
        const PlastomeRegion& region = structure.regions[p];
        if (region.length == 0) {
            continue;
        }
        QPen pen(plastomePartColor(static_cast<PlastomePart>(p)).darker(115), kPlastomeRingWidth);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const double from = -angleOf(perBase, static_cast<double>(region.start)) * kDegreesPerRadian;
        const double span =
            std::min(static_cast<double>(region.length) * perBase, kTwoPi) * kDegreesPerRadian;
        painter.drawArc(box, static_cast<int>(std::lround(from * 16.0)),
                        -static_cast<int>(std::lround(span * 16.0)));
    }
    painter.setPen(QPen(kTickColor, 0.8));
    for (const std::int64_t after : structure.junctionAfter) {
        const double angle = angleOf(perBase, static_cast<double>(after));
        painter.drawLine(polar(angle, kPlastomeRingRadius - kPlastomeRingWidth),
                         polar(angle, kPlastomeRingRadius + kPlastomeRingWidth));
    }
    painter.setFont(mapFont(kScalePixels));
    painter.setPen(Qt::black);
    for (const PlastomeRingText& text :
         plastomeRingTexts(structure, perBase, metricsOf(mapFont(kScalePixels)))) {
        drawAlongCircle(painter, text.angle, kPlastomeTextRadius, QString::fromStdString(text.text));
    }
}

void paintCentre(QPainter& painter, const MapScene& scene)
{
    QFont titleFont = mapFont(kTitlePixels);
    titleFont.setItalic(true);
    const QString title = QFontMetricsF(titleFont).elidedText(
        QString::fromStdString(scene.title()), Qt::ElideRight, kTitleWidth * (kTitleLines - 0.5));
    const QString length =
        QLocale(QLocale::English).toString(static_cast<qlonglong>(scene.sequenceEnd()) + 1) +
        QStringLiteral(" bp");
    const QFontMetricsF titleMetrics(titleFont);
    const QFontMetricsF lengthMetrics(nameFont());
    const QRectF titleBox = title.isEmpty()
                                ? QRectF()
                                : titleMetrics.boundingRect(QRectF(0, 0, kTitleWidth, 1000.0),
                                                            Qt::AlignHCenter | Qt::TextWordWrap, title);
    const double gap = title.isEmpty() ? 0.0 : 4.0;
    const double top = kMapCircleCentre.y - (titleBox.height() + gap + lengthMetrics.height()) / 2.0;
    painter.setPen(Qt::black);
    if (!title.isEmpty()) {
        painter.setFont(titleFont);
        painter.drawText(QRectF(kMapCircleCentre.x - kTitleWidth / 2.0, top, kTitleWidth, titleBox.height()),
                         Qt::AlignHCenter | Qt::TextWordWrap, title);
    }
    painter.setFont(nameFont());
    painter.drawText(QRectF(kMapCircleCentre.x - kTitleWidth / 2.0, top + titleBox.height() + gap,
                            kTitleWidth, lengthMetrics.height()),
                     Qt::AlignHCenter, length);
}

void paintNames(QPainter& painter, const RingLayout& layout)
{
    const QFont font = nameFont();
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    const double baseline = (metrics.ascent() - metrics.descent()) / 2.0;
    for (const RingLabel& label : layout.labels) {
        QPolygonF leader;
        for (const MapPointF& point : label.leader) {
            leader.append(QPointF(point.x, point.y));
        }
        painter.setPen(QPen(kLeaderColor, 0.6));
        painter.drawPolyline(leader);
        painter.save();
        painter.translate(kMapCircleCentre.x, kMapCircleCentre.y);
        painter.rotate(label.angle * kDegreesPerRadian + (label.turned ? 180.0 : 0.0));
        painter.setPen(colorOf(label.color));
        const double x = label.turned ? -(layout.radius + label.width) : layout.radius;
        painter.drawText(QPointF(x, baseline), QString::fromStdString(label.name));
        painter.restore();
    }
}

void paintLegend(QPainter& painter, const std::vector<LegendEntry>& entries, double left, double top,
                 double width)
{
    std::vector<PlacedEntry> places;
    placeLegend(entries, left, top, width, &places);
    painter.setFont(nameFont());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const LegendEntry& entry = entries[i];
        const QRectF swatch(places[i].swatch, QSizeF(kSwatchWidth, kSwatchHeight));
        painter.setPen(Qt::NoPen);
        painter.setBrush(entry.color);
        if (entry.dot) {
            painter.drawEllipse(QRectF(swatch.center() - QPointF(4.0, 4.0), QSizeF(8.0, 8.0)));
        } else {
            painter.drawRect(swatch);
        }
        painter.setPen(Qt::black);
        painter.drawText(places[i].text, entry.text);
    }
    painter.setBrush(Qt::NoBrush);
}

}  // namespace

MapBounds paperBounds(const MapScene& scene)
{
    MapBounds bounds = nameLayout(scene).bounds;
    // The legend takes the same room in every colour scheme.
    const std::vector<LegendEntry> entries =
        legendEntries(scene, namesOnce(scene.features()), kStandardColours);
    if (scene.layers().legend) {
        bounds.bottom += placeLegend(entries, bounds.left, bounds.bottom, bounds.width(), nullptr);
    }
    return bounds;
}

void paintPaper(QPainter& painter, const MapScene& scene, const MapBounds& shown, const ColourScheme& colours)
{
    painter.fillRect(QRectF(shown.left, shown.top, shown.width(), shown.height()), Qt::white);
    const std::vector<MapName> names = namesOnce(scene.features());
    const RingLayout layout = nameLayout(scene);
    const MapLayers& layers = scene.layers();
    if (scene.perBase() > 0.0) {
        if (layers.genes) {
            paintArcs(painter, scene, names);
        }
        paintScale(painter, scene);
        if (layers.gcRings) {
            const GcProfile& profile = scene.profile();
            paintRing(painter, scene, profile.content, profile.meanContent, kContentRadius, kContentColor,
                      kContentColor);
            paintRing(painter, scene, profile.skew, 0.0, kSkewRadius, kSkewAboveColor, kSkewBelowColor);
        }
        if (layers.plastome && scene.plastome() && scene.plastome()->found) {
            paintPlastomeRing(painter, scene);
        }
        if (layers.genes) {
            paintNames(painter, layout);
        }
    }
    paintCentre(painter, scene);
    if (layers.legend) {
        paintLegend(painter, legendEntries(scene, names, colours), layout.bounds.left, layout.bounds.bottom,
                    layout.bounds.width());
    }
    paintRepeatMarks(painter, scene, colours);
}

}  // namespace tessaron
