#include "views/results/gappedbranch.h"

#include "views/base/qtstrings.h"

#include "report/approximatereport.h"

#include <cstdint>
#include <vector>

GappedBranch::GappedBranch() : ClassedPairsBranch("Gapped repeats (%1)")
{
}

void GappedBranch::setAnalysis(std::shared_ptr<const tessaron::GappedAnalysis> analysis)
{
    analysis_ = std::move(analysis);
    if (!analysis_) {
        setRows(std::nullopt);
        return;
    }
    // Classed by the shorter copy, as the command line counts them.
    std::vector<std::vector<std::int64_t>> lengths;
    for (const tessaron::GappedResult& result : analysis_->results) {
        auto& kind = lengths.emplace_back();
        kind.reserve(result.pairs.size());
        for (const tessaron::GappedPair& pair : result.pairs) {
            kind.push_back(pair.shorterLength());
        }
    }
    setRows(tessaron::ApproximateRows(lengths));
}

QString GappedBranch::pairText(tessaron::RepeatKind kind, std::size_t index, bool tip) const
{
    const tessaron::GappedPair& pair = analysis_->of(kind).pairs[index];
    if (!tip) {
        const QString lengths = pair.length == pair.secondLength
                                    ? QString::number(pair.length)
                                    : QStringLiteral("%1/%2").arg(pair.length).arg(pair.secondLength);
        return tr("%1 bp, %2 %, E = %3")
            .arg(lengths)
            .arg(toQString(tessaron::identityText(pair.identity)))
            .arg(toQString(tessaron::evalueText(pair.evalue)));
    }
    QString text = tr("%1 and %2, %3 mismatches, %4 inserted and %5 deleted letters\n%6")
                       .arg(pair.first + 1)
                       .arg(pair.second + 1)
                       .arg(pair.mismatches)
                       .arg(pair.insertions)
                       .arg(pair.deletions)
                       .arg(toQString(pair.cigar));
    if (features() != nullptr) {
        text += QStringLiteral("\n%1 (%2) and %3 (%4)")
                    .arg(pair.first + 1)
                    .arg(toQString(features()->describe(pair.first, static_cast<int>(pair.length))))
                    .arg(pair.second + 1)
                    .arg(toQString(features()->describe(pair.second, static_cast<int>(pair.secondLength))));
    }
    return text;
}
