#pragma once

#include "engine/microsatellites.h"
#include "engine/searchmethod.h"
#include "engine/tandemrepeats.h"
#include "palette/colourscheme.h"
#include "views/base/gapchoice.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

// The program's settings between runs: under the key "Tessaron", the subkey
// "dados" holds "min", "max", "method" (the search method's name, "trie" or
// "complete"; without it an older "complete", true for the complete search,
// is read) and "findstr", and the key "registered" marks a
// completed first start. Kept in a file under the user's configuration
// folder, or in the file named by the environment variable
// TESSARON_SETTINGS (tests use it). Every write happens when a setting
// changes, the main window's place as it closes. The program always starts, with 8, 30
// and an empty motif at worst. A settings path that exists but is not a
// regular file (a folder, a pipe, a device such as /dev/null; a link to a
// regular file will do), or whose kind cannot be told (a loop of symbolic
// links), is never opened, read or written: the store then keeps nothing and
// says why in `problem` and once on standard error. Other errors are not
// reported.
class SettingsStore {
public:
    struct Values {
        int minimum = 8;
        int maximum = 30;
        QString motif;
        tessaron::SearchMethod method = tessaron::SearchMethod::Trie;
    };

    SettingsStore();
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Reads the values; on the first run writes the defaults 8 and 30 (no motif).
    [[nodiscard]] Values load();
    void saveLengths(int minimum, int maximum);
    void saveMotif(const QString& motif);
    // The folder the repeats were last exported to; empty before the first export.
    [[nodiscard]] QString exportFolder() const;
    void saveExportFolder(const QString& folder);
    void saveMethod(tessaron::SearchMethod method);
    // The microsatellite settings, under "Tessaron/microsatellites": "minimum"
    // (the six least repeat numbers, "10,6,5,5,5,5") and "compound" (the
    // distance); the defaults for what is missing or out of range.
    [[nodiscard]] tessaron::MicrosatelliteSettings microsatellites() const;
    void saveMicrosatellites(const tessaron::MicrosatelliteSettings& settings);
    // The window's own memory, under "Tessaron/window": the files opened
    // last (newest first, at most kRecentFiles), the folder of the last file
    // chosen, and whether motifs are looked for on both strands.
    static constexpr int kRecentFiles = 8;
    [[nodiscard]] QStringList recentFiles() const;
    void saveRecentFiles(const QStringList& files);
    [[nodiscard]] QString lastFolder() const;
    void saveLastFolder(const QString& folder);
    // Keeps the folder of a file just chosen as the last folder (nothing for
    // an empty name, a cancelled chooser); returns the file.
    QString keepFolderOf(const QString& file);
    [[nodiscard]] bool bothStrands() const;
    void saveBothStrands(bool both);
    // The map window's layers that are off, under "Tessaron/window/hiddenmaplayers",
    // as the command line's --map-hide names them ("approximate,gc").
    [[nodiscard]] QString hiddenMapLayers() const;
    void saveHiddenMapLayers(const QString& names);
    // Whether repeats are marked in colours safe for red-green colour blindness.
    [[nodiscard]] bool colourBlindSafe() const;
    void saveColourBlindSafe(bool safe);
    // The colours that choice stands for.
    [[nodiscard]] tessaron::ColourScheme colourScheme() const;
    // Where the main window was as it closed: its frame (QWidget::saveGeometry),
    // and the results tree's width when the user had moved the splitter (0
    // when not); none before the window first closes.
    struct WindowPlace {
        QByteArray geometry;
        int treeWidth = 0;
    };
    [[nodiscard]] WindowPlace windowPlace() const;
    void saveWindowPlace(const WindowPlace& place);

    // The approximate search's settings under "Tessaron/approximate" (min,
    // identity, penalty); the search's defaults when none are stored or they
    // are out of range.
    [[nodiscard]] tessaron::ApproximateSettings approximateSettings() const;
    void saveApproximateSettings(const tessaron::ApproximateSettings& settings);
    // Its choice of gaps under "Tessaron/approximate" too (gaps, gapopen,
    // gapextend, families); the defaults for values out of the gapped
    // search's bounds (its validate()).
    [[nodiscard]] GapChoice gapChoice() const;
    void saveGapChoice(const GapChoice& choice);
    // The tandem repeat search's settings under "Tessaron/tandem" (maxperiod,
    // match, mismatch, indel, minscore); the search's defaults for what is not
    // stored or out of its bounds (TandemSettings::validate).
    [[nodiscard]] tessaron::TandemSettings tandemSettings() const;
    void saveTandemSettings(const tessaron::TandemSettings& settings);

    // True on the first start (no "registered" marker yet); writes the marker.
    bool firstStart();

    // The file in use.
    [[nodiscard]] QString fileName() const;
    // Why the settings are neither read nor saved, for the window to show
    // once; empty when the file can be used.
    [[nodiscard]] QString problem() const { return problem_; }

private:
    QString fileName_;
    QString problem_;
    std::unique_ptr<QSettings> settings_;  // none when the file cannot be used
    bool colourBlindSafe_ = false;         // the choice, kept without a file
};
