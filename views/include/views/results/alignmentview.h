#pragma once

// The alignment window: a gapped pair's two copies one above the other, in
// lines of kColumns columns, the first copy's letters over a line of marks
// ('|' equal, 'x' unequal) over the second copy's as its kind reads them,
// each line between the positions of its first and last letters. Unequal
// columns are drawn in the sequence pane's mismatch colour, the letters
// facing a gap ('-') on a grey ground.

#include "engine/gappedsearch.h"
#include "session/gappedanalysis.h"

#include <QWidget>

class QLabel;
class QPlainTextEdit;

class AlignmentView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kColumns = 60;

    explicit AlignmentView(QWidget* parent = nullptr);

    // Shows the pair of that kind of `genome`.
    void showPair(const tessaron::Genome& genome, tessaron::RepeatKind kind,
                  const tessaron::GappedPair& pair);

    // The line above the alignment, and the alignment as plain text.
    [[nodiscard]] QString heading() const;
    [[nodiscard]] QString text() const;
    [[nodiscard]] QPlainTextEdit& textView() const { return *text_; }

private:
    QLabel* heading_;
    QPlainTextEdit* text_;
};
