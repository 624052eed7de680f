#include "report/bedreport.h"

#include "namedpairs.h"
#include "paircopies.h"
#include "report/approximatereport.h"
#include "report/gffreport.h"

namespace tessaron {

BedReport::BedReport(TableWriter& out, std::string_view seqid)
    : direct_(std::in_place, out),
      rows_(*direct_),
      chrom_(out.prepare({gffSeqid(seqid)})),
      plus_(out.prepare({"0", "+"})),
      minus_(out.prepare({"0", "-"}))
{
}

BedReport::BedReport(RowTarget& rows, std::string_view seqid, std::int64_t length)
    : rows_(rows),
      length_(length),
      chrom_(rows.writer().prepare({gffSeqid(seqid)})),
      plus_(rows.writer().prepare({"0", "+"})),
      minus_(rows.writer().prepare({"0", "-"}))
{
}

void BedReport::write(const RepeatSnapshot& snapshot)
{
    const PreparedCells& secondStrand = snapshot.kind() == RepeatKind::Inverted ? minus_ : plus_;
    naming::forEachNamedPair(snapshot, [&](const RepeatWord& /*word*/, int length, std::string_view name,
                                           const RepeatPair& pair, bool /*firstOfWord*/) {
        copyLine(pair.first, length, name, plus_);
        copyLine(pair.second, length, name, secondStrand);
    });
}

void BedReport::write(std::span<const Microsatellite> list)
{
    std::string name;
    for (const Microsatellite& m : list) {
        name = "(";
        name += m.unit;
        name += ')';
        naming::appendNumber(name, m.repeats);
        copyLine(m.start, m.length, name, plus_);
    }
}

template <typename Result>
void BedReport::writePairs(const Result& result)
{
    const std::string_view secondStrand = result.kind == RepeatKind::Inverted ? "-" : "+";
    for (std::size_t index = 0; index < result.pairs.size(); ++index) {
        const auto& pair = result.pairs[index];
        const std::string name = approximatePairName(result.kind, index);
        const std::string score = std::to_string(approximateScore(pair.identity));
        copyLine(pair.first, pair.length, name, rows_.writer().prepare({score, "+"}));
        copyLine(pair.second, paircopies::secondLength(pair), name,
                 rows_.writer().prepare({score, secondStrand}));
    }
}

void BedReport::write(const ApproximateResult& result)
{
    writePairs(result);
}

void BedReport::write(const GappedResult& result)
{
    writePairs(result);
}

void BedReport::copyLine(std::int64_t start, std::int64_t length, std::string_view name,
                         const PreparedCells& scoreAndStrand)
{
    const std::int64_t end = start + length;
    if (length_ > 0 && end > length_) {
        line(start, length_, name, scoreAndStrand);
        line(0, end - length_, name, scoreAndStrand);
        return;
    }
    line(start, end, name, scoreAndStrand);
}

void BedReport::line(std::int64_t start, std::int64_t end, std::string_view name,
                     const PreparedCells& scoreAndStrand)
{
    TableWriter& out = rows_.row(start);
    out.cells(chrom_);
    out.cell(start);
    out.cell(end);
    out.cell(name);
    out.cells(scoreAndStrand);
    out.endRow();
}

BedpeReport::BedpeReport(RowTarget& rows, std::string_view seqid)
    : rows_(rows),
      chrom_(rows.writer().prepare({gffSeqid(seqid)})),
      plusPlus_(rows.writer().prepare({"0", "+", "+"})),
      plusMinus_(rows.writer().prepare({"0", "+", "-"}))
{
}

void BedpeReport::write(const RepeatSnapshot& snapshot)
{
    const PreparedCells& scoreAndStrands = snapshot.kind() == RepeatKind::Inverted ? plusMinus_ : plusPlus_;
    naming::forEachNamedPair(snapshot, [&](const RepeatWord& /*word*/, int length, std::string_view name,
                                           const RepeatPair& pair, bool /*firstOfWord*/) {
        TableWriter& out = rows_.row(pair.first);
        out.cells(chrom_);
        out.cell(std::int64_t{pair.first});
        out.cell(std::int64_t{pair.first} + length);
        out.cells(chrom_);
        out.cell(std::int64_t{pair.second});
        out.cell(std::int64_t{pair.second} + length);
        out.cell(name);
        out.cells(scoreAndStrands);
        out.endRow();
    });
}

template <typename Result>
void BedpeReport::writePairs(const Result& result)
{
    const std::string_view secondStrand = result.kind == RepeatKind::Inverted ? "-" : "+";
    for (std::size_t index = 0; index < result.pairs.size(); ++index) {
        const auto& pair = result.pairs[index];
        TableWriter& out = rows_.row(pair.first);
        out.cells(chrom_);
        out.cell(pair.first);
        out.cell(pair.first + pair.length);
        out.cells(chrom_);
        out.cell(pair.second);
        out.cell(pair.second + paircopies::secondLength(pair));
        out.cell(approximatePairName(result.kind, index));
        out.cell(approximateScore(pair.identity));
        out.cell("+");
        out.cell(secondStrand);
        out.endRow();
    }
}

void BedpeReport::write(const ApproximateResult& result)
{
    writePairs(result);
}

void BedpeReport::write(const GappedResult& result)
{
    writePairs(result);
}

bool seqidStartsBedHeader(std::string_view seqid)
{
    return seqid.starts_with("track") || seqid.starts_with("browser") || seqid.starts_with('#');
}

}  // namespace tessaron
