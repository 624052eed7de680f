#include "views/results/approximatebranch.h"

#include "views/base/qtstrings.h"

#include "report/approximatereport.h"

ApproximateBranch::ApproximateBranch() : ClassedPairsBranch("Approximate repeats (%1)")
{
}

void ApproximateBranch::setAnalysis(std::shared_ptr<const tessaron::ApproximateAnalysis> analysis)
{
    if (analysis) {
        setRows(tessaron::ApproximateRows(std::move(analysis)));
    } else {
        setRows(std::nullopt);
    }
}

QString ApproximateBranch::pairText(tessaron::RepeatKind kind, std::size_t index, bool tip) const
{
    const tessaron::ApproximatePair& pair = classedRows()->analysis().of(kind).pairs[index];
    if (!tip) {
        return tr("%1 bp, %2 %, E = %3")
            .arg(pair.length)
            .arg(toQString(tessaron::identityText(pair.identity)))
            .arg(toQString(tessaron::evalueText(pair.evalue)));
    }
    QString text =
        tr("%1 and %2, %3 mismatches").arg(pair.first + 1).arg(pair.second + 1).arg(pair.mismatches);
    if (features() != nullptr) {
        const auto length = static_cast<int>(pair.length);
        text += QStringLiteral("\n%1 (%2) and %3 (%4)")
                    .arg(pair.first + 1)
                    .arg(toQString(features()->describe(pair.first, length)))
                    .arg(pair.second + 1)
                    .arg(toQString(features()->describe(pair.second, length)));
    }
    return text;
}
