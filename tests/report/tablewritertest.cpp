#include "report/tablewriter.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>

namespace tessaron {
namespace {

TEST(TableWriter, RowsAcrossManyBufferFillsArriveIntact)
{
    std::ostringstream out;
    std::string expected;
    TableWriter writer(out, TableFormat::Tsv);
    const std::string longText(70000, 'G');  // longer than the buffer by itself
    for (std::int64_t row = 0; row < 50000; ++row) {
        const std::int64_t value = row * 7919 - 100000;
        const std::string_view word = row % 1000 == 999 ? std::string_view(longText) : "ACGT";
        writer.cell(word);
        writer.cell(value);
        writer.endRow();
        expected += std::string(word) + '\t' + std::to_string(value) + '\n';
    }
    writer.flush();
    EXPECT_EQ(out.str(), expected);
}

TEST(TableWriter, ExtremeNumbersAndNothingBeforeFlush)
{
    std::ostringstream out;
    TableWriter writer(out, TableFormat::Tsv);
    writer.cell(std::numeric_limits<std::int64_t>::min());
    writer.cell(std::numeric_limits<std::int64_t>::max());
    writer.cell(std::int64_t{0});
    EXPECT_EQ(out.str(), "");
    writer.flush();
    EXPECT_EQ(out.str(), "-9223372036854775808\t9223372036854775807\t0");
}

TEST(TableWriter, CellsThatNeedQuotingOrCleaning)
{
    struct Case {
        const char* text;
        const char* csv;
        const char* tsv;
    };
    const Case cases[] = {
        {"plain", "plain", "plain"},
        {"", "", ""},
        {"a,b", "\"a,b\"", "a,b"},
        {"say \"hi\"", "\"say \"\"hi\"\"\"", "say \"hi\""},
        {"two\nlines", "\"two\nlines\"", "two lines"},
        {"tab\there", "tab\there", "tab here"},
        {"N\xc3\xa3o h\xc3\xa1", "N\xc3\xa3o h\xc3\xa1", "N\xc3\xa3o h\xc3\xa1"},
        // What a spreadsheet takes for a formula is quoted; numbers are not.
        {"=HYPERLINK(\"x\")", "\"=HYPERLINK(\"\"x\"\")\"", "=HYPERLINK(\"x\")"},
        {"+cmd|' /C calc'!A0", "\"+cmd|' /C calc'!A0\"", "+cmd|' /C calc'!A0"},
        {"-2+3", "\"-2+3\"", "-2+3"},
        {"@SUM(A1)", "\"@SUM(A1)\"", "@SUM(A1)"},
        {"-", "-", "-"},  // a strand alone is no formula
        {"+", "+", "+"},
        {"-1.5", "-1.5", "-1.5"},
        {"+3", "+3", "+3"},
        {"-2e-05", "-2e-05", "-2e-05"},
        {"a=b", "a=b", "a=b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        for (const auto& [format, expected] :
             {std::pair{TableFormat::Csv, c.csv}, std::pair{TableFormat::Tsv, c.tsv}}) {
            std::ostringstream out;
            TableWriter writer(out, format);
            writer.cell(c.text);
            writer.cell(std::int64_t{7});
            writer.endRow();
            writer.cell("next");
            writer.flush();
            const char separator = format == TableFormat::Csv ? ',' : '\t';
            EXPECT_EQ(out.str(), std::string(expected) + separator + "7\nnext");
        }
    }
}

TEST(TableWriter, PreparedCellsAreCleanedOnceAndSeparatedLikeOthers)
{
    for (const auto& [format, expected] : {std::pair{TableFormat::Csv, "7,\"a,b\",x\ty\n\"a,b\",x\ty,8\n"},
                                           std::pair{TableFormat::Tsv, "7\ta,b\tx y\na,b\tx y\t8\n"}}) {
        std::ostringstream out;
        TableWriter writer(out, format);
        const PreparedCells prepared = writer.prepare({"a,b", "x\ty"});
        writer.cell(std::int64_t{7});
        writer.cells(prepared);
        writer.endRow();
        writer.cells(prepared);
        writer.cell(std::int64_t{8});
        writer.endRow();
        writer.flush();
        EXPECT_EQ(out.str(), expected);
    }
}

TEST(TableWriter, SheetRowsEndInCrLf)
{
    std::ostringstream out;
    TableWriter writer(out, TableFormat::Csv, LineEnd::CrLf);
    writer.cell("two\r\nlines");
    writer.cell("");
    writer.endRow();
    writer.endRow();
    writer.flush();
    EXPECT_EQ(out.str(), "\"two\r\nlines\",\r\n\r\n");
}

// Every byte value, alone among letters at places inside and across the
// eight-byte words the writer skips over: CSV quotes the cell for a comma, a
// quote or a line end only; TSV blanks a tab or a line end only.
TEST(TableWriter, EachByteIsQuotedOrBlankedOnlyWhereItMust)
{
    for (int value = 0; value < 256; ++value) {
        const char byte = static_cast<char>(value);
        const bool formula = byte == '=' || byte == '+' || byte == '-' || byte == '@';
        const bool blanked = byte == '\t' || byte == '\r' || byte == '\n';
        for (const std::size_t at : {0, 1, 7, 8, 15, 16, 20}) {
            SCOPED_TRACE(testing::Message() << "byte " << value << " at " << at);
            const std::string before(at, 'a');
            const std::string after(20 - at, 'b');
            const std::string text = before + byte + after;
            const bool quoted =
                byte == ',' || byte == '"' || byte == '\r' || byte == '\n' || (formula && at == 0);
            for (const TableFormat format : {TableFormat::Csv, TableFormat::Tsv}) {
                std::ostringstream out;
                TableWriter writer(out, format);
                writer.cell(text);
                writer.flush();
                if (format == TableFormat::Tsv) {
                    EXPECT_EQ(out.str(), blanked ? before + ' ' + after : text);
                } else if (!quoted) {
                    EXPECT_EQ(out.str(), text);
                } else {
                    EXPECT_EQ(out.str(),
                              '"' + before + (byte == '"' ? "\"\"" : std::string(1, byte)) + after + '"');
                }
            }
        }
    }
}

}  // namespace
}  // namespace tessaron
