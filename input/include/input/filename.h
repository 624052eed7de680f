#pragma once

#include <filesystem>
#include <string>

namespace tessaron {

// The name a caption shows for a file: no folder, and the text from the last
// "." on cut off ("reads.part.txt" gives "reads.part"). A name without "." is
// kept whole, and so is a hidden name whose only "." is its first character.
[[nodiscard]] std::string displayName(const std::filesystem::path& path);

}  // namespace tessaron
