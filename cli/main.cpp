#include "cli/gffreport.h"
#include "cli/options.h"
#include "cli/reports.h"
#include "cli/tablewriter.h"
#include "compare/comparisonrun.h"
#include "engine/genome.h"
#include "engine/repeatsnapshot.h"
#include "input/filename.h"
#include "input/genbankreader.h"
#include "input/textreader.h"
#include "views/reportlayout.h"

#ifdef TESSARON_CLI_MAP
#include "views/diagrampainter.h"

#include <QGuiApplication>
#include <QString>
#endif

#include <iostream>
#include <memory>
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

// The entry of the comparison's "Compare what:" list that searches `kind`.
int compareItemOf(RepeatKind kind)
{
    for (int item = 0; item < kRepeatKindCount; ++item) {
        if (kindOfCompareItem(item) == kind) {
            return item;
        }
    }
    return -1;
}

std::unique_ptr<RepeatList> search(const Genome& genome, RepeatKind kind)
{
    auto list = kind == RepeatKind::Direct ? genome.findDirectRepeats() : genome.findRepeats(kind);
    if (!list) {
        throw Failure{std::string(kOutOfMemory)};
    }
    return list;
}

// Loads the input as the desktop program's open and random commands do; the
// features of a GenBank file, none otherwise.
FeatureList load(const Options& options, Genome& genome)
{
    if (options.randomCounts) {
        const auto& [a, t, c, g] = *options.randomCounts;
        if (!genome.makeRandom(a, t, c, g, options.minimum, options.maximum, options.seed)) {
            throw Failure{std::string(kOutOfMemory)};
        }
        return {};
    }
    const bool genBank = options.format == InputFormat::GenBank ||
                         (options.format == InputFormat::Auto && looksLikeGenBank(options.file));
    if (!genBank) {
        readText(options.file, genome, options.minimum, options.maximum);
        return {};
    }
    auto features = readGenBank(options.file, genome, options.minimum, options.maximum);
    if (!features) {
        throw Failure{"The file doesn't seem to be in GenBank format!"};
    }
    return std::move(*features);
}

void index(Genome& genome)
{
    if (!genome.buildIndex()) {
        throw Failure{std::string(kOutOfMemory)};
    }
}

#ifdef TESSARON_CLI_MAP
// Draws the map of a GenBank file, with the chosen repeat marked, through the
// desktop program's painter on an offscreen platform.
void drawMap(const Options& options, Genome& genome, const FeatureList& features)
{
    if (features.empty()) {
        throw Failure{"--map needs a GenBank file"};
    }
    std::unique_ptr<RepeatList> list;
    const Repeat* repeat = nullptr;
    std::span<const RepeatPair> pairs;
    if (const auto& chosen = options.mapRepeat) {
        index(genome);
        list = search(genome, chosen->kind);
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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The platform's notes (a missing runtime folder and the like) are of no
    // use here: only this program's own messages reach standard error.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::cerr << kProgram << message.toStdString() << '\n';
        }
    });
    int argc = 1;
    char name[] = "tessaron-cli";
    char* argv[] = {name, nullptr};
    const QGuiApplication application(argc, argv);
    if (!saveDiagram(QString::fromStdString(options.mapFile), features, repeat, pairs)) {
        throw Failure{"cannot write " + options.mapFile};
    }
}
#endif

void compare(const Options& options, TableWriter& out)
{
    std::vector<std::filesystem::path> files(options.compareFiles.begin(), options.compareFiles.end());
    Genome genome;
    auto result = runComparison(files, compareItemOf(options.kind), options.minimum, options.maximum, genome);
    if (const auto* failure = std::get_if<ComparisonFailure>(&result)) {
        throw Failure{failure->message};
    }
    writeLayout(out, comparisonLayout(std::get<GenomeComparison>(result)));
}

// Runs the searches a report needs, releasing each list before the next
// search, and writes the report.
void analyse(const Options& options, Genome& genome, const FeatureList& features, TableWriter& out)
{
    switch (options.report) {
    case ReportKind::Info:
        writeInfo(out, genome);
        return;
    case ReportKind::Features:
        writeFeatures(out, features);
        return;
    case ReportKind::Motif:
        index(genome);
        writeMotif(out, genome.findWord(options.motif));
        return;
    case ReportKind::Listing: {
        index(genome);
        const auto list = search(genome, options.kind);
        writeLayout(out, listingLayout(*list, listingCaption(options.kind), genome));
        return;
    }
    case ReportKind::Summary: {
        index(genome);
        // The summary needs the counts alone: the searches count pairs
        // without making them, so no pair limit applies.
        const auto shared = std::make_shared<const Genome>(std::move(genome));
        PairCountsByKind counts;
        for (const RepeatKind kind : kKindOrder) {
            const auto result = searchRepeats(shared, kind, SnapshotDetail::Counts);
            const auto* snapshot = std::get_if<std::shared_ptr<const RepeatSnapshot>>(&result);
            if (snapshot == nullptr) {
                throw Failure{std::string(kOutOfMemory)};
            }
            counts[static_cast<std::size_t>(kind)] = (*snapshot)->pairCounts();
        }
        writeLayout(out, summaryLayout(shared->minLength(), counts));
        return;
    }
    case ReportKind::Pairs:
        index(genome);
        writePairsHeader(out);
        for (const RepeatKind kind : kKindOrder) {
            writePairs(out, genome, kind, *search(genome, kind));
        }
        return;
    case ReportKind::Gff: {
        index(genome);
        const std::string name = options.randomCounts ? std::string("random") : displayName(options.file);
        GffReport gff(out, name, genome.length());
        for (const RepeatKind kind : kKindOrder) {
            gff.write(genome, kind, *search(genome, kind));
        }
        return;
    }
    case ReportKind::Compare:
        return;
    case ReportKind::Map:
#ifdef TESSARON_CLI_MAP
        drawMap(options, genome, features);
#endif
        return;
    }
}

int run(const Options& options)
{
    TableWriter out(std::cout, options.csv ? TableFormat::Csv : TableFormat::Tsv);
    if (options.report == ReportKind::Compare) {
        compare(options, out);
    } else {
        Genome genome;
        const FeatureList features = load(options, genome);
        analyse(options, genome, features, out);
    }
    out.flush();
    if (!std::cout.flush()) {
        return fail("cannot write the output");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    const auto parsed = parseOptions(arguments);
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        std::cerr << kProgram << error->message << " (see --help)\n";
        return 2;
    }
    const Options& options = std::get<Options>(parsed);
#ifndef TESSARON_CLI_MAP
    if (options.report == ReportKind::Map) {
        std::cerr << kProgram << "--map needs the desktop build (see --help)\n";
        return 2;
    }
#endif
    if (options.help) {
        if (!(std::cout << usageText() << std::flush)) {
            return fail("cannot write the output");
        }
        return 0;
    }
    try {
        return run(options);
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
