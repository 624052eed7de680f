#pragma once

#include <QDialog>

#include <array>
#include <cstdint>

class QLineEdit;

// "Create random sequence": how many A, T, C and G (unsigned 32-bit each),
// with the total shown as "%d bp" and kept current while the counts are
// edited. A field that is not an unsigned integer shows "Please enter a
// positive integer." and returns to its last valid value. The caller's counts
// (A, T, C, G) change only on OK.
class CRandomDlg : public QDialog {
    Q_OBJECT

public:
    CRandomDlg(std::array<std::int64_t, 4>& counts, QWidget* parent = nullptr);

    // 1055, 1056, 1057, 1058: A, T, C, G; 1054: the total, read-only.
    [[nodiscard]] QLineEdit* countField(int letter) const { return countFields_[static_cast<std::size_t>(letter)]; }
    [[nodiscard]] QLineEdit* totalField() const { return totalField_; }

public slots:
    void accept() override;

private:
    // Reads the fields in the order A, total, C, G, T into counts_, stopping
    // at the first that is not an unsigned integer: it is shown the message
    // and returned (null when all are read).
    QLineEdit* readFields();
    // Writes counts_ and their total into the fields.
    void showValues();
    void countEdited();

    std::array<std::int64_t, 4>& callerCounts_;
    std::array<std::int64_t, 4> counts_;
    std::array<QLineEdit*, 4> countFields_{};
    QLineEdit* totalField_;
    // Set while the dialog itself rewrites the fields or shows a message, so
    // that the edits it makes are not taken for the user's.
    bool updating_ = false;
};
