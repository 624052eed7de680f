#include "engine/imperfectmicrosatellites.h"

#include "engine/alphabet.h"
#include "tandem/circularcodes.h"

#include <algorithm>
#include <array>

namespace tessaron {

namespace {

constexpr std::int64_t kLettersBetweenStopChecks = std::int64_t{1} << 16;

bool isPrimitiveUnit(std::span<const std::uint8_t> unit)
{
    const std::size_t size = unit.size();
    for (std::size_t period = 1; period < size; ++period) {
        if (size % period == 0 &&
            std::equal(unit.begin() + static_cast<std::ptrdiff_t>(period), unit.end(), unit.begin())) {
            return false;
        }
    }
    return true;
}

// The interrupted microsatellites of unit length P in a text of letter codes
// (gaps are kGapCode); starts are `offset` + their place in the text.
class ChainScanner {
public:
    ChainScanner(std::span<const std::uint8_t> text, std::int64_t offset, std::int64_t genomeLength,
                 int unitLength, int minimumRepeats)
        : text_(text),
          size_(static_cast<std::int64_t>(text.size())),
          offset_(offset),
          genomeLength_(genomeLength),
          p_(unitLength),
          minimumRepeats_(minimumRepeats)
    {
    }

    void scan(ImperfectMicrosatelliteList& out, const SearchControl& control)
    {
        std::int64_t skipUntil = 0;
        std::int64_t nextCheck = kLettersBetweenStopChecks;
        std::int64_t t = 0;
        while (t + p_ < size_) {
            if (t >= nextCheck) {
                control.throwIfStopped();
                nextCheck = t + kLettersBetweenStopChecks;
            }
            if (!same(t, t + p_)) {
                ++t;
                continue;
            }
            const std::int64_t x = t;
            while (t + p_ < size_ && same(t, t + p_)) {
                ++t;
            }
            const std::int64_t runEnd = t + p_;  // one past the run's last letter
            if (x < skipUntil || runEnd - x < std::max<std::int64_t>(2 * p_, kMinimumPiece) ||
                !isPrimitiveUnit(text_.subspan(static_cast<std::size_t>(x), static_cast<std::size_t>(p_)))) {
                continue;
            }
            skipUntil = chain(x, runEnd, out);
        }
    }

private:
    [[nodiscard]] bool same(std::int64_t a, std::int64_t b) const
    {
        const std::uint8_t letter = text_[static_cast<std::size_t>(a)];
        return letter < kGapCode && letter == text_[static_cast<std::size_t>(b)];
    }

    // The letter the pattern of the unit at `x` has at q, moved on by `shift`.
    [[nodiscard]] std::uint8_t expected(std::int64_t x, std::int64_t q, std::int64_t shift) const
    {
        const std::int64_t phase = (((q - shift - x) % p_) + p_) % p_;
        return text_[static_cast<std::size_t>(x + phase)];
    }

    // Letters from `from` that follow the pattern, up to `limit`.
    [[nodiscard]] std::int64_t piece(std::int64_t x, std::int64_t from, std::int64_t shift,
                                     std::int64_t limit) const
    {
        std::int64_t q = from;
        while (q < limit && text_[static_cast<std::size_t>(q)] < kGapCode &&
               text_[static_cast<std::size_t>(q)] == expected(x, q, shift)) {
            ++q;
        }
        return q - from;
    }

    // Grows the chain of the run [x, runEnd) and reports it; returns its end.
    std::int64_t chain(std::int64_t x, std::int64_t runEnd, ImperfectMicrosatelliteList& out)
    {
        const std::int64_t limit = std::min(size_, x + genomeLength_);
        std::int64_t end = std::min(runEnd, limit);
        std::int64_t shift = 0;
        int mismatches = 0;
        int indels = 0;
        while (end < limit) {
            struct Option {
                std::int64_t from;
                std::int64_t shift;
                bool indel;
            };
            const std::array<Option, 3> options{
                {{end + 1, shift, false}, {end + 1, shift + 1, true}, {end, shift - 1, true}}};
            std::int64_t bestLength = 0;
            const Option* best = nullptr;
            for (const Option& option : options) {
                if (option.from > limit) {
                    continue;
                }
                const std::int64_t length = piece(x, option.from, option.shift, limit);
                if (length > bestLength) {
                    bestLength = length;
                    best = &option;
                }
            }
            if (best == nullptr || bestLength < kMinimumPiece) {
                break;
            }
            (best->indel ? indels : mismatches) += 1;
            shift = best->shift;
            end = best->from + bestLength;
        }
        const std::int64_t length = end - x;
        const std::int64_t repeats = length / p_;
        if (repeats >= minimumRepeats_) {
            ImperfectMicrosatellite found;
            found.start = offset_ + x;
            found.unitLength = p_;
            for (int i = 0; i < p_; ++i) {
                found.unit += kAlphabet[text_[static_cast<std::size_t>(x + i)]];
            }
            found.repeats = repeats;
            found.length = length;
            found.motifClass = motifClass(found.unit);
            found.mismatches = mismatches;
            found.indels = indels;
            out.push_back(std::move(found));
        }
        return end;
    }

    std::span<const std::uint8_t> text_;
    std::int64_t size_;
    std::int64_t offset_;
    std::int64_t genomeLength_;
    int p_;
    int minimumRepeats_;
};

ImperfectMicrosatelliteList search(const Genome& genome, const MicrosatelliteSettings& settings,
                                   const SearchControl& control)
{
    const std::string_view sequence = genome.sequence();
    const auto n = static_cast<std::int64_t>(sequence.size());
    ImperfectMicrosatelliteList found;
    if (n == 0) {
        return found;
    }
    const auto scanAll = [&](std::span<const std::uint8_t> text, std::int64_t offset,
                             ImperfectMicrosatelliteList& out) {
        for (int p = 1; p <= kMaxUnitLength; ++p) {
            const int minimum = std::max(settings.minimumRepeats[static_cast<std::size_t>(p - 1)], 2);
            ChainScanner(text, offset, n, p, minimum).scan(out, control);
        }
    };
    const std::span<const std::int32_t> gaps = genome.gaps();
    if (!gaps.empty()) {
        for (std::size_t i = 0; i < gaps.size(); ++i) {
            const std::int64_t from = gaps[i] + 1;
            const std::int64_t to = i + 1 < gaps.size() ? gaps[i + 1] : gaps[0] + n;
            if (to > from) {
                scanAll(tandem::circularCodes(sequence, from, to), from, found);
            }
        }
    } else {
        // Read from W letters before the origin to W after the end, as the
        // tandem search does, wider while one reaches the end of the reading.
        std::int64_t margin = std::min<std::int64_t>(n, 1000);
        while (true) {
            ImperfectMicrosatelliteList all;
            scanAll(tandem::circularCodes(sequence, -margin, n + margin), -margin, all);
            bool cut = false;
            found.clear();
            for (ImperfectMicrosatellite& m : all) {
                if (m.start >= 0 && m.start < n) {
                    cut = cut || m.end() >= n + margin;
                    found.push_back(std::move(m));
                }
            }
            if (!cut || margin == n) {
                break;
            }
            margin = std::min(n, 2 * margin);
        }
    }
    for (ImperfectMicrosatellite& m : found) {
        m.start = ((m.start % n) + n) % n;
    }
    std::sort(found.begin(), found.end(),
              [](const ImperfectMicrosatellite& a, const ImperfectMicrosatellite& b) {
                  return a.start != b.start ? a.start < b.start : a.unitLength < b.unitLength;
              });
    found.erase(std::unique(found.begin(), found.end(),
                            [](const ImperfectMicrosatellite& a, const ImperfectMicrosatellite& b) {
                                return a.start == b.start && a.unitLength == b.unitLength;
                            }),
                found.end());
    return found;
}

}  // namespace

ImperfectMicrosatelliteResult findImperfectMicrosatellites(const Genome& genome,
                                                           const MicrosatelliteSettings& settings,
                                                           const SearchControl& control)
{
    ImperfectMicrosatelliteResult result = runStep(
        control, [&]() -> ImperfectMicrosatelliteResult { return search(genome, settings, control); });
    if (std::holds_alternative<ImperfectMicrosatelliteList>(result)) {
        control.report(1.0);
    }
    return result;
}

}  // namespace tessaron
