#include "input/textreader.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

namespace tessaron {
namespace {

// The letters of `bytes` that are bases, upper case: what a reader must keep.
std::string basesOf(const std::string& bytes)
{
    std::string bases;
    for (const char ch : bytes) {
        const auto upper = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        if (upper >= 'A' && upper <= 'Z') {  // a letter other than A, C, G, T is kept as a gap
            bases += upper;
        }
    }
    return bases;
}

// `count` bytes cycling through bases, line ends and bytes that are skipped.
std::string mixedBytes(std::size_t count)
{
    static const std::string pattern = "ACGTacgtNn \r\n0>xU-";
    std::string bytes;
    for (std::size_t i = 0; i < count; ++i) {
        bytes += pattern[(i * 7 + i / pattern.size()) % pattern.size()];
    }
    return bytes;
}

class TextReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "textreader-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path write(const std::string& name, const std::string& bytes) const
    {
        const auto path = dir_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::filesystem::path dir_;
};

TEST_F(TextReaderTest, TakesBasesOfEitherCaseAndSizesByTheFile)
{
    Genome genome;
    readText(write("small.txt", "ACGT\nacgt\n"), genome, 8, 30);
    EXPECT_EQ(genome.sequence(), "ACGTACGT");
    EXPECT_EQ(genome.length(), 8);
    EXPECT_EQ(genome.capacity(), 10);
    EXPECT_EQ(genome.minLength(), 8);
    EXPECT_EQ(genome.lengthBound(), 31);
}

TEST_F(TextReaderTest, TakesEveryBaseOfFilesAroundBlockSizes)
{
    for (const std::size_t size : {126u, 127u, 128u, 254u, 300u, 100000u}) {
        const std::string bytes = mixedBytes(size);
        Genome genome;
        readText(write("block.txt", bytes), genome, 8, 30);
        EXPECT_EQ(genome.sequence(), basesOf(bytes)) << size << " bytes";
        EXPECT_EQ(genome.capacity(), static_cast<int>(size));
    }
}

TEST_F(TextReaderTest, SkipsZeroAnd0xFFBytesWithoutLosingTheBasesAfterThem)
{
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"zero as tenth byte", std::string("ACGTACGTA") + '\0' + std::string(200, 'c')},
        {"zero first", std::string(1, '\0') + "GATTACA"},
        {"0xFF bytes",
         "AC\xFFGT\xFF\xFF"
         "a\xFEt\x80g"},
        {"0xFF last", "TTGA\xFF"},
    };
    for (const auto& c : cases) {
        Genome genome;
        readText(write("odd.bin", c.bytes), genome, 8, 30);
        EXPECT_EQ(genome.sequence(), basesOf(c.bytes)) << c.name;
    }
}

TEST_F(TextReaderTest, HeaderLineLettersAreBases)
{
    Genome genome;
    readText(write("seq.fa", ">Cat 12\nggtt\n"), genome, 8, 30);
    EXPECT_EQ(genome.sequence(), "CATGGTT");
}

TEST_F(TextReaderTest, EmptyFileGivesEmptySequenceWithTheSettings)
{
    Genome genome;
    readText(write("empty.txt", ""), genome, 12, 20);
    EXPECT_EQ(genome.length(), 0);
    EXPECT_EQ(genome.capacity(), 0);
    EXPECT_EQ(genome.minLength(), 12);
    EXPECT_EQ(genome.lengthBound(), 21);
}

TEST_F(TextReaderTest, SettingsAreStoredUnclamped)
{
    Genome genome;
    readText(write("s.txt", "ACGTACGT"), genome, 8, 8);
    EXPECT_EQ(genome.minLength(), 8);
    EXPECT_EQ(genome.lengthBound(), 9);
}

TEST_F(TextReaderTest, ReplacesThePreviousSequenceAndKeepsTheTitle)
{
    Genome genome;
    genome.setTitle("Homo sapiens");
    readText(write("first.txt", "GGGGGGGGGG"), genome, 8, 30);
    readText(write("second.txt", "tac"), genome, 9, 12);
    EXPECT_EQ(genome.sequence(), "TAC");
    EXPECT_EQ(genome.capacity(), 3);
    EXPECT_EQ(genome.title(), "Homo sapiens");
}

TEST_F(TextReaderTest, UnreadableFilesThrowAndLeaveTheGenomeAlone)
{
    const struct {
        const char* name;
        std::filesystem::path path;
        const char* reason;
    } cases[] = {
        {"missing", dir_ / "missing.txt", "cannot open '"},
        {"directory", dir_, "cannot read '"},
    };
    for (const auto& c : cases) {
        Genome genome;
        readText(write("old.txt", "ACGTTGCA"), genome, 10, 20);
        try {
            readText(c.path, genome, 8, 30);
            ADD_FAILURE() << c.name << ": no error";
        } catch (const ReadError& error) {
            const std::string message = error.what();
            EXPECT_EQ(message.rfind(c.reason + c.path.string() + "': ", 0), 0u) << message;
        }
        EXPECT_EQ(genome.sequence(), "ACGTTGCA") << c.name;
        EXPECT_EQ(genome.minLength(), 10) << c.name;
        EXPECT_EQ(genome.lengthBound(), 21) << c.name;
    }
}

TEST_F(TextReaderTest, MissingFileNamesTheReason)
{
    Genome genome;
    const auto path = dir_ / "x";
    try {
        readText(path, genome, 8, 30);
        FAIL() << "no error";
    } catch (const ReadError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "cannot open '" + path.string() + "': No such file or directory");
    }
}

}  // namespace
}  // namespace tessaron
