#include "views/commands/sessioncommands.h"

#include "input/filebytes.h"
#include "input/readerror.h"
#include "views/base/jobstatus.h"
#include "views/base/menucommand.h"
#include "views/base/prompts.h"
#include "views/base/regularfile.h"
#include "views/base/settingsstore.h"
#include "views/maps/mapwindow.h"
#include "views/maps/mapwindowholder.h"
#include "views/results/repeattreemodel.h"
#include "views/results/resultsfilterbox.h"
#include "views/results/resultstree.h"
#include "views/sequence/sequenceview.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QSaveFile>

#include <algorithm>
#include <filesystem>
#include <new>
#include <optional>
#include <stop_token>
#include <string>

namespace {

const QString kSessionType = QObject::tr("Tessaron session (*.json)");

QString fromPath(const std::filesystem::path& path)
{
    return QString::fromStdString(path.string());
}

bool sameFile(const QString& one, const QString& other)
{
    return QFileInfo(one).absoluteFilePath() == QFileInfo(other).absoluteFilePath();
}

// A session is a few hundred bytes: anything much larger is not one.
constexpr std::size_t kLargestSession = std::size_t{1} << 20;

// A session file read as a job: its text, or why it was not read (nothing
// at all when the job was cancelled).
struct SessionRead {
    std::optional<QByteArray> json;
    QString error;
};

SessionRead readSession(const std::filesystem::path& file, const std::stop_token& stop)
{
    SessionRead read;
    try {
        if (std::optional<std::string> bytes = tessaron::readFileBytes(file, stop, kLargestSession)) {
            read.json = QByteArray::fromStdString(*bytes);
        }
    } catch (const tessaron::InputError& error) {
        read.error = QString::fromStdString(error.detail());
    } catch (const std::bad_alloc&) {
        read.error = QObject::tr("out of memory");
    }
    return read;
}

}  // namespace

SessionCommands::SessionCommands(const WindowParts& parts, Shell shell)
    : QObject(&parts.window), parts_(parts), shell_(std::move(shell))
{
    setObjectName(QStringLiteral("sessionCommands"));
}

void SessionCommands::addCommands(QMenu* file)
{
    connect(addMenuCommand(file, "openSession", tr("Open se&ssion..."), true), &QAction::triggered, this,
            &SessionCommands::openChosen);
    QAction* save = addMenuCommand(file, "saveSession", tr("Save sess&ion..."), true);
    connect(save, &QAction::triggered, this, &SessionCommands::saveChosen);
    // Only a genome read from a file can be reopened.
    connect(file, &QMenu::aboutToShow, save, [this, save] { save->setEnabled(current().has_value()); });
}

std::optional<SavedSession> SessionCommands::current() const
{
    const tessaron::Session& session = parts_.session;
    if (!session.loaded() || session.state().file.empty()) {
        return std::nullopt;
    }
    SavedSession saved;
    saved.genomeFile = QFileInfo(fromPath(session.state().file)).absoluteFilePath();
    saved.record = static_cast<int>(session.state().record);
    saved.genBank = session.state().format == tessaron::RecordFormat::GenBank;
    saved.fileSize = QFileInfo(saved.genomeFile).size();
    saved.genomeName = QString::fromStdString(session.state().name);
    saved.genomeLength = session.genome().length();
    saved.minimum = session.minimum();
    saved.maximum = session.maximum();
    saved.method = session.method();
    const QModelIndex item = parts_.tree.currentIndex();
    if (const std::optional<tessaron::Repeat> repeat = parts_.tree.results().describedRepeatAt(item)) {
        saved.word = SavedSession::Word{parts_.tree.results().kindAt(item), repeat->length, item.row()};
    }
    saved.selectionStart = parts_.pane.selectionStart();
    saved.selectionEnd = parts_.pane.selectionEnd();
    const ResultsFilterBox::State filter = parts_.filter.state();
    saved.filter = {filter.shown, filter.word, filter.minLength, filter.maxLength, filter.minPairs};
    if (const CDiagramDlg* map = parts_.maps.open()) {
        saved.map = SavedSession::Map{true, map->paperStyle(), map->tidyLabels()};
    }
    return saved;
}

void SessionCommands::saveChosen()
{
    const std::optional<SavedSession> saved = current();
    if (!saved) {
        refuse(tr("There is no genome read from a file to save a session of."));
        return;
    }
    // Beside the genome, named after it.
    const QFileInfo genome(saved->genomeFile);
    const QString proposed =
        genome.absolutePath() + QStringLiteral("/%1.session.json").arg(genome.completeBaseName());
    const QString path = parts_.prompts.saveFile(&parts_.window, tr("Save session"), kSessionType, proposed);
    if (!path.isEmpty()) {
        save(path);
    }
}

bool SessionCommands::save(const QString& path)
{
    const std::optional<SavedSession> saved = current();
    if (!saved) {
        return false;
    }
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(sessionToJson(*saved, QFileInfo(path).absolutePath())) < 0 || !out.commit()) {
        refuse(tr("The session could not be written to %1: %2").arg(path, out.errorString()));
        return false;
    }
    return true;
}

void SessionCommands::openChosen()
{
    const QString path = parts_.settings.keepFolderOf(parts_.prompts.openFile(
        &parts_.window, tr("Open session"), kSessionType, parts_.settings.lastFolder()));
    if (!path.isEmpty()) {
        open(path);
    }
}

bool SessionCommands::open(const QString& path)
{
    if (parts_.jobs.busy() || pending_) {
        return false;
    }
    // A session the user names may be a pipe: read as a job, whose Cancel
    // ends the wait for its writer.
    if (const std::optional<QString> refusal = notARegularFile(path, true)) {
        refuse(*refusal);
        return false;
    }
    parts_.jobs.show(tr("Reading the session..."));
    parts_.jobs.run<SessionRead>(
        [file = std::filesystem::path(path.toStdString())](const std::stop_token& stop,
                                                           const JobRunner::Reporter<double>&) {
            return readSession(file, stop);
        },
        [this, path](SessionRead read) {
            parts_.jobs.clear();
            if (!read.error.isEmpty()) {
                refuse(tr("The session %1 could not be read: %2").arg(path, read.error));
            } else if (read.json) {
                reopen(*read.json, path);
            }
        });
    return true;
}

void SessionCommands::reopen(const QByteArray& json, const QString& path)
{
    std::variant<SavedSession, QString> read = sessionFromJson(json, QFileInfo(path).absolutePath());
    if (const auto* problem = std::get_if<QString>(&read)) {
        refuse(*problem);
        return;
    }
    SavedSession& saved = std::get<SavedSession>(read);
    if (const std::optional<QString> stale = staleGenome(saved)) {
        refuse(*stale + QStringLiteral("\n\n") + tr("The session was not opened."));
        return;
    }
    tessaron::Session& session = parts_.session;
    before_ = Search{session.minimum(), session.maximum(), session.method()};
    session.setLengths(saved.minimum, saved.maximum);
    session.setMethod(saved.method);
    pending_ = std::move(saved);
    // The job's end is told before its result is adopted: the rest follows
    // after. Reading the genome file and loading it are two jobs, the second
    // started as the first ends.
    waiting_ = connect(
        &parts_.jobs, &JobStatus::busyChanged, this,
        [this](bool busy) {
            if (!busy && !parts_.jobs.busy()) {
                finish();
            }
        },
        Qt::QueuedConnection);
    shell_.openRecord(pending_->genomeFile, static_cast<std::size_t>(pending_->record));
    if (pending_ && !parts_.jobs.busy()) {
        finish();  // nothing was started: the file was not opened
    }
}

void SessionCommands::finish()
{
    disconnect(waiting_);
    if (!pending_) {
        return;
    }
    const SavedSession saved = *std::exchange(pending_, std::nullopt);
    tessaron::Session& session = parts_.session;
    const bool opened = session.loaded() && sameFile(fromPath(session.state().file), saved.genomeFile) &&
                        session.state().record == static_cast<std::size_t>(saved.record) &&
                        session.genome().length() == saved.genomeLength;
    if (!opened) {
        session.setLengths(before_.minimum, before_.maximum);
        session.setMethod(before_.method);
        refuse(tr("The genome of the session could not be opened as it was saved."));
        return;
    }
    parts_.settings.saveLengths(saved.minimum, saved.maximum);
    parts_.settings.saveMethod(saved.method);
    // The filter first: the word's row counts the words the filter shows.
    parts_.filter.setState({saved.filter.shown, saved.filter.word, saved.filter.minLength,
                            saved.filter.maxLength, saved.filter.minPairs});
    if (saved.map.open) {
        shell_.showMap();
        if (CDiagramDlg* shown = parts_.maps.open()) {
            shown->setPaperStyle(saved.map.paper);
            shown->setTidyLabels(saved.map.tidyLabels);
        }
    }
    if (saved.word) {
        const QModelIndex item =
            parts_.tree.results().repeatIndex(saved.word->kind, saved.word->length, saved.word->row);
        if (item.isValid()) {
            parts_.tree.scrollTo(item);
            parts_.tree.setCurrentIndex(item);
        }
    }
    if (saved.selectionEnd > saved.selectionStart) {
        parts_.pane.select(saved.selectionStart, std::min(saved.selectionEnd, parts_.pane.textLength()));
    }
}

void SessionCommands::refuse(const QString& text) const
{
    parts_.prompts.message(&parts_.window, applicationName(), text, Prompts::Icon::Warning);
}
