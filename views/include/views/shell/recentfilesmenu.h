#pragma once

// "Open &Recent": the files opened last, newest first ("&1 first.txt"), kept
// between runs, and "&Clear the list" below them. A file that is no longer
// there is taken off the list, with a message, instead of being opened.

#include <QMenu>
#include <QString>
#include <QStringList>

class Prompts;
class SettingsStore;

class RecentFilesMenu : public QMenu {
    Q_OBJECT

public:
    // "&Clear the list" is the command `clearCommand` (its id as data). The
    // menu belongs to `window`, which its messages are shown over.
    RecentFilesMenu(SettingsStore& settings, Prompts& prompts, int clearCommand, QWidget* window);

    // Puts a file that has loaded at the top of the list.
    void remember(const QString& path);
    [[nodiscard]] QStringList files() const;

signals:
    // A file of the list chosen, still there.
    void openRequested(const QString& path);

private:
    void choose(const QString& path);
    void forget(const QString& path);
    void rebuild();

    SettingsStore& settings_;
    Prompts& prompts_;
    QAction* clear_ = nullptr;
};
