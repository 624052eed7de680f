#include "input/genbankreader.h"
#include "blanks.h"
#include "featuretable.h"

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

using featuretable::kGenBankTable;
using featuretable::Lines;
using featuretable::untilNul;

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
    if (text.empty()) {
        return LineKind::Other;
    }
    if (featuretable::isContinuation(line, kGenBankTable)) {
        return LineKind::Continuation;
    }
    if (endsRecord(line)) {
        return LineKind::EndOfRecord;
    }
    if (text.starts_with("ORIGIN")) {
        return LineKind::Origin;
    }
    if (featuretable::keyLine(line, kGenBankTable)) {
        return LineKind::Key;
    }
    return LineKind::Other;
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
    const auto whole = parseLocation(featuretable::readLocation(lines, *sourceLocationStart, kGenBankTable));
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
        auto feature = featuretable::readFeature(*featuretable::keyLine(line, kGenBankTable), lines,
                                                 whole->last - 1, kGenBankTable);
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
        throw InputError(rejection->reason, path, std::move(rejection->detail), line, "GenBank");
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
