#include "views/menucommand.h"

#include <QAction>
#include <QMenu>

QAction* addMenuCommand(QMenu* menu, int id, const QString& text, bool enabled)
{
    QAction* action = menu->addAction(text);
    action->setData(id);
    action->setObjectName(QStringLiteral("command%1").arg(id));
    action->setEnabled(enabled);
    return action;
}
