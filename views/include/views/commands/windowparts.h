#pragma once

// The one way a controller reaches the main window: references to the
// window's parts, handed to every controller when the window makes it. All of
// them outlive the controllers. The window tells through `events` when the
// session has taken a job's new state.

#include <QObject>

class CommandSet;
class JobStatus;
class MapWindowHolder;
class Prompts;
class QWidget;
class ResultsFilterBox;
class ResultsTree;
class SequenceNavigator;
class SequenceView;
class SettingsStore;
class SheetWindows;

namespace tessaron {
class Session;
}  // namespace tessaron

class WindowEvents : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    // The session took a job's new state; the tree shows it already.
    void adopted();
};

struct WindowParts {
    QWidget& window;
    tessaron::Session& session;
    SettingsStore& settings;
    Prompts& prompts;
    JobStatus& jobs;
    CommandSet& commands;
    ResultsTree& tree;
    ResultsFilterBox& filter;
    SequenceView& pane;
    SequenceNavigator& navigator;
    MapWindowHolder& maps;
    SheetWindows& sheets;
    WindowEvents& events;
};
