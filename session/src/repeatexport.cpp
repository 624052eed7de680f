#include "session/repeatexport.h"

#include "report/bedreport.h"
#include "report/featureindex.h"
#include "report/gffreport.h"
#include "report/tablewriter.h"

#include <fstream>
#include <new>

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
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        return cannotWrite(path);
    }
    try {
        TableWriter out(file, TableFormat::Tsv);
        const std::string name = state.name.empty() ? std::string("sequence") : state.name;
        if (isBed(path)) {
            BedReport bed(out, name);
            for (const RepeatKind kind : kKindOrder) {
                bed.write(*state.analysis.of(kind));
            }
        } else {
            const FeatureIndex features(state.features.value_or(FeatureList{}), state.genome->length());
            GffReport gff(out, name, static_cast<int>(state.genome->length()));
            gff.setFeatures(features.empty() ? nullptr : &features);
            for (const RepeatKind kind : kKindOrder) {
                gff.write(*state.analysis.of(kind));
            }
        }
        out.flush();
    } catch (const std::bad_alloc&) {
        return "Looks like we're out of memory...";
    }
    file.flush();
    return file ? std::string() : cannotWrite(path);
}

}  // namespace tessaron
