#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

// A temporary folder whose settings.ini the program uses for as long as this
// lives; the settings file used before comes back afterwards.
class ScopedSettingsFile {
public:
    ScopedSettingsFile() : previous_(qgetenv("TESSARON_SETTINGS"))
    {
        qputenv("TESSARON_SETTINGS", folder_.filePath(QStringLiteral("settings.ini")).toUtf8());
    }
    ~ScopedSettingsFile() { qputenv("TESSARON_SETTINGS", previous_); }
    ScopedSettingsFile(const ScopedSettingsFile&) = delete;
    ScopedSettingsFile& operator=(const ScopedSettingsFile&) = delete;

    [[nodiscard]] bool isValid() const { return folder_.isValid(); }
    [[nodiscard]] QString path() const { return folder_.path(); }
    [[nodiscard]] QString filePath(const QString& name) const { return folder_.filePath(name); }

private:
    QTemporaryDir folder_;
    QByteArray previous_;
};
