#include "views/maps/dotplotwindow.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace {

constexpr double kClickTolerance = 4.0;  // pixels
constexpr double kWheelStep = 1.25;      // zoom of one notch
constexpr double kPlotDragThreshold = 3.0;

}  // namespace

DotPlotWindow::DotPlotWindow(const tessaron::ApproximateAnalysis& analysis, const QString& title,
                             QWidget* parent)
    : DotPlotWindow(analysis.genome->length(),
                    tessaron::dotPlotSegments(analysis.genome->length(), analysis.results), title, parent)
{
}

DotPlotWindow::DotPlotWindow(std::int64_t genomeLength, std::vector<tessaron::DotPlotSegment> segments,
                             const QString& title, QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("dotPlotWindow"));
    setWindowTitle(tr("Dot plot - %1").arg(title));
    setAttribute(Qt::WA_DeleteOnClose);
    picture_.title = title;
    picture_.view = tessaron::DotPlotView(genomeLength);
    picture_.segments = std::move(segments);
    setMouseTracking(false);
    resize(640, 680);
}

void DotPlotWindow::setPrompts(FileChooser chooser, Reporter reporter)
{
    chooser_ = std::move(chooser);
    reporter_ = std::move(reporter);
}

void DotPlotWindow::select(std::optional<PairRef> pair)
{
    picture_.selected = pair;
    update();
}

tessaron::PlotPoint DotPlotWindow::onSquare(QPointF at) const
{
    const QRectF square = tessaron::dotPlotSquare(size());
    return {at.x() - square.left(), at.y() - square.top()};
}

std::optional<DotPlotWindow::PairRef> DotPlotWindow::pairAt(QPointF at) const
{
    const QRectF square = tessaron::dotPlotSquare(size());
    if (!square.contains(at)) {
        return std::nullopt;
    }
    const auto found =
        tessaron::segmentAt(picture_.segments, picture_.view, square.width(), onSquare(at), kClickTolerance);
    if (!found) {
        return std::nullopt;
    }
    const tessaron::DotPlotSegment& segment = picture_.segments[*found];
    return PairRef{segment.kind, segment.pair};
}

std::optional<QPointF> DotPlotWindow::pointOn(PairRef pair) const
{
    const QRectF square = tessaron::dotPlotSquare(size());
    for (const tessaron::DotPlotSegment& segment : picture_.segments) {
        if (segment.kind != pair.first || segment.pair != pair.second) {
            continue;
        }
        const tessaron::PlotPoint middle{(segment.from.x + segment.to.x) / 2 + 0.5,
                                         (segment.from.y + segment.to.y) / 2 + 0.5};
        const tessaron::PlotPoint pixels = picture_.view.toPixels(middle, square.width());
        const QPointF point(square.left() + pixels.x, square.top() + pixels.y);
        if (square.contains(point)) {
            return point;
        }
    }
    return std::nullopt;
}

void DotPlotWindow::zoomAt(QPointF at, double factor)
{
    const QRectF square = tessaron::dotPlotSquare(size());
    picture_.view.zoomAt(onSquare(at), factor, square.width());
    update();
}

void DotPlotWindow::resetView()
{
    picture_.view.reset();
    update();
}

bool DotPlotWindow::saveTo(const QString& path) const
{
    return tessaron::saveDotPlot(path, picture_);
}

bool DotPlotWindow::saveImage()
{
    const QString path = chooser_ ? chooser_(this) : QString();
    if (path.isEmpty()) {
        return false;
    }
    if (!saveTo(path)) {
        if (reporter_) {
            reporter_(this, tr("The picture could not be written to %1.").arg(path));
        }
        return false;
    }
    return true;
}

std::unique_ptr<QMenu> DotPlotWindow::contextMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    connect(menu->addAction(tr("&Save image...")), &QAction::triggered, this, [this] { saveImage(); });
    connect(menu->addAction(tr("&Reset view")), &QAction::triggered, this, &DotPlotWindow::resetView);
    return menu;
}

void DotPlotWindow::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    tessaron::paintDotPlot(painter, picture_, size());
}

void DotPlotWindow::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0.0) {
        zoomAt(event->position(), std::pow(kWheelStep, notches));
    }
    event->accept();
}

void DotPlotWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        pressedAt_ = event->position();
        lastDrag_ = event->position();
        dragged_ = false;
    }
}

void DotPlotWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (!pressedAt_) {
        return;
    }
    const QPointF delta = event->position() - *pressedAt_;
    if (!dragged_ && std::hypot(delta.x(), delta.y()) < kPlotDragThreshold) {
        return;
    }
    dragged_ = true;
    const QPointF step = event->position() - lastDrag_;
    lastDrag_ = event->position();
    picture_.view.pan(step.x(), step.y(), tessaron::dotPlotSquare(size()).width());
    update();
}

void DotPlotWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !pressedAt_) {
        return;
    }
    const bool click = !dragged_;
    pressedAt_.reset();
    if (click) {
        if (const auto pair = pairAt(event->position())) {
            select(pair);
            emit pairClicked(pair->first, pair->second);
        }
    }
}

void DotPlotWindow::mouseDoubleClickEvent(QMouseEvent* /*event*/)
{
    resetView();
}

void DotPlotWindow::contextMenuEvent(QContextMenuEvent* event)
{
    contextMenu()->exec(event->globalPos());
}
