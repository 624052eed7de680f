#pragma once

#include "compare/genomecomparison.h"
#include "engine/genome.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

// "Compare genomes": a list of GenBank files, the kind of repeat to count in
// each and the lengths in use. OK reads every file into the given genome in
// turn, indexes it, counts the pairs of the chosen kind per length and hands
// the table to the sheet viewer; the progress bar advances by 10 per file.
// With no files, or no kind chosen, the dialog says so and stays open; a file
// the GenBank reader rejects ends the run and the dialog without a table.
class CCompareDlg : public QDialog {
    Q_OBJECT

public:
    // Shows a finished comparison; called before the dialog closes.
    using SheetViewer = std::function<void(const tessaron::GenomeComparison&)>;

    CCompareDlg(int minimum, int maximum, tessaron::Genome& genome, QWidget* parent = nullptr);

    void setSheetViewer(SheetViewer viewer) { sheetViewer_ = std::move(viewer); }

    [[nodiscard]] QListWidget* fileList() const { return fileList_; }        // 1063
    [[nodiscard]] QComboBox* kindList() const { return kindList_; }          // 1071
    [[nodiscard]] QLineEdit* sizeText() const { return sizeText_; }          // 1068
    [[nodiscard]] QProgressBar* progressBar() const { return progressBar_; }  // 1066
    [[nodiscard]] QPushButton* addButton() const { return addButton_; }      // 1064
    [[nodiscard]] QPushButton* removeButton() const { return removeButton_; }  // 1065
    [[nodiscard]] QPushButton* okButton() const { return okButton_; }        // 1
    [[nodiscard]] QPushButton* cancelButton() const { return cancelButton_; }  // 2

public slots:
    void OnAddFile();
    void OnRemoveFile();
    // The comparison run.
    void accept() override;

private:
    int minimum_;
    int maximum_;
    tessaron::Genome& genome_;
    SheetViewer sheetViewer_;

    QListWidget* fileList_;
    QComboBox* kindList_;
    QLineEdit* sizeText_;
    QProgressBar* progressBar_;
    QPushButton* addButton_;
    QPushButton* removeButton_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};
