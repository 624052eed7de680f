#include "compare/repeatsection.h"

#include "engine/searchmethod.h"

#include <memory>
#include <new>

namespace tessaron {

namespace {

constexpr std::int64_t kShortestLongRepeat = kLengthClassStarts.front();

// The share of the progress the long repeats take; the microsatellites, one
// pass over the sequence per unit length, take the rest.
constexpr double kLongRepeatShare = 0.95;

// The genome again with the length settings of the section, sharing nothing.
std::shared_ptr<const Genome> withSectionLengths(const Genome& genome)
{
    auto copy = std::make_shared<Genome>();
    copy->setTitle(genome.title());
    const auto minimum = static_cast<int>(kShortestLongRepeat);
    if (!copy->allocate(genome.length(), minimum, minimum + 1)) {
        throw std::bad_alloc();
    }
    copy->appendText(genome.c_str());
    copy->setLengthBounds(minimum, minimum + 1);
    return copy;
}

// The long repeats per kind and length class. The complete search finds every
// maximal pair of exact copies at its full length; the approximate search,
// which papers prefer since it also finds copies that differ at a few
// letters, takes this place once it is built: its pairs counted by their
// class, its name and settings (identity, mismatch penalty) said instead.
std::variant<LongRepeatSearch, SearchFailure> countLongRepeats(const Genome& genome, RepeatSection& section,
                                                               const SearchControl& control)
{
    const LongRepeatSearch described{
        "complete search",
        "exact copies; every maximal pair of " + std::to_string(kShortestLongRepeat) + " bp or more"};
    if (genome.length() == 0) {
        return described;
    }
    auto prepared =
        prepareSearch(withSectionLengths(genome), SearchMethod::Complete, kKindOrder, control.part(0.0, 0.5));
    if (const auto* failure = std::get_if<SearchFailure>(&prepared)) {
        return *failure;
    }
    const PreparedSearch& search = std::get<PreparedSearch>(prepared);
    double done = 0.5;
    const double share = 0.5 / static_cast<double>(kKindOrder.size());
    for (const RepeatKind kind : kKindOrder) {
        SnapshotResult found = search.run(kind, SnapshotDetail::Counts, control.part(done, share));
        if (const auto* failure = std::get_if<SearchFailure>(&found)) {
            return *failure;
        }
        const auto& snapshot = *std::get<std::shared_ptr<const RepeatSnapshot>>(found);
        auto& counts = section.pairs[static_cast<std::size_t>(kind)];
        for (int slot = 0; slot < snapshot.slotCount(); ++slot) {
            if (const auto lengthClass = lengthClassOf(snapshot.minLength() + slot)) {
                counts[*lengthClass] += snapshot.pairCount(slot);
            }
        }
        done += share;
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
                                         const SearchControl& control)
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
    MicrosatelliteResult found =
        findMicrosatellites(genome, settings, control.part(kLongRepeatShare, 1.0 - kLongRepeatShare));
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        return *failure;
    }
    section.microsatellites = std::get<MicrosatelliteList>(std::move(found));
    control.report(1.0);
    return section;
}

}  // namespace tessaron
