// The option table against what is made or kept from it: --help, the bash
// completion, docs/cli.md's copy of --help and the parser itself.

#include "cli/options.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace tessaron {
namespace {

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string parseError(std::vector<std::string_view> arguments)
{
    const auto result = parseOptions(arguments);
    const auto* error = std::get_if<UsageError>(&result);
    return error ? error->message : std::string();
}

// The spellings of every option: its name and its short name.
std::vector<std::string> spellings()
{
    std::vector<std::string> names;
    for (const OptionRow& row : optionTable()) {
        names.emplace_back(row.name);
        if (!row.shortName.empty()) {
            names.emplace_back(row.shortName);
        }
    }
    return names;
}

TEST(OptionTable, EachOptionOnceWithItsOwnEntryInTheHelp)
{
    std::set<std::string_view> seen;
    const std::string_view usage = usageText();
    for (const OptionRow& row : optionTable()) {
        SCOPED_TRACE(std::string(row.name));
        EXPECT_TRUE(seen.insert(row.name).second);
        EXPECT_TRUE(row.shortName.empty() || seen.insert(row.shortName).second);
        ASSERT_NE(row.apply, nullptr);
        EXPECT_EQ(row.completion == ValueCompletion::Choices, row.choices != nullptr);
        EXPECT_TRUE(!row.value.empty() || row.completion == ValueCompletion::Free);
        // The entry's first line names the option (and its value) as it is typed.
        const std::string_view first = row.help.substr(0, row.help.find('\n'));
        const std::string label =
            row.value.empty() ? std::string(row.name) : std::string(row.name) + " " + std::string(row.value);
        EXPECT_TRUE(first.starts_with("  -") || first.starts_with("    -")) << first;
        EXPECT_NE(first.find(label), std::string_view::npos) << first;
        if (!row.shortName.empty()) {
            EXPECT_NE(first.find(std::string(row.shortName) + (row.value.empty() ? "," : " ")),
                      std::string_view::npos)
                << first;
        }
        EXPECT_TRUE(row.help.ends_with('\n'));
        EXPECT_NE(usage.find(row.help), std::string_view::npos);
    }
}

// Each name is known to the parser: a flag refuses a value and an option with
// a value asks for one, whatever else the command line holds.
TEST(OptionTable, TheParserKnowsEveryOption)
{
    for (const OptionRow& row : optionTable()) {
        SCOPED_TRACE(std::string(row.name));
        const std::string name(row.name);
        if (row.value.empty()) {
            EXPECT_EQ(parseError({name + "=1", "x"}), "option '" + name + "' takes no value");
        } else {
            EXPECT_EQ(parseError({"x", row.name}), "option '" + name + "' needs a value");
            if (!row.shortName.empty()) {
                EXPECT_EQ(parseError({"x", row.shortName}), "option '" + name + "' needs a value");
            }
        }
        for (const std::string_view choice : row.choices ? row.choices() : std::vector<std::string_view>{}) {
            EXPECT_EQ(parseError({name + "=" + std::string(choice)}).find("is not one of"), std::string::npos)
                << choice;
        }
    }
    EXPECT_EQ(parseError({"--no-such-option", "x"}), "unknown option '--no-such-option'");
}

// resources/tessaron-cli.bash is made from the table: when an option changes
// the test fails and leaves the new script beside it in the build folder.
TEST(OptionTable, TheBashCompletionIsTheTables)
{
    const std::string kept = fileText(TESSARON_SOURCE_DIR "/resources/tessaron-cli.bash");
    const std::string made = bashCompletion();
    if (kept != made) {
        const std::string fresh = TESSARON_BINARY_DIR "/tessaron-cli.bash";
        std::ofstream(fresh, std::ios::binary) << made;
        ADD_FAILURE() << "resources/tessaron-cli.bash is not the table's; the table's is " << fresh;
    }
    // Whatever the generator does, the script offers every spelling and every choice.
    std::string words = kept;
    for (char& ch : words) {
        ch = ch == '"' || ch == '|' || ch == ')' ? ' ' : ch;
    }
    std::set<std::string> offered;
    std::istringstream split(words);
    for (std::string word; split >> word;) {
        offered.insert(word);
    }
    for (const std::string& name : spellings()) {
        EXPECT_TRUE(offered.contains(name)) << name;
    }
    for (const std::string_view report :
         {"summary", "listing", "pairs", "info", "gff", "bed", "bedpe", "ssr", "paper", "tandem"}) {
        EXPECT_NE(kept.find(std::string(report)), std::string::npos) << report;
    }
    EXPECT_NE(kept.find("--report)\n"), std::string::npos);
    EXPECT_NE(
        kept.find("compgen -W \"summary listing pairs info gff bed bedpe ssr paper html tandem families\""),
        std::string::npos);
    EXPECT_NE(kept.find("compgen -W \"trie complete approximate\""), std::string::npos);
}

// docs/cli.md holds --help as the program writes it.
TEST(OptionTable, TheCommandLineDocumentHoldsTheHelp)
{
    const std::string readme = fileText(TESSARON_SOURCE_DIR "/docs/cli.md");
    const std::string opening = "```text\nUsage: tessaron-cli";
    const std::size_t start = readme.find(opening);
    ASSERT_NE(start, std::string::npos);
    const std::size_t end = readme.find("\n```\n", start + opening.size());
    ASSERT_NE(end, std::string::npos);
    const std::string copy = readme.substr(start + 8, end + 1 - (start + 8));
    for (const std::string& name : spellings()) {
        EXPECT_NE(copy.find(name), std::string::npos) << name << " is not in docs/cli.md's --help";
    }
    EXPECT_EQ(copy, usageText());
}

// The help names every format the readers tell apart, and how each is told.
TEST(OptionTable, TheHelpNamesEveryFormatRead)
{
    const std::string_view help = usageText();
    for (const std::string_view told :
         {"GenBank when it begins with LOCUS", "EMBL when it begins with \"ID\"",
          "FASTA when it begins with '>'", "otherwise\n                      plain text",
          "GenBank\n                      and EMBL records end at"}) {
        EXPECT_NE(help.find(told), std::string_view::npos) << told;
    }
}

TEST(OptionTable, MethodByName)
{
    const auto method = [](std::vector<std::string_view> arguments) {
        const auto result = parseOptions(arguments);
        const auto* options = std::get_if<Options>(&result);
        return options ? std::optional(options->method) : std::nullopt;
    };
    for (const MethodInfo& info : kMethods) {
        const std::string value(info.name);
        EXPECT_EQ(method({"--method", value, "x"}), info.method) << value;
        EXPECT_EQ(method({"--method=" + value, "x"}), info.method) << value;
    }
    // The old flags stay, and agree with the names of the same method.
    EXPECT_EQ(method({"--complete", "--method", "complete", "x"}), SearchMethod::Complete);
    EXPECT_EQ(method({"--approximate", "--method=approximate", "x"}), SearchMethod::Approximate);

    const struct {
        std::vector<std::string_view> arguments;
        std::string message;
    } refused[] = {
        {{"--method", "described", "x"}, "--method: 'described' is not one of trie, complete, approximate"},
        {{"--method", "", "x"}, "--method: '' is not one of trie, complete, approximate"},
        {{"--method", "trie", "--complete", "x"}, "choose one of --method trie and --complete"},
        {{"--approximate", "--method", "complete", "x"}, "choose one of --approximate and --method complete"},
        {{"--method", "complete", "--ssr", "x"},
         "--method complete does not apply to --ssr, which searches no repeats"},
        {{"--method", "approximate", "--max", "40", "x"},
         "--max does not apply to --approximate, whose pairs have no longest length"},
    };
    for (const auto& [arguments, message] : refused) {
        EXPECT_EQ(parseError(arguments), message);
    }
    EXPECT_EQ(method({"--method", "trie", "--ssr", "x"}), SearchMethod::Trie);
}

}  // namespace
}  // namespace tessaron
