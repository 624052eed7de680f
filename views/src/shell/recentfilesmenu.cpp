#include "views/shell/recentfilesmenu.h"

#include "views/base/menucommand.h"
#include "views/base/prompts.h"
#include "views/base/settingsstore.h"

#include <QAction>
#include <QFileInfo>

RecentFilesMenu::RecentFilesMenu(SettingsStore& settings, Prompts& prompts, int clearCommand, QWidget* window)
    : QMenu(tr("Open &Recent"), window), settings_(settings), prompts_(prompts)
{
    setObjectName(QStringLiteral("recentFilesMenu"));
    addSeparator();
    clear_ = addMenuCommand(this, clearCommand, tr("&Clear the list"), true);
    connect(clear_, &QAction::triggered, this, [this] {
        settings_.saveRecentFiles({});
        rebuild();
    });
    rebuild();
}

QStringList RecentFilesMenu::files() const
{
    return settings_.recentFiles();
}

void RecentFilesMenu::remember(const QString& path)
{
    const QString file = QFileInfo(path).absoluteFilePath();
    QStringList files = settings_.recentFiles();
    files.removeAll(file);
    files.prepend(file);
    settings_.saveRecentFiles(files.mid(0, SettingsStore::kRecentFiles));
    rebuild();
}

void RecentFilesMenu::choose(const QString& path)
{
    if (QFileInfo::exists(path)) {
        emit openRequested(path);
        return;
    }
    forget(path);
    prompts_.message(parentWidget(), applicationName(),
                     tr("%1 is no longer there: it has been taken off the recent files.").arg(path),
                     Prompts::Icon::Warning);
}

void RecentFilesMenu::forget(const QString& path)
{
    QStringList files = settings_.recentFiles();
    files.removeAll(path);
    settings_.saveRecentFiles(files);
    rebuild();
}

void RecentFilesMenu::rebuild()
{
    for (QAction* item : actions()) {
        if (item->property("recentFile").isValid()) {
            removeAction(item);
            delete item;
        }
    }
    // The files go above the separator, which comes first once they are out.
    QAction* separator = actions().value(0);
    const QStringList files = settings_.recentFiles();
    for (qsizetype k = 0; k < files.size(); ++k) {
        const QString& file = files.at(k);
        auto* item = new QAction(QStringLiteral("&%1 %2").arg(k + 1).arg(QFileInfo(file).fileName()), this);
        item->setProperty("recentFile", file);
        item->setToolTip(file);
        item->setStatusTip(file);
        connect(item, &QAction::triggered, this, [this, file] { choose(file); });
        insertAction(separator, item);
    }
    clear_->setEnabled(!files.isEmpty());
}
