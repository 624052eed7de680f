#include "report/tandemreport.h"

#include "report/maskedsequence.h"
#include "written.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace tessaron {
namespace {

using test::written;

// On a circle of 100 letters: an array across the origin and one inside.
TandemRepeat array(std::int64_t start, std::int64_t length, const std::string& consensus, double copies,
                   std::int64_t score)
{
    TandemRepeat r;
    r.start = start;
    r.length = length;
    r.period = static_cast<int>(consensus.size());
    r.copies = copies;
    r.consensus = consensus;
    r.motifClass = tandemClass(consensus);
    r.matches = length - 1;
    r.mismatches = 1;
    r.score = score;
    r.alignment = std::to_string(r.period) + "=,3=1X" + std::to_string(length - r.period - 4) + "=";
    return r;
}

const std::vector<TandemRepeat> kList{array(10, 24, "ACGTTGCA", 3.0, 39), array(90, 20, "GATTACAG", 2.5, 31)};

TEST(TandemReport, TableGffAndBedWriteTheArraysAsTheySay)
{
    EXPECT_EQ(
        written([](TableWriter& out) { writeTandemRepeats(out, kList); }),
        "start\tend\tperiod\tcopies\tconsensus\tclass\tpercent_matches\tpercent_indels\tscore\talignment\n"
        "11\t34\t8\t3.0\tACGTTGCA\tAACGTTGC/AACGTTGC\t96\t0\t39\t8=,3=1X12=\n"
        "91\t110\t8\t2.5\tGATTACAG\tAATCCTGT/ACAGGATT\t95\t0\t31\t8=,3=1X8=\n");
    EXPECT_EQ(written([](TableWriter& out) { writeTandemGff(out, "NC 1", kList); }),
              "NC%201\ttessaron\ttandem_repeat\t11\t34\t39\t+\t.\t"
              "ID=tandem1;period=8;copies=3.0;consensus=ACGTTGCA;Ontology_term=SO:0000705\n"
              "NC%201\ttessaron\ttandem_repeat\t91\t110\t31\t+\t.\t"
              "ID=tandem2;period=8;copies=2.5;consensus=GATTACAG;Ontology_term=SO:0000705\n");
    // Across the origin: two BED lines of the same name.
    EXPECT_EQ(written([](TableWriter& out) { writeStretchesBed(out, "c", tandemStretches(kList, 100)); }),
              "c\t10\t34\ttandem:8x3.0\t0\t+\n"
              "c\t90\t100\ttandem:8x2.5\t0\t+\n"
              "c\t0\t10\ttandem:8x2.5\t0\t+\n");
}

TEST(TandemReport, ImperfectMicrosatellitesAddMismatchesAndIndels)
{
    const std::vector<ImperfectMicrosatellite> list{{4, 2, "AC", 12, 25, "AC/GT", 1, 0}};
    EXPECT_EQ(written([&](TableWriter& out) { writeImperfectMicrosatellites(out, list); }),
              "start\tunit_length\tunit\trepeats\tlength\tclass\tcompound\tend\tmismatches\tindels\n"
              "5\t2\tAC\t12\t25\tAC/GT\t-\t29\t1\t0\n");
}

TEST(TandemReport, SummaryCountsByPeriodClass)
{
    struct Case {
        int period;
        std::size_t expected;
    };
    for (const Case c :
         {Case{1, 0U}, Case{6, 0U}, Case{7, 1U}, Case{10, 1U}, Case{11, 2U}, Case{20, 2U}, Case{21, 3U},
          Case{50, 3U}, Case{51, 4U}, Case{100, 4U}, Case{101, 5U}, Case{2000, 5U}}) {
        EXPECT_EQ(periodClass(c.period), c.expected) << c.period;
    }
    std::vector<TandemRepeat> list = kList;
    list.push_back(array(50, 40, std::string(13, 'A') + "C", 2.9, 60));
    const TandemCounts counts = countTandemRepeats(list);
    EXPECT_EQ(counts.total, 3);
    EXPECT_EQ(counts.arrays[1], 2);
    EXPECT_EQ(counts.letters[1], 44);
    EXPECT_EQ(counts.arrays[2], 1);
    const auto grid = tandemSummaryLayout(counts).grid();
    ASSERT_EQ(grid.size(), 8U);
    EXPECT_EQ(grid[0][0], "Tandem repeats by period:");
    EXPECT_EQ(grid[2], (std::vector<std::string>{"7-10", "2", "44", "2.8"}));
    EXPECT_EQ(grid[7], (std::vector<std::string>{"total", "3", "84", "2.8"}));
    EXPECT_EQ(tandemSettingsText({}),
              "periods 1 to 2000; match +2, mismatch -7, indel -7; minimum score 50; at least 1.8 copies");
}

// The positions of a BED text, and those in lower case of a sequence.
std::set<std::int64_t> bedPositions(const std::string& bed)
{
    std::set<std::int64_t> out;
    std::istringstream lines(bed);
    std::string chrom;
    std::int64_t start = 0;
    std::int64_t end = 0;
    std::string rest;
    while (lines >> chrom >> start >> end && std::getline(lines, rest)) {
        for (std::int64_t i = start; i < end; ++i) {
            out.insert(i);
        }
    }
    return out;
}

TEST(MaskedSequence, SoftMaskIsTheBedAndUnmasksToTheInput)
{
    std::mt19937 random(4);
    std::string sequence(100, 'A');
    for (char& letter : sequence) {
        letter = "ACGTN"[random() % 5];
    }
    const std::vector<Microsatellite> ssr{{40, 1, "C", 11, 11, "C/G", 0}, {95, 2, "AG", 6, 12, "AG/CT", 0}};
    std::vector<SequenceStretch> stretches = tandemStretches(kList, 100);
    const std::vector<SequenceStretch> micro = microsatelliteStretches(ssr, 100);
    stretches.insert(stretches.end(), micro.begin(), micro.end());
    const std::string soft = maskSequence(sequence, stretches, MaskMode::Soft);
    const std::string hard = maskSequence(sequence, stretches, MaskMode::Hard);
    const std::set<std::int64_t> bed =
        bedPositions(written([&](TableWriter& out) { writeStretchesBed(out, "c", stretches); }));
    std::set<std::int64_t> lower;
    std::string unmasked = soft;
    for (std::size_t i = 0; i < soft.size(); ++i) {
        if (soft[i] >= 'a' && soft[i] <= 'z') {
            lower.insert(static_cast<std::int64_t>(i));
            unmasked[i] = static_cast<char>(soft[i] - 'a' + 'A');
        }
        EXPECT_EQ(hard[i], bed.count(static_cast<std::int64_t>(i)) == 1 ? 'N' : sequence[i]) << i;
    }
    EXPECT_EQ(lower, bed);
    EXPECT_EQ(unmasked, sequence);
    std::ostringstream fasta;
    writeFasta(fasta, "genome", std::string(70, 'a'));
    EXPECT_EQ(fasta.str(), ">genome\n" + std::string(60, 'a') + "\n" + std::string(10, 'a') + "\n");
}

}  // namespace
}  // namespace tessaron
