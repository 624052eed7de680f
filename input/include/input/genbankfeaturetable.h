#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessaron {

// One feature of a GenBank record's feature table as written: every key,
// not only those a genome load keeps (repeat_region, misc_feature, ...).
struct RawFeature {
    struct Qualifier {
        std::string name;   // without the slash
        std::string value;  // quotes removed, wrapped lines joined by one blank
    };
    std::string key;
    std::string location;                    // blanks and line ends removed
    std::vector<Qualifier> qualifiers;       // in file order
    std::vector<std::string> qualifierText;  // the qualifier lines verbatim, line ends removed
    int line = 0;                            // 1-based line of the key within the text given

    // The first value of a qualifier, or nothing.
    [[nodiscard]] const std::string* qualifier(std::string_view name) const;
};

// The text of one GenBank record split into what comes before its feature
// table (from LOCUS through the FEATURES line), the features, and the bases
// after ORIGIN (letters only).
struct GenBankRecordText {
    std::string header;
    std::vector<RawFeature> features;
    std::string bases;
};

// Reads the feature table of the first record in `text`. Lines end at LF,
// CR LF or CR. Never throws for bad input: a record without FEATURES gives no
// features, a line that is not part of a feature is passed over.
[[nodiscard]] GenBankRecordText readGenBankRecordText(std::string_view text);

}  // namespace tessaron
