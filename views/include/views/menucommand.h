#pragma once

#include <QString>

class QAction;
class QMenu;

// Adds a command of the program to `menu`: it carries its id as data and
// "command<id>" as its name, by which tests and the windows find it.
QAction* addMenuCommand(QMenu* menu, int id, const QString& text, bool enabled);
