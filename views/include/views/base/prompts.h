#pragma once

#include "engine/searchmethod.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>

class QWidget;
class SettingsStore;

// Only this many characters of a number field are read, as the platform's
// dialogs do.
inline constexpr int kFieldReadLimit = 31;

// The one seam through which the program shows message boxes, file choosers
// and small questions, so that tests can answer them without a modal window.
class Prompts {
public:
    enum class Icon { None, Information, Warning, Critical };

    virtual ~Prompts() = default;
    // A message with an OK button only.
    virtual void message(QWidget* parent, const QString& caption, const QString& text, Icon icon) = 0;
    // An existing file to open, or an empty string when cancelled. `filter`
    // lists the file types ("GenBank (*.gb *.gbk);;All files (*)", the first
    // chosen at the start; empty for all files); `folder` is where the
    // chooser starts (empty: where the platform likes).
    virtual QString openFile(QWidget* parent, const QString& caption, const QString& filter = QString(),
                             const QString& folder = QString()) = 0;
    // Several existing files, in the order chosen; empty when cancelled.
    virtual QStringList openFiles(QWidget* parent, const QString& caption) = 0;
    // A file to save to, or an empty string when cancelled. A name typed
    // without an extension gets the first extension of the file type chosen.
    virtual QString saveFile(QWidget* parent, const QString& caption, const QString& filter,
                             const QString& folder = QString()) = 0;
    // A whole number from `minimum` to `maximum`, starting at `value`;
    // nothing when cancelled.
    virtual std::optional<int> askNumber(QWidget* parent, const QString& caption, const QString& label,
                                         int value, int minimum, int maximum) = 0;
    // The same, starting in `folder`; by default saveFile in that folder.
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

// A file to export to, the chooser starting in the folder of the last
// export; the folder of the file chosen becomes that folder. Empty when
// cancelled.
[[nodiscard]] QString chooseExportFile(Prompts& prompts, SettingsStore& settings, QWidget* parent,
                                       const QString& caption, const QString& filter);
// Tells what went wrong (UTF-8, as the jobs that write files return it) in a
// warning with the application's name; nothing when it is empty.
void warnOfProblem(Prompts& prompts, QWidget* parent, const std::string& problem);

// How window titles and the names of saved files name the genome and its
// search: "NC_012920 (lengths 8 to 30, trie)".
[[nodiscard]] QString genomeAndSearch(const QString& genome, int minimum, int maximum,
                                      tessaron::SearchMethod method);

// The file types of the choosers, each as "Name (*.ext ...)".
namespace filetypes {
QString genBank();
QString fasta();
QString text();
QString all();
// The types of the sequence files joined for a chooser, `first` first.
QString sequenceFiles(const QString& first);
}  // namespace filetypes

// `path` with the first extension of the file type `filter` ("PNG image
// (*.png)") when its name has none; a type of any file ("(*)") adds nothing.
QString withFilterExtension(const QString& path, const QString& filter);
