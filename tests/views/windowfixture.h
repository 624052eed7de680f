#pragma once

// The main window as the tests drive it: settings in a folder of the test's
// own, the prompts answered by the test and the jobs run inside the commands
// that start them. The window's parts are reached by their object names.

#include "scopedsettings.h"
#include "testprompts.h"
#include "views/base/jobstatus.h"
#include "views/maps/mapwindow.h"
#include "views/results/repeattreemodel.h"
#include "views/sequence/sequenceview.h"
#include "views/sheets/reportsheetdlg.h"
#include "views/shell/mainwindow.h"

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTest>
#include <QTreeView>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// The human mitochondrial record and the folder of the other test files.
inline const QString kMitoFile = QStringLiteral(TESSARON_MITO_GENBANK);
inline const QString kTestData = QStringLiteral(TESSARON_TEST_DATA);

// The longest a test waits for a job, a window or a dialog.
inline constexpr int kWaitLimitMs = 120000;

// The child of `window` named `name`; fails the test when there is none.
template <typename Part>
Part* partOf(const QObject& window, const char* name)
{
    auto* part = window.findChild<Part*>(QString::fromLatin1(name));
    EXPECT_NE(part, nullptr) << name;
    return part;
}

inline QTreeView* treeOf(const CTessaronDlg& window)
{
    return partOf<QTreeView>(window, "tree");
}
inline RepeatTreeModel* modelOf(const CTessaronDlg& window)
{
    return qobject_cast<RepeatTreeModel*>(treeOf(window)->model());
}
inline QLineEdit* statusLineOf(const CTessaronDlg& window)
{
    return partOf<QLineEdit>(window, "statusLine");
}
inline SequenceView* paneOf(const CTessaronDlg& window)
{
    return partOf<SequenceView>(window, "sequencePane");
}
inline JobStatus* jobsOf(const CTessaronDlg& window)
{
    return partOf<JobStatus>(window, "jobStatus");
}
// The report sheets open beside the window, oldest first.
inline std::vector<CReportSheetDlg*> sheetsOf(const CTessaronDlg& window)
{
    std::vector<CReportSheetDlg*> open;
    for (CReportSheetDlg* sheet : window.findChildren<CReportSheetDlg*>(Qt::FindDirectChildrenOnly)) {
        if (sheet->isVisible()) {
            open.push_back(sheet);
        }
    }
    return open;
}
// The open map window, or null.
inline CDiagramDlg* mapOf(const CTessaronDlg& window)
{
    for (CDiagramDlg* map : window.findChildren<CDiagramDlg*>(Qt::FindDirectChildrenOnly)) {
        if (map->isVisible()) {
            return map;
        }
    }
    return nullptr;
}

class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }

    // A new window on screen, its jobs run inline.
    static std::unique_ptr<CTessaronDlg> makeWindow()
    {
        auto window = std::make_unique<CTessaronDlg>();
        jobsOf(*window)->setInlineJobs(true);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }
    [[nodiscard]] QString settingsFile() const { return folder_.filePath(QStringLiteral("settings.ini")); }
    void storeLengths(int minimum, int maximum) const
    {
        QSettings settings(settingsFile(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("Tessaron/dados/min"), minimum);
        settings.setValue(QStringLiteral("Tessaron/dados/max"), maximum);
    }
    [[nodiscard]] QVariant stored(const QString& key) const
    {
        return QSettings(settingsFile(), QSettings::IniFormat).value(key);
    }
    [[nodiscard]] QString writeFile(const QString& name, const QByteArray& bytes) const
    {
        const QString path = folder_.filePath(name);
        QFile out(path);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return path;
    }
    static void trigger(const CTessaronDlg& window, int id)
    {
        QAction* action = window.command(id);
        ASSERT_NE(action, nullptr) << id;
        action->trigger();
    }
    // Runs an open command, its chooser answering `file`.
    void open(const CTessaronDlg& window, int command, const QString& file)
    {
        prompts_->files.push_back(file);
        trigger(window, command);
    }
    static void waitForJob(const CTessaronDlg& window)
    {
        EXPECT_TRUE(jobsOf(window)->waitForIdle(kWaitLimitMs)) << "the job did not end in time";
    }

    ScopedSettingsFile folder_;
    ScopedTestPrompts prompts_;
};
