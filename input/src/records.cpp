#include "input/records.h"
#include "blanks.h"

#include "input/emblreader.h"
#include "input/filebytes.h"
#include "input/genbankreader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <new>

namespace tessaron {

namespace {

using blanks::isSpace;
using blanks::trim;
using blanks::trimLeft;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isLetter(char ch)
{
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}

// The first blank-separated word of a text, and the text after it.
std::pair<std::string_view, std::string_view> firstWord(std::string_view text)
{
    text = trim(text);
    const auto blank = std::find_if(text.begin(), text.end(), isSpace);
    const auto split = static_cast<std::size_t>(blank - text.begin());
    return {text.substr(0, split), trim(text.substr(split))};
}

std::int64_t countLetters(std::string_view text)
{
    return std::count_if(text.begin(), text.end(), isLetter);
}

// Walks the lines of a text, knowing where each begins and its number. A
// line ends at a line feed, a carriage return and a line feed, or a carriage
// return alone (old Macintosh files).
class LineCursor {
public:
    explicit LineCursor(std::string_view text, std::size_t start = 0)
        : text_(text), pos_(start), feed_(std::min(text.find('\n', start), text.size()))
    {
    }

    [[nodiscard]] bool atEnd() const { return pos_ >= text_.size(); }
    [[nodiscard]] std::size_t position() const { return pos_; }
    [[nodiscard]] int number() const { return number_; }  // of the line next() returns next

    // The next line without its line end.
    std::string_view next()
    {
        // The line feed first (a fast search, kept for the lines before it
        // when they end in CR alone), then a carriage return before it.
        if (feed_ < pos_) {
            feed_ = std::min(text_.find('\n', pos_), text_.size());
        }
        const std::size_t cr = text_.substr(pos_, feed_ - pos_).find('\r');
        const std::size_t end = cr == std::string_view::npos ? feed_ : pos_ + cr;
        const std::string_view line = text_.substr(pos_, end - pos_);
        pos_ = end;
        if (pos_ < text_.size() && text_[pos_++] == '\r' && pos_ < text_.size() && text_[pos_] == '\n') {
            ++pos_;
        }
        ++number_;
        return line;
    }

private:
    std::string_view text_;
    std::size_t pos_;
    std::size_t feed_ = 0;  // the first line feed at or after some earlier pos_, or the end
    int number_ = 1;
};

std::size_t contentStart(std::string_view bytes)
{
    return bytes.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
}

// The text after a GenBank keyword at the start of a line, or nothing.
std::optional<std::string_view> keywordValue(std::string_view line, std::string_view keyword)
{
    if (!line.starts_with(keyword)) {
        return std::nullopt;
    }
    const std::string_view rest = line.substr(keyword.size());
    if (!rest.empty() && !isSpace(rest.front())) {
        return std::nullopt;
    }
    return trim(rest);
}

// A line that continues the keyword above it: more blanks before its text
// than a keyword's or a sub-keyword's ("  ORGANISM").
bool isContinuation(std::string_view line)
{
    const std::size_t text = line.find_first_not_of(" \t");
    return text != std::string_view::npos && text >= 4;
}

// The facts of a GenBank record from its lines, up to its "//".
void describeGenBank(std::string_view record, RecordInfo& info)
{
    LineCursor lines(record);
    bool inSequence = false;
    bool sawSource = false;
    std::string* continued = nullptr;  // the DEFINITION or SOURCE whose lines go on
    std::string_view accession;
    std::string_view version;
    while (!lines.atEnd()) {
        const std::string_view line = lines.next();
        if (inSequence) {
            info.length += countLetters(line);
            continue;
        }
        if (continued != nullptr && isContinuation(line)) {
            *continued += ' ';
            *continued += trim(line);
            continue;
        }
        continued = nullptr;
        if (const auto locus = keywordValue(line, "LOCUS")) {
            info.name = std::string(firstWord(*locus).first);
        } else if (const auto definition = keywordValue(line, "DEFINITION")) {
            info.description = std::string(*definition);
            continued = &info.description;
        } else if (const auto accessions = keywordValue(line, "ACCESSION")) {
            accession = firstWord(*accessions).first;
            info.accession = std::string(accession);
        } else if (const auto versions = keywordValue(line, "VERSION")) {
            version = firstWord(*versions).first;
            if (!version.empty()) {
                info.accession += info.accession.empty() ? "" : " ";
                info.accession += version;
            }
        } else if (!sawSource && trim(line).starts_with("SOURCE")) {
            // The genome's title is the rest of this line, as the reader takes it.
            sawSource = true;
            info.title = std::string(trim(trim(line).substr(6)));
            continued = &info.title;
        } else if (trim(line).starts_with("ORIGIN")) {
            inSequence = true;
        }
    }
    info.seqid = std::string(!version.empty() ? version : !accession.empty() ? accession : info.name);
}

// Whether a line begins an EMBL record: "ID" and a blank.
bool isIdLine(std::string_view line)
{
    return line.starts_with("ID") && line.size() > 2 && isSpace(line[2]);
}

// The text of an EMBL line after its two-letter code, when it has that code.
std::optional<std::string_view> emblValue(std::string_view line, std::string_view code)
{
    if (!line.starts_with(code) || (line.size() > 2 && !isSpace(line[2]))) {
        return std::nullopt;
    }
    return trim(line.substr(std::min<std::size_t>(2, line.size())));
}

// An EMBL word: up to a blank or a ';'.
std::string_view emblWord(std::string_view text)
{
    text = trim(text);
    return text.substr(0, std::min(text.find_first_of(" \t;"), text.size()));
}

// The facts of an EMBL record from its lines, up to its "//".
void describeEmbl(std::string_view record, RecordInfo& info)
{
    LineCursor lines(record);
    bool inSequence = false;
    std::string_view accession;
    std::string version;
    while (!lines.atEnd()) {
        const std::string_view line = lines.next();
        if (inSequence) {
            info.length += countLetters(line);
        } else if (const auto id = emblValue(line, "ID"); id && info.name.empty()) {
            info.name = std::string(emblWord(*id));
            // "ID   X56734; SV 1; linear; ...": the sequence version.
            if (const std::size_t sv = id->find("; SV "); sv != std::string_view::npos) {
                version = std::string(emblWord(id->substr(sv + 5)));
            }
        } else if (const auto ac = emblValue(line, "AC"); ac && accession.empty()) {
            accession = emblWord(*ac);
        } else if (const auto de = emblValue(line, "DE")) {
            info.description += info.description.empty() || de->empty() ? "" : " ";
            info.description += *de;
        } else if (const auto os = emblValue(line, "OS"); os && info.title.empty()) {
            info.title = std::string(*os);
        } else if (emblValue(line, "SQ")) {
            inSequence = true;
        }
    }
    if (info.title.empty()) {
        info.title = info.description;
    }
    if (accession.empty() && !info.name.empty()) {
        accession = info.name;
    }
    info.accession = std::string(accession);
    const std::string versioned = version.empty() || accession.empty() ? "" : info.accession + "." + version;
    if (!versioned.empty()) {
        info.accession += " " + versioned;
    }
    info.seqid = !versioned.empty() ? versioned : info.accession;
}

// The records of a GenBank or EMBL file: from each line that `begins` to its
// "//" (or to the next record's first line, for one without).
template <typename Begins, typename Describe>
std::vector<RecordInfo> splitRecords(std::string_view bytes, RecordFormat format, Begins begins,
                                     Describe describe)
{
    std::vector<RecordInfo> records;
    LineCursor lines(bytes, contentStart(bytes));
    std::optional<RecordInfo> open;
    const auto close = [&](std::size_t end) {
        open->end = end;
        describe(bytes.substr(open->begin, end - open->begin), *open);
        records.push_back(std::move(*open));
        open.reset();
    };
    while (!lines.atEnd()) {
        const std::size_t start = lines.position();
        const int number = lines.number();
        const std::string_view line = lines.next();
        if (begins(line)) {
            if (open) {
                close(start);  // a record without its "//"
            }
            open = RecordInfo{};
            open->format = format;
            open->begin = start;
            open->firstLine = number;
        } else if (open && line.starts_with("//")) {
            close(lines.position());
        }
    }
    if (open) {
        close(bytes.size());
    }
    return records;
}

std::vector<RecordInfo> splitGenBank(std::string_view bytes)
{
    return splitRecords(
        bytes, RecordFormat::GenBank, [](std::string_view line) { return trim(line).starts_with("LOCUS"); },
        describeGenBank);
}

std::vector<RecordInfo> splitEmbl(std::string_view bytes)
{
    return splitRecords(
        bytes, RecordFormat::Embl, [](std::string_view line) { return isIdLine(trimLeft(line)); },
        describeEmbl);
}

std::vector<RecordInfo> splitFasta(std::string_view bytes)
{
    std::vector<RecordInfo> records;
    LineCursor lines(bytes, contentStart(bytes));
    while (!lines.atEnd()) {
        const std::size_t start = lines.position();
        const int number = lines.number();
        // A header may be indented, as the format is told by the first
        // non-blank character.
        const std::string_view line = trimLeft(lines.next());
        if (line.starts_with('>')) {
            if (!records.empty()) {
                records.back().end = start;
            }
            RecordInfo& record = records.emplace_back();
            record.format = RecordFormat::Fasta;
            record.begin = start;
            record.firstLine = number;
            const auto [id, rest] = firstWord(line.substr(1));
            record.name = std::string(id);
            record.seqid = record.name;
            record.title = record.name;
            record.description = std::string(rest);
        } else if (!records.empty() && !line.starts_with(';')) {
            records.back().length += countLetters(line);
        }
    }
    if (!records.empty()) {
        records.back().end = bytes.size();
    }
    return records;
}

void allocateFor(Genome& genome, std::size_t capacity)
{
    if (!genome.allocate(static_cast<std::int64_t>(capacity), 5, 15)) {
        throw std::bad_alloc();
    }
}

// Every byte but the header and comment lines goes to the genome, which
// takes the bases.
void loadFasta(std::string_view record, Genome& genome, int minimum, int maximum)
{
    Genome loaded;
    loaded.setPairLimit(genome.pairLimit());
    LineCursor lines(record);
    const std::string_view header = trimLeft(lines.next());
    loaded.setTitle(firstWord(header.substr(std::min<std::size_t>(1, header.size()))).first);
    allocateFor(loaded, record.size() - lines.position());
    while (!lines.atEnd()) {
        const std::string_view line = lines.next();
        if (trimLeft(line).starts_with(';')) {
            continue;
        }
        for (const char byte : line) {
            if (byte != '\0') {
                loaded.appendBase(static_cast<unsigned char>(byte));
            }
        }
    }
    loaded.setLengthBounds(minimum, maximum);
    genome.swap(loaded);
}

void loadText(std::string_view bytes, Genome& genome, int minimum, int maximum)
{
    allocateFor(genome, bytes.size());
    for (const char byte : bytes) {
        if (byte != '\0') {
            genome.appendBase(static_cast<unsigned char>(byte));
        }
    }
    genome.setLengthBounds(minimum, maximum);
}

bool sameLetters(std::string_view a, std::string_view b)
{
    const auto lower = [](char ch) {
        return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
    };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// Up to this many non-blank lines (a note, a download's header) may come
// before the LOCUS line of a GenBank file.
constexpr int kLinesBeforeLocus = 10;
// How much of a text is sampled for bytes that are not text.
constexpr std::size_t kTextSample = std::size_t{1} << 20;

bool isLocusLine(std::string_view line)
{
    return keywordValue(trimLeft(line), "LOCUS").has_value();
}

// Where the first LOCUS line stands: its 1-based line, how many non-blank
// lines come before it, and the line of the first FASTA header before it (0
// when there is none).
struct LocusPlace {
    int line = 0;
    int before = 0;
    int fastaHeader = 0;
};

// The first LOCUS line; nothing when there is none.
std::optional<LocusPlace> firstLocusLine(std::string_view bytes)
{
    LineCursor lines(bytes, contentStart(bytes));
    LocusPlace place;
    while (!lines.atEnd()) {
        const int number = lines.number();
        const std::string_view text = trimLeft(lines.next());
        if (isLocusLine(text)) {
            place.line = number;
            return place;
        }
        if (text.starts_with('>') && place.fastaHeader == 0) {
            place.fastaHeader = number;
        }
        place.before += text.empty() ? 0 : 1;
    }
    return std::nullopt;
}

// The length of the UTF-8 sequence that `bytes` begins with, or 0 when it
// does not begin with a whole, well-formed one.
std::size_t utf8Length(std::string_view bytes)
{
    const auto lead = static_cast<unsigned char>(bytes.front());
    const std::size_t length = lead < 0x80U                     ? 1
                               : lead >= 0xC2U && lead <= 0xDFU ? 2
                               : lead >= 0xE0U && lead <= 0xEFU ? 3
                               : lead >= 0xF0U && lead <= 0xF4U ? 4
                                                                : 0;
    if (length == 0 || length > bytes.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(bytes[i]) & 0xC0U) != 0x80U) {
            return 0;
        }
    }
    return length;
}

// Why bytes to be read as text are not text, or nothing when they are: a NUL
// byte (binary data, or UTF-16 without a byte order mark), or more than a
// tenth of control bytes and bytes that are not UTF-8.
std::optional<std::string> notTextCause(std::string_view bytes)
{
    if (const std::size_t nul = bytes.find('\0'); nul != std::string_view::npos) {
        // Text in UTF-16 has a NUL in every other byte.
        const std::string_view sample = bytes.substr(0, 4096);
        std::array<std::size_t, 2> nuls{};
        for (std::size_t i = 0; i < sample.size(); ++i) {
            nuls[i % 2] += sample[i] == '\0' ? 1 : 0;
        }
        const std::size_t half = sample.size() / 2;
        if (half > 0 && std::max(nuls[0], nuls[1]) * 10 >= half * 9 &&
            std::min(nuls[0], nuls[1]) * 10 < half) {
            return "it looks like UTF-16 text without a byte order mark; save it as UTF-8 or ASCII";
        }
        return "it holds binary data, not text (a NUL byte at byte " + std::to_string(nul + 1) + ")";
    }
    const std::string_view sample = bytes.substr(0, kTextSample);
    std::size_t odd = 0;
    for (std::size_t i = 0; i < sample.size();) {
        const auto byte = static_cast<unsigned char>(sample[i]);
        const std::size_t length = utf8Length(sample.substr(i));
        const bool control = (byte < 0x20U && !isSpace(sample[i])) || byte == 0x7FU;
        odd += length == 0 || control ? 1 : 0;
        i += std::max<std::size_t>(length, 1);
    }
    if (odd * 10 > sample.size()) {
        return "it holds binary data, not text (" + std::to_string(odd) + " of " +
               (sample.size() < bytes.size() ? "its first " : "its ") + std::to_string(sample.size()) +
               " bytes are control bytes or not UTF-8)";
    }
    return std::nullopt;
}

// Refuses a text or FASTA record that is not text, and a file of nothing
// but white space.
void checkText(std::string_view text, bool wholeFile, const std::filesystem::path& path)
{
    if (wholeFile && trim(text.substr(contentStart(text))).empty()) {
        throw InputError(InputFailure::Empty, path, "the file is empty");
    }
    if (auto cause = notTextCause(text)) {
        throw InputError(InputFailure::NotText, path, std::move(*cause));
    }
}

// Letters that are not bases (A, C, G, T, U or N) beyond this share make a
// text that is not a genome: English prose has about two thirds, protein
// three quarters; a file of bases with a header or a note far below a tenth.
constexpr int kMostLettersNotBasesPercent = 25;

// The lines of a FASTA record that hold its sequence: not its header, nor
// its comments.
std::vector<std::string_view> fastaSequence(std::string_view record)
{
    std::vector<std::string_view> sequence;
    LineCursor lines(record);
    lines.next();
    while (!lines.atEnd()) {
        const std::string_view line = lines.next();
        if (!trimLeft(line).starts_with(';')) {
            sequence.push_back(line);
        }
    }
    return sequence;
}

// The share in percent of the letters that are not bases, when it is more
// than a quarter.
std::optional<std::int64_t> lettersNotBases(const std::vector<std::string_view>& texts)
{
    std::int64_t letters = 0;
    std::int64_t others = 0;
    for (const std::string_view text : texts) {
        for (const char ch : text) {
            if (!isLetter(ch)) {
                continue;
            }
            ++letters;
            switch (ch | 0x20) {
                case 'a':
                case 'c':
                case 'g':
                case 't':
                case 'u':
                case 'n':
                    break;
                default:
                    ++others;
            }
        }
    }
    if (others * 100 <= letters * kMostLettersNotBasesPercent) {
        return std::nullopt;
    }
    return others * 100 / letters;
}

constexpr std::string_view kBaseLetters = " % of the letters are not bases (A, C, G, T, U or N)";

// Refuses FASTQ: a first line that begins with '@' and a third with '+'.
void checkNotFastq(std::string_view text, const std::filesystem::path& path)
{
    LineCursor lines(text, contentStart(text));
    std::string_view line = trimLeft(lines.next());
    while (line.empty() && !lines.atEnd()) {
        line = trimLeft(lines.next());
    }
    if (!line.starts_with('@') || lines.atEnd()) {
        return;
    }
    lines.next();
    if (!lines.atEnd() && lines.next().starts_with('+')) {
        throw InputError(
            InputFailure::NotSequence, path,
            "FASTQ reads are not a genome (its first line is a read's '@' header, its third the '+' "
            "of the read's qualities)");
    }
}

void appendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80U) {
        out += static_cast<char>(code);
    } else if (code < 0x800U) {
        out += static_cast<char>(0xC0U | (code >> 6U));
        out += static_cast<char>(0x80U | (code & 0x3FU));
    } else if (code < 0x10000U) {
        out += static_cast<char>(0xE0U | (code >> 12U));
        out += static_cast<char>(0x80U | ((code >> 6U) & 0x3FU));
        out += static_cast<char>(0x80U | (code & 0x3FU));
    } else {
        out += static_cast<char>(0xF0U | (code >> 18U));
        out += static_cast<char>(0x80U | ((code >> 12U) & 0x3FU));
        out += static_cast<char>(0x80U | ((code >> 6U) & 0x3FU));
        out += static_cast<char>(0x80U | (code & 0x3FU));
    }
}

// UTF-16 after its byte order mark, as UTF-8; a surrogate without its other
// half becomes U+FFFD.
std::string decodeUtf16(std::string_view bytes, bool bigEndian, const std::filesystem::path& path)
{
    if (bytes.size() % 2 != 0) {
        throw InputError(InputFailure::NotText, path,
                         "UTF-16 text that ends inside a character (an odd number of bytes)");
    }
    const auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[2 * i]);
        const auto b = static_cast<unsigned char>(bytes[2 * i + 1]);
        return static_cast<std::uint32_t>(bigEndian ? (a << 8U) | b : (b << 8U) | a);
    };
    const std::size_t units = bytes.size() / 2;
    std::string text;
    text.reserve(units);
    for (std::size_t i = 0; i < units; ++i) {
        std::uint32_t code = unit(i);
        if (code >= 0xD800U && code <= 0xDBFFU && i + 1 < units && unit(i + 1) >= 0xDC00U &&
            unit(i + 1) <= 0xDFFFU) {
            code = 0x10000U + ((code - 0xD800U) << 10U) + (unit(i + 1) - 0xDC00U);
            ++i;
        } else if (code >= 0xD800U && code <= 0xDFFFU) {
            code = 0xFFFDU;
        }
        appendUtf8(text, code);
    }
    return text;
}

// The bytes of a file as the readers take them: UTF-16 with a byte order
// mark decoded to UTF-8; UTF-32 refused.
std::string decodedText(std::string bytes, const std::filesystem::path& path)
{
    const std::string_view view = bytes;
    if (view.starts_with(std::string_view("\xFF\xFE\0\0", 4)) ||
        view.starts_with(std::string_view("\0\0\xFE\xFF", 4))) {
        throw InputError(InputFailure::NotText, path, "UTF-32 text is not read; save it as UTF-8 or ASCII");
    }
    if (view.starts_with("\xFF\xFE") || view.starts_with("\xFE\xFF")) {
        return decodeUtf16(view.substr(2), view.front() == '\xFE', path);
    }
    return bytes;
}

}  // namespace

std::string_view formatName(RecordFormat format)
{
    switch (format) {
        case RecordFormat::GenBank:
            return "GenBank";
        case RecordFormat::Embl:
            return "EMBL";
        case RecordFormat::Fasta:
            return "FASTA";
        case RecordFormat::Text:
            break;
    }
    return "text";
}

RecordFormat detectFormat(std::string_view bytes)
{
    const std::string_view content = bytes.substr(contentStart(bytes));
    const auto first = std::find_if_not(content.begin(), content.end(), isSpace);
    const std::string_view text = content.substr(static_cast<std::size_t>(first - content.begin()));
    if (text.starts_with("LOCUS")) {
        return RecordFormat::GenBank;
    }
    if (text.starts_with('>')) {
        return RecordFormat::Fasta;
    }
    if (isIdLine(text)) {
        return RecordFormat::Embl;
    }
    const auto locus = firstLocusLine(bytes);
    return locus && locus->fastaHeader == 0 && locus->before <= kLinesBeforeLocus ? RecordFormat::GenBank
                                                                                  : RecordFormat::Text;
}

InputError notGenBankError(std::string_view bytes, const std::filesystem::path& path)
{
    if (trim(bytes.substr(contentStart(bytes))).empty()) {
        return InputError(InputFailure::Empty, path, "the file is empty", 0, "GenBank");
    }
    if (const auto locus = firstLocusLine(bytes); locus && locus->fastaHeader > 0) {
        return InputError(InputFailure::NotGenBank, path,
                          "not a GenBank file (line " + std::to_string(locus->fastaHeader) +
                              " is a FASTA header, before its first LOCUS line, line " +
                              std::to_string(locus->line) + ")");
    } else if (locus) {
        return InputError(InputFailure::NotGenBank, path,
                          "not a GenBank file (its first LOCUS line, line " + std::to_string(locus->line) +
                              ", comes after " + std::to_string(locus->before) +
                              " lines of other text; at most " + std::to_string(kLinesBeforeLocus) +
                              " may come first)");
    }
    if (detectFormat(bytes) == RecordFormat::Embl) {
        return InputError(
            InputFailure::NotGenBank, path,
            "not a GenBank file (no line begins with LOCUS; it is EMBL, read without --genbank)");
    }
    return InputError(InputFailure::NotGenBank, path, "not a GenBank file (no line begins with LOCUS)");
}

std::vector<RecordInfo> parseRecords(std::string_view bytes)
{
    std::vector<RecordInfo> records;
    switch (detectFormat(bytes)) {
        case RecordFormat::GenBank:
            records = splitGenBank(bytes);
            break;
        case RecordFormat::Embl:
            records = splitEmbl(bytes);
            break;
        case RecordFormat::Fasta:
            records = splitFasta(bytes);
            break;
        case RecordFormat::Text:
            break;
    }
    if (records.empty()) {
        RecordInfo& text = records.emplace_back();
        text.length = countLetters(bytes);
        text.end = bytes.size();
    }
    return records;
}

std::optional<FeatureList> readRecord(std::string_view bytes, const RecordInfo& record, Genome& genome,
                                      int minimum, int maximum, const std::filesystem::path& path)
{
    const std::string_view text = bytes.substr(record.begin, record.end - record.begin);
    switch (record.format) {
        case RecordFormat::GenBank:
            return parseGenBankOrThrow(text, genome, minimum, maximum, path, record.firstLine);
        case RecordFormat::Embl:
            return parseEmblOrThrow(text, genome, minimum, maximum, path, record.firstLine);
        case RecordFormat::Fasta:
            checkText(text, false, path);
            if (const auto share = lettersNotBases(fastaSequence(text))) {
                throw InputError(InputFailure::NotSequence, path,
                                 "this FASTA holds protein, not a genome: " + std::to_string(*share) +
                                     std::string(kBaseLetters));
            }
            loadFasta(text, genome, minimum, maximum);
            return std::nullopt;
        case RecordFormat::Text:
            break;
    }
    checkText(text, true, path);
    checkNotFastq(text, path);
    if (const auto share = lettersNotBases({text})) {
        throw InputError(
            InputFailure::NotSequence, path,
            std::to_string(*share) + std::string(kBaseLetters) + "; it is not a genome's sequence");
    }
    loadText(text, genome, minimum, maximum);
    return std::nullopt;
}

std::vector<std::size_t> matchingRecords(const std::vector<RecordInfo>& records, std::string_view choice)
{
    std::size_t number = 0;
    const char* end = choice.data() + choice.size();
    if (const auto [stop, error] = std::from_chars(choice.data(), end, number);
        !choice.empty() && error == std::errc{} && stop == end) {
        if (number >= 1 && number <= records.size()) {
            return {number - 1};
        }
        return {};
    }
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const RecordInfo& record = records[i];
        bool named = !record.name.empty() && sameLetters(record.name, choice);
        std::string_view accessions = record.accession;
        while (!named && !accessions.empty()) {
            const auto [word, rest] = firstWord(accessions);
            named = sameLetters(word, choice);
            accessions = rest;
        }
        if (named) {
            found.push_back(i);
        }
    }
    return found;
}

std::optional<std::size_t> findRecord(const std::vector<RecordInfo>& records, std::string_view choice)
{
    const std::vector<std::size_t> found = matchingRecords(records, choice);
    if (found.empty()) {
        return std::nullopt;
    }
    return found.front();
}

void requireBases(const Genome& genome, const std::filesystem::path& path, std::string_view record)
{
    if (genome.length() > genome.gapCount()) {
        return;
    }
    std::string detail = record.empty() ? std::string("it holds no bases (A, C, G or T)")
                                        : std::string(record) + " holds no bases (A, C, G or T)";
    throw InputError(InputFailure::Empty, path, std::move(detail));
}

InputFile::InputFile(std::string bytes, std::filesystem::path path)
    : path_(std::move(path)), bytes_(decodedText(std::move(bytes), path_)), records_(parseRecords(bytes_))
{
}

InputFile InputFile::read(const std::filesystem::path& path)
{
    return InputFile(readInputBytes(path), path);
}

InputFile InputFile::fromBytes(std::string bytes, std::filesystem::path path)
{
    return InputFile(std::move(bytes), std::move(path));
}

std::optional<FeatureList> InputFile::load(std::size_t index, Genome& genome, int minimum, int maximum) const
{
    return readRecord(bytes_, records_.at(index), genome, minimum, maximum, path_);
}

}  // namespace tessaron
