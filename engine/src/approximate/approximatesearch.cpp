#include "engine/approximatesearch.h"

#include "approximatecontext.h"
#include "seedfinder.h"
#include "seedplan.h"
#include "trackscanner.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <thread>
#include <tuple>
#include <utility>

// The approximate search of each kind: a plan (seedplan.cpp) either scans
// every track of the kind, circle or line, exactly (trackscanner.cpp), or
// finds seeds (seedfinder.cpp) and scans the tracks they lie on around them.

namespace tessaron {

using namespace approximate;

namespace {

// Full scans for genomes with at most this many letter pairs per kind.
constexpr double kFullScanPairs = 4194304.0;
// Searches expected to find this many times the pair limit in a random
// sequence are refused before they begin: the estimate counts some segments
// that the filters drop, so it has room to spare.
constexpr double kExpectedPairsOverLimit = 2.0;

// As many threads as asked for; by default as the machine has, but one for
// a short genome, where starting threads costs more than it saves.
int threadCount(const ApproximateSettings& settings, std::int64_t n)
{
    if (settings.threads > 0) {
        return std::min(settings.threads, 64);
    }
    return n < 20000 ? 1 : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

ApproximateSettings clamped(ApproximateSettings settings)
{
    settings.minLength = std::max(settings.minLength, 1);
    settings.mismatchPenalty = std::max(settings.mismatchPenalty, 1);
    settings.identity = std::isnan(settings.identity) ? 0.0 : std::clamp(settings.identity, 0.0, 100.0);
    if (settings.maxMismatches) {
        settings.maxMismatches = std::max(*settings.maxMismatches, 0);
    }
    return settings;
}

// The least score whose E-value passes the cut-off (at least 1).
std::int64_t leastScore(const KarlinAltschul& statistics, const std::optional<double>& maxEvalue)
{
    if (!maxEvalue || statistics.lambda <= 0.0 || std::isinf(statistics.lambda)) {
        return 1;
    }
    // A score beyond any segment's when no E-value can pass.
    constexpr std::int64_t kBeyond = std::int64_t{1} << 40;
    if (!(*maxEvalue > 0.0)) {
        return kBeyond;
    }
    const double estimate = std::log(statistics.k * statistics.searchSpace / *maxEvalue) / statistics.lambda;
    auto score =
        static_cast<std::int64_t>(std::clamp(std::floor(estimate) - 2.0, 1.0, static_cast<double>(kBeyond)));
    for (int step = 0; step < 64 && !(statistics.evalue(score) <= *maxEvalue); ++step) {
        ++score;  // the estimate is off by rounding at most
    }
    return score;
}

// The least score a reportable pair can have, when the identity bounds it:
// its least length less the penalty of the most mismatches that length may
// hold (at least minScore). Nothing when longer pairs may score less and
// less: their score says little of how many there are.
std::optional<std::int64_t> leastReportableScore(const ApproximateSettings& settings, std::int64_t minScore)
{
    const std::int64_t penalty = settings.mismatchPenalty + 1;
    const double share = (100.0 - settings.identity) / 100.0;
    if (static_cast<double>(penalty) * share >= 1.0) {
        return std::nullopt;
    }
    // Past minLength + 1 / share every further mismatch allowed comes with
    // more letters than it costs.
    const std::int64_t reach = share > 0.0 ? static_cast<std::int64_t>(std::ceil(1.0 / share)) + 1 : 0;
    std::int64_t least = std::numeric_limits<std::int64_t>::max();
    for (std::int64_t length = settings.minLength; length <= settings.minLength + reach; ++length) {
        auto mismatches = static_cast<std::int64_t>(std::floor(static_cast<double>(length) * share + 1e-9));
        if (settings.maxMismatches) {
            mismatches = std::min<std::int64_t>(mismatches, *settings.maxMismatches);
        }
        least = std::min(least, length - penalty * mismatches);
    }
    return std::max(least, minScore);
}

void sortPairs(std::vector<ApproximatePair>& pairs, const SearchControl& control)
{
    sortStoppably(pairs.begin(), pairs.end(), control,
                  [](const ApproximatePair& a, const ApproximatePair& b) {
                      return std::tie(a.first, a.second, a.length) < std::tie(b.first, b.second, b.length);
                  });
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
}

void fullScan(const Context& context, int threads, std::vector<std::vector<ApproximatePair>>& out,
              double from, double to)
{
    const std::int64_t n = context.n;
    const std::int64_t tracks = context.line ? n : n / 2;
    const std::int64_t perTask = std::max<std::int64_t>(1, tracks / 256);
    const std::int64_t tasks = (tracks + perTask - 1) / perTask;
    runTasks(context, threads, tasks, from, to, [&](std::int64_t task, int thread) {
        TrackScanner scanner(context, out[static_cast<std::size_t>(thread)]);
        for (std::int64_t k = task * perTask; k < std::min(tracks, (task + 1) * perTask); ++k) {
            if (context.line) {
                scanner.scanAll(lineTrack(context, k));
            } else if (const auto track = circleTrack(context, k + 1)) {
                scanner.scanAll(track->startBound == 0 ? *track : exactCircleTrack(context, k + 1));
            }
        }
    });
}

// Reads the tracks of the candidates exactly.
void scanCandidates(const Context& context, std::vector<Candidate>& candidates, int threads, double from,
                    double to, std::vector<std::vector<ApproximatePair>>& out)
{
    sortStoppably(candidates.begin(), candidates.end(), context.control);
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    std::vector<std::size_t> starts;
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        if ((k & 0xFFFFU) == 0 && context.control.stopRequested()) {
            throw Stopped{SearchFailure::Cancelled};
        }
        if (k == 0 || candidates[k].track != candidates[k - 1].track) {
            starts.push_back(k);
        }
    }
    starts.push_back(candidates.size());
    const auto groups = static_cast<std::int64_t>(starts.size()) - 1;
    runTasks(context, threads, groups, from, to, [&](std::int64_t group, int thread) {
        const std::size_t begin = starts[static_cast<std::size_t>(group)];
        const std::size_t end = starts[static_cast<std::size_t>(group) + 1];
        const std::int64_t id = candidates[begin].track;
        std::optional<Track> track;
        if (context.line) {
            // Read from the end nearer to the farthest candidate.
            const std::int64_t length = lineGeometry(context.n, id).length;
            const std::int64_t low = candidates[begin].position;
            const std::int64_t high = candidates[end - 1].position;
            track = lineTrack(context, id, length - 1 - low < high);
        } else {
            track = circleTrack(context, id);
        }
        if (!track) {
            return;
        }
        std::vector<std::int64_t> positions;
        const auto place = [&] {
            positions.clear();
            for (std::size_t k = begin; k < end; ++k) {
                const std::int64_t position = candidates[k].position;
                positions.push_back(!track->line      ? modulo(position - track->origin, context.n)
                                    : track->reversed ? track->length - 1 - position
                                                      : position);
            }
            std::sort(positions.begin(), positions.end());
        };
        place();
        TrackScanner scanner(context, out[static_cast<std::size_t>(thread)]);
        if (!scanner.scanAround(*track, positions)) {
            track = exactCircleTrack(context, id);
            place();
            scanner.scanAround(*track, positions);
        }
    });
    std::vector<Candidate>().swap(candidates);
}

// The search of one kind as it goes along.
struct KindSearch {
    ApproximateResult result;
    std::unique_ptr<Context> context;
    std::optional<SeedPlan> plan;
    std::vector<Candidate> candidates;
    std::vector<std::vector<ApproximatePair>> found;
};

}  // namespace

ApproximateSearchResults approximateSearch(const Genome& genome, std::span<const RepeatKind> kinds,
                                           const ApproximateSettings& settings, const SearchControl& control)
{
    const ApproximateSettings used = clamped(settings);
    const std::int64_t n = genome.length();
    const int threads = threadCount(used, n);
    std::vector<ApproximateResult> results;
    try {
        std::vector<KindSearch> searches(kinds.size());
        // A pair is shorter than the sequence (a circle gives at most N - 1
        // letter pairs): a longer minimum is answered without reading it.
        std::optional<Texts> texts;
        if (n >= 2 && used.minLength < n) {
            texts.emplace(genome, threads, control);
        }
        PairBudget budget(approximatePairLimit(genome));
        // Plans, and the work to share out the progress over: full scans,
        // seeds of each shape for each kind, exact scans of their tracks.
        double work = 0.0;
        const double pairs = static_cast<double>(n) * static_cast<double>(n - 1) / 2.0;
        // The pairs a random sequence of the genome's composition is expected
        // to hold: far more than the limit, and the search is refused before
        // it spends the memory (a genome holds more than a random sequence).
        double expectedPairs = 0.0;
        for (std::size_t k = 0; k < kinds.size(); ++k) {
            // A plan for a long minimum takes a few hundredths of a second.
            if (control.stopRequested()) {
                throw Stopped{SearchFailure::Cancelled};
            }
            KindSearch& search = searches[k];
            search.result.kind = kinds[k];
            search.result.settings = used;
            search.result.statistics = karlinAltschul(genome, kinds[k], used.mismatchPenalty);
            if (!texts) {
                continue;
            }
            const std::int64_t minScore = leastScore(search.result.statistics, used.maxEvalue);
            if (minScore >= n) {
                continue;  // no pair can score as much
            }
            search.context = std::make_unique<Context>(*texts, kinds[k], used, control);
            search.context->statistics = search.result.statistics;
            search.context->minScore = minScore;
            search.context->budget = &budget;
            // No estimate without a negative expected score (lambda 0), nor
            // more pairs than letter pairs.
            const KarlinAltschul& statistics = search.result.statistics;
            const auto least = leastReportableScore(used, minScore);
            if (least && statistics.lambda > 0.0 && std::isfinite(statistics.lambda)) {
                expectedPairs += std::min(statistics.evalue(*least), statistics.searchSpace);
            }
            search.found.resize(static_cast<std::size_t>(threads));
            if (used.method != ApproximateMethod::FullScan &&
                (used.method == ApproximateMethod::Seeds || pairs > kFullScanPairs)) {
                search.plan = planSeeds(used, search.context->minScore, n, matchProbability(genome, kinds[k]),
                                        used.method == ApproximateMethod::Seeds);
                // A seed must fit in the sequence.
                for (const SeedShape& shape : search.plan->shapes) {
                    if (shape.span > n) {
                        search.plan.reset();
                        break;
                    }
                }
            }
            work += search.plan ? 1.0 : 3.0;
        }
        if (expectedPairs > kExpectedPairsOverLimit * static_cast<double>(approximatePairLimit(genome))) {
            throw Stopped{SearchFailure::PairLimit};
        }
        double done = 0.0;
        const auto step = [&](double amount) {
            const double from = done / std::max(work, 1.0);
            done += amount;
            return std::pair{from, done / std::max(work, 1.0)};
        };
        for (KindSearch& search : searches) {
            if (search.context && !search.plan) {
                const auto [from, to] = step(3.0);
                fullScan(*search.context, threads, search.found, from, to);
            }
        }
        // Seeds shape by shape, for every kind whose plan has the shape, so
        // that only one shape's lists are held at a time.
        std::vector<SeedShape> shapes;
        for (const KindSearch& search : searches) {
            for (const SeedShape& shape : search.plan ? search.plan->shapes : std::vector<SeedShape>{}) {
                if (std::none_of(shapes.begin(), shapes.end(),
                                 [&](const SeedShape& known) { return known.offsets == shape.offsets; })) {
                    shapes.push_back(shape);
                }
            }
        }
        if (texts) {
            SeedLists lists(*texts, control);
            for (const SeedShape& shape : shapes) {
                if (control.stopRequested()) {
                    throw Stopped{SearchFailure::Cancelled};
                }
                const bool backwardToo =
                    std::any_of(searches.begin(), searches.end(), [&](const KindSearch& search) {
                        return search.plan && search.context->line &&
                               std::any_of(
                                   search.plan->shapes.begin(), search.plan->shapes.end(),
                                   [&](const SeedShape& own) { return own.offsets == shape.offsets; });
                    });
                lists.prepare(shape, backwardToo, threads);
                for (KindSearch& search : searches) {
                    if (!search.plan) {
                        continue;
                    }
                    const auto& own = search.plan->shapes;
                    const auto it = std::find_if(own.begin(), own.end(), [&](const SeedShape& s) {
                        return s.offsets == shape.offsets;
                    });
                    if (it == own.end()) {
                        continue;
                    }
                    const auto [from, to] = step(0.7 / static_cast<double>(own.size()));
                    SeedFinder finder(*search.context, *search.plan, *it, lists, threads);
                    finder.run(from, to);
                    for (auto& part : finder.found()) {
                        search.candidates.insert(search.candidates.end(), part.begin(), part.end());
                    }
                }
                lists.release(shape);
            }
        }
        for (KindSearch& search : searches) {
            if (search.plan) {
                const auto [from, to] = step(0.3);
                scanCandidates(*search.context, search.candidates, threads, from, to, search.found);
                search.result.exhaustive = search.plan->exhaustive;
                search.result.seedLength = search.plan->seedLength;
            }
            // Each part freed once copied: the pairs are held about once.
            for (auto& part : search.found) {
                if (search.result.pairs.empty()) {
                    search.result.pairs = std::move(part);
                } else {
                    search.result.pairs.insert(search.result.pairs.end(), part.begin(), part.end());
                }
                std::vector<ApproximatePair>().swap(part);
            }
            sortPairs(search.result.pairs, control);
            results.push_back(std::move(search.result));
        }
    } catch (const Stopped& stopped) {
        return stopped.reason;
    } catch (const SearchStopped& stopped) {
        return stopped.reason;
    } catch (const std::bad_alloc&) {
        return SearchFailure::OutOfMemory;
    }
    control.report(1.0);
    return results;
}

ApproximateSearchResult approximateSearch(const Genome& genome, RepeatKind kind,
                                          const ApproximateSettings& settings, const SearchControl& control)
{
    auto results = approximateSearch(genome, std::span<const RepeatKind>(&kind, 1), settings, control);
    if (const auto* failure = std::get_if<SearchFailure>(&results)) {
        return *failure;
    }
    return std::move(std::get<std::vector<ApproximateResult>>(results).front());
}

MismatchedLetters mismatchedLetters(const Genome& genome, RepeatKind kind, const ApproximatePair& pair)
{
    MismatchedLetters letters;
    const std::int64_t n = genome.length();
    if (n == 0) {
        return letters;
    }
    const auto complementOf = [](char letter) {
        switch (letter) {
            case 'A':
                return 'T';
            case 'T':
                return 'A';
            case 'C':
                return 'G';
            case 'G':
                return 'C';
            default:
                return letter;
        }
    };
    const auto isBase = [](char letter) {
        return letter == 'A' || letter == 'C' || letter == 'G' || letter == 'T';
    };
    for (std::int64_t k = 0; k < pair.length; ++k) {
        const std::int64_t p = modulo(pair.first + k, n);
        const std::int64_t q =
            modulo(isLineKind(kind) ? pair.second + pair.length - 1 - k : pair.second + k, n);
        const char a = genome.at(p);
        char b = genome.at(q);
        if (complements(kind)) {
            b = complementOf(b);
        }
        if (!isBase(a) || !isBase(b) || a != b) {
            letters.first.push_back(p);
            letters.second.push_back(q);
        }
    }
    return letters;
}

ApproximateClassCountsResult countApproximateRepeats(const Genome& genome,
                                                     const ApproximateSettings& settings,
                                                     const SearchControl& control)
{
    static constexpr std::array<RepeatKind, kRepeatKindCount> kAllKinds{
        RepeatKind::Direct, RepeatKind::Inverted, RepeatKind::Mirror, RepeatKind::Complementary};
    auto found = approximateSearch(genome, kAllKinds, settings, control);
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        return *failure;
    }
    return approximateClassCounts(std::get<std::vector<ApproximateResult>>(found));
}

}  // namespace tessaron
