// The desktop program: the main window, and the file given as the only
// argument opened in it once the window is on screen. SIGINT and SIGTERM
// close the window as Exit does (a job running is stopped, the settings are
// kept).
//
// `tessaron --screenshot OUT.png FILE` instead opens FILE, selects the first
// repeat of the longest inverted length, selects its first copy in the pane
// (the status bar tells the range) and saves a picture of the window (the
// README's picture is made this way, offscreen); with `--picture annotation`
// or `--picture pairs` it saves instead the annotated pane or the pairs table
// beside the window (pictures.h).

#include "pictures.h"
#include "views/base/jobstatus.h"
#include "views/base/prompts.h"
#include "views/dialogs/helpdlg.h"
#include "views/sequence/sequenceview.h"
#include "views/shell/mainwindow.h"

#include "engine/repeatlist.h"
#include "input/filesave.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QBuffer>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QMouseEvent>
#include <QPixmap>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <csignal>
#include <span>
#include <string_view>

#include <fcntl.h>
#include <unistd.h>

namespace {

// The pipe through which a signal reaches the event loop: the handler may
// only write to it.
int signalPipe[2] = {-1, -1};

extern "C" void onQuitSignal(int /*signal*/)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t wrote = ::write(signalPipe[1], &byte, 1);
}

// Closes `window` on SIGINT or SIGTERM, once the event loop gets there.
void closeOnQuitSignals(QWidget& window)
{
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return;  // the signals keep their default action
    }
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
        char byte = 0;
        while (::read(signalPipe[0], &byte, 1) > 0) {
        }
        window.close();
    });
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

int screenshot(CTessaronDlg& window, const QString& picture, const QString& file)
{
    window.resize(1000, 620);
    window.show();
    window.openFile(file);
    window.findChild<JobStatus*>()->waitForIdle(JobRunner::kNoTimeLimit);
    auto* tree = window.findChild<QTreeView*>(QStringLiteral("tree"));
    const QAbstractItemModel* model = tree->model();
    const QModelIndex inverted = model->index(1, 0);
    const int lengths = model->rowCount(inverted);
    if (lengths > 0) {
        const QModelIndex longest = model->index(lengths - 1, 0, inverted);
        tree->expand(inverted);
        tree->expand(longest);
        tree->setCurrentIndex(model->index(0, 0, longest));
    }
    auto* pane = window.findChild<SequenceView*>(QStringLiteral("sequencePane"));
    const tessaron::Highlights& highlights = window.session().highlights();
    if (const tessaron::Repeat* repeat = highlights.selectedRepeat(); repeat != nullptr) {
        pane->select(highlights.firstCopy(), highlights.firstCopy() + repeat->length);
    }
    // The mouse resting over the pane, so that the status bar shows its position.
    const QPointF over(pane->textLeft() + 40.5 * pane->characterWidth(), 3.5 * pane->lineHeight());
    QMouseEvent move(QEvent::MouseMove, over, pane->viewport()->mapToGlobal(over), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(pane->viewport(), &move);
    QApplication::processEvents();
    // Written as every file the program writes: a regular file replaced only
    // once complete, a FIFO or a device written into, never replaced.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QByteArray format = QFileInfo(picture).suffix().toLatin1();
    const bool saved =
        window.grab().save(&buffer, format.isEmpty() ? "PNG" : format.constData()) &&
        !tessaron::saveFile(QFile::encodeName(picture).toStdString(),
                            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return saved ? 0 : 1;
}

// The command line: --help, --version, the hidden --screenshot OUT and a file.
void describeOptions(QCommandLineParser& parser, const QCommandLineOption& screenshot)
{
    QCoreApplication::setApplicationName(applicationName());
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSARON_VERSION));
    parser.setApplicationDescription(QStringLiteral("Finds the repeated words of a circular genome."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption(screenshot);
    QCommandLineOption picture(QStringLiteral("picture"), QStringLiteral("What the screenshot shows."),
                               QStringLiteral("WHAT"));
    picture.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(picture);
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A GenBank, FASTA or text file to open."),
                                 QStringLiteral("[FILE]"));
}

}  // namespace

int main(int argc, char** argv)
{
    QCommandLineOption screenshotOption(QStringLiteral("screenshot"),
                                        QStringLiteral("Save a picture of the window showing FILE."),
                                        QStringLiteral("OUT"));
    screenshotOption.setFlags(QCommandLineOption::HiddenFromHelp);
    const std::span<char*> given(argv + 1, static_cast<std::size_t>(std::max(argc - 1, 0)));
    if (std::any_of(given.begin(), given.end(), [](const char* argument) {
            const std::string_view text(argument);
            return text == "-h" || text == "--help" || text == "--help-all" || text == "-v" ||
                   text == "--version";
        })) {
        // Answered, and the program ends, without a display.
        const QCoreApplication core(argc, argv);
        QCommandLineParser parser;
        describeOptions(parser, screenshotOption);
        parser.process(core);
    }

    QApplication application(argc, argv);
    QApplication::setDesktopFileName(QStringLiteral("tessaron"));
    // The installed theme icon when there is one, else the one built in.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tessaron"), programIcon()));
    QCommandLineParser parser;
    describeOptions(parser, screenshotOption);
    parser.process(application);
    const QStringList files = parser.positionalArguments();

    // Reads the settings (writing the defaults on the first run) and marks the start.
    CTessaronDlg window;
    closeOnQuitSignals(window);
    window.show();

    if (parser.isSet(screenshotOption) && files.size() == 1) {
        return parser.isSet(QStringLiteral("picture"))
                   ? savePicture(window, parser.value(QStringLiteral("picture")),
                                 parser.value(screenshotOption), files.front())
                   : screenshot(window, parser.value(screenshotOption), files.front());
    }
    if (files.size() == 1) {
        const QString file = files.front();
        QTimer::singleShot(0, &window, [&window, file] { window.openFile(file); });
    }
    return QApplication::exec();
}
