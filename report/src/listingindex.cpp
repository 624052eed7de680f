#include "report/listingindex.h"

#include "engine/repeatkinds.h"
#include "listingrow.h"

#include <algorithm>

namespace tessaron {

namespace {

constexpr std::size_t kSampleEvery = 64;
// Pairs are made this many at a time for the rows in view.
constexpr std::int64_t kRunLength = 512;

}  // namespace

ListingIndex::ListingIndex(std::shared_ptr<const RepeatSnapshot> snapshot) : snapshot_(std::move(snapshot))
{
    std::int64_t row = listing::kFirstRow;
    for (int slot = snapshot_->slotCount() - 1; slot >= 0; --slot) {
        const auto words = snapshot_->words(slot);
        if (words.empty()) {
            continue;
        }
        lengths_.push_back({slot, row, samples_.size()});
        std::int64_t pairs = 0;
        for (std::size_t word = 0; word < words.size(); ++word) {
            if (word % kSampleEvery == 0) {
                samples_.push_back(pairs);
            }
            pairs += words[word].pairCount;
        }
        rowCount_ = row + pairs;
        row += pairs + 2;  // the heading and the empty row after the length
    }
    if (!lengths_.empty()) {
        columnCount_ = kindInfo(snapshot_->kind()).listsSecondCopy ? 4 : 3;
    }
}

ListingIndex::Place ListingIndex::locate(std::int64_t row) const
{
    const auto after =
        std::upper_bound(lengths_.begin(), lengths_.end(), row,
                         [](std::int64_t value, const Length& length) { return value < length.headingRow; });
    if (after == lengths_.begin() || row > rowCount_) {
        return {};
    }
    const Length& length = *(after - 1);
    if (row == length.headingRow) {
        return {RowKind::Heading, length.slot, 0, 0};
    }
    const std::int64_t pairRow = row - length.headingRow - 1;  // among the length's pairs
    const auto words = snapshot_->words(length.slot);
    const std::size_t sampleEnd = after == lengths_.end() ? samples_.size() : after->sampleBegin;
    const auto samplesBegin = samples_.begin() + static_cast<std::ptrdiff_t>(length.sampleBegin);
    const auto sample =
        std::upper_bound(samplesBegin, samples_.begin() + static_cast<std::ptrdiff_t>(sampleEnd), pairRow) -
        1;
    std::size_t word = static_cast<std::size_t>(sample - samplesBegin) * kSampleEvery;
    std::int64_t before = *sample;
    for (; word < words.size(); ++word) {
        if (pairRow < before + words[word].pairCount) {
            return {RowKind::Pair, length.slot, word, pairRow - before};
        }
        before += words[word].pairCount;
    }
    return {};  // the empty row after the length
}

std::vector<std::string> ListingIndex::cells(std::int64_t row) const
{
    const Place place = locate(row);
    switch (place.kind) {
        case RowKind::Empty:
            return {};
        case RowKind::Heading:
            return {listing::headingText(snapshot_->minLength() + place.slot)};
        case RowKind::Pair:
            break;
    }
    listing::PairRow pairRow(snapshot_->genome(), snapshot_->minLength() + place.slot, columnCount_ == 4);
    const auto cells = pairRow.make(pairAt(place), place.pair == 0);
    return {cells.begin(), cells.end()};
}

std::vector<ColumnWidth> ListingIndex::widths() const
{
    if (lengths_.empty()) {
        return {};
    }
    const auto widths = listing::columnWidths(*snapshot_);
    return {widths.begin(), widths.begin() + (columnCount_ == 4 ? 2 : 1)};
}

const RepeatPair& ListingIndex::pairAt(const Place& place) const
{
    for (const Run& run : runs_) {
        if (run.slot == place.slot && run.word == place.word && place.pair >= run.from &&
            place.pair < run.from + static_cast<std::int64_t>(run.pairs.size())) {
            return run.pairs[static_cast<std::size_t>(place.pair - run.from)];
        }
    }
    Run& run = runs_[nextRun_];
    nextRun_ = (nextRun_ + 1) % runs_.size();
    run.slot = place.slot;
    run.word = place.word;
    run.from = place.pair - place.pair % kRunLength;
    run.pairs = snapshot_->pairs(place.slot, snapshot_->words(place.slot)[place.word], run.from, kRunLength);
    return run.pairs[static_cast<std::size_t>(place.pair - run.from)];
}

}  // namespace tessaron
