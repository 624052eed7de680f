#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string_view>

namespace tessaron {

// Tab-separated rows gathered in a fixed buffer and handed to the stream in
// large writes, so that reports of tens of millions of rows stay fast. Call
// flush() when done; nothing is written on destruction.
class TsvWriter {
public:
    explicit TsvWriter(std::ostream& out) : out_(out) {}
    TsvWriter(const TsvWriter&) = delete;
    TsvWriter& operator=(const TsvWriter&) = delete;

    void text(std::string_view text);
    void number(std::int64_t value);
    void tab() { put('\t'); }
    void endRow() { put('\n'); }
    void flush();

private:
    static constexpr std::size_t kCapacity = std::size_t{1} << 16;

    void put(char ch)
    {
        if (used_ == kCapacity) {
            flush();
        }
        buffer_[used_++] = ch;
    }

    std::ostream& out_;
    std::array<char, kCapacity> buffer_;
    std::size_t used_ = 0;
};

}  // namespace tessaron
