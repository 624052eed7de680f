#pragma once

// The main window's tandem repeats: "Tan&dem repeats..." in the Edit menu,
// beside the microsatellites, asks for the search's settings (kept between
// runs) and searches the loaded genome with them as a job (the status line
// shows its progress, Cancel stops it). The arrays fill the results tree's
// "Tandem repeats" branch and a ring of ticks on the map; selecting one
// highlights its copies in the sequence pane in alternating shades (Next and
// Previous copy step through them), marks it on the map and shows each copy
// against the consensus in a small window ("tandemAlignment"); a click on an
// array's tick on the map selects it in the tree. The arrays are the
// session's (SessionState::tandem): they follow the genome.

#include "session/tandemanalysis.h"
#include "views/base/menucommand.h"
#include "views/commands/windowparts.h"

#include <QModelIndex>
#include <QObject>
#include <QPointer>

#include <cstddef>
#include <memory>
#include <optional>

class CDiagramDlg;
class QAction;
class QMenu;
class TandemAlignmentView;

class TandemController : public QObject {
    Q_OBJECT

public:
    // Its command, by name (see commandId).
    enum Command : int { IdTandemSearch = commandId("tandemSearch") };

    explicit TandemController(const WindowParts& parts);

    // Adds the search command at the end of `edit`.
    void addCommands(QMenu* edit);
    // Runs the search with these settings as a job (the command asks for them first).
    void run(const tessaron::TandemSettings& settings);
    void runWithDialog();
    // The arrays of the loaded genome; null before a search.
    [[nodiscard]] const std::shared_ptr<const tessaron::TandemAnalysis>& analysis() const;
    // The alignment window, once an array has been selected; null before.
    [[nodiscard]] TandemAlignmentView* alignmentView() const;

private:
    void itemSelected(const QModelIndex& item);
    // The map's tick of the `index`-th array shown was clicked.
    void arrayClicked(int index);
    // The session took a new state: the map's ticks and the command follow its arrays.
    void adopted();
    void showOnMap(CDiagramDlg& map) const;
    void updateCommand();

    WindowParts parts_;
    QAction* search_ = nullptr;
    // The arrays the map shows.
    std::shared_ptr<const tessaron::TandemAnalysis> shown_;
    // The selected array's index among them.
    std::optional<std::size_t> selected_;
    QPointer<TandemAlignmentView> alignment_;
};
