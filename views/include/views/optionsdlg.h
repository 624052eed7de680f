#pragma once

#include <QDialog>

class QLineEdit;

// "Options": the minimum and maximum repeat lengths, each an integer from 3
// to 256. The maximum is checked first; a failing field shows the message and
// takes the focus with its text selected. A minimum above the maximum is
// lowered to it. The caller's values change only on OK.
class COptionsDlg : public QDialog {
    Q_OBJECT

public:
    COptionsDlg(int& minimum, int& maximum, QWidget* parent = nullptr);

    [[nodiscard]] QLineEdit* minimumField() const { return minimumField_; }  // 1052
    [[nodiscard]] QLineEdit* maximumField() const { return maximumField_; }  // 1053

public slots:
    void accept() override;

private:
    int& callerMinimum_;
    int& callerMaximum_;
    QLineEdit* minimumField_;
    QLineEdit* maximumField_;
};
