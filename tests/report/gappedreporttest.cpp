#include "report/gappedreport.h"

#include "report/tablewriter.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace tessaron {
namespace {

TEST(GappedReport, AppendsTheGappedColumnsAfterThePairsColumns)
{
    GappedResult result;
    result.kind = RepeatKind::Inverted;
    GappedPair pair;
    pair.first = 9;
    pair.second = 99;
    pair.length = 40;
    pair.secondLength = 42;
    pair.mismatches = 1;
    pair.insertions = 3;
    pair.deletions = 1;
    pair.cigar = "20=2I1X10=1I1D6=";
    pair.identity = 84.4444;
    pair.evalue = 1.5e-7;
    result.pairs.push_back(pair);
    std::ostringstream out;
    TableWriter writer(out, TableFormat::Tsv);
    writeGappedPairsHeader(writer, false, true);
    writeGappedPairs(writer, result, nullptr, "NC_1");
    writer.flush();
    EXPECT_EQ(out.str(),
              "seqid\tkind\tlength\tmismatches\tfirst\tsecond\tidentity\tevalue\tsecond_length\tinsertions\t"
              "deletions\tcigar\n"
              "NC_1\tinverted\t40\t1\t10\t100\t84.44\t1.5e-07\t42\t3\t1\t20=2I1X10=1I1D6=\n");
}

TEST(GappedReport, WritesOneRowPerCopyOfEachFamily)
{
    RepeatFamily family;
    family.copies = {{5, 30, CopyOrientation::Same},
                     {90, 31, CopyOrientation::ReverseComplement},
                     {190, 20, CopyOrientation::Reverse}};
    family.representative = 1;
    family.shortest = 20;
    family.longest = 31;
    family.kinds[static_cast<std::size_t>(RepeatKind::Direct)] = true;
    family.kinds[static_cast<std::size_t>(RepeatKind::Mirror)] = true;
    const std::vector<RepeatFamily> families{family};
    std::ostringstream out;
    TableWriter writer(out, TableFormat::Csv);
    writeFamiliesHeader(writer);
    writeFamilies(writer, 200, families);
    writer.flush();
    EXPECT_EQ(out.str(),
              "family,copies,representative,min_length,max_length,kinds,copy,strand\n"
              "1,3,91..121,20,31,\"direct,mirror\",6..35,+\n"
              "1,3,91..121,20,31,\"direct,mirror\",91..121,-\n"
              "1,3,91..121,20,31,\"direct,mirror\",191..10,reverse\n");
}

}  // namespace
}  // namespace tessaron
