#include "session/repeatexport.h"

#include "input/filesave.h"
#include "report/bedreport.h"
#include "report/featureindex.h"
#include "report/gffreport.h"
#include "report/sortedrows.h"
#include "report/tablewriter.h"

#include <new>
#include <stdexcept>
#include <vector>

namespace tessaron {

namespace {

std::string cannotWrite(const std::filesystem::path& path)
{
    return "Cannot write " + path.string() + ".";
}

bool isBed(const std::filesystem::path& path)
{
    std::string extension = path.extension().string();
    for (char& ch : extension) {
        ch = ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
    }
    return extension == ".bed";
}

}  // namespace

std::string exportRepeats(const std::filesystem::path& path, const SessionState& state)
{
    if (!state.analysis.hasAllKinds()) {
        return "There are no repeats to export.";
    }
    const std::string seqid = !state.seqid.empty()  ? state.seqid
                              : !state.name.empty() ? state.name
                                                    : std::string("sequence");
    const auto length = static_cast<int>(state.genome->length());
    bool outOfMemory = false;
    // Sorted by start, as tabix and bedtools take them; a copy across the
    // origin is two BED lines inside the sequence.
    const std::error_code error = saveFile(path, [&](std::ostream& file) {
        try {
            TableWriter out(file, TableFormat::Tsv);
            SortedRows rows(out);
            if (isBed(path)) {
                BedReport bed(rows, seqid, length);
                for (const RepeatKind kind : kKindOrder) {
                    bed.write(*state.analysis.of(kind));
                }
            } else {
                writeGffHeader(out, std::vector<GffSequence>{{seqid, length}});
                const FeatureIndex features(state.features.value_or(FeatureList{}), state.genome->length());
                GffReport gff(rows, seqid, length);
                gff.setFeatures(features.empty() ? nullptr : &features);
                for (const RepeatKind kind : kKindOrder) {
                    gff.write(*state.analysis.of(kind));
                }
            }
            rows.finish();
            out.flush();
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
            return false;
        } catch (const std::runtime_error&) {
            return false;  // a temporary file of the sorting could not be written
        }
        return static_cast<bool>(file);
    });
    if (outOfMemory) {
        return "Looks like we're out of memory...";
    }
    return error ? cannotWrite(path) : std::string();
}

}  // namespace tessaron
