// The stoppable read of a file: regular files and pipes are read, the rest
// refused before it is opened, and a stop ends a read that waits for a writer.

#include "input/filebytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace tessaron {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// The longest a test waits for a writer or a reader of its pipes.
constexpr auto kWaitLimit = 60s;

class StoppableRead : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "tessaron-read-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override
    {
        if (socket_ >= 0) {
            ::close(socket_);
        }
        fs::remove_all(dir_);
    }

    fs::path write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
        return dir_ / name;
    }
    fs::path fifo(const std::string& name) const
    {
        EXPECT_EQ(::mkfifo((dir_ / name).c_str(), 0600), 0);
        return dir_ / name;
    }
    fs::path socket(const std::string& name)
    {
        socket_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
        EXPECT_GE(socket_, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = (dir_ / name).string();
        EXPECT_LT(path.size(), sizeof address.sun_path);
        std::copy(path.begin(), path.end(), address.sun_path);
        EXPECT_EQ(::bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        return dir_ / name;
    }

    fs::path dir_;
    int socket_ = -1;
};

// Writes `bytes` into the pipe once a reader has opened it, after `delay`.
void feed(const fs::path& pipe, const std::string& bytes, std::chrono::milliseconds delay)
{
    std::this_thread::sleep_for(delay);
    const auto deadline = std::chrono::steady_clock::now() + kWaitLimit;
    int descriptor = -1;
    while ((descriptor = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) < 0 && errno == ENXIO &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    if (descriptor < 0) {
        return;
    }
    ::fcntl(descriptor, F_SETFL, 0);
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t wrote = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (wrote <= 0) {
            break;
        }
        done += static_cast<std::size_t>(wrote);
    }
    ::close(descriptor);
}

TEST_F(StoppableRead, ReadsRegularFilesAndRefusesWhatIsNone)
{
    const fs::path file = write("genome.txt", "ACGTACGT\n");
    const fs::path empty = write("empty.txt", "");
    const fs::path room = dir_ / "room";
    fs::create_directory(room);
    const fs::path plug = socket("genome.socket");
    const std::stop_source never;
    EXPECT_EQ(readFileBytes(file, never.get_token()), "ACGTACGT\n");
    EXPECT_EQ(readFileBytes(empty, never.get_token()), "");
    const struct {
        const char* name;
        fs::path path;
        std::size_t limit;
        InputFailure reason;
        const char* detail;
    } refused[] = {
        {"missing", dir_ / "missing.txt", kLargestFileBytes, InputFailure::Missing, ""},
        {"folder", room, kLargestFileBytes, InputFailure::IsDirectory, ""},
        {"socket", plug, kLargestFileBytes, InputFailure::Unreadable, "it is a socket, not a regular file"},
        {"over the limit", file, 8, InputFailure::TooLarge, "larger than 8 bytes"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        try {
            (void)readFileBytes(c.path, never.get_token(), c.limit);
            ADD_FAILURE() << "read";
        } catch (const InputError& error) {
            EXPECT_EQ(error.reason(), c.reason);
            EXPECT_NE(error.detail().find(c.detail), std::string::npos) << error.detail();
        }
    }
}

TEST_F(StoppableRead, APipeIsReadFromItsWriterUntilItCloses)
{
    const std::stop_source never;
    std::string bases;
    for (int k = 0; k < 50000; ++k) {
        bases += "ACGTTGCA";  // more than a pipe holds at once
    }
    const struct {
        const char* name;
        std::string bytes;
        std::chrono::milliseconds delay;
    } writers[] = {
        {"at once", ">x\nACGT\n", 0ms},
        {"late", ">x\nACGT\n", 300ms},
        {"long", bases, 50ms},
        {"nothing", "", 100ms},
    };
    for (const auto& c : writers) {
        SCOPED_TRACE(c.name);
        const fs::path pipe = fifo(std::string(c.name) + ".fifo");
        std::thread writer(feed, pipe, c.bytes, c.delay);
        const std::optional<std::string> read = readFileBytes(pipe, never.get_token());
        writer.join();
        EXPECT_EQ(read, c.bytes);
    }
}

TEST_F(StoppableRead, AStopEndsTheWaitForAPipesWriter)
{
    const fs::path pipe = fifo("silent.fifo");
    std::stop_source stop;
    std::thread stopper([&stop] {
        std::this_thread::sleep_for(200ms);
        stop.request_stop();
    });
    EXPECT_EQ(readFileBytes(pipe, stop.get_token()), std::nullopt);
    stopper.join();
    // Stopped before it begins: nothing is read.
    EXPECT_EQ(readFileBytes(write("genome.txt", "ACGT"), stop.get_token()), std::nullopt);
}

}  // namespace
}  // namespace tessaron
