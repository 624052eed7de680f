#include "input/filename.h"

#include <gtest/gtest.h>

namespace tessaron {
namespace {

TEST(DisplayName, DropsFolderAndLastExtension)
{
    const struct {
        const char* path;
        const char* expected;
    } cases[] = {
        {"reads.part.txt", "reads.part"},
        {"sample.gb", "sample"},
        {"/home/user/genomes/NC_012920.gb", "NC_012920"},
        {"relative/dir.with.dots/mito", "mito"},
        {"noextension", "noextension"},
        {"trailing.", "trailing"},
        {".hidden", ".hidden"},
        {"folder/.hidden.txt", ".hidden"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(displayName(c.path), c.expected) << c.path;
    }
}

}  // namespace
}  // namespace tessaron
