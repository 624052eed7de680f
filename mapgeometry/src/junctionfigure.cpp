#include "mapgeometry/junctionfigure.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <span>

namespace tessaron {

namespace {

constexpr std::array kJunctions{PlastomeJunction::Jlb, PlastomeJunction::Jsb, PlastomeJunction::Jsa,
                                PlastomeJunction::Jla};
// The part before and after each junction.
constexpr std::array kBefore{PlastomePart::Lsc, PlastomePart::IrB, PlastomePart::Ssc, PlastomePart::IrA};
constexpr std::array kAfter{PlastomePart::IrB, PlastomePart::Ssc, PlastomePart::IrA, PlastomePart::Lsc};
constexpr int kGeneHeight = 10;
constexpr int kGeneGap = 2;  // between the bar and a gene's box
constexpr int kTiers = 2;    // lines of text on each side of the bar

// The texts of one row placed so far, each clear of the others.
class RowTexts {
public:
    RowTexts(const LabelMetrics& metrics, LabelBox band) : metrics_(metrics), band_(band) {}

    [[nodiscard]] LabelBox boxAt(const std::string& text, double x, double baseline) const
    {
        const int left = static_cast<int>(std::floor(x));
        const int base = static_cast<int>(std::lround(baseline));
        return {left, base - metrics_.ascent, left + metrics_.width(text) + 1, base + metrics_.descent};
    }

    // Places `text` centred on `centre` on the first of `baselines` where it
    // fits; false when none has room.
    bool place(JunctionFigureText::Kind kind, const std::string& text, double centre,
               std::span<const double> baselines, std::vector<JunctionFigureText>& into)
    {
        const double half = metrics_.width(text) / 2.0;
        for (const double baseline : baselines) {
            for (const double shift : {0.0, -half, half}) {
                const double x = std::clamp(centre - half + shift, static_cast<double>(band_.left),
                                            static_cast<double>(band_.right) - 2.0 * half - 1.0);
                const LabelBox box = boxAt(text, x, baseline);
                if (fits(box)) {
                    taken_.push_back(box);
                    into.push_back({kind, text, x, baseline, box});
                    return true;
                }
            }
        }
        return false;
    }

    // Places a text where it must stand (a genome's or a part's name).
    void fixed(JunctionFigureText::Kind kind, const std::string& text, double x, double baseline,
               std::vector<JunctionFigureText>& into)
    {
        const LabelBox box = boxAt(text, x, baseline);
        if (fits(box)) {
            taken_.push_back(box);
            into.push_back({kind, text, x, baseline, box});
        }
    }

    void reserve(const LabelBox& box) { taken_.push_back(box); }

private:
    [[nodiscard]] bool fits(const LabelBox& box) const
    {
        const bool inside = box.left >= band_.left && box.right <= band_.right && box.top >= band_.top &&
                            box.bottom <= band_.bottom;
        return inside && std::none_of(taken_.begin(), taken_.end(),
                                      [&](const LabelBox& other) { return other.overlaps(box); });
    }

    const LabelMetrics& metrics_;
    LabelBox band_;
    std::vector<LabelBox> taken_;
};

// `text` cut short with "…" to at most `width` pixels.
std::string shortened(const std::string& text, int width, const LabelMetrics& metrics)
{
    if (metrics.width(text) <= width) {
        return text;
    }
    std::string kept = text;
    while (!kept.empty()) {
        kept.pop_back();
        // Never cut a UTF-8 character in two.
        while (!kept.empty() && (static_cast<unsigned char>(kept.back()) & 0xC0U) == 0x80U) {
            kept.pop_back();
        }
        if (!kept.empty() && (static_cast<unsigned char>(kept.back()) & 0x80U) != 0U) {
            kept.pop_back();
        }
        if (metrics.width(kept + "…") <= width) {
            return kept + "…";
        }
    }
    return {};
}

}  // namespace

std::string basePairText(std::int64_t bases)
{
    std::string digits = std::to_string(std::llabs(bases));
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return (bases < 0 ? "-" : "") + digits + " bp";
}

JunctionFigure layOutJunctionFigure(const std::vector<JunctionFigureGenome>& genomes,
                                    const LabelMetrics& metrics, const JunctionFigureSettings& settings)
{
    JunctionFigure figure;
    const int lineHeight = metrics.ascent + metrics.descent;
    int nameWidth = 0;
    for (const JunctionFigureGenome& genome : genomes) {
        nameWidth = std::max(nameWidth, metrics.width(genome.name));
    }
    nameWidth = std::min(nameWidth, settings.maxNameWidth);
    const double barLeft = settings.margin + nameWidth + settings.margin;
    const double firstColumn = barLeft + settings.gapWidth;
    const double step = settings.columnWidth + settings.gapWidth;
    const double barRight = firstColumn + 4 * step;
    const double perBase =
        settings.columnWidth / 2.0 / static_cast<double>(std::max<std::int64_t>(1, settings.window));
    // Room for the gene boxes and two lines of text on either side of the bar.
    const int rowHeight =
        std::max(settings.rowHeight, settings.barHeight + 2 * (kGeneGap + kGeneHeight + kTiers * lineHeight));
    figure.width = static_cast<int>(std::ceil(barRight)) + settings.margin;
    figure.height = settings.margin + settings.headerHeight + static_cast<int>(genomes.size()) * rowHeight +
                    settings.margin;

    std::array<double, 4> junctionX{};
    {
        RowTexts header(metrics, {0, 0, figure.width, settings.margin + settings.headerHeight});
        const double baseline = settings.margin + metrics.ascent;
        for (std::size_t j = 0; j < 4; ++j) {
            junctionX[j] = firstColumn + static_cast<double>(j) * step + settings.columnWidth / 2.0;
            const std::string name(junctionName(kJunctions[j]));
            const double baselines[] = {baseline};
            header.place(JunctionFigureText::Kind::Junction, name, junctionX[j], baselines, figure.texts);
        }
    }

    for (std::size_t row = 0; row < genomes.size(); ++row) {
        const JunctionFigureGenome& genome = genomes[row];
        const double top = settings.margin + settings.headerHeight + static_cast<double>(row) * rowHeight;
        const double middle = top + rowHeight / 2.0;
        const double barTop = middle - settings.barHeight / 2.0;
        const double barBottom = barTop + settings.barHeight;
        const int bandTop = static_cast<int>(std::ceil(top));
        RowTexts texts(metrics, {0, bandTop, figure.width, bandTop + rowHeight});
        const double nameBaseline = middle + (metrics.ascent - metrics.descent) / 2.0;
        texts.fixed(JunctionFigureText::Kind::Genome, shortened(genome.name, nameWidth, metrics),
                    settings.margin, nameBaseline, figure.texts);
        if (!genome.structure.found) {
            texts.fixed(JunctionFigureText::Kind::Note, "no quadripartite structure", barLeft, nameBaseline,
                        figure.texts);
            continue;
        }
        const PlastomeStructure& s = genome.structure;
        const auto length = [&](PlastomePart part) { return s.region(part).length; };
        // The bar near each junction, then through the gaps where a part is long enough to reach them.
        for (std::size_t j = 0; j < 4; ++j) {
            const double before =
                static_cast<double>(std::min(settings.window, length(kBefore[j]))) * perBase;
            const double after = static_cast<double>(std::min(settings.window, length(kAfter[j]))) * perBase;
            figure.parts.push_back(
                {{junctionX[j] - before, barTop, junctionX[j], barBottom}, kBefore[j], row});
            figure.parts.push_back({{junctionX[j], barTop, junctionX[j] + after, barBottom}, kAfter[j], row});
            figure.junctions.push_back(
                {junctionX[j], barTop - kGeneGap - kGeneHeight, barBottom + kGeneGap + kGeneHeight});
        }
        // The gaps: the LSC before the first column and after the last, each other part between its columns.
        for (std::size_t g = 0; g < 5; ++g) {
            const PlastomePart part = g == 0 ? PlastomePart::Lsc : kAfter[g - 1];
            const double left = g == 0 ? barLeft : junctionX[g - 1] + settings.columnWidth / 2.0;
            const double right = g == 4 ? barRight : junctionX[g] - settings.columnWidth / 2.0;
            const bool reaches = length(part) > settings.window;
            if (reaches) {
                figure.parts.push_back({{left, barTop, right, barBottom}, part, row});
            }
            if (g > 0 && g < 4 && reaches) {
                figure.cuts.push_back({(left + right) / 2.0, barTop - 3.0, barBottom + 3.0});
            }
            if (g < 4) {
                const double centre = (left + right) / 2.0;
                const std::string name(partName(part));
                const double above[] = {barTop - kGeneGap - kGeneHeight - metrics.descent};
                const double below[] = {barBottom + kGeneGap + kGeneHeight + metrics.ascent};
                texts.place(JunctionFigureText::Kind::Part, name, centre, above, figure.texts);
                texts.place(JunctionFigureText::Kind::Part, basePairText(length(part)), centre, below,
                            figure.texts);
            }
        }
        // The genes, their names and distances on the free lines nearest to them.
        for (std::size_t j = 0; j < 4; ++j) {
            for (const JunctionFigureGene& gene : genome.genes[j]) {
                const std::int64_t from = std::max({gene.start, -settings.window, -length(kBefore[j])});
                const std::int64_t to = std::min({gene.end, settings.window, length(kAfter[j])});
                if (from >= to) {
                    continue;
                }
                const double left = junctionX[j] + static_cast<double>(from) * perBase;
                const double right = std::max(left + 1.0, junctionX[j] + static_cast<double>(to) * perBase);
                const double boxTop = gene.reverse ? barBottom + kGeneGap : barTop - kGeneGap - kGeneHeight;
                figure.genes.push_back({{left, boxTop, right, boxTop + kGeneHeight}, gene.reverse, row});
                std::array<double, kTiers> lines{};
                for (int t = 0; t < kTiers; ++t) {
                    lines[static_cast<std::size_t>(t)] =
                        gene.reverse ? boxTop + kGeneHeight + metrics.ascent + t * lineHeight
                                     : boxTop - metrics.descent - t * lineHeight;
                }
                texts.place(JunctionFigureText::Kind::Gene, gene.name, (left + right) / 2.0, lines,
                            figure.texts);
                std::string distance;
                double centre = junctionX[j];
                if (gene.start < 0 && gene.end > 0) {
                    distance = std::to_string(-gene.start) + " | " + std::to_string(gene.end);
                } else if (gene.start >= 0) {
                    distance = basePairText(gene.start);
                    centre = (junctionX[j] + left) / 2.0;
                } else {
                    distance = basePairText(-gene.end);
                    centre = (junctionX[j] + right) / 2.0;
                }
                texts.place(JunctionFigureText::Kind::Distance, distance, centre, lines, figure.texts);
            }
        }
    }
    return figure;
}

}  // namespace tessaron
