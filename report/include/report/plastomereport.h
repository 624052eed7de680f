#pragma once

#include "engine/plastomestructure.h"
#include "report/plastomeannotation.h"
#include "report/tablewriter.h"

#include <array>
#include <string_view>
#include <vector>

namespace tessaron {

// The plastome's parts as a report of four tables one after another, each
// with its header row, an empty row between them (1-based positions, GC in
// percent with two decimals):
//   part, start, end, length, gc
//   junction, position ("a^b"), gene, strand, bases_before, bases_after,
//     gene_before, distance_before, gene_after, distance_after
//   difference, kind, irb_position, irb_length, irb_bases, ira_position,
//     ira_length, ira_bases (a side of no bases gives its place as "a^b")
//   annotation, status, annotated
// Without a quadripartite structure: a row "no quadripartite structure",
// then the longest inverted copy seen and the shortest that would count.
void writePlastomeReport(TableWriter& out, const PlastomeStructure& structure,
                         const std::array<JunctionGenes, 4>& genes,
                         const std::vector<AnnotationCheck>& checks);

// The four parts as GFF3 (a version line, the sequence region, then one line
// each: inverted_repeat for the copies, region for the single-copy parts,
// ID and Name the part's name); a part across the origin ends beyond the
// sequence's length. Only the header without a structure.
void writePlastomeGff(TableWriter& out, std::string_view seqid, const PlastomeStructure& structure);
// Only the four parts' lines, each ID begun with `idPrefix` (several
// records in one file: unique IDs under one header).
void writePlastomeGffParts(TableWriter& out, std::string_view seqid, const PlastomeStructure& structure,
                           std::string_view idPrefix = {});

// The four parts as BED6: seqid, 0-based start, exclusive end (beyond the
// length across the origin), name, score 0, strand (+ for IRb, - for IRa,
// . for the single-copy parts).
void writePlastomeBed(TableWriter& out, std::string_view seqid, const PlastomeStructure& structure);

// One row per genome for a batch: file, record, accession, length,
// quadripartite (yes/no), then per part start, end, length and gc, the four
// junctions, the copies' identity in percent and the number of differences.
void writePlastomeTableHeader(TableWriter& out);
void writePlastomeTableRow(TableWriter& out, std::string_view file, std::string_view record,
                           std::string_view accession, const PlastomeStructure& structure);

}  // namespace tessaron
