#include "views/mapwindow.h"

#include "views/jobrunner.h"
#include "views/saveimagedlg.h"

#include "mapgeometry/diagramgeometry.h"
#include "mapimage/diagrampainter.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QHelpEvent>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

namespace {

const QColor kFieldColor(246, 246, 236);
constexpr double kSmallestZoom = 0.5;
constexpr double kLargestZoom = 40.0;
constexpr double kWheelZoomPerEighthDegree = 1.0015;  // 120 eighths (one notch) zoom by about 1.2
constexpr int kDragThreshold = 3;                     // pixels before a press becomes a drag
constexpr int kLongestWordShown = 40;

QPointF mapCentre()
{
    return {tessaron::kMapWidth / 2.0, tessaron::kMapHeight / 2.0};
}

// 1-based, with thousands separated, as biologists read positions.
QString basePosition(std::int64_t zeroBased)
{
    return QLocale(QLocale::English).toString(static_cast<qlonglong>(zeroBased + 1));
}

// The 1-based range of `length` bases from `start`, read circularly.
QString copyRange(std::int32_t start, std::int32_t length, std::int64_t genomeLength)
{
    std::int64_t last = static_cast<std::int64_t>(start) + length - 1;
    if (genomeLength > 0) {
        last %= genomeLength;
    }
    return basePosition(start) + QStringLiteral("..") + basePosition(last);
}

QString featureKind(std::uint32_t color)
{
    switch (color) {
        case tessaron::kColorGeneDirect:
            return QObject::tr("gene, + strand");
        case tessaron::kColorGeneComplement:
            return QObject::tr("gene, - strand");
        case tessaron::kColorTrnaDirect:
            return QObject::tr("tRNA, + strand");
        case tessaron::kColorTrnaComplement:
            return QObject::tr("tRNA, - strand");
        default:
            return QObject::tr("rRNA, other RNA or D-loop");
    }
}

}  // namespace

CDiagramDlg::CDiagramDlg(QWidget* parent, const tessaron::FeatureList& features,
                         const tessaron::Genome& genome)
    : QDialog(parent),
      genome_(genome),
      scene_(features, genome.length()),
      focus_(mapCentre()),
      saver_(std::make_unique<JobRunner>())
{
    setObjectName(QStringLiteral("CDiagramDlg"));
    setWindowTitle(tr("Circular map"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    resize(tessaron::kMapWidth, tessaron::kMapHeight);
    setMinimumSize(tessaron::kMapWidth / 4, tessaron::kMapHeight / 4);
    // The map covers the whole client area: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);

    chooser_ = [](QWidget* owner) {
        return QFileDialog::getSaveFileName(owner, tr("Save image"), QString(),
                                            tr("PNG image (*.png);;SVG drawing (*.svg)"));
    };
    reporter_ = [](QWidget* owner, const QString& text) {
        QMessageBox::warning(owner, tr("Circular map"), text);
    };
    optionsChooser_ =
        [](QWidget* owner,
           const tessaron::MapImageOptions& proposed) -> std::optional<tessaron::MapImageOptions> {
        CSaveImageDlg dialog(owner, proposed);
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return dialog.options();
    };
}

CDiagramDlg::~CDiagramDlg() = default;

void CDiagramDlg::setPrompts(FileChooser chooser, Reporter reporter)
{
    chooser_ = std::move(chooser);
    reporter_ = std::move(reporter);
}

void CDiagramDlg::setImageOptionsChooser(ImageOptionsChooser chooser)
{
    optionsChooser_ = std::move(chooser);
}

void CDiagramDlg::ShowRepeat(const tessaron::Repeat* repeat, std::span<const tessaron::RepeatPair> pairs,
                             std::optional<tessaron::RepeatKind> kind)
{
    // Copied, so that the window never looks at a released result list.
    scene_.setRepeat(repeat, pairs);
    kind_ = repeat != nullptr ? kind : std::nullopt;
    if (isVisible()) {
        repaint();
    } else {
        update();
    }
}

void CDiagramDlg::ShowMicrosatellites(const tessaron::MicrosatelliteList* list)
{
    std::vector<tessaron::MapStretch> stretches;
    if (list != nullptr) {
        stretches.reserve(list->size());
        for (const tessaron::Microsatellite& m : *list) {
            stretches.push_back({static_cast<std::int32_t>(m.start), static_cast<std::int32_t>(m.length)});
        }
    }
    scene_.setMicrosatellites(std::move(stretches));
    update();
}

QString CDiagramDlg::lengthWarning() const
{
    return QString::fromStdString(scene_.lengthWarning());
}

void CDiagramDlg::setTidyLabels(bool tidy)
{
    style_.tidyLabels = tidy;
    update();
}

QTransform CDiagramDlg::viewTransform() const
{
    const double fit = std::min(width() / static_cast<double>(tessaron::kMapWidth),
                                height() / static_cast<double>(tessaron::kMapHeight));
    const double scale = fit * zoom_;
    QTransform transform;
    transform.translate(width() / 2.0, height() / 2.0);
    transform.scale(scale, scale);
    transform.translate(-focus_.x(), -focus_.y());
    return transform;
}

tessaron::MapPointF CDiagramDlg::toMap(QPointF at) const
{
    const QPointF mapped = viewTransform().inverted().map(at);
    return {mapped.x(), mapped.y()};
}

void CDiagramDlg::zoomAt(QPointF at, double factor)
{
    const tessaron::MapPointF fixed = toMap(at);
    zoom_ = std::clamp(zoom_ * factor, kSmallestZoom, kLargestZoom);
    const double fit = std::min(width() / static_cast<double>(tessaron::kMapWidth),
                                height() / static_cast<double>(tessaron::kMapHeight));
    const double scale = fit * zoom_;
    // The point under the mouse stays there: at = centre + scale * (fixed - focus).
    focus_ = QPointF(fixed.x - (at.x() - width() / 2.0) / scale, fixed.y - (at.y() - height() / 2.0) / scale);
    update();
}

void CDiagramDlg::resetView()
{
    zoom_ = 1.0;
    focus_ = mapCentre();
    update();
}

QString CDiagramDlg::toolTipAt(QPointF at) const
{
    const tessaron::MapPointF point = toMap(at);
    if (const auto pair = scene_.pairAt(point)) {
        const tessaron::Repeat& repeat = *scene_.repeat();
        const tessaron::RepeatPair& copies = scene_.pairs()[*pair];
        QString word = QString::fromStdString(genome_.word(
            copies.first, std::min(repeat.length, static_cast<std::int32_t>(kLongestWordShown))));
        if (repeat.length > kLongestWordShown) {
            word += QStringLiteral("...");
        }
        const QString kind = kind_                ? QString::fromLatin1(tessaron::kindName(*kind_))
                             : repeat.transformed ? tr("inverted, mirror or complementary")
                                                  : tr("direct");
        return tr("%1\n%2 repeat of %3 bases\nfirst copy %4, second copy %5")
            .arg(word, kind, QLocale(QLocale::English).toString(repeat.length),
                 copyRange(copies.first, repeat.length, genome_.length()),
                 copyRange(copies.second, repeat.length, genome_.length()));
    }
    if (const auto index = scene_.featureAt(point)) {
        const tessaron::Feature& feature = scene_.features()[*index];
        return tr("%1\n%2\n%3..%4")
            .arg(QString::fromStdString(feature.name), featureKind(feature.color),
                 basePosition(feature.start), basePosition(feature.end));
    }
    return {};
}

QImage CDiagramDlg::image() const
{
    tessaron::DiagramStyle style = style_;
    style.antialias = false;
    return tessaron::renderDiagram(scene_, style);
}

bool CDiagramDlg::saveImage()
{
    if (saver_->busy()) {
        return false;
    }
    if (optionsChooser_) {
        const auto chosen = optionsChooser_(this, saveOptions_);
        if (!chosen) {
            return false;
        }
        saveOptions_ = *chosen;
    }
    const QString path = chooser_ ? chooser_(this) : QString();
    if (path.isEmpty()) {
        return false;
    }
    tessaron::MapImageOptions options = saveOptions_;
    options.style.tidyLabels = style_.tidyLabels;
    auto written = std::make_shared<bool>(true);
    saver_->start<bool>(
        [path, scene = scene_, options](const std::stop_token&, const JobRunner::Reporter<double>&) {
            return tessaron::saveDiagram(path, scene, options);
        },
        [this, path, written](bool saved) {
            *written = saved;  // read back only when the map was written inline
            if (!saved && reporter_) {
                reporter_(this, tr("The image could not be saved to %1!").arg(path));
            }
        });
    return *written;
}

void CDiagramDlg::setInlineSaving(bool runInline)
{
    saver_->setInlineJobs(runInline);
}

bool CDiagramDlg::waitForSave(int milliseconds)
{
    return saver_->waitForIdle(milliseconds);
}

std::unique_ptr<QMenu> CDiagramDlg::contextMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    QAction* save = menu->addAction(tr("Save image..."));
    save->setObjectName(QStringLiteral("saveImage"));
    connect(save, &QAction::triggered, this, [this] { saveImage(); });
    QAction* tidy = menu->addAction(tr("Tidy labels"));
    tidy->setObjectName(QStringLiteral("tidyLabels"));
    tidy->setCheckable(true);
    tidy->setChecked(style_.tidyLabels);
    connect(tidy, &QAction::toggled, this, &CDiagramDlg::setTidyLabels);
    QAction* reset = menu->addAction(tr("Reset view"));
    reset->setObjectName(QStringLiteral("resetView"));
    connect(reset, &QAction::triggered, this, &CDiagramDlg::resetView);
    return menu;
}

bool CDiagramDlg::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = toolTipAt(help->pos());
        if (text.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), text, this);
        }
        return true;
    }
    return QDialog::event(event);
}

void CDiagramDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QTransform transform = viewTransform();
    tessaron::DiagramStyle style = style_;
    // Pixel for pixel at the map's own size; smoothed once scaled.
    style.antialias = transform.type() > QTransform::TxTranslate;
    if (transform.type() != QTransform::TxNone || width() != tessaron::kMapWidth ||
        height() != tessaron::kMapHeight) {
        painter.fillRect(rect(), kFieldColor);
    }
    painter.setTransform(transform);
    tessaron::paintDiagram(painter, scene_, style);
}

void CDiagramDlg::closeEvent(QCloseEvent* event)
{
    // Accepted as it is: the dialog's own handling would go through reject(),
    // which closes the window in turn.
    emit closing();
    event->accept();
}

void CDiagramDlg::reject()
{
    // Escape closes the window the same way as its close box.
    close();
}

void CDiagramDlg::contextMenuEvent(QContextMenuEvent* event)
{
    contextMenu()->exec(event->globalPos());
    event->accept();
}

void CDiagramDlg::wheelEvent(QWheelEvent* event)
{
    const int eighths = event->angleDelta().y();
    if (eighths != 0) {
        zoomAt(event->position(), std::pow(kWheelZoomPerEighthDegree, eighths));
    }
    event->accept();
}

void CDiagramDlg::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        pressedAt_ = event->position();
        lastDrag_ = event->position();
        dragged_ = false;
    }
    event->accept();
}

void CDiagramDlg::mouseMoveEvent(QMouseEvent* event)
{
    if (!pressedAt_ || !(event->buttons() & Qt::LeftButton)) {
        return;
    }
    if (!dragged_ && (event->position() - *pressedAt_).manhattanLength() < kDragThreshold) {
        return;
    }
    dragged_ = true;
    const double scale = viewTransform().m11();
    focus_ -= (event->position() - lastDrag_) / scale;
    lastDrag_ = event->position();
    setCursor(Qt::ClosedHandCursor);
    update();
}

void CDiagramDlg::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !pressedAt_) {
        return;
    }
    pressedAt_.reset();
    unsetCursor();
    if (!dragged_) {
        if (const auto pair = scene_.pairAt(toMap(event->position()))) {
            emit repeatClicked(static_cast<int>(*pair));
        }
    }
    event->accept();
}

void CDiagramDlg::mouseDoubleClickEvent(QMouseEvent* event)
{
    resetView();
    event->accept();
}
