#include "input/normalisedrecord.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstddef>

namespace tessaron {

// Helpers of this file, named apart from those of the other readers.
namespace movedlocation {

// One stretch of a location in biological order: first..last on the genome
// (0-based; first > last across the origin), its strand, whether it is a
// site between two bases, and the partial markers at its 5' and 3' ends.
struct Stretch {
    std::int64_t first = 0;
    std::int64_t last = 0;
    bool complement = false;
    bool site = false;
    bool partial5 = false;
    bool partial3 = false;
};

struct Parsed {
    std::vector<Stretch> stretches;
    bool order = false;  // written as order(...) rather than join(...)
};

// A node of the location's tree, held in a flat list: a stretch, or
// complement / join / order of its children.
struct Node {
    enum class Kind { Stretch, Complement, Group } kind = Kind::Stretch;
    Stretch stretch;
    std::vector<std::size_t> children;
};

bool readNumber(std::string_view text, std::size_t& at, std::int64_t& value)
{
    const char* begin = text.data() + at;
    const auto [end, error] = std::from_chars(begin, text.data() + text.size(), value);
    if (error != std::errc() || value < 1) {
        return false;
    }
    at += static_cast<std::size_t>(end - begin);
    return true;
}

// Parses without recursion: a stack of the groups still open.
std::optional<Parsed> parse(std::string_view text, std::int64_t length)
{
    Parsed parsed;
    std::vector<Node> nodes(1);  // node 0: the whole location, a group
    nodes[0].kind = Node::Kind::Group;
    std::vector<std::size_t> open{0};
    std::size_t at = 0;
    while (at < text.size()) {
        const char c = text[at];
        if (c == ',') {
            ++at;
            continue;
        }
        if (c == ')') {
            if (open.size() < 2) {
                return std::nullopt;
            }
            open.pop_back();
            ++at;
            continue;
        }
        if (std::isalpha(static_cast<unsigned char>(c)) != 0) {
            const std::size_t paren = text.find('(', at);
            if (paren == std::string_view::npos) {
                return std::nullopt;
            }
            const std::string_view word = text.substr(at, paren - at);
            Node node;
            if (word == "complement") {
                node.kind = Node::Kind::Complement;
            } else if (word == "join" || word == "order") {
                node.kind = Node::Kind::Group;
                parsed.order = parsed.order || word == "order";
            } else {
                return std::nullopt;
            }
            nodes.push_back(node);
            nodes[open.back()].children.push_back(nodes.size() - 1);
            open.push_back(nodes.size() - 1);
            at = paren + 1;
            continue;
        }
        Stretch s;
        bool low = false;
        bool high = false;
        if (text[at] == '<') {
            low = true;
            ++at;
        }
        std::int64_t first = 0;
        if (at >= text.size() || !readNumber(text, at, first)) {
            return std::nullopt;
        }
        std::int64_t last = first;
        if (text.substr(at).starts_with("..")) {
            at += 2;
            if (at < text.size() && text[at] == '>') {
                high = true;
                ++at;
            }
            if (!readNumber(text, at, last)) {
                return std::nullopt;
            }
        } else if (at < text.size() && text[at] == '^') {
            ++at;
            if (!readNumber(text, at, last)) {
                return std::nullopt;
            }
            s.site = true;
        } else if (at < text.size() && text[at] == '>') {
            return std::nullopt;
        }
        if (first > length || last > length) {
            return std::nullopt;
        }
        s.first = first - 1;
        s.last = last - 1;
        s.partial5 = low;  // set for the forward strand; swapped below when complemented
        s.partial3 = high;
        Node node;
        node.stretch = s;
        nodes.push_back(node);
        nodes[open.back()].children.push_back(nodes.size() - 1);
    }
    if (open.size() != 1) {
        return std::nullopt;
    }
    // Flatten in biological order: a complement reverses its children.
    std::vector<std::pair<std::size_t, bool>> stack{{0, false}};
    while (!stack.empty()) {
        const auto [index, complemented] = stack.back();
        stack.pop_back();
        const Node& node = nodes[index];
        if (node.kind == Node::Kind::Stretch) {
            Stretch s = node.stretch;
            s.complement = complemented;
            if (complemented) {
                std::swap(s.partial5, s.partial3);
            }
            parsed.stretches.push_back(s);
            continue;
        }
        const bool inner = complemented != (node.kind == Node::Kind::Complement);
        // Pushed so that the first to come out is the first in biological order.
        if (inner) {
            for (const std::size_t child : node.children) {
                stack.emplace_back(child, inner);
            }
        } else {
            for (auto child = node.children.rbegin(); child != node.children.rend(); ++child) {
                stack.emplace_back(*child, inner);
            }
        }
    }
    if (parsed.stretches.empty()) {
        return std::nullopt;
    }
    return parsed;
}

// Where `source` lies: the piece's first new position and the offset in it.
struct Placed {
    std::int64_t pieceOut = 0;
    const SequencePiece* piece = nullptr;
    std::int64_t offset = 0;
};

Placed place(const std::vector<SequencePiece>& pieces, std::int64_t n, std::int64_t source)
{
    std::int64_t out = 0;
    for (const SequencePiece& piece : pieces) {
        const std::int64_t offset = ((source - piece.sourceStart) % n + n) % n;
        if (offset < piece.length) {
            return {out, &piece, offset};
        }
        out += piece.length;
    }
    return {};
}

// Joins the pieces of one old stretch that follow one another on the same strand.
std::vector<Stretch> merged(const std::vector<Stretch>& stretches)
{
    std::vector<Stretch> out;
    for (const Stretch& s : stretches) {
        if (!out.empty() && !s.site && !out.back().site && out.back().complement == s.complement) {
            Stretch& previous = out.back();
            if (!s.complement && previous.last + 1 == s.first) {
                previous.last = s.last;
                previous.partial3 = s.partial3;
                continue;
            }
            if (s.complement && s.last + 1 == previous.first) {
                previous.first = s.first;
                previous.partial3 = s.partial3;
                continue;
            }
        }
        out.push_back(s);
    }
    return out;
}

// The new stretches of one old one, in biological order.
bool moveStretch(const Stretch& s, const std::vector<SequencePiece>& pieces, std::int64_t n,
                 std::vector<Stretch>& out)
{
    if (s.site) {
        const Placed p = place(pieces, n, s.first);
        if (p.piece == nullptr) {
            return false;
        }
        Stretch moved = s;
        const std::int64_t at = p.pieceOut + (p.piece->reversed ? p.piece->length - 1 - p.offset : p.offset);
        moved.first = p.piece->reversed ? at - 1 : at;
        moved.last = moved.first + 1;
        if (moved.first < 0 || moved.last >= n) {
            return false;
        }
        out.push_back(moved);
        return true;
    }
    std::vector<Stretch> forward;  // along the old forward strand
    std::int64_t remaining = ((s.last - s.first) % n + n) % n + 1;
    std::int64_t at = s.first;
    while (remaining > 0) {
        const Placed p = place(pieces, n, at);
        if (p.piece == nullptr) {
            return false;
        }
        const std::int64_t take = std::min(remaining, p.piece->length - p.offset);
        Stretch part;
        part.complement = s.complement != p.piece->reversed;
        if (p.piece->reversed) {
            part.last = p.pieceOut + p.piece->length - 1 - p.offset;
            part.first = part.last - take + 1;
        } else {
            part.first = p.pieceOut + p.offset;
            part.last = part.first + take - 1;
        }
        forward.push_back(part);
        remaining -= take;
        at = (at + take) % n;
    }
    if (s.complement) {
        std::reverse(forward.begin(), forward.end());
    }
    forward.front().partial5 = s.partial5;
    forward.back().partial3 = s.partial3;
    const std::vector<Stretch> joined = merged(forward);
    out.insert(out.end(), joined.begin(), joined.end());
    return true;
}

std::string rangeText(const Stretch& s)
{
    if (s.site) {
        return std::to_string(s.first + 1) + "^" + std::to_string(s.last + 1);
    }
    // On the reverse strand the 5' end is the higher number.
    const bool low = s.complement ? s.partial3 : s.partial5;
    const bool high = s.complement ? s.partial5 : s.partial3;
    std::string text = (low ? "<" : "") + std::to_string(s.first + 1);
    if (s.first != s.last || high) {
        text += std::string("..") + (high ? ">" : "") + std::to_string(s.last + 1);
    }
    return text;
}

std::string locationText(const std::vector<Stretch>& stretches, bool order)
{
    const std::string group = order ? "order(" : "join(";
    const bool allReverse =
        std::all_of(stretches.begin(), stretches.end(), [](const Stretch& s) { return s.complement; });
    std::string text;
    if (allReverse) {
        // complement(join(...)) lists the parts from the low end.
        for (auto s = stretches.rbegin(); s != stretches.rend(); ++s) {
            text += (text.empty() ? "" : ",") + rangeText(*s);
        }
        return stretches.size() == 1 ? "complement(" + text + ")" : "complement(" + group + text + "))";
    }
    for (const Stretch& s : stretches) {
        const std::string range = s.complement ? "complement(" + rangeText(s) + ")" : rangeText(s);
        text += (text.empty() ? "" : ",") + range;
    }
    return stretches.size() == 1 ? text : group + text + ")";
}

// The location after the key, wrapped at commas to lines of at most 79 characters.
void appendWrapped(std::string& out, std::string_view key, std::string_view location)
{
    std::string line = "     " + std::string(key);
    line.resize(std::max<std::size_t>(line.size() + 1, 21), ' ');
    std::size_t at = 0;
    while (at < location.size()) {
        const std::size_t room = 79 - line.size();
        std::size_t take = location.size() - at;
        if (take > room) {
            const std::size_t comma = location.substr(at, room).rfind(',');
            take = comma == std::string_view::npos ? room : comma + 1;
        }
        line += location.substr(at, take);
        at += take;
        out += line;
        out.push_back('\n');
        line.assign(21, ' ');
    }
}

}  // namespace movedlocation

using namespace movedlocation;

std::optional<std::string> moveLocation(std::string_view location, const std::vector<SequencePiece>& pieces,
                                        std::int64_t length)
{
    if (length <= 0) {
        return std::nullopt;
    }
    const std::optional<Parsed> parsed = parse(location, length);
    if (!parsed) {
        return std::nullopt;
    }
    const auto& stretches = parsed->stretches;
    if (stretches.size() == 1 && !stretches[0].site &&
        ((stretches[0].last - stretches[0].first) % length + length) % length + 1 == length) {
        return stretches[0].complement ? "complement(1.." + std::to_string(length) + ")"
                                       : "1.." + std::to_string(length);
    }
    std::vector<Stretch> moved;
    for (const Stretch& s : stretches) {
        if (!moveStretch(s, pieces, length, moved)) {
            return std::nullopt;
        }
    }
    return locationText(moved, parsed->order);
}

std::string writeNormalisedGenBank(const GenBankRecordText& record, const NormalisedPlastome& normalised,
                                   int& dropped)
{
    dropped = 0;
    const auto n = static_cast<std::int64_t>(normalised.sequence.size());
    std::string out = record.header;
    for (const RawFeature& feature : record.features) {
        const std::optional<std::string> location = moveLocation(feature.location, normalised.pieces, n);
        if (!location) {
            ++dropped;
            continue;
        }
        appendWrapped(out, feature.key, *location);
        for (const std::string& line : feature.qualifierText) {
            out += line;
            out.push_back('\n');
        }
    }
    out += "ORIGIN\n";
    for (std::int64_t at = 0; at < n; at += 60) {
        std::string number = std::to_string(at + 1);
        out += std::string(9 - std::min<std::size_t>(9, number.size()), ' ') + number;
        for (std::int64_t group = at; group < std::min(n, at + 60); group += 10) {
            out.push_back(' ');
            for (std::int64_t t = group; t < std::min(n, group + 10); ++t) {
                out.push_back(static_cast<char>(std::tolower(
                    static_cast<unsigned char>(normalised.sequence[static_cast<std::size_t>(t)]))));
            }
        }
        out.push_back('\n');
    }
    out += "//\n";
    return out;
}

std::string fastaText(std::string_view header, std::string_view bases)
{
    std::string out = ">" + std::string(header) + "\n";
    for (std::size_t at = 0; at < bases.size(); at += 70) {
        out += bases.substr(at, 70);
        out.push_back('\n');
    }
    return out;
}

PlastomeMarkers plastomeMarkers(const FeatureList& features)
{
    PlastomeMarkers markers;
    const auto lowered = [](std::string_view text) {
        std::string out(text);
        std::transform(out.begin(), out.end(), out.begin(),
                       [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
        return out;
    };
    for (std::size_t i = 1; i < features.size(); ++i) {
        const Feature& f = features[i];
        const bool reverse = f.color == kColorGeneComplement || f.color == kColorTrnaComplement;
        const bool stranded = reverse || f.color == kColorGeneDirect || f.color == kColorTrnaDirect;
        if (!stranded || f.namedByTag) {
            continue;
        }
        const std::string name = lowered(f.name);
        std::vector<PlastomeMarker>* copies = name == "psba"                                ? &markers.psbA
                                              : name == "trnh" || name.starts_with("trnh-") ? &markers.trnH
                                              : name == "rbcl"                              ? &markers.rbcL
                                              : name == "ndhf"                              ? &markers.ndhF
                                              : name == "ycf1"                              ? &markers.ycf1
                                                                                            : nullptr;
        if (copies == nullptr) {
            continue;
        }
        if (f.parts.empty()) {
            copies->push_back({f.start, f.end, reverse});
        }
        // A gene in parts apart (moved across a junction, trans-spliced): each part on its own strand.
        for (const FeaturePart& part : f.parts) {
            copies->push_back({part.start, part.end, part.complement});
        }
    }
    return markers;
}

}  // namespace tessaron
