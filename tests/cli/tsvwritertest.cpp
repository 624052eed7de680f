#include "cli/tsvwriter.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>

namespace tessaron {
namespace {

TEST(TsvWriter, RowsAcrossManyBufferFillsArriveIntact)
{
    std::ostringstream out;
    std::string expected;
    TsvWriter writer(out);
    const std::string longText(70000, 'G');  // longer than the buffer by itself
    for (std::int64_t row = 0; row < 50000; ++row) {
        const std::int64_t value = row * 7919 - 100000;
        const std::string_view word = row % 1000 == 999 ? std::string_view(longText) : "ACGT";
        writer.text(word);
        writer.tab();
        writer.number(value);
        writer.endRow();
        expected += std::string(word) + '\t' + std::to_string(value) + '\n';
    }
    writer.flush();
    EXPECT_EQ(out.str(), expected);
}

TEST(TsvWriter, ExtremeNumbersAndNothingBeforeFlush)
{
    std::ostringstream out;
    TsvWriter writer(out);
    writer.number(std::numeric_limits<std::int64_t>::min());
    writer.tab();
    writer.number(std::numeric_limits<std::int64_t>::max());
    writer.tab();
    writer.number(0);
    EXPECT_EQ(out.str(), "");
    writer.flush();
    EXPECT_EQ(out.str(), "-9223372036854775808\t9223372036854775807\t0");
}

}  // namespace
}  // namespace tessaron
