#include "input/filebytes.h"

#include "descriptor.h"
#include "gunzip.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessaron {

namespace {

// The genome counts its capacity in a signed 32-bit value.
constexpr std::size_t kLargestFile = kLargestFileBytes;
// How long a stoppable read waits for data before it looks at its stop request.
constexpr int kPollMilliseconds = 50;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The failure an errno value of open or read stands for.
InputFailure failureOf(int error)
{
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return InputFailure::Missing;
        case EISDIR:
            return InputFailure::IsDirectory;
        default:
            return InputFailure::Unreadable;
    }
}

InputError systemError(const std::filesystem::path& path, int error)
{
    if (error == 0) {
        error = EIO;  // a failure that left no reason
    }
    return InputError(failureOf(error), path, std::generic_category().message(error));
}

// Reads `file` to its end, room for `expected` bytes reserved at once (a
// hint: a file may grow or shrink while it is read).
std::string readAll(std::FILE* file, const std::filesystem::path& path, std::size_t expected = 0)
{
    std::string bytes;
    bytes.reserve(std::min(expected, kLargestFile));
    std::string chunk(std::size_t{1} << 16, '\0');
    for (;;) {
        const std::size_t got = std::fread(chunk.data(), 1, chunk.size(), file);
        if (bytes.size() + got > kLargestFile) {
            throw InputError(InputFailure::TooLarge, path,
                             "larger than " + std::to_string(kLargestFile) + " bytes");
        }
        bytes.append(chunk, 0, got);
        if (got < chunk.size()) {
            break;
        }
    }
    if (std::ferror(file)) {
        throw systemError(path, errno);
    }
    if (isGzip(bytes)) {
        return gunzip(bytes, path, kLargestFile);
    }
    return bytes;
}

// Why a file of this mode is not read: it is no regular file nor pipe.
std::optional<InputError> notReadable(const std::filesystem::path& path, mode_t mode)
{
    if (S_ISREG(mode) || S_ISFIFO(mode)) {
        return std::nullopt;
    }
    if (S_ISDIR(mode)) {
        return systemError(path, EISDIR);
    }
    const char* what = S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                       : S_ISSOCK(mode)               ? "a socket"
                                                      : "not a file";
    return InputError(InputFailure::Unreadable, path, std::string("it is ") + what + ", not a regular file");
}

}  // namespace

std::optional<std::string> readFileBytes(const std::filesystem::path& path, const std::stop_token& stop,
                                         std::size_t limit)
{
    limit = std::min(limit, kLargestFile);
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        throw systemError(path, errno);
    }
    if (auto refusal = notReadable(path, status.st_mode)) {
        throw *refusal;
    }
    // Opened without waiting: a pipe's open would wait for a writer.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0) {
        throw systemError(path, errno);
    }
    // What was opened, which may not be what was looked at.
    if (::fstat(file.get(), &status) != 0) {
        throw systemError(path, errno);
    }
    if (auto refusal = notReadable(path, status.st_mode)) {
        throw *refusal;
    }
    std::string bytes;
    std::string chunk(std::size_t{1} << 16, '\0');
    for (;;) {
        if (stop.stop_requested()) {
            return std::nullopt;
        }
        // A regular file is always ready. A pipe is ready once it holds data
        // or its writer has gone; one that no writer has opened yet is not
        // (a read would say it has ended).
        pollfd ready{file.get(), POLLIN, 0};
        const int polled = ::poll(&ready, 1, kPollMilliseconds);
        if (polled < 0 && errno != EINTR) {
            throw systemError(path, errno);
        }
        if (polled <= 0) {
            continue;
        }
        const ssize_t got = ::read(file.get(), chunk.data(), chunk.size());
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) {
                continue;
            }
            throw systemError(path, errno);
        }
        if (got == 0) {
            break;
        }
        if (bytes.size() + static_cast<std::size_t>(got) > limit) {
            throw InputError(InputFailure::TooLarge, path, "larger than " + std::to_string(limit) + " bytes");
        }
        bytes.append(chunk, 0, static_cast<std::size_t>(got));
    }
    if (isGzip(bytes)) {
        return gunzip(bytes, path, limit);
    }
    return bytes;
}

std::string readFileBytes(const std::filesystem::path& path)
{
    errno = 0;
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        throw systemError(path, errno);
    }
    struct stat status {};
    const bool sized = ::fstat(::fileno(file.get()), &status) == 0 && S_ISREG(status.st_mode);
    return readAll(file.get(), path, sized ? static_cast<std::size_t>(status.st_size) : 0);
}

std::string readInputBytes(const std::filesystem::path& path)
{
    if (path == "-") {
        errno = 0;
        return readAll(stdin, "standard input");
    }
    return readFileBytes(path);
}

}  // namespace tessaron
