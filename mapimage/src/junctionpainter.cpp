#include "mapimage/junctionpainter.h"

#include "painting.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>
#include <QSvgGenerator>

#include <algorithm>
#include <string_view>

namespace tessaron {

namespace {

constexpr int kFigureTextPixels = 11;
constexpr double kFigurePdfDotsPerInch = 96.0;
const QColor kFigureGeneForward(0x2E, 0x7D, 0x32);
const QColor kFigureGeneReverse(0x1F, 0x5F, 0xA8);
const QColor kFigureJunctionColor(0x30, 0x30, 0x30);
const QColor kFigureCutColor(0x90, 0x90, 0x90);

QFont figureFont()
{
    return mapFont(kFigureTextPixels);
}

QRectF figureRectOf(const FigureRect& r)
{
    return {QPointF(r.left, r.top), QPointF(r.right, r.bottom)};
}

QColor figureTextColor(JunctionFigureText::Kind kind)
{
    switch (kind) {
        case JunctionFigureText::Kind::Distance:
            return {0x55, 0x55, 0x55};
        case JunctionFigureText::Kind::Note:
            return {0x80, 0x80, 0x80};
        default:
            return Qt::black;
    }
}

// Paints into a device of its own at the figure's size.
template <typename Device>
bool paintFigureOn(Device& device, const JunctionFigure& figure)
{
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    paintJunctionFigure(painter, figure);
    return painter.end();
}

}  // namespace

LabelMetrics junctionFigureMetrics()
{
    return metricsOf(figureFont());
}

JunctionFigure junctionFigureOf(const std::vector<JunctionFigureGenome>& genomes)
{
    return layOutJunctionFigure(genomes, junctionFigureMetrics());
}

QColor plastomePartColor(PlastomePart part)
{
    switch (part) {
        case PlastomePart::Lsc:
            return {0x8E, 0xC6, 0xE8};
        case PlastomePart::Ssc:
            return {0xF2, 0xC0, 0x7A};
        case PlastomePart::IrB:
        case PlastomePart::IrA:
            break;
    }
    return {0xA8, 0xD8, 0x8C};
}

void paintJunctionFigure(QPainter& painter, const JunctionFigure& figure)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(QRectF(0, 0, figure.width, figure.height), Qt::white);
    painter.setPen(QPen(QColor(0x60, 0x60, 0x60), 0.6));
    for (const JunctionFigurePart& part : figure.parts) {
        painter.setBrush(plastomePartColor(part.part));
        painter.drawRect(figureRectOf(part.rect));
    }
    painter.setPen(QPen(kFigureCutColor, 1.0));
    for (const JunctionFigureLine& cut : figure.cuts) {
        // Two slanted strokes: the part runs on beyond what is shown.
        for (const double dx : {-2.0, 2.0}) {
            painter.drawLine(QPointF(cut.x + dx - 2.0, cut.bottom), QPointF(cut.x + dx + 2.0, cut.top));
        }
    }
    for (const JunctionFigureGeneBox& gene : figure.genes) {
        const QColor color = gene.reverse ? kFigureGeneReverse : kFigureGeneForward;
        painter.setPen(QPen(color.darker(140), 0.6));
        painter.setBrush(color);
        painter.drawRect(figureRectOf(gene.rect));
    }
    QPen dashed(kFigureJunctionColor, 1.0, Qt::DashLine);
    painter.setPen(dashed);
    for (const JunctionFigureLine& line : figure.junctions) {
        painter.drawLine(QPointF(line.x, line.top), QPointF(line.x, line.bottom));
    }
    QFont font = figureFont();
    for (const JunctionFigureText& text : figure.texts) {
        font.setItalic(text.kind == JunctionFigureText::Kind::Genome);
        font.setBold(text.kind == JunctionFigureText::Kind::Junction);
        painter.setFont(font);
        painter.setPen(figureTextColor(text.kind));
        painter.drawText(QPointF(text.x, text.baseline), QString::fromStdString(text.text));
    }
    painter.restore();
}

bool saveJunctionFigure(const QString& path, const JunctionFigure& figure, const SaveOptions& save)
{
    const QSize size(std::max(1, figure.width), std::max(1, figure.height));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (path.endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(QStringLiteral("Plastome junctions"));
        if (!paintFigureOn(svg, figure)) {
            return false;
        }
    } else if (path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(QStringLiteral("Plastome junctions"));
        pdf.setResolution(static_cast<int>(kFigurePdfDotsPerInch));
        pdf.setPageLayout(QPageLayout(
            QPageSize(QSizeF(size.width() / kFigurePdfDotsPerInch, size.height() / kFigurePdfDotsPerInch),
                      QPageSize::Inch),
            QPageLayout::Portrait, QMarginsF()));
        if (!paintFigureOn(pdf, figure)) {
            return false;
        }
    } else {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        if (!paintFigureOn(image, figure) || !image.save(&buffer, "PNG")) {
            return false;
        }
    }
    return !saveFile(QFile::encodeName(path).toStdString(),
                     std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), save);
}

}  // namespace tessaron
