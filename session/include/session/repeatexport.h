#pragma once

// The repeats of an analysis written out for genome browsers.

#include "session/session.h"

#include <filesystem>
#include <string>

namespace tessaron {

// Writes the repeats of the whole analysis in `state` to `path`: BED6 when
// its name ends in ".bed" (any case), GFF3 otherwise, with the features each
// copy overlaps in the GFF3 of a GenBank genome. Returns why it failed, empty
// when the file was written. Reads only `state`, so it runs on any thread.
[[nodiscard]] std::string exportRepeats(const std::filesystem::path& path, const SessionState& state);

}  // namespace tessaron
