#include "views/commands/htmlexporter.h"

#include "compare/repeatsection.h"
#include "engine/plastomestructure.h"
#include "input/filesave.h"
#include "report/htmlreportbuilder.h"
#include "session/gappedanalysis.h"
#include "session/session.h"
#include "session/tandemanalysis.h"
#include "views/base/jobstatus.h"
#include "views/base/prompts.h"
#include "views/base/qtstrings.h"
#include "views/base/settingsstore.h"
#include "views/commands/windowparts.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>

#include <filesystem>
#include <new>
#include <string>
#include <variant>

namespace {

constexpr const char* kOutOfMemory = "Looks like we're out of memory...";

// What the page is made from: a copy of the session's state and settings,
// so that the job reads nothing the window may change meanwhile.
struct PageInput {
    tessaron::SessionState state;
    int minimum = 0;
    int maximum = 0;
    tessaron::SearchMethod method = tessaron::SearchMethod::Trie;
    tessaron::MicrosatelliteSettings microsatellites;
};

// Writes the page; returns why it could not be (empty when it was written
// or when the job was cancelled).
std::string writePage(const std::filesystem::path& path, const PageInput& input, const std::stop_token& stop,
                      const JobRunner::Reporter<double>& report)
{
    const tessaron::SessionState& state = input.state;
    const tessaron::Genome& genome = *state.genome;
    auto paper = tessaron::analyseRepeatSection(genome, input.microsatellites, {stop, report});
    if (const auto* failure = std::get_if<tessaron::SearchFailure>(&paper)) {
        return *failure == tessaron::SearchFailure::Cancelled ? std::string() : std::string(kOutOfMemory);
    }
    const auto& section = std::get<tessaron::RepeatSection>(paper);
    const bool fromFile = !state.file.empty();
    tessaron::HtmlReportBuilder page(
        state.genome, state.seqid.empty() ? state.name : state.seqid,
        state.features.value_or(tessaron::FeatureList{}),
        fromFile ? "--record " + std::to_string(state.record + 1) : std::string(),
        fromFile ? state.file.string() : std::string());
    page.setOrigin(TESSARON_VERSION, {});
    page.addPaperSection(section);
    page.addExactPairs(state.analysis.snapshots, input.minimum, input.maximum, input.method);
    if (state.approximate) {
        page.addApproximatePairs(state.approximate->results, state.approximate->settings);
    }
    if (state.gapped) {
        page.addGappedPairs(state.gapped->results, state.gapped->settings);
        if (state.gapped->families) {
            page.addFamilies(state.gapped->results, state.gapped->settings);
        }
    }
    if (state.microsatellites) {
        page.addMicrosatellites(*state.microsatellites, input.microsatellites);
    }
    // The arrays of the tandem search run in the window, else the section's.
    if (state.tandem) {
        page.addTandemArrays(state.tandem->arrays, state.tandem->settings);
    } else {
        page.addTandemArrays(section.tandemRepeats, section.tandemSettings);
    }
    page.addPlastome(tessaron::findPlastomeStructure(genome.sequence()));
    page.addFeatures();
    if (stop.stop_requested()) {
        return {};
    }
    bool outOfMemory = false;
    const std::error_code error = tessaron::saveFile(path, [&](std::ostream& out) {
        try {
            page.write(out);
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
            return false;
        }
        return static_cast<bool>(out);
    });
    if (outOfMemory) {
        return kOutOfMemory;
    }
    return error ? "Cannot write " + path.string() + "." : std::string();
}

}  // namespace

HtmlExporter::HtmlExporter(const WindowParts& parts) : QObject(&parts.window), parts_(parts)
{
    setObjectName(QStringLiteral("htmlExporter"));
}

void HtmlExporter::addCommand(QMenu* file, int follow)
{
    QAction* command = addMenuCommand(file, "exportHtml", tr("Export &HTML report..."), false);
    connect(command, &QAction::triggered, this, &HtmlExporter::exportReport);
    for (QAction* action : file->actions()) {
        if (action->data().toInt() == follow) {
            connect(action, &QAction::changed, command,
                    [action, command] { command->setEnabled(action->isEnabled()); });
        }
    }
}

void HtmlExporter::exportReport()
{
    if (!parts_.session.analysed() || parts_.jobs.busy()) {
        return;
    }
    const QString path = chooseExportFile(parts_.prompts, parts_.settings, &parts_.window,
                                          tr("Export HTML report"), tr("HTML page (*.html *.htm)"));
    if (path.isEmpty()) {
        return;
    }
    write(withFilterExtension(path, tr("HTML page (*.html *.htm)")));
}

void HtmlExporter::write(const QString& path)
{
    if (!parts_.session.analysed() || parts_.jobs.busy()) {
        return;
    }
    const std::filesystem::path file = QFile::encodeName(path).toStdString();
    // Never over the genome being shown, nor over a file that may not be written.
    if (const auto refusal = tessaron::outputIsInput(file, {parts_.session.state().file})) {
        parts_.prompts.message(&parts_.window, applicationName(), toQString(*refusal),
                               Prompts::Icon::Warning);
        return;
    }
    if (tessaron::refusedAsReadOnly(file)) {
        parts_.prompts.message(&parts_.window, applicationName(),
                               tr("Cannot replace %1: it is read-only.").arg(QDir::toNativeSeparators(path)),
                               Prompts::Icon::Warning);
        return;
    }
    PageInput input{parts_.session.state(), parts_.session.genome().minLength(),
                    parts_.session.genome().maxLength(), parts_.session.method(),
                    parts_.session.microsatelliteSettings()};
    parts_.jobs.show(tr("Exporting the HTML report..."));
    parts_.jobs.run<std::string>(
        [input = std::move(input), file](const std::stop_token& stop,
                                         const JobRunner::Reporter<double>& report) {
            try {
                return writePage(file, input, stop, report);
            } catch (const std::bad_alloc&) {
                return std::string(kOutOfMemory);
            }
        },
        [this](const std::string& problem) {
            parts_.jobs.clear();
            warnOfProblem(parts_.prompts, &parts_.window, problem);
        });
}
