// The desktop program: the main window, and the file given as the only
// argument opened in it once the window is on screen.
//
// `tessaron --screenshot OUT.png FILE` instead opens FILE, selects the first
// repeat of the longest inverted length, selects its first copy in the pane
// (the status bar tells the range) and saves a picture of the window (the
// README's picture is made this way, offscreen).

#include "views/helpdlg.h"
#include "views/jobstatus.h"
#include "views/mainwindow.h"
#include "views/prompts.h"
#include "views/sequenceview.h"

#include "engine/repeatlist.h"
#include "input/filesave.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QMouseEvent>
#include <QPixmap>
#include <QStringList>
#include <QTimer>
#include <QTreeView>

namespace {

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

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(applicationName());
    QApplication::setDesktopFileName(QStringLiteral("tessaron"));
    // The installed theme icon when there is one, else the one built in.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tessaron"), programIcon()));

    // Reads the settings (writing the defaults on the first run) and marks the start.
    CTessaronDlg window;
    window.show();

    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 4 && arguments.at(1) == QStringLiteral("--screenshot")) {
        return screenshot(window, arguments.at(2), arguments.at(3));
    }
    if (arguments.size() == 2) {
        const QString file = arguments.at(1);
        QTimer::singleShot(0, &window, [&window, file] { window.openFile(file); });
    }
    return QApplication::exec();
}
