#pragma once

#include <QDialog>

#include <optional>

class Prompts;
class QLineEdit;

// The lengths chosen in "Options".
struct OptionsResult {
    int minimum = 0;
    int maximum = 0;
    friend bool operator==(const OptionsResult&, const OptionsResult&) = default;
};

// "Options": the minimum and maximum repeat lengths, each an integer from 3
// to 256. The maximum is checked first; a failing field shows the message and
// takes the focus with its text selected. A minimum above the maximum is
// lowered to it. The lengths are given back only on OK.
class COptionsDlg : public QDialog {
    Q_OBJECT

public:
    COptionsDlg(int minimum, int maximum, Prompts& prompts, QWidget* parent = nullptr);

    // Runs the dialog modally: the lengths chosen, or nothing when cancelled.
    [[nodiscard]] static std::optional<OptionsResult> ask(int minimum, int maximum, Prompts& prompts,
                                                          QWidget* parent = nullptr);
    // What OK accepted; nothing before that.
    [[nodiscard]] const std::optional<OptionsResult>& chosen() const { return chosen_; }

    [[nodiscard]] QLineEdit* minimumField() const { return minimumField_; }  // 1052
    [[nodiscard]] QLineEdit* maximumField() const { return maximumField_; }  // 1053

public slots:
    void accept() override;

private:
    Prompts& prompts_;
    std::optional<OptionsResult> chosen_;
    QLineEdit* minimumField_;
    QLineEdit* maximumField_;
};
