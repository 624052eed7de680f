// --report html: the page's tables hold the command line's own rows, and the
// page asks for nothing outside itself.

#include "clirunner.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace tessaron::test {
namespace {

// Just enough JSON for the page's data: objects, arrays, strings, numbers
// (kept as their text), true, false and null.
struct Json {
    std::variant<std::string, std::vector<Json>, std::map<std::string, Json>> value;
    [[nodiscard]] const std::string& text() const { return std::get<std::string>(value); }
    [[nodiscard]] const std::vector<Json>& items() const { return std::get<std::vector<Json>>(value); }
    [[nodiscard]] const Json& operator[](const std::string& key) const
    {
        return std::get<std::map<std::string, Json>>(value).at(key);
    }
};

class JsonReader {
public:
    explicit JsonReader(std::string_view text) : text_(text) {}

    Json read()
    {
        skip();
        const char c = text_.at(at_);
        if (c == '{') {
            std::map<std::string, Json> object;
            ++at_;
            while (skip(), text_.at(at_) != '}') {
                const std::string key = read().text();
                skip();
                EXPECT_EQ(text_.at(at_++), ':');
                object[key] = read();
                skip();
                if (text_.at(at_) == ',') {
                    ++at_;
                }
            }
            ++at_;
            return {object};
        }
        if (c == '[') {
            std::vector<Json> array;
            ++at_;
            while (skip(), text_.at(at_) != ']') {
                array.push_back(read());
                skip();
                if (text_.at(at_) == ',') {
                    ++at_;
                }
            }
            ++at_;
            return {array};
        }
        if (c == '"') {
            std::string out;
            for (++at_; text_.at(at_) != '"'; ++at_) {
                if (text_[at_] != '\\') {
                    out += text_[at_];
                    continue;
                }
                const char escaped = text_.at(++at_);
                if (escaped == 'u') {
                    const unsigned code =
                        static_cast<unsigned>(std::stoul(std::string(text_.substr(at_ + 1, 4)), nullptr, 16));
                    EXPECT_LT(code, 0x80U);
                    out += static_cast<char>(code);
                    at_ += 4;
                } else {
                    out += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
                }
            }
            ++at_;
            return {out};
        }
        const std::size_t end = text_.find_first_of(",]}", at_);
        std::string word(text_.substr(at_, end - at_));
        at_ = end;
        return {word};
    }

private:
    void skip()
    {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) {
            ++at_;
        }
    }
    std::string_view text_;
    std::size_t at_ = 0;
};

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
    const Outcome page = run({"--report", "html", "-q", "NC_000932.gb"});
    ASSERT_EQ(page.status, 0) << page.err;
    const std::string& html = page.out;
    EXPECT_EQ(html.find("http://"), std::string::npos);
    EXPECT_EQ(html.find("https://"), std::string::npos);
    EXPECT_LT(html.size(), 10U << 20);
    EXPECT_NE(html.find("tessaron-cli --report html -q NC_000932.gb"), std::string::npos);

    const std::string open = "<script type=\"application/json\" id=\"tessaron-data\">";
    const std::size_t from = html.find(open);
    ASSERT_NE(from, std::string::npos);
    const std::size_t to = html.find("</script>", from);
    const Json data =
        JsonReader(std::string_view(html).substr(from + open.size(), to - from - open.size())).read();
    std::vector<std::string> seen;
    for (const Json& section : data["sections"].items()) {
        const std::string id = section["id"].text();
        seen.push_back(id);
        // The command the page names for the whole table.
        const std::string marker = "id=\"t-" + id + "\"";
        const std::size_t at = html.find(marker);
        ASSERT_NE(at, std::string::npos) << id;
        const std::size_t code = html.find("<code>", at) + 6;
        const std::string command = html.substr(code, html.find("</code>", code) - code);
        const Outcome table = run(words(command));
        ASSERT_EQ(table.status, 0) << command << table.err;
        const std::vector<std::string> written = lines(table.out);
        ASSERT_FALSE(written.empty()) << command;
        std::vector<std::string> columns;
        for (const Json& column : section["columns"].items()) {
            columns.push_back(column.text());
        }
        EXPECT_EQ(fields(written.front()), columns) << command;
        const auto& rows = section["rows"].items();
        ASSERT_EQ(written.size() - 1, std::stoul(section["total"].text())) << command;
        ASSERT_EQ(rows.size(), written.size() - 1) << command;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            std::vector<std::string> cells;
            for (const Json& cell : rows[r].items()) {
                cells.push_back(cell.text());
            }
            ASSERT_EQ(cells, fields(written[r + 1])) << command << " row " << r;
        }
        // Every row of a table of pairs or stretches is marked.
        EXPECT_EQ(section["marks"].items().size(), rows.size()) << id;
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"exact", "approximate", "ssr", "features"}));
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
