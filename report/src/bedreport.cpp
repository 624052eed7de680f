#include "report/bedreport.h"

#include "namedpairs.h"
#include "report/gffreport.h"

namespace tessaron {

BedReport::BedReport(TableWriter& out, std::string_view seqid)
    : out_(out),
      chrom_(out.prepare({gffSeqid(seqid)})),
      plus_(out.prepare({"0", "+"})),
      minus_(out.prepare({"0", "-"}))
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

void BedReport::copyLine(std::int64_t start, std::int64_t length, std::string_view name,
                         const PreparedCells& scoreAndStrand)
{
    out_.cells(chrom_);
    out_.cell(start);
    out_.cell(start + length);
    out_.cell(name);
    out_.cells(scoreAndStrand);
    out_.endRow();
}

}  // namespace tessaron
