#pragma once

// The results tree of the main window over a RepeatTreeModel: kinds, lengths
// and words, one item selected at a time, no editing and no dragging. Long
// items scroll sideways instead of being cut short. Its pop-up menu holds a
// grayed item, "(disabled)", and beneath it "Copy &positions" for a word.

#include <QModelIndex>
#include <QTreeView>

class RepeatTreeModel;

class ResultsTree : public QTreeView {
    Q_OBJECT

public:
    // `disabledCommand` is the id of the pop-up menu's one item.
    ResultsTree(int disabledCommand, QWidget* parent);

    [[nodiscard]] RepeatTreeModel& results() const { return *results_; }

signals:
    // Another item is selected; an invalid index when none is.
    void itemSelected(const QModelIndex& item);
    // The selected item clicked again, or Enter pressed on it.
    void selectedItemChosenAgain();

protected:
    // Copy puts a word's whole text and its pairs' positions on the clipboard.
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    RepeatTreeModel* results_;
    int disabledCommand_;
};
