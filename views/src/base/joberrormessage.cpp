#include "views/base/joberrormessage.h"

#include "views/base/qtstrings.h"

#include <QCoreApplication>

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("CTessaronDlg", text);
}

}  // namespace

JobErrorMessage outOfMemoryMessage()
{
    return {applicationName(), tr("Looks like we're out of memory..."), Prompts::Icon::None};
}

std::optional<JobErrorMessage> jobErrorMessage(const tessaron::JobResult& result, const QString& file)
{
    using tessaron::JobError;
    if (!result.error) {
        return std::nullopt;
    }
    switch (*result.error) {
        case JobError::Cancelled:
        case JobError::RandomRefused:  // told by the command, which knows the composition asked for
            return std::nullopt;
        case JobError::NotGenBank:  // the reader's words name the file and say why, beneath
            return JobErrorMessage{
                tr("Error!"), tr("The file doesn't seem to be in GenBank format!") + QStringLiteral("\n\n") +
                                  (result.message.empty() ? file : toQString(result.message))};
        case JobError::ReadFailed:
            return JobErrorMessage{applicationName(), toQString(result.message)};
        case JobError::OutOfMemory:
            return outOfMemoryMessage();
        case JobError::TooManyPairs:
            return JobErrorMessage{applicationName(),
                                   tr("The complete search found more repeats than can be kept: raise the "
                                      "minimum length, or turn the complete search off in Options."),
                                   Prompts::Icon::None};
    }
    return std::nullopt;
}
