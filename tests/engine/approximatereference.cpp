#include "approximatereference.h"
#include "referenceindex.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>
#include <tuple>
#include <utility>

namespace tessaron::reference {
namespace {

using Scores = std::vector<std::optional<std::int64_t>>;  // nothing: a pair with a gap

bool isBase(char letter)
{
    return letter == 'A' || letter == 'C' || letter == 'G' || letter == 'T';
}

// The longest segment from each start whose every prefix scores > 0 and that
// ends at a new best total, kept when no other start's segment contains it.
// On a circle segments may run over the end but hold fewer pairs than it.
std::vector<std::pair<std::int64_t, std::int64_t>> maximalSegments(const Scores& scores, bool circle)
{
    const auto n = static_cast<std::int64_t>(scores.size());
    std::vector<std::int64_t> longest(static_cast<std::size_t>(n), 0);
    for (std::int64_t start = 0; start < n; ++start) {
        std::int64_t total = 0;
        std::int64_t best = 0;
        const std::int64_t limit = circle ? n - 1 : n - start;
        for (std::int64_t length = 1; length <= limit; ++length) {
            const auto& score = scores[static_cast<std::size_t>((start + length - 1) % n)];
            if (!score) {
                break;
            }
            total += *score;
            if (total <= 0) {
                break;
            }
            if (total > best) {
                best = total;
                longest[static_cast<std::size_t>(start)] = length;
            }
        }
    }
    const std::int64_t most = *std::max_element(longest.begin(), longest.end());
    std::vector<std::pair<std::int64_t, std::int64_t>> found;
    for (std::int64_t start = 0; start < n; ++start) {
        const std::int64_t length = longest[static_cast<std::size_t>(start)];
        if (length == 0) {
            continue;
        }
        bool contained = false;
        for (std::int64_t back = 1; back <= most && !contained; ++back) {
            if (!circle && start - back < 0) {
                break;
            }
            const std::int64_t other = ((start - back) % n + n) % n;
            contained = longest[static_cast<std::size_t>(other)] >= back + length;
        }
        if (!contained) {
            found.emplace_back(start, length);
        }
    }
    return found;
}

class Search {
public:
    Search(const std::string& sequence, RepeatKind kind, const ApproximateSettings& settings,
           const KarlinAltschul& statistics)
        : s_(sequence),
          n_(static_cast<std::int64_t>(sequence.size())),
          kind_(kind),
          settings_(settings),
          statistics_(statistics)
    {
    }

    std::vector<ApproximatePair> run()
    {
        if (n_ < 2) {
            return {};
        }
        if (kind_ == RepeatKind::Direct || kind_ == RepeatKind::Complementary) {
            circles();
        } else {
            lines();
        }
        return {found_.begin(), found_.end()};
    }

private:
    [[nodiscard]] char at(std::int64_t position) const
    {
        return s_[static_cast<std::size_t>(((position % n_) + n_) % n_)];
    }

    // The score of lining up letter a with letter b (complemented for the
    // inverted and complementary kinds); nothing with a gap.
    [[nodiscard]] std::optional<std::int64_t> score(std::int64_t a, std::int64_t b) const
    {
        const char first = at(a);
        char second = at(b);
        if (!isBase(first) || !isBase(second)) {
            return std::nullopt;
        }
        if (kind_ == RepeatKind::Inverted || kind_ == RepeatKind::Complementary) {
            second = complementOf(second);
        }
        return first == second ? 1 : -static_cast<std::int64_t>(settings_.mismatchPenalty);
    }

    // Keeps a segment of `length` pairs lining up first + k with second + k
    // (or second + length - 1 - k for the inverted and mirror kinds).
    void keep(std::int64_t first, std::int64_t second, std::int64_t length)
    {
        const bool backwards = kind_ == RepeatKind::Inverted || kind_ == RepeatKind::Mirror;
        std::int64_t mismatches = 0;
        std::int64_t total = 0;
        for (std::int64_t k = 0; k < length; ++k) {
            const auto s = score(first + k, backwards ? second + length - 1 - k : second + k);
            mismatches += *s < 0 ? 1 : 0;
            total += *s;
        }
        if (length < settings_.minLength ||
            100.0 * static_cast<double>(length - mismatches) / static_cast<double>(length) <
                settings_.identity ||
            (settings_.maxMismatches && mismatches > *settings_.maxMismatches)) {
            return;
        }
        const double evalue = statistics_.evalue(total);
        if (settings_.maxEvalue && !(evalue <= *settings_.maxEvalue)) {
            return;
        }
        ApproximatePair pair;
        pair.first = std::min(first, second);
        pair.second = std::max(first, second);
        pair.length = length;
        pair.mismatches = mismatches;
        pair.score = total;
        pair.identity = 100.0 * static_cast<double>(length - mismatches) / static_cast<double>(length);
        pair.evalue = evalue;
        found_.insert(pair);
    }

    void circles()
    {
        for (std::int64_t d = 1; d < n_; ++d) {
            Scores scores;
            bool gapless = true;
            std::int64_t total = 0;
            for (std::int64_t k = 0; k < n_; ++k) {
                scores.push_back(score(k, k + d));
                gapless = gapless && scores.back().has_value();
                total += scores.back().value_or(0);
            }
            if (gapless && total > 0) {
                continue;
            }
            for (const auto& [start, length] : maximalSegments(scores, true)) {
                keep(start, (start + d) % n_, length);
            }
        }
    }

    void lines()
    {
        for (std::int64_t t = 0; t < n_; ++t) {
            // A centre: a letter c with 2c = t, else two letters u, u+1 with 2u+1 = t.
            std::optional<std::int64_t> letter;
            std::optional<std::int64_t> between;
            for (std::int64_t c = 0; c < n_ && !letter; ++c) {
                if ((2 * c) % n_ == t) {
                    letter = c;
                }
            }
            for (std::int64_t u = 0; u < n_ && !letter && !between; ++u) {
                if ((2 * u + 1) % n_ == t) {
                    between = u;
                }
            }
            const std::int64_t a0 = letter ? *letter - 1 : *between;
            const std::int64_t b0 = letter ? *letter + 1 : *between + 1;
            const bool startGoesOn = letter ? score(*letter, *letter) == 1 : true;
            std::vector<std::int64_t> as;
            std::vector<std::int64_t> bs;
            Scores scores;
            bool endGoesOn = true;
            for (std::int64_t y = 0;; ++y) {
                const std::int64_t a = ((a0 - y) % n_ + n_) % n_;
                const std::int64_t b = ((b0 + y) % n_ + n_) % n_;
                if (a == b) {
                    endGoesOn = score(a, a) == 1;  // the opposite centre is a letter
                    break;
                }
                if (!as.empty() && a == bs.back() && b == as.back()) {
                    break;  // the previous pair turned round: a centre between two letters
                }
                as.push_back(a);
                bs.push_back(b);
                scores.push_back(score(a, b));
            }
            if (scores.empty()) {
                continue;
            }
            const auto length = static_cast<std::int64_t>(scores.size());
            for (const auto& [start, count] : maximalSegments(scores, false)) {
                const std::int64_t last = start + count - 1;
                if ((start == 0 && startGoesOn) || (last == length - 1 && endGoesOn)) {
                    continue;  // the middle of a palindrome
                }
                keep(as[static_cast<std::size_t>(last)], bs[static_cast<std::size_t>(start)], count);
            }
        }
    }

    struct Order {
        bool operator()(const ApproximatePair& x, const ApproximatePair& y) const
        {
            return std::tie(x.first, x.second, x.length) < std::tie(y.first, y.second, y.length);
        }
    };

    const std::string& s_;
    std::int64_t n_;
    RepeatKind kind_;
    ApproximateSettings settings_;
    KarlinAltschul statistics_;
    std::set<ApproximatePair, Order> found_;
};

}  // namespace

std::vector<ApproximatePair> approximateSearch(const std::string& sequence, RepeatKind kind,
                                               const ApproximateSettings& settings,
                                               const KarlinAltschul& statistics)
{
    return Search(sequence, kind, settings, statistics).run();
}

}  // namespace tessaron::reference
