#include "report/tablewriter.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace tessaron {

void TableWriter::cell(std::string_view text)
{
    separate();
    if (format_ == TableFormat::Csv) {
        if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
            raw(text);
            return;
        }
        put('"');
        for (const char ch : text) {
            if (ch == '"') {
                put('"');
            }
            put(ch);
        }
        put('"');
        return;
    }
    if (text.find_first_of("\t\r\n") == std::string_view::npos) {
        raw(text);
        return;
    }
    for (const char ch : text) {
        put(ch == '\t' || ch == '\r' || ch == '\n' ? ' ' : ch);
    }
}

void TableWriter::cell(std::int64_t value)
{
    separate();
    constexpr std::size_t kLongest = 20;  // "-9223372036854775808"
    if (kCapacity - used_ < kLongest) {
        flush();
    }
    char* const begin = buffer_.data() + used_;
    const auto result = std::to_chars(begin, buffer_.data() + kCapacity, value);
    used_ += static_cast<std::size_t>(result.ptr - begin);
}

void TableWriter::raw(std::string_view text)
{
    while (!text.empty()) {
        if (used_ == kCapacity) {
            flush();
        }
        const std::size_t part = std::min(text.size(), kCapacity - used_);
        std::memcpy(buffer_.data() + used_, text.data(), part);
        used_ += part;
        text.remove_prefix(part);
    }
}

void TableWriter::flush()
{
    out_.write(buffer_.data(), static_cast<std::streamsize>(used_));
    used_ = 0;
}

}  // namespace tessaron
