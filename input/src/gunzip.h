#pragma once

#include "input/readerror.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace tessaron {

// Whether `bytes` begin as gzip data does (also bgzip, which is gzip in
// blocks), whatever the file's name.
[[nodiscard]] bool isGzip(std::string_view bytes);

// The data of every gzip member of `bytes`, one after the other. Throws
// InputError naming `path`: NotText for damaged or cut data, TooLarge past
// `limit` bytes; std::bad_alloc when memory runs out.
[[nodiscard]] std::string gunzip(std::string_view bytes, const std::filesystem::path& path,
                                 std::size_t limit);

}  // namespace tessaron
