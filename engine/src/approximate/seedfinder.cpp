#include "seedfinder.h"

#include "trackscanner.h"

#include <algorithm>
#include <array>
#include <bit>
#include <exception>
#include <optional>
#include <thread>
#include <utility>

namespace tessaron::approximate {
namespace {

// The 16 two-bit groups of a mask in reverse order.
std::uint32_t reversePairs(std::uint32_t mask)
{
    mask = ((mask & 0x0000FFFFU) << 16U) | (mask >> 16U);
    mask = ((mask & 0x00FF00FFU) << 8U) | ((mask >> 8U) & 0x00FF00FFU);
    mask = ((mask & 0x0F0F0F0FU) << 4U) | ((mask >> 4U) & 0x0F0F0F0FU);
    return ((mask & 0x33333333U) << 2U) | ((mask >> 2U) & 0x33333333U);
}

// The key of a seed: the letters at its first 16 offsets from `start` of a
// text, 2 bits each; nothing when its span holds a gap.
std::optional<std::uint32_t> seedKey(const PackedText& text, std::int64_t start, const SeedShape& shape)
{
    for (int offset = 0; offset < shape.span; offset += 32) {
        if ((text.gaps(start + offset) & firstPairs(shape.span - offset)) != 0) {
            return std::nullopt;
        }
    }
    std::array<std::uint64_t, 3> words{};
    const std::size_t used = std::min(kKeyLetters, shape.offsets.size());
    for (std::size_t w = 0; w < words.size() && 32 * static_cast<int>(w) <= shape.offsets[used - 1]; ++w) {
        words[w] = text.letters(start + 32 * static_cast<std::int64_t>(w));
    }
    std::uint64_t key = 0;
    for (std::size_t k = 0; k < used; ++k) {
        const int offset = shape.offsets[k];
        key |= ((words[static_cast<std::size_t>(offset / 32)] >> (2 * (offset % 32))) & 3U) << (2 * k);
    }
    return static_cast<std::uint32_t>(key);
}

// Throws Stopped (Cancelled) when a stop is requested, looking every 65,536 steps.
void pace(std::size_t step, const SearchControl& control)
{
    if ((step & 0xFFFFU) == 0 && control.stopRequested()) {
        throw Stopped{SearchFailure::Cancelled};
    }
}

// Sorts by key, equal keys keeping their order (16 bits a pass), with room
// to work in that is kept from one sort to the next.
void sortByKey(std::vector<Keyed>& items, int keyBits, std::vector<Keyed>& spare,
               std::vector<std::uint32_t>& counts, const SearchControl& control)
{
    spare.resize(items.size());
    counts.resize(65537);
    for (int shift = 0; shift < keyBits; shift += 16) {
        std::fill(counts.begin(), counts.end(), 0);
        for (std::size_t k = 0; k < items.size(); ++k) {
            pace(k, control);
            ++counts[((items[k].key >> shift) & 0xFFFFU) + 1];
        }
        for (std::size_t k = 1; k < counts.size(); ++k) {
            counts[k] += counts[k - 1];
        }
        for (std::size_t k = 0; k < items.size(); ++k) {
            pace(k, control);
            spare[counts[(items[k].key >> shift) & 0xFFFFU]++] = items[k];
        }
        items.swap(spare);
    }
}

}  // namespace

void SeedLists::release(const SeedShape& shape)
{
    std::erase_if(entries_,
                  [&](const std::unique_ptr<Entry>& entry) { return entry->offsets == shape.offsets; });
}

bool SeedLists::has(const SeedShape& shape, bool backwards) const
{
    return std::any_of(entries_.begin(), entries_.end(), [&](const std::unique_ptr<Entry>& entry) {
        return entry->offsets == shape.offsets && entry->backwards == backwards;
    });
}

void SeedLists::prepare(const SeedShape& shape, bool backwardToo, int threads)
{
    if (!backwardToo || threads < 2 || has(shape, false) || has(shape, true)) {
        list(shape, false);
        if (backwardToo) {
            list(shape, true);
        }
        return;
    }
    std::unique_ptr<Entry> backward;
    std::exception_ptr failure;
    {
        const std::jthread helper([&] {
            try {
                backward = build(shape, true, helperScratch_);
            } catch (...) {
                failure = std::current_exception();
            }
        });
        entries_.push_back(build(shape, false, scratch_));
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    entries_.push_back(std::move(backward));
}

const SeedLists::List& SeedLists::list(const SeedShape& shape, bool backwards)
{
    for (const auto& entry : entries_) {
        if (entry->offsets == shape.offsets && entry->backwards == backwards) {
            return entry->list;
        }
    }
    entries_.push_back(build(shape, backwards, scratch_));
    return entries_.back()->list;
}

std::unique_ptr<SeedLists::Entry> SeedLists::build(const SeedShape& shape, bool backwards,
                                                   Scratch& scratch) const
{
    const std::int64_t n = texts_.n;
    const PackedText& text = backwards ? texts_.backward : texts_.forward;
    // The second copy at `position`, read backwards, starts at its end.
    const auto startOf = [&](std::int64_t position) {
        return backwards ? n - position - shape.span : position;
    };
    auto entry = std::make_unique<Entry>(Entry{shape.offsets, backwards, {}});
    List& list = entry->list;
    list.seeds.reserve(static_cast<std::size_t>(n));
    // Without gaps, a key whose letters lie within 32 is gathered from one
    // read in runs of neighbouring offsets.
    std::vector<std::pair<int, int>> runs;
    const std::size_t used = std::min(kKeyLetters, shape.offsets.size());
    for (std::size_t k = 0; k < used; ++k) {
        if (!runs.empty() && runs.back().first + runs.back().second == shape.offsets[k]) {
            ++runs.back().second;
        } else {
            runs.emplace_back(shape.offsets[k], 1);
        }
    }
    if (!text.hasGaps() && shape.offsets[used - 1] < 32) {
        for (std::int64_t position = 0; position < n; ++position) {
            pace(static_cast<std::size_t>(position), control_);
            const std::uint64_t word = text.letters(startOf(position));
            std::uint64_t key = 0;
            int placed = 0;
            for (const auto& [offset, length] : runs) {
                key |= ((word >> (2 * offset)) & ((std::uint64_t{1} << (2 * length)) - 1)) << (2 * placed);
                placed += length;
            }
            list.seeds.push_back(Keyed{static_cast<std::uint32_t>(key), static_cast<std::int32_t>(position)});
        }
    } else {
        for (std::int64_t position = 0; position < n; ++position) {
            pace(static_cast<std::size_t>(position), control_);
            if (const auto key = seedKey(text, startOf(position), shape)) {
                list.seeds.push_back(Keyed{*key, static_cast<std::int32_t>(position)});
            }
        }
    }
    sortByKey(list.seeds, 2 * static_cast<int>(std::min(kKeyLetters, shape.offsets.size())), scratch.spare,
              scratch.counts, control_);
    if (shape.contiguous) {
        list.neighbours.reserve(list.seeds.size());
        for (const Keyed& seed : list.seeds) {
            pace(list.neighbours.size(), control_);
            const std::int64_t start = startOf(seed.position);
            list.neighbours.push_back((text.letters(start - 16) & 0xFFFFFFFFU) |
                                      (text.letters(start + shape.span) << 32U));
        }
    }
    return entry;
}

SeedFinder::SeedFinder(const Context& context, const SeedPlan& plan, const SeedShape& shape, SeedLists& lists,
                       int threads)
    : context_(context),
      plan_(plan),
      shape_(shape),
      threads_(threads),
      found_(static_cast<std::size_t>(threads)),
      firstList_(lists.forward(shape)),
      secondList_(context.line ? lists.backward(shape) : lists.forward(shape)),
      firsts_(firstList_.seeds),
      seconds_(secondList_.seeds),
      keyFlip_(context.complement
                   ? static_cast<std::uint32_t>(
                         (std::uint64_t{1} << (2 * std::min(kKeyLetters, shape.offsets.size()))) - 1)
                   : 0)
{
    for (std::size_t j = 0; j < plan.minWindow.size(); ++j) {
        if (j + 1 == plan.minWindow.size() || plan.minWindow[j + 1] != plan.minWindow[j]) {
            steps_.push_back(static_cast<std::int64_t>(j));
        }
    }
    shapeWords_.assign(static_cast<std::size_t>((shape.span + 31) / 32), 0);
    for (const int offset : shape.offsets) {
        shapeWords_[static_cast<std::size_t>(offset / 32)] |= std::uint64_t{1} << (2 * (offset % 32));
    }
}

void SeedFinder::run(double progressFrom, double progressTo)
{
    // Tasks: runs of whole key groups of the first list.
    std::vector<std::size_t> bounds{0};
    const std::size_t step = std::max<std::size_t>(4096, firsts_.size() / 512 + 1);
    for (std::size_t at = step; at < firsts_.size(); at += step) {
        std::size_t cut = std::max(at, bounds.back());
        while (cut < firsts_.size() && firsts_[cut].key == firsts_[cut - 1].key) {
            ++cut;
        }
        if (cut < firsts_.size() && cut > bounds.back()) {
            bounds.push_back(cut);
        }
    }
    bounds.push_back(firsts_.size());
    runTasks(context_, threads_, static_cast<std::int64_t>(bounds.size()) - 1, progressFrom, progressTo,
             [&](std::int64_t task, int thread) {
                 enumerate(bounds[static_cast<std::size_t>(task)], bounds[static_cast<std::size_t>(task) + 1],
                           found_[static_cast<std::size_t>(thread)]);
             });
}

void SeedFinder::enumerate(std::size_t begin, std::size_t end, std::vector<Candidate>& out) const
{
    const std::vector<Keyed>& seconds = seconds_;
    const bool same = &firsts_ == &seconds_ && keyFlip_ == 0;
    const auto byKey = [](const Keyed& item, std::uint32_t key) { return item.key < key; };
    std::int64_t tried = 0;
    // Gaps read as letters in the neighbourhoods: only the texts tell.
    const bool quick =
        shape_.contiguous && !context_.forward.hasGaps() && plan_.filter != SeedPlan::Filter::None;
    // The second copies' group follows the keys up through the list, or
    // down it when they are complemented (the complement of a key is the
    // all-ones key minus it).
    std::size_t cursor = 0;
    if (begin == end) {
        return;
    }
    if (!same) {
        const std::uint32_t firstWanted = firsts_[begin].key ^ keyFlip_;
        const auto above = [](std::uint32_t key, const Keyed& item) { return key < item.key; };
        cursor = static_cast<std::size_t>(
            (keyFlip_ == 0 ? std::lower_bound(seconds.begin(), seconds.end(), firstWanted, byKey)
                           : std::upper_bound(seconds.begin(), seconds.end(), firstWanted, above)) -
            seconds.begin());
    }
    for (std::size_t group = begin; group < end;) {
        const std::uint32_t key = firsts_[group].key;
        std::size_t groupEnd = group;
        while (groupEnd < end && firsts_[groupEnd].key == key) {
            ++groupEnd;
        }
        const std::uint32_t wanted = key ^ keyFlip_;
        std::size_t other = group;
        std::size_t otherEnd = groupEnd;
        if (!same && keyFlip_ == 0) {
            while (cursor < seconds.size() && seconds[cursor].key < wanted) {
                ++cursor;
            }
            other = cursor;
            otherEnd = other;
            while (otherEnd < seconds.size() && seconds[otherEnd].key == wanted) {
                ++otherEnd;
            }
        } else if (!same) {
            while (cursor > 0 && seconds[cursor - 1].key > wanted) {
                --cursor;
            }
            otherEnd = cursor;
            other = otherEnd;
            while (other > 0 && seconds[other - 1].key == wanted) {
                --other;
            }
        }
        std::size_t partner = other;
        for (std::size_t f = group; f < groupEnd; ++f) {
            const std::int32_t i = firsts_[f].position;
            // Second copies after the first (positions ascend in a group).
            std::size_t s = same ? f + 1 : partner;
            while (s < otherEnd && seconds[s].position <= i) {
                ++s;
            }
            if (!same) {
                partner = s;
            }
            for (; s < otherEnd; ++s) {
                if ((++tried & 0xFFFF) == 0 && context_.control.stopRequested()) {
                    throw Stopped{SearchFailure::Cancelled};
                }
                if (quick && !worthALook(firsts_[f], firstList_.neighbours[f], seconds[s],
                                         secondList_.neighbours[s])) {
                    continue;
                }
                tryHit(i, seconds[s].position, out);
            }
        }
        group = groupEnd;
    }
}

bool SeedFinder::worthALook(const Keyed& first, Neighbours firstNeighbours, const Keyed& second,
                            Neighbours secondNeighbours) const
{
    const std::uint64_t both =
        firstNeighbours ^ secondNeighbours ^ (context_.complement ? ~std::uint64_t{0} : 0);
    const auto before = static_cast<std::uint32_t>(both);
    const auto after = static_cast<std::uint32_t>(both >> 32U);
    const auto low = static_cast<std::uint32_t>(kLowBits);
    const std::uint32_t beforeBad = (before | (before >> 1U)) & low;
    const std::uint32_t afterBad = (after | (after >> 1U)) & low;
    // Whether the pairs are read from the other copy (see tryHit).
    bool swapped = false;
    if (context_.line) {
        const std::int64_t n = context_.n;
        const std::int64_t i = first.position;
        const std::int64_t t = modulo(i + second.position + shape_.span - 1, n);
        const LineGeometry line = lineGeometry(n, t);
        swapped = modulo(line.a - i, n) < line.length;
    }
    if (((swapped ? afterBad : beforeBad >> 30U) & 1U) == 0) {
        return false;  // not the first seed of its run
    }
    // Pairs before the seed and after its span in the order `passes`
    // reads them, the nearest first.
    const std::uint32_t left = swapped ? afterBad : reversePairs(beforeBad);
    const std::uint32_t right = swapped ? reversePairs(beforeBad) : afterBad;
    if (right == 0) {
        return true;
    }
    const std::int64_t covered = shape_.span + lowestPair(right);
    const std::int64_t beyond = shape_.span + 16 - covered;  // known pairs after the run
    for (const std::int64_t j : steps_) {
        const std::int64_t half = (plan_.minWindow[static_cast<std::size_t>(j)] - covered + 1) / 2;
        if (half <= 0) {
            return true;
        }
        const int leftBad =
            std::popcount(left & static_cast<std::uint32_t>(firstPairs(std::min<std::int64_t>(half, 16))));
        const int rightBad = std::popcount((right >> (2 * (covered - shape_.span))) &
                                           static_cast<std::uint32_t>(firstPairs(std::min(half, beyond))));
        if (std::min(leftBad, rightBad) <= j) {
            return true;
        }
    }
    return false;
}

void SeedFinder::tryHit(std::int64_t i, std::int64_t j, std::vector<Candidate>& out) const
{
    const std::int64_t n = context_.n;
    if (!context_.line) {
        if (!passes(PairReader{&context_.forward, i, &context_.forward, j, context_.complement})) {
            return;
        }
        const std::int64_t d = j - i;
        out.push_back(d <= n - d ? Candidate{static_cast<std::int32_t>(d), static_cast<std::int32_t>(i)}
                                 : Candidate{static_cast<std::int32_t>(n - d), static_cast<std::int32_t>(j)});
        return;
    }
    // Pair o of the seed lines up letters i + o and last - o.
    const std::int64_t last = j + shape_.span - 1;
    if (modulo(last - i, n) == 0) {
        return;  // a seed across a centre: no block of a segment holds it
    }
    const std::int64_t t = modulo(i + last, n);
    const LineGeometry line = lineGeometry(n, t);
    const std::int64_t b = modulo(t - line.a, n);
    // A contiguous seed is read outward along its line (from the copy on
    // the b side), so that the first seed of a run is the one nearest the
    // centre whichever copy comes first in the sequence.
    const bool swap = shape_.contiguous && modulo(line.a - i, n) < line.length;
    const std::int64_t from = swap ? j : i;
    const std::int64_t to = swap ? i : j;
    if (!passes(PairReader{&context_.forward, from, &context_.backward, n - to - shape_.span,
                           context_.complement})) {
        return;
    }
    // Pair 0 lines up `from` with to + span - 1; one of them is b + y.
    std::int64_t y = modulo(from - b, n);
    if (y >= line.length) {
        y = modulo(to + shape_.span - 1 - b, n);
    }
    out.push_back({static_cast<std::int32_t>(t), static_cast<std::int32_t>(y)});
}

void SeedFinder::distancesRight(const PairReader& reader, std::int64_t from, std::size_t count,
                                std::array<std::int64_t, 64>& out, std::uint64_t word,
                                std::int64_t base) const
{
    std::size_t found = 0;
    std::uint64_t bad = word & ~firstPairs(from - base);
    for (std::int64_t at = base;;) {
        const std::uint64_t gaps = reader.hasGaps() ? reader.gapBits(at) : 0;
        while (bad != 0 && found < count) {
            const int k = lowestPair(bad);
            const std::int64_t distance = at + k - from + 1;
            if (((gaps >> (2 * k)) & 1U) != 0) {
                while (found < count) {
                    out[found++] = distance;
                }
                return;
            }
            out[found++] = distance;
            bad &= bad - 1;
        }
        at += 32;
        if (found == count || at - from >= plan_.lookRange) {
            break;
        }
        bad = reader.bad(at);
    }
    while (found < count) {
        out[found++] = kFar;
    }
}

void SeedFinder::distancesLeft(const PairReader& reader, std::size_t count, std::array<std::int64_t, 64>& out,
                               std::uint64_t word) const
{
    std::size_t found = 0;
    std::uint64_t bad = word;
    for (std::int64_t at = -32;;) {
        const std::uint64_t gaps = reader.hasGaps() ? reader.gapBits(at) : 0;
        while (bad != 0 && found < count) {
            const int k = highestPair(bad);
            const std::int64_t distance = -(at + k);
            if (((gaps >> (2 * k)) & 1U) != 0) {
                while (found < count) {
                    out[found++] = distance;
                }
                return;
            }
            out[found++] = distance;
            bad &= ~(std::uint64_t{1} << (2 * k));
        }
        at -= 32;
        if (found == count || -at > plan_.lookRange) {
            break;
        }
        bad = reader.bad(at);
    }
    while (found < count) {
        out[found++] = kFar;
    }
}

bool SeedFinder::passes(const PairReader& reader) const
{
    const std::uint64_t before = reader.bad(-32);
    if (shape_.contiguous && (before >> 62U) == 0) {
        return false;  // not the first seed of its run
    }
    const std::uint64_t start = reader.bad(0);
    // The stretch the seed covers: [0, span), or the whole run of matches.
    std::int64_t covered = shape_.span;
    int inside = 0;
    if (shape_.contiguous) {
        std::int64_t run = 0;
        for (std::uint64_t bad = start; bad == 0;) {
            run += 32;
            if (run >= plan_.lookRange) {
                return true;
            }
            bad = reader.bad(run);
            if (bad != 0) {
                run += lowestPair(bad);
            }
        }
        if (run == 0) {
            run = lowestPair(start);
        }
        if (run < shape_.span) {
            return false;  // the key held only part of the seed
        }
        covered = run;
    } else {
        // Every pair of the shape lines up equal; the others count as
        // mismatches. When the shape also fits one pair earlier, that seed
        // stands for this one: a block holding this one, grown by the
        // matching pair before it, holds that one with as many mismatches.
        bool earlierFits = (before >> 62U) == 0;
        for (std::size_t w = 0; w < shapeWords_.size(); ++w) {
            const auto at = static_cast<std::int64_t>(32 * w);
            const std::uint64_t valid = firstPairs(shape_.span - at);
            const std::uint64_t bad = (w == 0 ? start : reader.bad(at)) & valid;
            if ((bad & shapeWords_[w]) != 0 || (reader.gapBits(at) & valid) != 0) {
                return false;
            }
            inside += std::popcount(bad);
            // The shape one pair earlier, in this word: its offsets 1 .. 32.
            const std::uint64_t next = w + 1 < shapeWords_.size() ? shapeWords_[w + 1] : 0;
            earlierFits = earlierFits && (bad & ((shapeWords_[w] >> 2U) | (next << 62U))) == 0;
        }
        if (earlierFits) {
            return false;
        }
    }
    if (plan_.filter == SeedPlan::Filter::None) {
        return true;
    }
    const int budget = static_cast<int>(plan_.minWindow.size()) - 1 - inside;
    if (budget < 0) {
        return false;
    }
    if (budget > 62) {
        return true;  // more splits than are looked at: let it pass
    }
    // A quick look first: a window of `need` pairs with j mismatches
    // around the seed reaches at least half of the rest on one side, so
    // it has j or fewer there.
    // Of several numbers of mismatches that need windows of the same length,
    // the largest is the easiest to meet.
    const auto recurs = [&](int j) {
        return j < budget && plan_.minWindow[static_cast<std::size_t>(j + inside)] ==
                                 plan_.minWindow[static_cast<std::size_t>(j + inside + 1)];
    };
    bool possible = false;
    for (int j = 0; j <= budget && !possible; ++j) {
        if (recurs(j)) {
            continue;
        }
        const std::int64_t rest = plan_.minWindow[static_cast<std::size_t>(j + inside)] - covered;
        const std::int64_t half = (rest + 1) / 2;
        if (rest <= 0 || half > 32 || covered + half > 32) {
            possible = true;
            break;
        }
        const int leftBad = std::popcount(before >> (64 - 2 * half));
        const int rightBad = std::popcount((start >> (2 * covered)) & firstPairs(half));
        possible = std::min(leftBad, rightBad) <= j;
    }
    if (!possible) {
        return false;
    }
    std::array<std::int64_t, 64> left;  // filled up to `count`
    std::array<std::int64_t, 64> right;
    const auto count = static_cast<std::size_t>(budget + 1);
    distancesLeft(reader, count, left, before);
    const std::int64_t base = covered / 32 * 32;
    distancesRight(reader, covered, count, right, base == 0 ? start : reader.bad(base), base);
    for (int j = 0; j <= budget; ++j) {
        if (recurs(j)) {
            continue;
        }
        const std::int64_t need = plan_.minWindow[static_cast<std::size_t>(j + inside)];
        // j mismatches on each side bound every split of j.
        const auto side = static_cast<std::size_t>(j);
        if ((left[side] - 1) + covered + (right[side] - 1) < need) {
            continue;
        }
        for (int jl = 0; jl <= j; ++jl) {
            if ((left[static_cast<std::size_t>(jl)] - 1) + covered +
                    (right[static_cast<std::size_t>(j - jl)] - 1) >=
                need) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace tessaron::approximate
