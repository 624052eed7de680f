#include "input/filebytes.h"

#include "gunzip.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <memory>
#include <system_error>

namespace tessaron {

namespace {

// The genome counts its capacity in a signed 32-bit value.
constexpr std::size_t kLargestFile = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

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

// Reads `file` to its end.
std::string readAll(std::FILE* file, const std::filesystem::path& path)
{
    std::string bytes;
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

}  // namespace

std::string readFileBytes(const std::filesystem::path& path)
{
    errno = 0;
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        throw systemError(path, errno);
    }
    return readAll(file.get(), path);
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
