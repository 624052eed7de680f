#include "session/annotatedfeatures.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <string_view>
#include <utility>

namespace tessaron {

namespace {

bool containsWord(std::string_view text, std::string_view word)
{
    const auto found = std::search(text.begin(), text.end(), word.begin(), word.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
    return found != text.end();
}

FeatureType typeOf(const Feature& feature)
{
    switch (feature.color) {
        case kColorGeneDirect:
        case kColorGeneComplement:
            return FeatureType::Gene;
        case kColorTrnaDirect:
        case kColorTrnaComplement:
            return FeatureType::Trna;
        default:
            break;
    }
    if (feature.name == "D-loop") {
        return FeatureType::DLoop;
    }
    const std::string_view name = feature.name;
    if (containsWord(name, "rRNA") || containsWord(name, "ribosomal") || containsWord(name, "rrn") ||
        containsWord(name, "RNR")) {
        return FeatureType::Rrna;
    }
    return FeatureType::OtherRna;
}

Strand strandOf(const Feature& feature)
{
    switch (feature.color) {
        case kColorGeneDirect:
        case kColorTrnaDirect:
            return Strand::Plus;
        case kColorGeneComplement:
        case kColorTrnaComplement:
            return Strand::Minus;
        default:
            return Strand::Unknown;
    }
}

}  // namespace

const char* typeName(FeatureType type)
{
    switch (type) {
        case FeatureType::Gene:
            return "gene";
        case FeatureType::Trna:
            return "tRNA";
        case FeatureType::Rrna:
            return "rRNA";
        case FeatureType::OtherRna:
            return "RNA";
        case FeatureType::DLoop:
            return "D-loop";
    }
    return "";
}

std::vector<AnnotatedFeature> annotateFeatures(const FeatureList& features)
{
    std::vector<AnnotatedFeature> annotated;
    std::map<std::pair<std::int32_t, std::int32_t>, std::size_t> genes;  // by span, the first of each
    for (std::size_t i = 1; i < features.size(); ++i) {
        const Feature& feature = features[i];
        AnnotatedFeature entry{i,  typeOf(feature), strandOf(feature), feature.name,
                               {}, feature.start,   feature.end,       feature.parts};
        if (entry.type == FeatureType::Gene) {
            genes.try_emplace({feature.start, feature.end}, annotated.size());
        }
        annotated.push_back(std::move(entry));
    }
    for (AnnotatedFeature& entry : annotated) {
        const bool rna = entry.type == FeatureType::Trna || entry.type == FeatureType::Rrna ||
                         entry.type == FeatureType::OtherRna;
        if (!rna) {
            continue;
        }
        const Feature& feature = features[entry.feature];
        if (!feature.namedByTag) {
            entry.product = entry.name;
        }
        const auto gene = genes.find({entry.start, entry.end});
        if (gene == genes.end()) {
            continue;
        }
        AnnotatedFeature& partner = annotated[gene->second];
        if (entry.strand == Strand::Unknown) {
            entry.strand = partner.strand;
        }
        if (partner.product.empty()) {
            partner.product = entry.product;
        }
        partner.sameSpanAs = static_cast<std::size_t>(&entry - annotated.data());
    }
    return annotated;
}

Strand strandOf(const AnnotatedFeature& feature, const FeaturePart& part)
{
    if (feature.strand == Strand::Unknown) {
        return Strand::Unknown;
    }
    return part.complement ? Strand::Minus : Strand::Plus;
}

bool shownByParts(const AnnotatedFeature& feature)
{
    const std::vector<FeaturePart>& parts = feature.parts;
    if (parts.size() < 2) {
        return false;
    }
    if (feature.start > feature.end) {
        return true;
    }
    bool ascending = true;
    bool descending = true;
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (parts[k].complement != parts.front().complement || parts[k].start > parts[k].end) {
            return true;
        }
        if (k > 0) {
            ascending = ascending && parts[k].start > parts[k - 1].end;
            descending = descending && parts[k].end < parts[k - 1].start;
        }
    }
    return !ascending && !descending;
}

std::vector<Stretch> stretchesOf(const AnnotatedFeature& feature, std::int64_t length)
{
    std::vector<FeaturePart> parts = feature.parts;
    if (parts.empty()) {
        parts.push_back({feature.start, feature.end, feature.strand == Strand::Minus});
    }
    const bool bothStrands = std::any_of(parts.begin(), parts.end(), [&parts](const FeaturePart& part) {
        return part.complement != parts.front().complement;
    });
    const auto last = static_cast<std::int32_t>(std::max<std::int64_t>(length - 1, 0));
    std::vector<Stretch> stretches;
    for (const FeaturePart& part : parts) {
        const std::int32_t from = std::clamp(part.start, 0, last);
        const std::int32_t to = std::clamp(part.end, 0, last);
        const Strand strand = strandOf(feature, part);
        const std::size_t first = stretches.size();
        if (from <= to) {
            stretches.push_back({from, to, false, strand});
        } else {  // across the origin: up to the end, then on from the start
            stretches.push_back({from, last, false, strand});
            stretches.push_back({0, to, false, strand});
        }
        if (bothStrands) {  // each part ends at its own 3' end
            for (std::size_t k = first; k < stretches.size(); ++k) {
                stretches[k].terminal = (strand == Strand::Plus && stretches[k].to == to) ||
                                        (strand == Strand::Minus && stretches[k].from == from);
            }
        }
    }
    if (bothStrands) {
        return stretches;
    }
    // The 3' end: the end of the last part on the plus strand; on the minus
    // strand, whose parts are listed from the far end, the start of the last
    // part too when written so, else of the first.
    if (feature.strand == Strand::Plus) {
        const std::int32_t end = std::clamp(parts.back().end, 0, last);
        for (Stretch& stretch : stretches) {
            stretch.terminal = stretch.to == end;
        }
    } else if (feature.strand == Strand::Minus) {
        const std::int32_t start = std::clamp(feature.start, 0, last);
        for (Stretch& stretch : stretches) {
            stretch.terminal = stretch.from == start;
        }
    }
    return stretches;
}

}  // namespace tessaron
