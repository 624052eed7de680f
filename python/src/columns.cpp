#include "columns.h"

#include "compare/longrepeatcounts.h"
#include "engine/repeatfamilies.h"
#include "engine/repeatkinds.h"
#include "engine/repeatsnapshot.h"
#include "report/featureindex.h"
#include "report/gappedreport.h"
#include "report/wordtext.h"

#include <cmath>
#include <limits>
#include <optional>

namespace tessaron::python {

namespace {

// The kinds' names, indexed by RepeatKind.
TextColumn kindColumn()
{
    std::vector<std::string> names;
    for (const KindInfo& info : kKinds) {
        names.emplace_back(info.name);
    }
    return TextColumn(std::move(names));
}

void pushKind(TextColumn& column, RepeatKind kind)
{
    column.push(static_cast<std::int32_t>(kind));
}

// The two feature columns of a genome with features (a GenBank record):
// the names of those each copy overlaps, or "intergenic".
class FeatureColumns {
public:
    FeatureColumns(Table& table, const FeatureList& features, std::int64_t genomeLength,
                   std::string_view what)
    {
        if (!features.empty()) {
            index_.emplace(features, genomeLength);
            first_ = &table.texts("first_" + std::string(what));
            second_ = &table.texts("second_" + std::string(what));
        }
    }

    void add(std::int64_t first, std::int64_t second, std::int64_t length)
    {
        add(first, length, second, length);
    }

    void add(std::int64_t first, std::int64_t firstLength, std::int64_t second, std::int64_t secondLength)
    {
        if (index_) {
            index_->describe(first, static_cast<int>(firstLength), names_);
            first_->pushText(names_);
            index_->describe(second, static_cast<int>(secondLength), names_);
            second_->pushText(names_);
        }
    }

private:
    std::optional<FeatureIndex> index_;
    TextColumn* first_ = nullptr;
    TextColumn* second_ = nullptr;
    std::string names_;
};

// The first half of the progress goes to the index, the rest to the kinds' searches.
constexpr double kPrepareShare = 0.5;

SearchControl kindPart(const SearchControl& control, std::size_t index, std::size_t count)
{
    const double share = (1.0 - kPrepareShare) / static_cast<double>(count);
    return control.part(kPrepareShare + share * static_cast<double>(index), share);
}

}  // namespace

std::int32_t TextColumn::addValue(std::string value)
{
    values_.push_back(std::move(value));
    return static_cast<std::int32_t>(values_.size() - 1);
}

std::int32_t TextColumn::intern(std::string_view text)
{
    const auto [place, added] =
        known_.try_emplace(std::string(text), static_cast<std::int32_t>(values_.size()));
    if (added) {
        values_.emplace_back(text);
    }
    return place->second;
}

std::vector<std::int64_t>& Table::integers(std::string name)
{
    return std::get<std::vector<std::int64_t>>(
        columns.emplace_back(std::move(name), std::vector<std::int64_t>{}).second);
}

std::vector<double>& Table::reals(std::string name)
{
    return std::get<std::vector<double>>(columns.emplace_back(std::move(name), std::vector<double>{}).second);
}

TextColumn& Table::texts(std::string name, TextColumn column)
{
    return std::get<TextColumn>(columns.emplace_back(std::move(name), std::move(column)).second);
}

std::shared_ptr<const Genome> withLengths(const std::shared_ptr<const Genome>& genome, int minimum,
                                          int maximum, std::int64_t pairLimit)
{
    if (genome->minLength() == minimum && genome->maxLength() == maximum &&
        genome->pairLimit() == pairLimit) {
        return genome;
    }
    auto copy = std::make_shared<Genome>();
    copy->setPairLimit(pairLimit);
    copy->setTitle(genome->title());
    if (!copy->allocate(genome->length(), minimum, maximum)) {
        throw std::bad_alloc();
    }
    for (const char letter : genome->sequence()) {
        copy->appendBase(static_cast<unsigned char>(letter));
    }
    copy->setLengthBounds(minimum, maximum);
    return copy;
}

TableResult exactPairs(const std::shared_ptr<const Genome>& genome, const FeatureList& features,
                       SearchMethod method, std::span<const RepeatKind> kinds, const SearchControl& control)
{
    auto prepared = prepareSearch(genome, method, kinds, control.part(0.0, kPrepareShare));
    if (const auto* failure = std::get_if<SearchFailure>(&prepared)) {
        return *failure;
    }
    const PreparedSearch& search = std::get<PreparedSearch>(prepared);
    // Every kind searched first: the table is made only when its pairs are
    // within the genome's pair limit.
    std::vector<std::shared_ptr<const RepeatSnapshot>> snapshots;
    std::int64_t total = 0;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        auto result = search.run(kinds[k], SnapshotDetail::Words, kindPart(control, k, kinds.size()));
        if (const auto* failure = std::get_if<SearchFailure>(&result)) {
            return *failure;
        }
        snapshots.push_back(std::get<std::shared_ptr<const RepeatSnapshot>>(std::move(result)));
        for (const std::int64_t count : snapshots.back()->pairCounts()) {
            total += count;
        }
        if (total > genome->pairLimit()) {
            return SearchFailure::PairLimit;
        }
    }
    Table table;
    TextColumn& kindNames = table.texts("kind", kindColumn());
    auto& lengths = table.integers("length");
    TextColumn& words = table.texts("word");
    auto& firsts = table.integers("first");
    auto& seconds = table.integers("second");
    FeatureColumns named(table, features, genome->length(), "features");
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        const RepeatSnapshot& snapshot = *snapshots[k];
        for (int slot = 0; slot < snapshot.slotCount(); ++slot) {
            const int length = snapshot.minLength() + slot;
            for (const RepeatWord& repeat : snapshot.words(slot)) {
                if (control.stopRequested()) {
                    return SearchFailure::Cancelled;
                }
                // Every first copy of a repeat is the same word: the one at its first pair.
                const std::int32_t word = words.addValue(shownWord(*genome, repeat.first, length));
                snapshot.forEachPairBatch(slot, repeat, [&](std::span<const RepeatPair> batch) {
                    for (const RepeatPair& pair : batch) {
                        pushKind(kindNames, kinds[k]);
                        lengths.push_back(length);
                        words.push(word);
                        firsts.push_back(std::int64_t{pair.first} + 1);
                        seconds.push_back(std::int64_t{pair.second} + 1);
                        named.add(pair.first, pair.second, length);
                    }
                });
            }
        }
    }
    return table;
}

TableResult exactCounts(const std::shared_ptr<const Genome>& genome, SearchMethod method,
                        std::span<const RepeatKind> kinds, const SearchControl& control)
{
    auto prepared = prepareSearch(genome, method, kinds, control.part(0.0, kPrepareShare));
    if (const auto* failure = std::get_if<SearchFailure>(&prepared)) {
        return *failure;
    }
    const PreparedSearch& search = std::get<PreparedSearch>(prepared);
    Table table;
    TextColumn& kindNames = table.texts("kind", kindColumn());
    auto& lengths = table.integers("repeat_length");
    auto& pairs = table.integers("pairs");
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        auto result = search.run(kinds[k], SnapshotDetail::Counts, kindPart(control, k, kinds.size()));
        if (const auto* failure = std::get_if<SearchFailure>(&result)) {
            return *failure;
        }
        const RepeatSnapshot& snapshot = *std::get<std::shared_ptr<const RepeatSnapshot>>(result);
        for (int slot = 0; slot < snapshot.slotCount(); ++slot) {
            pushKind(kindNames, kinds[k]);
            lengths.push_back(snapshot.minLength() + slot);
            pairs.push_back(snapshot.pairCount(slot));
        }
    }
    return table;
}

namespace {

// The approximate results, with a warning for each kind whose seeds may
// have missed pairs.
std::variant<std::vector<ApproximateResult>, SearchFailure> approximate(const Genome& genome,
                                                                        std::span<const RepeatKind> kinds,
                                                                        const ApproximateSettings& settings,
                                                                        const SearchControl& control,
                                                                        Table& table)
{
    auto found = approximateSearch(genome, kinds, settings, control);
    if (const auto* results = std::get_if<std::vector<ApproximateResult>>(&found)) {
        for (const ApproximateResult& result : *results) {
            if (!result.exhaustive) {
                table.warnings.push_back(
                    "the approximate search of " + std::string(kindName(result.kind)) +
                    " repeats started from seeds of " + std::to_string(result.seedLength) +
                    " letters: every pair found is real, but pairs without an exact match that long may be "
                    "missing (raise the minimum length or the identity for a complete answer)");
            }
        }
    }
    return found;
}

// The columns the approximate and the gapped pairs share: kind, length,
// mismatches, first, second, identity, evalue and, for a genome with
// features, first_features and second_features.
class PairColumns {
public:
    PairColumns(Table& table, const FeatureList& features, std::int64_t genomeLength)
        : kinds_(table.texts("kind", kindColumn())),
          lengths_(table.integers("length")),
          mismatches_(table.integers("mismatches")),
          firsts_(table.integers("first")),
          seconds_(table.integers("second")),
          identities_(table.reals("identity")),
          evalues_(table.reals("evalue")),
          named_(table, features, genomeLength, "features")
    {
    }

    template <typename Pair>
    void add(RepeatKind kind, const Pair& pair, std::int64_t secondLength)
    {
        pushKind(kinds_, kind);
        lengths_.push_back(pair.length);
        mismatches_.push_back(pair.mismatches);
        firsts_.push_back(pair.first + 1);
        seconds_.push_back(pair.second + 1);
        identities_.push_back(pair.identity);
        evalues_.push_back(pair.evalue);
        named_.add(pair.first, pair.length, pair.second, secondLength);
    }

private:
    TextColumn& kinds_;
    std::vector<std::int64_t>& lengths_;
    std::vector<std::int64_t>& mismatches_;
    std::vector<std::int64_t>& firsts_;
    std::vector<std::int64_t>& seconds_;
    std::vector<double>& identities_;
    std::vector<double>& evalues_;
    FeatureColumns named_;
};

}  // namespace

TableResult approximatePairs(const Genome& genome, const FeatureList& features,
                             std::span<const RepeatKind> kinds, const ApproximateSettings& settings,
                             const SearchControl& control, std::int64_t pairLimit)
{
    Table table;
    auto found = approximate(genome, kinds, settings, control, table);
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        return *failure;
    }
    std::int64_t total = 0;
    for (const ApproximateResult& result : std::get<std::vector<ApproximateResult>>(found)) {
        total += static_cast<std::int64_t>(result.pairs.size());
    }
    if (total > pairLimit) {
        return SearchFailure::PairLimit;
    }
    PairColumns columns(table, features, genome.length());
    std::size_t rows = 0;
    for (const ApproximateResult& result : std::get<std::vector<ApproximateResult>>(found)) {
        for (const ApproximatePair& pair : result.pairs) {
            if ((++rows & 0xFFFFU) == 0 && control.stopRequested()) {
                return SearchFailure::Cancelled;
            }
            columns.add(result.kind, pair, pair.length);
        }
    }
    return table;
}

TableResult approximateCounts(const Genome& genome, std::span<const RepeatKind> kinds,
                              const ApproximateSettings& settings, const SearchControl& control)
{
    Table table;
    auto found = approximate(genome, kinds, settings, control, table);
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        return *failure;
    }
    TextColumn& kindNames = table.texts("kind", kindColumn());
    TextColumn& classes = table.texts("length_class");
    auto& pairs = table.integers("pairs");
    for (const ApproximateResult& result : std::get<std::vector<ApproximateResult>>(found)) {
        std::array<std::int64_t, kApproximateLengthClasses.size()> counts{};
        for (const ApproximatePair& pair : result.pairs) {
            if (const auto lengthClass = approximateLengthClass(pair.length, settings.minLength)) {
                ++counts[*lengthClass];
            }
        }
        for (std::size_t c = 0; c < counts.size(); ++c) {
            pushKind(kindNames, result.kind);
            classes.pushText(approximateLengthClassName(c, settings.minLength));
            pairs.push_back(counts[c]);
        }
    }
    return table;
}

TableResult gappedPairs(const Genome& genome, const FeatureList& features, std::span<const RepeatKind> kinds,
                        const GappedSettings& settings, const SearchControl& control, std::int64_t pairLimit)
{
    auto found = gappedSearch(genome, kinds, settings, control);
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        return *failure;
    }
    const auto& results = std::get<std::vector<GappedResult>>(found);
    std::int64_t total = 0;
    for (const GappedResult& result : results) {
        total += static_cast<std::int64_t>(result.pairs.size());
    }
    if (total > pairLimit) {
        return SearchFailure::PairLimit;
    }
    Table table;
    PairColumns columns(table, features, genome.length());
    auto& secondLengths = table.integers("second_length");
    auto& insertions = table.integers("insertions");
    auto& deletions = table.integers("deletions");
    TextColumn& cigars = table.texts("cigar");
    std::size_t rows = 0;
    for (const GappedResult& result : results) {
        for (const GappedPair& pair : result.pairs) {
            if ((++rows & 0xFFFFU) == 0 && control.stopRequested()) {
                return SearchFailure::Cancelled;
            }
            columns.add(result.kind, pair, pair.secondLength);
            secondLengths.push_back(pair.secondLength);
            insertions.push_back(pair.insertions);
            deletions.push_back(pair.deletions);
            cigars.push(cigars.addValue(pair.cigar));
        }
    }
    return table;
}

TableResult gappedCounts(const Genome& genome, std::span<const RepeatKind> kinds,
                         const GappedSettings& settings, const SearchControl& control)
{
    auto found = gappedSearch(genome, kinds, settings, control);
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        return *failure;
    }
    const auto& results = std::get<std::vector<GappedResult>>(found);
    const ApproximateClassCounts counts = gappedClassCounts(results);
    Table table;
    TextColumn& kindNames = table.texts("kind", kindColumn());
    TextColumn& classes = table.texts("length_class");
    auto& pairs = table.integers("pairs");
    for (const GappedResult& result : results) {
        const auto& perClass = counts[static_cast<std::size_t>(result.kind)];
        for (std::size_t c = 0; c < perClass.size(); ++c) {
            pushKind(kindNames, result.kind);
            classes.pushText(approximateLengthClassName(c, settings.minLength));
            pairs.push_back(perClass[c]);
        }
    }
    return table;
}

TableResult familyTable(const Genome& genome, std::span<const RepeatKind> kinds,
                        const GappedSettings& settings, const SearchControl& control)
{
    auto found = gappedSearch(genome, kinds, settings, control);
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        return *failure;
    }
    const std::int64_t n = genome.length();
    const std::vector<RepeatFamily> families = repeatFamilies(n, std::get<std::vector<GappedResult>>(found));
    Table table;
    auto& numbers = table.integers("family");
    auto& copies = table.integers("copies");
    TextColumn& representatives = table.texts("representative");
    auto& shortest = table.integers("min_length");
    auto& longest = table.integers("max_length");
    TextColumn& kindSets = table.texts("kinds");
    TextColumn& ranges = table.texts("copy");
    TextColumn& strands = table.texts("strand");
    for (std::size_t index = 0; index < families.size(); ++index) {
        const RepeatFamily& family = families[index];
        const FamilyCopy& representative = family.copies[family.representative];
        const std::int32_t representativeText =
            representatives.addValue(copyRange(n, representative.start, representative.length));
        const std::int32_t kindIndex = kindSets.intern(familyKinds(family));
        for (const FamilyCopy& copy : family.copies) {
            numbers.push_back(static_cast<std::int64_t>(index + 1));
            copies.push_back(static_cast<std::int64_t>(family.copies.size()));
            representatives.push(representativeText);
            shortest.push_back(family.shortest);
            longest.push_back(family.longest);
            kindSets.push(kindIndex);
            ranges.push(ranges.addValue(copyRange(n, copy.start, copy.length)));
            strands.pushText(orientationName(copy.orientation));
        }
    }
    return table;
}

TableResult microsatelliteTable(const Genome& genome, const FeatureList& features,
                                const MicrosatelliteSettings& settings, const SearchControl& control)
{
    auto found = findMicrosatellites(genome, settings, control);
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        return *failure;
    }
    Table table;
    auto& starts = table.integers("start");
    auto& unitLengths = table.integers("unit_length");
    TextColumn& units = table.texts("unit");
    auto& repeats = table.integers("repeats");
    auto& lengths = table.integers("length");
    TextColumn& classes = table.texts("class");
    auto& compounds = table.integers("compound");
    auto& ends = table.integers("end");
    std::optional<FeatureIndex> index;
    TextColumn* named = nullptr;
    if (!features.empty()) {
        index.emplace(features, genome.length());
        named = &table.texts("features");
    }
    std::string names;
    for (const Microsatellite& run : std::get<MicrosatelliteList>(found)) {
        starts.push_back(run.start + 1);
        unitLengths.push_back(run.unitLength);
        units.pushText(run.unit);
        repeats.push_back(run.repeats);
        lengths.push_back(run.length);
        classes.pushText(run.motifClass);
        compounds.push_back(run.compound);
        ends.push_back(run.end());
        if (index) {
            index->describe(run.start, static_cast<int>(run.length), names);
            named->pushText(names);
        }
    }
    return table;
}

TableResult controlTable(const std::shared_ptr<const Genome>& genome, SearchMethod method,
                         const ControlSettings& settings, const SearchControl& control)
{
    constexpr double kIndexShare = 0.05;
    auto prepared = prepareSearch(genome, method, kKindOrder, control.part(0.0, kIndexShare));
    if (const auto* failure = std::get_if<SearchFailure>(&prepared)) {
        return *failure;
    }
    auto report = runControls(std::get<PreparedSearch>(prepared), settings,
                              control.part(kIndexShare, 1.0 - kIndexShare));
    if (const auto* failure = std::get_if<SearchFailure>(&report)) {
        return *failure;
    }
    const ControlReport& controls = std::get<ControlReport>(report);
    Table table;
    TextColumn& kindNames = table.texts("kind", kindColumn());
    auto& lengths = table.integers("repeat_length");
    auto& pairs = table.integers("pairs");
    auto& means = table.reals("control_mean");
    auto& deviations = table.reals("control_sd");
    auto& zs = table.reals("z");
    for (const RepeatKind kind : kKindOrder) {
        const auto& stats = controls.stats[static_cast<std::size_t>(kind)];
        for (std::size_t slot = 0; slot < stats.size(); ++slot) {
            pushKind(kindNames, kind);
            lengths.push_back(controls.minLength + static_cast<std::int64_t>(slot));
            pairs.push_back(stats[slot].observed);
            means.push_back(stats[slot].mean);
            deviations.push_back(stats[slot].sd);
            zs.push_back(stats[slot].z.value_or(std::numeric_limits<double>::quiet_NaN()));
        }
    }
    return table;
}

}  // namespace tessaron::python
