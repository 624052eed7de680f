#pragma once

// File > "Export &HTML report...": the genome on screen as one
// self-contained HTML page (the map, the dot plot, the paper section and
// linked tables), made by the same report library as the command line's
// --report html from the results the session holds: the exact pairs of the
// analysis, the approximate pairs and the microsatellites when they were
// found, and the features; the paper section (with its tandem arrays) and
// the plastome's parts are found for the page. Written as a job into a file
// chosen in the folder of the last export; never over the genome being
// shown, nor over a read-only file. Enabled whenever "&Export repeats..." is.

#include "views/base/menucommand.h"
#include "views/commands/windowparts.h"

#include <QObject>
#include <QString>

class JobStatus;
class Prompts;
class QMenu;
class QWidget;
class SettingsStore;

namespace tessaron {
class Session;
}  // namespace tessaron

class HtmlExporter : public QObject {
    Q_OBJECT

public:
    enum Command : int { IdExportHtml = commandId("exportHtml") };

    explicit HtmlExporter(const WindowParts& parts);

    // Adds the command to `file`, enabled as its command `follow` is.
    void addCommand(QMenu* file, int follow);

    // Asks for the file and writes the page into it, as a job.
    void exportReport();
    // Writes the page into `path` as a job; tells the user what failed.
    void write(const QString& path);

private:
    WindowParts parts_;
};
