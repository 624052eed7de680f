#include "input/filebytes.h"
#include "input/records.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace tessaron {
namespace {

// `text` as one gzip member.
std::string gzipped(std::string_view text)
{
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&stream, static_cast<uLong>(text.size())) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

class GzipTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tessaron-gzip-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    // Writes `bytes` to a file of that name and reads it back as the readers do.
    std::string readBack(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
        return readFileBytes(dir_ / name);
    }

    std::filesystem::path dir_;
};

// By the bytes, not the name: one member, many (as bgzip writes them), and
// the zeros some tools pad with.
TEST_F(GzipTest, DataIsUnpackedWhateverTheName)
{
    const std::string text = ">seq one\nACGTACGTNNACGT\n";
    const std::string member = gzipped(text);
    const std::string half = gzipped(text.substr(0, 9)) + gzipped(text.substr(9)) + gzipped("");
    EXPECT_EQ(readBack("plain.fa", text), text);
    EXPECT_EQ(readBack("packed.fa", member), text);
    EXPECT_EQ(readBack("packed.fa.gz", member), text);
    EXPECT_EQ(readBack("blocks.bgz", half), text);
    EXPECT_EQ(readBack("padded.gz", member + std::string(8, '\0')), text);

    std::ofstream(dir_ / "genome.gz", std::ios::binary) << member;
    const InputFile file = InputFile::read(dir_ / "genome.gz");
    EXPECT_EQ(file.format(), RecordFormat::Fasta);
    EXPECT_EQ(file.records().front().seqid, "seq");
}

TEST_F(GzipTest, DamagedDataIsRefusedWithItsCause)
{
    const std::string member = gzipped(std::string(5000, 'A'));
    const struct {
        std::string bytes;
        std::string_view detail;
    } cases[] = {
        {member.substr(0, member.size() / 2), "damaged gzip data (it ends before its last block)"},
        {member + "trailing text", "damaged gzip data (other data after its end)"},
        {member.substr(0, 10) + std::string(40, 'x'), "damaged gzip data ("},
    };
    for (const auto& c : cases) {
        try {
            (void)readBack("bad.gz", c.bytes);
            ADD_FAILURE() << "accepted: " << c.detail;
        } catch (const InputError& error) {
            EXPECT_EQ(error.reason(), InputFailure::NotText);
            EXPECT_TRUE(error.detail().starts_with(c.detail)) << error.detail();
        }
    }
}

// The unpacked size a trailer states is only a hint to reserve for: text
// that unpacks to far more than its packed bytes, many members of which the
// last states nothing, a trailer that lies, and a limit below the stated size.
TEST_F(GzipTest, TheStatedSizeIsOnlyAHint)
{
    std::string text;
    for (int i = 0; text.size() < 300000; ++i) {
        text += "ACGT" + std::to_string(i % 7);
    }
    const std::string member = gzipped(text);
    ASSERT_GT(text.size(), 64 * member.size());
    EXPECT_EQ(readBack("dense.gz", member), text);
    EXPECT_EQ(readBack("blocks.bgz", member + gzipped("")), text);
    EXPECT_EQ(readBack("padded.gz", gzipped("") + member + std::string(4, '\0')), text);

    std::string lying = member;
    lying.replace(lying.size() - 4, 4, "\xFF\xFF\xFF\x7F");
    try {
        (void)readBack("lying.gz", lying);
        ADD_FAILURE() << "a false length accepted";
    } catch (const InputError& error) {
        EXPECT_EQ(error.reason(), InputFailure::NotText);
    }

    std::ofstream(dir_ / "limited.gz", std::ios::binary) << member;
    try {
        (void)readFileBytes(dir_ / "limited.gz", std::stop_token{}, text.size() / 2);
        ADD_FAILURE() << "unpacked past the limit";
    } catch (const InputError& error) {
        EXPECT_EQ(error.reason(), InputFailure::TooLarge);
    }
}

}  // namespace
}  // namespace tessaron
