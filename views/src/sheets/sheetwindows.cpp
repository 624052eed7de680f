#include "views/sheets/sheetwindows.h"

#include "charts/chartpanel.h"
#include "input/filesave.h"
#include "session/session.h"
#include "session/sessioncontrols.h"
#include "views/base/jobstatus.h"
#include "views/base/printcommands.h"
#include "views/base/prompts.h"
#include "views/base/settingsstore.h"
#include "views/dialogs/randomcontrolsdlg.h"
#include "views/sheets/reportsheetdlg.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QWidget>

#include <utility>
#include <variant>

SheetWindows::SheetWindows(QWidget* window, Prompts& prompts, SettingsStore& settings, JobStatus& jobs,
                           const tessaron::Session& session)
    : QObject(window), window_(window), prompts_(prompts), settings_(settings), jobs_(jobs), session_(session)
{
    setObjectName(QStringLiteral("sheetWindows"));
}

void SheetWindows::showReport(const tessaron::Analysis& analysis)
{
    auto* sheet = new CReportSheetDlg(window_, settings_.colourScheme());
    sheet->SetReportContent(analysis);
    show(sheet, true);
    if (approximateCounts_) {
        showApproximateReport(*approximateCounts_);
    }
}

void SheetWindows::showApproximateReport(const tessaron::ApproximateClassCounts& counts)
{
    auto* sheet = new CReportSheetDlg(window_, settings_.colourScheme());
    sheet->SetApproximateContent(counts);
    show(sheet, true);
    sheet->chartAction()->setChecked(true);
}

void SheetWindows::showListing(std::shared_ptr<const tessaron::RepeatSnapshot> snapshot)
{
    auto* sheet = new CReportSheetDlg(window_, settings_.colourScheme());
    sheet->SetKindContent(std::move(snapshot));
    sheet->Fill();
    show(sheet, true);
}

void SheetWindows::showControls(const tessaron::ControlReport& report)
{
    auto* sheet = new CReportSheetDlg(window_, settings_.colourScheme());
    sheet->SetControlsContent(report);
    show(sheet, true);
    sheet->chartAction()->setChecked(true);
}

void SheetWindows::runControls(tessaron::SearchMethod method)
{
    const std::optional<CControlsDlg::Choice> chosen = CControlsDlg::ask(window_);
    if (!chosen) {
        return;
    }
    tessaron::ControlSettings settings;
    settings.replicates = chosen->replicates;
    settings.seed = chosen->seed;
    using Outcome = std::variant<tessaron::ControlReport, tessaron::SearchFailure>;
    jobs_.show(tr("Analysing %1 random sequences...").arg(settings.replicates));
    jobs_.run<Outcome>(
        [state = session_.state(), method, settings](const std::stop_token& stop,
                                                     const JobRunner::Reporter<double>& report) -> Outcome {
            return tessaron::runSessionControls(state, method, settings,
                                                tessaron::SearchControl{stop, report});
        },
        [this](const Outcome& outcome) {
            jobs_.clear();
            if (const auto* failure = std::get_if<tessaron::SearchFailure>(&outcome)) {
                if (*failure != tessaron::SearchFailure::Cancelled) {
                    prompts_.message(window_, applicationName(), tr("Looks like we're out of memory..."),
                                     Prompts::Icon::None);
                }
                return;
            }
            showControls(std::get<tessaron::ControlReport>(outcome));
        });
}

void SheetWindows::showComparison(const tessaron::GenomeComparison& comparison)
{
    auto* sheet = new CReportSheetDlg(window_, settings_.colourScheme());
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

QString SheetWindows::chooseSaveFile(QWidget* parent, const QString& caption, const QString& filter,
                                     const QString& name)
{
    const QString folder = settings_.lastFolder();
    QString start = folder;
    if (!name.isEmpty()) {
        start = folder.isEmpty() ? name : QDir(folder).filePath(name);
    }
    const QString path = settings_.keepFolderOf(prompts_.saveFile(parent, caption, filter, start));
    // Never over the genome being shown.
    if (const auto refusal =
            tessaron::outputIsInput(QFile::encodeName(path).toStdString(), {session_.state().file})) {
        prompts_.message(parent, applicationName(), QString::fromStdString(*refusal), Prompts::Icon::Warning);
        return QString();
    }
    return path;
}

void SheetWindows::show(CReportSheetDlg* sheet, bool followsGenome)
{
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    // The files are named after the window's title, which names the genome and the search.
    const auto chooseFile = [this, sheet](QWidget* parent, const QString& caption, const QString& filter) {
        return chooseSaveFile(
            parent, caption, filter,
            fileNameOf(sheet->windowTitle().isEmpty() ? QStringLiteral("report") : sheet->windowTitle()));
    };
    const auto reportError = [this](QWidget* parent, const QString& text) {
        prompts_.message(parent, applicationName(), text, Prompts::Icon::Warning);
    };
    sheet->sheet()->setFileChooser(chooseFile);
    sheet->sheet()->setErrorReporter(reportError);
    sheet->chart()->setFileChooser(chooseFile);
    sheet->chart()->setErrorReporter(reportError);
    jobs_.lead(sheet->sheet()->exporter());
    if (followsGenome) {
        std::erase_if(genomeSheets_, [](const QPointer<CReportSheetDlg>& open) { return open.isNull(); });
        genomeSheets_.emplace_back(sheet);
    }
    if (!sheet->showSheet()) {
        sheet->deleteLater();
        return;
    }
    if (followsGenome) {
        // The title the content gave (none for the summary), then the genome's name and its search.
        const QString genome = genomeAndSearch(QString::fromStdString(session_.state().name),
                                               session_.minimum(), session_.maximum(), session_.method());
        const QString title = sheet->windowTitle();
        sheet->setWindowTitle(title.isEmpty() ? genome : QStringLiteral("%1 - %2").arg(title, genome));
    }
    addPrinting(sheet);
}

void SheetWindows::addPrinting(CReportSheetDlg* sheet)
{
    // The table as shown, under the window's title, which names what it is.
    CWebCalc* table = sheet->sheet();
    auto maker = [table, sheet](QString&) { return tableDocument(*table, sheet->windowTitle()); };
    auto chooser = [this](QWidget* parent, const QString& proposed) {
        return settings_.keepFolderOf(
            prompts_.saveFile(parent, tr("Export PDF"), tr("PDF document (*.pdf)"), proposed));
    };
    auto reporter = [this](QWidget* parent, const QString& text) {
        prompts_.message(parent, applicationName(), text, Prompts::Icon::Warning);
    };
    auto name = [this, sheet] {
        const QString file = fileNameOf(sheet->windowTitle()) + QStringLiteral(".pdf");
        return settings_.lastFolder().isEmpty() ? file : QDir(settings_.lastFolder()).filePath(file);
    };
    auto* printing =
        new PrintCommands(table, std::move(maker), std::move(chooser), std::move(reporter), std::move(name));
    table->addAction(printing->printAction());
    table->addAction(printing->pdfAction());
}
