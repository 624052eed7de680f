#include "engine/microsatellites.h"

#include "engine/alphabet.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tessaron {

namespace {

std::string smallestRotation(std::string_view word)
{
    std::string best(word);
    std::string rotation(word);
    for (std::size_t shift = 1; shift < word.size(); ++shift) {
        std::rotate(rotation.begin(), rotation.begin() + 1, rotation.end());
        best = std::min(best, rotation);
    }
    return best;
}

// Whether the word is a power of a shorter word: a period that divides its length.
bool isPower(std::string_view word)
{
    const std::size_t size = word.size();
    for (std::size_t period = 1; period < size; ++period) {
        if (size % period == 0 && word.substr(period) == word.substr(0, size - period)) {
            return true;
        }
    }
    return false;
}

// Letters between two stop checks of the scan.
constexpr std::int64_t kCheckEvery = std::int64_t{1} << 18;

// The runs of one unit length P. Positions are unrolled: a scan may run past
// N (up to 2N + P), read modulo N.
//
// With "t matches" for S[t] = S[t+P], the runs inside a stretch of bases
// [a, b) are [x, y+P] for the maximal blocks [x, y] of matching t in
// [a, b-P-1], empty blocks included. A run reaches r repeats when its block
// holds at least K = (r-1) * P positions, so it holds one of the groups of G
// positions starting at a, a + G, a + 2G, ... whole, for the largest G of 8,
// 4, 2, 1 with 2G - 1 <= K. The scan compares the groups only, G letters at
// once straight from memory, and widens the block around a group that
// matches: in random sequence one group in 4^G does.
class RunScanner {
public:
    RunScanner(std::string_view sequence, int unitLength, int minimumRepeats, MicrosatelliteList& out,
               const SearchControl& control)
        : s_(sequence.data()),
          n_(static_cast<std::int64_t>(sequence.size())),
          p_(unitLength),
          minimumRepeats_(minimumRepeats),
          blockLength_(std::int64_t{minimumRepeats - 1} * unitLength),
          out_(out),
          control_(control)
    {
    }

    // The runs of the stretch of bases [a, b), b - a <= N + P - 1; false
    // when asked to stop.
    [[nodiscard]] bool scanStretch(std::int64_t a, std::int64_t b)
    {
        return blockLength_ >= 15  ? scanGroups<8>(a, b)
               : blockLength_ >= 7 ? scanGroups<4>(a, b)
               : blockLength_ >= 3 ? scanGroups<2>(a, b)
                                   : scanGroups<1>(a, b);
    }

    // The runs of a circle without gaps; false when asked to stop.
    [[nodiscard]] bool scanCircle()
    {
        std::int64_t broken = 0;  // the first position that fails
        while (broken < n_ && matches(broken)) {
            ++broken;
        }
        if (broken == n_) {
            // The whole circle has period P: one run, from the origin.
            add(0, n_);
            return true;
        }
        // From just after a failing position round to it again, and P - 1
        // letters on so that the last run ends where it would.
        return scanStretch(broken + 1, broken + n_ + p_);
    }

private:
    [[nodiscard]] std::int64_t reduce(std::int64_t position) const
    {
        while (position >= n_) {
            position -= n_;
        }
        return position;
    }
    [[nodiscard]] char letter(std::int64_t position) const { return s_[reduce(position)]; }

    [[nodiscard]] bool matches(std::int64_t t) const { return letter(t) == letter(t + p_); }

    // Whether positions t .. t+G-1 all match.
    template <int G>
    [[nodiscard]] bool groupMatches(std::int64_t t) const
    {
        const std::int64_t from = reduce(t);
        if (from + G + p_ <= n_) {
            return std::memcmp(s_ + from, s_ + from + p_, G) == 0;
        }
        for (int i = 0; i < G; ++i) {
            if (!matches(t + i)) {
                return false;
            }
        }
        return true;
    }

    template <int G>
    [[nodiscard]] bool scanGroups(std::int64_t a, std::int64_t b)
    {
        const std::int64_t last = b - 1 - p_;  // the last position compared
        std::int64_t nextCheck = a + kCheckEvery;
        for (std::int64_t t = a; t + G - 1 <= last; t += G) {
            if (t >= nextCheck) {
                if (control_.stopRequested()) {
                    return false;
                }
                nextCheck = t + kCheckEvery;
            }
            // Skip the failing groups straight from memory while the reads do
            // not wrap round the origin.
            const std::int64_t from = reduce(t);
            const std::int64_t room = std::min({last - G + 1 - t, n_ - G - p_ - from, nextCheck - t});
            if (room >= 0) {
                const char* const first = s_ + from;
                const char* at = first;
                while (at <= first + room && std::memcmp(at, at + p_, G) != 0) {
                    at += G;
                }
                t += at - first;
                if (at > first + room) {
                    t -= G;  // the loop steps on to t
                    continue;
                }
            } else if (!groupMatches<G>(t)) {
                continue;
            }
            std::int64_t x = t;
            while (x > a && matches(x - 1)) {
                --x;
            }
            std::int64_t y = t + G - 1;
            while (y < last && matches(y + 1)) {
                ++y;
            }
            if (y - x + 1 >= blockLength_) {
                addRun(x, y - x + 1 + p_);
            }
            // The group holding y + 1 fails; go on after it.
            t += (y + 1 - t) / G * G;
        }
        return true;
    }

    // A maximal block's run; one longer than the circle is every arc of N
    // letters inside it.
    void addRun(std::int64_t start, std::int64_t length)
    {
        if (length <= n_) {
            add(start, length);
            return;
        }
        for (std::int64_t shift = 0; shift <= length - n_; ++shift) {
            add(start + shift, n_);
        }
    }

    void add(std::int64_t start, std::int64_t length)
    {
        const std::int64_t repeats = length / p_;
        if (repeats < minimumRepeats_) {
            return;
        }
        Microsatellite found;
        found.start = start % n_;
        found.unitLength = p_;
        found.unit.resize(static_cast<std::size_t>(p_));
        for (int i = 0; i < p_; ++i) {
            found.unit[static_cast<std::size_t>(i)] = letter(found.start + i);
        }
        if (isPower(found.unit)) {
            return;
        }
        found.repeats = repeats;
        found.length = repeats * p_;
        found.motifClass = motifClass(found.unit);
        out_.push_back(std::move(found));
    }

    const char* s_;
    std::int64_t n_;
    int p_;
    int minimumRepeats_;
    std::int64_t blockLength_;
    MicrosatelliteList& out_;
    const SearchControl& control_;
};

}  // namespace

std::string motifClass(std::string_view unit)
{
    std::string reverse(unit.rbegin(), unit.rend());
    std::transform(reverse.begin(), reverse.end(), reverse.begin(),
                   [](char base) { return complement(base); });
    std::string forward = smallestRotation(unit);
    std::string backward = smallestRotation(reverse);
    if (backward < forward) {
        std::swap(forward, backward);
    }
    return forward + "/" + backward;
}

void numberCompounds(std::span<Microsatellite> list, std::int64_t genomeLength, int distance)
{
    const std::size_t count = list.size();
    for (Microsatellite& item : list) {
        item.compound = 0;
    }
    if (count < 2) {
        return;
    }
    const auto joined = [&](std::size_t i) {
        const std::int64_t next = i + 1 < count ? list[i + 1].start : list[0].start + genomeLength;
        return next - list[i].end() <= distance;
    };
    // Chains in list order, numbered from 1 by their first member; a chain
    // joined across the origin to the first one takes its number.
    std::vector<int> chain(count, 1);
    for (std::size_t i = 1; i < count; ++i) {
        chain[i] = joined(i - 1) ? chain[i - 1] : chain[i - 1] + 1;
    }
    const int chains = chain[count - 1];
    if (joined(count - 1)) {
        const int tail = chain[count - 1];
        for (std::size_t i = count; i-- > 0 && chain[i] == tail;) {
            chain[i] = 1;
        }
    }
    std::vector<int> members(static_cast<std::size_t>(chains) + 1, 0);
    for (const int id : chain) {
        ++members[static_cast<std::size_t>(id)];
    }
    std::vector<int> number(members.size(), 0);
    int next = 0;
    for (std::size_t id = 1; id < members.size(); ++id) {
        if (members[id] >= 2) {
            number[id] = ++next;
        }
    }
    for (std::size_t i = 0; i < count; ++i) {
        list[i].compound = number[static_cast<std::size_t>(chain[i])];
    }
}

MicrosatelliteResult findMicrosatellites(const Genome& genome, const MicrosatelliteSettings& settings,
                                         const SearchControl& control)
{
    const std::string_view sequence = genome.sequence();
    const auto n = static_cast<std::int64_t>(sequence.size());
    const std::span<const std::int32_t> gaps = genome.gaps();
    MicrosatelliteList found;
    try {
        for (int p = 1; p <= kMaxUnitLength; ++p) {
            if (control.stopRequested()) {
                return SearchFailure::Cancelled;
            }
            control.report(static_cast<double>(p - 1) / kMaxUnitLength);
            const int minimum = std::max(settings.minimumRepeats[static_cast<std::size_t>(p - 1)], 2);
            if (n < std::int64_t{minimum} * p) {
                continue;
            }
            RunScanner scanner(sequence, p, minimum, found, control);
            bool finished = true;
            if (gaps.empty()) {
                finished = scanner.scanCircle();
            }
            // The stretches between consecutive gaps, the last one across the origin.
            for (std::size_t i = 0; finished && i < gaps.size(); ++i) {
                const std::int64_t next = i + 1 < gaps.size() ? gaps[i + 1] : gaps[0] + n;
                finished = scanner.scanStretch(gaps[i] + 1, next);
            }
            if (!finished) {
                return SearchFailure::Cancelled;
            }
        }
        std::sort(found.begin(), found.end(), [](const Microsatellite& a, const Microsatellite& b) {
            return a.start != b.start ? a.start < b.start : a.unitLength < b.unitLength;
        });
        numberCompounds(found, n, settings.compoundDistance);
    } catch (const std::bad_alloc&) {
        return SearchFailure::OutOfMemory;
    }
    control.report(1.0);
    return found;
}

}  // namespace tessaron
