#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

// "Find": one motif of A, T, C and G. On "Find" the text is turned to upper
// case in the field; any other letter shows "Accepted symbols are only A, T,
// C or G" (caption "Error!") and the dialog stays open. An empty motif is
// accepted. The caller's text changes only on a valid OK.
class CFindDlg : public QDialog {
    Q_OBJECT

public:
    CFindDlg(QString& motif, QWidget* parent = nullptr);

    [[nodiscard]] QLineEdit* motifField() const { return motifField_; }  // 1073

public slots:
    void accept() override;

private:
    QString& callerMotif_;
    QLineEdit* motifField_;
};
