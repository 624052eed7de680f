#include "report/tidytables.h"

#include "engine/repeatkinds.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace tessaron {

std::string fullDecimal(double value)
{
    // Fixed notation, never an exponent, with the fewest digits that read
    // back as the same double; the largest double takes 309 digits.
    char text[400];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    return std::string(text, error == std::errc{} ? end : text);
}

namespace {

void controlCells(TableWriter& out, const ControlStats& stats)
{
    out.cell(fullDecimal(stats.mean));
    out.cell(fullDecimal(stats.sd));
    out.cell(stats.z ? fullDecimal(*stats.z) : std::string());
}

}  // namespace

void writeControlHeader(TableWriter& out, bool withSeqid)
{
    if (withSeqid) {
        out.cell("seqid");
    }
    for (const char* name : {"kind", "repeat_length", "pairs", "control_mean", "control_sd", "z"}) {
        out.cell(name);
    }
    out.endRow();
}

void writeControlRows(TableWriter& out, const ControlReport& report, std::string_view seqid)
{
    for (const RepeatKind kind : kKindOrder) {
        const auto& stats = report.stats[static_cast<std::size_t>(kind)];
        for (std::size_t slot = 0; slot < stats.size(); ++slot) {
            if (!seqid.empty()) {
                out.cell(seqid);
            }
            out.cell(kindName(kind));
            out.cell(slotLabel(report.method, report.minLength, slot));
            out.cell(stats[slot].observed);
            controlCells(out, stats[slot]);
            out.endRow();
        }
    }
}

void writeControlTable(TableWriter& out, const ControlReport& report)
{
    writeControlHeader(out, false);
    writeControlRows(out, report);
}

void writeSummaryTableHeader(TableWriter& out)
{
    for (const char* name : {"seqid", "kind", "repeat_length", "pairs"}) {
        out.cell(name);
    }
    out.endRow();
}

void writeSummaryTableRows(TableWriter& out, std::string_view seqid, int minLength, int maxLength,
                           const PairCountsByKind& counts)
{
    for (const RepeatKind kind : kKindOrder) {
        const std::vector<std::int64_t>& pairs = counts[static_cast<std::size_t>(kind)];
        const auto slots = static_cast<std::size_t>(std::max(maxLength - minLength + 1, 0));
        for (std::size_t slot = 0; slot < std::max(slots, pairs.size()); ++slot) {
            const std::int64_t count = slot < pairs.size() ? pairs[slot] : 0;
            if (slot >= slots && count == 0) {
                continue;
            }
            out.cell(seqid);
            out.cell(kindName(kind));
            out.cell(std::int64_t{minLength} + static_cast<std::int64_t>(slot));
            out.cell(count);
            out.endRow();
        }
    }
}

void writeMotifTableHeader(TableWriter& out)
{
    for (const char* name : {"seqid", "motif", "start"}) {
        out.cell(name);
    }
    out.endRow();
}

void writeMotifTableRows(TableWriter& out, std::string_view seqid, std::string_view motif,
                         const PositionList& starts)
{
    std::vector<std::int64_t> sorted(starts.begin(), starts.end());
    std::sort(sorted.begin(), sorted.end());
    for (const std::int64_t start : sorted) {
        out.cell(seqid);
        out.cell(motif);
        out.cell(start + 1);
        out.endRow();
    }
}

void writeComparisonTable(TableWriter& out, const GenomeComparison& comparison)
{
    for (const char* name : {"seqid", "genome", "kind", "repeat_length", "pairs"}) {
        out.cell(name);
    }
    out.endRow();
    const std::string_view kind = kindName(comparison.kind);
    for (const ComparisonRow& row : comparison.rows) {
        const std::string& seqid = row.seqid.empty() ? row.fileTitle : row.seqid;
        for (int length = comparison.minLength; length <= comparison.maxLength; ++length) {
            const auto slot = static_cast<std::size_t>(length - comparison.minLength);
            out.cell(seqid);
            out.cell(row.fileTitle);
            out.cell(kind);
            out.cell(slotLabel(comparison.method, comparison.minLength, slot));
            out.cell(slot < row.counts.size() ? row.counts[slot] : 0);
            out.endRow();
        }
        if (comparison.countsLonger) {
            out.cell(seqid);
            out.cell(row.fileTitle);
            out.cell(kind);
            out.cell("");
            out.cell(row.longer);
            out.endRow();
        }
    }
}

void writeBatchHeader(TableWriter& out, bool withControls, bool seqidColumn)
{
    for (const char* name : {"file", "record", seqidColumn ? "seqid" : "accession", "title", "length", "kind",
                             "repeat_length", "pairs"}) {
        out.cell(name);
    }
    if (withControls) {
        for (const char* name : {"control_mean", "control_sd", "z"}) {
            out.cell(name);
        }
    }
    out.endRow();
}

void writeBatchRows(TableWriter& out, const BatchGenome& genome, std::string_view seqid)
{
    const std::string file = genome.file.string();
    for (const RepeatKind kind : kKindOrder) {
        const auto k = static_cast<std::size_t>(kind);
        const std::vector<std::int64_t>& counts = genome.counts[k];
        for (std::size_t slot = 0; slot < counts.size(); ++slot) {
            out.cell(file);
            out.cell(std::int64_t{genome.record});
            out.cell(seqid.empty() ? std::string_view(genome.accession) : seqid);
            out.cell(genome.title);
            out.cell(genome.length);
            out.cell(kindName(kind));
            out.cell(slotLabel(genome.method, genome.minLength, slot));
            out.cell(counts[slot]);
            if (genome.controls) {
                controlCells(out, genome.controls->stats[k][slot]);
            }
            out.endRow();
        }
    }
}

}  // namespace tessaron
