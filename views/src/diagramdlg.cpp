#include "views/diagramdlg.h"

#include "mapgeometry/diagramgeometry.h"
#include "mapimage/diagrampainter.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>

#include <utility>

CDiagramDlg::CDiagramDlg(QWidget* parent, const tessaron::FeatureList& features)
    : QDialog(parent), features_(features)
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
    const QString path = chooser_ ? chooser_(this) : QString();
    if (path.isEmpty()) {
        return false;
    }
    if (tessaron::saveDiagram(path, features_, repeat_ ? &*repeat_ : nullptr, pairs_)) {
        return true;
    }
    if (reporter_) {
        reporter_(this, tr("The image could not be saved to %1!").arg(path));
    }
    return false;
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
