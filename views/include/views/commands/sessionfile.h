#pragma once

// A session saved beside its genome as a small JSON file: which file and
// record were open (with the file's size, to tell a file changed since), the
// search's lengths and method, the word selected in the results (kind,
// length, its row among the words of that length) and the bases selected in
// the pane, the tree's filter and whether the map was open and how it was
// drawn. Only Qt Core: nothing here knows of windows.

#include "engine/repeatkinds.h"
#include "engine/searchmethod.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <variant>

struct SavedSession {
    struct Word {
        tessaron::RepeatKind kind = tessaron::RepeatKind::Direct;
        int length = 0;
        int row = 0;
        friend bool operator==(const Word&, const Word&) = default;
    };
    struct Filter {
        bool shown = false;
        QString word;
        int minLength = 0;  // 0: no bound, as the filter's boxes show "any"
        int maxLength = 0;
        int minPairs = 0;
        friend bool operator==(const Filter&, const Filter&) = default;
    };
    struct Map {
        bool open = false;
        bool paper = false;
        bool tidyLabels = false;
        friend bool operator==(const Map&, const Map&) = default;
    };

    QString genomeFile;  // absolute
    int record = 0;      // 0-based, in a file of several
    bool genBank = true;
    qint64 fileSize = 0;
    QString genomeName;  // the record's name, as titles show it
    int genomeLength = 0;
    int minimum = 8;
    int maximum = 30;
    tessaron::SearchMethod method = tessaron::SearchMethod::Trie;
    std::optional<Word> word;
    int selectionStart = 0;  // the pane's selected bases [start, end), 0-based
    int selectionEnd = 0;
    Filter filter;
    Map map;

    friend bool operator==(const SavedSession&, const SavedSession&) = default;
};

// The file's text; the genome's path is written relative to `folder` (where
// the session file goes) when it lies beneath it.
[[nodiscard]] QByteArray sessionToJson(const SavedSession& session, const QString& folder);
// The session written in `json`, the genome's path made absolute from
// `folder`; or why the text is no session (a sentence for the user).
[[nodiscard]] std::variant<SavedSession, QString> sessionFromJson(const QByteArray& json,
                                                                  const QString& folder);
// Why the genome file of `session` cannot be reopened as it was saved (missing,
// or changed since), or nothing.
[[nodiscard]] std::optional<QString> staleGenome(const SavedSession& session);
