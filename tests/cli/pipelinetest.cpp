// The command line among the tools of a pipeline: bedtools and tabix read its
// BED and GFF3, gzip and standard input give the files' own names, and every
// record of a file is reported under its seqid.

#include "clirunner.h"
#include "engine/genome.h"
#include "input/records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tessaron::test {
namespace {

const std::string kData = TESSARON_TEST_DATA;

bool installed(const char* program)
{
    return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

std::string reversed(std::string text)
{
    std::reverse(text.begin(), text.end());
    return text;
}

std::string complemented(std::string text)
{
    for (char& ch : text) {
        ch = ch == 'A' ? 'T' : ch == 'T' ? 'A' : ch == 'C' ? 'G' : ch == 'G' ? 'C' : ch;
    }
    return text;
}

class PipelineTest : public CliTest {
protected:
    // A shell command in the scratch folder; its standard output.
    std::string shell(const std::string& command) const
    {
        const std::string full = "cd " + shellQuoted(dir_.string()) + " && " + command + " >shell.txt";
        EXPECT_EQ(std::system(full.c_str()), 0) << command;
        return slurp(dir_ / "shell.txt");
    }

    // A genome as FASTA under its seqid, and its length.
    std::pair<std::string, int> fastaOf(const std::string& path, const std::string& name) const
    {
        const InputFile file = InputFile::read(path);
        Genome genome;
        (void)file.load(0, genome, 8, 30);
        write(name, ">" + file.records().front().seqid + "\n" + std::string(genome.sequence()) + "\n");
        return {file.records().front().seqid, genome.length()};
    }
};

// bedtools finds every line in the genome, inside its sequence and sorted,
// and each pair's copies read as their kind says.
TEST_F(PipelineTest, BedtoolsReadsTheBedOfAFastaAndAGenBankGenome)
{
    if (!installed("bedtools")) {
        GTEST_SKIP() << "bedtools is not installed";
    }
    const std::string mito = kData + "/NC_012920.fasta";
    shell("cp " + shellQuoted(mito) + " mito.fa");
    const struct {
        std::string genome;  // the FASTA bedtools reads
        std::string input;   // the file the command line reads
        std::string seqid;
        int length;
    } cases[] = {{"mito.fa", mito, "NC_012920.1", 16569},
                 {"plasmid.fa", kData + "/NC_005816.gb", "NC_005816.1", 9609}};
    (void)fastaOf(kData + "/NC_005816.gb", "plasmid.fa");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        const Outcome bed = run({"--report", "bed", "--min", "10", "--max", "14", c.input});
        ASSERT_EQ(bed.status, 0) << bed.err;
        write("r.bed", bed.out);
        write("g.txt", c.seqid + "\t" + std::to_string(c.length) + "\n");
        write("whole.bed", c.seqid + "\t0\t" + std::to_string(c.length) + "\n");
        const std::size_t lines = test::lines(bed.out).size();
        ASSERT_GT(lines, 100U);

        // -sorted refuses lines out of order; -f 1.0 keeps only those wholly inside.
        EXPECT_EQ(
            test::lines(shell("bedtools intersect -sorted -g g.txt -a r.bed -b whole.bed -f 1.0 -u")).size(),
            lines);
        const auto found =
            test::lines(shell("bedtools getfasta -fi " + c.genome + " -bed r.bed -s -name -tab"));
        ASSERT_EQ(found.size(), lines);
        std::map<std::string, std::vector<std::string>> copies;  // by pair name
        for (const std::string& line : found) {
            const auto cells = fields(line);
            copies[cells[0].substr(0, cells[0].find("::"))].push_back(cells[1]);
        }
        int checked = 0;
        for (const auto& [name, texts] : copies) {
            if (texts.size() != 2) {
                continue;  // a copy across the origin is two lines
            }
            // With -s the minus strand reads as the reverse complement.
            const std::string expected = name.starts_with("mirror")          ? reversed(texts[0])
                                         : name.starts_with("complementary") ? complemented(texts[0])
                                                                             : texts[0];
            EXPECT_EQ(texts[1], expected) << name;
            ++checked;
        }
        EXPECT_GT(checked, 50);
    }
}

TEST_F(PipelineTest, TheGffOfEveryTurtleIsSortedAndTabixIndexesIt)
{
    const Outcome gff =
        run({"--report", "gff", "--min", "14", "--max", "16", kData + "/multi_turtle_mito_31rec.gb"});
    ASSERT_EQ(gff.status, 0) << gff.err;
    std::vector<std::string> order;  // the seqids as they come
    std::map<std::string, std::int64_t> lastStart;
    for (const std::string& line : lines(gff.out)) {
        if (line.starts_with('#')) {
            continue;
        }
        const auto cells = fields(line);
        if (order.empty() || order.back() != cells[0]) {
            order.push_back(cells[0]);
        }
        const std::int64_t start = std::stoll(cells[3]);
        EXPECT_GE(start, lastStart[cells[0]]) << line;
        lastStart[cells[0]] = start;
    }
    EXPECT_EQ(order.size(), 31U);
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end()));
    EXPECT_EQ(std::set<std::string>(order.begin(), order.end()).size(), 31U);  // each in one block

    if (!installed("tabix") || !installed("bgzip")) {
        GTEST_SKIP() << "tabix is not installed";
    }
    write("t.gff3", gff.out);
    shell("bgzip t.gff3 && tabix -p gff t.gff3.gz");
    EXPECT_EQ(lines(shell("tabix -l t.gff3.gz")).size(), 31U);
    const auto region = lines(shell("tabix t.gff3.gz AM258984.1:1-16808"));
    ASSERT_FALSE(region.empty());
    EXPECT_TRUE(region.front().starts_with("AM258984.1\ttessaron\tregion\t"));
}

// The same record packed, on standard input or named by a file gives the same
// output under the same seqid.
TEST_F(PipelineTest, GzipAndStandardInputKeepTheRecordsOwnName)
{
    shell("cp " + shellQuoted(kData + "/NC_012920.fasta") +
          " mito.fa && gzip -k mito.fa && mv mito.fa.gz mito.gz");
    const std::vector<std::string> bed{"--report", "bed", "--min", "12", "--max", "14"};
    const auto with = [&](const std::string& file) {
        auto arguments = bed;
        arguments.push_back(file);
        return arguments;
    };
    const Outcome plain = run(with("mito.fa"));
    ASSERT_EQ(plain.status, 0) << plain.err;
    EXPECT_TRUE(plain.out.starts_with("NC_012920.1\t"));
    EXPECT_EQ(run(with("mito.gz")).out, plain.out);
    EXPECT_EQ(run(with("-"), "mito.gz").out, plain.out);
    EXPECT_EQ(run(with("-"), "mito.fa").out, plain.out);
    const Outcome renamed =
        run({"--report", "bed", "--min", "12", "--max", "14", "--seqid", "chrM", "mito.gz"});
    EXPECT_TRUE(renamed.out.starts_with("chrM\t"));
    EXPECT_EQ(lines(renamed.out).size(), lines(plain.out).size());
}

// Each record's part of a report of every record is the report of that record
// alone, under its seqid.
TEST_F(PipelineTest, EveryRecordIsReportedAsItsOwnRecordWouldBe)
{
    const std::string turtles = kData + "/turtle_mito_2rec.gb";
    const std::vector<std::string> seqids{"AB012104.1", "AM258984.1"};
    const std::vector<std::string> range{"--min", "12", "--max", "13"};
    const auto report = [&](std::vector<std::string> arguments, const std::string& record = {}) {
        arguments.insert(arguments.end(), range.begin(), range.end());
        if (!record.empty()) {
            arguments.insert(arguments.end(), {"--record", record});
        }
        arguments.push_back(turtles);
        const Outcome result = run(arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        return result.out;
    };
    for (const std::vector<std::string>& kind :
         {std::vector<std::string>{"--report", "pairs"}, std::vector<std::string>{"--report", "gff"},
          std::vector<std::string>{"--report", "bed"}, std::vector<std::string>{"--report", "listing"},
          std::vector<std::string>{"--report", "summary"}}) {
        SCOPED_TRACE(kind[1]);
        std::string head;  // GFF3: the version, then every sequence's region
        std::string joined;
        for (std::size_t i = 0; i < seqids.size(); ++i) {
            const auto rows = lines(report(kind, std::to_string(i + 1)));
            for (std::size_t row = 0; row < rows.size(); ++row) {
                const std::string& text = rows[row];
                if (kind[1] == "pairs") {
                    // A first seqid column, the header once.
                    if (row > 0 || i == 0) {
                        joined += (row == 0 ? std::string("seqid") : seqids[i]) + "\t" + text + "\n";
                    }
                } else if (kind[1] == "gff") {
                    // IDs are unique in the file: each copy's carries its seqid.
                    const std::size_t id = text.find("\tID=") + 4;
                    if (text.starts_with('#')) {
                        head += row == 0 && i > 0 ? "" : text + "\n";
                    } else if (text.find("\trepeat_region\t") != std::string::npos) {
                        joined += text.substr(0, id) + seqids[i] + ":" + text.substr(id) + "\n";
                    } else {
                        joined += text + "\n";
                    }
                } else if (kind[1] == "bed") {
                    joined += text + "\n";
                } else {
                    if (row == 0) {
                        joined += (i == 0 ? "" : "\n") + std::string("seqid\t") + seqids[i] + "\n";
                    }
                    joined += text + "\n";
                }
            }
        }
        const auto every = lines(report(kind));
        const auto expected = lines(head + joined);
        ASSERT_EQ(every.size(), expected.size());
        const auto differ = std::mismatch(every.begin(), every.end(), expected.begin());
        EXPECT_TRUE(differ.first == every.end()) << *differ.first << "\n" << *differ.second;
    }
}

TEST_F(PipelineTest, TidyFormsHaveOneHeaderAndOneValuePerRow)
{
    write("s.txt", "ACCGAAACCGTTTTACGGTTT");
    const Outcome summary = run({"--tidy", "--min", "4", "--max", "6", "s.txt"});
    EXPECT_EQ(lines(summary.out).front(), "seqid\tkind\trepeat_length\tpairs");
    EXPECT_EQ(lines(summary.out).size(), 1U + 4 * 3);  // zeros included
    EXPECT_EQ(lines(summary.out)[1], "s\tdirect\t4\t2");
    const Outcome motif = run({"--tidy", "--motif", "ACCG", "s.txt"});
    EXPECT_EQ(motif.out, "seqid\tmotif\tstart\ns\tACCG\t1\ns\tACCG\t7\n");
    write("one.gb",
          "LOCUS       one 21 bp\nSOURCE      one\nFEATURES\n     source 1..21\nORIGIN\n"
          "        1 accgaaaccg ttttacggtt t\n//\n");
    const Outcome compared = run({"--tidy", "--compare", "--min", "4", "--max", "5", "one.gb"});
    EXPECT_EQ(compared.out,
              "seqid\tgenome\tkind\trepeat_length\tpairs\n"
              "one\tone\tdirect\t4\t2\none\tone\tdirect\t5\t1\n");
}

// With --tidy every table has one header row and a seqid column, whether
// the file holds one record or several, so that a pipeline reads any file
// the same way.
TEST_F(PipelineTest, TidyTablesKeepTheirShapeWhateverTheRecords)
{
    write("one.gb",
          "LOCUS       one 33 bp\nSOURCE      one\nFEATURES\n     source 1..33\nORIGIN\n"
          "        1 accgaaaccg ttttacggtt taaaaaaaaa aaa\n//\n");
    const std::vector<std::string> lengths{"--min", "12", "--max", "14"};
    const struct {
        std::vector<std::string> options;
        std::size_t seqidColumn;
    } tables[] = {
        {lengths, 0},
        {{"--report", "pairs", "--min", "7", "--max", "7"}, 0},
        {{"--approximate", "--report", "pairs", "--min", "20", "--identity", "85"}, 0},
        {{"--ssr"}, 0},
        {{"--report", "ssr"}, 0},
        {{"--motif", "ACCG"}, 0},
        {{"--compare", "--min", "4", "--max", "14"}, 0},
        {{"--compare", "--ssr"}, 0},
        {{"--batch", "-j", "1", "--min", "12", "--max", "14"}, 2},
        {{"--batch", "-j", "1", "--ssr"}, 2},
    };
    const struct {
        std::string file;
        std::set<std::string> seqids;
    } inputs[] = {{"one.gb", {"one"}}, {kData + "/turtle_mito_2rec.gb", {"AB012104.1", "AM258984.1"}}};
    for (const auto& [options, seqidColumn] : tables) {
        for (const auto& [file, seqids] : inputs) {
            std::vector<std::string> arguments{"--tidy"};
            arguments.insert(arguments.end(), options.begin(), options.end());
            arguments.push_back(file);
            const std::string shown = ::testing::PrintToString(arguments);
            const Outcome outcome = run(arguments);
            ASSERT_EQ(outcome.status, 0) << shown << outcome.err;
            const std::vector<std::string> rows = lines(outcome.out);
            ASSERT_FALSE(rows.empty()) << shown;
            const std::vector<std::string> header = fields(rows.front());
            ASSERT_GT(header.size(), seqidColumn) << shown;
            EXPECT_EQ(header[seqidColumn], "seqid") << shown;
            std::set<std::string> seen;
            for (std::size_t i = 1; i < rows.size(); ++i) {
                const std::vector<std::string> cells = fields(rows[i]);
                ASSERT_EQ(cells.size(), header.size()) << shown << " row " << i << ": " << rows[i];
                seen.insert(cells[seqidColumn]);
            }
            // Every record has rows, but the small one has no approximate pair.
            if (options.front() == "--approximate") {
                EXPECT_TRUE(std::includes(seqids.begin(), seqids.end(), seen.begin(), seen.end())) << shown;
            } else {
                EXPECT_EQ(seen, seqids) << shown;
            }
        }
    }
    // A plain text genome has its file's name as seqid in the batch too.
    write("s.txt", "ACCGAAACCGTTTTACGGTTTAAAAAAAAAAAA");
    for (const std::string& ssr : {"--min", "--ssr"}) {
        const std::vector<std::string> arguments =
            ssr == "--ssr" ? std::vector<std::string>{"--tidy", "--batch", "--ssr", "s.txt"}
                           : std::vector<std::string>{"--tidy", "--batch", "--min", "4", "s.txt"};
        const std::vector<std::string> rows = lines(run(arguments).out);
        ASSERT_GT(rows.size(), 1U) << ssr;
        EXPECT_EQ(fields(rows[1])[2], "s") << ssr;
    }
    // The 31 turtles' microsatellites: one header, not one per record as
    // the default layout has, and the same rows.
    const std::string turtles = kData + "/multi_turtle_mito_31rec.gb";
    const Outcome blocks = run({"--report", "ssr", turtles});
    const Outcome tidy = run({"--tidy", "--report", "ssr", turtles});
    ASSERT_EQ(tidy.status, 0) << tidy.err;
    std::size_t headers = 0;
    std::size_t rows = 0;
    for (const std::string& row : lines(blocks.out)) {
        headers += row.starts_with("start\t") ? 1 : 0;
        rows += row.empty() || row.starts_with("start\t") || row.starts_with("seqid\t") ? 0 : 1;
    }
    EXPECT_EQ(headers, 31U);
    ASSERT_GT(rows, 0U);
    const std::vector<std::string> table = lines(tidy.out);
    EXPECT_EQ(table.front().substr(0, 12), "seqid\tstart\t");
    EXPECT_EQ(table.size(), rows + 1);
}

TEST_F(PipelineTest, BedpeHasOneLinePerPair)
{
    write("s.txt", "ACCGAAACCGTTTTACGGTTT");
    const Outcome bedpe = run({"--report", "bedpe", "--min", "5", "--max", "5", "s.txt"});
    ASSERT_EQ(bedpe.status, 0) << bedpe.err;
    EXPECT_EQ(bedpe.out,
              "s\t6\t11\ts\t14\t19\tinverted-5-1-1\t0\t+\t-\n"
              "s\t11\t16\ts\t18\t23\tdirect-5-1-1\t0\t+\t+\n");
}

TEST_F(PipelineTest, VersionIsOneLineThenTheLicence)
{
    const Outcome version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(lines(version.out).front(), "tessaron-cli " TESSARON_VERSION);
}

}  // namespace
}  // namespace tessaron::test
