#include "report/listingstream.h"

#include "engine/repeatkinds.h"
#include "listingrow.h"

#include <array>

namespace tessaron {

void streamListing(const RepeatSnapshot& snapshot, RowSink& sink)
{
    int highest = snapshot.slotCount() - 1;
    while (highest >= 0 && snapshot.pairCount(highest) == 0) {
        --highest;
    }
    if (highest < 0 || snapshot.words(highest).empty()) {
        return;
    }
    const bool secondText = kindInfo(snapshot.kind()).listsSecondCopy;
    const int width = listingColumnWidth(snapshot.minLength() + highest);
    const std::array<ColumnWidth, 2> widths{{{1, width}, {4, width}}};
    sink.columns(secondText ? 4 : 3, std::span(widths).first(secondText ? 2 : 1));

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
                    sink.row(row++, pairRow.make(pair, firstOfWord));
                    firstOfWord = false;
                }
            });
        }
        ++row;  // one empty row after each filled length
    }
}

void writeListing(TableWriter& out, const RepeatSnapshot& snapshot)
{
    TableRowSink sink(out);
    streamListing(snapshot, sink);
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
