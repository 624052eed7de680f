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

constexpr std::int64_t kDead = std::numeric_limits<std::int64_t>::min() / 4;
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

private:
    std::span<const std::uint8_t> letters_;
    std::int64_t checked_ = 0;
};

}  // namespace

std::pair<std::int64_t, std::int64_t> XDropAligner::extendUngapped(const Side& side) const
{
    const auto limit = static_cast<std::int64_t>(std::min(side.first.size(), side.second.size()));
    std::int64_t score = 0;
    std::int64_t best = 0;
    std::int64_t bestLength = 0;
    for (std::int64_t k = 0; k < limit; ++k) {
        const std::uint8_t a = side.first[static_cast<std::size_t>(k)];
        const std::uint8_t b = side.second[static_cast<std::size_t>(k)];
        if (a == kGapLetter || b == kGapLetter || forbidden(side, k + 1, k + 1)) {
            break;
        }
        score += a == b ? 1 : -scoring_.mismatch;
        if (score > best) {
            best = score;
            bestLength = k + 1;
        } else if (score < best - std::min(scoring_.xDrop, kUngappedXDrop)) {
            break;
        }
    }
    return {best, bestLength};
}

Extension XDropAligner::extend(const Side& side)
{
    Usable rows(side.first);
    Usable columns(side.second);
    const std::int64_t openExtend = scoring_.open + scoring_.extend;
    trace_.clear();
    rowLow_.clear();
    rowOffset_.clear();
    std::int64_t best = 0;
    std::int64_t bestA = 0;
    std::int64_t bestB = 0;

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
        if (f < best - scoring_.xDrop || forbidden(side, 0, b)) {
            break;
        }
        h_.push_back(f);
        e_.push_back(kDead);
        trace_.push_back(static_cast<std::uint8_t>(kFromF | (b == 1 ? kFOpened : 0)));
    }
    std::int64_t low = 0;
    for (std::int64_t a = 1; rows.reaches(a); ++a) {
        const std::int64_t previousLow = low;
        const std::int64_t previousHigh = low + static_cast<std::int64_t>(h_.size()) - 1;
        nh_.clear();
        ne_.clear();
        const std::size_t offset = trace_.size();
        const std::uint8_t letter = side.first[static_cast<std::size_t>(a - 1)];
        std::int64_t f = kDead;
        std::int64_t newLow = -1;
        std::int64_t newHigh = -1;
        for (std::int64_t b = previousLow; b == 0 || columns.reaches(b); ++b) {
            const bool above = b <= previousHigh;
            // Past the row above only F goes on, from a live state on the left.
            if (b > previousHigh + 1 && (nh_.empty() || nh_.back() == kDead)) {
                break;
            }
            std::uint8_t trace = 0;
            std::int64_t e = kDead;
            if (above) {
                const std::int64_t opened = h_[static_cast<std::size_t>(b - previousLow)] - openExtend;
                const std::int64_t extended = e_[static_cast<std::size_t>(b - previousLow)] - scoring_.extend;
                e = std::max(opened, extended);
                if (opened >= extended) {
                    trace |= kEOpened;
                }
            }
            std::int64_t diagonal = kDead;
            if (b >= 1 && b - 1 >= previousLow && b - 1 <= previousHigh) {
                const std::int64_t before = h_[static_cast<std::size_t>(b - 1 - previousLow)];
                if (before > kDead) {
                    diagonal =
                        before +
                        (letter == side.second[static_cast<std::size_t>(b - 1)] ? 1 : -scoring_.mismatch);
                }
            }
            if (!nh_.empty()) {
                const std::int64_t opened = nh_.back() - openExtend;
                const std::int64_t extended = f - scoring_.extend;
                f = std::max(opened, extended);
                if (opened >= extended) {
                    trace |= kFOpened;
                }
            } else {
                f = kDead;
            }
            std::int64_t h = diagonal;
            std::uint8_t source = kFromDiagonal;
            if (e > h) {
                h = e;
                source = kFromE;
            }
            if (f > h) {
                h = f;
                source = kFromF;
            }
            if (h <= kDead / 2 || h < best - scoring_.xDrop || forbidden(side, a, b)) {
                h = kDead;
                e = kDead;
                f = kDead;
            } else {
                if (newLow < 0) {
                    newLow = b;
                }
                newHigh = b;
                if (h > best) {
                    best = h;
                    bestA = a;
                    bestB = b;
                }
            }
            if (newLow < 0) {
                continue;  // the row starts at its first live state
            }
            nh_.push_back(h);
            ne_.push_back(e);
            trace_.push_back(static_cast<std::uint8_t>(trace | source));
        }
        if (newLow < 0) {
            break;
        }
        // Drop the dead states after the last live one.
        const auto kept = static_cast<std::size_t>(newHigh - newLow + 1);
        nh_.resize(kept);
        ne_.resize(kept);
        trace_.resize(offset + kept);
        rowLow_.push_back(newLow);
        rowOffset_.push_back(offset);
        low = newLow;
        std::swap(h_, nh_);
        std::swap(e_, ne_);
    }

    Extension extension;
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
