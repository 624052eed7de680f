// Inputs of every kind through the program: pipes and standard input, FASTA,
// files of several records, and the features named for each copy.

#include "clirunner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace tessaron::test;
namespace fs = std::filesystem;

const std::string kData = TESSARON_TEST_DATA;
const std::string kMito = TESSARON_MITO_GENBANK;

class CliInputTest : public CliTest {
protected:
    // Runs a shell command line in which CLI stands for the program.
    Outcome shell(std::string line) const
    {
        for (std::size_t at = line.find("CLI"); at != std::string::npos; at = line.find("CLI", at)) {
            line.replace(at, 3, shellQuoted(TESSARON_CLI_PATH));
        }
        const std::string command = "cd " + shellQuoted(dir_.string()) + " && bash -c " + shellQuoted(line) +
                                    " >stdout.txt 2>stderr.txt";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(dir_ / "stdout.txt"),
                slurp(dir_ / "stderr.txt")};
    }

    // The first `count` cells of every line.
    static std::vector<std::string> firstCells(const std::string& text, std::size_t count)
    {
        std::vector<std::string> rows;
        for (const std::string& line : lines(text)) {
            auto cells = fields(line);
            cells.resize(std::min(cells.size(), count));
            std::string row;
            for (const auto& cell : cells) {
                row += cell + '\t';
            }
            rows.push_back(row);
        }
        return rows;
    }
};

TEST_F(CliInputTest, EveryWayOfGivingTheFileReadsItOnce)
{
    const Outcome direct = run({"--report", "info", kMito});
    ASSERT_EQ(direct.status, 0) << direct.err;
    EXPECT_EQ(lines(direct.out).front(), "title\tmitochondrion Homo sapiens (human)");
    const std::string file = shellQuoted(kMito);
    for (const std::string& way :
         {"CLI --report info - < " + file, "cat " + file + " | CLI --report info -",
          "cat " + file + " | CLI --report info /dev/stdin", "CLI --report info <(cat " + file + ")",
          "CLI --report info --text " + file}) {
        const Outcome piped = shell(way);
        EXPECT_EQ(piped.status, 0) << way << ": " << piped.err;
        EXPECT_EQ(piped.out, direct.out) << way;
        EXPECT_EQ(piped.err, "") << way;
    }
    // The FASTA file of the same genome: the same bases, its id as the title.
    const Outcome fasta = shell("cat " + shellQuoted(kData + "/NC_012920.fasta") + " | CLI --report info -");
    EXPECT_EQ(fasta.status, 0) << fasta.err;
    auto expected = lines(direct.out);
    expected.front() = "title\tNC_012920.1";
    EXPECT_EQ(lines(fasta.out), expected);
}

TEST_F(CliInputTest, OneGenomeAsGenBankFastaAndTextGivesTheSamePairs)
{
    const std::string bases = "ACCGAAACCGTTTTACGGTTTGATCACAGGTCTATCACCCTATTAACCACTCACGGGAGCTCTCCATGC";
    write("g.txt", bases + "\n");
    write("g.fa", ">g ACGT in the header\n" + bases.substr(0, 40) + "\n" + bases.substr(40) + "\n");
    write("g.gb",
          "LOCUS       g\nSOURCE      test\nFEATURES             Location/Qualifiers\n"
          "     source          1.." +
              std::to_string(bases.size()) +
              "\n"
              "     gene            1..10\n                     /gene=\"first\"\n"
              "     tRNA            complement(60..5)\n                     /product=\"tRNA-X\"\n"
              "ORIGIN\n        1 " +
              bases + "\n//\n");
    const std::vector<std::string> pairs{"--report", "pairs", "--min", "4", "--max", "6"};
    auto arguments = pairs;
    arguments.push_back("g.txt");
    const Outcome text = run(arguments);
    ASSERT_EQ(text.status, 0) << text.err;
    ASSERT_GT(lines(text.out).size(), 3U);
    for (const char* file : {"g.fa", "g.gb"}) {
        arguments.back() = file;
        const Outcome other = run(arguments);
        ASSERT_EQ(other.status, 0) << other.err;
        EXPECT_EQ(firstCells(other.out, 5), firstCells(text.out, 5)) << file;
    }
    // GenBank pairs name the features of both copies; the listing only with --genes.
    const auto rows = lines(run({"--report", "pairs", "--min", "4", "--max", "6", "g.gb"}).out);
    EXPECT_EQ(rows.front(), "kind\tlength\tword\tfirst\tsecond\tfirst_features\tsecond_features");
    EXPECT_EQ(fields(rows[1]).size(), 7U);
    std::set<std::string> named;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const auto cells = fields(rows[i]);
        named.insert(cells[5]);
        named.insert(cells[6]);
    }
    EXPECT_TRUE(named.count("first / tRNA-X") == 1 || named.count("tRNA-X") == 1);
    EXPECT_EQ(named.count("intergenic"), 1U);  // 11..59 is outside both
    const Outcome listing = run({"--report", "listing", "--min", "4", "--max", "6", "g.gb"});
    EXPECT_EQ(listing.out, run({"--report", "listing", "--min", "4", "--max", "6", "g.txt"}).out);
    const Outcome genes = run({"--report", "listing", "--genes", "--min", "4", "--max", "6", "g.gb"});
    ASSERT_EQ(genes.status, 0) << genes.err;
    EXPECT_NE(genes.out.find(" | "), std::string::npos);
    EXPECT_EQ(run({"--report", "listing", "--genes", "g.txt"}).status, 1);
}

TEST_F(CliInputTest, EveryRecordOfAFileIsARowAndOneCanBeChosen)
{
    const std::string turtles = kData + "/multi_turtle_mito_31rec.gb";
    const Outcome compared = run({"--compare", "--min", "14", "--max", "15", turtles});
    ASSERT_EQ(compared.status, 0) << compared.err;
    int rows = 0;
    for (const std::string& line : lines(compared.out)) {
        rows += line.starts_with("multi_turtle_mito_31rec:") ? 1 : 0;
    }
    EXPECT_EQ(rows, 31);

    const Outcome batch = run({"--batch", "-j", "2", "--min", "14", "--max", "14", turtles});
    ASSERT_EQ(batch.status, 0) << batch.err;
    std::set<std::string> records;
    for (const std::string& line : lines(batch.out)) {
        records.insert(fields(line)[1]);
    }
    EXPECT_EQ(records.size(), 32U);  // "record" and 1 to 31
    EXPECT_EQ(records.count("31"), 1U);

    // Every record under its seqid, one block each.
    const Outcome every = run({"--report", "info", turtles});
    EXPECT_EQ(every.status, 0);
    EXPECT_EQ(every.err, "");
    const auto rowsOfEvery = lines(every.out);
    EXPECT_EQ(std::count_if(rowsOfEvery.begin(), rowsOfEvery.end(),
                            [](const std::string& row) { return row.starts_with("seqid\t"); }),
              31);
    EXPECT_EQ(rowsOfEvery[7], "");
    EXPECT_EQ(rowsOfEvery[8], "seqid\tAM258984.1");
    const Outcome second = run({"--report", "info", "--record", "AM258984", turtles});
    EXPECT_EQ(second.err, "");
    EXPECT_EQ(lines(second.out).front(), "title\tmitochondrion Lepidochelys olivacea (Pacific ridley)");
    EXPECT_EQ(run({"--report", "info", "--record", "2", turtles}).out, second.out);
    const Outcome missing = run({"--report", "info", "--record", "32", turtles});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "tessaron-cli: " + turtles + ": no record '32' (it holds 31 records)\n");
}

}  // namespace
