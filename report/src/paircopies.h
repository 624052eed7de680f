#pragma once

// What the reports of the approximate and the gapped pairs share: a pair's
// second copy may be longer or shorter than its first only with gaps, and
// only a gapped pair has insertions and deletions to tell.

#include "engine/approximatesearch.h"
#include "engine/gappedsearch.h"
#include "report/approximatereport.h"
#include "report/featureindex.h"
#include "report/tablewriter.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tessaron::paircopies {

[[nodiscard]] inline std::int64_t secondLength(const ApproximatePair& pair)
{
    return pair.length;
}
[[nodiscard]] inline std::int64_t secondLength(const GappedPair& pair)
{
    return pair.secondLength;
}

// The pairs table's header: [seqid,] kind, length, mismatches, first,
// second, identity, evalue, [first_features, second_features,] then
// `trailing`.
void writeHeader(TableWriter& out, bool withFeatures, bool withSeqid, std::span<const char* const> trailing);

// One row per pair of the result with the columns of writeHeader;
// trailing(pair) writes the trailing cells.
template <typename Result, typename Trailing>
void writeRows(TableWriter& out, const Result& result, const FeatureIndex* features, std::string_view seqid,
               Trailing&& trailing)
{
    std::string names;
    const std::string_view kind = kindName(result.kind);
    for (const auto& pair : result.pairs) {
        if (!seqid.empty()) {
            out.cell(seqid);
        }
        out.cell(kind);
        out.cell(pair.length);
        out.cell(pair.mismatches);
        out.cell(pair.first + 1);
        out.cell(pair.second + 1);
        out.cell(identityText(pair.identity));
        out.cell(evalueText(pair.evalue));
        if (features != nullptr) {
            features->describe(pair.first, static_cast<int>(pair.length), names);
            out.cell(names);
            features->describe(pair.second, static_cast<int>(secondLength(pair)), names);
            out.cell(names);
        }
        trailing(pair);
        out.endRow();
    }
}

}  // namespace tessaron::paircopies
