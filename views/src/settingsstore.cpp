#include "views/settingsstore.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {

const QString kRootKey = QStringLiteral("Tessaron");
const QString kMinimumKey = QStringLiteral("Tessaron/dados/min");
const QString kMaximumKey = QStringLiteral("Tessaron/dados/max");
const QString kMotifKey = QStringLiteral("Tessaron/dados/findstr");
const QString kMarkerKey = QStringLiteral("Tessaron/registered");

constexpr int kShortestLength = 3;
constexpr int kLongestLength = 256;

QString settingsFile()
{
    const QString overridden = qEnvironmentVariable("TESSARON_SETTINGS");
    if (!overridden.isEmpty()) {
        return overridden;
    }
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(folder).filePath(QStringLiteral("Tessaron/tessaron.ini"));
}

// Whether anything is stored below `group`: keys exist only through their values.
bool groupExists(QSettings& settings, const QString& group)
{
    settings.beginGroup(group);
    const bool exists = !settings.childKeys().isEmpty() || !settings.childGroups().isEmpty();
    settings.endGroup();
    return exists;
}

// A stored length, or `fallback` when it is missing, not a number or out of
// the range the searches accept (a hand-edited or damaged file).
int readLength(const QSettings& settings, const QString& key, int fallback)
{
    bool ok = false;
    const int value = settings.value(key).toInt(&ok);
    return ok && value >= kShortestLength && value <= kLongestLength ? value : fallback;
}

}  // namespace

SettingsStore::SettingsStore() : settings_(std::make_unique<QSettings>(settingsFile(), QSettings::IniFormat))
{
}

SettingsStore::~SettingsStore() = default;

SettingsStore::Values SettingsStore::load()
{
    Values values;
    if (settings_->status() != QSettings::NoError) {
        return values;  // unreadable or damaged: start with the defaults
    }
    if (!groupExists(*settings_, kRootKey)) {
        settings_->setValue(kMinimumKey, values.minimum);
        settings_->setValue(kMaximumKey, values.maximum);
        settings_->sync();
        return values;
    }
    values.minimum = readLength(*settings_, kMinimumKey, values.minimum);
    values.maximum = readLength(*settings_, kMaximumKey, values.maximum);
    if (values.minimum > values.maximum) {
        values.minimum = values.maximum;  // as the Options dialog would have stored them
    }
    QString motif = settings_->value(kMotifKey).toString();
    const qsizetype end = motif.indexOf(QChar(u'\0'));
    if (end >= 0) {
        motif.truncate(end);
    }
    values.motif = motif;
    return values;
}

void SettingsStore::saveLengths(int minimum, int maximum)
{
    settings_->setValue(kMinimumKey, minimum);
    settings_->setValue(kMaximumKey, maximum);
    settings_->sync();
}

void SettingsStore::saveMotif(const QString& motif)
{
    settings_->setValue(kMotifKey, motif);
    settings_->sync();
}

bool SettingsStore::firstStart()
{
    if (settings_->contains(kMarkerKey)) {
        return false;
    }
    settings_->setValue(kMarkerKey, true);
    settings_->sync();
    return true;
}

QString SettingsStore::fileName() const
{
    return settings_->fileName();
}
