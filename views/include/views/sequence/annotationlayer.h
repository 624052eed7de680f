#pragma once

// The annotation of the sequence pane: the genes, tRNAs, rRNAs (and other
// RNAs and the D-loop) of a GenBank genome as arrows in a band above the
// bases, in their map colours, pointing along their strand (a bar when the
// strand is not known), named inside when the name fits. A feature across the
// origin is drawn in both its pieces, its head on the piece that holds its
// 3' end. Features that overlap take lanes of their own, at most kMaxLanes;
// a gene that an RNA spans exactly is drawn as that RNA, with its name.

#include "input/feature.h"
#include "session/annotatedfeatures.h"
#include "views/sequence/sequenceview.h"

#include <QColor>
#include <QPointer>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

class AnnotationLayer : public SequenceView::RowBand {
public:
    static constexpr int kMaxLanes = 3;

    // One piece of an arrow: bases from..to (inclusive) of the pane's text.
    struct Arrow {
        std::int32_t from = 0;
        std::int32_t to = 0;
        int lane = 0;
        QColor color;
        // Where its head is: after `to` (plus strand), before `from` (minus), or none.
        enum class Head { None, Right, Left } head = Head::None;
        QString name;
        std::size_t feature = 0;  // in the feature list
    };

    explicit AnnotationLayer(SequenceView& pane);
    ~AnnotationLayer() override;
    AnnotationLayer(const AnnotationLayer&) = delete;
    AnnotationLayer& operator=(const AnnotationLayer&) = delete;

    // The arrows of `features` on a genome of `length` bases; none for an
    // empty list. The pane lays out again when they are shown.
    void setFeatures(const tessaron::FeatureList& features, std::int64_t length);
    // Whether the pane shows them (off until turned on).
    void setShown(bool shown);
    [[nodiscard]] bool shown() const { return shown_; }

    // In order of their start.
    [[nodiscard]] const std::vector<Arrow>& arrows() const { return arrows_; }
    [[nodiscard]] int laneCount() const { return lanes_; }
    // The arrow pieces drawn in a row of the pane, clipped to it: what a
    // reader sees there.
    [[nodiscard]] std::vector<Arrow> arrowsInRow(int row) const;

    [[nodiscard]] int height(int lineHeight) const override;
    void paint(QPainter& painter, const SequenceView& pane, int rowBegin, int rowEnd) const override;

private:
    void refresh();

    QPointer<SequenceView> pane_;
    std::vector<Arrow> arrows_;
    std::int32_t longest_ = 0;  // the longest piece, to find those in view
    int lanes_ = 0;
    bool shown_ = false;
};
