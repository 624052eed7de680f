#pragma once

// The HTML report of one genome made from results already found: the
// command line (--report html) and the desktop (File > Export HTML report)
// both hand their results to this builder, so that their pages are made
// the same way. Each add... call puts one table on the page (in the order
// of the calls) with its marks on the map and the dot plot; every table
// holds the rows the command line writes for the same search, and names
// that command.

#include "compare/repeatsection.h"
#include "engine/approximatesearch.h"
#include "engine/gappedsearch.h"
#include "engine/genome.h"
#include "engine/microsatellites.h"
#include "engine/plastomestructure.h"
#include "engine/repeatfamilies.h"
#include "engine/repeatkinds.h"
#include "engine/repeatsnapshot.h"
#include "engine/searchmethod.h"
#include "engine/tandemrepeats.h"
#include "input/feature.h"
#include "report/featureindex.h"
#include "report/htmlreport.h"

#include <array>
#include <memory>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tessaron {

// The rows a table of the page holds at most, so that the page of a
// bacterium stays under 10 MB and opens at once: the exact pairs list every
// repeated word of each length (a 5 kb rRNA operon alone gives tens of
// thousands), so their table is cut (the page says where the whole one is).
inline constexpr std::size_t kHtmlMostRows = 30000;
// The segments the dot plot draws at most.
inline constexpr std::size_t kHtmlMostDotPlotSegments = 12000;

// A word as a shell reads it back: quoted when it holds anything but
// letters, digits and a few signs.
[[nodiscard]] std::string shellWord(std::string_view word);

// The command line's options that give these settings, those at their
// defaults left out ("--approximate --min 30 --identity 85").
[[nodiscard]] std::string approximateOptions(const ApproximateSettings& settings);
[[nodiscard]] std::string gappedOptions(const GappedSettings& settings);
[[nodiscard]] std::string microsatelliteOptions(const MicrosatelliteSettings& settings);
[[nodiscard]] std::string tandemOptions(const TandemSettings& settings);

class HtmlReportBuilder {
public:
    // `options` are the command line's words that choose the genome besides
    // the file ("--record 2"), `file` the file ("-" for standard input; empty
    // for a sequence of no file: the commands then name FILE).
    HtmlReportBuilder(std::shared_ptr<const Genome> genome, std::string seqid, FeatureList features,
                      std::string options, std::string file);

    // The program's version and the command that made the page (empty: the
    // desktop program made it).
    void setOrigin(std::string version, std::string commandLine);
    // The paper section and its charts.
    void addPaperSection(const RepeatSection& section);

    // The exact pairs of the four kinds (snapshots with their words, in
    // kKindOrder; a missing kind is left out) of `minimum` to `maximum` bp.
    void addExactPairs(std::span<const std::shared_ptr<const RepeatSnapshot>> snapshots, int minimum,
                       int maximum, SearchMethod method);
    void addApproximatePairs(std::span<const ApproximateResult> results, const ApproximateSettings& settings);
    // The gapped pairs and, from them, the families of copies.
    void addGappedPairs(std::span<const GappedResult> results, const GappedSettings& settings);
    void addFamilies(std::span<const GappedResult> results, const GappedSettings& settings);
    void addMicrosatellites(const MicrosatelliteList& list, const MicrosatelliteSettings& settings);
    void addTandemArrays(std::span<const TandemRepeat> list, const TandemSettings& settings);
    // The four parts and their junctions, and the parts as a ring on the map;
    // nothing without a quadripartite structure.
    void addPlastome(const PlastomeStructure& structure);
    // The record's features; nothing when it has none.
    void addFeatures();

    [[nodiscard]] const HtmlReport& report() const { return report_; }
    // The page: the map, the dot plot and every section added.
    void write(std::ostream& out) const;

private:
    [[nodiscard]] std::string command(std::string_view report) const;
    [[nodiscard]] const FeatureIndex* named() const { return features_.empty() ? nullptr : &index_; }

    std::shared_ptr<const Genome> genome_;
    FeatureList features_;
    FeatureIndex index_;
    std::string options_;
    std::string file_;
    HtmlReport report_;
};

}  // namespace tessaron
