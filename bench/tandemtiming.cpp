// Finds the tandem repeats of one genome and prints one line per array:
// start end (1-based, inclusive) period copies score percent_matches
// percent_indels consensus; then, on standard error, the seconds taken.
// Run it under /usr/bin/time -v for the peak memory (bench/trf-compare.sh does).
//
//   tessaron_tandem_timing INPUT [--max-period P] [--min-score S] [--all]
//   tessaron_tandem_timing INPUT --write-fasta PATH   (writes the genome, no search)
//   tessaron_tandem_timing INPUT --mirror   (the search on the genome and on its
//                                            reverse complement: the arrays that
//                                            do not mirror, and why)
//
// INPUT is a GenBank file (gzipped or not), an EMBL, FASTA (its first record;
// a header is no sequence) or text file, or
// random:BASES[:SEED] (equal numbers of A, C, G and T, seed 1 by default), or
// satellite:FLANK:ARRAY[:SEED]: a random 171-letter unit copied to ARRAY
// letters with 2 % substitutions and 0.5 % indels per copy, between FLANK
// random letters on each side.

#include "engine/alphabet.h"
#include "engine/genome.h"
#include "engine/tandemrepeats.h"
#include "input/filebytes.h"
#include "input/genbankreader.h"
#include "input/readerror.h"
#include "input/records.h"
#include "timinginput.h"

#include <algorithm>
#include <cctype>
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

std::string reverseComplement(std::string_view bases)
{
    std::string out(bases.rbegin(), bases.rend());
    for (char& letter : out) {
        letter = tessaron::complement(letter);
    }
    return out;
}

// The array that `r` of a genome of n letters should be on its reverse
// complement: mirrored place, the columns of its alignment read backwards,
// the consensus complemented and read backwards from where the array ends
// in it, copies cut where that consensus starts again.
tessaron::TandemRepeat mirrored(const tessaron::TandemRepeat& r, std::int64_t n)
{
    tessaron::TandemRepeat m = r;
    m.start = ((n - r.end()) % n + n) % n;
    std::string columns;
    for (std::size_t i = 0; i < r.alignment.size();) {
        if (r.alignment[i] == ',') {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (std::isdigit(static_cast<unsigned char>(r.alignment[j])) != 0) {
            ++j;
        }
        columns.append(static_cast<std::size_t>(std::stoll(r.alignment.substr(i, j - i))), r.alignment[j]);
        i = j + 1;
    }
    const auto p = static_cast<std::int64_t>(r.consensus.size());
    const std::int64_t rows = static_cast<std::int64_t>(
        std::count_if(columns.begin(), columns.end(), [](char op) { return op != 'I'; }));
    const std::string back = reverseComplement(r.consensus);
    // The last consensus letter of the array, r.consensus[(rows - 1) % p], is back[p - 1 - that].
    const std::int64_t first = p - 1 - (rows - 1) % p;
    m.consensus =
        back.substr(static_cast<std::size_t>(first)) + back.substr(0, static_cast<std::size_t>(first));
    std::reverse(columns.begin(), columns.end());
    m.alignment.clear();
    std::int64_t u = 0;
    std::string copy;
    const auto flush = [&] {
        std::string out;
        for (std::size_t i = 0; i < copy.size();) {
            std::size_t j = i;
            while (j < copy.size() && copy[j] == copy[i]) {
                ++j;
            }
            out += std::to_string(j - i) + copy[i];
            i = j;
        }
        m.alignment += (m.alignment.empty() ? "" : ",") + out;
        copy.clear();
    };
    bool rowsInCopy = false;
    for (const char op : columns) {
        if (op != 'I' && u % p == 0 && rowsInCopy) {
            flush();
            rowsInCopy = false;
        }
        copy += op;
        if (op != 'I') {
            rowsInCopy = true;
            ++u;
        }
    }
    flush();
    return m;
}

// Lists the arrays of the genome that its reverse complement does not give back mirrored.
int checkMirror(const Genome& genome, const tessaron::TandemSettings& settings)
{
    const std::string_view bases = genome.sequence();
    const auto n = static_cast<std::int64_t>(bases.size());
    const std::string back = reverseComplement(bases);
    Genome other;
    if (!other.allocate(n, 8, 30)) {
        return 1;
    }
    other.appendText(back.c_str());
    const auto forward = tessaron::findTandemRepeats(genome, settings);
    const auto backward = tessaron::findTandemRepeats(other, settings);
    const auto* f = std::get_if<tessaron::TandemRepeatList>(&forward);
    const auto* b = std::get_if<tessaron::TandemRepeatList>(&backward);
    if (f == nullptr || b == nullptr) {
        std::fprintf(stderr, "the search failed\n");
        return 1;
    }
    const auto show = [](const char* what, const tessaron::TandemRepeat& r) {
        std::printf(
            "  %s %lld-%lld p%d copies %.2f score %lld %d%%/%d%% %s %s\n", what,
            static_cast<long long>(r.start), static_cast<long long>(r.end()), r.period, r.copies,
            static_cast<long long>(r.score), r.percentMatches(), r.percentIndels(), r.consensus.c_str(),
            r.alignment.size() > 80 ? (r.alignment.substr(0, 80) + "...").c_str() : r.alignment.c_str());
    };
    int exact = 0;
    int sameButAlignment = 0;
    std::vector<bool> used(b->size(), false);
    for (const tessaron::TandemRepeat& r : *f) {
        const tessaron::TandemRepeat m = mirrored(r, n);
        const auto it = std::find_if(b->begin(), b->end(), [&](const tessaron::TandemRepeat& o) {
            return o.start == m.start && o.length == m.length && o.period == m.period;
        });
        if (it != b->end()) {
            used[static_cast<std::size_t>(it - b->begin())] = true;
            if (*it == m) {
                ++exact;
                continue;
            }
            tessaron::TandemRepeat loose = *it;
            loose.alignment = m.alignment;
            if (loose == m) {
                ++sameButAlignment;
                std::printf("alignment differs:\n");
            } else {
                std::printf("%s differs:\n", it->consensus != m.consensus ? "consensus"
                                             : it->score != m.score       ? "score"
                                                                          : "counts");
            }
            show("want", m);
            show("got ", *it);
            continue;
        }
        // The overlapping arrays of the reverse complement.
        std::vector<const tessaron::TandemRepeat*> near;
        for (const tessaron::TandemRepeat& o : *b) {
            if (o.start < m.end() && m.start < o.end()) {
                near.push_back(&o);
            }
        }
        const bool samePeriod =
            std::any_of(near.begin(), near.end(), [&](const auto* o) { return o->period == m.period; });
        std::printf("%s:\n", near.empty() ? "missing" : samePeriod ? "other extent" : "other period");
        show("want", m);
        for (const auto* o : near) {
            show("got ", *o);
        }
    }
    int extra = 0;
    for (std::size_t i = 0; i < b->size(); ++i) {
        extra += used[i] ? 0 : 1;
    }
    std::printf(
        "%zu arrays, %d mirror exactly, %d but for the alignment; %zu on the reverse complement, %d "
        "without a mirror here\n",
        f->size(), exact, sameButAlignment, b->size(), extra);
    return 0;
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
    bool mirror = false;
    for (int k = 2; k < argc; ++k) {
        const std::string_view option = argv[k];
        const char* value = k + 1 < argc ? argv[k + 1] : "0";
        if (option == "--mirror") {
            mirror = true;
        } else if (option == "--all") {
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
    if (mirror) {
        return checkMirror(genome, settings);
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
