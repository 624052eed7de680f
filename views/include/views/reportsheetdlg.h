#pragma once

// The report sheet: a fixed-size modal window whose one child is the
// spreadsheet, showing the summary of an analysis, the listing of one kind of
// repeat or a comparison of genomes. The summary and the comparison are
// written into the sheet; the listing, which may run to millions of rows, is
// shown through a model that makes its rows as they come into view. The
// window never changes the data it is given.

#include "views/webcalc.h"

#include "engine/repeatsnapshot.h"
#include "report/reportlayout.h"

#include <QDialog>
#include <QString>

#include <memory>

namespace tessaron {
struct Analysis;
struct GenomeComparison;
}  // namespace tessaron

class CReportSheetDlg : public QDialog {
    Q_OBJECT

public:
    // 365 x 255 dialog units of the system font.
    static constexpr int kWidth = 730;
    static constexpr int kHeight = 510;

    explicit CReportSheetDlg(QWidget* parent = nullptr);

    // Exactly one content is set before the window is shown; when more are,
    // the comparison wins over the listing and the listing over the summary.
    // The comparison must live until the sheet has been filled; the results
    // are shared. The summary needs all four kinds.
    void SetReportContent(const tessaron::Analysis& analysis);
    void SetKindContent(std::shared_ptr<const tessaron::RepeatSnapshot> snapshot);
    void SetCompareContent(const tessaron::GenomeComparison& comparison);

    // Writes the content into the sheet and forgets it, so that each content
    // is written once; false (writing nothing) when no content was set.
    bool Fill();
    // Fills the sheet unless Fill() already did and runs the window modally;
    // returns 0 at once, without showing it, when no content was ever set.
    int exec() override;
    // Esc or the close box: a CSV being saved is given up first, then the window closes.
    void reject() override;

    [[nodiscard]] CWebCalc* sheet() const { return sheet_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void write(const tessaron::SheetLayout& layout);
    void clearContent();

    bool hasContent_ = false;
    bool filled_ = false;
    bool listingMode_ = false;
    bool comparisonMode_ = false;
    int summaryMinLength_ = 0;
    tessaron::PairCountsByKind summaryCounts_;
    std::shared_ptr<const tessaron::RepeatSnapshot> listed_;
    const tessaron::GenomeComparison* comparison_ = nullptr;
    CWebCalc* sheet_ = nullptr;
};
