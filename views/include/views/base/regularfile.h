#pragma once

// What the desktop reads must be a regular file, or a pipe the user named
// (read in a job, whose Cancel ends the wait for its writer): a device may
// never end, and a socket or a folder holds no file.

#include <QString>

#include <optional>

// Why `path` is not opened: it is there but is no regular file (a pipe
// unless `pipeAllowed`, a device, a socket), through links too. Nothing for
// a regular file, a folder or a missing path, whose reader tells what is
// wrong with them.
[[nodiscard]] std::optional<QString> notARegularFile(const QString& path, bool pipeAllowed = false);
