#pragma once

#include <QDialog>

#include <array>
#include <cstdint>
#include <optional>

class Prompts;
class QLineEdit;

// "Create random sequence": how many A, T, C and G (unsigned 32-bit each),
// with the total shown as "%d bp" and kept current while the counts are
// edited. A field that is not an unsigned integer shows "Please enter a
// positive integer." and returns to its last valid value. The counts (A, T,
// C, G) are given back only on OK.
class CRandomDlg : public QDialog {
    Q_OBJECT

public:
    using Counts = std::array<std::int64_t, 4>;

    CRandomDlg(const Counts& counts, Prompts& prompts, QWidget* parent = nullptr);

    // Runs the dialog modally: the counts chosen, or nothing when cancelled.
    [[nodiscard]] static std::optional<Counts> ask(const Counts& counts, Prompts& prompts,
                                                   QWidget* parent = nullptr);
    // The caption of the window that shows a random sequence of `counts`:
    // "Random [100 bp; A: 10, T: 20, C: 30, G: 40]".
    [[nodiscard]] static QString caption(const Counts& counts);
    // Why a random sequence of `total` bases cannot be made.
    [[nodiscard]] static QString refusal(std::int64_t total);

    // What OK accepted; nothing before that.
    [[nodiscard]] const std::optional<Counts>& chosen() const { return chosen_; }

    // 1055, 1056, 1057, 1058: A, T, C, G; 1054: the total, read-only.
    [[nodiscard]] QLineEdit* countField(int letter) const
    {
        return countFields_[static_cast<std::size_t>(letter)];
    }
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

    Prompts& prompts_;
    std::optional<Counts> chosen_;
    Counts counts_;
    std::array<QLineEdit*, 4> countFields_{};
    QLineEdit* totalField_;
    // Set while the dialog itself rewrites the fields or shows a message, so
    // that the edits it makes are not taken for the user's.
    bool updating_ = false;
};
