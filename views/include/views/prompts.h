#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QWidget;

// The one seam through which the program shows message boxes and file
// choosers, so that tests can answer them without a modal window.
class Prompts {
public:
    enum class Icon { None, Information, Warning, Critical };

    virtual ~Prompts() = default;
    // A message with an OK button only.
    virtual void message(QWidget* parent, const QString& caption, const QString& text, Icon icon) = 0;
    // An existing file to open, or an empty string when cancelled.
    virtual QString openFile(QWidget* parent, const QString& caption) = 0;
    // Several existing files, in the order chosen; empty when cancelled.
    virtual QStringList openFiles(QWidget* parent, const QString& caption) = 0;
    // A file to save to, or an empty string when cancelled.
    virtual QString saveFile(QWidget* parent, const QString& caption, const QString& filter) = 0;
    // The same, starting in `folder`; by default as saveFile.
    virtual QString saveFileIn(QWidget* parent, const QString& caption, const QString& filter,
                               const QString& folder);
    // One of `items` (its index), `preselected` chosen at first; nothing
    // when cancelled. By default the preselected one, without asking.
    virtual std::optional<int> chooseItem(QWidget* parent, const QString& caption, const QString& label,
                                          const QStringList& items, int preselected);

    // The prompts in use: the real dialogs unless a test installed others.
    static Prompts& current();
    // Installs `prompts` (null restores the real dialogs); returns the previous.
    static std::unique_ptr<Prompts> install(std::unique_ptr<Prompts> prompts);
};

// The application's name, the caption of its message boxes: "Tessaron".
QString applicationName();
