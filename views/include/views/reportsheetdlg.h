#pragma once

// The report sheet: a fixed-size modal window whose one child is the
// spreadsheet, showing the summary of an analysis, the listing of one kind of
// repeat or a comparison of genomes. The window only writes into the sheet and
// never changes the data it is given.

#include "views/webcalc.h"

#include "engine/repeatlist.h"

#include <QDialog>
#include <QString>

namespace tessaron {
class Genome;
class RepeatList;
struct GenomeComparison;
struct SheetLayout;
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
    // The data must live until the sheet has been filled.
    void SetReportContent(const tessaron::Genome& genome, const tessaron::RepeatList& direct,
                          const tessaron::RepeatList& inverted, const tessaron::RepeatList& mirror,
                          const tessaron::RepeatList& complementary);
    void SetKindContent(const tessaron::RepeatList& list, tessaron::RepeatKind kind,
                        const tessaron::Genome& genome);
    void SetCompareContent(const tessaron::GenomeComparison& comparison);

    // Writes the content into the sheet and forgets it, so that each content
    // is written once; false (writing nothing) when no content was set.
    bool Fill();
    // Fills the sheet unless Fill() already did and runs the window modally;
    // returns 0 at once, without showing it, when no content was ever set.
    int exec() override;

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
    const tessaron::Genome* genome_ = nullptr;
    const tessaron::RepeatList* direct_ = nullptr;
    const tessaron::RepeatList* inverted_ = nullptr;
    const tessaron::RepeatList* mirror_ = nullptr;
    const tessaron::RepeatList* complementary_ = nullptr;
    const tessaron::RepeatList* listed_ = nullptr;
    const tessaron::GenomeComparison* comparison_ = nullptr;
    QString caption_;
    tessaron::RepeatKind kind_ = tessaron::RepeatKind::Direct;
    CWebCalc* sheet_ = nullptr;
};
