#include "report/tandemreport.h"

#include "report/gffreport.h"

#include <algorithm>
#include <cstdio>

namespace tessaron {

namespace {

std::string oneDecimal(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// One stretch, or two when it runs over the origin of a circle of `length` letters.
void addStretch(std::vector<SequenceStretch>& out, std::int64_t start, std::int64_t end, std::int64_t length,
                const std::string& name)
{
    if (end <= length) {
        out.push_back({start, end, name});
        return;
    }
    out.push_back({start, length, name});
    out.push_back({0, end - length, name});
}

}  // namespace

void writeTandemRepeats(TableWriter& out, std::span<const TandemRepeat> list)
{
    for (const char* name : {"start", "end", "period", "copies", "consensus", "class", "percent_matches",
                             "percent_indels", "score", "alignment"}) {
        out.cell(name);
    }
    out.endRow();
    for (const TandemRepeat& r : list) {
        out.cell(r.start + 1);
        out.cell(r.end());
        out.cell(std::int64_t{r.period});
        out.cell(oneDecimal(r.copies));
        out.cell(r.consensus);
        out.cell(r.motifClass);
        out.cell(std::int64_t{r.percentMatches()});
        out.cell(std::int64_t{r.percentIndels()});
        out.cell(r.score);
        out.cell(r.alignment);
        out.endRow();
    }
}

void writeImperfectMicrosatellites(TableWriter& out, std::span<const ImperfectMicrosatellite> list)
{
    for (const char* name : {"start", "unit_length", "unit", "repeats", "length", "class", "compound", "end",
                             "mismatches", "indels"}) {
        out.cell(name);
    }
    out.endRow();
    for (const ImperfectMicrosatellite& m : list) {
        out.cell(m.start + 1);
        out.cell(std::int64_t{m.unitLength});
        out.cell(m.unit);
        out.cell(m.repeats);
        out.cell(m.length);
        out.cell(m.motifClass);
        out.cell("-");
        out.cell(m.end());
        out.cell(std::int64_t{m.mismatches});
        out.cell(std::int64_t{m.indels});
        out.endRow();
    }
}

void writeTandemGff(TableWriter& out, std::string_view seqid, std::span<const TandemRepeat> list,
                    std::int64_t firstNumber, std::string_view idPrefix)
{
    const std::string id = gffSeqid(seqid);
    std::int64_t number = firstNumber - 1;
    for (const TandemRepeat& r : list) {
        out.cell(id);
        out.cell("tessaron");
        out.cell("tandem_repeat");
        out.cell(r.start + 1);
        out.cell(r.end());
        out.cell(r.score);
        out.cell("+");
        out.cell(".");
        out.cell("ID=" + std::string(idPrefix) + "tandem" + std::to_string(++number) +
                 ";period=" + std::to_string(r.period) + ";copies=" + oneDecimal(r.copies) +
                 ";consensus=" + r.consensus + ";Ontology_term=SO:0000705");
        out.endRow();
    }
}

std::vector<SequenceStretch> tandemStretches(std::span<const TandemRepeat> list, std::int64_t length)
{
    std::vector<SequenceStretch> out;
    for (const TandemRepeat& r : list) {
        addStretch(out, r.start, r.end(), length,
                   "tandem:" + std::to_string(r.period) + "x" + oneDecimal(r.copies));
    }
    return out;
}

std::vector<SequenceStretch> microsatelliteStretches(std::span<const Microsatellite> list,
                                                     std::int64_t length)
{
    std::vector<SequenceStretch> out;
    for (const Microsatellite& m : list) {
        addStretch(out, m.start, m.end(), length, "(" + m.unit + ")" + std::to_string(m.repeats));
    }
    return out;
}

void writeStretchesBed(TableWriter& out, std::string_view seqid, std::span<const SequenceStretch> stretches)
{
    const std::string chrom = gffSeqid(seqid);
    for (const SequenceStretch& stretch : stretches) {
        out.cell(chrom);
        out.cell(stretch.start);
        out.cell(stretch.end);
        out.cell(stretch.name);
        out.cell("0");
        out.cell("+");
        out.endRow();
    }
}

std::size_t periodClass(int period)
{
    return period <= 6 ? 0 : period <= 10 ? 1 : period <= 20 ? 2 : period <= 50 ? 3 : period <= 100 ? 4 : 5;
}

TandemCounts countTandemRepeats(std::span<const TandemRepeat> list)
{
    TandemCounts counts;
    for (const TandemRepeat& r : list) {
        const std::size_t c = periodClass(r.period);
        ++counts.arrays[c];
        counts.letters[c] += r.length;
        counts.copies[c] += r.copies;
        ++counts.total;
    }
    return counts;
}

SheetLayout tandemSummaryLayout(const TandemCounts& counts)
{
    SheetLayout layout;
    int row = 1;
    const auto line = [&](std::string_view name, std::int64_t arrays, std::int64_t letters, double copies) {
        layout.cells.push_back({row, 1, std::string(name)});
        layout.cells.push_back({row, 2, std::to_string(arrays)});
        layout.cells.push_back({row, 3, std::to_string(letters)});
        layout.cells.push_back({row, 4, arrays > 0 ? oneDecimal(copies / static_cast<double>(arrays)) : "-"});
        ++row;
    };
    layout.cells.push_back({row, 1, "Tandem repeats by period:"});
    layout.cells.push_back({row, 2, "arrays"});
    layout.cells.push_back({row, 3, "bp"});
    layout.cells.push_back({row, 4, "mean copies"});
    ++row;
    std::int64_t letters = 0;
    double copies = 0.0;
    for (std::size_t c = 0; c < kPeriodClassNames.size(); ++c) {
        line(kPeriodClassNames[c], counts.arrays[c], counts.letters[c], counts.copies[c]);
        letters += counts.letters[c];
        copies += counts.copies[c];
    }
    line("total", counts.total, letters, copies);
    return layout;
}

std::string tandemSettingsText(const TandemSettings& settings)
{
    return "periods " + std::to_string(settings.minimumPeriod) + " to " +
           std::to_string(settings.maximumPeriod) + "; match +" + std::to_string(settings.match) +
           ", mismatch -" + std::to_string(settings.mismatch) + ", indel -" + std::to_string(settings.indel) +
           "; minimum score " + std::to_string(settings.minimumScore) + "; at least " +
           oneDecimal(settings.minimumCopies) + " copies";
}

std::size_t copyClass(double copies)
{
    return copies < 3.0 ? 0 : copies < 5.0 ? 1 : copies < 10.0 ? 2 : 3;
}

TandemCopyTable tandemCopyTable(std::span<const TandemRepeat> list)
{
    TandemCopyTable table{};
    for (const TandemRepeat& r : list) {
        ++table[periodClass(r.period)][copyClass(r.copies)];
    }
    return table;
}

void writeTandemBatchHeader(TableWriter& out)
{
    for (const char* name :
         {"file", "record", "title", "length", "period_class", "arrays", "bp", "mean_copies"}) {
        out.cell(name);
    }
    out.endRow();
}

namespace {

// The cells of one period class after the genome's own: period_class, arrays, bp, mean_copies.
void periodClassCells(TableWriter& out, const TandemCounts& counts, std::size_t c)
{
    out.cell(kPeriodClassNames[c]);
    out.cell(counts.arrays[c]);
    out.cell(counts.letters[c]);
    out.cell(counts.arrays[c] == 0 ? std::string()
                                   : oneDecimal(counts.copies[c] / static_cast<double>(counts.arrays[c])));
    out.endRow();
}

}  // namespace

void writeTandemBatchRows(TableWriter& out, const BatchGenome& genome)
{
    const TandemCounts counts = countTandemRepeats(genome.tandemRepeats);
    const std::string file = genome.file.string();
    for (std::size_t c = 0; c < kPeriodClassNames.size(); ++c) {
        out.cell(file);
        out.cell(std::int64_t{genome.record});
        out.cell(genome.title);
        out.cell(genome.length);
        periodClassCells(out, counts, c);
    }
}

void writeTandemComparisonTable(TableWriter& out, const TandemComparison& comparison)
{
    for (const char* name : {"seqid", "genome", "length", "period_class", "arrays", "bp", "mean_copies"}) {
        out.cell(name);
    }
    out.endRow();
    const std::size_t genomes = std::min({comparison.fileTitles.size(), comparison.seqids.size(),
                                          comparison.lengths.size(), comparison.tandemRepeats.size()});
    for (std::size_t g = 0; g < genomes; ++g) {
        const TandemCounts counts = countTandemRepeats(comparison.tandemRepeats[g]);
        for (std::size_t c = 0; c < kPeriodClassNames.size(); ++c) {
            out.cell(comparison.seqids[g]);
            out.cell(comparison.fileTitles[g]);
            out.cell(comparison.lengths[g]);
            periodClassCells(out, counts, c);
        }
    }
}

}  // namespace tessaron
