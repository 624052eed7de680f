#include "pictures.h"

#include "input/filesave.h"
#include "views/base/jobstatus.h"
#include "views/commands/linkedviews.h"
#include "views/results/pairstable.h"
#include "views/results/repeattreemodel.h"
#include "views/sequence/featuretable.h"
#include "views/sequence/sequenceview.h"
#include "views/shell/mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPainter>
#include <QTableView>
#include <QTreeView>

#include <string_view>

namespace {

bool save(const QImage& image, const QString& picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QByteArray format = QFileInfo(picture).suffix().toLatin1();
    return image.save(&buffer, format.isEmpty() ? "PNG" : format.constData()) &&
           !tessaron::saveFile(QFile::encodeName(picture).toStdString(),
                               std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

// The window with the annotation shown, zoomed in a step, at ATP8 and ATP6
// (two genes that overlap) found by their name in the feature table.
QImage annotatedPane(CTessaronDlg& window)
{
    window.command(LinkedViews::IdShowAnnotation)->trigger();
    window.findChild<SequenceView*>(QStringLiteral("sequencePane"))->zoomIn();
    window.command(LinkedViews::IdFindGene)->trigger();
    auto* table = window.findChild<FeatureTableWindow*>(QStringLiteral("featureTable"));
    table->nameField().setText(QStringLiteral("ATP8"));
    emit table->nameField().returnPressed();
    table->hide();
    QApplication::processEvents();
    return window.grab().toImage();
}

// The inverted pairs sorted by distance, the farthest apart chosen, beside
// the window that shows it.
QImage pairsTable(CTessaronDlg& window)
{
    auto* tree = window.findChild<QTreeView*>(QStringLiteral("tree"));
    tree->setCurrentIndex(tree->model()->index(1, 0));
    window.command(LinkedViews::IdPairsTable)->trigger();
    auto* table = window.findChild<PairsTableWindow*>(QStringLiteral("pairsTable"));
    table->resize(960, window.height());
    QTableView& view = table->view();
    view.sortByColumn(PairsTableModel::Distance, Qt::DescendingOrder);
    view.selectRow(0);
    emit view.activated(view.model()->index(0, 0));
    QApplication::processEvents();
    const QImage left = window.grab().toImage();
    const QImage right = table->grab().toImage();
    QImage both(left.width() + right.width() + 8, std::max(left.height(), right.height()),
                QImage::Format_ARGB32);
    both.fill(Qt::white);
    QPainter painter(&both);
    painter.drawImage(0, 0, left);
    painter.drawImage(left.width() + 8, 0, right);
    return both;
}

}  // namespace

int savePicture(CTessaronDlg& window, const QString& what, const QString& picture, const QString& file)
{
    window.resize(1000, 620);
    window.show();
    window.openFile(file);
    window.findChild<JobStatus*>()->waitForIdle(JobRunner::kNoTimeLimit);
    const QImage image = what == QStringLiteral("pairs") ? pairsTable(window) : annotatedPane(window);
    return save(image, picture) ? 0 : 1;
}
