// The inner loops of the tandem search against plain references of what
// they compute: the diagonals' score walk (every distance, every letter), the
// banded alignment of one copy (every cell of the band) and of a whole array
// against its consensus repeated.

#include "tandem/arraybuilder.h"
#include "tandem/candidateperiods.h"
#include "tandem/copyaligner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace tessaron::tandem {
namespace {

using Letters = std::vector<std::uint8_t>;

Letters randomLetters(std::mt19937& random, std::size_t count)
{
    Letters out(count);
    for (std::uint8_t& letter : out) {
        letter = static_cast<std::uint8_t>(random() % 4);
    }
    return out;
}

// `copies` copies of `unit`, each letter changed with probability
// `substitution`, dropped or followed by an extra letter with `indel` / 2 each.
Letters diverged(std::mt19937& random, const Letters& unit, double copies, double substitution, double indel)
{
    std::uniform_real_distribution<double> roll(0.0, 1.0);
    const auto count = static_cast<std::size_t>(copies * static_cast<double>(unit.size()));
    Letters out;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t letter = unit[i % unit.size()];
        const double r = roll(random);
        if (r < substitution) {
            out.push_back(static_cast<std::uint8_t>((letter + 1 + random() % 3) % 4));
        } else if (r < substitution + indel / 2) {
            // dropped
        } else if (r < substitution + indel) {
            out.push_back(letter);
            out.push_back(static_cast<std::uint8_t>(random() % 4));
        } else {
            out.push_back(letter);
        }
    }
    return out;
}

// Random letters with diverged arrays of the given periods between them.
Letters textWithArrays(std::mt19937& random, const std::vector<int>& periods, std::size_t flank)
{
    Letters text = randomLetters(random, flank);
    for (const int period : periods) {
        const Letters array =
            diverged(random, randomLetters(random, static_cast<std::size_t>(period)), 4.3, 0.12, 0.04);
        text.insert(text.end(), array.begin(), array.end());
        const Letters after = randomLetters(random, flank);
        text.insert(text.end(), after.begin(), after.end());
    }
    return text;
}

using CandidateTuple = std::tuple<std::int64_t, int, int>;

std::vector<CandidateTuple> tuples(const std::vector<Candidate>& candidates)
{
    std::vector<CandidateTuple> out;
    for (const Candidate& c : candidates) {
        out.emplace_back(c.position, c.period, c.support);
    }
    return out;
}

// The walk of each distance on its own: +1 for a letter equal to the one d
// after it, -1 otherwise, floored at 0 and held below twice the threshold;
// where it climbs to the threshold, the stretch read back from there.
std::vector<CandidateTuple> diagonalReference(const Letters& text, const DiagonalPass& pass)
{
    std::vector<Candidate> found;
    const auto size = static_cast<std::int64_t>(text.size());
    for (int d = std::max(pass.minimumPeriod, 1); d <= pass.maximumPeriod; ++d) {
        const int threshold = std::max(pass.threshold, d * pass.perHundred / 100);
        int score = 0;
        for (std::int64_t i = 0; i + d < size; ++i) {
            const bool same = text[static_cast<std::size_t>(i)] == text[static_cast<std::size_t>(i + d)];
            const int old = score;
            score = same ? std::min(old + 1, 2 * threshold) : std::max(old - 1, 0);
            if (old >= threshold || score < threshold) {
                continue;
            }
            int sum = 0;
            int matching = 0;
            std::int64_t j = i;
            while (true) {
                const bool equal = text[static_cast<std::size_t>(j)] == text[static_cast<std::size_t>(j + d)];
                sum += equal ? 1 : -1;
                matching += equal ? 1 : 0;
                if (sum >= threshold || j == 0 || i - j >= 65536) {
                    break;
                }
                --j;
            }
            found.push_back({std::max(j, i + 1 - d) + d, d, matching});
        }
    }
    std::vector<CandidateTuple> out = tuples(found);
    std::sort(out.begin(), out.end(), [](const CandidateTuple& a, const CandidateTuple& b) {
        return std::make_tuple(std::get<0>(a), -std::get<2>(a), std::get<1>(a)) <
               std::make_tuple(std::get<0>(b), -std::get<2>(b), std::get<1>(b));
    });
    return out;
}

TEST(DiagonalCandidates, FollowTheScoreWalkOfEveryDistance)
{
    std::mt19937 random(20261208);
    // Texts shorter and longer than the distances compared at once (the
    // largest distance plus 128 letters), and one long enough to be read in
    // several runs between the checks for a stop.
    std::vector<Letters> texts;
    for (const std::size_t length : {1, 13, 14, 60, 140, 141, 142, 269, 300}) {
        texts.push_back(randomLetters(random, length));
    }
    texts.push_back(textWithArrays(random, {13, 20, 37, 64, 100, 128, 128}, 400));
    texts.push_back(textWithArrays(random, {15, 45, 90, 127}, 30000));
    // A perfect array all along: scores held at their ceiling.
    Letters perfect;
    const Letters unit = randomLetters(random, 21);
    for (int i = 0; i < 40; ++i) {
        perfect.insert(perfect.end(), unit.begin(), unit.end());
    }
    texts.push_back(perfect);
    const DiagonalPass passes[] = {
        {13, 128, 9, 35},   // the search's own
        {1, 40, 9, 35},     // short distances only
        {13, 200, 9, 35},   // more distances than are compared at once
        {13, 128, 9, 300},  // thresholds too high for a byte
        {50, 60, 5, 0},
    };
    const SearchControl control;
    for (const DiagonalPass& pass : passes) {
        for (const Letters& text : texts) {
            SCOPED_TRACE("distances " + std::to_string(pass.minimumPeriod) + "-" +
                         std::to_string(pass.maximumPeriod) + ", per hundred " +
                         std::to_string(pass.perHundred) + ", " + std::to_string(text.size()) + " letters");
            EXPECT_EQ(tuples(findDiagonalCandidates(text, pass, control)), diagonalReference(text, pass));
        }
    }
}

constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::min() / 4;

// Every cell of the banded alignment of `pattern` (rows) against `text`
// (columns) from their first letters: cell [r][c] is the best score of
// pattern[0, r) against text[0, c) with no cell further than `band` off the
// diagonal, kNone outside the band.
std::vector<std::vector<std::int64_t>> bandedScores(const Letters& pattern, const Letters& text, int band,
                                                    const ScoreWeights& weights)
{
    const std::size_t rows = pattern.size();
    const std::size_t columns = text.size();
    std::vector<std::vector<std::int64_t>> cell(rows + 1, std::vector<std::int64_t>(columns + 1, kNone));
    for (std::size_t r = 0; r <= rows; ++r) {
        for (std::size_t c = 0; c <= columns; ++c) {
            if (std::abs(static_cast<std::int64_t>(c) - static_cast<std::int64_t>(r)) > band) {
                continue;
            }
            std::int64_t best = r == 0 && c == 0 ? 0 : kNone;
            if (r > 0 && c > 0 && cell[r - 1][c - 1] != kNone) {
                best =
                    std::max(best, cell[r - 1][c - 1] +
                                       (pattern[r - 1] == text[c - 1] ? weights.match : -weights.mismatch));
            }
            if (r > 0 && cell[r - 1][c] != kNone) {
                best = std::max(best, cell[r - 1][c] - weights.indel);
            }
            if (c > 0 && cell[r][c - 1] != kNone) {
                best = std::max(best, cell[r][c - 1] - weights.indel);
            }
            cell[r][c] = best;
        }
    }
    return cell;
}

// Whether the ops are a true alignment of the copy and add up to its score.
void expectOpsAddUp(const AlignedCopy& copy, const Letters& text, const Letters& consensus,
                    const ScoreWeights& weights)
{
    std::int64_t score = 0;
    std::int64_t at = copy.textStart;
    std::size_t row = static_cast<std::size_t>(copy.firstRow);
    for (const char op : copy.ops) {
        if (op == '=' || op == 'X') {
            ASSERT_LT(at, static_cast<std::int64_t>(text.size()));
            EXPECT_EQ(op == '=', text[static_cast<std::size_t>(at)] == consensus[row % consensus.size()]);
            score += op == '=' ? weights.match : -weights.mismatch;
            ++at;
            ++row;
        } else if (op == 'I') {
            score -= weights.indel;
            ++at;
        } else {
            ASSERT_EQ(op, 'D');
            score -= weights.indel;
            ++row;
        }
    }
    EXPECT_EQ(at - copy.textStart, copy.textLength);
    EXPECT_EQ(row - static_cast<std::size_t>(copy.firstRow), static_cast<std::size_t>(copy.rows));
    EXPECT_EQ(score, copy.score);
}

// Copies aligned one way: each scores what the band allows at best over its
// letters, and ends at the best end of its last row (of equal ones, the
// nearest the diagonal, then the first).
void expectBestInTheBand(const std::vector<AlignedCopy>& copies, const Letters& text,
                         const Letters& consensus, int direction, const ScoreWeights& weights)
{
    const int period = static_cast<int>(consensus.size());
    const int band = bandFor(period);
    for (const AlignedCopy& copy : copies) {
        expectOpsAddUp(copy, text, consensus, weights);
        // The copy's consensus letters and the letters it may take, both in
        // the order they were aligned.
        Letters pattern(consensus.begin() + copy.firstRow, consensus.begin() + copy.firstRow + copy.rows);
        Letters letters;
        if (direction > 0) {
            const std::int64_t end = std::min<std::int64_t>(static_cast<std::int64_t>(text.size()),
                                                            copy.textStart + period + band);
            letters.assign(text.begin() + copy.textStart, text.begin() + end);
        } else {
            const std::int64_t end = copy.textStart + copy.textLength;
            const std::int64_t begin = std::max<std::int64_t>(0, end - period - band);
            letters.assign(text.begin() + begin, text.begin() + end);
            std::reverse(pattern.begin(), pattern.end());
            std::reverse(letters.begin(), letters.end());
        }
        const auto cell = bandedScores(pattern, letters, band, weights);
        const std::vector<std::int64_t>& last = cell[static_cast<std::size_t>(copy.rows)];
        ASSERT_LE(copy.textLength, static_cast<std::int64_t>(letters.size()));
        EXPECT_EQ(last[static_cast<std::size_t>(copy.textLength)], copy.score);
        const auto distance = [&](std::int64_t c) { return std::abs(c - copy.rows); };
        for (std::int64_t c = 0; c < static_cast<std::int64_t>(last.size()); ++c) {
            const std::int64_t score = last[static_cast<std::size_t>(c)];
            const bool better =
                score > copy.score ||
                (score == copy.score && (distance(c) < distance(copy.textLength) ||
                                         (distance(c) == distance(copy.textLength) && c < copy.textLength)));
            EXPECT_FALSE(better) << "column " << c << " scores " << score << " against " << copy.score;
        }
    }
}

using CopyTuple = std::tuple<std::int64_t, std::int64_t, int, int, int>;

std::vector<CopyTuple> copyTuples(const std::vector<AlignedCopy>& copies)
{
    std::vector<CopyTuple> out;
    for (const AlignedCopy& copy : copies) {
        out.emplace_back(copy.textStart, copy.textLength, copy.firstRow, copy.rows, copy.score);
    }
    return out;
}

// The copies from `from` rightwards, read off every cell of each copy's
// band: a copy ends at the best end of its last row, is given up where its
// row's best falls `dropOff` below the best of its rows, and the alignment
// stops where the running score falls `dropOff` below its best, keeping the
// copies up to the best (a part of a copy last, when that scores more).
std::vector<CopyTuple> extendReference(const Letters& text, std::int64_t from, const Letters& consensus,
                                       const ScoreWeights& weights, int dropOff)
{
    const int period = static_cast<int>(consensus.size());
    const int band = bandFor(period);
    const auto size = static_cast<std::int64_t>(text.size());
    std::vector<CopyTuple> copies;
    std::vector<CopyTuple> tail;
    std::int64_t total = 0;
    std::int64_t best = 0;
    std::size_t bestCount = 0;
    for (std::int64_t position = from; position < size;) {
        const std::int64_t end = std::min(size, position + period + band);
        const Letters letters(text.begin() + position, text.begin() + end);
        const auto cell = bandedScores(consensus, letters, band, weights);
        // Per row: its best score and where (nearest the diagonal, then first).
        struct End {
            std::int64_t score = kNone;
            int row = 0;
            std::int64_t column = 0;
        };
        std::vector<End> ends;
        std::int64_t bestRow = 0;
        for (int r = 1; r <= period; ++r) {
            End here{kNone, r, 0};
            for (std::int64_t c = 0; c < static_cast<std::int64_t>(letters.size()) + 1; ++c) {
                const std::int64_t score = cell[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
                if (score != kNone && (score > here.score || (score == here.score &&
                                                              std::abs(c - r) < std::abs(here.column - r)))) {
                    here = {score, r, c};
                }
            }
            if (here.score == kNone) {
                break;
            }
            ends.push_back(here);
            bestRow = std::max(bestRow, here.score);
            if (here.score < bestRow - dropOff) {
                break;
            }
        }
        const End* partial = nullptr;
        for (const End& e : ends) {
            if (partial == nullptr || e.score > partial->score) {
                partial = &e;
            }
        }
        const auto copyOf = [&](const End& e) { return CopyTuple{position, e.column, 0, e.row, e.score}; };
        if (partial != nullptr && partial->row < period && total + partial->score > best) {
            best = total + partial->score;
            bestCount = copies.size();
            tail = {copyOf(*partial)};
        }
        const bool whole = !ends.empty() && ends.back().row == period;
        if (!whole || ends.back().column == 0) {
            break;
        }
        copies.push_back(copyOf(ends.back()));
        total += ends.back().score;
        position += ends.back().column;
        if (total > best) {
            best = total;
            bestCount = copies.size();
            tail.clear();
        }
        if (total < best - dropOff) {
            break;
        }
    }
    copies.resize(bestCount);
    copies.insert(copies.end(), tail.begin(), tail.end());
    return copies;
}

// The same leftwards: the reference on the text and consensus read backwards.
std::vector<CopyTuple> extendLeftReference(const Letters& text, std::int64_t from, const Letters& consensus,
                                           const ScoreWeights& weights, int dropOff)
{
    const auto size = static_cast<std::int64_t>(text.size());
    const auto period = static_cast<int>(consensus.size());
    const std::vector<CopyTuple> backwards =
        extendReference(Letters(text.rbegin(), text.rend()), size - from,
                        Letters(consensus.rbegin(), consensus.rend()), weights, dropOff);
    std::vector<CopyTuple> out;
    for (auto it = backwards.rbegin(); it != backwards.rend(); ++it) {
        const auto [start, length, firstRow, rows, score] = *it;
        out.emplace_back(size - start - length, length, period - rows, rows, score);
    }
    return out;
}

TEST(CopyAligner, EachCopyIsTheBestAlignmentInItsBand)
{
    const ScoreWeights weights;
    struct Case {
        int period;
        double substitution;
        double indel;
    };
    const Case cases[] = {{13, 0.0, 0.0},  {13, 0.1, 0.04},   {29, 0.15, 0.06},
                          {64, 0.1, 0.04}, {128, 0.12, 0.04}, {300, 0.08, 0.02}};
    std::mt19937 random(7);
    for (const Case& test : cases) {
        SCOPED_TRACE("period " + std::to_string(test.period) + ", " + std::to_string(test.substitution) +
                     " substitutions, " + std::to_string(test.indel) + " indels");
        const Letters unit = randomLetters(random, static_cast<std::size_t>(test.period));
        Letters text = randomLetters(random, 200);
        const Letters array = diverged(random, unit, 5.6, test.substitution, test.indel);
        text.insert(text.end(), array.begin(), array.end());
        const Letters after = randomLetters(random, 200);
        text.insert(text.end(), after.begin(), after.end());
        const auto arrayEnd = static_cast<std::int64_t>(200 + array.size());
        // From the array's start and end, from the text's ends, and with a
        // consensus the text does not hold (the copies soon go bad).
        for (const int dropOff : {56, 250}) {
            CopyAligner aligner(weights, dropOff);
            const auto right = aligner.extend(text, 200, +1, unit);
            EXPECT_GE(right.size(), 5U);
            const Letters stranger = randomLetters(random, static_cast<std::size_t>(test.period));
            const std::tuple<std::int64_t, int, const Letters*> runs[] = {
                {200, +1, &unit},     {arrayEnd, -1, &unit},
                {0, +1, &unit},       {static_cast<std::int64_t>(text.size()), -1, &unit},
                {200, +1, &stranger}, {arrayEnd, -1, &stranger}};
            for (const auto& [from, direction, consensus] : runs) {
                const auto copies = aligner.extend(text, from, direction, *consensus);
                expectBestInTheBand(copies, text, *consensus, direction, weights);
                EXPECT_EQ(copyTuples(copies),
                          direction > 0 ? extendReference(text, from, *consensus, weights, dropOff)
                                        : extendLeftReference(text, from, *consensus, weights, dropOff))
                    << "from " << from << " direction " << direction << " drop-off " << dropOff;
            }
        }
    }
}

TEST(CopyAligner, StopsWhereTheReferenceStopsFromEveryKindOfStart)
{
    // Many starts in and around diverged arrays: the copies that end an
    // alignment just above or below the score it needs to go on.
    const ScoreWeights weights;
    std::mt19937 random(11);
    for (const int period : {13, 17, 24, 40}) {
        const Letters unit = randomLetters(random, static_cast<std::size_t>(period));
        Letters text = randomLetters(random, 150);
        for (const double substitution : {0.05, 0.15, 0.25}) {
            const Letters array = diverged(random, unit, 4.5, substitution, 0.05);
            text.insert(text.end(), array.begin(), array.end());
            const Letters after = randomLetters(random, 60);
            text.insert(text.end(), after.begin(), after.end());
        }
        for (const int dropOff : {56, 250}) {
            CopyAligner aligner(weights, dropOff);
            for (std::int64_t from = 0; from < static_cast<std::int64_t>(text.size()); from += 7) {
                const auto copies = aligner.extend(text, from, +1, unit);
                ASSERT_EQ(copyTuples(copies), extendReference(text, from, unit, weights, dropOff))
                    << "period " << period << " from " << from << " drop-off " << dropOff;
                const auto left = aligner.extend(text, from, -1, unit);
                ASSERT_EQ(copyTuples(left), extendLeftReference(text, from, unit, weights, dropOff))
                    << "period " << period << " from " << from << " leftwards, drop-off " << dropOff;
            }
        }
    }
}

using WrapTuple = std::tuple<std::int64_t, std::int64_t, int, int, int, std::string>;

std::vector<WrapTuple> wrapTuples(const std::vector<AlignedCopy>& copies)
{
    std::vector<WrapTuple> out;
    for (const AlignedCopy& c : copies) {
        out.emplace_back(c.textStart, c.textLength, c.firstRow, c.rows, c.score, c.ops);
    }
    return out;
}

// The whole-array alignment written plainly: every row's band kept, each
// cell with its score (none outside column 0 on) and move, chosen in the
// order diagonal, letter inserted, consensus letter deleted, a later one
// only when strictly better; the band of a row centred one column after the
// best cell (the first of equal ones) of the row before.
std::vector<WrapTuple> wrapReference(const Letters& text, std::int64_t from, int direction,
                                     const Letters& consensus, const ScoreWeights& weights, int dropOff)
{
    const auto period = static_cast<std::int64_t>(consensus.size());
    const int band = bandFor(static_cast<int>(period));
    const std::int64_t width = 2 * band + 1;
    const auto read = [&](std::int64_t t) {
        return text[static_cast<std::size_t>(direction > 0 ? from + t : from - 1 - t)];
    };
    const auto expected = [&](std::int64_t u) {  // the consensus letter of column u + 1
        const std::int64_t i = u % period;
        return consensus[static_cast<std::size_t>(direction > 0 ? i : period - 1 - i)];
    };
    struct Row {
        std::int64_t low;
        std::vector<std::optional<long long>> score;
        std::string move;
    };
    std::vector<Row> rows{{-band, {}, {}}};
    for (std::int64_t k = 0; k < width; ++k) {
        const std::int64_t u = k - band;
        rows[0].score.push_back(u >= 0 ? std::optional<long long>(-weights.indel * u) : std::nullopt);
        rows[0].move += 'D';
    }
    const auto at = [](const Row& row, std::int64_t u) -> std::optional<long long> {
        return u >= row.low && u < row.low + static_cast<std::int64_t>(row.score.size())
                   ? row.score[static_cast<std::size_t>(u - row.low)]
                   : std::nullopt;
    };
    const std::int64_t room = direction > 0 ? static_cast<std::int64_t>(text.size()) - from : from;
    long long best = 0;
    std::int64_t bestRow = 0;
    std::int64_t bestColumn = 0;
    std::int64_t centre = 0;
    for (std::int64_t t = 1; t <= room; ++t) {
        Row row{centre + 1 - band, {}, {}};
        std::optional<long long> rowBest;
        std::int64_t rowBestColumn = 0;
        for (std::int64_t k = 0; k < width; ++k) {
            const std::int64_t u = row.low + k;
            std::optional<long long> score;
            char move = '=';
            if (u >= 0) {
                if (const auto diagonal = at(rows.back(), u - 1); u >= 1 && diagonal) {
                    score = *diagonal + (read(t - 1) == expected(u - 1) ? weights.match : -weights.mismatch);
                }
                if (const auto above = at(rows.back(), u);
                    above && (!score || *above - weights.indel > *score)) {
                    score = *above - weights.indel;
                    move = 'I';
                }
                if (const auto left = at(row, u - 1); left && (!score || *left - weights.indel > *score)) {
                    score = *left - weights.indel;
                    move = 'D';
                }
            }
            row.score.push_back(score);
            row.move += move;
            if (score && (!rowBest || *score > *rowBest)) {
                rowBest = score;
                rowBestColumn = u;
            }
        }
        rows.push_back(std::move(row));
        if (!rowBest) {
            break;
        }
        if (*rowBest > best || (*rowBest == best && best > 0)) {
            best = *rowBest;
            bestRow = t;
            bestColumn = rowBestColumn;
        }
        if (*rowBest < best - dropOff) {
            break;
        }
        centre = rowBestColumn;
    }
    std::string ops;  // in reading order, back from the best cell
    for (std::int64_t t = bestRow, u = bestColumn; t > 0 || u > 0;) {
        const char move =
            t == 0 ? 'D'
                   : rows[static_cast<std::size_t>(t)]
                         .move[static_cast<std::size_t>(u - rows[static_cast<std::size_t>(t)].low)];
        if (move == '=') {
            ops.insert(ops.begin(), read(t - 1) == expected(u - 1) ? '=' : 'X');
        } else {
            ops.insert(ops.begin(), move);
        }
        t -= move != 'D' ? 1 : 0;
        u -= move != 'I' ? 1 : 0;
    }
    // Copies cut where the consensus starts again, then put in forward reading.
    std::vector<AlignedCopy> copies;
    std::int64_t t = 0;
    std::int64_t u = 0;
    for (const char op : ops) {
        if (copies.empty() || (op != 'I' && u % period == 0 && copies.back().rows > 0)) {
            copies.push_back({t, 0, 0, 0, 0, {}});
        }
        AlignedCopy& copy = copies.back();
        copy.ops += op;
        copy.score += op == '=' ? weights.match : op == 'X' ? -weights.mismatch : -weights.indel;
        if (op != 'I') {
            copy.firstRow = copy.rows == 0 ? static_cast<int>(u % period) : copy.firstRow;
            ++copy.rows;
            ++u;
        }
        if (op != 'D') {
            ++copy.textLength;
            ++t;
        }
    }
    for (AlignedCopy& copy : copies) {
        if (direction > 0) {
            copy.textStart += from;
        } else {
            copy.textStart = from - copy.textStart - copy.textLength;
            copy.firstRow = static_cast<int>(period - 1 - (copy.firstRow + copy.rows - 1) % period);
            std::reverse(copy.ops.begin(), copy.ops.end());
        }
    }
    if (direction < 0) {
        std::reverse(copies.begin(), copies.end());
    }
    return wrapTuples(copies);
}

TEST(WrapAligner, IsTheBandedAlignmentAgainstTheRepeatedConsensus)
{
    // Both ways from many starts in and around diverged arrays, with the
    // consensus, a rotation of it and a stranger (the alignment soon goes
    // bad), at periods of every band width from the narrowest to the widest.
    const ScoreWeights weights;
    std::mt19937 random(19);
    WrapAligner aligner(weights);
    for (const int period : {1, 3, 7, 13, 24, 45, 130, 300}) {
        const Letters unit = randomLetters(random, static_cast<std::size_t>(period));
        Letters text = randomLetters(random, 120);
        for (const double substitution : {0.0, 0.08, 0.2}) {
            const Letters array = diverged(random, unit, 200.0 / period + 2.5, substitution, 0.05);
            text.insert(text.end(), array.begin(), array.end());
            const Letters after = randomLetters(random, 50);
            text.insert(text.end(), after.begin(), after.end());
        }
        Letters rotated = unit;
        std::rotate(rotated.begin(), rotated.begin() + period / 3, rotated.end());
        const Letters stranger = randomLetters(random, static_cast<std::size_t>(period));
        const auto size = static_cast<std::int64_t>(text.size());
        for (const int dropOff : {56, 250}) {
            for (std::int64_t from = 0; from <= size; from += std::max<std::int64_t>(11, size / 20)) {
                for (const Letters* consensus :
                     std::initializer_list<const Letters*>{&unit, &rotated, &stranger}) {
                    for (const int direction : {+1, -1}) {
                        ASSERT_EQ(wrapTuples(aligner.align(text, from, direction, *consensus, dropOff)),
                                  wrapReference(text, from, direction, *consensus, weights, dropOff))
                            << "period " << period << " from " << from << " direction " << direction
                            << " drop-off " << dropOff;
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace tessaron::tandem
