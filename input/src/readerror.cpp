#include "input/readerror.h"

namespace tessaron {

namespace {

// "cannot open 'x': No such file or directory", "cannot read 'x' as GenBank,
// line 7: the record ends before ORIGIN".
std::string messageOf(InputFailure reason, const std::filesystem::path& path, const std::string& detail,
                      int line, bool asGenBank)
{
    std::string message = reason == InputFailure::Missing ? "cannot open '" : "cannot read '";
    message += path.string();
    message += '\'';
    const bool genBank = reason == InputFailure::NotGenBank || reason == InputFailure::Malformed ||
                         (reason == InputFailure::Empty && asGenBank);
    if (genBank) {
        message += " as GenBank";
    }
    if (line > 0) {
        message += ", line " + std::to_string(line);
    }
    return message + ": " + detail;
}

}  // namespace

InputError::InputError(InputFailure reason, const std::filesystem::path& path, std::string detail, int line,
                       bool asGenBank)
    : ReadError(messageOf(reason, path, detail, line, asGenBank)),
      reason_(reason),
      line_(line),
      facts_(std::make_shared<const Facts>(Facts{path, std::move(detail)}))
{
}

}  // namespace tessaron
