#pragma once

// The box above the results tree that narrows what the tree shows: the
// lengths from and to, the fewest pairs of a word, and letters the word
// contains; an emptied number is no bound, and "Reset" empties them all.
// Hidden until "Filter results"; hiding it shows everything again, since a
// hidden filter would hide rows for no visible reason.

#include <QString>
#include <QWidget>

class QAction;
class QLineEdit;
class QMenu;
class QSpinBox;
class RepeatTreeModel;

class ResultsFilterBox : public QWidget {
    Q_OBJECT

public:
    // What the box holds: whether it shows, and its fields (0: no bound, as
    // the number fields show "any").
    struct State {
        bool shown = false;
        QString word;
        int minLength = 0;
        int maxLength = 0;
        int minPairs = 0;
        friend bool operator==(const State&, const State&) = default;
    };

    // Filters `model` as the fields change.
    ResultsFilterBox(RepeatTreeModel& model, QWidget* parent = nullptr);

    // Adds "&Filter results" to `menu`: checked, the box shows.
    void addShowCommand(QMenu* menu, int id);
    // Shows the box, or hides it and empties its fields.
    void setShown(bool shown);
    // Empties the fields: the tree shows everything.
    void reset();
    [[nodiscard]] State state() const;
    // Shows or hides the box (with its command's check), then fills its fields.
    void setState(const State& state);

private:
    void apply();

    RepeatTreeModel& model_;
    QSpinBox* minLength_ = nullptr;
    QSpinBox* maxLength_ = nullptr;
    QSpinBox* minPairs_ = nullptr;
    QLineEdit* word_ = nullptr;
    QAction* show_ = nullptr;  // "&Filter results", once added
};
