#include "input/filesave.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace tessaron {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class FileSaveTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "tessaron-save-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
        return dir_ / name;
    }

    // Only the names given are left in the folder: no part-written file.
    void expectOnly(std::initializer_list<const char*> names) const
    {
        std::size_t count = 0;
        for (const auto& entry : fs::directory_iterator(dir_)) {
            ++count;
            EXPECT_NE(std::find_if(names.begin(), names.end(),
                                   [&](const char* name) { return entry.path().filename() == name; }),
                      names.end())
                << entry.path();
        }
        EXPECT_EQ(count, names.size());
    }

    fs::path dir_;
};

TEST_F(FileSaveTest, ARegularFileIsReplacedWholeThroughALinkTooKeepingItsPermissions)
{
    const fs::path file = write("map.png", "old");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("map.png", dir_ / "link.png");
    EXPECT_FALSE(saveFile(file, "new"));
    EXPECT_EQ(slurp(file), "new");
    EXPECT_FALSE(saveFile(dir_ / "link.png", std::string_view("through the link")));
    EXPECT_TRUE(fs::is_symlink(dir_ / "link.png"));
    EXPECT_EQ(slurp(file), "through the link");
    EXPECT_EQ(fs::status(file).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // A dangling link makes its target; a new file takes the usual permissions.
    fs::create_symlink("made.svg", dir_ / "dangling.svg");
    EXPECT_FALSE(saveFile(dir_ / "dangling.svg", "made"));
    EXPECT_EQ(slurp(dir_ / "made.svg"), "made");
    expectOnly({"map.png", "link.png", "dangling.svg", "made.svg"});
}

TEST_F(FileSaveTest, AFailedWriteLeavesTheEarlierFileAndNoPart)
{
    const fs::path file = write("chart.svg", "earlier");
    const std::error_code gaveUp = saveFile(file, [](std::ostream& out) {
        out << "half";
        return false;
    });
    EXPECT_EQ(gaveUp, std::errc::io_error);
    EXPECT_EQ(slurp(file), "earlier");
    expectOnly({"chart.svg"});
}

TEST_F(FileSaveTest, WhatCannotHoldAFileIsRefusedWithItsReason)
{
    fs::create_directory(dir_ / "folder");
    fs::create_symlink("loop.png", dir_ / "loop.png");
    const struct {
        fs::path path;
        std::errc reason;
    } cases[] = {
        {dir_ / "folder", std::errc::is_a_directory},
        {dir_ / "loop.png", std::errc::too_many_symbolic_link_levels},
        {dir_ / "missing" / "map.png", std::errc::no_such_file_or_directory},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(saveFile(c.path, "x"), c.reason) << c.path;
    }
    EXPECT_TRUE(fs::is_symlink(dir_ / "loop.png"));
    expectOnly({"folder", "loop.png"});
}

// An output is refused when it is an input by any name: a link, a hard
// link, another spelling of its path; a new name or another file is not.
TEST_F(FileSaveTest, AnOutputThatIsTheInputIsToldByAnyName)
{
    const fs::path genome = write("same.gb", "LOCUS");
    const fs::path other = write("other.gb", "LOCUS");
    fs::create_symlink("same.gb", dir_ / "link.png");
    fs::create_hard_link(genome, dir_ / "hard.png");
    fs::create_directory(dir_ / "sub");
    const struct {
        fs::path output;
        bool same;
    } cases[] = {
        {genome, true},
        {dir_ / "link.png", true},
        {dir_ / "hard.png", true},
        {dir_ / "sub" / ".." / "same.gb", true},
        {dir_ / "new.png", false},
        {other, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sameFile(c.output, genome), c.same) << c.output;
        const auto refusal = outputIsInput(c.output, {dir_ / "absent.gb", genome});
        EXPECT_EQ(refusal.has_value(), c.same) << c.output;
        if (refusal) {
            EXPECT_EQ(*refusal, "'" + c.output.string() + "' is the input file '" + genome.string() +
                                    "'; choose another name for the output");
        }
    }
    EXPECT_FALSE(outputIsInput(genome, {}));
}

// The part files that a killed save left behind are removed by the next save
// of that file; those of a running process, and of other files, stay.
TEST_F(FileSaveTest, ASaveRemovesThePartsThatAKilledSaveLeft)
{
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::_exit(0);
    }
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    const std::string dead = std::to_string(child);
    const std::string running = std::to_string(::getppid());
    write("map.png." + dead + "-0.part", "stale");
    write("map.png." + dead + "-17.part", "stale");
    write("map.png." + running + "-0.part", "being written");
    write("chart.png." + dead + "-0.part", "another file's");
    write("map.png.notes.part", "not a part of ours");
    EXPECT_FALSE(saveFile(dir_ / "map.png", "new"));
    EXPECT_EQ(slurp(dir_ / "map.png"), "new");
    expectOnly({"map.png", ("map.png." + running + "-0.part").c_str(),
                ("chart.png." + dead + "-0.part").c_str(), "map.png.notes.part"});
}

// A file no one may write is refused as cp refuses it, directly or through a
// link, unless the caller asks to overwrite it; then it keeps its mode.
TEST_F(FileSaveTest, AReadOnlyFileIsReplacedOnlyWhenAsked)
{
    const fs::path file = write("map.png", "read-only");
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::create_symlink("map.png", dir_ / "link.png");
    for (const fs::path& path : {file, dir_ / "link.png"}) {
        EXPECT_EQ(saveFile(path, "new"), std::errc::permission_denied) << path;
        EXPECT_EQ(saveFile(path, [](std::ostream& out) { return !!(out << "new"); }),
                  std::errc::permission_denied)
            << path;
        EXPECT_EQ(slurp(file), "read-only");
    }
    EXPECT_FALSE(saveFile(dir_ / "link.png", "overwritten", SaveOptions{.overwriteReadOnly = true}));
    EXPECT_EQ(slurp(file), "overwritten");
    EXPECT_EQ(fs::status(file).permissions(),
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    expectOnly({"map.png", "link.png"});
}

// What a save would refuse without being told to overwrite, asked before the
// save: only a regular file that may not be written, by any name.
TEST_F(FileSaveTest, AReadOnlyFileIsToldBeforeTheSave)
{
    const fs::path readOnly = write("old.png", "x");
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::create_symlink("old.png", dir_ / "link.png");
    const fs::path writable = write("new.png", "x");
    fs::create_directory(dir_ / "folder");
    ASSERT_EQ(::mkfifo((dir_ / "fifo").c_str(), 0444), 0);
    const struct {
        fs::path path;
        bool refused;
    } cases[] = {
        {readOnly, true},         {dir_ / "link.png", true},
        {writable, false},        {dir_ / "missing.png", false},
        {dir_ / "folder", false}, {dir_ / "fifo", false},
        {"/dev/null", false},
    };
    for (const auto& [path, refused] : cases) {
        EXPECT_EQ(refusedAsReadOnly(path), refused) << path;
        // The save agrees.
        if (refused) {
            EXPECT_EQ(saveFile(path, "y"), std::errc::permission_denied) << path;
        }
    }
}

// A FIFO, directly or through a link, is written into and stays a FIFO; so
// does a private null device where the system lets one be made.
TEST_F(FileSaveTest, NodesAreWrittenWhereTheyAreNeverReplaced)
{
    const fs::path fifo = dir_ / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("fifo", dir_ / "to-fifo");
    const std::string bytes(200000, 'x');  // more than a pipe holds at once
    for (const fs::path& path : {fifo, dir_ / "to-fifo"}) {
        SCOPED_TRACE(path);
        // Opened for reading first, so that the writer's open does not wait.
        const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(reader, 0);
        std::string got;
        std::jthread drain([&] {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
            std::string chunk(65536, '\0');
            while (got.size() < bytes.size() && std::chrono::steady_clock::now() < deadline) {
                pollfd ready{reader, POLLIN, 0};
                if (::poll(&ready, 1, 100) > 0) {
                    const ssize_t n = ::read(reader, chunk.data(), chunk.size());
                    got.append(chunk, 0, n > 0 ? static_cast<std::size_t>(n) : 0);
                }
            }
        });
        EXPECT_FALSE(saveFile(path, bytes));
        drain.join();
        ::close(reader);
        EXPECT_EQ(got.size(), bytes.size());
        EXPECT_TRUE(fs::is_fifo(fifo));
    }

    const fs::path null = dir_ / "null";
    if (::mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0 || ::access(null.c_str(), W_OK) != 0) {
        GTEST_SKIP() << "no device node can be made here";
    }
    EXPECT_FALSE(saveFile(null, "into the null device"));
    EXPECT_TRUE(fs::is_character_file(null));
    expectOnly({"fifo", "to-fifo", "null"});
}

}  // namespace
}  // namespace tessaron
