#include "cli/clirun.h"
#include "cli/options.h"
#include "compare/batch.h"
#include "compare/comparisonrun.h"
#include "compare/controls.h"
#include "engine/genome.h"
#include "engine/repeatsnapshot.h"
#include "engine/searchmethod.h"
#include "engine/suffixindex.h"
#include "input/filename.h"
#include "input/genbankreader.h"
#include "input/records.h"
#include "report/bedreport.h"
#include "report/featureindex.h"
#include "report/gffreport.h"
#include "report/listingstream.h"
#include "report/reportlayout.h"
#include "report/reports.h"
#include "report/tablewriter.h"
#include "report/tidytables.h"
#include "ssrcommand.h"

#include <unistd.h>

#include <climits>
#include <filesystem>

#include <iostream>
#include <new>
#include <string_view>
#include <vector>

namespace {

using namespace tessaron;

constexpr std::string_view kProgram = "tessaron-cli: ";
constexpr std::string_view kOutOfMemory = "Looks like we're out of memory...";

// Thrown for a failure that ends the run with exit status 1.
struct Failure {
    std::string message;
};

int fail(std::string_view message)
{
    std::cerr << kProgram << message << '\n';
    return 1;
}

[[noreturn]] void throwSearchFailure(SearchFailure failure)
{
    switch (failure) {
        case SearchFailure::PairLimit:
            throw Failure{"Too many repeat pairs: a search would hold more than " +
                          std::to_string(Genome::kDefaultPairLimit) +
                          " of them. Try a higher minimum or a lower maximum."};
        case SearchFailure::Cancelled:
        case SearchFailure::OutOfMemory:
            break;
    }
    throw Failure{std::string(kOutOfMemory)};
}

// What the searches of these kinds need, built once: each report then runs
// the search of a kind and releases its snapshot before the next.
PreparedSearch prepare(std::shared_ptr<const Genome> genome, SearchMethod method,
                       std::span<const RepeatKind> kinds)
{
    auto prepared = prepareSearch(std::move(genome), method, kinds);
    if (const auto* failure = std::get_if<SearchFailure>(&prepared)) {
        throwSearchFailure(*failure);
    }
    return std::get<PreparedSearch>(std::move(prepared));
}

std::shared_ptr<const RepeatSnapshot> run(const PreparedSearch& search, RepeatKind kind,
                                          SnapshotDetail detail)
{
    auto result = search.run(kind, detail);
    if (auto* snapshot = std::get_if<std::shared_ptr<const RepeatSnapshot>>(&result)) {
        return std::move(*snapshot);
    }
    throwSearchFailure(std::get<SearchFailure>(result));
}

// The suffix index alone (the motif search and the map's repeat read it).
std::shared_ptr<const SuffixIndex> suffixIndexOf(std::shared_ptr<const Genome> genome)
{
    return prepare(std::move(genome), SearchMethod::Trie, {}).suffixIndex();
}

// Every pair of one kind, as the map marks them; a search stopped by the pair
// limit says so.
std::unique_ptr<RepeatList> search(const SuffixIndex& index, RepeatKind kind)
{
    auto found = index.searchList(kind);
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        throwSearchFailure(*failure);
    }
    return std::get<std::unique_ptr<RepeatList>>(std::move(found));
}

// What was loaded: the features of a GenBank record (none otherwise) and the
// name of the sequence in GFF3 and BED.
struct Loaded {
    FeatureList features;
    std::string sequenceName;
};

std::string singleQuoted(std::string_view text)
{
    return "'" + std::string(text) + "'";
}

// The record of `input` that the options choose: the first unless --record
// names another, with a note when more were passed over.
std::size_t chosenRecord(const Options& options, const InputFile& input)
{
    const auto& records = input.records();
    if (options.record) {
        const std::vector<std::size_t> found = matchingRecords(records, *options.record);
        if (found.size() == 1) {
            return found.front();
        }
        if (found.size() > 1) {
            // Two records of one name: which is meant cannot be told.
            std::string named;
            for (const std::size_t index : found) {
                named += (named.empty() ? "" : ", ") + std::to_string(index + 1) + " (" +
                         records[index].name + ")";
            }
            throw Failure{input.path().string() + ": " + std::to_string(found.size()) +
                          " records are named " + singleQuoted(*options.record) + ": " + named +
                          "; choose one by its number with --record N"};
        }
        throw Failure{input.path().string() + ": no record " + singleQuoted(*options.record) + " (it holds " +
                      std::to_string(records.size()) + (records.size() == 1 ? " record)" : " records)")};
    }
    if (records.size() > 1) {
        std::cerr << kProgram << "note: " << input.path().string() << " holds " << records.size() << ' '
                  << formatName(input.format()) << " records; reading the first, "
                  << singleQuoted(records.front().name) << " (choose another with --record N|NAME)\n";
    }
    return 0;
}

// Loads the input as the desktop program's open and random commands do,
// reading a file once, whatever it is (a pipe, "-" for standard input).
Loaded load(const Options& options, Genome& genome)
{
    if (options.randomCounts) {
        const auto& [a, t, c, g] = *options.randomCounts;
        if (!genome.makeRandom(a, t, c, g, options.minimum, options.maximum, options.seed)) {
            throw Failure{std::string(kOutOfMemory)};
        }
        return {{}, "random"};
    }
    const InputFile input = InputFile::read(options.file);
    if (options.format == InputFormat::GenBank && input.format() != RecordFormat::GenBank) {
        throw notGenBankError(input.bytes(), input.path());
    }
    const std::size_t record = chosenRecord(options, input);
    const RecordInfo& info = input.records()[record];
    Loaded loaded;
    loaded.features = input.load(record, genome, options.minimum, options.maximum).value_or(FeatureList{});
    const bool named = input.records().size() > 1 || options.file == "-";
    loaded.sequenceName = named && !info.name.empty() ? info.name : displayName(options.file);
    return loaded;
}

// Draws the map of a GenBank file, with the chosen repeat marked.
void drawMap(const Options& options, const std::shared_ptr<const Genome>& genome, const FeatureList& features,
             const MapDrawer& drawer)
{
    if (features.empty()) {
        throw Failure{"--map needs a GenBank file"};
    }
    std::unique_ptr<RepeatList> list;
    const Repeat* repeat = nullptr;
    std::span<const RepeatPair> pairs;
    if (const auto& chosen = options.mapRepeat) {
        list = search(*suffixIndexOf(genome), chosen->kind);
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
    if (!drawer(options.mapFile, features, genome->length(), repeat, pairs)) {
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
    auto result = runComparison(files, options.kind, options.minimum, options.maximum, run);
    if (const auto* failure = std::get_if<ComparisonFailure>(&result)) {
        // The reader's words name the file and the cause.
        throw Failure{failure->detail.empty() ? failure->message : failure->detail};
    }
    writeLayout(out, comparisonLayout(std::get<GenomeComparison>(result)));
}

ControlSettings controlSettings(const Options& options)
{
    ControlSettings settings;
    settings.replicates = options.controls.value_or(0);
    // The controls of a random genome start after its own seed, so that none
    // of them is the genome itself.
    settings.seed = options.seed.value_or(1) + (options.randomCounts && options.seed ? 1U : 0U);
    settings.threads = options.jobs.value_or(0);
    return settings;
}

// The pairs per length of the four kinds, or the controls' report.
// The controls' report of a genome.
ControlReport controlReport(const Options& options, const std::shared_ptr<const Genome>& genome)
{
    auto report = runControls(prepare(genome, options.method, kKindOrder), controlSettings(options));
    if (const auto* failure = std::get_if<SearchFailure>(&report)) {
        throwSearchFailure(*failure);
    }
    return std::get<ControlReport>(std::move(report));
}

void drawChart(const Options& options, const std::shared_ptr<const Genome>& genome, const ChartDrawer& drawer)
{
    ChartInput chart;
    chart.minLength = genome->minLength();
    if (options.controls) {
        chart.controls = controlReport(options, genome);
    } else {
        const PreparedSearch searches = prepare(genome, options.method, kKindOrder);
        for (const RepeatKind kind : kKindOrder) {
            chart.counts[static_cast<std::size_t>(kind)] =
                run(searches, kind, SnapshotDetail::Counts)->pairCounts();
        }
    }
    if (!drawer(options.chartFile, chart)) {
        throw Failure{"cannot write " + options.chartFile};
    }
}

// Runs the searches a report needs, releasing each result before the next
// search, and writes the report as the results are read.
void analyse(const Options& options, const std::shared_ptr<const Genome>& loaded, const Loaded& input,
             TableWriter& out, const MapDrawer& drawer, const ChartDrawer& chartDrawer)
{
    const Genome& genome = *loaded;
    const FeatureList& features = input.features;
    // The features each copy overlaps, for GenBank input.
    const FeatureIndex featureIndex(features, genome.length());
    const FeatureIndex* named = features.empty() ? nullptr : &featureIndex;
    const std::array<RepeatKind, 1> listed{options.kind};
    switch (options.report) {
        case ReportKind::Info:
            writeInfo(out, genome);
            return;
        case ReportKind::Features:
            writeFeatures(out, features);
            return;
        case ReportKind::Motif:
            writeMotif(out, suffixIndexOf(loaded)->findWord(options.motif));
            return;
        case ReportKind::Listing:
            if (options.genes && named == nullptr) {
                throw Failure{"--genes needs a GenBank record, whose features name the copies"};
            }
            writeListing(out,
                         *run(prepare(loaded, options.method, listed), options.kind, SnapshotDetail::Words),
                         options.genes ? named : nullptr);
            return;
        case ReportKind::Summary: {
            if (options.controls) {
                writeControlTable(out, controlReport(options, loaded));
                return;
            }
            const PreparedSearch searches = prepare(loaded, options.method, kKindOrder);
            PairCountsByKind counts;
            for (const RepeatKind kind : kKindOrder) {
                counts[static_cast<std::size_t>(kind)] =
                    run(searches, kind, SnapshotDetail::Counts)->pairCounts();
            }
            writeLayout(out, summaryLayout(genome.minLength(), counts));
            return;
        }
        case ReportKind::Pairs: {
            const PreparedSearch searches = prepare(loaded, options.method, kKindOrder);
            writePairsHeader(out, named != nullptr);
            for (const RepeatKind kind : kKindOrder) {
                writePairs(out, *run(searches, kind, SnapshotDetail::Words), named);
            }
            return;
        }
        case ReportKind::Gff: {
            const PreparedSearch searches = prepare(loaded, options.method, kKindOrder);
            GffReport gff(out, input.sequenceName, genome.length());
            gff.setFeatures(named);
            for (const RepeatKind kind : kKindOrder) {
                gff.write(*run(searches, kind, SnapshotDetail::Words));
            }
            return;
        }
        case ReportKind::Bed: {
            const PreparedSearch searches = prepare(loaded, options.method, kKindOrder);
            BedReport bed(out, input.sequenceName);
            for (const RepeatKind kind : kKindOrder) {
                bed.write(*run(searches, kind, SnapshotDetail::Words));
            }
            return;
        }
        case ReportKind::Compare:
        case ReportKind::Batch:
        case ReportKind::Microsatellites:  // written by writeMicrosatelliteReport
        case ReportKind::Paper:
            return;
        case ReportKind::Map:
            drawMap(options, loaded, features, drawer);
            return;
        case ReportKind::Chart:
            drawChart(options, loaded, chartDrawer);
            return;
    }
}

// Every file in parallel, written in the order given; failed files are told
// on standard error and make the exit status 1.
int batch(const Options& options, TableWriter& out)
{
    const std::vector<std::filesystem::path> files(options.compareFiles.begin(), options.compareFiles.end());
    BatchSettings settings;
    settings.minimum = options.minimum;
    settings.maximum = options.maximum;
    settings.threads = options.jobs.value_or(0);
    settings.method = options.method;
    if (options.controls) {
        settings.controls = controlSettings(options);
    }
    writeBatchHeader(out, options.controls.has_value());
    const int failed = runBatch(files, settings,
                                [&](std::size_t, const std::vector<BatchGenome>& genomes,
                                    const std::optional<BatchFailure>& failure) {
                                    if (failure) {
                                        out.flush();
                                        std::cout.flush();
                                        std::cerr << kProgram << failure->file.string() << ": "
                                                  << failure->reason << '\n';
                                    }
                                    for (const BatchGenome& genome : genomes) {
                                        writeBatchRows(out, genome);
                                    }
                                });
    return failed > 0 ? 1 : 0;
}

int run(const Options& options, const MapDrawer& drawer, const ChartDrawer& chartDrawer)
{
    TableWriter out(std::cout, options.csv ? TableFormat::Csv : TableFormat::Tsv);
    int status = 0;
    if (options.report == ReportKind::Compare) {
        options.ssr ? cli::compareMicrosatellites(options, out) : compare(options, out);
    } else if (options.report == ReportKind::Batch) {
        status = options.ssr ? cli::microsatelliteBatch(options, out) : batch(options, out);
    } else {
        auto genome = std::make_shared<Genome>();
        const Loaded input = load(options, *genome);
        if (cli::usesMicrosatellites(options)) {
            cli::writeMicrosatelliteReport(options, *genome, input.features, input.sequenceName, out,
                                           chartDrawer);
        } else {
            analyse(options, std::move(genome), input, out, drawer, chartDrawer);
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
    const bool drawsMap = options.report == ReportKind::Map && !drawer;
    const bool paperChart = options.report == ReportKind::Paper && !options.chartFile.empty();
    const bool drawsChart = (options.report == ReportKind::Chart || paperChart) && !chartDrawer;
    if ((drawsMap || drawsChart) && !options.help) {
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
    if (options.help) {
        if (!(std::cout << usageText() << std::flush)) {
            return fail("cannot write the output");
        }
        return 0;
    }
    try {
        return run(options, drawer, chartDrawer);
    } catch (const Failure& failure) {
        return fail(failure.message);
    } catch (const ReadError& error) {
        return fail(error.what());
    } catch (const std::bad_alloc&) {
        return fail(kOutOfMemory);
    } catch (const std::exception& error) {
        return fail(error.what());
    }
}

}  // namespace tessaron
