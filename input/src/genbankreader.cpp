#include "input/genbankreader.h"
#include "blanks.h"

#include "input/featurelocation.h"
#include "input/filebytes.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <variant>

namespace tessaron {

namespace {

using blanks::isSpace;
using blanks::trim;
using blanks::trimLeft;

constexpr std::size_t kNameLength = 30;  // longest feature name kept
// Feature keys stand in this column (0-based); qualifiers and wrapped
// locations further right.
constexpr std::size_t kKeyColumn = 5;

// Text shown to the user ends where a C string would.
std::string_view untilNul(std::string_view text)
{
    return text.substr(0, text.find('\0'));
}

// The lines of a text. A line ends at a line feed, a carriage return and a
// line feed, or a carriage return alone (old Macintosh files); the line end is
// not part of the line.
class Lines {
public:
    explicit Lines(std::string_view text) : text_(text), feed_(std::min(text.find('\n'), text.size())) {}

    [[nodiscard]] bool atEnd() const { return pos_ == text_.size(); }
    [[nodiscard]] std::size_t remainingBytes() const { return text_.size() - pos_; }

    [[nodiscard]] std::string_view peek() const { return text_.substr(pos_, lineEnd() - pos_); }

    std::string_view next()
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

    // The 1-based number of the line `next` returned last, and that line.
    [[nodiscard]] int lineNumber() const { return lineNumber_; }
    [[nodiscard]] std::string_view last() const { return last_; }

private:
    [[nodiscard]] std::size_t lineEnd() const
    {
        // The line feed first (a fast search, kept for the lines before it
        // when they end in CR alone), then a carriage return before it.
        if (feed_ < pos_) {
            feed_ = std::min(text_.find('\n', pos_), text_.size());
        }
        const std::size_t cr = text_.substr(pos_, feed_ - pos_).find('\r');
        return cr == std::string_view::npos ? feed_ : pos_ + cr;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    mutable std::size_t feed_;  // the first line feed at or after some earlier pos_, or the end
    std::string_view last_;
    int lineNumber_ = 0;
};

// The "//" that closes a record in a file of several.
bool endsRecord(std::string_view line)
{
    return line.starts_with("//");
}

// Moves past the first line that, after leading white space, begins with
// `keyword` and returns the rest of that line after the keyword and the blanks
// that follow it. Nothing when the text, or the record if `withinRecord`,
// ends first.
std::optional<std::string_view> skipToLine(Lines& lines, std::string_view keyword, bool withinRecord = true)
{
    while (!lines.atEnd()) {
        const std::string_view line = lines.next();
        if (withinRecord && endsRecord(line)) {
            return std::nullopt;
        }
        const std::string_view text = trimLeft(line);
        if (text.starts_with(keyword)) {
            return trimLeft(text.substr(keyword.size()));
        }
    }
    return std::nullopt;
}

enum class LineKind {
    Key,           // a feature key in the key column, its location after it
    Continuation,  // indented further: a qualifier, a wrapped location or value
    Origin,        // the start of the bases
    EndOfRecord,
    Other,  // anything else: blank lines, BASE COUNT, CONTIG, ...
};

LineKind classify(std::string_view line)
{
    const std::string_view text = trimLeft(line);
    const std::size_t indent = line.size() - text.size();
    if (text.empty()) {
        return LineKind::Other;
    }
    if (indent > kKeyColumn) {
        return LineKind::Continuation;
    }
    if (endsRecord(line)) {
        return LineKind::EndOfRecord;
    }
    if (text.starts_with("ORIGIN")) {
        return LineKind::Origin;
    }
    if (indent == kKeyColumn && line.starts_with("     ")) {
        return LineKind::Key;
    }
    return LineKind::Other;
}

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
FeatureText readFeatureText(Lines& lines, std::string_view locationStart)
{
    FeatureText feature;
    feature.location = locationStart;
    bool inLocation = true;
    bool seen[3] = {false, false, false};
    ValueReader value;
    while (!lines.atEnd() && classify(lines.peek()) == LineKind::Continuation) {
        const std::string_view text = trim(lines.next());
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

// The parts of a join as stretches of their own, 0-based, with neighbours
// that follow one another joined (also across the origin: a part that reaches
// `lastBase` goes on at 0); empty when they all join into one, which the
// feature's span covers.
std::vector<FeaturePart> separateParts(const std::vector<FeatureLocation::Part>& parts, std::int32_t lastBase)
{
    const auto follows = [lastBase](std::int32_t end, std::int32_t start) {
        return start == end + 1 || (end >= lastBase && start == 0);
    };
    std::vector<FeaturePart> pieces;
    for (const FeatureLocation::Part& part : parts) {
        const FeaturePart piece{part.first - 1, part.last - 1};
        if (!pieces.empty() && follows(pieces.back().end, piece.start)) {
            pieces.back().end = piece.end;
        } else if (!pieces.empty() && follows(piece.end, pieces.back().start)) {
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

// A feature of the kinds the diagram draws, or nothing for other keys and
// for locations that cannot be read. `lastBase` is the source feature's.
std::optional<Feature> makeFeature(std::string_view key, Lines& lines, std::string_view locationStart,
                                   std::int32_t lastBase)
{
    const bool rna = key.size() >= 4 && key.substr(1, 3) == "RNA";
    const bool gene = !rna && key.starts_with("gene");
    const bool dLoop = !rna && !gene && key.starts_with("D-loop");
    if (!rna && !gene && !dLoop) {
        return std::nullopt;
    }
    const FeatureText text = readFeatureText(lines, locationStart);
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

// The sequence length a LOCUS line gives ("NC_012920 16569 bp DNA ..."): the
// number before "bp" (or "aa"); nothing when it gives none.
std::optional<std::int64_t> locusLength(std::string_view rest)
{
    std::string_view previous;
    while (!(rest = trimLeft(rest)).empty()) {
        const auto blank =
            static_cast<std::size_t>(std::find_if(rest.begin(), rest.end(), isSpace) - rest.begin());
        const std::string_view word = rest.substr(0, blank);
        if ((word == "bp" || word == "aa") && !previous.empty()) {
            std::int64_t value = 0;
            const auto [stop, error] =
                std::from_chars(previous.data(), previous.data() + previous.size(), value);
            if (error == std::errc{} && stop == previous.data() + previous.size() && value > 0) {
                return value;
            }
            return std::nullopt;
        }
        previous = word;
        rest.remove_prefix(blank);
    }
    return std::nullopt;
}

// Why a text was rejected: the reason, its cause in words and the line.
struct Rejection {
    InputFailure reason;
    std::string detail;
    int line = 0;
};

// A part that was looked for in vain: the record's "//" or the end of the text
// came first.
Rejection missing(const Lines& lines, std::string_view part)
{
    if (lines.lineNumber() > 0 && endsRecord(lines.last())) {
        return {InputFailure::Malformed, "the record ends before " + std::string(part), lines.lineNumber()};
    }
    return {InputFailure::Malformed, "the file ends before " + std::string(part)};
}

std::variant<FeatureList, Rejection> parseRecord(std::string_view text, Genome& genome, int minimum,
                                                 int maximum)
{
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);  // a UTF-8 byte order mark
    }
    if (trim(text).empty()) {
        return Rejection{InputFailure::Empty, "the file is empty"};
    }
    Lines lines(text);
    const auto locus = skipToLine(lines, "LOCUS", false);
    if (!locus) {
        return Rejection{InputFailure::NotGenBank, "not a GenBank file (no line begins with LOCUS)"};
    }
    const std::optional<std::int64_t> statedLength = locusLength(*locus);
    const auto source = skipToLine(lines, "SOURCE");
    if (!source) {
        return missing(lines, "a SOURCE line");
    }
    const std::string_view title = trim(untilNul(*source));
    if (!skipToLine(lines, "FEATURES")) {
        return missing(lines, "FEATURES");
    }
    const auto sourceLocationStart = skipToLine(lines, "source");
    if (!sourceLocationStart) {
        return missing(lines, "the source feature");
    }
    const int sourceLine = lines.lineNumber();
    const auto whole = parseLocation(readFeatureText(lines, *sourceLocationStart).location);
    if (!whole) {
        return Rejection{InputFailure::Malformed, "the location of the source feature cannot be read",
                         sourceLine};
    }

    FeatureList features{Feature{whole->first - 1, whole->last - 1, "sequence", kColorSequence}};
    for (;;) {
        if (lines.atEnd()) {
            return missing(lines, "ORIGIN");
        }
        const LineKind kind = classify(lines.peek());
        if (kind == LineKind::Origin) {
            lines.next();
            break;
        }
        if (kind == LineKind::EndOfRecord) {
            lines.next();
            return missing(lines, "ORIGIN");
        }
        const std::string_view line = lines.next();
        if (kind != LineKind::Key) {
            continue;
        }
        const std::string_view keyAndLocation = line.substr(kKeyColumn);
        const std::size_t keyEnd = static_cast<std::size_t>(
            std::find_if(keyAndLocation.begin(), keyAndLocation.end(), isSpace) - keyAndLocation.begin());
        auto feature = makeFeature(keyAndLocation.substr(0, keyEnd), lines,
                                   trimLeft(keyAndLocation.substr(keyEnd)), whole->last - 1);
        if (feature) {
            features.push_back(std::move(*feature));
        }
    }

    // Filled aside and swapped in, so that a failure leaves the genome as it
    // was. No more bases can follow than there are bytes left, so a length
    // claimed far beyond the file costs no memory.
    Genome loaded;
    loaded.setPairLimit(genome.pairLimit());
    loaded.setTitle(title);
    const std::int64_t capacity =
        std::min<std::int64_t>(whole->last, static_cast<std::int64_t>(lines.remainingBytes()));
    if (!loaded.allocate(capacity, 5, 15)) {
        throw std::bad_alloc();
    }
    std::string line;
    bool closed = false;
    while (!lines.atEnd() && loaded.length() < loaded.capacity()) {
        const std::string_view next = lines.next();
        if (endsRecord(next)) {
            closed = true;
            break;
        }
        line.assign(next);
        loaded.appendText(line.c_str());
    }
    // A record that stops inside its sequence, with no "//", was cut short (a
    // download that broke off): fewer bases than its LOCUS line (or else its
    // source feature) gives. A record that holds them all may lack the "//".
    const std::int64_t expected = std::min<std::int64_t>(statedLength.value_or(whole->last), whole->last);
    const bool cut = !closed && lines.atEnd() && loaded.length() < expected;
    if (cut) {
        return Rejection{InputFailure::Malformed,
                         "the record is cut short: its sequence stops after " +
                             std::to_string(loaded.length()) + " of " + std::to_string(expected) +
                             " bases, without the closing // line",
                         lines.lineNumber()};
    }
    loaded.setLengthBounds(minimum, maximum);
    genome.swap(loaded);
    return features;
}

}  // namespace

std::optional<FeatureList> parseGenBank(std::string_view text, Genome& genome, int minimum, int maximum)
{
    auto parsed = parseRecord(text, genome, minimum, maximum);
    if (auto* features = std::get_if<FeatureList>(&parsed)) {
        return std::move(*features);
    }
    return std::nullopt;
}

FeatureList parseGenBankOrThrow(std::string_view text, Genome& genome, int minimum, int maximum,
                                const std::filesystem::path& path, int firstLine)
{
    auto parsed = parseRecord(text, genome, minimum, maximum);
    if (auto* rejection = std::get_if<Rejection>(&parsed)) {
        const int line = rejection->line > 0 ? rejection->line + firstLine - 1 : 0;
        throw InputError(rejection->reason, path, std::move(rejection->detail), line, true);
    }
    return std::move(std::get<FeatureList>(parsed));
}

FeatureList readGenBankOrThrow(const std::filesystem::path& path, Genome& genome, int minimum, int maximum)
{
    const std::string bytes = readFileBytes(path);
    return parseGenBankOrThrow(bytes, genome, minimum, maximum, path);
}

std::optional<FeatureList> readGenBank(const std::filesystem::path& path, Genome& genome, int minimum,
                                       int maximum)
{
    try {
        return readGenBankOrThrow(path, genome, minimum, maximum);
    } catch (const InputError&) {
        return std::nullopt;
    }
}

bool looksLikeGenBank(const std::filesystem::path& path)
{
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return false;
    }
    std::string start;
    for (int ch = std::fgetc(file.get()); ch != EOF && start.size() < 5; ch = std::fgetc(file.get())) {
        if (start.empty() && isSpace(static_cast<char>(ch))) {
            continue;
        }
        start += static_cast<char>(ch);
        if (start == "\xEF\xBB\xBF") {
            start.clear();  // a UTF-8 byte order mark
        }
    }
    return start == "LOCUS";
}

}  // namespace tessaron
