#include "views/shell/filedroptarget.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace {

// The one local file of a drag, or an empty string.
QString droppedFile(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1 ||
        !data->urls().front().isLocalFile()) {
        return {};
    }
    return data->urls().front().toLocalFile();
}

}  // namespace

FileDropTarget::FileDropTarget(QWidget* window) : QObject(window)
{
    setObjectName(QStringLiteral("fileDropTarget"));
    window->setAcceptDrops(true);
    window->installEventFilter(this);
}

bool FileDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::DragEnter) {
        auto* enter = static_cast<QDragEnterEvent*>(event);
        if (accepting_ && !droppedFile(enter->mimeData()).isEmpty()) {
            enter->acceptProposedAction();
        }
        return true;
    }
    if (event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        const QString file = droppedFile(drop->mimeData());
        if (accepting_ && !file.isEmpty()) {
            drop->acceptProposedAction();
            QTimer::singleShot(0, this, [this, file] { emit dropped(file); });
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}
