#include "views/commands/paneprinting.h"

#include "session/session.h"
#include "views/base/printcommands.h"
#include "views/base/prompts.h"
#include "views/base/settingsstore.h"
#include "views/commands/windowparts.h"
#include "views/sequence/sequenceview.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QObject>
#include <QStringList>

#include <cstdint>
#include <utility>
#include <vector>

namespace {

// Selections longer than this would make books rather than pages.
constexpr int kMostPrintedBases = 2'000'000;

}  // namespace

PrintCommands* addPanePrinting(QMenu* file, const WindowParts& parts)
{
    const SequenceView& pane = parts.pane;
    const tessaron::Session& session = parts.session;
    Prompts& prompts = parts.prompts;
    SettingsStore& settings = parts.settings;
    const auto genomeName = [&session] { return QString::fromStdString(session.state().name); };
    auto maker = [&pane, genomeName](QString& why) -> PrintCommands::Pages {
        if (!pane.hasSelection()) {
            why = QObject::tr("Select the bases to print in the sequence pane first.");
            return {};
        }
        // A selection in parts prints its parts alone.
        const std::vector<SequenceView::Range> selected = pane.selectedRanges();
        std::int64_t bases = 0;
        std::vector<std::pair<int, int>> ranges;
        QStringList stretches;
        for (const SequenceView::Range& range : selected) {
            bases += range.end - range.start;
            ranges.emplace_back(range.start, range.end);
            stretches << QObject::tr("%L1 to %L2").arg(range.start + 1).arg(range.end);
        }
        if (bases > kMostPrintedBases) {
            why = QObject::tr("The selection is too long to print: select at most %L1 bases.")
                      .arg(kMostPrintedBases);
            return {};
        }
        const QString heading =
            QObject::tr("%1, bases %2").arg(genomeName(), stretches.join(QStringLiteral(", ")));
        return basesDocument(pane.sequence(), ranges, heading);
    };
    auto chooser = [&prompts, &settings](QWidget* parent, const QString& proposed) {
        return settings.keepFolderOf(prompts.saveFile(parent, QObject::tr("Export PDF"),
                                                      QObject::tr("PDF document (*.pdf)"), proposed));
    };
    auto reporter = [&prompts](QWidget* parent, const QString& text) {
        prompts.message(parent, applicationName(), text, Prompts::Icon::Warning);
    };
    auto name = [&pane, &settings, genomeName] {
        const QString base = fileNameOf(QStringLiteral("%1-%2-%3")
                                            .arg(genomeName())
                                            .arg(pane.selectionStart() + 1)
                                            .arg(pane.selectionEnd()));
        const QString folder = settings.lastFolder();
        return folder.isEmpty() ? base + QStringLiteral(".pdf")
                                : QDir(folder).filePath(base + QStringLiteral(".pdf"));
    };
    auto* commands = new PrintCommands(&parts.window, std::move(maker), std::move(chooser),
                                       std::move(reporter), std::move(name));
    commands->setTexts(QObject::tr("Print selectio&n..."), QObject::tr("Export selection as P&DF..."));
    for (const auto& [command, action] : {std::pair{"printSelection", commands->printAction()},
                                          std::pair{"selectionPdf", commands->pdfAction()}}) {
        action->setData(commandId(command));
        action->setObjectName(QStringLiteral("command%1").arg(commandId(command)));
        action->setProperty("commandName", QString::fromLatin1(command));
        file->addAction(action);
    }
    return commands;
}
