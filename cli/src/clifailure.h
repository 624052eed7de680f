#pragma once

#include <string>
#include <string_view>

namespace tessaron::cli {

// Thrown for a failure that ends the run with exit status 1; the message is
// one line without the program's name.
struct Failure {
    std::string message;
};

inline constexpr std::string_view kOutOfMemory = "Looks like we're out of memory...";

// A name or value the user gave, quoted as the messages quote it.
inline std::string singleQuoted(std::string_view text)
{
    return "'" + std::string(text) + "'";
}

}  // namespace tessaron::cli
