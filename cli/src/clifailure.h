#pragma once

#include <string>

namespace tessaron::cli {

// Thrown for a failure that ends the run with exit status 1; the message is
// one line without the program's name.
struct Failure {
    std::string message;
};

}  // namespace tessaron::cli
