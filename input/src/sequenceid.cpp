#include "input/sequenceid.h"

#include <string_view>

namespace tessaron {

std::string sequenceId(const RecordInfo& record)
{
    // `accession` holds the ACCESSION and the VERSION, blank-separated, either
    // of them missing: its last word is the version when there is one.
    std::string_view accessions = record.accession;
    while (!accessions.empty() && accessions.back() == ' ') {
        accessions.remove_suffix(1);
    }
    const std::size_t blank = accessions.rfind(' ');
    const std::string_view last = blank == std::string_view::npos ? accessions : accessions.substr(blank + 1);
    return std::string(last.empty() ? std::string_view(record.name) : last);
}

}  // namespace tessaron
