#include "report/bedreport.h"

#include "namedpairs.h"
#include "report/gffreport.h"

namespace tessaron {

BedReport::BedReport(TableWriter& out, std::string_view seqid) : out_(out), chrom_(gffSeqid(seqid))
{
}

void BedReport::write(const RepeatSnapshot& snapshot)
{
    const std::string_view secondStrand = snapshot.kind() == RepeatKind::Inverted ? "-" : "+";
    naming::forEachNamedPair(snapshot, [&](const RepeatWord& /*word*/, int length, std::string_view name,
                                           const RepeatPair& pair, bool /*firstOfWord*/) {
        copyLine(pair.first, length, name, "+");
        copyLine(pair.second, length, name, secondStrand);
    });
}

void BedReport::copyLine(std::int64_t start, int length, std::string_view name, std::string_view strand)
{
    out_.cell(chrom_);
    out_.cell(start);
    out_.cell(start + length);
    out_.cell(name);
    out_.cell(std::int64_t{0});
    out_.cell(strand);
    out_.endRow();
}

}  // namespace tessaron
