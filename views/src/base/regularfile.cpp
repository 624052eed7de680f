#include "views/base/regularfile.h"

#include <QCoreApplication>
#include <QDir>

#include <filesystem>
#include <system_error>

std::optional<QString> notARegularFile(const QString& path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(fs::path(path.toStdString()), error);
    if (error || !fs::exists(status) || fs::is_regular_file(status) || fs::is_directory(status)) {
        return std::nullopt;
    }
    const char* what = fs::is_fifo(status)                                          ? "a pipe"
                       : fs::is_character_file(status) || fs::is_block_file(status) ? "a device"
                       : fs::is_socket(status)                                      ? "a socket"
                                                                                    : "not a file";
    return QCoreApplication::translate("RegularFile", "%1 was not opened: it is %2, not a regular file.")
        .arg(QDir::toNativeSeparators(path), QCoreApplication::translate("RegularFile", what));
}
