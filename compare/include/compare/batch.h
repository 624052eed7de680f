#pragma once

// Many genomes at once: every file read and analysed on its own thread, the
// results handed over in file order whatever the thread that made them.

#include "compare/controls.h"
#include "engine/gappedsearch.h"
#include "engine/microsatellites.h"
#include "engine/repeatkinds.h"
#include "engine/searchcontrol.h"
#include "engine/searchmethod.h"
#include "engine/tandemrepeats.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

namespace tessaron {

struct BatchSettings {
    int minimum = 8;
    int maximum = 30;
    int threads = 0;  // 0: every core
    SearchMethod method = SearchMethod::Trie;
    ApproximateSettings approximate = {};  // of SearchMethod::Approximate
    // With SearchMethod::Approximate: the gapped search with these settings
    // instead, its pairs counted per length class of the shorter copy.
    std::optional<GappedSettings> gapped;
    std::optional<ControlSettings> controls;  // random controls for every genome
    bool genBankOnly = false;                 // a file that is not GenBank fails, as the reader says why
    std::optional<RepeatKind> kind;           // only this kind is counted; the others stay empty
    std::stop_token stop;                     // files not yet done fail as cancelled
    // The microsatellites of every genome instead of its repeats: no index
    // is built and no pair counted.
    std::optional<MicrosatelliteSettings> microsatellites;
    // The tandem arrays of every genome instead of its repeats, likewise.
    std::optional<TandemSettings> tandem;
};

// One genome of a batch: where it came from and its pair counts per kind and
// length (with the controls' statistics when they were asked for).
struct BatchGenome {
    std::filesystem::path file;
    int record = 1;          // 1-based place of the record in its file
    std::string recordName;  // the LOCUS name or FASTA id; empty for plain text
    std::string accession;   // the record's seqid (ACCESSION.VERSION, FASTA id); empty for text
    std::string title;       // the whole SOURCE, the FASTA header's text after the id (else
                             // the id), or the file's display name for text
    std::int64_t length = 0;
    int minLength = 0;
    SearchMethod method = SearchMethod::Trie;  // what the count slots are (slotLabel)
    KindCounts counts;
    std::optional<ControlReport> controls;
    MicrosatelliteList microsatellites;  // with BatchSettings::microsatellites
    TandemRepeatList tandemRepeats;      // with BatchSettings::tandem
};

// A file that could not be read or analysed, and why.
struct BatchFailure {
    std::filesystem::path file;
    std::string reason;
    std::optional<SearchFailure> search;  // when the index or a search gave no result, why
};

// Reads each file once (GenBank, FASTA or plain text, told by its bytes),
// indexes and analyses every record of it, files on up to `threads` threads,
// and calls `deliver` for each file in the order given, from the calling
// thread, with its genomes (one per record, in file order) or its failure.
// A failed file comes with the genomes before the record that failed only
// when a search failed and every record of the file could be read; a
// record without a base fails its file. A failed file does not stop the
// others. A file that runs out of memory while others are analysed is
// analysed again once they are done, alone, and its worker stops: fewer run
// at once. Returns the number of failed files.
int runBatch(const std::vector<std::filesystem::path>& files, const BatchSettings& settings,
             const std::function<void(std::size_t index, const std::vector<BatchGenome>& genomes,
                                      const std::optional<BatchFailure>& failure)>& deliver);

// For tests: from now on a file that starts while `files` others or more
// are being analysed runs out of memory, as under an address-space limit
// (0: every file). A negative number lifts the limit.
void limitFilesInMemory(int files);

}  // namespace tessaron
