#include "views/maps/mapwindow.h"

#include "views/base/jobrunner.h"
#include "views/maps/saveimagedlg.h"

#include "engine/plastomestructure.h"
#include "mapgeometry/diagramgeometry.h"
#include "mapgeometry/gcprofile.h"
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
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QToolTip>
#include <QWheelEvent>
#include <array>

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
      saver_(std::make_unique<JobRunner>())
{
    scene_.setTitle(genome.title());
    focus_ = boundsCentre();
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
        return QFileDialog::getSaveFileName(
            owner, tr("Save image"), QString(),
            tr("PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)"));
    };
    reporter_ = [](QWidget* owner, const QString& text) {
        QMessageBox::warning(owner, tr("Circular map"), text);
    };
    optionsChooser_ = [](QWidget* owner, const tessaron::MapImageOptions& proposed,
                         QSize ownSize) -> std::optional<tessaron::MapImageOptions> {
        CSaveImageDlg dialog(owner, proposed, ownSize);
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return dialog.options();
    };
    printerChooser_ = [](QWidget* owner, QPrinter& printer) {
        QPrintDialog dialog(&printer, owner);
        dialog.setWindowTitle(tr("Print map"));
        return dialog.exec() == QDialog::Accepted;
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

void CDiagramDlg::showBands(std::vector<tessaron::MapBand> bands)
{
    scene_.setBands(std::move(bands));
    update();
}

void CDiagramDlg::setPrinterChooser(PrinterChooser chooser)
{
    printerChooser_ = std::move(chooser);
}

void CDiagramDlg::ShowRepeat(const tessaron::Repeat* repeat, std::span<const tessaron::RepeatPair> pairs,
                             std::optional<tessaron::RepeatKind> kind)
{
    // Copied, so that the window never looks at a released result list.
    scene_.setRepeat(repeat, pairs);
    kind_ = repeat != nullptr ? kind : std::nullopt;
    scene_.setRepeatKind(kind_);
    if (paperStyle()) {
        bounds_ = tessaron::diagramBounds(scene_, style_);  // the legend names the copies
    }
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

void CDiagramDlg::showTandemArrays(const tessaron::TandemRepeatList* list)
{
    std::vector<tessaron::MapStretch> stretches;
    tandemTips_.clear();
    if (list != nullptr) {
        stretches.reserve(list->size());
        tandemTips_.reserve(list->size());
        for (const tessaron::TandemRepeat& array : *list) {
            stretches.push_back(
                {static_cast<std::int32_t>(array.start), static_cast<std::int32_t>(array.length)});
            tandemTips_.push_back({array.period, array.copies, array.consensus.substr(0, kLongestWordShown)});
        }
    }
    scene_.setTandemArrays(std::move(stretches));
    update();
}

void CDiagramDlg::selectTandemArray(std::optional<std::size_t> index)
{
    scene_.selectTandemArray(index);
    update();
}

void CDiagramDlg::markStretch(std::optional<tessaron::MapStretch> stretch)
{
    scene_.setMarked(stretch);
    update();
}

QString CDiagramDlg::lengthWarning() const
{
    return QString::fromStdString(scene_.lengthWarning());
}

bool CDiagramDlg::tidyLabels() const
{
    return tessaron::namesSetApart(scene_, style_);
}

void CDiagramDlg::setTidyLabels(bool tidy)
{
    style_.labels = tidy ? tessaron::LabelLayout::Tidy : tessaron::LabelLayout::Staggered;
    update();
}

void CDiagramDlg::setColours(const tessaron::ColourScheme& colours)
{
    style_.colours = colours;
    update();
}

void CDiagramDlg::setLayers(const tessaron::MapLayers& layers)
{
    if (layers == scene_.layers()) {
        return;
    }
    scene_.setLayers(layers);
    bounds_ = tessaron::diagramBounds(scene_, style_);  // the paper's legend takes room or not
    update();
}

void CDiagramDlg::setPaperStyle(bool paper)
{
    if (paper == paperStyle()) {
        return;
    }
    if (paper && scene_.profile().content.empty()) {
        scene_.setProfile(tessaron::gcProfile(genome_.sequence()));
    }
    if (paper && !scene_.plastome()) {
        scene_.setPlastome(tessaron::findPlastomeStructure(genome_.sequence()));
    }
    style_.look = paper ? tessaron::MapLook::Paper : tessaron::MapLook::Standard;
    bounds_ = tessaron::diagramBounds(scene_, style_);
    // A size chosen for the other map has another shape.
    saveOptions_.width = 0;
    saveOptions_.height = 0;
    resetView();
}

QPointF CDiagramDlg::boundsCentre() const
{
    return {(bounds_.left + bounds_.right) / 2.0, (bounds_.top + bounds_.bottom) / 2.0};
}

tessaron::MapBounds CDiagramDlg::shownBounds() const
{
    return tessaron::fitBounds(bounds_, width(), height());
}

QTransform CDiagramDlg::viewTransform() const
{
    const double fit = std::min(width() / bounds_.width(), height() / bounds_.height());
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

std::optional<std::size_t> CDiagramDlg::tandemArrayAt(QPointF at) const
{
    if (paperStyle()) {
        return std::nullopt;
    }
    return scene_.tandemArrayAt(toMap(at));
}

void CDiagramDlg::zoomAt(QPointF at, double factor)
{
    const tessaron::MapPointF fixed = toMap(at);
    zoom_ = std::clamp(zoom_ * factor, kSmallestZoom, kLargestZoom);
    const double fit = std::min(width() / bounds_.width(), height() / bounds_.height());
    const double scale = fit * zoom_;
    // The point under the mouse stays there: at = centre + scale * (fixed - focus).
    focus_ = QPointF(fixed.x - (at.x() - width() / 2.0) / scale, fixed.y - (at.y() - height() / 2.0) / scale);
    update();
}

void CDiagramDlg::resetView()
{
    zoom_ = 1.0;
    focus_ = boundsCentre();
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
    if (const auto index = tandemArrayAt(at)) {
        const tessaron::MapStretch& stretch = scene_.tandemArrays()[*index];
        const TandemTip& tip = tandemTips_[*index];
        QString consensus = QString::fromStdString(tip.consensus);
        if (tip.period > kLongestWordShown) {
            consensus += QStringLiteral("...");
        }
        return tr("%1\ntandem repeat of period %2, %3 copies\n%4")
            .arg(consensus, QLocale(QLocale::English).toString(tip.period),
                 QString::number(tip.copies, 'f', 1),
                 copyRange(stretch.start, stretch.length, genome_.length()));
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
        const auto chosen = optionsChooser_(this, saveOptions_, tessaron::diagramSize(scene_, style_));
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
    options.style.look = style_.look;
    options.style.labels = style_.labels;
    options.style.colours = style_.colours;
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

bool CDiagramDlg::printMap()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(tr("Circular map"));
    if (!printerChooser_ || !printerChooser_(this, printer)) {
        return false;
    }
    if (!print(printer)) {
        if (reporter_) {
            reporter_(this, tr("The map could not be printed!"));
        }
        return false;
    }
    return true;
}

bool CDiagramDlg::print(QPrinter& printer) const
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    tessaron::DiagramStyle style = style_;
    style.antialias = true;
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution()).toRectF();
    tessaron::paintDiagramInto(painter, scene_, style, QRectF(QPointF(0, 0), page.size()));
    return painter.end();
}

std::unique_ptr<QMenu> CDiagramDlg::contextMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    QAction* save = menu->addAction(tr("Save image..."));
    save->setObjectName(QStringLiteral("saveImage"));
    connect(save, &QAction::triggered, this, [this] { saveImage(); });
    QAction* print = menu->addAction(tr("Print..."));
    print->setObjectName(QStringLiteral("printMap"));
    connect(print, &QAction::triggered, this, [this] { printMap(); });
    QAction* tidy = menu->addAction(tr("Tidy labels"));
    tidy->setObjectName(QStringLiteral("tidyLabels"));
    tidy->setCheckable(true);
    tidy->setChecked(tidyLabels());
    tidy->setEnabled(!paperStyle());  // the map for a paper writes its names along the ring
    connect(tidy, &QAction::toggled, this, &CDiagramDlg::setTidyLabels);
    QAction* paper = menu->addAction(tr("For a paper"));
    paper->setObjectName(QStringLiteral("paperStyle"));
    paper->setCheckable(true);
    paper->setChecked(paperStyle());
    connect(paper, &QAction::toggled, this, &CDiagramDlg::setPaperStyle);
    // A check box a layer, named as the command line's --map-hide names them.
    QMenu* layers = menu->addMenu(tr("Layers"));
    layers->setObjectName(QStringLiteral("mapLayers"));
    const std::array<QString, 12> titles{
        tr("Genes"),  tr("Exact repeats"), tr("Approximate repeats"), tr("Direct"),         tr("Inverted"),
        tr("Mirror"), tr("Complementary"), tr("Microsatellites"),     tr("Tandem repeats"), tr("GC rings"),
        tr("Legend"), tr("Plastome parts")};
    const auto names = tessaron::mapLayerNames();
    for (std::size_t i = 0; i < names.size() && i < titles.size(); ++i) {
        const std::string name(names[i]);
        QAction* layer = layers->addAction(titles[i]);
        layer->setObjectName(QStringLiteral("layer_") + QString::fromStdString(name));
        layer->setCheckable(true);
        layer->setChecked(tessaron::layerShown(scene_.layers(), name));
        connect(layer, &QAction::toggled, this, [this, name](bool shown) {
            tessaron::MapLayers changed = scene_.layers();
            tessaron::showLayer(changed, name, shown);
            setLayers(changed);
            emit layersChanged(changed);
        });
    }
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
    const tessaron::MapBounds shown = shownBounds();
    if (transform.type() != QTransform::TxNone || shown != bounds_) {
        painter.fillRect(rect(), paperStyle() ? QColor(Qt::white) : kFieldColor);
    }
    painter.setTransform(transform);
    tessaron::paintDiagram(painter, scene_, style, shown);
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
        } else if (const auto array = tandemArrayAt(event->position())) {
            emit tandemArrayClicked(static_cast<int>(*array));
        }
    }
    event->accept();
}

void CDiagramDlg::mouseDoubleClickEvent(QMouseEvent* event)
{
    resetView();
    event->accept();
}
