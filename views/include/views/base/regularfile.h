#pragma once

// What the desktop opens on the window's thread must be a regular file: a
// pipe waits for a writer that may never come and a device may never end, so
// either would freeze the window for good.

#include <QString>

#include <optional>

// Why `path` is not opened: it is there but is no regular file (a pipe, a
// device, a socket), through links too. Nothing for a regular file, a folder
// or a missing path, whose reader tells what is wrong with them.
[[nodiscard]] std::optional<QString> notARegularFile(const QString& path);
