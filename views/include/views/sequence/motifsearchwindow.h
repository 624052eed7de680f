#pragma once

// "Find motif (IUPAC)...": a window beside the main one that finds a motif
// written in the IUPAC codes, with up to a chosen number of mismatches, on
// one strand or both, round the circle or not, and lists its hits with their
// positions (1-based), strands, mismatches and the bases matched. The pane
// goes to the first hit at once and to any hit clicked in the list. The
// window reads the genome the session holds when "Find" is pressed; a list
// made for a genome since replaced is emptied rather than followed.

#include "views/base/menucommand.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;
class SequenceView;

namespace tessaron {
class Genome;
class Session;
}  // namespace tessaron

class MotifSearchWindow : public QDialog {
    Q_OBJECT

public:
    // The command's id; its action is named "command<id>".
    static constexpr int IdFindIupacMotif = commandId("findIupacMotif");

    MotifSearchWindow(const tessaron::Session& session, SequenceView& pane, QWidget* window);
    ~MotifSearchWindow() override;
    MotifSearchWindow(const MotifSearchWindow&) = delete;
    MotifSearchWindow& operator=(const MotifSearchWindow&) = delete;

    // Adds "Find motif (&IUPAC)..." to `menu`: it shows this window.
    void addCommand(QMenu* menu);
    // Finds the motif of the field and lists its hits; false (with the reason
    // under the field) when there is nothing to search or the motif is no motif.
    bool find();
    // Shows the listed hit `row` in the pane.
    void goToHit(int row);

private:
    void openWindow();

    const tessaron::Session& session_;
    SequenceView& pane_;
    QLineEdit* motif_ = nullptr;
    QSpinBox* mismatches_ = nullptr;
    QCheckBox* bothStrands_ = nullptr;
    QCheckBox* circular_ = nullptr;
    QLabel* summary_ = nullptr;
    QTreeWidget* hits_ = nullptr;
    std::shared_ptr<const tessaron::Genome> searched_;  // the genome the list was made for
    int motifLength_ = 0;
};
