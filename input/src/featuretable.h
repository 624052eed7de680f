#pragma once

// The feature table that GenBank and EMBL records share: a key column, the
// location after the key (wrapped over as many lines as it takes) and the
// qualifiers on the lines below, indented further. GenBank writes the key in
// column 5 (0-based); EMBL begins each line with "FT" and writes the key in
// column 5 too, so that past its prefix the key stands in column 3.

#include "input/feature.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tessaron::featuretable {

// The lines of a text. A line ends at a line feed, a carriage return and a
// line feed, or a carriage return alone (old Macintosh files); the line end is
// not part of the line.
class Lines {
public:
    explicit Lines(std::string_view text) : text_(text), feed_(std::min(text.find('\n'), text.size())) {}

    [[nodiscard]] bool atEnd() const { return pos_ == text_.size(); }
    [[nodiscard]] std::size_t remainingBytes() const { return text_.size() - pos_; }

    [[nodiscard]] std::string_view peek() const { return text_.substr(pos_, lineEnd() - pos_); }

    std::string_view next();

    // The 1-based number of the line `next` returned last, and that line.
    [[nodiscard]] int lineNumber() const { return lineNumber_; }
    [[nodiscard]] std::string_view last() const { return last_; }

private:
    [[nodiscard]] std::size_t lineEnd() const;

    std::string_view text_;
    std::size_t pos_ = 0;
    mutable std::size_t feed_;  // the first line feed at or after some earlier pos_, or the end
    std::string_view last_;
    int lineNumber_ = 0;
};

// How a format lays out its table's lines: the prefix every line of the
// table begins with, and the column of the keys after it.
struct TableStyle {
    std::string_view prefix;
    std::size_t keyColumn;
};

inline constexpr TableStyle kGenBankTable{"", 5};
inline constexpr TableStyle kEmblTable{"FT", 3};

// The columns of a table line after its prefix; nothing for a line that is
// not one of the table's.
[[nodiscard]] std::optional<std::string_view> tableColumns(std::string_view line, TableStyle style);

// A line indented past the key column: a qualifier, a wrapped location or a
// wrapped value.
[[nodiscard]] bool isContinuation(std::string_view line, TableStyle style);

// A key in the key column, with the start of its location after it.
struct KeyLine {
    std::string_view key;
    std::string_view location;
};
[[nodiscard]] std::optional<KeyLine> keyLine(std::string_view line, TableStyle style);

// The location of the feature whose key line was read last, over the lines
// that continue it; the lines of its qualifiers are passed over.
[[nodiscard]] std::string readLocation(Lines& lines, std::string_view locationStart, TableStyle style);

// A feature of the kinds the diagram draws, read from the lines after its
// key line, or nothing for other keys and for locations that cannot be read
// (its lines are passed over all the same). `lastBase` is the whole
// sequence's last (0-based). Features: a key of one letter and "RNA" (colour
// by its first letter t and its strand, named by its /product), "gene" (named
// by its /gene) and "D-loop"; a feature without the qualifier that names it
// takes its /locus_tag, or else its key. Names keep 30 characters, wrapped
// values joined by one blank.
[[nodiscard]] std::optional<Feature> readFeature(const KeyLine& key, Lines& lines, std::int32_t lastBase,
                                                 TableStyle style);

// Text shown to the user ends where a C string would.
[[nodiscard]] std::string_view untilNul(std::string_view text);

}  // namespace tessaron::featuretable
