#include "engine/plastomenormalisation.h"

#include "bases.h"

#include <algorithm>
#include <cstddef>
#include <optional>

namespace tessaron {

namespace {

using plastome::complementOf;
using plastome::upperCase;

std::string pieceText(std::string_view s, const SequencePiece& piece)
{
    const auto n = static_cast<std::int64_t>(s.size());
    std::string text;
    text.reserve(static_cast<std::size_t>(piece.length));
    for (std::int64_t t = 0; t < piece.length; ++t) {
        text.push_back(s[static_cast<std::size_t>((piece.sourceStart + t) % n)]);
    }
    return piece.reversed ? reverseComplementOf(text) : text;
}

// Whether the reverse complement of `text` reads lower than `text` itself.
bool reverseReadsLower(std::string_view text)
{
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char forward = upperCase(text[i]);
        const char reverse = upperCase(complementOf(text[n - 1 - i]));
        if (forward != reverse) {
            return reverse < forward;
        }
    }
    return false;
}

// The bases of a marker inside a region, as offsets from the region's
// start: [from, to), empty when it lies outside.
struct Overlap {
    std::int64_t from = 0;
    std::int64_t to = 0;
};

Overlap overlapIn(const PlastomeMarker& marker, const PlastomeRegion& region, std::int64_t n)
{
    const auto wrap = [n](std::int64_t x) { return ((x % n) + n) % n; };
    const std::int64_t length = wrap(marker.last - marker.first) + 1;
    const std::int64_t offset = wrap(marker.first - region.start);
    if (offset < region.length) {
        return {offset, std::min(offset + length, region.length)};
    }
    // Begins before the region: it may run into it.
    const std::int64_t end = offset - n + length;
    return end > 0 ? Overlap{0, std::min(end, region.length)} : Overlap{};
}

// Whether the molecule must be read on its other strand for the first
// marker in the LSC to lie on the strand it should (minus for psbA and
// trnH-GUG, plus for rbcL); nothing without such a marker.
std::optional<bool> strandByMarkers(const PlastomeMarkers& markers, const PlastomeStructure& structure,
                                    std::string& decidedBy)
{
    const PlastomeRegion& lsc = structure.region(PlastomePart::Lsc);
    const struct {
        const std::vector<PlastomeMarker>* copies;
        const char* name;
        bool reverseWanted;
    } rules[] = {
        {&markers.psbA, "psbA", true}, {&markers.trnH, "trnH-GUG", true}, {&markers.rbcL, "rbcL", false}};
    for (const auto& rule : rules) {
        for (const PlastomeMarker& marker : *rule.copies) {
            const Overlap inside = overlapIn(marker, lsc, structure.genomeLength);
            if (inside.to > inside.from) {
                decidedBy = rule.name;
                return marker.reverse != rule.reverseWanted;
            }
        }
    }
    return std::nullopt;
}

// Whether the SSC piece must be turned round for ndhF to lie in its first
// half as written (at JSB), else for ycf1 to lie in its second half (at
// JSA); nothing without either in the SSC.
std::optional<bool> sscByMarkers(const PlastomeMarkers& markers, const PlastomeStructure& structure,
                                 bool pieceReversed, std::string& decidedBy)
{
    const PlastomeRegion& ssc = structure.region(PlastomePart::Ssc);
    const std::int64_t n = structure.genomeLength;
    // Twice the middle of a marker's bases in the SSC, as written.
    const auto doubledMiddle = [&](const Overlap& inside) {
        const std::int64_t sum = inside.from + inside.to - 1;
        return pieceReversed ? 2 * (ssc.length - 1) - sum : sum;
    };
    // A marker right in the middle decides nothing: either way round would do.
    for (const PlastomeMarker& marker : markers.ndhF) {
        const Overlap inside = overlapIn(marker, ssc, n);
        if (inside.to > inside.from && doubledMiddle(inside) != ssc.length - 1) {
            decidedBy = "ndhF";
            return doubledMiddle(inside) > ssc.length - 1;
        }
    }
    const PlastomeMarker* most = nullptr;
    Overlap mostInside;
    for (const PlastomeMarker& marker : markers.ycf1) {
        const Overlap inside = overlapIn(marker, ssc, n);
        if (inside.to - inside.from > mostInside.to - mostInside.from) {
            most = &marker;
            mostInside = inside;
        }
    }
    if (most != nullptr && doubledMiddle(mostInside) != ssc.length - 1) {
        decidedBy = "ycf1";
        return doubledMiddle(mostInside) < ssc.length - 1;
    }
    return std::nullopt;
}

}  // namespace

std::string reverseComplementOf(std::string_view sequence)
{
    std::string out(sequence.rbegin(), sequence.rend());
    std::transform(out.begin(), out.end(), out.begin(), complementOf);
    return out;
}

std::int64_t NormalisedPlastome::map(std::int64_t source, bool& reversed) const
{
    const auto n = static_cast<std::int64_t>(sequence.size());
    std::int64_t out = 0;
    for (const SequencePiece& piece : pieces) {
        const std::int64_t offset = ((source - piece.sourceStart) % n + n) % n;
        if (offset < piece.length) {
            reversed = piece.reversed;
            return out + (piece.reversed ? piece.length - 1 - offset : offset);
        }
        out += piece.length;
    }
    reversed = false;
    return -1;
}

NormalisedPlastome normalisePlastome(std::string_view sequence, const PlastomeStructure& structure,
                                     const PlastomeMarkers& markers)
{
    NormalisedPlastome result;
    if (!structure.found || sequence.empty()) {
        return result;
    }
    const auto piece = [&](PlastomePart part, bool reversed) {
        const PlastomeRegion& r = structure.region(part);
        return SequencePiece{r.start, r.length, reversed};
    };
    const PlastomeRegion& lsc = structure.region(PlastomePart::Lsc);
    const std::optional<bool> byMarkers = strandByMarkers(markers, structure, result.strandMarker);
    result.strandReversed = byMarkers.has_value()
                                ? *byMarkers
                                : reverseReadsLower(pieceText(sequence, {lsc.start, lsc.length, false}));
    const bool flip = result.strandReversed;
    // On the other strand the parts come in the opposite order, each reversed.
    std::vector<SequencePiece> order =
        flip ? std::vector<SequencePiece>{piece(PlastomePart::Lsc, true), piece(PlastomePart::IrA, true),
                                          piece(PlastomePart::Ssc, true), piece(PlastomePart::IrB, true)}
             : std::vector<SequencePiece>{piece(PlastomePart::Lsc, false), piece(PlastomePart::IrB, false),
                                          piece(PlastomePart::Ssc, false), piece(PlastomePart::IrA, false)};
    const std::optional<bool> turnSsc = sscByMarkers(markers, structure, order[2].reversed, result.sscMarker);
    if (turnSsc.has_value() ? *turnSsc : reverseReadsLower(pieceText(sequence, order[2]))) {
        order[2].reversed = !order[2].reversed;
        result.sscReversed = true;
    }
    result.sequence.reserve(sequence.size());
    for (const SequencePiece& p : order) {
        if (p.length > 0) {
            result.sequence += pieceText(sequence, p);
            result.pieces.push_back(p);
        }
    }
    return result;
}

}  // namespace tessaron
