#include "views/commands/microsatellitecommands.h"

#include "compare/repeatsection.h"
#include "report/microsatellitereport.h"
#include "report/repeatsectionlayout.h"
#include "session/session.h"
#include "views/base/jobstatus.h"
#include "views/base/menucommand.h"
#include "views/base/prompts.h"
#include "views/base/settingsstore.h"
#include "views/commands/windowparts.h"
#include "views/dialogs/comparedlg.h"
#include "views/dialogs/microsatellitedlg.h"
#include "views/maps/mapwindow.h"
#include "views/maps/mapwindowholder.h"
#include "views/results/repeattreemodel.h"
#include "views/results/resultstree.h"
#include "views/sheets/repeatsummarydlg.h"
#include "views/sheets/sheetview.h"
#include "views/sheets/sheetwindows.h"

#include <QAction>
#include <QMenu>

#include <memory>
#include <variant>

namespace {

QString outOfMemory()
{
    return QObject::tr("Looks like we're out of memory...");
}

}  // namespace

MicrosatelliteCommands::MicrosatelliteCommands(const WindowParts& parts)
    : QObject(&parts.window),
      session_(parts.session),
      tree_(parts.tree),
      jobs_(parts.jobs),
      maps_(parts.maps),
      settings_(parts.settings),
      prompts_(parts.prompts),
      sheets_(parts.sheets),
      window_(&parts.window)
{
    setObjectName(QStringLiteral("microsatelliteCommands"));
    session_.setMicrosatelliteSettings(settings_.microsatellites());
    connect(&jobs_, &JobStatus::busyChanged, this, &MicrosatelliteCommands::updateCommands);
    connect(&maps_, &MapWindowHolder::opened, this, [this](CDiagramDlg* map) { showOnMap(*map); });
    connect(&parts.events, &WindowEvents::adopted, this, &MicrosatelliteCommands::adopted);
}

CRepeatSummaryDlg* MicrosatelliteCommands::summary() const
{
    return summary_;
}

void MicrosatelliteCommands::addCommands(QMenu* edit, QMenu* view, int after)
{
    settingsAction_ = addMenuCommand(edit, "microsatelliteOptions", tr("&Microsatellites..."), true);
    connect(settingsAction_, &QAction::triggered, this, &MicrosatelliteCommands::chooseSettings);
    summaryAction_ = addMenuCommand(view, "repeatSummary", tr("Repeat &summary"), false);
    const QList<QAction*> actions = view->actions();
    for (qsizetype i = 0; i + 1 < actions.size(); ++i) {
        if (actions[i]->data().toInt() == after) {
            view->insertAction(actions[i + 1], summaryAction_);
            break;
        }
    }
    connect(summaryAction_, &QAction::triggered, this, &MicrosatelliteCommands::showRepeatSummary);
    updateCommands();
}

void MicrosatelliteCommands::updateCommands()
{
    if (summaryAction_ == nullptr) {
        return;
    }
    const bool busy = jobs_.busy();
    settingsAction_->setEnabled(!busy);
    summaryAction_->setEnabled(!busy && session_.analysed());
}

void MicrosatelliteCommands::adopted()
{
    if (summary_ != nullptr) {
        summary_->close();
    }
    updateCommands();
}

void MicrosatelliteCommands::select(const QModelIndex& item)
{
    if (const tessaron::Microsatellite* found = tree_.results().microsatelliteAt(item)) {
        session_.highlights().selectMicrosatellite(*found, session_.genome().length());
    } else {
        session_.highlights().clear();
    }
}

void MicrosatelliteCommands::showOnMap(CDiagramDlg& map) const
{
    map.ShowMicrosatellites(session_.microsatellites().get());
}

void MicrosatelliteCommands::chooseSettings()
{
    const auto chosen = CMicrosatelliteDlg::ask(session_.microsatelliteSettings(), prompts_, window_);
    if (!chosen) {
        return;
    }
    settings_.saveMicrosatellites(*chosen);
    session_.setMicrosatelliteSettings(*chosen);
    if (!session_.analysed() || jobs_.busy()) {
        return;  // the next analysis finds them
    }
    jobs_.show(tr("Finding microsatellites..."));
    jobs_.run(session_.microsatelliteSearch(*chosen), [this](tessaron::JobResult result) {
        jobs_.clear();
        if (!result.state) {
            if (result.error != tessaron::JobError::Cancelled) {
                prompts_.message(window_, applicationName(), outOfMemory(), Prompts::Icon::None);
            }
            return;
        }
        if (session_.sharedGenome() != result.state->genome) {
            return;  // another genome came meanwhile, with microsatellites of its own
        }
        session_.adopt(std::move(*result.state));
        tree_.results().refresh<MicrosatelliteBranch>(session_.state());
        adopted();
        if (CDiagramDlg* map = maps_.open()) {
            showOnMap(*map);
        }
    });
}

void MicrosatelliteCommands::showRepeatSummary()
{
    if (!session_.analysed() || jobs_.busy()) {
        return;
    }
    jobs_.show(tr("Counting repeats for the summary..."));
    jobs_.run<tessaron::RepeatSectionResult>(
        [genome = session_.sharedGenome(), settings = session_.microsatelliteSettings()](
            const std::stop_token& stop, const JobRunner::Reporter<double>& report) {
            return tessaron::analyseRepeatSection(*genome, settings, {stop, report});
        },
        [this](tessaron::RepeatSectionResult result) {
            jobs_.clear();
            if (const auto* failure = std::get_if<tessaron::SearchFailure>(&result)) {
                if (*failure != tessaron::SearchFailure::Cancelled) {
                    prompts_.message(window_, applicationName(), outOfMemory(), Prompts::Icon::None);
                }
                return;
            }
            const auto& section = std::get<tessaron::RepeatSection>(result);
            summary_ = showSheet(tessaron::repeatSectionLayout(section),
                                 tessaron::repeatSectionFigure(section, settings_.colourScheme()));
        });
}

void MicrosatelliteCommands::offerTo(CCompareDlg& dialog)
{
    dialog.setMicrosatelliteViewer(session_.microsatelliteSettings(),
                                   [this](const tessaron::MicrosatelliteComparison& comparison) {
                                       showSheet(tessaron::microsatelliteComparisonLayout(comparison),
                                                 tessaron::microsatelliteComparisonFigure(comparison));
                                   });
}

CRepeatSummaryDlg* MicrosatelliteCommands::showSheet(const tessaron::SheetLayout& layout,
                                                     tessaron::BarFigure figure)
{
    auto* sheet = new CRepeatSummaryDlg(window_);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    const auto chooseFile = [this](QWidget* parent, const QString& caption, const QString& filter) {
        return sheets_.chooseSaveFile(parent, caption, filter);
    };
    const auto reportError = [this](QWidget* parent, const QString& text) {
        prompts_.message(parent, applicationName(), text, Prompts::Icon::Warning);
    };
    sheet->sheet()->setFileChooser(chooseFile);
    sheet->sheet()->setErrorReporter(reportError);
    sheet->figure()->setFileChooser(chooseFile);
    sheet->figure()->setErrorReporter(reportError);
    jobs_.lead(sheet->sheet()->exporter());
    sheet->setContent(layout, std::move(figure));
    sheet->show();
    return sheet;
}
