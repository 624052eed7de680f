#include "input/genbankfeaturetable.h"

#include <cstddef>

namespace tessaron {

// Helpers of this file, named apart from those of the other readers.
namespace rawtable {

// Feature keys start in this column (0-based), qualifiers and wrapped
// locations at or after the next.
constexpr std::size_t kKeyColumn = 5;

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

std::vector<std::string_view> splitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(at, end - at));
        at = end;
        if (at < text.size() && text[at] == '\r') {
            ++at;
        }
        if (at < text.size() && text[at] == '\n') {
            ++at;
        }
    }
    return lines;
}

void appendWithoutBlanks(std::string& out, std::string_view text)
{
    for (const char c : text) {
        if (c != ' ' && c != '\t') {
            out.push_back(c);
        }
    }
}

// Splits the qualifier lines of a feature into names and values.
void parseQualifiers(RawFeature& feature)
{
    for (const std::string& raw : feature.qualifierText) {
        const std::string_view line = trimmed(raw);
        if (line.starts_with("/")) {
            const std::size_t equals = line.find('=');
            RawFeature::Qualifier q;
            q.name = std::string(line.substr(1, equals == std::string_view::npos ? line.npos : equals - 1));
            if (equals != std::string_view::npos) {
                q.value = std::string(line.substr(equals + 1));
            }
            feature.qualifiers.push_back(std::move(q));
        } else if (!feature.qualifiers.empty()) {
            std::string& value = feature.qualifiers.back().value;
            if (!value.empty()) {
                value.push_back(' ');
            }
            value += line;
        }
    }
    for (RawFeature::Qualifier& q : feature.qualifiers) {
        if (q.value.size() >= 2 && q.value.front() == '"' && q.value.back() == '"') {
            q.value = q.value.substr(1, q.value.size() - 2);
        }
    }
}

}  // namespace rawtable

using namespace rawtable;

const std::string* RawFeature::qualifier(std::string_view name) const
{
    for (const Qualifier& q : qualifiers) {
        if (q.name == name) {
            return &q.value;
        }
    }
    return nullptr;
}

GenBankRecordText readGenBankRecordText(std::string_view text)
{
    GenBankRecordText record;
    const std::vector<std::string_view> lines = splitLines(text);
    enum class Where { Header, Features, Other, Origin } where = Where::Header;
    bool inLocation = false;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::string_view line = lines[index];
        if (line.starts_with("//")) {
            break;
        }
        const bool topLevel = !line.empty() && line.front() != ' ' && line.front() != '\t';
        if (where == Where::Header) {
            record.header.append(line);
            record.header.push_back('\n');
            if (line.starts_with("FEATURES")) {
                where = Where::Features;
            }
            continue;
        }
        if (topLevel) {
            where = line.starts_with("ORIGIN") ? Where::Origin : Where::Other;
            continue;
        }
        if (where == Where::Origin) {
            for (const char c : line) {
                if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
                    record.bases.push_back(c);
                }
            }
            continue;
        }
        if (where != Where::Features) {
            continue;
        }
        const bool keyLine = line.size() > kKeyColumn && line[kKeyColumn] != ' ' &&
                             trimmed(line.substr(0, kKeyColumn)).empty();
        if (keyLine) {
            RawFeature feature;
            const std::string_view rest = line.substr(kKeyColumn);
            const std::size_t blank = rest.find(' ');
            feature.key = std::string(rest.substr(0, blank));
            if (blank != std::string_view::npos) {
                appendWithoutBlanks(feature.location, rest.substr(blank));
            }
            feature.line = static_cast<int>(index) + 1;
            record.features.push_back(std::move(feature));
            inLocation = true;
            continue;
        }
        if (record.features.empty()) {
            continue;
        }
        RawFeature& feature = record.features.back();
        if (trimmed(line).starts_with("/")) {
            inLocation = false;
        }
        if (inLocation) {
            appendWithoutBlanks(feature.location, line);
        } else {
            feature.qualifierText.emplace_back(line);
        }
    }
    for (RawFeature& feature : record.features) {
        parseQualifiers(feature);
    }
    return record;
}

}  // namespace tessaron
