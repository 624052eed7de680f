#include "inputrecords.h"

#include "clifailure.h"
#include "input/filename.h"
#include "report/bedreport.h"

#include <algorithm>
#include <iostream>
#include <numeric>

namespace tessaron::cli {

namespace {

// "record 2 (NAME)".
std::string recordLabel(const RecordInfo& info, std::size_t record)
{
    return "record " + std::to_string(record + 1) + (info.name.empty() ? "" : " (" + info.name + ")");
}

}  // namespace

std::string fileSeqid(const std::filesystem::path& path)
{
    if (path == "-") {
        return "sequence";
    }
    std::filesystem::path name = path.filename();
    std::string extension = name.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; });
    if (extension == ".gz") {
        name = name.stem();
    }
    return displayName(name);
}

std::string batchSeqid(const BatchGenome& genome)
{
    return genome.accession.empty() ? fileSeqid(genome.file) : genome.accession;
}

bool coversEveryRecord(ReportKind report)
{
    return report != ReportKind::Map && report != ReportKind::Chart && report != ReportKind::Paper &&
           report != ReportKind::Html;
}

InputRecords::InputRecords(const Options& options) : options_(options)
{
    if (options.randomCounts) {
        chosen_ = {0};
        seqids_ = {options.seqid.value_or("random")};
        return;
    }
    file_ = InputFile::read(options.file);
    if (options.format == InputFormat::GenBank && file_->format() != RecordFormat::GenBank) {
        throw notGenBankError(file_->bytes(), file_->path());
    }
    choose(coversEveryRecord(options.report));
    if (options.seqid && chosen_.size() > 1) {
        throw Failure{"--seqid names one sequence, but " + file_->path().string() + " holds " +
                      std::to_string(chosen_.size()) + " records: choose one with --record N|NAME"};
    }
    for (const std::size_t record : chosen_) {
        const RecordInfo& info = file_->records()[record];
        seqids_.push_back(options.seqid        ? *options.seqid
                          : info.seqid.empty() ? fileSeqid(options.file)
                                               : info.seqid);
    }
    const bool bed = options.report == ReportKind::Bed || options.report == ReportKind::Bedpe;
    for (std::size_t i = 0; bed && i < seqids_.size(); ++i) {
        if (seqidStartsBedHeader(seqids_[i])) {
            throw Failure{
                file_->path().string() + ": its id " + singleQuoted(seqids_[i]) +
                " would make BED lines that read as a header (track, browser, #); give another with "
                "--seqid"};
        }
    }
}

void InputRecords::choose(bool everyRecord)
{
    const auto& records = file_->records();
    if (options_.record) {
        const std::vector<std::size_t> found = matchingRecords(records, *options_.record);
        if (found.size() == 1) {
            chosen_ = found;
            return;
        }
        if (found.size() > 1) {
            // Two records of one name: which is meant cannot be told.
            std::string named;
            for (const std::size_t index : found) {
                named += (named.empty() ? "" : ", ") + std::to_string(index + 1) + " (" +
                         records[index].name + ")";
            }
            throw Failure{file_->path().string() + ": " + std::to_string(found.size()) +
                          " records are named " + singleQuoted(*options_.record) + ": " + named +
                          "; choose one by its number with --record N"};
        }
        throw Failure{file_->path().string() + ": no record " + singleQuoted(*options_.record) +
                      " (it holds " + std::to_string(records.size()) +
                      (records.size() == 1 ? " record)" : " records)")};
    }
    if (everyRecord) {
        chosen_.resize(records.size());
        std::iota(chosen_.begin(), chosen_.end(), std::size_t{0});
        return;
    }
    if (records.size() > 1) {
        std::cerr << "tessaron-cli: note: " << file_->path().string() << " holds " << records.size() << ' '
                  << formatName(file_->format()) << " records; reading the first, "
                  << singleQuoted(records.front().name) << " (choose another with --record N|NAME)\n";
    }
    chosen_ = {0};
}

std::vector<std::size_t> InputRecords::bySeqid() const
{
    std::vector<std::size_t> order(chosen_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return seqids_[a] < seqids_[b]; });
    return order;
}

const RecordInfo* InputRecords::info(std::size_t index) const
{
    return file_ ? &file_->records()[chosen_[index]] : nullptr;
}

std::string_view InputRecords::bytes(std::size_t index) const
{
    const RecordInfo* record = info(index);
    if (record == nullptr) {
        return {};
    }
    return std::string_view(file_->bytes()).substr(record->begin, record->end - record->begin);
}

LoadedRecord InputRecords::load(std::size_t index) const
{
    LoadedRecord loaded;
    loaded.genome = std::make_shared<Genome>();
    loaded.seqid = seqids_[index];
    if (options_.randomCounts) {
        const auto& [a, t, c, g] = *options_.randomCounts;
        if (!loaded.genome->makeRandom(a, t, c, g, options_.minimum, options_.maximum, options_.seed)) {
            throw Failure{std::string(kOutOfMemory)};
        }
        return loaded;
    }
    const std::size_t record = chosen_[index];
    loaded.features =
        file_->load(record, *loaded.genome, options_.minimum, options_.maximum).value_or(FeatureList{});
    const bool named = file_->records().size() > 1;
    requireBases(*loaded.genome, file_->path(), named ? recordLabel(file_->records()[record], record) : "");
    return loaded;
}

}  // namespace tessaron::cli
