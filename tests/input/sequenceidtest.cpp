#include "input/records.h"
#include "input/sequenceid.h"

#include <gtest/gtest.h>

#include <string_view>

namespace tessaron {
namespace {

TEST(SequenceId, VersionElseAccessionElseNameElseFastaId)
{
    const struct {
        std::string_view bytes;
        std::string_view seqid;
    } cases[] = {
        {"LOCUS       NAME 4 bp\nACCESSION   NC_1 NC_2\nVERSION     NC_1.3\nORIGIN\n//\n", "NC_1.3"},
        {"LOCUS       NAME 4 bp\nACCESSION   NC_1\nORIGIN\n//\n", "NC_1"},
        {"LOCUS       NAME 4 bp\nVERSION     NC_1.3\nORIGIN\n//\n", "NC_1.3"},
        {"LOCUS       NAME 4 bp\nACCESSION\nVERSION\nORIGIN\n//\n", "NAME"},
        {">chr1 a description\nACGT\n", "chr1"},
        {"ACGT\n", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(sequenceId(parseRecords(c.bytes).front()), c.seqid) << c.bytes;
    }
}

}  // namespace
}  // namespace tessaron
