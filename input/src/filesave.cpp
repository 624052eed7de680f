#include "input/filesave.h"

#include "descriptor.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

namespace tessaron {

namespace {

namespace fs = std::filesystem;

constexpr int kMostLinks = 40;  // as the system follows them

std::error_code systemError(int error)
{
    return {error != 0 ? error : EIO, std::generic_category()};
}

// A stream buffer writing to a file descriptor, keeping the first error.
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd) : fd_(fd) { setp(buffer_.data(), buffer_.data() + buffer_.size()); }

    [[nodiscard]] int error() const { return error_; }

protected:
    int_type overflow(int_type ch) override
    {
        if (!drain()) {
            return traits_type::eof();
        }
        if (!traits_type::eq_int_type(ch, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(ch);
            pbump(1);
        }
        return traits_type::not_eof(ch);
    }

    int sync() override { return drain() ? 0 : -1; }

private:
    bool drain()
    {
        const char* data = pbase();
        auto size = static_cast<std::size_t>(pptr() - pbase());
        while (size > 0 && error_ == 0) {
            const ssize_t written = ::write(fd_, data, size);
            if (written < 0) {
                if (errno != EINTR) {
                    error_ = errno;
                }
                continue;
            }
            data += written;
            size -= static_cast<std::size_t>(written);
        }
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        return error_ == 0;
    }

    int fd_;
    int error_ = 0;
    std::array<char, std::size_t{1} << 16> buffer_{};
};

// Runs the writer on an open file and flushes what it wrote.
std::error_code writeTo(int fd, const StreamWriter& write)
{
    DescriptorBuffer buffer(fd);
    std::ostream out(&buffer);
    const bool written = write(out) && out.flush().good();
    if (buffer.error() != 0) {
        return systemError(buffer.error());
    }
    return written ? std::error_code() : systemError(EIO);
}

// Writes into what is there, never replacing it.
std::error_code writeInPlace(const fs::path& path, int flags, const StreamWriter& write)
{
    Descriptor file(::open(path.c_str(), flags | O_WRONLY | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) {
        return systemError(errno);
    }
    if (const auto error = writeTo(file.get(), write)) {
        return error;
    }
    return file.close();
}

// The process that wrote a part file of `target` ("NAME.PID-N.part"), or 0
// for any other name.
pid_t partWriter(const fs::path& target, const std::string& name)
{
    const std::string lead = target.filename().string() + ".";
    constexpr std::string_view kPart = ".part";
    if (!name.starts_with(lead) || !name.ends_with(kPart) || name.size() <= lead.size() + kPart.size()) {
        return 0;
    }
    const std::string_view middle =
        std::string_view(name).substr(lead.size(), name.size() - lead.size() - kPart.size());
    const std::size_t dash = middle.find('-');
    pid_t pid = 0;
    unsigned count = 0;
    const auto digits = [](std::string_view text, auto& value) {
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        return error == std::errc{} && end == text.data() + text.size();
    };
    if (dash == std::string_view::npos || !digits(middle.substr(0, dash), pid) ||
        !digits(middle.substr(dash + 1), count) || pid <= 0) {
        return 0;
    }
    return pid;
}

// Removes the part files of `target` that a process which no longer runs
// left behind (killed while it wrote); those of running processes stay.
void removeStaleParts(const fs::path& target)
{
    std::error_code error;
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const pid_t writer = partWriter(target, entry->path().filename().string());
        if (writer > 0 && writer != ::getpid() && ::kill(writer, 0) != 0 && errno == ESRCH) {
            ::unlink(entry->path().c_str());
        }
    }
}

// A new file beside `target`, renamed over it once complete; `mode` is the
// permissions of the file it replaces, if any. Its name, "NAME.PID-N.part",
// tells the process that writes it, so that a later save removes the parts
// of a process that was killed.
std::error_code replaceAtomically(const fs::path& target, const mode_t* mode, const StreamWriter& write)
{
    static std::atomic<unsigned> made{0};
    removeStaleParts(target);
    fs::path temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temporary = target;
        temporary += "." + std::to_string(::getpid()) + "-" + std::to_string(made++) + ".part";
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt > 100)) {
            return systemError(errno);
        }
    }
    Descriptor file(fd);
    std::error_code error;
    if (mode != nullptr && ::fchmod(fd, *mode & 07777) != 0) {
        error = systemError(errno);
    }
    if (!error) {
        error = writeTo(fd, write);
    }
    if (const auto closed = file.close(); !error) {
        error = closed;
    }
    if (!error && ::rename(temporary.c_str(), target.c_str()) != 0) {
        error = systemError(errno);
    }
    if (error) {
        ::unlink(temporary.c_str());
    }
    return error;
}

// Where a path that does not exist yet leads: through a dangling symbolic
// link to the name the link gives.
std::error_code followToNewName(fs::path& path)
{
    for (int links = 0;; ++links) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0) {
            return errno == ENOENT ? std::error_code() : systemError(errno);
        }
        if (!S_ISLNK(status.st_mode)) {
            return systemError(EEXIST);  // made meanwhile: let the caller look again
        }
        if (links == kMostLinks) {
            return systemError(ELOOP);
        }
        std::array<char, PATH_MAX> target{};
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size() - 1);
        if (length < 0) {
            return systemError(errno);
        }
        const fs::path next(std::string(target.data(), static_cast<std::size_t>(length)));
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
}

bool underSystemFolders(const fs::path& path)
{
    const std::string text = path.string();
    return text.starts_with("/dev/") || text.starts_with("/proc/");
}

// Its mode is asked as well as the system: the superuser may write
// anything, but a file no one may write is still not to be replaced.
bool writable(const fs::path& target, const struct stat& status)
{
    return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && ::access(target.c_str(), W_OK) == 0;
}

}  // namespace

bool refusedAsReadOnly(const std::filesystem::path& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    if (!real) {
        return false;
    }
    const fs::path target(real.get());
    return !underSystemFolders(target) && !underSystemFolders(path) && !writable(target, status);
}

std::error_code saveFile(const std::filesystem::path& path, const StreamWriter& write, SaveOptions options)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode)) {
            return systemError(EISDIR);
        }
        if (!S_ISREG(status.st_mode)) {
            return writeInPlace(path, 0, write);
        }
        const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
        if (!real) {
            return systemError(errno);
        }
        const fs::path target(real.get());
        if (underSystemFolders(target) || underSystemFolders(path)) {
            return writeInPlace(path, O_TRUNC, write);
        }
        if (!writable(target, status) && !options.overwriteReadOnly) {
            return systemError(EACCES);
        }
        return replaceAtomically(target, &status.st_mode, write);
    }
    if (errno != ENOENT) {
        return systemError(errno);  // a loop of links, no permission, ...
    }
    fs::path target = path;
    if (const auto error = followToNewName(target)) {
        return error;
    }
    return replaceAtomically(target, nullptr, write);
}

std::error_code saveFile(const std::filesystem::path& path, std::string_view bytes, SaveOptions options)
{
    return saveFile(
        path,
        [bytes](std::ostream& out) {
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
            return true;
        },
        options);
}

}  // namespace tessaron

namespace tessaron {

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b)
{
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::optional<std::string> outputIsInput(const std::filesystem::path& output,
                                         const std::vector<std::filesystem::path>& inputs)
{
    for (const std::filesystem::path& input : inputs) {
        if (!input.empty() && sameFile(output, input)) {
            return "'" + output.string() + "' is the input file '" + input.string() +
                   "'; choose another name for the output";
        }
    }
    return std::nullopt;
}

}  // namespace tessaron
