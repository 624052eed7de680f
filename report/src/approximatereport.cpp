#include "report/approximatereport.h"

#include "engine/repeatkinds.h"
#include "paircopies.h"

#include <cmath>
#include <cstdio>

namespace tessaron {

namespace {

std::string formatted(const char* format, double value)
{
    char text[32];
    const int written = std::snprintf(text, sizeof text, format, value);
    return std::string(text, static_cast<std::size_t>(written > 0 ? written : 0));
}

}  // namespace

SheetLayout approximateSummaryLayout(const ApproximateClassCounts& counts, int minLength)
{
    SheetLayout layout;
    int row = 1;
    for (const RepeatKind kind : kKindOrder) {
        if (row > 1) {
            ++row;  // one empty row between two kinds
        }
        layout.cells.push_back({row, 1, std::string(kindInfo(kind).heading) + ":"});
        ++row;
        const auto& perClass = counts[static_cast<std::size_t>(kind)];
        for (std::size_t index = 0; index < perClass.size(); ++index) {
            layout.cells.push_back({row, 1, approximateLengthClassName(index, minLength)});
            layout.cells.push_back({row, 2, std::to_string(perClass[index])});
            ++row;
        }
    }
    return layout;
}

std::string identityText(double identity)
{
    return formatted("%.2f", identity);
}

std::string evalueText(double evalue)
{
    return formatted("%.3g", evalue);
}

std::string approximatePairName(RepeatKind kind, std::size_t index)
{
    return std::string(kindName(kind)) + "-" + std::to_string(index + 1);
}

void writeApproximatePairsHeader(TableWriter& out, bool withFeatures, bool withSeqid)
{
    paircopies::writeHeader(out, withFeatures, withSeqid, {});
}

void writeApproximatePairs(TableWriter& out, const ApproximateResult& result, const FeatureIndex* features,
                           std::string_view seqid)
{
    paircopies::writeRows(out, result, features, seqid, [](const ApproximatePair&) {});
}

void paircopies::writeHeader(TableWriter& out, bool withFeatures, bool withSeqid,
                             std::span<const char* const> trailing)
{
    if (withSeqid) {
        out.cell("seqid");
    }
    for (const char* name : {"kind", "length", "mismatches", "first", "second", "identity", "evalue"}) {
        out.cell(name);
    }
    if (withFeatures) {
        out.cell("first_features");
        out.cell("second_features");
    }
    for (const char* name : trailing) {
        out.cell(name);
    }
    out.endRow();
}

std::int64_t approximateScore(double identity)
{
    return static_cast<std::int64_t>(std::lround(identity * 10.0));
}

void writeApproximateSummaryRows(TableWriter& out, std::string_view seqid,
                                 const ApproximateClassCounts& counts, int minLength)
{
    for (const RepeatKind kind : kKindOrder) {
        const auto& perClass = counts[static_cast<std::size_t>(kind)];
        for (std::size_t index = 0; index < perClass.size(); ++index) {
            out.cell(seqid);
            out.cell(kindName(kind));
            out.cell(approximateLengthClassName(index, minLength));
            out.cell(perClass[index]);
            out.endRow();
        }
    }
}

}  // namespace tessaron
