#pragma once

// "Save sess&ion..." and "Open se&ssion..." of the File menu: the genome
// file and record open, the search's lengths and method, the word selected in
// the results and the bases selected in the pane, the tree's filter and the
// map (open or not, and how it is drawn) written to a small JSON file beside
// the genome, and given back by reopening it. A file that is no session, or
// whose genome is missing or has changed since, is refused with a message and
// the window keeps what it has; so does a genome that can no longer be read.

#include "views/base/menucommand.h"
#include "views/commands/sessionfile.h"
#include "views/commands/windowparts.h"

#include <QMetaObject>
#include <QObject>
#include <QString>

#include <cstddef>
#include <functional>
#include <optional>

class QMenu;

class SessionCommands : public QObject {
    Q_OBJECT

public:
    // Its commands, by name (see commandId).
    enum Command : int { IdSaveSession = commandId("saveSession"), IdOpenSession = commandId("openSession") };

    // What the window does for a session beyond its parts: opens record
    // `record` (0-based) of a file without asking which, and shows the map
    // as its "&Diagram" or "&Map of the sequence" command would (nothing when
    // that command is grayed).
    struct Shell {
        std::function<void(const QString& path, std::size_t record)> openRecord;
        std::function<void()> showMap;
    };

    SessionCommands(const WindowParts& parts, Shell shell);

    void addCommands(QMenu* file);
    // The session as the window holds it now; nothing without a genome read from a file.
    [[nodiscard]] std::optional<SavedSession> current() const;
    // Writes the current session to `path`; false (told to the user) when it cannot be.
    bool save(const QString& path);
    // Reopens the session of `path`, read as a job (a pipe waits for its
    // writer; Cancel stops it); false when it is refused at once. A genome
    // being loaded finishes the reopening when its job has ended.
    bool open(const QString& path);

private:
    void saveChosen();
    void openChosen();
    // Opens the genome of the session written in `json`, read from `path`.
    void reopen(const QByteArray& json, const QString& path);
    // The genome has been loaded, or was not: the rest of the session follows.
    void finish();
    void refuse(const QString& text) const;

    WindowParts parts_;
    Shell shell_;
    std::optional<SavedSession> pending_;
    struct Search {
        int minimum = 0;
        int maximum = 0;
        tessaron::SearchMethod method = tessaron::SearchMethod::Trie;
    };
    Search before_;  // the search before the reopening, kept if it fails
    QMetaObject::Connection waiting_;
};
