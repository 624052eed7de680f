#pragma once

#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace tessaron {

// A file descriptor owned: closed when it goes, or at once by close().
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    [[nodiscard]] int get() const { return fd_; }
    // Closes now, telling whether the last writes reached the file.
    std::error_code close()
    {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) == 0) {
            return {};
        }
        return {errno != 0 ? errno : EIO, std::generic_category()};
    }

private:
    int fd_;
};

}  // namespace tessaron
