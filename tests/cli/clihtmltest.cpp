// --report html: the page's tables hold the command line's own rows, and the
// page asks for nothing outside itself.

#include "clirunner.h"
#include "htmlpagedata.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tessaron::test {
namespace {

// The argument words of a command the page names ("tessaron-cli --min 30 ... FILE").
std::vector<std::string> words(const std::string& command)
{
    std::vector<std::string> out;
    std::istringstream in(command);
    for (std::string word; in >> word;) {
        out.push_back(word);
    }
    out.erase(out.begin());  // the program's name
    return out;
}

class CliHtml : public CliTest {};

TEST_F(CliHtml, EveryTableHoldsTheRowsOfItsCommand)
{
    fs::copy_file(fs::path(TESSARON_TEST_DATA) / "NC_000932.gb", dir_ / "NC_000932.gb");
    const Outcome page = run({"--report", "html", "--gaps", "-q", "NC_000932.gb"});
    ASSERT_EQ(page.status, 0) << page.err;
    const std::string& html = page.out;
    EXPECT_EQ(html.find("http://"), std::string::npos);
    EXPECT_EQ(html.find("https://"), std::string::npos);
    EXPECT_LT(html.size(), 10U << 20);
    EXPECT_NE(html.find("tessaron-cli --report html --gaps -q NC_000932.gb"), std::string::npos);

    std::vector<std::string> seen;
    for (const PageTable& table : pageTables(html)) {
        seen.push_back(table.id);
        const Outcome output = run(words(table.command));
        ASSERT_EQ(output.status, 0) << table.command << output.err;
        const WrittenTable written = tableWithHeader(output.out, table.columns, table.rows.size());
        ASSERT_TRUE(written.found) << table.command;
        EXPECT_EQ(written.total, table.total) << table.command;
        EXPECT_EQ(table.rows.size(), std::min(table.total, std::size_t{30000})) << table.command;
        EXPECT_EQ(written.rows, table.rows) << table.command;
        // Every row of a table of pairs or stretches is marked.
        EXPECT_EQ(table.marks, table.rows.size()) << table.id;
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"exact", "approximate", "gapped", "families", "ssr", "tandem",
                                              "plastome", "junctions", "features"}));
    // The figures draw every mark of this genome: the page says nothing of a cut.
    EXPECT_EQ(html.find("id=\"drawn-in-part\""), std::string::npos);
    // The plastome's parts as a ring.
    EXPECT_NE(html.find("<g class=\"layer ring\" data-s=\"plastome\">"), std::string::npos);
    // The paper section as --report paper writes it.
    const Outcome paper = run({"--report", "paper", "NC_000932.gb"});
    for (const std::string& line : lines(paper.out)) {
        for (const std::string& cell : fields(line)) {
            if (!cell.empty() && cell.find_first_of("<>&'\"") == std::string::npos) {
                EXPECT_NE(html.find("<td>" + cell + "</td>"), std::string::npos) << cell;
            }
        }
    }
}

TEST_F(CliHtml, RefusesWhatItCannotShow)
{
    write("empty.fa", ">nothing\n");
    const Outcome empty = run({"--report", "html", "empty.fa"});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("no bases"), std::string::npos) << empty.err;
    EXPECT_TRUE(empty.out.empty());
    // The page runs its own searches at their defaults.
    const Outcome approximate = run({"--report", "html", "--approximate", "empty.fa"});
    EXPECT_EQ(approximate.status, 2);
    EXPECT_NE(approximate.err.find("--approximate does not apply to --report html"), std::string::npos)
        << approximate.err;
}

}  // namespace
}  // namespace tessaron::test
