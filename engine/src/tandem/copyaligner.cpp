#include "tandem/copyaligner.h"

#include <algorithm>
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

void CopyAligner::fill(int band)
{
    const int rows = static_cast<int>(pattern_.size());
    const int columns = static_cast<int>(segment_.size());
    const int width = 2 * band + 1;
    previous_.assign(static_cast<std::size_t>(width), kMinusInfinity);
    current_.assign(static_cast<std::size_t>(width), kMinusInfinity);
    moves_.assign(static_cast<std::size_t>(rows + 1) * static_cast<std::size_t>(width), kDiagonal);
    full_ = {};
    partial_ = {};
    int best = 0;
    // Row 0: letters inserted before the first consensus letter.
    for (int c = 0; c <= std::min(columns, band); ++c) {
        previous_[static_cast<std::size_t>(c + band)] = -weights_.indel * c;
        moves_[static_cast<std::size_t>(c + band)] = kInsertion;
    }
    for (int r = 1; r <= rows; ++r) {
        const std::uint8_t expected = pattern_[static_cast<std::size_t>(r - 1)];
        std::uint8_t* const moveRow = moves_.data() + static_cast<std::size_t>(r) * static_cast<std::size_t>(width);
        int rowBest = kMinusInfinity;
        int rowBestColumn = 0;
        for (int k = 0; k < width; ++k) {
            const int c = r - band + k;
            const auto at = static_cast<std::size_t>(k);
            if (c < 0 || c > columns) {
                current_[at] = kMinusInfinity;
                continue;
            }
            int score = kMinusInfinity;
            std::uint8_t move = kDiagonal;
            if (c > 0 && previous_[at] > kMinusInfinity) {
                score = previous_[at] +
                        (segment_[static_cast<std::size_t>(c - 1)] == expected ? weights_.match : -weights_.mismatch);
            }
            if (k + 1 < width && previous_[at + 1] > kMinusInfinity && previous_[at + 1] - weights_.indel > score) {
                score = previous_[at + 1] - weights_.indel;
                move = kDeletion;
            }
            if (k > 0 && current_[at - 1] > kMinusInfinity && current_[at - 1] - weights_.indel > score) {
                score = current_[at - 1] - weights_.indel;
                move = kInsertion;
            }
            current_[at] = score;
            moveRow[at] = move;
            if (score > rowBest) {
                rowBest = score;
                rowBestColumn = c;
            }
        }
        if (rowBest > kMinusInfinity && (!partial_.found || rowBest > partial_.score)) {
            partial_ = {rowBest, r, rowBestColumn, true};
        }
        best = std::max(best, rowBest);
        if (r == rows && rowBest > kMinusInfinity) {
            full_ = {rowBest, r, rowBestColumn, true};
        }
        if (rowBest < best - dropOff_) {
            return;  // the copy has gone bad: no whole copy here
        }
        std::swap(previous_, current_);
    }
}

std::string CopyAligner::traceback(int row, int column, int band) const
{
    const int width = 2 * band + 1;
    std::string ops;
    int r = row;
    int c = column;
    while (r > 0 || c > 0) {
        const int k = c - r + band;
        const std::uint8_t move = r == 0 ? kInsertion
                                         : moves_[static_cast<std::size_t>(r) * static_cast<std::size_t>(width) +
                                                  static_cast<std::size_t>(k)];
        if (move == kDiagonal) {
            ops += segment_[static_cast<std::size_t>(c - 1)] == pattern_[static_cast<std::size_t>(r - 1)] ? '='
                                                                                                           : 'X';
            --r;
            --c;
        } else if (move == kDeletion) {
            ops += 'D';
            --r;
        } else {
            ops += 'I';
            --c;
        }
    }
    std::reverse(ops.begin(), ops.end());
    return ops;
}

std::vector<AlignedCopy> CopyAligner::extend(std::span<const std::uint8_t> text, std::int64_t from, int direction,
                                             const std::vector<std::uint8_t>& consensus,
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
        fill(band);
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
