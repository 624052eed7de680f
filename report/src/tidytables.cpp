#include "report/tidytables.h"

#include "engine/repeatkinds.h"

#include <cstdio>
#include <string>

namespace tessaron {

namespace {

// Six significant digits, as statistics packages read them back.
std::string decimal(double value)
{
    char text[32];
    const int written = std::snprintf(text, sizeof text, "%.6g", value);
    return std::string(text, static_cast<std::size_t>(written > 0 ? written : 0));
}

void controlCells(TableWriter& out, const ControlStats& stats)
{
    out.cell(decimal(stats.mean));
    out.cell(decimal(stats.sd));
    out.cell(stats.z ? decimal(*stats.z) : std::string());
}

}  // namespace

void writeControlTable(TableWriter& out, const ControlReport& report)
{
    for (const char* name : {"kind", "repeat_length", "pairs", "control_mean", "control_sd", "z"}) {
        out.cell(name);
    }
    out.endRow();
    for (const RepeatKind kind : kKindOrder) {
        const auto& stats = report.stats[static_cast<std::size_t>(kind)];
        for (std::size_t slot = 0; slot < stats.size(); ++slot) {
            out.cell(kindName(kind));
            out.cell(slotLabel(report.method, report.minLength, slot));
            out.cell(stats[slot].observed);
            controlCells(out, stats[slot]);
            out.endRow();
        }
    }
}

void writeBatchHeader(TableWriter& out, bool withControls)
{
    for (const char* name : {"file", "record", "title", "length", "kind", "repeat_length", "pairs"}) {
        out.cell(name);
    }
    if (withControls) {
        for (const char* name : {"control_mean", "control_sd", "z"}) {
            out.cell(name);
        }
    }
    out.endRow();
}

void writeBatchRows(TableWriter& out, const BatchGenome& genome)
{
    const std::string file = genome.file.string();
    for (const RepeatKind kind : kKindOrder) {
        const auto k = static_cast<std::size_t>(kind);
        const std::vector<std::int64_t>& counts = genome.counts[k];
        for (std::size_t slot = 0; slot < counts.size(); ++slot) {
            out.cell(file);
            out.cell(std::int64_t{genome.record});
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
