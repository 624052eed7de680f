#include "tandem/arraybuilder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace tessaron::tandem {

namespace {

// How far the running score may fall below its best before an array ends:
// a first look from the candidate, and the alignment of the array found.
int firstDropOff(const TandemSettings& settings)
{
    return std::max(settings.minimumScore, 4 * (settings.mismatch + settings.indel));
}
int finalDropOff(const TandemSettings& settings)
{
    return std::max(5 * settings.minimumScore, 4 * (settings.mismatch + settings.indel));
}

std::vector<std::uint8_t> rotated(const std::vector<std::uint8_t>& word, std::size_t shift)
{
    std::vector<std::uint8_t> out(word);
    if (!out.empty()) {
        std::rotate(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(shift % out.size()), out.end());
    }
    return out;
}

// The most copies of an array tried at two and three times its period.
constexpr double kMostCopiesForMultiples = 12.0;

constexpr int kUnreachable = std::numeric_limits<int>::min() / 4;

// A cell's move, two bits: a consensus letter deleted when the high bit is
// set, else a letter inserted when the low bit is, else the diagonal.
enum WrapMove : std::uint8_t { kWrapDiagonal = 0, kWrapInserted = 1, kWrapDeleted = 2 };

}  // namespace

std::vector<AlignedCopy> WrapAligner::align(std::span<const std::uint8_t> text, std::int64_t from,
                                            int direction, const std::vector<std::uint8_t>& consensus,
                                            int dropOff)
{
    const auto period = static_cast<std::int64_t>(consensus.size());
    const int band = bandFor(static_cast<int>(period));
    const int width = 2 * band + 1;
    const std::int64_t room = direction > 0 ? static_cast<std::int64_t>(text.size()) - from : from;
    // Letter t read, in reading order.
    const auto letter = [&](std::int64_t t) {
        return text[static_cast<std::size_t>(direction > 0 ? from + t : from - 1 - t)];
    };
    const int match = weights_.match;
    const int mismatch = weights_.mismatch;
    const int indel = weights_.indel;
    // Consensus letters in reading order, repeated past one period by a
    // band's width: the letters a row's cells read lie side by side.
    pattern_.resize(static_cast<std::size_t>(period + width));
    for (std::int64_t i = 0; i < period + width; ++i) {
        pattern_[static_cast<std::size_t>(i)] =
            consensus[static_cast<std::size_t>(direction > 0 ? i % period : period - 1 - i % period)];
    }
    // Rows hold the band's cells from `margin` on, with unreachable cells
    // either side as far as the band can move from one row to the next: a
    // cell before column 0 or outside the band before is unreachable, and
    // so is every cell reached only from such cells (the scores below
    // kUnreachable / 2), so no cell needs a bounds test.
    const int margin = band + 2;
    previous_.assign(static_cast<std::size_t>(width + 2 * margin), kUnreachable);
    current_.assign(static_cast<std::size_t>(width + 2 * margin), kUnreachable);
    low_.assign(1, -band);
    // Moves: two bits a cell, a row in whole bytes (every byte read is written).
    const auto stride = static_cast<std::size_t>((width + 3) / 4);
    rowMoves_.assign(4 * stride, 0);
    above_.resize(static_cast<std::size_t>(width));
    // Row 0: consensus letters skipped before the first letter read.
    for (int k = band; k < width; ++k) {
        previous_[static_cast<std::size_t>(margin + k)] = -indel * (k - band);
    }
    int best = 0;
    std::int64_t bestRow = 0;
    std::int64_t bestColumn = 0;
    std::int64_t centre = 0;
    // The consensus letter a diagonal move into a row's first cell reads
    // (letter low - 1), kept as the band moves: no division per row.
    std::int64_t phase = ((low_.back() - 1) % period + period) % period;
    for (std::int64_t t = 1; t <= room; ++t) {
        const std::int64_t low = centre + 1 - band;
        // The previous row's cell k + shift is this row's cell k.
        const std::int64_t shift = low - low_.back();
        const std::uint8_t read = letter(t - 1);
        if (moves_.size() < static_cast<std::size_t>(t) * stride) {
            moves_.resize(std::max(static_cast<std::size_t>(t) * stride, 2 * moves_.size()));
        }
        std::uint8_t* const moveRow = moves_.data() + static_cast<std::size_t>(t - 1) * stride;
        const int* const previous = previous_.data() + margin + shift;
        int* const current = current_.data() + margin;
        phase += shift;
        while (phase < 0) {
            phase += period;
        }
        while (phase >= period) {
            phase -= period;
        }
        // The consensus letter a diagonal move into cell k reads: letter u - 1.
        const std::uint8_t* const expected = pattern_.data() + phase;
        // Every choice below is a select, not a branch: the letters are as
        // good as random to a predictor. A move's low bit: a letter inserted
        // (only when strictly better than the diagonal); its high bit: a
        // consensus letter deleted (only when strictly better than both).
        // First the moves from the row before, independent cell of cell
        // (no branch: the letters are as good as random to a predictor): the
        // diagonal, or a letter inserted when strictly better (a move's low bit).
        int* const above = above_.data();
        std::uint8_t* const move = rowMoves_.data();
        for (int k = 0; k < width; ++k) {
            const int diagonal = previous[k - 1] + (read == expected[k] ? match : -mismatch);
            const int inserted = previous[k] - indel;
            above[k] = std::max(diagonal, inserted);
            move[k] = static_cast<std::uint8_t>(inserted > diagonal);
        }
        // Then along the row: a consensus letter deleted when strictly
        // better (the high bit).
        int left = kUnreachable;
        int rowBest = kUnreachable;
        int rowBestCell = 0;
        for (int k = 0; k < width; ++k) {
            const int deleted = left - indel;
            const bool fromDeleted = deleted > above[k];
            int score = std::max(above[k], deleted);
            score = score < kUnreachable / 2 ? kUnreachable : score;
            current[k] = score;
            left = score;
            rowBestCell = score > rowBest ? k : rowBestCell;
            rowBest = std::max(rowBest, score);
            move[k] = static_cast<std::uint8_t>(move[k] | (static_cast<unsigned>(fromDeleted) << 1U));
        }
        // Four moves a byte: the byte of move m at bits 2m.
        for (std::size_t at = 0; at < stride; ++at) {
            std::uint32_t four = 0;
            std::memcpy(&four, move + 4 * at, sizeof four);
            moveRow[at] = static_cast<std::uint8_t>(four | (four >> 6U) | (four >> 12U) | (four >> 18U));
        }
        const std::int64_t rowBestColumn = low + rowBestCell;
        low_.push_back(low);
        std::swap(previous_, current_);
        if (rowBest <= kUnreachable) {
            break;
        }
        if (rowBest > best || (rowBest == best && best > 0)) {
            best = rowBest;
            bestRow = t;
            bestColumn = rowBestColumn;
        }
        if (rowBest < best - dropOff) {
            break;
        }
        centre = rowBestColumn;
    }
    if (bestRow == 0) {
        return {};
    }
    // The trace, in reading order.
    std::string ops;
    // The consensus letter of column u: letter u - 1, kept as u goes down.
    std::int64_t column = (bestColumn + period - 1) % period;
    for (std::int64_t t = bestRow, u = bestColumn; t > 0 || u > 0;) {
        if (t == 0) {
            ops += 'D';
            --u;
            continue;
        }
        const auto k = static_cast<std::size_t>(u - low_[static_cast<std::size_t>(t)]);
        const auto move = static_cast<std::uint8_t>(
            (moves_[static_cast<std::size_t>(t - 1) * stride + k / 4] >> (2 * (k % 4))) & 3U);
        if (move == kWrapInserted) {
            ops += 'I';
            --t;
            continue;
        }
        if (move == kWrapDiagonal) {
            ops += letter(t - 1) == pattern_[static_cast<std::size_t>(column)] ? '=' : 'X';
            --t;
        } else {
            ops += 'D';
        }
        --u;
        column = column == 0 ? period - 1 : column - 1;
    }
    std::reverse(ops.begin(), ops.end());
    // Cut into copies where the consensus starts again.
    std::vector<AlignedCopy> copies;
    std::int64_t t = 0;
    std::int64_t row = 0;  // the consensus row of the next column that reads one
    for (const char op : ops) {
        if (copies.empty() || (op != 'I' && row == 0 && copies.back().rows > 0)) {
            copies.push_back({t, 0, 0, 0, 0, {}});
        }
        AlignedCopy& copy = copies.back();
        copy.ops += op;
        if (op == 'I' || op == 'D') {
            copy.score -= indel;
        } else {
            copy.score += op == '=' ? match : -mismatch;
        }
        if (op != 'I') {
            if (copy.rows == 0) {
                copy.firstRow = static_cast<int>(row);
            }
            ++copy.rows;
            row = row + 1 == period ? 0 : row + 1;
        }
        if (op != 'D') {
            ++copy.textLength;
            ++t;
        }
    }
    // In forward reading: text positions, and the consensus row each copy starts at.
    for (AlignedCopy& copy : copies) {
        if (direction > 0) {
            copy.textStart += from;
        } else {
            copy.textStart = from - copy.textStart - copy.textLength;
            const std::int64_t last = copy.rows == 0 ? 0 : (copy.firstRow + copy.rows - 1) % period;
            copy.firstRow = static_cast<int>(period - 1 - last);
            std::reverse(copy.ops.begin(), copy.ops.end());
        }
    }
    if (direction < 0) {
        std::reverse(copies.begin(), copies.end());
    }
    return copies;
}

Vote voteConsensus(std::span<const AlignedCopy> copies, std::span<const std::uint8_t> text,
                   const std::vector<std::uint8_t>& consensus)
{
    const std::size_t period = consensus.size();
    // Per consensus position: votes for A, T, C, G and for deleting it; and
    // the first letter inserted after it.
    std::vector<std::array<int, 5>> votes(period, std::array<int, 5>{});
    std::vector<std::array<int, 4>> inserted(period, std::array<int, 4>{});
    for (const AlignedCopy& copy : copies) {
        std::size_t row = static_cast<std::size_t>(copy.firstRow) % period;
        auto at = static_cast<std::size_t>(copy.textStart);
        char previous = ' ';
        for (const char op : copy.ops) {
            if (op == 'I') {
                if (previous != 'I') {
                    ++inserted[(row + period - 1) % period][text[at]];
                }
                ++at;
            } else if (op == 'D') {
                ++votes[row][4];
                row = (row + 1) % period;
            } else {
                ++votes[row][text[at]];
                ++at;
                row = (row + 1) % period;
            }
            previous = op;
        }
    }
    Vote vote;
    vote.newPosition.resize(period);
    for (std::size_t i = 0; i < period; ++i) {
        vote.newPosition[i] = static_cast<int>(vote.consensus.size());
        const std::array<int, 5>& v = votes[i];
        std::uint8_t letter = consensus[i];
        for (std::uint8_t code = 0; code < 4; ++code) {
            if (v[code] > v[letter]) {
                letter = code;
            }
        }
        if (v[4] <= v[letter]) {
            vote.consensus.push_back(letter);
        }
        const int covering = v[0] + v[1] + v[2] + v[3] + v[4];
        const std::array<int, 4>& in = inserted[i];
        const auto most = std::max_element(in.begin(), in.end());
        if (2 * (in[0] + in[1] + in[2] + in[3]) > covering && *most > 0) {
            vote.consensus.push_back(static_cast<std::uint8_t>(most - in.begin()));
        }
    }
    if (vote.consensus.empty()) {
        vote.consensus = consensus;
        for (std::size_t i = 0; i < period; ++i) {
            vote.newPosition[i] = static_cast<int>(i);
        }
    }
    return vote;
}

std::vector<std::uint8_t> primitiveRoot(const std::vector<std::uint8_t>& word)
{
    const std::size_t n = word.size();
    if (n < 2) {
        return word;
    }
    std::vector<std::size_t> border(n, 0);
    for (std::size_t i = 1; i < n; ++i) {
        std::size_t k = border[i - 1];
        while (k > 0 && word[i] != word[k]) {
            k = border[k - 1];
        }
        border[i] = word[i] == word[k] ? k + 1 : k;
    }
    const std::size_t period = n - border[n - 1];
    if (period < n && n % period == 0) {
        return {word.begin(), word.begin() + static_cast<std::ptrdiff_t>(period)};
    }
    return word;
}

ArrayBuilder::ArrayBuilder(std::span<const std::uint8_t> text, const TandemSettings& settings)
    : text_(text),
      settings_(settings),
      aligner_({settings.match, settings.mismatch, settings.indel}, firstDropOff(settings)),
      wrap_({settings.match, settings.mismatch, settings.indel})
{
}

FoundArray ArrayBuilder::alignFrom(std::int64_t start, const std::vector<std::uint8_t>& consensus)
{
    FoundArray array;
    array.consensus = consensus;
    array.copies = wrap_.align(text_, start, +1, consensus, finalDropOff(settings_));
    if (array.copies.empty()) {
        return array;
    }
    // Letters inserted before the first consensus letter only lower the score.
    AlignedCopy& first = array.copies.front();
    const auto leading = static_cast<std::int64_t>(first.ops.find_first_not_of('I'));
    if (leading > 0 && leading < static_cast<std::int64_t>(first.ops.size())) {
        first.ops.erase(0, static_cast<std::size_t>(leading));
        first.textStart += leading;
        first.textLength -= leading;
        first.score += static_cast<int>(leading) * settings_.indel;
    }
    std::int64_t rows = 0;
    for (const AlignedCopy& copy : array.copies) {
        array.score += copy.score;
        rows += copy.rows;
    }
    array.start = first.textStart;
    array.end = array.copies.back().textStart + array.copies.back().textLength;
    array.copyCount = static_cast<double>(rows) / static_cast<double>(consensus.size());
    return array;
}

namespace {

// Whether `other` is the better array: the better score, then the longer.
bool better(const std::optional<FoundArray>& other, const std::optional<FoundArray>& best)
{
    return other && (!best || other->score > best->score ||
                     (other->score == best->score && other->end - other->start > best->end - best->start));
}

}  // namespace

std::optional<FoundArray> ArrayBuilder::build(std::int64_t position, int period)
{
    std::optional<FoundArray> best = reseeded(position, period);
    // An imperfect array may be made of two or three units of a longer period
    // that fits its copies better, over all or part of it: seeded with the
    // units from each whole copy, the longer period is kept when it scores
    // clearly better (by half the minimum score; the best of them). Only
    // short arrays are tried: there a unit that alternates shows as a few
    // imperfect copies, and a long array would be aligned again and again.
    if (!best || best->copyCount > kMostCopiesForMultiples ||
        std::all_of(best->copies.begin(), best->copies.end(), [](const AlignedCopy& copy) {
            return copy.ops.find_first_not_of('=') == std::string::npos;
        })) {
        return best;
    }
    const auto size = static_cast<int>(best->consensus.size());
    const double copies = best->copyCount;
    const FoundArray shorter = *best;
    for (const int units : {2, 3}) {
        const int longer = units * size;
        if (longer > settings_.maximumPeriod || copies < units) {
            continue;
        }
        for (const AlignedCopy& copy : shorter.copies) {
            if (copy.rows != size || copy.textStart + longer > shorter.end) {
                continue;
            }
            std::optional<FoundArray> other = reseeded(copy.textStart + longer, longer);
            if (other && 2 * (other->score - shorter.score) >= settings_.minimumScore &&
                better(other, best)) {
                best = std::move(other);
            }
        }
    }
    return best;
}

std::optional<FoundArray> ArrayBuilder::reseeded(std::int64_t position, int period)
{
    std::optional<FoundArray> best = grow(position, period);
    // Below three copies the vote ties and the consensus keeps the seed's
    // letters: another whole copy may seed a better array.
    if (!best || best->copyCount >= 3.0) {
        return best;
    }
    const std::vector<AlignedCopy> copies = best->copies;
    const auto size = static_cast<std::int64_t>(best->consensus.size());
    for (const AlignedCopy& copy : copies) {
        if (copy.rows != size || copy.textStart == position - period) {
            continue;
        }
        std::optional<FoundArray> other = grow(copy.textStart + size, static_cast<int>(size));
        if (better(other, best)) {
            best = std::move(other);
        }
    }
    return best;
}

std::optional<FoundArray> ArrayBuilder::grow(std::int64_t position, int period)
{
    const std::int64_t seed = position - period;
    // A whole copy with deletions may end less than a period before the end
    // of the text: no seed of a period after it.
    if (seed < 0 || position > static_cast<std::int64_t>(text_.size())) {
        return std::nullopt;
    }
    aligner_.setDropOff(firstDropOff(settings_));
    const auto from = text_.begin() + seed;
    const std::vector<std::uint8_t> initial(from, from + period);
    std::vector<AlignedCopy> copies = aligner_.extend(text_, seed, -1, initial);
    const int firstRow = copies.empty() ? 0 : copies.front().firstRow;
    // The seed copy is the first consensus itself.
    AlignedCopy seedCopy{seed,
                         period,
                         0,
                         period,
                         period * settings_.match,
                         std::string(static_cast<std::size_t>(period), '=')};
    std::vector<AlignedCopy> right = aligner_.extend(text_, position, +1, initial, {std::move(seedCopy)});
    copies.insert(copies.end(), std::make_move_iterator(right.begin()), std::make_move_iterator(right.end()));
    std::int64_t rows = 0;
    std::int64_t score = 0;
    for (const AlignedCopy& copy : copies) {
        rows += copy.rows;
        score += copy.score;
    }
    // Far from an array: not worth voting a consensus.
    if (2 * score < settings_.minimumScore ||
        static_cast<double>(rows) < (settings_.minimumCopies - 0.5) * static_cast<double>(period)) {
        return std::nullopt;
    }
    // Below two and a half copies a vote keeps the seed's letters (a tie)
    // but where a third copy outvotes it: a letter gained per column of
    // that copy the seed disagrees with, at most.
    if (2 * rows < 5 * static_cast<std::int64_t>(period)) {
        std::int64_t outvoted = 0;
        for (const AlignedCopy& copy : copies) {
            if (copy.textStart != seed && rows >= 2 * static_cast<std::int64_t>(period)) {
                outvoted += static_cast<std::int64_t>(copy.ops.size()) -
                            std::count(copy.ops.begin(), copy.ops.end(), '=');
            }
        }
        if (score + (settings_.match + settings_.mismatch) * std::max<std::int64_t>(outvoted, 1) <
            settings_.minimumScore) {
            return std::nullopt;
        }
    }
    aligner_.setDropOff(finalDropOff(settings_));
    const Vote firstVote = voteConsensus(copies, text_, initial);
    const std::int64_t start = copies.front().textStart;
    std::vector<std::uint8_t> consensus =
        rotated(firstVote.consensus,
                static_cast<std::size_t>(firstVote.newPosition[static_cast<std::size_t>(firstRow)]));
    FoundArray array = alignFrom(start, consensus);
    if (array.copies.empty()) {
        return std::nullopt;
    }
    consensus = primitiveRoot(voteConsensus(array.copies, text_, consensus).consensus);
    // The same consensus from the same start aligns the same: no need to do it again.
    if (consensus != array.consensus) {
        array = alignFrom(array.start, consensus);
        if (array.copies.empty()) {
            return std::nullopt;
        }
    }
    // An array that begins by skipping consensus letters begins later in it.
    const std::size_t skipped = array.copies.front().ops.find_first_not_of('D');
    if (skipped > 0 && skipped != std::string::npos) {
        array = alignFrom(array.start, rotated(array.consensus, skipped));
    }
    // The start that is best for the end found, then the end best for that
    // start, until they agree: the same array whichever way it is read.
    for (int round = 0; round < 3 && !array.copies.empty(); ++round) {
        const AlignedCopy& last = array.copies.back();
        const std::size_t units = array.consensus.size();
        const auto endRow = static_cast<std::size_t>(last.firstRow + last.rows) % units;
        const std::vector<AlignedCopy> back =
            wrap_.align(text_, array.end, -1, rotated(array.consensus, endRow), finalDropOff(settings_));
        if (back.empty() || back.front().textStart == array.start) {
            break;
        }
        const std::size_t phase = (static_cast<std::size_t>(back.front().firstRow) + endRow) % units;
        array = alignFrom(back.front().textStart, rotated(array.consensus, phase));
    }
    const auto size = static_cast<int>(array.consensus.size());
    if (array.copies.empty() || array.score < settings_.minimumScore ||
        array.copyCount < settings_.minimumCopies || size < settings_.minimumPeriod ||
        size > settings_.maximumPeriod) {
        return std::nullopt;
    }
    return array;
}

}  // namespace tessaron::tandem
