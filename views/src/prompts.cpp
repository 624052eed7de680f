#include "views/prompts.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

// The platform's own message boxes and file choosers.
class DialogPrompts : public Prompts {
public:
    void message(QWidget* parent, const QString& caption, const QString& text, Icon icon) override
    {
        QMessageBox box(toMessageBoxIcon(icon), caption, text, QMessageBox::Ok, parent);
        box.exec();
    }

    QString openFile(QWidget* parent, const QString& caption) override
    {
        return QFileDialog::getOpenFileName(parent, caption);
    }

    QStringList openFiles(QWidget* parent, const QString& caption) override
    {
        return QFileDialog::getOpenFileNames(parent, caption);
    }

    QString saveFile(QWidget* parent, const QString& caption, const QString& filter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, QString(), filter);
    }

    QString saveFileIn(QWidget* parent, const QString& caption, const QString& filter,
                       const QString& folder) override
    {
        return QFileDialog::getSaveFileName(parent, caption, folder, filter);
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

QString Prompts::saveFileIn(QWidget* parent, const QString& caption, const QString& filter, const QString&)
{
    return saveFile(parent, caption, filter);
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
