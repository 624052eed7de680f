#include "cli/clirun.h"

#include "approximatecommand.h"
#include "cli/options.h"
#include "clifailure.h"
#include "compare/batch.h"
#include "compare/comparisonrun.h"
#include "compare/controls.h"
#include "engine/genome.h"
#include "engine/searchmethod.h"
#include "engine/suffixindex.h"
#include "gappedcommand.h"
#include "htmlcommand.h"
#include "input/filesave.h"
#include "input/readerror.h"
#include "inputrecords.h"
#include "plastomecommand.h"
#include "progress.h"
#include "recordreports.h"
#include "report/bedreport.h"
#include "report/htmlreportbuilder.h"
#include "report/reportlayout.h"
#include "report/reports.h"
#include "report/tablewriter.h"
#include "report/tidytables.h"
#include "searches.h"
#include "ssrcommand.h"
#include "tandemcommand.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace tessaron;
using cli::Failure;

constexpr std::string_view kProgram = "tessaron-cli: ";

int fail(std::string_view message)
{
    std::cerr << kProgram << message << '\n';
    return 1;
}

// Every pair of one kind, as the map marks them; a search stopped by the pair
// limit says so.
std::unique_ptr<RepeatList> search(const SuffixIndex& index, RepeatKind kind)
{
    auto found = index.searchList(kind);
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        cli::throwSearchFailure(*failure);
    }
    return std::get<std::unique_ptr<RepeatList>>(std::move(found));
}

// Draws the map of a genome, with the chosen repeat marked: a GenBank
// file's features, or a plain ring for other genomes.
void drawMap(const Options& options, const std::shared_ptr<const Genome>& genome, const FeatureList& features,
             const MapDrawer& drawer)
{
    if (genome->length() == 0) {
        throw Failure{"--map needs a genome with bases"};
    }
    const FeatureList ring{{0, genome->length() - 1, "sequence", kColorSequence}};
    std::unique_ptr<RepeatList> list;
    const Repeat* repeat = nullptr;
    std::span<const RepeatPair> pairs;
    if (const auto& chosen = options.mapRepeat) {
        list = search(*cli::suffixIndexOf(genome), chosen->kind);
        const int slot = chosen->length - list->minLength();
        const bool inRange = slot >= 0 && slot < list->slotCount() &&
                             chosen->index <= static_cast<int>(list->slot(slot).size());
        if (!inRange) {
            throw Failure{"--repeat: there is no " + std::string(kindName(chosen->kind)) + " repeat number " +
                          std::to_string(chosen->index) + " of length " + std::to_string(chosen->length)};
        }
        repeat = &list->slot(slot)[static_cast<std::size_t>(chosen->index - 1)];
        pairs = list->pairs(*repeat);
    }
    const MapRequest request{options.mapFile,
                             *genome,
                             features.empty() ? ring : features,
                             repeat,
                             pairs,
                             options.mapStyle,
                             options.mapWidth,
                             options.mapHeight,
                             SaveOptions{.overwriteReadOnly = options.force},
                             options.mapHidden};
    if (!drawer(request)) {
        throw Failure{"cannot write " + options.mapFile};
    }
}

// A program installed beside this one (the map's and the chart's, which
// draw with Qt; this program itself never loads it).
std::filesystem::path siblingProgram(std::string_view name)
{
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    return self.parent_path() / name;
}

void compare(const Options& options, TableWriter& out)
{
    std::vector<std::filesystem::path> files(options.compareFiles.begin(), options.compareFiles.end());
    ComparisonOptions run;
    run.method = options.method;
    run.approximate = options.approximate;
    if (options.gaps) {
        run.gapped = options.gapped;
    }
    auto result = runComparison(files, options.kind, options.minimum, options.maximum, run);
    if (const auto* failure = std::get_if<ComparisonFailure>(&result)) {
        // The reader's words name the file and the cause.
        throw Failure{failure->detail.empty() ? failure->message : failure->detail};
    }
    const auto& comparison = std::get<GenomeComparison>(result);
    if (options.tidy) {
        writeComparisonTable(out, comparison);
    } else {
        writeLayout(out, comparisonLayout(comparison));
    }
}

void drawChart(const Options& options, const std::shared_ptr<const Genome>& genome, const ChartDrawer& drawer,
               cli::Progress& progress)
{
    ChartInput chart;
    chart.save.overwriteReadOnly = options.force;
    chart.minLength = genome->minLength();
    chart.maxLength = genome->maxLength();
    const PreparedSearch searches =
        cli::prepare(genome, options.method, kKindOrder, progress.control("indexing"));
    if (options.controls) {
        auto report = runControls(searches, cli::controlSettings(options), progress.control("controls"));
        if (const auto* failure = std::get_if<SearchFailure>(&report)) {
            cli::throwSearchFailure(*failure);
        }
        chart.controls = std::get<ControlReport>(std::move(report));
    } else {
        chart.counts = cli::countPairs(searches, progress.control("counting"));
    }
    progress.clear();
    if (!drawer(options.chartFile, chart)) {
        throw Failure{"cannot write " + options.chartFile};
    }
}

// Every file in parallel, written in the order given; failed files are told
// on standard error and make the exit status 1.
int batch(const Options& options, TableWriter& out, cli::Progress& progress)
{
    const std::vector<std::filesystem::path> files(options.compareFiles.begin(), options.compareFiles.end());
    BatchSettings settings;
    settings.minimum = options.minimum;
    settings.maximum = options.maximum;
    settings.threads = options.jobs.value_or(0);
    settings.method = options.method;
    settings.approximate = options.approximate;
    if (options.gaps) {
        settings.gapped = options.gapped;
    }
    if (options.controls) {
        settings.controls = cli::controlSettings(options);
    }
    writeBatchHeader(out, options.controls.has_value(), options.tidy);
    const std::string step = "files of " + std::to_string(files.size()) + " done,";
    const int failed =
        runBatch(files, settings,
                 [&](std::size_t index, const std::vector<BatchGenome>& genomes,
                     const std::optional<BatchFailure>& failure) {
                     if (failure) {
                         out.flush();
                         std::cout.flush();
                         progress.clear();
                         std::cerr << kProgram << failure->file.string() << ": " << failure->reason << '\n';
                     }
                     for (const BatchGenome& genome : genomes) {
                         writeBatchRows(out, genome, options.tidy ? cli::batchSeqid(genome) : std::string());
                     }
                     progress.show(std::to_string(index + 1) + ' ' + step,
                                   static_cast<double>(index + 1) / static_cast<double>(files.size()));
                 });
    return failed > 0 ? 1 : 0;
}

// The map or the chart of the first chosen record.
void draw(const Options& options, const cli::InputRecords& records, const MapDrawer& drawer,
          const ChartDrawer& chartDrawer, cli::Progress& progress)
{
    const cli::LoadedRecord record = records.load(0);
    if (options.report == ReportKind::Map) {
        drawMap(options, record.genome, record.features, drawer);
    } else {
        drawChart(options, record.genome, chartDrawer, progress);
    }
}

int run(const Options& options, const MapDrawer& drawer, const ChartDrawer& chartDrawer,
        const std::string& commandLine)
{
    TableWriter out(std::cout, options.csv ? TableFormat::Csv : TableFormat::Tsv);
    int status = 0;
    {
        // Cleared before any message of a failure.
        cli::Progress progress(cli::Progress::wanted(options.quiet));
        if (options.report == ReportKind::Batch && options.plastome) {
            status = cli::plastomeBatch(options, out, progress);
        } else if (options.report == ReportKind::Compare && options.junctions) {
            ChartInput chart;
            chart.save.overwriteReadOnly = options.force;
            chart.junctions = cli::junctionChartRows(options, progress);
            if (!chartDrawer(options.chartFile, chart)) {
                throw Failure{"cannot write " + options.chartFile};
            }
        } else if (options.report == ReportKind::Compare) {
            if (options.tandem) {
                cli::compareTandemRepeats(options, out);
            } else {
                options.ssr ? cli::compareMicrosatellites(options, out) : compare(options, out);
            }
        } else if (options.report == ReportKind::Batch) {
            status = options.tandem ? cli::tandemBatch(options, out)
                     : options.ssr  ? cli::microsatelliteBatch(options, out)
                                    : batch(options, out, progress);
        } else {
            const cli::InputRecords records(options);
            if (options.report == ReportKind::Html) {
                cli::writeHtmlReport(options, records, std::cout, progress, commandLine);
            } else if (cli::usesPlastome(options)) {
                cli::writePlastomeReports(options, records, out, progress);
            } else if (options.report == ReportKind::Mask) {
                out.flush();
                cli::writeMaskedRecords(options, records, std::cout, progress);
            } else if (cli::usesTandemRepeats(options)) {
                cli::writeTandemReports(options, records, out, progress);
            } else if (cli::usesMicrosatellites(options)) {
                cli::writeMicrosatelliteReports(options, records, out, progress, chartDrawer);
            } else if (options.gaps) {
                cli::writeGappedReports(options, records, out, progress);
            } else if (options.method == SearchMethod::Approximate && !options.controls) {
                cli::writeApproximateReports(options, records, out, progress);
            } else if (cli::coversEveryRecord(options.report)) {
                cli::writeRecordReports(options, records, out, progress);
            } else {
                draw(options, records, drawer, chartDrawer, progress);
            }
        }
    }
    out.flush();
    if (!std::cout.flush()) {
        return fail("cannot write the output");
    }
    return status;
}

}  // namespace

namespace tessaron {

int runCli(int argc, char** argv, const MapDrawer& drawer, const ChartDrawer& chartDrawer)
{
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const auto parsed = parseOptions(arguments);
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        std::cerr << kProgram << error->message << " (see --help)\n";
        return 2;
    }
    const Options& options = std::get<Options>(parsed);
    // A picture written over the genome being read would lose it.
    std::vector<std::filesystem::path> inputs(options.compareFiles.begin(), options.compareFiles.end());
    inputs.emplace_back(options.file);
    for (const auto& [option, output] :
         {std::pair{"--map", &options.mapFile}, {"--chart", &options.chartFile}}) {
        if (output->empty()) {
            continue;
        }
        if (const auto refusal = outputIsInput(*output, inputs)) {
            return fail(std::string(option) + ": " + *refusal);
        }
        // Told before any work, as cp tells it; the save refuses it too.
        if (!options.force && refusedAsReadOnly(*output)) {
            return fail(std::string(option) + ": cannot replace " + cli::singleQuoted(*output) +
                        ": it is read-only (--force replaces it)");
        }
    }
    if (options.seqid && seqidStartsBedHeader(*options.seqid)) {
        std::cerr
            << kProgram << "--seqid: " << cli::singleQuoted(*options.seqid)
            << " would make BED lines that read as a header (track, browser, #); choose another id (see "
               "--help)\n";
        return 2;
    }
    const bool drawsMap = options.report == ReportKind::Map && !drawer;
    const bool paperChart = options.report == ReportKind::Paper && !options.chartFile.empty();
    const bool junctionChart = options.report == ReportKind::Compare && options.junctions;
    const bool drawsChart =
        (options.report == ReportKind::Chart || paperChart || junctionChart) && !chartDrawer;
    if ((drawsMap || drawsChart) && !options.help && !options.version) {
        // Qt is loaded only for a picture: the map or chart program does the whole run.
        const std::filesystem::path program = siblingProgram(drawsMap ? "tessaron-map" : "tessaron-chart");
        if (!program.empty() && ::access(program.c_str(), X_OK) == 0) {
            std::vector<char*> forwarded(argv, argv + argc);
            forwarded.push_back(nullptr);
            ::execv(program.c_str(), forwarded.data());
        }
        std::cerr << kProgram << (drawsMap ? "--map" : "--chart")
                  << " needs the desktop build (see --help)\n";
        return 2;
    }
    if (options.help || options.version) {
        if (!(std::cout << (options.help ? std::string(usageText()) : versionText()) << std::flush)) {
            return fail("cannot write the output");
        }
        return 0;
    }
    try {
        std::string commandLine = "tessaron-cli";
        for (const std::string_view argument : arguments) {
            commandLine += " " + shellWord(argument);
        }
        return run(options, drawer, chartDrawer, commandLine);
    } catch (const Failure& failure) {
        return fail(failure.message);
    } catch (const ReadError& error) {
        return fail(error.what());
    } catch (const std::bad_alloc&) {
        return fail(cli::kOutOfMemory);
    } catch (const std::exception& error) {
        return fail(error.what());
    }
}

}  // namespace tessaron
