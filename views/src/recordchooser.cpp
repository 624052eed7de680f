#include "views/recordchooser.h"

#include "input/readerror.h"
#include "report/bedreport.h"
#include "report/featureindex.h"
#include "report/gffreport.h"
#include "report/tablewriter.h"
#include "views/prompts.h"
#include "views/qtstrings.h"

#include <QLocale>
#include <QObject>
#include <QStringList>

#include <fstream>
#include <new>

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

std::optional<RecordChoice> chooseRecord(Prompts& prompts, QWidget* parent, const std::filesystem::path& path)
{
    RecordChoice choice;
    try {
        choice.input = std::make_shared<const tessaron::InputFile>(tessaron::InputFile::read(path));
    } catch (const tessaron::ReadError&) {
        return choice;  // the load reads it again and tells why
    } catch (const std::bad_alloc&) {
        return choice;
    }
    const auto& records = choice.input->records();
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

QString exportRepeats(const std::filesystem::path& path, const tessaron::SessionState& state)
{
    if (!state.analysis.complete()) {
        return QObject::tr("There are no repeats to export.");
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        return QObject::tr("Cannot write %1.").arg(toQString(path.string()));
    }
    std::string extension = path.extension().string();
    for (char& ch : extension) {
        ch = ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
    }
    try {
        tessaron::TableWriter out(file, tessaron::TableFormat::Tsv);
        const std::string name = state.name.empty() ? std::string("sequence") : state.name;
        if (extension == ".bed") {
            tessaron::BedReport bed(out, name);
            for (const tessaron::RepeatKind kind : tessaron::kKindOrder) {
                bed.write(*state.analysis.of(kind));
            }
        } else {
            const tessaron::FeatureIndex features(state.features.value_or(tessaron::FeatureList{}),
                                                  state.genome->length());
            tessaron::GffReport gff(out, name, static_cast<int>(state.genome->length()));
            gff.setFeatures(features.empty() ? nullptr : &features);
            for (const tessaron::RepeatKind kind : tessaron::kKindOrder) {
                gff.write(*state.analysis.of(kind));
            }
        }
        out.flush();
    } catch (const std::bad_alloc&) {
        return QObject::tr("Looks like we're out of memory...");
    }
    file.flush();
    if (!file) {
        return QObject::tr("Cannot write %1.").arg(toQString(path.string()));
    }
    return {};
}
