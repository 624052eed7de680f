#include "engine/tandemrepeats.h"

#include "engine/alphabet.h"
#include "tandem/arraybuilder.h"
#include "tandem/candidateperiods.h"
#include "tandem/circularcodes.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace tessaron {

using tandem::AlignedCopy;
using tandem::Candidate;
using tandem::FoundArray;

namespace {

// The least rotation of a word (Booth's algorithm), linear in its length.
std::string leastRotation(std::string_view word)
{
    const std::size_t n = word.size();
    if (n == 0) {
        return {};
    }
    std::string doubled(word);
    doubled += word;
    std::vector<std::ptrdiff_t> failure(2 * n, -1);
    std::size_t least = 0;
    for (std::size_t j = 1; j < 2 * n; ++j) {
        const char letter = doubled[j];
        std::ptrdiff_t i = failure[j - least - 1];
        while (i != -1 && letter != doubled[least + static_cast<std::size_t>(i) + 1]) {
            if (letter < doubled[least + static_cast<std::size_t>(i) + 1]) {
                least = j - static_cast<std::size_t>(i) - 1;
            }
            i = failure[static_cast<std::size_t>(i)];
        }
        if (i == -1 && letter != doubled[least + static_cast<std::size_t>(i) + 1]) {
            if (letter < doubled[least + static_cast<std::size_t>(i) + 1]) {
                least = j;
            }
            failure[j - least] = -1;
        } else {
            failure[j - least] = i + 1;
        }
    }
    return doubled.substr(least, n);
}

// Whether two periods are about equal: within one letter in twenty.
bool aboutEqual(int a, int b)
{
    return std::abs(a - b) <= std::max(1, std::min(a, b) / 20);
}

// Whether `longer` is about `r` >= 2 units of `shorter`: an indel per unit
// or one letter in twenty allowed.
bool aboutMultiple(int longer, int shorter)
{
    const auto units = static_cast<int>(std::lround(static_cast<double>(longer) / shorter));
    return units >= 2 && std::abs(longer - units * shorter) <= std::max(units, longer / 20);
}

// Whether a consensus is, but for one letter in ten, made of units of `shorter` letters.
bool hasPeriod(std::string_view consensus, int shorter)
{
    const auto size = static_cast<int>(consensus.size());
    if (!aboutMultiple(size, shorter)) {
        return false;
    }
    int differ = 0;
    for (int i = 0; i + shorter < size; ++i) {
        differ += consensus[static_cast<std::size_t>(i)] != consensus[static_cast<std::size_t>(i + shorter)];
    }
    return differ * 10 <= size - shorter;
}

// Whether two arrays are the same repeat seen at periods p and a multiple of p.
bool related(const TandemRepeat& a, const TandemRepeat& b, bool all)
{
    if (aboutEqual(a.period, b.period)) {
        return true;
    }
    if (all) {
        return false;
    }
    return a.period < b.period ? hasPeriod(b.consensus, a.period) : hasPeriod(a.consensus, b.period);
}

std::string compactCigar(std::string_view ops)
{
    std::string out;
    for (std::size_t i = 0; i < ops.size();) {
        std::size_t j = i;
        while (j < ops.size() && ops[j] == ops[i]) {
            ++j;
        }
        out += std::to_string(j - i);
        out += ops[i];
        i = j;
    }
    return out;
}

// The array as reported, its start still relative to `offset`.
TandemRepeat describe(const FoundArray& array, std::int64_t offset)
{
    TandemRepeat repeat;
    repeat.start = offset + array.start;
    repeat.length = array.end - array.start;
    repeat.period = static_cast<int>(array.consensus.size());
    repeat.copies = array.copyCount;
    for (const std::uint8_t code : array.consensus) {
        repeat.consensus += kAlphabet[code];
    }
    repeat.motifClass = tandemClass(repeat.consensus);
    repeat.score = array.score;
    for (const AlignedCopy& copy : array.copies) {
        for (const char op : copy.ops) {
            repeat.matches += op == '=';
            repeat.mismatches += op == 'X';
            repeat.insertions += op == 'I';
            repeat.deletions += op == 'D';
        }
        if (!repeat.alignment.empty()) {
            repeat.alignment += ',';
        }
        repeat.alignment += compactCigar(copy.ops);
    }
    return repeat;
}

// Keeps at most `limit` letters of an array: the copies that end within them.
void clip(FoundArray& array, std::int64_t limit)
{
    if (array.end - array.start <= limit) {
        return;
    }
    std::int64_t rows = 0;
    array.score = 0;
    std::size_t kept = 0;
    while (kept < array.copies.size() &&
           array.copies[kept].textStart + array.copies[kept].textLength - array.start <= limit) {
        rows += array.copies[kept].rows;
        array.score += array.copies[kept].score;
        ++kept;
    }
    array.copies.resize(std::max<std::size_t>(kept, 1));
    const AlignedCopy& last = array.copies.back();
    array.end = last.textStart + last.textLength;
    array.copyCount = static_cast<double>(std::max<std::int64_t>(rows, last.rows)) /
                      static_cast<double>(array.consensus.size());
}

// The periods whose diagonals are read letter by letter.
constexpr int kFirstDiagonalPeriod = 13;
constexpr int kDiagonalPeriods = 128;

std::vector<Candidate> candidatesOf(std::span<const std::uint8_t> text, const TandemSettings& settings,
                                    const SearchControl& control)
{
    const tandem::CandidatePass passes[] = {
        {6, settings.minimumPeriod, std::min(settings.maximumPeriod, 300), 3, 24, 1},
        {8, settings.minimumPeriod, std::min(settings.maximumPeriod, 2000), 3, 48, 0},
        {10, std::max(settings.minimumPeriod, 2001), settings.maximumPeriod, 3, 64, 0},
    };
    // Short periods letter by letter as well: two copies too diverged to
    // share three equal words still climb along their diagonal. Below 13
    // letters an array needs more copies to reach a score, and the words see them.
    const tandem::DiagonalPass diagonal{std::max(settings.minimumPeriod, kFirstDiagonalPeriod),
                                        std::min(settings.maximumPeriod, kDiagonalPeriods)};
    std::vector<Candidate> all = tandem::findDiagonalCandidates(text, diagonal, control);
    for (const tandem::CandidatePass& pass : passes) {
        std::vector<Candidate> found = tandem::findCandidates(text, pass, control);
        all.insert(all.end(), found.begin(), found.end());
    }
    std::sort(all.begin(), all.end(), [](const Candidate& a, const Candidate& b) {
        if (a.position != b.position) {
            return a.position < b.position;
        }
        return a.support != b.support ? a.support > b.support : a.period < b.period;
    });
    return all;
}

// The arrays of one stretch without gaps; starts are `offset` + their place in it.
void searchStretch(std::span<const std::uint8_t> text, std::int64_t offset, std::int64_t genomeLength,
                   const TandemSettings& settings, const SearchControl& control, TandemRepeatList& out)
{
    const std::vector<Candidate> candidates = candidatesOf(text, settings, control);
    tandem::ArrayBuilder builder(text, settings);
    // The arrays found that may still hold coming candidates.
    struct Active {
        std::int64_t start;
        std::int64_t end;
        int period;
        std::string consensus;
    };
    std::vector<Active> active;
    // The periods whose build gave nothing at the current position: a
    // build depends on nothing but its position and period (candidates
    // repeat them, one per word length that saw them).
    std::int64_t failedAt = -1;
    std::vector<int> failed;
    std::size_t done = 0;
    for (const Candidate& candidate : candidates) {
        if (++done % 256 == 0) {
            control.throwIfStopped();
            control.report(static_cast<double>(done) / static_cast<double>(candidates.size()));
        }
        std::erase_if(active, [&](const Active& a) { return a.end <= candidate.position; });
        const bool covered = std::any_of(active.begin(), active.end(), [&](const Active& a) {
            if (a.start > candidate.position) {
                return false;
            }
            if (aboutEqual(a.period, candidate.period)) {
                return true;
            }
            return !settings.all && (candidate.period > a.period ? aboutMultiple(candidate.period, a.period)
                                                                 : hasPeriod(a.consensus, candidate.period));
        });
        if (covered) {
            continue;
        }
        if (candidate.position != failedAt) {
            failedAt = candidate.position;
            failed.clear();
        }
        if (std::find(failed.begin(), failed.end(), candidate.period) != failed.end()) {
            continue;
        }
        std::optional<FoundArray> array = builder.build(candidate.position, candidate.period);
        if (!array) {
            failed.push_back(candidate.period);
            continue;
        }
        clip(*array, genomeLength);
        TandemRepeat repeat = describe(*array, offset);
        active.push_back({array->start, array->end, repeat.period, repeat.consensus});
        out.push_back(std::move(repeat));
    }
}

// Of arrays of related periods over the same stretch, the best; positions on
// a circle of `length` letters.
TandemRepeatList keepBest(TandemRepeatList arrays, std::int64_t length, bool all)
{
    std::sort(arrays.begin(), arrays.end(), [](const TandemRepeat& a, const TandemRepeat& b) {
        if (a.score != b.score) {
            return a.score > b.score;
        }
        if (a.period != b.period) {
            return a.period < b.period;
        }
        return a.start < b.start;
    });
    std::multimap<std::int64_t, std::size_t> kept;  // by start
    std::int64_t longest = 0;
    TandemRepeatList out;
    for (TandemRepeat& candidate : arrays) {
        bool overlapped = false;
        for (const std::int64_t shift : {-length, std::int64_t{0}, length}) {
            const std::int64_t start = candidate.start + shift;
            const std::int64_t end = candidate.end() + shift;
            for (auto it = kept.lower_bound(start - longest); it != kept.end() && it->first < end; ++it) {
                const TandemRepeat& other = out[it->second];
                const std::int64_t common = std::min(end, other.end()) - std::max(start, other.start);
                if (2 * common >= std::min(candidate.length, other.length) &&
                    related(candidate, other, all)) {
                    overlapped = true;
                    break;
                }
            }
            if (overlapped) {
                break;
            }
        }
        if (!overlapped) {
            kept.emplace(candidate.start, out.size());
            longest = std::max(longest, candidate.length);
            out.push_back(std::move(candidate));
        }
    }
    std::sort(out.begin(), out.end(), [](const TandemRepeat& a, const TandemRepeat& b) {
        return a.start != b.start ? a.start < b.start : a.period < b.period;
    });
    return out;
}

TandemRepeatList searchGenome(const Genome& genome, const TandemSettings& settings,
                              const SearchControl& control)
{
    const std::string_view sequence = genome.sequence();
    const auto n = static_cast<std::int64_t>(sequence.size());
    TandemRepeatList found;
    if (n == 0) {
        return found;
    }
    const std::span<const std::int32_t> gaps = genome.gaps();
    if (!gaps.empty()) {
        // The stretches between consecutive gaps, the last one across the origin.
        for (std::size_t i = 0; i < gaps.size(); ++i) {
            const std::int64_t from = gaps[i] + 1;
            const std::int64_t to = i + 1 < gaps.size() ? gaps[i + 1] : gaps[0] + n;
            if (to > from) {
                searchStretch(tandem::circularCodes(sequence, from, to), from, n, settings,
                              control.part(static_cast<double>(i) / static_cast<double>(gaps.size()),
                                           1.0 / static_cast<double>(gaps.size())),
                              found);
            }
        }
    } else {
        // The circle read from W letters before the origin to W after its end:
        // an array starting in [0, N) is seen with what lies on both sides of
        // it, and one that reaches the end of the reading is read again wider.
        std::int64_t margin = std::min<std::int64_t>(n, 2 * std::int64_t{settings.maximumPeriod} + 100);
        while (true) {
            TandemRepeatList all;
            searchStretch(tandem::circularCodes(sequence, -margin, n + margin), -margin, n, settings, control,
                          all);
            // A circle that is one array all round: read from the origin once.
            if (margin == n && std::any_of(all.begin(), all.end(),
                                           [&](const TandemRepeat& repeat) { return repeat.length >= n; })) {
                found.clear();
                searchStretch(tandem::circularCodes(sequence, 0, n), 0, n, settings, control, found);
                break;
            }
            bool cut = false;
            for (TandemRepeat& repeat : all) {
                if (repeat.start >= 0 && repeat.start < n) {
                    cut = cut || repeat.end() >= n + margin;
                    found.push_back(std::move(repeat));
                }
            }
            if (!cut || margin == n) {
                break;
            }
            found.clear();
            margin = std::min(n, 2 * margin);
        }
    }
    for (TandemRepeat& repeat : found) {
        repeat.start = ((repeat.start % n) + n) % n;
    }
    return keepBest(std::move(found), n, settings.all);
}

}  // namespace

std::optional<std::string> TandemSettings::validate() const
{
    if (maximumPeriod < 1 || maximumPeriod > kMaxPeriodBound) {
        return "the largest period must be 1 to " + std::to_string(kMaxPeriodBound);
    }
    if (minimumPeriod < 1 || minimumPeriod > maximumPeriod) {
        return "the smallest period must be 1 to the largest period (" + std::to_string(maximumPeriod) + ")";
    }
    for (const int weight : {match, mismatch, indel}) {
        if (weight < 1 || weight > kMaxScoreWeight) {
            return "the match, mismatch and indel weights must be 1 to " + std::to_string(kMaxScoreWeight);
        }
    }
    if (minimumScore < 1) {
        return "the minimum score must be at least 1";
    }
    if (!(minimumCopies >= 1.0 && minimumCopies <= 1e6)) {
        return "the minimum copy number must be 1 to 1000000";
    }
    return std::nullopt;
}

int TandemRepeat::percentMatches() const
{
    const std::int64_t all = columns();
    return all == 0 ? 0 : static_cast<int>((200 * matches + all) / (2 * all));
}

int TandemRepeat::percentIndels() const
{
    const std::int64_t all = columns();
    return all == 0 ? 0 : static_cast<int>((200 * (insertions + deletions) + all) / (2 * all));
}

std::string tandemClass(std::string_view consensus)
{
    std::string reverse(consensus.rbegin(), consensus.rend());
    for (char& letter : reverse) {
        letter = complement(letter);
    }
    std::string forward = leastRotation(consensus);
    std::string backward = leastRotation(reverse);
    if (backward < forward) {
        std::swap(forward, backward);
    }
    return forward + "/" + backward;
}

TandemRepeatResult findTandemRepeats(const Genome& genome, const TandemSettings& settings,
                                     const SearchControl& control)
{
    if (settings.validate()) {
        return TandemRepeatList{};
    }
    TandemRepeatResult result =
        runStep(control, [&]() -> TandemRepeatResult { return searchGenome(genome, settings, control); });
    if (std::holds_alternative<TandemRepeatList>(result)) {
        control.report(1.0);
    }
    return result;
}

}  // namespace tessaron
