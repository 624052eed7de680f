#pragma once

#include <stdexcept>

namespace tessaron {

// A file that could not be read as a genome. The message names the file and
// the reason, ready to be shown to the user.
struct ReadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace tessaron
