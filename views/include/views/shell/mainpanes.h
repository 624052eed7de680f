#pragma once

// The main window's client area: the results tree (below its filter box) on
// the left and, to its right, a strip for the status line at the top with the
// sequence pane below it, in a splitter. The tree keeps its width of 180
// pixels as the window is resized, the right side taking the rest, until the
// user moves the splitter.

#include <QColor>
#include <QWidget>

#include <string_view>

class ResultsFilterBox;
class ResultsTree;
class SequenceView;
class QSplitter;

class MainPanes : public QWidget {
    Q_OBJECT

public:
    // Control ids of the tree and the sequence pane.
    enum Control : int { IdTree = 1000, IdSequencePane = 1005 };

    // `disabledCommand` is the id of the tree's pop-up item.
    MainPanes(int disabledCommand, QWidget* parent);

    [[nodiscard]] ResultsTree& tree() const { return *tree_; }
    [[nodiscard]] ResultsFilterBox& filterBox() const { return *filterBox_; }
    [[nodiscard]] SequenceView& sequencePane() const { return *sequencePane_; }
    // The strip above the sequence pane, for the status line and what goes beside it.
    [[nodiscard]] QWidget* statusStrip() const { return statusStrip_; }

    // The whole sequence in the pane, in the sequence's face and colour, without highlights.
    void showSequence(std::string_view sequence);

    // The tree's width once the user has moved the splitter; 0 until then.
    [[nodiscard]] int movedTreeWidth() const;
    // Gives the tree this width, kept as the window is resized, as if the user had moved the splitter.
    void setTreeWidth(int width);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QSplitter* splitter_ = nullptr;
    bool splitterMoved_ = false;
    ResultsTree* tree_ = nullptr;
    ResultsFilterBox* filterBox_ = nullptr;
    QWidget* right_ = nullptr;
    QWidget* statusStrip_ = nullptr;
    SequenceView* sequencePane_ = nullptr;
};
