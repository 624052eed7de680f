#include "input/genbankreader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

namespace tessaron {
namespace {

const std::string kSevenLines =
    "LOCUS\n"
    "SOURCE      test genome\n"
    "FEATURES\n"
    "     source          1..12\n"
    "ORIGIN\n"
    "        1 acgtacgtac gt\n"
    "//\n";

// A record of `length` bases (the source end) with the given feature lines
// after the source feature and the given sequence lines.
std::string record(std::string_view features, std::string_view bases = "        1 acgtacgtac gt\n",
                   std::string_view sourceLocation = "1..1000")
{
    std::string text =
        "LOCUS       TEST                    1000 bp    DNA     circular\n"
        "DEFINITION  A test record.\n"
        "SOURCE      test genome\n"
        "  ORGANISM  test genome\n"
        "FEATURES             Location/Qualifiers\n"
        "     source          ";
    text += sourceLocation;
    text +=
        "\n"
        "                     /organism=\"test genome\"\n";
    text += features;
    text += "ORIGIN\n";
    text += bases;
    text += "//\n";
    return text;
}

// The features after the whole-sequence one.
FeatureList featuresOf(const std::string& text)
{
    Genome genome;
    auto features = parseGenBank(text, genome, 8, 30);
    if (!features || features->empty()) {
        ADD_FAILURE() << "rejected:\n" << text;
        return {};
    }
    return FeatureList(features->begin() + 1, features->end());
}

std::string withCrlf(std::string_view text)
{
    std::string result;
    for (const char ch : text) {
        if (ch == '\n') {
            result += '\r';
        }
        result += ch;
    }
    return result;
}

std::string readAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A genome loaded and indexed before a read that must not touch it.
struct Loaded {
    Genome genome;
    Loaded()
    {
        genome.setTitle("previous");
        EXPECT_TRUE(genome.allocate(7, 5, 15));
        genome.appendText("GATTACA");
        genome.setLengthBounds(3, 4);
        genome.setPairLimit(1234);
    }
    void expectUntouched(const std::string& what) const
    {
        EXPECT_EQ(genome.title(), "previous") << what;
        EXPECT_EQ(genome.sequence(), "GATTACA") << what;
        EXPECT_EQ(genome.capacity(), 7) << what;
        EXPECT_EQ(genome.minLength(), 3) << what;
        EXPECT_EQ(genome.lengthBound(), 5) << what;
        EXPECT_EQ(genome.pairLimit(), 1234) << what;
    }
};

TEST(GenBankReader, ReadsTheSevenLineExample)
{
    for (const std::string& text : {kSevenLines, withCrlf(kSevenLines)}) {
        Genome genome;
        const auto features = parseGenBank(text, genome, 8, 30);
        ASSERT_TRUE(features.has_value());
        EXPECT_EQ(*features, (FeatureList{{0, 11, "sequence", kColorSequence}}));
        EXPECT_EQ(genome.title(), "test genome");
        EXPECT_EQ(genome.sequence(), "ACGTACGTACGT");
        EXPECT_EQ(genome.capacity(), 12);
        EXPECT_EQ(genome.minLength(), 8);
        EXPECT_EQ(genome.lengthBound(), 31);
    }
}

// Files of the test's own in a scratch folder.
class GenBankFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "genbankreader-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path write(const std::string& name, const std::string& bytes) const
    {
        const auto path = dir_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    static std::filesystem::path data(const std::string& name)
    {
        return std::filesystem::path(TESSARON_TEST_DATA) / name;
    }

    std::filesystem::path dir_;
};

// Each rejection says why and, for a part missing before a record's "//" or
// a location that cannot be read, on which line.
TEST_F(GenBankFileTest, RejectsFilesItCannotReadAndLeavesTheGenomeAsItWas)
{
    const auto replaced = [](std::string text, std::string_view from, std::string_view to) {
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::string full = record("     gene            1..10\n                     /gene=\"x\"\n");
    const std::string withoutOrigin = full.substr(0, full.find("ORIGIN"));
    using enum InputFailure;
    const struct {
        const char* name;
        std::string text;
        InputFailure reason;
        int line;  // 0: the file ended, or no line applies
    } cases[] = {
        {"empty", "", Empty, 0},
        {"blank lines only", "\n  \n\t\r\n", Empty, 0},
        {"locus in lower case", replaced(kSevenLines, "LOCUS", "locus"), NotGenBank, 0},
        {"no LOCUS", replaced(kSevenLines, "LOCUS", "LOCAL"), NotGenBank, 0},
        {"LOCUS line and nothing else", "LOCUS       X  12 bp\n", Malformed, 0},
        {"no SOURCE", replaced(kSevenLines, "SOURCE", "SOURCF"), Malformed, 7},
        {"SOURCE before LOCUS", "SOURCE x\nLOCUS\nFEATURES\n     source 1..12\nORIGIN\nacgt\n", Malformed, 0},
        {"no FEATURES", replaced(kSevenLines, "FEATURES", "FEATURE"), Malformed, 7},
        {"no source feature", replaced(kSevenLines, "source", "Source"), Malformed, 7},
        {"no ORIGIN", replaced(kSevenLines, "ORIGIN", "ORIGAN"), Malformed, 7},
        {"ends inside the feature table", withoutOrigin, Malformed, 0},
        // Cut inside ORIGIN: 12 of the 1000 bases its LOCUS line gives, no "//".
        {"cut inside the sequence", full.substr(0, full.size() - 3), Malformed, 11},
        {"cut inside the sequence, CR line ends",
         [&] {
             std::string text = full.substr(0, full.size() - 3);
             std::replace(text.begin(), text.end(), '\n', '\r');
             return text;
         }(),
         Malformed, 11},
        {"source end 0", replaced(kSevenLines, "1..12", "0..0"), Malformed, 4},
        {"source end negative", replaced(kSevenLines, "1..12", "1..-12"), Malformed, 4},
        {"source end 2^31", replaced(kSevenLines, "1..12", "1..2147483648"), Malformed, 4},
        {"source end far beyond 2^31", replaced(kSevenLines, "1..12", "1..99999999999999999999"), Malformed,
         4},
        {"source between two bases", replaced(kSevenLines, "1..12", "5^6"), Malformed, 4},
        {"source location missing", replaced(kSevenLines, "1..12", ""), Malformed, 4},
        {"source location in another entry", replaced(kSevenLines, "1..12", "X12345.1:1..12"), Malformed, 4},
        {"first record without ORIGIN",
         replaced(kSevenLines, "ORIGIN\n        1 acgtacgtac gt\n", "") + kSevenLines, Malformed, 5},
        {"first record without FEATURES", replaced(kSevenLines, "FEATURES\n", "") + kSevenLines, Malformed,
         6},
        {"binary",
         std::string("\x7f"
                     "ELF\x02\x01\x01\0\0\0LOCUS\xff\xfe",
                     16),
         NotGenBank, 0},
    };
    for (const auto& c : cases) {
        Loaded loaded;
        EXPECT_FALSE(parseGenBank(c.text, loaded.genome, 8, 30).has_value()) << c.name;
        loaded.expectUntouched(c.name);
        const auto path = write("rejected.gb", c.text);
        try {
            (void)readGenBankOrThrow(path, loaded.genome, 8, 30);
            ADD_FAILURE() << c.name << ": accepted";
        } catch (const InputError& error) {
            EXPECT_EQ(error.reason(), c.reason) << c.name << ": " << error.what();
            EXPECT_EQ(error.line(), c.line) << c.name << ": " << error.what();
            EXPECT_EQ(error.path(), path) << c.name;
        }
        loaded.expectUntouched(c.name);
    }
}

TEST(GenBankReader, KeywordsAreCaseSensitiveLinePrefixesAfterWhiteSpace)
{
    Genome genome;
    const auto features = parseGenBank(
        "\n\n   LOCUSX\nDEFINITION SOURCE is not at the start\n\tSOURCE\t  indented source  \r\n"
        "FEATURES\n  \v\f source 3..12\nORIGIN\nacgtacgtacgt\n",
        genome, 8, 30);
    ASSERT_TRUE(features.has_value());
    EXPECT_EQ(features->front(), (Feature{2, 11, "sequence", kColorSequence}));
    EXPECT_EQ(genome.title(), "indented source");
}

TEST(GenBankReader, ReadsTheFeaturesItDrawsWithNamesAndColours)
{
    const std::string forty = "0123456789abcdefghijABCDEFGHIJklmnopqrst";
    const struct {
        const char* name;
        std::string lines;
        Feature expected;
        bool tagged = false;  // named by a locus tag or the key
    } cases[] = {
        {"gene on the complementary strand",
         "     gene            complement(100..200)\n                     /gene=\"ND6\"\n",
         {99, 199, "ND6", kColorGeneComplement}},
        {"gene on the direct strand",
         "     gene            3307..4262\n                     /gene=\"ND1\"\n",
         {3306, 4261, "ND1", kColorGeneDirect}},
        {"tRNA",
         "     tRNA            577..647\n                     /product=\"tRNA-Phe\"\n",
         {576, 646, "tRNA-Phe", kColorTrnaDirect}},
        {"tRNA on the complementary strand",
         "     tRNA            complement(577..647)\n                     /product=\"tRNA-Phe\"\n",
         {576, 646, "tRNA-Phe", kColorTrnaComplement}},
        {"rRNA",
         "     rRNA            648..1601\n                     /product=\"s-rRNA\"\n",
         {647, 1600, "s-rRNA", kColorSequence}},
        {"rRNA on the complementary strand",
         "     rRNA            complement(648..1601)\n                     /product=\"s-rRNA\"\n",
         {647, 1600, "s-rRNA", kColorSequence}},
        {"mRNA",
         "     mRNA            746..1550\n                     /product=\"ermM\"\n",
         {745, 1549, "ermM", kColorSequence}},
        {"D-loop across the origin", "     D-loop          950..40\n", {949, 39, "D-loop", kColorSequence}},
        {"D-loop on the complementary strand across the origin",
         "     D-loop          complement(join(16024..16569,1..576))\n",
         {16023, 575, "D-loop", kColorSequence}},
        {"gene joined across the origin",
         "     gene            join(1959..2355,1..92)\n                     /gene=\"repN\"\n",
         {1958, 91, "repN", kColorGeneDirect}},
        {"tRNA in parts on the complementary strand",
         "     tRNA            complement(join(1717..1751,4311..4347))\n"
         "                     /product=\"tRNA-Lys\"\n",
         {1716, 4346, "tRNA-Lys", kColorTrnaComplement, {{1716, 1750, true}, {4310, 4346, true}}}},
        {"trans-spliced gene, parts apart",
         "     gene            complement(join(97999..98793,69611..69724))\n"
         "                     /gene=\"rps12\"\n",
         {97998, 69723, "rps12", kColorGeneComplement, {{97998, 98792, true}, {69610, 69723, true}}}},
        {"trans-spliced gene, parts on both strands",
         "     gene            join(complement(69611..69724),139856..140650)\n"
         "                     /gene=\"rps12\"\n",
         {69610, 140649, "rps12", kColorGeneDirect, {{69610, 69723, true}, {139855, 140649, false}}}},
        {"neighbours on two strands stay two parts",
         "     gene            join(complement(1..576),577..999)\n                     /gene=\"two\"\n",
         {0, 998, "two", kColorGeneDirect, {{0, 575, true}, {576, 998, false}}}},
        {"parts that follow one another are one stretch",
         "     gene            join(complement(577..999),complement(1..576))\n"
         "                     /gene=\"whole\"\n",
         {0, 998, "whole", kColorGeneComplement}},
        {"partial gene",
         "     gene            <1..>92\n                     /gene=\"part\"\n",
         {0, 91, "part", kColorGeneDirect}},
        {"single base",
         "     gene            17\n                     /gene=\"one\"\n",
         {16, 16, "one", kColorGeneDirect}},
        {"location wrapped over lines",
         "     gene            join(100..200,\n                     300..400,\n"
         "                     500..600)\n                     /gene=\"wrapped\"\n",
         {99, 599, "wrapped", kColorGeneDirect, {{99, 199}, {299, 399}, {499, 599}}}},
        {"product of 40 characters",
         "     tRNA            1..70\n                     /product=\"" + forty + "\"\n",
         {0, 69, forty.substr(0, 30), kColorTrnaDirect}},
        {"value wrapped over lines, joined by one blank",
         "     rRNA            1..70\n                     /product=\"macrolide-lincosamide\n"
         "                     streptogramin B resistance\"\n",
         {0, 69, "macrolide-lincosamide streptog", kColorSequence}},
        {"doubled quote inside a value",
         "     gene            1..70\n                     /gene=\"a\"\"b\"\n",
         {0, 69, "a\"b", kColorGeneDirect}},
        {"value without quotes",
         "     gene            1..70\n                     /gene=cox3\n",
         {0, 69, "cox3", kColorGeneDirect}},
        {"name after other qualifiers",
         "     gene            1..70\n                     /db_xref=\"GeneID:4558\"\n"
         "                     /note=\"a note whose second line\n"
         "                     /gene=\"\"X\"\" looks like a qualifier\"\n                     "
         "/gene=\"TRNF\"\n",
         {0, 69, "TRNF", kColorGeneDirect}},
        {"first of two values",
         "     gene            1..70\n                     /gene=\"A\"\n"
         "                     /gene=\"B\"\n",
         {0, 69, "A", kColorGeneDirect}},
        {"gene named by its locus tag",
         "     gene            87..1109\n                     /locus_tag=\"YP_pPCP01\"\n",
         {86, 1108, "YP_pPCP01", kColorGeneDirect},
         true},
        {"empty gene value gives way to the locus tag",
         "     gene            87..1109\n                     /gene=\"\"\n                     "
         "/locus_tag=\"LT\"\n",
         {86, 1108, "LT", kColorGeneDirect},
         true},
        {"tRNA without a product named by its gene rather than its locus tag",
         "     tRNA            1..70\n                     /gene=\"trnF\"\n                     "
         "/locus_tag=\"LT7\"\n",
         {0, 69, "trnF", kColorTrnaDirect}},
        {"tRNA named by its locus tag",
         "     tRNA            1..70\n                     /locus_tag=\"LT7\"\n",
         {0, 69, "LT7", kColorTrnaDirect},
         true},
        {"gene named by its key", "     gene            5..9\n", {4, 8, "gene", kColorGeneDirect}, true},
        {"mRNA named by its key", "     mRNA            5..9\n", {4, 8, "mRNA", kColorSequence}, true},
    };
    for (const auto& c : cases) {
        Feature expected = c.expected;
        expected.namedByTag = c.tagged;
        for (const std::string& text : {record(c.lines), withCrlf(record(c.lines))}) {
            EXPECT_EQ(featuresOf(text), FeatureList{expected}) << c.name;
        }
    }
}

TEST(GenBankReader, PassesOverOtherKeysAndLocationsThatNameNoStretch)
{
    for (const char* lines : {
             "     ncRNA           1..70\n                     /product=\"RNA\"\n",
             "     misc_RNA        1..70\n                     /product=\"RNA\"\n",
             "     CDS             join(1959..2355,1..92)\n                     /gene=\"repN\"\n",
             "     misc_feature    1..70\n",
             "     repeat_region   1..70\n",
             "     variation       5933^5934\n                     /gene=\"v\"\n",
             "     gene            5933^5934\n                     /gene=\"v\"\n",
             "     gene            J00194.1:100..202\n                     /gene=\"remote\"\n",
             "     tRNA            0..70\n                     /product=\"tRNA-Phe\"\n",
             "     D-loop          complement(join(16024..16569,1..576)\n",
         }) {
        EXPECT_EQ(featuresOf(record(lines)), FeatureList{}) << lines;
    }
}

TEST(GenBankReader, KeysCountOnlyInTheKeyColumn)
{
    // Continuation lines whose letters look like keys, as wrapped /note and
    // /translation values can.
    const std::string lines =
        "     CDS             780..1514\n"
        "                     /note=\"is this a\n"
        "                     tRNA gene\n"
        "                     gene 5..9\n"
        "                     D-loop\n"
        "                     ORIGIN of replication\"\n"
        "                     /translation=\"MNEKNIKHSQ\n"
        "                     ARNAQWERTYIPASDFGHKLZXCVBNM\n"
        "                     tRNA\n"
        "                     URNA\"\n"
        "    gene            1..9\n"
        "      gene          1..9\n"
        "\tgene\t1..9\n"
        "     gene            20..30\n"
        "                     /gene=\"real\"\n";
    EXPECT_EQ(featuresOf(record(lines)), (FeatureList{{19, 29, "real", kColorGeneDirect}}));
}

TEST(GenBankReader, QualifiersStayWithinTheirFeature)
{
    // Neither a missing /gene nor an unclosed quote reaches into the next feature.
    const std::string lines =
        "     gene            1..10\n"
        "                     /locus_tag=\"first\"\n"
        "     gene            11..20\n"
        "                     /gene=\"second\"\n"
        "     tRNA            21..30\n"
        "                     /note=\"a quote that is never closed\n"
        "     tRNA            31..40\n"
        "                     /product=\"tRNA-Gly\"\n"
        "     gene            41..50\n"
        "BASE COUNT      3 a    3 c    3 g    3 t\n"
        "                     /gene=\"after the table\"\n";
    const auto tagged = [](Feature feature) {  // named by a locus tag or the key
        feature.namedByTag = true;
        return feature;
    };
    EXPECT_EQ(featuresOf(record(lines)), (FeatureList{
                                             tagged({0, 9, "first", kColorGeneDirect}),
                                             {10, 19, "second", kColorGeneDirect},
                                             tagged({20, 29, "tRNA", kColorTrnaDirect}),
                                             {30, 39, "tRNA-Gly", kColorTrnaDirect},
                                             tagged({40, 49, "gene", kColorGeneDirect}),
                                         }));
}

TEST(GenBankReader, TakesTheBasesOfTheFirstRecordOnly)
{
    const struct {
        const char* name;
        std::string text;
        std::string expected;
    } cases[] = {
        {"fewer bases than the source end", record("", "        1 acgtacgtac gt\n"), "ACGTACGTACGT"},
        {"more bases than the source end", record("", "1 acgtacgtac gtacgt\n", "1..12"), "ACGTACGTACGT"},
        {"N kept as gaps", record("", "1 acgtNNNNac gt\n"), "ACGTNNNNACGT"},
        {"no bases", record("", ""), ""},
        {"second record", record("", "1 ccccc\n") + record("", "1 ggggg\n"), "CCCCC"},
        {"text after the record", record("", "1 tt\n") + "LOCUS ACGT\nacgt\n", "TT"},
        {"zero byte ends its line", record("", std::string("1 aa\0cc\n2 gg\n", 13)), "AAGG"},
        {"0xFF ends its line",
         record("",
                "1 aa\xff"
                "cc\n2 gg\n"),
         "AAGG"},
        // Whole, as its source feature gives it: only the "//" is missing.
        {"no // at the end",
         record("", "1 aaaa\n2 cccc", "1..8").substr(0, record("", "1 aaaa\n2 cccc", "1..8").size() - 3),
         "AAAACCCC"},
    };
    for (const auto& c : cases) {
        Genome genome;
        ASSERT_TRUE(parseGenBank(c.text, genome, 8, 30).has_value()) << c.name;
        EXPECT_EQ(genome.sequence(), c.expected) << c.name;
    }
}

TEST(GenBankReader, SourceLengthBeyondTheFileCostsNoMemory)
{
    Genome genome;
    const std::string text = record("", "1 acgt\n", "1..2147483647");
    const auto features = parseGenBank(text, genome, 8, 30);
    ASSERT_TRUE(features.has_value());
    EXPECT_EQ(features->front(), (Feature{0, 2147483646, "sequence", kColorSequence}));
    EXPECT_EQ(genome.sequence(), "ACGT");
    EXPECT_LE(genome.capacity(), static_cast<int>(text.size()));
}

TEST(GenBankReader, TitleIsTheSourceTextCut)
{
    const auto titleOf = [](const std::string& sourceLine) {
        std::string text = kSevenLines;
        text.replace(text.find("SOURCE      test genome"), 23, sourceLine);
        Genome genome;
        genome.setTitle("previous");
        EXPECT_TRUE(parseGenBank(text, genome, 8, 30).has_value()) << sourceLine;
        return genome.title();
    };
    const std::string long120(120, 'x');
    EXPECT_EQ(titleOf("SOURCE      " + long120), long120.substr(0, 95));
    // An "é" (two bytes) across byte 95 is left out whole.
    EXPECT_EQ(titleOf("SOURCE      " + std::string(94, 'x') + "\xC3\xA9 coli"), std::string(94, 'x'));
    EXPECT_EQ(titleOf("SOURCE      mitochondrion Homo sapiens (human)  \t"),
              "mitochondrion Homo sapiens (human)");
    EXPECT_EQ(titleOf("SOURCE"), "");
    EXPECT_EQ(titleOf("SOURCE      "), "");
    EXPECT_EQ(titleOf(std::string("SOURCE      ab\0cd", 17)), "ab");
}

TEST(GenBankReader, SuccessReplacesEverythingButThePairLimit)
{
    Loaded loaded;
    ASSERT_TRUE(parseGenBank(kSevenLines, loaded.genome, 10, 20).has_value());
    EXPECT_EQ(loaded.genome.title(), "test genome");
    EXPECT_EQ(loaded.genome.sequence(), "ACGTACGTACGT");
    EXPECT_EQ(loaded.genome.minLength(), 10);
    EXPECT_EQ(loaded.genome.lengthBound(), 21);
    EXPECT_EQ(loaded.genome.pairLimit(), 1234);
}

TEST(GenBankReader, LongLinesAreReadWhole)
{
    const std::string bases(100000, 'g');
    const std::string note = "                     /note=\"" + std::string(100000, 'n') + "\"\n";
    const std::string text = "LOCUS " + std::string(100000, 'L') + "\nSOURCE      long\n" +
                             std::string(100000, ' ') + "\nFEATURES\n     source          1..100000\n" +
                             note + "     gene            1..5\n" + note +
                             "                     /gene=\"g\"\n" + "ORIGIN\n" + bases + "\n//\n";
    Genome genome;
    const auto features = parseGenBank(text, genome, 8, 30);
    ASSERT_TRUE(features.has_value());
    EXPECT_EQ(*features,
              (FeatureList{{0, 99999, "sequence", kColorSequence}, {0, 4, "g", kColorGeneDirect}}));
    EXPECT_EQ(genome.sequence(), std::string(100000, 'G'));
}

TEST_F(GenBankFileTest, HumanMitochondrion)
{
    Genome genome;
    const auto features = readGenBank(TESSARON_MITO_GENBANK, genome, 8, 30);
    ASSERT_TRUE(features.has_value());
    EXPECT_EQ(genome.title(), "mitochondrion Homo sapiens (human)");
    // 16,569 positions, one of them the N at 3107, kept in place.
    EXPECT_EQ(genome.capacity(), 16569);
    EXPECT_EQ(genome.length(), 16569);
    EXPECT_EQ(genome.sequence()[3106], 'N');
    EXPECT_EQ(genome.sequence().substr(0, 10), "GATCACAGGT");
    EXPECT_EQ(genome.sequence().substr(16569 - 10), "CATCACGATG");

    ASSERT_EQ(features->size(), 63u);  // 37 genes, 22 tRNAs, 2 rRNAs, the D-loop
    EXPECT_EQ((*features)[0], (Feature{0, 16568, "sequence", kColorSequence}));
    EXPECT_EQ((*features)[1], (Feature{16023, 575, "D-loop", kColorSequence}));
    EXPECT_EQ((*features)[2], (Feature{576, 646, "TRNF", kColorGeneDirect}));
    EXPECT_EQ((*features)[3], (Feature{576, 646, "tRNA-Phe", kColorTrnaDirect}));
    EXPECT_EQ((*features)[5], (Feature{647, 1600, "s-rRNA", kColorSequence}));
    const auto count = [&](std::uint32_t color) {
        return std::count_if(features->begin(), features->end(),
                             [&](const Feature& f) { return f.color == color; });
    };
    EXPECT_EQ(count(kColorGeneDirect), 28);
    EXPECT_EQ(count(kColorGeneComplement), 9);
    EXPECT_EQ(count(kColorTrnaDirect), 14);
    EXPECT_EQ(count(kColorTrnaComplement), 8);
    const Feature nd6{14148, 14672, "ND6", kColorGeneComplement};
    EXPECT_NE(std::find(features->begin(), features->end(), nd6), features->end());
}

TEST_F(GenBankFileTest, PlasmidWithAJoinAcrossTheOriginAndAnUnnamedMessage)
{
    Genome genome;
    const auto features = readGenBank(data("M12730.gb"), genome, 8, 30);
    ASSERT_TRUE(features.has_value());
    EXPECT_EQ(genome.title(), "Plasmid pNE131");
    EXPECT_EQ(genome.length(), 2355);
    EXPECT_EQ(genome.sequence().substr(0, 10), "TCGAATTTGG");
    EXPECT_EQ(genome.sequence().substr(2345), "TACCTCTTAC");
    // The CDS across the origin is not drawn; the mRNA, without /product, is
    // named by its gene.
    EXPECT_EQ(*features, (FeatureList{{0, 2354, "sequence", kColorSequence},
                                      {705, 1549, "ermM", kColorGeneDirect},
                                      {745, 1549, "ermM", kColorSequence}}));
}

TEST_F(GenBankFileTest, PlasmidWithGenesNamedByLocusTags)
{
    Genome genome;
    const auto features = readGenBank(data("NC_005816.gb"), genome, 8, 30);
    ASSERT_TRUE(features.has_value());
    EXPECT_EQ(genome.title(), "Yersinia pestis biovar Microtus str. 91001");
    EXPECT_EQ(genome.length(), 9609);
    EXPECT_EQ(genome.sequence().substr(0, 10), "TGTAACGAAC");
    EXPECT_EQ(genome.sequence().substr(9600), "CGACCCCTG");
    ASSERT_EQ(features->size(), 11u);
    const auto tagged = [](Feature feature) {
        feature.namedByTag = true;
        return feature;
    };
    EXPECT_EQ((*features)[1], tagged({86, 1108, "YP_pPCP01", kColorGeneDirect}));
    EXPECT_EQ((*features)[6], (Feature{4814, 5887, "pst", kColorGeneComplement}));
    EXPECT_EQ((*features)[10], tagged({8087, 8359, "YP_pPCP10", kColorGeneComplement}));
}

TEST_F(GenBankFileTest, FirstOfSeveralRecordsWithCrlfLineEnds)
{
    const std::string text = readAll(data("turtle_mito_2rec.gb"));
    ASSERT_NE(text.find("\r\n//\r\nLOCUS       AM258984"), std::string::npos);
    Genome genome;
    const auto features = readGenBank(data("turtle_mito_2rec.gb"), genome, 8, 30);
    ASSERT_TRUE(features.has_value());
    EXPECT_EQ(genome.title(), "mitochondrion Chelonia mydas (Green sea turtle)");
    EXPECT_EQ(genome.length(), 16497);
    EXPECT_EQ(genome.sequence().substr(0, 10), "GTTATTGTAG");
    EXPECT_EQ(genome.sequence().substr(16487), "TATATAATAT");
    ASSERT_EQ(features->size(), 25u);  // 22 tRNAs and 2 rRNAs, named by their /product
    EXPECT_EQ((*features)[1], (Feature{0, 72, "F", kColorTrnaDirect}));
    EXPECT_EQ((*features)[2], (Feature{73, 1041, "rrnS", kColorSequence}));
    EXPECT_EQ((*features)[7], (Feature{3838, 3908, "Q", kColorTrnaComplement}));

    // A source end beyond the bases does not reach into the second record.
    std::string longer = text;
    longer.replace(longer.find("1..16497"), 8, "1..16600");
    Genome second;
    ASSERT_TRUE(parseGenBank(longer, second, 8, 30).has_value());
    EXPECT_EQ(second.sequence(), genome.sequence());
}

TEST_F(GenBankFileTest, UnreadableFilesAreRejected)
{
    const auto notGenBank = write("a.txt", "ACGT\n");
    const auto unreadable = write("unreadable.gb", kSevenLines);
    std::filesystem::permissions(unreadable, std::filesystem::perms::none);
    const bool rootReadsAnyway = !readAll(unreadable).empty();
    const struct {
        std::filesystem::path path;
        InputFailure reason;
        std::string message;
    } cases[] = {
        {dir_, InputFailure::IsDirectory, "cannot read '" + dir_.string() + "': Is a directory"},
        {dir_ / "missing.gb", InputFailure::Missing,
         "cannot open '" + (dir_ / "missing.gb").string() + "': No such file or directory"},
        {notGenBank / "x.gb", InputFailure::Missing,
         "cannot open '" + (notGenBank / "x.gb").string() + "': Not a directory"},
        {write("empty.gb", ""), InputFailure::Empty,
         "cannot read '" + (dir_ / "empty.gb").string() + "' as GenBank: the file is empty"},
        {notGenBank, InputFailure::NotGenBank,
         "cannot read '" + notGenBank.string() +
             "' as GenBank: not a GenBank file (no line begins with LOCUS)"},
        {write("no-origin.gb", "LOCUS\nSOURCE x\nFEATURES\n     source 1..4\n//\n"), InputFailure::Malformed,
         "cannot read '" + (dir_ / "no-origin.gb").string() +
             "' as GenBank, line 5: the record ends before ORIGIN"},
        {unreadable, InputFailure::Unreadable,
         "cannot read '" + unreadable.string() + "': Permission denied"},
        // Opens, but reading fails (its first page is not mapped), for root too.
        {"/proc/self/mem", InputFailure::Unreadable, "cannot read '/proc/self/mem': Input/output error"},
    };
    for (const auto& c : cases) {
        if (c.path == unreadable && rootReadsAnyway) {
            continue;
        }
        Loaded loaded;
        EXPECT_FALSE(readGenBank(c.path, loaded.genome, 8, 30).has_value()) << c.path;
        try {
            (void)readGenBankOrThrow(c.path, loaded.genome, 8, 30);
            ADD_FAILURE() << c.path << ": accepted";
        } catch (const ReadError& error) {  // the base every caller catches
            const auto* typed = dynamic_cast<const InputError*>(&error);
            ASSERT_NE(typed, nullptr) << error.what();
            EXPECT_EQ(typed->reason(), c.reason) << error.what();
            EXPECT_EQ(error.what(), c.message);
        }
        loaded.expectUntouched(c.path.string());
    }
}

TEST_F(GenBankFileTest, LooksLikeGenBankByItsFirstLine)
{
    const struct {
        const char* name;
        std::string bytes;
        bool expected;
    } cases[] = {
        {"seven lines", kSevenLines, true},
        {"blank lines first", "\n \r\n\t  LOCUS x\n", true},
        {"byte order mark", "\xEF\xBB\xBFLOCUS x\n", true},
        {"just the word", "LOCUS", true},
        {"lower case", "locus x\n", false},
        {"too short", "LOCU", false},
        {"other first line", ">NC_012920 LOCUS\nLOCUS\n", false},
        {"empty", "", false},
        {"binary", std::string("\0LOCUS", 6), false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(looksLikeGenBank(write("probe", c.bytes)), c.expected) << c.name;
    }
    EXPECT_TRUE(looksLikeGenBank(TESSARON_MITO_GENBANK));
    EXPECT_FALSE(looksLikeGenBank(dir_));
    EXPECT_FALSE(looksLikeGenBank(dir_ / "missing.gb"));
}

}  // namespace
}  // namespace tessaron
