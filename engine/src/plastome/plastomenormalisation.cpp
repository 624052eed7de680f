#include "engine/plastomenormalisation.h"

#include "bases.h"

#include <algorithm>
#include <cstddef>

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

NormalisedPlastome normalisePlastome(std::string_view sequence, const PlastomeStructure& structure)
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
    result.strandReversed = reverseReadsLower(pieceText(sequence, {lsc.start, lsc.length, false}));
    const bool flip = result.strandReversed;
    // On the other strand the parts come in the opposite order, each reversed.
    std::vector<SequencePiece> order =
        flip ? std::vector<SequencePiece>{piece(PlastomePart::Lsc, true), piece(PlastomePart::IrA, true),
                                          piece(PlastomePart::Ssc, true), piece(PlastomePart::IrB, true)}
             : std::vector<SequencePiece>{piece(PlastomePart::Lsc, false), piece(PlastomePart::IrB, false),
                                          piece(PlastomePart::Ssc, false), piece(PlastomePart::IrA, false)};
    if (reverseReadsLower(pieceText(sequence, order[2]))) {
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
