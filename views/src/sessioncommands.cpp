#include "views/sessioncommands.h"

#include "views/jobstatus.h"
#include "views/mainwindow.h"
#include "views/mapwindow.h"
#include "views/mapwindowholder.h"
#include "views/menucommand.h"
#include "views/prompts.h"
#include "views/repeattreemodel.h"
#include "views/resultstree.h"
#include "views/sequenceview.h"
#include "views/settingsstore.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QSaveFile>
#include <QSpinBox>

#include <algorithm>

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

}  // namespace

SessionCommands::SessionCommands(CTessaronDlg& window, Prompts& prompts, SettingsStore& settings,
                                 JobStatus& jobs)
    : QObject(&window), window_(window), prompts_(prompts), settings_(settings), jobs_(jobs)
{
    setObjectName(QStringLiteral("sessionCommands"));
}

void SessionCommands::addCommands(QMenu* file)
{
    connect(addMenuCommand(file, IdOpenSession, tr("Open se&ssion..."), true), &QAction::triggered, this,
            &SessionCommands::openChosen);
    QAction* save = addMenuCommand(file, IdSaveSession, tr("Save sess&ion..."), true);
    connect(save, &QAction::triggered, this, &SessionCommands::saveChosen);
    // Only a genome read from a file can be reopened.
    connect(file, &QMenu::aboutToShow, save, [this, save] { save->setEnabled(current().has_value()); });
}

std::optional<SavedSession> SessionCommands::current() const
{
    const tessaron::Session& session = window_.session();
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
    const auto* tree = window_.findChild<ResultsTree*>(QStringLiteral("tree"));
    const QModelIndex item = tree->currentIndex();
    if (const std::optional<tessaron::Repeat> repeat = tree->results().describedRepeatAt(item)) {
        saved.word = SavedSession::Word{tree->results().kindAt(item), repeat->length, item.row()};
    }
    const auto* pane = window_.findChild<SequenceView*>(QStringLiteral("sequencePane"));
    saved.selectionStart = pane->selectionStart();
    saved.selectionEnd = pane->selectionEnd();
    saved.filter.shown = window_.command(CTessaronDlg::IdShowFilter)->isChecked();
    saved.filter.word = window_.findChild<QLineEdit*>(QStringLiteral("filterWord"))->text();
    saved.filter.minLength = window_.findChild<QSpinBox*>(QStringLiteral("filterMinLength"))->value();
    saved.filter.maxLength = window_.findChild<QSpinBox*>(QStringLiteral("filterMaxLength"))->value();
    saved.filter.minPairs = window_.findChild<QSpinBox*>(QStringLiteral("filterMinPairs"))->value();
    if (const CDiagramDlg* map = window_.findChild<MapWindowHolder*>()->open()) {
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
    const QString path = prompts_.saveFile(&window_, tr("Save session"), kSessionType, proposed);
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
    const QString path = settings_.keepFolderOf(
        prompts_.openFile(&window_, tr("Open session"), kSessionType, settings_.lastFolder()));
    if (!path.isEmpty()) {
        open(path);
    }
}

bool SessionCommands::open(const QString& path)
{
    if (jobs_.busy() || pending_) {
        return false;
    }
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        refuse(tr("The session %1 could not be read: %2").arg(path, in.errorString()));
        return false;
    }
    // A session is a few hundred bytes: anything much larger is not one.
    std::variant<SavedSession, QString> read =
        sessionFromJson(in.read(1 << 20), QFileInfo(path).absolutePath());
    if (const auto* problem = std::get_if<QString>(&read)) {
        refuse(*problem);
        return false;
    }
    SavedSession& saved = std::get<SavedSession>(read);
    if (const std::optional<QString> stale = staleGenome(saved)) {
        refuse(*stale + QStringLiteral("\n\n") + tr("The session was not opened."));
        return false;
    }
    tessaron::Session& session = window_.session();
    before_ = Search{session.minimum(), session.maximum(), session.method()};
    session.setLengths(saved.minimum, saved.maximum);
    session.setMethod(saved.method);
    pending_ = std::move(saved);
    // The job's end is told before its result is adopted: the rest follows after.
    waiting_ = connect(
        &jobs_, &JobStatus::busyChanged, this,
        [this](bool busy) {
            if (!busy) {
                finish();
            }
        },
        Qt::QueuedConnection);
    window_.openRecord(pending_->genomeFile, static_cast<std::size_t>(pending_->record));
    if (pending_ && !jobs_.busy()) {
        finish();  // nothing was started: the file was not opened
    }
    return true;
}

void SessionCommands::finish()
{
    disconnect(waiting_);
    if (!pending_) {
        return;
    }
    const SavedSession saved = *std::exchange(pending_, std::nullopt);
    tessaron::Session& session = window_.session();
    const bool opened = session.loaded() && sameFile(fromPath(session.state().file), saved.genomeFile) &&
                        session.state().record == static_cast<std::size_t>(saved.record) &&
                        session.genome().length() == saved.genomeLength;
    if (!opened) {
        session.setLengths(before_.minimum, before_.maximum);
        session.setMethod(before_.method);
        refuse(tr("The genome of the session could not be opened as it was saved."));
        return;
    }
    settings_.saveLengths(saved.minimum, saved.maximum);
    settings_.saveMethod(saved.method);
    // The filter first: the word's row counts the words the filter shows.
    window_.command(CTessaronDlg::IdShowFilter)->setChecked(saved.filter.shown);
    window_.findChild<QSpinBox*>(QStringLiteral("filterMinLength"))->setValue(saved.filter.minLength);
    window_.findChild<QSpinBox*>(QStringLiteral("filterMaxLength"))->setValue(saved.filter.maxLength);
    window_.findChild<QSpinBox*>(QStringLiteral("filterMinPairs"))->setValue(saved.filter.minPairs);
    window_.findChild<QLineEdit*>(QStringLiteral("filterWord"))->setText(saved.filter.word);
    if (saved.map.open) {
        const int map = session.features() ? static_cast<int>(CTessaronDlg::IdDiagram)
                                           : static_cast<int>(CTessaronDlg::IdSequenceMap);
        if (QAction* command = window_.command(map); command != nullptr && command->isEnabled()) {
            command->trigger();
        }
        if (CDiagramDlg* shown = window_.findChild<MapWindowHolder*>()->open()) {
            shown->setPaperStyle(saved.map.paper);
            shown->setTidyLabels(saved.map.tidyLabels);
        }
    }
    auto* tree = window_.findChild<ResultsTree*>(QStringLiteral("tree"));
    if (saved.word) {
        const QModelIndex item =
            tree->results().repeatIndex(saved.word->kind, saved.word->length, saved.word->row);
        if (item.isValid()) {
            tree->scrollTo(item);
            tree->setCurrentIndex(item);
        }
    }
    if (saved.selectionEnd > saved.selectionStart) {
        auto* pane = window_.findChild<SequenceView*>(QStringLiteral("sequencePane"));
        pane->select(saved.selectionStart, std::min(saved.selectionEnd, pane->textLength()));
    }
}

void SessionCommands::refuse(const QString& text) const
{
    prompts_.message(&window_, applicationName(), text, Prompts::Icon::Warning);
}
