#include "cli/options.h"
#include "cli/reports.h"
#include "engine/genome.h"
#include "input/textreader.h"

#include <iostream>
#include <new>
#include <string_view>
#include <vector>

namespace {

using namespace tessaron;

constexpr std::string_view kProgram = "tessaron-cli: ";

int fail(std::string_view message)
{
    std::cerr << kProgram << message << '\n';
    return 1;
}

int outOfMemory()
{
    return fail("Looks like we're out of memory...");
}

// Loads, indexes and searches as the desktop program does, then writes the report.
int run(const Options& options)
{
    Genome genome;
    if (options.randomCounts) {
        const auto& [a, t, c, g] = *options.randomCounts;
        if (!genome.makeRandom(a, t, c, g, options.minimum, options.maximum, options.seed)) {
            return outOfMemory();
        }
    } else {
        readText(options.file, genome, options.minimum, options.maximum);
    }
    if (!genome.buildIndex()) {
        return outOfMemory();
    }

    // Each list is used and released before the next search runs, so only
    // one of them is ever held.
    RepeatCountTable counts;
    if (options.report == ReportKind::Pairs) {
        writePairsHeader(std::cout);
    }
    for (const RepeatKind kind : kKindOrder) {
        const auto list = kind == RepeatKind::Direct ? genome.findDirectRepeats() : genome.findRepeats(kind);
        if (!list) {
            return outOfMemory();
        }
        counts[static_cast<std::size_t>(kind)] = countsOf(*list);
        if (options.report == ReportKind::Pairs) {
            writePairs(std::cout, genome, kind, *list);
        }
    }

    switch (options.report) {
        case ReportKind::Summary:
            writeSummary(std::cout, counts);
            break;
        case ReportKind::Info:
            writeInfo(std::cout, genome);
            break;
        case ReportKind::Pairs:
            break;
    }
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
    if (options.help) {
        if (!(std::cout << usageText() << std::flush)) {
            return fail("cannot write the output");
        }
        return 0;
    }
    try {
        return run(options);
    } catch (const ReadError& error) {
        return fail(error.what());
    } catch (const std::bad_alloc&) {
        return outOfMemory();
    } catch (const std::exception& error) {
        return fail(error.what());
    }
}
