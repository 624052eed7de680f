#include "report/microsatellitereport.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

namespace tessaron {

namespace {

// Calls `row(unitLength, class, count, inCompounds)` for every class of
// `counts` by unit length, and once with an empty class and zeros for a unit
// length without any.
template <typename Row>
void forEachClassRow(const MicrosatelliteCounts& counts, const Row& row)
{
    auto cls = counts.byClass.begin();
    for (int p = 1; p <= kMaxUnitLength; ++p) {
        if (cls == counts.byClass.end() || cls->unitLength != p) {
            row(p, std::string_view(), 0, 0);
        }
        for (; cls != counts.byClass.end() && cls->unitLength == p; ++cls) {
            row(p, std::string_view(cls->motifClass), cls->count, cls->inCompounds);
        }
    }
}

void classCells(TableWriter& out, int unitLength, std::string_view name, std::int64_t count,
                std::int64_t inCompounds, const MicrosatelliteCounts& counts)
{
    out.cell(std::int64_t{unitLength});
    out.cell(name);
    out.cell(count);
    out.cell(inCompounds);
    out.cell(std::int64_t{counts.compounds});
    out.endRow();
}

constexpr std::array<const char*, 5> kClassColumns{"unit_length", "class", "microsatellites", "in_compounds",
                                                   "compounds"};

}  // namespace

void writeMicrosatellites(TableWriter& out, std::span<const Microsatellite> list,
                          const FeatureIndex* features)
{
    writeMicrosatellitesHeader(out, features != nullptr, false);
    writeMicrosatelliteRows(out, list, features, {});
}

void writeMicrosatellitesHeader(TableWriter& out, bool withFeatures, bool withSeqid)
{
    if (withSeqid) {
        out.cell("seqid");
    }
    for (const char* name :
         {"start", "unit_length", "unit", "repeats", "length", "class", "compound", "end"}) {
        out.cell(name);
    }
    if (withFeatures) {
        out.cell("features");
    }
    out.endRow();
}

void writeMicrosatelliteRows(TableWriter& out, std::span<const Microsatellite> list,
                             const FeatureIndex* features, std::string_view seqid)
{
    std::string names;
    for (const Microsatellite& m : list) {
        if (!seqid.empty()) {
            out.cell(seqid);
        }
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

void writeMicrosatelliteCountsHeader(TableWriter& out)
{
    out.cell("seqid");
    for (const char* name : kClassColumns) {
        out.cell(name);
    }
    out.endRow();
}

void writeMicrosatelliteCountsRows(TableWriter& out, std::string_view seqid,
                                   const MicrosatelliteCounts& counts)
{
    forEachClassRow(counts,
                    [&](int unitLength, std::string_view name, std::int64_t count, std::int64_t inCompounds) {
                        out.cell(seqid);
                        classCells(out, unitLength, name, count, inCompounds, counts);
                    });
}

std::string microsatelliteSettingsText(const MicrosatelliteSettings& settings)
{
    std::string text = "minimum repeats ";
    for (std::size_t p = 0; p < settings.minimumRepeats.size(); ++p) {
        text += (p > 0 ? ", " : "") + std::to_string(settings.minimumRepeats[p]);
    }
    return text + " (units of 1 to " + std::to_string(kMaxUnitLength) + " letters); compounds within " +
           std::to_string(settings.compoundDistance) + " bp";
}

SheetLayout microsatelliteComparisonLayout(const MicrosatelliteComparison& comparison)
{
    std::vector<MicrosatelliteCounts> counts;
    counts.reserve(comparison.microsatellites.size());
    // Every class found, by unit length then class, as countMicrosatellites orders them.
    std::set<std::pair<int, std::string>> classes;
    for (const MicrosatelliteList& list : comparison.microsatellites) {
        counts.push_back(countMicrosatellites(list));
        for (const MicrosatelliteClassCount& cls : counts.back().byClass) {
            classes.emplace(cls.unitLength, cls.motifClass);
        }
    }
    SheetLayout layout;
    layout.caption = "Comparison of microsatellites";
    int column = 1;
    const auto heading = [&](std::string text) { layout.cells.push_back({1, column++, std::move(text)}); };
    heading("genome");
    for (int p = 1; p <= kMaxUnitLength; ++p) {
        heading(std::string(unitLengthName(p)));
    }
    heading("total");
    heading("in_compounds");
    heading("compounds");
    for (const auto& [unitLength, name] : classes) {
        heading(name);
    }
    for (std::size_t g = 0; g < counts.size() && g < comparison.fileTitles.size(); ++g) {
        const int row = static_cast<int>(g) + 2;
        const MicrosatelliteCounts& genome = counts[g];
        column = 1;
        const auto cell = [&](std::string text) { layout.cells.push_back({row, column++, std::move(text)}); };
        cell(comparison.fileTitles[g]);
        for (const std::int64_t count : genome.byUnitLength) {
            cell(std::to_string(count));
        }
        cell(std::to_string(genome.total));
        cell(std::to_string(genome.inCompounds));
        cell(std::to_string(genome.compounds));
        auto found = genome.byClass.begin();
        for (const auto& [unitLength, name] : classes) {
            const bool here =
                found != genome.byClass.end() && found->unitLength == unitLength && found->motifClass == name;
            cell(std::to_string(here ? (found++)->count : 0));
        }
    }
    return layout;
}

void writeMicrosatelliteComparisonTable(TableWriter& out, const MicrosatelliteComparison& comparison)
{
    out.cell("seqid");
    out.cell("genome");
    for (const char* name : kClassColumns) {
        out.cell(name);
    }
    out.endRow();
    for (std::size_t g = 0; g < comparison.microsatellites.size() && g < comparison.fileTitles.size(); ++g) {
        const MicrosatelliteCounts counts = countMicrosatellites(comparison.microsatellites[g]);
        const std::string& title = comparison.fileTitles[g];
        const std::string& seqid = g < comparison.seqids.size() ? comparison.seqids[g] : title;
        forEachClassRow(
            counts, [&](int unitLength, std::string_view name, std::int64_t count, std::int64_t inCompounds) {
                out.cell(seqid);
                out.cell(title);
                classCells(out, unitLength, name, count, inCompounds, counts);
            });
    }
}

void writeMicrosatelliteBatchHeader(TableWriter& out, bool withSeqid)
{
    out.cell("file");
    out.cell("record");
    if (withSeqid) {
        out.cell("seqid");
    }
    for (const char* name : {"title", "length"}) {
        out.cell(name);
    }
    for (const char* name : kClassColumns) {
        out.cell(name);
    }
    out.endRow();
}

void writeMicrosatelliteBatchRows(TableWriter& out, const BatchGenome& genome, std::string_view seqid)
{
    const MicrosatelliteCounts counts = countMicrosatellites(genome.microsatellites);
    const std::string file = genome.file.string();
    forEachClassRow(counts,
                    [&](int unitLength, std::string_view name, std::int64_t count, std::int64_t inCompounds) {
                        out.cell(file);
                        out.cell(std::int64_t{genome.record});
                        if (!seqid.empty()) {
                            out.cell(seqid);
                        }
                        out.cell(genome.title);
                        out.cell(genome.length);
                        classCells(out, unitLength, name, count, inCompounds, counts);
                    });
}

}  // namespace tessaron
