#include "input/emblreader.h"
#include "blanks.h"
#include "featuretable.h"

#include "input/featurelocation.h"

#include <algorithm>
#include <charconv>
#include <new>
#include <optional>
#include <string>

namespace tessaron {

namespace embl {

namespace {

using blanks::isSpace;
using blanks::trim;
using featuretable::kEmblTable;
using featuretable::Lines;

// The text of an EMBL line after its two-letter code.
std::string_view lineText(std::string_view line)
{
    return trim(line.substr(std::min<std::size_t>(2, line.size())));
}

bool hasCode(std::string_view line, std::string_view code)
{
    return line.starts_with(code) && (line.size() == 2 || isSpace(line[2]));
}

// The sequence length an ID line gives: the number before "BP"; nothing when
// it gives none.
std::optional<std::int64_t> statedLength(std::string_view id)
{
    std::string_view previous;
    while (!id.empty()) {
        const auto end = static_cast<std::size_t>(
            std::find_if(id.begin(), id.end(), [](char ch) { return isSpace(ch) || ch == ';'; }) -
            id.begin());
        const std::string_view word = id.substr(0, end);
        id.remove_prefix(std::min(end + 1, id.size()));
        if (word.empty()) {
            continue;
        }
        if ((word == "BP" || word == "BP.") && !previous.empty()) {
            std::int64_t value = 0;
            const auto [stop, error] =
                std::from_chars(previous.data(), previous.data() + previous.size(), value);
            if (error == std::errc{} && stop == previous.data() + previous.size() && value > 0) {
                return value;
            }
            return std::nullopt;
        }
        previous = word;
    }
    return std::nullopt;
}

struct Refusal {
    InputFailure reason;
    std::string detail;
    int line = 0;
};

[[noreturn]] void refuse(Refusal refusal, const std::filesystem::path& path, int firstLine)
{
    const int line = refusal.line > 0 ? refusal.line + firstLine - 1 : 0;
    throw InputError(refusal.reason, path, std::move(refusal.detail), line, "EMBL");
}

}  // namespace

}  // namespace embl

FeatureList parseEmblOrThrow(std::string_view text, Genome& genome, int minimum, int maximum,
                             const std::filesystem::path& path, int firstLine)
{
    using namespace embl;
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);  // a UTF-8 byte order mark
    }
    if (trim(text).empty()) {
        refuse({InputFailure::Empty, "the file is empty"}, path, firstLine);
    }
    Lines lines(text);
    std::optional<std::int64_t> stated;
    std::string_view title;
    std::string_view description;
    std::optional<FeatureLocation> whole;
    FeatureList features;
    bool inSequence = false;
    while (!inSequence && !lines.atEnd()) {
        if (const auto key = featuretable::keyLine(lines.peek(), kEmblTable)) {
            lines.next();
            if (!whole && key->key == "source") {
                const int sourceLine = lines.lineNumber();
                whole = parseLocation(featuretable::readLocation(lines, key->location, kEmblTable));
                if (!whole) {
                    refuse({InputFailure::Malformed, "the location of the source feature cannot be read",
                            sourceLine},
                           path, firstLine);
                }
                continue;
            }
            const std::int64_t last = whole ? whole->last : stated.value_or(0);
            const auto lastBase = static_cast<std::int32_t>(std::clamp<std::int64_t>(last - 1, 0, INT32_MAX));
            if (auto feature = featuretable::readFeature(*key, lines, lastBase, kEmblTable)) {
                features.push_back(std::move(*feature));
            }
            continue;
        }
        const std::string_view line = lines.next();
        if (line.starts_with("//")) {
            refuse({InputFailure::Malformed, "the record ends before its SQ line", lines.lineNumber()}, path,
                   firstLine);
        }
        if (hasCode(line, "ID") && !stated) {
            stated = statedLength(lineText(line));
        } else if (hasCode(line, "OS") && title.empty()) {
            title = lineText(line);
        } else if (hasCode(line, "DE") && description.empty()) {
            description = lineText(line);
        } else if (hasCode(line, "SQ")) {
            inSequence = true;
        }
    }
    if (!inSequence) {
        refuse({InputFailure::Malformed, "the file ends before its SQ line"}, path, firstLine);
    }

    // Filled aside and swapped in, so that a failure leaves the genome as it
    // was; no more bases can follow than there are bytes left.
    Genome loaded;
    loaded.setPairLimit(genome.pairLimit());
    loaded.setTitle(featuretable::untilNul(title.empty() ? description : title));
    const auto remaining = static_cast<std::int64_t>(lines.remainingBytes());
    const std::int64_t claimed = whole ? whole->last : stated.value_or(remaining);
    if (!loaded.allocate(std::min(claimed, remaining), 5, 15)) {
        throw std::bad_alloc();
    }
    std::string line;
    bool closed = false;
    while (!lines.atEnd() && loaded.length() < loaded.capacity()) {
        const std::string_view next = lines.next();
        if (next.starts_with("//")) {
            closed = true;
            break;
        }
        line.assign(next);
        loaded.appendText(line.c_str());
    }
    const std::int64_t expected = std::min(stated.value_or(claimed), claimed);
    if (!closed && lines.atEnd() && loaded.length() < expected) {
        refuse({InputFailure::Malformed,
                "the record is cut short: its sequence stops after " + std::to_string(loaded.length()) +
                    " of " + std::to_string(expected) + " bases, without the closing // line",
                lines.lineNumber()},
               path, firstLine);
    }
    const std::int32_t first = whole ? whole->first - 1 : 0;
    const std::int32_t last =
        whole ? whole->last - 1 : static_cast<std::int32_t>(std::max<std::int64_t>(loaded.length() - 1, 0));
    features.insert(features.begin(), Feature{first, last, "sequence", kColorSequence});
    loaded.setLengthBounds(minimum, maximum);
    genome.swap(loaded);
    return features;
}

}  // namespace tessaron
