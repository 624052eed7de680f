#pragma once

// The records of a sequence file, told apart by its bytes: GenBank (records
// from LOCUS to "//"), FASTA (a record per '>' header) or plain text (one
// record, every byte a candidate base). Listing the records is cheap, it
// builds no genome; loading one fills a genome from its bytes alone.

#include "engine/genome.h"
#include "input/feature.h"
#include "input/readerror.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaron {

enum class RecordFormat { GenBank, Fasta, Text };

// "GenBank", "FASTA" or "text".
[[nodiscard]] std::string_view formatName(RecordFormat format);

// GenBank when the first non-blank line begins with LOCUS, FASTA when it
// begins with '>', plain text otherwise (a UTF-8 byte order mark is skipped).
[[nodiscard]] RecordFormat detectFormat(std::string_view bytes);

// One record of a file, as listed.
struct RecordInfo {
    RecordFormat format = RecordFormat::Text;
    std::string name;         // the LOCUS name, or the FASTA id; empty for text
    std::string accession;    // GenBank: the first ACCESSION and VERSION, blank-separated
    std::string title;        // what the genome's title becomes: SOURCE text, FASTA id
    std::string description;  // GenBank DEFINITION, or the FASTA header after the id
    std::int64_t length = 0;  // letters of the sequence as written (N and gaps included)
    std::size_t begin = 0;    // the record's bytes within the file
    std::size_t end = 0;
    int firstLine = 1;  // 1-based line of the record's first byte
};

// The records of a file's bytes, in file order; always one at least (an empty
// or blank file gives one empty text record).
[[nodiscard]] std::vector<RecordInfo> parseRecords(std::string_view bytes);

// Fills `genome` from one listed record of `bytes`, as a load does (the
// settings given as they are, the index not built). Returns the features of
// a GenBank record, nothing for FASTA and text. A GenBank record that the
// reader rejects throws InputError naming `path`; the genome is then
// unchanged. Throws std::bad_alloc when memory runs out.
std::optional<FeatureList> readRecord(std::string_view bytes, const RecordInfo& record, Genome& genome,
                                      int minimum, int maximum, const std::filesystem::path& path = {});

// Which record `choice` names: a 1-based number, or a name, accession or
// accession.version (case-insensitive). Nothing when none matches.
[[nodiscard]] std::optional<std::size_t> findRecord(const std::vector<RecordInfo>& records,
                                                    std::string_view choice);

// A file read once, with its records listed.
class InputFile {
public:
    // Reads the whole file, or standard input for "-" (see readInputBytes);
    // throws InputError when it cannot be read.
    [[nodiscard]] static InputFile read(const std::filesystem::path& path);
    [[nodiscard]] static InputFile fromBytes(std::string bytes, std::filesystem::path path = {});

    [[nodiscard]] const std::filesystem::path& path() const { return path_; }
    [[nodiscard]] const std::string& bytes() const { return bytes_; }
    [[nodiscard]] const std::vector<RecordInfo>& records() const { return records_; }
    [[nodiscard]] RecordFormat format() const { return records_.front().format; }

    // readRecord on the `index`-th (0-based) record.
    std::optional<FeatureList> load(std::size_t index, Genome& genome, int minimum, int maximum) const;

private:
    InputFile(std::string bytes, std::filesystem::path path);

    std::filesystem::path path_;
    std::string bytes_;
    std::vector<RecordInfo> records_;
};

}  // namespace tessaron
