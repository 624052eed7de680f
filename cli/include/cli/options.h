#pragma once

#include "engine/gappedsearch.h"
#include "engine/microsatellites.h"
#include "engine/repeatlist.h"
#include "engine/searchmethod.h"
#include "engine/tandemrepeats.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tessaron {

// What the program writes to standard output.
enum class ReportKind {
    Summary,
    Info,
    Pairs,
    Listing,
    Gff,
    Bed,
    Bedpe,
    Features,
    Motif,
    Compare,
    Batch,
    Map,
    Chart,
    Microsatellites,  // --report ssr
    Paper,            // --report paper
    Html,             // --report html
    Tandem,           // --report tandem
    Mask,             // --mask: the genome as FASTA, classes masked
    Families          // --report families, --families (with --gaps)
};

// The repeat marked on the map: the `index`-th (from 1) repeat of a kind and
// length, in the order of the results tree.
struct MapRepeat {
    RepeatKind kind = RepeatKind::Direct;
    int length = 0;
    int index = 0;
    friend bool operator==(const MapRepeat&, const MapRepeat&) = default;
};

// How --map draws: as the desktop first shows the map (names staggered, or
// set apart on a genome with too many features), with the names staggered or
// set apart whatever the genome, or the map for a paper.
enum class MapStyle { Default, Staggered, Tidy, Paper };

// How FILE is read: by its bytes (GenBank when its first non-blank line
// begins with LOCUS, FASTA when with '>', else plain text), or GenBank only.
enum class InputFormat { Auto, Text, GenBank };

// What --normalize writes: FASTA, or GenBank with every feature moved.
enum class NormalizedFormat { Fasta, GenBank };

struct Options {
    bool help = false;
    bool version = false;  // --version
    // One file, a random sequence of these counts, or (with --compare) files.
    std::string file;
    InputFormat format = InputFormat::Auto;
    std::optional<std::array<std::int64_t, 4>> randomCounts;  // A, T, C, G
    std::optional<std::uint32_t> seed;
    std::vector<std::string> compareFiles;  // --compare and --batch
    int minimum = 8;
    int maximum = 30;
    ReportKind report = ReportKind::Summary;
    RepeatKind kind = RepeatKind::Direct;  // of a listing or a comparison
    std::string motif;                     // upper case, A, T, C and G only
    bool csv = false;
    std::string mapFile;  // --map: the PNG, SVG or PDF file to draw
    std::optional<MapRepeat> mapRepeat;
    MapStyle mapStyle = MapStyle::Default;  // --map-style
    int mapWidth = 0;                       // --map-size WxH; 0: the map's own size
    int mapHeight = 0;
    std::string mapHidden;  // --map-hide: the layers left out, comma-separated, each named once
    std::string chartFile;  // --chart: the PNG or SVG file to draw
    bool force = false;     // --force: replace a read-only --map or --chart file
    SearchMethod method = SearchMethod::Trie;   // --complete, --approximate
    ApproximateSettings approximate;            // --approximate: its --min, --identity, ...
    std::optional<int> controls;                // random controls per genome
    std::optional<int> jobs;                    // threads of --batch and --controls
    std::optional<std::string> record;          // --record: a 1-based number or a name
    bool genes = false;                         // --genes: the features of each copy in the listing
    std::optional<std::string> seqid;           // --seqid: the sequence's id in the outputs
    bool tidy = false;                          // --tidy: every table with one header and a seqid column
    bool quiet = false;                         // -q: no progress line
    bool ssr = false;                           // --ssr: the microsatellites instead of the repeats
    MicrosatelliteSettings ssrSettings;         // --ssr-min, --ssr-compound
    bool plastome = false;                      // --plastome: the four parts instead of the repeats
    std::optional<std::int64_t> plastomeMinIr;  // --plastome-min-ir: the shortest inverted-repeat copy
    std::optional<double> plastomeMinIrShare;   // --plastome-min-ir-share: ... as percent of the genome
    std::optional<NormalizedFormat> normalize;  // --normalize: the standard form, in this format
    bool junctions = false;                     // --junctions: with --compare, the junction figure (--chart)
    bool ssrImperfect = false;                  // --ssr-imperfect: interrupted microsatellites
    bool tandem = false;                        // --tandem: the tandem arrays instead of the repeats
    TandemSettings tandemSettings;              // --tandem-max-period, --tandem-all, the weights
    bool maskHard = false;                      // --mask hard: masked letters as N, else lower case
    // --mask-classes: which stretches --mask masks (default all three).
    bool maskMicrosatellites = true;
    bool maskTandem = true;
    bool maskRepeats = true;  // the copies of the approximate pairs at their defaults

    // --gaps: the approximate search with insertions and deletions; its
    // settings (--gap-open, --gap-extend, the others from `approximate`).
    bool gaps = false;
    GappedSettings gapped;
    // --families with --report paper: the section counts the families too.
    bool families = false;
};

// A command line that cannot be run; the message is one line without the
// program's name.
struct UsageError {
    std::string message;
};

// Parses the arguments after the program name. A minimum above the maximum
// is lowered to the maximum.
[[nodiscard]] std::variant<Options, UsageError> parseOptions(std::span<const std::string_view> arguments);

// The text of --help: made from the option table.
[[nodiscard]] std::string_view usageText();

class OptionParser;  // options.cpp

// How the bash completion completes an option's value.
enum class ValueCompletion {
    Free,     // nothing offered (a number, a word)
    File,     // a file name
    Choices,  // one of the option's choices
};

// One option of the command line, the one place it is named: the parser,
// --help, the bash completion (resources/tessaron-cli.bash) and the tests
// that check README's copy of --help all read the table.
struct OptionRow {
    std::string_view name;       // "--jobs"
    std::string_view shortName;  // "-j", or empty
    std::string_view value;      // what it takes, "N"; empty for a flag
    ValueCompletion completion = ValueCompletion::Free;
    // The values it accepts, for ValueCompletion::Choices.
    std::vector<std::string_view> (*choices)() = nullptr;
    // A heading written before its entry in --help ("Options:").
    std::string_view heading;
    // Its entry in --help, whole lines, its name and value included.
    std::string_view help;
    // Reads its value (empty for a flag) into the options being parsed.
    void (*apply)(OptionParser& parser, std::string_view name, std::string_view value) = nullptr;
};

// Every option, in the order of --help.
[[nodiscard]] std::span<const OptionRow> optionTable();

// The bash completion script of the options and their values.
[[nodiscard]] std::string bashCompletion();

// The text of --version: the program's name and version, then its licence.
[[nodiscard]] std::string versionText();

}  // namespace tessaron
