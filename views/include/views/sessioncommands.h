#pragma once

// "Save sess&ion..." and "Open se&ssion..." of the File menu: the genome
// file and record open, the search's lengths and method, the word selected in
// the results and the bases selected in the pane, the tree's filter and the
// map (open or not, and how it is drawn) written to a small JSON file beside
// the genome, and given back by reopening it. A file that is no session, or
// whose genome is missing or has changed since, is refused with a message and
// the window keeps what it has; so does a genome that can no longer be read.

#include "views/sessionfile.h"

#include <QMetaObject>
#include <QObject>
#include <QString>

#include <optional>

class CTessaronDlg;
class JobStatus;
class Prompts;
class QMenu;
class SettingsStore;

class SessionCommands : public QObject {
    Q_OBJECT

public:
    enum Command : int { IdSaveSession = 32891, IdOpenSession = 32892 };

    SessionCommands(CTessaronDlg& window, Prompts& prompts, SettingsStore& settings, JobStatus& jobs);

    void addCommands(QMenu* file);
    // The session as the window holds it now; nothing without a genome read from a file.
    [[nodiscard]] std::optional<SavedSession> current() const;
    // Writes the current session to `path`; false (told to the user) when it cannot be.
    bool save(const QString& path);
    // Reopens the session of `path`; false when it is refused at once. A
    // genome being loaded finishes the reopening when its job has ended.
    bool open(const QString& path);

private:
    void saveChosen();
    void openChosen();
    // The genome has been loaded, or was not: the rest of the session follows.
    void finish();
    void refuse(const QString& text) const;

    CTessaronDlg& window_;
    Prompts& prompts_;
    SettingsStore& settings_;
    JobStatus& jobs_;
    std::optional<SavedSession> pending_;
    struct Search {
        int minimum = 0;
        int maximum = 0;
        tessaron::SearchMethod method = tessaron::SearchMethod::Trie;
    };
    Search before_;  // the search before the reopening, kept if it fails
    QMetaObject::Connection waiting_;
};
