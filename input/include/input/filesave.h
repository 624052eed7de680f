#pragma once

// How the programs write an output file (a map, a chart, a picture, a
// table), so that no output path is ever replaced by something it was not.

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace tessaron {

// Puts the file's content into the stream; false gives up.
using StreamWriter = std::function<bool(std::ostream&)>;

// How a save treats what is already there.
struct SaveOptions {
    // Replace a regular file that its mode or its owner forbids writing
    // (mode 444, say), as `cp -f` would; by default such a file is refused
    // with EACCES, as cp refuses it.
    bool overwriteReadOnly = false;
};

// Writes a whole file at `path`:
// - a path that names a regular file, or nothing yet, gets a new file in the
//   same folder that is renamed over it once complete, so that a failed write
//   leaves an earlier file as it was; an existing file keeps its permissions;
//   one that may not be written is refused (EACCES) unless `options` says to
//   overwrite it; the new file is named "NAME.PID-N.part" after the process
//   that writes it, and part files of NAME that a process no longer running
//   left behind (killed while it wrote) are removed;
// - a path that names anything else but a folder (a FIFO, a device such as
//   /dev/null, a terminal) is opened and written where it is, never replaced;
//   so is a regular file reached through /dev or /proc (/dev/stdout
//   redirected to a file);
// - a symbolic link is followed to its target, which is written as above;
//   the link stays a link.
// Returns the reason of a failure (EISDIR for a folder, ELOOP for a loop of
// links, the system's reason for a failed open or write; EIO when `write`
// gave up), or no error.
[[nodiscard]] std::error_code saveFile(const std::filesystem::path& path, const StreamWriter& write,
                                       SaveOptions options = {});
[[nodiscard]] std::error_code saveFile(const std::filesystem::path& path, std::string_view bytes,
                                       SaveOptions options = {});

// Whether saveFile would refuse `path` (through links) with EACCES unless
// told to overwrite: a regular file that its mode or its owner forbids
// writing, outside /dev and /proc.
[[nodiscard]] bool refusedAsReadOnly(const std::filesystem::path& path);

// Whether two paths name one file: the same device and inode, through
// symbolic links, hard links and other spellings alike; false when either
// does not exist.
[[nodiscard]] bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Why `output` may not be written: it names one of the `inputs`, and
// writing it would replace what is being read ("'same.gb' is the input file
// 'same.gb'; choose another name for the output"); nothing when it names
// none of them.
[[nodiscard]] std::optional<std::string> outputIsInput(const std::filesystem::path& output,
                                                       const std::vector<std::filesystem::path>& inputs);

}  // namespace tessaron
