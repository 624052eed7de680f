#include "views/commands/repeatexporter.h"

#include "views/commands/windowparts.h"

#include "session/repeatexport.h"
#include "session/repeatsubset.h"
#include "views/base/jobstatus.h"
#include "views/base/menucommand.h"
#include "views/base/prompts.h"
#include "views/base/qtstrings.h"
#include "views/base/settingsstore.h"
#include "views/results/repeattreemodel.h"
#include "views/results/resultstree.h"

#include <QAction>
#include <QMenu>

#include <filesystem>
#include <string>

RepeatExporter::RepeatExporter(const WindowParts& parts) : QObject(&parts.window), parts_(parts)
{
    setObjectName(QStringLiteral("repeatExporter"));
}

void RepeatExporter::addCommands(QMenu* file, int exportAll)
{
    QAction* all = addMenuCommand(file, exportAll, tr("&Export repeats..."), false);
    connect(all, &QAction::triggered, this, &RepeatExporter::exportAll);
    QAction* selected = addMenuCommand(file, "exportSelected", tr("Export se&lected repeats..."), false);
    connect(selected, &QAction::triggered, this, &RepeatExporter::exportSelected);
    connect(all, &QAction::changed, selected, [all, selected] { selected->setEnabled(all->isEnabled()); });
}

void RepeatExporter::exportAll()
{
    if (parts_.session.analysed()) {
        write(tr("Export repeats"), parts_.session.state());
    }
}

void RepeatExporter::exportSelected()
{
    if (parts_.session.analysed()) {
        tessaron::SessionState state = parts_.session.state();
        state.analysis = selectedAnalysis();
        write(tr("Export selected repeats"), std::move(state));
    }
}

tessaron::Analysis RepeatExporter::selectedAnalysis() const
{
    const RepeatTreeModel& model = parts_.tree.results();
    // The items below which the words are taken: the selected one, else every kind.
    QModelIndex top = parts_.tree.currentIndex();
    if (!parts_.tree.selectionModel()->isSelected(top)) {
        top = QModelIndex();
    }
    std::vector<tessaron::WordChoice> chosen(tessaron::kRepeatKindCount);
    const auto take = [&](const QModelIndex& word) {
        const tessaron::RepeatWord* repeat = model.repeatAt(word);
        const tessaron::RepeatSnapshot* snapshot = model.snapshotAt(word);
        if (repeat == nullptr || snapshot == nullptr) {
            return;
        }
        const int slot = model.slotAt(word);
        auto& kind = chosen[static_cast<std::size_t>(model.kindAt(word))];
        kind.resize(static_cast<std::size_t>(snapshot->slotCount()));
        kind[static_cast<std::size_t>(slot)].push_back(
            static_cast<std::uint32_t>(repeat - snapshot->words(slot).data()));
    };
    const auto takeLength = [&](const QModelIndex& length) {
        for (int row = 0; row < model.rowCount(length); ++row) {
            take(model.index(row, 0, length));
        }
    };
    const auto takeKind = [&](const QModelIndex& kind) {
        for (int row = 0; row < model.rowCount(kind); ++row) {
            takeLength(model.index(row, 0, kind));
        }
    };
    if (!top.isValid()) {
        for (int row = 0; row < model.rowCount(); ++row) {
            takeKind(model.index(row, 0));
        }
    } else if (!top.parent().isValid()) {
        takeKind(top);
    } else if (model.repeatAt(top) == nullptr) {
        takeLength(top);
    } else {
        take(top);
    }
    tessaron::Analysis analysis;
    for (const tessaron::RepeatKind kind : tessaron::kKindOrder) {
        if (const auto& snapshot = parts_.session.snapshot(kind)) {
            analysis.snapshots[static_cast<std::size_t>(kind)] =
                tessaron::keepWords(snapshot, chosen[static_cast<std::size_t>(kind)]);
        }
    }
    return analysis;
}

void RepeatExporter::write(const QString& caption, tessaron::SessionState state)
{
    if (parts_.jobs.busy()) {
        return;
    }
    const QString path = chooseExportFile(parts_.prompts, parts_.settings, &parts_.window, caption,
                                          tr("GFF3 (*.gff3 *.gff);;BED (*.bed)"));
    if (path.isEmpty()) {
        return;
    }
    parts_.jobs.show(tr("Exporting repeats..."));
    parts_.jobs.run<std::string>(
        [state = std::move(state), file = std::filesystem::path(toStdString(path))](
            const std::stop_token&, const JobRunner::Reporter<double>&) {
            return tessaron::exportRepeats(file, state);
        },
        [this](const std::string& problem) {
            parts_.jobs.clear();
            warnOfProblem(parts_.prompts, &parts_.window, problem);
        });
}
