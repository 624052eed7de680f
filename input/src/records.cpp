#include "input/records.h"

#include "input/filebytes.h"
#include "input/genbankreader.h"

#include <algorithm>
#include <charconv>
#include <new>

namespace tessaron {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\v' || ch == '\f';
}

bool isLetter(char ch)
{
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z');
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// The first blank-separated word of a text, and the text after it.
std::pair<std::string_view, std::string_view> firstWord(std::string_view text)
{
    text = trim(text);
    const auto blank = std::find_if(text.begin(), text.end(), isBlank);
    const auto split = static_cast<std::size_t>(blank - text.begin());
    return {text.substr(0, split), trim(text.substr(split))};
}

std::int64_t countLetters(std::string_view text)
{
    return std::count_if(text.begin(), text.end(), isLetter);
}

// Walks the lines of a text, knowing where each begins and its number.
class LineCursor {
public:
    explicit LineCursor(std::string_view text, std::size_t start = 0) : text_(text), pos_(start) {}

    [[nodiscard]] bool atEnd() const { return pos_ >= text_.size(); }
    [[nodiscard]] std::size_t position() const { return pos_; }
    [[nodiscard]] int number() const { return number_; }  // of the line next() returns next

    // The next line without its line end.
    std::string_view next()
    {
        const std::size_t newline = text_.find('\n', pos_);
        const std::size_t end = newline == std::string_view::npos ? text_.size() : newline;
        std::string_view line = text_.substr(pos_, end - pos_);
        pos_ = newline == std::string_view::npos ? text_.size() : newline + 1;
        ++number_;
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        return line;
    }

private:
    std::string_view text_;
    std::size_t pos_;
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
    if (!rest.empty() && !isBlank(rest.front())) {
        return std::nullopt;
    }
    return trim(rest);
}

// The facts of a GenBank record from its lines, up to its "//".
void describeGenBank(std::string_view record, RecordInfo& info)
{
    LineCursor lines(record);
    bool inSequence = false;
    bool sawSource = false;
    while (!lines.atEnd()) {
        const std::string_view line = lines.next();
        if (inSequence) {
            info.length += countLetters(line);
            continue;
        }
        if (const auto locus = keywordValue(line, "LOCUS")) {
            info.name = std::string(firstWord(*locus).first);
        } else if (const auto definition = keywordValue(line, "DEFINITION")) {
            info.description = std::string(*definition);
        } else if (const auto accession = keywordValue(line, "ACCESSION")) {
            info.accession = std::string(firstWord(*accession).first);
        } else if (const auto version = keywordValue(line, "VERSION")) {
            const std::string_view value = firstWord(*version).first;
            if (!value.empty()) {
                info.accession += info.accession.empty() ? "" : " ";
                info.accession += value;
            }
        } else if (!sawSource && trim(line).starts_with("SOURCE")) {
            // As the reader takes it: the rest of the first SOURCE line.
            sawSource = true;
            info.title = std::string(trim(trim(line).substr(6)));
        } else if (trim(line).starts_with("ORIGIN")) {
            inSequence = true;
        }
    }
}

std::vector<RecordInfo> splitGenBank(std::string_view bytes)
{
    std::vector<RecordInfo> records;
    LineCursor lines(bytes, contentStart(bytes));
    std::optional<RecordInfo> open;
    const auto close = [&](std::size_t end) {
        open->end = end;
        describeGenBank(bytes.substr(open->begin, end - open->begin), *open);
        records.push_back(std::move(*open));
        open.reset();
    };
    while (!lines.atEnd()) {
        const std::size_t start = lines.position();
        const int number = lines.number();
        const std::string_view line = lines.next();
        if (trim(line).starts_with("LOCUS")) {
            if (open) {
                close(start);  // a record without its "//"
            }
            open = RecordInfo{};
            open->format = RecordFormat::GenBank;
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

std::vector<RecordInfo> splitFasta(std::string_view bytes)
{
    std::vector<RecordInfo> records;
    LineCursor lines(bytes, contentStart(bytes));
    while (!lines.atEnd()) {
        const std::size_t start = lines.position();
        const int number = lines.number();
        const std::string_view line = lines.next();
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
    const std::string_view header = lines.next();
    loaded.setTitle(firstWord(header.substr(std::min<std::size_t>(1, header.size()))).first);
    allocateFor(loaded, record.size() - lines.position());
    while (!lines.atEnd()) {
        const std::string_view line = lines.next();
        if (line.starts_with(';')) {
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

}  // namespace

std::string_view formatName(RecordFormat format)
{
    switch (format) {
        case RecordFormat::GenBank:
            return "GenBank";
        case RecordFormat::Fasta:
            return "FASTA";
        case RecordFormat::Text:
            break;
    }
    return "text";
}

RecordFormat detectFormat(std::string_view bytes)
{
    bytes.remove_prefix(contentStart(bytes));
    const auto first = std::find_if_not(bytes.begin(), bytes.end(), isBlank);
    const std::string_view text = bytes.substr(static_cast<std::size_t>(first - bytes.begin()));
    if (text.starts_with("LOCUS")) {
        return RecordFormat::GenBank;
    }
    return text.starts_with('>') ? RecordFormat::Fasta : RecordFormat::Text;
}

std::vector<RecordInfo> parseRecords(std::string_view bytes)
{
    std::vector<RecordInfo> records;
    switch (detectFormat(bytes)) {
        case RecordFormat::GenBank:
            records = splitGenBank(bytes);
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
        case RecordFormat::Fasta:
            loadFasta(text, genome, minimum, maximum);
            return std::nullopt;
        case RecordFormat::Text:
            break;
    }
    loadText(text, genome, minimum, maximum);
    return std::nullopt;
}

std::optional<std::size_t> findRecord(const std::vector<RecordInfo>& records, std::string_view choice)
{
    std::size_t number = 0;
    const char* end = choice.data() + choice.size();
    if (const auto [stop, error] = std::from_chars(choice.data(), end, number);
        !choice.empty() && error == std::errc{} && stop == end) {
        if (number >= 1 && number <= records.size()) {
            return number - 1;
        }
        return std::nullopt;
    }
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
            return i;
        }
    }
    return std::nullopt;
}

InputFile::InputFile(std::string bytes, std::filesystem::path path)
    : path_(std::move(path)), bytes_(std::move(bytes)), records_(parseRecords(bytes_))
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
