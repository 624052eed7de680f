#pragma once

#include "compare/comparisonrun.h"
#include "compare/genomecomparison.h"
#include "engine/repeatkinds.h"
#include "engine/searchmethod.h"
#include "views/base/jobrunner.h"

#include <QDialog>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class Prompts;
class QComboBox;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

// "Compare genomes": a list of genome files, the kind of repeat to count in
// each and the lengths in use. OK reads and analyses the files in parallel,
// each in a genome of its own (every record of a file is a row), counts the
// pairs of the chosen kind per length and hands the table to the sheet
// viewer; the progress bar advances by 10 per file. The run goes on off the
// window's thread, so the program keeps painting; Cancel (or closing) stops
// it and leaves the dialog open. With no files, or no kind chosen, the dialog
// says so and stays open; a file that cannot be read ends the run with a
// message naming the file and the reason, and the dialog stays open with its
// list. With a method that finds pairs longer than the maximum (the complete
// search) they are counted in a last column. Once a viewer of
// microsatellites is set, a last item "Microsatellites" compares those
// instead, without an index.
class CCompareDlg : public QDialog {
    Q_OBJECT

public:
    // Shows a finished comparison; called before the dialog closes.
    using SheetViewer = std::function<void(const tessaron::GenomeComparison&)>;
    using MicrosatelliteViewer = std::function<void(const tessaron::MicrosatelliteComparison&)>;

    // The files are chosen and the failures told through `prompts`.
    CCompareDlg(int minimum, int maximum, Prompts& prompts, QWidget* parent = nullptr);

    // The kinds in the order of the "Compare what:" list: complementary
    // comes before mirror.
    static constexpr std::array<tessaron::RepeatKind, tessaron::kRepeatKindCount> kKindItems{
        tessaron::RepeatKind::Direct, tessaron::RepeatKind::Inverted, tessaron::RepeatKind::Complementary,
        tessaron::RepeatKind::Mirror};
    // The kind of a place in the list; nothing outside it.
    [[nodiscard]] static std::optional<tessaron::RepeatKind> kindOfItem(int item);

    void setMethod(tessaron::SearchMethod method) { method_ = method; }
    void setSheetViewer(SheetViewer viewer) { sheetViewer_ = std::move(viewer); }
    // Adds the item "Microsatellites", compared under `settings`.
    void setMicrosatelliteViewer(const tessaron::MicrosatelliteSettings& settings,
                                 MicrosatelliteViewer viewer);
    // Runs the comparison inside accept() (tests).
    void setInlineJobs(bool runInline) { jobs_->setInlineJobs(runInline); }
    // Its runner, to follow the window's (JobStatus::lead).
    [[nodiscard]] JobRunner& runner() { return *jobs_; }
    [[nodiscard]] bool busy() const { return jobs_->busy(); }

    [[nodiscard]] QListWidget* fileList() const { return fileList_; }          // 1063
    [[nodiscard]] QComboBox* kindList() const { return kindList_; }            // 1071
    [[nodiscard]] QLineEdit* sizeText() const { return sizeText_; }            // 1068
    [[nodiscard]] QProgressBar* progressBar() const { return progressBar_; }   // 1066
    [[nodiscard]] QPushButton* addButton() const { return addButton_; }        // 1064
    [[nodiscard]] QPushButton* removeButton() const { return removeButton_; }  // 1065
    [[nodiscard]] QPushButton* okButton() const { return okButton_; }          // 1
    [[nodiscard]] QPushButton* cancelButton() const { return cancelButton_; }  // 2

public slots:
    void OnAddFile();
    void OnRemoveFile();
    // The comparison run.
    void accept() override;
    // During a run: stops it, the dialog staying open; otherwise closes.
    void reject() override;

private:
    // Tells why a run gave no table; the dialog stays open with its list.
    void reportFailure(const tessaron::ComparisonFailure& failure);
    void compareMicrosatellites(std::vector<std::filesystem::path> files);

    int minimum_;
    int maximum_;
    tessaron::SearchMethod method_ = tessaron::SearchMethod::Trie;
    Prompts& prompts_;
    SheetViewer sheetViewer_;
    tessaron::MicrosatelliteSettings microsatelliteSettings_;
    MicrosatelliteViewer microsatelliteViewer_;

    QListWidget* fileList_;
    QComboBox* kindList_;
    QLineEdit* sizeText_;
    QProgressBar* progressBar_;
    QPushButton* addButton_;
    QPushButton* removeButton_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
    std::unique_ptr<JobRunner> jobs_;
};
