#pragma once

#include "cli/options.h"
#include "compare/batch.h"
#include "engine/genome.h"
#include "input/feature.h"
#include "input/records.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaron::cli {

// One record, loaded: its genome (index not built), its features (GenBank;
// none otherwise) and its id in the outputs.
struct LoadedRecord {
    std::shared_ptr<Genome> genome;
    FeatureList features;
    std::string seqid;
};

// The records the options ask for: the input read once (a file, standard
// input or a random sequence), then every record, the one --record names,
// or the first alone for the reports that draw one (with a note on standard
// error when more were passed over). Throws Failure or InputError when the
// input cannot be read or the record cannot be found.
class InputRecords {
public:
    explicit InputRecords(const Options& options);

    [[nodiscard]] std::size_t size() const { return chosen_.size(); }
    // Whether the reports cover several records, each under its seqid.
    [[nodiscard]] bool several() const { return chosen_.size() > 1; }
    [[nodiscard]] const std::string& seqid(std::size_t index) const { return seqids_[index]; }
    // The places (0 .. size() - 1) ordered by seqid, records of one seqid in file order.
    [[nodiscard]] std::vector<std::size_t> bySeqid() const;

    // The `index`-th chosen record as listed and its bytes as written; null
    // and empty for --random.
    [[nodiscard]] const RecordInfo* info(std::size_t index) const;
    [[nodiscard]] std::string_view bytes(std::size_t index) const;

    // Loads the `index`-th chosen record; throws InputError (Empty) when it
    // holds no base.
    [[nodiscard]] LoadedRecord load(std::size_t index) const;

private:
    void choose(bool everyRecord);

    const Options& options_;
    std::optional<InputFile> file_;
    std::vector<std::size_t> chosen_;  // records of the file, or {0} for --random
    std::vector<std::string> seqids_;
};

// The id of a file's genome that names none (plain text): its display name
// without ".gz"; "sequence" for standard input ("-").
[[nodiscard]] std::string fileSeqid(const std::filesystem::path& path);

// A batch genome's id in the --tidy tables: its record's, else its file's.
[[nodiscard]] std::string batchSeqid(const BatchGenome& genome);

// Whether a report covers every record of a file of several (the map, the
// chart and the paper's section draw one).
[[nodiscard]] bool coversEveryRecord(ReportKind report);

}  // namespace tessaron::cli
