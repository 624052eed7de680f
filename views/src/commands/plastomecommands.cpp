#include "views/commands/plastomecommands.h"

#include "report/plastomeannotation.h"
#include "session/session.h"
#include "views/base/jobstatus.h"
#include "views/commands/windowparts.h"
#include "views/maps/mapwindow.h"
#include "views/maps/mapwindowholder.h"
#include "views/maps/plastomewindow.h"
#include "views/sequence/sequenceview.h"

#include <QAction>
#include <QMenu>

#include <algorithm>
#include <memory>
#include <stop_token>
#include <vector>

PlastomeCommands::PlastomeCommands(const WindowParts& parts)
    : QObject(&parts.window),
      session_(parts.session),
      jobs_(parts.jobs),
      pane_(parts.pane),
      maps_(parts.maps),
      owner_(&parts.window)
{
    setObjectName(QStringLiteral("plastomeCommands"));
    connect(&jobs_, &JobStatus::busyChanged, this, &PlastomeCommands::updateCommand);
    connect(&parts.events, &WindowEvents::adopted, this, [this] {
        if (window_ != nullptr) {
            window_->close();
        }
        updateCommand();
    });
}

CPlastomeDlg* PlastomeCommands::window() const
{
    return window_;
}

void PlastomeCommands::addCommand(QMenu* view)
{
    action_ = addMenuCommand(view, "plastomeStructure", tr("P&lastome structure"), false);
    connect(action_, &QAction::triggered, this, &PlastomeCommands::showStructure);
    updateCommand();
}

void PlastomeCommands::updateCommand()
{
    if (action_ != nullptr) {
        action_->setEnabled(!jobs_.busy() && session_.loaded() && session_.genome().length() > 0);
    }
}

void PlastomeCommands::showStructure()
{
    if (jobs_.busy() || !session_.loaded()) {
        return;
    }
    jobs_.show(tr("Finding the plastome's four parts..."));
    auto features =
        std::make_shared<const tessaron::FeatureList>(session_.features().value_or(tessaron::FeatureList{}));
    jobs_.run<tessaron::PlastomeAnalysis>(
        [genome = session_.sharedGenome(), features](const std::stop_token&,
                                                     const JobRunner::Reporter<double>&) {
            tessaron::PlastomeAnalysis analysis;
            analysis.name = genome->title();
            analysis.structure = tessaron::findPlastomeStructure(genome->sequence());
            analysis.genes = tessaron::junctionGenes(analysis.structure, *features);
            return analysis;
        },
        [this](tessaron::PlastomeAnalysis analysis) {
            jobs_.clear();
            if (window_ != nullptr) {
                window_->close();
            }
            auto* shown = new CPlastomeDlg(owner_, std::move(analysis));
            shown->setAttribute(Qt::WA_DeleteOnClose);
            connect(shown, &CPlastomeDlg::regionChosen, this, &PlastomeCommands::select);
            window_ = shown;
            shown->show();
        });
}

void PlastomeCommands::select(std::int64_t start, std::int64_t length)
{
    const int total = pane_.textLength();
    if (total <= 0 || start < 0 || start >= total) {
        return;
    }
    const auto first = static_cast<int>(start);
    const auto count = static_cast<int>(std::min<std::int64_t>(length, total));
    if (first + count <= total) {
        pane_.select(first + count, first);
    } else {
        pane_.selectParts({{first, total}, {0, first + count - total}});
    }
    pane_.ensureVisible(first, std::min(count, total - first));
    if (CDiagramDlg* map = maps_.open()) {
        map->markStretch(tessaron::MapStretch{first, count});
    }
}
