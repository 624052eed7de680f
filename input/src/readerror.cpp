#include "input/readerror.h"

namespace tessaron {

namespace {

// "cannot open 'x': No such file or directory", "cannot read 'x' as GenBank,
// line 7: the record ends before ORIGIN".
std::string messageOf(InputFailure reason, const std::filesystem::path& path, const std::string& detail,
                      int line, std::string_view format)
{
    std::string message = reason == InputFailure::Missing ? "cannot open '" : "cannot read '";
    message += path.string();
    message += '\'';
    if (format.empty() && (reason == InputFailure::NotGenBank || reason == InputFailure::Malformed)) {
        format = "GenBank";
    }
    if (!format.empty()) {
        message += " as ";
        message += format;
    }
    if (line > 0) {
        message += ", line " + std::to_string(line);
    }
    return message + ": " + detail;
}

}  // namespace

InputError::InputError(InputFailure reason, const std::filesystem::path& path, std::string detail, int line,
                       std::string_view format)
    : ReadError(messageOf(reason, path, detail, line, format)),
      reason_(reason),
      line_(line),
      facts_(std::make_shared<const Facts>(Facts{path, std::move(detail)}))
{
}

}  // namespace tessaron
