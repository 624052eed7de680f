#include "session/iupacmotif.h"

#include <array>
#include <cctype>

namespace tessaron {

namespace {

constexpr std::uint8_t kA = 1;
constexpr std::uint8_t kC = 2;
constexpr std::uint8_t kG = 4;
constexpr std::uint8_t kT = 8;
// A gap of the sequence: no base, matched only by N.
constexpr std::uint8_t kGap = 16;

constexpr std::array<std::uint8_t, 256> makeCodes()
{
    std::array<std::uint8_t, 256> codes{};
    const auto set = [&codes](char upper, std::uint8_t bases) {
        codes[static_cast<unsigned char>(upper)] = bases;
        codes[static_cast<unsigned char>(upper - 'A' + 'a')] = bases;
    };
    set('A', kA);
    set('C', kC);
    set('G', kG);
    set('T', kT);
    set('U', kT);
    set('R', kA | kG);
    set('Y', kC | kT);
    set('S', kC | kG);
    set('W', kA | kT);
    set('K', kG | kT);
    set('M', kA | kC);
    set('B', kC | kG | kT);
    set('D', kA | kG | kT);
    set('H', kA | kC | kT);
    set('V', kA | kC | kG);
    set('N', kA | kC | kG | kT | kGap);
    return codes;
}

constexpr std::array<std::uint8_t, 256> kCodes = makeCodes();

// The codes of a pattern, ready to be tested against the sequence.
std::vector<std::uint8_t> patternOf(std::string_view motif)
{
    std::vector<std::uint8_t> pattern;
    pattern.reserve(motif.size());
    for (const char code : motif) {
        pattern.push_back(kCodes[static_cast<unsigned char>(code)]);
    }
    return pattern;
}

// The sequence's letter as the codes see it: one base, or a gap.
std::uint8_t baseOf(char letter)
{
    const std::uint8_t bases = kCodes[static_cast<unsigned char>(letter)];
    return (bases == kA || bases == kC || bases == kG || bases == kT) ? bases : kGap;
}

// The mismatches of `pattern` at `start`, or -1 once they pass `most`.
int mismatchesAt(const std::vector<std::uint8_t>& bases, std::size_t start,
                 const std::vector<std::uint8_t>& pattern, int most)
{
    const std::size_t n = bases.size();
    int found = 0;
    std::size_t at = start;
    for (const std::uint8_t code : pattern) {
        if ((bases[at] & code) == 0 && ++found > most) {
            return -1;
        }
        if (++at == n) {
            at = 0;
        }
    }
    return found;
}

}  // namespace

std::uint8_t iupacBases(char code)
{
    return kCodes[static_cast<unsigned char>(code)] & (kA | kC | kG | kT);
}

std::optional<std::string> motifProblem(std::string_view motif)
{
    if (motif.empty()) {
        return std::string("The motif is empty.");
    }
    for (const char letter : motif) {
        if (iupacBases(letter) == 0) {
            return std::string("'") + letter +
                   "' is not an IUPAC code: use A, C, G, T, U, N, R, Y, S, W, K, M, B, D, H or V.";
        }
    }
    return std::nullopt;
}

std::string iupacReverseComplement(std::string_view motif)
{
    // Each code stands for the complements of its bases.
    static constexpr std::string_view kFrom = "ACGTURYSWKMBDHVN";
    static constexpr std::string_view kTo = "TGCAAYRSWMKVHDBN";
    std::string reversed;
    reversed.reserve(motif.size());
    for (auto it = motif.rbegin(); it != motif.rend(); ++it) {
        const std::size_t at = kFrom.find(static_cast<char>(std::toupper(static_cast<unsigned char>(*it))));
        reversed.push_back(at == std::string_view::npos ? *it : kTo[at]);
    }
    return reversed;
}

MotifSearchResult findMotifHits(std::string_view sequence, const MotifQuery& query, std::size_t limit)
{
    MotifSearchResult result;
    const std::size_t length = query.motif.size();
    if (motifProblem(query.motif) || length > sequence.size() || query.mismatches < 0) {
        return result;
    }
    std::vector<std::uint8_t> bases;
    bases.reserve(sequence.size());
    for (const char letter : sequence) {
        bases.push_back(baseOf(letter));
    }
    const std::vector<std::uint8_t> forward = patternOf(query.motif);
    const std::vector<std::uint8_t> reverse = patternOf(iupacReverseComplement(query.motif));
    const bool searchReverse = query.bothStrands && reverse != forward;
    const std::size_t starts = query.circular ? sequence.size() : sequence.size() - length + 1;
    for (std::size_t start = 0; start < starts; ++start) {
        for (const bool onReverse : {false, true}) {
            if (onReverse && !searchReverse) {
                continue;
            }
            const int found = mismatchesAt(bases, start, onReverse ? reverse : forward, query.mismatches);
            if (found < 0) {
                continue;
            }
            if (result.hits.size() == limit) {
                result.truncated = true;
                return result;
            }
            result.hits.push_back({static_cast<int>(start), onReverse, found});
        }
    }
    return result;
}

}  // namespace tessaron
