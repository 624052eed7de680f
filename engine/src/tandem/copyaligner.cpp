#include "tandem/copyaligner.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <optional>

namespace tessaron::tandem {

namespace {

constexpr int kMinusInfinity = std::numeric_limits<int>::min() / 4;

enum Move : std::uint8_t { kDiagonal = 0, kDeletion = 1, kInsertion = 2 };

}  // namespace

int bandFor(int period)
{
    return std::clamp(period / 10 + 2, 2, 48);
}

void CopyAligner::fill(int band, std::int64_t enough)
{
    const int rows = static_cast<int>(pattern_.size());
    const int columns = static_cast<int>(segment_.size());
    const int width = 2 * band + 1;
    // One cell of room on either side of a row, never reached: sums with it
    // stay far below any score, so the loop needs no bounds checks.
    previous_.assign(static_cast<std::size_t>(width) + 2, kMinusInfinity);
    current_.assign(static_cast<std::size_t>(width) + 2, kMinusInfinity);
    // Every move the traceback reads is written below: no need to clear them.
    const std::size_t cells = static_cast<std::size_t>(rows + 1) * static_cast<std::size_t>(width);
    if (moves_.size() < cells) {
        moves_.resize(cells);
    }
    full_ = {};
    partial_ = {};
    int* previous = previous_.data() + 1;
    int* current = current_.data() + 1;
    const std::uint8_t* const segment = segment_.data();
    const int match = weights_.match;
    const int mismatch = weights_.mismatch;
    const int indel = weights_.indel;
    int best = 0;
    // The score of each letter against a row's letter: looked up, not
    // branched on (the letters are as good as random to a predictor).
    std::array<std::array<int, 8>, 8> gains{};
    for (std::size_t expected = 0; expected < gains.size(); ++expected) {
        gains[expected].fill(-mismatch);
        gains[expected][expected] = match;
    }
    // Row 0: letters inserted before the first consensus letter.
    for (int c = 0; c <= std::min(columns, band); ++c) {
        previous[c + band] = -indel * c;
        moves_[static_cast<std::size_t>(c + band)] = kInsertion;
    }
    for (int r = 1; r <= rows; ++r) {
        const std::uint8_t expected = pattern_[static_cast<std::size_t>(r - 1)];
        const std::array<int, 8>& gain = gains[expected & 7U];
        std::uint8_t* const moveRow =
            moves_.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(width);
        const int low = std::max(0, band - r);                     // column 0
        const int high = std::min(width - 1, columns - r + band);  // the last column
        current[low - 1] = kMinusInfinity;
        // Column 0 has no letter to match: only a consensus letter deleted.
        int left = kMinusInfinity;
        int rowBest = kMinusInfinity;
        int at = low;
        if (r <= band && at <= high) {
            left = previous[at + 1] - indel;
            current[at] = left;
            moveRow[at] = kDeletion;
            rowBest = left;
            ++at;
        }
        const int shift = r - band - 1;  // the letter of column c is segment[c - 1]
        for (; at <= high; ++at) {
            const int diagonal = previous[at] + gain[segment[at + shift] & 7U];
            const int up = previous[at + 1] - indel;
            const int above = std::max(diagonal, up);
            const int inserted = left - indel;
            left = std::max(above, inserted);
            current[at] = left;
            moveRow[at] = inserted > above
                              ? std::uint8_t{kInsertion}
                              : (up > diagonal ? std::uint8_t{kDeletion} : std::uint8_t{kDiagonal});
            rowBest = std::max(rowBest, left);
        }
        // Of equal scores, the end nearest the diagonal, where the next copy
        // begins (the one before it of two as near).
        int rowBestColumn = 0;
        if (rowBest > kMinusInfinity / 2) {
            for (int off = 0; off <= width; ++off) {
                if (band - off >= low && band - off <= high && current[band - off] == rowBest) {
                    rowBestColumn = r - off;
                    break;
                }
                if (band + off >= low && band + off <= high && current[band + off] == rowBest) {
                    rowBestColumn = r + off;
                    break;
                }
            }
        }
        for (int k = high + 1; k <= width; ++k) {
            current[k] = kMinusInfinity;
        }
        if (high < low || rowBest <= kMinusInfinity / 2) {
            return;  // past the end of the text
        }
        if (!partial_.found || rowBest > partial_.score) {
            partial_ = {rowBest, r, rowBestColumn, true};
        }
        best = std::max(best, rowBest);
        if (r == rows) {
            full_ = {rowBest, r, rowBestColumn, true};
        }
        if (rowBest < best - dropOff_) {
            return;  // the copy has gone bad: no whole copy here
        }
        if (rowBest + std::int64_t{match} * (rows - r) < enough) {
            return;  // the alignment ends before this copy whatever its last rows
        }
        std::swap(previous, current);
    }
}

std::string CopyAligner::traceback(int row, int column, int band)
{
    const int width = 2 * band + 1;
    // Written from its end into room for row + column steps back, the most
    // there can be, then copied out at its own length.
    std::string& ops = trace_;
    ops.assign(static_cast<std::size_t>(row) + static_cast<std::size_t>(column), ' ');
    std::size_t at = ops.size();
    int r = row;
    int c = column;
    while (r > 0 || c > 0) {
        const int k = c - r + band;
        const std::uint8_t move = r == 0
                                      ? std::uint8_t{kInsertion}
                                      : moves_[static_cast<std::size_t>(r) * static_cast<std::size_t>(width) +
                                               static_cast<std::size_t>(k)];
        if (move == kDiagonal) {
            ops[--at] = segment_[static_cast<std::size_t>(c - 1)] == pattern_[static_cast<std::size_t>(r - 1)]
                            ? '='
                            : 'X';
            --r;
            --c;
        } else if (move == kDeletion) {
            ops[--at] = 'D';
            --r;
        } else {
            ops[--at] = 'I';
            --c;
        }
    }
    return ops.substr(at);
}

std::vector<AlignedCopy> CopyAligner::extend(std::span<const std::uint8_t> text, std::int64_t from,
                                             int direction, const std::vector<std::uint8_t>& consensus,
                                             std::vector<AlignedCopy> known)
{
    const int period = static_cast<int>(consensus.size());
    const int band = bandFor(period);
    pattern_ = consensus;
    if (direction < 0) {
        std::reverse(pattern_.begin(), pattern_.end());
    }
    const auto size = static_cast<std::int64_t>(text.size());
    std::vector<AlignedCopy> copies = std::move(known);
    std::optional<AlignedCopy> bestTail;
    std::int64_t total = 0;
    for (const AlignedCopy& copy : copies) {
        total += copy.score;
    }
    std::size_t bestCount = copies.size();
    std::int64_t best = total;
    std::int64_t position = from;
    const auto makeCopy = [&](const CellResult& cell) {
        AlignedCopy copy;
        copy.textLength = cell.column;
        copy.rows = cell.row;
        copy.score = cell.score;
        copy.ops = traceback(cell.row, cell.column, band);
        if (direction > 0) {
            copy.textStart = position;
        } else {
            copy.textStart = position - cell.column;
            copy.firstRow = period - cell.row;
            std::reverse(copy.ops.begin(), copy.ops.end());
        }
        return copy;
    };
    while (true) {
        const std::int64_t room = direction > 0 ? size - position : position;
        if (room <= 0) {
            break;
        }
        const auto length = static_cast<std::size_t>(std::min<std::int64_t>(room, period + band));
        segment_.resize(length);
        if (direction > 0) {
            std::copy_n(text.begin() + position, length, segment_.begin());
        } else {
            for (std::size_t i = 0; i < length; ++i) {
                segment_[i] = text[static_cast<std::size_t>(position) - 1 - i];
            }
        }
        // A whole copy scoring below this ends the alignment before it: its
        // rows past the point where it cannot do better are not needed.
        fill(band, best - dropOff_ - total);
        if (partial_.found && partial_.row < period && total + partial_.score > best) {
            best = total + partial_.score;
            bestCount = copies.size();
            bestTail = makeCopy(partial_);
        }
        if (!full_.found || full_.column == 0) {
            break;
        }
        copies.push_back(makeCopy(full_));
        total += full_.score;
        position += direction * full_.column;
        if (total > best) {
            best = total;
            bestCount = copies.size();
            bestTail.reset();
        }
        if (total < best - dropOff_) {
            break;
        }
    }
    copies.resize(bestCount);
    if (bestTail) {
        copies.push_back(std::move(*bestTail));
    }
    if (direction < 0) {
        std::reverse(copies.begin(), copies.end());
    }
    return copies;
}

}  // namespace tessaron::tandem
