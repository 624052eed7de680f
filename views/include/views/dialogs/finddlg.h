#pragma once

#include <QDialog>
#include <QString>

#include <optional>

class Prompts;
class QCheckBox;
class QLineEdit;

// "Find": one motif of A, T, C and G. On "Find" the text is turned to upper
// case in the field; any other letter shows "Accepted symbols are only A, T,
// C or G" (caption "Error!") and the dialog stays open. An empty motif is
// accepted. The motif is given back only on a valid OK. A check box asks
// for the reverse complement strand to be searched too.
class CFindDlg : public QDialog {
    Q_OBJECT

public:
    CFindDlg(const QString& motif, Prompts& prompts, QWidget* parent = nullptr);

    // Runs the dialog modally: the motif accepted (upper case, perhaps
    // empty), or nothing when cancelled.
    [[nodiscard]] static std::optional<QString> ask(const QString& motif, Prompts& prompts,
                                                    QWidget* parent = nullptr);
    // The same, with the check box starting at `*bothStrands` and its state
    // written back on a valid OK.
    [[nodiscard]] static std::optional<QString> ask(const QString& motif, bool* bothStrands, Prompts& prompts,
                                                    QWidget* parent = nullptr);
    // What a valid OK accepted; nothing before that.
    [[nodiscard]] const std::optional<QString>& chosen() const { return chosen_; }

    [[nodiscard]] QLineEdit* motifField() const { return motifField_; }  // 1073
    [[nodiscard]] QCheckBox* bothStrandsBox() const { return bothStrandsBox_; }

public slots:
    void accept() override;

private:
    Prompts& prompts_;
    std::optional<QString> chosen_;
    QLineEdit* motifField_;
    QCheckBox* bothStrandsBox_;
};
