#pragma once

#include "input/readerror.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <stop_token>
#include <string>

namespace tessaron {

// The whole content of a file, read to its end (so pipes and files that grow
// while they are read work too); gzip data (and bgzip) is unpacked, told by
// its first bytes, not the file's name. Throws InputError, naming the file and the
// reason, when it is missing, cannot be opened or read (no permission), is a
// folder, or holds more than 2^31 - 1 bytes (unpacked), the most a genome can
// count; NotText for damaged gzip data.
[[nodiscard]] std::string readFileBytes(const std::filesystem::path& path);

// The same, but "-" stands for standard input, read to its end.
[[nodiscard]] std::string readInputBytes(const std::filesystem::path& path);

// The most bytes a file read for a genome may hold (unpacked).
inline constexpr std::size_t kLargestFileBytes =
    static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

// The same for a job that may be stopped: a regular file, or a pipe (FIFO)
// whose writer it waits for and reads until that writer closes it. Nothing
// once `stop` is requested, within a tenth of a second whatever the read
// waits for. Throws InputError as readFileBytes does; Unreadable, saying
// what it is, for anything else (a device, a socket), which is not even
// opened; TooLarge past `limit` bytes (packed or unpacked).
[[nodiscard]] std::optional<std::string> readFileBytes(const std::filesystem::path& path,
                                                       const std::stop_token& stop,
                                                       std::size_t limit = kLargestFileBytes);

}  // namespace tessaron
