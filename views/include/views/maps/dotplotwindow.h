#pragma once

// The dot plot window: the loaded genome against itself with the
// approximate search's pairs, direct and complementary ones as diagonals,
// inverted and mirror ones as anti-diagonals, each kind in its colour; or
// the gapped search's pairs, each along its alignment path. The
// wheel zooms about the mouse, a drag pans, a double click shows the whole
// genome again; a click on a segment tells which pair it is. Its pop-up menu
// saves the picture as PNG or SVG and resets the view.

#include "mapimage/dotplotpainter.h"
#include "session/approximateanalysis.h"

#include <QPointF>
#include <QWidget>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QMenu;

class DotPlotWindow : public QWidget {
    Q_OBJECT

public:
    using PairRef = std::pair<tessaron::RepeatKind, std::size_t>;
    // Chooses the file to save to (empty when cancelled); tells a failure.
    using FileChooser = std::function<QString(QWidget* parent)>;
    using Reporter = std::function<void(QWidget* parent, const QString& text)>;

    DotPlotWindow(const tessaron::ApproximateAnalysis& analysis, const QString& title,
                  QWidget* parent = nullptr);
    // The segments of any pairs of a genome of `genomeLength` letters.
    DotPlotWindow(std::int64_t genomeLength, std::vector<tessaron::DotPlotSegment> segments,
                  const QString& title, QWidget* parent = nullptr);

    void setPrompts(FileChooser chooser, Reporter reporter);
    [[nodiscard]] const tessaron::DotPlotPicture& picture() const { return picture_; }

    // Draws this pair over the others (none: no pair).
    void select(std::optional<PairRef> pair);
    // The pair whose segment lies under a point of the window.
    [[nodiscard]] std::optional<PairRef> pairAt(QPointF at) const;
    // A point of the window on the pair's first segment, if it is in view.
    [[nodiscard]] std::optional<QPointF> pointOn(PairRef pair) const;
    void zoomAt(QPointF at, double factor);
    void resetView();
    // Writes the picture as it is shown (SVG for a name ending in .svg, else
    // PNG); false when it cannot be written.
    bool saveTo(const QString& path) const;
    // Asks for a file, then writes it; a failure is told. False when cancelled or failed.
    bool saveImage();
    [[nodiscard]] std::unique_ptr<QMenu> contextMenu();

signals:
    void pairClicked(tessaron::RepeatKind kind, std::size_t pair);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    [[nodiscard]] tessaron::PlotPoint onSquare(QPointF at) const;

    tessaron::DotPlotPicture picture_;
    std::optional<QPointF> pressedAt_;
    QPointF lastDrag_;
    bool dragged_ = false;
    FileChooser chooser_;
    Reporter reporter_;
};
