#include "engine/plastomenormalisation.h"
#include "engine/plastomestructure.h"
#include "input/records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace tessaron {
namespace {

std::string readBases(const std::string& path)
{
    std::ifstream in(path);
    std::string line;
    std::string bases;
    bool inOrigin = false;
    const bool fasta = path.ends_with(".fasta");
    while (std::getline(in, line)) {
        if (fasta) {
            if (!line.starts_with(">")) {
                bases += line;
            }
            continue;
        }
        if (line.starts_with("ORIGIN")) {
            inOrigin = true;
            continue;
        }
        if (line.starts_with("//")) {
            break;
        }
        if (inOrigin) {
            for (const char c : line) {
                if (std::isalpha(static_cast<unsigned char>(c)) != 0) {
                    bases.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
                }
            }
        }
    }
    return bases;
}

const std::string& chloroplast()
{
    static const std::string bases = readBases(TESSARON_TEST_DATA "/NC_000932.gb");
    return bases;
}

char complement(char c)
{
    switch (c) {
        case 'A':
            return 'T';
        case 'C':
            return 'G';
        case 'G':
            return 'C';
        case 'T':
            return 'A';
        default:
            return c;
    }
}

std::string reverseComplement(std::string s)
{
    std::reverse(s.begin(), s.end());
    std::transform(s.begin(), s.end(), s.begin(), complement);
    return s;
}

std::string randomBases(std::mt19937& rng, std::size_t count)
{
    std::string s(count, 'A');
    std::uniform_int_distribution<int> pick(0, 3);
    for (char& c : s) {
        c = "ACGT"[pick(rng)];
    }
    return s;
}

std::string rotate(const std::string& s, std::int64_t by)
{
    const auto n = static_cast<std::int64_t>(s.size());
    by = ((by % n) + n) % n;
    return s.substr(static_cast<std::size_t>(by)) + s.substr(0, static_cast<std::size_t>(by));
}

std::int64_t wrapped(std::int64_t x, std::int64_t n)
{
    return ((x % n) + n) % n;
}

TEST(PlastomeStructure, ArabidopsisChloroplastHasItsPublishedParts)
{
    const PlastomeStructure s = findPlastomeStructure(chloroplast());
    ASSERT_TRUE(s.found);
    ASSERT_EQ(s.genomeLength, 154478);
    // 1-based: LSC 1..84170, IRb 84171..110434, SSC 110435..128214, IRa 128215..154478.
    EXPECT_EQ(s.region(PlastomePart::Lsc).start, 0);
    EXPECT_EQ(s.region(PlastomePart::Lsc).length, 84170);
    EXPECT_EQ(s.region(PlastomePart::IrB).start, 84170);
    EXPECT_EQ(s.region(PlastomePart::IrB).length, 26264);
    EXPECT_EQ(s.region(PlastomePart::Ssc).start, 110434);
    EXPECT_EQ(s.region(PlastomePart::Ssc).length, 17780);
    EXPECT_EQ(s.region(PlastomePart::IrA).start, 128214);
    EXPECT_EQ(s.region(PlastomePart::IrA).length, 26264);
    EXPECT_EQ(junctionText(s.before(PlastomeJunction::Jlb), s.after(PlastomeJunction::Jlb)), "84170^84171");
    EXPECT_EQ(junctionText(s.before(PlastomeJunction::Jsb), s.after(PlastomeJunction::Jsb)), "110434^110435");
    EXPECT_EQ(junctionText(s.before(PlastomeJunction::Jsa), s.after(PlastomeJunction::Jsa)), "128214^128215");
    EXPECT_EQ(junctionText(s.before(PlastomeJunction::Jla), s.after(PlastomeJunction::Jla)), "154478^1");
    EXPECT_TRUE(s.differences.empty());
    EXPECT_DOUBLE_EQ(s.irIdentity(), 100.0);
    EXPECT_NEAR(s.region(PlastomePart::IrA).gc, s.region(PlastomePart::IrB).gc, 1e-12);
    EXPECT_GT(s.region(PlastomePart::IrA).gc, s.region(PlastomePart::Lsc).gc);
}

TEST(PlastomeStructure, RotationsMoveTheRegions)
{
    const std::string& genome = chloroplast();
    const auto n = static_cast<std::int64_t>(genome.size());
    const PlastomeStructure base = findPlastomeStructure(genome);
    ASSERT_TRUE(base.found);
    // Offsets that put the origin inside each part, at its edges and across both copies.
    std::vector<std::int64_t> offsets = {1,      40000,  84169,  84170,  84171,  90000,  100000,
                                         110433, 110434, 115000, 128213, 128214, 128300, 140000,
                                         154000, 154477, 20000,  60000,  122000, 97302};
    for (const std::int64_t offset : offsets) {
        SCOPED_TRACE(offset);
        const PlastomeStructure moved = findPlastomeStructure(rotate(genome, offset));
        ASSERT_TRUE(moved.found);
        for (std::size_t part = 0; part < 4; ++part) {
            EXPECT_EQ(moved.regions[part].length, base.regions[part].length) << part;
            EXPECT_EQ(moved.regions[part].start, wrapped(base.regions[part].start - offset, n)) << part;
            EXPECT_NEAR(moved.regions[part].gc, base.regions[part].gc, 1e-12);
        }
        EXPECT_TRUE(moved.differences.empty());
    }
}

TEST(PlastomeStructure, ReverseComplementMirrorsTheRegions)
{
    const std::string& genome = chloroplast();
    const auto n = static_cast<std::int64_t>(genome.size());
    const PlastomeStructure base = findPlastomeStructure(genome);
    const PlastomeStructure mirrored = findPlastomeStructure(reverseComplement(genome));
    ASSERT_TRUE(mirrored.found);
    // Read on the other strand, the copy before the LSC becomes the one after it.
    const auto mirror = [&](const PlastomeRegion& r) { return wrapped(n - r.start - r.length, n); };
    EXPECT_EQ(mirrored.region(PlastomePart::Lsc).start, mirror(base.region(PlastomePart::Lsc)));
    EXPECT_EQ(mirrored.region(PlastomePart::Ssc).start, mirror(base.region(PlastomePart::Ssc)));
    EXPECT_EQ(mirrored.region(PlastomePart::IrB).start, mirror(base.region(PlastomePart::IrA)));
    EXPECT_EQ(mirrored.region(PlastomePart::IrA).start, mirror(base.region(PlastomePart::IrB)));
    for (std::size_t part = 0; part < 4; ++part) {
        EXPECT_EQ(mirrored.regions[part].length, base.regions[part].length);
    }
}

// IRb's bases with every listed difference applied must read as IRa's
// reverse complement: the list is complete and its bases are right.
std::string irbEditedToIra(const std::string& genome, const PlastomeStructure& s)
{
    const auto n = static_cast<std::int64_t>(genome.size());
    const PlastomeRegion& b = s.region(PlastomePart::IrB);
    std::string out;
    std::int64_t at = b.start;
    const std::int64_t end = b.start + b.length;
    for (const IrDifference& d : s.differences) {
        std::int64_t start = d.startB;
        while (start < at) {
            start += n;  // IRb across the origin
        }
        for (; at < start; ++at) {
            out.push_back(genome[static_cast<std::size_t>(at % n)]);
        }
        std::string differing;
        for (std::int64_t t = 0; t < d.lengthB; ++t) {
            differing.push_back(genome[static_cast<std::size_t>((start + t) % n)]);
        }
        EXPECT_EQ(differing, d.basesB);
        out += d.basesA;
        at += d.lengthB;
    }
    for (; at < end; ++at) {
        out.push_back(genome[static_cast<std::size_t>(at % n)]);
    }
    return out;
}

std::string regionText(const std::string& genome, const PlastomeRegion& r)
{
    return rotate(genome, r.start).substr(0, static_cast<std::size_t>(r.length));
}

struct Planted {
    std::int64_t position;  // 0-based, in the original genome, inside IRa
    std::string inserted;   // non-empty: inserted before `position`
    std::int64_t deleted;   // bases removed from `position` on
};

// Indels at least 150 bases apart inside IRa, none of them able to slide
// (the bases at its edges differ from their neighbours), so that the place
// of each is unique.
std::vector<Planted> plantPlaces(const std::string& g, std::mt19937& rng, int count, int minLength,
                                 int maxLength)
{
    std::vector<Planted> planted;
    std::uniform_int_distribution<std::int64_t> where(128214 + 300, 154477 - 300);
    std::uniform_int_distribution<int> size(minLength, maxLength);
    std::bernoulli_distribution insert(0.5);
    while (static_cast<int>(planted.size()) < count) {
        const std::int64_t at = where(rng);
        const bool near = std::any_of(planted.begin(), planted.end(), [&](const Planted& p) {
            return std::llabs(p.position - at) < 150 + 2 * maxLength;
        });
        if (near) {
            continue;
        }
        const int length = size(rng);
        const auto u = static_cast<std::size_t>(at);
        if (insert(rng)) {
            std::string x = randomBases(rng, static_cast<std::size_t>(length));
            if (x.front() == g[u] || x.back() == g[u - 1]) {
                continue;
            }
            planted.push_back({at, x, 0});
        } else {
            const auto l = static_cast<std::size_t>(length);
            if (g[u - 1] == g[u + l - 1] || g[u] == g[u + l]) {
                continue;
            }
            planted.push_back({at, "", length});
        }
    }
    std::sort(planted.begin(), planted.end(),
              [](const Planted& a, const Planted& b) { return a.position < b.position; });
    return planted;
}

// Plants the indels and the differences they must give, in IRb's order.
std::pair<std::string, std::vector<IrDifference>> plant(const std::string& g,
                                                        const std::vector<Planted>& planted)
{
    const std::int64_t bStart = 84170;
    const std::int64_t aLast = 154477;
    std::string out = g.substr(0, static_cast<std::size_t>(planted.front().position));
    std::vector<IrDifference> expected;
    std::int64_t shift = 0;
    std::int64_t at = planted.front().position;
    for (const Planted& p : planted) {
        out += g.substr(static_cast<std::size_t>(at), static_cast<std::size_t>(p.position - at));
        IrDifference d;
        d.kind = IrDifference::Kind::Indel;
        if (!p.inserted.empty()) {
            d.startA = p.position + shift;
            d.lengthA = static_cast<std::int64_t>(p.inserted.size());
            d.basesA = reverseComplement(p.inserted);
            d.startB = bStart + aLast - p.position + 1;
            out += p.inserted;
            shift += d.lengthA;
            at = p.position;
        } else {
            d.startA = p.position + shift;
            d.lengthB = p.deleted;
            d.startB = bStart + aLast - (p.position + p.deleted - 1);
            d.basesB = g.substr(static_cast<std::size_t>(d.startB), static_cast<std::size_t>(p.deleted));
            shift -= p.deleted;
            at = p.position + p.deleted;
        }
        expected.push_back(d);
    }
    out += g.substr(static_cast<std::size_t>(at));
    std::reverse(expected.begin(), expected.end());
    return {out, expected};
}

TEST(PlastomeStructure, PlantedIndelsAreListedExactly)
{
    const std::string& genome = chloroplast();
    for (int count = 1; count <= 10; ++count) {
        SCOPED_TRACE(count);
        std::mt19937 rng(static_cast<std::uint32_t>(count * 7919));
        const auto [planted, expected] = plant(genome, plantPlaces(genome, rng, count, 1, 10));
        const PlastomeStructure s = findPlastomeStructure(planted);
        ASSERT_TRUE(s.found);
        EXPECT_EQ(s.region(PlastomePart::IrB).start, 84170);
        EXPECT_EQ(s.region(PlastomePart::IrB).length, 26264);
        EXPECT_EQ(s.region(PlastomePart::IrA).start, 128214);
        EXPECT_EQ(s.region(PlastomePart::IrA).length, static_cast<std::int64_t>(planted.size()) - 128214);
        EXPECT_EQ(s.differences, expected);
        EXPECT_EQ(irbEditedToIra(planted, s),
                  reverseComplement(regionText(planted, s.region(PlastomePart::IrA))));
    }
}

TEST(PlastomeStructure, AKilobaseIndelOrSubstitutionKeepsThePair)
{
    const std::string& genome = chloroplast();
    std::mt19937 rng(42);
    for (const int kind : {0, 1, 2}) {
        SCOPED_TRACE(kind);
        std::string planted;
        if (kind == 2) {
            planted = genome;
            const std::string block = randomBases(rng, 1000);
            planted.replace(140000, 1000, block);
        } else {
            std::vector<Planted> one = plantPlaces(genome, rng, 1, 1000, 1000);
            one.front().inserted.resize(kind == 0 ? one.front().inserted.size() : 0);
            if (kind == 0 && one.front().inserted.empty()) {
                one.front().inserted = randomBases(rng, 1000);
            }
            if (kind == 1) {
                one.front().deleted = 1000;
            }
            const auto [text, expected] = plant(genome, one);
            const PlastomeStructure s = findPlastomeStructure(text);
            ASSERT_TRUE(s.found);
            ASSERT_EQ(s.differences.size(), 1U);
            EXPECT_EQ(std::max(s.differences[0].lengthA, s.differences[0].lengthB), 1000);
            EXPECT_EQ(s.region(PlastomePart::IrB).length, 26264);
            EXPECT_EQ(s.region(PlastomePart::IrA).length, kind == 0 ? 27264 : 25264);
            EXPECT_EQ(irbEditedToIra(text, s),
                      reverseComplement(regionText(text, s.region(PlastomePart::IrA))));
            continue;
        }
        const PlastomeStructure s = findPlastomeStructure(planted);
        ASSERT_TRUE(s.found);
        EXPECT_EQ(s.region(PlastomePart::IrB).start, 84170);
        EXPECT_EQ(s.region(PlastomePart::IrB).length, 26264);
        EXPECT_EQ(s.region(PlastomePart::IrA).length, 26264);
        EXPECT_LT(s.irIdentity(), 98.0);
        EXPECT_EQ(irbEditedToIra(planted, s),
                  reverseComplement(regionText(planted, s.region(PlastomePart::IrA))));
    }
}

TEST(PlastomeStructure, GenomesWithoutALargeInvertedRepeatHaveNoStructure)
{
    std::mt19937 rng(7);
    const std::string mito = readBases(TESSARON_TEST_DATA "/NC_012920.fasta");
    ASSERT_GT(mito.size(), 16000U);
    Genome bacterium;
    const InputFile file = InputFile::read(TESSARON_TEST_DATA "/NC_004829.gb.gz");
    (void)file.load(0, bacterium, 8, 30);
    ASSERT_GT(bacterium.length(), 900000);
    const std::string unknown(20000, 'N');
    for (const std::string& genome : {randomBases(rng, 150000), mito, std::string(bacterium.sequence()),
                                      unknown, std::string("ACGT"), std::string()}) {
        const PlastomeStructure s = findPlastomeStructure(genome);
        EXPECT_FALSE(s.found);
        EXPECT_LT(s.longestIrCandidate, s.minIrLength) << genome.size();
    }
    // The bacterium's longest inverted pair, a few kb, is below 1% of its megabase.
    const PlastomeStructure b = findPlastomeStructure(bacterium.sequence());
    EXPECT_GT(b.longestIrCandidate, 1000);
    EXPECT_EQ(b.minIrLength, 10128);
    EXPECT_TRUE(findPlastomeStructure(bacterium.sequence(), {.minIrFraction = 0}).found);
    // The minimum is a setting: the chloroplast's copies are shorter than 30 kb.
    EXPECT_FALSE(findPlastomeStructure(chloroplast(), {.minIrLength = 30000}).found);
}

// The longest exact inverted pair by its definition: for every centre d,
// runs of positions i with S[i] the complement of S[d - i].
std::int64_t longestExactInvertedRun(const std::string& s)
{
    const auto n = static_cast<std::int64_t>(s.size());
    std::int64_t longest = 0;
    for (std::int64_t d = 0; d < n; ++d) {
        std::int64_t run = 0;
        for (std::int64_t i = 0; i < 2 * n; ++i) {
            const bool pair = s[static_cast<std::size_t>(i % n)] ==
                              complement(s[static_cast<std::size_t>(wrapped(d - i, n))]);
            run = pair ? run + 1 : 0;
            longest = std::max(longest, std::min(run, n));
        }
    }
    return longest;
}

TEST(PlastomeStructure, ExactCopiesMatchTheDefinition)
{
    for (const std::uint32_t seed : {1U, 2U, 3U}) {
        SCOPED_TRACE(seed);
        std::mt19937 rng(seed);
        const std::string ir = randomBases(rng, 1100 + seed * 37);
        const std::string lsc = randomBases(rng, 1600);
        const std::string ssc = randomBases(rng, 450);
        const std::string genome = rotate(lsc + ir + ssc + reverseComplement(ir), seed * 1000);
        const PlastomeStructure s = findPlastomeStructure(genome);
        ASSERT_TRUE(s.found);
        const std::int64_t longest = longestExactInvertedRun(genome);
        EXPECT_EQ(s.region(PlastomePart::IrA).length, longest);
        EXPECT_EQ(s.region(PlastomePart::IrB).length, longest);
        EXPECT_GE(s.region(PlastomePart::Lsc).length, s.region(PlastomePart::Ssc).length);
        EXPECT_EQ(regionText(genome, s.region(PlastomePart::IrB)),
                  reverseComplement(regionText(genome, s.region(PlastomePart::IrA))));
        std::int64_t total = 0;
        for (const PlastomeRegion& r : s.regions) {
            total += r.length;
        }
        EXPECT_EQ(total, static_cast<std::int64_t>(genome.size()));
    }
}

TEST(PlastomeNormalisation, IsomersRotationsAndStrandsGiveOneSequence)
{
    const std::string& genome = chloroplast();
    const PlastomeStructure s = findPlastomeStructure(genome);
    const NormalisedPlastome standard = normalisePlastome(genome, s);
    ASSERT_EQ(standard.sequence.size(), genome.size());
    // The other isomer: the SSC reversed between the copies.
    const PlastomeRegion& ssc = s.region(PlastomePart::Ssc);
    std::string isomer = genome;
    isomer.replace(static_cast<std::size_t>(ssc.start), static_cast<std::size_t>(ssc.length),
                   reverseComplement(regionText(genome, ssc)));
    std::vector<std::string> variants;
    for (const std::string& form : {genome, isomer}) {
        for (const std::int64_t offset : {0, 1, 90000, 110000, 120000, 130000, 154000}) {
            variants.push_back(rotate(form, offset));
            variants.push_back(reverseComplement(rotate(form, offset)));
        }
    }
    for (std::size_t v = 0; v < variants.size(); ++v) {
        SCOPED_TRACE(v);
        const PlastomeStructure found = findPlastomeStructure(variants[v]);
        ASSERT_TRUE(found.found);
        const NormalisedPlastome again = normalisePlastome(variants[v], found);
        EXPECT_TRUE(again.sequence == standard.sequence);
    }
    // The standard form begins with its LSC, and finds the same parts at 1.
    const PlastomeStructure inStandard = findPlastomeStructure(standard.sequence);
    EXPECT_EQ(inStandard.region(PlastomePart::Lsc).start, 0);
    for (std::size_t part = 0; part < 4; ++part) {
        EXPECT_EQ(inStandard.regions[part].length, s.regions[part].length);
    }
    EXPECT_TRUE(normalisePlastome(genome, PlastomeStructure{}).sequence.empty());
}

// Every marker of a set moved as a base at p moves to place(p), on the
// other strand when `turned`.
template <typename Place>
PlastomeMarkers movedMarkers(const PlastomeMarkers& markers, Place place, bool turned)
{
    PlastomeMarkers moved = markers;
    for (auto* copies : {&moved.psbA, &moved.trnH, &moved.rbcL, &moved.ndhF, &moved.ycf1}) {
        for (PlastomeMarker& m : *copies) {
            const std::int64_t first = place(m.first);
            const std::int64_t last = place(m.last);
            m = turned ? PlastomeMarker{last, first, !m.reverse} : PlastomeMarker{first, last, m.reverse};
        }
    }
    return moved;
}

// A plastome in the tobacco layout stays as it is; its rotations, reverse
// complements and other isomer, the marker genes moved with their bases,
// come back to it, whichever markers are annotated.
TEST(PlastomeNormalisation, MarkerGenesDecideAndMoveWithTheirBases)
{
    std::mt19937 rng(17);
    const std::string ir = randomBases(rng, 1500);
    const std::string genome = randomBases(rng, 8000) + ir + randomBases(rng, 2000) + reverseComplement(ir);
    const auto n = static_cast<std::int64_t>(genome.size());
    const std::int64_t sscStart = 9500;
    const std::int64_t sscEnd = 11500;  // exclusive
    struct Case {
        PlastomeMarkers markers;
        std::string strandBy;
        std::string sscBy;
    };
    std::vector<Case> cases(3);
    // psbA before a contrary rbcL; trnH-GUG, and the ycf1 copy with most bases in
    // the SSC (across JSA); rbcL, and ndhF across JSB.
    cases[0].markers.psbA = {{100, 900, true}};
    cases[0].markers.rbcL = {{3000, 4400, true}};
    cases[0].markers.ndhF = {{9600, 9900, false}};
    cases[0].strandBy = "psbA";
    cases[0].sscBy = "ndhF";
    cases[1].markers.trnH = {{10, 80, true}};
    cases[1].markers.ycf1 = {{9400, 9700, false}, {11000, 11800, false}};
    cases[1].strandBy = "trnH-GUG";
    cases[1].sscBy = "ycf1";
    cases[2].markers.rbcL = {{3000, 4400, false}};
    cases[2].markers.ndhF = {{9000, 9520, true}};
    cases[2].strandBy = "rbcL";
    cases[2].sscBy = "ndhF";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.strandBy);
        const PlastomeStructure s = findPlastomeStructure(genome);
        ASSERT_TRUE(s.found);
        const NormalisedPlastome standard = normalisePlastome(genome, s, c.markers);
        EXPECT_TRUE(standard.sequence == genome);
        EXPECT_EQ(standard.strandMarker, c.strandBy);
        EXPECT_EQ(standard.sscMarker, c.sscBy);
        std::string isomer = genome;
        isomer.replace(sscStart, sscEnd - sscStart,
                       reverseComplement(genome.substr(sscStart, sscEnd - sscStart)));
        const auto inSsc = [&](std::int64_t p) {
            return p >= sscStart && p < sscEnd ? sscStart + sscEnd - 1 - p : p;
        };
        for (const bool flipped : {false, true}) {
            const std::string& form = flipped ? isomer : genome;
            // Turning the SSC alone turns only the markers in it; none here crosses its ends
            // but the ycf1 and ndhF copies, whose bases in the SSC are what count.
            PlastomeMarkers markers = c.markers;
            if (flipped) {
                for (auto* copies : {&markers.ndhF, &markers.ycf1}) {
                    for (PlastomeMarker& m : *copies) {
                        const std::int64_t first = std::max(m.first, sscStart);
                        const std::int64_t last = std::min(m.last, sscEnd - 1);
                        m = {inSsc(last), inSsc(first), !m.reverse};
                    }
                }
            }
            for (const std::int64_t by : {0, 3000, 10000, 12500}) {
                for (const bool reversed : {false, true}) {
                    SCOPED_TRACE(std::to_string(by) + (flipped ? " isomer" : "") +
                                 (reversed ? " reversed" : ""));
                    std::string variant = rotate(form, by);
                    PlastomeMarkers moved = movedMarkers(
                        markers, [&](std::int64_t p) { return wrapped(p - by, n); }, false);
                    if (reversed) {
                        variant = reverseComplement(variant);
                        moved = movedMarkers(
                            moved, [&](std::int64_t p) { return n - 1 - p; }, true);
                    }
                    const PlastomeStructure found = findPlastomeStructure(variant);
                    ASSERT_TRUE(found.found);
                    const NormalisedPlastome again = normalisePlastome(variant, found, moved);
                    EXPECT_TRUE(again.sequence == genome);
                    EXPECT_EQ(again.strandMarker, c.strandBy);
                    EXPECT_EQ(again.sscMarker, c.sscBy);
                }
            }
        }
    }
}

TEST(PlastomeNormalisation, MapsEveryBaseToItsNewPlace)
{
    std::mt19937 rng(5);
    const std::string ir = randomBases(rng, 1200);
    const std::string genome =
        rotate(randomBases(rng, 3000) + ir + randomBases(rng, 900) + reverseComplement(ir), 4321);
    const PlastomeStructure s = findPlastomeStructure(genome);
    ASSERT_TRUE(s.found);
    const NormalisedPlastome standard = normalisePlastome(genome, s);
    std::int64_t total = 0;
    for (const SequencePiece& p : standard.pieces) {
        total += p.length;
    }
    ASSERT_EQ(total, static_cast<std::int64_t>(genome.size()));
    for (std::int64_t x = 0; x < static_cast<std::int64_t>(genome.size()); ++x) {
        bool reversed = false;
        const std::int64_t to = standard.map(x, reversed);
        ASSERT_GE(to, 0);
        const char expected =
            reversed ? complement(genome[static_cast<std::size_t>(x)]) : genome[static_cast<std::size_t>(x)];
        ASSERT_EQ(standard.sequence[static_cast<std::size_t>(to)], expected) << x;
    }
}

TEST(PlastomeNormalisation, CopiesThatDifferStillGiveOneSequence)
{
    std::mt19937 rng(99);
    const std::string genome = plant(chloroplast(), plantPlaces(chloroplast(), rng, 5, 1, 10)).first;
    const PlastomeStructure s = findPlastomeStructure(genome);
    ASSERT_EQ(s.differences.size(), 5U);
    const std::string standard = normalisePlastome(genome, s).sequence;
    const PlastomeRegion& ssc = s.region(PlastomePart::Ssc);
    std::string isomer = genome;
    isomer.replace(static_cast<std::size_t>(ssc.start), static_cast<std::size_t>(ssc.length),
                   reverseComplement(regionText(genome, ssc)));
    for (const std::string& variant : {rotate(genome, 150000), reverseComplement(rotate(genome, 100000)),
                                       rotate(isomer, 5000), reverseComplement(isomer)}) {
        const PlastomeStructure found = findPlastomeStructure(variant);
        EXPECT_EQ(found.differences.size(), 5U);
        EXPECT_TRUE(normalisePlastome(variant, found).sequence == standard);
    }
}

}  // namespace
}  // namespace tessaron
