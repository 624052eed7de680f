#include "views/paneprinting.h"

#include "session/session.h"
#include "views/printcommands.h"
#include "views/prompts.h"
#include "views/sequenceview.h"
#include "views/settingsstore.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QObject>

namespace {

// Selections longer than this would make books rather than pages.
constexpr int kMostPrintedBases = 2'000'000;

}  // namespace

PrintCommands* addPanePrinting(QMenu* file, QWidget* window, const SequenceView& pane,
                               const tessaron::Session& session, Prompts& prompts, SettingsStore& settings)
{
    const auto genomeName = [&session] { return QString::fromStdString(session.state().name); };
    auto maker = [&pane, genomeName](QString& why) -> PrintCommands::Pages {
        if (!pane.hasSelection()) {
            why = QObject::tr("Select the bases to print in the sequence pane first.");
            return {};
        }
        if (pane.selectionEnd() - pane.selectionStart() > kMostPrintedBases) {
            why = QObject::tr("The selection is too long to print: select at most %L1 bases.")
                      .arg(kMostPrintedBases);
            return {};
        }
        const QString heading = QObject::tr("%1, bases %L2 to %L3")
                                    .arg(genomeName())
                                    .arg(pane.selectionStart() + 1)
                                    .arg(pane.selectionEnd());
        return basesDocument(pane.sequence(), pane.selectionStart(), pane.selectionEnd(), heading);
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
    auto* commands =
        new PrintCommands(window, std::move(maker), std::move(chooser), std::move(reporter), std::move(name));
    commands->setTexts(QObject::tr("Print selectio&n..."), QObject::tr("Export selection as P&DF..."));
    for (const auto& [id, action] : {std::pair{IdPrintSelection, commands->printAction()},
                                     std::pair{IdSelectionPdf, commands->pdfAction()}}) {
        action->setData(static_cast<int>(id));
        action->setObjectName(QStringLiteral("command%1").arg(static_cast<int>(id)));
        file->addAction(action);
    }
    return commands;
}
