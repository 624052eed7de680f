// The main window's record chooser and "Export repeats...", with the prompts
// answered by the test.

#include "windowfixture.h"

#include "views/commands/htmlexporter.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <memory>

namespace {

class RecordChooserTest : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        window_ = makeWindow();
        window_->session().setLengths(12, 14);
    }
    void TearDown() override { window_.reset(); }

    void open(int command, const QString& path) { WindowFixture::open(*window_, command, path); }

    std::unique_ptr<CTessaronDlg> window_;
};

TEST_F(RecordChooserTest, AFileOfSeveralRecordsAsksWhichToOpen)
{
    const QString turtles = kTestData + QStringLiteral("/turtle_mito_2rec.gb");
    prompts_->choices.push_back(std::nullopt);  // cancelled: nothing is read
    open(CTessaronDlg::IdOpenGenBank, turtles);
    EXPECT_FALSE(window_->session().loaded());
    ASSERT_EQ(prompts_->itemLists.size(), 1U);
    ASSERT_EQ(prompts_->itemLists.front().size(), 2);
    EXPECT_TRUE(prompts_->itemLists.front().at(1).startsWith(QStringLiteral("2. AM258984 - ")))
        << prompts_->itemLists.front().at(1).toStdString();

    // Either command reads a GenBank file as GenBank, features and all.
    for (const int command : {CTessaronDlg::IdOpenGenBank, CTessaronDlg::IdOpenText}) {
        prompts_->choices.push_back(1);
        open(command, turtles);
        ASSERT_TRUE(window_->session().loaded()) << command;
        EXPECT_EQ(window_->windowTitle(),
                  QStringLiteral(
                      "turtle_mito_2rec [mitochondrion Lepidochelys olivacea (Pacific ridley)] - Tessaron"));
        EXPECT_TRUE(window_->session().features().has_value());
        EXPECT_TRUE(window_->command(CTessaronDlg::IdDiagram)->isEnabled());
    }
    EXPECT_TRUE(prompts_->messages.empty());

    // A single record opens at once; a FASTA header is never bases.
    open(CTessaronDlg::IdOpenGenBank, kTestData + QStringLiteral("/NC_012920.fasta"));
    EXPECT_EQ(prompts_->itemLists.size(), 3U);
    EXPECT_EQ(window_->session().genome().title(), "NC_012920.1");
    EXPECT_EQ(window_->session().genome().sequence().substr(0, 10), "GATCACAGGT");
}

TEST_F(RecordChooserTest, ExportWritesTheRepeatsAndRemembersTheFolder)
{
    EXPECT_FALSE(window_->command(CTessaronDlg::IdExportRepeats)->isEnabled());
    open(CTessaronDlg::IdOpenGenBank, kMitoFile);
    ASSERT_TRUE(window_->command(CTessaronDlg::IdExportRepeats)->isEnabled());

    const QString gff = folder_.filePath(QStringLiteral("repeats.gff3"));
    const QString bed = folder_.filePath(QStringLiteral("repeats.bed"));
    for (const QString& path : {gff, bed}) {
        prompts_->files.push_back(path);
        window_->command(CTessaronDlg::IdExportRepeats)->trigger();
        waitForJob(*window_);
    }
    ASSERT_EQ(prompts_->folders.size(), 2U);
    EXPECT_EQ(prompts_->folders[0], QString());
    EXPECT_EQ(prompts_->folders[1], folder_.path());
    EXPECT_TRUE(prompts_->messages.empty());

    // What is written is the session's export's; here only that it was.
    for (const QString& path : {gff, bed}) {
        EXPECT_GT(QFileInfo(path).size(), 0) << path.toStdString();
    }

    // A cancelled chooser writes nothing and keeps the folder, where the HTML
    // report's chooser starts too, and its file's folder becomes the folder.
    window_->command(CTessaronDlg::IdExportRepeats)->trigger();
    const QString subfolder = folder_.filePath(QStringLiteral("pages"));
    ASSERT_TRUE(QDir().mkpath(subfolder));
    prompts_->files.push_back(subfolder + QStringLiteral("/report.html"));
    window_->command(HtmlExporter::IdExportHtml)->trigger();
    waitForJob(*window_);
    window_->command(CTessaronDlg::IdExportRepeats)->trigger();
    ASSERT_EQ(prompts_->folders.size(), 5U);
    EXPECT_EQ(prompts_->folders[2], folder_.path());
    EXPECT_EQ(prompts_->folders[3], folder_.path());
    EXPECT_EQ(prompts_->folders[4], subfolder);
    EXPECT_TRUE(prompts_->messages.empty());
    EXPECT_GT(QFileInfo(subfolder + QStringLiteral("/report.html")).size(), 0);

    // The tree's tip of a word names the features of its copies.
    RepeatTreeModel& model = *modelOf(*window_);
    const QModelIndex word = model.index(0, 0, model.index(0, 0, model.index(0, 0)));
    ASSERT_TRUE(word.isValid());
    EXPECT_TRUE(model.data(word, Qt::ToolTipRole).toString().contains(QStringLiteral(") and ")));
}

}  // namespace
