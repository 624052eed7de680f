// --map and --repeat: parsing, and the map the program draws from a GenBank
// file (read back as an image when the desktop build is there).

#include "cli/options.h"
#include "clirunner.h"
#include "filesizelimit.h"

#include <gtest/gtest.h>

#ifdef TESSARON_CLI_MAP
#include <QColor>
#include <QImage>
#include <QString>

#include "mapgeometry/mapscene.h"
#endif

#include <algorithm>
#include <string>
#include <vector>

namespace tessaron {
namespace {

using namespace tessaron::test;
namespace fs = std::filesystem;

std::variant<Options, UsageError> parseList(const std::vector<std::string_view>& arguments)
{
    return parseOptions(arguments);
}

TEST(ParseMapOptions, FileAndRepeat)
{
    const auto result = parseList({"--map", "out.png", "--repeat", "inverted,11,2", "g.gb"});
    ASSERT_TRUE(std::holds_alternative<Options>(result)) << std::get<UsageError>(result).message;
    const Options& options = std::get<Options>(result);
    EXPECT_EQ(options.report, ReportKind::Map);
    EXPECT_EQ(options.mapFile, "out.png");
    ASSERT_TRUE(options.mapRepeat);
    EXPECT_EQ(*options.mapRepeat, (MapRepeat{RepeatKind::Inverted, 11, 2}));
    EXPECT_EQ(options.file, "g.gb");

    const auto attached = parseList({"--map=m.svg", "--repeat=complementary,3,1", "g.gb"});
    ASSERT_TRUE(std::holds_alternative<Options>(attached));
    EXPECT_EQ(std::get<Options>(attached).mapFile, "m.svg");
    EXPECT_EQ(*std::get<Options>(attached).mapRepeat, (MapRepeat{RepeatKind::Complementary, 3, 1}));

    const auto plain = parseList({"g.gb", "--map", "m.png"});
    ASSERT_TRUE(std::holds_alternative<Options>(plain));
    EXPECT_FALSE(std::get<Options>(plain).mapRepeat);
    EXPECT_EQ(std::get<Options>(plain).mapStyle, MapStyle::Default);
    EXPECT_EQ(std::get<Options>(plain).mapWidth, 0);

    const auto paper = parseList({"--map", "m.pdf", "--map-style", "paper", "--map-size=1200x900", "g.gb"});
    ASSERT_TRUE(std::holds_alternative<Options>(paper)) << std::get<UsageError>(paper).message;
    EXPECT_EQ(std::get<Options>(paper).mapStyle, MapStyle::Paper);
    EXPECT_EQ(std::get<Options>(paper).mapWidth, 1200);
    EXPECT_EQ(std::get<Options>(paper).mapHeight, 900);
    EXPECT_EQ(std::get<Options>(paper).mapHidden, "");

    const auto hidden = parseList({"--map", "m.png", "--map-hide=gc,,legend", "g.gb"});
    ASSERT_TRUE(std::holds_alternative<Options>(hidden)) << std::get<UsageError>(hidden).message;
    EXPECT_EQ(std::get<Options>(hidden).mapHidden, "gc,,legend");
}

// A map or chart path that names the genome file, by any name, is refused
// before anything is drawn; the genome stays as it was.
TEST_F(CliTest, APictureIsNeverWrittenOverTheGenome)
{
    const std::string genome =
        "LOCUS       X 8 bp\nSOURCE x\nFEATURES\n     source 1..8\nORIGIN\n1 acgtacgt\n//\n";
    write("same.gb", genome);
    fs::create_symlink("same.gb", dir_ / "link.png");
    fs::create_hard_link(dir_ / "same.gb", dir_ / "hard.svg");
    const struct {
        std::vector<std::string> arguments;
        const char* err;
    } cases[] = {
        {{"--map", "same.gb", "same.gb"},
         "tessaron-cli: --map: 'same.gb' is the input file 'same.gb'; choose another name for the output\n"},
        {{"--map", "link.png", "same.gb"},
         "tessaron-cli: --map: 'link.png' is the input file 'same.gb'; choose another name for the output\n"},
        {{"--chart", "hard.svg", "same.gb"},
         "tessaron-cli: --chart: 'hard.svg' is the input file 'same.gb'; choose another name for the "
         "output\n"},
        {{"--report", "paper", "--chart", "./same.gb", "same.gb"},
         "tessaron-cli: --chart: './same.gb' is the input file 'same.gb'; choose another name for the "
         "output\n"},
    };
    for (const auto& c : cases) {
        const Outcome result = run(c.arguments);
        EXPECT_EQ(result.status, 1) << c.err;
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(slurp(dir_ / "same.gb"), genome);
        EXPECT_TRUE(fs::is_symlink(dir_ / "link.png"));
    }
}

// A picture file that may not be written is refused before any work, as cp
// refuses it, and left as it was; --force replaces it, keeping its mode.
TEST_F(CliTest, AReadOnlyPictureIsReplacedOnlyWithForce)
{
    const std::string genome =
        "LOCUS       X 8 bp\nSOURCE x\nFEATURES\n     source 1..8\nORIGIN\n1 acgtacgt\n//\n";
    write("g.gb", genome);
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read;
    for (const std::string name : {"old.png", "old.svg"}) {
        write(name, "earlier");
        fs::permissions(dir_ / name, readOnly);
    }
    fs::create_symlink("old.png", dir_ / "link.png");
    const struct {
        std::vector<std::string> arguments;
        std::string option;
        std::string file;
    } cases[] = {
        {{"--map", "old.png"}, "--map", "old.png"},
        {{"--map", "link.png", "--map-style", "paper"}, "--map", "old.png"},
        {{"--chart", "old.svg"}, "--chart", "old.svg"},
        {{"--report", "paper", "--chart", "old.svg"}, "--chart", "old.svg"},
    };
    for (const auto& [options, option, file] : cases) {
        std::vector<std::string> arguments = options;
        arguments.push_back("g.gb");
        const Outcome refused = run(arguments);
        EXPECT_EQ(refused.status, 1) << option;
        const std::string given = *(std::find(options.begin(), options.end(), option) + 1);
        EXPECT_EQ(refused.err, "tessaron-cli: " + option + ": cannot replace '" + given +
                                   "': it is read-only (--force replaces it)\n");
        EXPECT_EQ(refused.out, "");
        EXPECT_EQ(slurp(dir_ / file), "earlier");
        arguments.insert(arguments.begin(), "--force");
        const Outcome forced = run(arguments);
#ifdef TESSARON_CLI_MAP
        EXPECT_EQ(forced.status, 0) << forced.err;
        EXPECT_NE(slurp(dir_ / file), "earlier") << option;
        EXPECT_EQ(fs::status(dir_ / file).permissions(), readOnly);
        fs::permissions(dir_ / file, fs::perms::owner_write, fs::perm_options::add);
        write(file, "earlier");
        fs::permissions(dir_ / file, readOnly);
#else
        // Past the check, the picture needs the desktop build.
        EXPECT_EQ(forced.err, "tessaron-cli: " + option + " needs the desktop build (see --help)\n");
#endif
    }
    EXPECT_EQ(slurp(dir_ / "g.gb"), genome);
}

TEST(ParseMapOptions, UsageErrors)
{
    const std::vector<std::pair<std::vector<std::string_view>, std::string>> cases{
        {{"--repeat", "direct,8,1", "g.gb"}, "--repeat applies only to --map"},
        {{"--map", "", "g.gb"}, "--map needs a file name"},
        {{"--map", "m.png", "--report", "info", "g.gb"}, "choose one of --map and --report"},
        {{"--map", "m.png", "--features", "g.gb"}, "choose one of --map and --features"},
        {{"g.gb", "--map"}, "option '--map' needs a value"},
        {{"--map-style", "paper", "g.gb"}, "--map-style applies only to --map"},
        {{"--map-size", "800x800", "g.gb"}, "--map-size applies only to --map"},
        {{"--map-hide", "gc", "g.gb"}, "--map-hide applies only to --map"},
        {{"--map", "m.png", "--map-hide", "gc,rings", "g.gb"},
         "--map-hide: 'rings' is not one of genes, exact, approximate, direct, inverted, mirror, "
         "complementary, "
         "microsatellites, tandem, gc, legend, plastome"},
        {{"--map", "m.png", "--map-style", "Paper", "g.gb"},
         "--map-style: 'Paper' is not one of default, staggered, tidy, paper"},
    };
    for (const auto& [arguments, message] : cases) {
        const auto result = parseList(arguments);
        ASSERT_TRUE(std::holds_alternative<UsageError>(result)) << message;
        EXPECT_EQ(std::get<UsageError>(result).message, message);
    }
    for (const std::string_view value : {"direct", "direct,8", "direct,8,0", "direct,2,1", "direct,257,1",
                                         "up,8,1", "direct,8,1,", "direct,,1", "direct,8,-1", ",8,1"}) {
        const auto result = parseList({"--map", "m.png", "--repeat", value, "g.gb"});
        ASSERT_TRUE(std::holds_alternative<UsageError>(result)) << value;
        EXPECT_TRUE(std::get<UsageError>(result).message.starts_with("--repeat: '")) << value;
    }
    for (const std::string_view value : {"800", "800x", "x800", "49x800", "800x6001", "800x-5", "800*800"}) {
        const auto result = parseList({"--map", "m.png", "--map-size", value, "g.gb"});
        ASSERT_TRUE(std::holds_alternative<UsageError>(result)) << value;
        EXPECT_TRUE(std::get<UsageError>(result).message.starts_with("--map-size: '")) << value;
    }
}

#ifdef TESSARON_CLI_MAP

const QColor kGreen(0, 208, 0);
const QColor kRed(224, 0, 0);

int countColor(const QImage& image, const QColor& color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixelColor(x, y) == color ? 1 : 0;
        }
    }
    return count;
}

TEST_F(CliTest, MapOfTheMitochondrionWithAnInvertedRepeat)
{
    // The first inverted repeat of 11 bases pairs 4558 with 9338.
    const Outcome result = run({"--map", "map.png", "--repeat", "inverted,11,1", TESSARON_MITO_GENBANK});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    const QImage image(QString::fromStdString((dir_ / "map.png").string()));
    ASSERT_EQ(image.size(), QSize(600, 460));
    EXPECT_EQ(image.pixelColor(10, 7), QColor(0, 0, 234));    // legend, tRNA + strand
    EXPECT_EQ(image.pixelColor(10, 27), QColor(234, 0, 0));   // legend, gene + strand
    EXPECT_EQ(image.pixelColor(300, 63), QColor(Qt::black));  // the tick of position 0
    EXPECT_EQ(image.pixelColor(301, 64), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(300, 300), QColor(246, 246, 236));
    EXPECT_GT(countColor(image, kGreen), 30);
    EXPECT_GT(countColor(image, kRed), 30);
}

TEST_F(CliTest, MapWithoutRepeatAsSvg)
{
    const Outcome result = run({"--map", "map.svg", TESSARON_MITO_GENBANK});
    EXPECT_EQ(result.status, 0) << result.err;
    const std::string svg = slurp(dir_ / "map.svg");
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("gene - strand"), std::string::npos);
    EXPECT_NE(svg.find("ND6"), std::string::npos);
}

TEST_F(CliTest, MapTurnsOnTheBasesReadAndSaysSoOnce)
{
    // 600 bases whose source claims 2,147,483,647: one scale mark, a small
    // drawing, one line on standard error.
    std::string record =
        "LOCUS       SHORT   600 bp    DNA     circular\nSOURCE      test\n"
        "FEATURES             Location/Qualifiers\n     source          1..2147483647\n"
        "     gene            100..300\n                     /gene=\"abc\"\nORIGIN\n";
    for (int line = 0; line < 10; ++line) {
        const std::string start = std::to_string(line * 60 + 1);
        record += std::string(9 - start.size(), ' ') + start +
                  " acgtacgtta ccggttaacg tatacgcgat gcatgcaatt ggccaatacg gtacgtacca\n";
    }
    write("short.gb", record + "//\n");
    const Outcome result = run({"--map", "map.svg", "short.gb"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err,
              "tessaron-cli: The source feature gives 1..2147483647 but 600 bases were read: the map follows "
              "the bases read and clips the features.\n");
    EXPECT_LT(fs::file_size(dir_ / "map.svg"), 100000U);
}

// The command line names the layers as the map does.
TEST(ParseMapOptions, EveryLayerOfTheMapCanBeHidden)
{
    for (const std::string_view layer : mapLayerNames()) {
        const auto result = parseList({"--map", "m.png", "--map-hide", layer, "g.gb"});
        EXPECT_TRUE(std::holds_alternative<Options>(result)) << layer;
    }
}

TEST_F(CliTest, MapLayersLeftOutOfAPaper)
{
    ASSERT_EQ(run({"--map", "all.png", "--map-style", "paper", TESSARON_MITO_GENBANK}).status, 0);
    const Outcome bare = run({"--map", "bare.png", "--map-style", "paper", "--map-hide", "genes,gc,legend",
                              TESSARON_MITO_GENBANK});
    EXPECT_EQ(bare.status, 0) << bare.err;
    const QImage all(QString::fromStdString((dir_ / "all.png").string()));
    const QImage none(QString::fromStdString((dir_ / "bare.png").string()));
    ASSERT_FALSE(all.isNull());
    ASSERT_FALSE(none.isNull());
    EXPECT_LT(none.height(), all.height());  // no room kept for the legend
    EXPECT_EQ(none.width(), all.width());
}

TEST_F(CliTest, MapForAPaperAsPdfAndAPlainRingOfAText)
{
    const Outcome paper =
        run({"--map", "map.pdf", "--map-style", "paper", "--map-size", "800x800", TESSARON_MITO_GENBANK});
    EXPECT_EQ(paper.status, 0) << paper.err;
    EXPECT_EQ(slurp(dir_ / "map.pdf").substr(0, 5), "%PDF-");

    // The chosen size, any shape; white, for a paper.
    ASSERT_EQ(
        run({"--map", "paper.png", "--map-style", "paper", "--map-size", "900x700", TESSARON_MITO_GENBANK})
            .status,
        0);
    const QImage wide(QString::fromStdString((dir_ / "paper.png").string()));
    EXPECT_EQ(wide.size(), QSize(900, 700));
    EXPECT_EQ(wide.pixelColor(5, 350), QColor(Qt::white));

    // A text genome: the ring and its scale, no features.
    write("s.txt", std::string(3000, 'A') + "CCGG\n");
    const Outcome text = run({"--map", "ring.png", "s.txt"});
    EXPECT_EQ(text.status, 0) << text.err;
    const QImage ring(QString::fromStdString((dir_ / "ring.png").string()));
    ASSERT_EQ(ring.size(), QSize(600, 460));
    EXPECT_EQ(ring.pixelColor(300, 50), QColor(229, 226, 207));  // the ring, no arc over it
    EXPECT_EQ(ring.pixelColor(300, 63), QColor(Qt::black));      // the tick of position 0
}

TEST_F(CliTest, MapFailures)
{
    const Outcome missing = run({"--map", "map.png", "--repeat", "mirror,30,100000", TESSARON_MITO_GENBANK});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "tessaron-cli: --repeat: there is no mirror repeat number 100000 of length 30\n");

    const Outcome outside =
        run({"--map", "map.png", "--max", "12", "--repeat", "direct,13,1", TESSARON_MITO_GENBANK});
    EXPECT_EQ(outside.status, 1);

    const Outcome unwritable = run({"--map", "no/such/folder/map.png", TESSARON_MITO_GENBANK});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.err, "tessaron-cli: cannot write no/such/folder/map.png\n");
    EXPECT_FALSE(fs::exists(dir_ / "map.png"));
}

TEST_F(CliTest, AMapThatCannotBeWrittenWholeLeavesTheEarlierOne)
{
    ASSERT_EQ(run({"--map", "map.png", TESSARON_MITO_GENBANK}).status, 0);
    const std::string before = slurp(dir_ / "map.png");
    Outcome full;
    {
        // As on a full disk; the program inherits the limit.
        const FileSizeLimit limit(before.size() / 2);
        full = run({"--map", "map.png", "--repeat", "inverted,11,1", TESSARON_MITO_GENBANK});
    }
    EXPECT_EQ(full.status, 1);
    EXPECT_EQ(full.err, "tessaron-cli: cannot write map.png\n");
    EXPECT_EQ(slurp(dir_ / "map.png"), before);
    for (const auto& entry : fs::directory_iterator(dir_)) {
        EXPECT_FALSE(entry.path().filename().string().starts_with("map.png.")) << entry.path();
    }
}

#else

TEST_F(CliTest, MapNeedsTheDesktopBuild)
{
    const Outcome result = run({"--map", "map.png", TESSARON_MITO_GENBANK});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "tessaron-cli: --map needs the desktop build (see --help)\n");
}

#endif

}  // namespace
}  // namespace tessaron
