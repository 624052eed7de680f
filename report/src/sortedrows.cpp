#include "report/sortedrows.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <queue>
#include <stdexcept>
#include <system_error>

namespace tessaron {

namespace {

[[noreturn]] void tempFileFailed(const char* what, const std::string& folder = {})
{
    const int error = errno != 0 ? errno : EIO;
    throw std::runtime_error(std::string("cannot ") + what + " a temporary file for sorting" +
                             (folder.empty() ? "" : " in " + folder) + ": " +
                             std::generic_category().message(error));
}

// The folder of temporary files: the one TMPDIR names, else /tmp.
std::string temporaryFolder()
{
    const char* named = std::getenv("TMPDIR");
    return named != nullptr && *named != '\0' ? named : "/tmp";
}

// A new temporary file in `folder`, taken out of the folder at once, so that
// nothing is left behind however the program ends; nothing when it cannot be
// made (errno says why).
std::FILE* makeTemporaryFile(const std::string& folder)
{
    std::string name = folder + "/tessaron-sort-XXXXXX";
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        return nullptr;
    }
    ::unlink(name.c_str());
    std::FILE* file = ::fdopen(fd, "w+b");
    if (file == nullptr) {
        const int error = errno;
        ::close(fd);
        errno = error;
    }
    return file;
}

void put(std::FILE* file, const void* bytes, std::size_t count)
{
    if (count > 0 && std::fwrite(bytes, 1, count, file) != count) {
        tempFileFailed("write");
    }
}

// One sorted run on a temporary file, read a row at a time: its start, then
// its bytes.
class RunReader {
public:
    explicit RunReader(std::FILE* file) : file_(file)
    {
        errno = 0;
        if (std::fseek(file_, 0, SEEK_SET) != 0) {
            tempFileFailed("read");
        }
        advance();
    }

    [[nodiscard]] bool done() const { return done_; }
    [[nodiscard]] std::int64_t start() const { return start_; }
    [[nodiscard]] const std::string& text() const { return text_; }

    void advance()
    {
        std::uint64_t length = 0;
        if (std::fread(&start_, sizeof start_, 1, file_) != 1) {
            if (std::ferror(file_)) {
                tempFileFailed("read");
            }
            done_ = true;
            return;
        }
        text_.resize(read(&length, sizeof length) ? static_cast<std::size_t>(length) : 0);
        if (!read(text_.data(), text_.size())) {
            tempFileFailed("read");
        }
    }

private:
    bool read(void* bytes, std::size_t count)
    {
        return count == 0 || std::fread(bytes, 1, count, file_) == count;
    }

    std::FILE* file_;
    std::int64_t start_ = 0;
    std::string text_;
    bool done_ = false;
};

}  // namespace

std::streamsize SortedRows::Collector::xsputn(const char* bytes, std::streamsize count)
{
    const std::size_t needed = text.size() + static_cast<std::size_t>(count);
    if (needed > text.capacity()) {
        // Double as a string does, but stop at the budget and the room for
        // one more buffer of the writer (the most that comes past it).
        text.reserve(std::max(needed, std::min(2 * text.capacity(), budget_ + (std::size_t{1} << 17))));
    }
    text.append(bytes, static_cast<std::size_t>(count));
    return count;
}

SortedRows::Collector::int_type SortedRows::Collector::overflow(int_type ch)
{
    if (!traits_type::eq_int_type(ch, traits_type::eof())) {
        text.push_back(traits_type::to_char_type(ch));
    }
    return traits_type::not_eof(ch);
}

SortedRows::SortedRows(TableWriter& out, std::size_t budget)
    : out_(out), budget_(budget), collector_(budget), stream_(&collector_), rows_(stream_, TableFormat::Tsv)
{
}

SortedRows::~SortedRows() = default;

TableWriter& SortedRows::row(std::int64_t start)
{
    if (collector_.text.size() >= budget_) {
        spill();
    }
    starts_.push_back(start);
    return rows_;
}

std::vector<SortedRows::Span> SortedRows::sortedSpans()
{
    rows_.flush();
    const std::string& text = collector_.text;
    std::vector<Span> spans;
    spans.reserve(starts_.size());
    std::size_t offset = 0;
    for (const std::int64_t start : starts_) {
        // Every row ends at its one line feed: the writer turns those inside cells into blanks.
        const std::size_t end = text.find('\n', offset);
        if (end == std::string::npos) {
            break;  // a row begun but never ended
        }
        spans.push_back({start, offset, end + 1 - offset});
        offset = end + 1;
    }
    std::stable_sort(spans.begin(), spans.end(),
                     [](const Span& a, const Span& b) { return a.start < b.start; });
    return spans;
}

void SortedRows::spill()
{
    errno = 0;
    const std::string folder = temporaryFolder();
    TempFile file(makeTemporaryFile(folder));
    if (!file) {
        tempFileFailed("make", folder);
    }
    // Large reads and writes: a run is written once and read once, in order.
    std::setvbuf(file.get(), nullptr, _IOFBF, std::size_t{1} << 20);
    for (const Span& span : sortedSpans()) {
        const auto length = static_cast<std::uint64_t>(span.length);
        put(file.get(), &span.start, sizeof span.start);
        put(file.get(), &length, sizeof length);
        put(file.get(), collector_.text.data() + span.offset, span.length);
    }
    if (std::fflush(file.get()) != 0) {
        tempFileFailed("write");
    }
    runs_.push_back(std::move(file));
    clear();
}

void SortedRows::merge()
{
    std::vector<RunReader> readers;
    readers.reserve(runs_.size());
    for (const TempFile& run : runs_) {
        readers.emplace_back(run.get());
    }
    // The smallest start first; of equal starts, the earlier run's.
    const auto later = [&](std::size_t a, std::size_t b) {
        return readers[a].start() != readers[b].start() ? readers[a].start() > readers[b].start() : a > b;
    };
    std::priority_queue<std::size_t, std::vector<std::size_t>, decltype(later)> heads(later);
    for (std::size_t i = 0; i < readers.size(); ++i) {
        if (!readers[i].done()) {
            heads.push(i);
        }
    }
    while (!heads.empty()) {
        const std::size_t i = heads.top();
        heads.pop();
        out_.preformatted(readers[i].text());
        readers[i].advance();
        if (!readers[i].done()) {
            heads.push(i);
        }
    }
    runs_.clear();
}

void SortedRows::finish()
{
    if (!runs_.empty()) {
        spill();
        merge();
        return;
    }
    for (const Span& span : sortedSpans()) {
        out_.preformatted(std::string_view(collector_.text).substr(span.offset, span.length));
    }
    clear();
}

void SortedRows::clear()
{
    collector_.text.clear();
    starts_.clear();
}

}  // namespace tessaron
