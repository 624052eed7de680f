// The complete search's index: the rotations of up to four readings of the
// sequence sorted as the suffixes of one text, with their common prefixes.

#include "completeindex.h"
#include "suffixarray.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace tessaron::complete {

namespace {

// The readings an index for `kinds` holds: the forward one always (it orders
// the words); inverted through C and V when either is there anyway, else W.
std::array<bool, kReadings> readingsFor(std::span<const RepeatKind> kinds)
{
    std::array<bool, kReadings> present{};
    present[kForward] = true;
    bool inverted = false;
    for (const RepeatKind kind : kinds) {
        present[kComplemented] = present[kComplemented] || kind == RepeatKind::Complementary;
        present[kBackwards] = present[kBackwards] || kind == RepeatKind::Mirror;
        inverted = inverted || kind == RepeatKind::Inverted;
    }
    if (inverted) {
        if (present[kComplemented] || present[kBackwards]) {
            present[kComplemented] = present[kBackwards] = true;
        } else {
            present[kBackComplemented] = true;
        }
    }
    return present;
}

// How far each reading is written again after itself at first: enough for
// the common prefixes of nearly all rotations of real and random sequences,
// at a sixteenth of the sequence or less.
std::int32_t firstTail(std::int32_t length)
{
    return std::min(length, std::clamp(length / 16, 64, 4096));
}

// Cuts each common prefix where either rotation reaches a gap. The cut
// prefixes are those of the rotations read up to their first gap, which sort
// into the same intervals, so the walk stays right.
void cutAtGaps(const CompleteIndex::Data& data, std::span<const std::int32_t> rotation,
               std::span<std::int32_t> lcp)
{
    const std::int32_t n = data.length;
    // Letters from each position up to the next gap, forwards and backwards,
    // round the circle (there is a gap, so both are below N).
    std::vector<std::int32_t> ahead(static_cast<std::size_t>(n));
    std::vector<std::int32_t> behind(static_cast<std::size_t>(n));
    const auto at = [](std::vector<std::int32_t>& v, std::int32_t p) -> std::int32_t& {
        return v[static_cast<std::size_t>(p)];
    };
    const auto gapAt = [&](std::int32_t p) { return data.codes[static_cast<std::size_t>(p)] == kGap; };
    std::int32_t lastGap = 0;
    while (!gapAt(lastGap)) {
        ++lastGap;
    }
    for (std::int32_t k = 1; k <= n; ++k) {
        const std::int32_t p = (lastGap + k) % n;
        at(behind, p) = gapAt(p) ? 0 : at(behind, (p + n - 1) % n) + 1;
    }
    for (std::int32_t k = 1; k <= n; ++k) {
        const std::int32_t p = ((lastGap - k) % n + n) % n;
        at(ahead, p) = gapAt(p) ? 0 : at(ahead, (p + 1) % n) + 1;
    }
    const auto run = [&](std::int32_t r) {
        const std::int32_t reading = r / n;
        const std::int32_t j = r - reading * n;
        const bool backwards = reading == kBackwards || reading == kBackComplemented;
        return backwards ? at(behind, n - 1 - j) : at(ahead, j);
    };
    std::int32_t previous = 0;
    for (std::size_t i = 0; i < rotation.size(); ++i) {
        const std::int32_t current = run(rotation[i]);
        if (i > 0) {
            lcp[i] = std::min({lcp[i], previous, current});
        }
        previous = current;
    }
}

// Sorts the rotations with each reading followed by its first `tail`
// letters again (tail <= N). A rotation j then has N - j + tail letters before
// the reading's separator, all of them its own; the sort is right when no two
// neighbours in it are still equal where one of them runs out, unless they
// agree on N letters (equal rotations). Returns false when that fails.
bool sortRotations(CompleteIndex::Data& data, std::int32_t tail, const SearchControl& control)
{
    const std::int32_t n = data.length;
    std::vector<std::uint8_t> text;
    std::vector<SuffixBlock> blocks;
    std::vector<int> blockReading;
    for (int reading = 0; reading < kReadings; ++reading) {
        if (!data.present[static_cast<std::size_t>(reading)]) {
            continue;
        }
        if (!text.empty()) {
            text.push_back(static_cast<std::uint8_t>(kFirstSeparator + blocks.size()));
        }
        const auto begin = static_cast<std::int32_t>(text.size());
        blocks.push_back({begin, begin + n});
        blockReading.push_back(reading);
        for (std::int32_t j = 0; j < n; ++j) {
            text.push_back(data.letter(reading, j));
        }
        text.insert(text.end(), text.begin() + begin, text.begin() + begin + tail);
    }
    std::vector<std::int32_t> sa = suffixArray(text);
    checkStop(control);
    control.report(0.3);

    // Keep the starts of rotations, in place, and find their common prefixes.
    const auto blockOf = [&](std::int32_t start) {
        for (std::size_t b = 0; b < blocks.size(); ++b) {
            if (start >= blocks[b].begin && start < blocks[b].end) {
                return static_cast<int>(b);
            }
        }
        return -1;
    };
    std::size_t kept = 0;
    for (const std::int32_t start : sa) {
        if (blockOf(start) >= 0) {
            sa[kept++] = start;
        }
    }
    sa.resize(kept);
    std::vector<std::int32_t> lcp = lcpArray(text, sa, blocks);
    std::vector<std::int32_t> forwardRank(static_cast<std::size_t>(n), 0);
    std::vector<std::uint8_t> kindOf(sa.size());
    std::int32_t forwardSeen = 0;
    std::int32_t lettersBefore = 0;  // of the rotation before, up to its separator
    for (std::size_t i = 0; i < sa.size(); ++i) {
        const int b = blockOf(sa[i]);
        const std::int32_t j = sa[i] - blocks[static_cast<std::size_t>(b)].begin;
        const std::int32_t letters = n - j + tail;
        if (i > 0 && lcp[i] < n && (lcp[i] >= letters || lcp[i] >= lettersBefore)) {
            return false;
        }
        lettersBefore = letters;
        const int reading = blockReading[static_cast<std::size_t>(b)];
        sa[i] = reading * n + j;
        const std::uint8_t before = data.letter(reading, j - 1);
        kindOf[i] =
            static_cast<std::uint8_t>(reading * kPerReading + (before == kGap ? kGapBefore : before - 1));
        if (reading == kForward) {
            forwardRank[static_cast<std::size_t>(j)] = forwardSeen++;
        }
    }
    if (data.gaps) {
        cutAtGaps(data, sa, lcp);
    }
    data.rotation = std::move(sa);
    data.lcp = std::move(lcp);
    data.kindOf = std::move(kindOf);
    data.forwardRank = std::move(forwardRank);
    checkStop(control);
    control.report(0.5);
    return true;
}

}  // namespace

std::unique_ptr<CompleteIndex::Data> buildData(std::shared_ptr<const Genome> genome,
                                               std::span<const RepeatKind> kinds,
                                               const SearchControl& control)
{
    auto data = std::make_unique<CompleteIndex::Data>();
    const std::string_view sequence = genome->sequence();
    data->genome = std::move(genome);
    data->length = static_cast<std::int32_t>(sequence.size());
    data->codes.resize(sequence.size());
    std::transform(sequence.begin(), sequence.end(), data->codes.begin(), letterCode);
    data->gaps = data->genome->gapCount() > 0;
    data->present = readingsFor(kinds);
    if (hasPairs(*data)) {
        int readings = 0;
        for (const bool present : data->present) {
            readings += present ? 1 : 0;
        }
        if ((2 * static_cast<std::int64_t>(data->length) + 1) * readings >
            std::numeric_limits<std::int32_t>::max()) {
            throw std::bad_alloc();
        }
        if (!sortRotations(*data, firstTail(data->length), control)) {
            sortRotations(*data, data->length, control);
        }
    }
    return data;
}

}  // namespace tessaron::complete

namespace tessaron {

CompleteIndex::CompleteIndex(std::unique_ptr<const Data> data) : data_(std::move(data))
{
}

CompleteIndex::~CompleteIndex() = default;

const std::shared_ptr<const Genome>& CompleteIndex::genome() const
{
    return data_->genome;
}

bool CompleteIndex::serves(RepeatKind kind) const
{
    return complete::servesKind(*data_, kind);
}

CompleteIndexResult buildCompleteIndex(std::shared_ptr<const Genome> genome,
                                       std::span<const RepeatKind> kinds, const SearchControl& control)
{
    if (!genome) {
        return SearchFailure::Cancelled;
    }
    return runStep(control, [&]() -> CompleteIndexResult {
        return std::make_shared<const CompleteIndex>(complete::buildData(std::move(genome), kinds, control));
    });
}

}  // namespace tessaron
