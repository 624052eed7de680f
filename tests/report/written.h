#pragma once

#include "report/tablewriter.h"

#include <sstream>
#include <string>

namespace tessaron::test {

// What `write` writes through a tab-separated table writer.
template <typename Write>
std::string written(Write&& write)
{
    std::ostringstream text;
    TableWriter out(text, TableFormat::Tsv);
    write(out);
    out.flush();
    return text.str();
}

}  // namespace tessaron::test
