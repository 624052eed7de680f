#include "report/microsatellitereport.h"

#include <algorithm>
#include <map>
#include <utility>

namespace tessaron {

void writeMicrosatellites(TableWriter& out, std::span<const Microsatellite> list,
                          const FeatureIndex* features)
{
    for (const char* name :
         {"start", "unit_length", "unit", "repeats", "length", "class", "compound", "end"}) {
        out.cell(name);
    }
    if (features != nullptr) {
        out.cell("features");
    }
    out.endRow();
    std::string names;
    for (const Microsatellite& m : list) {
        out.cell(m.start + 1);
        out.cell(std::int64_t{m.unitLength});
        out.cell(m.unit);
        out.cell(m.repeats);
        out.cell(m.length);
        out.cell(m.motifClass);
        if (m.compound > 0) {
            out.cell(std::int64_t{m.compound});
        } else {
            out.cell("-");
        }
        out.cell(m.end());
        if (features != nullptr) {
            features->describe(m.start, static_cast<int>(m.length), names);
            out.cell(names);
        }
        out.endRow();
    }
}

std::string_view unitLengthName(int unitLength)
{
    static constexpr std::array<std::string_view, kMaxUnitLength> kNames{"mono",  "di",    "tri",
                                                                         "tetra", "penta", "hexa"};
    return unitLength >= 1 && unitLength <= kMaxUnitLength ? kNames[static_cast<std::size_t>(unitLength - 1)]
                                                           : std::string_view();
}

MicrosatelliteCounts countMicrosatellites(std::span<const Microsatellite> list)
{
    MicrosatelliteCounts counts;
    std::map<std::pair<int, std::string>, MicrosatelliteClassCount> classes;
    for (const Microsatellite& m : list) {
        if (m.unitLength < 1 || m.unitLength > kMaxUnitLength) {
            continue;
        }
        const auto type = static_cast<std::size_t>(m.unitLength - 1);
        const bool joined = m.compound > 0;
        ++counts.total;
        ++counts.byUnitLength[type];
        MicrosatelliteClassCount& cls = classes[{m.unitLength, m.motifClass}];
        cls.motifClass = m.motifClass;
        cls.unitLength = m.unitLength;
        ++cls.count;
        if (joined) {
            ++counts.inCompounds;
            ++counts.inCompoundsByUnitLength[type];
            ++cls.inCompounds;
        }
        counts.compounds = std::max(counts.compounds, m.compound);
    }
    for (auto& [key, cls] : classes) {
        counts.byClass.push_back(std::move(cls));
    }
    return counts;
}

SheetLayout microsatelliteSummaryLayout(const MicrosatelliteCounts& counts)
{
    SheetLayout layout;
    int row = 1;
    const auto line = [&](std::string_view name, std::int64_t count, std::int64_t inCompounds) {
        layout.cells.push_back({row, 1, std::string(name)});
        layout.cells.push_back({row, 2, std::to_string(count)});
        layout.cells.push_back({row, 3, std::to_string(inCompounds)});
        ++row;
    };
    const auto heading = [&](std::string_view text) {
        layout.cells.push_back({row, 1, std::string(text)});
        layout.cells.push_back({row, 2, "microsatellites"});
        layout.cells.push_back({row, 3, "in compounds"});
        ++row;
    };
    heading("Microsatellites by unit length:");
    for (int p = 1; p <= kMaxUnitLength; ++p) {
        const auto type = static_cast<std::size_t>(p - 1);
        line(unitLengthName(p), counts.byUnitLength[type], counts.inCompoundsByUnitLength[type]);
    }
    line("total", counts.total, counts.inCompounds);
    ++row;
    heading("Microsatellites by class:");
    for (const MicrosatelliteClassCount& cls : counts.byClass) {
        line(cls.motifClass, cls.count, cls.inCompounds);
    }
    ++row;
    layout.cells.push_back({row, 1, "Compounds:"});
    layout.cells.push_back({row, 2, std::to_string(counts.compounds)});
    return layout;
}

}  // namespace tessaron
