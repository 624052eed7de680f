// The extension tessaron._core: the genome, the readers and the searches for
// Python. The package's __init__.py wraps the searches (keyword defaults,
// pandas); the docstrings of the public API are there and in __init__.pyi.

#include "columns.h"

#include "engine/plastomestructure.h"
#include "engine/repeatkinds.h"
#include "engine/searchmethod.h"
#include "engine/tandemrepeats.h"
#include "engine/wordlengths.h"
#include "input/filename.h"
#include "input/records.h"
#include "report/plastomeannotation.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

namespace py = pybind11;
using namespace pybind11::literals;

namespace tessaron::python {

namespace {

constexpr std::string_view kModule = "tessaron._core";
// Every search starts from a genome loaded with the command line's defaults.
constexpr int kDefaultMinimum = 8;
constexpr int kDefaultMaximum = 30;
// The pairs a table of pairs holds unless the caller allows more: ten million
// rows are about half a gigabyte of columns.
constexpr std::int64_t kDefaultMaxPairs = 10'000'000;
// The id of a sequence made from letters without one.
constexpr std::string_view kDefaultSeqid = "sequence";
// How often a waiting search hands progress to Python and asks whether to stop.
constexpr auto kPollInterval = std::chrono::milliseconds(50);

// A genome as Python holds it: the sequence (shared with the searches), the
// features of its GenBank record and its id in the outputs.
struct PyGenome {
    std::shared_ptr<const Genome> genome;
    FeatureList features;
    std::string seqid;
};

py::object moduleAttribute(const char* name)
{
    return py::module_::import(kModule.data()).attr(name);
}

[[noreturn]] void raise(const char* type, const std::string& message)
{
    PyErr_SetString(moduleAttribute(type).ptr(), message.c_str());
    throw py::error_already_set();
}

std::string_view failureName(InputFailure reason)
{
    switch (reason) {
        case InputFailure::Missing:
            return "missing";
        case InputFailure::Unreadable:
            return "unreadable";
        case InputFailure::IsDirectory:
            return "is_directory";
        case InputFailure::NotGenBank:
            return "not_genbank";
        case InputFailure::Empty:
            return "empty";
        case InputFailure::TooLarge:
            return "too_large";
        case InputFailure::Malformed:
            return "malformed";
        case InputFailure::NotSequence:
            return "not_sequence";
        case InputFailure::NotText:
            break;
    }
    return "not_text";
}

// Sets tessaron.InputError with its facts as attributes.
void setInputError(const std::string& message, const std::filesystem::path& path, int line,
                   std::string_view reason, const std::string& detail)
{
    const py::object type = moduleAttribute("InputError");
    py::object error = type(message);
    error.attr("path") = path.string();
    error.attr("line") = line > 0 ? py::object(py::int_(line)) : py::object(py::none());
    error.attr("reason") = reason;
    error.attr("detail") = detail;
    PyErr_SetObject(type.ptr(), error.ptr());
}

// `pairLimit`: the limit the search was given, and the keyword that sets it
// (none for the engine's own).
[[noreturn]] void raiseFailure(SearchFailure failure, std::int64_t pairLimit = Genome::kDefaultPairLimit,
                               const char* keyword = nullptr)
{
    switch (failure) {
        case SearchFailure::Cancelled:
            raise("Cancelled", "the search was cancelled");
        case SearchFailure::PairLimit:
            if (keyword != nullptr) {
                raise("SearchError", "Too many repeat pairs: the search would give more than " +
                                         std::string(keyword) + "=" + std::to_string(pairLimit) +
                                         ". Raise the limit (for example " + keyword + "=" +
                                         std::to_string(pairLimit * 10) +
                                         ", if memory allows: about 50 bytes a pair), or search fewer pairs "
                                         "(a higher min, a lower max, fewer kinds).");
            }
            raise("SearchError", "Too many repeat pairs: a search would hold more than " +
                                     std::to_string(pairLimit) +
                                     " of them. Try a higher minimum or a lower maximum.");
        case SearchFailure::OutOfMemory:
            break;
    }
    throw std::bad_alloc();
}

// What a long search tells Python while it runs.
struct Callbacks {
    py::object progress;  // None or called with a fraction 0..1
    py::object cancel;    // None or called without arguments; true stops the search
};

// Runs `job` (which takes a SearchControl) on a worker thread while the
// calling thread waits without the interpreter lock, so that other Python
// threads run. Every kPollInterval the caller takes the lock back, hands the
// latest progress to the progress callback, asks the cancel callback and
// looks for Ctrl-C: a cancel callback that returns true stops the job (it
// then fails with Cancelled); one that raises, and an interrupt, stop it and
// raise. The job never touches Python objects.
template <typename Job>
auto runWatched(const Callbacks& callbacks, Job job) -> decltype(job(SearchControl{}))
{
    using Result = decltype(job(SearchControl{}));
    std::atomic<double> fraction{-1.0};
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::optional<Result> result;
    std::exception_ptr error;
    std::jthread worker([&](std::stop_token stop) {
        const SearchControl control{
            std::move(stop), [&fraction](double value) { fraction.store(value, std::memory_order_relaxed); }};
        std::optional<Result> outcome;
        std::exception_ptr thrown;
        try {
            outcome.emplace(job(control));
        } catch (...) {
            thrown = std::current_exception();
        }
        const std::lock_guard lock(mutex);
        result = std::move(outcome);
        error = thrown;
        done = true;
        finished.notify_all();
    });
    double shown = -1.0;
    bool over = false;
    while (!over) {
        {
            const py::gil_scoped_release release;
            std::unique_lock lock(mutex);
            over = finished.wait_for(lock, kPollInterval, [&done] { return done; });
        }
        if (over || worker.get_stop_token().stop_requested()) {
            continue;
        }
        try {
            const double now = fraction.load(std::memory_order_relaxed);
            if (!callbacks.progress.is_none() && now >= 0.0 && now != shown) {
                shown = now;
                callbacks.progress(now);
            }
            if (!callbacks.cancel.is_none() && static_cast<bool>(py::bool_(callbacks.cancel()))) {
                worker.request_stop();
            }
            if (PyErr_CheckSignals() != 0) {
                throw py::error_already_set();
            }
        } catch (...) {
            // The worker notices within milliseconds; joining it needs no
            // Python, so the lock may be held meanwhile.
            worker.request_stop();
            worker.join();
            throw;
        }
    }
    worker.join();
    if (error) {
        std::rethrow_exception(error);
    }
    if (!callbacks.progress.is_none() && !worker.get_stop_token().stop_requested()) {
        callbacks.progress(1.0);
    }
    return std::move(*result);
}

// A column as a NumPy array, its vector handed over without a copy.
template <typename T>
py::array_t<T> toArray(std::vector<T>&& values)
{
    auto owner = std::make_unique<std::vector<T>>(std::move(values));
    const std::vector<T>& held = *owner;
    py::capsule capsule(owner.get(), [](void* vector) { delete static_cast<std::vector<T>*>(vector); });
    owner.release();  // the capsule owns it now
    return py::array_t<T>({held.size()}, {sizeof(T)}, held.data(), capsule);
}

// A text column as a NumPy array of Python strings (one object per distinct text).
py::array textArray(TextColumn&& column)
{
    py::list values;
    for (const std::string& value : column.values()) {
        values.append(py::str(value));
    }
    const py::object numpy = py::module_::import("numpy");
    const py::object distinct = numpy.attr("empty")(values.size(), "dtype"_a = "object");
    for (std::size_t i = 0; i < values.size(); ++i) {
        distinct[py::int_(i)] = values[i];
    }
    std::vector<std::int32_t> rows = column.rows();
    return distinct[toArray(std::move(rows))];
}

// A finished table as a dict of NumPy arrays, in column order; its warnings
// are given as Python warnings.
py::dict toDict(TableResult&& found, std::int64_t pairLimit = Genome::kDefaultPairLimit,
                const char* keyword = nullptr)
{
    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
        raiseFailure(*failure, pairLimit, keyword);
    }
    Table& table = std::get<Table>(found);
    for (const std::string& warning : table.warnings) {
        if (PyErr_WarnEx(PyExc_UserWarning, warning.c_str(), 2) != 0) {
            throw py::error_already_set();
        }
    }
    py::dict columns;
    for (auto& [name, column] : table.columns) {
        columns[py::str(name)] = std::visit(
            [](auto&& values) -> py::object {
                using T = std::decay_t<decltype(values)>;
                if constexpr (std::is_same_v<T, TextColumn>) {
                    return textArray(std::move(values));
                } else {
                    return toArray(std::move(values));
                }
            },
            std::move(column));
    }
    return columns;
}

std::vector<RepeatKind> kindsNamed(const std::vector<std::string>& names)
{
    std::vector<RepeatKind> kinds;
    for (const std::string& name : names) {
        const auto kind = kindNamed(name);
        if (!kind) {
            throw py::value_error("kind '" + name +
                                  "' is not one of direct, inverted, mirror, complementary");
        }
        kinds.push_back(*kind);
    }
    if (kinds.empty()) {
        throw py::value_error("no kind of repeat to search");
    }
    return kinds;
}

// The earlier name of the trie's search, still taken.
constexpr std::string_view kTrieAlias = "described";

// The method of a name of kMethods (or "described", the trie's).
SearchMethod namedMethod(const std::string& method)
{
    if (method == kTrieAlias) {
        return SearchMethod::Trie;
    }
    if (const auto named = methodNamed(method)) {
        return *named;
    }
    std::string names;
    for (const MethodInfo& info : kMethods) {
        names += (names.empty() ? "" : ", ") + std::string(info.name);
    }
    throw py::value_error("method '" + method + "' is not one of " + names + " (or " +
                          std::string(kTrieAlias) + ", the same as trie)");
}

// The method of a name when it finds words (the trie's, the complete search);
// nothing for the approximate search.
std::optional<SearchMethod> exactMethod(const std::string& method)
{
    const SearchMethod named = namedMethod(method);
    return methodInfo(named).findsWords ? std::optional(named) : std::nullopt;
}

std::shared_ptr<const Genome> exactGenome(const PyGenome& genome, int minimum, int maximum,
                                          std::int64_t pairLimit = Genome::kDefaultPairLimit)
{
    if (WordLengths{minimum, maximum}.validate() || minimum > maximum) {
        throw py::value_error("the lengths must satisfy " + std::to_string(WordLengths::kShortest) +
                              " <= min <= max <= " + std::to_string(WordLengths::kLongest) + " (min " +
                              std::to_string(minimum) + ", max " + std::to_string(maximum) + ")");
    }
    return withLengths(genome.genome, minimum, maximum, pairLimit);
}

struct ApproximateOptions {
    int minimum = 30;
    int mismatchPenalty = 2;
    double identity = 90.0;
    std::optional<int> maxMismatches;
    std::optional<double> evalue;
    int threads = 0;
    bool gaps = false;  // the gapped search, with these gap costs
    int gapOpen = 5;
    int gapExtend = 2;
};

// The filters the approximate and the gapped searches' settings share.
template <typename Settings>
Settings withFilters(const ApproximateOptions& options)
{
    Settings settings;
    settings.minLength = options.minimum;
    settings.mismatchPenalty = options.mismatchPenalty;
    settings.identity = options.identity;
    settings.maxMismatches = options.maxMismatches;
    settings.maxEvalue = options.evalue;
    return settings;
}

// The gapped search's settings: the approximate options' filters and the gap
// costs (the gapped search runs on one thread).
GappedSettings gappedSettings(const ApproximateOptions& options)
{
    auto settings = withFilters<GappedSettings>(options);
    settings.gapOpen = options.gapOpen;
    settings.gapExtend = options.gapExtend;
    if (std::string problem = validate(settings); !problem.empty()) {
        throw py::value_error(problem);
    }
    return settings;
}

ApproximateSettings approximateSettings(const ApproximateOptions& options)
{
    auto settings = withFilters<ApproximateSettings>(options);
    settings.threads = options.threads;
    const auto problem = settings.validate();
    if (!problem) {
        return settings;
    }
    const std::string range = std::to_string(problem->low) + " to " + std::to_string(problem->high);
    switch (problem->setting) {
        case ApproximateSettings::Setting::MinLength:
            throw py::value_error("min must be from " + range + " for the approximate search");
        case ApproximateSettings::Setting::MismatchPenalty:
            throw py::value_error("mismatch_penalty must be from " + range);
        case ApproximateSettings::Setting::Identity:
            throw py::value_error("identity must be a percentage from " + range);
        case ApproximateSettings::Setting::MaxMismatches:
            throw py::value_error("max_mismatches must not be negative");
        case ApproximateSettings::Setting::MaxEvalue:
            throw py::value_error("evalue must be above 0");
        case ApproximateSettings::Setting::Threads:
            break;
    }
    throw py::value_error("threads must not be negative");
}

// The repeat searches' common arguments, as _core receives them.
struct SearchRequest {
    std::string method;
    std::vector<RepeatKind> kinds;
    int minimum = kDefaultMinimum;
    int maximum = kDefaultMaximum;
    ApproximateOptions approximate;
    std::int64_t maxPairs = kDefaultMaxPairs;  // the pairs a table may hold
};

py::dict repeats(const PyGenome& genome, const SearchRequest& request, const Callbacks& callbacks,
                 bool counts)
{
    if (request.maxPairs < 1) {
        throw py::value_error("max_pairs must be at least 1");
    }
    // Counts hold no pairs: only the engine's own limit applies to them.
    const std::int64_t limit = counts ? Genome::kDefaultPairLimit : request.maxPairs;
    const char* keyword = counts ? nullptr : "max_pairs";
    if (const auto method = exactMethod(request.method)) {
        const auto searched = exactGenome(genome, request.minimum, request.maximum, limit);
        return toDict(runWatched(callbacks,
                                 [&](const SearchControl& control) {
                                     return counts ? exactCounts(searched, *method, request.kinds, control)
                                                   : exactPairs(searched, genome.features, *method,
                                                                request.kinds, control);
                                 }),
                      limit, keyword);
    }
    ApproximateOptions options = request.approximate;
    options.minimum = request.minimum;
    if (options.gaps) {
        const GappedSettings settings = gappedSettings(options);
        TableResult found = runWatched(callbacks, [&](const SearchControl& control) {
            return counts ? gappedCounts(*genome.genome, request.kinds, settings, control)
                          : gappedPairs(*genome.genome, genome.features, request.kinds, settings, control,
                                        limit);
        });
        return toDict(std::move(found), limit, keyword);
    }
    const ApproximateSettings settings = approximateSettings(options);
    TableResult found = runWatched(callbacks, [&](const SearchControl& control) {
        return counts ? approximateCounts(*genome.genome, request.kinds, settings, control)
                      : approximatePairs(*genome.genome, genome.features, request.kinds, settings, control,
                                         limit);
    });
    // The engine's own limit, when it is the lower one, is named as the engine names it.
    if (const auto* failure = std::get_if<SearchFailure>(&found);
        failure && *failure == SearchFailure::PairLimit && approximatePairLimit(*genome.genome) < limit) {
        raise("SearchError",
              "Too many approximate pairs: the search would hold more than " +
                  std::to_string(approximatePairLimit(*genome.genome)) +
                  " of them. Try a higher min or identity, or a lower max_mismatches or evalue.");
    }
    return toDict(std::move(found), limit, keyword);
}

// The name the outputs give a record: its seqid, or for plain text its file's name.
std::string seqidOf(const RecordInfo& record, const std::filesystem::path& path)
{
    if (!record.seqid.empty()) {
        return record.seqid;
    }
    std::filesystem::path name = path.filename();
    std::string extension = name.extension().string();
    for (char& ch : extension) {
        ch = ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch;
    }
    if (extension == ".gz") {
        name = name.stem();
    }
    return displayName(name);
}

// The record `choice` names: None (the first), a 1-based number or a name,
// accession or FASTA id.
std::size_t chosenRecord(const InputFile& file, const py::object& choice)
{
    const auto& records = file.records();
    const std::string where = file.path().string();
    if (choice.is_none()) {
        if (records.size() > 1) {
            throw py::value_error(where + " holds " + std::to_string(records.size()) +
                                  " records: choose one with read(path, record=N) (a number from 1, or a "
                                  "name), or read them all with tessaron.records(path)");
        }
        return 0;
    }
    if (py::isinstance<py::bool_>(choice) ||
        (!py::isinstance<py::int_>(choice) && !py::isinstance<py::str>(choice))) {
        throw py::type_error("record must be a 1-based number (int) or a name (str), not " +
                             std::string(py::str(py::type::handle_of(choice).attr("__name__"))));
    }
    if (py::isinstance<py::int_>(choice)) {
        // Any Python int: one beyond long long is no record either.
        int overflow = 0;
        const long long number = PyLong_AsLongLongAndOverflow(choice.ptr(), &overflow);
        if (overflow != 0 || number < 1 || static_cast<unsigned long long>(number) > records.size()) {
            throw py::value_error(where + ": no record " + std::string(py::str(choice)) + " (it holds " +
                                  std::to_string(records.size()) + " records)");
        }
        return static_cast<std::size_t>(number - 1);
    }
    const auto name = choice.cast<std::string>();
    const std::vector<std::size_t> found = matchingRecords(records, name);
    if (found.size() == 1) {
        return found.front();
    }
    if (found.empty()) {
        throw py::value_error(where + ": no record '" + name + "' (it holds " +
                              std::to_string(records.size()) + " records)");
    }
    std::string named;
    for (const std::size_t index : found) {
        named.append(named.empty() ? "" : ", ").append(std::to_string(index + 1));
        named.append(" (").append(records[index].name).append(")");
    }
    throw py::value_error(where + ": " + std::to_string(found.size()) + " records are named '" + name +
                          "': " + named + "; choose one by its number");
}

// The `index`-th record of `file` (read from `path`), loaded without the
// interpreter's lock.
PyGenome loadRecord(const InputFile& file, std::size_t index, const std::filesystem::path& path)
{
    PyGenome loaded;
    auto genome = std::make_shared<Genome>();
    {
        const py::gil_scoped_release release;
        loaded.features = file.load(index, *genome, kDefaultMinimum, kDefaultMaximum).value_or(FeatureList{});
    }
    loaded.genome = std::move(genome);
    loaded.seqid = seqidOf(file.records()[index], path);
    return loaded;
}

PyGenome readGenome(const std::filesystem::path& path, const py::object& record)
{
    std::optional<InputFile> file;
    {
        const py::gil_scoped_release release;
        file.emplace(InputFile::read(path));
    }
    return loadRecord(*file, chosenRecord(*file, record), path);
}

PyGenome fromString(std::string_view bases, std::string_view title, std::string seqid)
{
    auto genome = std::make_shared<Genome>();
    if (!genome->allocate(static_cast<std::int64_t>(bases.size()), kDefaultMinimum, kDefaultMaximum)) {
        throw std::bad_alloc();
    }
    for (const char letter : bases) {
        if (letter != '\0') {
            genome->appendBase(static_cast<unsigned char>(letter));
        }
    }
    if (genome->length() == 0 || genome->sequence().find_first_of("ACGT") == std::string_view::npos) {
        throw py::value_error("the sequence holds no bases (A, C, G or T)");
    }
    genome->setLengthBounds(kDefaultMinimum, kDefaultMaximum);
    genome->setTitle(title);
    PyGenome made;
    made.genome = std::move(genome);
    made.seqid = seqid.empty() ? std::string(kDefaultSeqid) : std::move(seqid);
    return made;
}

// A file read once, whose records load one at a time (tessaron.records()).
class Reader {
public:
    explicit Reader(const std::filesystem::path& path) : path_(path)
    {
        const py::gil_scoped_release release;
        file_.emplace(InputFile::read(path));
    }

    [[nodiscard]] std::size_t size() const { return file_->records().size(); }

    [[nodiscard]] PyGenome genome(std::size_t index) const
    {
        if (index >= size()) {
            throw py::index_error("no record " + std::to_string(index + 1));
        }
        return loadRecord(*file_, index, path_);
    }

private:
    std::filesystem::path path_;
    std::optional<InputFile> file_;
};

py::list contents(const std::filesystem::path& path)
{
    std::optional<InputFile> file;
    {
        const py::gil_scoped_release release;
        file.emplace(InputFile::read(path));
    }
    const py::object record = moduleAttribute("Record");
    py::list listed;
    int number = 0;
    for (const RecordInfo& info : file->records()) {
        listed.append(record(++number, info.name, seqidOf(info, path), formatName(info.format), info.title,
                             info.description, info.length));
    }
    return listed;
}

py::list features(const PyGenome& genome)
{
    const py::object feature = moduleAttribute("Feature");
    py::list list;
    for (const Feature& item : genome.features) {
        py::list parts;
        for (const FeaturePart& part : item.parts) {
            parts.append(py::make_tuple(std::int64_t{part.start} + 1, std::int64_t{part.end} + 1));
        }
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%02X%02X%02X", item.color & 0xFFU, (item.color >> 8) & 0xFFU,
                      (item.color >> 16) & 0xFFU);
        list.append(feature(item.name, std::int64_t{item.start} + 1, std::int64_t{item.end} + 1, colour,
                            py::tuple(parts)));
    }
    return list;
}

void defineTypes(py::module_& module)
{
    const py::object namedtuple = py::module_::import("collections").attr("namedtuple");
    py::tuple methods(kMethods.size());
    for (std::size_t m = 0; m < kMethods.size(); ++m) {
        methods[m] = std::string(kMethods[m].name);
    }
    module.attr("METHODS") = methods;
    module.attr("Feature") = namedtuple("Feature", py::make_tuple("name", "start", "end", "colour", "parts"),
                                        "module"_a = "tessaron");
    module.attr("Record") = namedtuple(
        "Record", py::make_tuple("number", "name", "seqid", "format", "title", "description", "length"),
        "module"_a = "tessaron");
    const auto exception = [&](const char* name, PyObject* base, const char* doc) {
        const std::string qualified = "tessaron." + std::string(name);
        module.attr(name) = py::reinterpret_steal<py::object>(
            PyErr_NewExceptionWithDoc(qualified.c_str(), doc, base, nullptr));
    };
    exception("InputError", PyExc_Exception, "A file that could not be read as a genome.");
    exception("SearchError", PyExc_RuntimeError, "A search that could not give its result.");
    exception("Cancelled", module.attr("SearchError").ptr(), "A search stopped by its cancel callback.");
    py::register_exception_translator([](std::exception_ptr thrown) {
        try {
            if (thrown) {
                std::rethrow_exception(thrown);
            }
        } catch (const InputError& error) {
            setInputError(error.what(), error.path(), error.line(), failureName(error.reason()),
                          error.detail());
        } catch (const ReadError& error) {
            setInputError(error.what(), {}, 0, "unreadable", error.what());
        }
    });
}

// The plastome's four parts as plain Python values (1-based positions).
py::dict plastome(const PyGenome& genome, std::int64_t minIr, double minIrShare)
{
    if (minIr < 1 || minIrShare < 0.0 || minIrShare > 50.0) {
        throw py::value_error("min_ir must be from 1 and min_ir_share from 0 to 50 (percent)");
    }
    PlastomeSettings settings;
    settings.minIrLength = minIr;
    settings.minIrFraction = minIrShare / 100.0;
    const std::string_view sequence = genome.genome->sequence();
    const PlastomeStructure s = findPlastomeStructure(sequence, settings);
    const std::int64_t n = s.genomeLength;
    py::list regions;
    py::list junctions;
    py::list differences;
    if (s.found) {
        for (const PlastomePart part :
             {PlastomePart::Lsc, PlastomePart::IrB, PlastomePart::Ssc, PlastomePart::IrA}) {
            const PlastomeRegion& r = s.region(part);
            regions.append(py::dict("name"_a = std::string(partName(part)), "start"_a = r.start + 1,
                                    "end"_a = r.last(n) + 1, "length"_a = r.length, "gc"_a = 100.0 * r.gc));
        }
        const auto genes = junctionGenes(s, genome.features);
        const auto named = [](const std::optional<JunctionGene>& gene) {
            return gene ? py::object(py::make_tuple(gene->name, gene->distance)) : py::object(py::none());
        };
        for (std::size_t j = 0; j < 4; ++j) {
            const auto junction = static_cast<PlastomeJunction>(j);
            py::list crossing;
            for (const JunctionGene& gene : genes[j].crossing) {
                crossing.append(py::make_tuple(gene.name, gene.basesBefore, gene.basesAfter));
            }
            junctions.append(py::dict("name"_a = std::string(junctionName(junction)),
                                      "position"_a = junctionText(s.before(junction), s.after(junction)),
                                      "before"_a = s.before(junction) + 1, "after"_a = s.after(junction) + 1,
                                      "crossing"_a = crossing, "gene_before"_a = named(genes[j].before),
                                      "gene_after"_a = named(genes[j].after)));
        }
        for (const IrDifference& d : s.differences) {
            differences.append(
                py::dict("kind"_a = d.kind == IrDifference::Kind::Mismatch ? "mismatch" : "indel",
                         "irb_start"_a = d.startB + 1, "irb_length"_a = d.lengthB, "irb_bases"_a = d.basesB,
                         "ira_start"_a = d.startA + 1, "ira_length"_a = d.lengthA, "ira_bases"_a = d.basesA));
        }
    }
    return py::dict("found"_a = s.found, "length"_a = n, "regions"_a = regions, "junctions"_a = junctions,
                    "differences"_a = differences, "ir_identity"_a = s.found ? s.irIdentity() : 0.0);
}

}  // namespace

}  // namespace tessaron::python

PYBIND11_MODULE(_core, module)
{
    using namespace tessaron;
    using namespace tessaron::python;
    module.doc() = "The Tessaron engine; use the package tessaron, which wraps it.";
    // NumPy's C interface is looked up once, by a static whose first use
    // imports numpy: made here, under the import lock, rather than by two
    // threads at once, where the one that holds the interpreter lock would
    // wait on the static while the other needs the lock to finish the import.
    (void)py::array_t<std::int64_t>(0);
    (void)py::array_t<double>(0);
    (void)py::module_::import("numpy");
    defineTypes(module);

    py::class_<PyGenome>(module, "Genome",
                         R"(One circular genome: its bases, title, id and annotated features.

Made by tessaron.read() from a file or by Genome.from_string(); len(genome) is
its number of letters. Letters other than A, C, G and T (N and the other IUPAC
codes) keep their places as gaps that no repeat spans.)")
        .def_static("from_string", &fromString, "bases"_a, "title"_a = "", "seqid"_a = "",
                    R"(A genome of the letters of `bases` (either case; anything that is not a
letter, such as blanks and line ends, is skipped), titled `title`, with the
id `seqid` ("sequence" when empty). Raises ValueError when it holds no A, C,
G or T.)")
        .def("__len__", [](const PyGenome& genome) { return genome.genome->length(); })
        .def_property_readonly(
            "title", [](const PyGenome& genome) { return genome.genome->title(); },
            "The title: a GenBank record's SOURCE line, a FASTA id (at most 95 bytes).")
        .def_property_readonly(
            "seqid", [](const PyGenome& genome) { return genome.seqid; },
            R"(The id the outputs give the sequence: ACCESSION.VERSION of a GenBank record, the
FASTA id, the file's name for plain text; Genome.from_string()'s seqid.)")
        .def_property_readonly(
            "sequence", [](const PyGenome& genome) { return std::string(genome.genome->sequence()); },
            "The letters, upper case.")
        .def_property_readonly("features", &features,
                               R"(The annotated features of a GenBank record (none for FASTA and text), the
whole-sequence feature "sequence" first: Feature(name, start, end, colour,
parts) with 1-based inclusive positions as the file writes them (start > end
for a feature across the origin), the map's colour "#RRGGBB" and, for a
feature joined from parts that do not follow one another, the parts as
(start, end) pairs.)")
        .def("__repr__", [](const PyGenome& genome) {
            return "<tessaron.Genome " + (genome.seqid.empty() ? std::string() : genome.seqid + " ") +
                   std::to_string(genome.genome->length()) + " bp>";
        });

    module.def("read", &readGenome, "path"_a, "record"_a = py::none());
    module.def("contents", &contents, "path"_a);
    py::class_<Reader>(module, "Reader", "A file read once; its records load one at a time.")
        .def(py::init<const std::filesystem::path&>(), "path"_a)
        .def("__len__", &Reader::size)
        .def("genome", &Reader::genome, "index"_a, "The record at a 0-based index as a Genome.");
    module.def("plastome", &plastome, "genome"_a, "min_ir"_a, "min_ir_share"_a);

    const auto search = [](bool counts) {
        return [counts](const PyGenome& genome, const std::string& method,
                        const std::vector<std::string>& kinds, int minimum, int maximum, int mismatchPenalty,
                        double identity, std::optional<int> maxMismatches, std::optional<double> evalue,
                        int threads, bool gaps, int gapOpen, int gapExtend, std::int64_t maxPairs,
                        py::object progress, py::object cancel) {
            SearchRequest request;
            request.method = method;
            request.kinds = kindsNamed(kinds);
            request.minimum = minimum;
            request.maximum = maximum;
            request.approximate = {minimum, mismatchPenalty, identity, maxMismatches, evalue, threads,
                                   gaps,    gapOpen,         gapExtend};
            request.maxPairs = maxPairs;
            return repeats(genome, request, {std::move(progress), std::move(cancel)}, counts);
        };
    };
    const auto searchArguments = [](const char* name, auto function, py::module_& into) {
        into.def(name, function, "genome"_a, "method"_a, "kinds"_a, "min"_a, "max"_a, "mismatch_penalty"_a,
                 "identity"_a, "max_mismatches"_a, "evalue"_a, "threads"_a, "gaps"_a, "gap_open"_a,
                 "gap_extend"_a, "max_pairs"_a, "progress"_a, "cancel"_a);
    };
    searchArguments("repeats", search(false), module);
    searchArguments("summary", search(true), module);
    module.def(
        "families",
        [](const PyGenome& genome, const std::vector<std::string>& kinds, int minimum, int mismatchPenalty,
           double identity, std::optional<int> maxMismatches, std::optional<double> evalue, int gapOpen,
           int gapExtend, py::object progress, py::object cancel) {
            const std::vector<RepeatKind> named = kindsNamed(kinds);
            const GappedSettings settings = gappedSettings(
                {minimum, mismatchPenalty, identity, maxMismatches, evalue, 0, true, gapOpen, gapExtend});
            return toDict(
                runWatched({std::move(progress), std::move(cancel)}, [&](const SearchControl& control) {
                    return familyTable(*genome.genome, named, settings, control);
                }));
        },
        "genome"_a, "kinds"_a, "min"_a, "mismatch_penalty"_a, "identity"_a, "max_mismatches"_a, "evalue"_a,
        "gap_open"_a, "gap_extend"_a, "progress"_a, "cancel"_a);

    module.def(
        "microsatellites",
        [](const PyGenome& genome, const std::vector<int>& minimumRepeats, int compoundDistance,
           py::object progress, py::object cancel) {
            if (minimumRepeats.size() != kMaxUnitLength) {
                throw py::value_error("min_repeats needs six numbers, for unit lengths 1 to 6");
            }
            MicrosatelliteSettings settings;
            std::copy(minimumRepeats.begin(), minimumRepeats.end(), settings.minimumRepeats.begin());
            settings.compoundDistance = compoundDistance;
            if (const auto problem = settings.validate()) {
                const std::string range =
                    std::to_string(problem->low) + " to " + std::to_string(problem->high);
                if (problem->setting == MicrosatelliteSettings::Setting::CompoundDistance) {
                    throw py::value_error("compound_distance must be from " + range);
                }
                throw py::value_error(
                    "min_repeats: " + std::to_string(settings.minimumRepeats[problem->index]) +
                    " for unit length " + std::to_string(problem->index + 1) + " is not from " + range);
            }
            return toDict(
                runWatched({std::move(progress), std::move(cancel)}, [&](const SearchControl& control) {
                    return microsatelliteTable(*genome.genome, genome.features, settings, control);
                }));
        },
        "genome"_a, "min_repeats"_a, "compound_distance"_a, "progress"_a, "cancel"_a);

    module.def(
        "tandem",
        [](const PyGenome& genome, int maxPeriod, int match, int mismatch, int indel, int minScore, bool all,
           py::object progress, py::object cancel) {
            TandemSettings settings;
            settings.maximumPeriod = maxPeriod;
            settings.match = match;
            settings.mismatch = mismatch;
            settings.indel = indel;
            settings.minimumScore = minScore;
            settings.all = all;
            if (const auto problem = settings.validate()) {
                throw py::value_error(*problem);
            }
            return toDict(
                runWatched({std::move(progress), std::move(cancel)}, [&](const SearchControl& control) {
                    auto found = findTandemRepeats(*genome.genome, settings, control);
                    if (const auto* failure = std::get_if<SearchFailure>(&found)) {
                        return TableResult(*failure);
                    }
                    Table table;
                    auto& starts = table.integers("start");
                    auto& ends = table.integers("end");
                    auto& periods = table.integers("period");
                    auto& copies = table.reals("copies");
                    TextColumn& consensus = table.texts("consensus");
                    TextColumn& classes = table.texts("class");
                    auto& matches = table.integers("percent_matches");
                    auto& indels = table.integers("percent_indels");
                    auto& scores = table.integers("score");
                    TextColumn& alignments = table.texts("alignment");
                    for (const TandemRepeat& r : std::get<TandemRepeatList>(found)) {
                        starts.push_back(r.start + 1);
                        ends.push_back(r.end());
                        periods.push_back(r.period);
                        copies.push_back(r.copies);
                        consensus.pushText(r.consensus);
                        classes.pushText(r.motifClass);
                        matches.push_back(r.percentMatches());
                        indels.push_back(r.percentIndels());
                        scores.push_back(r.score);
                        alignments.pushText(r.alignment);
                    }
                    return TableResult(std::move(table));
                }));
        },
        "genome"_a, "max_period"_a, "match"_a, "mismatch"_a, "indel"_a, "min_score"_a, "all"_a, "progress"_a,
        "cancel"_a);

    module.def(
        "controls",
        [](const PyGenome& genome, int replicates, std::int64_t seed, const std::string& method, int minimum,
           int maximum, int threads, py::object progress, py::object cancel) {
            const auto exact = exactMethod(method);
            if (!exact) {
                throw py::value_error("the controls take the trie's (described) or the complete search");
            }
            if (seed < 0 || seed > std::int64_t{0xFFFFFFFF}) {
                throw py::value_error("seed must be from 0 to 4294967295");
            }
            ControlSettings settings;
            settings.replicates = replicates;
            settings.seed = static_cast<std::uint32_t>(seed);
            settings.threads = threads;
            if (const auto problem = settings.validate()) {
                throw py::value_error(problem->setting == ControlSettings::Setting::Replicates
                                          ? "replicates must be from " + std::to_string(problem->low) +
                                                " to " + std::to_string(problem->high)
                                          : std::string("threads must not be negative"));
            }
            const auto searched = exactGenome(genome, minimum, maximum);
            return toDict(
                runWatched({std::move(progress), std::move(cancel)}, [&](const SearchControl& control) {
                    return controlTable(searched, *exact, settings, control);
                }));
        },
        "genome"_a, "replicates"_a, "seed"_a, "method"_a, "min"_a, "max"_a, "threads"_a, "progress"_a,
        "cancel"_a);
}
