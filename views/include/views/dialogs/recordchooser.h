#pragma once

// Choosing the record to open from a file of several.

#include "input/records.h"

#include <QString>

#include <cstddef>
#include <memory>
#include <optional>

class Prompts;
class QWidget;

// A file read for opening, and the record chosen from it.
struct RecordChoice {
    std::shared_ptr<const tessaron::InputFile> input;
    std::size_t record = 0;
};

// When the file read holds several records, asks through `prompts` which one
// to open: a list of each record's name, title and length, the first
// preselected. Nothing when the user cancels. A `known` record is chosen
// without asking (nothing when the file has no such record).
[[nodiscard]] std::optional<RecordChoice> chooseRecord(Prompts& prompts, QWidget* parent,
                                                       std::shared_ptr<const tessaron::InputFile> input,
                                                       std::optional<std::size_t> known = std::nullopt);

// The list's line for one record: "2. AM258984 - mitochondrion Lepidochelys
// olivacea (16,808 bases)".
[[nodiscard]] QString recordLine(std::size_t index, const tessaron::RecordInfo& record);
