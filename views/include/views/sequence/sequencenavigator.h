#pragma once

// Finding one's way in the sequence pane: the session's highlighted copies
// painted in their colours, the selected word's first copy brought into
// view, and the commands "&Go to position...", "&Next copy" and "&Previous
// copy" (round the circle, "Copy 2 of 5" in the status bar) in the Edit
// menu, "Zoom &in", "Zoom &out" and "&Actual size" in the View menu.

#include "palette/colourscheme.h"
#include "views/base/menucommand.h"

#include <QColor>
#include <QObject>

class GenomeStatusBar;
class Prompts;
class QAction;
class QMenu;
class QWidget;
class SequenceView;

namespace tessaron {
class Highlights;
}  // namespace tessaron

class SequenceNavigator : public QObject {
    Q_OBJECT

public:
    // Command ids; every action carries its id as data and "command<id>" as its name.
    enum Command : int {
        IdGoToPosition = commandId("goToPosition"),
        IdNextCopy = commandId("nextCopy"),
        IdPreviousCopy = commandId("previousCopy"),
        IdZoomIn = commandId("zoomIn"),
        IdZoomOut = commandId("zoomOut"),
        IdZoomReset = commandId("zoomReset"),
    };

    // The colour of an approximate pair's mismatched letters.
    static inline const QColor kMismatchColor{0xFF, 0x8C, 0x00};

    // `highlights` are the ones `pane` shows; positions are asked for over `window`.
    SequenceNavigator(SequenceView& pane, const tessaron::Highlights& highlights, GenomeStatusBar& statusBar,
                      Prompts& prompts, QWidget* window);

    // Adds the finding commands to `edit`, the zoom commands to `view`.
    void addFindingCommands(QMenu* edit);
    void addZoomCommands(QMenu* view);
    // Paints the highlights over the sequence the pane holds, instead of the
    // ones before, in `colours` made readable on the pane's background.
    void paint();
    void setColours(const tessaron::ColourScheme& colours) { colours_ = colours; }
    // Puts the caret on the first copy of the selected word and brings it into view.
    void showFirstCopy();
    // The same, when a word is selected.
    void showSelectedWord();
    // Puts the caret on the first copy of a pair of the selected word.
    void showPair(int pair);
    // Goes to the next (previous) copy after (before) the caret.
    void stepCopy(bool forward);
    // Asks for a 1-based position and puts the caret there.
    void goToPosition();
    // Gray "&Go to position..." while the pane is empty.
    void sequenceChanged();

private:
    SequenceView& pane_;
    const tessaron::Highlights& highlights_;
    GenomeStatusBar& statusBar_;
    Prompts& prompts_;
    QWidget* window_;
    tessaron::ColourScheme colours_ = tessaron::kStandardColours;
    QAction* goTo_ = nullptr;
    QAction* next_ = nullptr;
    QAction* previous_ = nullptr;
};
