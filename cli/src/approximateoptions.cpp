#include "approximateoptions.h"

#include "clifailure.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace tessaron {

namespace {

using cli::singleQuoted;

constexpr int kLongestMinimum = ApproximateSettings::kLongestMinimum;
constexpr int kLargestPenalty = ApproximateSettings::kLargestPenalty;

std::optional<int> wholeNumber(std::string_view text, int low, int high)
{
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

// A finite decimal number ("90", "92.5", "1e-5").
std::optional<double> decimalNumber(std::string_view text)
{
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc{} || stop != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// The report names of the messages.
std::string_view reportOption(ReportKind report)
{
    switch (report) {
        case ReportKind::Listing:
            return "--report listing";
        case ReportKind::Info:
            return "--report info";
        case ReportKind::Features:
            return "--features";
        case ReportKind::Motif:
            return "--motif";
        case ReportKind::Map:
            return "--map";
        case ReportKind::Chart:
            return "--chart";
        case ReportKind::Microsatellites:
            return "--report ssr";
        case ReportKind::Paper:
            return "--report paper";
        case ReportKind::Html:
            return "--report html";
        case ReportKind::Tandem:
            return "--report tandem";
        case ReportKind::Mask:
            return "--mask";
        default:
            return {};
    }
}

// "--identity: '101'", the start of a message.
std::string given(std::string_view name, std::string_view value)
{
    return std::string(name) + ": " + singleQuoted(value);
}

}  // namespace

std::optional<std::string> mismatchPenaltyValue(std::string_view name, std::string_view value,
                                                ApproximateSettings& settings)
{
    const auto penalty = wholeNumber(value, 1, kLargestPenalty);
    if (!penalty) {
        return given(name, value) + " is not an integer from 1 to " + std::to_string(kLargestPenalty);
    }
    settings.mismatchPenalty = *penalty;
    return std::nullopt;
}

std::optional<std::string> identityValue(std::string_view name, std::string_view value,
                                         ApproximateSettings& settings)
{
    const auto identity = decimalNumber(value);
    if (!identity || *identity < 0.0 || *identity > ApproximateSettings::kMostIdentity) {
        return given(name, value) + " is not a percentage from 0 to 100";
    }
    settings.identity = *identity;
    return std::nullopt;
}

std::optional<std::string> maxMismatchesValue(std::string_view name, std::string_view value,
                                              ApproximateSettings& settings)
{
    const auto most = wholeNumber(value, 0, std::numeric_limits<int>::max());
    if (!most) {
        return given(name, value) + " is not an integer from 0";
    }
    settings.maxMismatches = *most;
    return std::nullopt;
}

std::optional<std::string> evalueValue(std::string_view name, std::string_view value,
                                       ApproximateSettings& settings)
{
    const auto evalue = decimalNumber(value);
    if (!evalue || *evalue <= 0.0) {
        return given(name, value) + " is not a number above 0";
    }
    settings.maxEvalue = *evalue;
    return std::nullopt;
}

std::optional<std::string> finishApproximateOptions(Options& options,
                                                    const std::optional<std::string>& minText, bool maxGiven)
{
    if (const std::string_view report = reportOption(options.report); !report.empty()) {
        return "--approximate does not apply to " + std::string(report);
    }
    if (maxGiven) {
        return "--max does not apply to --approximate, whose pairs have no longest length";
    }
    if (minText) {
        const auto minimum = wholeNumber(*minText, 1, kLongestMinimum);
        if (!minimum) {
            return "--min: " + singleQuoted(*minText) +
                   " is not an integer from 1 (the approximate search's " + "shortest pair)";
        }
        options.approximate.minLength = *minimum;
    }
    return std::nullopt;
}

std::optional<std::string> finishGappedOptions(Options& options, const std::vector<std::string>& gapsGiven)
{
    options.gaps = std::find(gapsGiven.begin(), gapsGiven.end(), "--gaps") != gapsGiven.end();
    if (!options.gaps) {
        return gapsGiven.empty() ? std::nullopt
                                 : std::optional(gapsGiven.front() + " applies only to --gaps");
    }
    if (options.controls) {
        return std::string("--gaps does not apply to --controls");
    }
    GappedSettings& gapped = options.gapped;
    const ApproximateSettings& approximate = options.approximate;
    gapped.minLength = approximate.minLength;
    gapped.mismatchPenalty = approximate.mismatchPenalty;
    gapped.identity = approximate.identity;
    gapped.maxMismatches = approximate.maxMismatches;
    gapped.maxEvalue = approximate.maxEvalue;
    if (std::string problem = validate(gapped); !problem.empty()) {
        return "--gaps: " + problem;
    }
    return std::nullopt;
}

std::optional<std::string> finishPaperGaps(Options& options, const std::vector<std::string>& gapsGiven)
{
    options.gaps = std::find(gapsGiven.begin(), gapsGiven.end(), "--gaps") != gapsGiven.end();
    if (!options.gaps) {
        return gapsGiven.front() + " applies only to --gaps";
    }
    if (std::string problem = validate(options.gapped); !problem.empty()) {
        return "--gaps: " + problem;
    }
    return std::nullopt;
}

}  // namespace tessaron
