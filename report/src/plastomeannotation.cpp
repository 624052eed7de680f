#include "report/plastomeannotation.h"

#include "input/featurelocation.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace tessaron {

namespace plastomeannotation {

std::int64_t wrapped(std::int64_t x, std::int64_t n)
{
    return ((x % n) + n) % n;
}

std::string lowered(std::string_view text)
{
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return out;
}

// Whether `word` stands in `text` as a word of its own (case aside).
bool hasWord(std::string_view text, std::string_view word)
{
    const std::string hay = lowered(text);
    const std::string needle = lowered(word);
    for (std::size_t at = hay.find(needle); at != std::string::npos; at = hay.find(needle, at + 1)) {
        const bool startOk = at == 0 || std::isalnum(static_cast<unsigned char>(hay[at - 1])) == 0;
        const std::size_t end = at + needle.size();
        const bool endOk = end == hay.size() || std::isalnum(static_cast<unsigned char>(hay[end])) == 0;
        if (startOk && endOk) {
            return true;
        }
    }
    return false;
}

// A stretch of a gene: first..last, 0-based, circular.
struct Span {
    std::int64_t first;
    std::int64_t last;
    const Feature* feature;
};

std::string describedText(const RawFeature& f)
{
    std::string text = f.key + " " + f.location;
    for (const char* name : {"note", "standard_name", "rpt_type", "rpt_family", "label"}) {
        if (const std::string* value = f.qualifier(name)) {
            text += " /" + std::string(name) + "=" + *value;
        }
    }
    return text;
}

std::string namingText(const RawFeature& f)
{
    std::string text;
    for (const char* name : {"note", "standard_name", "rpt_family", "label", "rpt_type"}) {
        if (const std::string* value = f.qualifier(name)) {
            text += *value + " ";
        }
    }
    return text;
}

std::int64_t overlap(std::int64_t aStart, std::int64_t aLength, std::int64_t bStart, std::int64_t bLength,
                     std::int64_t n)
{
    // Both may cross the origin: compare on a doubled circle.
    std::int64_t best = 0;
    for (const std::int64_t shift : {-n, std::int64_t{0}, n}) {
        const std::int64_t lo = std::max(aStart, bStart + shift);
        const std::int64_t hi = std::min(aStart + aLength, bStart + shift + bLength);
        best = std::max(best, hi - lo);
    }
    return best;
}

std::int64_t circularDistance(std::int64_t a, std::int64_t b, std::int64_t n)
{
    const std::int64_t d = wrapped(a - b, n);
    return std::min(d, n - d);
}

}  // namespace plastomeannotation

using namespace plastomeannotation;

std::array<JunctionGenes, 4> junctionGenes(const PlastomeStructure& structure, const FeatureList& features)
{
    std::array<JunctionGenes, 4> result;
    const std::int64_t n = structure.genomeLength;
    if (!structure.found || n == 0) {
        return result;
    }
    std::vector<Span> spans;
    for (std::size_t i = 1; i < features.size(); ++i) {
        const Feature& f = features[i];
        if (f.color != kColorGeneDirect && f.color != kColorGeneComplement) {
            continue;
        }
        if (f.parts.empty()) {
            spans.push_back({f.start, f.end, &f});
        } else {
            for (const FeaturePart& part : f.parts) {
                spans.push_back({part.start, part.end, &f});
            }
        }
    }
    for (std::size_t j = 0; j < 4; ++j) {
        const auto junction = static_cast<PlastomeJunction>(j);
        const std::int64_t before = structure.before(junction);
        const std::int64_t after = structure.after(junction);
        JunctionGenes& genes = result[j];
        for (const Span& s : spans) {
            const std::int64_t length = wrapped(s.last - s.first, n) + 1;
            const std::int64_t toBefore = wrapped(before - s.first, n);
            const std::int64_t toAfter = wrapped(after - s.first, n);
            const JunctionGene base{s.feature->name, s.feature->color == kColorGeneComplement, 0, 0, 0,
                                    length};
            if (toBefore < length && toAfter < length && toAfter == toBefore + 1) {
                JunctionGene g = base;
                g.basesBefore = toBefore + 1;
                g.basesAfter = length - toAfter;
                const bool seen =
                    std::any_of(genes.crossing.begin(), genes.crossing.end(), [&](const JunctionGene& c) {
                        return c.name == g.name && c.basesBefore == g.basesBefore;
                    });
                if (!seen) {
                    genes.crossing.push_back(g);
                }
                continue;
            }
            // Beside: the bases from the gene's end to the junction, and from
            // the junction to the gene's start.
            JunctionGene left = base;
            left.distance = wrapped(before - s.last, n);
            if (!genes.before || left.distance < genes.before->distance) {
                genes.before = left;
            }
            JunctionGene right = base;
            right.distance = wrapped(s.first - after, n);
            if (!genes.after || right.distance < genes.after->distance) {
                genes.after = right;
            }
        }
        if (!genes.crossing.empty()) {
            genes.before.reset();
            genes.after.reset();
        }
    }
    return result;
}

std::string statusText(const AnnotationCheck& check)
{
    switch (check.status) {
        case AnnotationCheck::Status::Agrees:
            return "agrees";
        case AnnotationCheck::Status::Differs:
            return "differs by " + std::to_string(check.difference) +
                   (check.difference == 1 ? " base" : " bases");
        case AnnotationCheck::Status::Missing:
            return "missing";
    }
    return "";
}

std::vector<AnnotationCheck> checkAnnotation(const PlastomeStructure& structure,
                                             const std::vector<RawFeature>& features)
{
    std::vector<AnnotationCheck> checks;
    const std::int64_t n = structure.genomeLength;
    if (!structure.found || n == 0) {
        return checks;
    }
    struct Annotated {
        std::int64_t start;
        std::int64_t length;
        const RawFeature* feature;
    };
    std::vector<Annotated> copies;
    std::array<std::vector<Annotated>, 4> junctions;
    for (const RawFeature& f : features) {
        if (f.key != "repeat_region" && f.key != "misc_feature") {
            continue;
        }
        const std::string naming = namingText(f);
        // A site a^b names the junction between a and b.
        std::optional<FeatureLocation> location;
        const std::size_t caret = f.location.find('^');
        if (caret != std::string::npos) {
            location = parseLocation(f.location.substr(caret + 1));
        } else {
            location = parseLocation(f.location);
        }
        if (!location) {
            continue;
        }
        const std::int64_t start = location->first - 1;
        const std::int64_t length = wrapped(location->last - location->first, n) + 1;
        bool isJunction = false;
        for (std::size_t j = 0; j < 4; ++j) {
            if (hasWord(naming, junctionName(static_cast<PlastomeJunction>(j)))) {
                junctions[j].push_back({start, length, &f});
                isJunction = true;
            }
        }
        if (isJunction) {
            continue;
        }
        const bool inverted = hasWord(naming, "inverted") || hasWord(naming, "IR") ||
                              hasWord(naming, "IRa") || hasWord(naming, "IRb") ||
                              hasWord(naming, "inverted repeat");
        if (inverted) {
            copies.push_back({start, length, &f});
        }
    }
    for (const PlastomePart part : {PlastomePart::IrB, PlastomePart::IrA}) {
        const PlastomeRegion& r = structure.region(part);
        AnnotationCheck check;
        check.what = std::string(partName(part));
        const Annotated* best = nullptr;
        std::int64_t bestOverlap = 0;
        for (const Annotated& a : copies) {
            const std::int64_t shared = overlap(r.start, r.length, a.start, a.length, n);
            if (shared > bestOverlap) {
                bestOverlap = shared;
                best = &a;
            }
        }
        if (best != nullptr) {
            const std::int64_t startOff = circularDistance(best->start, r.start, n);
            const std::int64_t endOff = circularDistance(best->start + best->length, r.start + r.length, n);
            check.difference = std::max(startOff, endOff);
            check.status =
                check.difference == 0 ? AnnotationCheck::Status::Agrees : AnnotationCheck::Status::Differs;
            check.annotated = describedText(*best->feature);
        }
        checks.push_back(std::move(check));
    }
    for (std::size_t j = 0; j < 4; ++j) {
        if (junctions[j].empty()) {
            continue;
        }
        const auto junction = static_cast<PlastomeJunction>(j);
        AnnotationCheck check;
        check.what = std::string(junctionName(junction));
        // The annotated base nearest the junction stands for it.
        std::int64_t nearest = n;
        const Annotated* best = nullptr;
        for (const Annotated& a : junctions[j]) {
            const std::int64_t d =
                std::min(circularDistance(a.start, structure.after(junction), n),
                         circularDistance(a.start + a.length, structure.after(junction), n));
            if (d < nearest) {
                nearest = d;
                best = &a;
            }
        }
        check.difference = nearest;
        check.status = nearest == 0 ? AnnotationCheck::Status::Agrees : AnnotationCheck::Status::Differs;
        check.annotated = describedText(*best->feature);
        checks.push_back(std::move(check));
    }
    return checks;
}

}  // namespace tessaron
