#include "engine/repeatkinds.h"
#include "report/bedreport.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

namespace tessaron {
namespace {

struct Case {
    const char* bases;
    int length;
    const char* expected;  // the BED lines of the four kinds in order
};

TEST(BedReport, OneLinePerCopyFromZeroWithTheEndExclusive)
{
    const Case cases[] = {
        // Direct TTTAC at 11 comes again at 18, across the origin of 21
        // bases; inverted ACCGT at 6 has ACGGT at 14, on the other strand.
        {"ACCGAAACCGTTTTACGGTTT", 5,
         "seq\t11\t16\tdirect-5-1-1\t0\t+\n"
         "seq\t18\t23\tdirect-5-1-1\t0\t+\n"
         "seq\t6\t11\tinverted-5-1-1\t0\t+\n"
         "seq\t14\t19\tinverted-5-1-1\t0\t-\n"},
        // ACCG at 0, mirrored by GCCA at 6 and complemented by TGGC at 12;
        // neither transformed copy is on the minus strand.
        {"ACCGAAGCCATTTGGCAACCT", 4,
         "seq\t0\t4\tmirror-4-1-1\t0\t+\n"
         "seq\t6\t10\tmirror-4-1-1\t0\t+\n"
         "seq\t0\t4\tcomplementary-4-1-1\t0\t+\n"
         "seq\t12\t16\tcomplementary-4-1-1\t0\t+\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bases);
        auto genome = std::make_shared<Genome>();
        ASSERT_TRUE(genome->allocate(static_cast<std::int64_t>(std::string_view(c.bases).size()), 5, 15));
        genome->appendText(c.bases);
        genome->setLengthBounds(c.length, c.length);
        ASSERT_TRUE(genome->buildIndex());

        std::ostringstream text;
        TableWriter out(text, TableFormat::Tsv);
        BedReport bed(out, "seq");
        for (const RepeatKind kind : kKindOrder) {
            const auto result = searchRepeats(genome, kind, SnapshotDetail::Words);
            bed.write(*std::get<std::shared_ptr<const RepeatSnapshot>>(result));
        }
        out.flush();
        EXPECT_EQ(text.str(), c.expected);
    }
}

}  // namespace
}  // namespace tessaron
