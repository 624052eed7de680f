#include "compare/repeatsection.h"

#include "engine/approximatesearch.h"

#include <string>

namespace tessaron {

namespace {

constexpr std::int64_t kShortestLongRepeat = kLengthClassStarts.front();

// The share of the progress the long repeats take; the microsatellites, one
// pass over the sequence per unit length, take the rest.
constexpr double kLongRepeatShare = 0.95;

// A percentage as written in the section: "90", "92.5".
std::string percentText(double value)
{
    std::string text = std::to_string(value);
    text.erase(text.find_last_not_of('0') + 1);
    if (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
    return text;
}

// The long repeats per kind and length class: the approximate search at its
// defaults from 30 bp on, as genome papers report them (copies that differ at
// a few letters count too), its pairs counted by their class.
std::variant<LongRepeatSearch, SearchFailure> countLongRepeats(const Genome& genome, RepeatSection& section,
                                                               const SearchControl& control)
{
    ApproximateSettings settings;
    settings.minLength = static_cast<int>(kShortestLongRepeat);
    const LongRepeatSearch described{
        "approximate search", "every maximal scoring pair of " + std::to_string(settings.minLength) +
                                  " bp or more at " + percentText(settings.identity) +
                                  " % identity or more (+1 per equal letter, -" +
                                  std::to_string(settings.mismatchPenalty) + " per mismatch, no gaps)"};
    if (genome.length() == 0) {
        return described;
    }
    ApproximateClassCountsResult counted = countApproximateRepeats(genome, settings, control);
    if (const auto* failure = std::get_if<SearchFailure>(&counted)) {
        return *failure;
    }
    const ApproximateClassCounts& counts = std::get<ApproximateClassCounts>(counted);
    static_assert(kApproximateLengthClasses.size() == kLengthClassCount);
    for (std::size_t kind = 0; kind < counts.size(); ++kind) {
        for (std::size_t lengthClass = 0; lengthClass < kLengthClassCount; ++lengthClass) {
            section.pairs[kind][lengthClass] = counts[kind][lengthClass];
        }
    }
    return described;
}

}  // namespace

std::optional<std::size_t> lengthClassOf(std::int64_t length)
{
    for (std::size_t k = kLengthClassCount; k-- > 0;) {
        if (length >= kLengthClassStarts[k]) {
            return k;
        }
    }
    return std::nullopt;
}

std::string lengthClassName(std::size_t lengthClass)
{
    if (lengthClass + 1 >= kLengthClassCount) {
        return ">=" + std::to_string(kLengthClassStarts.back());
    }
    return std::to_string(kLengthClassStarts[lengthClass]) + "-" +
           std::to_string(kLengthClassStarts[lengthClass + 1] - 1);
}

RepeatSectionResult analyseRepeatSection(const Genome& genome, const MicrosatelliteSettings& settings,
                                         const SearchControl& control, const TandemSettings& tandem)
{
    RepeatSection section;
    section.title = genome.title();
    section.length = genome.length();
    section.microsatelliteSettings = settings;
    auto search = runStep(
        control, [&] { return countLongRepeats(genome, section, control.part(0.0, kLongRepeatShare)); });
    if (const auto* failure = std::get_if<SearchFailure>(&search)) {
        return *failure;
    }
    section.search = std::get<LongRepeatSearch>(std::move(search));
    const double tandemStart = (1.0 + kLongRepeatShare) / 2.0;
    MicrosatelliteResult found =
        findMicrosatellites(genome, settings, control.part(kLongRepeatShare, tandemStart - kLongRepeatShare));
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        return *failure;
    }
    section.microsatellites = std::get<MicrosatelliteList>(std::move(found));
    section.tandemSettings = tandem;
    TandemRepeatResult arrays =
        findTandemRepeats(genome, tandem, control.part(tandemStart, 1.0 - tandemStart));
    if (const auto* failure = std::get_if<SearchFailure>(&arrays)) {
        return *failure;
    }
    section.tandemRepeats = std::get<TandemRepeatList>(std::move(arrays));
    section.tandemSearched = true;
    control.report(1.0);
    return section;
}

}  // namespace tessaron
