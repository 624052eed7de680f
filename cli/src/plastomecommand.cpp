#include "plastomecommand.h"

#include "clifailure.h"
#include "compare/workers.h"
#include "engine/plastomenormalisation.h"
#include "input/genbankfeaturetable.h"
#include "input/normalisedrecord.h"
#include "input/readerror.h"
#include "input/records.h"
#include "report/plastomeannotation.h"
#include "report/plastomereport.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <new>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace tessaron::cli {

namespace {

// The record's own features as written, for the annotation check (GenBank
// only; nothing for other input).
std::vector<RawFeature> rawFeatures(const InputRecords& records, std::size_t index)
{
    const RecordInfo* info = records.info(index);
    if (info == nullptr || info->format != RecordFormat::GenBank) {
        return {};
    }
    return readGenBankRecordText(records.bytes(index)).features;
}

void writeNormalized(const Options& options, const InputRecords& records, TableWriter& out,
                     const PlastomeSettings& settings)
{
    const bool genbank = *options.normalize == NormalizedFormat::GenBank;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const RecordInfo* info = records.info(i);
        if (genbank && (info == nullptr || info->format != RecordFormat::GenBank)) {
            throw Failure{"--normalize genbank needs GenBank input; " + records.seqid(i) +
                          " is not a GenBank record (choose --normalize fasta)"};
        }
        const LoadedRecord loaded = records.load(i);
        const std::string_view sequence = loaded.genome->sequence();
        const PlastomeStructure structure = findPlastomeStructure(sequence, settings);
        if (!structure.found) {
            throw Failure{records.seqid(i) +
                          ": no quadripartite structure to normalise (the longest inverted copy: " +
                          std::to_string(structure.longestIrCandidate) +
                          " bases, the shortest counted: " + std::to_string(structure.minIrLength) + ")"};
        }
        const NormalisedPlastome normalised =
            normalisePlastome(sequence, structure, plastomeMarkers(loaded.features));
        out.flush();
        std::cout.flush();
        std::cerr << "tessaron-cli: note: " << records.seqid(i) << ": the strand set by "
                  << (normalised.strandMarker.empty() ? "the bases (no psbA, trnH-GUG or rbcL in the LSC)"
                                                      : normalised.strandMarker)
                  << ", the SSC by "
                  << (normalised.sscMarker.empty() ? "the bases (no ndhF or ycf1 in the SSC)"
                                                   : normalised.sscMarker)
                  << '\n';
        if (!genbank) {
            out.preformatted(fastaText(records.seqid(i), normalised.sequence));
            continue;
        }
        int dropped = 0;
        out.preformatted(
            writeNormalisedGenBank(readGenBankRecordText(records.bytes(i)), normalised, dropped));
        if (dropped > 0) {
            out.flush();
            std::cout.flush();
            std::cerr << "tessaron-cli: note: " << records.seqid(i) << ": " << dropped
                      << (dropped == 1 ? " feature" : " features")
                      << " left out: their locations could not be read\n";
        }
    }
}

// One file of a batch: its rows, or why it failed.
struct FileRows {
    std::string rows;
    std::optional<std::string> failure;
};

FileRows plastomeRows(const std::filesystem::path& path, const Options& options,
                      const PlastomeSettings& settings)
{
    FileRows result;
    try {
        const InputFile file = InputFile::read(path);
        std::ostringstream text;
        TableWriter out(text, options.csv ? TableFormat::Csv : TableFormat::Tsv);
        const std::string name = path.string();
        for (std::size_t r = 0; r < file.records().size(); ++r) {
            Genome genome;
            (void)file.load(r, genome, options.minimum, options.maximum);
            const RecordInfo& info = file.records()[r];
            requireBases(genome, path, file.records().size() > 1 ? "record " + std::to_string(r + 1) : "");
            const PlastomeStructure structure = findPlastomeStructure(genome.sequence(), settings);
            writePlastomeTableRow(out, name, std::to_string(r + 1), info.seqid, structure);
        }
        out.flush();
        result.rows = text.str();
    } catch (const ReadError& error) {
        result.failure = error.what();
    } catch (const std::bad_alloc&) {
        result.failure = std::string(kOutOfMemory);
    } catch (const std::exception& error) {
        result.failure = error.what();
    }
    return result;
}

// GFF3 of several records: one version line, every sequence region, then
// each record's parts, their IDs begun with its seqid ("NC_000932.1:LSC").
void writeSeveralGff(const InputRecords& records, TableWriter& out, Progress& progress,
                     const PlastomeSettings& settings)
{
    std::vector<PlastomeStructure> structures;
    for (std::size_t i = 0; i < records.size(); ++i) {
        progress.show("plastome of " + records.seqid(i),
                      static_cast<double>(i) / static_cast<double>(records.size()));
        structures.push_back(findPlastomeStructure(records.load(i).genome->sequence(), settings));
    }
    progress.clear();
    out.cell("##gff-version 3");
    out.endRow();
    for (std::size_t i = 0; i < records.size(); ++i) {
        out.cell("##sequence-region " + records.seqid(i) + " 1 " +
                 std::to_string(structures[i].genomeLength));
        out.endRow();
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
        writePlastomeGffParts(out, records.seqid(i), structures[i], records.seqid(i) + ":");
    }
}

}  // namespace

PlastomeSettings plastomeSettings(const Options& options)
{
    PlastomeSettings settings;
    settings.minIrLength = options.plastomeMinIr.value_or(settings.minIrLength);
    if (options.plastomeMinIrShare) {
        settings.minIrFraction = *options.plastomeMinIrShare / 100.0;
    }
    return settings;
}

bool usesPlastome(const Options& options)
{
    return options.plastome || options.normalize.has_value();
}

void writePlastomeReports(const Options& options, const InputRecords& records, TableWriter& out,
                          Progress& progress)
{
    const PlastomeSettings settings = plastomeSettings(options);
    if (options.normalize) {
        writeNormalized(options, records, out, settings);
        return;
    }
    if (options.report == ReportKind::Gff && records.several()) {
        writeSeveralGff(records, out, progress, settings);
        return;
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
        progress.show("plastome of " + records.seqid(i), 0.0);
        const LoadedRecord loaded = records.load(i);
        const PlastomeStructure structure = findPlastomeStructure(loaded.genome->sequence(), settings);
        if (options.report == ReportKind::Gff) {
            writePlastomeGff(out, records.seqid(i), structure);
            continue;
        }
        if (options.report == ReportKind::Bed) {
            writePlastomeBed(out, records.seqid(i), structure);
            continue;
        }
        if (records.several()) {
            if (i > 0) {
                out.endRow();
            }
            out.cell("seqid");
            out.cell(records.seqid(i));
            out.endRow();
        }
        writePlastomeReport(out, structure, junctionGenes(structure, loaded.features),
                            checkAnnotation(structure, rawFeatures(records, i)));
    }
    progress.clear();
}

std::vector<JunctionChartRow> junctionChartRows(const Options& options, Progress& progress)
{
    const PlastomeSettings settings = plastomeSettings(options);
    std::vector<JunctionChartRow> rows;
    for (std::size_t f = 0; f < options.compareFiles.size(); ++f) {
        const std::filesystem::path path = options.compareFiles[f];
        progress.show("junctions of " + path.string(),
                      static_cast<double>(f) / static_cast<double>(options.compareFiles.size()));
        const InputFile file = InputFile::read(path);
        for (std::size_t r = 0; r < file.records().size(); ++r) {
            Genome genome;
            const FeatureList features =
                file.load(r, genome, options.minimum, options.maximum).value_or(FeatureList{});
            requireBases(genome, path, file.records().size() > 1 ? "record " + std::to_string(r + 1) : "");
            JunctionChartRow row;
            const std::string& seqid = file.records()[r].seqid;
            row.name = !genome.title().empty() ? genome.title() : !seqid.empty() ? seqid : fileSeqid(path);
            row.structure = findPlastomeStructure(genome.sequence(), settings);
            row.genes = junctionGenes(row.structure, features);
            rows.push_back(std::move(row));
        }
    }
    progress.clear();
    return rows;
}

int plastomeBatch(const Options& options, TableWriter& out, Progress& progress)
{
    const PlastomeSettings settings = plastomeSettings(options);
    const std::vector<std::string>& files = options.compareFiles;
    writePlastomeTableHeader(out);
    std::vector<std::optional<FileRows>> done(files.size());
    std::mutex lock;
    std::condition_variable ready;
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++) {
            FileRows rows = plastomeRows(files[i], options, settings);
            const std::scoped_lock guard(lock);
            done[i] = std::move(rows);
            ready.notify_all();
        }
    };
    const int wanted =
        std::max(1, std::min(options.jobs.value_or(usableCores()), static_cast<int>(files.size())));
    std::vector<std::jthread> pool;
    if (startWorkers(pool, wanted, work) == 0) {
        work();  // no thread could start: this one does it all
    }
    int failed = 0;
    const std::string step = "files of " + std::to_string(files.size()) + " done,";
    for (std::size_t i = 0; i < files.size(); ++i) {
        FileRows rows;
        {
            std::unique_lock guard(lock);
            ready.wait(guard, [&] { return done[i].has_value(); });
            rows = std::move(*done[i]);
            done[i].reset();
        }
        if (rows.failure) {
            ++failed;
            out.flush();
            std::cout.flush();
            progress.clear();
            std::cerr << "tessaron-cli: " << *rows.failure << '\n';
        }
        out.preformatted(rows.rows);
        progress.show(std::to_string(i + 1) + ' ' + step,
                      static_cast<double>(i + 1) / static_cast<double>(files.size()));
    }
    return failed > 0 ? 1 : 0;
}

}  // namespace tessaron::cli
