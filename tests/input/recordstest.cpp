#include "input/genbankreader.h"
#include "input/records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <string_view>

namespace tessaron {
namespace {

std::filesystem::path data(std::string_view name)
{
    return std::filesystem::path(TESSARON_TEST_DATA) / name;
}

TEST(Records, FormatIsToldByTheFirstNonBlankLine)
{
    const struct {
        std::string_view bytes;
        RecordFormat format;
    } cases[] = {
        {"LOCUS       X 4 bp\n", RecordFormat::GenBank},
        {"\n  \r\nLOCUS x\n", RecordFormat::GenBank},
        {"\xEF\xBB\xBF>seq\nACGT\n", RecordFormat::Fasta},
        {"\n>seq\nACGT\n", RecordFormat::Fasta},
        {"ACGT\n>not a header\n", RecordFormat::Text},
        {"locus x\n", RecordFormat::Text},
        {"", RecordFormat::Text},
        {"  >indented\nACGT\n", RecordFormat::Fasta},
        // A short header before the record, as some downloads have; not a long one.
        {"Downloaded 2024-05-01\n\nLOCUS       X 4 bp\n", RecordFormat::GenBank},
        {"a\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk\nLOCUS       X 4 bp\n", RecordFormat::Text},
        {">x\nLOCUS       X 4 bp\n", RecordFormat::Fasta},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(detectFormat(c.bytes), c.format) << c.bytes;
        EXPECT_EQ(parseRecords(c.bytes).front().format, c.format) << c.bytes;
    }
}

// What the refusal of a file that is not GenBank says it found instead.
TEST(Records, NotGenBankSaysWhatWasFound)
{
    std::string noted;
    for (int line = 0; line < 11; ++line) {
        noted += "note\n";
    }
    const struct {
        std::string bytes;
        InputFailure reason;
        const char* detail;
    } cases[] = {
        {"ACGT\n", InputFailure::NotGenBank, "not a GenBank file (no line begins with LOCUS)"},
        {" \n", InputFailure::Empty, "the file is empty"},
        {">x\n\nLOCUS       X 4 bp\n", InputFailure::NotGenBank,
         "not a GenBank file (line 1 is a FASTA header, before its first LOCUS line, line 3)"},
        {"note\n>x\nLOCUS       X 4 bp\n", InputFailure::NotGenBank,
         "not a GenBank file (line 2 is a FASTA header, before its first LOCUS line, line 3)"},
        {noted + "LOCUS       X 4 bp\n", InputFailure::NotGenBank,
         "not a GenBank file (its first LOCUS line, line 12, comes after 11 lines of other text; at most 10 "
         "may come first)"},
    };
    for (const auto& c : cases) {
        const InputError error = notGenBankError(c.bytes, "in.gb");
        EXPECT_EQ(error.reason(), c.reason) << c.bytes;
        EXPECT_EQ(error.detail(), c.detail) << c.bytes;
    }
}

TEST(Records, FastaHeadersAreTitlesNeverBases)
{
    const std::string bytes = ">one first record\nACGTAC\nGT\n;comment TTTT\n>two\r\nggcc\r\n>three\n";
    const auto records = parseRecords(bytes);
    ASSERT_EQ(records.size(), 3U);
    const struct {
        const char* name;
        const char* description;
        std::int64_t length;
        const char* sequence;
    } expected[] = {{"one", "first record", 8, "ACGTACGT"}, {"two", "", 4, "GGCC"}, {"three", "", 0, ""}};
    for (std::size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(records[i].name, expected[i].name);
        EXPECT_EQ(records[i].description, expected[i].description);
        EXPECT_EQ(records[i].length, expected[i].length);
        Genome genome;
        EXPECT_FALSE(readRecord(bytes, records[i], genome, 8, 30));
        EXPECT_EQ(genome.sequence(), expected[i].sequence);
        EXPECT_EQ(genome.title(), expected[i].name);
    }
}

// What each input gives: the bases and title, or the reason it is refused,
// with the genome left as it was.
TEST(Records, LineEndsEncodingsAndWhatIsNotTextOrEmpty)
{
    const auto utf16 = [](std::string_view text, bool bigEndian) {
        std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char ch : text) {
            bytes += bigEndian ? std::string{'\0', ch} : std::string{ch, '\0'};
        }
        return bytes;
    };
    const std::string genBank =
        "LOCUS       X 4 bp\nSOURCE x\nFEATURES\n     source 1..4\nORIGIN\n1 acgt\n//\n";
    const struct {
        const char* name;
        std::string bytes;
        const char* sequence;  // or the start of the refusal's cause
        std::optional<InputFailure> refused;
    } cases[] = {
        {"FASTA with CR line ends", ">x\rACGT\rac\r", "ACGTAC", {}},
        {"text with CR line ends", "ACGT\rac\r", "ACGTAC", {}},
        {"indented FASTA header", "  >x first\nACGT\n", "ACGT", {}},
        {"GenBank with CR line ends",
         [&] {
             std::string text = genBank;
             std::replace(text.begin(), text.end(), '\n', '\r');
             return text;
         }(),
         "ACGT",
         {}},
        {"GenBank after a header", "Saved from the web\n" + genBank, "ACGT", {}},
        {"UTF-8 byte order mark", "\xEF\xBB\xBF>x\nACGT\n", "ACGT", {}},
        {"UTF-16 little-endian", utf16(">x \xC3\nACGT\n", false), "ACGT", {}},
        {"UTF-16 big-endian", utf16(">x\nACGT\n", true), "ACGT", {}},
        {"UTF-16 without byte order mark", utf16(">x\nACGT\n", false).substr(2), "it looks like UTF-16",
         InputFailure::NotText},
        {"UTF-16 cut inside a character", utf16("ACGT", false) + "A", "UTF-16 text that ends",
         InputFailure::NotText},
        {"UTF-32", std::string("\xFF\xFE\0\0A\0\0\0", 8), "UTF-32", InputFailure::NotText},
        {"binary", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), "it holds binary data",
         InputFailure::NotText},
        {"control bytes", "ACGT\x01\x02\x03\x04\x05\x06\x07\x08", "it holds binary data",
         InputFailure::NotText},
        {"empty", "", "the file is empty", InputFailure::Empty},
        {"blank", " \r\n\t\n", "the file is empty", InputFailure::Empty},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Genome genome;
        ASSERT_TRUE(genome.allocate(2, 5, 15));
        genome.appendText("GG");
        try {
            const InputFile file = InputFile::fromBytes(c.bytes, "in.txt");
            (void)file.load(0, genome, 8, 30);
            EXPECT_FALSE(c.refused) << "accepted";
            EXPECT_EQ(genome.sequence(), c.sequence);
        } catch (const InputError& error) {
            ASSERT_TRUE(c.refused) << error.what();
            EXPECT_EQ(error.reason(), *c.refused) << error.what();
            EXPECT_EQ(error.detail().rfind(c.sequence, 0), 0U) << error.what();
            EXPECT_EQ(std::string(error.what()).rfind("cannot read 'in.txt': ", 0), 0U) << error.what();
            EXPECT_EQ(genome.sequence(), "GG");
        }
    }
}

TEST(Records, FastaAndGenBankOfOneGenomeGiveTheSameBases)
{
    const InputFile fasta = InputFile::read(data("NC_012920.fasta"));
    const InputFile genBank = InputFile::read(TESSARON_MITO_GENBANK);
    ASSERT_EQ(fasta.records().size(), 1U);
    EXPECT_EQ(fasta.format(), RecordFormat::Fasta);
    EXPECT_EQ(fasta.records().front().length, 16569);  // the N at 3107 included
    EXPECT_EQ(genBank.records().front().length, 16569);
    Genome fromFasta;
    Genome fromGenBank;
    EXPECT_FALSE(fasta.load(0, fromFasta, 8, 30));
    ASSERT_TRUE(genBank.load(0, fromGenBank, 8, 30));
    EXPECT_EQ(fromFasta.sequence(), fromGenBank.sequence());
    EXPECT_EQ(fromFasta.title(), "NC_012920.1");
}

TEST(Records, EveryGenBankRecordIsListedAndFound)
{
    const InputFile file = InputFile::read(data("multi_turtle_mito_31rec.gb"));
    const auto& records = file.records();
    ASSERT_EQ(records.size(), 31U);
    EXPECT_EQ(records[1].name, "AM258984");
    EXPECT_EQ(records[1].accession, "AM258984 AM258984.1");
    EXPECT_EQ(records[1].title, "mitochondrion Lepidochelys olivacea (Pacific ridley)");
    EXPECT_EQ(records[0].length, 16497);
    EXPECT_EQ(records[0].end, records[1].begin);  // split at the "//" lines

    const struct {
        std::string_view choice;
        std::optional<std::size_t> found;
    } choices[] = {{"2", 1},
                   {"am258984", 1},
                   {"AM258984.1", 1},
                   {"31", 30},
                   {"0", std::nullopt},
                   {"32", std::nullopt},
                   {"nothing", std::nullopt},
                   {"", std::nullopt}};
    for (const auto& c : choices) {
        EXPECT_EQ(findRecord(records, c.choice), c.found) << c.choice;
    }

    Genome genome;
    ASSERT_TRUE(file.load(1, genome, 8, 30));
    EXPECT_EQ(genome.title(), records[1].title);

    // A name that two records carry names both.
    const auto twice = parseRecords(">a\nAC\n>b\nGT\n>A\nTT\n");
    EXPECT_EQ(matchingRecords(twice, "a"), (std::vector<std::size_t>{0, 2}));
    EXPECT_EQ(matchingRecords(twice, "3"), (std::vector<std::size_t>{2}));
    EXPECT_EQ(findRecord(twice, "a"), 0U);
}

// The id every output names a record by, and its whole DEFINITION and SOURCE.
TEST(Records, SeqidsAndWholeTitles)
{
    const std::string_view kFeatures = "FEATURES\n     source 1..4\nORIGIN\n1 acgt\n//\n";
    const struct {
        std::string head;
        std::string_view seqid;
    } cases[] = {
        {"LOCUS       LOC1 4 bp\nACCESSION   AB1 AB2\nVERSION     AB1.3  GI:7\n", "AB1.3"},
        {"LOCUS       LOC1 4 bp\nACCESSION   AB1\n", "AB1"},
        {"LOCUS       LOC1 4 bp\n", "LOC1"},
    };
    for (const auto& c : cases) {
        const auto records = parseRecords(c.head + "SOURCE      x\n" + std::string(kFeatures));
        EXPECT_EQ(records.front().seqid, c.seqid) << c.head;
    }
    const auto fasta = parseRecords(">NC_1.2 some genome\nACGT\n");
    EXPECT_EQ(fasta.front().seqid, "NC_1.2");
    EXPECT_EQ(parseRecords("ACGT\n").front().seqid, "");

    const std::string wrapped =
        "LOCUS       X 4 bp\n"
        "DEFINITION  Some organism mitochondrion,\n"
        "            complete genome.\n"
        "ACCESSION   X\n"
        "SOURCE      mitochondrion Some organism\n"
        "            (common name)\n"
        "  ORGANISM  Some organism\n"
        "            Eukaryota; Metazoa.\n" +
        std::string(kFeatures);
    const RecordInfo record = parseRecords(wrapped).front();
    EXPECT_EQ(record.description, "Some organism mitochondrion, complete genome.");
    EXPECT_EQ(record.title, "mitochondrion Some organism (common name)");
    Genome genome;
    ASSERT_TRUE(readRecord(wrapped, record, genome, 8, 30));
    EXPECT_EQ(genome.title(), "mitochondrion Some organism");  // the reader's: the first line
}

TEST(Records, ARejectedRecordNamesTheLineInTheWholeFile)
{
    const std::string bytes =
        "LOCUS a\nSOURCE x\nFEATURES\n     source 1..4\nORIGIN\n1 acgt\n//\n"
        "LOCUS b\nSOURCE y\nFEATURES\n     source 1..4\n//\n";
    const auto records = parseRecords(bytes);
    ASSERT_EQ(records.size(), 2U);
    Genome genome;
    ASSERT_TRUE(readRecord(bytes, records[0], genome, 8, 30, "two.gb"));
    EXPECT_EQ(genome.sequence(), "ACGT");
    try {
        (void)readRecord(bytes, records[1], genome, 8, 30, "two.gb");
        FAIL() << "the second record has no ORIGIN";
    } catch (const InputError& error) {
        EXPECT_EQ(error.line(), 12);
        EXPECT_EQ(error.reason(), InputFailure::Malformed);
    }
    EXPECT_EQ(genome.sequence(), "ACGT");  // left as it was
}

}  // namespace
}  // namespace tessaron
