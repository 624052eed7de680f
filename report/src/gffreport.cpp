#include "report/gffreport.h"

#include "namedpairs.h"
#include "paircopies.h"
#include "report/approximatereport.h"
#include "report/wordtext.h"

#include <cstdio>
#include <span>

namespace tessaron {

namespace {

bool allowedInSeqid(char ch)
{
    return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ||
           std::string_view(".:^*$@!+_?-|").find(ch) != std::string_view::npos;
}

// A text as a GFF3 attribute value: tab, line ends, other control bytes and
// the characters with a meaning there (; = & , %) escaped as %XX.
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

// The gap attributes of a gapped pair; an ungapped pair has none.
void appendGaps(std::string& /*attributes*/, const ApproximatePair& /*pair*/)
{
}

void appendGaps(std::string& attributes, const GappedPair& pair)
{
    attributes += ";insertions=";
    naming::appendNumber(attributes, pair.insertions);
    attributes += ";deletions=";
    naming::appendNumber(attributes, pair.deletions);
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

void writeGffHeader(TableWriter& out, std::span<const GffSequence> sequences)
{
    out.cell("##gff-version 3");
    out.endRow();
    for (const GffSequence& sequence : sequences) {
        if (sequence.length > 0) {
            out.cell("##sequence-region " + gffSeqid(sequence.seqid) + " 1 " +
                     std::to_string(sequence.length));
            out.endRow();
        }
    }
}

GffReport::GffReport(TableWriter& out, std::string_view seqid, int length)
    : direct_(std::in_place, out),
      rows_(*direct_),
      seqid_(gffSeqid(seqid)),
      head_(out.prepare({seqid_, "tessaron", "repeat_region"})),
      microsatelliteHead_(out.prepare({seqid_, "tessaron", "microsatellite"})),
      plus_(out.prepare({".", "+", "."})),
      minus_(out.prepare({".", "-", "."})),
      noStrand_(out.prepare({".", ".", "."}))
{
    const GffSequence sequence{std::string(seqid), length};
    writeGffHeader(out, std::span(&sequence, 1));
    regionLine(length);
}

GffReport::GffReport(RowTarget& rows, std::string_view seqid, int length)
    : rows_(rows),
      seqid_(gffSeqid(seqid)),
      head_(rows.writer().prepare({seqid_, "tessaron", "repeat_region"})),
      microsatelliteHead_(rows.writer().prepare({seqid_, "tessaron", "microsatellite"})),
      plus_(rows.writer().prepare({".", "+", "."})),
      minus_(rows.writer().prepare({".", "-", "."})),
      noStrand_(rows.writer().prepare({".", ".", "."}))
{
    regionLine(length);
}

void GffReport::regionLine(int length)
{
    if (length <= 0) {
        return;
    }
    TableWriter& out = rows_.row(0);
    for (const std::string_view cell : {std::string_view(seqid_), std::string_view("tessaron"),
                                        std::string_view("region"), std::string_view("1")}) {
        out.cell(cell);
    }
    out.cell(std::int64_t{length});
    for (const char* cell : {".", "+", "."}) {
        out.cell(cell);
    }
    out.cell("ID=" + seqid_ + ";Is_circular=true");
    out.endRow();
}

void GffReport::write(const RepeatSnapshot& snapshot)
{
    // The second copy of an inverted repeat reads as the word on the other
    // strand; mirror and complementary copies have no strand of their own.
    const RepeatKind kind = snapshot.kind();
    const PreparedCells& secondStrand = kind == RepeatKind::Direct     ? plus_
                                        : kind == RepeatKind::Inverted ? minus_
                                                                       : noStrand_;
    naming::forEachNamedPair(snapshot, [&](const RepeatWord& word, int length, std::string_view name,
                                           const RepeatPair& pair, bool firstOfWord) {
        if (firstOfWord) {
            typeAndWord_ = ";rpt_type=";
            if (kind == RepeatKind::Direct || kind == RepeatKind::Inverted) {
                typeAndWord_ += kindName(kind);
            } else {
                typeAndWord_ += "other;repeat_kind=";
                typeAndWord_ += kindName(kind);
            }
            typeAndWord_ += ";rpt_unit_seq=";
            typeAndWord_ += shownWord(snapshot.genome(), word.first, length);
        }
        // The attributes of the two copies differ only in the copy's digit,
        // once in the ID and once in copy=.
        attributes_ = "ID=";
        attributes_ += idPrefix_;
        attributes_ += name;
        const std::size_t idDigit = attributes_.size() + 1;
        attributes_ += ".1;repeat_pair=";
        attributes_ += name;
        attributes_ += ";copy=";
        const std::size_t copyDigit = attributes_.size();
        attributes_ += '1';
        attributes_ += typeAndWord_;
        featureLine(head_, pair.first, length, plus_);
        attributes_[idDigit] = '2';
        attributes_[copyDigit] = '2';
        featureLine(head_, pair.second, length, secondStrand);
    });
}

void GffReport::write(std::span<const Microsatellite> list)
{
    std::int64_t number = 0;
    for (const Microsatellite& m : list) {
        attributes_ = "ID=";
        attributes_ += idPrefix_;
        attributes_ += "ssr-";
        naming::appendNumber(attributes_, ++number);
        attributes_ += ";Name=(";
        attributes_ += m.unit;
        attributes_ += ')';
        naming::appendNumber(attributes_, m.repeats);
        attributes_ += ";rpt_type=tandem;rpt_unit_seq=";
        attributes_ += m.unit;
        attributes_ += ";repeats=";
        naming::appendNumber(attributes_, m.repeats);
        attributes_ += ";motif_class=";
        attributes_ += m.motifClass;
        if (m.compound > 0) {
            attributes_ += ";compound=";
            naming::appendNumber(attributes_, m.compound);
        }
        featureLine(microsatelliteHead_, m.start, m.length, plus_);
    }
}

template <typename Result>
void GffReport::writePairs(const Result& result)
{
    const RepeatKind kind = result.kind;
    const PreparedCells& secondStrand = kind == RepeatKind::Direct     ? plus_
                                        : kind == RepeatKind::Inverted ? minus_
                                                                       : noStrand_;
    std::string rest;
    for (std::size_t index = 0; index < result.pairs.size(); ++index) {
        const auto& pair = result.pairs[index];
        const std::string name = approximatePairName(kind, index);
        rest = ";rpt_type=";
        if (kind == RepeatKind::Direct || kind == RepeatKind::Inverted) {
            rest += kindName(kind);
        } else {
            rest += "other;repeat_kind=";
            rest += kindName(kind);
        }
        rest += ";mismatches=";
        naming::appendNumber(rest, pair.mismatches);
        appendGaps(rest, pair);
        rest += ";identity=" + identityText(pair.identity) + ";evalue=" + evalueText(pair.evalue);
        for (const int copy : {1, 2}) {
            attributes_ = "ID=";
            attributes_ += idPrefix_;
            attributes_ += name;
            attributes_ += copy == 1 ? ".1;repeat_pair=" : ".2;repeat_pair=";
            attributes_ += name;
            attributes_ += copy == 1 ? ";copy=1" : ";copy=2";
            attributes_ += rest;
            featureLine(head_, copy == 1 ? pair.first : pair.second,
                        copy == 1 ? pair.length : paircopies::secondLength(pair),
                        copy == 1 ? plus_ : secondStrand);
        }
    }
}

void GffReport::write(const ApproximateResult& result)
{
    writePairs(result);
}

void GffReport::write(const GappedResult& result)
{
    writePairs(result);
}

void GffReport::featureLine(const PreparedCells& head, std::int64_t start, std::int64_t length,
                            const PreparedCells& strand)
{
    TableWriter& out = rows_.row(start);
    out.cells(head);
    out.cell(start + 1);
    out.cell(start + length);
    out.cells(strand);
    if (features_ == nullptr) {
        out.cell(attributes_);
        out.endRow();
        return;
    }
    names_ = attributes_;
    names_ += ";overlaps=";
    const auto names = features_->namesAt(start, static_cast<int>(length));
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) {
            names_ += ',';
        }
        appendEscaped(names_, names[i]);
    }
    if (names.empty()) {
        names_ += "intergenic";
    }
    out.cell(names_);
    out.endRow();
}

}  // namespace tessaron
