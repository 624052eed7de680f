#pragma once

// The data of an HTML report as its script reads it (the JSON in the page),
// and the command each table names, for the tests that check the page's
// rows against the command line's.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tessaron::test {

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

// One table of the page: its id, columns, rows, the rows it has in all and
// the command the page names for the whole table.
struct PageTable {
    std::string id;
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
    std::size_t total = 0;
    std::size_t marks = 0;
    std::string command;
};

inline std::vector<PageTable> pageTables(const std::string& html)
{
    const std::string open = "<script type=\"application/json\" id=\"tessaron-data\">";
    const std::size_t from = html.find(open);
    EXPECT_NE(from, std::string::npos);
    if (from == std::string::npos) {
        return {};
    }
    const std::size_t to = html.find("</script>", from);
    const Json data =
        JsonReader(std::string_view(html).substr(from + open.size(), to - from - open.size())).read();
    std::vector<PageTable> tables;
    for (const Json& section : data["sections"].items()) {
        PageTable& table = tables.emplace_back();
        table.id = section["id"].text();
        for (const Json& column : section["columns"].items()) {
            table.columns.push_back(column.text());
        }
        for (const Json& row : section["rows"].items()) {
            auto& cells = table.rows.emplace_back();
            for (const Json& cell : row.items()) {
                cells.push_back(cell.text());
            }
        }
        table.total = std::stoul(section["total"].text());
        table.marks = section["marks"].items().size();
        const std::size_t at = html.find("id=\"t-" + table.id + "\"");
        EXPECT_NE(at, std::string::npos) << table.id;
        const std::size_t code = html.find("<code>", at) + 6;
        table.command = html.substr(code, html.find("</code>", code) - code);
    }
    return tables;
}

// The table of a command's output whose header is `columns` (--plastome
// writes several, an empty line after each): its first `keep` rows and how
// many it has; `found` false when no table has that header.
struct WrittenTable {
    bool found = false;
    std::vector<std::vector<std::string>> rows;
    std::size_t total = 0;
};

inline std::vector<std::string> tabCells(std::string_view line)
{
    std::vector<std::string> cells;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        cells.emplace_back(
            line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) {
            return cells;
        }
        start = tab + 1;
    }
}

inline WrittenTable tableWithHeader(std::string_view output, const std::vector<std::string>& columns,
                                    std::size_t keep)
{
    WrittenTable table;
    bool header = true;
    while (!output.empty()) {
        const std::size_t end = std::min(output.find('\n'), output.size());
        const std::string_view line = output.substr(0, end);
        output.remove_prefix(std::min(end + 1, output.size()));
        if (line.empty()) {
            if (table.found) {
                return table;
            }
            header = true;
        } else if (header) {
            table.found = tabCells(line) == columns;
            header = false;
        } else if (table.found && table.total++ < keep) {
            table.rows.push_back(tabCells(line));
        }
    }
    return table;
}

}  // namespace tessaron::test
