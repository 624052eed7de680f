#include "views/base/settingsstore.h"

#include "engine/wordlengths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <array>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <utility>

namespace {

const QString kRootKey = QStringLiteral("Tessaron");
const QString kMinimumKey = QStringLiteral("Tessaron/dados/min");
const QString kMaximumKey = QStringLiteral("Tessaron/dados/max");
// The search method's name (kMethods); earlier versions stored "complete",
// true for the complete search, which is still read when "method" is missing.
const QString kMethodKey = QStringLiteral("Tessaron/dados/method");
const QString kCompleteKey = QStringLiteral("Tessaron/dados/complete");
const QString kMotifKey = QStringLiteral("Tessaron/dados/findstr");
const QString kMarkerKey = QStringLiteral("Tessaron/registered");
const QString kExportFolderKey = QStringLiteral("Tessaron/export/folder");
const QString kRecentKey = QStringLiteral("Tessaron/window/recent");
const QString kFolderKey = QStringLiteral("Tessaron/window/folder");
const QString kBothStrandsKey = QStringLiteral("Tessaron/window/bothstrands");
const QString kHiddenMapLayersKey = QStringLiteral("Tessaron/window/hiddenmaplayers");
const QString kColourBlindKey = QStringLiteral("Tessaron/window/colourblindsafe");
const QString kGeometryKey = QStringLiteral("Tessaron/window/geometry");
const QString kTreeWidthKey = QStringLiteral("Tessaron/window/treewidth");
const QString kRepeatMinimaKey = QStringLiteral("Tessaron/microsatellites/minimum");
const QString kCompoundKey = QStringLiteral("Tessaron/microsatellites/compound");

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
    tessaron::WordLengths lengths;
    lengths.minimum = settings.value(key).toInt(&ok);
    return ok && !lengths.validate() ? lengths.minimum : fallback;
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
    // A method that finds words, by its name; else an old "complete" true;
    // anything else keeps the default search.
    const auto named = tessaron::methodNamed(settings_->value(kMethodKey).toString().toStdString());
    if (named && tessaron::methodInfo(*named).findsWords) {
        values.method = *named;
    } else if (!settings_->contains(kMethodKey) &&
               settings_->value(kCompleteKey).toString() == QStringLiteral("true")) {
        values.method = tessaron::SearchMethod::Complete;
    }
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
    settings_->setValue(kMethodKey, QString::fromUtf8(tessaron::methodName(method)));
    settings_->remove(kCompleteKey);
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
    tessaron::MicrosatelliteSettings read = values;
    for (std::size_t p = 0; fine && p < read.minimumRepeats.size(); ++p) {
        read.minimumRepeats[p] = minima[static_cast<qsizetype>(p)].toInt(&fine);
    }
    if (fine && !read.validate()) {
        values.minimumRepeats = read.minimumRepeats;
    }
    bool ok = false;
    read = values;
    read.compoundDistance = settings_->value(kCompoundKey).toInt(&ok);
    if (ok && !read.validate()) {
        values.compoundDistance = read.compoundDistance;
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

QString SettingsStore::hiddenMapLayers() const
{
    return settings_ ? settings_->value(kHiddenMapLayersKey).toString() : QString();
}

void SettingsStore::saveHiddenMapLayers(const QString& names)
{
    if (!settings_) {
        return;
    }
    settings_->setValue(kHiddenMapLayersKey, names);
    settings_->sync();
}

bool SettingsStore::colourBlindSafe() const
{
    // Without a settings file the choice lasts until the program ends.
    return settings_ ? settings_->value(kColourBlindKey, false).toBool() : colourBlindSafe_;
}

void SettingsStore::saveColourBlindSafe(bool safe)
{
    colourBlindSafe_ = safe;
    if (!settings_) {
        return;
    }
    settings_->setValue(kColourBlindKey, safe);
    settings_->sync();
}

tessaron::ColourScheme SettingsStore::colourScheme() const
{
    return colourBlindSafe() ? tessaron::kColourBlindSafeColours : tessaron::kStandardColours;
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
    // Each stored value alone in the defaults: one out of its bounds (the
    // search's validate()) leaves the default in its place.
    const auto kept = [&values](const tessaron::ApproximateSettings& candidate, bool read) {
        if (read && !candidate.validate()) {
            values = candidate;
        }
    };
    bool read = false;
    tessaron::ApproximateSettings candidate = values;
    candidate.minLength = settings_->value(QStringLiteral("Tessaron/approximate/min")).toInt(&read);
    kept(candidate, read);
    candidate = values;
    candidate.identity = settings_->value(QStringLiteral("Tessaron/approximate/identity")).toDouble(&read);
    kept(candidate, read);
    candidate = values;
    candidate.mismatchPenalty = settings_->value(QStringLiteral("Tessaron/approximate/penalty")).toInt(&read);
    kept(candidate, read);
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

GapChoice SettingsStore::gapChoice() const
{
    GapChoice choice;
    if (!settings_) {
        return choice;
    }
    choice.gaps = settings_->value(QStringLiteral("Tessaron/approximate/gaps"), false).toBool();
    choice.families = settings_->value(QStringLiteral("Tessaron/approximate/families"), true).toBool();
    // Each cost alone in the defaults, as the gapped search bounds it.
    const auto cost = [this](const char* key, int tessaron::GappedSettings::*field) {
        tessaron::GappedSettings candidate;
        bool read = false;
        candidate.*field = settings_->value(QLatin1String(key)).toInt(&read);
        return read && tessaron::validate(candidate).empty() ? candidate.*field
                                                             : tessaron::GappedSettings{}.*field;
    };
    choice.gapOpen = cost("Tessaron/approximate/gapopen", &tessaron::GappedSettings::gapOpen);
    choice.gapExtend = cost("Tessaron/approximate/gapextend", &tessaron::GappedSettings::gapExtend);
    return choice;
}

void SettingsStore::saveGapChoice(const GapChoice& choice)
{
    if (!settings_) {
        return;
    }
    settings_->setValue(QStringLiteral("Tessaron/approximate/gaps"), choice.gaps);
    settings_->setValue(QStringLiteral("Tessaron/approximate/gapopen"), choice.gapOpen);
    settings_->setValue(QStringLiteral("Tessaron/approximate/gapextend"), choice.gapExtend);
    settings_->setValue(QStringLiteral("Tessaron/approximate/families"), choice.families);
    settings_->sync();
}

tessaron::TandemSettings SettingsStore::tandemSettings() const
{
    tessaron::TandemSettings values;
    if (!settings_) {
        return values;
    }
    // Each stored value alone in the settings read so far: one out of bounds
    // leaves the value before it in its place.
    const std::array<std::pair<const char*, int tessaron::TandemSettings::*>, 5> fields{{
        {"Tessaron/tandem/maxperiod", &tessaron::TandemSettings::maximumPeriod},
        {"Tessaron/tandem/match", &tessaron::TandemSettings::match},
        {"Tessaron/tandem/mismatch", &tessaron::TandemSettings::mismatch},
        {"Tessaron/tandem/indel", &tessaron::TandemSettings::indel},
        {"Tessaron/tandem/minscore", &tessaron::TandemSettings::minimumScore},
    }};
    for (const auto& [key, field] : fields) {
        bool read = false;
        tessaron::TandemSettings candidate = values;
        candidate.*field = settings_->value(QString::fromLatin1(key)).toInt(&read);
        if (read && !candidate.validate()) {
            values = candidate;
        }
    }
    return values;
}

void SettingsStore::saveTandemSettings(const tessaron::TandemSettings& settings)
{
    if (!settings_) {
        return;
    }
    settings_->setValue(QStringLiteral("Tessaron/tandem/maxperiod"), settings.maximumPeriod);
    settings_->setValue(QStringLiteral("Tessaron/tandem/match"), settings.match);
    settings_->setValue(QStringLiteral("Tessaron/tandem/mismatch"), settings.mismatch);
    settings_->setValue(QStringLiteral("Tessaron/tandem/indel"), settings.indel);
    settings_->setValue(QStringLiteral("Tessaron/tandem/minscore"), settings.minimumScore);
    settings_->sync();
}
