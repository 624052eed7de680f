// Finds the tandem repeats of one genome and prints one line per array:
// start end (1-based, inclusive) period copies score percent_matches
// percent_indels consensus; then, on standard error, the seconds taken.
// Run it under /usr/bin/time -v for the peak memory (bench/trf-compare.sh does).
//
//   tessaron_tandem_timing INPUT [--max-period P] [--min-score S] [--all]
//   tessaron_tandem_timing INPUT --write-fasta PATH   (writes the genome, no search)
//
// INPUT is a GenBank file (gzipped or not), an EMBL, FASTA (its first record;
// a header is no sequence) or text file, or
// random:BASES[:SEED] (equal numbers of A, C, G and T, seed 1 by default), or
// satellite:FLANK:ARRAY[:SEED]: a random 171-letter unit copied to ARRAY
// letters with 2 % substitutions and 0.5 % indels per copy, between FLANK
// random letters on each side.

#include "engine/genome.h"
#include "engine/tandemrepeats.h"
#include "input/filebytes.h"
#include "input/genbankreader.h"
#include "input/readerror.h"
#include "input/records.h"
#include "timinginput.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

using tessaron::Genome;

std::string satellite(long long flank, long long arrayLength, std::uint32_t seed)
{
    std::mt19937 random(seed);
    const auto letter = [&] { return "ACGT"[random() % 4]; };
    std::string unit;
    for (int i = 0; i < 171; ++i) {
        unit += letter();
    }
    std::string text;
    for (long long i = 0; i < flank; ++i) {
        text += letter();
    }
    const long long end = flank + arrayLength;
    while (static_cast<long long>(text.size()) < end) {
        for (const char base : unit) {
            const auto roll = static_cast<unsigned>(random() % 1000);
            if (roll < 20) {
                text += "ACGT"[(std::string_view("ACGT").find(base) + 1 + random() % 3) % 4];
            } else if (roll < 22) {
                // deleted
            } else if (roll < 25) {
                text += base;
                text += letter();
            } else {
                text += base;
            }
        }
    }
    text.resize(static_cast<std::size_t>(end));
    for (long long i = 0; i < flank; ++i) {
        text += letter();
    }
    return text;
}

bool load(const std::string& input, Genome& genome)
{
    if (tessaron::timing::isRandomInput(input)) {
        return tessaron::timing::makeRandomInput(input, genome);
    }
    if (input.rfind("satellite:", 0) == 0) {
        long long flank = 0;
        long long length = 0;
        unsigned seed = 1;
        if (std::sscanf(input.c_str() + 10, "%lld:%lld:%u", &flank, &length, &seed) < 2) {
            return false;
        }
        const std::string text = satellite(flank, length, seed);
        if (!genome.allocate(static_cast<std::int64_t>(text.size()), 8, 30)) {
            return false;
        }
        genome.appendText(text.c_str());
        return true;
    }
    try {
        if (tessaron::readGenBank(input, genome, 8, 30)) {
            return true;
        }
        const std::string bytes = tessaron::readInputBytes(input);
        const std::vector<tessaron::RecordInfo> records = tessaron::parseRecords(bytes);
        (void)tessaron::readRecord(bytes, records.front(), genome, 8, 30, input);
        return genome.length() > 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return false;
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s INPUT [--max-period P] [--min-score S] [--all]\n", argv[0]);
        return 2;
    }
    tessaron::TandemSettings settings;
    std::string fastaPath;
    for (int k = 2; k < argc; ++k) {
        const std::string_view option = argv[k];
        const char* value = k + 1 < argc ? argv[k + 1] : "0";
        if (option == "--all") {
            settings.all = true;
        } else if (option == "--max-period") {
            settings.maximumPeriod = std::atoi(value);
            ++k;
        } else if (option == "--write-fasta") {
            fastaPath = value;
            ++k;
        } else if (option == "--min-score") {
            settings.minimumScore = std::atoi(value);
            ++k;
        } else {
            std::fprintf(stderr, "unknown option %s\n", argv[k]);
            return 2;
        }
    }
    if (const auto problem = settings.validate()) {
        std::fprintf(stderr, "%s\n", problem->c_str());
        return 2;
    }
    Genome genome;
    if (!load(argv[1], genome)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 1;
    }
    if (!fastaPath.empty()) {
        // The same genome for another program: FASTA, 60 letters a line.
        std::FILE* file = std::fopen(fastaPath.c_str(), "w");
        if (file == nullptr) {
            std::fprintf(stderr, "cannot write %s\n", fastaPath.c_str());
            return 1;
        }
        std::fprintf(file, ">genome\n");
        const std::string_view bases = genome.sequence();
        for (std::size_t at = 0; at < bases.size(); at += 60) {
            const std::string_view line = bases.substr(at, 60);
            std::fprintf(file, "%.*s\n", static_cast<int>(line.size()), line.data());
        }
        std::fclose(file);
        return 0;
    }
    const auto begin = std::chrono::steady_clock::now();
    const tessaron::TandemRepeatResult result = tessaron::findTandemRepeats(genome, settings);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    const auto* list = std::get_if<tessaron::TandemRepeatList>(&result);
    if (list == nullptr) {
        std::fprintf(stderr, "the search failed\n");
        return 1;
    }
    for (const tessaron::TandemRepeat& r : *list) {
        std::printf("%lld %lld %d %.1f %lld %d %d %s\n", static_cast<long long>(r.start + 1),
                    static_cast<long long>(r.end()), r.period, r.copies, static_cast<long long>(r.score),
                    r.percentMatches(), r.percentIndels(), r.consensus.c_str());
    }
    std::fprintf(stderr, "%zu arrays on %d letters in %.3f s\n", list->size(), genome.length(), seconds);
    return 0;
}
