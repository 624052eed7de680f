#include "report/gappedreport.h"

#include "engine/repeatkinds.h"
#include "paircopies.h"

namespace tessaron {

void writeGappedPairsHeader(TableWriter& out, bool withFeatures, bool withSeqid)
{
    static constexpr const char* kGapColumns[] = {"second_length", "insertions", "deletions", "cigar"};
    paircopies::writeHeader(out, withFeatures, withSeqid, kGapColumns);
}

void writeGappedPairs(TableWriter& out, const GappedResult& result, const FeatureIndex* features,
                      std::string_view seqid)
{
    paircopies::writeRows(out, result, features, seqid, [&](const GappedPair& pair) {
        out.cell(pair.secondLength);
        out.cell(pair.insertions);
        out.cell(pair.deletions);
        out.cell(pair.cigar);
    });
}

std::string copyRange(std::int64_t genomeLength, std::int64_t start, std::int64_t length)
{
    std::int64_t end = start + length;  // 1-based inclusive end
    if (genomeLength > 0 && end > genomeLength) {
        end -= genomeLength;
    }
    return std::to_string(start + 1) + ".." + std::to_string(end);
}

std::string familyKinds(const RepeatFamily& family)
{
    std::string kinds;
    for (const RepeatKind kind : kKindOrder) {
        if (family.kinds[static_cast<std::size_t>(kind)]) {
            if (!kinds.empty()) {
                kinds += ',';
            }
            kinds += kindName(kind);
        }
    }
    return kinds;
}

void writeFamiliesHeader(TableWriter& out, bool withSeqid)
{
    if (withSeqid) {
        out.cell("seqid");
    }
    for (const char* name :
         {"family", "copies", "representative", "min_length", "max_length", "kinds", "copy", "strand"}) {
        out.cell(name);
    }
    out.endRow();
}

void writeFamilies(TableWriter& out, std::int64_t genomeLength, std::span<const RepeatFamily> families,
                   std::string_view seqid)
{
    for (std::size_t index = 0; index < families.size(); ++index) {
        const RepeatFamily& family = families[index];
        const FamilyCopy& representative = family.copies[family.representative];
        const std::string representativeText =
            copyRange(genomeLength, representative.start, representative.length);
        const std::string kinds = familyKinds(family);
        for (const FamilyCopy& copy : family.copies) {
            if (!seqid.empty()) {
                out.cell(seqid);
            }
            out.cell(static_cast<std::int64_t>(index + 1));
            out.cell(static_cast<std::int64_t>(family.copies.size()));
            out.cell(representativeText);
            out.cell(family.shortest);
            out.cell(family.longest);
            out.cell(kinds);
            out.cell(copyRange(genomeLength, copy.start, copy.length));
            out.cell(orientationName(copy.orientation));
            out.endRow();
        }
    }
}

}  // namespace tessaron
