#include "compare/repeatsection.h"

#include "engine/approximatesearch.h"
#include "engine/gappedsearch.h"
#include "engine/repeatfamilies.h"

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

// "+1 per equal letter, -2 per mismatch": the scores both searches share.
std::string scoresText(int mismatchPenalty)
{
    return "+1 per equal letter, -" + std::to_string(mismatchPenalty) + " per mismatch";
}

// The gapped search at the section's minimum and identity with the gap costs
// asked for: its pairs per kind and length class, and their families.
std::variant<LongRepeatSearch, SearchFailure> countGappedRepeats(const Genome& genome, RepeatSection& section,
                                                                 const SearchControl& control,
                                                                 const LongRepeatOptions& options,
                                                                 ApproximateClassCounts& counts)
{
    const ApproximateSettings ungapped;
    GappedSettings settings;
    settings.gapOpen = options.gapped->gapOpen;
    settings.gapExtend = options.gapped->gapExtend;
    settings.minLength = static_cast<int>(kShortestLongRepeat);
    settings.identity = ungapped.identity;
    settings.mismatchPenalty = ungapped.mismatchPenalty;
    const LongRepeatSearch described{
        "gapped search", "every local alignment of " + std::to_string(settings.minLength) +
                             " bp or more (the shorter copy) at " + percentText(settings.identity) +
                             " % identity or more (" + scoresText(settings.mismatchPenalty) + ", -(" +
                             std::to_string(settings.gapOpen) + " + " + std::to_string(settings.gapExtend) +
                             " k) per gap of k letters)"};
    if (genome.length() == 0) {
        return described;
    }
    GappedSearchResults found = gappedSearch(genome, kKindOrder, settings, control);
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        return *failure;
    }
    const auto& results = std::get<std::vector<GappedResult>>(found);
    counts = gappedClassCounts(results);
    if (options.families) {
        section.families = familyCountTable(repeatFamilies(genome.length(), results), settings.minLength);
    }
    return described;
}

// The long repeats per kind and length class: the approximate search at its
// defaults from 30 bp on, as genome papers report them (copies that differ at
// a few letters count too), its pairs counted by their class; or the gapped
// search, and the families, as `options` asks.
std::variant<LongRepeatSearch, SearchFailure> countLongRepeats(const Genome& genome, RepeatSection& section,
                                                               const SearchControl& control,
                                                               const LongRepeatOptions& options)
{
    if (options.families) {
        section.families.emplace();
    }
    ApproximateClassCounts counts{};
    std::variant<LongRepeatSearch, SearchFailure> outcome;
    if (options.gapped) {
        outcome = countGappedRepeats(genome, section, control, options, counts);
    } else {
        ApproximateSettings settings;
        settings.minLength = static_cast<int>(kShortestLongRepeat);
        outcome = LongRepeatSearch{"approximate search",
                                   "every maximal scoring pair of " + std::to_string(settings.minLength) +
                                       " bp or more at " + percentText(settings.identity) +
                                       " % identity or more (" + scoresText(settings.mismatchPenalty) +
                                       ", no gaps)"};
        if (genome.length() == 0) {
            return outcome;
        }
        if (options.families) {
            // The families need the pairs themselves, not only their counts.
            ApproximateSearchResults found = approximateSearch(genome, kKindOrder, settings, control);
            if (const auto* failure = std::get_if<SearchFailure>(&found)) {
                return *failure;
            }
            const auto& results = std::get<std::vector<ApproximateResult>>(found);
            counts = approximateClassCounts(results);
            section.families = familyCountTable(repeatFamilies(genome.length(), results), settings.minLength);
        } else {
            ApproximateClassCountsResult counted = countApproximateRepeats(genome, settings, control);
            if (const auto* failure = std::get_if<SearchFailure>(&counted)) {
                return *failure;
            }
            counts = std::get<ApproximateClassCounts>(counted);
        }
    }
    static_assert(kApproximateLengthClasses.size() == kLengthClassCount);
    for (std::size_t kind = 0; kind < counts.size(); ++kind) {
        for (std::size_t lengthClass = 0; lengthClass < kLengthClassCount; ++lengthClass) {
            section.pairs[kind][lengthClass] = counts[kind][lengthClass];
        }
    }
    return outcome;
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
                                         const SearchControl& control, const TandemSettings& tandem,
                                         const LongRepeatOptions& longRepeats)
{
    RepeatSection section;
    section.title = genome.title();
    section.length = genome.length();
    section.microsatelliteSettings = settings;
    auto search = runStep(control, [&] {
        return countLongRepeats(genome, section, control.part(0.0, kLongRepeatShare), longRepeats);
    });
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
