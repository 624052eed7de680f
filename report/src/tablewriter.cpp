#include "report/tablewriter.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <sstream>

namespace tessaron {

namespace {

// What a byte needs inside a cell, per format: bit 0 in CSV (the cell must be
// quoted), bit 1 in TSV (the byte becomes a blank).
constexpr std::uint8_t kQuoteInCsv = 1;
constexpr std::uint8_t kBlankInTsv = 2;

constexpr std::array<std::uint8_t, 256> kByteClass = [] {
    std::array<std::uint8_t, 256> table{};
    for (const unsigned char ch : {',', '"'}) {
        table[ch] = kQuoteInCsv;
    }
    table[static_cast<unsigned char>('\t')] = kBlankInTsv;
    for (const unsigned char ch : {'\r', '\n'}) {
        table[ch] = kQuoteInCsv | kBlankInTsv;
    }
    return table;
}();

// Every byte that needs care is below this one, so eight bytes at a time can
// be passed over while none of them is.
constexpr unsigned char kFirstPlain = '-';
static_assert([] {
    for (int byte = kFirstPlain; byte < 256; ++byte) {
        if (kByteClass[static_cast<std::size_t>(byte)] != 0) {
            return false;
        }
    }
    return true;
}());

// Whether one of eight bytes is below kFirstPlain (exact for a bound up to 128).
bool anyBelowFirstPlain(std::uint64_t bytes)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101U;
    constexpr std::uint64_t kHighBits = 0x8080808080808080U;
    return ((bytes - kOnes * kFirstPlain) & ~bytes & kHighBits) != 0;
}

// The first byte of `text` whose class has a bit of `mask`, or text.size().
std::size_t findClass(std::string_view text, std::uint8_t mask)
{
    std::size_t at = 0;
    for (; at + sizeof(std::uint64_t) <= text.size(); at += sizeof(std::uint64_t)) {
        std::uint64_t bytes = 0;
        std::memcpy(&bytes, text.data() + at, sizeof bytes);
        if (anyBelowFirstPlain(bytes)) {
            break;
        }
    }
    for (; at < text.size(); ++at) {
        if ((kByteClass[static_cast<unsigned char>(text[at])] & mask) != 0) {
            return at;
        }
    }
    return text.size();
}

// Whether a spreadsheet would take the cell for a formula: it begins with
// '=', '+', '-' or '@' and is not a number ("-1.5", "+3", "-2e-05"). A strand
// alone ("+" or "-") is no formula and stays as the tables always wrote it.
bool looksLikeFormula(std::string_view text)
{
    if (text == "+" || text == "-") {
        return false;
    }
    if (text.empty() || std::string_view("=+-@").find(text.front()) == std::string_view::npos) {
        return false;
    }
    const std::string_view number = text.front() == '+' ? text.substr(1) : text;
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    return number.empty() || error != std::errc{} || end != number.data() + number.size();
}

}  // namespace

void TableWriter::cell(std::string_view text)
{
    separate();
    if (format_ == TableFormat::Csv) {
        if (findClass(text, kQuoteInCsv) == text.size() && !looksLikeFormula(text)) {
            raw(text);
            return;
        }
        put('"');
        for (const char ch : text) {
            if (ch == '"') {
                put('"');
            }
            put(ch);
        }
        put('"');
        return;
    }
    // Clean runs go out whole; only the bytes to replace are handled alone.
    for (std::size_t at = findClass(text, kBlankInTsv); at != text.size();
         at = findClass(text, kBlankInTsv)) {
        raw(text.substr(0, at));
        put(' ');
        text.remove_prefix(at + 1);
    }
    raw(text);
}

void TableWriter::cell(std::int64_t value)
{
    separate();
    constexpr std::size_t kLongest = 20;  // "-9223372036854775808"
    if (kCapacity - used_ < kLongest) {
        flush();
    }
    char* const begin = buffer_.data() + used_;
    const auto result = std::to_chars(begin, buffer_.data() + kCapacity, value);
    used_ += static_cast<std::size_t>(result.ptr - begin);
}

PreparedCells TableWriter::prepare(std::initializer_list<std::string_view> cells) const
{
    std::ostringstream text;
    auto writer = std::make_unique<TableWriter>(text, format_);
    for (const std::string_view cell : cells) {
        writer->cell(cell);
    }
    writer->flush();
    PreparedCells prepared;
    prepared.text_ = std::move(text).str();
    return prepared;
}

void TableWriter::raw(std::string_view text)
{
    while (!text.empty()) {
        if (used_ == kCapacity) {
            flush();
        }
        const std::size_t part = std::min(text.size(), kCapacity - used_);
        std::memcpy(buffer_.data() + used_, text.data(), part);
        used_ += part;
        text.remove_prefix(part);
    }
}

void TableWriter::flush()
{
    out_.write(buffer_.data(), static_cast<std::streamsize>(used_));
    used_ = 0;
}

}  // namespace tessaron
