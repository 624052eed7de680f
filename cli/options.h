#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace tessaron {

enum class ReportKind { Summary, Info, Pairs };

struct Options {
    bool help = false;
    // Either a file read as plain text, or a random sequence of these counts.
    std::string file;
    std::optional<std::array<std::int64_t, 4>> randomCounts;  // A, T, C, G
    std::optional<std::uint32_t> seed;
    int minimum = 8;
    int maximum = 30;
    ReportKind report = ReportKind::Summary;
};

// A command line that cannot be run; the message is one line without the
// program's name.
struct UsageError {
    std::string message;
};

// Parses the arguments after the program name. A minimum above the maximum
// is lowered to the maximum.
[[nodiscard]] std::variant<Options, UsageError> parseOptions(std::span<const std::string_view> arguments);

// The text of --help.
[[nodiscard]] std::string_view usageText();

}  // namespace tessaron
