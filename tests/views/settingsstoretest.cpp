// The settings between runs: first and later runs, missing and damaged values,
// and writes that happen only when a setting changes.

#include "views/base/settingsstore.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <vector>

#include <sys/stat.h>

namespace {

// Points the store at a file of this test's own and restores the previous file afterwards.
class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder_.isValid());
        previous_ = qgetenv("TESSARON_SETTINGS");
        useFile(file());
    }
    void TearDown() override { qputenv("TESSARON_SETTINGS", previous_); }

    static void useFile(const QString& path) { qputenv("TESSARON_SETTINGS", path.toUtf8()); }
    [[nodiscard]] QString file() const { return folder_.filePath(QStringLiteral("settings.ini")); }

    // What another program (or an earlier run) left in the file.
    void store(const QString& key, const QVariant& value) const
    {
        QSettings settings(file(), QSettings::IniFormat);
        settings.setValue(key, value);
    }
    [[nodiscard]] std::optional<QVariant> stored(const QString& key) const
    {
        QSettings settings(file(), QSettings::IniFormat);
        return settings.contains(key) ? std::optional<QVariant>(settings.value(key)) : std::nullopt;
    }
    [[nodiscard]] QByteArray fileBytes() const
    {
        QFile in(file());
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    void writeFileBytes(const QByteArray& bytes) const
    {
        QFile out(file());
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }

    static void expectDefaults(const SettingsStore::Values& values)
    {
        EXPECT_EQ(values.minimum, 8);
        EXPECT_EQ(values.maximum, 30);
        EXPECT_TRUE(values.motif.isEmpty());
        EXPECT_EQ(values.method, tessaron::SearchMethod::Trie);
    }

    QTemporaryDir folder_;
    QByteArray previous_;
};

TEST_F(SettingsStoreTest, FirstRunWritesTheDefaultLengthsAndNoMotif)
{
    SettingsStore settings;
    EXPECT_EQ(settings.fileName(), file());
    expectDefaults(settings.load());

    EXPECT_EQ(stored(QStringLiteral("Tessaron/dados/min")).value_or(QVariant()).toInt(), 8);
    EXPECT_EQ(stored(QStringLiteral("Tessaron/dados/max")).value_or(QVariant()).toInt(), 30);
    EXPECT_FALSE(stored(QStringLiteral("Tessaron/dados/findstr")).has_value());
}

TEST_F(SettingsStoreTest, LaterRunReadsWhatWasStored)
{
    store(QStringLiteral("Tessaron/dados/min"), 5);
    store(QStringLiteral("Tessaron/dados/max"), 12);
    store(QStringLiteral("Tessaron/dados/findstr"), QStringLiteral("GATC"));

    SettingsStore settings;
    const SettingsStore::Values values = settings.load();
    EXPECT_EQ(values.minimum, 5);
    EXPECT_EQ(values.maximum, 12);
    EXPECT_EQ(values.motif, QStringLiteral("GATC"));
}

TEST_F(SettingsStoreTest, TheCompleteSearchIsOnOnlyWhenStoredSo)
{
    using tessaron::SearchMethod;
    const std::pair<QVariant, SearchMethod> cases[] = {{QVariant(), SearchMethod::Trie},
                                                       {true, SearchMethod::Complete},
                                                       {false, SearchMethod::Trie},
                                                       {QStringLiteral("yes"), SearchMethod::Trie},
                                                       {7, SearchMethod::Trie}};
    for (const auto& [value, expected] : cases) {
        SCOPED_TRACE(value.toString().toStdString());
        QFile::remove(file());
        store(QStringLiteral("Tessaron/dados/min"), 5);
        if (value.isValid()) {
            store(QStringLiteral("Tessaron/dados/complete"), value);
        }
        SettingsStore settings;
        EXPECT_EQ(settings.load().method, expected);
    }
    // Saved, it reaches the next run; the lengths stay.
    {
        SettingsStore settings;
        settings.saveMethod(SearchMethod::Complete);
    }
    SettingsStore later;
    const SettingsStore::Values values = later.load();
    EXPECT_EQ(values.method, SearchMethod::Complete);
    EXPECT_EQ(values.minimum, 5);
}

// The method is stored by its name; the old bool is read only without one.
TEST_F(SettingsStoreTest, TheMethodIsStoredByItsNameAndTheOldBoolStillRead)
{
    using tessaron::SearchMethod;
    const struct {
        QVariant method;
        QVariant complete;
        SearchMethod expected;
    } cases[] = {
        {QStringLiteral("complete"), QVariant(), SearchMethod::Complete},
        {QStringLiteral("trie"), true, SearchMethod::Trie},
        {QStringLiteral("approximate"), QVariant(), SearchMethod::Trie},  // no words: its own branch
        {QStringLiteral("described"), true, SearchMethod::Trie},
        {QVariant(), true, SearchMethod::Complete},
    };
    for (const auto& [method, complete, expected] : cases) {
        SCOPED_TRACE(method.toString().toStdString());
        QFile::remove(file());
        store(QStringLiteral("Tessaron/dados/min"), 5);
        if (method.isValid()) {
            store(QStringLiteral("Tessaron/dados/method"), method);
        }
        if (complete.isValid()) {
            store(QStringLiteral("Tessaron/dados/complete"), complete);
        }
        SettingsStore settings;
        EXPECT_EQ(settings.load().method, expected);
    }
    for (const SearchMethod method : {SearchMethod::Complete, SearchMethod::Trie}) {
        SettingsStore settings;
        settings.saveMethod(method);
        EXPECT_EQ(stored(QStringLiteral("Tessaron/dados/method")).value_or(QVariant()).toString(),
                  QString::fromUtf8(tessaron::methodName(method)));
        EXPECT_FALSE(stored(QStringLiteral("Tessaron/dados/complete")));
    }
}

TEST_F(SettingsStoreTest, TheGapChoiceIsKeptWithinTheGappedSearchsBounds)
{
    const GapChoice defaults;
    struct Case {
        const char* name;
        QVariant open;
        QVariant extend;
        int expectedOpen;
        int expectedExtend;
    };
    const std::vector<Case> cases{
        {"in bounds", 8, 3, 8, 3},
        {"gaps impossible", tessaron::GappedSettings::kMaxGapCost, 1000,
         tessaron::GappedSettings::kMaxGapCost, 1000},
        {"cheaper than the statistics know", 1, 1, defaults.gapOpen, defaults.gapExtend},
        {"above the bound", tessaron::GappedSettings::kMaxGapCost + 1, -2, defaults.gapOpen,
         defaults.gapExtend},
        {"not numbers", QStringLiteral("five"), QString(), defaults.gapOpen, defaults.gapExtend},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(file());
        store(QStringLiteral("Tessaron/approximate/gaps"), true);
        store(QStringLiteral("Tessaron/approximate/families"), false);
        store(QStringLiteral("Tessaron/approximate/gapopen"), c.open);
        store(QStringLiteral("Tessaron/approximate/gapextend"), c.extend);
        const GapChoice read = SettingsStore().gapChoice();
        EXPECT_TRUE(read.gaps);
        EXPECT_FALSE(read.families);
        EXPECT_EQ(read.gapOpen, c.expectedOpen);
        EXPECT_EQ(read.gapExtend, c.expectedExtend);
    }
    QFile::remove(file());
    EXPECT_EQ(SettingsStore().gapChoice(), defaults);
    const GapChoice chosen{true, 12, 4, false};
    SettingsStore().saveGapChoice(chosen);
    EXPECT_EQ(SettingsStore().gapChoice(), chosen);
}

TEST_F(SettingsStoreTest, LoadingAndClosingWriteNothing)
{
    store(QStringLiteral("Tessaron/dados/min"), 5);
    store(QStringLiteral("Tessaron/dados/max"), 12);
    const QByteArray before = fileBytes();
    {
        SettingsStore settings;
        (void)settings.load();
        EXPECT_EQ(fileBytes(), before);
        // Another program changes the file while the store is open: closing
        // the store (the program's exit) must not write over it.
        store(QStringLiteral("Tessaron/dados/max"), 20);
    }
    EXPECT_EQ(stored(QStringLiteral("Tessaron/dados/max")).value_or(QVariant()).toInt(), 20);
}

TEST_F(SettingsStoreTest, AValueThatCannotBeReadKeepsItsStartValue)
{
    struct Case {
        const char* name;
        QVariant minimum;  // invalid: not stored
        QVariant maximum;
        QVariant motif;
        int expectedMinimum;
        int expectedMaximum;
        QString expectedMotif;
    };
    const Case cases[] = {
        {"motif missing", 5, 12, QVariant(), 5, 12, QString()},
        {"minimum missing", QVariant(), 12, QStringLiteral("AC"), 8, 12, QStringLiteral("AC")},
        {"maximum missing", 5, QVariant(), QVariant(), 5, 30, QString()},
        {"not numbers", QStringLiteral("eight"), QStringLiteral("12x"), QVariant(), 8, 30, QString()},
        {"below the range", 2, 1, QVariant(), 8, 30, QString()},
        {"above the range", 257, 100000, QVariant(), 8, 30, QString()},
        {"the range's ends", 3, 256, QVariant(), 3, 256, QString()},
        {"minimum above maximum", 20, 10, QVariant(), 10, 10, QString()},
        {"motif cut at a NUL", 5, 12, QStringLiteral("GAT") + QChar(u'\0') + QStringLiteral("C"), 5, 12,
         QStringLiteral("GAT")},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        QFile::remove(file());
        store(QStringLiteral("Tessaron/registered"), true);
        const std::pair<const char*, QVariant> values[] = {{"Tessaron/dados/min", test.minimum},
                                                           {"Tessaron/dados/max", test.maximum},
                                                           {"Tessaron/dados/findstr", test.motif}};
        for (const auto& [key, value] : values) {
            if (value.isValid()) {
                store(QString::fromLatin1(key), value);
            }
        }
        SettingsStore settings;
        const SettingsStore::Values read = settings.load();
        EXPECT_EQ(read.minimum, test.expectedMinimum);
        EXPECT_EQ(read.maximum, test.expectedMaximum);
        EXPECT_EQ(read.motif, test.expectedMotif);
    }
}

TEST_F(SettingsStoreTest, MissingDadosIsNotCreatedAtStartButByTheNextWrite)
{
    store(QStringLiteral("Tessaron/registered"), true);

    SettingsStore settings;
    expectDefaults(settings.load());
    EXPECT_FALSE(stored(QStringLiteral("Tessaron/dados/min")).has_value());
    EXPECT_FALSE(stored(QStringLiteral("Tessaron/dados/max")).has_value());

    settings.saveLengths(10, 20);
    settings.saveMotif(QStringLiteral("ACGT"));

    SettingsStore later;
    const SettingsStore::Values values = later.load();
    EXPECT_EQ(values.minimum, 10);
    EXPECT_EQ(values.maximum, 20);
    EXPECT_EQ(values.motif, QStringLiteral("ACGT"));
}

TEST_F(SettingsStoreTest, WritesReachTheFileAtOnce)
{
    SettingsStore settings;
    (void)settings.load();
    settings.saveLengths(4, 6);
    // Read while the store is still open: nothing waits for the exit.
    EXPECT_EQ(stored(QStringLiteral("Tessaron/dados/min")).value_or(QVariant()).toInt(), 4);
    EXPECT_EQ(stored(QStringLiteral("Tessaron/dados/max")).value_or(QVariant()).toInt(), 6);
    EXPECT_FALSE(stored(QStringLiteral("Tessaron/dados/findstr")).has_value());

    settings.saveMotif(QStringLiteral("GATTACA"));
    EXPECT_EQ(stored(QStringLiteral("Tessaron/dados/findstr")).value_or(QVariant()).toString(),
              QStringLiteral("GATTACA"));
    EXPECT_EQ(stored(QStringLiteral("Tessaron/dados/min")).value_or(QVariant()).toInt(), 4);
}

TEST_F(SettingsStoreTest, DamagedFileStartsWithTheDefaults)
{
    const QByteArray damaged[] = {
        QByteArray("[Tessaron\ndados\\min=5\n\x01\x02\xff\xfe", 24),
        QByteArray("\xff\xfe\x00\x00garbage\x00[[[]]]=\n=\n", 22),
        QByteArray(4096, '\xA5'),
    };
    for (const QByteArray& bytes : damaged) {
        SCOPED_TRACE(bytes.left(12).toHex().toStdString());
        writeFileBytes(bytes);
        SettingsStore settings;
        expectDefaults(settings.load());
        // A later change still gets stored.
        settings.saveLengths(9, 19);
        const QByteArray written = fileBytes();
        EXPECT_TRUE(written.contains("min=9")) << written.toStdString();
        EXPECT_TRUE(written.contains("max=19")) << written.toStdString();
        SettingsStore later;
        const SettingsStore::Values values = later.load();
        EXPECT_EQ(values.minimum, 9);
        EXPECT_EQ(values.maximum, 19);
    }
}

TEST_F(SettingsStoreTest, APathThatIsNotARegularFileIsNeverOpenedNorReplaced)
{
    const QString fifo = folder_.filePath(QStringLiteral("fifo.ini"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QDir(folder_.path()).mkdir(QStringLiteral("folder.ini")));
    const QString loop = folder_.filePath(QStringLiteral("loop.ini"));
    ASSERT_TRUE(QFile::link(loop, loop));
    namespace fs = std::filesystem;
    const struct {
        QString path;
        fs::file_type type;
        const char* said;
    } cases[] = {
        // Opening a pipe to read would wait for a writer for ever.
        {fifo, fs::file_type::fifo, "is a pipe"},
        {folder_.filePath(QStringLiteral("folder.ini")), fs::file_type::directory, "is a folder"},
        // Replaced by a file of settings, /dev/null would break the system (when run as root).
        {QStringLiteral("/dev/null"), fs::file_type::character, "is a device"},
        // A file of settings written there would replace the link.
        {loop, fs::file_type::symlink, "Too many levels of symbolic links"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        useFile(c.path);
        const QStringList before = QDir(folder_.path()).entryList(QDir::AllEntries | QDir::Hidden);
        {
            SettingsStore settings;
            EXPECT_TRUE(settings.problem().contains(c.path)) << settings.problem().toStdString();
            EXPECT_TRUE(settings.problem().contains(QLatin1String(c.said)))
                << settings.problem().toStdString();
            expectDefaults(settings.load());
            settings.saveLengths(9, 19);
            settings.saveMotif(QStringLiteral("ACGT"));
            EXPECT_FALSE(settings.firstStart());
            SettingsStore later;
            expectDefaults(later.load());
        }
        EXPECT_EQ(fs::symlink_status(QFile::encodeName(c.path).toStdString()).type(), c.type);
        // No file of settings, finished or not, was left beside it.
        EXPECT_EQ(QDir(folder_.path()).entryList(QDir::AllEntries | QDir::Hidden), before);
        EXPECT_TRUE(QDir(folder_.filePath(QStringLiteral("folder.ini"))).isEmpty());
    }
    useFile(file());
    EXPECT_TRUE(SettingsStore().problem().isEmpty());  // not there yet: made by the first write
}

TEST_F(SettingsStoreTest, TheMarkerIsWrittenOnceByTheFirstStart)
{
    {
        SettingsStore settings;
        (void)settings.load();
        EXPECT_TRUE(settings.firstStart());
        EXPECT_FALSE(settings.firstStart());
    }
    EXPECT_TRUE(stored(QStringLiteral("Tessaron/registered")).has_value());
    SettingsStore later;
    EXPECT_FALSE(later.firstStart());
}

TEST_F(SettingsStoreTest, TheEnvironmentChoosesTheFile)
{
    const QString other = folder_.filePath(QStringLiteral("other.ini"));
    useFile(other);
    SettingsStore settings;
    EXPECT_EQ(settings.fileName(), other);
    settings.saveLengths(6, 7);
    EXPECT_TRUE(QFile::exists(other));
    EXPECT_FALSE(QFile::exists(file()));
}

}  // namespace
