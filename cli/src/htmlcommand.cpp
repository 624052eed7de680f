#include "htmlcommand.h"

#include "clifailure.h"
#include "compare/repeatsection.h"
#include "engine/approximatesearch.h"
#include "engine/microsatellites.h"
#include "engine/repeatkinds.h"
#include "engine/wordlengths.h"
#include "recordwork.h"
#include "report/approximatereport.h"
#include "report/htmlreport.h"
#include "report/microsatellitereport.h"
#include "report/repeatsectionlayout.h"
#include "report/reports.h"
#include "report/tablewriter.h"
#include "searches.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <sstream>
#include <string_view>

namespace tessaron::cli {

namespace {

// The long repeats begin where the paper section's length classes do.
constexpr int kLongRepeat = 30;
// The rows a table of the page holds at most, so that the page of a
// bacterium stays under 10 MB and opens at once: the exact pairs list every
// repeated word of each length (a 5 kb rRNA operon alone gives tens of
// thousands), so their table is cut (the page says where the whole one is);
// the other tables of NC_004829 fit whole.
constexpr std::size_t kMostRows = 30000;
constexpr std::size_t kMostDotPlotSegments = 12000;

// A table the command line writes, as the page shows it.
template <typename Write>
HtmlSection tableOf(Write write)
{
    std::ostringstream text;
    TableWriter out(text, TableFormat::Tsv);
    write(out);
    out.flush();
    return sectionFromTsv(text.str(), kMostRows);
}

std::size_t columnOf(const HtmlSection& section, std::string_view name)
{
    const auto found = std::find(section.columns.begin(), section.columns.end(), name);
    if (found == section.columns.end()) {
        throw Failure{"the HTML report's table " + section.id + " has no column " + std::string(name)};
    }
    return static_cast<std::size_t>(found - section.columns.begin());
}

std::int64_t cellNumber(const std::string& cell)
{
    return std::stoll(cell);
}

// The pairs of a table's rows (kind, length, first and second, 1-based) as marks.
void markPairs(HtmlSection& section)
{
    const std::size_t kind = columnOf(section, "kind");
    const std::size_t length = columnOf(section, "length");
    const std::size_t first = columnOf(section, "first");
    const std::size_t second = columnOf(section, "second");
    for (std::size_t row = 0; row < section.rows.size(); ++row) {
        const auto& cells = section.rows[row];
        const auto named = kindNamed(cells[kind]);
        section.marks.push_back({row, named ? static_cast<int>(*named) : 0, cellNumber(cells[first]) - 1,
                                 cellNumber(cells[second]) - 1, cellNumber(cells[length])});
    }
    section.onDotPlot = true;
}

// Stretches from a start column (1-based) and a length or an end column.
void markStretches(HtmlSection& section, std::string_view startName, std::string_view lengthName,
                   bool lengthIsEnd)
{
    const std::size_t start = columnOf(section, startName);
    const std::size_t other = columnOf(section, lengthName);
    for (std::size_t row = 0; row < section.rows.size(); ++row) {
        const auto& cells = section.rows[row];
        const std::int64_t from = cellNumber(cells[start]) - 1;
        const std::int64_t length = lengthIsEnd ? cellNumber(cells[other]) - from : cellNumber(cells[other]);
        section.marks.push_back({row, -1, from, std::nullopt, std::max<std::int64_t>(length, 1)});
    }
}

// "tessaron-cli --record 2 FILE" and the options that write a table.
std::string commandOf(const Options& options, std::string_view report)
{
    std::string command = "tessaron-cli";
    if (options.record) {
        command += " --record " + shellWord(*options.record);
    }
    if (options.seqid) {
        command += " --seqid " + shellWord(*options.seqid);
    }
    command += " ";
    command += report;
    return command + " " + shellWord(options.file.empty() ? "-" : options.file);
}

std::string percent(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::array<std::int64_t, 4> baseCounts(const Genome& genome)
{
    std::array<std::int64_t, 4> counts{};  // A, C, G, T
    for (const char base : genome.sequence()) {
        switch (base) {
            case 'A':
                ++counts[0];
                break;
            case 'C':
                ++counts[1];
                break;
            case 'G':
                ++counts[2];
                break;
            case 'T':
                ++counts[3];
                break;
            default:
                break;
        }
    }
    return counts;
}

}  // namespace

std::string shellWord(std::string_view word)
{
    const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) ||
               std::string_view("-_./=:,+%@").find(c) != std::string_view::npos;
    });
    if (plain) {
        return std::string(word);
    }
    std::string quoted = "'";
    for (const char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

namespace {

// Each table of the page is one section made by one function below; a new
// analysis adds its own function and one line in writeHtmlReport.

// The exact pairs, found by the suffix trie from 30 bp on.
HtmlSection exactSection(const Options& options, const RecordWork& work)
{
    const int minimum = std::max(options.minimum, kLongRepeat);
    const int maximum = std::max(options.maximum, WordLengths::kLongest);
    work.genome()->setLengthBounds(minimum, maximum);
    const PreparedSearch search = work.prepare(SearchMethod::Trie, kKindOrder);
    HtmlSection exact = tableOf([&](TableWriter& table) {
        writePairsHeader(table, work.named() != nullptr);
        for (const RepeatKind kind : kKindOrder) {
            writePairs(table, *work.words(search, kind), work.named());
        }
    });
    exact.id = "exact";
    exact.title = "Long repeats: exact pairs";
    exact.settings = "suffix trie: every pair of exactly repeated words of " + std::to_string(minimum) +
                     " to " + std::to_string(maximum) + " bp of the four kinds";
    exact.command = commandOf(options, "--min " + std::to_string(minimum) + " --max " +
                                           std::to_string(maximum) + " --report pairs");
    markPairs(exact);
    // The dot plot shows the approximate pairs, as the desktop's does; a
    // chosen exact pair is drawn over it.
    exact.onDotPlot = false;
    return exact;
}

// The approximate pairs the paper section counts: its defaults from 30 bp.
HtmlSection approximateSection(const Options& options, const RecordWork& work, const RepeatSection& paper)
{
    ApproximateSettings settings;
    settings.minLength = kLongRepeat;
    auto found = approximateSearch(*work.genome(), kKindOrder, settings, work.step("approximate repeats"));
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        throwSearchFailure(*failure);
    }
    const auto results = std::get<std::vector<ApproximateResult>>(std::move(found));
    HtmlSection approximate = tableOf([&](TableWriter& table) {
        writeApproximatePairsHeader(table, work.named() != nullptr);
        for (const ApproximateResult& result : results) {
            writeApproximatePairs(table, result, work.named());
        }
    });
    approximate.id = "approximate";
    approximate.title = "Long repeats: approximate pairs";
    approximate.settings = paper.search.name + ": " + paper.search.settings;
    approximate.command =
        commandOf(options, "--approximate --min " + std::to_string(kLongRepeat) + " --report pairs");
    markPairs(approximate);
    return approximate;
}

HtmlSection microsatelliteSection(const Options& options, const RecordWork& work, const RepeatSection& paper)
{
    HtmlSection ssr = tableOf(
        [&](TableWriter& table) { writeMicrosatellites(table, paper.microsatellites, work.named()); });
    ssr.id = "ssr";
    ssr.title = "Microsatellites";
    ssr.settings = microsatelliteSettingsText(options.ssrSettings);
    ssr.command = commandOf(options, "--report ssr");
    markStretches(ssr, "start", "length", false);
    return ssr;
}

HtmlSection featureSection(const Options& options, const RecordWork& work)
{
    HtmlSection features = tableOf([&](TableWriter& table) { writeFeatures(table, work.features()); });
    features.id = "features";
    features.title = "Features";
    features.settings = "the record's features, as the map draws them";
    features.command = commandOf(options, "--features");
    features.drawnOnMap = false;
    markStretches(features, "start", "end", true);
    return features;
}

// The paper section as --report paper writes it, and its two charts.
void addPaperSection(HtmlReport& report, const RepeatSection& section)
{
    report.paper = repeatSectionLayout(section);
    HtmlChart longRepeats{"Long repeats by length class (pairs of copies)", {}, {}, {}};
    for (const RepeatKind kind : kKindOrder) {
        longRepeats.series.emplace_back(kindName(kind));
    }
    for (std::size_t lengthClass = 0; lengthClass < kLengthClassCount; ++lengthClass) {
        longRepeats.groups.push_back(lengthClassName(lengthClass));
        std::vector<std::int64_t> values;
        for (const RepeatKind kind : kKindOrder) {
            values.push_back(section.pairs[static_cast<std::size_t>(kind)][lengthClass]);
        }
        longRepeats.values.push_back(std::move(values));
    }
    report.charts.push_back(std::move(longRepeats));
    const MicrosatelliteCounts counts = countMicrosatellites(section.microsatellites);
    HtmlChart microsatellites{"Microsatellites by unit length", {}, {"microsatellites", "in compounds"}, {}};
    for (int unit = 1; unit <= kMaxUnitLength; ++unit) {
        microsatellites.groups.emplace_back(unitLengthName(unit));
        const auto slot = static_cast<std::size_t>(unit - 1);
        microsatellites.values.push_back({counts.byUnitLength[slot], counts.inCompoundsByUnitLength[slot]});
    }
    report.charts.push_back(std::move(microsatellites));
}

}  // namespace

void writeHtmlReport(const Options& options, const InputRecords& records, std::ostream& out,
                     Progress& progress, const std::string& commandLine)
{
    const RecordWork work(records.load(0), progress);
    const Genome& genome = *work.genome();
    if (genome.length() == 0) {
        throw Failure{"--report html needs a genome with bases"};
    }
    HtmlReport report;
    report.title = genome.title();
    report.seqid = work.seqid();
    report.length = genome.length();
    const auto counts = baseCounts(genome);
    const std::int64_t acgt = counts[0] + counts[1] + counts[2] + counts[3];
    const double gc =
        acgt == 0 ? 0.0 : 100.0 * static_cast<double>(counts[1] + counts[2]) / static_cast<double>(acgt);
    report.gcText = "GC " + percent(gc) + " %";
    const std::string version = versionText();
    report.version = version.substr(0, version.find('\n'));
    report.commandLine = commandLine;

    auto analysed = analyseRepeatSection(genome, options.ssrSettings, work.step("repeat section"));
    if (const auto* failure = std::get_if<SearchFailure>(&analysed)) {
        throwSearchFailure(*failure);
    }
    const RepeatSection& paper = std::get<RepeatSection>(analysed);
    addPaperSection(report, paper);
    report.sections.push_back(exactSection(options, work));
    report.sections.push_back(approximateSection(options, work, paper));
    report.sections.push_back(microsatelliteSection(options, work, paper));
    if (!work.features().empty()) {
        report.sections.push_back(featureSection(options, work));
    }

    progress.clear();
    const std::string map = mapSvg(genome, work.features(), report.sections);
    const std::string dotPlot = dotPlotSvg(genome.length(), report.sections, kMostDotPlotSegments);
    tessaron::writeHtmlReport(out, report, map, dotPlot);
}

}  // namespace tessaron::cli
