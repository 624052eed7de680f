#include "cli/options.h"

#include "approximateoptions.h"

#include "compare/controls.h"
#include "engine/alphabet.h"
#include "engine/repeatkinds.h"
#include "engine/wordlengths.h"
#include "report/imagesize.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <utility>

namespace tessaron {

namespace {

constexpr std::int64_t kLargestTotal = std::numeric_limits<std::int32_t>::max();
constexpr int kMostJobs = 1024;

constexpr std::array<std::pair<std::string_view, ReportKind>, 12> kReports{{
    {"summary", ReportKind::Summary},
    {"listing", ReportKind::Listing},
    {"pairs", ReportKind::Pairs},
    {"info", ReportKind::Info},
    {"gff", ReportKind::Gff},
    {"bed", ReportKind::Bed},
    {"bedpe", ReportKind::Bedpe},
    {"ssr", ReportKind::Microsatellites},
    {"paper", ReportKind::Paper},
    {"html", ReportKind::Html},
    {"tandem", ReportKind::Tandem},
    {"families", ReportKind::Families},
}};

constexpr std::array<std::pair<std::string_view, MapStyle>, 4> kStyles{{
    {"default", MapStyle::Default},
    {"staggered", MapStyle::Staggered},
    {"tidy", MapStyle::Tidy},
    {"paper", MapStyle::Paper},
}};

// The map's layers, as --map-hide names them (mapgeometry's mapLayerNames(),
// which the command line does not link; the tests compare them).
constexpr std::array<std::string_view, 12> kMapLayers{
    "genes",         "exact",           "approximate", "direct", "inverted", "mirror",
    "complementary", "microsatellites", "tandem",      "gc",     "legend",   "plastome"};

// The choices of an option, for the completion and the messages.
template <typename Pairs>
std::vector<std::string_view> firstOfEach(const Pairs& pairs)
{
    std::vector<std::string_view> names;
    for (const auto& pair : pairs) {
        names.push_back(pair.first);
    }
    return names;
}

std::vector<std::string_view> reportNames()
{
    return firstOfEach(kReports);
}

std::vector<std::string_view> mapStyleNames()
{
    return firstOfEach(kStyles);
}

std::vector<std::string_view> normalizedFormatNames()
{
    return {"fasta", "genbank"};
}

std::vector<std::string_view> maskModeNames()
{
    return {"soft", "hard"};
}

std::vector<std::string_view> kindNames()
{
    std::vector<std::string_view> names;
    for (const KindInfo& info : kKinds) {
        names.push_back(info.name);
    }
    return names;
}

std::vector<std::string_view> methodNames()
{
    std::vector<std::string_view> names;
    for (const MethodInfo& info : kMethods) {
        names.push_back(info.name);
    }
    return names;
}

// "a, b, c": the choices as the messages list them.
std::string listed(const std::vector<std::string_view>& names)
{
    std::string text;
    for (const std::string_view name : names) {
        text += text.empty() ? "" : ", ";
        text += name;
    }
    return text;
}

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

// The reports whose lines are placed by position (no --csv).
bool positional(ReportKind report)
{
    return report == ReportKind::Gff || report == ReportKind::Bed || report == ReportKind::Bedpe;
}

std::string_view reportName(ReportKind report)
{
    return report == ReportKind::Gff ? "gff" : report == ReportKind::Bed ? "bed" : "bedpe";
}

std::optional<RepeatKind> parseKind(std::string_view text)
{
    return kindNamed(text);
}
}  // namespace

// Reads the arguments into Options; an option's value is read by its row of
// the table (kOptions, below), which calls one of the public functions.
class OptionParser {
public:
    explicit OptionParser(std::span<const std::string_view> arguments) : arguments_(arguments) {}

    std::variant<Options, UsageError> run()
    {
        bool optionsEnded = false;
        while (next_ < arguments_.size() && !error_) {
            const std::string_view argument = arguments_[next_++];
            if (optionsEnded || !argument.starts_with('-') || argument == "-") {
                files_.emplace_back(argument);
                inputs_.push_back(quote(argument));
            } else if (argument == "--") {
                optionsEnded = true;
            } else {
                option(argument);
                if (options_.help || options_.version) {
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

    Options& options() { return options_; }

    // --text FILE or --genbank FILE.
    void fileValue(std::string_view name, std::string_view value)
    {
        noteInput(quote(value));
        options_.file = value;
        options_.format = name == "--text" ? InputFormat::Text : InputFormat::GenBank;
    }

    void seedValue(std::string_view value)
    {
        options_.seed = parseNumber<std::uint32_t>(value, 0, std::numeric_limits<std::uint32_t>::max());
        if (!options_.seed) {
            fail("--seed: " + quote(value) + " is not an integer from 0 to 4294967295");
        }
    }

    void approximateValue(std::string_view name, std::string_view value, ApproximateValue read)
    {
        if (auto message = read(name, value, options_.approximate)) {
            fail(std::move(*message));
        }
        approximateGiven_.emplace_back(name);
    }

    // --gaps, --gap-open O, --gap-extend E.
    void gapsValue(std::string_view name) { gapsGiven_.emplace_back(name); }

    void gapCostValue(std::string_view name, std::string_view value)
    {
        const auto cost = parseNumber<int>(value, 0, GappedSettings::kMaxGapCost);
        if (!cost) {
            fail(std::string(name) + ": " + quote(value) + " is not an integer from 0 to " +
                 std::to_string(GappedSettings::kMaxGapCost));
            return;
        }
        (name == "--gap-open" ? options_.gapped.gapOpen : options_.gapped.gapExtend) = *cost;
        gapsGiven_.emplace_back(name);
    }

    // --min N or --max N.
    void lengthValue(std::string_view name, std::string_view value)
    {
        if (name == "--min") {
            minText_ = std::string(value);  // the approximate search's, when it is chosen
            minError_.reset();
        } else {
            maxGiven_ = true;
        }
        const auto length = parseNumber<int>(value, WordLengths::kShortest, WordLengths::kLongest);
        if (!length) {
            std::string message = std::string(name) + ": " + quote(value) + " is not an integer from " +
                                  std::to_string(WordLengths::kShortest) + " to " +
                                  std::to_string(WordLengths::kLongest);
            if (name == "--min") {
                minError_ = std::move(message);  // unless --approximate is chosen
            } else {
                fail(std::move(message));
            }
            return;
        }
        (name == "--min" ? options_.minimum : options_.maximum) = *length;
    }

    void kindValue(std::string_view value)
    {
        const auto kind = parseKind(value);
        if (!kind) {
            fail("--kind: " + quote(value) + " is not one of direct, inverted, mirror, complementary");
            return;
        }
        options_.kind = *kind;
        kindGiven_ = true;
    }

    void mapValue(std::string_view value)
    {
        if (value.empty()) {
            fail("--map needs a file name");
            return;
        }
        options_.mapFile = value;
        setReport(ReportKind::Map, "--map");
    }

    void chartValue(std::string_view value)
    {
        if (value.empty()) {
            fail("--chart needs a file name");
            return;
        }
        options_.chartFile = value;
        setReport(ReportKind::Chart, "--chart");
    }

    void controlsValue(std::string_view value)
    {
        options_.controls = parseNumber<int>(value, 1, ControlSettings::kMostReplicates);
        if (!options_.controls) {
            fail("--controls: " + quote(value) + " is not an integer from 1 to " +
                 std::to_string(ControlSettings::kMostReplicates));
        }
    }

    void recordValue(std::string_view value)
    {
        if (value.empty()) {
            fail("--record needs a number from 1 or a record's name");
            return;
        }
        options_.record = std::string(value);
    }

    void jobsValue(std::string_view value)
    {
        options_.jobs = parseNumber<int>(value, 1, kMostJobs);
        if (!options_.jobs) {
            fail("--jobs: " + quote(value) + " is not an integer from 1 to " + std::to_string(kMostJobs));
        }
    }

    // --complete, --approximate or --method NAME (source: as the messages
    // name it); another method than one chosen before is an error.
    void setMethod(SearchMethod method, std::string_view source)
    {
        if (methodSource_ && options_.method != method) {
            fail("choose one of " + *methodSource_ + " and " + std::string(source));
        }
        methodSource_ = std::string(source);
        options_.method = method;
    }

    void methodValue(std::string_view value)
    {
        const std::optional<SearchMethod> method = methodNamed(value);
        if (!method) {
            fail("--method: " + quote(value) + " is not one of " + listed(methodNames()));
            return;
        }
        setMethod(*method, "--method " + std::string(value));
    }

    // "KIND,LENGTH,INDEX".
    void repeatValue(std::string_view value)
    {
        const std::size_t first = value.find(',');
        const std::size_t second = first == value.npos ? value.npos : value.find(',', first + 1);
        const auto kind = first == value.npos ? std::nullopt : parseKind(value.substr(0, first));
        const auto length = second == value.npos
                                ? std::nullopt
                                : parseNumber<int>(value.substr(first + 1, second - first - 1),
                                                   WordLengths::kShortest, WordLengths::kLongest);
        const auto index = second == value.npos ? std::nullopt
                                                : parseNumber<int>(value.substr(second + 1), 1,
                                                                   std::numeric_limits<int>::max());
        if (!kind || !length || !index) {
            fail("--repeat: " + quote(value) +
                 " is not KIND,LENGTH,INDEX (a kind, a length from 3 to 256 and a number from 1)");
            return;
        }
        options_.mapRepeat = MapRepeat{*kind, *length, *index};
    }

    void mapStyleValue(std::string_view value)
    {
        for (const auto& [text, style] : kStyles) {
            if (value == text) {
                options_.mapStyle = style;
                mapLookGiven_ = "--map-style";
                return;
            }
        }
        fail("--map-style: " + quote(value) + " is not one of default, staggered, tidy, paper");
    }

    // Layer names, comma-separated; an empty list hides nothing.
    void mapHideValue(std::string_view value)
    {
        std::string_view rest = value;
        while (!rest.empty()) {
            const std::size_t comma = rest.find(',');
            const std::string_view name = rest.substr(0, comma);
            rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
            if (!name.empty() && std::find(kMapLayers.begin(), kMapLayers.end(), name) == kMapLayers.end()) {
                std::string known;
                for (const std::string_view layer : kMapLayers) {
                    known += (known.empty() ? "" : ", ") + std::string(layer);
                }
                fail("--map-hide: " + quote(name) + " is not one of " + known);
                return;
            }
        }
        options_.mapHidden = value;
        mapLookGiven_ = "--map-hide";
    }

    // "WxH" in pixels.
    void mapSizeValue(std::string_view value)
    {
        const std::size_t by = value.find_first_of("xX");
        const auto width = by == value.npos
                               ? std::nullopt
                               : parseNumber<int>(value.substr(0, by), kSmallestImageSide, kLargestImageSide);
        const auto height =
            by == value.npos ? std::nullopt
                             : parseNumber<int>(value.substr(by + 1), kSmallestImageSide, kLargestImageSide);
        if (!width || !height) {
            fail("--map-size: " + quote(value) + " is not WIDTHxHEIGHT, each from " +
                 std::to_string(kSmallestImageSide) + " to " + std::to_string(kLargestImageSide) + " pixels");
            return;
        }
        options_.mapWidth = *width;
        options_.mapHeight = *height;
        mapLookGiven_ = "--map-size";
    }

    // Printable, no blank: the first column of BED and GFF3.
    void seqidValue(std::string_view value)
    {
        const bool printable = std::all_of(value.begin(), value.end(), [](char ch) {
            const auto byte = static_cast<unsigned char>(ch);
            return byte > 0x20U && byte != 0x7FU;
        });
        if (value.empty() || !printable) {
            fail("--seqid: " + quote(value) + " is not a name without blanks");
            return;
        }
        options_.seqid = std::string(value);
    }

    void randomValue(std::string_view value)
    {
        noteInput("--random");
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
        for (const auto& [text, report] : kReports) {
            if (value == text) {
                setReport(report, "--report");
                return;
            }
        }
        fail("--report: " + quote(value) + " is not one of " + listed(reportNames()));
    }

    void motifValue(std::string_view value)
    {
        std::string motif;
        for (const char ch : value) {
            const char upper = ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch;
            if (!isBase(upper)) {
                fail("--motif: " + quote(value) + ": Accepted symbols are only A, T, C or G");
                return;
            }
            motif += upper;
        }
        if (motif.empty()) {
            fail("--motif needs a word of A, T, C and G");
            return;
        }
        options_.motif = std::move(motif);
        setReport(ReportKind::Motif, "--motif");
    }

    void ssrCompoundValue(std::string_view value)
    {
        MicrosatelliteSettings candidate = options_.ssrSettings;
        const auto distance =
            parseNumber<int>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        candidate.compoundDistance = distance.value_or(-1);
        if (!distance || candidate.validate()) {
            fail("--ssr-compound: " + quote(value) + " is not an integer from 0 to " +
                 std::to_string(MicrosatelliteSettings::kFarthestCompound));
            return;
        }
        options_.ssrSettings = candidate;
        ssrCompoundGiven_ = true;
    }

    // "N1,...,N6".
    void ssrMinValue(std::string_view value)
    {
        MicrosatelliteSettings& settings = options_.ssrSettings;
        std::string_view rest = value;
        for (std::size_t p = 0; p < settings.minimumRepeats.size(); ++p) {
            const std::size_t comma = rest.find(',');
            const bool last = p + 1 == settings.minimumRepeats.size();
            const auto minimum =
                last == (comma == std::string_view::npos)
                    ? parseNumber<int>(rest.substr(0, comma), std::numeric_limits<int>::min(),
                                       std::numeric_limits<int>::max())
                    : std::nullopt;
            if (!minimum) {
                fail("--ssr-min: " + quote(value) +
                     " is not six integers separated by commas, the least repeat numbers of units of 1 to "
                     "6 letters");
                return;
            }
            MicrosatelliteSettings candidate = settings;
            candidate.minimumRepeats[p] = *minimum;
            if (const auto problem = candidate.validate()) {
                fail("--ssr-min: " + quote(std::to_string(*minimum)) + " for units of " +
                     std::to_string(p + 1) + (p == 0 ? " letter" : " letters") +
                     ": each minimum must be an integer from " + std::to_string(problem->low) +
                     " (a single unit is no repeat) to " + std::to_string(problem->high));
                return;
            }
            settings.minimumRepeats[p] = *minimum;
            rest.remove_prefix(last ? rest.size() : comma + 1);
        }
        ssrMinGiven_ = true;
    }

    // --tandem-max-period and the score weights: a whole number the settings accept.
    void tandemValue(std::string_view name, std::string_view value)
    {
        TandemSettings candidate = options_.tandemSettings;
        int* field = name == "--tandem-max-period" ? &candidate.maximumPeriod
                     : name == "--tandem-match"    ? &candidate.match
                     : name == "--tandem-mismatch" ? &candidate.mismatch
                     : name == "--tandem-indel"    ? &candidate.indel
                                                   : &candidate.minimumScore;
        const auto number =
            parseNumber<int>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        *field = number.value_or(0);
        if (const auto problem = number ? candidate.validate() : std::optional<std::string>("not a number");
            !number || problem) {
            const bool weight = field != &candidate.maximumPeriod && field != &candidate.minimumScore;
            fail(std::string(name) + ": " + quote(value) + " is not an integer from " +
                 (field == &candidate.maximumPeriod ? std::to_string(candidate.minimumPeriod) : "1") +
                 " to " +
                 (field == &candidate.maximumPeriod ? std::to_string(TandemSettings::kMaxPeriodBound)
                  : weight                          ? std::to_string(TandemSettings::kMaxScoreWeight)
                                                    : std::to_string(std::numeric_limits<int>::max())));
            return;
        }
        options_.tandemSettings = candidate;
        tandemGiven_ = std::string(name);
    }

    void tandemAll()
    {
        options_.tandemSettings.all = true;
        tandemGiven_ = "--tandem-all";
    }

    void maskValue(std::string_view value)
    {
        if (value != "soft" && value != "hard") {
            fail("--mask: " + quote(value) + " is not one of soft, hard");
            return;
        }
        options_.maskHard = value == "hard";
        setReport(ReportKind::Mask, "--mask");
    }

    // "ssr,tandem,repeats": one or more of them, separated by commas.
    void maskClassesValue(std::string_view value)
    {
        bool ssr = false;
        bool tandem = false;
        bool repeats = false;
        std::string_view rest = value;
        bool more = true;
        while (more) {
            const std::size_t comma = rest.find(',');
            const std::string_view name = rest.substr(0, comma);
            more = comma != std::string_view::npos;
            rest.remove_prefix(more ? comma + 1 : rest.size());
            bool& chosen = name == "ssr" ? ssr : name == "tandem" ? tandem : repeats;
            if (name != "ssr" && name != "tandem" && name != "repeats") {
                fail("--mask-classes: " + quote(value) + " is not a list of ssr, tandem and repeats");
                return;
            }
            chosen = true;
        }
        options_.maskMicrosatellites = ssr;
        options_.maskTandem = tandem;
        options_.maskRepeats = repeats;
        maskClassesGiven_ = true;
    }

    // One of --report, --features, --motif and --compare chooses the output;
    // --chart goes with --report paper, whose figure it draws.
    void setReport(ReportKind report, std::string_view source)
    {
        const auto paired = [&](ReportKind one, ReportKind other) {
            return (report == one && options_.report == other) || (report == other && options_.report == one);
        };
        if (reportSource_ && *reportSource_ != source && paired(ReportKind::Paper, ReportKind::Chart)) {
            options_.report = ReportKind::Paper;
            reportSource_ = "--report";
            return;
        }
        // --compare --junctions --chart OUT draws the plastomes' junction figure.
        if (reportSource_ && *reportSource_ != source && paired(ReportKind::Compare, ReportKind::Chart)) {
            compareChart_ = "choose one of " + *reportSource_ + " and " + std::string(source);
            options_.report = ReportKind::Compare;
            reportSource_ = "--compare";
            return;
        }
        // --families with --report paper: the section counts the families.
        if (reportSource_ && *reportSource_ != source && paired(ReportKind::Paper, ReportKind::Families)) {
            options_.report = ReportKind::Paper;
            options_.families = true;
            reportSource_ = "--report";
            return;
        }
        if (reportSource_ && *reportSource_ != source) {
            fail("choose one of " + *reportSource_ + " and " + std::string(source));
            return;
        }
        reportSource_ = std::string(source);
        options_.report = report;
    }

    // Records an input given by an option (--text, --genbank, --random).
    void noteInput(const std::string& input)
    {
        inputs_.push_back(input);
        if (!optionInput_) {
            optionInput_ = input;
        }
    }

    void finish()
    {
        const bool comparing = options_.report == ReportKind::Compare;
        const bool batch = options_.report == ReportKind::Batch;
        if (comparing || batch) {
            const char* option = comparing ? "--compare" : "--batch";
            if (optionInput_) {
                fail(std::string(option) + " reads only the files named after the options, not " +
                     *optionInput_);
            } else if (files_.empty()) {
                fail(std::string(option) + " needs at least one FILE");
            }
            options_.compareFiles = files_;
        } else if (inputs_.size() > 1) {
            fail("more than one input: " + inputs_[0] + " and " + inputs_[1]);
        } else if (inputs_.empty()) {
            fail("no input: give a FILE, --text FILE, --genbank FILE or --random A,T,C,G");
        } else if (!files_.empty()) {
            options_.file = files_.front();
        }
        if (error_) {
            return;
        }
        if (options_.method == SearchMethod::Approximate) {
            if (auto message = finishApproximateOptions(options_, minText_, maxGiven_)) {
                fail(std::move(*message));
                return;
            }
            if (auto message = finishGappedOptions(options_, gapsGiven_)) {
                fail(std::move(*message));
                return;
            }
        } else if (minError_) {
            fail(*minError_);
            return;
        } else if ((options_.report == ReportKind::Paper || options_.report == ReportKind::Html) &&
                   approximateGiven_.empty() && !gapsGiven_.empty()) {
            if (auto message = finishPaperGaps(options_, gapsGiven_)) {
                fail(std::move(*message));
                return;
            }
        } else if (!approximateGiven_.empty() || !gapsGiven_.empty()) {
            fail((approximateGiven_.empty() ? gapsGiven_ : approximateGiven_).front() +
                 " applies only to --approximate");
            return;
        }
        if (options_.report == ReportKind::Families && !options_.gaps) {
            fail((*reportSource_ == "--report" ? "--report families" : *reportSource_) +
                 " applies only to --approximate --gaps");
            return;
        }
        // --report ssr is the microsatellites' table, --report tandem the arrays'.
        options_.ssr = options_.ssr || options_.report == ReportKind::Microsatellites;
        if (compareChart_ && !options_.junctions) {
            fail(*compareChart_);
            return;
        }
        if (options_.junctions && !(comparing && !options_.chartFile.empty())) {
            fail("--junctions applies only to --compare with --chart OUT (the junction figure)");
            return;
        }
        if (const std::optional<std::string> problem = plastomeProblem(comparing, batch)) {
            fail(*problem);
            return;
        }
        options_.tandem = options_.tandem || options_.report == ReportKind::Tandem;
        if (const std::optional<std::string> tandemIssue = tandemProblem(comparing || batch)) {
            fail(*tandemIssue);
        } else if (const std::optional<std::string> problem = microsatelliteProblem(comparing || batch)) {
            fail(*problem);
        } else if (options_.seed && !options_.randomCounts && !options_.controls) {
            fail("--seed applies only to --random and --controls");
        } else if (options_.controls && options_.report != ReportKind::Summary &&
                   options_.report != ReportKind::Chart && !batch) {
            fail("--controls applies only to the summary, --chart and --batch");
        } else if (options_.jobs && !batch && !options_.controls) {
            fail("--jobs applies only to --batch and --controls");
        } else if (options_.method == SearchMethod::Complete && options_.report == ReportKind::Map) {
            fail("--complete does not apply to --map");
        } else if (kindGiven_ && options_.report != ReportKind::Listing && !comparing) {
            fail("--kind applies only to --report listing and --compare");
        } else if (options_.csv && options_.report == ReportKind::Mask) {
            fail("--csv does not apply to --mask, which writes FASTA");
        } else if (options_.csv && positional(options_.report)) {
            fail(std::string("--csv does not apply to --report ") + std::string(reportName(options_.report)));
        } else if (options_.tidy && !tidyReport(options_.report)) {
            fail(
                "--tidy applies only to the summary, --report pairs and ssr, --motif, --compare and --batch");
        } else if (options_.seqid && (comparing || batch)) {
            fail(std::string("--seqid does not apply to ") + (comparing ? "--compare" : "--batch") +
                 ", which names every record by its own");
        } else if (options_.record && (comparing || batch || options_.randomCounts)) {
            fail(comparing || batch ? std::string("--record does not apply to ") +
                                          (comparing ? "--compare" : "--batch") + ", which reads every record"
                                    : std::string("--record does not apply to --random"));
        } else if (options_.genes && options_.report != ReportKind::Listing) {
            fail("--genes applies only to --report listing (pairs and gff name the features anyway)");
        } else if (options_.mapRepeat && options_.report != ReportKind::Map) {
            fail("--repeat applies only to --map");
        } else if (mapLookGiven_ && options_.report != ReportKind::Map) {
            fail(*mapLookGiven_ + " applies only to --map");
        } else if (options_.force && options_.mapFile.empty() && options_.chartFile.empty()) {
            fail("--force applies only to --map and --chart, whose files it may replace");
        } else if (options_.minimum > options_.maximum) {
            options_.minimum = options_.maximum;
        }
    }

    // The reports that --tidy writes as one table with a seqid column.
    [[nodiscard]] static bool tidyReport(ReportKind report)
    {
        switch (report) {
            case ReportKind::Summary:
            case ReportKind::Pairs:
            case ReportKind::Microsatellites:
            case ReportKind::Motif:
            case ReportKind::Compare:
            case ReportKind::Batch:
                return true;
            default:
                return false;
        }
    }

    // What --plastome, --normalize and their settings cannot go with.
    [[nodiscard]] std::optional<std::string> plastomeProblem(bool comparing, bool batch) const
    {
        const bool plastome = options_.plastome;
        const bool normalize = options_.normalize.has_value();
        if ((options_.plastomeMinIr || options_.plastomeMinIrShare) && !plastome && !normalize &&
            !options_.junctions) {
            return std::string(options_.plastomeMinIr ? "--plastome-min-ir" : "--plastome-min-ir-share") +
                   " applies only to --plastome, --normalize and --junctions";
        }
        if (!plastome && !normalize) {
            return std::nullopt;
        }
        const std::string option = plastome ? "--plastome" : "--normalize";
        const ReportKind report = options_.report;
        if (plastome && normalize) {
            return "choose one of --plastome and --normalize";
        }
        if (plastome && report != ReportKind::Summary && report != ReportKind::Gff &&
            report != ReportKind::Bed && !batch) {
            return "--plastome applies only to its own report, --report gff and bed, and --batch";
        }
        if (normalize && (report != ReportKind::Summary || comparing || batch)) {
            return "--normalize writes one genome: choose one of it and " +
                   reportSource_.value_or("--report");
        }
        if (options_.ssr) {
            return "--ssr does not apply to " + option;
        }
        if (options_.method != SearchMethod::Trie) {
            return methodSource_.value_or("--complete") + " does not apply to " + option +
                   ", which searches no repeats";
        }
        if (options_.controls) {
            return "--controls does not apply to " + option;
        }
        if (kindGiven_ || options_.tidy) {
            return std::string(kindGiven_ ? "--kind" : "--tidy") + " does not apply to " + option;
        }
        if (normalize && options_.csv) {
            return "--csv does not apply to --normalize";
        }
        return std::nullopt;
    }

    // What --tandem, --ssr-imperfect, --mask and their settings cannot go with.
    [[nodiscard]] std::optional<std::string> tandemProblem(bool severalFiles) const
    {
        const ReportKind report = options_.report;
        const bool mask = report == ReportKind::Mask;
        if (maskClassesGiven_ && !mask) {
            return "--mask-classes applies only to --mask";
        }
        if (options_.ssrImperfect && report != ReportKind::Microsatellites) {
            return "--ssr-imperfect applies only to --report ssr";
        }
        if (tandemGiven_ && !options_.tandem && !(mask && options_.maskTandem) &&
            report != ReportKind::Paper && report != ReportKind::Html) {
            return *tandemGiven_ + " applies only to --tandem, --mask, --report paper and html";
        }
        if (!options_.tandem && !mask) {
            return std::nullopt;
        }
        const std::string source = mask ? "--mask" : "--tandem";
        if (options_.tandem && mask) {
            return std::string("--tandem does not apply to --mask (see --mask-classes)");
        }
        if (options_.tandem && options_.ssr) {
            return std::string("choose one of --ssr and --tandem");
        }
        const bool fits = mask || report == ReportKind::Summary || report == ReportKind::Tandem ||
                          report == ReportKind::Gff || report == ReportKind::Bed || severalFiles;
        if (!fits) {
            return "--tandem applies only to the summary, --report tandem, gff and bed, --batch and "
                   "--compare";
        }
        if (options_.controls) {
            return "--controls does not apply to " + source;
        }
        if (options_.method != SearchMethod::Trie) {
            return methodSource_.value_or("--complete") + " does not apply to " + source;
        }
        if (kindGiven_) {
            return "--kind does not apply to " + source;
        }
        return std::nullopt;
    }

    void plastomeMinIrValue(std::string_view value)
    {
        options_.plastomeMinIr = parseNumber<std::int64_t>(value, 1, kLargestTotal);
        if (!options_.plastomeMinIr) {
            fail("--plastome-min-ir: " + quote(value) + " is not an integer from 1 to " +
                 std::to_string(kLargestTotal));
        }
    }

    // A percentage with at most two decimals, 0 to 50.
    void plastomeMinIrShareValue(std::string_view value)
    {
        const std::size_t point = value.find('.');
        const auto whole = parseNumber<int>(value.substr(0, point), 0, 50);
        const std::string_view decimals = point == value.npos ? std::string_view{} : value.substr(point + 1);
        const auto hundredths = point == value.npos   ? std::optional<int>(0)
                                : decimals.size() > 2 ? std::nullopt
                                                      : parseNumber<int>(decimals, 0, 99);
        if (!whole || !hundredths || (point != value.npos && decimals.empty()) ||
            (*whole == 50 && *hundredths > 0)) {
            fail("--plastome-min-ir-share: " + quote(value) +
                 " is not a percentage from 0 to 50 with at most two decimals");
            return;
        }
        const int scale = decimals.size() == 1 ? 10 : 1;
        options_.plastomeMinIrShare = (*whole * 100.0 + *hundredths * scale) / 100.0;
    }

    void normalizeValue(std::string_view value)
    {
        if (value == "fasta") {
            options_.normalize = NormalizedFormat::Fasta;
        } else if (value == "genbank") {
            options_.normalize = NormalizedFormat::GenBank;
        } else {
            fail("--normalize: " + quote(value) + " is not one of fasta, genbank");
        }
    }

    // What --ssr and its settings cannot go with.
    [[nodiscard]] std::optional<std::string> microsatelliteProblem(bool manyFiles) const
    {
        const ReportKind report = options_.report;
        // The HTML report holds the paper section, with its microsatellites.
        const bool paper = report == ReportKind::Paper || report == ReportKind::Html;
        if ((ssrMinGiven_ || ssrCompoundGiven_) && !options_.ssr && !paper) {
            return std::string(ssrMinGiven_ ? "--ssr-min" : "--ssr-compound") +
                   " applies only to --ssr and --report paper";
        }
        if (!options_.ssr || paper) {
            return std::nullopt;
        }
        const bool fits = report == ReportKind::Summary || report == ReportKind::Microsatellites ||
                          report == ReportKind::Gff || report == ReportKind::Bed || manyFiles;
        if (!fits) {
            return "--ssr applies only to the summary, --report ssr, gff, bed and paper, --batch and "
                   "--compare";
        }
        if (options_.controls) {
            return "--controls does not apply to --ssr";
        }
        if (options_.method != SearchMethod::Trie) {
            return methodSource_.value_or("--complete") +
                   " does not apply to --ssr, which searches no repeats";
        }
        if (kindGiven_) {
            return "--kind does not apply to --ssr";
        }
        return std::nullopt;
    }

    void fail(std::string message)
    {
        if (!error_) {
            error_ = std::move(message);
        }
    }

private:
    // One option and its value: the row of its name (or short name) applies it.
    void option(std::string_view argument);

    std::span<const std::string_view> arguments_;
    std::size_t next_ = 0;
    Options options_;
    std::vector<std::string> files_;          // named without an option
    std::vector<std::string> inputs_;         // every input, in order, as shown in messages
    std::optional<std::string> optionInput_;  // the first given by an option
    std::optional<std::string> reportSource_;
    std::optional<std::string> compareChart_;  // --compare with --chart: refused unless --junctions
    bool kindGiven_ = false;
    std::optional<std::string> mapLookGiven_;  // --map-style, --map-size or --map-hide, the last given
    bool ssrMinGiven_ = false;
    bool ssrCompoundGiven_ = false;
    std::optional<std::string> tandemGiven_;  // the last of the tandem settings given
    bool maskClassesGiven_ = false;
    std::optional<std::string> error_;
    std::optional<std::string> methodSource_;    // --complete or --approximate
    std::optional<std::string> minText_;         // --min as given
    std::optional<std::string> minError_;        // why it is no exact minimum
    std::vector<std::string> approximateGiven_;  // the approximate search's own options
    std::vector<std::string> gapsGiven_;         // --gaps and its own options
    bool maxGiven_ = false;
};

namespace {

constexpr std::string_view kUsageStart =
    R"(Usage: tessaron-cli [options] FILE
  or:  tessaron-cli [options] --text FILE | --genbank FILE [--record N|NAME]
  or:  tessaron-cli [options] --random A,T,C,G [--seed N]
  or:  tessaron-cli [options] --compare [--kind KIND] FILE...
  or:  tessaron-cli [options] --batch [-j N] [--controls R [--seed S]] FILE...
  or:  tessaron-cli [options] --plastome | --normalize FORMAT FILE
  or:  tessaron-cli [options] --batch --plastome [-j N] FILE...
  or:  tessaron-cli [options] --compare --junctions --chart OUT FILE...

Finds the repeated words of one circular DNA sequence, for every length from
the minimum to the maximum: direct repeats (the same word again), inverted
repeats (the reverse complement), mirror repeats (the word read backwards) and
complementary repeats (the complement read in the same direction). All counts
are counts of pairs of occurrences; positions are 1-based.

Input, exactly one of:
  FILE                read once, its format told by its first non-blank line:
                      GenBank when it begins with LOCUS, or when a LOCUS line
                      follows at most 10 lines of other text (the SOURCE line
                      is the title, the gene, RNA and D-loop features are the
                      annotation, the bases after ORIGIN up to "//" are the
                      sequence; a record cut short, without "//" and with
                      fewer bases than its LOCUS line gives, is an error),
                      EMBL when it begins with "ID" and a blank (read as
                      GenBank is: the OS line is the title, the FT lines the
                      features, the bases after SQ up to "//" the sequence),
                      FASTA when it begins with '>' (the header's first word
                      is the title, its lines are never bases), otherwise
                      plain text. The letters A, C, G and T in either case
                      are the bases; any other letter (N and the other IUPAC
                      codes) keeps its place as a gap that no repeat spans;
                      every other byte (line ends, digits, blanks) is
                      skipped. Lines end at LF, CR LF or CR. UTF-16 with a
                      byte order mark is read; an empty file, binary data and
                      UTF-32 are errors, and so is a file or record with no
                      base. gzip and bgzip data (told by its bytes, whatever
                      the name) is unpacked first. FILE may be "-" or
                      /dev/stdin for standard input, a pipe or a process
                      substitution. Every record of a file of several is
                      reported (see "Several records" below)
)";
constexpr std::string_view kUsageEnd =
    R"(  --                  end of options, for a FILE whose name starts with '-'

Options that take a value also accept the form --option=VALUE.

Several records: the summary, listing, info, --motif and --features of a
file of several records write one block per record, each headed by a row
"seqid" and its seqid (blocks apart by an empty row); pairs and the
--controls table gain a first column seqid; GFF3, BED and BEDPE name each
record by its seqid. The output of a file of one record is the same as
before. --tidy tables always have one header and their seqid column.

GFF3 output: the "##sequence-region" of every sequence, then per sequence
(by seqid) a "region" line for the whole sequence (Is_circular=true) and one
"repeat_region" line per copy of each pair, sorted by start (bgzip and tabix
take it). Both copies of a pair carry the same
repeat_pair=KIND-LENGTH-R-P attribute (R: the repeat's number among those of
its kind and length, P: the pair's number within the repeat) and copy=1 or 2;
their IDs are that value followed by .1 and .2. rpt_type is direct or
inverted, and other for mirror and complementary, whose kind is given in
repeat_kind. rpt_unit_seq is the repeated word. The second copy of an
inverted repeat is on the minus strand. A copy across the origin ends beyond
the sequence's length. The seqid is the sequence's own (see --seqid). For
GenBank input each copy also carries
overlaps=NAME,NAME (the annotated features it overlaps) or overlaps=intergenic.
With --approximate both copies of a pair share repeat_pair=KIND-N (N: the
pair's number among those of its kind), with mismatches, identity and evalue
in place of rpt_unit_seq.
With --ssr: one "microsatellite" line (SO:0000289) on + per microsatellite, ID
ssr-K (its place in the table), Name=(UNIT)REPEATS, rpt_type=tandem,
rpt_unit_seq, repeats, motif_class and, in a compound, compound=C.

BED output: one BED6 line per copy of each pair, sorted by seqid and start,
with no track or header line: the seqid (as in GFF3), the 0-based start and
the exclusive end, the pair's name KIND-LENGTH-R-P as in GFF3, score 0 and
the strand, + but for the second copy of an inverted repeat, which is on -.
A copy across the origin is two lines of the same name inside the sequence:
from its start to the sequence's end, and from 0 on. With --approximate the
name is KIND-N as in GFF3 and the score 10 x identity, rounded. With --ssr
one line per microsatellite, named (UNIT)REPEATS, on +.

BEDPE output: one line per pair, sorted by seqid and the first copy's start:
seqid, start and end of the first copy, seqid, start and end of the second
(0-based, ends exclusive, beyond the sequence's length for a copy across the
origin), the name KIND-LENGTH-R-P, score 0, + and the second copy's strand;
with --approximate the name and score as in BED.

The listing and pairs reports are written while the pairs are made, so they
hold no list of pairs; gff, bed and bedpe sort their lines, past 64 MiB in
temporary files (TMPDIR). A word of more than 256 letters (found only by
--complete) is written as its first 40 letters and "…"; its length and
positions stay exact. A search that would have to hold more than
134217728 pairs stops with "Too many repeat pairs": choose a higher minimum
or a lower maximum.

Exit status: 0 on success, 1 when a file is missing, unreadable, a folder,
empty, holds no base, is not text (or damaged gzip data) or not in the format
asked for, a chosen record is not in it
or not the only one of its name, memory runs out or there are too many pairs
(the message names the cause), 2 for a command line error.
)";
constexpr std::array kOptions{
    OptionRow{.name = "--text",
              .value = "FILE",
              .completion = ValueCompletion::File,
              .help = R"(  --text FILE         the same as FILE
)",
              .apply = [](OptionParser& p, std::string_view name, std::string_view value) { p.fileValue(name, value); }},
    OptionRow{.name = "--genbank",
              .value = "FILE",
              .completion = ValueCompletion::File,
              .help = R"(  --genbank FILE      FILE must be GenBank; anything else is an error
)",
              .apply = [](OptionParser& p, std::string_view name, std::string_view value) { p.fileValue(name, value); }},
    OptionRow{.name = "--record",
              .value = "N|NAME",
              .help = R"(  --record N|NAME     the one record to read from a file of several (GenBank
                      and EMBL records end at "//", FASTA records begin at
                      '>'): its number from 1, or its LOCUS or ID name,
                      accession or FASTA id (a name that several records
                      carry is an error that lists them); without it every
                      record is reported, but --map and --chart draw the
                      first, with a note on standard error
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.recordValue(value); }},
    OptionRow{.name = "--seqid",
              .value = "NAME",
              .help = R"(  --seqid NAME        the sequence's id in every output (GFF3, BED, the
                      seqid columns) instead of its own: ACCESSION.VERSION
                      of GenBank (the LOCUS name when there is none) and
                      likewise of EMBL, the FASTA id, the file's name for
                      plain text (standard input: "sequence"), "random" for
                      --random; for one record only
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.seqidValue(value); }},
    OptionRow{.name = "--random",
              .value = "A,T,C,G",
              .help = R"(  --random A,T,C,G    a random sequence with exactly these numbers of A, T, C
                      and G: four non-negative integers separated by commas,
                      adding up to at most 2147483647
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.randomValue(value); }},
    OptionRow{.name = "--seed",
              .value = "N",
              .help = R"(  --seed N            seed of --random, 0 to 4294967295; without it the time
                      in seconds is used; with --controls, the first control's
                      seed
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.seedValue(value); }},
    OptionRow{.name = "--compare",
              .help = R"(  --compare FILE...   compare GenBank files by the pairs of one kind of repeat
                      at each length: one row per record of every file
                      (FILE:NAME when a file holds several), one column per
                      length
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view) { p.setReport(ReportKind::Compare, "--compare"); }},
    OptionRow{.name = "--batch",
              .help = R"(  --batch FILE...     analyse every file (GenBank or text) and write one tidy
                      table, one row per genome (every record of every
                      file, "record" its number in the file), kind and
                      repeat length: file, record, accession (the seqid),
                      title (the whole SOURCE of GenBank, the FASTA header
                      after the id), length, kind, repeat_length, pairs
                      (and with --controls control_mean, control_sd, z); the
                      files run in parallel (see -j) and come out in the order
                      given; a file that fails is reported on standard error
                      and the others go on (exit status 1 at the end)
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view) { p.setReport(ReportKind::Batch, "--batch"); }},
    OptionRow{.name = "--method",
              .value = "NAME",
              .completion = ValueCompletion::Choices,
              .choices = methodNames,
              .heading = "\nOptions:\n",
              .help = R"(  --method NAME       the search method: trie (the default: every repeated
                      word of --min to --max letters), complete (the same as
                      --complete) or approximate (as --approximate)
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.methodValue(value); }},
    OptionRow{.name = "--complete",
              .help = R"(  --complete          the complete search: every maximal repeat of each kind at
                      its full length, however long (--max does not cut it),
                      copies found wherever they are, overlapping or not;
                      for every report and --compare
)",
              .apply = [](OptionParser& p, std::string_view name, std::string_view) { p.setMethod(SearchMethod::Complete, name); }},
    OptionRow{.name = "--approximate",
              .help = R"(  --approximate       the approximate search: pairs of copies of each kind that
                      agree at most letters, as the maximal scoring segments
                      of the circular sequence (+1 per equal letter pair, -X
                      per mismatch, no gaps), with E-values, for the summary
                      (pairs per kind and length class: 30-39, 40-49, 50-59,
                      60-99, 100-999, 1000 and more), --report pairs (kind,
                      length, mismatches, first, second: 1-based starts of
                      the two copies; identity, evalue, and for GenBank input
                      first_features and second_features), gff, bed, bedpe,
                      --tidy, --compare, --batch and --controls (length
                      classes in place of lengths). With it:
    --min L           the shortest pair, from 1 (default 30)
)",
              .apply = [](OptionParser& p, std::string_view name, std::string_view) { p.setMethod(SearchMethod::Approximate, name); }},
    OptionRow{.name = "--gaps",
              .help = R"(    --gaps            pairs may hold insertions and deletions: local
                      alignments of the two copies (+1 per equal letter, -X
                      per mismatch, O + k E per run of k letters facing
                      none), each copy at its own length; the shorter copy
                      counts for --min, mismatches and gap letters for
                      --max-mismatches, equal columns / columns is the
                      identity. --report pairs adds second_length,
                      insertions, deletions and cigar (the second copy
                      against the first: runs of = X I D); also for the
                      summary, gff, bed, bedpe, --batch, --compare and
                      --report families. With --report paper (and no
                      --approximate) the section's long repeats are gapped;
                      with --report html the page adds the gapped pairs
                      from 30 bp and their families
)",
              .apply = [](OptionParser& p, std::string_view name, std::string_view) { p.gapsValue(name); }},
    OptionRow{.name = "--gap-open",
              .value = "O",
              .help = R"(    --gap-open O      with --gaps, a run of gap letters costs O more (default 5)
)",
              .apply = [](OptionParser& p, std::string_view name, std::string_view value) { p.gapCostValue(name, value); }},
    OptionRow{.name = "--gap-extend",
              .value = "E",
              .help = R"(    --gap-extend E    with --gaps, each gap letter costs E (default 2)
)",
              .apply = [](OptionParser& p, std::string_view name, std::string_view value) { p.gapCostValue(name, value); }},
    OptionRow{.name = "--families",
              .help = R"(    --families        with --gaps, the same as --report families: copies that
                      cover >= 90 % of each other are one; pairs link
                      copies into families (single linkage): one row per
                      copy, family, copies, representative, min_length,
                      max_length, kinds, copy (start..end) and strand (+,
                      -, reverse, complement against the representative).
                      With --report paper (gaps or not), the section counts
                      the families by length and number of copies
)",
              .apply = [](OptionParser& p, std::string_view name, std::string_view) { p.setReport(ReportKind::Families, name); }},
    OptionRow{.name = "--mismatch-penalty",
              .value = "X",
              .help = R"(    --mismatch-penalty X
                      a mismatch scores -X, 1 to 1000 (default 2)
)",
              .apply = [](OptionParser& p, std::string_view name, std::string_view value) { p.approximateValue(name, value, mismatchPenaltyValue); }},
    OptionRow{.name = "--identity",
              .value = "P",
              .help = R"(    --identity P      the least identity 100 (L - m) / L of a pair of length
                      L with m mismatches, 0 to 100 (default 90)
)",
              .apply = [](OptionParser& p, std::string_view name, std::string_view value) { p.approximateValue(name, value, identityValue); }},
    OptionRow{.name = "--max-mismatches",
              .value = "K",
              .help = R"(    --max-mismatches K  at most K mismatches per pair (default no limit)
)",
              .apply = [](OptionParser& p, std::string_view name, std::string_view value) { p.approximateValue(name, value, maxMismatchesValue); }},
    OptionRow{.name = "--evalue",
              .value = "E",
              .help = R"(    --evalue E        at most this E-value, above 0 (default no limit): the
                      expected number of pairs scoring as well in a random
                      sequence of the same length and composition. With the
                      filters off (--min 1 --identity 0 --evalue 10) a
                      genome of millions of bases is searched from seeds of
                      a practical length, not exhaustively: a note on
                      standard error says so
)",
              .apply = [](OptionParser& p, std::string_view name, std::string_view value) { p.approximateValue(name, value, evalueValue); }},
    OptionRow{.name = "--controls",
              .value = "R",
              .help = R"(  --controls R        compare the counts with R random sequences of exactly
                      the genome's composition (seeds S, S+1, ..., S from
                      --seed, default 1; after the seed of --random when the
                      genome is random), analysed with the same settings: the
                      summary becomes a table of kind, repeat_length, pairs,
                      control_mean, control_sd (sample standard deviation)
                      and z = (pairs - mean) / sd, empty when sd is 0 (with
                      --tidy or several records, seqid first)
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.controlsValue(value); }},
    OptionRow{.name = "--jobs",
              .shortName = "-j",
              .value = "N",
              .help = R"(  -j N, --jobs N      threads for --batch and --controls (default the CPUs
                      this process may run on)
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.jobsValue(value); }},
    OptionRow{.name = "--min",
              .value = "N",
              .help = R"(  --min N             shortest repeat length, 3 to 256 (default 8)
)",
              .apply = [](OptionParser& p, std::string_view name, std::string_view value) { p.lengthValue(name, value); }},
    OptionRow{.name = "--max",
              .value = "N",
              .help = R"(  --max N             longest repeat length, 3 to 256 (default 30); a minimum
                      above the maximum is lowered to it. With --random a
                      maximum equal to the minimum becomes the minimum + 1
)",
              .apply = [](OptionParser& p, std::string_view name, std::string_view value) { p.lengthValue(name, value); }},
    OptionRow{.name = "--report",
              .value = "KIND",
              .completion = ValueCompletion::Choices,
              .choices = reportNames,
              .help = R"(  --report KIND       what to write to standard output (default summary):
                        summary  per kind, the pairs found at each length
                                 ("8 bp" and the count), kinds apart by an
                                 empty row, as the report sheet shows it
                        listing  every repeat of the --kind, longest words
                                 first: a "N bp sequences" row per length,
                                 then per repeat its word and the positions
                                 of its pairs (and, but for direct repeats,
                                 the text at the second position)
                        pairs    every pair as a row: kind, length, word,
                                 first and second position; for GenBank
                                 input also first_features and
                                 second_features, the annotated features
                                 each copy overlaps ("tRNA-Leu / ND5") or
                                 "intergenic"
                        info     the title, the number of bases and the
                                 counts of A, T, C and G
                        gff      the repeats as GFF3 (see below)
                        bed      the repeats as BED6 (see below)
                        bedpe    the pairs as BEDPE (see below)
                        ssr      the microsatellites (implies --ssr):
                                 start, unit_length, unit, repeats, length,
                                 class (the least rotation of the unit or
                                 of its reverse complement, with the other
                                 strand's after a slash: AG/CT), compound
                                 (its number, or "-" in none) and end (past
                                 the length for one across the origin); for
                                 GenBank input also features, those it
                                 overlaps or "intergenic"
                        paper    the repeat section of a genome paper: the
                                 long repeats of the four kinds by length
                                 class (30-39, 40-49, 50-59, 60-99, 100-999,
                                 >=1000 bp; pairs of copies from the
                                 approximate search at its defaults, 30 bp
                                 or more at 90 % identity, whatever --min
                                 and --max),
                                 the microsatellites by unit length and by
                                 class, and the compounds, and the tandem
                                 arrays (at the --tandem settings) by
                                 period class and copy number (<3, 3-5,
                                 5-10, >=10); with --chart OUT also its
                                 figure
                        tandem   the tandem arrays (implies --tandem):
                                 start, end (past the length for one
                                 across the origin), period, copies (one
                                 decimal), consensus, class (as for ssr),
                                 percent_matches, percent_indels (of the
                                 alignment's columns), score and alignment
                                 (a compact CIGAR per copy against the
                                 consensus: = match, X mismatch, I letter
                                 inserted, D consensus letter missing;
                                 copies separated by commas)
                        html     one self-contained HTML page of the first
                                 record, readable offline: the map, the dot
                                 plot, the paper section and linked tables
                                 (exact pairs from 30 bp, approximate
                                 pairs at the defaults from 30 bp, with
                                 --gaps the gapped pairs and their
                                 families, microsatellites, tandem arrays
                                 at the
                                 --tandem settings, the plastome's four
                                 parts and junctions when it has them,
                                 features)
                        families the families of repeated copies (with
                                 --approximate --gaps, see --families)
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.reportValue(value); }},
    OptionRow{.name = "--ssr",
              .help = R"(  --ssr               the microsatellites (simple sequence repeats) instead
                      of the repeats: runs of a unit of 1 to 6 letters at
                      least as many times as --ssr-min asks, round the
                      circle, found without an index; for the summary (the
                      counts per unit length and per class, with those in
                      compounds), --report ssr, gff and bed, --batch (one
                      tidy table: file, record, title, length, unit_length,
                      class, microsatellites, in_compounds, compounds) and
                      --compare (one row per genome: the counts per unit
                      length, total, in_compounds, compounds and per class)
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view) { p.options().ssr = true; }},
    OptionRow{.name = "--ssr-min",
              .value = "N1,N2,N3,N4,N5,N6",
              .help = R"(  --ssr-min N1,N2,N3,N4,N5,N6
                      the least repeat numbers of units of 1 to 6 letters:
                      six integers from 2 to 1000000 (default 10,6,5,5,5,5)
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.ssrMinValue(value); }},
    OptionRow{.name = "--ssr-compound",
              .value = "D",
              .help = R"(  --ssr-compound D    microsatellites at most D letters apart (from one's
                      end to the next one's start) form a compound: an
                      integer from 0 to 1000000 (default 100)
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.ssrCompoundValue(value); }},
    OptionRow{.name = "--plastome",
              .help = R"(  --plastome          the plastome's four parts instead of the repeats: the
                      longest inverted-repeat pair (copies may differ by
                      mismatches and indels, and differ in length) and the
                      single-copy regions between them, named LSC, IRb,
                      SSC, IRa in that order round the circle (the longer
                      single-copy region is the LSC). Four tables, apart by
                      an empty row: part, start, end, length, gc (percent);
                      the junctions JLB, JSB, JSA, JLA ("a^b") with the gene
                      across each (its bases on either side) or the nearest
                      gene on each side and its distance; the differences
                      between the copies (read along IRb); the check of a
                      GenBank record's own IR and junction annotation
                      (agrees, differs by N bases, missing). Without an
                      inverted repeat long enough: "no quadripartite
                      structure" and exit status 0. With --report gff or
                      bed the four parts as GFF3 or BED6; with --batch one
                      row per genome: file, record, accession, length,
                      quadripartite, start, end, length and gc of each
                      part, the junctions, ir_identity, ir_differences
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view) { p.options().plastome = true; }},
    OptionRow{.name = "--plastome-min-ir",
              .value = "N",
              .help = R"(  --plastome-min-ir N the shortest inverted-repeat copy of a quadripartite
                      structure, in bases (default 1000)
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.plastomeMinIrValue(value); }},
    OptionRow{.name = "--plastome-min-ir-share",
              .value = "P",
              .help = R"(  --plastome-min-ir-share P
                      nor copies shorter than P percent of the genome, 0 to
                      50 (default 1: a bacterium's inverted rRNA operons
                      are no plastome's inverted repeat)
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.plastomeMinIrShareValue(value); }},
    OptionRow{.name = "--normalize",
              .value = "FORMAT",
              .completion = ValueCompletion::Choices,
              .choices = normalizedFormatNames,
              .help = R"(  --normalize FORMAT  write the plastome in its standard form to standard
                      output, as fasta or genbank (GenBank input only: the
                      record's header and every feature with its location
                      moved; a feature whose location cannot be read is
                      left out, with a note on standard error). The
                      standard form is the tobacco plastome's layout
                      (Shinozaki et al. 1986): it begins with the first base
                      of the LSC after JLA and reads LSC, IRb, SSC, IRa, on
                      the strand where psbA (else trnH-GUG) lies on the
                      minus strand in the LSC (else rbcL on the plus
                      strand), with the SSC turned so that ndhF lies at its
                      IRb end (else ycf1 at its IRa end). Without those
                      annotated genes (FASTA, text) the bases decide: the
                      strand on which the LSC reads alphabetically lower
                      than its reverse complement, and the SSC on its own
                      lower strand likewise. A note on standard error says
                      which rule set each. Every rotation, the reverse
                      complement and both flip-flop isomers of one plastome
                      give the same bytes. A genome without a quadripartite
                      structure is an error (exit status 1)
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.normalizeValue(value); }},
    OptionRow{.name = "--junctions",
              .help = R"(  --junctions         with --compare and --chart OUT: the plastomes' junction
                      figure instead of the chart, one row per record of
                      every file (named by its organism, else its id) with
                      its four parts to scale near the junctions JLB, JSB,
                      JSA and JLA, the junction lines, and the genes across
                      or beside each junction as boxes (forward strand
                      above, reverse below) with their bases to it; names
                      that find no room are left out, none overlaps. OUT
                      is SVG, PDF or PNG by its name, as for --map
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view) { p.options().junctions = true; }},
    OptionRow{.name = "--ssr-imperfect",
              .help = R"(  --ssr-imperfect     with --report ssr: the interrupted microsatellites,
                      perfect runs joined across at most one mismatch or
                      1-letter indel per 10 letters, at the same least
                      repeat numbers; the table's columns and then
                      mismatches and indels (compound always "-")
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view) { p.options().ssrImperfect = true; }},
    OptionRow{.name = "--tandem",
              .help = R"(  --tandem            the tandem arrays instead of the repeats: approximate
                      copies of a unit (the consensus) of 1 to 2000 letters
                      one after another, with mismatches and indels, round
                      the circle (an array across the origin is reported
                      once, whole), found from pairs of equal words and
                      aligned copy by copy to the consensus. Each copy's
                      letter scores +2 when it equals the consensus, -7 when
                      it differs, -7 per letter inserted or missing; an array
                      needs a score of 50 and 1.8 copies. Where arrays of
                      related periods (one about a multiple of the other)
                      cover the same stretch, the one of best score is kept.
                      For the summary (arrays, bp and mean copies per
                      period class: 1-6, 7-10, 11-20, 21-50, 51-100, >100),
                      --report tandem, gff (one tandem_repeat line,
                      SO:0000705, per array, with period, copies and
                      consensus) and bed (one line per array named
                      tandem:PERIODxCOPIES, two for one across the origin)
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view) { p.options().tandem = true; }},
    OptionRow{.name = "--tandem-max-period",
              .value = "N",
              .help = R"(    --tandem-max-period N
                      the longest period, 1 to 10000 (default 2000)
)",
              .apply = [](OptionParser& p, std::string_view name, std::string_view value) { p.tandemValue(name, value); }},
    OptionRow{.name = "--tandem-all",
              .help = R"(    --tandem-all      keep the arrays of every period where several cover a
                      stretch (those of one period are still merged)
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view) { p.tandemAll(); }},
    OptionRow{.name = "--tandem-match",
              .value = "W",
              .help = R"(    --tandem-match W  the score of a letter equal to the consensus, 1 to 100
                      (default 2)
)",
              .apply = [](OptionParser& p, std::string_view name, std::string_view value) { p.tandemValue(name, value); }},
    OptionRow{.name = "--tandem-mismatch",
              .value = "W",
              .help = R"(    --tandem-mismatch W
                      a letter that differs scores -W, 1 to 100 (default 7)
)",
              .apply = [](OptionParser& p, std::string_view name, std::string_view value) { p.tandemValue(name, value); }},
    OptionRow{.name = "--tandem-indel",
              .value = "W",
              .help = R"(    --tandem-indel W  a letter inserted or missing scores -W, 1 to 100
                      (default 7)
)",
              .apply = [](OptionParser& p, std::string_view name, std::string_view value) { p.tandemValue(name, value); }},
    OptionRow{.name = "--tandem-min-score",
              .value = "S",
              .help = R"(    --tandem-min-score S
                      the least score of an array, from 1 (default 50)
)",
              .apply = [](OptionParser& p, std::string_view name, std::string_view value) { p.tandemValue(name, value); }},
    OptionRow{.name = "--mask",
              .value = "MODE",
              .completion = ValueCompletion::Choices,
              .choices = maskModeNames,
              .help = R"(  --mask MODE         write the genome as FASTA (60 letters a line, the title
                      after '>') with the stretches of --mask-classes masked:
                      soft writes them in lower case (upper case gives the
                      input back), hard as N; one record per record read
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.maskValue(value); }},
    OptionRow{.name = "--mask-classes",
              .value = "LIST",
              .help = R"(    --mask-classes LIST
                      what --mask masks, one or more of (default all three,
                      separated by commas): ssr (the microsatellites at
                      --ssr-min), tandem (the tandem arrays at the --tandem
                      settings), repeats (both copies of every long repeat
                      pair of the four kinds: the approximate search at its
                      defaults, 30 bp or more at 90 % identity, as the paper
                      counts them); the masked stretches are exactly those of
                      --report bed with --ssr, with --tandem and with
                      --approximate
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.maskClassesValue(value); }},
    OptionRow{.name = "--genes",
              .help = R"(  --genes             with --report listing of GenBank input: one more column
                      per pair naming the features of both copies,
                      "FIRST | SECOND" (each as in the pairs report)
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view) { p.options().genes = true; }},
    OptionRow{.name = "--kind",
              .value = "KIND",
              .completion = ValueCompletion::Choices,
              .choices = kindNames,
              .help = R"(  --kind KIND         direct, inverted, mirror or complementary: the kind of
                      --report listing and --compare (default direct)
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.kindValue(value); }},
    OptionRow{.name = "--features",
              .help = R"(  --features          the annotated features of a GenBank file, "sequence"
                      first: name, start, end (1-based, as the file writes
                      them) and colour (#RRGGBB, the map's colour of its kind
                      and strand)
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view) { p.setReport(ReportKind::Features, "--features"); }},
    OptionRow{.name = "--motif",
              .value = "WORD",
              .help = R"(  --motif WORD        where WORD (A, T, C and G, either case) occurs: the
                      1-based starts in the index's order (by the letters
                      that follow), then their number
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.motifValue(value); }},
    OptionRow{.name = "--tidy",
              .help = R"(  --tidy              one table with one header row and a seqid column,
                      whatever the number of records: the summary as seqid,
                      kind, repeat_length, pairs (every length from the
                      minimum to the maximum, zeros included); --motif as
                      seqid, motif, start (ascending); --report pairs and
                      ssr with seqid first; --compare as seqid, genome, kind,
                      repeat_length, pairs (with --complete a row with an
                      empty repeat_length counts the pairs longer than the
                      maximum); --batch with seqid in place of accession
                      (the file's name for plain text). With --ssr: the
                      summary as seqid, unit_length, class, microsatellites,
                      in_compounds, compounds; --compare as seqid, genome
                      and the same columns; --batch with seqid after record
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view) { p.options().tidy = true; }},
    OptionRow{.name = "--csv",
              .help = R"(  --csv               comma-separated tables instead of tab-separated ones
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view) { p.options().csv = true; }},
    OptionRow{.name = "--map",
              .value = "OUT",
              .completion = ValueCompletion::File,
              .help = R"(  --map OUT           draw the circular map into OUT: an SVG drawing when its
                      name ends in .svg, a PDF document when in .pdf, a PNG
                      image otherwise, of the size --map-size gives (600 x
                      460 without it); nothing is written to standard output. A
                      GenBank file's features are drawn as arcs with their
                      names; a FASTA, text or random genome is a plain ring
                      with its scale. A file OUT is replaced once the new one
                      is complete; a FIFO or a device (/dev/stdout) is written
                      into, never replaced; a link is followed to its target
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.mapValue(value); }},
    OptionRow{.name = "--map-style",
              .value = "STYLE",
              .completion = ValueCompletion::Choices,
              .choices = mapStyleNames,
              .help = R"(  --map-style STYLE   with --map, one of:
                        default    as the desktop first shows the map: names
                                   staggered, or set apart beside the circle
                                   for more than 100 features
                        staggered  every second name pushed outward
                        tidy       names in a column on either side, joined
                                   to their arcs, left out where they find no
                                   room
                        paper      on white, for a paper: each stretch named
                                   once by its gene, names along the ring, a
                                   scale in kb, GC content and GC skew rings,
                                   the name and length in the middle, a
                                   legend of every colour used
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.mapStyleValue(value); }},
    OptionRow{.name = "--map-size",
              .value = "WxH",
              .help = R"(  --map-size WxH      with --map, the picture's width and height in pixels
                      (of 1/96 inch for PDF), 50 to 6000 each; the map keeps
                      its shape and fits, the room left over goes to the
                      names. Without it the map's own size: 600 x 460, or for
                      a paper a square that holds the names
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.mapSizeValue(value); }},
    OptionRow{.name = "--map-hide",
              .value = "LAYERS",
              .help = R"(  --map-hide LAYERS   with --map, leave out the layers named, comma-separated:
                      genes, exact (the --repeat marked), approximate,
                      direct, inverted, mirror, complementary (repeats of
                      that kind), microsatellites, tandem (the tandem
                      arrays), gc (the paper's GC rings), legend, plastome
                      (the paper's ring of a plastome's four parts, LSC,
                      IRb, SSC and IRa, with their lengths)
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.mapHideValue(value); }},
    OptionRow{.name = "--chart",
              .value = "OUT",
              .completion = ValueCompletion::File,
              .help = R"(  --chart OUT         draw the pairs per length of each kind into OUT, an SVG
                      drawing when its name ends in .svg, a 900 x 560 PNG
                      image otherwise; with --controls, the genome's pairs
                      beside the controls' mean and a band of two standard
                      deviations. Nothing is written to standard output;
                      OUT is written as for --map. With --report paper, the
                      section's bar charts (long repeats per kind and
                      length class, microsatellites per class, and with
                      --tandem tandem arrays per period class) side by
                      side, 600 x 520 each as PNG (wider when their labels
                      and legends need it), and the section still written
                      to standard output
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.chartValue(value); }},
    OptionRow{.name = "--force",
              .help = R"(  --force             replace a --map or --chart file OUT that its mode
                      forbids writing (as cp -f does); without it such a
                      file is refused and left as it was
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view) { p.options().force = true; }},
    OptionRow{.name = "--repeat",
              .value = "KIND,LENGTH,INDEX",
              .help = R"(  --repeat KIND,LENGTH,INDEX
                      with --map: mark the INDEX-th (from 1) repeat of that
                      KIND and LENGTH, in the order the results list them
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view value) { p.repeatValue(value); }},
    OptionRow{.name = "--quiet",
              .shortName = "-q",
              .help = R"(  -q, --quiet         no progress line (otherwise shown on standard error for
                      long work when it is a terminal)
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view) { p.options().quiet = true; }},
    OptionRow{.name = "--help",
              .help = R"(  --help              show this text and exit
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view) { p.options().help = true; }},
    OptionRow{.name = "--version",
              .help = R"(  --version           show the program's version and exit
)",
              .apply = [](OptionParser& p, std::string_view, std::string_view) { p.options().version = true; }},
};

}  // namespace

void OptionParser::option(std::string_view argument)
{
    std::string_view name = argument;
    std::optional<std::string_view> attached;
    if (const std::size_t equals = argument.find('=');
        argument.starts_with("--") && equals != argument.npos) {
        name = argument.substr(0, equals);
        attached = argument.substr(equals + 1);
    }
    const auto row = std::find_if(kOptions.begin(), kOptions.end(), [&](const OptionRow& candidate) {
        return candidate.name == name || (!candidate.shortName.empty() && candidate.shortName == name);
    });
    if (row == kOptions.end()) {
        fail("unknown option " + quote(argument));
        return;
    }
    name = row->name;
    if (row->value.empty()) {
        if (attached) {
            fail("option " + quote(name) + " takes no value");
            return;
        }
        row->apply(*this, name, {});
        return;
    }
    if (!attached && next_ == arguments_.size()) {
        fail("option " + quote(name) + " needs a value");
        return;
    }
    row->apply(*this, name, attached ? *attached : arguments_[next_++]);
}

std::span<const OptionRow> optionTable()
{
    return kOptions;
}

std::variant<Options, UsageError> parseOptions(std::span<const std::string_view> arguments)
{
    return OptionParser(arguments).run();
}

std::string_view usageText()
{
    static const std::string text = [] {
        std::string made(kUsageStart);
        for (const OptionRow& row : kOptions) {
            made += row.heading;
            made += row.help;
        }
        made += kUsageEnd;
        return made;
    }();
    return text;
}

std::string bashCompletion()
{
    // Options joined by `separator`, a line broken before one that would pass column 100.
    const auto joined = [](const std::vector<std::string_view>& words, std::string_view separator,
                           std::string_view lineBreak, std::size_t column) {
        std::string text;
        for (const std::string_view word : words) {
            if (!text.empty()) {
                if (column + separator.size() + word.size() > 100) {
                    text += lineBreak;
                    column = lineBreak.size() - lineBreak.rfind('\n') - 1;
                } else {
                    text += separator;
                    column += separator.size();
                }
            }
            text += word;
            column += word.size();
        }
        return text;
    };
    const auto namesOf = [](ValueCompletion completion) {
        std::vector<std::string_view> names;
        for (const OptionRow& row : kOptions) {
            if (!row.value.empty() && row.completion == completion) {
                if (!row.shortName.empty()) {
                    names.push_back(row.shortName);
                }
                names.push_back(row.name);
            }
        }
        return names;
    };
    const std::string caseBreak = " | \\\n        ";
    std::string script =
        "# Bash completion of tessaron-cli's options, their values and files.\n"
        "# Made from the option table (cli/src/options.cpp) and checked against it by\n"
        "# the tests (optiontabletest.cpp), which write the new script when it differs.\n"
        "_tessaron_cli()\n"
        "{\n"
        "    local current previous\n"
        "    current=\"${COMP_WORDS[COMP_CWORD]}\"\n"
        "    previous=\"${COMP_WORDS[COMP_CWORD - 1]}\"\n"
        "    case \"$previous\" in\n";
    for (const OptionRow& row : kOptions) {
        if (row.completion != ValueCompletion::Choices) {
            continue;
        }
        script += "        " + std::string(row.name) + ")\n";
        script += "            mapfile -t COMPREPLY < <(compgen -W \"" + joined(row.choices(), " ", " ", 0) +
                  "\" -- \"$current\")\n";
        script += "            return\n            ;;\n";
    }
    script += "        " + joined(namesOf(ValueCompletion::Free), " | ", caseBreak, 8) + ")\n";
    script += "            return\n            ;;\n";
    script += "        " + joined(namesOf(ValueCompletion::File), " | ", caseBreak, 8) + ")\n";
    script += "            mapfile -t COMPREPLY < <(compgen -f -- \"$current\")\n";
    script += "            return\n            ;;\n";
    script += "    esac\n";
    std::vector<std::string_view> every;
    for (const OptionRow& row : kOptions) {
        if (!row.shortName.empty()) {
            every.push_back(row.shortName);
        }
        every.push_back(row.name);
    }
    const std::string_view start = "        mapfile -t COMPREPLY < <(compgen -W \"";
    script += "    if [[ \"$current\" == -* ]]; then\n";
    script +=
        std::string(start) + joined(every, " ", "\n            ", start.size()) + "\" -- \"$current\")\n";
    script += "        return\n    fi\n";
    script += "    mapfile -t COMPREPLY < <(compgen -f -- \"$current\")\n";
    script += "}\n";
    script += "complete -o filenames -F _tessaron_cli tessaron-cli\n";
    return script;
}

std::string versionText()
{
    return "tessaron-cli " TESSARON_VERSION
           "\n"
           "Copyright (c) The Tessaron developers. MIT License: this is free software,\n"
           "free to change and share; there is NO WARRANTY.\n";
}

}  // namespace tessaron
