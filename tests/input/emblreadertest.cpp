#include "input/emblreader.h"
#include "input/genbankreader.h"
#include "input/records.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

namespace tessaron {
namespace {

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The value after a GenBank keyword in column 0, or empty.
std::string keyword(std::string_view line, std::string_view name)
{
    if (!line.starts_with(name) || line.size() <= 12) {
        return {};
    }
    return std::string(line.substr(12));
}

// A GenBank record written as EMBL, as the European archive writes the same
// record: ID, AC, DE and OS lines, the feature table behind "FT", the bases
// after SQ in groups of ten with their count at the end of each line.
std::string emblOf(const std::string& genBank)
{
    std::istringstream in(genBank);
    std::string line;
    std::string length;
    std::string accession;
    std::string version = "1";
    std::string definition;
    std::string source;
    std::string table;
    std::string bases;
    enum { Head, Features, Sequence } part = Head;
    while (std::getline(in, line)) {
        if (part == Head) {
            if (line.starts_with("LOCUS")) {
                std::istringstream words(line);
                std::string word;
                words >> word >> word >> length;
            } else if (!keyword(line, "ACCESSION").empty()) {
                accession = keyword(line, "ACCESSION").substr(0, keyword(line, "ACCESSION").find(' '));
            } else if (!keyword(line, "VERSION").empty()) {
                version = keyword(line, "VERSION").substr(keyword(line, "VERSION").find('.') + 1);
            } else if (!keyword(line, "DEFINITION").empty()) {
                definition = keyword(line, "DEFINITION");
            } else if (!keyword(line, "SOURCE").empty()) {
                source = keyword(line, "SOURCE");
            } else if (line.starts_with("FEATURES")) {
                part = Features;
            }
        } else if (part == Features) {
            if (line.starts_with("ORIGIN")) {
                part = Sequence;
            } else {
                table += "FT" + line.substr(2) + "\n";
            }
        } else if (!line.starts_with("//")) {
            for (const char ch : line) {
                if (ch >= 'a' && ch <= 'z') {
                    bases += ch;
                }
            }
        }
    }
    std::string embl = "ID   " + accession + "; SV " + version + "; circular; genomic DNA; STD; UNC; " +
                       length + " BP.\nXX\nAC   " + accession + ";\nXX\nDE   " + definition + "\nXX\nOS   " +
                       source + "\nXX\nFH   Key             Location/Qualifiers\nFH\n" + table +
                       "XX\nSQ   Sequence " + length + " BP;\n";
    for (std::size_t line60 = 0; line60 < bases.size(); line60 += 60) {
        std::string row = "    ";
        for (std::size_t group = line60; group < std::min(line60 + 60, bases.size()); group += 10) {
            row += " " + bases.substr(group, 10);
        }
        const std::string count = std::to_string(std::min(line60 + 60, bases.size()));
        row.resize(std::max<std::size_t>(row.size(), 80 - count.size()), ' ');
        embl += row + count + "\n";
    }
    return embl + "//\n";
}

// The human mitochondrion as EMBL gives what its GenBank record gives: the
// bases, the title and every feature, trans-spliced and across-the-origin
// ones included.
TEST(Embl, HumanMitochondrionReadsAsItsGenBankRecord)
{
    const std::string genBankText = fileText(TESSARON_MITO_GENBANK);
    Genome fromGenBank;
    const FeatureList genBankFeatures = parseGenBankOrThrow(genBankText, fromGenBank, 8, 30, "mito.gb");
    const InputFile embl = InputFile::fromBytes(emblOf(genBankText), "mito.embl");
    ASSERT_EQ(embl.format(), RecordFormat::Embl);
    ASSERT_EQ(embl.records().size(), 1U);
    const RecordInfo& info = embl.records().front();
    EXPECT_EQ(info.name, "NC_012920");
    EXPECT_EQ(info.seqid, "NC_012920.1");
    EXPECT_EQ(info.length, 16569);
    EXPECT_EQ(info.title, "mitochondrion Homo sapiens (human)");
    EXPECT_EQ(info.description, "Homo sapiens mitochondrion, complete genome.");
    EXPECT_EQ(findRecord(embl.records(), "NC_012920.1"), 0U);

    Genome genome;
    const auto features = embl.load(0, genome, 8, 30);
    ASSERT_TRUE(features);
    EXPECT_EQ(genome.length(), 16569);
    EXPECT_EQ(genome.sequence(), fromGenBank.sequence());
    EXPECT_EQ(genome.title(), fromGenBank.title());
    EXPECT_GT(features->size(), 30U);
    EXPECT_EQ(*features, genBankFeatures);
}

TEST(Embl, RecordsOfOneFileAndWhatIsRefused)
{
    const std::string one =
        "ID   AB000001; SV 2; linear; genomic DNA; STD; UNC; 12 BP.\n"
        "AC   AB000001;\n"
        "DE   first\n"
        "FT   source          1..12\n"
        "FT   tRNA            complement(2..5)\n"
        "FT                   /product=\"tRNA-Phe\"\n"
        "FT   gene            join(11..12,1..2)\n"
        "FT                   /gene=\"ND1\"\n"
        "SQ   Sequence 12 BP;\n"
        "     acgtacgtac gt                                                       12\n"
        "//\n";
    const std::string two =
        "ID   SECOND     standard; DNA; UNC; 4 BP.\n"
        "OS   Testus secundus\n"
        "SQ   Sequence 4 BP;\n"
        "     ggcc                                                                4\n"
        "//\n";
    const InputFile file = InputFile::fromBytes("\n" + one + two, "two.embl");
    ASSERT_EQ(file.records().size(), 2U);
    EXPECT_EQ(file.records()[0].seqid, "AB000001.2");
    EXPECT_EQ(file.records()[1].seqid, "SECOND");
    EXPECT_EQ(file.records()[1].firstLine, 13);
    Genome genome;
    const auto features = file.load(0, genome, 8, 30);
    ASSERT_TRUE(features);
    EXPECT_EQ(genome.sequence(), "ACGTACGTACGT");
    EXPECT_EQ(genome.title(), "first");
    const FeatureList expected{{0, 11, "sequence", kColorSequence},
                               {1, 4, "tRNA-Phe", kColorTrnaComplement},
                               {10, 1, "ND1", kColorGeneDirect}};
    EXPECT_EQ(*features, expected);
    (void)file.load(1, genome, 8, 30);
    EXPECT_EQ(genome.sequence(), "GGCC");
    EXPECT_EQ(genome.title(), "Testus secundus");

    const struct {
        const char* name;
        std::string text;
        const char* message;
    } refused[] = {
        {"no SQ", "ID   X; SV 1; linear; DNA; STD; UNC; 4 BP.\nFT   source          1..4\n//\n",
         "cannot read 'x.embl' as EMBL, line 3: the record ends before its SQ line"},
        {"cut short", "ID   X; SV 1; linear; DNA; STD; UNC; 40 BP.\nSQ   Sequence 40 BP;\n     acgtacgtac\n",
         "cannot read 'x.embl' as EMBL, line 3: the record is cut short: its sequence stops after 10 of 40 "
         "bases, "
         "without the closing // line"},
        {"source unreadable",
         "ID   X; SV 1; linear; DNA; STD; UNC; 4 BP.\nFT   source          1..x\nSQ\n//\n",
         "cannot read 'x.embl' as EMBL, line 2: the location of the source feature cannot be read"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        Genome kept;
        kept.setTitle("kept");
        try {
            (void)InputFile::fromBytes(c.text, "x.embl").load(0, kept, 8, 30);
            ADD_FAILURE() << "accepted";
        } catch (const InputError& error) {
            EXPECT_EQ(error.reason(), InputFailure::Malformed);
            EXPECT_STREQ(error.what(), c.message);
            EXPECT_EQ(kept.title(), "kept");
        }
    }
}

// Text that is not a genome's bases is refused with the cause; a file of
// bases with a header or a note in words, N runs, RNA and lower case letters
// stays a genome.
TEST(Records, ReadsProteinAndProseAreNotGenomes)
{
    std::string bases;
    for (int i = 0; i < 40; ++i) {
        bases += "ACGTTGCAAGNNNNacgu";
    }
    const struct {
        const char* name;
        std::string text;
        std::optional<std::string> cause;  // nothing when accepted
    } cases[] = {
        {"FASTQ", "@read1\nACGTACGT\n+\nIIIIIIII\n@read2\nGGCC\n+\nIIII\n",
         "FASTQ reads are not a genome (its first line is a read's '@' header, its third the '+' of the "
         "read's "
         "qualities)"},
        {"FASTQ after a blank line", "\n@r\nACGT\n+r\n!!!!\n", "FASTQ reads are not a genome"},
        {"protein FASTA", ">sp|P69905|HBA_HUMAN Hemoglobin\nMVLSPADKTNVKAAWGKVGAHAGEYGAEALERMFLSFPTTKTYF\n",
         "this FASTA holds protein, not a genome: 63 % of the letters are not bases (A, C, G, T, U or N)"},
        {"prose",
         "The quick brown fox jumps over the lazy dog, and then it sleeps in the warm afternoon sun.\n",
         "69 % of the letters are not bases (A, C, G, T, U or N); it is not a genome's sequence"},
        {"protein after a DNA record",
         ">dna\n" + bases + "\n>protein\nMVLSPADKTNVKAAWGKVGAHAGEYGAEALERMF\n",
         {}},
        {"bases under a header", "Homo sapiens mitochondrion, a note of the lab\n" + bases + "\n", {}},
        {"FASTA with a long header", ">x Homo sapiens mitochondrion, complete genome\n" + bases + "\n", {}},
        {"an @ line that is not FASTQ", "@ a note\n" + bases + "\n", {}},
        {"a quarter of the letters exactly",
         "ACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTEEEEEEEEEEEEEEEE\n",
         {}},
        {"just over a quarter", "ACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTACGTACGEEEEEEEEEEEEEEEEE\n",
         "26 % of the letters are not bases"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Genome genome;
        genome.setTitle("kept");
        try {
            (void)InputFile::fromBytes(c.text, "in.txt").load(0, genome, 8, 30);
            EXPECT_FALSE(c.cause) << "accepted";
        } catch (const InputError& error) {
            ASSERT_TRUE(c.cause) << error.what();
            EXPECT_EQ(error.reason(), InputFailure::NotSequence);
            EXPECT_EQ(error.detail().rfind(*c.cause, 0), 0U) << error.what();
            EXPECT_EQ(std::string(error.what()).rfind("cannot read 'in.txt': ", 0), 0U) << error.what();
            EXPECT_EQ(genome.title(), "kept");
        }
    }
}

}  // namespace
}  // namespace tessaron
