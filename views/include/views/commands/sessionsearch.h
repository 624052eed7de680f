#pragma once

// A search of the session run as the window's job: its status shown, and on
// success for the genome still shown, its state adopted by the session.

#include "session/session.h"

#include <QString>

#include <functional>

struct WindowParts;

// Runs `job` with `status` shown. A failure other than Cancel is told in a
// message: `failure(error)` when that names it (non-empty), else "out of
// memory". A state for a genome no longer shown is dropped; otherwise the
// session adopts it and `adopted` runs.
void runSessionSearch(const WindowParts& parts, const QString& status, tessaron::Job job,
                      std::function<void()> adopted, std::function<QString(tessaron::JobError)> failure = {});
