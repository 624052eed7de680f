#pragma once

// The consensus alignment of the selected tandem array, in a small window
// beside the main one: a line that names the array, the consensus, then
// each copy beneath it in the consensus's columns (see
// tessaron::alignCopies), the letters that differ from the consensus
// (mismatches and indels) on a coloured ground. An array of more copies shows
// its first kMostCopiesShown and says how many more there are.

#include "engine/tandemrepeats.h"

#include <QColor>
#include <QDialog>
#include <QString>

#include <string_view>

class QPlainTextEdit;
class TandemAlignmentMarks;

class TandemAlignmentView : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMostCopiesShown = 200;
    // The ground of a letter that differs from the consensus.
    static const QColor kDifferenceGround;

    explicit TandemAlignmentView(QWidget* parent = nullptr);
    ~TandemAlignmentView() override;
    TandemAlignmentView(const TandemAlignmentView&) = delete;
    TandemAlignmentView& operator=(const TandemAlignmentView&) = delete;

    // Shows the alignment of `array`, whose letters are `letters`; an array
    // whose alignment cannot be read is named with a note that says so.
    void showArray(const tessaron::TandemRepeat& array, std::string_view letters);
    // Shows nothing.
    void clearArray();

    // The text shown, and its widget (whose blocks carry the marks).
    [[nodiscard]] QString text() const;
    [[nodiscard]] QPlainTextEdit* textView() const { return text_; }

private:
    QPlainTextEdit* text_;
    TandemAlignmentMarks* marks_;
};
