#pragma once

// What the main window tells the user when a job gave nothing to adopt, or
// less than was asked for.

#include "session/session.h"
#include "views/base/prompts.h"

#include <QString>

#include <optional>

struct JobErrorMessage {
    QString caption;
    QString text;
    Prompts::Icon icon = Prompts::Icon::Warning;
};

// The message for the error of `result` (the job read `file`, if any);
// nothing when there is none, or when the command that started it tells it.
[[nodiscard]] std::optional<JobErrorMessage> jobErrorMessage(const tessaron::JobResult& result,
                                                             const QString& file);
// "Looks like we're out of memory...", with the application's name as caption.
[[nodiscard]] JobErrorMessage outOfMemoryMessage();
