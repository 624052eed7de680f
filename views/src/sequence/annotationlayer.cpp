#include "views/sequence/annotationlayer.h"

#include "views/base/qtstrings.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <array>
#include <map>

using tessaron::AnnotatedFeature;
using tessaron::Strand;

namespace {

// A 0x00BBGGRR colour of the features.
QColor featureColorOf(std::uint32_t bbggrr)
{
    return QColor(static_cast<int>(bbggrr & 0xFFu), static_cast<int>((bbggrr >> 8) & 0xFFu),
                  static_cast<int>((bbggrr >> 16) & 0xFFu));
}

// The colour of a gene's or tRNA's piece on its own strand: a trans-spliced
// gene has parts on both.
std::uint32_t colourOnStrand(std::uint32_t featureColour, Strand strand)
{
    const auto pick = [strand, featureColour](std::uint32_t plus, std::uint32_t minus) {
        return strand == Strand::Plus ? plus : strand == Strand::Minus ? minus : featureColour;
    };
    switch (featureColour) {
        case tessaron::kColorGeneDirect:
        case tessaron::kColorGeneComplement:
            return pick(tessaron::kColorGeneDirect, tessaron::kColorGeneComplement);
        case tessaron::kColorTrnaDirect:
        case tessaron::kColorTrnaComplement:
            return pick(tessaron::kColorTrnaDirect, tessaron::kColorTrnaComplement);
        default:
            return featureColour;
    }
}

// Which lane each feature's pieces take: the lowest whose pieces they do not
// overlap, the last lane when all are taken.
class LanePacker {
public:
    int place(const std::vector<tessaron::Stretch>& stretches)
    {
        for (int lane = 0; lane < AnnotationLayer::kMaxLanes; ++lane) {
            auto& taken = lanes_[static_cast<std::size_t>(lane)];
            const bool free = std::none_of(stretches.begin(), stretches.end(), [&taken](const auto& stretch) {
                // The pieces of a lane never overlap, so the first that ends at
                // or after this one's start is the one that could overlap it.
                const auto next = taken.lower_bound(stretch.from);
                return next != taken.end() && next->second <= stretch.to;
            });
            if (free) {
                for (const auto& stretch : stretches) {
                    taken.emplace(stretch.to, stretch.from);
                }
                used_ = std::max(used_, lane + 1);
                return lane;
            }
        }
        used_ = AnnotationLayer::kMaxLanes;
        return AnnotationLayer::kMaxLanes - 1;
    }
    [[nodiscard]] int used() const { return used_; }

private:
    // Per lane, the pieces taken by their end: end -> start.
    std::array<std::multimap<std::int32_t, std::int32_t>, AnnotationLayer::kMaxLanes> lanes_;
    int used_ = 0;
};

}  // namespace

AnnotationLayer::AnnotationLayer(SequenceView& pane) : pane_(&pane)
{
}

AnnotationLayer::~AnnotationLayer()
{
    if (pane_ != nullptr && shown_) {
        pane_->setRowBand(nullptr);
    }
}

void AnnotationLayer::setFeatures(const tessaron::FeatureList& features, std::int64_t length)
{
    arrows_.clear();
    longest_ = 0;
    lanes_ = 0;
    const std::vector<AnnotatedFeature> annotated = tessaron::annotateFeatures(features);
    // The name of the gene that each RNA is drawn for, if any.
    std::vector<const std::string*> geneNames(annotated.size(), nullptr);
    for (const AnnotatedFeature& gene : annotated) {
        if (gene.sameSpanAs != SIZE_MAX) {
            geneNames[gene.sameSpanAs] = &gene.name;
        }
    }
    LanePacker packer;
    for (const AnnotatedFeature& feature : annotated) {
        if (feature.sameSpanAs != SIZE_MAX || length <= 0) {
            continue;  // drawn as the RNA that spans it
        }
        // An RNA drawn for a gene of the same span takes the gene's (shorter) name.
        const std::string* geneName = geneNames[static_cast<std::size_t>(&feature - annotated.data())];
        const QString name = toQString(geneName != nullptr ? *geneName : feature.name);
        const std::vector<tessaron::Stretch> stretches = tessaron::stretchesOf(feature, length);
        const int lane = packer.place(stretches);
        for (const tessaron::Stretch& stretch : stretches) {
            Arrow arrow{stretch.from,
                        stretch.to,
                        lane,
                        featureColorOf(colourOnStrand(features[feature.feature].color, stretch.strand)),
                        Arrow::Head::None,
                        name,
                        feature.feature};
            if (stretch.terminal) {
                arrow.head = stretch.strand == Strand::Plus ? Arrow::Head::Right : Arrow::Head::Left;
            }
            longest_ = std::max(longest_, stretch.to - stretch.from + 1);
            arrows_.push_back(std::move(arrow));
        }
    }
    std::stable_sort(arrows_.begin(), arrows_.end(),
                     [](const Arrow& a, const Arrow& b) { return a.from < b.from; });
    lanes_ = packer.used();
    refresh();
}

void AnnotationLayer::setShown(bool shown)
{
    shown_ = shown;
    refresh();
}

void AnnotationLayer::refresh()
{
    if (pane_ != nullptr) {
        pane_->setRowBand(shown_ ? this : nullptr);
    }
}

int AnnotationLayer::height(int lineHeight) const
{
    return shown_ && lanes_ > 0 ? lanes_ * (lineHeight + 2) + 2 : 0;
}

std::vector<AnnotationLayer::Arrow> AnnotationLayer::arrowsInRow(int row) const
{
    std::vector<Arrow> found;
    if (pane_ == nullptr) {
        return found;
    }
    const std::int64_t columns = pane_->columns();
    const std::int64_t rowStart = row * columns;
    const std::int64_t rowStop = std::min<std::int64_t>(rowStart + columns, pane_->textLength()) - 1;
    // Only pieces that start no more than the longest one before the row can reach into it.
    auto arrow = std::lower_bound(arrows_.begin(), arrows_.end(), rowStart - longest_,
                                  [](const Arrow& a, std::int64_t from) { return a.from < from; });
    for (; arrow != arrows_.end() && arrow->from <= rowStop; ++arrow) {
        if (arrow->to < rowStart) {
            continue;
        }
        Arrow clipped = *arrow;
        if (clipped.from < rowStart && clipped.head == Arrow::Head::Left) {
            clipped.head = Arrow::Head::None;  // its head lies in an earlier row
        }
        if (clipped.to > rowStop && clipped.head == Arrow::Head::Right) {
            clipped.head = Arrow::Head::None;
        }
        clipped.from = static_cast<std::int32_t>(std::max<std::int64_t>(clipped.from, rowStart));
        clipped.to = static_cast<std::int32_t>(std::min<std::int64_t>(clipped.to, rowStop));
        found.push_back(std::move(clipped));
    }
    return found;
}

void AnnotationLayer::paint(QPainter& painter, const SequenceView& pane, int rowBegin, int rowEnd) const
{
    const int laneHeight = pane.lineHeight() + 2;
    const qreal body = std::max(3.0, laneHeight - 3.0);
    QFont font = pane.font();
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0);
    font.setPixelSize(std::max(6, static_cast<int>(body) - 1));
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const qreal left = pane.textLeft();
    const qreal cell = pane.characterWidth();
    const std::int64_t columns = pane.columns();
    for (int row = rowBegin; row < rowEnd; ++row) {
        const qreal top = pane.rowTop(row) + 2;
        for (const Arrow& arrow : arrowsInRow(row)) {
            const qreal x0 = left + static_cast<qreal>(arrow.from - row * columns) * cell;
            const qreal x1 = left + static_cast<qreal>(arrow.to - row * columns + 1) * cell;
            // Lane 0 right above the bases, the others higher up.
            const qreal y0 = top + (lanes_ - 1 - std::min(arrow.lane, lanes_ - 1)) * laneHeight;
            const qreal y1 = y0 + body;
            const qreal middle = (y0 + y1) / 2;
            const qreal head = std::min(body / 2, x1 - x0);
            QPolygonF shape;
            switch (arrow.head) {
                case Arrow::Head::Right:
                    shape << QPointF(x0, y0) << QPointF(x1 - head, y0) << QPointF(x1, middle)
                          << QPointF(x1 - head, y1) << QPointF(x0, y1);
                    break;
                case Arrow::Head::Left:
                    shape << QPointF(x0, middle) << QPointF(x0 + head, y0) << QPointF(x1, y0)
                          << QPointF(x1, y1) << QPointF(x0 + head, y1);
                    break;
                case Arrow::Head::None:
                    shape << QPointF(x0, y0) << QPointF(x1, y0) << QPointF(x1, y1) << QPointF(x0, y1);
                    break;
            }
            painter.setPen(Qt::NoPen);
            painter.setBrush(arrow.color);
            painter.drawPolygon(shape);
            const qreal room = x1 - x0 - (arrow.head == Arrow::Head::None ? 2 : head + 2);
            if (metrics.horizontalAdvance(arrow.name) <= room) {
                painter.setPen(Qt::white);
                const qreal textLeft = arrow.head == Arrow::Head::Left ? x0 + head : x0;
                painter.drawText(QRectF(textLeft, y0, room + 2, body), Qt::AlignCenter, arrow.name);
            }
        }
    }
}
