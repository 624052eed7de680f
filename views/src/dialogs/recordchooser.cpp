#include "views/dialogs/recordchooser.h"

#include "views/base/prompts.h"
#include "views/base/qtstrings.h"

#include <QLocale>
#include <QObject>
#include <QStringList>

#include <utility>

QString recordLine(std::size_t index, const tessaron::RecordInfo& record)
{
    QString line = QStringLiteral("%1. ").arg(index + 1);
    line += record.name.empty() ? QObject::tr("(no name)") : toQString(record.name);
    const std::string& title = record.description.empty() ? record.title : record.description;
    if (!title.empty() && title != record.name) {
        line += QStringLiteral(" - ") + toQString(title);
    }
    return line + QObject::tr(" (%1 bases)")
                      .arg(QLocale(QLocale::English).toString(static_cast<qlonglong>(record.length)));
}

std::optional<RecordChoice> chooseRecord(Prompts& prompts, QWidget* parent,
                                         std::shared_ptr<const tessaron::InputFile> input,
                                         std::optional<std::size_t> known)
{
    RecordChoice choice{std::move(input), 0};
    const auto& records = choice.input->records();
    if (known) {
        choice.record = *known;
        return *known < records.size() ? std::optional<RecordChoice>(choice) : std::nullopt;
    }
    if (records.size() < 2) {
        return choice;
    }
    QStringList lines;
    for (std::size_t i = 0; i < records.size(); ++i) {
        lines << recordLine(i, records[i]);
    }
    const std::optional<int> chosen = prompts.chooseItem(
        parent, applicationName(),
        QObject::tr("The file holds %1 records. Which one do you want to open?").arg(records.size()), lines,
        0);
    if (!chosen || *chosen < 0 || static_cast<std::size_t>(*chosen) >= records.size()) {
        return std::nullopt;
    }
    choice.record = static_cast<std::size_t>(*chosen);
    return choice;
}
