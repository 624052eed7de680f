#pragma once

// What the whole-program timings share: the genome to time on (a file, or a
// seeded random sequence) and the command lines of the approximate and the
// gapped searches' timings.

#include "engine/approximatesearch.h"
#include "engine/gappedsearch.h"
#include "engine/genome.h"
#include "engine/repeatkinds.h"
#include "input/genbankreader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaron::timing {

// random:BASES[:SEED]: equal numbers of A, C, G and T, seed 1 by default.
[[nodiscard]] inline bool isRandomInput(std::string_view input)
{
    return input.starts_with("random:");
}

[[nodiscard]] inline bool makeRandomInput(const std::string& input, Genome& genome)
{
    const std::string rest = input.substr(7);
    const std::size_t colon = rest.find(':');
    const long long bases = std::atoll(rest.substr(0, colon).c_str());
    const auto seed =
        colon == std::string::npos ? 1U : static_cast<std::uint32_t>(std::atoll(rest.c_str() + colon + 1));
    const long long quarter = bases / 4;
    return genome.makeRandom(quarter, quarter, quarter, bases - 3 * quarter, 8, 30, seed);
}

// A GenBank file (gzipped or not) or random:BASES[:SEED].
[[nodiscard]] inline bool loadGenBankOrRandom(const std::string& input, Genome& genome)
{
    if (isRandomInput(input)) {
        return makeRandomInput(input, genome);
    }
    return readGenBank(input, genome, 8, 30).has_value();
}

enum class OptionUse { Unknown, Taken, Refused };

// The options both searches' settings have: --min L, --mismatch-penalty X,
// --identity P, --max-mismatches K, --evalue E and --kind NAME (which
// leaves `kinds` that one kind). Refused (told on standard error) for an
// unknown kind.
template <typename Settings>
OptionUse searchOption(std::string_view option, const char* value, Settings& settings,
                       std::vector<RepeatKind>& kinds)
{
    if (option == "--min") {
        settings.minLength = std::atoi(value);
    } else if (option == "--mismatch-penalty") {
        settings.mismatchPenalty = std::atoi(value);
    } else if (option == "--identity") {
        settings.identity = std::atof(value);
    } else if (option == "--max-mismatches") {
        settings.maxMismatches = std::atoi(value);
    } else if (option == "--evalue") {
        settings.maxEvalue = std::atof(value);
    } else if (option == "--kind") {
        const auto kind = kindNamed(value);
        if (!kind) {
            std::fprintf(stderr, "unknown kind %s\n", value);
            return OptionUse::Refused;
        }
        kinds = {*kind};
    } else {
        return OptionUse::Unknown;
    }
    return OptionUse::Taken;
}

// The approximate search's own options: --threads T and
// --method automatic|seeds|full. False for any other.
inline bool ownOption(std::string_view option, const char* value, ApproximateSettings& settings)
{
    if (option == "--threads") {
        settings.threads = std::atoi(value);
    } else if (option == "--method") {
        const std::string_view method = value;
        settings.method = method == "seeds"  ? ApproximateMethod::Seeds
                          : method == "full" ? ApproximateMethod::FullScan
                                             : ApproximateMethod::Automatic;
    } else {
        return false;
    }
    return true;
}

// The gapped search's own options: --gap-open O, --gap-extend E and
// --seed-length K. False for any other.
inline bool ownOption(std::string_view option, const char* value, GappedSettings& settings)
{
    if (option == "--gap-open") {
        settings.gapOpen = std::atoi(value);
    } else if (option == "--gap-extend") {
        settings.gapExtend = std::atoi(value);
    } else if (option == "--seed-length") {
        settings.seedLength = std::atoi(value);
    } else {
        return false;
    }
    return true;
}

// What a timing program's command line asks for: the settings, the kinds
// (every one unless --kind names one) and whether --pairs lists the pairs.
template <typename Settings>
struct TimingRequest {
    Settings settings;
    std::vector<RepeatKind> kinds{kKindOrder.begin(), kKindOrder.end()};
    bool listPairs = false;
};

// Reads INPUT [options]: --pairs, the options of searchOption and the
// search's own (ownOption). None, told on standard error, without INPUT, for
// an unknown option or a refused value.
template <typename Settings>
std::optional<TimingRequest<Settings>> readTimingRequest(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s GENBANK|random:BASES[:SEED] [options]\n", argv[0]);
        return std::nullopt;
    }
    TimingRequest<Settings> request;
    for (int k = 2; k < argc; ++k) {
        const std::string_view option = argv[k];
        const char* value = k + 1 < argc ? argv[k + 1] : "";
        if (option == "--pairs") {
            request.listPairs = true;
            continue;
        }
        ++k;
        const auto use = searchOption(option, value, request.settings, request.kinds);
        if (use == OptionUse::Refused) {
            return std::nullopt;
        }
        if (use == OptionUse::Unknown && !ownOption(option, value, request.settings)) {
            std::fprintf(stderr, "unknown option %s\n", argv[k - 1]);
            return std::nullopt;
        }
    }
    return request;
}

}  // namespace tessaron::timing
