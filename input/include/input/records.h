#pragma once

// The records of a sequence file, told apart by its bytes: GenBank (records
// from LOCUS to "//"), EMBL (records from ID to "//"), FASTA (a record per
// '>' header) or plain text (one record, every byte a candidate base). Listing the records is cheap, it
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

enum class RecordFormat { GenBank, Fasta, Text, Embl };

// "GenBank", "EMBL", "FASTA" or "text".
[[nodiscard]] std::string_view formatName(RecordFormat format);

// GenBank when the first non-blank line begins with LOCUS, EMBL when it
// begins with "ID" and a blank, FASTA when it begins with '>' (blanks before
// any of them are passed over), plain text
// otherwise (a UTF-8 byte order mark is skipped). A file whose LOCUS line
// comes after a short header (at most 10 non-blank lines, none of them a
// FASTA header, as some downloads carry) is GenBank too; its records begin
// at their LOCUS lines. Lines end at LF, CR LF or a CR alone.
[[nodiscard]] RecordFormat detectFormat(std::string_view bytes);

// The error for bytes that are to be read as GenBank but are not detected as
// GenBank: Empty, or NotGenBank saying whether and where a LOCUS line stands.
[[nodiscard]] InputError notGenBankError(std::string_view bytes, const std::filesystem::path& path);

// One record of a file, as listed.
struct RecordInfo {
    RecordFormat format = RecordFormat::Text;
    std::string name;         // the LOCUS name, the EMBL ID's first word, or the FASTA id;
                              // empty for text
    std::string accession;    // GenBank: the first ACCESSION and VERSION, blank-separated;
                              // EMBL: the first AC and AC.SV likewise
    std::string seqid;        // its id in the outputs: ACCESSION.VERSION (GenBank; the
                              // ACCESSION, else the LOCUS name, without one; EMBL alike
                              // with AC and the ID's SV), the FASTA id; empty for text
    std::string title;        // GenBank: the whole SOURCE text (the genome's title is its
                              // first line); EMBL: the first OS line, else DE; FASTA: the id
    std::string description;  // the whole GenBank DEFINITION or EMBL DE, or the FASTA
                              // header after the id
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
// a GenBank or EMBL record, nothing for FASTA and text. Throws InputError
// naming `path`, leaving the genome unchanged, for a GenBank or EMBL record
// that its reader rejects, a FASTA or text record that is not text (NotText:
// a NUL byte, or more than a tenth of control bytes and bytes that are not
// UTF-8), a text file of nothing but white space (Empty), and text that is
// not a genome's bases (NotSequence): FASTQ reads (a first line that begins
// with '@' and a third with '+'), a FASTA record or a text file in which
// more than a quarter of the letters are not A, C, G, T, U or N (protein, or
// prose; a header's or a note's letters in a file of bases stay far below).
// Throws std::bad_alloc when memory runs out.
std::optional<FeatureList> readRecord(std::string_view bytes, const RecordInfo& record, Genome& genome,
                                      int minimum, int maximum, const std::filesystem::path& path = {});

// The records `choice` names: a 1-based number, or a name, accession or
// accession.version (case-insensitive), in file order; more than one when
// several records carry that name.
[[nodiscard]] std::vector<std::size_t> matchingRecords(const std::vector<RecordInfo>& records,
                                                       std::string_view choice);

// The first record `choice` names; nothing when none does.
[[nodiscard]] std::optional<std::size_t> findRecord(const std::vector<RecordInfo>& records,
                                                    std::string_view choice);

// Throws InputError (Empty) naming `path` when `genome` holds no base (A, C,
// G or T): a record of nothing but gaps, or of nothing at all. `record`
// names the record in a file of several ("record 2 (X)"); empty for the only one.
void requireBases(const Genome& genome, const std::filesystem::path& path, std::string_view record = {});

// A file read once, with its records listed. Text in UTF-16 with a byte
// order mark (either byte order) is decoded to UTF-8 first; UTF-16 that ends
// inside a character and UTF-32 throw InputError (NotText).
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
