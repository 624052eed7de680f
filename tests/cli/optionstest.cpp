#include "cli/options.h"
#include "engine/genome.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace tessaron {
namespace {

std::variant<Options, UsageError> parse(std::initializer_list<std::string_view> arguments)
{
    const std::vector<std::string_view> list(arguments);
    return parseOptions(list);
}

Options parsed(std::initializer_list<std::string_view> arguments)
{
    auto result = parse(arguments);
    if (const auto* error = std::get_if<UsageError>(&result)) {
        ADD_FAILURE() << "unexpected error: " << error->message;
        return {};
    }
    return std::get<Options>(result);
}

TEST(ParseOptions, FileAloneTakesTheDefaults)
{
    const Options options = parsed({"genome.txt"});
    EXPECT_FALSE(options.help);
    EXPECT_EQ(options.file, "genome.txt");
    EXPECT_FALSE(options.randomCounts);
    EXPECT_FALSE(options.seed);
    EXPECT_EQ(options.minimum, 8);
    EXPECT_EQ(options.maximum, 30);
    EXPECT_EQ(options.report, ReportKind::Summary);
}

TEST(ParseOptions, ValuesSeparateOrAttached)
{
    const Options options = parsed({"--min", "3", "--max=256", "--report=pairs", "--text", "a.txt"});
    EXPECT_EQ(options.file, "a.txt");
    EXPECT_EQ(options.minimum, 3);
    EXPECT_EQ(options.maximum, 256);
    EXPECT_EQ(options.report, ReportKind::Pairs);

    EXPECT_EQ(parsed({"--text=b.txt", "--report", "info"}).file, "b.txt");
    EXPECT_EQ(parsed({"--text=b.txt", "--report", "info"}).report, ReportKind::Info);
    EXPECT_EQ(parsed({"--report", "bed", "x"}).report, ReportKind::Bed);
    EXPECT_EQ(parsed({"--report", "pairs", "--report", "summary", "x"}).report, ReportKind::Summary);
}

TEST(ParseOptions, PipelineOptions)
{
    const Options options = parsed({"-q", "--seqid", "chrM", "--report=bedpe", "x"});
    EXPECT_TRUE(options.quiet);
    EXPECT_EQ(options.seqid, "chrM");
    EXPECT_EQ(options.report, ReportKind::Bedpe);
    EXPECT_TRUE(parsed({"--tidy", "--motif", "ACG", "x"}).tidy);
    EXPECT_TRUE(parsed({"--tidy", "--report", "pairs", "x"}).tidy);
    EXPECT_TRUE(parsed({"--tidy", "--batch", "--ssr", "x"}).tidy);
    EXPECT_TRUE(parsed({"--force", "--map", "m.png", "x"}).force);
    EXPECT_TRUE(parsed({"--chart", "c.svg", "--force", "x"}).force);
    EXPECT_FALSE(parsed({"--chart", "c.svg", "x"}).force);
    EXPECT_TRUE(parsed({"--version", "--bogus"}).version);  // it wins, as --help does
}

TEST(ParseOptions, FileNamesThatLookLikeOptions)
{
    EXPECT_EQ(parsed({"--", "-odd.txt"}).file, "-odd.txt");
    EXPECT_EQ(parsed({"--text", "--min"}).file, "--min");
    EXPECT_EQ(parsed({"--min", "9", "--", "--max"}).file, "--max");
}

TEST(ParseOptions, RandomCountsAndSeed)
{
    const Options options = parsed({"--random", "10,20,30,40", "--seed", "4294967295"});
    ASSERT_TRUE(options.randomCounts);
    EXPECT_EQ(*options.randomCounts, (std::array<std::int64_t, 4>{10, 20, 30, 40}));
    EXPECT_EQ(options.seed, 4294967295u);
    EXPECT_TRUE(options.file.empty());

    EXPECT_EQ(*parsed({"--random=2147483647,0,0,0"}).randomCounts,
              (std::array<std::int64_t, 4>{2147483647, 0, 0, 0}));
    EXPECT_EQ(*parsed({"--random", "0,0,0,0"}).randomCounts, (std::array<std::int64_t, 4>{}));
    EXPECT_FALSE(parsed({"--random", "1,1,1,1"}).seed);
    EXPECT_EQ(parsed({"--seed", "0", "--random", "1,1,1,1"}).seed, 0u);
}

TEST(ParseOptions, MinimumAboveMaximumBecomesTheMaximum)
{
    const Options options = parsed({"--min", "20", "--max", "10", "x"});
    EXPECT_EQ(options.minimum, 10);
    EXPECT_EQ(options.maximum, 10);

    const Options defaultMaximum = parsed({"--min", "200", "x"});
    EXPECT_EQ(defaultMaximum.minimum, 30);
    EXPECT_EQ(defaultMaximum.maximum, 30);

    const Options equal = parsed({"--min", "8", "--max", "8", "x"});
    EXPECT_EQ(equal.minimum, 8);
    EXPECT_EQ(equal.maximum, 8);
}

TEST(ParseOptions, HelpNeedsNothingElse)
{
    EXPECT_TRUE(parsed({"--help"}).help);
    EXPECT_TRUE(parsed({"x.txt", "--report", "info", "--help"}).help);
    EXPECT_TRUE(parsed({"--help", "--bogus"}).help);
    EXPECT_NE(usageText().find("Usage: tessaron-cli"), std::string_view::npos);
    // The help names the pair limit the engine really has.
    EXPECT_NE(usageText().find(std::to_string(Genome::kDefaultPairLimit) + " pairs"), std::string_view::npos);
    // Letters other than A, C, G and T keep their places as gaps; only other bytes are skipped.
    EXPECT_NE(usageText().find("any other letter (N and the other IUPAC"), std::string_view::npos);
    EXPECT_EQ(usageText().find("case are the bases, every other byte is skipped"), std::string_view::npos);
}

TEST(ParseOptions, FormatsOutputsAndComparison)
{
    EXPECT_EQ(parsed({"a.gb"}).format, InputFormat::Auto);
    EXPECT_EQ(parsed({"--text", "a.gb"}).format, InputFormat::Text);
    const Options genBank = parsed({"--genbank=a.gb", "--features", "--csv"});
    EXPECT_EQ(genBank.format, InputFormat::GenBank);
    EXPECT_EQ(genBank.file, "a.gb");
    EXPECT_EQ(genBank.report, ReportKind::Features);
    EXPECT_TRUE(genBank.csv);

    const Options motif = parsed({"x", "--motif", "gAtc"});
    EXPECT_EQ(motif.report, ReportKind::Motif);
    EXPECT_EQ(motif.motif, "GATC");

    const Options listing = parsed({"x", "--report", "listing", "--kind", "mirror"});
    EXPECT_EQ(listing.report, ReportKind::Listing);
    EXPECT_EQ(listing.kind, RepeatKind::Mirror);
    EXPECT_EQ(parsed({"x", "--report", "listing"}).kind, RepeatKind::Direct);

    const Options compare = parsed({"a.gb", "--compare", "b.gb", "--kind=complementary", "a.gb"});
    EXPECT_EQ(compare.report, ReportKind::Compare);
    EXPECT_EQ(compare.kind, RepeatKind::Complementary);
    EXPECT_EQ(compare.compareFiles, (std::vector<std::string>{"a.gb", "b.gb", "a.gb"}));
}

TEST(ParseOptions, BatchControlsAndTheCompleteSearch)
{
    const Options batch =
        parsed({"--batch", "-j", "3", "--controls=10", "--seed", "7", "a.gb", "b.fa", "--complete"});
    EXPECT_EQ(batch.report, ReportKind::Batch);
    EXPECT_EQ(batch.compareFiles, (std::vector<std::string>{"a.gb", "b.fa"}));
    EXPECT_EQ(batch.jobs, 3);
    EXPECT_EQ(batch.controls, 10);
    EXPECT_EQ(batch.seed, 7U);
    EXPECT_EQ(batch.method, SearchMethod::Complete);
    const Options summary = parsed({"--controls", "100", "g.gb"});
    EXPECT_EQ(summary.report, ReportKind::Summary);
    EXPECT_EQ(summary.method, SearchMethod::Trie);
    EXPECT_FALSE(summary.jobs.has_value());
}

TEST(ParseOptions, UsageErrors)
{
    const struct {
        std::initializer_list<std::string_view> arguments;
        const char* message;
    } cases[] = {
        {{}, "no input: give a FILE, --text FILE, --genbank FILE or --random A,T,C,G"},
        {{"--min", "5"}, "no input: give a FILE, --text FILE, --genbank FILE or --random A,T,C,G"},
        {{"--bogus", "x"}, "unknown option '--bogus'"},
        {{"-m", "x"}, "unknown option '-m'"},
        {{"-", "x"}, "more than one input: '-' and 'x'"},  // "-" is standard input
        {{"x", "--min=5=6"}, "--min: '5=6' is not an integer from 3 to 256"},
        {{"--help=yes"}, "option '--help' takes no value"},
        {{"x", "--min"}, "option '--min' needs a value"},
        {{"x", "--max"}, "option '--max' needs a value"},
        {{"x", "--report"}, "option '--report' needs a value"},
        {{"--text"}, "option '--text' needs a value"},
        {{"--random"}, "option '--random' needs a value"},
        {{"--random", "1,1,1,1", "--seed"}, "option '--seed' needs a value"},
        {{"x", "--min", "2"}, "--min: '2' is not an integer from 3 to 256"},
        {{"x", "--min", "257"}, "--min: '257' is not an integer from 3 to 256"},
        {{"x", "--max", "abc"}, "--max: 'abc' is not an integer from 3 to 256"},
        {{"x", "--max", "12x"}, "--max: '12x' is not an integer from 3 to 256"},
        {{"x", "--max", "+12"}, "--max: '+12' is not an integer from 3 to 256"},
        {{"x", "--max", " 12"}, "--max: ' 12' is not an integer from 3 to 256"},
        {{"x", "--max", "-12"}, "--max: '-12' is not an integer from 3 to 256"},
        {{"x", "--max="}, "--max: '' is not an integer from 3 to 256"},
        {{"x", "--min", "99999999999999999999"},
         "--min: '99999999999999999999' is not an integer from 3 to 256"},
        {{"x", "--report", "all"},
         "--report: 'all' is not one of summary, listing, pairs, info, gff, bed, bedpe, ssr, paper, html, "
         "tandem, families"},
        {{"--random", "1,2,3"},
         "--random: '1,2,3' is not four non-negative integers A,T,C,G separated by commas"},
        {{"--random", "1,2,3,4,5"},
         "--random: '1,2,3,4,5' is not four non-negative integers A,T,C,G separated by commas"},
        {{"--random", "1,2,3,4,"},
         "--random: '1,2,3,4,' is not four non-negative integers A,T,C,G separated by commas"},
        {{"--random", "1,,3,4"},
         "--random: '1,,3,4' is not four non-negative integers A,T,C,G separated by commas"},
        {{"--random", "-1,2,3,4"},
         "--random: '-1,2,3,4' is not four non-negative integers A,T,C,G separated by commas"},
        {{"--random", "1, 2,3,4"},
         "--random: '1, 2,3,4' is not four non-negative integers A,T,C,G separated by commas"},
        {{"--random", "a,t,c,g"},
         "--random: 'a,t,c,g' is not four non-negative integers A,T,C,G separated by commas"},
        {{"--random", "4294967296,0,0,0"},
         "--random: '4294967296,0,0,0' is not four non-negative integers A,T,C,G separated by commas"},
        {{"--random", "2147483648,0,0,0"},
         "--random: '2147483648,0,0,0' is not four non-negative integers A,T,C,G separated by commas"},
        {{"--random", "2147483647,1,0,0"},
         "--random: the counts '2147483647,1,0,0' add up to more than 2147483647"},
        {{"--random", "1,1,1,1", "--seed", "-1"}, "--seed: '-1' is not an integer from 0 to 4294967295"},
        {{"--random", "1,1,1,1", "--seed", "4294967296"},
         "--seed: '4294967296' is not an integer from 0 to 4294967295"},
        {{"x", "--seed", "5"}, "--seed applies only to --random and --controls"},
        {{"a.txt", "b.txt"}, "more than one input: 'a.txt' and 'b.txt'"},
        {{"a.txt", "--text", "b.txt"}, "more than one input: 'a.txt' and 'b.txt'"},
        {{"a.txt", "--random", "1,1,1,1"}, "more than one input: 'a.txt' and --random"},
        {{"--random", "1,1,1,1", "--random", "2,2,2,2"}, "more than one input: --random and --random"},
        {{"--bogus", "--min", "1"}, "unknown option '--bogus'"},
        {{"a.gb", "--genbank", "b.gb"}, "more than one input: 'a.gb' and 'b.gb'"},
        {{"x", "--kind", "direct"}, "--kind applies only to --report listing and --compare"},
        {{"x", "--kind", "forward"},
         "--kind: 'forward' is not one of direct, inverted, mirror, complementary"},
        {{"x", "--motif", "GATN"}, "--motif: 'GATN': Accepted symbols are only A, T, C or G"},
        {{"x", "--motif", "GA TC"}, "--motif: 'GA TC': Accepted symbols are only A, T, C or G"},
        {{"x", "--motif="}, "--motif needs a word of A, T, C and G"},
        {{"x", "--motif", "ACG", "--report", "pairs"}, "choose one of --motif and --report"},
        {{"x", "--features", "--compare"}, "choose one of --features and --compare"},
        {{"x", "--report", "gff", "--csv"}, "--csv does not apply to --report gff"},
        {{"x", "--report", "bed", "--csv"}, "--csv does not apply to --report bed"},
        {{"--compare"}, "--compare needs at least one FILE"},
        {{"--batch"}, "--batch needs at least one FILE"},
        {{"--batch", "--text", "a.txt"}, "--batch reads only the files named after the options, not 'a.txt'"},
        {{"x", "--controls", "0"}, "--controls: '0' is not an integer from 1 to 1000000"},
        {{"x", "--controls", "5", "--report", "pairs"},
         "--controls applies only to the summary, --chart and --batch"},
        {{"x", "-j", "2"}, "--jobs applies only to --batch and --controls"},
        {{"--batch", "x", "--jobs=0"}, "--jobs: '0' is not an integer from 1 to 1024"},
        {{"x", "--complete", "--map", "m.png"}, "--complete does not apply to --map"},
        {{"--compare", "--genbank", "a.gb"},
         "--compare reads only the files named after the options, not 'a.gb'"},
        {{"--compare", "--random", "1,1,1,1"},
         "--compare reads only the files named after the options, not --random"},
        {{"x", "--csv=1"}, "option '--csv' takes no value"},
        {{"x", "--report", "bedpe", "--csv"}, "--csv does not apply to --report bedpe"},
        {{"x", "--tidy", "--report", "gff"},
         "--tidy applies only to the summary, --report pairs and ssr, --motif, --compare and --batch"},
        {{"x", "--tidy", "--report", "listing"},
         "--tidy applies only to the summary, --report pairs and ssr, --motif, --compare and --batch"},
        {{"x", "--force"}, "--force applies only to --map and --chart, whose files it may replace"},
        {{"x", "--force", "--report", "pairs"},
         "--force applies only to --map and --chart, whose files it may replace"},
        {{"x", "--seqid", "a b"}, "--seqid: 'a b' is not a name without blanks"},
        {{"--batch", "x", "--seqid", "a"},
         "--seqid does not apply to --batch, which names every record by its own"},
    };
    for (const auto& c : cases) {
        const auto result = parse(c.arguments);
        const auto* error = std::get_if<UsageError>(&result);
        std::string shown;
        for (const std::string_view argument : c.arguments) {
            shown += " [" + std::string(argument) + "]";
        }
        ASSERT_NE(error, nullptr) << shown;
        EXPECT_EQ(error->message, c.message) << shown;
    }
}

TEST(ParseOptions, ApproximateSettingsWhateverTheOrderOfTheOptions)
{
    for (const auto& arguments : {std::vector<std::string_view>{"--min", "12", "--approximate", "x"},
                                  std::vector<std::string_view>{"--approximate", "--min=12", "x"}}) {
        const auto result = parseOptions(arguments);
        ASSERT_TRUE(std::holds_alternative<Options>(result));
        const Options& options = std::get<Options>(result);
        EXPECT_EQ(options.method, SearchMethod::Approximate);
        EXPECT_EQ(options.approximate.minLength, 12);
    }
    const Options options =
        parsed({"--approximate", "--min", "1", "--identity", "0", "--evalue", "1e-3", "--mismatch-penalty",
                "3", "--max-mismatches", "4", "--report", "bedpe", "x"});
    EXPECT_EQ(options.approximate.minLength, 1);
    EXPECT_EQ(options.approximate.identity, 0.0);
    EXPECT_EQ(options.approximate.maxEvalue, 1e-3);
    EXPECT_EQ(options.approximate.mismatchPenalty, 3);
    EXPECT_EQ(options.approximate.maxMismatches, 4);
    EXPECT_EQ(options.report, ReportKind::Bedpe);
    // The exact search's minimum is unchanged by an approximate one it cannot take.
    EXPECT_EQ(parsed({"--approximate", "--min", "300", "x"}).minimum, 8);
    EXPECT_EQ(parsed({"--approximate", "--min", "300", "x"}).approximate.minLength, 300);
}

}  // namespace
}  // namespace tessaron
