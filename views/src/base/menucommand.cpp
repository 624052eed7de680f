#include "views/base/menucommand.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

QAction* addMenuCommand(QMenu* menu, int id, const QString& text, bool enabled)
{
    QAction* action = menu->addAction(text);
    action->setData(id);
    action->setObjectName(QStringLiteral("command%1").arg(id));
    action->setEnabled(enabled);
    return action;
}

QAction* addMenuCommand(QMenu* menu, std::string_view name, const QString& text, bool enabled)
{
    QAction* action = addMenuCommand(menu, commandId(name), text, enabled);
    action->setProperty("commandName", QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    return action;
}

void CommandSet::collect(const QMenuBar& bar)
{
    for (QAction* action : bar.actions()) {
        if (const QMenu* menu = action->menu()) {
            collect(*menu);
        }
    }
}

void CommandSet::collect(const QMenu& menu)
{
    for (QAction* action : menu.actions()) {
        if (const QMenu* below = action->menu()) {
            collect(*below);  // a submenu: menus nest a level or two, never with the input
        } else if (action->objectName().startsWith(QStringLiteral("command"))) {
            byId_[action->data().toInt()] = action;
            if (const QString name = action->property("commandName").toString(); !name.isEmpty()) {
                byName_[name.toStdString()] = action;
            }
        }
    }
}

QAction* CommandSet::find(int id) const
{
    const auto found = byId_.find(id);
    return found != byId_.end() ? found->second : nullptr;
}

QAction* CommandSet::find(std::string_view name) const
{
    const auto found = byName_.find(name);
    return found != byName_.end() ? found->second : nullptr;
}

void CommandSet::enable(int id, bool enabled) const
{
    if (QAction* action = find(id)) {
        action->setEnabled(enabled);
    }
}
