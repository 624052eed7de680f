#pragma once

#include "engine/microsatellites.h"
#include "engine/repeatlist.h"
#include "engine/searchmethod.h"
#include "engine/tandemrepeats.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tessaron {

// One compared file: its display name and, per length from the comparison's
// minimum on, the number of pairs of the chosen kind.
struct ComparisonRow {
    std::string fileTitle;             // at most 127 characters
    std::vector<std::int64_t> counts;  // maximum - minimum + 1 entries
    std::int64_t longer = 0;           // pairs longer than the maximum (complete search)
    std::string seqid{};               // the record's id in the outputs (ACCESSION.VERSION)
    [[nodiscard]] int lengthCount() const { return static_cast<int>(counts.size()); }
};

// The table of a comparison: one row per file in list order. `maxLength` is
// the largest length at which any file has a repeat of the chosen kind, and
// at least `minLength`.
struct GenomeComparison {
    std::vector<ComparisonRow> rows;
    int minLength = 0;
    int maxLength = 0;
    RepeatKind kind = RepeatKind::Direct;  // the kind compared
    // With the complete search, the pairs longer than the maximum setting
    // have a last column of their own.
    bool countsLonger = false;
    int maximumSetting = 0;
    // The approximate search counts per length class: minLength is then 0
    // and maxLength the last class (slotLabel names the columns).
    SearchMethod method = SearchMethod::Trie;
    [[nodiscard]] int rowCount() const { return static_cast<int>(rows.size()); }
};

// The microsatellites of compared files: per genome (every record of every
// file, in order) its title as a comparison row's and its microsatellites.
struct MicrosatelliteComparison {
    MicrosatelliteSettings settings;
    std::vector<std::string> fileTitles;
    std::vector<MicrosatelliteList> microsatellites;  // one list per title
    std::vector<std::string> seqids{};                // the record's id, one per title
};

// The tandem arrays of compared files, likewise per genome with its length.
struct TandemComparison {
    TandemSettings settings;
    std::vector<std::string> fileTitles;
    std::vector<std::string> seqids;
    std::vector<std::int64_t> lengths;
    std::vector<TandemRepeatList> tandemRepeats;  // one list per title
};

}  // namespace tessaron
