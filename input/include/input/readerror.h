#pragma once

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace tessaron {

// A file that could not be read as a genome. The message names the file and
// the reason, ready to be shown to the user.
struct ReadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Why a file could not be read as a genome.
enum class InputFailure {
    Missing,      // no such file (or a folder on its path does not exist)
    Unreadable,   // no permission, or the reading itself failed
    IsDirectory,  // a folder, not a file
    NotGenBank,   // no line begins with LOCUS
    Empty,        // nothing but white space
    TooLarge,     // more bytes than a genome can count
    Malformed,    // GenBank or EMBL, but a part the reader needs is missing or cannot be read
    NotText,      // binary data, or text in an encoding the readers do not take
    NotSequence,  // text, but not a genome's bases: FASTQ reads, protein, prose
};

// The error of the readers, telling why as a value besides the message. It
// can be caught as ReadError. Copies share their text, so copying never throws.
class InputError : public ReadError {
public:
    // `detail` is the cause alone ("Permission denied", "the record ends
    // before ORIGIN"); `line` the 1-based line it refers to, 0 for none. The
    // message says the file was read "as `format`" when a format is given
    // (the GenBank and EMBL readers' own), and "as GenBank" for NotGenBank
    // and Malformed without one.
    InputError(InputFailure reason, const std::filesystem::path& path, std::string detail, int line = 0,
               std::string_view format = {});

    [[nodiscard]] InputFailure reason() const noexcept { return reason_; }
    [[nodiscard]] const std::filesystem::path& path() const noexcept { return facts_->path; }
    [[nodiscard]] const std::string& detail() const noexcept { return facts_->detail; }
    [[nodiscard]] int line() const noexcept { return line_; }

private:
    struct Facts {
        std::filesystem::path path;
        std::string detail;
    };

    InputFailure reason_;
    int line_;
    std::shared_ptr<const Facts> facts_;
};

}  // namespace tessaron
