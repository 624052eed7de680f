#include "session/tandemalignment.h"

#include <algorithm>
#include <cstddef>

namespace tessaron {

namespace {

// The column letters of one copy's CIGAR ("3=1X2=" -> "===X=="); none when
// it is not one.
std::optional<std::string> expanded(std::string_view cigar)
{
    std::string ops;
    std::size_t count = 0;
    bool digits = false;
    for (const char c : cigar) {
        if (c >= '0' && c <= '9') {
            count = count * 10 + static_cast<std::size_t>(c - '0');
            digits = true;
            if (count > 100'000'000) {
                return std::nullopt;
            }
            continue;
        }
        if (!digits || (c != '=' && c != 'X' && c != 'I' && c != 'D')) {
            return std::nullopt;
        }
        ops.append(count, c);
        count = 0;
        digits = false;
    }
    if (digits) {
        return std::nullopt;
    }
    return ops;
}

// The columns of every copy, or none when the alignment does not parse.
std::optional<std::vector<std::string>> copyOps(const TandemRepeat& array)
{
    std::vector<std::string> copies;
    std::string_view rest = array.alignment;
    while (!rest.empty()) {
        const std::size_t comma = rest.find(',');
        auto ops = expanded(rest.substr(0, comma));
        if (!ops) {
            return std::nullopt;
        }
        copies.push_back(std::move(*ops));
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    return copies;
}

std::int64_t lettersRead(const std::string& ops)
{
    return static_cast<std::int64_t>(
        std::count_if(ops.begin(), ops.end(), [](char op) { return op != 'D'; }));
}

}  // namespace

std::vector<TandemCopy> tandemCopies(const TandemRepeat& array)
{
    const auto copies = copyOps(array);
    if (!copies) {
        return {};
    }
    std::vector<TandemCopy> out;
    out.reserve(copies->size());
    std::int64_t start = array.start;
    for (const std::string& ops : *copies) {
        const std::int64_t length = lettersRead(ops);
        out.push_back({start, length});
        start += length;
    }
    if (start != array.end()) {
        return {};
    }
    return out;
}

std::optional<TandemAlignment> alignCopies(const TandemRepeat& array, std::string_view letters)
{
    const auto copies = copyOps(array);
    const auto period = array.consensus.size();
    if (!copies || letters.size() != static_cast<std::size_t>(array.length) || period == 0) {
        return std::nullopt;
    }
    // The most letters any copy inserts before each consensus letter (and after the last).
    std::vector<std::size_t> inserted(period + 1, 0);
    std::size_t read = 0;
    for (const std::string& ops : *copies) {
        std::size_t row = 0;
        std::size_t run = 0;
        for (const char op : ops) {
            if (op == 'I') {
                ++run;
                continue;
            }
            if (row >= period) {
                return std::nullopt;  // more consensus letters than the consensus has
            }
            inserted[row] = std::max(inserted[row], run);
            run = 0;
            ++row;
        }
        inserted[row] = std::max(inserted[row], run);
        read += static_cast<std::size_t>(lettersRead(ops));
    }
    if (read != letters.size()) {
        return std::nullopt;
    }
    // Where each consensus letter's column is; the row's width.
    std::vector<std::size_t> column(period + 1, 0);
    std::size_t width = 0;
    for (std::size_t row = 0; row <= period; ++row) {
        width += inserted[row];
        column[row] = width;
        width += row < period ? 1 : 0;
    }
    TandemAlignment out;
    out.consensus.assign(width, '-');
    for (std::size_t row = 0; row < period; ++row) {
        out.consensus[column[row]] = array.consensus[row];
    }
    std::size_t letter = 0;
    for (const std::string& ops : *copies) {
        std::string line(width, '-');
        std::size_t row = 0;
        std::size_t run = 0;  // letters inserted before the current consensus letter
        for (const char op : ops) {
            if (op == 'I') {
                line[column[row] - inserted[row] + run] = letters[letter++];
                ++run;
                continue;
            }
            if (op != 'D') {
                line[column[row]] = letters[letter++];
            }
            run = 0;
            ++row;
        }
        // A last copy that stops early: nothing past its last letter.
        if (row < period) {
            std::fill(line.begin() + static_cast<std::ptrdiff_t>(column[row] - inserted[row] + run),
                      line.end(), ' ');
        }
        out.copies.push_back(std::move(line));
    }
    return out;
}

std::string arrayLetters(std::string_view sequence, const TandemRepeat& array)
{
    std::string out;
    if (sequence.empty() || array.length <= 0) {
        return out;
    }
    const auto n = static_cast<std::int64_t>(sequence.size());
    out.reserve(static_cast<std::size_t>(array.length));
    for (std::int64_t i = 0; i < array.length; ++i) {
        out += sequence[static_cast<std::size_t>((array.start + i) % n)];
    }
    return out;
}

}  // namespace tessaron
