#pragma once

#include "engine/searchmethod.h"

#include <QDialog>

#include <optional>

class Prompts;
class QComboBox;
class QLineEdit;

// The lengths and the search chosen in "Options".
struct OptionsResult {
    int minimum = 0;
    int maximum = 0;
    // The search: a method of kMethods that finds words.
    tessaron::SearchMethod method = tessaron::SearchMethod::Trie;
    friend bool operator==(const OptionsResult&, const OptionsResult&) = default;
};

// "Options": the minimum and maximum repeat lengths, each an integer from 3
// to 256. The maximum is checked first; a failing field shows the message and
// takes the focus with its text selected. A minimum above the maximum is
// lowered to it. A list offers the search methods that find words (the
// trie's, the complete search, which the maximum does not cut). The choices
// are given back only on OK.
class COptionsDlg : public QDialog {
    Q_OBJECT

public:
    COptionsDlg(const OptionsResult& current, Prompts& prompts, QWidget* parent = nullptr);
    COptionsDlg(int minimum, int maximum, Prompts& prompts, QWidget* parent = nullptr)
        : COptionsDlg(OptionsResult{minimum, maximum}, prompts, parent)
    {
    }

    // Runs the dialog modally: the choices made, or nothing when cancelled.
    [[nodiscard]] static std::optional<OptionsResult> ask(const OptionsResult& current, Prompts& prompts,
                                                          QWidget* parent = nullptr);
    // What OK accepted; nothing before that.
    [[nodiscard]] const std::optional<OptionsResult>& chosen() const { return chosen_; }

    [[nodiscard]] QLineEdit* minimumField() const { return minimumField_; }  // 1052
    [[nodiscard]] QLineEdit* maximumField() const { return maximumField_; }  // 1053
    [[nodiscard]] QComboBox* methodBox() const { return methodBox_; }

public slots:
    void accept() override;

private:
    Prompts& prompts_;
    std::optional<OptionsResult> chosen_;
    QLineEdit* minimumField_;
    QLineEdit* maximumField_;
    QComboBox* methodBox_;
};
