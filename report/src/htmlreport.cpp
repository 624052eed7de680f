#include "report/htmlreport.h"

#include "engine/approximatesearch.h"
#include "engine/repeatkinds.h"
#include "mapgeometry/diagramgeometry.h"
#include "mapgeometry/dotplotgeometry.h"
#include "mapgeometry/gcprofile.h"
#include "mapgeometry/mapscene.h"
#include "mapgeometry/tidylabels.h"
#include "report/reports.h"
#include "reportresources.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

namespace tessaron {

namespace {

// The colours of the four kinds, as RepeatKind numbers them.
constexpr std::array<const char*, 4> kKindClasses{"k0", "k1", "k2", "k3"};
// Names as wide as the map's font draws them, near enough to keep them apart.
constexpr int kCharWidth = 6;
constexpr double kContentRing = 140.0;
constexpr double kSkewRing = 126.0;
constexpr double kRingScale = 40.0;
// The plastome's parts: a ring inside the GC rings, names inside it.
constexpr double kPartRing = 104.0;
constexpr double kPartNameRing = 90.0;

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    std::string out(text);
    if (out.ends_with(".0")) {
        out.resize(out.size() - 2);
    }
    return out == "-0" ? "0" : out;
}

std::string point(MapPointF p)
{
    return number(p.x) + "," + number(p.y);
}

MapPointF onCircle(double perBase, double position, double radius)
{
    const double theta = position * perBase + kMapStartAngle;
    return {kMapCircleCentre.x + radius * std::cos(theta), kMapCircleCentre.y + radius * std::sin(theta)};
}

std::string polygon(const std::vector<MapPointF>& points, bool closed)
{
    std::string path;
    for (std::size_t i = 0; i < points.size(); ++i) {
        path += (i == 0 ? "M" : "L") + point(points[i]);
    }
    if (closed) {
        path += "Z";
    }
    return path;
}

// An arc of the track as ArcSpan gives it (degrees, counterclockwise on screen).
std::string arcPath(const ArcSpan& span, double radius)
{
    const auto at = [&](double degrees) {
        const double theta = degrees * std::numbers::pi / 180.0;
        return MapPointF{kMapCircleCentre.x + radius * std::cos(theta),
                         kMapCircleCentre.y - radius * std::sin(theta)};
    };
    const std::string r = number(radius);
    if (span.spanDegrees >= 359.9) {
        return "M" + point(at(0)) + "A" + r + "," + r + " 0 1 0 " + point(at(180)) + "A" + r + "," + r +
               " 0 1 0 " + point(at(360));
    }
    const bool large = span.spanDegrees > 180.0;
    return "M" + point(at(span.startDegrees)) + "A" + r + "," + r + " 0 " + (large ? "1" : "0") + " 0 " +
           point(at(span.startDegrees + span.spanDegrees));
}

std::string ringPath(const GcProfile& profile, const std::vector<double>& values, double perBase,
                     double radius, double mean, double scale)
{
    std::vector<MapPointF> points;
    points.reserve(values.size() + 1);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const double r = radius + scale * (values[i] - mean);
        points.push_back(onCircle(perBase, static_cast<double>(i) * static_cast<double>(profile.step), r));
    }
    return polygon(points, true);
}

void appendLayer(HtmlFigure& figure, const HtmlSection& section, double perBase)
{
    if (!section.drawnOnMap || section.marks.empty()) {
        return;
    }
    std::string& svg = figure.svg;
    svg += "<g class=\"layer\" data-s=\"" + htmlEscaped(section.id) + "\">";
    const std::size_t drawn = std::min(section.marks.size(), kHtmlMostMapMarks);
    if (drawn < section.marks.size()) {
        figure.cut.push_back({section.id, drawn, section.marks.size()});
    }
    for (std::size_t i = 0; i < drawn; ++i) {
        const HtmlMark& mark = section.marks[i];
        const std::string row = std::to_string(mark.row);
        const auto length = static_cast<std::int32_t>(mark.length);
        if (!mark.second) {
            const MapStretch stretch{static_cast<std::int32_t>(mark.first), length};
            const MapTick tick = microsatelliteTicks(perBase, std::span(&stretch, 1)).front();
            svg += "<path class=\"tick\" data-r=\"" + row + "\" d=\"M" + point(tick.inner) + "L" +
                   point(tick.outer) + "\"/>";
            continue;
        }
        const char* kind = kKindClasses[static_cast<std::size_t>(std::clamp(mark.kind, 0, 3))];
        const RepeatPair pair{static_cast<std::int32_t>(mark.first), static_cast<std::int32_t>(*mark.second)};
        std::string d;
        if (drawnAsBand(perBase, length)) {
            d = polygon(bandOutline(perBase, pair, length), true);
            svg += "<path class=\"band " + std::string(kind) + "\" data-r=\"" + row + "\" d=\"" + d + "\"/>";
        } else {
            const MapPointF a =
                onCircle(perBase, static_cast<double>(pair.first) + length / 2.0, kBandRadius);
            const MapPointF b =
                onCircle(perBase, static_cast<double>(pair.second) + length / 2.0, kBandRadius);
            svg += "<path class=\"chord " + std::string(kind) + "\" data-r=\"" + row + "\" d=\"M" + point(a) +
                   "Q" + point(kMapCircleCentre) + " " + point(b) + "\"/>";
        }
    }
    svg += "</g>";
}

// The parts as arcs of one ring, each named at its middle.
void appendRing(std::string& svg, const std::vector<HtmlRingPart>& ring, std::string_view section,
                double perBase, std::int64_t length)
{
    if (ring.empty() || length <= 0) {
        return;
    }
    svg += "<g class=\"layer ring\" data-s=\"" + htmlEscaped(section) + "\">";
    for (std::size_t i = 0; i < ring.size(); ++i) {
        const HtmlRingPart& part = ring[i];
        if (part.length <= 0) {
            continue;
        }
        const auto start = static_cast<std::int32_t>(part.start % length);
        const auto end = static_cast<std::int32_t>((part.start + part.length - 1) % length);
        const std::string row = std::to_string(part.row);
        svg += "<path class=\"part p" + std::to_string(i % 4) + "\" data-r=\"" + row + "\" d=\"" +
               arcPath(featureArc(perBase, start, end), kPartRing) + "\"><title>" +
               htmlEscaped(part.name + " " + std::to_string(part.start + 1) + ".." +
                           std::to_string((part.start + part.length - 1) % length + 1)) +
               "</title></path>";
        const MapPointF at = onCircle(
            perBase, static_cast<double>(part.start) + static_cast<double>(part.length) / 2.0, kPartNameRing);
        svg += "<text class=\"partname\" data-r=\"" + row + "\" x=\"" + number(at.x) + "\" y=\"" +
               number(at.y + 3) + "\" text-anchor=\"middle\">" + htmlEscaped(part.name) + "</text>";
    }
    svg += "</g>";
}

void appendChart(std::string& out, const HtmlChart& chart)
{
    constexpr double kWidth = 560.0;
    constexpr double kLeft = 50.0;
    constexpr double kBottom = 190.0;
    constexpr double kTop = 20.0;
    std::int64_t most = 1;
    for (const auto& group : chart.values) {
        for (const std::int64_t value : group) {
            most = std::max(most, value);
        }
    }
    out += "<figure class=\"chart\"><figcaption>" + htmlEscaped(chart.title) +
           "</figcaption><svg viewBox=\"0 0 560 220\" role=\"img\">";
    out += "<line class=\"axis\" x1=\"" + number(kLeft) + "\" y1=\"" + number(kBottom) + "\" x2=\"" +
           number(kWidth) + "\" y2=\"" + number(kBottom) + "\"/>";
    out += "<text class=\"tick\" x=\"" + number(kLeft - 4) + "\" y=\"" + number(kTop + 4) +
           "\" text-anchor=\"end\">" + std::to_string(most) + "</text>";
    out += "<text class=\"tick\" x=\"" + number(kLeft - 4) + "\" y=\"" + number(kBottom) +
           "\" text-anchor=\"end\">0</text>";
    const double groupWidth =
        (kWidth - kLeft) / static_cast<double>(std::max<std::size_t>(chart.groups.size(), 1));
    const double barWidth =
        groupWidth * 0.8 / static_cast<double>(std::max<std::size_t>(chart.series.size(), 1));
    for (std::size_t g = 0; g < chart.groups.size(); ++g) {
        const double x0 = kLeft + static_cast<double>(g) * groupWidth + groupWidth * 0.1;
        for (std::size_t s = 0; s < chart.series.size() && s < chart.values[g].size(); ++s) {
            const double height =
                (kBottom - kTop) * static_cast<double>(chart.values[g][s]) / static_cast<double>(most);
            out += "<rect class=\"s" + std::to_string(s % 6) + "\" x=\"" +
                   number(x0 + static_cast<double>(s) * barWidth) + "\" y=\"" + number(kBottom - height) +
                   "\" width=\"" + number(barWidth) + "\" height=\"" + number(height) + "\"><title>" +
                   htmlEscaped(chart.series[s] + ", " + chart.groups[g] + ": " +
                               std::to_string(chart.values[g][s])) +
                   "</title></rect>";
        }
        out += "<text class=\"tick\" x=\"" + number(x0 + groupWidth * 0.4) + "\" y=\"" +
               number(kBottom + 14) + "\" text-anchor=\"middle\">" + htmlEscaped(chart.groups[g]) + "</text>";
    }
    out += "</svg><p class=\"legend\">";
    for (std::size_t s = 0; s < chart.series.size(); ++s) {
        out +=
            "<span class=\"key s" + std::to_string(s % 6) + "\"></span>" + htmlEscaped(chart.series[s]) + " ";
    }
    out += "</p></figure>";
}

// A cell as JSON: a plain whole number bare, anything else as a string.
std::string jsonCell(const std::string& cell)
{
    const bool digits = !cell.empty() && cell.size() <= 15 &&
                        std::all_of(cell.begin(), cell.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
                        (cell.size() == 1 || cell.front() != '0');
    return digits ? cell : jsonString(cell);
}

std::string sectionJson(const HtmlSection& section)
{
    std::string json = "{\"id\":" + jsonString(section.id) + ",\"title\":" + jsonString(section.title) +
                       ",\"total\":" + std::to_string(section.totalRows) + ",\"columns\":[";
    for (std::size_t i = 0; i < section.columns.size(); ++i) {
        json += (i == 0 ? "" : ",") + jsonString(section.columns[i]);
    }
    json += "],\"rows\":[";
    for (std::size_t r = 0; r < section.rows.size(); ++r) {
        json += r == 0 ? "[" : ",[";
        for (std::size_t c = 0; c < section.rows[r].size(); ++c) {
            json += (c == 0 ? "" : ",") + jsonCell(section.rows[r][c]);
        }
        json += "]";
    }
    json += "],\"marks\":[";
    for (std::size_t i = 0; i < section.marks.size(); ++i) {
        const HtmlMark& mark = section.marks[i];
        json += (i == 0 ? "[" : ",[") + std::to_string(mark.row) + "," + std::to_string(mark.kind) + "," +
                std::to_string(mark.first) + "," + std::to_string(mark.second.value_or(-1)) + "," +
                std::to_string(mark.length);
        if (mark.secondLength && *mark.secondLength != mark.length) {
            json += "," + std::to_string(*mark.secondLength);
        }
        json += "]";
    }
    return json + "]}";
}

// What the map and the dot plot left out: "The map draws 1500 of the 30000
// exact pairs the page holds; ..." (none of it when they drew everything).
void writeDrawnInPart(std::ostream& out, const HtmlReport& report, const HtmlFigure& map,
                      const HtmlFigure& dotPlot)
{
    std::vector<std::string> parts;
    for (const auto& [figure, name] : {std::pair{&map, "map"}, std::pair{&dotPlot, "dot plot"}}) {
        for (const HtmlDrawnPart& cut : figure->cut) {
            const auto section = std::find_if(report.sections.begin(), report.sections.end(),
                                              [&](const HtmlSection& s) { return s.id == cut.section; });
            const std::string title = section == report.sections.end() ? cut.section : section->title;
            std::string text = "the " + std::string(name) + " draws " + std::to_string(cut.drawn) +
                               " of the " + std::to_string(cut.total) + " rows of " + title;
            if (section != report.sections.end() && section->totalRows > section->rows.size()) {
                text += " the page holds (of " + std::to_string(section->totalRows) + " in all)";
            }
            parts.push_back(std::move(text));
        }
    }
    if (parts.empty()) {
        return;
    }
    out << "<p class=\"drawn\" id=\"drawn-in-part\">Drawn in part: ";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        out << (i == 0 ? "" : "; ") << htmlEscaped(parts[i]);
    }
    out << ". A row chosen in its table is drawn whatever the figure left out.</p>";
}

}  // namespace

std::string htmlEscaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '<') {
            // Never "</script" nor "<!--" inside the script element.
            out += "\\u003c";
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
            out += escape;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

HtmlSection sectionFromTsv(std::string_view tsv, std::size_t keepRows)
{
    HtmlSection section;
    bool header = true;
    while (!tsv.empty()) {
        const std::size_t end = std::min(tsv.find('\n'), tsv.size());
        const std::string_view line = tsv.substr(0, end);
        tsv.remove_prefix(std::min(end + 1, tsv.size()));
        if (!header && section.totalRows++ >= keepRows) {
            continue;
        }
        std::vector<std::string> cells;
        std::size_t from = 0;
        while (true) {
            const std::size_t tab = line.find('\t', from);
            cells.emplace_back(line.substr(from, tab == std::string_view::npos ? line.npos : tab - from));
            if (tab == std::string_view::npos) {
                break;
            }
            from = tab + 1;
        }
        if (header) {
            section.columns = std::move(cells);
            header = false;
        } else {
            section.rows.push_back(std::move(cells));
        }
    }
    return section;
}

HtmlFigure mapSvg(const Genome& genome, const FeatureList& features, const std::vector<HtmlSection>& sections,
                  const std::vector<HtmlRingPart>& ring, std::string_view ringSection)
{
    const std::int64_t length = genome.length();
    const FeatureList whole{
        {0, static_cast<std::int32_t>(std::max<std::int64_t>(length, 1) - 1), "sequence", 0x00808080}};
    const MapScene scene(features.empty() ? whole : features, length);
    const double perBase = scene.perBase();
    HtmlFigure figure;
    std::string& svg = figure.svg;
    svg = "<svg id=\"map\" viewBox=\"0 0 " + std::to_string(kMapWidth) + " " + std::to_string(kMapHeight) +
          "\" data-length=\"" + std::to_string(length) + "\" data-per-base=\"" + std::to_string(perBase) +
          "\" data-cx=\"" + number(kMapCircleCentre.x) + "\" data-cy=\"" + number(kMapCircleCentre.y) +
          "\" role=\"img\" aria-label=\"circular map\"><g class=\"view\">";
    svg += "<circle class=\"backbone\" cx=\"" + number(kMapCircleCentre.x) + "\" cy=\"" +
           number(kMapCircleCentre.y) + "\" r=\"" + std::to_string(kTrackRadius) + "\"/>";
    if (length > 0) {
        const GcProfile profile = gcProfile(genome.sequence());
        if (!profile.content.empty()) {
            svg +=
                "<path class=\"gc\" d=\"" +
                ringPath(profile, profile.content, perBase, kContentRing, profile.meanContent, kRingScale) +
                "\"><title>GC content</title></path>";
            svg += "<path class=\"skew\" d=\"" +
                   ringPath(profile, profile.skew, perBase, kSkewRing, 0.0, kRingScale / 4.0) +
                   "\"><title>GC skew</title></path>";
        }
    }
    for (const ScaleMark& mark : scaleMarks(perBase, scene.sequenceEnd())) {
        svg += "<rect class=\"scale\" x=\"" + std::to_string(mark.tick.x - 1) + "\" y=\"" +
               std::to_string(mark.tick.y - 1) + "\" width=\"2\" height=\"2\"/><text class=\"scale\" x=\"" +
               std::to_string(mark.text.x) + "\" y=\"" + std::to_string(mark.text.y) + "\"" +
               (mark.alignRight ? " text-anchor=\"end\"" : "") + ">" + htmlEscaped(mark.label) + "</text>";
    }
    const FeatureList& shown = scene.features();
    svg += "<g class=\"features\">";
    for (std::size_t i = 1; i < shown.size(); ++i) {
        const Feature& feature = shown[i];
        for (const FeaturePart& part : drawnStretches(feature)) {
            svg += "<path class=\"feature\" data-f=\"" + std::to_string(i) + "\" stroke=\"" +
                   htmlColor(feature.color) + "\" d=\"" +
                   arcPath(featureArc(perBase, part.start, part.end), kTrackRadius) + "\"><title>" +
                   htmlEscaped(feature.name + " " + std::to_string(part.start + 1) + ".." +
                               std::to_string(part.end + 1)) +
                   "</title></path>";
        }
    }
    svg += "</g>";
    LabelMetrics metrics;
    metrics.width = [](const std::string& name) { return static_cast<int>(name.size()) * kCharWidth; };
    svg += "<g class=\"labels\">";
    for (const TidyLabel& label : tidyLabels(shown, perBase, metrics)) {
        svg += "<path class=\"leader\" d=\"M" + std::to_string(label.anchor.x) + "," +
               std::to_string(label.anchor.y) + "L" + std::to_string(label.leaderEnd.x) + "," +
               std::to_string(label.leaderEnd.y) + "\"/><text x=\"" + std::to_string(label.text.x) +
               "\" y=\"" + std::to_string(label.text.y) + "\">" + htmlEscaped(label.name) + "</text>";
    }
    svg += "</g>";
    appendRing(svg, ring, ringSection, perBase, length);
    for (const HtmlSection& section : sections) {
        appendLayer(figure, section, perBase);
    }
    svg += "<g id=\"highlight\"></g>";
    svg += "<text class=\"title\" x=\"" + number(kMapCircleCentre.x) + "\" y=\"" +
           number(kMapCircleCentre.y - 4) + "\" text-anchor=\"middle\">" +
           htmlEscaped(genome.title().substr(0, 40)) + "</text><text class=\"subtitle\" x=\"" +
           number(kMapCircleCentre.x) + "\" y=\"" + number(kMapCircleCentre.y + 12) +
           "\" text-anchor=\"middle\">" + std::to_string(length) + " bp</text>";
    svg += "</g></svg>";
    return figure;
}

HtmlFigure dotPlotSvg(std::int64_t length, const std::vector<HtmlSection>& sections, std::size_t mostSegments)
{
    constexpr double kSide = 400.0;
    const double scale = length > 0 ? kSide / static_cast<double>(length) : 0.0;
    HtmlFigure figure;
    std::string& svg = figure.svg;
    svg = "<svg id=\"dotplot\" viewBox=\"0 0 400 400\" data-length=\"" + std::to_string(length) +
          "\" role=\"img\" aria-label=\"dot plot\"><g class=\"view\"><rect class=\"frame\" "
          "width=\"400\" height=\"400\"/><path class=\"diagonal\" d=\"M0,0L400,400\"/>";
    std::size_t drawn = 0;
    for (const HtmlSection& section : sections) {
        if (!section.onDotPlot) {
            continue;
        }
        // The pairs kind by kind, each remembering its row.
        std::vector<ApproximateResult> results;
        std::array<std::vector<std::size_t>, kRepeatKindCount> rowOf;
        for (const RepeatKind kind : kKindOrder) {
            ApproximateResult result;
            result.kind = kind;
            for (const HtmlMark& mark : section.marks) {
                if (mark.second && mark.kind == static_cast<int>(kind)) {
                    result.pairs.push_back({mark.first, *mark.second, mark.length, 0, 0, 100.0, 0.0});
                    rowOf[static_cast<std::size_t>(kind)].push_back(mark.row);
                }
            }
            results.push_back(std::move(result));
        }
        svg += "<g class=\"layer\" data-s=\"" + htmlEscaped(section.id) + "\">";
        // The pairs drawn, at least one of their segments each.
        std::size_t rows = 0;
        for (const HtmlMark& mark : section.marks) {
            rows = std::max(rows, mark.row + 1);
        }
        std::vector<bool> shown(rows, false);
        std::size_t pairs = 0;
        std::size_t pairsShown = 0;
        for (const auto& ofKind : rowOf) {
            pairs += ofKind.size();
        }
        for (const DotPlotSegment& segment : dotPlotSegments(length, results)) {
            if (drawn >= mostSegments) {
                break;
            }
            ++drawn;
            const auto kind = static_cast<std::size_t>(segment.kind);
            const std::size_t row = rowOf[kind][segment.pair];
            if (!shown[row]) {
                shown[row] = true;
                ++pairsShown;
            }
            svg += "<path class=\"" + std::string(kKindClasses[kind]) + "\" data-r=\"" + std::to_string(row) +
                   "\" d=\"M" + number(segment.from.x * scale) + "," + number(segment.from.y * scale) + "L" +
                   number(segment.to.x * scale + 0.01) + "," + number(segment.to.y * scale + 0.01) + "\"/>";
        }
        svg += "</g>";
        if (pairsShown < pairs) {
            figure.cut.push_back({section.id, pairsShown, pairs});
        }
    }
    svg += "<g id=\"dothighlight\"></g></g></svg>";
    return figure;
}

void writeHtmlReport(std::ostream& out, const HtmlReport& report, const HtmlFigure& map,
                     const HtmlFigure& dotPlot)
{
    out << "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
           "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
           "img-src data:; style-src 'unsafe-inline'; script-src 'unsafe-inline'\">"
        << "<title>" << htmlEscaped(report.title) << " - Tessaron report</title><style>" << kReportCss
        << "</style></head><body>\n<header><h1>" << htmlEscaped(report.title) << "</h1><p>"
        << htmlEscaped(report.seqid) << " &middot; " << report.length << " bp &middot; "
        << htmlEscaped(report.gcText) << "</p><nav><a href=\"#figures\">Map and dot plot</a> <a "
        << "href=\"#paper\">Repeat section</a>";
    for (const HtmlSection& section : report.sections) {
        out << " <a href=\"#t-" << htmlEscaped(section.id) << "\">" << htmlEscaped(section.title) << "</a>";
    }
    out << " <a href=\"#settings\">Settings</a></nav></header>\n<main>"
        << "<section id=\"figures\"><h2>Map and dot plot</h2><p class=\"hint\">Scroll to zoom, drag to pan, "
           "double-click to reset; hover a mark for its pair, click it to choose its row. The map draws "
           "the exact and the approximate pairs, the microsatellites and the tandem arrays; the dot plot "
           "shows the approximate pairs (direct and complementary along the diagonal's direction, inverted "
           "and mirror across it); a row chosen in any table (gapped pairs and families too) is drawn over "
           "both figures in black.</p>"
           "<div class=\"figures\"><div class=\"figure\">"
        << map.svg << "</div><div class=\"figure\">" << dotPlot.svg << "</div></div>";
    writeDrawnInPart(out, report, map, dotPlot);
    out << "<p class=\"legend\"><span class=\"key k0\"></span>direct <span class=\"key "
           "k1\"></span>inverted <span class=\"key k2\"></span>mirror <span class=\"key "
           "k3\"></span>complementary "
           "<span class=\"key gc\"></span>GC content <span class=\"key skew\"></span>GC skew</p>"
           "<div id=\"tip\" hidden></div></section>\n";
    out << "<section id=\"paper\"><h2>Repeat section</h2><div class=\"sheetbox\"><table class=\"sheet\">";
    for (const auto& row : report.paper.grid()) {
        out << "<tr>";
        for (const std::string& cell : row) {
            out << "<td>" << htmlEscaped(cell) << "</td>";
        }
        out << "</tr>";
    }
    out << "</table></div>";
    for (const HtmlChart& chart : report.charts) {
        std::string svg;
        appendChart(svg, chart);
        out << svg;
    }
    out << "</section>\n";
    for (const HtmlSection& section : report.sections) {
        out << "<section class=\"table\" id=\"t-" << htmlEscaped(section.id) << "\" data-s=\""
            << htmlEscaped(section.id) << "\"><h2>" << htmlEscaped(section.title)
            << "</h2><p class=\"settings\">" << htmlEscaped(section.settings) << "</p>";
        if (section.totalRows > section.rows.size()) {
            out << "<p class=\"cut\">This page holds the first " << section.rows.size() << " of "
                << section.totalRows << " rows; the whole table is written by <code>"
                << htmlEscaped(section.command) << "</code></p>";
        } else {
            out << "<p class=\"command\">The same table: <code>" << htmlEscaped(section.command)
                << "</code></p>";
        }
        out << "<div class=\"controls\"></div><table class=\"rows\"></table><div "
               "class=\"pager\"></div></section>\n";
    }
    out << "<section id=\"settings\"><h2>Settings</h2><ul>";
    for (const HtmlSection& section : report.sections) {
        if (!section.settings.empty()) {
            out << "<li>" << htmlEscaped(section.title) << ": " << htmlEscaped(section.settings) << "</li>";
        }
    }
    for (const std::string& search : report.searches) {
        out << "<li>" << htmlEscaped(search) << "</li>";
    }
    out << "</ul><p>Made by Tessaron " << htmlEscaped(report.version);
    if (report.commandLine.empty()) {
        out << " (the desktop program's File &gt; Export HTML report)";
    } else {
        out << " with <code>" << htmlEscaped(report.commandLine) << "</code>";
    }
    out << "</p></section></main>\n";
    out << "<script type=\"application/json\" id=\"tessaron-data\">{\"length\":" << report.length
        << ",\"sections\":[";
    for (std::size_t i = 0; i < report.sections.size(); ++i) {
        out << (i == 0 ? "" : ",") << sectionJson(report.sections[i]);
    }
    out << "]}</script>\n<script>" << kReportJs << "</script></body></html>\n";
}

}  // namespace tessaron
