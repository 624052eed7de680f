#pragma once

// White space as the readers see it (the C locale's six blanks), and text
// with it taken off.

#include <string_view>

namespace tessaron::blanks {

[[nodiscard]] constexpr bool isSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\v' || ch == '\f';
}

[[nodiscard]] constexpr std::string_view trimLeft(std::string_view text)
{
    while (!text.empty() && isSpace(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

[[nodiscard]] constexpr std::string_view trim(std::string_view text)
{
    text = trimLeft(text);
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace tessaron::blanks
