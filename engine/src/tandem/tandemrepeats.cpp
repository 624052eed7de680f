#include "engine/tandemrepeats.h"

#include "engine/alphabet.h"
#include "tandem/arraybuilder.h"
#include "tandem/candidateperiods.h"
#include "tandem/circularcodes.h"

#include <algorithm>
#include <cmath>
#include <future>
#include <iterator>
#include <map>
#include <tuple>

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

// Whether a consensus is, but for one letter in ten, made of units of `shorter` letters
// (read round it).
bool hasPeriod(std::string_view consensus, int shorter)
{
    const auto size = static_cast<int>(consensus.size());
    if (!aboutMultiple(size, shorter)) {
        return false;
    }
    // Read round the consensus, which has no first letter: the same answer
    // for any rotation of it, and for its reverse complement.
    int differ = 0;
    for (int i = 0; i < size; ++i) {
        differ += consensus[static_cast<std::size_t>(i)] !=
                  consensus[static_cast<std::size_t>((i + shorter) % size)];
    }
    return differ * 10 <= size;
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

// The alignment's columns, one letter each, from its compact CIGARs.
std::string columnsOf(std::string_view alignment)
{
    std::string columns;
    std::size_t count = 0;
    for (const char c : alignment) {
        if (c >= '0' && c <= '9') {
            count = 10 * count + static_cast<std::size_t>(c - '0');
        } else if (c != ',') {
            columns.append(count, c);
            count = 0;
        }
    }
    return columns;
}

// The array as the reverse complement of a genome of `length` letters holds
// it: at the mirrored place, its columns read backwards, its consensus
// complemented and read backwards from the consensus letter the array ends
// on, the copies cut where that consensus starts again.
TandemRepeat mirrored(const TandemRepeat& repeat, std::int64_t length)
{
    TandemRepeat out = repeat;
    out.start = ((length - repeat.end()) % length + length) % length;
    std::string columns = columnsOf(repeat.alignment);
    const auto period = static_cast<std::int64_t>(repeat.consensus.size());
    const auto rows =
        static_cast<std::int64_t>(columns.size()) - std::count(columns.begin(), columns.end(), 'I');
    std::string back(repeat.consensus.rbegin(), repeat.consensus.rend());
    for (char& letter : back) {
        letter = complement(letter);
    }
    if (period > 0 && rows > 0) {
        // The last consensus letter of the array, at (rows - 1) % period, is
        // the letter at period - 1 - that of `back`.
        std::rotate(back.begin(), back.begin() + (period - 1 - (rows - 1) % period), back.end());
    }
    out.consensus = back;
    std::reverse(columns.begin(), columns.end());
    out.alignment.clear();
    std::int64_t row = 0;
    std::size_t from = 0;
    bool rowsSeen = false;
    for (std::size_t i = 0; i <= columns.size(); ++i) {
        if (i == columns.size() || (columns[i] != 'I' && row % period == 0 && rowsSeen)) {
            if (!out.alignment.empty()) {
                out.alignment += ',';
            }
            out.alignment += compactCigar(std::string_view(columns).substr(from, i - from));
            from = i;
            rowsSeen = false;
        }
        if (i < columns.size() && columns[i] != 'I') {
            rowsSeen = true;
            ++row;
        }
    }
    return out;
}

// Of arrays of related periods over the same stretch, the best; positions on
// a circle of `length` letters.
TandemRepeatList keepBest(TandemRepeatList arrays, std::int64_t length, bool all)
{
    // The order the arrays are taken in is the same on the reverse complement
    // of the genome, where each array is its mirror: the best score, then the
    // shorter period, the longer array, then the array and its mirror read
    // alike (the smaller class, consensus, alignment of the two); the start
    // last, for arrays alike in all these.
    struct Ranked {
        TandemRepeat repeat;
        std::string firstConsensus;
        std::string secondConsensus;
        std::string firstAlignment;
        std::string secondAlignment;
    };
    std::vector<Ranked> ranked;
    ranked.reserve(arrays.size());
    for (TandemRepeat& repeat : arrays) {
        const TandemRepeat mirror = mirrored(repeat, length);
        Ranked r{std::move(repeat), mirror.consensus, mirror.consensus, mirror.alignment, mirror.alignment};
        r.firstConsensus = std::min(r.repeat.consensus, mirror.consensus);
        r.secondConsensus = std::max(r.repeat.consensus, mirror.consensus);
        r.firstAlignment = std::min(r.repeat.alignment, mirror.alignment);
        r.secondAlignment = std::max(r.repeat.alignment, mirror.alignment);
        ranked.push_back(std::move(r));
    }
    std::sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
        const TandemRepeat& x = a.repeat;
        const TandemRepeat& y = b.repeat;
        if (x.score != y.score) {
            return x.score > y.score;
        }
        if (x.period != y.period) {
            return x.period < y.period;
        }
        if (x.length != y.length) {
            return x.length > y.length;
        }
        const auto key = [](const Ranked& r) {
            return std::tie(r.repeat.motifClass, r.firstConsensus, r.secondConsensus, r.firstAlignment,
                            r.secondAlignment);
        };
        if (key(a) != key(b)) {
            return key(a) < key(b);
        }
        return x.start < y.start;
    });
    arrays.clear();
    for (Ranked& r : ranked) {
        arrays.push_back(std::move(r.repeat));
    }
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

// The arrays of a circular sequence with gaps at `gaps` (ascending), read
// one way, before the best of each stretch are kept.
TandemRepeatList collect(std::string_view sequence, std::span<const std::int32_t> gaps,
                         const TandemSettings& settings, const SearchControl& control)
{
    const auto n = static_cast<std::int64_t>(sequence.size());
    TandemRepeatList found;
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
    return found;
}

TandemRepeatList searchGenome(const Genome& genome, const TandemSettings& settings,
                              const SearchControl& control)
{
    const std::string_view sequence = genome.sequence();
    const auto n = static_cast<std::int64_t>(sequence.size());
    if (n == 0) {
        return {};
    }
    // Where an array starts, its consensus and where its ends fall depend on
    // the way it is read (the copy it grows from, the end its alignment
    // starts at, the letters that win a tied vote). The reverse complement
    // is searched as well, on a second thread, and the arrays of both
    // readings are chosen from in an order that does not depend on the
    // strand: the reverse complement of the genome gives the same arrays,
    // mirrored. The second thread writes the reverse complement itself and
    // mirrors what it finds: this one starts on its own strand at once.
    const std::span<const std::int32_t> gaps = genome.gaps();
    const SearchControl quiet{control.stop, {}};
    std::future<TandemRepeatList> reverse = std::async(std::launch::async, [&] {
        std::string back(sequence.size(), 'N');
        for (std::size_t i = 0; i < sequence.size(); ++i) {
            const std::uint8_t code =
                tandem::kCodeOf[static_cast<unsigned char>(sequence[sequence.size() - 1 - i])];
            back[i] = code == kGapCode ? 'N' : kAlphabet[complement(code)];
        }
        std::vector<std::int32_t> backGaps(gaps.size());
        for (std::size_t i = 0; i < gaps.size(); ++i) {
            backGaps[i] = static_cast<std::int32_t>(n - 1 - gaps[gaps.size() - 1 - i]);
        }
        TandemRepeatList other = collect(back, backGaps, settings, quiet);
        for (TandemRepeat& repeat : other) {
            repeat = mirrored(repeat, n);
        }
        return other;
    });
    TandemRepeatList found = collect(sequence, gaps, settings, control);
    TandemRepeatList other = reverse.get();
    found.insert(found.end(), std::make_move_iterator(other.begin()), std::make_move_iterator(other.end()));
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
