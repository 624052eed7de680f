#include "report/gffreport.h"

#include "report/reports.h"

#include <cstdio>
#include <span>

namespace tessaron {

namespace {

bool allowedInSeqid(char ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
           std::string_view(".:^*$@!+_?-|").find(ch) != std::string_view::npos;
}

}  // namespace

std::string gffSeqid(std::string_view name)
{
    if (name.empty()) {
        return "sequence";
    }
    std::string id;
    for (const char ch : name) {
        if (allowedInSeqid(ch)) {
            id += ch;
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(ch));
            id += escaped;
        }
    }
    return id;
}

GffReport::GffReport(TableWriter& out, std::string_view seqid, int length) : out_(out), seqid_(gffSeqid(seqid))
{
    out_.cell("##gff-version 3");
    out_.endRow();
    if (length <= 0) {
        return;
    }
    out_.cell("##sequence-region " + seqid_ + " 1 " + std::to_string(length));
    out_.endRow();
    for (const std::string_view cell : {std::string_view(seqid_), std::string_view("tessaron"),
                                        std::string_view("region"), std::string_view("1")}) {
        out_.cell(cell);
    }
    out_.cell(std::int64_t{length});
    for (const char* cell : {".", "+", "."}) {
        out_.cell(cell);
    }
    out_.cell("ID=" + seqid_ + ";Is_circular=true");
    out_.endRow();
}

void GffReport::write(const Genome& genome, RepeatKind kind, const RepeatList& list)
{
    // The second copy of an inverted repeat reads as the word on the other
    // strand; mirror and complementary copies have no strand of their own.
    const char secondStrand = kind == RepeatKind::Direct     ? '+'
                              : kind == RepeatKind::Inverted ? '-'
                                                             : '.';
    for (int slot = 0; slot < list.slotCount(); ++slot) {
        int repeatNumber = 0;
        for (const Repeat& repeat : list.slot(slot)) {
            ++repeatNumber;
            const std::span<const RepeatPair> pairs = list.pairs(repeat);
            const std::string word = genome.word(pairs.front().first, repeat.length);
            const std::string prefix = std::string(kindName(kind)) + '-' + std::to_string(repeat.length) + '-' +
                                       std::to_string(repeatNumber) + '-';
            int pairNumber = 0;
            for (const RepeatPair& pair : pairs) {
                const std::string name = prefix + std::to_string(++pairNumber);
                copyLine(pair.first, repeat.length, '+', name, 1, kind, word);
                copyLine(pair.second, repeat.length, secondStrand, name, 2, kind, word);
            }
        }
    }
}

void GffReport::copyLine(std::int64_t start, int length, char strand, const std::string& pair, int copy,
                         RepeatKind kind, const std::string& word)
{
    out_.cell(seqid_);
    out_.cell("tessaron");
    out_.cell("repeat_region");
    out_.cell(start + 1);
    out_.cell(start + length);
    out_.cell(".");
    out_.cell(std::string_view(&strand, 1));
    out_.cell(".");
    std::string attributes = "ID=" + pair + '.' + std::to_string(copy) + ";repeat_pair=" + pair +
                             ";copy=" + std::to_string(copy) + ";rpt_type=";
    if (kind == RepeatKind::Direct || kind == RepeatKind::Inverted) {
        attributes += kindName(kind);
    } else {
        attributes += "other;repeat_kind=";
        attributes += kindName(kind);
    }
    attributes += ";rpt_unit_seq=" + word;
    out_.cell(attributes);
    out_.endRow();
}

}  // namespace tessaron
