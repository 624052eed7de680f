#include "views/diagramdlg.h"

#include "views/jobrunner.h"

#include "mapgeometry/diagramgeometry.h"
#include "mapimage/diagrampainter.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>

#include <memory>
#include <utility>

CDiagramDlg::CDiagramDlg(QWidget* parent, const tessaron::FeatureList& features)
    : QDialog(parent), features_(features), saver_(std::make_unique<JobRunner>())
{
    setObjectName(QStringLiteral("CDiagramDlg"));
    setWindowTitle(tr("Circular map"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(tessaron::kMapWidth, tessaron::kMapHeight);
    setSizeGripEnabled(false);
    // The map covers the whole client area: nothing to erase first.
    setAttribute(Qt::WA_OpaquePaintEvent);

    chooser_ = [](QWidget* owner) {
        return QFileDialog::getSaveFileName(owner, tr("Save image"), QString(),
                                            tr("PNG image (*.png);;SVG drawing (*.svg)"));
    };
    reporter_ = [](QWidget* owner, const QString& text) {
        QMessageBox::warning(owner, tr("Circular map"), text);
    };
}

CDiagramDlg::~CDiagramDlg() = default;

void CDiagramDlg::setPrompts(FileChooser chooser, Reporter reporter)
{
    chooser_ = std::move(chooser);
    reporter_ = std::move(reporter);
}

void CDiagramDlg::ShowRepeat(const tessaron::Repeat* repeat, std::span<const tessaron::RepeatPair> pairs)
{
    // Copied, so that the window never looks at a released result list.
    if (repeat != nullptr) {
        repeat_ = *repeat;
        pairs_.assign(pairs.begin(), pairs.end());
    } else {
        repeat_.reset();
        pairs_.clear();
    }
    if (isVisible()) {
        repaint();
    } else {
        update();
    }
}

QImage CDiagramDlg::image() const
{
    return tessaron::renderDiagram(features_, repeat_ ? &*repeat_ : nullptr, pairs_);
}

bool CDiagramDlg::saveImage()
{
    if (saver_->busy()) {
        return false;
    }
    const QString path = chooser_ ? chooser_(this) : QString();
    if (path.isEmpty()) {
        return false;
    }
    auto written = std::make_shared<bool>(true);
    saver_->start<bool>(
        [path, features = features_, repeat = repeat_, pairs = pairs_](const std::stop_token&,
                                                                       const JobRunner::Reporter&) {
            return tessaron::saveDiagram(path, features, repeat ? &*repeat : nullptr, pairs);
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

void CDiagramDlg::waitForSave()
{
    saver_->waitForIdle();
}

std::unique_ptr<QMenu> CDiagramDlg::contextMenu()
{
    auto menu = std::make_unique<QMenu>(this);
    QAction* save = menu->addAction(tr("Save image..."));
    save->setObjectName(QStringLiteral("saveImage"));
    connect(save, &QAction::triggered, this, [this] { saveImage(); });
    return menu;
}

void CDiagramDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    tessaron::paintDiagram(painter, features_, repeat_ ? &*repeat_ : nullptr, pairs_);
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
