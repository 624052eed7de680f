#include "report/approximatereport.h"

#include "engine/repeatkinds.h"
#include "report/gffreport.h"

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

// The second copy of an inverted pair reads on the other strand.
std::string_view secondStrand(RepeatKind kind)
{
    return kind == RepeatKind::Inverted ? "-" : "+";
}

std::int64_t bedScore(double identity)
{
    return static_cast<std::int64_t>(std::lround(identity * 10.0));
}

// A feature name as a GFF3 attribute value: control bytes and ; = & , %
// escaped as %XX.
void appendEscaped(std::string& out, std::string_view text)
{
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        if (byte < 0x20 || byte == 0x7F || std::string_view(";=&,%").find(ch) != std::string_view::npos) {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
            out += escaped;
        } else {
            out += ch;
        }
    }
}

}  // namespace

SheetLayout approximateSummaryLayout(const ApproximateClassCounts& counts)
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
            layout.cells.push_back({row, 1, std::string(kApproximateLengthClasses[index])});
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

void writeApproximatePairsHeader(TableWriter& out, bool withFeatures)
{
    for (const char* name : {"kind", "length", "mismatches", "first", "second", "identity", "evalue"}) {
        out.cell(name);
    }
    if (withFeatures) {
        out.cell("first_features");
        out.cell("second_features");
    }
    out.endRow();
}

void writeApproximatePairs(TableWriter& out, const ApproximateResult& result, const FeatureIndex* features)
{
    std::string names;
    const std::string_view kind = kindName(result.kind);
    for (const ApproximatePair& pair : result.pairs) {
        out.cell(kind);
        out.cell(pair.length);
        out.cell(pair.mismatches);
        out.cell(pair.first + 1);
        out.cell(pair.second + 1);
        out.cell(identityText(pair.identity));
        out.cell(evalueText(pair.evalue));
        if (features != nullptr) {
            const auto length = static_cast<int>(pair.length);
            features->describe(pair.first, length, names);
            out.cell(names);
            features->describe(pair.second, length, names);
            out.cell(names);
        }
        out.endRow();
    }
}

void writeApproximateGff(TableWriter& out, std::string_view seqid, std::int64_t length,
                         std::span<const ApproximateResult> results, const FeatureIndex* features)
{
    const std::string id = gffSeqid(seqid);
    out.cell("##gff-version 3");
    out.endRow();
    if (length <= 0) {
        return;
    }
    out.cell("##sequence-region " + id + " 1 " + std::to_string(length));
    out.endRow();
    for (const std::string_view cell : {std::string_view(id), std::string_view("tessaron"),
                                        std::string_view("region"), std::string_view("1")}) {
        out.cell(cell);
    }
    out.cell(length);
    for (const char* cell : {".", "+", "."}) {
        out.cell(cell);
    }
    out.cell("ID=" + id + ";Is_circular=true");
    out.endRow();

    std::string attributes;
    const auto copyLine = [&](std::int64_t start, std::int64_t size, std::string_view strand) {
        for (const std::string_view cell :
             {std::string_view(id), std::string_view("tessaron"), std::string_view("repeat_region")}) {
            out.cell(cell);
        }
        out.cell(start + 1);
        out.cell(start + size);
        out.cell(".");
        out.cell(strand);
        out.cell(".");
        if (features != nullptr) {
            const std::size_t kept = attributes.size();
            attributes += ";overlaps=";
            const auto names = features->namesAt(start, static_cast<int>(size));
            for (std::size_t i = 0; i < names.size(); ++i) {
                if (i > 0) {
                    attributes += ',';
                }
                appendEscaped(attributes, names[i]);
            }
            if (names.empty()) {
                attributes += "intergenic";
            }
            out.cell(attributes);
            attributes.resize(kept);
        } else {
            out.cell(attributes);
        }
        out.endRow();
    };
    for (const ApproximateResult& result : results) {
        const RepeatKind kind = result.kind;
        const bool ownType = kind == RepeatKind::Direct || kind == RepeatKind::Inverted;
        const std::string type =
            ownType ? std::string(kindName(kind)) : "other;repeat_kind=" + std::string(kindName(kind));
        for (std::size_t index = 0; index < result.pairs.size(); ++index) {
            const ApproximatePair& pair = result.pairs[index];
            const std::string name = approximatePairName(kind, index);
            const std::string rest = ";repeat_pair=" + name + ";copy=";
            const std::string tail = ";rpt_type=" + type + ";mismatches=" + std::to_string(pair.mismatches) +
                                     ";identity=" + identityText(pair.identity) +
                                     ";evalue=" + evalueText(pair.evalue);
            attributes = "ID=" + name + ".1" + rest + "1" + tail;
            copyLine(pair.first, pair.length, "+");
            attributes = "ID=" + name + ".2" + rest + "2" + tail;
            copyLine(pair.second, pair.length,
                     kind == RepeatKind::Direct || kind == RepeatKind::Inverted ? secondStrand(kind) : ".");
        }
    }
}

void writeApproximateBed(TableWriter& out, std::string_view seqid, std::span<const ApproximateResult> results)
{
    const std::string chrom = gffSeqid(seqid);
    for (const ApproximateResult& result : results) {
        for (std::size_t index = 0; index < result.pairs.size(); ++index) {
            const ApproximatePair& pair = result.pairs[index];
            const std::string name = approximatePairName(result.kind, index);
            for (const bool second : {false, true}) {
                const std::int64_t start = second ? pair.second : pair.first;
                out.cell(chrom);
                out.cell(start);
                out.cell(start + pair.length);
                out.cell(name);
                out.cell(bedScore(pair.identity));
                out.cell(second ? secondStrand(result.kind) : "+");
                out.endRow();
            }
        }
    }
}

void writeApproximateBedpe(TableWriter& out, std::string_view seqid,
                           std::span<const ApproximateResult> results)
{
    const std::string chrom = gffSeqid(seqid);
    for (const ApproximateResult& result : results) {
        for (std::size_t index = 0; index < result.pairs.size(); ++index) {
            const ApproximatePair& pair = result.pairs[index];
            for (const std::int64_t start : {pair.first, pair.second}) {
                out.cell(chrom);
                out.cell(start);
                out.cell(start + pair.length);
            }
            out.cell(approximatePairName(result.kind, index));
            out.cell(bedScore(pair.identity));
            out.cell("+");
            out.cell(secondStrand(result.kind));
            out.endRow();
        }
    }
}

}  // namespace tessaron
