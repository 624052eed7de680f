#include "cli/tsvwriter.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace tessaron {

void TsvWriter::text(std::string_view text)
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

void TsvWriter::number(std::int64_t value)
{
    constexpr std::size_t kLongest = 20;  // "-9223372036854775808"
    if (kCapacity - used_ < kLongest) {
        flush();
    }
    char* const begin = buffer_.data() + used_;
    const auto result = std::to_chars(begin, buffer_.data() + kCapacity, value);
    used_ += static_cast<std::size_t>(result.ptr - begin);
}

void TsvWriter::flush()
{
    out_.write(buffer_.data(), static_cast<std::streamsize>(used_));
    used_ = 0;
}

}  // namespace tessaron
