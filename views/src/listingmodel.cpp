#include "views/listingmodel.h"

#include "engine/repeatkinds.h"

#include <algorithm>
#include <climits>
#include <string>

using tessaron::RepeatPair;
using tessaron::RepeatSnapshot;
using tessaron::RepeatWord;

namespace {

// Pairs are made this many at a time for the cells in view.
constexpr std::int64_t kRunLength = 512;

}  // namespace

// One length of the listing: its heading row, the rows of its pairs and its words.
struct ListingSection {
    int slot = 0;
    std::int64_t headingRow = 0;
    std::int64_t endRow = 0;    // one past its last pair row; the empty row follows
    std::size_t firstWord = 0;  // into Layout::wordRows
};

struct ListingModel::Layout {
    std::shared_ptr<const RepeatSnapshot> snapshot;
    bool secondText = false;
    int width = 0;                         // of the word columns; 0 for a listing without repeats
    std::vector<ListingSection> sections;  // longest words first
    std::vector<std::int64_t> wordRows;    // the row of each word's first pair, in listing order
    std::int64_t usedRows = 0;

    [[nodiscard]] int columns() const
    {
        if (sections.empty()) {
            return 0;
        }
        return secondText ? 4 : 3;
    }
    [[nodiscard]] int length(const ListingSection& section) const
    {
        return snapshot->minLength() + section.slot;
    }
    [[nodiscard]] static std::string heading(int length) { return std::to_string(length) + " bp sequences"; }
};

ListingModel::ListingModel(std::shared_ptr<const RepeatSnapshot> snapshot, QObject* parent)
    : SheetCells(parent)
{
    auto layout = std::make_shared<Layout>();
    layout->secondText = tessaron::kindInfo(snapshot->kind()).listsSecondCopy;
    int highest = snapshot->slotCount() - 1;
    while (highest >= 0 && snapshot->pairCount(highest) == 0) {
        --highest;
    }
    if (highest >= 0 && !snapshot->words(highest).empty()) {
        layout->width = tessaron::listingColumnWidth(snapshot->minLength() + highest);
        std::int64_t row = 2;
        for (int slot = snapshot->slotCount() - 1; slot >= 0; --slot) {
            const auto words = snapshot->words(slot);
            if (words.empty()) {
                continue;
            }
            ListingSection section{slot, row, 0, layout->wordRows.size()};
            ++row;
            for (const RepeatWord& word : words) {
                layout->wordRows.push_back(row);
                row += word.pairCount;
            }
            section.endRow = row;
            layout->sections.push_back(section);
            ++row;  // one empty row after each filled length
        }
        layout->usedRows = layout->sections.back().endRow - 1;
    }
    layout->snapshot = std::move(snapshot);
    layout_ = std::move(layout);
}

ListingModel::~ListingModel() = default;

int ListingModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : std::max(usedRows(), kShownRows);
}

int ListingModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : std::max(usedColumns(), kShownColumns);
}

int ListingModel::usedRows() const
{
    return static_cast<int>(std::min<std::int64_t>(layout_->usedRows, INT_MAX));
}

int ListingModel::usedColumns() const
{
    return layout_->columns();
}

QString ListingModel::caption() const
{
    return QString::fromUtf8(tessaron::kindInfo(layout_->snapshot->kind()).listingCaption);
}

std::vector<tessaron::ColumnWidth> ListingModel::widths() const
{
    if (layout_->width == 0) {
        return {};
    }
    std::vector<tessaron::ColumnWidth> widths{{1, layout_->width}};
    if (layout_->secondText) {
        widths.push_back({4, layout_->width});
    }
    return widths;
}

RepeatPair ListingModel::pairAt(std::size_t word, int slot, const RepeatWord& entry, std::int64_t index) const
{
    for (const Run& run : runs_) {
        if (run.word == word && index >= run.from &&
            index < run.from + static_cast<std::int64_t>(run.pairs.size())) {
            return run.pairs[static_cast<std::size_t>(index - run.from)];
        }
    }
    Run& run = runs_[nextRun_];
    nextRun_ = (nextRun_ + 1) % runs_.size();
    run.word = word;
    run.from = index - index % kRunLength;
    run.pairs = layout_->snapshot->pairs(slot, entry, run.from, kRunLength);
    return run.pairs[static_cast<std::size_t>(index - run.from)];
}

QString ListingModel::cell(int row, int column) const
{
    const Layout& layout = *layout_;
    if (row < 2 || row > layout.usedRows || column < 1 || column > layout.columns()) {
        return {};
    }
    const auto section = std::prev(
        std::upper_bound(layout.sections.begin(), layout.sections.end(), row,
                         [](std::int64_t r, const ListingSection& each) { return r < each.headingRow; }));
    const int length = layout.length(*section);
    if (row == section->headingRow) {
        return column == 1 ? QString::fromStdString(Layout::heading(length)) : QString();
    }
    if (row >= section->endRow) {
        return {};
    }
    const auto words = layout.snapshot->words(section->slot);
    const auto first = layout.wordRows.begin() + static_cast<std::ptrdiff_t>(section->firstWord);
    const auto found =
        std::prev(std::upper_bound(first, first + static_cast<std::ptrdiff_t>(words.size()), row));
    const auto word = static_cast<std::size_t>(found - layout.wordRows.begin());
    const RepeatWord& entry = words[word - section->firstWord];
    const std::int64_t index = row - *found;
    const tessaron::Genome& genome = layout.snapshot->genome();
    switch (column) {
        case 1:
            return index == 0 ? QString::fromStdString(genome.word(entry.first, length)) : QString();
        case 2:
            return QString::number(std::int64_t{pairAt(word, section->slot, entry, index).first} + 1);
        case 3:
            return QString::number(std::int64_t{pairAt(word, section->slot, entry, index).second} + 1);
        default:
            return index == 0 ? QString::fromStdString(
                                    genome.word(pairAt(word, section->slot, entry, 0).second, length))
                              : QString();
    }
}

SheetCells::CsvWriter ListingModel::csvWriter() const
{
    return [layout = layout_](const CsvSink& sink, const std::stop_token& stop,
                              const std::function<void(double)>& progress) {
        // No listing cell needs quoting: words, numbers and the headings.
        const int columns = layout->columns();
        const std::string empty =
            std::string(static_cast<std::size_t>(std::max(columns - 1, 0)), ',') + "\r\n";
        std::string buffer;
        constexpr std::size_t kFlush = std::size_t{1} << 20;
        const auto flush = [&buffer, &sink] {
            const bool written = sink(buffer);
            buffer.clear();
            return written;
        };
        if (layout->sections.empty()) {
            return true;
        }
        buffer += empty;  // row 1
        const tessaron::Genome& genome = layout->snapshot->genome();
        std::int64_t rowsDone = 0;
        for (std::size_t s = 0; s < layout->sections.size(); ++s) {
            const ListingSection& section = layout->sections[s];
            const int length = layout->length(section);
            if (s > 0) {
                buffer += empty;
            }
            buffer += Layout::heading(length);
            buffer.append(empty);
            for (const RepeatWord& word : layout->snapshot->words(section.slot)) {
                bool firstPair = true;
                bool stopped = false;
                layout->snapshot->forEachPairBatch(
                    section.slot, word, [&](std::span<const RepeatPair> batch) {
                        if (stopped) {
                            return;
                        }
                        for (const RepeatPair& pair : batch) {
                            if (firstPair) {
                                buffer += genome.word(word.first, length);
                            }
                            buffer += ',';
                            buffer += std::to_string(std::int64_t{pair.first} + 1);
                            buffer += ',';
                            buffer += std::to_string(std::int64_t{pair.second} + 1);
                            if (columns == 4) {
                                buffer += ',';
                                if (firstPair) {
                                    buffer += genome.word(pair.second, length);
                                }
                            }
                            buffer += "\r\n";
                            firstPair = false;
                        }
                        rowsDone += static_cast<std::int64_t>(batch.size());
                        if (buffer.size() >= kFlush) {
                            stopped = stop.stop_requested() || !flush();
                            if (progress) {
                                progress(static_cast<double>(rowsDone) /
                                         static_cast<double>(layout->usedRows));
                            }
                        }
                    });
                if (stopped) {
                    return false;
                }
            }
        }
        return !stop.stop_requested() && flush();
    };
}
