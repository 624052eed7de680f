#include "tandem/arraybuilder.h"

#include <algorithm>
#include <array>

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

}  // namespace

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
      aligner_({settings.match, settings.mismatch, settings.indel}, firstDropOff(settings))
{
}

FoundArray ArrayBuilder::alignFrom(std::int64_t start, const std::vector<std::uint8_t>& consensus)
{
    FoundArray array;
    array.consensus = consensus;
    array.copies = aligner_.extend(text_, start, +1, consensus);
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

std::optional<FoundArray> ArrayBuilder::build(std::int64_t position, int period)
{
    const std::int64_t seed = position - period;
    if (seed < 0) {
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
            aligner_.extend(text_, array.end, -1, rotated(array.consensus, endRow));
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
