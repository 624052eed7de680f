#pragma once

// "Plastome structure" in the View menu: the loaded genome's four parts
// found as a job, then shown in their window (CPlastomeDlg); a click on a
// part or junction there selects its bases in the sequence pane and marks
// them on the open map.

#include "views/base/menucommand.h"

#include <QObject>
#include <QPointer>

#include <cstdint>

class CPlastomeDlg;
class JobStatus;
class MapWindowHolder;
class Prompts;
class QAction;
class QMenu;
class QWidget;
class SequenceView;
struct WindowParts;

namespace tessaron {
class Session;
}  // namespace tessaron

class PlastomeCommands : public QObject {
    Q_OBJECT

public:
    enum Command : int { IdPlastomeStructure = commandId("plastomeStructure") };

    explicit PlastomeCommands(const WindowParts& parts);

    // "Plastome structure" at the end of `view`.
    void addCommand(QMenu* view);
    // The window shown last, while it is open.
    [[nodiscard]] CPlastomeDlg* window() const;

public slots:
    void showStructure();

private:
    void updateCommand();
    void select(std::int64_t start, std::int64_t length);

    tessaron::Session& session_;
    JobStatus& jobs_;
    SequenceView& pane_;
    MapWindowHolder& maps_;
    QWidget* owner_;
    QAction* action_ = nullptr;
    QPointer<CPlastomeDlg> window_;
};
