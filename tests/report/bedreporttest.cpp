#include "engine/repeatkinds.h"
#include "engine/suffixindex.h"
#include "report/bedreport.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

namespace tessaron {
namespace {

// A copy across the origin and an inverted pair are in the command line's
// tests; here ACCG at 0 is mirrored by GCCA at 6 and complemented by TGGC at
// 12, and neither transformed copy is on the minus strand.
TEST(BedReport, TransformedCopiesOtherThanInvertedStayOnThePlusStrand)
{
    constexpr std::string_view kBases = "ACCGAAGCCATTTGGCAACCT";
    auto genome = std::make_shared<Genome>();
    ASSERT_TRUE(genome->allocate(static_cast<std::int64_t>(kBases.size()), 5, 15));
    genome->appendText(std::string(kBases).c_str());
    genome->setLengthBounds(4, 4);
    const auto index = std::get<std::shared_ptr<const SuffixIndex>>(buildIndex(genome));

    std::ostringstream text;
    TableWriter out(text, TableFormat::Tsv);
    BedReport bed(out, "my seq");
    for (const RepeatKind kind : kKindOrder) {
        const auto result = searchRepeats(index, kind, SnapshotDetail::Words);
        bed.write(*std::get<std::shared_ptr<const RepeatSnapshot>>(result));
    }
    out.flush();
    EXPECT_EQ(text.str(),
              "my%20seq\t0\t4\tmirror-4-1-1\t0\t+\n"
              "my%20seq\t6\t10\tmirror-4-1-1\t0\t+\n"
              "my%20seq\t0\t4\tcomplementary-4-1-1\t0\t+\n"
              "my%20seq\t12\t16\tcomplementary-4-1-1\t0\t+\n");
}

}  // namespace
}  // namespace tessaron
