#include "views/base/prompts.h"

#include "views/base/qtstrings.h"
#include "views/base/regularfile.h"
#include "views/base/settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace {

// The platform's own message boxes and file choosers.
class DialogPrompts : public Prompts {
public:
    void message(QWidget* parent, const QString& caption, const QString& text, Icon icon) override
    {
        QMessageBox box(toMessageBoxIcon(icon), caption, text, QMessageBox::Ok, parent);
        box.exec();
    }

    QString openFile(QWidget* parent, const QString& caption, const QString& filter,
                     const QString& folder) override
    {
        return QFileDialog::getOpenFileName(parent, caption, folder, filter);
    }

    QStringList openFiles(QWidget* parent, const QString& caption) override
    {
        return QFileDialog::getOpenFileNames(parent, caption);
    }

    QString saveFile(QWidget* parent, const QString& caption, const QString& filter,
                     const QString& folder) override
    {
        QString chosenType = filter.section(QStringLiteral(";;"), 0, 0);
        const QString path = QFileDialog::getSaveFileName(parent, caption, folder, filter, &chosenType);
        return path.isEmpty() ? path : withFilterExtension(path, chosenType);
    }

    std::optional<int> askNumber(QWidget* parent, const QString& caption, const QString& label, int value,
                                 int minimum, int maximum) override
    {
        bool ok = false;
        const int number = QInputDialog::getInt(parent, caption, label, value, minimum, maximum, 1, &ok);
        return ok ? std::optional<int>(number) : std::nullopt;
    }

    std::optional<int> chooseItem(QWidget* parent, const QString& caption, const QString& label,
                                  const QStringList& items, int preselected) override
    {
        bool chosen = false;
        const QString item =
            QInputDialog::getItem(parent, caption, label, items, preselected, false, &chosen);
        if (!chosen) {
            return std::nullopt;
        }
        const auto index = items.indexOf(item);
        return index < 0 ? preselected : static_cast<int>(index);
    }

private:
    static QMessageBox::Icon toMessageBoxIcon(Icon icon)
    {
        switch (icon) {
            case Icon::Information:
                return QMessageBox::Information;
            case Icon::Warning:
                return QMessageBox::Warning;
            case Icon::Critical:
                return QMessageBox::Critical;
            case Icon::None:
                break;
        }
        return QMessageBox::NoIcon;
    }
};

std::unique_ptr<Prompts>& installedPrompts()
{
    static std::unique_ptr<Prompts> installed;
    return installed;
}

}  // namespace

QString Prompts::saveFileIn(QWidget* parent, const QString& caption, const QString& filter,
                            const QString& folder)
{
    return saveFile(parent, caption, filter, folder);
}

std::optional<int> Prompts::chooseItem(QWidget*, const QString&, const QString&, const QStringList& items,
                                       int preselected)
{
    return items.isEmpty() ? std::nullopt : std::optional<int>(preselected);
}

Prompts& Prompts::current()
{
    static DialogPrompts dialogs;
    const std::unique_ptr<Prompts>& installed = installedPrompts();
    return installed ? *installed : dialogs;
}

std::unique_ptr<Prompts> Prompts::install(std::unique_ptr<Prompts> prompts)
{
    std::swap(installedPrompts(), prompts);
    return prompts;
}

QString applicationName()
{
    return QStringLiteral("Tessaron");
}

QString chooseExportFile(Prompts& prompts, SettingsStore& settings, QWidget* parent, const QString& caption,
                         const QString& filter)
{
    const QString path = prompts.saveFileIn(parent, caption, filter, settings.exportFolder());
    if (!path.isEmpty()) {
        settings.saveExportFolder(QFileInfo(path).absolutePath());
    }
    return path;
}

void warnOfProblem(Prompts& prompts, QWidget* parent, const std::string& problem)
{
    if (!problem.empty()) {
        prompts.message(parent, applicationName(), toQString(problem), Prompts::Icon::Warning);
    }
}

QString genomeAndSearch(const QString& genome, int minimum, int maximum, tessaron::SearchMethod method)
{
    const std::string_view name = tessaron::methodName(method);
    return QCoreApplication::translate("SessionFile", "%1 (lengths %2 to %3, %4)")
        .arg(genome)
        .arg(minimum)
        .arg(maximum)
        .arg(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
}

namespace filetypes {

QString genBank()
{
    return QStringLiteral("GenBank (*.gb *.gbk *.genbank *.gbff)");
}

QString fasta()
{
    return QStringLiteral("FASTA (*.fa *.fasta *.fna *.fas)");
}

QString text()
{
    return QStringLiteral("Text (*.txt *.seq)");
}

QString all()
{
    return QStringLiteral("All files (*)");
}

QString sequenceFiles(const QString& first)
{
    QStringList types{first};
    for (const QString& type : {genBank(), fasta(), text(), all()}) {
        if (type != first) {
            types << type;
        }
    }
    return types.join(QStringLiteral(";;"));
}

}  // namespace filetypes

QString withFilterExtension(const QString& path, const QString& filter)
{
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty()) {
        return path;
    }
    static const QRegularExpression firstPattern(QStringLiteral("\\*\\.([A-Za-z0-9_]+)"));
    const QRegularExpressionMatch match = firstPattern.match(filter);
    return match.hasMatch() ? path + QLatin1Char('.') + match.captured(1) : path;
}

// What the desktop reads (views/base/regularfile.h).
std::optional<QString> notARegularFile(const QString& path, bool pipeAllowed)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(fs::path(path.toStdString()), error);
    if (error || !fs::exists(status) || fs::is_regular_file(status) || fs::is_directory(status) ||
        (pipeAllowed && fs::is_fifo(status))) {
        return std::nullopt;
    }
    const char* what = fs::is_fifo(status)                                          ? "a pipe"
                       : fs::is_character_file(status) || fs::is_block_file(status) ? "a device"
                       : fs::is_socket(status)                                      ? "a socket"
                                                                                    : "not a file";
    return QCoreApplication::translate("RegularFile", "%1 was not opened: it is %2, not a regular file.")
        .arg(QDir::toNativeSeparators(path), QCoreApplication::translate("RegularFile", what));
}
