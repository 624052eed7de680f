#include "report/listingstream.h"

#include "engine/repeatkinds.h"
#include "listingrow.h"

#include <algorithm>
#include <array>
#include <string>

namespace tessaron {

void streamListing(const RepeatSnapshot& snapshot, RowSink& sink, const FeatureIndex* features)
{
    int highest = snapshot.slotCount() - 1;
    while (highest >= 0 && snapshot.pairCount(highest) == 0) {
        --highest;
    }
    if (highest < 0 || snapshot.words(highest).empty()) {
        return;
    }
    const bool secondText = kindInfo(snapshot.kind()).listsSecondCopy;
    const std::array<ColumnWidth, 2> widths = listing::columnWidths(snapshot);
    const int pairColumns = secondText ? 4 : 3;
    sink.columns(pairColumns + (features != nullptr ? 1 : 0), std::span(widths).first(secondText ? 2 : 1));
    std::array<std::string_view, 5> withFeatures{};
    std::string first;
    std::string both;

    std::int64_t row = listing::kFirstRow;
    for (int slot = snapshot.slotCount() - 1; slot >= 0; --slot) {
        const auto words = snapshot.words(slot);
        if (words.empty()) {
            continue;
        }
        const int length = snapshot.minLength() + slot;
        const std::string heading = listing::headingText(length);
        const std::string_view headingCell = heading;
        sink.row(row++, std::span(&headingCell, 1));
        listing::PairRow pairRow(snapshot.genome(), length, secondText);
        for (const RepeatWord& word : words) {
            bool firstOfWord = true;
            snapshot.forEachPairBatch(slot, word, [&](std::span<const RepeatPair> batch) {
                for (const RepeatPair& pair : batch) {
                    const auto cells = pairRow.make(pair, firstOfWord);
                    firstOfWord = false;
                    if (features == nullptr) {
                        sink.row(row++, cells);
                        continue;
                    }
                    features->describe(pair.first, length, first);
                    features->describe(pair.second, length, both);
                    both.insert(0, first + " | ");
                    std::copy(cells.begin(), cells.end(), withFeatures.begin());
                    withFeatures[cells.size()] = both;
                    sink.row(row++, std::span(withFeatures).first(cells.size() + 1));
                }
            });
        }
        ++row;  // one empty row after each filled length
    }
}

void writeListing(TableWriter& out, const RepeatSnapshot& snapshot, const FeatureIndex* features)
{
    TableRowSink sink(out);
    streamListing(snapshot, sink, features);
}

SheetLayout listingLayout(const RepeatSnapshot& snapshot)
{
    SheetLayout layout;
    layout.caption = std::string(listingCaption(snapshot.kind()));
    LayoutRowSink sink(layout);
    streamListing(snapshot, sink);
    return layout;
}

}  // namespace tessaron
