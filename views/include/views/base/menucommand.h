#pragma once

// The program's menu commands. The commands of the first menus carry the
// numbers they always had; every later command is known by its name, and its
// number (by which tests and the action's object name know it) is derived
// from that name, so that no one picks a number by hand.

#include <QString>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

class QAction;
class QMenu;
class QMenuBar;

// The number of the command named `name`: in [0x40000000, 0x7fffffff], far
// from the numbers of the first menus.
constexpr int commandId(std::string_view name)
{
    std::uint32_t hash = 2166136261U;  // FNV-1a
    for (const char letter : name) {
        hash = (hash ^ static_cast<unsigned char>(letter)) * 16777619U;
    }
    return static_cast<int>(0x40000000U | (hash & 0x3fffffffU));
}

// Adds a command of the program to `menu`: it carries its id as data and
// "command<id>" as its name, by which tests find it.
QAction* addMenuCommand(QMenu* menu, int id, const QString& text, bool enabled);
// Adds the later command `name`, numbered commandId(name); its name is kept as
// the action's "commandName" property.
QAction* addMenuCommand(QMenu* menu, std::string_view name, const QString& text, bool enabled);

// The commands of a window's menus, by number and by name.
class CommandSet {
public:
    // Takes in every command of the menus of `bar` (once the menus are made).
    void collect(const QMenuBar& bar);
    // Null for an unknown command.
    [[nodiscard]] QAction* find(int id) const;
    [[nodiscard]] QAction* find(std::string_view name) const;
    // Enables a known command; nothing for an unknown one.
    void enable(int id, bool enabled) const;

private:
    void collect(const QMenu& menu);

    std::map<int, QAction*> byId_;
    std::map<std::string, QAction*, std::less<>> byName_;
};
