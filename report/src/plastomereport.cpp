#include "report/plastomereport.h"

#include "report/approximatereport.h"

#include <string>

namespace tessaron {

namespace plastomereport {

constexpr PlastomePart kParts[] = {PlastomePart::Lsc, PlastomePart::IrB, PlastomePart::Ssc,
                                   PlastomePart::IrA};
constexpr PlastomeJunction kJunctions[] = {PlastomeJunction::Jlb, PlastomeJunction::Jsb,
                                           PlastomeJunction::Jsa, PlastomeJunction::Jla};

std::string percent(double fraction)
{
    return identityText(100.0 * fraction);
}

void header(TableWriter& out, std::initializer_list<std::string_view> names)
{
    for (const std::string_view name : names) {
        out.cell(name);
    }
    out.endRow();
}

// 1-based position of a stretch: its first base, or "a^b" for an empty one.
std::string placeText(std::int64_t start, std::int64_t length, std::int64_t n)
{
    if (length == 0) {
        return junctionText((start + n - 1) % n, start);
    }
    return std::to_string(start + 1);
}

std::string strandText(bool reverse)
{
    return reverse ? "-" : "+";
}

}  // namespace plastomereport

using namespace plastomereport;

void writePlastomeReport(TableWriter& out, const PlastomeStructure& structure,
                         const std::array<JunctionGenes, 4>& genes,
                         const std::vector<AnnotationCheck>& checks)
{
    const std::int64_t n = structure.genomeLength;
    if (!structure.found) {
        out.cell("no quadripartite structure");
        out.endRow();
        out.cell("longest inverted copy");
        out.cell(structure.longestIrCandidate);
        out.endRow();
        out.cell("shortest copy counted");
        out.cell(structure.minIrLength);
        out.endRow();
        return;
    }
    header(out, {"part", "start", "end", "length", "gc"});
    for (const PlastomePart part : kParts) {
        const PlastomeRegion& r = structure.region(part);
        out.cell(partName(part));
        out.cell(r.start + 1);
        out.cell(r.last(n) + 1);
        out.cell(r.length);
        out.cell(percent(r.gc));
        out.endRow();
    }
    out.endRow();
    header(out, {"junction", "position", "gene", "strand", "bases_before", "bases_after", "gene_before",
                 "distance_before", "gene_after", "distance_after"});
    for (std::size_t j = 0; j < 4; ++j) {
        const PlastomeJunction junction = kJunctions[j];
        const std::string position = junctionText(structure.before(junction), structure.after(junction));
        const JunctionGenes& g = genes[j];
        const auto start = [&] {
            out.cell(junctionName(junction));
            out.cell(position);
        };
        for (const JunctionGene& crossing : g.crossing) {
            start();
            out.cell(crossing.name);
            out.cell(strandText(crossing.reverse));
            out.cell(crossing.basesBefore);
            out.cell(crossing.basesAfter);
            for (int empty = 0; empty < 4; ++empty) {
                out.cell("");
            }
            out.endRow();
        }
        if (g.crossing.empty()) {
            start();
            for (int empty = 0; empty < 4; ++empty) {
                out.cell("");
            }
            for (const std::optional<JunctionGene>* side : {&g.before, &g.after}) {
                if (side->has_value()) {
                    out.cell((*side)->name);
                    out.cell((*side)->distance);
                } else {
                    out.cell("");
                    out.cell("");
                }
            }
            out.endRow();
        }
    }
    out.endRow();
    header(out, {"difference", "kind", "irb_position", "irb_length", "irb_bases", "ira_position",
                 "ira_length", "ira_bases"});
    std::int64_t index = 0;
    for (const IrDifference& d : structure.differences) {
        out.cell(++index);
        out.cell(d.kind == IrDifference::Kind::Mismatch ? "mismatch" : "indel");
        out.cell(placeText(d.startB, d.lengthB, n));
        out.cell(d.lengthB);
        out.cell(d.basesB);
        out.cell(placeText(d.startA, d.lengthA, n));
        out.cell(d.lengthA);
        out.cell(d.basesA);
        out.endRow();
    }
    out.endRow();
    header(out, {"annotation", "status", "annotated"});
    for (const AnnotationCheck& check : checks) {
        out.cell(check.what);
        out.cell(statusText(check));
        out.cell(check.annotated);
        out.endRow();
    }
}

void writePlastomeGff(TableWriter& out, std::string_view seqid, const PlastomeStructure& structure)
{
    out.cell("##gff-version 3");
    out.endRow();
    out.cell("##sequence-region " + std::string(seqid) + " 1 " + std::to_string(structure.genomeLength));
    out.endRow();
    writePlastomeGffParts(out, seqid, structure);
}

void writePlastomeGffParts(TableWriter& out, std::string_view seqid, const PlastomeStructure& structure,
                           std::string_view idPrefix)
{
    if (!structure.found) {
        return;
    }
    for (const PlastomePart part : kParts) {
        const PlastomeRegion& r = structure.region(part);
        if (r.length == 0) {
            continue;
        }
        const bool copy = part == PlastomePart::IrA || part == PlastomePart::IrB;
        const std::string name(partName(part));
        out.cell(seqid);
        out.cell("tessaron");
        out.cell(copy ? "inverted_repeat" : "region");
        out.cell(r.start + 1);
        out.cell(r.start + r.length);
        out.cell(".");
        out.cell(part == PlastomePart::IrA ? "-" : (part == PlastomePart::IrB ? "+" : "."));
        out.cell(".");
        out.cell("ID=" + std::string(idPrefix) + name + ";Name=" + name);
        out.endRow();
    }
}

void writePlastomeBed(TableWriter& out, std::string_view seqid, const PlastomeStructure& structure)
{
    if (!structure.found) {
        return;
    }
    for (const PlastomePart part : kParts) {
        const PlastomeRegion& r = structure.region(part);
        if (r.length == 0) {
            continue;
        }
        out.cell(seqid);
        out.cell(r.start);
        out.cell(r.start + r.length);
        out.cell(partName(part));
        out.cell(std::int64_t{0});
        out.cell(part == PlastomePart::IrA ? "-" : (part == PlastomePart::IrB ? "+" : "."));
        out.endRow();
    }
}

void writePlastomeTableHeader(TableWriter& out)
{
    for (const std::string_view name : {"file", "record", "accession", "length", "quadripartite"}) {
        out.cell(name);
    }
    for (const std::string_view part : {"lsc", "irb", "ssc", "ira"}) {
        for (const std::string_view field : {"_start", "_end", "_length", "_gc"}) {
            out.cell(std::string(part) + std::string(field));
        }
    }
    for (const std::string_view name : {"jlb", "jsb", "jsa", "jla", "ir_identity", "ir_differences"}) {
        out.cell(name);
    }
    out.endRow();
}

void writePlastomeTableRow(TableWriter& out, std::string_view file, std::string_view record,
                           std::string_view accession, const PlastomeStructure& structure)
{
    const std::int64_t n = structure.genomeLength;
    out.cell(file);
    out.cell(record);
    out.cell(accession);
    out.cell(n);
    out.cell(structure.found ? "yes" : "no");
    for (const PlastomePart part : kParts) {
        const PlastomeRegion& r = structure.region(part);
        if (structure.found) {
            out.cell(r.start + 1);
            out.cell(r.last(n) + 1);
            out.cell(r.length);
            out.cell(percent(r.gc));
        } else {
            for (int empty = 0; empty < 4; ++empty) {
                out.cell("");
            }
        }
    }
    for (const PlastomeJunction junction : kJunctions) {
        out.cell(structure.found ? junctionText(structure.before(junction), structure.after(junction)) : "");
    }
    if (structure.found) {
        out.cell(identityText(structure.irIdentity()));
        out.cell(static_cast<std::int64_t>(structure.differences.size()));
    } else {
        out.cell("");
        out.cell("");
    }
    out.endRow();
}

}  // namespace tessaron
