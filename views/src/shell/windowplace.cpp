#include "views/shell/windowplace.h"

#include "views/base/settingsstore.h"
#include "views/shell/mainpanes.h"

#include <QEvent>
#include <QWidget>

WindowPlace::WindowPlace(QWidget& window, MainPanes& panes, SettingsStore& settings)
    : QObject(&window), window_(window), panes_(panes), settings_(settings)
{
    setObjectName(QStringLiteral("windowPlace"));
    const SettingsStore::WindowPlace kept = settings_.windowPlace();
    if (!kept.geometry.isEmpty()) {
        window_.restoreGeometry(kept.geometry);
    }
    if (kept.treeWidth > 0) {
        panes_.setTreeWidth(kept.treeWidth);
    }
    window_.installEventFilter(this);
}

bool WindowPlace::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &window_ && event->type() == QEvent::Close) {
        settings_.saveWindowPlace({window_.saveGeometry(), panes_.movedTreeWidth()});
    }
    return QObject::eventFilter(watched, event);
}
