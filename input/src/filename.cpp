#include "input/filename.h"

namespace tessaron {

std::string displayName(const std::filesystem::path& path)
{
    std::string name = path.filename().string();
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) {
        name.erase(dot);
    }
    return name;
}

}  // namespace tessaron
