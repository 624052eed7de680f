#pragma once

// Start-up shared by the programs that draw for tessaron-cli without a display.

#include <QString>
#include <QtGlobal>

#include <iostream>

namespace tessaron {

// Draws offscreen, and lets only this program's own messages reach standard
// error, not the platform's notes (a missing runtime folder and the like).
inline void drawOffscreenQuietly()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::cerr << "tessaron-cli: " << message.toStdString() << '\n';
        }
    });
}

}  // namespace tessaron
