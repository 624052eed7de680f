#include "cli/options.h"

#include <charconv>
#include <limits>

namespace tessaron {

namespace {

constexpr int kShortestLength = 3;
constexpr int kLongestLength = 256;
constexpr std::int64_t kLargestTotal = std::numeric_limits<std::int32_t>::max();

constexpr std::string_view kUsage =
    R"(Usage: tessaron-cli [options] FILE
       tessaron-cli [options] --text FILE
       tessaron-cli [options] --random A,T,C,G [--seed N]

Finds the repeated words of one circular DNA sequence, for every length from
the minimum to the maximum: direct repeats (the same word again), inverted
repeats (the reverse complement), mirror repeats (the word read backwards) and
complementary repeats (the complement read in the same direction). All counts
are counts of pairs of occurrences.

Input, exactly one of:
  FILE, --text FILE   read FILE as plain text: the bytes A, C, G and T in either
                      case are the bases, every other byte is skipped (letters
                      of a header line count as bases too)
  --random A,T,C,G    a random sequence with exactly these numbers of A, T, C
                      and G: four non-negative integers separated by commas,
                      adding up to at most 2147483647
  --seed N            seed of --random, 0 to 4294967295; without it the time
                      in seconds is used

Options:
  --min N             shortest repeat length, 3 to 256 (default 8)
  --max N             longest repeat length, 3 to 256 (default 30); a minimum
                      above the maximum is lowered to it. With --random a
                      maximum equal to the minimum becomes the minimum + 1
  --report KIND       what to write to standard output as tab-separated lines
                      (default summary):
                        summary  one row per length with the pairs of each
                                 kind (direct, inverted, mirror,
                                 complementary), then a row of totals
                        info     the title, the number of bases and the
                                 counts of A, T, C and G
                        pairs    every pair: kind, length, word, and the
                                 1-based starts of its first and second copy
  --help              show this text and exit
  --                  end of options, for a FILE whose name starts with '-'

Options that take a value also accept the form --option=VALUE.

Exit status: 0 on success, 1 when the file cannot be read or memory runs out,
2 for a command line error.
)";

// A whole decimal number within [low, high], or nothing.
template <typename Number>
std::optional<Number> parseNumber(std::string_view text, Number low, Number high)
{
    Number value{};
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

// "A,T,C,G": four unsigned decimal counts, each within the 32-bit range.
std::optional<std::array<std::int64_t, 4>> parseCounts(std::string_view text)
{
    std::array<std::int64_t, 4> counts{};
    for (std::size_t i = 0; i < counts.size(); ++i) {
        const std::size_t comma = text.find(',');
        const bool last = i + 1 == counts.size();
        if (last != (comma == std::string_view::npos)) {
            return std::nullopt;
        }
        // Unsigned, so that from_chars refuses a minus sign.
        const auto count = parseNumber<std::uint32_t>(text.substr(0, comma), 0, kLargestTotal);
        if (!count) {
            return std::nullopt;
        }
        counts[i] = *count;
        text.remove_prefix(last ? text.size() : comma + 1);
    }
    return counts;
}

std::string quote(std::string_view text)
{
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '\'';
    quoted += text;
    quoted += '\'';
    return quoted;
}

class Parser {
public:
    explicit Parser(std::span<const std::string_view> arguments) : arguments_(arguments) {}

    std::variant<Options, UsageError> run()
    {
        bool optionsEnded = false;
        while (next_ < arguments_.size() && !error_) {
            const std::string_view argument = arguments_[next_++];
            if (optionsEnded || !argument.starts_with('-')) {
                setFile(argument);
            } else if (argument == "--") {
                optionsEnded = true;
            } else {
                option(argument);
                if (options_.help) {
                    return options_;
                }
            }
        }
        if (!error_) {
            finish();
        }
        if (error_) {
            return UsageError{*error_};
        }
        return options_;
    }

private:
    void option(std::string_view argument)
    {
        std::string_view name = argument;
        std::optional<std::string_view> attached;
        if (const std::size_t equals = argument.find('=');
            argument.starts_with("--") && equals != argument.npos) {
            name = argument.substr(0, equals);
            attached = argument.substr(equals + 1);
        }
        if (name == "--help") {
            if (attached) {
                fail("option '--help' takes no value");
                return;
            }
            options_.help = true;
            return;
        }
        if (name != "--text" && name != "--random" && name != "--seed" && name != "--min" &&
            name != "--max" && name != "--report") {
            fail("unknown option " + quote(argument));
            return;
        }
        if (!attached && next_ == arguments_.size()) {
            fail("option " + quote(name) + " needs a value");
            return;
        }
        const std::string_view value = attached ? *attached : arguments_[next_++];

        if (name == "--text") {
            setFile(value);
        } else if (name == "--random") {
            randomValue(value);
        } else if (name == "--seed") {
            options_.seed = parseNumber<std::uint32_t>(value, 0, std::numeric_limits<std::uint32_t>::max());
            if (!options_.seed) {
                fail("--seed: " + quote(value) + " is not an integer from 0 to 4294967295");
            }
        } else if (name == "--min" || name == "--max") {
            const auto length = parseNumber<int>(value, kShortestLength, kLongestLength);
            if (!length) {
                fail(std::string(name) + ": " + quote(value) + " is not an integer from 3 to 256");
                return;
            }
            (name == "--min" ? options_.minimum : options_.maximum) = *length;
        } else {
            reportValue(value);
        }
    }

    void setFile(std::string_view file)
    {
        if (!noteInput(quote(file))) {
            return;
        }
        options_.file = file;
    }

    void randomValue(std::string_view value)
    {
        if (!noteInput("--random")) {
            return;
        }
        options_.randomCounts = parseCounts(value);
        if (!options_.randomCounts) {
            fail("--random: " + quote(value) +
                 " is not four non-negative integers A,T,C,G separated by commas");
            return;
        }
        const auto& counts = *options_.randomCounts;
        if (counts[0] + counts[1] + counts[2] + counts[3] > kLargestTotal) {
            fail("--random: the counts " + quote(value) + " add up to more than 2147483647");
        }
    }

    void reportValue(std::string_view value)
    {
        if (value == "summary") {
            options_.report = ReportKind::Summary;
        } else if (value == "info") {
            options_.report = ReportKind::Info;
        } else if (value == "pairs") {
            options_.report = ReportKind::Pairs;
        } else {
            fail("--report: " + quote(value) + " is not one of summary, info, pairs");
        }
    }

    // Records one input; false (and an error) when there already was one.
    bool noteInput(const std::string& input)
    {
        if (input_) {
            fail("more than one input: " + *input_ + " and " + input);
            return false;
        }
        input_ = input;
        return true;
    }

    void finish()
    {
        if (!input_) {
            fail("no input: give a FILE, --text FILE or --random A,T,C,G");
        } else if (options_.seed && !options_.randomCounts) {
            fail("--seed applies only to --random");
        } else if (options_.minimum > options_.maximum) {
            options_.minimum = options_.maximum;
        }
    }

    void fail(std::string message)
    {
        if (!error_) {
            error_ = std::move(message);
        }
    }

    std::span<const std::string_view> arguments_;
    std::size_t next_ = 0;
    Options options_;
    std::optional<std::string> input_;
    std::optional<std::string> error_;
};

}  // namespace

std::variant<Options, UsageError> parseOptions(std::span<const std::string_view> arguments)
{
    return Parser(arguments).run();
}

std::string_view usageText()
{
    return kUsage;
}

}  // namespace tessaron
