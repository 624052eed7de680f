#pragma once

// What the main window's file commands need beyond the window itself:
// choosing the record of a file of several, and writing the repeats of an
// analysis as GFF3 or BED.

#include "input/records.h"
#include "session/session.h"

#include <QString>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>

class Prompts;
class QWidget;

// A file read for opening, and the record chosen from it.
struct RecordChoice {
    std::shared_ptr<const tessaron::InputFile> input;  // null when the file could not be read
    std::size_t record = 0;
};

// Reads the file and, when it holds several records, asks through `prompts`
// which one to open: a list of each record's name, title and length, the
// first preselected. Nothing when the user cancels. A file that cannot be
// read gives a choice without input, so that the load says why.
[[nodiscard]] std::optional<RecordChoice> chooseRecord(Prompts& prompts, QWidget* parent,
                                                       const std::filesystem::path& path);

// The list's line for one record: "2. AM258984 - mitochondrion Lepidochelys
// olivacea (16,808 bases)".
[[nodiscard]] QString recordLine(std::size_t index, const tessaron::RecordInfo& record);

// Writes the repeats of a whole analysis to `path`: BED6 when its name ends
// in ".bed" (any case), GFF3 otherwise, the features each copy overlaps in
// the GFF3 of a GenBank genome. Returns the reason it failed, empty when written.
[[nodiscard]] QString exportRepeats(const std::filesystem::path& path, const tessaron::SessionState& state);
