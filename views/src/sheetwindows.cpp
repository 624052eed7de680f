#include "views/sheetwindows.h"

#include "charts/chartpanel.h"
#include "session/session.h"
#include "views/jobstatus.h"
#include "views/prompts.h"
#include "views/reportsheetdlg.h"
#include "views/settingsstore.h"

#include <QAction>
#include <QWidget>

#include <utility>

SheetWindows::SheetWindows(QWidget* window, Prompts& prompts, SettingsStore& settings, const JobStatus& jobs,
                           const tessaron::Session& session)
    : QObject(window), window_(window), prompts_(prompts), settings_(settings), jobs_(jobs), session_(session)
{
    setObjectName(QStringLiteral("sheetWindows"));
}

void SheetWindows::showReport(const tessaron::Analysis& analysis)
{
    auto* sheet = new CReportSheetDlg(window_);
    sheet->SetReportContent(analysis);
    show(sheet, true);
}

void SheetWindows::showListing(std::shared_ptr<const tessaron::RepeatSnapshot> snapshot)
{
    auto* sheet = new CReportSheetDlg(window_);
    sheet->SetKindContent(std::move(snapshot));
    sheet->Fill();
    show(sheet, true);
}

void SheetWindows::showControls(const tessaron::ControlReport& report)
{
    auto* sheet = new CReportSheetDlg(window_);
    sheet->SetControlsContent(report);
    show(sheet, true);
    sheet->chartAction()->setChecked(true);
}

void SheetWindows::showComparison(const tessaron::GenomeComparison& comparison)
{
    auto* sheet = new CReportSheetDlg(window_);
    sheet->SetCompareContent(comparison);
    show(sheet, false);
}

void SheetWindows::closeGenomeSheets()
{
    for (const QPointer<CReportSheetDlg>& sheet : std::exchange(genomeSheets_, {})) {
        if (sheet) {
            sheet->close();
        }
    }
}

void SheetWindows::show(CReportSheetDlg* sheet, bool followsGenome)
{
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    const auto chooseFile = [this](QWidget* parent, const QString& caption, const QString& filter) {
        return settings_.keepFolderOf(prompts_.saveFile(parent, caption, filter, settings_.lastFolder()));
    };
    const auto reportError = [this](QWidget* parent, const QString& text) {
        prompts_.message(parent, applicationName(), text, Prompts::Icon::Warning);
    };
    sheet->sheet()->setFileChooser(chooseFile);
    sheet->sheet()->setErrorReporter(reportError);
    sheet->chart()->setFileChooser(chooseFile);
    sheet->chart()->setErrorReporter(reportError);
    sheet->sheet()->setInlineExport(jobs_.inlineJobs());
    if (followsGenome) {
        std::erase_if(genomeSheets_, [](const QPointer<CReportSheetDlg>& open) { return open.isNull(); });
        genomeSheets_.emplace_back(sheet);
    }
    if (!sheet->showSheet()) {
        sheet->deleteLater();
        return;
    }
    if (followsGenome) {
        // The title the content gave (none for the summary), then the genome's name.
        const QString genome = QString::fromStdString(session_.state().name);
        const QString title = sheet->windowTitle();
        sheet->setWindowTitle(title.isEmpty() ? genome : QStringLiteral("%1 - %2").arg(title, genome));
    }
}
