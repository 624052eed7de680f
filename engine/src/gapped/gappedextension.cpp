#include "gappedextension.h"

#include <algorithm>
#include <limits>

// States (a, b): a letters of the first copy and b of the second read
// outwards. H is the best score of an alignment ending in the state, E of
// one ending with a first-copy letter alone (a deletion), F with a
// second-copy letter alone (an insertion):
//   E(a, b) = max(H(a-1, b) - O - E, E(a-1, b) - E)
//   F(a, b) = max(H(a, b-1) - O - E, F(a, b-1) - E)
//   H(a, b) = max(H(a-1, b-1) + s(a, b), E(a, b), F(a, b)),  H(0, 0) = 0.
// Rows are a; a state whose H falls more than the X-drop below the best so
// far is dropped, and a row keeps only the columns between its first and
// last live state. Each state keeps two bits for H's source and one each for
// whether E and F were opened there, to trace the best state back.

namespace tessaron::gapped {
namespace {

using Score = XDropAligner::Score;
// Below every live score, and far enough above the least 32-bit value that
// taking a few capped costs from it does not wrap.
constexpr Score kDead = std::numeric_limits<Score>::min() / 4;
// An extension reads at most this many letters of each copy, so that its
// scores fit in 32 bits.
constexpr std::size_t kMaxLetters = std::size_t{1} << 30;
constexpr std::int64_t kMaxScoreXDrop = std::int64_t{1} << 20;
constexpr std::uint8_t kFromDiagonal = 0;
constexpr std::uint8_t kFromE = 1;
constexpr std::uint8_t kFromF = 2;
constexpr std::uint8_t kOrigin = 3;
constexpr std::uint8_t kEOpened = 4;
constexpr std::uint8_t kFOpened = 8;
constexpr std::uint8_t kGapLetter = 4;
// The ungapped look at a seed gives up sooner: it only decides whether the
// seed is worth a gapped extension.
constexpr std::int64_t kUngappedXDrop = 16;

bool forbidden(const Side& side, std::int64_t a, std::int64_t b)
{
    const std::int64_t difference = b - a;
    if (difference == side.forbiddenDifference[0] || difference == side.forbiddenDifference[1]) {
        return true;
    }
    return side.maxTotal >= 0 && a + b > side.maxTotal;
}

// The letters of a reading before its first gap letter, found as far as
// they are asked for.
class Usable {
public:
    explicit Usable(std::span<const std::uint8_t> letters) : letters_(letters) {}
    // Whether letter `count` - 1 (and every one before it) is usable.
    bool reaches(std::int64_t count)
    {
        while (checked_ < count) {
            if (checked_ >= static_cast<std::int64_t>(letters_.size()) ||
                letters_[static_cast<std::size_t>(checked_)] == kGapLetter) {
                return false;
            }
            ++checked_;
        }
        return true;
    }
    // The usable letters, counted at most to `count`.
    std::int64_t usable(std::int64_t count)
    {
        reaches(count);
        return std::min(count, checked_);
    }

private:
    std::span<const std::uint8_t> letters_;
    std::int64_t checked_ = 0;
};

}  // namespace

std::pair<std::int64_t, std::int64_t> XDropAligner::extendUngapped(const Side& side) const
{
    // Along the seed's own line the letters' difference stays 0 and the
    // letters of both copies are 2 (k + 1) after k + 1 columns.
    if (side.forbiddenDifference[0] == 0 || side.forbiddenDifference[1] == 0) {
        return {0, 0};
    }
    auto limit = static_cast<std::int64_t>(std::min(side.first.size(), side.second.size()));
    if (side.maxTotal >= 0) {
        limit = std::min(limit, side.maxTotal / 2);
    }
    const std::int64_t xDrop = std::min(scoring_.xDrop, kUngappedXDrop);
    const std::int64_t step = scoring_.mismatch + 1;
    std::int64_t score = 0;
    std::int64_t best = 0;
    std::int64_t bestLength = 0;
    for (std::int64_t k = 0; k < limit; ++k) {
        const std::uint8_t a = side.first[static_cast<std::size_t>(k)];
        const std::uint8_t b = side.second[static_cast<std::size_t>(k)];
        if (((a | b) & kGapLetter) != 0) {
            break;
        }
        // +1 or the mismatch, as arithmetic: which it is cannot be foreseen.
        score += step * static_cast<std::int64_t>(a == b) - scoring_.mismatch;
        if (score > best) {
            best = score;
            bestLength = k + 1;
        } else if (score < best - xDrop) {
            break;
        }
    }
    return {best, bestLength};
}

Extension XDropAligner::extend(const Side& side, std::int64_t enough)
{
    // Scores in 32 bits. A gap whose first letter costs more than the
    // X-drop can never be taken (the state it leads to falls below the
    // best so far by more), so its costs are capped just above the X-drop:
    // every live state and every choice between live values stays as it
    // is, and a dead value stays dead.
    const Score xDrop = static_cast<Score>(std::clamp<std::int64_t>(scoring_.xDrop, 0, kMaxScoreXDrop));
    const Score mismatch = static_cast<Score>(std::clamp<std::int64_t>(scoring_.mismatch, 0, xDrop + 1));
    const Score gapExtend = static_cast<Score>(std::clamp<std::int64_t>(scoring_.extend, 0, xDrop + 1));
    const Score openExtend =
        static_cast<Score>(std::clamp<std::int64_t>(scoring_.open + scoring_.extend, 0, xDrop + 1));
    Usable rows(side.first.first(std::min(side.first.size(), kMaxLetters)));
    Usable columns(side.second.first(std::min(side.second.size(), kMaxLetters)));
    trace_.clear();
    rowLow_.clear();
    rowOffset_.clear();
    Score best = 0;
    std::int64_t bestA = 0;
    std::int64_t bestB = 0;
    bool cut = false;

    // Row 0: the second copy's letters alone.
    h_.clear();
    e_.clear();
    rowLow_.push_back(0);
    rowOffset_.push_back(0);
    h_.push_back(0);
    e_.push_back(kDead);
    trace_.push_back(kOrigin);
    for (std::int64_t b = 1; columns.reaches(b); ++b) {
        const std::int64_t f = -(scoring_.open + b * scoring_.extend);
        if (f < best - xDrop || forbidden(side, 0, b)) {
            break;
        }
        h_.push_back(static_cast<Score>(f));
        e_.push_back(kDead);
        trace_.push_back(static_cast<std::uint8_t>(kFromF | (b == 1 ? kFOpened : 0)));
    }
    // The live columns of the row above are low .. high; its H and E are
    // stored from column low - 1 on, with dead values at low - 1, high + 1
    // and high + 2, so that every column under it reads them alike.
    std::int64_t low = 0;
    std::int64_t high = static_cast<std::int64_t>(h_.size()) - 1;
    h_.insert(h_.begin(), kDead);
    e_.insert(e_.begin(), kDead);
    h_.insert(h_.end(), 2, kDead);
    e_.insert(e_.end(), 2, kDead);
    const std::uint8_t* const second = side.second.data();
    std::size_t start = 1;  // where column low is stored
    for (std::int64_t a = 1; rows.reaches(a); ++a) {
        // Columns past `end` are not usable or make the copies meet.
        const std::int64_t totalBound = side.maxTotal >= 0 ? side.maxTotal - a : INT64_MAX;
        std::int64_t end = std::min(columns.usable(high + 1), totalBound);
        const std::int64_t forbidden0 =
            side.forbiddenDifference[0] == INT64_MIN ? -1 : a + side.forbiddenDifference[0];
        const std::int64_t forbidden1 =
            side.forbiddenDifference[1] == INT64_MIN ? -1 : a + side.forbiddenDifference[1];
        const std::uint8_t letter = side.first[static_cast<std::size_t>(a - 1)];
        // The new row is stored from column low - 1 on.
        std::size_t room = static_cast<std::size_t>(high - low) + 8;
        if (nh_.size() < room) {
            nh_.resize(room);
            ne_.resize(room);
            rowTrace_.resize(room);
        }
        const Score* above = h_.data() + start;  // column low
        const Score* aboveE = e_.data() + start;
        Score* row = nh_.data() + 1;
        Score* rowE = ne_.data() + 1;
        std::uint8_t* rowTrace = rowTrace_.data();
        row[-1] = kDead;
        rowE[-1] = kDead;
        Score f = kDead;
        Score left = kDead;  // H of the state on the left
        Score floor = best - xDrop;
        std::int64_t newLow = -1;
        std::int64_t newHigh = -1;
        // Under the row above and one past it. First E from above and the
        // diagonal from the left of it, column by column alone; then F
        // from the left, in order. A state's F only matters when it is
        // live, and then the state on its left is live too, so F may be
        // carried along from dropped states (it stays below the X-drop);
        // what the next row reads is dropped.
        const std::int64_t under = std::min(high + 1, end);
        bool lastLive = false;
        if (under >= low) {
            std::size_t from = 0;
            if (low == 0) {
                // Column 0 has no diagonal.
                const Score eOpened = above[0] - openExtend;
                const Score eExtended = aboveE[0] - gapExtend;
                row[0] = std::max(eOpened, eExtended);
                rowE[0] = row[0];
                rowTrace[0] = static_cast<std::uint8_t>(kFromE | (eOpened >= eExtended ? kEOpened : 0));
                from = 1;
            }
            const auto to = static_cast<std::size_t>(under - low + 1);
            // letters[k] is the second copy's letter of column low + from + k.
            const std::uint8_t* letters = second + (low + static_cast<std::int64_t>(from) - 1);
            // Equal letters add 1, unequal ones take the mismatch: as
            // arithmetic, since which it is cannot be foreseen.
            const Score step = mismatch + 1;
            for (std::size_t k = from; k < to; ++k) {
                const Score eOpened = above[k] - openExtend;
                const Score eExtended = aboveE[k] - gapExtend;
                const Score e = std::max(eOpened, eExtended);
                const Score diagonal = above[static_cast<std::ptrdiff_t>(k) - 1] - mismatch +
                                       step * static_cast<Score>(letters[k - from] == letter);
                const bool fromE = e > diagonal;
                row[k] = fromE ? e : diagonal;
                rowE[k] = e;
                rowTrace[k] = static_cast<std::uint8_t>((fromE ? kFromE : kFromDiagonal) |
                                                        (eOpened >= eExtended ? kEOpened : 0));
            }
            for (std::int64_t b = low; b <= under; ++b) {
                const auto k = static_cast<std::size_t>(b - low);
                const Score fOpened = left - openExtend;
                const Score fExtended = f - gapExtend;
                f = std::max(fOpened, fExtended);
                Score h = row[k];
                std::uint8_t trace = rowTrace[k];
                trace = static_cast<std::uint8_t>(trace | (fOpened >= fExtended ? kFOpened : 0));
                if (f > h) {
                    h = f;
                    trace = static_cast<std::uint8_t>((trace & ~3U) | kFromF);
                }
                left = h;
                if (b == forbidden0 || b == forbidden1) [[unlikely]] {
                    h = kDead;  // nothing goes on from it
                    left = kDead;
                    f = kDead;
                }
                const bool dead = h < floor;
                if (h > best) {
                    best = h;
                    floor = best - xDrop;
                    bestA = a;
                    bestB = b;
                }
                newLow = newLow < 0 && !dead ? b : newLow;
                newHigh = dead ? newHigh : b;
                lastLive = !dead;
                row[k] = dead ? kDead : h;
                rowE[k] = dead ? kDead : rowE[k];
                rowTrace[k] = trace;
            }
        }
        if (!lastLive) {
            left = kDead;
        }
        // Past it F alone goes on, from a live state on the left.
        for (std::int64_t b = under + 1; left != kDead && b > high + 1; ++b) {
            if (b > end) {
                end = std::min(columns.usable(b + 64), totalBound);
                if (b > end) {
                    break;
                }
            }
            auto k = static_cast<std::size_t>(b - low);
            if (k + 4 > room) {
                room = 2 * room;
                nh_.resize(room);
                ne_.resize(room);
                rowTrace_.resize(room);
                row = nh_.data() + 1;
                rowE = ne_.data() + 1;
                rowTrace = rowTrace_.data();
            }
            const Score fOpened = left - openExtend;
            const Score fExtended = f - gapExtend;
            f = std::max(fOpened, fExtended);
            Score h = f;
            Score e = kDead;
            const auto trace = static_cast<std::uint8_t>(kFromF | (fOpened >= fExtended ? kFOpened : 0));
            if (h < floor || b == forbidden0 || b == forbidden1) {
                h = kDead;
                f = kDead;
            } else {
                newHigh = b;
                if (h > best) {
                    best = h;
                    floor = best - xDrop;
                    bestA = a;
                    bestB = b;
                }
            }
            left = h;
            row[k] = h;
            rowE[k] = e;
            rowTrace[k] = trace;
        }
        if (newLow < 0) {
            break;
        }
        // Keep the live columns and their trace; dead values past them.
        const auto first = static_cast<std::size_t>(newLow - low);
        const auto last = static_cast<std::size_t>(newHigh - low);
        if (last + 4 > room) {
            nh_.resize(last + 4);
            ne_.resize(last + 4);
            row = nh_.data() + 1;
            rowE = ne_.data() + 1;
        }
        row[last + 1] = kDead;
        row[last + 2] = kDead;
        rowE[last + 1] = kDead;
        rowE[last + 2] = kDead;
        rowLow_.push_back(newLow);
        rowOffset_.push_back(trace_.size());
        trace_.insert(trace_.end(), rowTrace_.begin() + static_cast<std::ptrdiff_t>(first),
                      rowTrace_.begin() + static_cast<std::ptrdiff_t>(last + 1));
        low = newLow;
        high = newHigh;
        start = 1 + first;
        std::swap(h_, nh_);
        std::swap(e_, ne_);
        if (best >= enough) {
            cut = true;
            break;
        }
    }

    Extension extension;
    extension.cut = cut;
    extension.score = best;
    extension.firstLetters = bestA;
    extension.secondLetters = bestB;
    // Trace back from the best state.
    enum class State { H, E, F } state = State::H;
    std::int64_t a = bestA;
    std::int64_t b = bestB;
    while (a > 0 || b > 0) {
        const std::uint8_t trace = trace_[rowOffset_[static_cast<std::size_t>(a)] +
                                          static_cast<std::size_t>(b - rowLow_[static_cast<std::size_t>(a)])];
        if (state == State::H) {
            const std::uint8_t source = trace & 3;
            if (source == kFromDiagonal) {
                extension.ops.push_back(side.first[static_cast<std::size_t>(a - 1)] ==
                                                side.second[static_cast<std::size_t>(b - 1)]
                                            ? kEqual
                                            : kMismatch);
                --a;
                --b;
            } else {
                state = source == kFromE ? State::E : State::F;
            }
        } else if (state == State::E) {
            extension.ops.push_back(kDeletion);
            state = (trace & kEOpened) != 0 ? State::H : State::E;
            --a;
        } else {
            extension.ops.push_back(kInsertion);
            state = (trace & kFOpened) != 0 ? State::H : State::F;
            --b;
        }
    }
    std::reverse(extension.ops.begin(), extension.ops.end());
    return extension;
}

}  // namespace tessaron::gapped
