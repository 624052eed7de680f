// File > "Export HTML report...": the page of the genome on screen, whose
// tables hold the command line's rows for the same searches, written
// through the prompts and refused over the genome or a read-only file.

#include "windowfixture.h"

#include "htmlpagedata.h"
#include "whenmodal.h"

#include "views/commands/approximatecontroller.h"
#include "views/commands/htmlexporter.h"
#include "views/dialogs/approximateoptionsdlg.h"

#include <QDoubleSpinBox>
#include <QFile>
#include <QProcess>
#include <QSpinBox>

#include <string>
#include <vector>

namespace {

using tessaron::test::PageTable;

class HtmlExportTest : public WindowFixture {
protected:
    // The window with a copy of the mitochondrial genome analysed from 14
    // to 30 bp and searched approximately from 30 bp.
    std::unique_ptr<CTessaronDlg> analysed()
    {
        storeLengths(14, 30);
        QFile mito(kMitoFile);
        EXPECT_TRUE(mito.open(QIODevice::ReadOnly));
        genome_ = writeFile(QStringLiteral("NC_012920.gb"), mito.readAll());
        auto window = makeWindow();
        open(*window, CTessaronDlg::IdOpenGenBank, genome_);
        waitForJob(*window);
        whenModal<ApproximateOptionsDlg>([](ApproximateOptionsDlg& dialog) {
            dialog.minimumField()->setValue(30);
            dialog.identityField()->setValue(85.0);
            dialog.penaltyField()->setValue(2);
            dialog.accept();
        });
        trigger(*window, ApproximateController::IdApproximateSearch);
        waitForJob(*window);
        return window;
    }
    // Exports the page into `path` as the chooser answers it; its text.
    std::string exported(const CTessaronDlg& window, const QString& path)
    {
        prompts_->files.push_back(path);
        trigger(window, HtmlExporter::IdExportHtml);
        waitForJob(window);
        QFile page(path);
        return page.open(QIODevice::ReadOnly) ? page.readAll().toStdString() : std::string();
    }

    QString genome_;
};

#ifdef TESSARON_CLI_PATH
// The words of a command the page names, the program's name left out.
QStringList arguments(const std::string& command)
{
    QStringList words = QString::fromStdString(command).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    words.removeFirst();
    return words;
}

TEST_F(HtmlExportTest, ThePageHoldsTheSessionsResultsAsTheCommandLineWritesThem)
{
    const auto window = analysed();
    EXPECT_TRUE(window->command(HtmlExporter::IdExportHtml)->isEnabled());
    const QString path = folder_.filePath(QStringLiteral("mito.html"));
    const std::string html = exported(*window, path);
    ASSERT_FALSE(html.empty());
    EXPECT_TRUE(prompts_->messages.empty());
    EXPECT_EQ(html.find("https://"), std::string::npos);
    EXPECT_NE(html.find("Made by Tessaron " TESSARON_VERSION " (the desktop program"), std::string::npos);

    const std::vector<PageTable> tables = tessaron::test::pageTables(html);
    std::vector<std::string> ids;
    for (const PageTable& table : tables) {
        ids.push_back(table.id);
        QProcess cli;
        cli.start(QStringLiteral(TESSARON_CLI_PATH), arguments(table.command));
        ASSERT_TRUE(cli.waitForFinished(kWaitLimitMs)) << table.command;
        ASSERT_EQ(cli.exitCode(), 0) << table.command << cli.readAllStandardError().toStdString();
        const std::string output = cli.readAllStandardOutput().toStdString();
        const auto written = tessaron::test::tableWithHeader(output, table.columns, table.rows.size());
        ASSERT_TRUE(written.found) << table.command;
        EXPECT_EQ(written.total, table.total) << table.command;
        EXPECT_EQ(written.rows, table.rows) << table.command;
        EXPECT_EQ(table.marks, table.rows.size()) << table.id;
    }
    EXPECT_EQ(ids, (std::vector<std::string>{"exact", "approximate", "ssr", "tandem", "features"}));
    // The searches of the session, as the commands name them.
    EXPECT_NE(tables.front().command.find("--min 14 --max 30 --report pairs"), std::string::npos);
    EXPECT_NE(tables[1].command.find("--approximate --min 30 --identity 85 --report pairs"),
              std::string::npos);
}
#endif

TEST_F(HtmlExportTest, NeverOverTheGenomeNorAReadOnlyFile)
{
    const auto window = analysed();
    QFile genome(genome_);
    ASSERT_TRUE(genome.open(QIODevice::ReadOnly));
    const QByteArray before = genome.readAll();
    genome.close();
    EXPECT_EQ(exported(*window, genome_), before.toStdString());
    ASSERT_EQ(prompts_->messages.size(), 1U);
    EXPECT_TRUE(prompts_->messages.back().text.contains(QStringLiteral("input file")))
        << prompts_->messages.back().text.toStdString();

    const QString locked = writeFile(QStringLiteral("locked.html"), "kept");
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    EXPECT_EQ(exported(*window, locked), "kept");
    ASSERT_EQ(prompts_->messages.size(), 2U);
    EXPECT_TRUE(prompts_->messages.back().text.contains(QStringLiteral("read-only")))
        << prompts_->messages.back().text.toStdString();

    // Cancelled: nothing written, nothing said.
    trigger(*window, HtmlExporter::IdExportHtml);
    waitForJob(*window);
    EXPECT_EQ(prompts_->messages.size(), 2U);
    EXPECT_FALSE(QFile::exists(folder_.filePath(QStringLiteral("NC_012920.html"))));
}

}  // namespace
