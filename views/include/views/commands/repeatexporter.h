#pragma once

// The File menu's export commands: "&Export repeats..." writes every repeat
// of the analysis, "Export se&lected repeats..." only those the results tree
// holds under its selected item as its filter shows them (a word, a length,
// a kind; with nothing selected, everything the filter shows). Both write
// GFF3 or BED, as a job, into a file chosen in the folder of the last export;
// the second is enabled whenever the first is. In the file the repeats are
// numbered among those written.

#include "engine/repeatkinds.h"
#include "session/session.h"
#include "views/base/menucommand.h"
#include "views/commands/windowparts.h"

#include <QObject>

class JobStatus;
class Prompts;
class QMenu;
class RepeatTreeModel;
class ResultsTree;
class SettingsStore;
class QWidget;

class RepeatExporter : public QObject {
    Q_OBJECT

public:
    // Its later command, by name (see commandId).
    enum Command : int { IdExportSelected = commandId("exportSelected") };

    explicit RepeatExporter(const WindowParts& parts);

    // Adds both commands to `file`; the first takes the id `exportAll`.
    void addCommands(QMenu* file, int exportAll);

    // The analysis cut down to what "Export se&lected repeats..." writes.
    [[nodiscard]] tessaron::Analysis selectedAnalysis() const;

    void exportAll();
    void exportSelected();

private:
    void write(const QString& caption, tessaron::SessionState state);

    WindowParts parts_;
};
