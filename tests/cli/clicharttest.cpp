// --chart: parsing, and the chart of pairs per length that the chart program
// draws (read back when the desktop build is there).

#include "cli/options.h"
#include "clirunner.h"

#include <gtest/gtest.h>

#ifdef TESSARON_CLI_MAP
#include <QImage>
#include <QString>
#endif

#include <string>
#include <vector>

namespace tessaron {
namespace {

using namespace tessaron::test;

TEST(ParseChartOptions, FileAndConflicts)
{
    const auto parsed =
        parseOptions(std::vector<std::string_view>{"--chart=c.svg", "--controls", "3", "g.gb"});
    ASSERT_TRUE(std::holds_alternative<Options>(parsed));
    EXPECT_EQ(std::get<Options>(parsed).chartFile, "c.svg");
    EXPECT_EQ(std::get<Options>(parsed).report, ReportKind::Chart);

    const struct {
        std::vector<std::string_view> arguments;
        std::string message;
    } cases[] = {
        {{"--chart", "", "g.gb"}, "--chart needs a file name"},
        {{"--chart", "c.png", "--map", "m.png", "g.gb"}, "choose one of --chart and --map"},
        {{"--chart", "c.png", "--report", "listing", "g.gb"}, "choose one of --chart and --report"},
    };
    for (const auto& [arguments, message] : cases) {
        const auto result = parseOptions(arguments);
        ASSERT_TRUE(std::holds_alternative<UsageError>(result)) << message;
        EXPECT_EQ(std::get<UsageError>(result).message, message);
    }
}

#ifdef TESSARON_CLI_MAP

TEST_F(CliTest, ChartOfTheMitochondrionAsSvgAndPng)
{
    const Outcome svg = run({"--chart", "chart.svg", TESSARON_MITO_GENBANK});
    EXPECT_EQ(svg.status, 0) << svg.err;
    EXPECT_EQ(svg.out, "");
    EXPECT_EQ(svg.err, "");
    const std::string drawing = slurp(dir_ / "chart.svg");
    EXPECT_NE(drawing.find("<svg"), std::string::npos);
    for (const char* kind :
         {"Direct repeats", "Inverted repeats", "Mirror repeats", "Complementary repeats"}) {
        EXPECT_NE(drawing.find(kind), std::string::npos) << kind;
    }

    const Outcome png = run({"--chart", "chart.png", "--controls", "2", TESSARON_MITO_GENBANK});
    EXPECT_EQ(png.status, 0) << png.err;
    const QImage image(QString::fromStdString((dir_ / "chart.png").string()));
    EXPECT_EQ(image.size(), QSize(900, 560));

    const Outcome unwritable = run({"--chart", "no/such/folder/c.png", TESSARON_MITO_GENBANK});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.err, "tessaron-cli: cannot write no/such/folder/c.png\n");
}

#else

TEST_F(CliTest, ChartNeedsTheDesktopBuild)
{
    const Outcome result = run({"--chart", "chart.svg", TESSARON_MITO_GENBANK});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.err, "tessaron-cli: --chart needs the desktop build (see --help)\n");
}

#endif

}  // namespace
}  // namespace tessaron
