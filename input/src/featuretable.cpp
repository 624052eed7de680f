#include "featuretable.h"
#include "blanks.h"

#include "input/featurelocation.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace tessaron::featuretable {

namespace {

using blanks::isSpace;
using blanks::trim;
using blanks::trimLeft;

constexpr std::size_t kNameLength = 30;  // longest feature name kept

// What a feature's own lines say: its location, over as many lines as it
// takes, and the first value of each qualifier that can name it.
struct FeatureText {
    std::string location;
    std::string gene;
    std::string product;
    std::string locusTag;
};

// Collects a qualifier's value, wrapped lines joined by one blank, keeping no
// more than a name can use.
class ValueReader {
public:
    // Starts a value at the text after "=": quoted or not.
    void start(std::string* target, std::string_view text)
    {
        target_ = target;
        if (text.starts_with('"')) {
            quoted_ = true;
            add(text.substr(1));
        } else {
            quoted_ = false;
            add(text);
        }
    }

    // The next line of a quoted value that has not ended yet.
    void resume(std::string_view text)
    {
        if (target_ != nullptr && !target_->empty()) {
            append(" ");
        }
        add(text);
    }

    [[nodiscard]] bool insideQuotes() const { return quoted_; }

private:
    void add(std::string_view text)
    {
        if (!quoted_) {
            append(text);
            return;
        }
        // A doubled quote stands for one quote; a single one ends the value.
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == '"') {
                if (i + 1 < text.size() && text[i + 1] == '"') {
                    append("\"");
                    ++i;
                } else {
                    quoted_ = false;
                    return;
                }
            } else {
                append(text.substr(i, 1));
            }
        }
    }

    void append(std::string_view text)
    {
        if (target_ != nullptr && target_->size() < kNameLength) {
            target_->append(text.substr(0, kNameLength - target_->size()));
        }
    }

    std::string* target_ = nullptr;
    bool quoted_ = false;
};

// Reads the lines of one feature after its key line, whose rest (the start of
// the location) is `locationStart`, and stops before the next line that is
// not indented as a feature's own line. So a feature never takes a qualifier
// of the next one, and an unclosed quote never swallows it.
FeatureText readFeatureText(Lines& lines, std::string_view locationStart, TableStyle style)
{
    FeatureText feature;
    feature.location = locationStart;
    bool inLocation = true;
    bool seen[3] = {false, false, false};
    ValueReader value;
    while (!lines.atEnd() && isContinuation(lines.peek(), style)) {
        const std::string_view text = trim(*tableColumns(lines.next(), style));
        if (value.insideQuotes()) {
            value.resume(text);
        } else if (text.starts_with('/')) {
            inLocation = false;
            const std::size_t equals = text.find('=');
            if (equals == std::string_view::npos) {
                continue;
            }
            const std::string_view name = text.substr(1, equals - 1);
            std::string* target = nullptr;
            const std::pair<std::string_view, std::string*> wanted[] = {
                {"gene", &feature.gene}, {"product", &feature.product}, {"locus_tag", &feature.locusTag}};
            for (std::size_t i = 0; i < std::size(wanted); ++i) {
                if (name == wanted[i].first && !seen[i]) {
                    seen[i] = true;
                    target = wanted[i].second;
                }
            }
            value.start(target, text.substr(equals + 1));
        } else if (inLocation) {
            feature.location += text;
        }
    }
    return feature;
}

// The first of the names that is not empty, as a feature keeps it.
std::string featureName(std::initializer_list<std::string_view> names)
{
    for (const std::string_view name : names) {
        const std::string_view kept = untilNul(name);
        if (!kept.empty()) {
            return std::string(kept.substr(0, kNameLength));
        }
    }
    return {};
}

// The parts of a join as stretches of their own, 0-based, each with its
// strand, with neighbours on one strand that follow one another joined (also across the origin: a part that
// reaches `lastBase` goes on at 0); empty when they all join into one, which the feature's span covers.
std::vector<FeaturePart> separateParts(const std::vector<FeatureLocation::Part>& parts, std::int32_t lastBase)
{
    const auto follows = [lastBase](std::int32_t end, std::int32_t start) {
        return start == end + 1 || (end >= lastBase && start == 0);
    };
    std::vector<FeaturePart> pieces;
    for (const FeatureLocation::Part& part : parts) {
        const FeaturePart piece{part.first - 1, part.last - 1, part.complement};
        const bool sameStrand = !pieces.empty() && pieces.back().complement == piece.complement;
        if (sameStrand && follows(pieces.back().end, piece.start)) {
            pieces.back().end = piece.end;
        } else if (sameStrand && follows(piece.end, pieces.back().start)) {
            pieces.back().start = piece.start;  // parts on the complement, listed from the far end
        } else {
            pieces.push_back(piece);
        }
    }
    if (pieces.size() == 1) {
        pieces.clear();
    }
    return pieces;
}

}  // namespace

std::string_view Lines::next()
{
    const std::size_t end = lineEnd();
    last_ = text_.substr(pos_, end - pos_);
    pos_ = end;
    if (pos_ < text_.size() && text_[pos_++] == '\r' && pos_ < text_.size() && text_[pos_] == '\n') {
        ++pos_;
    }
    ++lineNumber_;
    return last_;
}

std::size_t Lines::lineEnd() const
{
    // The line feed first (a fast search, kept for the lines before it
    // when they end in CR alone), then a carriage return before it.
    if (feed_ < pos_) {
        feed_ = std::min(text_.find('\n', pos_), text_.size());
    }
    const std::size_t cr = text_.substr(pos_, feed_ - pos_).find('\r');
    return cr == std::string_view::npos ? feed_ : pos_ + cr;
}

std::string_view untilNul(std::string_view text)
{
    return text.substr(0, text.find('\0'));
}

std::optional<std::string_view> tableColumns(std::string_view line, TableStyle style)
{
    if (!line.starts_with(style.prefix)) {
        return std::nullopt;
    }
    return line.substr(style.prefix.size());
}

bool isContinuation(std::string_view line, TableStyle style)
{
    const auto columns = tableColumns(line, style);
    if (!columns) {
        return false;
    }
    const std::string_view text = trimLeft(*columns);
    return !text.empty() && columns->size() - text.size() > style.keyColumn;
}

std::optional<KeyLine> keyLine(std::string_view line, TableStyle style)
{
    const auto columns = tableColumns(line, style);
    if (!columns || columns->size() <= style.keyColumn ||
        columns->find_first_not_of(' ') != style.keyColumn) {
        return std::nullopt;
    }
    const std::string_view keyAndLocation = columns->substr(style.keyColumn);
    const auto keyEnd = static_cast<std::size_t>(
        std::find_if(keyAndLocation.begin(), keyAndLocation.end(), isSpace) - keyAndLocation.begin());
    return KeyLine{keyAndLocation.substr(0, keyEnd), trimLeft(keyAndLocation.substr(keyEnd))};
}

std::string readLocation(Lines& lines, std::string_view locationStart, TableStyle style)
{
    return readFeatureText(lines, locationStart, style).location;
}

std::optional<Feature> readFeature(const KeyLine& keyLine, Lines& lines, std::int32_t lastBase,
                                   TableStyle style)
{
    const std::string_view key = keyLine.key;
    const bool rna = key.size() >= 4 && key.substr(1, 3) == "RNA";
    const bool gene = !rna && key.starts_with("gene");
    const bool dLoop = !rna && !gene && key.starts_with("D-loop");
    if (!rna && !gene && !dLoop) {
        return std::nullopt;
    }
    const FeatureText text = readFeatureText(lines, keyLine.location, style);
    const auto location = parseLocation(text.location);
    if (!location) {
        return std::nullopt;
    }
    Feature feature{location->first - 1,
                    location->last - 1,
                    {},
                    kColorSequence,
                    separateParts(location->parts, lastBase)};
    if (dLoop) {
        feature.name = "D-loop";
    } else if (gene) {
        feature.name = featureName({text.gene, text.locusTag, key});
        feature.namedByTag = untilNul(text.gene).empty();
        feature.color = location->complement ? kColorGeneComplement : kColorGeneDirect;
    } else {
        // An RNA without a product is better known by its gene than by its locus tag.
        feature.name = featureName({text.product, text.gene, text.locusTag, key});
        feature.namedByTag = untilNul(text.product).empty() && untilNul(text.gene).empty();
        if (key.front() == 't') {
            feature.color = location->complement ? kColorTrnaComplement : kColorTrnaDirect;
        }
    }
    return feature;
}

}  // namespace tessaron::featuretable
