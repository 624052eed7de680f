// The desktop program: the main window, and the file given as the only
// argument opened in it once the window is on screen.

#include "app/prompts.h"
#include "app/tessarondlg.h"

#include <QApplication>
#include <QIcon>
#include <QStringList>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(applicationName());
    QApplication::setDesktopFileName(QStringLiteral("tessaron"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("tessaron")));

    // Reads the settings (writing the defaults on the first run) and marks the start.
    CTessaronDlg window;
    window.show();

    const QStringList arguments = QApplication::arguments();
    if (arguments.size() == 2) {
        const QString file = arguments.at(1);
        QTimer::singleShot(0, &window, [&window, file] { window.openFile(file); });
    }
    return QApplication::exec();
}
