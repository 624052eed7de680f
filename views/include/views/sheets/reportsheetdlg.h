#pragma once

// The report sheet: a resizable window whose table is the spreadsheet,
// showing the summary of an analysis, the listing of one kind of repeat, a
// comparison of genomes or an analysis beside its random controls. The
// summary, the comparison and the controls are written into the sheet; the
// listing, which may run to millions of rows, is shown through a model that
// makes its rows as they come into view. Beside the table, the summary, the
// comparison and the controls have a chart of their pairs per length ("Show
// chart"). The window never changes the data it is given.

#include "views/sheets/sheetview.h"

#include "compare/controls.h"
#include "compare/genomecomparison.h"
#include "engine/approximatesearch.h"
#include "engine/repeatsnapshot.h"
#include "palette/colourscheme.h"
#include "report/reportlayout.h"

#include <QDialog>
#include <QString>

#include <memory>
#include <optional>

class ChartPanel;
class QAction;
class QSplitter;

namespace tessaron {
struct Analysis;
}  // namespace tessaron

class CReportSheetDlg : public QDialog {
    Q_OBJECT

public:
    // The first size: 365 x 255 dialog units of the system font.
    static constexpr int kWidth = 730;
    static constexpr int kHeight = 510;
    // The chart's width beside the table.
    static constexpr int kChartWidth = 560;

    // The kinds' lines of its chart in `colours`.
    explicit CReportSheetDlg(QWidget* parent = nullptr,
                             const tessaron::ColourScheme& colours = tessaron::kStandardColours);

    // Exactly one content is set before the window is shown; when more are,
    // the controls win over the comparison, the comparison over the listing
    // and the listing over the summary. The results are shared; the
    // comparison and the controls are copied. The summary needs all four kinds.
    void SetReportContent(const tessaron::Analysis& analysis);
    void SetKindContent(std::shared_ptr<const tessaron::RepeatSnapshot> snapshot);
    void SetCompareContent(const tessaron::GenomeComparison& comparison);
    void SetControlsContent(const tessaron::ControlReport& report);
    // The approximate search's pairs per kind and length class, with their
    // chart; it wins over the listing and the summary.
    void SetApproximateContent(const tessaron::ApproximateClassCounts& counts);

    // Writes the content into the sheet and forgets it, so that each content
    // is written once; false (writing nothing) when no content was set.
    bool Fill();
    // Fills the sheet unless Fill() already did and shows the window without
    // blocking the others; false, without showing it, when no content was
    // ever set.
    bool showSheet();
    // As showSheet(), but modally; returns 0 at once when there is no content.
    int exec() override;
    // Esc or the close box: a CSV being saved is given up first, then the window closes.
    void reject() override;

    [[nodiscard]] CWebCalc* sheet() const { return sheet_; }
    // The chart beside the table, hidden until "Show chart"; it has no data
    // for a listing.
    [[nodiscard]] ChartPanel* chart() const { return chart_; }
    [[nodiscard]] QAction* chartAction() const { return chartAction_; }
    [[nodiscard]] bool hasChart() const { return hasChart_; }

private:
    void write(const tessaron::SheetLayout& layout);
    void writeControls(const tessaron::ControlReport& report);
    void showChart(bool shown);
    void clearContent();

    bool hasContent_ = false;
    bool filled_ = false;
    bool listingMode_ = false;
    bool hasChart_ = false;
    int summaryMinLength_ = 0;
    int summaryMaxLength_ = 0;  // the maximum setting; the complete search finds longer words
    tessaron::PairCountsByKind summaryCounts_;
    std::shared_ptr<const tessaron::RepeatSnapshot> listed_;
    std::optional<tessaron::GenomeComparison> comparison_;
    std::optional<tessaron::ControlReport> controls_;
    std::optional<tessaron::ApproximateClassCounts> approximate_;
    tessaron::ColourScheme colours_;
    QSplitter* splitter_ = nullptr;
    QWidget* tablePane_ = nullptr;
    CWebCalc* sheet_ = nullptr;
    ChartPanel* chart_ = nullptr;
    QAction* chartAction_ = nullptr;
};
