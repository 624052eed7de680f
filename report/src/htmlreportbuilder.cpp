#include "report/htmlreportbuilder.h"

#include "report/approximatereport.h"
#include "report/gappedreport.h"
#include "report/microsatellitereport.h"
#include "report/plastomeannotation.h"
#include "report/plastomereport.h"
#include "report/repeatsectionlayout.h"
#include "report/reports.h"
#include "report/tablewriter.h"
#include "report/tandemreport.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

namespace tessaron {

namespace {

// The lines written into it as a section's header and rows, the first
// `keepRows` rows kept and all of them counted, so that a table of millions
// of rows is never held whole.
class SectionLines : public std::streambuf {
public:
    explicit SectionLines(std::size_t keepRows) : keepRows_(keepRows) {}

    [[nodiscard]] HtmlSection take()
    {
        if (!line_.empty()) {
            endLine();
        }
        return std::move(section_);
    }

protected:
    int_type overflow(int_type ch) override
    {
        if (!traits_type::eq_int_type(ch, traits_type::eof())) {
            put(traits_type::to_char_type(ch));
        }
        return traits_type::not_eof(ch);
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override
    {
        for (std::streamsize i = 0; i < count; ++i) {
            put(text[i]);
        }
        return count;
    }

private:
    void put(char ch)
    {
        if (ch == '\n') {
            endLine();
        } else if (header_ || section_.totalRows < keepRows_) {
            line_ += ch;
        }
    }
    void endLine()
    {
        if (header_) {
            section_.columns = cells(line_);
            header_ = false;
        } else {
            if (section_.totalRows < keepRows_) {
                section_.rows.push_back(cells(line_));
            }
            ++section_.totalRows;
        }
        line_.clear();
    }
    static std::vector<std::string> cells(std::string_view line)
    {
        std::vector<std::string> out;
        std::size_t from = 0;
        while (true) {
            const std::size_t tab = line.find('\t', from);
            out.emplace_back(line.substr(from, tab == std::string_view::npos ? line.npos : tab - from));
            if (tab == std::string_view::npos) {
                return out;
            }
            from = tab + 1;
        }
    }

    std::size_t keepRows_;
    HtmlSection section_;
    std::string line_;
    bool header_ = true;
};

// A table the command line writes, as the page shows it.
template <typename Write>
HtmlSection tableOf(Write write)
{
    SectionLines lines(kHtmlMostRows);
    std::ostream text(&lines);
    TableWriter out(text, TableFormat::Tsv);
    write(out);
    out.flush();
    return lines.take();
}

std::size_t columnOf(const HtmlSection& section, std::string_view name)
{
    const auto found = std::find(section.columns.begin(), section.columns.end(), name);
    if (found == section.columns.end()) {
        throw std::logic_error("the HTML report's table " + section.id + " has no column " +
                               std::string(name));
    }
    return static_cast<std::size_t>(found - section.columns.begin());
}

std::int64_t cellNumber(std::string_view cell)
{
    std::int64_t value = 0;
    for (const char c : cell) {
        if (c < '0' || c > '9') {
            break;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

// The pairs of a table's rows (kind, length, first and second, 1-based, and
// a second_length when there is one) as marks.
void markPairs(HtmlSection& section)
{
    const std::size_t kind = columnOf(section, "kind");
    const std::size_t length = columnOf(section, "length");
    const std::size_t first = columnOf(section, "first");
    const std::size_t second = columnOf(section, "second");
    const auto secondLength = std::find(section.columns.begin(), section.columns.end(), "second_length");
    for (std::size_t row = 0; row < section.rows.size(); ++row) {
        const auto& cells = section.rows[row];
        const auto named = kindNamed(cells[kind]);
        HtmlMark mark{row,
                      named ? static_cast<int>(*named) : 0,
                      cellNumber(cells[first]) - 1,
                      cellNumber(cells[second]) - 1,
                      cellNumber(cells[length]),
                      std::nullopt};
        if (secondLength != section.columns.end()) {
            mark.secondLength =
                cellNumber(cells[static_cast<std::size_t>(secondLength - section.columns.begin())]);
        }
        section.marks.push_back(mark);
    }
    section.onDotPlot = true;
}

// A stretch of a circle of `length` bases from its 1-based first and last
// base (the last past the length, or below the first, across the origin).
HtmlMark stretch(std::size_t row, std::int64_t first, std::int64_t last, std::int64_t length)
{
    std::int64_t letters = last - first + 1;
    if (letters < 0 && length > 0) {
        letters += length;
    }
    return {row, -1, first - 1, std::nullopt, std::max<std::int64_t>(letters, 1), std::nullopt};
}

// Stretches from a start column and a length or an end column (1-based).
void markStretches(HtmlSection& section, std::string_view startName, std::string_view otherName,
                   bool otherIsEnd, std::int64_t length)
{
    const std::size_t start = columnOf(section, startName);
    const std::size_t other = columnOf(section, otherName);
    for (std::size_t row = 0; row < section.rows.size(); ++row) {
        const auto& cells = section.rows[row];
        const std::int64_t first = cellNumber(cells[start]);
        const std::int64_t last =
            otherIsEnd ? cellNumber(cells[other]) : first + cellNumber(cells[other]) - 1;
        section.marks.push_back(stretch(row, first, last, length));
    }
}

// "start..end" ranges of one column as stretches.
void markRanges(HtmlSection& section, std::string_view column, std::int64_t length)
{
    const std::size_t at = columnOf(section, column);
    for (std::size_t row = 0; row < section.rows.size(); ++row) {
        const std::string& cell = section.rows[row][at];
        const std::size_t dots = cell.find("..");
        const std::int64_t first = cellNumber(cell);
        const std::int64_t last = dots == std::string::npos ? first : cellNumber(cell.substr(dots + 2));
        section.marks.push_back(stretch(row, first, last, length));
    }
}

// Junctions "a^b" as the base after them.
void markJunctions(HtmlSection& section, std::int64_t length)
{
    const std::size_t at = columnOf(section, "position");
    for (std::size_t row = 0; row < section.rows.size(); ++row) {
        const std::string& cell = section.rows[row][at];
        const std::size_t caret = cell.find('^');
        const std::int64_t after = cellNumber(caret == std::string::npos ? cell : cell.substr(caret + 1));
        section.marks.push_back(stretch(row, after, after, length));
    }
}

std::string decimal(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string percent(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string join(const std::vector<std::string>& words)
{
    std::string out;
    for (const std::string& word : words) {
        out += (out.empty() ? "" : " ") + word;
    }
    return out;
}

// The options the approximate and the gapped search share.
void addApproximateWords(std::vector<std::string>& words, int minLength, int mismatchPenalty, double identity,
                         const std::optional<int>& maxMismatches, const std::optional<double>& maxEvalue)
{
    const ApproximateSettings defaults;
    words.push_back("--min " + std::to_string(minLength));
    if (mismatchPenalty != defaults.mismatchPenalty) {
        words.push_back("--mismatch-penalty " + std::to_string(mismatchPenalty));
    }
    if (identity != defaults.identity) {
        words.push_back("--identity " + decimal(identity));
    }
    if (maxMismatches) {
        words.push_back("--max-mismatches " + std::to_string(*maxMismatches));
    }
    if (maxEvalue) {
        words.push_back("--evalue " + decimal(*maxEvalue));
    }
}

std::string gcText(const Genome& genome)
{
    std::int64_t gc = 0;
    std::int64_t acgt = 0;
    for (const char base : genome.sequence()) {
        if (base == 'G' || base == 'C') {
            ++gc;
            ++acgt;
        } else if (base == 'A' || base == 'T') {
            ++acgt;
        }
    }
    const double share = acgt == 0 ? 0.0 : 100.0 * static_cast<double>(gc) / static_cast<double>(acgt);
    return "GC " + percent(share) + " %";
}

// The tables of a report written one after another, an empty line between them.
std::vector<std::string> tablesOf(const std::string& text)
{
    std::vector<std::string> tables;
    std::size_t from = 0;
    while (from < text.size()) {
        const std::size_t end = text.find("\n\n", from);
        tables.push_back(text.substr(from, end == std::string::npos ? std::string::npos : end + 1 - from));
        if (end == std::string::npos) {
            break;
        }
        from = end + 2;
    }
    return tables;
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

std::string approximateOptions(const ApproximateSettings& settings)
{
    std::vector<std::string> words{"--approximate"};
    addApproximateWords(words, settings.minLength, settings.mismatchPenalty, settings.identity,
                        settings.maxMismatches, settings.maxEvalue);
    return join(words);
}

std::string gappedOptions(const GappedSettings& settings)
{
    std::vector<std::string> words{"--approximate", "--gaps"};
    addApproximateWords(words, settings.minLength, settings.mismatchPenalty, settings.identity,
                        settings.maxMismatches, settings.maxEvalue);
    const GappedSettings defaults;
    if (settings.gapOpen != defaults.gapOpen) {
        words.push_back("--gap-open " + std::to_string(settings.gapOpen));
    }
    if (settings.gapExtend != defaults.gapExtend) {
        words.push_back("--gap-extend " + std::to_string(settings.gapExtend));
    }
    return join(words);
}

std::string microsatelliteOptions(const MicrosatelliteSettings& settings)
{
    const MicrosatelliteSettings defaults;
    std::vector<std::string> words;
    if (settings.minimumRepeats != defaults.minimumRepeats) {
        std::string list;
        for (const int repeats : settings.minimumRepeats) {
            list += (list.empty() ? "" : ",") + std::to_string(repeats);
        }
        words.push_back("--ssr-min " + list);
    }
    if (settings.compoundDistance != defaults.compoundDistance) {
        words.push_back("--ssr-compound " + std::to_string(settings.compoundDistance));
    }
    return join(words);
}

std::string tandemOptions(const TandemSettings& settings)
{
    const TandemSettings defaults;
    std::vector<std::string> words;
    const std::pair<const char*, int TandemSettings::*> numbers[] = {
        {"--tandem-max-period", &TandemSettings::maximumPeriod}, {"--tandem-match", &TandemSettings::match},
        {"--tandem-mismatch", &TandemSettings::mismatch},        {"--tandem-indel", &TandemSettings::indel},
        {"--tandem-min-score", &TandemSettings::minimumScore},
    };
    for (const auto& [name, field] : numbers) {
        if (settings.*field != defaults.*field) {
            words.push_back(std::string(name) + " " + std::to_string(settings.*field));
        }
    }
    if (settings.all) {
        words.emplace_back("--tandem-all");
    }
    return join(words);
}

HtmlReportBuilder::HtmlReportBuilder(std::shared_ptr<const Genome> genome, std::string seqid,
                                     FeatureList features, std::string options, std::string file)
    : genome_(std::move(genome)),
      features_(std::move(features)),
      index_(features_, genome_->length()),
      options_(std::move(options)),
      file_(std::move(file))
{
    report_.title = genome_->title();
    report_.seqid = std::move(seqid);
    report_.length = genome_->length();
    report_.gcText = gcText(*genome_);
}

void HtmlReportBuilder::setOrigin(std::string version, std::string commandLine)
{
    report_.version = std::move(version);
    report_.commandLine = std::move(commandLine);
}

std::string HtmlReportBuilder::command(std::string_view report) const
{
    std::string text = "tessaron-cli";
    for (const std::string_view part : {std::string_view(options_), report}) {
        if (!part.empty()) {
            text += " ";
            text += part;
        }
    }
    return text + " " + (file_.empty() ? std::string("FILE") : shellWord(file_));
}

void HtmlReportBuilder::addPaperSection(const RepeatSection& section)
{
    report_.paper = repeatSectionLayout(section);
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
    report_.charts.push_back(std::move(longRepeats));
    const MicrosatelliteCounts counts = countMicrosatellites(section.microsatellites);
    HtmlChart microsatellites{"Microsatellites by unit length", {}, {"microsatellites", "in compounds"}, {}};
    for (int unit = 1; unit <= kMaxUnitLength; ++unit) {
        microsatellites.groups.emplace_back(unitLengthName(unit));
        const auto slot = static_cast<std::size_t>(unit - 1);
        microsatellites.values.push_back({counts.byUnitLength[slot], counts.inCompoundsByUnitLength[slot]});
    }
    report_.charts.push_back(std::move(microsatellites));
}

void HtmlReportBuilder::addExactPairs(std::span<const std::shared_ptr<const RepeatSnapshot>> snapshots,
                                      int minimum, int maximum, SearchMethod method)
{
    HtmlSection exact = tableOf([&](TableWriter& table) {
        writePairsHeader(table, named() != nullptr);
        for (const auto& snapshot : snapshots) {
            if (snapshot) {
                writePairs(table, *snapshot, named());
            }
        }
    });
    exact.id = "exact";
    exact.title = "Long repeats: exact pairs";
    const bool complete = method == SearchMethod::Complete;
    exact.settings = (complete ? "complete search: every maximal pair at its full length, of "
                               : "suffix trie: every pair of exactly repeated words of ") +
                     std::to_string(minimum) + " to " + std::to_string(maximum) + " bp of the four kinds";
    exact.command = command(std::string(complete ? "--complete " : "") + "--min " + std::to_string(minimum) +
                            " --max " + std::to_string(maximum) + " --report pairs");
    markPairs(exact);
    // The dot plot shows the approximate pairs, as the desktop's does; a
    // chosen exact pair is drawn over it.
    exact.onDotPlot = false;
    report_.sections.push_back(std::move(exact));
}

namespace {

// "pairs of 30 bp or more at 90 % identity or more; match +1, mismatch -2"
// and the filters set.
std::string pairSettingsText(int minLength, double identity, int mismatchPenalty,
                             const std::optional<int>& maxMismatches, const std::optional<double>& maxEvalue)
{
    std::string text = "pairs of " + std::to_string(minLength) + " bp or more at " + decimal(identity) +
                       " % identity or more; match +1, mismatch -" + std::to_string(mismatchPenalty);
    if (maxMismatches) {
        text += "; at most " + std::to_string(*maxMismatches) + " mismatches";
    }
    if (maxEvalue) {
        text += "; E-value at most " + decimal(*maxEvalue);
    }
    return text;
}

std::string gappedText(const GappedSettings& settings)
{
    return "gapped search: " +
           pairSettingsText(settings.minLength, settings.identity, settings.mismatchPenalty,
                            settings.maxMismatches, settings.maxEvalue) +
           "; gap open " + std::to_string(settings.gapOpen) + ", gap extension " +
           std::to_string(settings.gapExtend);
}

}  // namespace

void HtmlReportBuilder::addApproximatePairs(std::span<const ApproximateResult> results,
                                            const ApproximateSettings& settings)
{
    HtmlSection approximate = tableOf([&](TableWriter& table) {
        writeApproximatePairsHeader(table, named() != nullptr);
        for (const ApproximateResult& result : results) {
            writeApproximatePairs(table, result, named());
        }
    });
    approximate.id = "approximate";
    approximate.title = "Long repeats: approximate pairs";
    approximate.settings = "approximate search: " +
                           pairSettingsText(settings.minLength, settings.identity, settings.mismatchPenalty,
                                            settings.maxMismatches, settings.maxEvalue);
    approximate.command = command(approximateOptions(settings) + " --report pairs");
    markPairs(approximate);
    report_.sections.push_back(std::move(approximate));
}

void HtmlReportBuilder::addGappedPairs(std::span<const GappedResult> results, const GappedSettings& settings)
{
    HtmlSection gapped = tableOf([&](TableWriter& table) {
        writeGappedPairsHeader(table, named() != nullptr);
        for (const GappedResult& result : results) {
            writeGappedPairs(table, result, named());
        }
    });
    gapped.id = "gapped";
    gapped.title = "Long repeats: gapped pairs";
    gapped.settings = gappedText(settings);
    gapped.command = command(gappedOptions(settings) + " --report pairs");
    markPairs(gapped);
    // The map and the dot plot show the approximate pairs, most of which the
    // gapped ones repeat: a second layer of them would double what the page
    // draws for little. A chosen gapped pair is drawn over both.
    gapped.drawnOnMap = false;
    gapped.onDotPlot = false;
    report_.sections.push_back(std::move(gapped));
}

void HtmlReportBuilder::addFamilies(std::span<const GappedResult> results, const GappedSettings& settings)
{
    const std::int64_t length = genome_->length();
    const std::vector<RepeatFamily> families = repeatFamilies(length, results);
    HtmlSection section = tableOf([&](TableWriter& table) {
        writeFamiliesHeader(table);
        writeFamilies(table, length, families);
    });
    section.id = "families";
    section.title = "Long repeats: families of copies";
    section.settings = "copies of the gapped pairs joined into families; " + gappedText(settings);
    section.command = command(gappedOptions(settings) + " --families");
    markRanges(section, "copy", length);
    section.drawnOnMap = false;  // its copies are the gapped pairs'; a chosen one is drawn
    report_.sections.push_back(std::move(section));
}

void HtmlReportBuilder::addMicrosatellites(const MicrosatelliteList& list,
                                           const MicrosatelliteSettings& settings)
{
    HtmlSection ssr = tableOf([&](TableWriter& table) { writeMicrosatellites(table, list, named()); });
    ssr.id = "ssr";
    ssr.title = "Microsatellites";
    ssr.settings = microsatelliteSettingsText(settings);
    const std::string options = microsatelliteOptions(settings);
    ssr.command = command((options.empty() ? "" : options + " ") + "--report ssr");
    markStretches(ssr, "start", "length", false, genome_->length());
    report_.sections.push_back(std::move(ssr));
}

void HtmlReportBuilder::addTandemArrays(std::span<const TandemRepeat> list, const TandemSettings& settings)
{
    HtmlSection tandem = tableOf([&](TableWriter& table) { writeTandemRepeats(table, list); });
    tandem.id = "tandem";
    tandem.title = "Tandem repeats";
    tandem.settings = tandemSettingsText(settings);
    const std::string options = tandemOptions(settings);
    tandem.command = command((options.empty() ? "" : options + " ") + "--report tandem");
    markStretches(tandem, "start", "end", true, genome_->length());
    report_.sections.push_back(std::move(tandem));
}

void HtmlReportBuilder::addPlastome(const PlastomeStructure& structure)
{
    if (!structure.found) {
        return;
    }
    std::ostringstream text;
    {
        TableWriter out(text, TableFormat::Tsv);
        writePlastomeReport(out, structure, junctionGenes(structure, features_), {});
        out.flush();
    }
    const std::vector<std::string> tables = tablesOf(text.str());
    if (tables.size() < 2) {
        return;
    }
    const std::int64_t length = genome_->length();
    const std::string settings = "the longest inverted repeat of " + std::to_string(structure.minIrLength) +
                                 " bp or more and the single-copy regions between its copies";
    HtmlSection parts = sectionFromTsv(tables[0], kHtmlMostRows);
    parts.id = "plastome";
    parts.title = "Plastome: the four parts";
    parts.settings = settings;
    parts.command = command("--plastome");
    parts.drawnOnMap = false;  // the ring
    markStretches(parts, "start", "end", true, length);
    for (std::size_t row = 0; row < parts.rows.size() && row < structure.regions.size(); ++row) {
        const PlastomeRegion& region = structure.regions[row];
        report_.ring.push_back({parts.rows[row].front(), region.start, region.length, row});
    }
    report_.ringSection = parts.id;
    HtmlSection junctions = sectionFromTsv(tables[1], kHtmlMostRows);
    junctions.id = "junctions";
    junctions.title = "Plastome: junctions";
    junctions.settings = settings + "; the genes across each junction, else the nearest on each side";
    junctions.command = parts.command;
    markJunctions(junctions, length);
    report_.sections.push_back(std::move(parts));
    report_.sections.push_back(std::move(junctions));
}

void HtmlReportBuilder::addFeatures()
{
    if (features_.empty()) {
        return;
    }
    HtmlSection features = tableOf([&](TableWriter& table) { writeFeatures(table, features_); });
    features.id = "features";
    features.title = "Features";
    features.settings = "the record's features, as the map draws them";
    features.command = command("--features");
    features.drawnOnMap = false;
    markStretches(features, "start", "end", true, genome_->length());
    report_.sections.push_back(std::move(features));
}

void HtmlReportBuilder::write(std::ostream& out) const
{
    const HtmlFigure map = mapSvg(*genome_, features_, report_.sections, report_.ring, report_.ringSection);
    const HtmlFigure dotPlot = dotPlotSvg(genome_->length(), report_.sections, kHtmlMostDotPlotSegments);
    writeHtmlReport(out, report_, map, dotPlot);
}

}  // namespace tessaron
