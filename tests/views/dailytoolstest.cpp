// Sessions saved and reopened, the IUPAC motif search, printing to PDF and
// the colours for colour blindness, driven through the main window's menus.

#include "charts/chartpanel.h"
#include "views/commands/colourcommands.h"
#include "views/commands/paneprinting.h"
#include "views/commands/sessioncommands.h"
#include "views/commands/sessionfile.h"
#include "views/results/resultsfilterbox.h"
#include "views/sequence/motifsearchwindow.h"
#include "windowfixture.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>

#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <functional>
#include <thread>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using tessaron::RepeatKind;

class DailyTools : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        window_ = makeWindow();
    }
    void TearDown() override { window_.reset(); }
    void openGenome(const QString& file)
    {
        open(*window_, CTessaronDlg::IdOpenGenBank, file);
        waitForJob(*window_);
    }
    [[nodiscard]] QByteArray startOf(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.read(4) : QByteArray();
    }

    std::unique_ptr<CTessaronDlg> window_;
};

TEST_F(DailyTools, ASessionReopensTheGenomeSearchSelectionFilterAndMap)
{
    storeLengths(9, 25);
    window_ = makeWindow();
    openGenome(kMitoFile);
    // The filter shown with a word, a word of the inverted repeats selected, bases selected, the map for a
    // paper.
    window_->command(CTessaronDlg::IdShowFilter)->setChecked(true);
    partOf<QLineEdit>(*window_, "filterWord")->setText(QStringLiteral("A"));
    RepeatTreeModel& model = *modelOf(*window_);
    const QModelIndex lengthItem = model.index(0, 0, model.index(1, 0));
    const QModelIndex word = model.index(1, 0, lengthItem);
    ASSERT_TRUE(word.isValid());
    treeOf(*window_)->setCurrentIndex(word);
    const int length = model.describedRepeatAt(word)->length;
    paneOf(*window_)->select(120, 180);
    trigger(*window_, CTessaronDlg::IdDiagram);
    ASSERT_NE(mapOf(*window_), nullptr);
    mapOf(*window_)->setPaperStyle(true);
    EXPECT_TRUE(mapOf(*window_)->windowTitle().endsWith(QStringLiteral("NC_012920 (lengths 9 to 25, trie)")));

    const QString sessionPath = folder_.filePath(QStringLiteral("mito.session.json"));
    prompts_->files.push_back(sessionPath);
    trigger(*window_, SessionCommands::IdSaveSession);
    // Proposed beside the genome, named after it.
    EXPECT_TRUE(prompts_->asked.back().folder.endsWith(QStringLiteral("/NC_012920.session.json")));
    ASSERT_TRUE(QFile::exists(sessionPath));
    const QString title = window_->windowTitle();

    // Another genome, other lengths, no filter, no map.
    window_->command(CTessaronDlg::IdShowFilter)->setChecked(false);
    window_->session().setLengths(8, 30);
    open(*window_, CTessaronDlg::IdOpenText,
         writeFile(QStringLiteral("other.txt"), QByteArray(300, 'A') + "GATTACA"));
    waitForJob(*window_);
    ASSERT_EQ(mapOf(*window_), nullptr);

    prompts_->files.push_back(sessionPath);
    trigger(*window_, SessionCommands::IdOpenSession);
    waitForJob(*window_);
    EXPECT_TRUE(prompts_->messages.empty()) << prompts_->messages.front().text.toStdString();
    EXPECT_EQ(window_->windowTitle(), title);
    EXPECT_EQ(window_->session().minimum(), 9);
    EXPECT_EQ(window_->session().maximum(), 25);
    EXPECT_EQ(stored(QStringLiteral("Tessaron/dados/min")).toInt(), 9);
    EXPECT_TRUE(window_->command(CTessaronDlg::IdShowFilter)->isChecked());
    EXPECT_EQ(partOf<QLineEdit>(*window_, "filterWord")->text(), QStringLiteral("A"));
    const QModelIndex current = treeOf(*window_)->currentIndex();
    EXPECT_EQ(model.kindAt(current), RepeatKind::Inverted);
    EXPECT_EQ(model.describedRepeatAt(current)->length, length);
    EXPECT_EQ(current.row(), 1);
    EXPECT_EQ(paneOf(*window_)->selectionStart(), 120);
    EXPECT_EQ(paneOf(*window_)->selectionEnd(), 180);
    ASSERT_NE(mapOf(*window_), nullptr);
    EXPECT_TRUE(mapOf(*window_)->paperStyle());
    EXPECT_TRUE(mapOf(*window_)->hasRepeat());
}

TEST_F(DailyTools, ABadOrStaleSessionIsRefusedAndTheWindowKeepsItsGenome)
{
    QFile::copy(QStringLiteral(TESSARON_TEST_DATA "/NC_005816.gb"),
                folder_.filePath(QStringLiteral("plasmid.gb")));
    const QString genome = folder_.filePath(QStringLiteral("plasmid.gb"));
    QFile::setPermissions(genome, QFile::ReadOwner | QFile::WriteOwner);
    openGenome(genome);
    const QString sessionPath = folder_.filePath(QStringLiteral("plasmid.session.json"));
    prompts_->files.push_back(sessionPath);
    trigger(*window_, SessionCommands::IdSaveSession);
    openGenome(kMitoFile);
    const QString title = window_->windowTitle();
    const struct {
        QByteArray text;
        const char* told;
    } cases[] = {{"{ not json", "not a session"},
                 {R"({"format": "something else"})", "not a session of this program"},
                 {"", "has changed since"}};
    for (const auto& [text, told] : cases) {
        QString path = sessionPath;
        if (text.isEmpty()) {
            QFile grown(genome);  // the genome changed after the session was saved
            ASSERT_TRUE(grown.open(QIODevice::Append));
            grown.write("\n");
        } else {
            path = writeFile(QStringLiteral("bad.json"), text);
        }
        prompts_->messages.clear();
        prompts_->files.push_back(path);
        trigger(*window_, SessionCommands::IdOpenSession);
        waitForJob(*window_);
        ASSERT_EQ(prompts_->messages.size(), 1U) << told;
        EXPECT_TRUE(prompts_->messages.front().text.contains(QString::fromLatin1(told)))
            << prompts_->messages.front().text.toStdString();
        EXPECT_EQ(window_->windowTitle(), title) << told;
    }
}

TEST_F(DailyTools, ASessionReopensTheSameRecordOfAFileOfSeveralWithoutAsking)
{
    // Nothing read from a file yet: nothing to save.
    trigger(*window_, SessionCommands::IdSaveSession);
    ASSERT_EQ(prompts_->messages.size(), 1U);
    EXPECT_TRUE(prompts_->asked.empty());
    prompts_->messages.clear();

    const QString file = QStringLiteral(TESSARON_TEST_DATA "/turtle_mito_2rec.gb");
    prompts_->choices.push_back(1);  // the second record
    openGenome(file);
    ASSERT_EQ(window_->session().state().record, 1U);
    const std::string second = window_->session().state().name;
    const QString sessionPath = folder_.filePath(QStringLiteral("turtle.session.json"));
    prompts_->files.push_back(sessionPath);
    trigger(*window_, SessionCommands::IdSaveSession);
    prompts_->choices.push_back(0);
    openGenome(file);
    ASSERT_NE(window_->session().state().name, second);

    const std::size_t asked = prompts_->itemLists.size();
    prompts_->files.push_back(sessionPath);
    trigger(*window_, SessionCommands::IdOpenSession);
    waitForJob(*window_);
    EXPECT_EQ(prompts_->itemLists.size(), asked);  // no record chooser
    EXPECT_EQ(window_->session().state().record, 1U);
    EXPECT_EQ(window_->session().state().name, second);
    EXPECT_TRUE(prompts_->messages.empty());
}

// Every way a user names a file to read, the pipe `pipe` among them: the
// genome commands, the command line, a session naming it as its genome, and
// the session file itself (`pipeSession`).
struct NamedPipe {
    const char* how;
    std::function<void()> open;
    bool toldWhenCancelled;  // the session says its genome was not opened
};

// A FIFO in `folder`.
QString makeFifo(const ScopedSettingsFile& folder, const QString& name)
{
    const QString path = folder.filePath(name);
    EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    return path;
}

// Writes `bytes` into the FIFO `path` once a reader has opened it; gives up
// after `limitMs` without one.
void feedFifo(const QString& path, const QByteArray& bytes, int limitMs)
{
    const QByteArray name = QFile::encodeName(path);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    int descriptor = -1;
    // Opened without waiting: ENXIO until the reader is there.
    while ((descriptor = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0 && errno == ENXIO &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (descriptor < 0) {
        return;
    }
    ::fcntl(descriptor, F_SETFL, 0);  // blocking writes from here
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t wrote =
            ::write(descriptor, bytes.constData() + done, static_cast<std::size_t>(bytes.size() - done));
        if (wrote <= 0) {
            break;
        }
        done += wrote;
    }
    ::close(descriptor);
}

TEST_F(DailyTools, APipeTheUserNamesIsReadAsAJobThatCancelEndsKeepingTheGenome)
{
    openGenome(kMitoFile);
    const auto genome = window_->session().sharedGenome();
    const QString caption = window_->windowTitle();
    const QString pipe = makeFifo(folder_, QStringLiteral("genome.fifo"));
    SavedSession saved;
    saved.genomeFile = pipe;
    saved.genomeLength = 100;
    const QString pipeGenome =
        writeFile(QStringLiteral("pipe.session.json"), sessionToJson(saved, folder_.path()));
    const QString pipeSession = makeFifo(folder_, QStringLiteral("session.fifo"));
    const NamedPipe ways[] = {
        {"GenBank command", [&] { open(*window_, CTessaronDlg::IdOpenGenBank, pipe); }, false},
        {"text command", [&] { open(*window_, CTessaronDlg::IdOpenText, pipe); }, false},
        {"command line", [&] { window_->openFile(pipe); }, false},
        {"genome of a session", [&] { open(*window_, SessionCommands::IdOpenSession, pipeGenome); }, true},
        {"session file", [&] { open(*window_, SessionCommands::IdOpenSession, pipeSession); }, false},
    };
    jobsOf(*window_)->setInlineJobs(false);
    for (const NamedPipe& way : ways) {
        SCOPED_TRACE(way.how);
        prompts_->messages.clear();
        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
        timer.start(10);
        way.open();
        // No writer comes: the window goes on meanwhile, the read waiting.
        QTest::qWait(200);
        EXPECT_GE(ticks, 5);
        ASSERT_TRUE(jobsOf(*window_)->busy());
        QTest::mouseClick(partOf<QPushButton>(*window_, "cancelButton"), Qt::LeftButton);
        waitForJob(*window_);
        // The session hears of the job's end through the event loop.
        QTest::qWait(50);
        EXPECT_FALSE(jobsOf(*window_)->busy());
        EXPECT_EQ(window_->session().sharedGenome(), genome);
        EXPECT_EQ(modelOf(*window_)->kindCount(), 4);
        EXPECT_EQ(window_->windowTitle(), caption);
        ASSERT_EQ(prompts_->messages.size(), way.toldWhenCancelled ? 1U : 0U);
        if (way.toldWhenCancelled) {
            EXPECT_TRUE(prompts_->messages[0].text.contains(QStringLiteral("could not be opened")))
                << prompts_->messages[0].text.toStdString();
        }
    }
}

TEST_F(DailyTools, APipeFedByAWriterGivesItsGenome)
{
    const QString pipe = makeFifo(folder_, QStringLiteral("genome.fifo"));
    const QByteArray bases = QByteArray("ACGTTGCAAC").repeated(100);
    jobsOf(*window_)->setInlineJobs(false);
    const struct {
        const char* how;
        QByteArray bytes;
        std::function<void()> open;
    } ways[] = {
        {"command line", ">piped\n" + bases + "\n", [&] { window_->openFile(pipe); }},
        {"text command", bases, [&] { open(*window_, CTessaronDlg::IdOpenText, pipe); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        std::thread writer(feedFifo, pipe, way.bytes, kWaitLimitMs);
        way.open();
        waitForJob(*window_);
        writer.join();
        EXPECT_TRUE(prompts_->messages.empty());
        ASSERT_TRUE(window_->session().loaded());
        EXPECT_EQ(window_->session().genome().length(), 1000);
        EXPECT_EQ(modelOf(*window_)->kindCount(), 4);
    }
}

TEST_F(DailyTools, DevicesSocketsAndPipesFromTheRecentFilesAreRefusedWithTheirKind)
{
    openGenome(kMitoFile);
    const auto genome = window_->session().sharedGenome();
    const QString socketPath = folder_.filePath(QStringLiteral("genome.socket"));
    const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(listening, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(socketPath);
    ASSERT_LT(static_cast<std::size_t>(name.size()), sizeof address.sun_path);
    std::copy(name.begin(), name.end(), address.sun_path);
    ASSERT_EQ(::bind(listening, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    const QString pipe = makeFifo(folder_, QStringLiteral("recent.fifo"));
    const struct {
        const char* how;
        std::function<void()> open;
        const char* kind;
    } ways[] = {
        {"socket on the command line", [&] { window_->openFile(socketPath); }, "a socket"},
        {"socket through the text command", [&] { open(*window_, CTessaronDlg::IdOpenText, socketPath); },
         "a socket"},
        {"pipe from the recent files", [&] { window_->openFile(pipe, CTessaronDlg::Pipes::Refused); },
         "a pipe"},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        prompts_->messages.clear();
        way.open();
        EXPECT_FALSE(jobsOf(*window_)->busy());
        waitForJob(*window_);
        ASSERT_EQ(prompts_->messages.size(), 1U);
        EXPECT_TRUE(prompts_->messages[0].text.contains(
            QStringLiteral("it is %1, not a regular file").arg(QLatin1String(way.kind))))
            << prompts_->messages[0].text.toStdString();
        EXPECT_EQ(window_->session().sharedGenome(), genome);
    }
    ::close(listening);
}

TEST_F(DailyTools, ASessionWithLengthsOutOfBoundsIsRefusedAndTheSettingsStay)
{
    storeLengths(9, 25);
    window_ = makeWindow();
    SavedSession saved;
    saved.genomeFile = writeFile(QStringLiteral("short.txt"), QByteArray(300, 'A') + "GATTACA");
    saved.fileSize = QFileInfo(saved.genomeFile).size();
    saved.genomeLength = 307;
    saved.minimum = 2;
    saved.maximum = 2;
    open(*window_, SessionCommands::IdOpenSession,
         writeFile(QStringLiteral("two.session.json"), sessionToJson(saved, folder_.path())));
    waitForJob(*window_);
    ASSERT_EQ(prompts_->messages.size(), 1U);
    EXPECT_TRUE(prompts_->messages[0].text.contains(QStringLiteral("2, is outside 3 to 256")))
        << prompts_->messages[0].text.toStdString();
    EXPECT_FALSE(window_->session().loaded());
    EXPECT_EQ(window_->session().minimum(), 9);
    EXPECT_EQ(stored(QStringLiteral("Tessaron/dados/min")).toInt(), 9);
    EXPECT_EQ(stored(QStringLiteral("Tessaron/dados/max")).toInt(), 25);
}

TEST(SessionFile, WritesAndReadsBackEveryField)
{
    SavedSession saved;
    saved.genomeFile = QStringLiteral("/data/genomes/chloroplast.gb");
    saved.record = 2;
    saved.fileSize = 155939;
    saved.genomeName = QStringLiteral("NC_000932");
    saved.genomeLength = 154478;
    saved.minimum = 12;
    saved.maximum = 40;
    saved.method = tessaron::SearchMethod::Complete;
    saved.word = SavedSession::Word{RepeatKind::Mirror, 14, 3};
    saved.selectionStart = 10;
    saved.selectionEnd = 99;
    saved.filter = SavedSession::Filter{true, QStringLiteral("GC"), 12, 20, 2};
    saved.map = SavedSession::Map{true, true, false};
    for (const QString& folder : {QStringLiteral("/data/genomes"), QStringLiteral("/elsewhere")}) {
        const auto read = sessionFromJson(sessionToJson(saved, folder), folder);
        ASSERT_TRUE(std::holds_alternative<SavedSession>(read)) << std::get<QString>(read).toStdString();
        EXPECT_EQ(std::get<SavedSession>(read), saved) << folder.toStdString();
    }
    // Beside the genome, the path is written relative to the session.
    EXPECT_TRUE(sessionToJson(saved, QStringLiteral("/data/genomes")).contains("\"chloroplast.gb\""));

    // Search settings no window could have made are refused, with the bounds of Options.
    // The reason names the setting and its bounds.
    const struct {
        int minimum;
        int maximum;
        tessaron::SearchMethod method;
        const char* reason;  // empty when valid
    } searches[] = {
        {3, 256, tessaron::SearchMethod::Trie, ""},
        {2, 30, tessaron::SearchMethod::Trie, "its minimum word length, 2, is outside 3 to 256"},
        {2, 2, tessaron::SearchMethod::Trie, "its maximum word length, 2, is outside 3 to 256"},
        {8, 257, tessaron::SearchMethod::Complete, "its maximum word length, 257, is outside 3 to 256"},
        {-4, 30, tessaron::SearchMethod::Trie, "its minimum word length, -4, is outside 3 to 256"},
        {31, 30, tessaron::SearchMethod::Trie, "its minimum word length, 31, is above its maximum, 30"},
        {8, 30, tessaron::SearchMethod::Approximate, "its search method does not find words"},
    };
    for (const auto& [minimum, maximum, method, reason] : searches) {
        SavedSession changed = saved;
        changed.minimum = minimum;
        changed.maximum = maximum;
        changed.method = method;
        const auto read =
            sessionFromJson(sessionToJson(changed, QStringLiteral("/data")), QStringLiteral("/data"));
        if (*reason == '\0') {
            EXPECT_TRUE(std::holds_alternative<SavedSession>(read)) << minimum << ".." << maximum;
        } else {
            ASSERT_TRUE(std::holds_alternative<QString>(read)) << minimum << ".." << maximum;
            EXPECT_TRUE(std::get<QString>(read).contains(QString::fromUtf8(reason)))
                << std::get<QString>(read).toStdString();
        }
    }
}

TEST_F(DailyTools, IupacMotifsAreListedAndTheViewGoesToTheHit)
{
    // GAATTC at 11, GATTTC at 21 and GAATTC over the origin at 28.
    const QByteArray bases = "TTCCCCCCCCGAATTCCCCCGATTTCCGAA";
    open(*window_, CTessaronDlg::IdOpenText, writeFile(QStringLiteral("sites.txt"), bases));
    waitForJob(*window_);
    trigger(*window_, MotifSearchWindow::IdFindIupacMotif);
    auto* search = partOf<MotifSearchWindow>(*window_, "motifSearchWindow");
    ASSERT_TRUE(search->isVisible());
    EXPECT_EQ(search->windowTitle(), QStringLiteral("Find motif (IUPAC) - sites"));
    auto* hits = partOf<QTreeWidget>(*search, "iupacHits");
    const auto positions = [hits] {
        QStringList listed;
        for (int row = 0; row < hits->topLevelItemCount(); ++row) {
            listed << hits->topLevelItem(row)->text(0) + hits->topLevelItem(row)->text(1);
        }
        return listed;
    };
    partOf<QLineEdit>(*search, "iupacMotifField")->setText(QStringLiteral("gawttc"));
    partOf<QCheckBox>(*search, "iupacBothStrands")->setChecked(false);
    partOf<QPushButton>(*search, "iupacFind")->click();
    EXPECT_EQ(positions(),
              (QStringList{QStringLiteral("11+"), QStringLiteral("21+"), QStringLiteral("28+")}));
    // The view is on the first hit; a click goes to another.
    EXPECT_EQ(paneOf(*window_)->selectionStart(), 10);
    EXPECT_EQ(paneOf(*window_)->selectionEnd(), 16);
    search->goToHit(1);
    EXPECT_EQ(paneOf(*window_)->selectionStart(), 20);
    // Not circular: the hit over the origin goes.
    partOf<QCheckBox>(*search, "iupacCircular")->setChecked(false);
    partOf<QPushButton>(*search, "iupacFind")->click();
    EXPECT_EQ(positions(), (QStringList{QStringLiteral("11+"), QStringLiteral("21+")}));
    // A letter that is no code is said, and nothing is listed.
    partOf<QLineEdit>(*search, "iupacMotifField")->setText(QStringLiteral("GAXTC"));
    EXPECT_FALSE(search->find());
    EXPECT_EQ(hits->topLevelItemCount(), 0);
    EXPECT_TRUE(
        partOf<QLabel>(*search, "iupacSummary")->text().contains(QStringLiteral("not an IUPAC code")));
    // The described command is still there, as it was.
    EXPECT_EQ(window_->command(CTessaronDlg::IdFindMotif)->text(), QStringLiteral("&Find motif..."));
}

TEST_F(DailyTools, TheSelectionAndASheetAreWrittenAsPdf)
{
    openGenome(kMitoFile);
    const QString selectionPdf = folder_.filePath(QStringLiteral("selection.pdf"));
    // Nothing selected: told, nothing written.
    prompts_->files.push_back(selectionPdf);
    trigger(*window_, IdSelectionPdf);
    EXPECT_EQ(prompts_->messages.size(), 1U);
    EXPECT_FALSE(QFile::exists(selectionPdf));
    prompts_->files.clear();

    paneOf(*window_)->select(0, 1000);
    prompts_->files.push_back(selectionPdf);
    trigger(*window_, IdSelectionPdf);
    EXPECT_TRUE(prompts_->asked.back().folder.endsWith(QStringLiteral("NC_012920-1-1000.pdf")));
    EXPECT_EQ(startOf(selectionPdf), QByteArray("%PDF"));
    EXPECT_GT(QFileInfo(selectionPdf).size(), 1000);

    trigger(*window_, CTessaronDlg::IdViewDirect);
    ASSERT_FALSE(sheetsOf(*window_).empty());
    CReportSheetDlg* sheet = sheetsOf(*window_).back();
    auto* pdf = sheet->sheet()->findChild<QAction*>(QStringLiteral("pdfAction"));
    ASSERT_NE(pdf, nullptr);
    const QString sheetPdf = folder_.filePath(QStringLiteral("sheet.pdf"));
    prompts_->files.push_back(sheetPdf);
    pdf->trigger();
    EXPECT_TRUE(prompts_->asked.back().folder.endsWith(
        QStringLiteral("Direct_Repeats_-_NC_012920__lengths_8_to_30__trie_.pdf")));
    EXPECT_EQ(startOf(sheetPdf), QByteArray("%PDF"));
}

TEST_F(DailyTools, ColoursForColourBlindnessAreAChoiceKeptInTheSettings)
{
    openGenome(kMitoFile);
    RepeatTreeModel& model = *modelOf(*window_);
    const QModelIndex word = model.index(0, 0, model.index(0, 0, model.index(1, 0)));
    treeOf(*window_)->setCurrentIndex(word);
    const int first = model.pairsAt(word).front().first;
    EXPECT_EQ(paneOf(*window_)->colorAt(first), QColor(0, 208, 0));  // the program's own, by default
    QAction* safe = window_->command(ColourCommands::IdColourBlindSafe);
    ASSERT_NE(safe, nullptr);
    EXPECT_FALSE(safe->isChecked());
    safe->setChecked(true);
    EXPECT_EQ(paneOf(*window_)->colorAt(first), QColor(0, 114, 178));
    EXPECT_TRUE(stored(QStringLiteral("Tessaron/window/colourblindsafe")).toBool());
    // The map and the report's chart opened from then on take the scheme too,
    // and an open map follows the choice back.
    trigger(*window_, CTessaronDlg::IdDiagram);
    ASSERT_NE(mapOf(*window_), nullptr);
    EXPECT_EQ(mapOf(*window_)->style().colours, tessaron::kColourBlindSafeColours);
    trigger(*window_, CTessaronDlg::IdViewReport);
    ASSERT_FALSE(sheetsOf(*window_).empty());
    const auto* chart = sheetsOf(*window_).back()->chart();
    ASSERT_NE(chart, nullptr);
    ASSERT_FALSE(chart->data().lines.empty());
    EXPECT_EQ(chart->data().lines.front().color, QColor(0, 114, 178));
    safe->setChecked(false);
    EXPECT_EQ(mapOf(*window_)->style().colours, tessaron::kStandardColours);
    EXPECT_EQ(paneOf(*window_)->colorAt(first), QColor(0, 208, 0));
    safe->setChecked(true);
    window_ = makeWindow();
    EXPECT_TRUE(window_->command(ColourCommands::IdColourBlindSafe)->isChecked());
}

TEST_F(DailyTools, ADarkThemeLightensThePaneTextAndTheLightOneKeepsItsOwn)
{
    open(*window_, CTessaronDlg::IdOpenText, writeFile(QStringLiteral("short.txt"), "GATTACAGATTACA"));
    waitForJob(*window_);
    SequenceView& pane = *paneOf(*window_);
    const QColor own(0x20, 0x20, 0x50);
    EXPECT_EQ(pane.textColor(), own);
    QPalette dark = pane.palette();
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(230, 230, 230));
    pane.setPalette(dark);
    EXPECT_GE(pane.textColor().lightness(), 150);
    QPalette light = dark;
    light.setColor(QPalette::Base, Qt::white);
    pane.setPalette(light);
    EXPECT_EQ(pane.textColor(), own);
}

}  // namespace
