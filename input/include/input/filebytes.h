#pragma once

#include "input/readerror.h"

#include <filesystem>
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

}  // namespace tessaron
