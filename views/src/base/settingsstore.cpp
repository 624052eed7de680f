#include "views/base/settingsstore.h"

#include "views/dialogs/microsatellitedlg.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <system_error>

namespace {

const QString kRootKey = QStringLiteral("Tessaron");
const QString kMinimumKey = QStringLiteral("Tessaron/dados/min");
const QString kMaximumKey = QStringLiteral("Tessaron/dados/max");
const QString kCompleteKey = QStringLiteral("Tessaron/dados/complete");
const QString kMotifKey = QStringLiteral("Tessaron/dados/findstr");
const QString kMarkerKey = QStringLiteral("Tessaron/registered");
const QString kExportFolderKey = QStringLiteral("Tessaron/export/folder");
const QString kRecentKey = QStringLiteral("Tessaron/window/recent");
const QString kFolderKey = QStringLiteral("Tessaron/window/folder");
const QString kBothStrandsKey = QStringLiteral("Tessaron/window/bothstrands");
const QString kColourBlindKey = QStringLiteral("Tessaron/window/colourblindsafe");
const QString kGeometryKey = QStringLiteral("Tessaron/window/geometry");
const QString kTreeWidthKey = QStringLiteral("Tessaron/window/treewidth");
const QString kRepeatMinimaKey = QStringLiteral("Tessaron/microsatellites/minimum");
const QString kCompoundKey = QStringLiteral("Tessaron/microsatellites/compound");

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

// Why `path` cannot hold the settings, or nothing when it can: one that does
// not exist yet is made by the first write, and one that exists must be a
// regular file. Anything else is not even opened: reading a pipe would wait
// for a writer for ever, and replacing a device (or a folder) with a file of
// settings would break the system.
QString problemOf(const QString& path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(QFile::encodeName(path).toStdString(), error);
    if (status.type() == fs::file_type::none) {
        // Not even its kind can be told: a loop of symbolic links, say, which
        // a file of settings written there would replace.
        return QStringLiteral(
                   "The settings file %1 cannot be used (%2): the default settings are used and changes "
                   "are not saved.")
            .arg(path, QString::fromStdString(error.message()));
    }
    if (!fs::exists(status) || fs::is_regular_file(status)) {
        return {};
    }
    QString kind = QStringLiteral("not a file");
    if (fs::is_directory(status)) {
        kind = QStringLiteral("a folder");
    } else if (fs::is_fifo(status)) {
        kind = QStringLiteral("a pipe");
    } else if (fs::is_character_file(status) || fs::is_block_file(status)) {
        kind = QStringLiteral("a device");
    }
    return QStringLiteral(
               "The settings file %1 is %2: the default settings are used and changes are not saved.")
        .arg(path, kind);
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

SettingsStore::SettingsStore() : fileName_(settingsFile()), problem_(problemOf(fileName_))
{
    if (problem_.isEmpty()) {
        settings_ = std::make_unique<QSettings>(fileName_, QSettings::IniFormat);
    } else {
        std::cerr << problem_.toStdString() << '\n';  // the window shows it too
    }
}

SettingsStore::~SettingsStore() = default;

SettingsStore::Values SettingsStore::load()
{
    Values values;
    if (!settings_ || settings_->status() != QSettings::NoError) {
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
    // Anything but a stored true keeps the default search.
    values.method = settings_->value(kCompleteKey).toString() == QStringLiteral("true")
                        ? tessaron::SearchMethod::Complete
                        : tessaron::SearchMethod::Trie;
    return values;
}

void SettingsStore::saveLengths(int minimum, int maximum)
{
    if (!settings_) {
        return;
    }
    settings_->setValue(kMinimumKey, minimum);
    settings_->setValue(kMaximumKey, maximum);
    settings_->sync();
}

void SettingsStore::saveMotif(const QString& motif)
{
    if (!settings_) {
        return;
    }
    settings_->setValue(kMotifKey, motif);
    settings_->sync();
}

QString SettingsStore::exportFolder() const
{
    return settings_ ? settings_->value(kExportFolderKey).toString() : QString();
}

void SettingsStore::saveExportFolder(const QString& folder)
{
    if (!settings_) {
        return;
    }
    settings_->setValue(kExportFolderKey, folder);
    settings_->sync();
}

void SettingsStore::saveMethod(tessaron::SearchMethod method)
{
    if (!settings_) {
        return;
    }
    settings_->setValue(kCompleteKey, method == tessaron::SearchMethod::Complete);
    settings_->sync();
}

QStringList SettingsStore::recentFiles() const
{
    if (!settings_) {
        return {};
    }
    QStringList files = settings_->value(kRecentKey).toStringList();
    files.removeAll(QString());
    files.removeDuplicates();
    return files.mid(0, kRecentFiles);
}

void SettingsStore::saveRecentFiles(const QStringList& files)
{
    if (!settings_) {
        return;
    }
    settings_->setValue(kRecentKey, files.mid(0, kRecentFiles));
    settings_->sync();
}

QString SettingsStore::lastFolder() const
{
    return settings_ ? settings_->value(kFolderKey).toString() : QString();
}

void SettingsStore::saveLastFolder(const QString& folder)
{
    if (!settings_) {
        return;
    }
    settings_->setValue(kFolderKey, folder);
    settings_->sync();
}

QString SettingsStore::keepFolderOf(const QString& file)
{
    if (!file.isEmpty()) {
        saveLastFolder(QFileInfo(file).absolutePath());
    }
    return file;
}

tessaron::MicrosatelliteSettings SettingsStore::microsatellites() const
{
    tessaron::MicrosatelliteSettings values;
    if (!settings_) {
        return values;
    }
    const QStringList minima = settings_->value(kRepeatMinimaKey).toString().split(QLatin1Char(','));
    bool fine = minima.size() == static_cast<qsizetype>(values.minimumRepeats.size());
    std::array<int, tessaron::kMaxUnitLength> read{};
    for (std::size_t p = 0; fine && p < read.size(); ++p) {
        read[p] = minima[static_cast<qsizetype>(p)].toInt(&fine);
        fine = fine && read[p] >= CMicrosatelliteDlg::kLeastRepeats &&
               read[p] <= CMicrosatelliteDlg::kMostRepeats;
    }
    if (fine) {
        values.minimumRepeats = read;
    }
    bool ok = false;
    const int distance = settings_->value(kCompoundKey).toInt(&ok);
    if (ok && distance >= 0 && distance <= CMicrosatelliteDlg::kFarthestCompound) {
        values.compoundDistance = distance;
    }
    return values;
}

void SettingsStore::saveMicrosatellites(const tessaron::MicrosatelliteSettings& values)
{
    if (!settings_) {
        return;
    }
    QStringList minima;
    for (const int minimum : values.minimumRepeats) {
        minima << QString::number(minimum);
    }
    settings_->setValue(kRepeatMinimaKey, minima.join(QLatin1Char(',')));
    settings_->setValue(kCompoundKey, values.compoundDistance);
    settings_->sync();
}

bool SettingsStore::bothStrands() const
{
    return settings_ && settings_->value(kBothStrandsKey, false).toBool();
}

void SettingsStore::saveBothStrands(bool both)
{
    if (!settings_) {
        return;
    }
    settings_->setValue(kBothStrandsKey, both);
    settings_->sync();
}

bool SettingsStore::colourBlindSafe() const
{
    return settings_ && settings_->value(kColourBlindKey, false).toBool();
}

void SettingsStore::saveColourBlindSafe(bool safe)
{
    if (!settings_) {
        return;
    }
    settings_->setValue(kColourBlindKey, safe);
    settings_->sync();
}

SettingsStore::WindowPlace SettingsStore::windowPlace() const
{
    if (!settings_) {
        return {};
    }
    return {settings_->value(kGeometryKey).toByteArray(),
            std::max(0, settings_->value(kTreeWidthKey, 0).toInt())};
}

void SettingsStore::saveWindowPlace(const WindowPlace& place)
{
    if (!settings_) {
        return;
    }
    settings_->setValue(kGeometryKey, place.geometry);
    settings_->setValue(kTreeWidthKey, place.treeWidth);
    settings_->sync();
}

bool SettingsStore::firstStart()
{
    // Without a file no marker can be kept, and no start counts as the first.
    if (!settings_ || settings_->contains(kMarkerKey)) {
        return false;
    }
    settings_->setValue(kMarkerKey, true);
    settings_->sync();
    return true;
}

QString SettingsStore::fileName() const
{
    return settings_ ? settings_->fileName() : fileName_;
}

tessaron::ApproximateSettings SettingsStore::approximateSettings() const
{
    tessaron::ApproximateSettings values;
    if (!settings_) {
        return values;
    }
    bool read = false;
    const int minimum = settings_->value(QStringLiteral("Tessaron/approximate/min")).toInt(&read);
    if (read && minimum >= 1) {
        values.minLength = minimum;
    }
    const double identity = settings_->value(QStringLiteral("Tessaron/approximate/identity")).toDouble(&read);
    if (read && identity >= 0.0 && identity <= 100.0) {
        values.identity = identity;
    }
    const int penalty = settings_->value(QStringLiteral("Tessaron/approximate/penalty")).toInt(&read);
    if (read && penalty >= 1 && penalty <= 1000) {
        values.mismatchPenalty = penalty;
    }
    return values;
}

void SettingsStore::saveApproximateSettings(const tessaron::ApproximateSettings& settings)
{
    if (!settings_) {
        return;
    }
    settings_->setValue(QStringLiteral("Tessaron/approximate/min"), settings.minLength);
    settings_->setValue(QStringLiteral("Tessaron/approximate/identity"), settings.identity);
    settings_->setValue(QStringLiteral("Tessaron/approximate/penalty"), settings.mismatchPenalty);
    settings_->sync();
}
