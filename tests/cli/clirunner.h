#pragma once

// Runs the built command line program in a scratch folder and reads back what
// it wrote.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tessaron::test {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string shellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char ch : text) {
        quoted += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
    }
    return quoted + "'";
}

inline std::string slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        result.push_back(line);
    }
    return result;
}

inline std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> result;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        result.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) {
            return result;
        }
        start = tab + 1;
    }
}

// Runs the built program in a scratch folder that holds the test's files.
class CliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "tessaron-cli-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }

    void write(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }

    // `input`: a file of the scratch folder as standard input.
    Outcome run(const std::vector<std::string>& arguments, const std::string& input = {}) const
    {
        std::string command = "cd " + shellQuoted(dir_.string()) + " && " + shellQuoted(TESSARON_CLI_PATH);
        for (const auto& argument : arguments) {
            command += ' ';
            command += shellQuoted(argument);
        }
        command += " >stdout.txt 2>stderr.txt";
        if (!input.empty()) {
            command += " <" + shellQuoted(input);
        }
        const int status = std::system(command.c_str());
        Outcome result;
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = slurp(dir_ / "stdout.txt");
        result.err = slurp(dir_ / "stderr.txt");
        return result;
    }

    fs::path dir_;
};

}  // namespace tessaron::test
