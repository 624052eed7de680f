#pragma once

// The parts of the main window's status bar: the position under the mouse
// ("Position 1"), the caret or the selection ("Caret 12000", "Selected
// 100-199 (100 bp)") and the genome ("16569 bp (1 in gaps), GC 44.4%"); and
// the passing message of a step from copy to copy ("Copy 2 of 5").

#include <QObject>

#include <cstddef>

class QLabel;
class QStatusBar;
class SequenceView;

class GenomeStatusBar : public QObject {
    Q_OBJECT

public:
    // The labels go into `bar`; they follow `pane`, whose sequence they tell.
    GenomeStatusBar(QStatusBar* bar, SequenceView* pane);

    // Tells the genome again, once the pane shows a new sequence.
    void sequenceChanged();
    // "Copy %1 of %2" for a few seconds.
    void showCopy(std::size_t number, std::size_t count);

private:
    void showSelection();

    QStatusBar* bar_;
    SequenceView* pane_;
    QLabel* position_ = nullptr;
    QLabel* selection_ = nullptr;
    QLabel* genome_ = nullptr;
};
